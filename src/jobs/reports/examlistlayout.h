#pragma once

#include <QString>

namespace fenpai {

class Grid;

// The print layouts of the exam listings: the room layout for name lists of rooms (larger type,
// tall rows, a subtitle with the room's exam number range) and the class layout for class lists
// and the first/last exam numbers (an empty subtitle line, the grid's own type and rows).
class ExamListLayout final
{
public:
    static void roomList(Grid &grid, const QString &title, const QString &subtitle);
    static void classList(Grid &grid, const QString &title);
};

} // namespace fenpai
