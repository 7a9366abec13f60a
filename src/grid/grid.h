#pragma once

#include "core/status.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace fenpai {

class Grid;

// A font as the grid stores it: plain values, comparable, saved in grid files.
struct GridFont
{
    QString name = QStringLiteral("宋体");
    double size = 9; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    QFont toQFont() const;
    static GridFont fromQFont(const QFont &font);
    bool operator==(const GridFont &) const = default;
};

// A rectangle of cells, inclusive on both ends. An area with lastRow < firstRow is empty.
struct GridArea
{
    int firstRow = 0;
    int firstCol = 0;
    int lastRow = -1;
    int lastCol = -1;

    bool isEmpty() const { return lastRow < firstRow || lastCol < firstCol; }
    bool isSingleCell() const { return firstRow == lastRow && firstCol == lastCol; }
    int rowCount() const { return isEmpty() ? 0 : lastRow - firstRow + 1; }
    int colCount() const { return isEmpty() ? 0 : lastCol - firstCol + 1; }
    bool contains(int row, int col) const
    {
        return row >= firstRow && row <= lastRow && col >= firstCol && col <= lastCol;
    }
    bool intersects(const GridArea &o) const
    {
        return !isEmpty() && !o.isEmpty() && firstRow <= o.lastRow && o.firstRow <= lastRow &&
               firstCol <= o.lastCol && o.firstCol <= lastCol;
    }
    // The same cells whatever order the corners were given in.
    static GridArea normalized(int r1, int c1, int r2, int c2);
    bool operator==(const GridArea &) const = default;
};

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

// Column masks: 0 shows the text as stored, 5 limits entry to numbers and shows the value
// through the column's format string; 3 and any other value mean text.
namespace GridMask {
constexpr int None = 0;
constexpr int Text = 3;
constexpr int Numeric = 5;
} // namespace GridMask

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

    bool operator==(const CellStyle &) const = default;
};

struct GridColumnInfo
{
    int width = 72; // pixels at 96 dpi; 0 hides the column
    int mask = GridMask::None;
    int alignment = GridAlign::General;
    QString formatString;
    bool operator==(const GridColumnInfo &) const = default;
};

// A title printed above the table. Text is split at "|" into left, centre and right parts.
struct ReportTitle
{
    QString text;
    GridFont font;
    int alignTo = 0; // 1: the three parts align to the table's width, else the printable width
    bool printOnAllPages = true;
    bool operator==(const ReportTitle &) const = default;
};

struct PaperKind
{
    QString name;
    double width = 0; // centimetres, portrait
    double height = 0;
};

// Everything the page setup dialog edits. Lengths are centimetres.
struct PageSetup
{
    int orientation = 1;      // 1 portrait, 2 landscape
    int paperKind = 0;        // index into paperKinds(); the last entry is the custom size
    double paperWidth = 21.0; // custom size, used when paperKind is the last entry
    double paperHeight = 29.7;
    int zoom = 100; // percent of normal size
    double leftMargin = 2.0;
    double rightMargin = 2.0;
    double topMargin = 2.5;
    double bottomMargin = 2.5;
    double headerMargin = 1.5; // page edge to the header line
    double footerMargin = 1.5; // page edge to the footer line
    QString header;            // "&p" page number, "&n" page count
    int headerAlignment = 1;   // 0 left, 1 centre, 2 right
    GridFont headerFont;
    QString footer;
    int footerAlignment = 1;
    GridFont footerFont;
    int printTitleRows = 0;       // data rows repeated at the top of every page
    int printTitleColumns = 0;    // data columns repeated at the left of every page
    int printBottomTitleRows = 0; // last rows repeated at the bottom of every page
    bool printFixedRow = true;
    bool printFixedColumn = false;
    bool printGridlines = true;
    bool blackAndWhite = false;
    bool centerHorizontally = false;
    bool centerVertically = false;

    // The paper kinds in list order; the last one is the custom size.
    static const QList<PaperKind> &paperKinds();
    static int customPaperKind() { return int(paperKinds().size()) - 1; }
    // Paper size in centimetres, portrait, for the chosen kind or the custom size.
    double pageWidthCm() const;
    double pageHeightCm() const;
    bool operator==(const PageSetup &) const = default;
};

