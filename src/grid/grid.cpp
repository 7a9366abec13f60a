#include "grid/grid.h"

#include "core/fileerrortext.h"
#include "grid/gridfile.h"
#include "grid/gridnumberformat.h"
#include "grid/gridsorter.h"
#include "grid/tabtext.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace fenpai {

namespace {

constexpr int kFixedColumnWidth = 40;
constexpr int kFitPadding = 8;

double estimateWidth(const QFont &font, const QString &text)
{
    const double px = font.pointSizeF() > 0 ? font.pointSizeF() * 96.0 / 72.0 : 12.0;
    double width = 0;
    for (QChar ch : text)
        width += ch.unicode() >= 0x2E80 ? px : px * 0.55;
    return width;
}

} // namespace

Grid::Grid(QObject *parent)
    : QObject(parent)
{
    reset();
}

Grid::~Grid() = default;

void Grid::reset()
{
    m_data = GridData{};
    m_data.content.insertCols(0, 2);
    GridColumnInfo fixed;
    fixed.width = kFixedColumnWidth;
    m_data.content.setColumn(0, fixed);
    m_data.content.insertRows(0, 2);
    m_autoRedraw = true;
    m_pending = GridArea{};
    emit contentReplaced();
    emit changed(GridArea::everything());
}

void Grid::restoreData(GridData data)
{
    const int oldRows = rows();
    const int oldCols = cols();
    m_data = std::move(data);
    if (rows() < oldRows)
        emit rowsRemoved(rows(), oldRows - rows());
    else if (rows() > oldRows)
        emit rowsInserted(oldRows, rows() - oldRows);
    if (cols() < oldCols)
        emit columnsRemoved(cols(), oldCols - cols());
    else if (cols() > oldCols)
        emit columnsInserted(oldCols, cols() - oldCols);
    touch(GridArea::everything());
}

// --- change reports ----------------------------------------------------------------------------

void Grid::touch(const GridArea &area)
{
    m_pending = m_pending.united(area);
    if (m_autoRedraw)
        flush();
}

void Grid::flush()
{
    if (m_pending.isEmpty())
        return;
    const GridArea area = m_data.merges.span(m_pending);
    m_pending = GridArea{};
    emit changed(area);
}

GridArea Grid::rowsFrom(int row) const
{
    return GridArea{row, 0, GridArea::kEnd, std::max(0, cols() - 1)};
}

GridArea Grid::colsFrom(int col) const
{
    return GridArea{0, col, std::max(0, rows() - 1), GridArea::kEnd};
}

void Grid::setAutoRedraw(bool on)
{
    m_autoRedraw = on;
}

void Grid::refresh()
{
    if (m_pending.isEmpty())
        m_pending = GridArea::everything();
    flush();
}

// --- size --------------------------------------------------------------------------------------

void Grid::setRows(int rows)
{
    rows = std::max(0, rows);
    if (rows < this->rows())
        deleteRows(rows, this->rows() - rows);
    else if (rows > this->rows())
        insertRows(this->rows(), rows - this->rows());
}

void Grid::setCols(int cols)
{
    cols = std::max(0, cols);
    if (cols < this->cols())
        deleteCols(cols, this->cols() - cols);
    else if (cols > this->cols())
        insertCols(this->cols(), cols - this->cols());
}

void Grid::setFixedRows(int rows)
{
    m_data.settings.fixedRows = std::max(0, rows);
    touch(GridArea::everything());
}

void Grid::setDisplayRowIndex(bool on)
{
    m_data.settings.displayRowIndex = on;
    touch(GridArea{0, 0, rows() - 1, 0});
}

int Grid::rowHeight(int row) const
{
    if (row < 0 || row >= rows())
        return 0;
    const int h = m_data.content.explicitHeight(row);
    return h < 0 ? m_data.settings.defaultRowHeight : h;
}

void Grid::setRowHeight(int row, int pixels)
{
    if (row < 0 || row >= rows())
        return;
    m_data.content.setExplicitHeight(row, std::max(0, pixels));
    touch(rowsFrom(row));
}

