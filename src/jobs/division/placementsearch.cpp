#include "jobs/division/placementsearch.h"

#include "jobs/division/classcounts.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>
#include <tuple>

namespace fenpai {

namespace {

using Counts = ClassCounts;

// One candidate change: pupil k to class `to`, and, for an exchange, pupil j to k's class.
struct Action
{
    int range = -1;
    int k = -1;
    int to = -1;
    int j = -1;
    int countDelta = 0;
    double meanDelta = 0; // change of Σ (class mean − μ)²
    double sdDelta = 0;   // change of Σ (class SD − σ)²
    int budgetDelta = 0;

    bool valid() const { return k >= 0; }
    // The means come first: with late pupils of extreme scores the SDs of their classes cannot
    // come back, and chasing them would cost the means. So the moves of pupils placed before are
    // spent on the means alone; a change that moves nobody placed before may also even out the
    // SDs, as long as the means do not suffer.
    bool evensSds() const { return budgetDelta <= 0 && meanDelta <= 1e-12 && sdDelta < -1e-9; }
    // A change that evens the means but spreads the SDs far more is not worth a move.
    bool evensMeans() const { return meanDelta < -1e-9 && meanDelta + sdDelta / 10 < -1e-9; }
    bool improves() const
    {
        return countDelta < 0 || (countDelta == 0 && (evensMeans() || evensSds()));
    }
    // What the choice between improving actions goes by: the counts first, then the score gain
    // for each pupil placed before that it moves.
    double merit() const
    {
        return (meanDelta + (evensSds() ? sdDelta : 0.0)) / (1 + std::max(0, budgetDelta));
    }
};

// True when a is the better of two improving actions.
bool better(const Action &a, const Action &b)
{
    if (!b.valid())
        return true;
    if (a.countDelta != b.countDelta)
        return a.countDelta < b.countDelta;
    if (a.countDelta < 0 && a.budgetDelta != b.budgetDelta)
        return a.budgetDelta < b.budgetDelta;
    return a.merit() < b.merit();
}

class RangeState final
{
public:
    RangeState(std::vector<BalanceRefinement::Pupil> &pupils, const std::vector<int> &home,
               std::vector<int> members, int lo, int classes, bool sex, bool school)
        : m_pupils(pupils)
        , m_members(std::move(members))
        , m_lo(lo)
        , m_classes(classes)
        , m_useSex(sex)
        , m_useSchool(school)
    {
        readMembers(home);
        measureScores();
        for (size_t k = 0; k < m_local.size(); ++k) {
            if (m_local[k].cls >= 0)
                add(static_cast<int>(k), m_local[k].cls);
        }
        refreshSigma();
    }

    // The pupils placed by a wish, then everyone else who has no class, each where he helps most.
    void placeLate()
    {
        placeWishes();
        std::vector<int> order;
        for (size_t k = 0; k < m_local.size(); ++k) {
            if (m_local[k].cls < 0)
                order.push_back(static_cast<int>(k));
        }
        // The furthest from the mean choose first; pupils without a score last.
        auto distance = [&](int k) {
            const BalanceRefinement::Pupil &p = pupil(k);
            return p.scored ? std::abs(p.score - m_mu) : -1.0;
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](int x, int y) { return distance(x) > distance(y); });
        for (int k : order) {
            int best = 0;
            std::tuple<int, double, double> bestCost;
            for (int c = 0; c < m_classes; ++c) {
                const std::tuple<int, double, double> cost = addCost(k, c);
                if (c == 0 || cost < bestCost) {
                    best = c;
                    bestCost = cost;
                }
            }
            add(k, best);
            refreshSigma();
        }
    }