// A copied block of cells with their formats, tags, merges, row heights and the images they
// use; what CopyData keeps and PasteData pastes.
struct GridFragment
{
    int rows = 0;
    int cols = 0;
    QStringList texts; // row-major, rows × cols
    QStringList tags;
    QList<CellStyle> styles;
    QList<GridArea> merges;            // relative to the fragment's top-left cell
    QHash<QString, QByteArray> images; // key → encoded picture

    bool isEmpty() const { return rows == 0 || cols == 0; }
    QByteArray toBytes() const;
    static bool fromBytes(const QByteArray &bytes, GridFragment *out);
    QString toPlainText() const; // tab between cells, newline after each row
};

// Measures the width in pixels of a text in a font; the model stays free of widgets.
using GridTextMeasure = std::function<double(const QFont &font, const QString &text)>;

// One cell of a grid: a light handle, valid while the grid and the cell exist.
class GridCell final
{
public:
    GridCell(Grid *grid, int row, int col)
        : m_grid(grid)
        , m_row(row)
        , m_col(col)
    {}
    int row() const { return m_row; }
    int col() const { return m_col; }

    QString text() const;
    void setText(const QString &text);
    QString tag() const;
    void setTag(const QString &tag);
    bool wrapText() const;
    void setWrapText(bool on);
    bool locked() const;
    void setLocked(bool on);
    GridFont font() const; // resolved against the default font
    int alignment() const; // resolved against the column
    QColor foreColor() const;
    QColor backColor() const;
    QString imageKey() const;
    void setImage(const QString &key);

private:
    Grid *m_grid;
    int m_row;
    int m_col;
};

// One column of a grid.
class GridColumn final
{
public:
    GridColumn(Grid *grid, int col)
        : m_grid(grid)
        , m_col(col)
    {}
    int width() const;
    void setWidth(int pixels);
    int mask() const;
    void setMask(int mask);
    int alignment() const;
    void setAlignment(int code);
    QString formatString() const;
    void setFormatString(const QString &format);
    // Widens or narrows the column to its widest shown text. Without a measure the installed
    // fonts are asked (needs a QGuiApplication); otherwise an estimate is used.
    void autoFit(const GridTextMeasure &measure = {});
    void sort(int order); // 0 ascending, 1 descending

private:
    Grid *m_grid;
    int m_col;
};

// A rectangle of cells of a grid, and the operations on it; the selection is one too.
class GridRange final
{
public:
    GridRange(Grid *grid, int r1, int c1, int r2, int c2);
    GridRange(Grid *grid, const GridArea &area);

    int firstRow() const { return m_area.firstRow; }
    int lastRow() const { return m_area.lastRow; }
    int firstCol() const { return m_area.firstCol; }
    int lastCol() const { return m_area.lastCol; }
    const GridArea &area() const { return m_area; }

    void select(); // makes this range the grid's selection, active cell at its top-left
    void merge();
    bool mergeCells() const;     // true when the range is exactly one merged block
    void setMergeCells(bool on); // false unmerges every block inside the range
    void setBorder(int edge, int style);
    void clear(); // texts, tags, formats and merges
    void clearText();
    // Puts the range on the clipboard: plain text for other programs, a rich copy for us.
    void copyData() const;
    // Pastes the clipboard at the range's top-left cell: our rich copy with its formats when
    // the clipboard holds one, else the plain text split at tabs and newlines.
    void pasteData();

    void setFontName(const QString &name);
    void setFontSize(double points);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontStrikeout(bool on);
    void setFont(const GridFont &font); // every part at once
    void setForeColor(const QColor &color);
    void setBackColor(const QColor &color);
    void setAlignment(int code);
    void setWrapText(bool on);
    void setLocked(bool on);
    void setDropDown(bool on);
    void setImage(const QString &key);

    void insertRows(); // as many rows as the range has, before its first row
    void insertCols();
    void deleteByRow(); // deletes the range's rows (never the fixed rows)
    void deleteByCol(); // deletes the range's columns (never column 0)

private:
    Grid *m_grid;
    GridArea m_area;
};

