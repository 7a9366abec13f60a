#include "grid/cellstyle.h"

#include <QDataStream>
#include <QIODevice>

namespace fenpai {

int GridAlign::horizontal(int code)
{
    if (code < 5 || code > 15 || (code - 5) % 4 == 3)
        return -1;
    return (code - 5) / 4;
}

int GridAlign::vertical(int code)
{
    if (horizontal(code) < 0)
        return 1;
    return (code - 5) % 4;
}

QByteArray CellStyle::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << fontName << fontSize << bold << italic << underline << strikeout << foreColor
        << backColor << qint32(alignment) << wrapText << locked << dropDown << imageKey;
    for (quint8 b : borders)
        out << b;
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
    for (quint8 &b : s.borders)
        in >> b;
    if (in.status() != QDataStream::Ok)
        return false;
    s.alignment = alignment;
    *out = std::move(s);
    return true;
}

} // namespace fenpai
