#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/arrangement/examswap.h"

#include <QStringList>

namespace fenpai {

class Database;

// What a manual swap would do to the neighbours: the classmates it would seat at neighbouring
// desks (side by side or one behind the other, the desks laid out in the given seat order) who do
// not sit so now.
class SwapNeighbours final
{
public:
    // One line per new pair, "第2考场 5号座位 张三 和 6号座位 李四（一中 初三(1)班）"; empty when
    // there is none, or when a pick names nobody on a desk (the swap itself refuses that).
    [[nodiscard]] static Result<QStringList> created(Database &db, const ExamSwap::Pick &left,
                                                     const ExamSwap::Pick &right, SeatOrder order);
    // The question put before such a swap, the lines above in it.
    static QString question(const QStringList &pairs);
};

} // namespace fenpai
