#include "grid/grid.h"

#include "grid/gridfile.h"
#include "grid/gridnumberformat.h"

#include <QBuffer>
#include <QClipboard>
#include <QCollator>
#include <QDataStream>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace fenpai {

namespace {

const QString kEmpty;
const CellStyle kDefaultStyle;
const GridColumnInfo kNoColumn;
const char kFragmentMime[] = "application/x-fenpai-grid-fragment";
constexpr int kDefaultColumnWidth = 72;
constexpr int kFixedColumnWidth = 40;
constexpr int kFitPadding = 8;

quint64 cellKey(int row, int col)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

QByteArray styleKey(const CellStyle &s)
{
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out << s.fontName << s.fontSize << s.bold << s.italic << s.underline << s.strikeout
        << s.foreColor << s.backColor << qint32(s.alignment) << s.wrapText << s.locked << s.dropDown
        << s.imageKey;
    for (quint8 b : s.borders)
        out << b;
    return key;
}

// Applies a removal of `count` lines starting at `at` to the span first..last of a merge.
// Returns false when nothing of the span is left.
bool shrinkSpan(int &first, int &last, int at, int count)
{
    const int end = at + count; // first line kept after the removal
    auto map = [&](int line, bool isFirst) {
        if (line < at)
            return line;
        if (line >= end)
            return line - count;
        return isFirst ? at : at - 1;
    };
    const int f = map(first, true);
    const int l = map(last, false);
    if (l < f)
        return false;
    first = f;
    last = l;
    return true;
}

void growSpan(int &first, int &last, int at, int count)
{
    if (first >= at) {
        first += count;
        last += count;
    } else if (last >= at) {
        last += count;
    }
}

double estimateWidth(const QFont &font, const QString &text)
{
    const double px = font.pointSizeF() > 0 ? font.pointSizeF() * 96.0 / 72.0 : 12.0;
    double width = 0;
    for (QChar ch : text)
        width += ch.unicode() >= 0x2E80 ? px : px * 0.55;
    return width;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Small value types

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

GridArea GridArea::normalized(int r1, int c1, int r2, int c2)
{
    return GridArea{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
}

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

const QList<PaperKind> &PageSetup::paperKinds()
{
    static const QList<PaperKind> kinds = {
        {QStringLiteral("A4 (21 × 29.7 厘米)"), 21.0, 29.7},
        {QStringLiteral("A3 (29.7 × 42 厘米)"), 29.7, 42.0},
        {QStringLiteral("A5 (14.8 × 21 厘米)"), 14.8, 21.0},
        {QStringLiteral("B4 (25.7 × 36.4 厘米)"), 25.7, 36.4},
        {QStringLiteral("B5 (18.2 × 25.7 厘米)"), 18.2, 25.7},
        {QStringLiteral("16开 (18.4 × 26 厘米)"), 18.4, 26.0},
        {QStringLiteral("Letter (21.59 × 27.94 厘米)"), 21.59, 27.94},
        {QStringLiteral("Legal (21.59 × 35.56 厘米)"), 21.59, 35.56},
        {QStringLiteral("自定义大小"), 0, 0},
    };
    return kinds;
}

double PageSetup::pageWidthCm() const
{
    const auto &kinds = paperKinds();
    if (paperKind >= 0 && paperKind < customPaperKind())
        return kinds.at(paperKind).width;
    return paperWidth > 0 ? paperWidth : kinds.at(0).width;
}

double PageSetup::pageHeightCm() const
{
    const auto &kinds = paperKinds();
    if (paperKind >= 0 && paperKind < customPaperKind())
        return kinds.at(paperKind).height;
    return paperHeight > 0 ? paperHeight : kinds.at(0).height;
}

QByteArray GridFragment::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint32(1) << qint32(rows) << qint32(cols) << texts << tags;
    out << qint32(styles.size());
    for (const CellStyle &s : styles)
        out << styleKey(s);
    out << qint32(merges.size());
    for (const GridArea &m : merges)
        out << qint32(m.firstRow) << qint32(m.firstCol) << qint32(m.lastRow) << qint32(m.lastCol);
    out << images;
    return bytes;
}

bool GridFragment::fromBytes(const QByteArray &bytes, GridFragment *out)
{
    QDataStream in(bytes);
    quint32 version = 0;
    qint32 rows = 0;
    qint32 cols = 0;
    GridFragment f;
    in >> version >> rows >> cols >> f.texts >> f.tags;
    if (in.status() != QDataStream::Ok || version != 1 || rows < 0 || cols < 0 ||
        qint64(rows) * cols != f.texts.size() || f.tags.size() != f.texts.size())
        return false;
    f.rows = rows;
    f.cols = cols;
    qint32 styleCount = 0;
    in >> styleCount;
    if (styleCount != f.texts.size())
        return false;
    f.styles.reserve(styleCount);
    for (qint32 i = 0; i < styleCount; ++i) {
        QByteArray key;
        in >> key;
        QDataStream sin(key);
        CellStyle s;
        qint32 alignment = 0;
        sin >> s.fontName >> s.fontSize >> s.bold >> s.italic >> s.underline >> s.strikeout >>
            s.foreColor >> s.backColor >> alignment >> s.wrapText >> s.locked >> s.dropDown >>
            s.imageKey;
        for (quint8 &b : s.borders)
            sin >> b;
        s.alignment = alignment;
        if (sin.status() != QDataStream::Ok)
            return false;
        f.styles.append(s);
    }
    qint32 mergeCount = 0;
    in >> mergeCount;
    if (mergeCount < 0 || mergeCount > f.texts.size())
        return false;
    for (qint32 i = 0; i < mergeCount; ++i) {
        qint32 a, b, c, d;
        in >> a >> b >> c >> d;
        f.merges.append(GridArea{a, b, c, d});
    }
    in >> f.images;
    if (in.status() != QDataStream::Ok)
        return false;
    *out = std::move(f);
    return true;
}

QString GridFragment::toPlainText() const
{
    QString text;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (c > 0)
                text += u'\t';
            QString cell = texts.at(r * cols + c);
            // Tabs and line breaks inside a cell would split it when pasted elsewhere.
            cell.replace(u'\t', u' ').replace(u'\n', u' ').remove(u'\r');
            text += cell;
        }
        text += u'\n';
    }
    return text;
}

