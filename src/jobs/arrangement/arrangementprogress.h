#pragma once

#include <functional>

namespace fenpai {

// Told how far a run has come (done of total steps); returning false cancels the run, which then
// leaves the data as it was.
using ArrangementProgress = std::function<bool(int done, int total)>;

} // namespace fenpai
