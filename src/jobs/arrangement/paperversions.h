#pragma once

#include <QString>

#include <vector>

namespace fenpai {

class DeskLayout;

// Versions of the paper (A, B, C, D) laid over the occupied desks of one room. With two versions
// no two desks side by side or one behind the other share one; with four, diagonal neighbours
// differ as well. Within that rule the versions are spread as evenly as the room's shape allows,
// and the first occupied seat gets A. Deterministic: the same room always gives the same versions.
class PaperVersions final
{
public:
    // For every seat 1..layout.seats() (index seat - 1) the version 0..count - 1 of its desk, or
    // -1 where occupied[seat - 1] is false. `count` is 2 or 4.
    static std::vector<int> assign(const DeskLayout &layout, const std::vector<bool> &occupied,
                                   int count);

    // The version for a desk taken after the others were laid (versionOfSeat[seat - 1] the
    // version of each seat, -1 where nobody sits): the least used in the room of those its
    // neighbours leave free; when they leave none, the least used of all.
    static int forFreeDesk(const DeskLayout &layout, const std::vector<int> &versionOfSeat,
                           int seat, int count);

    // "A" .. "D" for 0 .. 3; empty for anything else.
    static QString letter(int version);
    // 0 .. 3 for "A" .. "D" (blanks and case ignored); -1 for anything else.
    static int fromLetter(const QString &text);
};

} // namespace fenpai
