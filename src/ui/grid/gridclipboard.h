#pragma once

#include <QString>

class QMimeData;

namespace fenpai {

class Grid;
struct GridArea;
struct GridFragment;

// Copy and paste of grid cells through the system clipboard: plain text, tabs between cells
// and a line break after each row, for other programs; and a rich copy with formats, tags,
// merges and pictures that our own grids paste back whole.
class GridClipboard final
{
public:
    // The MIME type of the rich copy.
    static QString mimeType();
    static QMimeData *toMimeData(const GridFragment &fragment); // the caller owns it
    // Pastes our rich copy when the data holds one, else its plain text; false when it holds
    // neither.
    static bool pasteMimeData(Grid &grid, const QMimeData &mime, int row, int col);

    // Puts the cells of the area on the clipboard; false when the area holds no cell.
    static bool copy(const Grid &grid, const GridArea &area);
    // Pastes the clipboard with its top-left cell at (row, col); false when there was nothing
    // to paste.
    static bool paste(Grid &grid, int row, int col);
};

} // namespace fenpai
