#pragma once

#include <vector>

namespace fenpai {

class GridContent;

// The order a sort by one column puts rows in: numbers as numbers before texts in Chinese
// collation, empty cells last in both directions, equal keys in their old order.
class GridSorter final
{
public:
    // For the rows from `first` to the last: the old place (counted from `first`) of the row
    // that comes i-th.
    static std::vector<int> order(const GridContent &content, int col, int first, bool descending);
};

} // namespace fenpai