    // The best improving move or exchange that keeps the moves of pupils placed before within
    // `budget`; none when nothing improves.
    Action bestAction(int budget)
    {
        Action best;
        // Once the class means lie within a thousandth of the scores' SD of each other, a move
        // of a pupil placed before buys nothing a parent would notice: only the counts may
        // still spend one.
        const bool settled = meanSpread() <= m_tolerance;
        auto consider = [&](const Action &a) {
            if (a.budgetDelta > budget || (settled && a.budgetDelta > 0 && a.countDelta >= 0))
                return;
            if (a.improves() && better(a, best))
                best = a;
        };
        m_focus = focusClasses();
        const int n = static_cast<int>(m_local.size());
        for (int k = 0; k < n; ++k) {
            if (!inFocus(k))
                continue;
            const int a = m_local[static_cast<size_t>(k)].cls;
            if (budget < 1 && m_local[static_cast<size_t>(k)].home == a)
                continue; // moving a pupil away from his class costs a move
            // A move takes a pupil from a class over the lowest size to one under the highest,
            // unless the pupil is in a group kept apart.
            const bool apart = m_local[static_cast<size_t>(k)].apart >= 0;
            if (m_size.perClass[static_cast<size_t>(a)] <= m_size.low && !apart)
                continue;
            for (int b = 0; b < m_classes; ++b) {
                if (b != a && m_focus[static_cast<size_t>(b)] &&
                    (apart || m_size.perClass[static_cast<size_t>(b)] < m_size.high))
                    consider(evaluate(k, b, -1));
            }
        }
        for (const auto &[k, j] : exchangePairs(budget))
            consider(evaluate(k, m_local[static_cast<size_t>(j)].cls, j));
        return best;
    }

    void apply(const Action &a)
    {
        const int from = m_local[static_cast<size_t>(a.k)].cls;
        move(a.k, a.to);
        if (a.j >= 0)
            move(a.j, from);
        refreshSigma();
    }

    void finish()
    {
        for (size_t k = 0; k < m_members.size(); ++k)
            pupil(static_cast<int>(k)).classNumber = m_local[k].cls + m_lo;
    }

    // Pupils placed before who are now in another class.
    int moved() const
    {
        return static_cast<int>(std::count_if(m_local.begin(), m_local.end(), [](const Local &l) {
            return l.home >= 0 && l.cls != l.home;
        }));
    }

private:
    struct Local
    {
        int sex = 0;
        int school = 0;
        int apart = -1;
        int home = -1; // the class before; -1 for a late pupil
        int cls = -1;  // -1 while a late pupil has none
        bool locked = false;
    };

    // A group kept apart outweighs every count; a size outside its band outweighs the sex and
    // school counts one change can move.
    static constexpr int apartWeight = 64;
    static constexpr int sizeWeight = 5;
    // Partners looked at per pupil among the exchanges of two pupils placed before.
    static constexpr size_t window = 32;
    // Classes looked at on either side of a count or of the means, on a large block.
    static constexpr size_t focusExtremes = 6;

    BalanceRefinement::Pupil &at(int i) const { return m_pupils[static_cast<size_t>(i)]; }
    BalanceRefinement::Pupil &pupil(int k) const { return at(m_members[static_cast<size_t>(k)]); }

    // The members with their kinds numbered densely, and the band of every count from the
    // totals, late pupils included; nobody is counted in a class yet.
    void readMembers(const std::vector<int> &home)
    {
        std::map<int, int> sexes, schools, apart;
        for (int i : m_members) {
            const BalanceRefinement::Pupil &p = at(i);
            sexes.emplace(p.sex, static_cast<int>(sexes.size()));
            schools.emplace(p.school, static_cast<int>(schools.size()));
            if (p.apart >= 0)
                apart.emplace(p.apart, static_cast<int>(apart.size()));
        }
        const std::vector<int> zeros(static_cast<size_t>(m_classes), 0);
        m_size = Counts{zeros};
        m_sex.assign(sexes.size(), Counts{zeros});
        m_school.assign(schools.size(), Counts{zeros});
        m_apart.assign(apart.size(), Counts{zeros});
        m_sum.assign(zeros.size(), 0.0);
        m_squares.assign(zeros.size(), 0.0);
        m_scored.assign(zeros.size(), 0);
        std::vector<int> sexTotals(sexes.size()), schoolTotals(schools.size()),
            apartTotals(apart.size());
        for (int i : m_members) {
            const BalanceRefinement::Pupil &p = at(i);
            Local l;
            l.sex = sexes[p.sex];
            l.school = schools[p.school];
            l.apart = p.apart >= 0 ? apart[p.apart] : -1;
            const int before = home[static_cast<size_t>(i)];
            l.home = before > 0 ? before - m_lo : -1;
            l.cls = l.home;
            ++sexTotals[static_cast<size_t>(l.sex)];
            ++schoolTotals[static_cast<size_t>(l.school)];
            if (l.apart >= 0)
                ++apartTotals[static_cast<size_t>(l.apart)];
            m_local.push_back(l);
        }
        band(m_size, static_cast<int>(m_members.size()));
        for (size_t g = 0; g < m_sex.size(); ++g)
            band(m_sex[g], sexTotals[g]);
        for (size_t g = 0; g < m_school.size(); ++g)
            band(m_school[g], schoolTotals[g]);
        for (size_t g = 0; g < m_apart.size(); ++g) {
            band(m_apart[g], apartTotals[g]);
            m_apart[g].low = 0; // a group kept apart only has a most per class
        }
    }

