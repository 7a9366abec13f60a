#include "jobs/division/balancerefinement.h"

#include "jobs/division/classcounts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numeric>
#include <random>
#include <tuple>

namespace fenpai {

namespace {

using Counts = ClassCounts;

class RangeSearch
{
public:
    RangeSearch(std::vector<BalanceRefinement::Pupil> &pupils, std::vector<int> members, int lo,
                int classes, bool sex, bool school, const BalanceRefinement::Limits &limits)
        : m_pupils(pupils)
        , m_members(std::move(members))
        , m_lo(lo)
        , m_classes(classes)
        , m_useSex(sex)
        , m_useSchool(school)
        , m_limits(limits)
    {
        // Sexes and schools renumbered densely, in order of first appearance.
        std::map<int, int> sexes;
        std::map<int, int> schools;
        for (int i : m_members) {
            const BalanceRefinement::Pupil &p = at(i);
            sexes.emplace(p.sex, static_cast<int>(sexes.size()));
            schools.emplace(p.school, static_cast<int>(schools.size()));
        }
        std::map<int, int> apartGroups;
        for (int i : m_members) {
            if (at(i).apart >= 0)
                apartGroups.emplace(at(i).apart, static_cast<int>(apartGroups.size()));
        }
        m_apart.assign(apartGroups.size(),
                       Counts{std::vector<int>(static_cast<size_t>(classes), 0)});
        m_size.perClass.assign(static_cast<size_t>(classes), 0);
        m_sex.assign(sexes.size(), Counts{std::vector<int>(static_cast<size_t>(classes), 0)});
        m_school.assign(schools.size(), Counts{std::vector<int>(static_cast<size_t>(classes), 0)});
        std::vector<int> sexTotals(sexes.size(), 0);
        std::vector<int> schoolTotals(schools.size(), 0);
        for (int i : m_members) {
            const BalanceRefinement::Pupil &p = at(i);
            Local l{sexes[p.sex], schools[p.school], p.classNumber - lo,
                    p.apart >= 0 ? apartGroups[p.apart] : -1};
            m_local.push_back(l);
            if (l.apart >= 0)
                ++m_apart[static_cast<size_t>(l.apart)].perClass[static_cast<size_t>(l.cls)];
            ++m_size.perClass[static_cast<size_t>(l.cls)];
            ++m_sex[static_cast<size_t>(l.sex)].perClass[static_cast<size_t>(l.cls)];
            ++m_school[static_cast<size_t>(l.school)].perClass[static_cast<size_t>(l.cls)];
            ++sexTotals[static_cast<size_t>(l.sex)];
            ++schoolTotals[static_cast<size_t>(l.school)];
        }
        m_size.setBand(static_cast<int>(m_members.size()), classes);
        for (size_t k = 0; k < m_sex.size(); ++k)
            m_sex[k].setBand(sexTotals[k], classes);
        for (size_t k = 0; k < m_school.size(); ++k)
            m_school[k].setBand(schoolTotals[k], classes);
        for (Counts &g : m_apart) {
            // At most ⌈k/N⌉ of a group in a class; none is too few.
            const int total = std::accumulate(g.perClass.begin(), g.perClass.end(), 0);
            g.high = (total + classes - 1) / classes;
        }
    }

    void run()
    {
        placeWishes();
        balanceCounts();
        if (countPenalty() > 0) {
            // The exchanges got stuck (small schools need chains of them): start again from a
            // round-robin by school, within a school by sex, which has sizes and schools within
            // 1, and let the exchanges even out the sexes.
            redeal();
            if (m_anyLocked) // the pupils placed by wish stayed, so the sizes need moves first
                balanceCounts();
            m_sameSchool = true;
            balanceCounts();
        }
        balanceScores();
        for (size_t k = 0; k < m_members.size(); ++k)
            at(m_members[k]).classNumber = m_local[k].cls + m_lo;
    }

private:
    struct Local
    {
        int sex = 0;
        int school = 0;
        int cls = 0;
        int apart = -1;      // local number of the pupil's 分开 group
        bool locked = false; // placed by a wish: never moved
    };

    BalanceRefinement::Pupil &at(int i) { return m_pupils[static_cast<size_t>(i)]; }

    // A size outside the bound weighs more than anything one move can gain in the sex and school
    // counts (at most 4), so no move trades a worse size for them.
    static constexpr int sizeWeight = 5;
    // A group kept apart outweighs all the counts one move can change.
    static constexpr int apartWeight = 64;

