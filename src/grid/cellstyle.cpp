#include "grid/cellstyle.h"

#include <QDataStream>
#include <QIODevice>

#include <algorithm>

namespace fenpai {

int alignHorizontal(GridAlign align)
{
    const int code = int(align);
    if (code < 5 || code > 15 || (code - 5) % 4 == 3)
        return -1;
    return (code - 5) / 4;
}

int alignVertical(GridAlign align)
{
    if (alignHorizontal(align) < 0)
        return 1;
    return (int(align) - 5) % 4;
}

QByteArray CellStyle::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << fontName << fontSize << bold << italic << underline << strikeout << foreColor
        << backColor << qint32(alignment) << wrapText << locked << dropDown << imageKey;
    for (GridBorder::Style b : borders)
        out << quint8(b);
    return bytes;
}

bool CellStyle::fromBytes(const QByteArray &bytes, CellStyle *out)
{
    QDataStream in(bytes);
    CellStyle s;
    qint32 alignment = 0;
    in >> s.fontName >> s.fontSize >> s.bold >> s.italic >> s.underline >> s.strikeout >>
        s.foreColor >> s.backColor >> alignment >> s.wrapText >> s.locked >> s.dropDown >>
        s.imageKey;
    std::array<quint8, 6> borders{};
    for (quint8 &b : borders)
        in >> b;
    if (in.status() != QDataStream::Ok)
        return false;
    for (size_t i = 0; i < borders.size(); ++i)
        s.borders[i] = GridBorder::Style(std::min<quint8>(borders[i], 2));
    s.alignment = GridAlign(alignment);
    *out = std::move(s);
    return true;
}

} // namespace fenpai