// ---------------------------------------------------------------------------------------------
// GridCell

QString GridCell::text() const
{
    return m_grid->cellText(m_row, m_col);
}
void GridCell::setText(const QString &text)
{
    m_grid->setCellText(m_row, m_col, text);
}
QString GridCell::tag() const
{
    return m_grid->cellTag(m_row, m_col);
}
void GridCell::setTag(const QString &tag)
{
    m_grid->setCellTag(m_row, m_col, tag);
}
bool GridCell::wrapText() const
{
    return m_grid->cellStyle(m_row, m_col).wrapText;
}
void GridCell::setWrapText(bool on)
{
    GridRange(m_grid, m_row, m_col, m_row, m_col).setWrapText(on);
}
bool GridCell::locked() const
{
    return m_grid->cellStyle(m_row, m_col).locked;
}
void GridCell::setLocked(bool on)
{
    GridRange(m_grid, m_row, m_col, m_row, m_col).setLocked(on);
}
GridFont GridCell::font() const
{
    return m_grid->cellFont(m_row, m_col);
}
int GridCell::alignment() const
{
    return m_grid->cellAlignment(m_row, m_col);
}
QColor GridCell::foreColor() const
{
    const QColor c = m_grid->cellStyle(m_row, m_col).foreColor;
    return c.isValid() ? c : QColor(Qt::black);
}
QColor GridCell::backColor() const
{
    const QColor c = m_grid->cellStyle(m_row, m_col).backColor;
    return c.isValid() ? c : QColor(Qt::white);
}
QString GridCell::imageKey() const
{
    return m_grid->cellStyle(m_row, m_col).imageKey;
}
void GridCell::setImage(const QString &key)
{
    m_grid->setCellImage(m_row, m_col, key);
}

// ---------------------------------------------------------------------------------------------
// GridColumn

int GridColumn::width() const
{
    return m_grid->columnWidth(m_col);
}
void GridColumn::setWidth(int pixels)
{
    m_grid->setColumnWidth(m_col, pixels);
}
int GridColumn::mask() const
{
    return m_grid->columnMask(m_col);
}
void GridColumn::setMask(int mask)
{
    m_grid->setColumnMask(m_col, mask);
}
int GridColumn::alignment() const
{
    return m_grid->columnAlignment(m_col);
}
void GridColumn::setAlignment(int code)
{
    m_grid->setColumnAlignment(m_col, code);
}
QString GridColumn::formatString() const
{
    return m_grid->columnFormatString(m_col);
}
void GridColumn::setFormatString(const QString &format)
{
    m_grid->setColumnFormatString(m_col, format);
}
void GridColumn::autoFit(const GridTextMeasure &measure)
{
    m_grid->autoFitColumn(m_col, measure);
}
void GridColumn::sort(int order)
{
    m_grid->sortByColumn(m_col, order);
}

// ---------------------------------------------------------------------------------------------
// GridRange

GridRange::GridRange(Grid *grid, int r1, int c1, int r2, int c2)
    : m_grid(grid)
    , m_area(GridArea::normalized(r1, c1, r2, c2))
{}

GridRange::GridRange(Grid *grid, const GridArea &area)
    : GridRange(grid, area.firstRow, area.firstCol, area.lastRow, area.lastCol)
{}

void GridRange::select()
{
    m_grid->select(m_area.firstRow, m_area.firstCol, m_area.lastRow, m_area.lastCol);
}
void GridRange::merge()
{
    m_grid->mergeArea(m_area);
}
bool GridRange::mergeCells() const
{
    return !m_area.isSingleCell() && m_grid->mergeAt(m_area.firstRow, m_area.firstCol) == m_area;
}
void GridRange::setMergeCells(bool on)
{
    if (on)
        m_grid->mergeArea(m_area);
    else
        m_grid->unmergeArea(m_area);
}
void GridRange::setBorder(int edge, int style)
{
    m_grid->setBorder(m_area, edge, style);
}
void GridRange::clear()
{
    m_grid->clearArea(m_area, true);
}
void GridRange::clearText()
{
    m_grid->clearArea(m_area, false);
}
void GridRange::copyData() const
{
    m_grid->copyToClipboard(m_area);
}
void GridRange::pasteData()
{
    m_grid->pasteFromClipboard(m_area.firstRow, m_area.firstCol);
}
void GridRange::setFontName(const QString &name)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.fontName = name; });
}
void GridRange::setFontSize(double points)
{
    // Sizes below 1 point cannot be drawn; they become 1.
    const double size = std::max(1.0, points);
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.fontSize = size; });
}
void GridRange::setFontBold(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.bold = on; });
}
void GridRange::setFontItalic(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.italic = on; });
}
void GridRange::setFontUnderline(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.underline = on; });
}
void GridRange::setFontStrikeout(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.strikeout = on; });
}
void GridRange::setFont(const GridFont &font)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) {
        s.fontName = font.name;
        s.fontSize = std::max(1.0, font.size);
        s.bold = font.bold;
        s.italic = font.italic;
        s.underline = font.underline;
        s.strikeout = font.strikeout;
    });
}
void GridRange::setForeColor(const QColor &color)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.foreColor = color; });
}
void GridRange::setBackColor(const QColor &color)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.backColor = color; });
}
void GridRange::setAlignment(int code)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.alignment = code; });
}
void GridRange::setWrapText(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.wrapText = on; });
}
void GridRange::setLocked(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.locked = on; });
}
void GridRange::setDropDown(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.dropDown = on; });
}
void GridRange::setImage(const QString &key)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.imageKey = key; });
}
void GridRange::insertRows()
{
    m_grid->insertRows(std::max(m_area.firstRow, m_grid->fixedRows()), m_area.rowCount());
}
void GridRange::insertCols()
{
    m_grid->insertCols(std::max(m_area.firstCol, 1), m_area.colCount());
}
void GridRange::deleteByRow()
{
    const int first = std::max(m_area.firstRow, m_grid->fixedRows());
    if (m_area.lastRow >= first)
        m_grid->deleteRows(first, m_area.lastRow - first + 1);
}
void GridRange::deleteByCol()
{
    const int first = std::max(m_area.firstCol, 1);
    if (m_area.lastCol >= first)
        m_grid->deleteCols(first, m_area.lastCol - first + 1);
}