    // μ, the mean of the block's scores, and the spread of the means below which no move is
    // spent on them.
    void measureScores()
    {
        double all = 0;
        int scored = 0;
        for (int i : m_members) {
            if (at(i).scored) {
                all += at(i).score;
                ++scored;
            }
        }
        m_mu = scored > 0 ? all / scored : 0;
        double squares = 0;
        for (int i : m_members) {
            if (at(i).scored)
                squares += (at(i).score - m_mu) * (at(i).score - m_mu);
        }
        m_tolerance = scored > 0 ? std::sqrt(squares / scored) / 1000 : 0;
    }

    static void band(Counts &counts, int total)
    {
        counts.setBand(total, static_cast<int>(counts.perClass.size()));
    }

    bool inRange(int classNumber) const
    {
        return classNumber >= m_lo && classNumber < m_lo + m_classes;
    }

    // Wishes first: a placed pupil with a set class or in a 同班 group stays; a late one with a
    // set class goes there; late members of a 同班 group go where the group is (else to a set
    // class of one of them, else to the smallest class) and stay.
    void placeWishes()
    {
        std::map<int, std::vector<int>> groups;
        for (size_t k = 0; k < m_local.size(); ++k) {
            const BalanceRefinement::Pupil &p = pupil(static_cast<int>(k));
            Local &l = m_local[k];
            if (l.cls >= 0 && (p.fixedClass > 0 || p.together >= 0))
                l.locked = true;
            if (p.together >= 0)
                groups[p.together].push_back(static_cast<int>(k));
        }
        for (const auto &[group, list] : groups) {
            std::vector<int> placed(static_cast<size_t>(m_classes), 0);
            int fixed = -1;
            for (int k : list) {
                if (m_local[static_cast<size_t>(k)].cls >= 0)
                    ++placed[static_cast<size_t>(m_local[static_cast<size_t>(k)].cls)];
                else if (fixed < 0 && inRange(pupil(k).fixedClass))
                    fixed = pupil(k).fixedClass - m_lo;
            }
            int target =
                static_cast<int>(std::max_element(placed.begin(), placed.end()) - placed.begin());
            if (placed[static_cast<size_t>(target)] == 0)
                target = fixed >= 0 ? fixed : smallestClass();
            for (int k : list)
                lockInto(k, target);
        }
        for (size_t k = 0; k < m_local.size(); ++k) {
            const int fixed = pupil(static_cast<int>(k)).fixedClass;
            if (m_local[k].cls < 0 && inRange(fixed))
                lockInto(static_cast<int>(k), fixed - m_lo);
        }
        refreshSigma();
    }

    void lockInto(int k, int c)
    {
        Local &l = m_local[static_cast<size_t>(k)];
        if (l.cls < 0) {
            add(k, c);
            l.locked = true;
        }
    }

    int smallestClass() const
    {
        return static_cast<int>(std::min_element(m_size.perClass.begin(), m_size.perClass.end()) -
                                m_size.perClass.begin());
    }

    // The counts pupil k belongs to.
    template <typename Visit> void forKinds(int k, Visit visit)
    {
        const Local &l = m_local[static_cast<size_t>(k)];
        visit(m_size);
        visit(m_sex[static_cast<size_t>(l.sex)]);
        visit(m_school[static_cast<size_t>(l.school)]);
        if (l.apart >= 0)
            visit(m_apart[static_cast<size_t>(l.apart)]);
    }

