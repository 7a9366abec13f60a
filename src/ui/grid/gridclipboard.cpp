#include "ui/grid/gridclipboard.h"

#include "grid/grid.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace fenpai {

QString GridClipboard::mimeType()
{
    return QStringLiteral("application/x-fenpai-grid-fragment");
}

QMimeData *GridClipboard::toMimeData(const GridFragment &fragment)
{
    auto *mime = new QMimeData;
    mime->setText(fragment.toPlainText());
    mime->setData(mimeType(), fragment.toBytes());
    return mime;
}

bool GridClipboard::pasteMimeData(Grid &grid, const QMimeData &mime, int row, int col)
{
    GridFragment fragment;
    if (mime.hasFormat(mimeType()) && GridFragment::fromBytes(mime.data(mimeType()), &fragment)) {
        grid.pasteFragment(fragment, row, col);
        return true;
    }
    if (!mime.hasText())
        return false;
    grid.pastePlainText(mime.text(), row, col);
    return true;
}

bool GridClipboard::copy(const Grid &grid, const GridArea &area)
{
    if (!qGuiApp)
        return false;
    const GridFragment fragment = grid.fragment(area);
    if (fragment.isEmpty())
        return false;
    QGuiApplication::clipboard()->setMimeData(toMimeData(fragment));
    return true;
}

bool GridClipboard::paste(Grid &grid, int row, int col)
{
    if (!qGuiApp)
        return false;
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    return mime && pasteMimeData(grid, *mime, row, col);
}

} // namespace fenpai
