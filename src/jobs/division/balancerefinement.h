#pragma once

#include <limits>
#include <utility>
#include <vector>

namespace fenpai {

// Improves dealt classes by exchanging pupils between classes of one range (the whole table, or a
// layer's block), never across ranges. Pupils with a set class and groups that must share one are
// placed first and stay; groups to be kept apart get at most ⌈k/N⌉ members a class before anything
// else counts. Then, in order of priority, it brings class sizes, then (with the
// options) boys, girls and each source school within 1 across the classes of a range, then makes
// the class means and the class score standard deviations as equal as it can. Deterministic: the
// candidates are tried in a fixed order and the first improving one is taken.
class BalanceRefinement final
{
public:
    struct Pupil
    {
        int classNumber = 0; // read and rewritten
        int sex = 0;         // any small number per sex; only equality matters
        int school = 0;      // any small number per school
        bool scored = false;
        double score = 0;
        // Wishes, checked beforehand to be reachable in the pupil's range: a class number (0 for
        // none), and the groups that must share a class or be spread (-1 for none).
        int fixedClass = 0;
        int together = -1;
        int apart = -1;
    };

    // The most passes each search of a range may take. The count exchanges end by themselves
    // and the score descent's cap lies far beyond what real ranges need, so only tests set
    // smaller ones.
    struct Limits
    {
        int countRounds = std::numeric_limits<int>::max(); // rounds of moves and exchanges
        int descentPasses = 1000;                          // passes of each score descent
    };

    // ranges: [lo, hi] class blocks; a pupil belongs to the block holding his class.
    static void refine(std::vector<Pupil> &pupils, const std::vector<std::pair<int, int>> &ranges,
                       bool balanceSex, bool balanceSchool);
    static void refine(std::vector<Pupil> &pupils, const std::vector<std::pair<int, int>> &ranges,
                       bool balanceSex, bool balanceSchool, const Limits &limits);
};

} // namespace fenpai