void Grid::setDefaultRowHeight(int pixels)
{
    m_data.settings.defaultRowHeight = std::max(1, pixels);
    touch(rowsFrom(0));
}

void Grid::addItem(const QString &tabText, bool redraw)
{
    GridContent &content = m_data.content;
    const int row = rows();
    const int cols = this->cols();
    content.insertRows(row, 1);
    int col = 1;
    qsizetype start = 0;
    while (col < cols) {
        const qsizetype tab = tabText.indexOf(u'\t', start);
        const qsizetype end = tab < 0 ? tabText.size() : tab;
        if (end > start)
            content.setText(row, col, tabText.mid(start, end - start));
        ++col;
        if (tab < 0)
            break;
        start = tab + 1;
    }
    emit rowsInserted(row, 1);
    if (redraw)
        touch(rowsFrom(row));
    else
        m_pending = m_pending.united(rowsFrom(row));
}

void Grid::insertRows(int at, int count)
{
    if (count <= 0)
        return;
    at = std::clamp(at, 0, rows());
    m_data.content.insertRows(at, count);
    m_data.merges.insertRows(at, count);
    m_data.print.insertRows(at, count);
    emit rowsInserted(at, count);
    touch(rowsFrom(at));
}

void Grid::insertCols(int at, int count)
{
    if (count <= 0)
        return;
    at = std::clamp(at, 0, cols());
    m_data.content.insertCols(at, count);
    m_data.merges.insertCols(at, count);
    emit columnsInserted(at, count);
    touch(colsFrom(at));
}

void Grid::deleteRows(int at, int count)
{
    if (at < 0 || at >= rows() || count <= 0)
        return;
    count = std::min(count, rows() - at);
    m_data.content.removeRows(at, count);
    m_data.merges.removeRows(at, count);
    m_data.print.removeRows(at, count);
    emit rowsRemoved(at, count);
    touch(rowsFrom(at));
}

void Grid::deleteCols(int at, int count)
{
    if (at < 0 || at >= cols() || count <= 0)
        return;
    count = std::min(count, cols() - at);
    m_data.content.removeCols(at, count);
    m_data.merges.removeCols(at, count);
    emit columnsRemoved(at, count);
    touch(colsFrom(at));
}

// --- cells -------------------------------------------------------------------------------------

const QString &Grid::cellText(int row, int col) const
{
    return m_data.content.text(row, col);
}

void Grid::setCellText(int row, int col, const QString &text)
{
    if (!isValidCell(row, col))
        return;
    m_data.content.setText(row, col, text);
    touch(GridArea{row, col, row, col});
}

const QString &Grid::cellTag(int row, int col) const
{
    return m_data.content.tag(row, col);
}

void Grid::setCellTag(int row, int col, const QString &tag)
{
    m_data.content.setTag(row, col, tag);
}

const CellStyle &Grid::cellStyle(int row, int col) const
{
    return m_data.styles.at(m_data.content.styleId(row, col));
}

void Grid::setCellStyle(int row, int col, const CellStyle &style)
{
    if (!isValidCell(row, col))
        return;
    m_data.content.setStyleId(row, col, m_data.styles.intern(style));
    touch(GridArea{row, col, row, col});
}

GridFont Grid::cellFont(int row, int col) const
{
    const CellStyle &s = cellStyle(row, col);
    GridFont font = m_data.settings.defaultFont;
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

GridAlign Grid::cellAlignment(int row, int col) const
{
    const GridAlign own = cellStyle(row, col).alignment;
    return own != GridAlign::General ? own : columnAlignment(col);
}

void Grid::setCellImage(int row, int col, const QString &key)
{
    GridRange(this, row, col, row, col).setImage(key);
}

QString Grid::displayText(int row, int col) const
{
    if (col == 0 && displayRowIndex() && row >= fixedRows() && row < rows())
        return QString::number(row - fixedRows() + 1);
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
    if (col == 0 && displayRowIndex() && row >= fixedRows())
        return true;
    return GridNumberFormat::parse(cellText(row, col));
}

GridArea Grid::restyle(const GridArea &area, const std::function<void(CellStyle &)> &change)
{
    const GridArea a = area.clipped(rows(), cols());
    QHash<quint32, quint32> mapped; // old style → changed style, so each style changes once
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int c = a.firstCol; c <= a.lastCol; ++c) {
            const quint32 id = m_data.content.styleId(r, c);
            auto it = mapped.constFind(id);
            if (it == mapped.cend()) {
                CellStyle s = m_data.styles.at(id);
                change(s);
                it = mapped.insert(id, m_data.styles.intern(s));
            }
            m_data.content.setStyleId(r, c, it.value());
        }
    }
    return a;
}

