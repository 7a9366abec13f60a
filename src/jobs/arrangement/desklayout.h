#pragma once

#include "jobs/arrangement/arrangementsettings.h"

#include <QString>
#include <QVariant>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace fenpai {

// A desk of a room: row 1 is the front row, column 1 the leftmost column as the chart shows it.
struct DeskPosition
{
    int row = 0;
    int col = 0;
    bool operator==(const DeskPosition &) const = default;
};

// The desks of one exam room in rows and columns, and where each seat number stands. Two desks
// are neighbours when they stand side by side in one row or one behind the other in one column.
class DeskLayout final
{
public:
    // The most rows or columns a 行数 or 列数 cell may give: larger values are typing errors.
    static constexpr int maxLines = 1000;

    DeskLayout() = default;
    DeskLayout(int rows, int cols, int capacity, SeatOrder order);

    // The layout of a room from its 行数 and 列数 cells: an empty, non-numeric or non-positive
    // cell is absent. Without both, 5 columns and as many rows as the capacity needs; with one of
    // them, the other as the capacity needs.
    static DeskLayout forRoom(int capacity, const QVariant &rows, const QVariant &cols,
                              SeatOrder order);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    int capacity() const { return m_capacity; }
    SeatOrder order() const { return m_order; }
    int desks() const { return m_rows * m_cols; }
    // The seat numbers that can be taken: 1..seats(), as many as the room holds and has desks.
    int seats() const { return std::min(m_capacity, desks()); }
    // Every seat 1..capacity has a desk.
    bool fits() const { return m_capacity <= desks(); }

    // The desk of seat 1..desks(); {0, 0} for any other number.
    DeskPosition position(int seat) const;
    // The seat at a desk; 0 outside the room.
    int seatAt(int row, int col) const;

    // Pairs (a, b), a < b, of neighbouring seats whose entries in classOfSeat (index seat - 1;
    // a negative entry is an empty desk) are equal. Entries past desks() are left out.
    std::vector<std::pair<int, int>> classmatePairs(const std::vector<int> &classOfSeat) const;
    int classmatePairCount(const std::vector<int> &classOfSeat) const;
    // The same for any value per seat (a paper version, say); with `diagonal`, desks that touch
    // at a corner are neighbours too.
    std::vector<std::pair<int, int>> equalPairs(const std::vector<int> &valueOfSeat,
                                                bool diagonal) const;

    // "第N考场的考场人数(C)多于行数×列数(R×K)，…"
    QString tooSmallMessage(int room) const;

    // "按列", "按列蛇形", "按行"; the names and column, snake, row are read back.
    static QString seatOrderName(SeatOrder order);
    static std::optional<SeatOrder> seatOrderFromName(const QString &name);

private:
    template <typename Visit>
    void forEachPair(const std::vector<int> &valueOfSeat, bool diagonal, Visit visit) const;

    int m_rows = 0;
    int m_cols = 0;
    int m_capacity = 0;
    SeatOrder m_order = SeatOrder::ByColumn;
};

} // namespace fenpai