// ---------------------------------------------------------------------------------------------
// Grid: size

Grid::Grid(QObject *parent)
    : QObject(parent)
{
    reset();
}

Grid::~Grid() = default;

void Grid::reset()
{
    m_columns.assign(2, GridColumnInfo{});
    m_columns[0].width = kFixedColumnWidth;
    m_styles.assign(1, CellStyle{});
    m_styleIndex.clear();
    m_styleIndex.insert(styleKey(CellStyle{}), 0);
    m_rows.clear();
    m_rows.resize(2, newRow());
    m_merges.clear();
    invalidateMerges();
    m_fixedRows = 1;
    m_defaultRowHeight = 20;
    m_displayRowIndex = false;
    m_selection = GridArea{1, 1, 1, 1};
    m_activeRow = 1;
    m_activeCol = 1;
    m_selectionParked = false;
    m_defaultFont = GridFont{};
    m_allowUserSort = false;
    m_enabled = true;
    m_autoRedraw = true;
    m_pendingChange = false;
    m_reportTitles.clear();
    m_pageSetup = PageSetup{};
    m_hPageBreaks.clear();
    m_imageData.clear();
    m_imageCache.clear();
    emit changed();
    emit selectionChanged();
}

Grid::Row Grid::newRow() const
{
    Row row;
    row.cells.resize(m_columns.size());
    return row;
}

void Grid::touch()
{
    if (m_autoRedraw)
        emit changed();
    else
        m_pendingChange = true;
}

void Grid::setRows(int rows)
{
    rows = std::max(0, rows);
    if (rows == this->rows())
        return;
    if (rows < this->rows())
        deleteRows(rows, this->rows() - rows);
    else
        insertRows(this->rows(), rows - this->rows());
}

void Grid::setCols(int cols)
{
    cols = std::max(0, cols);
    if (cols == this->cols())
        return;
    if (cols < this->cols())
        deleteCols(cols, this->cols() - cols);
    else
        insertCols(this->cols(), cols - this->cols());
}

void Grid::setFixedRows(int rows)
{
    m_fixedRows = std::max(0, rows);
    touch();
}

void Grid::setDisplayRowIndex(bool on)
{
    m_displayRowIndex = on;
    touch();
}

int Grid::rowHeight(int row) const
{
    if (row < 0 || row >= rows())
        return 0;
    const int h = m_rows[row].height;
    return h < 0 ? m_defaultRowHeight : h;
}

void Grid::setRowHeight(int row, int pixels)
{
    if (row < 0 || row >= rows())
        return;
    m_rows[row].height = std::max(0, pixels);
    touch();
}

void Grid::setDefaultRowHeight(int pixels)
{
    m_defaultRowHeight = std::max(1, pixels);
    touch();
}

void Grid::addItem(const QString &tabText, bool redraw)
{
    Row row = newRow();
    const int cols = this->cols();
    int col = 1;
    qsizetype start = 0;
    while (col < cols) {
        const qsizetype tab = tabText.indexOf(u'\t', start);
        const qsizetype end = tab < 0 ? tabText.size() : tab;
        if (end > start)
            row.cells[col].text = tabText.mid(start, end - start);
        ++col;
        if (tab < 0)
            break;
        start = tab + 1;
    }
    m_rows.push_back(std::move(row));
    if (m_selectionParked)
        unparkSelection();
    if (redraw)
        touch();
    else
        m_pendingChange = true;
}

void Grid::insertRows(int at, int count)
{
    if (count <= 0)
        return;
    at = std::clamp(at, 0, rows());
    m_rows.insert(m_rows.begin() + at, size_t(count), newRow());
    for (GridArea &m : m_merges)
        growSpan(m.firstRow, m.lastRow, at, count);
    invalidateMerges();
    for (int &b : m_hPageBreaks) {
        if (b >= at)
            b += count;
    }
    clampSelection();
    unparkSelection();
    touch();
}

void Grid::insertCols(int at, int count)
{
    if (count <= 0)
        return;
    at = std::clamp(at, 0, cols());
    m_columns.insert(m_columns.begin() + at, size_t(count), GridColumnInfo{});
    for (Row &row : m_rows) {
        row.cells.insert(row.cells.begin() + at, size_t(count), Cell{});
        if (row.tags.size() > at)
            row.tags.insert(at, count, QString());
    }
    for (GridArea &m : m_merges)
        growSpan(m.firstCol, m.lastCol, at, count);
    invalidateMerges();
    clampSelection();
    touch();
}