void Grid::applyStyle(const GridArea &area, const std::function<void(CellStyle &)> &change)
{
    touch(restyle(area, change));
}

void Grid::setBorder(const GridArea &area, GridBorder::Edge edge, GridBorder::Style style)
{
    const GridArea a = area.clipped(rows(), cols());
    if (a.isEmpty() || edge < GridBorder::Edge::Left || edge > GridBorder::Edge::DiagonalUp)
        return;
    const GridBorder::Style value = std::min(style, GridBorder::Style::Thick);
    GridArea changedCells;
    // A line between two cells belongs to both: each side is set, so that "no border" really
    // removes a line the neighbour drew.
    auto column = [&](int c, int side) {
        changedCells = changedCells.united(restyle(GridArea{a.firstRow, c, a.lastRow, c},
                                                   [&](CellStyle &s) { s.borders[side] = value; }));
    };
    auto row = [&](int r, int side) {
        changedCells = changedCells.united(restyle(GridArea{r, a.firstCol, r, a.lastCol},
                                                   [&](CellStyle &s) { s.borders[side] = value; }));
    };
    switch (edge) {
    case GridBorder::Edge::Left:
        column(a.firstCol, 0);
        column(a.firstCol - 1, 2);
        break;
    case GridBorder::Edge::Top:
        row(a.firstRow, 1);
        row(a.firstRow - 1, 3);
        break;
    case GridBorder::Edge::Right:
        column(a.lastCol, 2);
        column(a.lastCol + 1, 0);
        break;
    case GridBorder::Edge::Bottom:
        row(a.lastRow, 3);
        row(a.lastRow + 1, 1);
        break;
    case GridBorder::Edge::InsideVertical:
        for (int c = a.firstCol; c < a.lastCol; ++c) {
            column(c, 2);
            column(c + 1, 0);
        }
        break;
    case GridBorder::Edge::InsideHorizontal:
        for (int r = a.firstRow; r < a.lastRow; ++r) {
            row(r, 3);
            row(r + 1, 1);
        }
        break;
    case GridBorder::Edge::DiagonalDown:
    case GridBorder::Edge::DiagonalUp:
        changedCells = restyle(a, [&](CellStyle &s) {
            s.borders[edge == GridBorder::Edge::DiagonalDown ? 4 : 5] = value;
        });
        break;
    }
    touch(changedCells);
}

void Grid::clearArea(const GridArea &area, bool formatsToo)
{
    const GridArea a = area.clipped(rows(), cols());
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int c = a.firstCol; c <= a.lastCol; ++c) {
            m_data.content.setText(r, c, QString());
            m_data.content.setTag(r, c, QString());
            if (formatsToo)
                m_data.content.setStyleId(r, c, 0);
        }
    }
    GridArea changedCells = a;
    if (formatsToo)
        changedCells = changedCells.united(m_data.merges.removeOverlapping(area));
    touch(changedCells);
}

void Grid::mergeArea(const GridArea &area)
{
    const GridArea a = area.clipped(rows(), cols());
    if (!a.isEmpty())
        touch(m_data.merges.merge(a));
}

void Grid::unmergeArea(const GridArea &area)
{
    touch(m_data.merges.removeOverlapping(area));
}

// --- columns -----------------------------------------------------------------------------------

int Grid::columnWidth(int col) const
{
    return col >= 0 && col < cols() ? columnInfo(col).width : 0;
}

