#pragma once

#include <QByteArray>
#include <QString>

namespace fenpai {

class Grid;

// QR codes from libqrencode: error correction level M, the text in UTF-8 (digits and capitals
// take the compact modes by themselves), as a matrix of modules the grid draws as vector
// squares (GridImages).
class QrCode final
{
public:
    // The code of `text` with `quiet` light modules round it as a binary portable bitmap, of
    // version `minVersion` at least (a larger version for a longer text); empty when the text does
    // not fit in a code.
    static QByteArray bitmap(const QString &text, int quiet = 4, int minVersion = 0);
    // The modules across, quiet zone included; 0 when the text does not fit in a code.
    static int width(const QByteArray &bitmap);

    // Sets the code of `text` as the picture of a cell (or of its merged block), kept once per
    // text; false, and the cell untouched, when the text does not fit in a code.
    static bool place(Grid &grid, int row, int col, const QString &text, int quiet = 4,
                      int minVersion = 0);
};

} // namespace fenpai
