#include "jobs/arrangement/seatseparation.h"

#include "jobs/arrangement/desklayout.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace fenpai {

namespace {

// The room as a small graph: occupied seats (indexes into classOfSeat) and their occupied
// neighbours, so that the search never looks at empty desks.
class Room final
{
public:
    Room(const DeskLayout &layout, const std::vector<int> &classOfSeat)
    {
        const int seats = std::min(static_cast<int>(classOfSeat.size()), layout.desks());
        std::vector<int> node(classOfSeat.size(), -1);
        for (int s = 0; s < seats; ++s) {
            if (classOfSeat[static_cast<size_t>(s)] >= 0) {
                node[static_cast<size_t>(s)] = static_cast<int>(m_seats.size());
                m_seats.push_back(s);
            }
        }
        m_neighbours.assign(m_seats.size(), {-1, -1, -1, -1});
        m_black.resize(m_seats.size());
        for (size_t i = 0; i < m_seats.size(); ++i) {
            const DeskPosition p = layout.position(m_seats[i] + 1);
            m_black[i] = (p.row + p.col) % 2 == 0;
            const int around[4] = {layout.seatAt(p.row - 1, p.col), layout.seatAt(p.row + 1, p.col),
                                   layout.seatAt(p.row, p.col - 1),
                                   layout.seatAt(p.row, p.col + 1)};
            for (size_t k = 0; k < 4; ++k) {
                const int s = around[k] - 1;
                if (s >= 0 && s < seats)
                    m_neighbours[i][k] = node[static_cast<size_t>(s)];
            }
        }
    }

    size_t size() const { return m_seats.size(); }
    int seat(size_t node) const { return m_seats[node]; }
    bool black(size_t node) const { return m_black[node]; }

    // Neighbours of `node` holding class c, not counting `skip`.
    int sameClass(const std::vector<int> &classOf, size_t node, int c, int skip) const
    {
        int n = 0;
        for (int other : m_neighbours[node])
            n += other >= 0 && other != skip && classOf[static_cast<size_t>(other)] == c;
        return n;
    }

    int pairs(const std::vector<int> &classOf) const
    {
        int twice = 0;
        for (size_t i = 0; i < size(); ++i)
            twice += sameClass(classOf, i, classOf[i], -1);
        return twice / 2;
    }