// The table model behind every document: cells with texts, tags and formats, columns, merges,
// selection, printing settings and pictures. No widgets; GridView shows it, GridPageRenderer paints
// its pages. Row 0 .. fixedRows()-1 and column 0 are fixed. Changes emit changed() unless
// autoRedraw() is off, in which case one changed() follows refresh().
class Grid final : public QObject
{
    Q_OBJECT

public:
    explicit Grid(QObject *parent = nullptr);
    ~Grid() override;

    // Size
    int rows() const { return int(m_rows.size()); }
    void setRows(int rows);
    int cols() const { return int(m_columns.size()); }
    void setCols(int cols);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int rows);
    bool displayRowIndex() const { return m_displayRowIndex; }
    void setDisplayRowIndex(bool on);
    int rowHeight(int row) const; // 0 hides the row
    void setRowHeight(int row, int pixels);
    int defaultRowHeight() const { return m_defaultRowHeight; }
    void setDefaultRowHeight(int pixels);

    // Appends one row; the text is split at tabs into columns 1, 2, ...; extra parts are dropped.
    void addItem(const QString &tabText, bool redraw = true);
    void insertRows(int at, int count = 1); // new empty rows before row `at` (at == rows() appends)
    void insertCols(int at, int count = 1);
    void deleteRows(int at, int count = 1);
    void deleteCols(int at, int count = 1);

    // Cells
    GridCell cell(int row, int col) { return GridCell(this, row, col); }
    bool isValidCell(int row, int col) const;
    const QString &cellText(int row, int col) const; // empty for cells outside the grid
    void setCellText(int row, int col, const QString &text);
    const QString &cellTag(int row, int col) const;
    void setCellTag(int row, int col, const QString &tag);
    const CellStyle &cellStyle(int row, int col) const;
    void setCellStyle(int row, int col, const CellStyle &style);
    GridFont cellFont(int row, int col) const; // resolved against the default font
    int cellAlignment(int row, int col) const; // resolved against the column
    void setCellImage(int row, int col, const QString &key);
    // The text as shown: the row number in column 0 with displayRowIndex, otherwise the stored
    // text, through the column's format string when the column's mask is numeric.
    QString displayText(int row, int col) const;
    // True when the cell holds a number (as shown right-aligned with general alignment).
    bool isNumericCell(int row, int col) const;

    // Columns
    GridColumn column(int col) { return GridColumn(this, col); }
    const GridColumnInfo &columnInfo(int col) const;
    int columnWidth(int col) const;
    void setColumnWidth(int col, int pixels);
    int columnMask(int col) const;
    void setColumnMask(int col, int mask);
    int columnAlignment(int col) const;
    void setColumnAlignment(int col, int code);
    QString columnFormatString(int col) const;
    void setColumnFormatString(int col, const QString &format);
    void autoFitColumn(int col, const GridTextMeasure &measure = {});
    // Sorts the rows below the fixed rows by one column, stable; numbers as numbers before
    // texts in Chinese collation, empty cells last in both orders. Rows move whole.
    void sortByColumn(int col, int order); // 0 ascending, 1 descending

    // Ranges, merges
    GridRange range(int r1, int c1, int r2, int c2) { return GridRange(this, r1, c1, r2, c2); }
    const QList<GridArea> &merges() const { return m_merges; }
    // The merged block holding the cell, or the cell alone.
    GridArea mergeAt(int row, int col) const;
    void mergeArea(const GridArea &area);   // replaces blocks it overlaps
    void unmergeArea(const GridArea &area); // removes blocks inside the area
    void setBorder(const GridArea &area, int edge, int style);
    void clearArea(const GridArea &area, bool formatsToo);
    void applyStyle(const GridArea &area, const std::function<void(CellStyle &)> &change);

    // Copy and paste
    GridFragment fragment(const GridArea &area) const;
    void pasteFragment(const GridFragment &fragment, int row, int col);
    void pastePlainText(const QString &text, int row, int col);
    void copyToClipboard(const GridArea &area) const;
    void pasteFromClipboard(int row, int col);

    // Selection
    GridRange selection(); // the selected rectangle
    const GridArea &selectionArea() const { return m_selection; }
    int activeRow() const { return m_activeRow; }
    int activeCol() const { return m_activeCol; }
    GridCell activeCell() { return GridCell(this, m_activeRow, m_activeCol); }
    void setActiveCell(int row, int col);        // selects that single cell
    void select(int r1, int c1, int r2, int c2); // active cell (r1, c1)
    // Sets selection and active cell without normalising the active cell into a corner.
    void setSelection(const GridArea &area, int activeRow, int activeCol);

    // Fonts, behaviour
    const GridFont &defaultFont() const { return m_defaultFont; }
    void setDefaultFont(const GridFont &font); // a size below 1 becomes 1
    void setDefaultFontName(const QString &name);
    void setDefaultFontSize(double points);
    bool allowUserSort() const { return m_allowUserSort; }
    void setAllowUserSort(bool on);
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on);
    bool autoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on); // switching on does not redraw; refresh() does
    void refresh();              // one changed() for everything since drawing went off

    // Printing
    const QList<ReportTitle> &reportTitles() const { return m_reportTitles; }
    void addReportTitle(const ReportTitle &title);
    void clearReportTitles();
    PageSetup &pageSetup() { return m_pageSetup; }
    const PageSetup &pageSetup() const { return m_pageSetup; }
    void setPageSetup(const PageSetup &setup);
    const QList<int> &hPageBreaks() const { return m_hPageBreaks; }
    void addHPageBreak(int row); // a new page starts at this row
    void clearHPageBreaks();

    // Images
    // Adds the picture file under the key; a missing or unreadable file adds nothing and
    // returns false (not an error for callers).
    bool addImage(const QString &key, const QString &filePath);
    bool addImageData(const QString &key, const QByteArray &encoded);
    void removeImage(const QString &key);
    void clearImages();
    QImage image(const QString &key) const; // null when there is none
    QByteArray imageData(const QString &key) const;
    QStringList imageKeys() const;

    // Files (.cel: versioned JSON). Saving goes through a temporary file, so a failure keeps the
    // previous file; opening a damaged or newer file fails and leaves the grid as it was.
    Status saveFile(const QString &path) const;
    Status openFile(const QString &path);
    QByteArray toJson() const;
    Status fromJson(const QByteArray &json);

    // Empties the grid back to a new grid's state (size 2 × 2, default settings).
    void reset();

