#include "grid/gridfragment.h"

#include "grid/tabtext.h"

#include <QDataStream>
#include <QIODevice>

namespace fenpai {

QByteArray GridFragment::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint32(1) << qint32(rows) << qint32(cols) << texts << tags;
    out << qint32(styles.size());
    for (const CellStyle &s : styles)
        out << s.toBytes();
    out << qint32(merges.size());
    for (const GridArea &m : merges)
        out << qint32(m.firstRow) << qint32(m.firstCol) << qint32(m.lastRow) << qint32(m.lastCol);
    out << images;
    return bytes;
}

bool GridFragment::fromBytes(const QByteArray &bytes, GridFragment *out)
{
    QDataStream in(bytes);
    quint32 version = 0;
    qint32 rows = 0;
    qint32 cols = 0;
    GridFragment f;
    in >> version >> rows >> cols >> f.texts >> f.tags;
    if (in.status() != QDataStream::Ok || version != 1 || rows < 0 || cols < 0 ||
        qint64(rows) * cols != f.texts.size() || f.tags.size() != f.texts.size())
        return false;
    f.rows = rows;
    f.cols = cols;
    qint32 styleCount = 0;
    in >> styleCount;
    if (styleCount != f.texts.size())
        return false;
    f.styles.reserve(styleCount);
    for (qint32 i = 0; i < styleCount; ++i) {
        QByteArray key;
        in >> key;
        CellStyle s;
        if (!CellStyle::fromBytes(key, &s))
            return false;
        f.styles.append(s);
    }
    qint32 mergeCount = 0;
    in >> mergeCount;
    if (mergeCount < 0 || mergeCount > f.texts.size())
        return false;
    for (qint32 i = 0; i < mergeCount; ++i) {
        qint32 a, b, c, d;
        in >> a >> b >> c >> d;
        f.merges.append(GridArea{a, b, c, d});
    }
    in >> f.images;
    if (in.status() != QDataStream::Ok)
        return false;
    *out = std::move(f);
    return true;
}

QString GridFragment::toPlainText() const
{
    QString text;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c > 0)
                text += u'\t';
            // Quoted where a tab or line break would split the cell, as spreadsheets read it.
            text += TabText::quote(texts.at(r * cols + c));
        }
        text += u'\n';
    }
    return text;
}

} // namespace fenpai
