#pragma once

#include "grid/gridarea.h"

#include <QHash>
#include <QList>

#include <vector>

namespace fenpai {

// The merged blocks of a grid: rectangles of two cells or more that never overlap, shown as one
// cell with the formats and text of its top-left cell. Looking a cell up goes through an index
// built when first needed after a change.
class GridMerges final
{
public:
    const QList<GridArea> &blocks() const { return m_blocks; }
    bool isEmpty() const { return m_blocks.isEmpty(); }
    // The block holding the cell, or the cell alone.
    GridArea blockAt(int row, int col) const;
    // The area grown until no block sticks out of it.
    GridArea span(const GridArea &area) const;

    // Makes the area one block; blocks it overlaps become part of it. Returns the new block,
    // or the area itself when that is a single cell (which is no block).
    GridArea merge(const GridArea &area);
    // Removes the blocks that overlap the area; returns the cells they covered.
    GridArea removeOverlapping(const GridArea &area);
    // Adds a block that overlaps none; single cells are ignored.
    void add(const GridArea &block);

    // Rows or columns inserted or removed: blocks move, grow and shrink with them; a block
    // left with one cell goes.
    void insertRows(int at, int count);
    void removeRows(int at, int count);
    void insertCols(int at, int count);
    void removeCols(int at, int count);
    // Rows from `first` on were put in a new order (newIndexOf[old − first] = new − first):
    // blocks inside one row travel with it, blocks over several of those rows are dissolved.
    void reorderRows(int first, const std::vector<int> &newIndexOf);

private:
    void changed();
    void ensureIndex() const;
    GridArea spanByList(GridArea a) const;                 // the span by walking every block
    void indexBlock(const GridArea &block, bool in) const; // a block into or out of a valid index

    QList<GridArea> m_blocks;
    mutable QHash<quint64, GridArea> m_index; // cell → the block holding it
    mutable bool m_indexValid = false;
    mutable GridArea m_extent; // every block lies inside it while the index is valid
};

} // namespace fenpai
