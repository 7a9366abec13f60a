#pragma once

#include "grid/cellstyle.h"

#include <QHash>

#include <vector>

namespace fenpai {

// The cell styles of a grid, each kept once: cells hold a small id, so a large table with a
// few formats stays small. Id 0 is the default style. Ids only grow; a style no cell uses any
// more stays until the grid is reset, and files keep only the styles in use.
class GridStyles final
{
public:
    GridStyles();

    // The id of an equal style, added when there is none yet.
    quint32 intern(const CellStyle &style);
    const CellStyle &at(quint32 id) const; // the default style for an unknown id
    int size() const { return int(m_styles.size()); }

private:
    std::vector<CellStyle> m_styles;
    QMultiHash<size_t, quint32> m_index; // a hash of the style's values → ids
};

} // namespace fenpai
