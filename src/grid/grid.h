#pragma once

#include "core/status.h"
#include "grid/cellstyle.h"
#include "grid/gridarea.h"
#include "grid/gridcell.h"
#include "grid/gridcolumn.h"
#include "grid/gridcolumninfo.h"
#include "grid/gridcursor.h"
#include "grid/griddata.h"
#include "grid/gridfont.h"
#include "grid/gridfragment.h"
#include "grid/gridrange.h"
#include "grid/pagesetup.h"
#include "grid/reporttitle.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace fenpai {

// The table model behind every document: cells with texts, tags and formats, columns, merges,
// printing settings and pictures, kept in small stores (GridData). No widgets and no
// selection; GridView shows it and keeps the user's selection, GridPageRenderer paints its
// pages. Row 0 .. fixedRows()-1 and column 0 are fixed.
//
// Every change reports the cells it touched through changed(area), or collects them while
// autoRedraw() is off until refresh(). Rows and columns inserted or removed are also reported
// at once through their own signals, whatever autoRedraw says.
class Grid final : public QObject
{
    Q_OBJECT

public:
    explicit Grid(QObject *parent = nullptr);
    ~Grid() override;

    // Size
    int rows() const { return m_data.content.rowCount(); }
    void setRows(int rows);
    int cols() const { return m_data.content.colCount(); }
    void setCols(int cols);
    int fixedRows() const { return m_data.settings.fixedRows; }
    void setFixedRows(int rows);
    bool displayRowIndex() const { return m_data.settings.displayRowIndex; }
    void setDisplayRowIndex(bool on);
    int rowHeight(int row) const; // 0 hides the row
    void setRowHeight(int row, int pixels);
    int defaultRowHeight() const { return m_data.settings.defaultRowHeight; }
    void setDefaultRowHeight(int pixels);

    // Appends one row; the text is split at tabs into columns 1, 2, ...; extra parts are dropped.
    // Without redraw the row waits for the next change or refresh() to be shown.
    void addItem(const QString &tabText, bool redraw = true);
    void insertRows(int at, int count = 1); // new empty rows before row `at` (at == rows() appends)
    void insertCols(int at, int count = 1);
    void deleteRows(int at, int count = 1);
    void deleteCols(int at, int count = 1);

    // Cells
    GridCell cell(int row, int col) { return GridCell(this, row, col); }
    bool isValidCell(int row, int col) const { return m_data.content.isValid(row, col); }
    const QString &cellText(int row, int col) const; // empty for cells outside the grid
    void setCellText(int row, int col, const QString &text);
    const QString &cellTag(int row, int col) const;
    void setCellTag(int row, int col, const QString &tag); // tags are not shown: no change reported
    const CellStyle &cellStyle(int row, int col) const;
    void setCellStyle(int row, int col, const CellStyle &style);
    GridFont cellFont(int row, int col) const;       // resolved against the default font
    GridAlign cellAlignment(int row, int col) const; // resolved against the column
    void setCellImage(int row, int col, const QString &key);
    // The text as shown: the row number in column 0 with displayRowIndex, otherwise the stored
    // text, through the column's format string when the column's mask is numeric.
    QString displayText(int row, int col) const;
    // True when the cell holds a number (as shown right-aligned with general alignment).
    bool isNumericCell(int row, int col) const;

    // Columns
    GridColumn column(int col) { return GridColumn(this, col); }
    const GridColumnInfo &columnInfo(int col) const { return m_data.content.column(col); }
    int columnWidth(int col) const;
    void setColumnWidth(int col, int pixels);
    int columnMask(int col) const { return columnInfo(col).mask; }
    void setColumnMask(int col, int mask);
    GridAlign columnAlignment(int col) const { return columnInfo(col).alignment; }
    void setColumnAlignment(int col, GridAlign align);
    QString columnFormatString(int col) const { return columnInfo(col).formatString; }
    void setColumnFormatString(int col, const QString &format);
    void autoFitColumn(int col, const GridTextMeasure &measure = {});
    // Sorts the rows below the fixed rows by one column, stable (see GridSorter). Rows move
    // whole, with their formats, tags and heights.
    void sortByColumn(int col, int order); // 0 ascending, 1 descending

    // Ranges, merges
    GridRange range(int r1, int c1, int r2, int c2) { return GridRange(this, r1, c1, r2, c2); }
    const QList<GridArea> &merges() const { return m_data.merges.blocks(); }
    // The merged block holding the cell, or the cell alone.
    GridArea mergeAt(int row, int col) const { return m_data.merges.blockAt(row, col); }
    void mergeArea(const GridArea &area);   // replaces blocks it overlaps
    void unmergeArea(const GridArea &area); // removes blocks inside the area
    void setBorder(const GridArea &area, GridBorder::Edge edge, GridBorder::Style style);
    void clearArea(const GridArea &area, bool formatsToo);
    void applyStyle(const GridArea &area, const std::function<void(CellStyle &)> &change);

