#pragma once

#include "core/status.h"
#include "jobs/tickets/ticketsettings.h"

namespace fenpai {

class Database;
class Grid;

// Desk labels for one room: one large number per cell, printed on A4 portrait and cut along
// the grid lines. By seat number five labels to a row, 01 up to the room's last seat; by exam
// number two to a row, or one when the numbers have eight digits or more. Where paper versions were
// laid out, each label names its desk's version after the number ("07 A").
class DeskLabels final
{
public:
    // Fills `document`; fails, leaving it as it was, without a room or without examinees in it.
    [[nodiscard]] static Status build(Database &db, const DeskLabelSettings &settings,
                                      Grid &document);
};

} // namespace fenpai
