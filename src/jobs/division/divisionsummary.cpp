#include "jobs/division/divisionsummary.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace fenpai {

DivisionSummary::DivisionSummary(int classCount, const std::vector<Pupil> &pupils,
                                 const QStringList &schoolNames)
    : m_classes(static_cast<size_t>(std::max(classCount, 0)))
    , m_pupils(static_cast<int>(pupils.size()))
{
    for (size_t i = 0; i < m_classes.size(); ++i)
        m_classes[i].classNumber = static_cast<int>(i) + 1;
    std::vector<double> sums(m_classes.size(), 0.0);
    std::vector<double> squares(m_classes.size(), 0.0);
    std::map<int, std::vector<int>> schools; // counts per class
    for (const Pupil &p : pupils) {
        if (p.classNumber < 1 || p.classNumber > classCount)
            continue;
        const size_t at = static_cast<size_t>(p.classNumber - 1);
        ClassBalance &c = m_classes[at];
        ++c.pupils;
        c.boys += p.boy ? 1 : 0;
        c.girls += p.girl ? 1 : 0;
        if (p.school >= 0) {
            std::vector<int> &counts = schools[p.school];
            counts.resize(m_classes.size(), 0);
            ++counts[at];
        }
        if (!p.scored)
            continue;
        if (c.scored == 0) {
            c.highest = p.score;
            c.lowest = p.score;
        } else {
            c.highest = std::max(c.highest, p.score);
            c.lowest = std::min(c.lowest, p.score);
        }
        ++c.scored;
        sums[at] += p.score;
        squares[at] += p.score * p.score;
    }
    for (size_t i = 0; i < m_classes.size(); ++i) {
        ClassBalance &c = m_classes[i];
        if (c.scored == 0)
            continue;
        c.mean = sums[i] / c.scored;
        c.sd = std::sqrt(std::max(0.0, squares[i] / c.scored - c.mean * c.mean));
    }
    for (const auto &[school, counts] : schools) {
        const auto [low, high] = std::minmax_element(counts.begin(), counts.end());
        m_schoolSpread = std::max(m_schoolSpread, *high - *low);
        m_schools.push_back({schoolNames.value(school),
                             std::accumulate(counts.begin(), counts.end(), 0), *low, *high});
    }
}

namespace {

template <typename Value>
Value spread(const std::vector<ClassBalance> &classes, Value ClassBalance::*field, bool scoredOnly)
{
    bool any = false;
    Value high{};
    Value low{};
    for (const ClassBalance &c : classes) {
        if (scoredOnly && c.scored == 0)
            continue;
        high = any ? std::max(high, c.*field) : c.*field;
        low = any ? std::min(low, c.*field) : c.*field;
        any = true;
    }
    return high - low;
}

} // namespace

double DivisionSummary::sdSpread() const
{
    return spread(m_classes, &ClassBalance::sd, true);
}

int DivisionSummary::sizeSpread() const
{
    return spread(m_classes, &ClassBalance::pupils, false);
}

int DivisionSummary::boysSpread() const
{
    return spread(m_classes, &ClassBalance::boys, false);
}

int DivisionSummary::girlsSpread() const
{
    return spread(m_classes, &ClassBalance::girls, false);
}

double DivisionSummary::meanSpread() const
{
    return spread(m_classes, &ClassBalance::mean, true);
}

} // namespace fenpai
