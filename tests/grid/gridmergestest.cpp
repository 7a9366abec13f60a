#include "grid/gridmerges.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace fenpai;

namespace {

// The span by its definition: grow by every block that meets the area until none does.
GridArea naiveSpan(const std::vector<GridArea> &blocks, GridArea a)
{
    for (bool grown = true; grown;) {
        grown = false;
        for (const GridArea &m : blocks) {
            if (m.intersects(a) && !(a.united(m) == a)) {
                a = a.united(m);
                grown = true;
            }
        }
    }
    return a;
}

} // namespace

// Spans found through the index (areas with a short border) and through the list (long ones)
// agree with the definition on random sheets, including chains where one block reaches the next.
TEST(GridMerges, SpanGrowsThroughEveryBlockItReaches)
{
    std::mt19937 random(7);
    for (int sheet = 0; sheet < 40; ++sheet) {
        GridMerges merges;
        std::vector<GridArea> blocks;
        for (int tries = 0; tries < 200; ++tries) {
            const int r = int(random() % 60);
            const int c = int(random() % 12);
            const GridArea b{r, c, r + int(random() % 3), c + int(random() % 4)};
            if (b.isSingleCell() || std::any_of(blocks.begin(), blocks.end(),
                                                [&](const GridArea &m) { return m.intersects(b); }))
                continue;
            merges.add(b);
            blocks.push_back(b);
        }
        for (int i = 0; i < 200; ++i) {
            const int r = int(random() % 64);
            const int c = int(random() % 14);
            GridArea area{r, c, r + int(random() % (i % 2 ? 40 : 3)),
                          c + int(random() % (i % 2 ? 12 : 3))};
            // Areas reaching the sheet's edges: rows or columns from here on, the whole sheet.
            if (i % 5 == 3)
                area.lastRow = GridArea::kEnd;
            if (i % 7 == 4) {
                area.firstCol = 0;
                area.lastCol = GridArea::kEnd;
            }
            if (i % 11 == 5)
                area.firstRow = 0;
            EXPECT_EQ(merges.span(area), naiveSpan(blocks, area))
                << "sheet " << sheet << " area " << area.firstRow << ',' << area.firstCol << ' '
                << area.lastRow << ',' << area.lastCol;
        }
        // Merging over blocks joins them; the index follows what the list holds.
        for (int i = 0; i < 20; ++i) {
            const int r = int(random() % 60);
            const int c = int(random() % 12);
            const GridArea area{r, c, r + int(random() % 4), c + int(random() % 3)};
            const GridArea joined = naiveSpan(blocks, area);
            std::erase_if(blocks, [&](const GridArea &m) { return m.intersects(joined); });
            if (!joined.isSingleCell())
                blocks.push_back(joined);
            EXPECT_EQ(merges.merge(area), joined);
            for (int k = 0; k < 30; ++k) {
                const int row = int(random() % 64);
                const int col = int(random() % 16);
                const auto holder =
                    std::find_if(blocks.begin(), blocks.end(), [&](const GridArea &m) {
                        return m.intersects(GridArea{row, col, row, col});
                    });
                const GridArea alone{row, col, row, col};
                EXPECT_EQ(merges.blockAt(row, col), holder != blocks.end() ? *holder : alone);
            }
        }
    }
}
