#include "jobs/division/divisionsummary.h"

#include <algorithm>

namespace fenpai {

DivisionSummary::DivisionSummary(int classCount, const std::vector<Pupil> &pupils)
    : m_classes(static_cast<size_t>(std::max(classCount, 0)))
    , m_pupils(static_cast<int>(pupils.size()))
{
    for (size_t i = 0; i < m_classes.size(); ++i)
        m_classes[i].classNumber = static_cast<int>(i) + 1;
    std::vector<double> sums(m_classes.size(), 0.0);
    for (const Pupil &p : pupils) {
        if (p.classNumber < 1 || p.classNumber > classCount)
            continue;
        const size_t at = static_cast<size_t>(p.classNumber - 1);
        ClassBalance &c = m_classes[at];
        ++c.pupils;
        c.boys += p.boy ? 1 : 0;
        c.girls += p.girl ? 1 : 0;
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
    }
    for (size_t i = 0; i < m_classes.size(); ++i) {
        if (m_classes[i].scored > 0)
            m_classes[i].mean = sums[i] / m_classes[i].scored;
    }
}

double DivisionSummary::meanSpread() const
{
    bool any = false;
    double high = 0;
    double low = 0;
    for (const ClassBalance &c : m_classes) {
        if (c.scored == 0)
            continue;
        high = any ? std::max(high, c.mean) : c.mean;
        low = any ? std::min(low, c.mean) : c.mean;
        any = true;
    }
    return high - low;
}

} // namespace fenpai
