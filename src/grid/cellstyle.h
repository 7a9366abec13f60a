#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <array>

namespace fenpai {

// Cell alignment codes: 5 + 4·h + v, h = 0 left, 1 centre, 2 right; v = 0 top, 1 middle,
// 2 bottom. Any other code is "general": text left, numbers right, vertically centred. Files and
// the clipboard store the number, and keep a code they do not know as it is.
enum class GridAlign : int
{
    General = 0,
    LeftTop = 5,
    LeftMiddle = 6,
    LeftBottom = 7,
    CenterTop = 9,
    CenterMiddle = 10,
    CenterBottom = 11,
    RightTop = 13,
    RightMiddle = 14,
    RightBottom = 15,
};
// Horizontal part: 0 left, 1 centre, 2 right, -1 general. Vertical part: 0 top, 1 middle, 2 bottom.
int alignHorizontal(GridAlign align);
int alignVertical(GridAlign align);

namespace GridBorder {
// The lines a border change of a range draws.
enum class Edge : int
{
    Left = 0,
    Top = 1,
    Right = 2,
    Bottom = 3,
    InsideVertical = 4,
    InsideHorizontal = 5,
    DiagonalDown = 6,
    DiagonalUp = 7,
};
// A line's weight; files and the clipboard store the number.
enum class Style : quint8
{
    None = 0,
    Thin = 1,
    Thick = 2,
};
} // namespace GridBorder

// The formats of one cell. Unset values fall back to the grid's default font, the column's
// alignment and black on white.
struct CellStyle
{
    QString fontName;    // empty: the default font's name
    double fontSize = 0; // points; 0: the default font's size
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    QColor foreColor;                         // invalid: black
    QColor backColor;                         // invalid: white
    GridAlign alignment = GridAlign::General; // General here: the column's alignment
    bool wrapText = false;
    bool locked = false;
    bool dropDown = false; // the view offers a list when the cell is edited
    // Left, top, right, bottom, diagonal down, diagonal up.
    std::array<GridBorder::Style, 6> borders{};
    QString imageKey; // a key of the grid's images, or empty

    // Every value in a fixed binary order: the form a copied style takes on the clipboard.
    QByteArray toBytes() const;
    static bool fromBytes(const QByteArray &bytes, CellStyle *out);
    bool operator==(const CellStyle &) const = default;
};

} // namespace fenpai
