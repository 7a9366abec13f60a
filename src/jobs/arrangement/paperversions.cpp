#include "jobs/arrangement/paperversions.h"

#include "jobs/arrangement/desklayout.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace fenpai {

namespace {

// The occupied desks of a room, in seat order, with a map from row and column to each.
class OccupiedDesks final
{
public:
    struct Desk
    {
        int seat;
        int row; // 1-based, as DeskLayout places it
        int col;
    };

    OccupiedDesks(const DeskLayout &layout, const std::vector<bool> &occupied)
        : m_rows(layout.rows())
        , m_cols(layout.cols())
        , m_at(static_cast<size_t>(layout.rows()) * static_cast<size_t>(layout.cols()), -1)
    {
        const int seats = std::min(static_cast<int>(occupied.size()), layout.seats());
        for (int seat = 1; seat <= seats; ++seat) {
            const DeskPosition p = layout.position(seat);
            if (!occupied[static_cast<size_t>(seat) - 1] || p.row < 1)
                continue;
            m_at[index(p.row, p.col)] = static_cast<int>(m_desks.size());
            m_desks.push_back({seat, p.row, p.col});
        }
    }

    const std::vector<Desk> &desks() const { return m_desks; }
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    // The desk at a row and column, -1 for an empty desk or a place outside the room.
    int at(int row, int col) const
    {
        if (row < 1 || row > m_rows || col < 1 || col > m_cols)
            return -1;
        return m_at[index(row, col)];
    }

    // The occupied neighbours of desk d: side by side and one behind the other, and with
    // `diagonal` the four diagonal desks too.
    template <typename Visit> void forNeighbours(int d, bool diagonal, Visit visit) const
    {
        const Desk &desk = m_desks[static_cast<size_t>(d)];
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                if ((dr == 0 && dc == 0) || (!diagonal && dr != 0 && dc != 0))
                    continue;
                if (const int other = at(desk.row + dr, desk.col + dc); other >= 0)
                    visit(other);
            }
        }
    }

private:
    size_t index(int row, int col) const
    {
        return static_cast<size_t>(row - 1) * static_cast<size_t>(m_cols) +
               static_cast<size_t>(col - 1);
    }

    int m_rows;
    int m_cols;
    std::vector<int> m_at;
    std::vector<Desk> m_desks;
};

using Counts = std::array<int, 4>;

int spread(const Counts &counts, int count)
{
    const auto end = counts.begin() + count;
    return *std::max_element(counts.begin(), end) - *std::min_element(counts.begin(), end);
}

// The groups of desks that touch side by side or one behind the other, each desk in one group.
std::vector<std::vector<int>> touchingGroups(const OccupiedDesks &room)
{
    const std::vector<OccupiedDesks::Desk> &desks = room.desks();
    std::vector<int> component(desks.size(), -1);
    std::vector<std::vector<int>> components;
    for (size_t start = 0; start < desks.size(); ++start) {
        if (component[start] >= 0)
            continue;
        const int id = static_cast<int>(components.size());
        components.push_back({static_cast<int>(start)});
        component[start] = id;
        for (size_t next = 0; next < components.back().size(); ++next) {
            room.forNeighbours(components.back()[next], false, [&](int other) {
                if (component[static_cast<size_t>(other)] < 0) {
                    component[static_cast<size_t>(other)] = id;
                    components.back().push_back(other);
                }
            });
        }
    }
    return components;
}

// Turns (swaps the two versions of) the groups whose turning brings the two counts closest,
// found over every reachable difference (at most the n desks either way). surplus[g] is group
// g's version 0 minus version 1 as coloured.
void turnToBalance(const std::vector<std::vector<int>> &components, const std::vector<int> &surplus,
                   int n, std::vector<int> &version)
{
    // reach[g][t + n]: the difference t is reachable with groups 0..g-1.
    std::vector<std::vector<char>> reach(components.size() + 1,
                                         std::vector<char>(static_cast<size_t>(2 * n + 1), 0));
    reach[0][static_cast<size_t>(n)] = 1;
    for (size_t g = 0; g < components.size(); ++g) {
        for (int t = -n; t <= n; ++t) {
            if (!reach[g][static_cast<size_t>(t + n)])
                continue;
            for (int turned : {surplus[g], -surplus[g]}) {
                if (std::abs(t + turned) <= n)
                    reach[g + 1][static_cast<size_t>(t + turned + n)] = 1;
            }
        }
    }
    int target = n;
    for (int t = -n; t <= n; ++t) {
        if (reach[components.size()][static_cast<size_t>(t + n)] && std::abs(t) < std::abs(target))
            target = t;
    }
    // Back from the last group: unturned wherever that still reaches the target.
    for (size_t g = components.size(); g-- > 0;) {
        const int before = target - surplus[g];
        if (std::abs(before) <= n && reach[g][static_cast<size_t>(before + n)]) {
            target = before;
        } else {
            for (int d : components[g])
                version[static_cast<size_t>(d)] ^= 1;
            target += surplus[g];
        }
    }
}