    // Exchanges two examinees wherever that removes pairs, the best exchange for each seat in
    // seat order, until none helps or `maxRounds` rounds have run. `who` follows the examinees
    // (their old seat indexes).
    void improve(std::vector<int> &classOf, std::vector<int> &who, int maxRounds) const
    {
        const int n = static_cast<int>(size());
        // Every exchange taken removes at least one pair, so a round that changes anything
        // leaves fewer pairs: pairs + 1 rounds always reach the round that changes nothing. The
        // bound holds the search to that even if a neighbour were counted from one side only.
        const int rounds = std::min(maxRounds, pairs(classOf) + 1);
        bool changed = true;
        for (int round = 0; changed && round < rounds; ++round) {
            changed = false;
            for (int i = 0; i < n; ++i) {
                const int ci = classOf[static_cast<size_t>(i)];
                const int own = sameClass(classOf, static_cast<size_t>(i), ci, -1);
                if (own == 0)
                    continue;
                int best = 0;
                int partner = -1;
                for (int j = 0; j < n; ++j) {
                    const int cj = classOf[static_cast<size_t>(j)];
                    if (cj == ci)
                        continue;
                    const int delta = sameClass(classOf, static_cast<size_t>(i), cj, j) +
                                      sameClass(classOf, static_cast<size_t>(j), ci, i) -
                                      sameClass(classOf, static_cast<size_t>(i), ci, j) -
                                      sameClass(classOf, static_cast<size_t>(j), cj, i);
                    if (delta < best) {
                        best = delta;
                        partner = j;
                    }
                }
                if (partner >= 0) {
                    std::swap(classOf[static_cast<size_t>(i)],
                              classOf[static_cast<size_t>(partner)]);
                    std::swap(who[static_cast<size_t>(i)], who[static_cast<size_t>(partner)]);
                    changed = true;
                }
            }
        }
    }

private:
    std::vector<int> m_seats;
    std::vector<std::array<int, 4>> m_neighbours;
    std::vector<char> m_black;
};

struct Candidate
{
    std::vector<int> classOf; // per node
    std::vector<int> who;     // per node: the node whose examinee sits there
    int pairs = 0;
};

// The classes, largest first (ties: the class met first in seat order), laid on the desks of
// one colour and then of the other, each colour in seat order; inside a class the examinees keep
// their seat order.
Candidate chessboard(const Room &room, const std::vector<int> &classOf, bool blackFirst)
{
    const size_t n = room.size();
    std::vector<int> places;
    places.reserve(n);
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < n; ++i) {
            if (room.black(i) == (blackFirst == (pass == 0)))
                places.push_back(static_cast<int>(i));
        }
    }
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::vector<int> size(n, 0);
    std::vector<int> first(n, -1);
    // Class numbers are arbitrary; count them through the first node holding each.
    std::vector<int> firstOfClass;
    for (size_t i = 0; i < n; ++i) {
        int f = -1;
        for (size_t k = 0; k < firstOfClass.size(); ++k) {
            if (classOf[static_cast<size_t>(firstOfClass[k])] == classOf[i]) {
                f = firstOfClass[k];
                break;
            }
        }
        if (f < 0) {
            f = static_cast<int>(i);
            firstOfClass.push_back(f);
        }
        first[i] = f;
        ++size[static_cast<size_t>(f)];
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int fa = first[static_cast<size_t>(a)];
        const int fb = first[static_cast<size_t>(b)];
        if (fa == fb)
            return false;
        const int sa = size[static_cast<size_t>(fa)];
        const int sb = size[static_cast<size_t>(fb)];
        return sa != sb ? sa > sb : fa < fb;
    });
    Candidate c;
    c.classOf.resize(n);
    c.who.resize(n);
    for (size_t k = 0; k < n; ++k) {
        const auto place = static_cast<size_t>(places[k]);
        c.classOf[place] = classOf[static_cast<size_t>(order[k])];
        c.who[place] = order[k];
    }
    return c;
}

} // namespace

std::vector<int> SeatSeparation::separate(const DeskLayout &layout,
                                          const std::vector<int> &classOfSeat, int maxRounds)
{
    std::vector<int> from(classOfSeat.size());
    std::iota(from.begin(), from.end(), 0);
    const Room room(layout, classOfSeat);
    std::vector<int> classOf(room.size());
    for (size_t i = 0; i < room.size(); ++i)
        classOf[i] = classOfSeat[static_cast<size_t>(room.seat(i))];
    if (room.pairs(classOf) == 0)
        return from;

    // Three starts: the two chessboards, then the seats as they are (a room with empty desks
    // among its seats may do better from there); the fewest pairs wins, the earlier start on a
    // tie. A chessboard usually leaves nothing to exchange, so the search stays short.
    Candidate best;
    best.pairs = -1;
    for (int start = 0; start < 3; ++start) {
        Candidate c;
        if (start == 2) {
            c.classOf = classOf;
            c.who.resize(room.size());
            std::iota(c.who.begin(), c.who.end(), 0);
        } else {
            c = chessboard(room, classOf, start == 0);
        }
        room.improve(c.classOf, c.who, maxRounds);
        c.pairs = room.pairs(c.classOf);
        if (best.pairs < 0 || c.pairs < best.pairs)
            best = std::move(c);
        if (best.pairs == 0)
            break;
    }
    for (size_t i = 0; i < room.size(); ++i)
        from[static_cast<size_t>(room.seat(i))] = room.seat(static_cast<size_t>(best.who[i]));
    return from;
}

} // namespace fenpai
