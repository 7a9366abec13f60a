#include "jobs/arrangement/desklayout.h"

#include "jobs/arrangement/arrangementcounts.h"

#include <algorithm>

namespace fenpai {

namespace {

// A 行数 or 列数 cell as a count of desks; 0 when absent.
int lineCount(const QVariant &value)
{
    return std::min(ArrangementCounts::capacityOf(value), DeskLayout::maxLines);
}

int ceilDiv(int a, int b)
{
    return b > 0 ? (a + b - 1) / b : 0;
}

} // namespace

DeskLayout::DeskLayout(int rows, int cols, int capacity, SeatOrder order)
    : m_rows(std::max(rows, 0))
    , m_cols(std::max(cols, 0))
    , m_capacity(std::max(capacity, 0))
    , m_order(order)
{}

DeskLayout DeskLayout::forRoom(int capacity, const QVariant &rows, const QVariant &cols,
                               SeatOrder order)
{
    int r = lineCount(rows);
    int c = lineCount(cols);
    // What the capacity needs always fits, however large the room.
    if (c == 0)
        c = r > 0 ? ceilDiv(capacity, r) : 5;
    if (r == 0)
        r = ceilDiv(capacity, c);
    return DeskLayout(r, c, capacity, order);
}

DeskPosition DeskLayout::position(int seat) const
{
    if (seat < 1 || seat > desks())
        return {};
    const int i = seat - 1;
    switch (m_order) {
    case SeatOrder::ByColumn:
        return {i % m_rows + 1, i / m_rows + 1};
    case SeatOrder::ByColumnSnake: {
        const int col = i / m_rows + 1;
        const int down = i % m_rows;
        return {col % 2 == 1 ? down + 1 : m_rows - down, col};
    }
    case SeatOrder::ByRow:
        return {i / m_cols + 1, i % m_cols + 1};
    }
    return {};
}

int DeskLayout::seatAt(int row, int col) const
{
    if (row < 1 || row > m_rows || col < 1 || col > m_cols)
        return 0;
    switch (m_order) {
    case SeatOrder::ByColumn:
        return (col - 1) * m_rows + row;
    case SeatOrder::ByColumnSnake:
        return (col - 1) * m_rows + (col % 2 == 1 ? row : m_rows - row + 1);
    case SeatOrder::ByRow:
        return (row - 1) * m_cols + col;
    }
    return 0;
}

template <typename Visit>
void DeskLayout::forEachPair(const std::vector<int> &valueOfSeat, bool diagonal, Visit visit) const
{
    const int seats = std::min(static_cast<int>(valueOfSeat.size()), desks());
    for (int seat = 1; seat <= seats; ++seat) {
        const int own = valueOfSeat[static_cast<size_t>(seat) - 1];
        if (own < 0)
            continue;
        const DeskPosition p = position(seat);
        // Each pair once: from its left desk, from its front desk, and corner to corner from
        // the front one.
        const int right = seatAt(p.row, p.col + 1);
        const int behind = seatAt(p.row + 1, p.col);
        const int behindRight = diagonal ? seatAt(p.row + 1, p.col + 1) : 0;
        const int behindLeft = diagonal ? seatAt(p.row + 1, p.col - 1) : 0;
        for (const int other : {right, behind, behindRight, behindLeft}) {
            if (other >= 1 && other <= seats && valueOfSeat[static_cast<size_t>(other) - 1] == own)
                visit(std::min(seat, other), std::max(seat, other));
        }
    }
}

std::vector<std::pair<int, int>>
DeskLayout::classmatePairs(const std::vector<int> &classOfSeat) const
{
    return equalPairs(classOfSeat, false);
}

std::vector<std::pair<int, int>> DeskLayout::equalPairs(const std::vector<int> &valueOfSeat,
                                                        bool diagonal) const
{
    std::vector<std::pair<int, int>> pairs;
    forEachPair(valueOfSeat, diagonal, [&](int a, int b) { pairs.emplace_back(a, b); });
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

int DeskLayout::classmatePairCount(const std::vector<int> &classOfSeat) const
{
    int count = 0;
    forEachPair(classOfSeat, false, [&](int, int) { ++count; });
    return count;
}

QString DeskLayout::tooSmallMessage(int room) const
{
    return QStringLiteral("第%1考场的考场人数(%2)多于行数×列数(%3×%4)，放不下所有座位，"
                          "请在原电子表格文件中修改,完成后重新导入数据")
        .arg(room)
        .arg(m_capacity)
        .arg(m_rows)
        .arg(m_cols);
}

QString DeskLayout::seatOrderName(SeatOrder order)
{
    switch (order) {
    case SeatOrder::ByColumn:
        break;
    case SeatOrder::ByColumnSnake:
        return QStringLiteral("按列蛇形");
    case SeatOrder::ByRow:
        return QStringLiteral("按行");
    }
    return QStringLiteral("按列");
}

std::optional<SeatOrder> DeskLayout::seatOrderFromName(const QString &name)
{
    for (const auto &[order, latin] :
         {std::pair{SeatOrder::ByColumn, "column"}, std::pair{SeatOrder::ByColumnSnake, "snake"},
          std::pair{SeatOrder::ByRow, "row"}}) {
        if (name == seatOrderName(order) || name == QLatin1String(latin))
            return order;
    }
    return std::nullopt;
}

} // namespace fenpai