    void add(int k, int c)
    {
        forKinds(k, [&](Counts &counts) { ++counts.perClass[static_cast<size_t>(c)]; });
        m_local[static_cast<size_t>(k)].cls = c;
        const BalanceRefinement::Pupil &p = pupil(k);
        if (p.scored) {
            m_sum[static_cast<size_t>(c)] += p.score;
            m_squares[static_cast<size_t>(c)] += p.score * p.score;
            ++m_scored[static_cast<size_t>(c)];
        }
    }

    void remove(int k)
    {
        const int c = m_local[static_cast<size_t>(k)].cls;
        forKinds(k, [&](Counts &counts) { --counts.perClass[static_cast<size_t>(c)]; });
        m_local[static_cast<size_t>(k)].cls = -1;
        const BalanceRefinement::Pupil &p = pupil(k);
        if (p.scored) {
            m_sum[static_cast<size_t>(c)] -= p.score;
            m_squares[static_cast<size_t>(c)] -= p.score * p.score;
            --m_scored[static_cast<size_t>(c)];
        }
    }

    void move(int k, int to)
    {
        remove(k);
        add(k, to);
    }

    // The count penalty of the kinds of pupil k in class c.
    int penalty(int k, int c) const
    {
        const Local &l = m_local[static_cast<size_t>(k)];
        int p = sizeWeight * m_size.excess(c);
        if (m_useSex)
            p += m_sex[static_cast<size_t>(l.sex)].excess(c);
        if (m_useSchool)
            p += m_school[static_cast<size_t>(l.school)].excess(c);
        if (l.apart >= 0)
            p += apartWeight * m_apart[static_cast<size_t>(l.apart)].excess(c);
        return p;
    }

    // A class's terms of the two sums the search lowers: (mean − μ)² and (SD − σ)².
    std::pair<double, double> termsOf(double sum, double squares, int n) const
    {
        if (n <= 0)
            return {0.0, 0.0};
        const double mean = sum / n;
        const double sd = std::sqrt(std::max(0.0, squares / n - mean * mean));
        return {(mean - m_mu) * (mean - m_mu), (sd - m_sigma) * (sd - m_sigma)};
    }

    std::pair<double, double> terms(int c) const
    {
        const size_t i = static_cast<size_t>(c);
        return termsOf(m_sum[i], m_squares[i], m_scored[i]);
    }

    // The change of both sums when class a gains (ds, dq, dn) and class b (-1: none) loses them.
    std::pair<double, double> scoreChange(int a, int b, double ds, double dq, int dn) const
    {
        const size_t x = static_cast<size_t>(a);
        auto [mean, sd] = termsOf(m_sum[x] + ds, m_squares[x] + dq, m_scored[x] + dn);
        const auto [meanA, sdA] = terms(a);
        mean -= meanA;
        sd -= sdA;
        if (b >= 0) {
            const size_t y = static_cast<size_t>(b);
            const auto [meanAfter, sdAfter] =
                termsOf(m_sum[y] - ds, m_squares[y] - dq, m_scored[y] - dn);
            const auto [meanB, sdB] = terms(b);
            mean += meanAfter - meanB;
            sd += sdAfter - sdB;
        }
        return {mean, sd};
    }

    // Joining class c, for a pupil who has none yet: the change of the count penalty, of the
    // means' sum and of the SDs' sum, compared in that order.
    std::tuple<int, double, double> addCost(int k, int c)
    {
        const int before = penalty(k, c);
        forKinds(k, [&](Counts &counts) { ++counts.perClass[static_cast<size_t>(c)]; });
        const int after = penalty(k, c);
        forKinds(k, [&](Counts &counts) { --counts.perClass[static_cast<size_t>(c)]; });
        const BalanceRefinement::Pupil &p = pupil(k);
        const auto [mean, sd] = p.scored ? scoreChange(c, -1, p.score, p.score * p.score, 1)
                                         : std::pair<double, double>{};
        return {after - before, mean, sd};
    }