void Grid::deleteRows(int at, int count)
{
    if (at < 0 || at >= rows() || count <= 0)
        return;
    count = std::min(count, rows() - at);
    m_rows.erase(m_rows.begin() + at, m_rows.begin() + at + count);
    QList<GridArea> kept;
    for (GridArea m : std::as_const(m_merges)) {
        if (shrinkSpan(m.firstRow, m.lastRow, at, count) && !m.isSingleCell())
            kept.append(m);
    }
    m_merges = kept;
    invalidateMerges();
    QList<int> breaks;
    for (int b : std::as_const(m_hPageBreaks)) {
        if (b < at)
            breaks.append(b);
        else if (b >= at + count)
            breaks.append(b - count);
    }
    m_hPageBreaks = breaks;
    clampSelection();
    touch();
}

void Grid::deleteCols(int at, int count)
{
    if (at < 0 || at >= cols() || count <= 0)
        return;
    count = std::min(count, cols() - at);
    m_columns.erase(m_columns.begin() + at, m_columns.begin() + at + count);
    for (Row &row : m_rows) {
        row.cells.erase(row.cells.begin() + at, row.cells.begin() + at + count);
        if (row.tags.size() > at)
            row.tags.remove(at, std::min<qsizetype>(count, row.tags.size() - at));
    }
    QList<GridArea> kept;
    for (GridArea m : std::as_const(m_merges)) {
        if (shrinkSpan(m.firstCol, m.lastCol, at, count) && !m.isSingleCell())
            kept.append(m);
    }
    m_merges = kept;
    invalidateMerges();
    clampSelection();
    touch();
}

// ---------------------------------------------------------------------------------------------
// Grid: cells

bool Grid::isValidCell(int row, int col) const
{
    return row >= 0 && row < rows() && col >= 0 && col < cols();
}

Grid::Cell *Grid::cellPtr(int row, int col)
{
    return isValidCell(row, col) ? &m_rows[row].cells[col] : nullptr;
}

const Grid::Cell *Grid::cellPtr(int row, int col) const
{
    return isValidCell(row, col) ? &m_rows[row].cells[col] : nullptr;
}

const QString &Grid::cellText(int row, int col) const
{
    const Cell *cell = cellPtr(row, col);
    return cell ? cell->text : kEmpty;
}

void Grid::setCellText(int row, int col, const QString &text)
{
    if (Cell *cell = cellPtr(row, col)) {
        cell->text = text;
        touch();
    }
}

const QString &Grid::cellTag(int row, int col) const
{
    if (!isValidCell(row, col))
        return kEmpty;
    const QStringList &tags = m_rows[row].tags;
    return col < tags.size() ? tags.at(col) : kEmpty;
}

void Grid::setCellTag(int row, int col, const QString &tag)
{
    if (!isValidCell(row, col))
        return;
    QStringList &tags = m_rows[row].tags;
    if (col >= tags.size()) {
        if (tag.isEmpty())
            return;
        tags.resize(col + 1);
    }
    tags[col] = tag; // tags are not shown
}

const CellStyle &Grid::cellStyle(int row, int col) const
{
    const Cell *cell = cellPtr(row, col);
    return cell ? m_styles[cell->style] : kDefaultStyle;
}

void Grid::setCellStyle(int row, int col, const CellStyle &style)
{
    if (Cell *cell = cellPtr(row, col)) {
        cell->style = internStyle(style);
        touch();
    }
}

GridFont Grid::cellFont(int row, int col) const
{
    const CellStyle &s = cellStyle(row, col);
    GridFont font = m_defaultFont;
    if (!s.fontName.isEmpty())
        font.name = s.fontName;
    if (s.fontSize > 0)
        font.size = s.fontSize;
    font.bold = s.bold;
    font.italic = s.italic;
    font.underline = s.underline;
    font.strikeout = s.strikeout;
    return font;
}

int Grid::cellAlignment(int row, int col) const
{
    const int own = cellStyle(row, col).alignment;
    return own != 0 ? own : columnAlignment(col);
}

void Grid::setCellImage(int row, int col, const QString &key)
{
    GridRange(this, row, col, row, col).setImage(key);
}

QString Grid::displayText(int row, int col) const
{
    if (col == 0 && m_displayRowIndex && row >= m_fixedRows && row < rows())
        return QString::number(row - m_fixedRows + 1);
    const QString &text = cellText(row, col);
    if (text.isEmpty())
        return text;
    const GridColumnInfo &info = columnInfo(col);
    if (info.mask == GridMask::Numeric && !info.formatString.isEmpty()) {
        double value = 0;
        if (GridNumberFormat::parse(text, &value))
            return GridNumberFormat::format(value, info.formatString);
    }
    return text;
}

bool Grid::isNumericCell(int row, int col) const
{
    if (col == 0 && m_displayRowIndex && row >= m_fixedRows)
        return true;
    return GridNumberFormat::parse(cellText(row, col));
}

quint32 Grid::internStyle(const CellStyle &style)
{
    const QByteArray key = styleKey(style);
    const auto it = m_styleIndex.constFind(key);
    if (it != m_styleIndex.cend())
        return it.value();
    const quint32 id = quint32(m_styles.size());
    m_styles.push_back(style);
    m_styleIndex.insert(key, id);
    return id;
}

