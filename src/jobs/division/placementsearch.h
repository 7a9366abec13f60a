#pragma once

#include "jobs/division/balancerefinement.h"

#include <utility>
#include <vector>

namespace fenpai {

// Places late pupils into classes that are already divided, then spends a budget of moves of the
// pupils placed before to bring the balance back, inside each block of classes (the whole
// table, or a layer's block). Pupils placed by a wish stay: a placed pupil with a set class or in
// a 同班 group keeps his class, a late one with a set class goes there, and a late member of a
// 同班 group joins the class the group already has.
//
// First every late pupil, the furthest from the mean first, goes where he helps most: class
// sizes within 1 before anything else, then (with the options) boys, girls and each school, then
// the class means and score standard deviations. Then moves and exchanges are taken one at a
// time, the best first, while they improve the same measures and at most `maxMoves` of the pupils
// placed before end in another class than they had; late pupils move freely. Deterministic.
class PlacementSearch final
{
public:
    // The most moves and exchanges the repair takes, all blocks together. Every one it takes
    // improves the balance, so it ends by itself long before; only tests set smaller ones.
    struct Limits
    {
        int steps = 20000;
    };

    struct Outcome
    {
        int moved = 0; // pupils placed before who end in another class
        int steps = 0; // moves and exchanges taken by the repair
    };

    // `pupils` carry their wishes (as DivisionWishes::apply gives them) and a class inside their
    // block: the class a placed pupil has, any class of his block for a late one. home[i] is the
    // class pupil i had before, 0 for a late pupil. On return every pupil's classNumber is set.
    static Outcome place(std::vector<BalanceRefinement::Pupil> &pupils,
                         const std::vector<int> &home,
                         const std::vector<std::pair<int, int>> &ranges, bool balanceSex,
                         bool balanceSchool, int maxMoves, const Limits &limits);
};

} // namespace fenpai