    int budgetChange(int k, int to) const
    {
        const Local &l = m_local[static_cast<size_t>(k)];
        if (l.home < 0)
            return 0;
        return (to != l.home ? 1 : 0) - (l.cls != l.home ? 1 : 0);
    }

    // Pupil k to class b, and pupil j (-1 for none, else in class b) to k's class.
    // The counts are shifted to measure the change and put back.
    Action evaluate(int k, int b, int j)
    {
        const int a = m_local[static_cast<size_t>(k)].cls;
        Action action{-1, k, b, j};
        int before = penalty(k, a) + penalty(k, b);
        if (j >= 0)
            before += penalty(j, a) + penalty(j, b);
        shiftCounts(k, a, b);
        if (j >= 0)
            shiftCounts(j, b, a);
        int after = penalty(k, a) + penalty(k, b);
        if (j >= 0)
            after += penalty(j, a) + penalty(j, b);
        if (j >= 0)
            shiftCounts(j, a, b);
        shiftCounts(k, b, a);
        action.countDelta = after - before;
        action.budgetDelta = budgetChange(k, b) + (j >= 0 ? budgetChange(j, a) : 0);

        // Class b gains what k brings and loses what j takes away.
        const BalanceRefinement::Pupil &pk = pupil(k);
        double ds = pk.scored ? pk.score : 0.0;
        double dq = ds * ds;
        int dn = pk.scored ? 1 : 0;
        if (j >= 0 && pupil(j).scored) {
            ds -= pupil(j).score;
            dq -= pupil(j).score * pupil(j).score;
            dn -= 1;
        }
        if (ds != 0 || dq != 0 || dn != 0)
            std::tie(action.meanDelta, action.sdDelta) = scoreChange(b, a, ds, dq, dn);
        return action;
    }

    void shiftCounts(int k, int from, int to)
    {
        forKinds(k, [&](Counts &counts) {
            --counts.perClass[static_cast<size_t>(from)];
            ++counts.perClass[static_cast<size_t>(to)];
        });
    }

    // The exchanges worth looking at: every pair with a pupil who moves freely or back (late
    // pupils, pupils away from their class), and pupils placed before near each other in score.
    // With less than `budget` 2 the pairs that move two pupils placed before are left out, with
    // none left every pair that moves one.
    std::vector<std::pair<int, int>> exchangePairs(int budget) const
    {
        std::vector<std::pair<int, int>> pairs;
        std::vector<int> free, fixed;
        for (size_t k = 0; k < m_local.size(); ++k) {
            const Local &l = m_local[k];
            if (inFocus(static_cast<int>(k)))
                (l.home < 0 || l.cls != l.home ? free : fixed).push_back(static_cast<int>(k));
        }
        for (size_t x = 0; x < free.size(); ++x) {
            const int k = free[x];
            for (size_t y = x + 1; y < free.size(); ++y)
                pairs.emplace_back(k, free[y]);
            for (size_t y = 0; budget >= 1 && y < fixed.size(); ++y)
                pairs.emplace_back(k, fixed[y]);
        }
        if (budget < 1)
            return withoutSameClass(std::move(pairs));
        std::stable_sort(fixed.begin(), fixed.end(), [&](int x, int y) {
            const BalanceRefinement::Pupil &u = pupil(x);
            const BalanceRefinement::Pupil &v = pupil(y);
            return std::tuple(!u.scored, -u.score) < std::tuple(!v.scored, -v.score);
        });
        for (size_t x = 0; budget >= 2 && x < fixed.size(); ++x) {
            for (size_t y = x + 1; y < std::min(fixed.size(), x + window); ++y)
                pairs.emplace_back(fixed[x], fixed[y]);
        }
        addLevellingPairs(pairs);
        return withoutSameClass(std::move(pairs));
    }

    std::vector<std::pair<int, int>> withoutSameClass(std::vector<std::pair<int, int>> pairs) const
    {
        std::erase_if(pairs, [&](const std::pair<int, int> &p) {
            return m_local[static_cast<size_t>(p.first)].cls ==
                   m_local[static_cast<size_t>(p.second)].cls;
        });
        return pairs;
    }