void Grid::applyStyle(const GridArea &area, const std::function<void(CellStyle &)> &change)
{
    const int r1 = std::max(0, area.firstRow);
    const int r2 = std::min(rows() - 1, area.lastRow);
    const int c1 = std::max(0, area.firstCol);
    const int c2 = std::min(cols() - 1, area.lastCol);
    if (r1 > r2 || c1 > c2)
        return;
    QHash<quint32, quint32> mapped; // old style → changed style, so each style changes once
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            Cell &cell = m_rows[r].cells[c];
            auto it = mapped.constFind(cell.style);
            if (it == mapped.cend()) {
                CellStyle s = m_styles[cell.style];
                change(s);
                it = mapped.insert(cell.style, internStyle(s));
            }
            cell.style = it.value();
        }
    }
    touch();
}

void Grid::setBorder(const GridArea &area, int edge, int style)
{
    const int r1 = std::max(0, area.firstRow);
    const int r2 = std::min(rows() - 1, area.lastRow);
    const int c1 = std::max(0, area.firstCol);
    const int c2 = std::min(cols() - 1, area.lastCol);
    if (r1 > r2 || c1 > c2 || edge < 0 || edge > 7)
        return;
    const quint8 value = quint8(std::clamp(style, 0, 2));
    // A line between two cells belongs to both: each side is set, so that "no border" really
    // removes a line the neighbour drew.
    auto column = [&](int c, int side) {
        if (c >= 0 && c < cols())
            applyStyle(GridArea{r1, c, r2, c}, [&](CellStyle &s) { s.borders[side] = value; });
    };
    auto row = [&](int r, int side) {
        if (r >= 0 && r < rows())
            applyStyle(GridArea{r, c1, r, c2}, [&](CellStyle &s) { s.borders[side] = value; });
    };
    const bool wasOn = m_autoRedraw;
    m_autoRedraw = false;
    switch (edge) {
    case GridBorder::Left:
        column(c1, 0);
        column(c1 - 1, 2);
        break;
    case GridBorder::Top:
        row(r1, 1);
        row(r1 - 1, 3);
        break;
    case GridBorder::Right:
        column(c2, 2);
        column(c2 + 1, 0);
        break;
    case GridBorder::Bottom:
        row(r2, 3);
        row(r2 + 1, 1);
        break;
    case GridBorder::InsideVertical:
        for (int c = c1; c < c2; ++c) {
            column(c, 2);
            column(c + 1, 0);
        }
        break;
    case GridBorder::InsideHorizontal:
        for (int r = r1; r < r2; ++r) {
            row(r, 3);
            row(r + 1, 1);
        }
        break;
    default:
        applyStyle(GridArea{r1, c1, r2, c2}, [&](CellStyle &s) {
            s.borders[edge == GridBorder::DiagonalDown ? 4 : 5] = value;
        });
        break;
    }
    m_autoRedraw = wasOn;
    touch();
}

void Grid::clearArea(const GridArea &area, bool formatsToo)
{
    const int r1 = std::max(0, area.firstRow);
    const int r2 = std::min(rows() - 1, area.lastRow);
    const int c1 = std::max(0, area.firstCol);
    const int c2 = std::min(cols() - 1, area.lastCol);
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            Cell &cell = m_rows[r].cells[c];
            cell.text.clear();
            setCellTag(r, c, QString());
            if (formatsToo)
                cell.style = 0;
        }
    }
    if (formatsToo)
        unmergeArea(area);
    touch();
}

// ---------------------------------------------------------------------------------------------
// Grid: columns

const GridColumnInfo &Grid::columnInfo(int col) const
{
    return col >= 0 && col < cols() ? m_columns[col] : kNoColumn;
}

int Grid::columnWidth(int col) const
{
    return col >= 0 && col < cols() ? m_columns[col].width : 0;
}

void Grid::setColumnWidth(int col, int pixels)
{
    if (col < 0 || col >= cols())
        return;
    m_columns[col].width = std::max(0, pixels);
    touch();
}

int Grid::columnMask(int col) const
{
    return columnInfo(col).mask;
}

void Grid::setColumnMask(int col, int mask)
{
    if (col < 0 || col >= cols())
        return;
    m_columns[col].mask = mask;
    touch();
}

int Grid::columnAlignment(int col) const
{
    return columnInfo(col).alignment;
}

void Grid::setColumnAlignment(int col, int code)
{
    if (col < 0 || col >= cols())
        return;
    m_columns[col].alignment = code;
    touch();
}

QString Grid::columnFormatString(int col) const
{
    return columnInfo(col).formatString;
}

void Grid::setColumnFormatString(int col, const QString &format)
{
    if (col < 0 || col >= cols())
        return;
    m_columns[col].formatString = format;
    touch();
}

void Grid::autoFitColumn(int col, const GridTextMeasure &measure)
{
    if (col < 0 || col >= cols())
        return;
    GridTextMeasure measureText = measure;
    if (!measureText) {
        if (qGuiApp) {
            measureText = [](const QFont &font, const QString &text) {
                return QFontMetricsF(font).horizontalAdvance(text);
            };
        } else {
            measureText = estimateWidth;
        }
    }
    double widest = 0;
    QHash<quint32, QFont> fonts; // fonts by style, built once
    for (int r = 0; r < rows(); ++r) {
        if (rowHeight(r) == 0)
            continue;
        const GridArea block = mergeAt(r, col);
        if (block.colCount() > 1)
            continue; // a block over several columns does not size one of them
        const QString text = displayText(r, col);
        if (text.isEmpty())
            continue;
        const quint32 styleId = m_rows[r].cells[col].style;
        auto it = fonts.find(styleId);
        if (it == fonts.end())
            it = fonts.insert(styleId, cellFont(r, col).toQFont());
        // A wrapped text may break at its lines; the widest line decides.
        for (const QString &line : text.split(u'\n'))
            widest = std::max(widest, measureText(it.value(), line));
    }
    if (widest > 0)
        setColumnWidth(col, int(std::ceil(widest)) + kFitPadding);
}

