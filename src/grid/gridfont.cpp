#include "grid/gridfont.h"

#include <algorithm>

namespace fenpai {

QFont GridFont::toQFont() const
{
    QFont font(name);
    font.setPointSizeF(size > 0 ? size : 9);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    font.setStrikeOut(strikeout);
    return font;
}

QFont GridFont::toPixelFont() const
{
    QFont font = toQFont();
    font.setPixelSize(std::max(1, qRound(size * 96.0 / 72.0)));
    return font;
}

GridFont GridFont::fromQFont(const QFont &font)
{
    GridFont f;
    f.name = font.family();
    f.size = font.pointSizeF() > 0 ? font.pointSizeF() : 9;
    f.bold = font.bold();
    f.italic = font.italic();
    f.underline = font.underline();
    f.strikeout = font.strikeOut();
    return f;
}

} // namespace fenpai