    // The exchanges that would even out two classes' score sums in one step: for each pupil u
    // of a class below the other, the pupils of the other nearest to u + half the difference,
    // among all and among those of u's own kind (which leave the counts alone).
    void addLevellingPairs(std::vector<std::pair<int, int>> &pairs) const
    {
        using Entry = std::pair<double, int>; // score, pupil
        const size_t classes = static_cast<size_t>(m_classes);
        std::vector<std::vector<Entry>> byClass(classes);
        std::map<std::tuple<int, int, int>, std::vector<Entry>> byKind;
        for (size_t k = 0; k < m_local.size(); ++k) {
            const Local &l = m_local[k];
            const BalanceRefinement::Pupil &p = pupil(static_cast<int>(k));
            if (!inFocus(static_cast<int>(k)) || !p.scored)
                continue;
            byClass[static_cast<size_t>(l.cls)].emplace_back(p.score, static_cast<int>(k));
            byKind[{l.cls, kindOf(l).first, kindOf(l).second}].emplace_back(p.score,
                                                                            static_cast<int>(k));
        }
        for (auto &list : byClass)
            std::sort(list.begin(), list.end());
        for (auto &[key, list] : byKind)
            std::sort(list.begin(), list.end());
        auto nearest = [&](const std::vector<Entry> &list, double target, int k) {
            const auto at = std::lower_bound(list.begin(), list.end(), Entry{target, -1});
            if (at != list.end())
                pairs.emplace_back(k, at->second);
            if (at != list.begin())
                pairs.emplace_back(k, std::prev(at)->second);
        };
        // Each class is paired with the classes furthest above it.
        std::vector<size_t> high;
        for (size_t c = 0; c < classes; ++c) {
            if (m_focus[c])
                high.push_back(c);
        }
        std::stable_sort(high.begin(), high.end(),
                         [&](size_t x, size_t y) { return deviation(x) > deviation(y); });
        high.resize(std::min(high.size(), focusExtremes));
        for (size_t a = 0; a < classes; ++a) {
            for (size_t b : high) {
                const double gap = deviation(b) - deviation(a);
                if (a == b || gap <= 0 || !m_focus[a])
                    continue;
                for (const auto &[score, k] : byClass[a]) {
                    const Local &l = m_local[static_cast<size_t>(k)];
                    nearest(byClass[b], score + gap / 2, k);
                    const auto kind =
                        byKind.find({static_cast<int>(b), kindOf(l).first, kindOf(l).second});
                    if (kind != byKind.end())
                        nearest(kind->second, score + gap / 2, k);
                }
            }
        }
    }

    bool inFocus(int k) const
    {
        const Local &l = m_local[static_cast<size_t>(k)];
        return !l.locked && m_focus[static_cast<size_t>(l.cls)];
    }