void Grid::sortByColumn(int col, int order)
{
    if (col < 0 || col >= cols())
        return;
    const int first = std::min(m_fixedRows, rows());
    const int n = rows() - first;
    if (n < 2)
        return;

    // Keys once per row: kind 0 number, 1 text, 2 empty.
    struct Key
    {
        int kind = 2;
        double number = 0;
        int textIndex = -1;
    };
    std::vector<Key> keys(static_cast<size_t>(n));
    std::vector<QCollatorSortKey> textKeys;
    std::unique_ptr<QCollator> collator;
    for (int i = 0; i < n; ++i) {
        const QString &text = m_rows[first + i].cells[col].text;
        Key &key = keys[i];
        if (text.trimmed().isEmpty())
            continue;
        if (GridNumberFormat::parse(text, &key.number)) {
            key.kind = 0;
            continue;
        }
        if (!collator) {
            collator = std::make_unique<QCollator>(QLocale(QLocale::Chinese, QLocale::China));
            textKeys.reserve(size_t(n));
        }
        key.kind = 1;
        key.textIndex = int(textKeys.size());
        textKeys.push_back(collator->sortKey(text));
    }
    const bool descending = order == 1;
    std::vector<int> perm(static_cast<size_t>(n));
    std::iota(perm.begin(), perm.end(), 0);
    std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
        const Key &ka = keys[a];
        const Key &kb = keys[b];
        if (ka.kind == 2 || kb.kind == 2)
            return ka.kind != 2 && kb.kind == 2; // empties last either way
        int cmp = 0;
        if (ka.kind != kb.kind)
            cmp = ka.kind < kb.kind ? -1 : 1;
        else if (ka.kind == 0)
            cmp = ka.number < kb.number ? -1 : (kb.number < ka.number ? 1 : 0);
        else
            cmp = textKeys[ka.textIndex].compare(textKeys[kb.textIndex]);
        return descending ? cmp > 0 : cmp < 0;
    });

    std::vector<Row> sorted;
    sorted.reserve(size_t(n));
    std::vector<int> newIndexOf(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        sorted.push_back(std::move(m_rows[first + perm[i]]));
        newIndexOf[perm[i]] = i;
    }
    std::move(sorted.begin(), sorted.end(), m_rows.begin() + first);

    // Blocks inside one row travel with their row; blocks over several sorted rows cannot stay
    // together and are dissolved.
    QList<GridArea> kept;
    for (GridArea m : std::as_const(m_merges)) {
        if (m.lastRow < first) {
            kept.append(m);
        } else if (m.firstRow == m.lastRow) {
            m.firstRow = m.lastRow = first + newIndexOf[m.firstRow - first];
            kept.append(m);
        }
    }
    m_merges = kept;
    invalidateMerges();
    touch();
}

// ---------------------------------------------------------------------------------------------
// Grid: merges

void Grid::invalidateMerges()
{
    m_mergeIndexValid = false;
    m_mergeIndex.clear();
}

void Grid::rebuildMergeIndex() const
{
    m_mergeIndex.clear();
    for (int i = 0; i < m_merges.size(); ++i) {
        const GridArea &m = m_merges.at(i);
        for (int r = m.firstRow; r <= m.lastRow; ++r)
            for (int c = m.firstCol; c <= m.lastCol; ++c)
                m_mergeIndex.insert(cellKey(r, c), i);
    }
    m_mergeIndexValid = true;
}

GridArea Grid::mergeAt(int row, int col) const
{
    if (!m_merges.isEmpty()) {
        if (!m_mergeIndexValid)
            rebuildMergeIndex();
        const auto it = m_mergeIndex.constFind(cellKey(row, col));
        if (it != m_mergeIndex.cend())
            return m_merges.at(it.value());
    }
    return GridArea{row, col, row, col};
}

void Grid::mergeArea(const GridArea &area)
{
    GridArea a = area;
    a.firstRow = std::max(0, a.firstRow);
    a.firstCol = std::max(0, a.firstCol);
    a.lastRow = std::min(rows() - 1, a.lastRow);
    a.lastCol = std::min(cols() - 1, a.lastCol);
    if (a.isEmpty())
        return;
    // Blocks that overlap the new one become part of it.
    bool grown = true;
    while (grown) {
        grown = false;
        for (const GridArea &m : std::as_const(m_merges)) {
            if (m.intersects(a)) {
                const GridArea u{std::min(a.firstRow, m.firstRow), std::min(a.firstCol, m.firstCol),
                                 std::max(a.lastRow, m.lastRow), std::max(a.lastCol, m.lastCol)};
                if (!(u == a)) {
                    a = u;
                    grown = true;
                }
            }
        }
    }
    m_merges.removeIf([&](const GridArea &m) { return m.intersects(a); });
    if (!a.isSingleCell())
        m_merges.append(a);
    invalidateMerges();
    touch();
}

void Grid::unmergeArea(const GridArea &area)
{
    const qsizetype removed =
        m_merges.removeIf([&](const GridArea &m) { return m.intersects(area); });
    if (removed > 0) {
        invalidateMerges();
        touch();
    }
}

// ---------------------------------------------------------------------------------------------
// Grid: copy and paste

