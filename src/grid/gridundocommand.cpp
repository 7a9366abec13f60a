#include "grid/gridundocommand.h"

#include "grid/grid.h"

#include <vector>

namespace fenpai {

struct GridUndoCommand::Saved
{
    GridData whole; // a whole-grid step: everything
    struct Cell
    {
        QString text;
        QString tag;
        quint32 style = 0;
    };
    GridArea area;           // the kept cells, inside the grid when they were taken
    std::vector<Cell> cells; // row by row
    std::vector<GridColumnInfo> columns;
    std::vector<int> heights;
    GridMerges merges;
    GridFont font;
    GridImages images;
};

GridUndoCommand::GridUndoCommand(Grid &grid, const QString &text, const GridArea &cells,
                                 Change change, QUndoCommand *parent)
    : QUndoCommand(text, parent)
    , m_grid(grid)
    , m_cells(cells.rowsMoved() || cells.colsMoved() ? GridArea{} : cells)
    , m_change(std::move(change))
{}

GridUndoCommand::~GridUndoCommand() = default;

std::unique_ptr<GridUndoCommand::Saved> GridUndoCommand::take() const
{
    auto saved = std::make_unique<Saved>();
    const GridData &data = m_grid.data();
    if (m_cells.isEmpty()) {
        saved->whole = data;
        return saved;
    }
    // Style ids stay valid without the styles: the store only grows while later steps are
    // undone in order, and a whole-grid step brings its own store back.
    const GridContent &content = data.content;
    if (m_parts & Columns) {
        for (int c = 0; c < content.colCount(); ++c)
            saved->columns.push_back(content.column(c));
    }
    if (m_parts & Heights) {
        for (int r = 0; r < content.rowCount(); ++r)
            saved->heights.push_back(content.explicitHeight(r));
    }
    if (m_parts & Merges)
        saved->merges = data.merges;
    if (m_parts & Font)
        saved->font = data.settings.defaultFont;
    if (m_parts & Images)
        saved->images = data.images;
    const GridArea a = m_cells.clipped(content.rowCount(), content.colCount());
    saved->area = a;
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int c = a.firstCol; c <= a.lastCol; ++c)
            saved->cells.push_back({content.text(r, c), content.tag(r, c), content.styleId(r, c)});
    }
    return saved;
}

void GridUndoCommand::put(const Saved &saved)
{
    if (m_cells.isEmpty()) {
        // The page setup is the printer's, set outside the steps: it stays as it is.
        GridData data = saved.whole;
        data.print.pageSetup() = m_grid.pageSetup();
        m_grid.restoreData(std::move(data));
        return;
    }
    GridData data = m_grid.data();
    GridContent &content = data.content;
    if (m_parts & Columns) {
        for (int c = 0; c < int(saved.columns.size()); ++c)
            content.setColumn(c, saved.columns[size_t(c)]);
    }
    if (m_parts & Heights) {
        for (int r = 0; r < int(saved.heights.size()); ++r)
            content.setExplicitHeight(r, saved.heights[size_t(r)]);
    }
    if (m_parts & Merges)
        data.merges = saved.merges;
    if (m_parts & Font)
        data.settings.defaultFont = saved.font;
    if (m_parts & Images)
        data.images = saved.images;
    // Each cell back to its own place; a grid resized since leaves out what no longer fits.
    const GridArea &a = saved.area;
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        for (int c = a.firstCol; c <= a.lastCol; ++c) {
            const Saved::Cell &cell =
                saved.cells[size_t((r - a.firstRow) * a.colCount() + (c - a.firstCol))];
            content.setText(r, c, cell.text);
            content.setTag(r, c, cell.tag);
            content.setStyleId(r, c, cell.style);
        }
    }
    m_grid.restoreData(std::move(data));
}

void GridUndoCommand::keepChangedParts()
{
    // Only what the change touched goes back, so that a column widened by hand or a setting
    // changed since stays as it is.
    const GridData &data = m_grid.data();
    const GridContent &content = data.content;
    int parts = 0;
    bool columns = int(m_saved->columns.size()) != content.colCount();
    for (int c = 0; !columns && c < content.colCount(); ++c)
        columns = !(m_saved->columns[size_t(c)] == content.column(c));
    bool heights = int(m_saved->heights.size()) != content.rowCount();
    for (int r = 0; !heights && r < content.rowCount(); ++r)
        heights = m_saved->heights[size_t(r)] != content.explicitHeight(r);
    if (columns)
        parts |= Columns;
    if (heights)
        parts |= Heights;
    if (m_saved->merges.blocks() != data.merges.blocks())
        parts |= Merges;
    if (!(m_saved->font == data.settings.defaultFont))
        parts |= Font;
    if (m_saved->images.keys() != data.images.keys())
        parts |= Images;
    m_parts = parts;
}

void GridUndoCommand::swap()
{
    std::unique_ptr<Saved> now = take();
    put(*m_saved);
    m_saved = std::move(now);
}

void GridUndoCommand::undo()
{
    if (m_saved)
        swap();
}

void GridUndoCommand::redo()
{
    if (m_saved) {
        swap();
        return;
    }
    m_saved = take();
    bool reported = false;
    auto note = [&reported] { reported = true; };
    const QList<QMetaObject::Connection> watch = {
        QObject::connect(&m_grid, &Grid::changed, note),
        QObject::connect(&m_grid, &Grid::rowsInserted, note),
        QObject::connect(&m_grid, &Grid::rowsRemoved, note),
        QObject::connect(&m_grid, &Grid::columnsInserted, note),
        QObject::connect(&m_grid, &Grid::columnsRemoved, note),
    };
    m_change(m_grid);
    for (const QMetaObject::Connection &c : watch)
        QObject::disconnect(c);
    m_change = nullptr;
    if (!m_cells.isEmpty())
        keepChangedParts();
    if (!reported)
        setObsolete(true);
}

} // namespace fenpai