signals:
    // Something shown changed (content, formats, size, settings). Batched while autoRedraw is off.
    void changed();
    void selectionChanged();

private:
    struct Cell
    {
        QString text;
        quint32 style = 0;
    };
    struct Row
    {
        std::vector<Cell> cells;
        // Tags by column, only as long as the last tag needs: most rows carry none, and a
        // cell stays small for large tables.
        QStringList tags;
        int height = -1; // -1: the default row height
    };
    friend class GridCell;
    friend class GridColumn;
    friend class GridRange;
    friend class GridFile;

    void touch(); // emits changed() or marks it pending
    quint32 internStyle(const CellStyle &style);
    Cell *cellPtr(int row, int col);
    const Cell *cellPtr(int row, int col) const;
    void clampSelection();
    void unparkSelection();
    void rebuildMergeIndex() const;
    void invalidateMerges();
    void swapContent(Grid &other);
    Row newRow() const;

    std::vector<Row> m_rows;
    std::vector<GridColumnInfo> m_columns;
    std::vector<CellStyle> m_styles;         // interned; 0 is the default style
    QHash<QByteArray, quint32> m_styleIndex; // serialised style → id
    QList<GridArea> m_merges;
    mutable QHash<quint64, int> m_mergeIndex; // cell → index in m_merges
    mutable bool m_mergeIndexValid = false;
    int m_fixedRows = 1;
    int m_defaultRowHeight = 20;
    bool m_displayRowIndex = false;
    GridArea m_selection{1, 1, 1, 1};
    int m_activeRow = 1;
    int m_activeCol = 1;
    // The selection was pushed into the fixed rows because the data rows went; it returns to
    // the first data row when rows come back (a document refilled from one header row).
    bool m_selectionParked = false;
    GridFont m_defaultFont;
    bool m_allowUserSort = false;
    bool m_enabled = true;
    bool m_autoRedraw = true;
    bool m_pendingChange = false;
    QList<ReportTitle> m_reportTitles;
    PageSetup m_pageSetup;
    QList<int> m_hPageBreaks;
    QHash<QString, QByteArray> m_imageData;
    mutable QHash<QString, QImage> m_imageCache;
};

} // namespace fenpai