GridFragment Grid::fragment(const GridArea &area) const
{
    GridFragment f;
    const int r1 = std::max(0, area.firstRow);
    const int r2 = std::min(rows() - 1, area.lastRow);
    const int c1 = std::max(0, area.firstCol);
    const int c2 = std::min(cols() - 1, area.lastCol);
    if (r1 > r2 || c1 > c2)
        return f;
    f.rows = r2 - r1 + 1;
    f.cols = c2 - c1 + 1;
    const GridArea clipped{r1, c1, r2, c2};
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            const Cell &cell = m_rows[r].cells[c];
            f.texts.append(cell.text);
            f.tags.append(cellTag(r, c));
            const CellStyle &style = m_styles[cell.style];
            f.styles.append(style);
            if (!style.imageKey.isEmpty() && m_imageData.contains(style.imageKey))
                f.images.insert(style.imageKey, m_imageData.value(style.imageKey));
        }
    }
    for (const GridArea &m : m_merges) {
        if (!m.intersects(clipped))
            continue;
        GridArea rel{std::max(m.firstRow, r1) - r1, std::max(m.firstCol, c1) - c1,
                     std::min(m.lastRow, r2) - r1, std::min(m.lastCol, c2) - c1};
        if (!rel.isSingleCell())
            f.merges.append(rel);
    }
    return f;
}

void Grid::pasteFragment(const GridFragment &f, int row, int col)
{
    if (f.isEmpty() || row < 0 || col < 0 || row >= rows() || col >= cols())
        return;
    // What does not fit is cut off: pasting never grows the grid.
    const int r2 = std::min(rows() - 1, row + f.rows - 1);
    const int c2 = std::min(cols() - 1, col + f.cols - 1);
    const GridArea target{row, col, r2, c2};
    for (auto it = f.images.cbegin(); it != f.images.cend(); ++it) {
        if (!m_imageData.contains(it.key()))
            m_imageData.insert(it.key(), it.value());
    }
    for (int r = row; r <= r2; ++r) {
        for (int c = col; c <= c2; ++c) {
            const int i = (r - row) * f.cols + (c - col);
            Cell &cell = m_rows[r].cells[c];
            cell.text = f.texts.value(i);
            setCellTag(r, c, f.tags.value(i));
            cell.style = i < f.styles.size() ? internStyle(f.styles.at(i)) : 0;
        }
    }
    m_merges.removeIf([&](const GridArea &m) { return m.intersects(target); });
    for (const GridArea &rel : f.merges) {
        GridArea m{row + rel.firstRow, col + rel.firstCol, std::min(r2, row + rel.lastRow),
                   std::min(c2, col + rel.lastCol)};
        if (!m.isEmpty() && !m.isSingleCell() && m.firstRow <= r2 && m.firstCol <= c2)
            m_merges.append(m);
    }
    invalidateMerges();
    touch();
}

void Grid::pastePlainText(const QString &text, int row, int col)
{
    if (row < 0 || col < 0 || row >= rows() || col >= cols())
        return;
    QString normal = text;
    normal.remove(u'\r');
    QStringList lines = normal.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (int i = 0; i < lines.size() && row + i < rows(); ++i) {
        const QStringList fields = lines.at(i).split(u'\t');
        for (int j = 0; j < fields.size() && col + j < cols(); ++j)
            m_rows[row + i].cells[col + j].text = fields.at(j);
    }
    touch();
}

void Grid::copyToClipboard(const GridArea &area) const
{
    if (!qGuiApp)
        return;
    const GridFragment f = fragment(area);
    if (f.isEmpty())
        return;
    auto *mime = new QMimeData;
    mime->setText(f.toPlainText());
    mime->setData(QString::fromLatin1(kFragmentMime), f.toBytes());
    QGuiApplication::clipboard()->setMimeData(mime);
}

void Grid::pasteFromClipboard(int row, int col)
{
    if (!qGuiApp)
        return;
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return;
    GridFragment f;
    if (mime->hasFormat(QString::fromLatin1(kFragmentMime)) &&
        GridFragment::fromBytes(mime->data(QString::fromLatin1(kFragmentMime)), &f)) {
        pasteFragment(f, row, col);
        return;
    }
    if (mime->hasText())
        pastePlainText(mime->text(), row, col);
}

// ---------------------------------------------------------------------------------------------
// Grid: selection

GridRange Grid::selection()
{
    return GridRange(this, m_selection);
}

void Grid::clampSelection()
{
    const GridArea before = m_selection;
    const int ar = m_activeRow;
    const int ac = m_activeCol;
    const int maxRow = std::max(0, rows() - 1);
    const int maxCol = std::max(0, cols() - 1);
    m_selection.firstRow = std::clamp(m_selection.firstRow, 0, maxRow);
    m_selection.lastRow = std::clamp(m_selection.lastRow, 0, maxRow);
    m_selection.firstCol = std::clamp(m_selection.firstCol, 0, maxCol);
    m_selection.lastCol = std::clamp(m_selection.lastCol, 0, maxCol);
    m_activeRow = std::clamp(m_activeRow, 0, maxRow);
    m_activeCol = std::clamp(m_activeCol, 0, maxCol);
    if (ar >= m_fixedRows && m_activeRow < m_fixedRows)
        m_selectionParked = true;
    if (!(before == m_selection) || ar != m_activeRow || ac != m_activeCol)
        emit selectionChanged();
}

void Grid::unparkSelection()
{
    if (!m_selectionParked || rows() <= m_fixedRows)
        return;
    m_selectionParked = false;
    const int col = std::clamp(m_activeCol, std::min(1, cols() - 1), std::max(0, cols() - 1));
    m_selection = GridArea{m_fixedRows, col, m_fixedRows, col};
    m_activeRow = m_fixedRows;
    m_activeCol = col;
    emit selectionChanged();
}

