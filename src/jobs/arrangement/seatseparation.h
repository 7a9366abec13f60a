#pragma once

#include <limits>
#include <vector>

namespace fenpai {

class DeskLayout;

// Exchanges the examinees of one room among its occupied seats so that as few neighbouring desks
// as possible hold classmates. The desks are coloured like a chessboard: a class on desks of one
// colour has no neighbours of its own, so the classes, largest first, are laid on one colour and
// then the other; exchanges of two examinees then remove what pairs are left while any
// exchange removes one. Deterministic: the same room always gives the same seats.
class SeatSeparation final
{
public:
    // classOfSeat[s - 1] is the class of the examinee on seat s, negative for a desk nobody sits
    // at. Returns, for every seat s, the seat (index s - 1 as well) whose examinee moves to s:
    // the occupied seats stay occupied, empty desks stay empty. A room without classmates side by
    // side keeps its seats. `maxRounds` caps the rounds of exchanges after each start; the
    // search needs no cap to end, so only tests lower it.
    static std::vector<int> separate(const DeskLayout &layout, const std::vector<int> &classOfSeat,
                                     int maxRounds = std::numeric_limits<int>::max());
};

} // namespace fenpai
