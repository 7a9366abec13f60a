#include "jobs/division/divisionsummary.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace fenpai {

DivisionSummary::DivisionSummary(int classCount, const std::vector<Pupil> &pupils,
                                 const QStringList &schoolNames,
                                 const std::vector<std::pair<int, int>> &ranges)
    : m_classes(static_cast<size_t>(std::max(classCount, 0)))
    , m_ranges(ranges)
    , m_rows(std::make_shared<const std::vector<Pupil>>(pupils))
    , m_schoolNames(schoolNames)
    , m_pupils(static_cast<int>(pupils.size()))
{
    if (m_ranges.empty())
        m_ranges.emplace_back(1, classCount);
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
        SchoolBalance b{schoolNames.value(school), std::accumulate(counts.begin(), counts.end(), 0),
                        0, 0};
        bool any = false;
        for (const auto &[lo, hi] : m_ranges) {
            if (lo > hi || hi > classCount)
                continue;
            const auto [low, high] =
                std::minmax_element(counts.begin() + (lo - 1), counts.begin() + hi);
            if (!any || *high - *low > b.most - b.fewest) {
                b.fewest = *low;
                b.most = *high;
                any = true;
            }
        }
        m_schoolSpread = std::max(m_schoolSpread, b.most - b.fewest);
        m_schools.push_back(b);
    }
}

const std::vector<DivisionSummary::Pupil> &DivisionSummary::rows() const
{
    static const std::vector<Pupil> none;
    return m_rows ? *m_rows : none;
}

namespace {

// The largest, over the blocks, of highest minus lowest `field` in the block.
template <typename Value>
Value spread(const std::vector<ClassBalance> &classes,
             const std::vector<std::pair<int, int>> &ranges, Value ClassBalance::*field,
             bool scoredOnly)
{
    Value widest{};
    for (const auto &[lo, hi] : ranges) {
        bool any = false;
        Value high{};
        Value low{};
        for (const ClassBalance &c : classes) {
            if (c.classNumber < lo || c.classNumber > hi || (scoredOnly && c.scored == 0))
                continue;
            high = any ? std::max(high, c.*field) : c.*field;
            low = any ? std::min(low, c.*field) : c.*field;
            any = true;
        }
        widest = std::max(widest, high - low);
    }
    return widest;
}

} // namespace

double DivisionSummary::sdSpread() const
{
    return spread(m_classes, m_ranges, &ClassBalance::sd, true);
}

int DivisionSummary::sizeSpread() const
{
    return spread(m_classes, m_ranges, &ClassBalance::pupils, false);
}

int DivisionSummary::boysSpread() const
{
    return spread(m_classes, m_ranges, &ClassBalance::boys, false);
}

int DivisionSummary::girlsSpread() const
{
    return spread(m_classes, m_ranges, &ClassBalance::girls, false);
}

double DivisionSummary::meanSpread() const
{
    return spread(m_classes, m_ranges, &ClassBalance::mean, true);
}

QString DivisionSummary::spreadsText(const WishOutcome &wishes, int met) const
{
    QString line =
        QStringLiteral("平均分差%1，标准差差%2，人数差%3，男生差%4，女生差%5，生源人数最大差%6")
            .arg(QString::number(meanSpread(), 'f', 3), QString::number(sdSpread(), 'f', 3))
            .arg(sizeSpread())
            .arg(boysSpread())
            .arg(girlsSpread())
            .arg(schoolSpread());
    if (wishes.wishes > 0)
        line += QStringLiteral("，愿望满足%1/%2").arg(met).arg(wishes.wishes);
    return line;
}

} // namespace fenpai