    // Set classes and 同班 groups go first and stay where they are put: a group goes to a member's
    // set class, else to the class most of it was dealt into (the lowest of equals).
    void placeWishes()
    {
        std::map<int, std::vector<int>> groups;
        const int n = static_cast<int>(m_members.size());
        for (int k = 0; k < n; ++k) {
            if (at(m_members[static_cast<size_t>(k)]).together >= 0)
                groups[at(m_members[static_cast<size_t>(k)]).together].push_back(k);
        }
        auto inRange = [&](int fixed) {
            return fixed > 0 && fixed - m_lo < m_classes && fixed >= m_lo;
        };
        auto place = [&](int k, int cls) {
            Local &l = m_local[static_cast<size_t>(k)];
            shift(k, l.cls, cls);
            m_local[static_cast<size_t>(k)].locked = true;
            m_anyLocked = true;
        };
        for (const auto &[group, list] : groups) {
            int target = -1;
            std::vector<int> dealt(static_cast<size_t>(m_classes), 0);
            for (int k : list) {
                const int fixed = at(m_members[static_cast<size_t>(k)]).fixedClass;
                if (target < 0 && inRange(fixed))
                    target = fixed - m_lo;
                ++dealt[static_cast<size_t>(m_local[static_cast<size_t>(k)].cls)];
            }
            if (target < 0)
                target =
                    static_cast<int>(std::max_element(dealt.begin(), dealt.end()) - dealt.begin());
            for (int k : list)
                place(k, target);
        }
        for (int k = 0; k < n; ++k) {
            const int fixed = at(m_members[static_cast<size_t>(k)]).fixedClass;
            if (!m_local[static_cast<size_t>(k)].locked && inRange(fixed))
                place(k, fixed - m_lo);
        }
    }

    int penalty(int k, int a, int b) const
    {
        const Local &l = m_local[static_cast<size_t>(k)];
        int p = sizeWeight * (m_size.excess(a) + m_size.excess(b));
        if (m_useSex)
            p += m_sex[static_cast<size_t>(l.sex)].excess(a) +
                 m_sex[static_cast<size_t>(l.sex)].excess(b);
        if (m_useSchool)
            p += m_school[static_cast<size_t>(l.school)].excess(a) +
                 m_school[static_cast<size_t>(l.school)].excess(b);
        if (l.apart >= 0)
            p += apartWeight * (m_apart[static_cast<size_t>(l.apart)].excess(a) +
                                m_apart[static_cast<size_t>(l.apart)].excess(b));
        return p;
    }

    void shift(int k, int from, int to)
    {
        const Local &l = m_local[static_cast<size_t>(k)];
        for (Counts *c : {&m_size, &m_sex[static_cast<size_t>(l.sex)],
                          &m_school[static_cast<size_t>(l.school)]}) {
            --c->perClass[static_cast<size_t>(from)];
            ++c->perClass[static_cast<size_t>(to)];
        }
        if (l.apart >= 0) {
            --m_apart[static_cast<size_t>(l.apart)].perClass[static_cast<size_t>(from)];
            ++m_apart[static_cast<size_t>(l.apart)].perClass[static_cast<size_t>(to)];
        }
        m_local[static_cast<size_t>(k)].cls = to;
    }

    // Change in the count penalty if pupil k moved to class b (applied when it helps).
    bool tryMove(int k, int b)
    {
        const int a = m_local[static_cast<size_t>(k)].cls;
        const int before = penalty(k, a, b);
        shift(k, a, b);
        if (penalty(k, a, b) < before)
            return true;
        shift(k, b, a);
        return false;
    }

    // allowEqual: also an exchange that leaves the count penalty as it is.
    bool trySwap(int k, int j, bool allowEqual = false)
    {
        const int a = m_local[static_cast<size_t>(k)].cls;
        const int b = m_local[static_cast<size_t>(j)].cls;
        const int before = penalty(k, a, b) + penalty(j, a, b);
        shift(k, a, b);
        shift(j, b, a);
        const int after = penalty(k, a, b) + penalty(j, a, b);
        if (after < before || (allowEqual && after == before))
            return true;
        shift(j, a, b);
        shift(k, b, a);
        return false;
    }