void Grid::setColumnInfo(int col, const std::function<void(GridColumnInfo &)> &change,
                         const GridArea &area)
{
    if (col < 0 || col >= cols())
        return;
    GridColumnInfo info = columnInfo(col);
    change(info);
    m_data.content.setColumn(col, info);
    touch(area);
}

void Grid::setColumnWidth(int col, int pixels)
{
    setColumnInfo(
        col, [&](GridColumnInfo &info) { info.width = std::max(0, pixels); }, colsFrom(col));
}

void Grid::setColumnMask(int col, int mask)
{
    setColumnInfo(
        col, [&](GridColumnInfo &info) { info.mask = mask; }, GridArea{0, col, rows() - 1, col});
}

void Grid::setColumnAlignment(int col, GridAlign align)
{
    setColumnInfo(
        col, [&](GridColumnInfo &info) { info.alignment = align; },
        GridArea{0, col, rows() - 1, col});
}

void Grid::setColumnFormatString(int col, const QString &format)
{
    setColumnInfo(
        col, [&](GridColumnInfo &info) { info.formatString = format; },
        GridArea{0, col, rows() - 1, col});
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
        const quint32 styleId = m_data.content.styleId(r, col);
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
    const int first = std::min(fixedRows(), rows());
    const int n = rows() - first;
    if (n < 2)
        return;
    const std::vector<int> sorted = GridSorter::order(m_data.content, col, first, order == 1);
    std::vector<int> newIndexOf(sorted.size());
    for (size_t i = 0; i < sorted.size(); ++i)
        newIndexOf[size_t(sorted[i])] = int(i);
    m_data.content.reorderRows(first, sorted);
    m_data.merges.reorderRows(first, newIndexOf);
    touch(rowsFrom(first));
}

// --- copy and paste ----------------------------------------------------------------------------

GridFragment Grid::fragment(const GridArea &area) const
{
    GridFragment f;
    const GridArea a = area.clipped(rows(), cols());
    if (a.isEmpty())
        return f;
    f.rows = a.rowCount();
    f.cols = a.colCount();
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int c = a.firstCol; c <= a.lastCol; ++c) {
            f.texts.append(cellText(r, c));
            f.tags.append(cellTag(r, c));
            const CellStyle &style = cellStyle(r, c);
            f.styles.append(style);
            if (!style.imageKey.isEmpty() && m_data.images.contains(style.imageKey))
                f.images.insert(style.imageKey, m_data.images.data(style.imageKey));
        }
    }
    for (const GridArea &m : merges()) {
        if (!m.intersects(a))
            continue;
        const GridArea rel{std::max(m.firstRow, a.firstRow) - a.firstRow,
                           std::max(m.firstCol, a.firstCol) - a.firstCol,
                           std::min(m.lastRow, a.lastRow) - a.firstRow,
                           std::min(m.lastCol, a.lastCol) - a.firstCol};
        if (!rel.isSingleCell())
            f.merges.append(rel);
    }
    return f;
}

void Grid::pasteFragment(const GridFragment &f, int row, int col)
{
    if (f.isEmpty() || !isValidCell(row, col))
        return;
    const GridArea target =
        GridArea{row, col, row + f.rows - 1, col + f.cols - 1}.clipped(rows(), cols());
    for (auto it = f.images.cbegin(); it != f.images.cend(); ++it) {
        if (!m_data.images.contains(it.key()))
            m_data.images.insert(it.key(), it.value());
    }
    for (int r = target.firstRow; r <= target.lastRow; ++r) {
        for (int c = target.firstCol; c <= target.lastCol; ++c) {
            const int i = (r - row) * f.cols + (c - col);
            m_data.content.setText(r, c, f.texts.value(i));
            m_data.content.setTag(r, c, f.tags.value(i));
            m_data.content.setStyleId(
                r, c, i < f.styles.size() ? m_data.styles.intern(f.styles.at(i)) : 0);
        }
    }
    const GridArea changedCells = target.united(m_data.merges.removeOverlapping(target));
    for (const GridArea &rel : f.merges) {
        const GridArea m{row + rel.firstRow, col + rel.firstCol,
                         std::min(target.lastRow, row + rel.lastRow),
                         std::min(target.lastCol, col + rel.lastCol)};
        if (m.firstRow <= target.lastRow && m.firstCol <= target.lastCol)
            m_data.merges.add(m);
    }
    touch(changedCells);
}

