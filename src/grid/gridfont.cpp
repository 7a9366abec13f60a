#include "grid/gridfont.h"

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