    // The classes a step looks at: those with a count outside its band with the classes that
    // have the fewest and the most of that count, and the classes whose means lie furthest below
    // and above μ. The rest of a large block is in balance already; looking at all of it each
    // step would cost the pairs of every class.
    std::vector<char> focusClasses() const
    {
        const size_t classes = static_cast<size_t>(m_classes);
        std::vector<char> focus(classes, classes <= 2 * focusExtremes ? 1 : 0);
        if (classes <= 2 * focusExtremes)
            return focus;
        auto markExtremes = [&](const std::vector<size_t> &order) {
            for (size_t i = 0; i < std::min(focusExtremes, order.size()); ++i) {
                focus[order[i]] = 1;
                focus[order[order.size() - 1 - i]] = 1;
            }
        };
        std::vector<size_t> order(classes);
        auto byCount = [&](const Counts &counts) {
            bool any = false;
            for (size_t c = 0; c < classes; ++c) {
                if (counts.excess(static_cast<int>(c)) > 0)
                    focus[c] = any = true;
            }
            if (!any)
                return;
            std::iota(order.begin(), order.end(), size_t{0});
            std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
                return counts.perClass[x] < counts.perClass[y];
            });
            markExtremes(order);
        };
        byCount(m_size);
        for (const std::vector<Counts> *kinds :
             {m_useSex ? &m_sex : nullptr, m_useSchool ? &m_school : nullptr, &m_apart}) {
            for (size_t g = 0; kinds && g < kinds->size(); ++g)
                byCount((*kinds)[g]);
        }
        std::iota(order.begin(), order.end(), size_t{0});
        std::erase_if(order, [&](size_t c) { return m_scored[c] == 0; });
        std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
            return m_sum[x] / m_scored[x] < m_sum[y] / m_scored[y];
        });
        markExtremes(order);
        return focus;
    }

    // Highest minus lowest class mean.
    double meanSpread() const
    {
        double low = 0;
        double high = 0;
        bool any = false;
        for (size_t c = 0; c < m_sum.size(); ++c) {
            if (m_scored[c] == 0)
                continue;
            const double mean = m_sum[c] / m_scored[c];
            low = any ? std::min(low, mean) : mean;
            high = any ? std::max(high, mean) : mean;
            any = true;
        }
        return high - low;
    }

    // The kind the options balance: sex and school where they count.
    std::pair<int, int> kindOf(const Local &l) const
    {
        return {m_useSex ? l.sex : 0, m_useSchool ? l.school : 0};
    }

    // How far class c's score sum lies from what its scored pupils would sum to at the mean.
    double deviation(size_t c) const { return m_sum[c] - m_scored[c] * m_mu; }

    // σ, the mean of the class score SDs, is the target of every class's SD.
    void refreshSigma()
    {
        double total = 0;
        int classes = 0;
        for (size_t c = 0; c < m_sum.size(); ++c) {
            if (m_scored[c] == 0)
                continue;
            const double mean = m_sum[c] / m_scored[c];
            total += std::sqrt(std::max(0.0, m_squares[c] / m_scored[c] - mean * mean));
            ++classes;
        }
        m_sigma = classes > 0 ? total / classes : 0;
    }

    std::vector<BalanceRefinement::Pupil> &m_pupils;
    std::vector<int> m_members;
    std::vector<Local> m_local;
    int m_lo;
    int m_classes;
    bool m_useSex;
    bool m_useSchool;
    Counts m_size;
    std::vector<Counts> m_sex;
    std::vector<Counts> m_school;
    std::vector<Counts> m_apart;
    std::vector<double> m_sum;
    std::vector<double> m_squares;
    std::vector<int> m_scored;
    double m_mu = 0;
    double m_sigma = 0;
    double m_tolerance = 0;    // mean spread below which no move is spent on the means
    std::vector<char> m_focus; // per class: looked at by this step
};

} // namespace

PlacementSearch::Outcome PlacementSearch::place(std::vector<BalanceRefinement::Pupil> &pupils,
                                                const std::vector<int> &home,
                                                const std::vector<std::pair<int, int>> &ranges,
                                                bool balanceSex, bool balanceSchool, int maxMoves,
                                                const Limits &limits)
{
    std::vector<std::unique_ptr<RangeState>> states;
    for (const auto &[lo, hi] : ranges) {
        std::vector<int> members;
        for (size_t i = 0; i < pupils.size(); ++i) {
            if (pupils[i].classNumber >= lo && pupils[i].classNumber <= hi)
                members.push_back(static_cast<int>(i));
        }
        if (hi < lo || members.empty())
            continue;
        states.push_back(std::make_unique<RangeState>(pupils, home, std::move(members), lo,
                                                      hi - lo + 1, balanceSex, balanceSchool));
        states.back()->placeLate();
    }
    Outcome outcome;
    // The budget is shared by the blocks: each step takes the best change of any of them.
    for (; outcome.steps < limits.steps; ++outcome.steps) {
        Action best;
        for (size_t r = 0; r < states.size(); ++r) {
            Action a = states[r]->bestAction(maxMoves - outcome.moved);
            a.range = static_cast<int>(r);
            if (a.valid() && better(a, best))
                best = a;
        }
        if (!best.valid())
            break;
        states[static_cast<size_t>(best.range)]->apply(best);
        outcome.moved += best.budgetDelta;
    }
    for (const auto &state : states)
        state->finish();
    return outcome;
}

} // namespace fenpai