void Grid::pastePlainText(const QString &text, int row, int col)
{
    if (!isValidCell(row, col))
        return;
    const QList<QStringList> lines = TabText::parse(text);
    GridArea written;
    for (int i = 0; i < lines.size() && row + i < rows(); ++i) {
        const QStringList &fields = lines.at(i);
        const int last = std::min(cols(), col + int(fields.size())) - 1;
        for (int c = col; c <= last; ++c)
            m_data.content.setText(row + i, c, fields.at(c - col));
        written = written.united(GridArea{row + i, col, row + i, last});
    }
    touch(written);
}

// --- settings ----------------------------------------------------------------------------------

void Grid::setDefaultFont(const GridFont &font)
{
    m_data.settings.defaultFont = font;
    m_data.settings.defaultFont.size = std::max(1.0, font.size);
    touch(allCells());
}

void Grid::setDefaultFontName(const QString &name)
{
    GridFont f = defaultFont();
    f.name = name;
    setDefaultFont(f);
}

void Grid::setDefaultFontSize(double points)
{
    GridFont f = defaultFont();
    f.size = points;
    setDefaultFont(f);
}

void Grid::setAllowUserSort(bool on)
{
    m_data.settings.allowUserSort = on;
}

void Grid::setEnabled(bool on)
{
    m_data.settings.enabled = on;
    touch(GridArea::everything());
}

void Grid::addReportTitle(const ReportTitle &title)
{
    m_data.print.addTitle(title);
    touch(GridArea::everything());
}

void Grid::clearReportTitles()
{
    m_data.print.clearTitles();
    touch(GridArea::everything());
}

void Grid::setPageSetup(const PageSetup &setup)
{
    m_data.print.setPageSetup(setup);
    touch(GridArea::everything());
}

void Grid::addHPageBreak(int row)
{
    if (m_data.print.addPageBreak(row))
        touch(GridArea::everything());
}

void Grid::clearHPageBreaks()
{
    m_data.print.clearPageBreaks();
    touch(GridArea::everything());
}

// --- images ------------------------------------------------------------------------------------

bool Grid::addImage(const QString &key, const QString &filePath)
{
    QFile file(filePath);
    if (key.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    return addImageData(key, file.readAll());
}

bool Grid::addImageData(const QString &key, const QByteArray &encoded)
{
    if (!m_data.images.add(key, encoded))
        return false;
    touch(GridArea::everything());
    return true;
}

void Grid::removeImage(const QString &key)
{
    m_data.images.remove(key);
    touch(GridArea::everything());
}

void Grid::clearImages()
{
    m_data.images.clear();
    touch(GridArea::everything());
}

// --- files -------------------------------------------------------------------------------------

QByteArray Grid::toJson(const GridCursor &cursor) const
{
    return GridFile::write(m_data, cursor);
}

Status Grid::fromJson(const QByteArray &json, GridCursor *cursor)
{
    GridData loaded;
    GridCursor stored;
    const Status status = GridFile::read(json, &loaded, &stored);
    if (!status.isOk())
        return status;
    m_data = std::move(loaded);
    if (cursor)
        *cursor = stored;
    emit contentReplaced();
    touch(GridArea::everything());
    return Status::ok();
}

Status Grid::saveFile(const QString &path, const GridCursor &cursor) const
{
    return GridFile::save(m_data, cursor, path);
}

Status Grid::openFile(const QString &path, GridCursor *cursor)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法打开表格文件“%1”：%2")
                                 .arg(path, FileErrorText::describe(file, errno)));
    return fromJson(file.readAll(), cursor)
        .withContext(QStringLiteral("无法打开表格文件“%1”：").arg(path));
}

} // namespace fenpai