    // Copy and paste, without the clipboard (GridClipboard carries fragments there and back).
    GridFragment fragment(const GridArea &area) const;
    // Pastes at the cell; what does not fit is cut off, pasting never grows the grid.
    void pasteFragment(const GridFragment &fragment, int row, int col);
    // Text split at tabs and line breaks, from the cell on.
    void pastePlainText(const QString &text, int row, int col);

    // Fonts, behaviour
    const GridFont &defaultFont() const { return m_data.settings.defaultFont; }
    void setDefaultFont(const GridFont &font); // a size below 1 becomes 1
    void setDefaultFontName(const QString &name);
    void setDefaultFontSize(double points);
    bool allowUserSort() const { return m_data.settings.allowUserSort; }
    void setAllowUserSort(bool on);
    bool isEnabled() const { return m_data.settings.enabled; }
    void setEnabled(bool on);
    bool autoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on); // switching on does not redraw; refresh() does
    // One changed() for everything collected since drawing went off, or for everything when
    // nothing was.
    void refresh();

    // Printing
    const QList<ReportTitle> &reportTitles() const { return m_data.print.titles(); }
    void addReportTitle(const ReportTitle &title);
    void clearReportTitles();
    // Changes through the reference are not reported; setPageSetup() reports them.
    PageSetup &pageSetup() { return m_data.print.pageSetup(); }
    const PageSetup &pageSetup() const { return m_data.print.pageSetup(); }
    void setPageSetup(const PageSetup &setup);
    const QList<int> &hPageBreaks() const { return m_data.print.pageBreaks(); }
    void addHPageBreak(int row); // a new page starts at this row
    void clearHPageBreaks();
    // Pages that begin at this row or below print without the fixed and title rows (0: none).
    int titleRowsEnd() const { return m_data.print.titleRowsEnd(); }
    void setTitleRowsEnd(int row);

    // Images
    // Adds the picture file under the key; a missing or unreadable file adds nothing and
    // returns false (not an error for callers).
    bool addImage(const QString &key, const QString &filePath);
    bool addImageData(const QString &key, const QByteArray &encoded);
    // A picture drawn in memory, encoded only when the grid is saved.
    bool addImage(const QString &key, const QImage &image);
    void removeImage(const QString &key);
    void clearImages();
    QImage image(const QString &key) const { return m_data.images.image(key); }
    QByteArray imageData(const QString &key) const { return m_data.images.data(key); }
    QStringList imageKeys() const { return m_data.images.keys(); }
    // The picture is a matrix of modules (see GridImages), drawn as squares.
    bool isModulePicture(const QString &key) const { return m_data.images.isModules(key); }

    // Files (.cel: versioned JSON, see GridFile) with the cursor the user left in them. Saving
    // goes through a temporary file, so a failure keeps the previous file; opening a damaged or
    // newer file fails and leaves the grid as it was.
    [[nodiscard]] Status saveFile(const QString &path, const GridCursor &cursor = {}) const;
    [[nodiscard]] Status openFile(const QString &path, GridCursor *cursor = nullptr);
    QByteArray toJson(const GridCursor &cursor = {}) const;
    [[nodiscard]] Status fromJson(const QByteArray &json, GridCursor *cursor = nullptr);

    // Everything the grid holds, read-only: what files are written from.
    const GridData &data() const { return m_data; }

    // Empties the grid back to a new grid's state (size 2 × 2, default settings).
    void reset();
    // Puts back a state taken from data() earlier (undo and redo). Unlike a file read it is the
    // same document: rows and columns that come or go are reported as such, then every cell.
    void restoreData(GridData data);

signals:
    // The cells in the area may look different; merged blocks are reported whole. A lastRow of
    // GridArea::kEnd means the rows from firstRow on moved or changed height (rows inserted,
    // deleted, sorted or resized), a lastCol of kEnd the same for columns;
    // GridArea::everything() comes with a new grid or a changed grid-wide setting.
    void changed(const GridArea &area);
    void rowsInserted(int at, int count);
    void rowsRemoved(int at, int count);
    void columnsInserted(int at, int count);
    void columnsRemoved(int at, int count);
    // The whole grid was replaced: reset or read from a file.
    void contentReplaced();

private:
    // Reports the area now, or collects it while autoRedraw is off.
    void touch(const GridArea &area);
    void flush();
    // Changes the styles of the cells of the area without reporting; returns the cells changed.
    GridArea restyle(const GridArea &area, const std::function<void(CellStyle &)> &change);
    GridArea rowsFrom(int row) const;
    GridArea colsFrom(int col) const;
    GridArea allCells() const { return GridArea{0, 0, rows() - 1, cols() - 1}; }
    void setColumnInfo(int col, const std::function<void(GridColumnInfo &)> &change,
                       const GridArea &area);

    GridData m_data;
    bool m_autoRedraw = true;
    GridArea m_pending; // collected while autoRedraw is off
};

} // namespace fenpai
