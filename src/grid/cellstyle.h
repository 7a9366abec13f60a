#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <array>

namespace fenpai {

// Cell alignment codes: 5 + 4·h + v, h = 0 left, 1 centre, 2 right; v = 0 top, 1 middle,
// 2 bottom. Any other code is "general": text left, numbers right, vertically centred.
namespace GridAlign {
constexpr int General = 0;
constexpr int LeftTop = 5;
constexpr int LeftMiddle = 6;
constexpr int LeftBottom = 7;
constexpr int CenterTop = 9;
constexpr int CenterMiddle = 10;
constexpr int CenterBottom = 11;
constexpr int RightTop = 13;
constexpr int RightMiddle = 14;
constexpr int RightBottom = 15;
// Horizontal part: 0 left, 1 centre, 2 right, -1 general. Vertical part: 0 top, 1 middle, 2 bottom.
int horizontal(int code);
int vertical(int code);
} // namespace GridAlign

// Border edges of a range and border styles.
namespace GridBorder {
constexpr int Left = 0;
constexpr int Top = 1;
constexpr int Right = 2;
constexpr int Bottom = 3;
constexpr int InsideVertical = 4;
constexpr int InsideHorizontal = 5;
constexpr int DiagonalDown = 6;
constexpr int DiagonalUp = 7;
constexpr int None = 0;
constexpr int Thin = 1;
constexpr int Thick = 2;
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
    QColor foreColor;  // invalid: black
    QColor backColor;  // invalid: white
    int alignment = 0; // 0: the column's alignment
    bool wrapText = false;
    bool locked = false;
    bool dropDown = false; // the view offers a list when the cell is edited
    // Left, top, right, bottom, diagonal down, diagonal up; GridBorder styles.
    std::array<quint8, 6> borders{};
    QString imageKey; // a key of the grid's images, or empty

    // Every value in a fixed binary order: a key for interning, and the form a copied style
    // takes on the clipboard.
    QByteArray toBytes() const;
    static bool fromBytes(const QByteArray &bytes, CellStyle *out);
    bool operator==(const CellStyle &) const = default;
};

} // namespace fenpai