// Two versions: the chessboard colouring of each group of touching desks (the only colourings it
// has), each group turned the way that brings the two counts closest.
std::vector<int> twoVersions(const OccupiedDesks &room)
{
    const std::vector<OccupiedDesks::Desk> &desks = room.desks();
    std::vector<int> version(desks.size(), -1);
    const std::vector<std::vector<int>> components = touchingGroups(room);
    const int n = static_cast<int>(desks.size());
    std::vector<int> surplus(components.size(), 0); // version 0 minus version 1, unturned
    for (size_t id = 0; id < components.size(); ++id) {
        for (int d : components[id]) {
            const OccupiedDesks::Desk &desk = desks[static_cast<size_t>(d)];
            version[static_cast<size_t>(d)] = (desk.row + desk.col) % 2;
            surplus[id] += version[static_cast<size_t>(d)] == 0 ? 1 : -1;
        }
    }
    turnToBalance(components, surplus, n, version);
    return version;
}

// Four versions in lines: rows (or columns) take the pair A/B and C/D by turns, each run of
// touching desks along a line alternates within its pair, its phase chosen to even the pair.
// Desks of neighbouring lines never share a pair, so no neighbour, diagonal or not, shares a
// version.
std::vector<int> fourVersionsInLines(const OccupiedDesks &room, bool byRows)
{
    std::vector<int> version(room.desks().size(), -1);
    const int lines = byRows ? room.rows() : room.cols();
    const int length = byRows ? room.cols() : room.rows();
    std::array<int, 2> surplus{}; // per pair: desks of its first version minus its second
    for (int line = 1; line <= lines; ++line) {
        const int pair = (line - 1) % 2;
        for (int k = 1; k <= length;) {
            const auto deskAt = [&](int i) { return byRows ? room.at(line, i) : room.at(i, line); };
            if (deskAt(k) < 0) {
                ++k;
                continue;
            }
            int end = k;
            while (end <= length && deskAt(end) >= 0)
                ++end;
            const int run = end - k;
            int &s = surplus[static_cast<size_t>(pair)];
            const int phase = run % 2 == 1 && s > 0 ? 1 : 0;
            if (run % 2 == 1)
                s += phase == 0 ? 1 : -1;
            for (int i = k; i < end; ++i)
                version[static_cast<size_t>(deskAt(i))] = 2 * pair + (i - k + phase) % 2;
            k = end;
        }
    }
    return version;
}

Counts countsOf(const std::vector<int> &version)
{
    Counts counts{};
    for (int v : version)
        ++counts[static_cast<size_t>(v)];
    return counts;
}

// Moves single desks from a version used most to one used least while no neighbour holds it.
void evenOut(const OccupiedDesks &room, std::vector<int> &version)
{
    constexpr int count = 4;
    Counts counts = countsOf(version);
    for (bool moved = true; moved;) {
        moved = false;
        for (size_t d = 0; d < version.size(); ++d) {
            std::array<bool, 4> taken{};
            room.forNeighbours(static_cast<int>(d), true, [&](int other) {
                taken[static_cast<size_t>(version[static_cast<size_t>(other)])] = true;
            });
            const int own = version[d];
            int best = own;
            for (int v = 0; v < count; ++v) {
                if (!taken[static_cast<size_t>(v)] &&
                    counts[static_cast<size_t>(v)] < counts[static_cast<size_t>(best)])
                    best = v;
            }
            // Each move lowers the sum of the squared counts, so the loop ends.
            if (counts[static_cast<size_t>(own)] - counts[static_cast<size_t>(best)] >= 2) {
                --counts[static_cast<size_t>(own)];
                ++counts[static_cast<size_t>(best)];
                version[d] = best;
                moved = true;
            }
        }
    }
}

// A search for four versions with given counts, desk by desk in rows from the front, within a
// budget of steps: the rooms the line layouts cannot even out are small or oddly shaped.
class EvenSearch final
{
public:
    EvenSearch(const OccupiedDesks &room, int budget)
        : m_budget(budget)
    {
        const std::vector<OccupiedDesks::Desk> &desks = room.desks();
        for (size_t d = 0; d < desks.size(); ++d)
            m_order.push_back(static_cast<int>(d));
        std::sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const OccupiedDesks::Desk &x = desks[static_cast<size_t>(a)];
            const OccupiedDesks::Desk &y = desks[static_cast<size_t>(b)];
            return x.row != y.row ? x.row < y.row : x.col < y.col;
        });
        std::vector<int> position(desks.size());
        for (size_t i = 0; i < m_order.size(); ++i)
            position[static_cast<size_t>(m_order[i])] = static_cast<int>(i);
        m_earlier.resize(desks.size());
        for (size_t i = 0; i < m_order.size(); ++i) {
            room.forNeighbours(m_order[i], true, [&](int other) {
                if (position[static_cast<size_t>(other)] < static_cast<int>(i))
                    m_earlier[i].push_back(other);
            });
        }
    }

    // The most even laying with fewer than `spread` between the counts that the budget finds.
    bool improve(int spread, std::vector<int> &version)
    {
        const int n = static_cast<int>(m_order.size());
        const int ideal = n % 4 == 0 ? 0 : 1;
        for (int target = ideal; target < spread; ++target) {
            // Counts from most to least used: the versions are named afterwards anyway.
            for (int a = (n + 3) / 4; a <= n; ++a) {
                for (int b = std::max(a - target, 0); b <= a; ++b) {
                    for (int c = std::max(a - target, 0); c <= b; ++c) {
                        const int d = n - a - b - c;
                        if (d < a - target || d > c)
                            continue;
                        m_quota = {a, b, c, d};
                        m_counts = {};
                        m_version.assign(version.size(), -1);
                        if (place(0)) {
                            version = m_version;
                            return true;
                        }
                        if (m_budget <= 0)
                            return false;
                    }
                }
            }
        }
        return false;
    }