void Grid::setActiveCell(int row, int col)
{
    select(row, col, row, col);
}

void Grid::select(int r1, int c1, int r2, int c2)
{
    setSelection(GridArea::normalized(r1, c1, r2, c2), r1, c1);
}

void Grid::setSelection(const GridArea &area, int activeRow, int activeCol)
{
    m_selectionParked = false;
    m_selection = area;
    m_activeRow = activeRow;
    m_activeCol = activeCol;
    const GridArea before = m_selection;
    clampSelection();
    if (before == m_selection)
        emit selectionChanged();
}

// ---------------------------------------------------------------------------------------------
// Grid: settings

void Grid::setDefaultFont(const GridFont &font)
{
    m_defaultFont = font;
    m_defaultFont.size = std::max(1.0, font.size);
    touch();
}

void Grid::setDefaultFontName(const QString &name)
{
    GridFont f = m_defaultFont;
    f.name = name;
    setDefaultFont(f);
}

void Grid::setDefaultFontSize(double points)
{
    GridFont f = m_defaultFont;
    f.size = points;
    setDefaultFont(f);
}

void Grid::setAllowUserSort(bool on)
{
    m_allowUserSort = on;
}

void Grid::setEnabled(bool on)
{
    m_enabled = on;
    touch();
}

void Grid::setAutoRedraw(bool on)
{
    m_autoRedraw = on;
}

void Grid::refresh()
{
    m_pendingChange = false;
    emit changed();
}

void Grid::addReportTitle(const ReportTitle &title)
{
    m_reportTitles.append(title);
    touch();
}

void Grid::clearReportTitles()
{
    m_reportTitles.clear();
    touch();
}

void Grid::setPageSetup(const PageSetup &setup)
{
    m_pageSetup = setup;
    touch();
}

void Grid::addHPageBreak(int row)
{
    if (row <= 0 || m_hPageBreaks.contains(row))
        return;
    m_hPageBreaks.insert(std::lower_bound(m_hPageBreaks.begin(), m_hPageBreaks.end(), row), row);
    touch();
}

void Grid::clearHPageBreaks()
{
    m_hPageBreaks.clear();
    touch();
}

// ---------------------------------------------------------------------------------------------
// Grid: images

bool Grid::addImage(const QString &key, const QString &filePath)
{
    QFile file(filePath);
    if (key.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    return addImageData(key, file.readAll());
}

bool Grid::addImageData(const QString &key, const QByteArray &encoded)
{
    if (key.isEmpty())
        return false;
    QImage image;
    if (!image.loadFromData(encoded))
        return false;
    m_imageData.insert(key, encoded);
    m_imageCache.insert(key, image);
    touch();
    return true;
}

void Grid::removeImage(const QString &key)
{
    m_imageData.remove(key);
    m_imageCache.remove(key);
    touch();
}

void Grid::clearImages()
{
    m_imageData.clear();
    m_imageCache.clear();
    touch();
}

QImage Grid::image(const QString &key) const
{
    const auto it = m_imageCache.constFind(key);
    if (it != m_imageCache.cend())
        return it.value();
    const auto data = m_imageData.constFind(key);
    if (data == m_imageData.cend())
        return {};
    QImage image;
    image.loadFromData(data.value());
    m_imageCache.insert(key, image);
    return image;
}

QByteArray Grid::imageData(const QString &key) const
{
    return m_imageData.value(key);
}

QStringList Grid::imageKeys() const
{
    QStringList keys = m_imageData.keys();
    keys.sort();
    return keys;
}

// ---------------------------------------------------------------------------------------------
// Grid: files

void Grid::swapContent(Grid &other)
{
    std::swap(m_rows, other.m_rows);
    std::swap(m_columns, other.m_columns);
    std::swap(m_styles, other.m_styles);
    std::swap(m_styleIndex, other.m_styleIndex);
    std::swap(m_merges, other.m_merges);
    std::swap(m_fixedRows, other.m_fixedRows);
    std::swap(m_defaultRowHeight, other.m_defaultRowHeight);
    std::swap(m_displayRowIndex, other.m_displayRowIndex);
    std::swap(m_selection, other.m_selection);
    std::swap(m_activeRow, other.m_activeRow);
    std::swap(m_activeCol, other.m_activeCol);
    std::swap(m_selectionParked, other.m_selectionParked);
    std::swap(m_defaultFont, other.m_defaultFont);
    std::swap(m_allowUserSort, other.m_allowUserSort);
    std::swap(m_enabled, other.m_enabled);
    std::swap(m_reportTitles, other.m_reportTitles);
    std::swap(m_pageSetup, other.m_pageSetup);
    std::swap(m_hPageBreaks, other.m_hPageBreaks);
    std::swap(m_imageData, other.m_imageData);
    std::swap(m_imageCache, other.m_imageCache);
    invalidateMerges();
    other.invalidateMerges();
}

QByteArray Grid::toJson() const
{
    return GridFile::write(*this);
}

Status Grid::fromJson(const QByteArray &json)
{
    Grid loaded;
    const Status status = GridFile::read(json, &loaded);
    if (!status.isOk())
        return status;
    swapContent(loaded);
    touch();
    emit selectionChanged();
    return Status::ok();
}

Status Grid::saveFile(const QString &path) const
{
    return GridFile::save(*this, path);
}

Status Grid::openFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::error(
            Status::Kind::Io,
            QStringLiteral("无法打开表格文件“%1”：%2").arg(path, file.errorString()));
    return fromJson(file.readAll()).withContext(QStringLiteral("无法打开表格文件“%1”：").arg(path));
}

} // namespace fenpai
