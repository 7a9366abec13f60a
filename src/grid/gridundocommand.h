#pragma once

#include "grid/gridarea.h"

#include <QUndoCommand>

#include <functional>
#include <memory>

namespace fenpai {

class Grid;

// One change of a grid as a step of a document's undo stack. The first redo() keeps the state
// the change may touch and then makes the change; later undo() and redo() swap the kept state
// with the grid's, so both directions give back the exact cells, formats and merges.
//
// A change confined to some cells names them: only those cells are kept, with whichever of
// the small grid-wide parts (column settings, row heights, merges, the default font, pictures)
// the change altered; the rest, changed by hand since, stays as it is. A change that inserts,
// removes or reorders rows or columns passes an empty area and the whole grid is kept, all but
// the page setup. A change that reports nothing becomes obsolete, so QUndoStack::push() drops
// it.
class GridUndoCommand final : public QUndoCommand
{
public:
    using Change = std::function<void(Grid &)>;

    GridUndoCommand(Grid &grid, const QString &text, const GridArea &cells, Change change,
                    QUndoCommand *parent = nullptr);
    ~GridUndoCommand() override;

    void undo() override;
    void redo() override;

private:
    struct Saved;
    std::unique_ptr<Saved> take() const;
    void put(const Saved &saved);
    void swap();
    void keepChangedParts();

    enum Part
    {
        Columns = 1,
        Heights = 2,
        Merges = 4,
        Font = 8,
        Images = 16,
        AllParts = 31
    };

    Grid &m_grid;
    GridArea m_cells; // empty: the whole grid
    int m_parts = AllParts;
    Change m_change;
    std::unique_ptr<Saved> m_saved;
};

} // namespace fenpai