private:
    bool place(size_t i)
    {
        if (i == m_order.size())
            return true;
        if (--m_budget <= 0)
            return false;
        const int desk = m_order[i];
        for (int v = 0; v < 4; ++v) {
            if (m_counts[static_cast<size_t>(v)] >= m_quota[static_cast<size_t>(v)])
                continue;
            const bool free = std::none_of(m_earlier[i].begin(), m_earlier[i].end(), [&](int o) {
                return m_version[static_cast<size_t>(o)] == v;
            });
            if (!free)
                continue;
            m_version[static_cast<size_t>(desk)] = v;
            ++m_counts[static_cast<size_t>(v)];
            if (place(i + 1))
                return true;
            --m_counts[static_cast<size_t>(v)];
            m_version[static_cast<size_t>(desk)] = -1;
        }
        return false;
    }

    int m_budget;
    std::vector<int> m_order;                // desks in rows from the front
    std::vector<std::vector<int>> m_earlier; // per position: neighbours placed before it
    Counts m_quota{};
    Counts m_counts{};
    std::vector<int> m_version;
};

// Steps a room's search may take: a few rooms cost far less than the arrangement around them.
constexpr int searchBudget = 4000;

std::vector<int> fourVersions(const OccupiedDesks &room)
{
    std::vector<int> version = fourVersionsInLines(room, true);
    const std::vector<int> byColumns = fourVersionsInLines(room, false);
    if (spread(countsOf(byColumns), 4) < spread(countsOf(version), 4))
        version = byColumns;
    evenOut(room, version);
    const int reached = spread(countsOf(version), 4);
    if (reached > 1)
        (void)EvenSearch(room, searchBudget).improve(reached, version); // else keeps the lines
    return version;
}

} // namespace

std::vector<int> PaperVersions::assign(const DeskLayout &layout, const std::vector<bool> &occupied,
                                       int count)
{
    Q_ASSERT(count == 2 || count == 4);
    const OccupiedDesks room(layout, occupied);
    const std::vector<int> version = count == 2 ? twoVersions(room) : fourVersions(room);

    // The versions named in order of their first seat: the first occupied seat gets A.
    std::array<int, 4> name{-1, -1, -1, -1};
    int named = 0;
    for (int v : version) {
        if (name[static_cast<size_t>(v)] < 0)
            name[static_cast<size_t>(v)] = named++;
    }
    std::vector<int> out(static_cast<size_t>(std::max(layout.seats(), 0)), -1);
    for (size_t d = 0; d < version.size(); ++d)
        out[static_cast<size_t>(room.desks()[d].seat) - 1] = name[static_cast<size_t>(version[d])];
    return out;
}

int PaperVersions::forFreeDesk(const DeskLayout &layout, const std::vector<int> &versionOfSeat,
                               int seat, int count)
{
    Counts used{};
    for (int v : versionOfSeat) {
        if (v >= 0 && v < count)
            ++used[static_cast<size_t>(v)];
    }
    std::array<bool, 4> taken{};
    const DeskPosition p = layout.position(seat);
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            if ((dr == 0 && dc == 0) || (count == 2 && dr != 0 && dc != 0))
                continue;
            const int other = layout.seatAt(p.row + dr, p.col + dc);
            if (other >= 1 && other <= static_cast<int>(versionOfSeat.size())) {
                const int v = versionOfSeat[static_cast<size_t>(other) - 1];
                if (v >= 0 && v < count)
                    taken[static_cast<size_t>(v)] = true;
            }
        }
    }
    int best = -1;
    for (bool freeOnly : {true, false}) {
        for (int v = 0; v < count; ++v) {
            if (freeOnly && taken[static_cast<size_t>(v)])
                continue;
            if (best < 0 || used[static_cast<size_t>(v)] < used[static_cast<size_t>(best)])
                best = v;
        }
        if (best >= 0)
            break;
    }
    return best;
}

QString PaperVersions::letter(int version)
{
    if (version < 0 || version > 3)
        return {};
    return QString(QChar(u'A' + version));
}

int PaperVersions::fromLetter(const QString &text)
{
    const QString t = text.trimmed().toUpper();
    if (t.size() != 1 || t.at(0) < u'A' || t.at(0) > u'D')
        return -1;
    return t.at(0).unicode() - u'A';
}

} // namespace fenpai
