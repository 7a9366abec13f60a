#include "ui/documents/pagepicture.h"

#include <QPainter>

#include <algorithm>

namespace fenpai {

namespace {

const QColor kLineColor(192, 192, 192);

} // namespace

PagePicture::PagePicture(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("picPage"));
    setMinimumSize(180, 220);
}

void PagePicture::setPage(const PageSetup &setup)
{
    m_setup = setup;
    update();
}

void PagePicture::setHighlighted(Line line)
{
    m_highlighted = line;
    update();
}

double PagePicture::scale() const
{
    double w = m_setup.pageWidthCm();
    double h = m_setup.pageHeightCm();
    if (m_setup.isLandscape())
        std::swap(w, h);
    return std::min((width() - 12) / w, (height() - 12) / h);
}

QRectF PagePicture::sheetRect() const
{
    double w = m_setup.pageWidthCm();
    double h = m_setup.pageHeightCm();
    if (m_setup.isLandscape())
        std::swap(w, h);
    const double s = scale();
    return QRectF((width() - w * s) / 2, (height() - h * s) / 2, w * s, h * s);
}

QRectF PagePicture::tableRect() const
{
    const QRectF sheet = sheetRect();
    const double s = scale();
    const QRectF inner = sheet.adjusted(
        std::max(0.0, m_setup.leftMargin) * s, std::max(0.0, m_setup.topMargin) * s,
        -std::max(0.0, m_setup.rightMargin) * s, -std::max(0.0, m_setup.bottomMargin) * s);
    // The sketch takes half the space between the margins.
    const QSizeF size(std::max(4.0, inner.width() / 2), std::max(4.0, inner.height() / 2));
    const double x =
        m_setup.centerHorizontally ? inner.center().x() - size.width() / 2 : inner.left();
    const double y =
        m_setup.centerVertically ? inner.center().y() - size.height() / 2 : inner.top();
    return QRectF(QPointF(x, y), size);
}

void PagePicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF sheet = sheetRect();
    p.fillRect(sheet.translated(3, 3), QColor(128, 128, 128));
    p.fillRect(sheet, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(sheet);

    const QRectF table = tableRect();
    p.setPen(QColor(96, 96, 96));
    const int rows = 6;
    const int cols = 4;
    for (int i = 0; i <= rows; ++i) {
        const double y = table.top() + table.height() * i / rows;
        p.drawLine(QPointF(table.left(), y), QPointF(table.right(), y));
    }
    for (int i = 0; i <= cols; ++i) {
        const double x = table.left() + table.width() * i / cols;
        p.drawLine(QPointF(x, table.top()), QPointF(x, table.bottom()));
    }

    const double s = scale();
    const struct
    {
        Line line;
        double position;
        bool horizontal;
    } lines[] = {
        {Top, sheet.top() + m_setup.topMargin * s, true},
        {Bottom, sheet.bottom() - m_setup.bottomMargin * s, true},
        {Left, sheet.left() + m_setup.leftMargin * s, false},
        {Right, sheet.right() - m_setup.rightMargin * s, false},
        {Header, sheet.top() + m_setup.headerMargin * s, true},
        {Footer, sheet.bottom() - m_setup.footerMargin * s, true},
    };
    // The highlighted line last, so that no grey line crosses it.
    for (const bool highlighted : {false, true}) {
        for (const auto &l : lines) {
            if ((l.line == m_highlighted) != highlighted)
                continue;
            p.setPen(QPen(highlighted ? QColor(Qt::black) : kLineColor, 1,
                          highlighted ? Qt::SolidLine : Qt::DashLine));
            if (l.horizontal)
                p.drawLine(QPointF(sheet.left(), l.position), QPointF(sheet.right(), l.position));
            else
                p.drawLine(QPointF(l.position, sheet.top()), QPointF(l.position, sheet.bottom()));
        }
    }
}

} // namespace fenpai