    int countPenalty() const
    {
        int p = 0;
        for (int c = 0; c < m_classes; ++c) {
            p += sizeWeight * m_size.excess(c);
            for (const Counts &s : m_sex)
                p += m_useSex ? s.excess(c) : 0;
            for (const Counts &s : m_school)
                p += m_useSchool ? s.excess(c) : 0;
            for (const Counts &g : m_apart)
                p += apartWeight * g.excess(c);
        }
        return p;
    }

    void redeal()
    {
        std::vector<int> order(m_members.size());
        for (size_t k = 0; k < order.size(); ++k)
            order[k] = static_cast<int>(k);
        // Boys first in one school and last in the next, so each sex lies in long runs.
        auto key = [&](int k) {
            const Local &l = m_local[static_cast<size_t>(k)];
            const int school = m_useSchool ? l.school : 0;
            const int sex = m_useSex ? (school % 2 ? -l.sex : l.sex) : 0;
            return std::tuple(school, sex, -at(m_members[static_cast<size_t>(k)]).score, k);
        };
        std::sort(order.begin(), order.end(), [&](int x, int y) { return key(x) < key(y); });
        std::vector<int> slot(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            slot[static_cast<size_t>(order[i])] = static_cast<int>(i % m_classes);
        // A pupil placed by a wish keeps his class: he trades slots with a free pupil dealt into
        // it, of his school and sex where there is one, so the dealt counts stay as they were.
        for (size_t k = 0; k < slot.size(); ++k) {
            const Local &l = m_local[k];
            if (!l.locked || slot[k] == l.cls)
                continue;
            size_t best = slot.size();
            int bestFit = -1;
            for (size_t j = 0; j < slot.size(); ++j) {
                const Local &o = m_local[j];
                if (o.locked || slot[j] != l.cls)
                    continue;
                const int fit = (o.school == l.school ? 2 : 0) + (o.sex == l.sex ? 1 : 0);
                if (fit > bestFit) {
                    best = j;
                    bestFit = fit;
                }
            }
            if (best < slot.size())
                std::swap(slot[k], slot[best]);
        }
        for (size_t k = 0; k < slot.size(); ++k) {
            if (!m_local[k].locked)
                shift(static_cast<int>(k), m_local[k].cls, slot[k]);
        }
    }

    bool overfull(int k) const
    {
        const Local &l = m_local[static_cast<size_t>(k)];
        if (l.locked)
            return false;
        return m_size.excess(l.cls) > 0 ||
               (l.apart >= 0 && m_apart[static_cast<size_t>(l.apart)].excess(l.cls) > 0) ||
               (m_useSex && m_sex[static_cast<size_t>(l.sex)].excess(l.cls) > 0) ||
               (m_useSchool && m_school[static_cast<size_t>(l.school)].excess(l.cls) > 0);
    }

    // Levels 2 and 3: single moves, then exchanges of pupils of different kinds, while either
    // lowers the count penalty. Only pupils in a class with too many of their kind are tried.
    void balanceCounts()
    {
        const int n = static_cast<int>(m_members.size());
        // Every move or exchange taken lowers the count penalty, a whole number that never goes
        // below zero, so a round that changes anything lowers it: penalty + 1 rounds reach the
        // round that changes nothing. The bound holds the search to that even if a penalty were
        // ever judged apart from the counts it stands for.
        const int rounds = std::min(m_limits.countRounds, countPenalty() + 1);
        bool improved = true;
        for (int round = 0; improved && round < rounds; ++round) {
            improved = false;
            for (int k = 0; k < n && !m_sameSchool; ++k) {
                if (!overfull(k))
                    continue;
                for (int b = 0; b < m_classes; ++b) {
                    if (b != m_local[static_cast<size_t>(k)].cls && tryMove(k, b)) {
                        improved = true;
                        break;
                    }
                }
            }
            if (improved)
                continue;
            // After a redeal only pupils of one school are exchanged, so only they are looked at.
            std::vector<std::vector<int>> bySchool(m_sameSchool ? m_school.size() : 1);
            for (int k = 0; k < n; ++k)
                bySchool[m_sameSchool ? static_cast<size_t>(m_local[static_cast<size_t>(k)].school)
                                      : 0]
                    .push_back(k);
            for (int k = 0; k < n; ++k) {
                if (!overfull(k))
                    continue;
                const std::vector<int> &candidates =
                    bySchool[m_sameSchool
                                 ? static_cast<size_t>(m_local[static_cast<size_t>(k)].school)
                                 : 0];
                for (int j : candidates) {
                    const Local &lj = m_local[static_cast<size_t>(j)];
                    const Local &lk = m_local[static_cast<size_t>(k)];
                    if (lj.cls != lk.cls && !lj.locked && trySwap(k, j)) {
                        improved = true;
                        break;
                    }
                }
            }
            // A sweep costs pupils × short classes × class size: on very large ranges the redeal
            // gets there cheaper, unless wishes pinned pupils the redeal cannot move.
            if (!improved && (m_anyLocked || m_members.size() <= 5000) && countPenalty() > 0)
                improved = fillShortfalls();
        }
    }

    // A class short of a sex or a school (below ⌊t/K⌋) while nobody is over: exchanges of one of
    // that kind from elsewhere with a pupil of the short class. The other passes only look at
    // pupils with too many of their kind in their class and miss this.
    bool fillShortfalls()
    {
        // The short classes of each sex and school; most of the time there are none.
        auto shortClasses = [&](const std::vector<Counts> &kinds, bool used) {
            std::vector<std::vector<int>> out(kinds.size());
            for (size_t g = 0; g < kinds.size() && used; ++g) {
                for (int c = 0; c < m_classes; ++c) {
                    if (kinds[g].perClass[static_cast<size_t>(c)] < kinds[g].low)
                        out[g].push_back(c);
                }
            }
            return out;
        };
        const std::vector<std::vector<int>> sexShort = shortClasses(m_sex, m_useSex);
        const std::vector<std::vector<int>> schoolShort = shortClasses(m_school, m_useSchool);
        auto none = [](const std::vector<std::vector<int>> &v) {
            return std::all_of(v.begin(), v.end(), [](const auto &l) { return l.empty(); });
        };
        if (none(sexShort) && none(schoolShort))
            return false;
        std::vector<std::vector<int>> byClass(static_cast<size_t>(m_classes));
        for (size_t k = 0; k < m_local.size(); ++k) {
            if (!m_local[k].locked)
                byClass[static_cast<size_t>(m_local[k].cls)].push_back(static_cast<int>(k));
        }
        // One sweep; the class lists go stale as pupils move, which trySwap tolerates (it works
        // on the classes the pupils are in now).
        bool improved = false;
        for (size_t k = 0; k < m_local.size(); ++k) {
            const Local &l = m_local[k];
            if (l.locked)
                continue;
            for (const std::vector<int> *list : {&sexShort[static_cast<size_t>(l.sex)],
                                                 &schoolShort[static_cast<size_t>(l.school)]}) {
                for (int c : *list) {
                    if (c == m_local[k].cls)
                        continue;
                    for (int j : byClass[static_cast<size_t>(c)]) {
                        if (trySwap(static_cast<int>(k), j)) {
                            improved = true;
                            break;
                        }
                    }
                }
            }
        }
        return improved;
    }

    // Level 4: exchanges of two scored pupils of the same kind (so no count changes), taken while
    // they lower Σ(mean − μ)² + Σ(sd − σ)² over the classes, σ being the classes' mean SD.
    void balanceScores()
    {
        std::map<std::pair<int, int>, std::vector<int>> kinds;
        for (size_t k = 0; k < m_members.size(); ++k) {
            if (!at(m_members[k]).scored || m_local[k].locked)
                continue;
            const Local &l = m_local[k];
            kinds[{m_useSex ? l.sex : 0, m_useSchool ? l.school : 0}].push_back(
                static_cast<int>(k));
        }
        std::vector<int> byScore;
        for (const auto &[key, list] : kinds)
            byScore.insert(byScore.end(), list.begin(), list.end());
        std::sort(byScore.begin(), byScore.end(), [&](int x, int y) {
            const double u = at(m_members[static_cast<size_t>(x)]).score;
            const double v = at(m_members[static_cast<size_t>(y)]).score;
            return u != v ? u > v : x < y;
        });
        descend(kinds, byScore);
        // Stuck in a local minimum: shake a little (exchanges inside random kinds, seeded, so the
        // result stays the same run to run), descend again, keep whichever came out better.
        std::vector<std::vector<int>> lists;
        for (const auto &[key, list] : kinds) {
            if (list.size() > 1)
                lists.push_back(list);
        }
        if (lists.empty())
            return;
        std::mt19937 random(1);
        // Each round costs a descent; a large range comes out even from the first one, a small
        // one gains most from the shakes.
        const int rounds =
            static_cast<int>(std::clamp<size_t>(8000 / (m_members.size() + 1), 0, 20));
        double best = spreads();
        std::vector<Local> bestLocal = m_local;
        Counts bestSize = m_size;
        std::vector<Counts> bestSex = m_sex;
        std::vector<Counts> bestSchool = m_school;
        std::vector<Counts> bestApart = m_apart;
        for (int round = 0; round < rounds; ++round) {
            for (int kick = 0; kick < m_classes; ++kick) {
                const std::vector<int> &list = lists[random() % lists.size()];
                const size_t x = static_cast<size_t>(list[random() % list.size()]);
                const size_t y = static_cast<size_t>(list[random() % list.size()]);
                // A kick leaves the counts alone: none of a group kept apart takes part.
                if (m_local[x].apart < 0 && m_local[y].apart < 0)
                    std::swap(m_local[x].cls, m_local[y].cls);
            }
            descend(kinds, byScore);
            const double now = spreads();
            if (now < best) {
                best = now;
                bestLocal = m_local;
                bestSize = m_size;
                bestSex = m_sex;
                bestSchool = m_school;
                bestApart = m_apart;
            } else {
                m_local = bestLocal;
                m_size = bestSize;
                m_sex = bestSex;
                m_school = bestSchool;
                m_apart = bestApart;
            }
        }
    }

    // Largest minus smallest class mean, plus the same of the class SDs: what the search is
    // judged by.
    double spreads() const
    {
        const size_t classes = static_cast<size_t>(m_classes);
        std::vector<double> sum(classes), squares(classes);
        std::vector<int> count(classes);
        double all = 0;
        int scored = 0;
        classSums(sum, squares, count, all, scored);
        double lowMean = 1e300, highMean = -1e300, lowSd = 1e300, highSd = -1e300;
        for (size_t c = 0; c < classes; ++c) {
            if (count[c] == 0)
                continue;
            const double mean = sum[c] / count[c];
            const double s = sd(sum[c], squares[c], count[c]);
            lowMean = std::min(lowMean, mean);
            highMean = std::max(highMean, mean);
            lowSd = std::min(lowSd, s);
            highSd = std::max(highSd, s);
        }
        return highMean - lowMean + highSd - lowSd;
    }

    // Per class the sum, the sum of squares and the number of the scored pupils; over the range
    // their total and number. The vectors are sized to the classes and overwritten.
    void classSums(std::vector<double> &sum, std::vector<double> &squares, std::vector<int> &count,
                   double &all, int &scored) const
    {
        std::fill(sum.begin(), sum.end(), 0.0);
        std::fill(squares.begin(), squares.end(), 0.0);
        std::fill(count.begin(), count.end(), 0);
        for (size_t k = 0; k < m_members.size(); ++k) {
            const BalanceRefinement::Pupil &p = m_pupils[static_cast<size_t>(m_members[k])];
            if (!p.scored)
                continue;
            const size_t c = static_cast<size_t>(m_local[k].cls);
            sum[c] += p.score;
            squares[c] += p.score * p.score;
            ++count[c];
            all += p.score;
            ++scored;
        }
    }

    using Kinds = std::map<std::pair<int, int>, std::vector<int>>;

    void descend(const Kinds &kinds, const std::vector<int> &byScore)
    {
        // Partners looked at per pupil among the mixed exchanges: enough for the fine tuning at
        // the end, which needs small score differences, without the cost of all pairs.
        constexpr size_t window = 64;
        // The SDs move less per exchange than the means; weighing them more keeps both close.
        constexpr double sdWeight = 4;
        const size_t classes = static_cast<size_t>(m_classes);
        std::vector<double> sum(classes), squares(classes), term(classes);
        std::vector<int> count(classes);
        // μ and σ are taken again each pass, so the objective shifts between passes and only
        // the cap guarantees an end. Real ranges settle within a hundred passes (20,000 pupils
        // in 400 classes: 71); the cap cuts short only a descent going round in circles.
        for (int pass = 0; pass < m_limits.descentPasses; ++pass) {
            double all = 0;
            int scored = 0;
            classSums(sum, squares, count, all, scored);
            if (scored == 0)
                return;
            const double mu = all / scored;
            double sigma = 0;
            for (size_t c = 0; c < classes; ++c)
                sigma += sd(sum[c], squares[c], count[c]);
            sigma /= m_classes;
            auto termOf = [&](double s, double q, int m) {
                if (m == 0)
                    return 0.0;
                const double mean = s / m - mu;
                const double dev = sd(s, q, m) - sigma;
                return mean * mean + sdWeight * dev * dev;
            };
            for (size_t c = 0; c < classes; ++c)
                term[c] = termOf(sum[c], squares[c], count[c]);
            bool improved = false;
            // Exchanges kx ↔ ky when they lower the score objective; with `counted`, only when
            // the counts stay as balanced as they are.
            auto attempt = [&](size_t kx, size_t ky, bool counted) {
                const size_t a = static_cast<size_t>(m_local[kx].cls);
                const size_t b = static_cast<size_t>(m_local[ky].cls);
                if (a == b)
                    return;
                const double u = at(m_members[kx]).score;
                const double v = at(m_members[ky]).score;
                if (u == v)
                    return;
                const double d = v - u;
                const double d2 = v * v - u * u;
                const double ta = termOf(sum[a] + d, squares[a] + d2, count[a]);
                const double tb = termOf(sum[b] - d, squares[b] - d2, count[b]);
                if (ta + tb >= term[a] + term[b] - 1e-12)
                    return;
                // A member of a group kept apart may only go where the group stays spread.
                if (counted || m_local[kx].apart >= 0 || m_local[ky].apart >= 0) {
                    if (!trySwap(static_cast<int>(kx), static_cast<int>(ky), true))
                        return;
                } else {
                    m_local[kx].cls = static_cast<int>(b);
                    m_local[ky].cls = static_cast<int>(a);
                }
                sum[a] += d;
                squares[a] += d2;
                sum[b] -= d;
                squares[b] -= d2;
                term[a] = ta;
                term[b] = tb;
                improved = true;
            };
            for (auto &[key, list] : kinds) {
                for (size_t x = 0; x < list.size(); ++x) {
                    for (size_t y = x + 1; y < list.size(); ++y)
                        attempt(static_cast<size_t>(list[x]), static_cast<size_t>(list[y]), false);
                }
            }
            if (!improved && kinds.size() > 1) {
                // Pupils of different kinds, near each other in score: what the same-kind
                // exchanges cannot reach, as long as every count stays within its bound.
                for (size_t x = 0; x < byScore.size(); ++x) {
                    const size_t end = std::min(byScore.size(), x + window);
                    for (size_t y = x + 1; y < end; ++y)
                        attempt(static_cast<size_t>(byScore[x]), static_cast<size_t>(byScore[y]),
                                true);
                }
            }
            if (!improved)
                return;
        }
    }

    static double sd(double s, double q, int m)
    {
        if (m == 0)
            return 0;
        const double mean = s / m;
        return std::sqrt(std::max(0.0, q / m - mean * mean));
    }

    std::vector<BalanceRefinement::Pupil> &m_pupils;
    std::vector<int> m_members;
    std::vector<Local> m_local;
    int m_lo;
    int m_classes;
    bool m_useSex;
    bool m_useSchool;
    BalanceRefinement::Limits m_limits;
    bool m_sameSchool = false; // exchanges keep each school's counts
    bool m_anyLocked = false;
    std::vector<Counts> m_apart; // per 分开 group: members per class, high = ⌈k/N⌉
    Counts m_size;
    std::vector<Counts> m_sex;
    std::vector<Counts> m_school;
};

} // namespace

void BalanceRefinement::refine(std::vector<Pupil> &pupils,
                               const std::vector<std::pair<int, int>> &ranges, bool balanceSex,
                               bool balanceSchool)
{
    refine(pupils, ranges, balanceSex, balanceSchool, Limits());
}

void BalanceRefinement::refine(std::vector<Pupil> &pupils,
                               const std::vector<std::pair<int, int>> &ranges, bool balanceSex,
                               bool balanceSchool, const Limits &limits)
{
    for (const auto &[lo, hi] : ranges) {
        if (hi <= lo)
            continue;
        std::vector<int> members;
        for (size_t i = 0; i < pupils.size(); ++i) {
            if (pupils[i].classNumber >= lo && pupils[i].classNumber <= hi)
                members.push_back(static_cast<int>(i));
        }
        RangeSearch(pupils, std::move(members), lo, hi - lo + 1, balanceSex, balanceSchool, limits)
            .run();
    }
}

} // namespace fenpai
