#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace fenpai {

// Counts of one kind (class sizes, one sex, one school, one group kept apart) per class of a
// range, and the band [⌊t/K⌋, ⌈t/K⌉] their total allows: excess(c) is how far class c lies
// outside it, zero for all classes exactly when the counts are within 1.
struct ClassCounts
{
    std::vector<int> perClass;
    int low = 0;
    int high = 0;

    int excess(int c) const
    {
        const int x = perClass[static_cast<size_t>(c)];
        return std::max(0, x - high) + std::max(0, low - x);
    }
    void setBand(int total, int classes)
    {
        low = total / classes;
        high = (total + classes - 1) / classes;
    }
};

} // namespace fenpai
