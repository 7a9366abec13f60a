#include "jobs/division/balancecertificate.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>

namespace fenpai {

namespace {

using Kind = BalanceCertificate::Kind;
using Criterion = BalanceCertificate::Criterion;

enum Sex : qint8
{
    Boy,
    Girl,
    OtherSex,
};

// Fisher-Yates over std::mt19937_64 with whole numbers below n drawn by rejection: the standard
// fixes every step, where std::shuffle and std::uniform_int_distribution may differ between
// libraries, and the certificate must come out the same everywhere.
class Shuffler
{
public:
    explicit Shuffler(quint64 seed)
        : m_engine(seed)
    {}

    void shuffle(std::vector<int> &items)
    {
        for (size_t i = items.size(); i > 1; --i)
            std::swap(items[i - 1], items[below(i)]);
    }

private:
    size_t below(size_t n)
    {
        const quint64 top = std::numeric_limits<quint64>::max();
        const quint64 limit = top - top % n; // draws at or past it would favour small results
        quint64 x = m_engine();
        while (x >= limit)
            x = m_engine();
        return static_cast<size_t>(x % n);
    }

    std::mt19937_64 m_engine;
};

// The classes [lo, hi] dealt apart, their pupils (sorted by class, so that the first sizes[0]
// are in class lo, and so on), the same pupils in table order, which the random divisions
// shuffle (so that two divisions of one intake meet the same random ones), and the sizes.
struct Block
{
    int lo = 0;
    int hi = 0;
    std::vector<int> members;
    std::vector<int> pool;
    std::vector<int> sizes;
};

// The pupils column by column, and the tallies of one division of one block.
class Evaluator
{
public:
    Evaluator(const std::vector<DivisionSummary::Pupil> &pupils, int schools)
        : m_schools(schools)
    {
        m_score.reserve(pupils.size());
        for (const DivisionSummary::Pupil &p : pupils) {
            m_score.push_back(p.score);
            m_scored.push_back(p.scored);
            m_sex.push_back(p.boy ? Boy : (p.girl ? Girl : OtherSex));
            m_school.push_back(p.school < schools ? p.school : -1);
        }
    }

    // Criteria in the certificate's order: size, boys, girls, mean, SD, the schools.
    int criteria() const { return 5 + m_schools; }

    // Raises `spreads` to the spreads of the block when its pupils in `order` fill its classes
    // in turn, sizes[0] of them the first class and so on.
    void raise(const Block &block, const std::vector<int> &order, std::vector<double> &spreads)
    {
        const size_t classes = block.sizes.size();
        m_boys.assign(classes, 0);
        m_girls.assign(classes, 0);
        m_count.assign(classes, 0);
        m_sum.assign(classes, 0.0);
        m_squares.assign(classes, 0.0);
        m_schoolCounts.assign(classes * static_cast<size_t>(m_schools), 0);
        size_t at = 0;
        for (size_t c = 0; c < classes; ++c) {
            for (int n = 0; n < block.sizes[c]; ++n, ++at) {
                const size_t p = static_cast<size_t>(order[at]);
                m_boys[c] += m_sex[p] == Boy ? 1 : 0;
                m_girls[c] += m_sex[p] == Girl ? 1 : 0;
                if (m_scored[p]) {
                    ++m_count[c];
                    m_sum[c] += m_score[p];
                    m_squares[c] += m_score[p] * m_score[p];
                }
                if (m_school[p] >= 0)
                    ++m_schoolCounts[static_cast<size_t>(m_school[p]) * classes + c];
            }
        }
        raise(spreads[0], spreadOf(block.sizes.begin(), block.sizes.end()));
        raise(spreads[1], spreadOf(m_boys.begin(), m_boys.end()));
        raise(spreads[2], spreadOf(m_girls.begin(), m_girls.end()));
        raiseScores(spreads);
        for (int s = 0; s < m_schools; ++s) {
            const auto first = m_schoolCounts.begin() + static_cast<qsizetype>(s) * classes;
            raise(spreads[5 + static_cast<size_t>(s)], spreadOf(first, first + classes));
        }
    }

    bool scored(int pupil) const { return m_scored[static_cast<size_t>(pupil)]; }
    double score(int pupil) const { return m_score[static_cast<size_t>(pupil)]; }
    qint8 sex(int pupil) const { return m_sex[static_cast<size_t>(pupil)]; }
    int school(int pupil) const { return m_school[static_cast<size_t>(pupil)]; }

private:
    template <typename It> static double spreadOf(It first, It last)
    {
        if (first == last)
            return 0;
        const auto [low, high] = std::minmax_element(first, last);
        return static_cast<double>(*high - *low);
    }

    static void raise(double &spread, double value) { spread = std::max(spread, value); }

    // Mean and population SD over the classes that have scored pupils.
    void raiseScores(std::vector<double> &spreads) const
    {
        bool any = false;
        double meanLow = 0, meanHigh = 0, sdLow = 0, sdHigh = 0;
        for (size_t c = 0; c < m_count.size(); ++c) {
            if (m_count[c] == 0)
                continue;
            const double mean = m_sum[c] / m_count[c];
            const double sd = std::sqrt(std::max(0.0, m_squares[c] / m_count[c] - mean * mean));
            meanLow = any ? std::min(meanLow, mean) : mean;
            meanHigh = any ? std::max(meanHigh, mean) : mean;
            sdLow = any ? std::min(sdLow, sd) : sd;
            sdHigh = any ? std::max(sdHigh, sd) : sd;
            any = true;
        }
        raise(spreads[3], meanHigh - meanLow);
        raise(spreads[4], sdHigh - sdLow);
    }

    int m_schools = 0;
    std::vector<double> m_score;
    std::vector<bool> m_scored;
    std::vector<qint8> m_sex;
    std::vector<int> m_school;
    std::vector<int> m_boys, m_girls, m_count, m_schoolCounts;
    std::vector<double> m_sum, m_squares;
};

std::vector<Block> blocksOf(const std::vector<DivisionSummary::Pupil> &pupils, int classCount,
                            const std::vector<std::pair<int, int>> &ranges)
{
    std::vector<Block> blocks;
    for (const auto &[lo, hi] : ranges) {
        if (lo >= 1 && lo <= hi && hi <= classCount)
            blocks.push_back(
                {lo, hi, {}, {}, std::vector<int>(static_cast<size_t>(hi - lo + 1), 0)});
    }
    for (size_t i = 0; i < pupils.size(); ++i) {
        const int c = pupils[i].classNumber;
        for (Block &b : blocks) {
            if (c >= b.lo && c <= b.hi) {
                b.members.push_back(static_cast<int>(i));
                ++b.sizes[static_cast<size_t>(c - b.lo)];
                break;
            }
        }
    }
    for (Block &b : blocks) {
        b.pool = b.members;
        std::stable_sort(b.members.begin(), b.members.end(), [&](int x, int y) {
            return pupils[static_cast<size_t>(x)].classNumber <
                   pupils[static_cast<size_t>(y)].classNumber;
        });
    }
    return blocks;
}

// The largest of the blocks' bounds: the division's spread is the largest of the blocks'
// spreads, so it is at least each block's bound. None when no block has one.
std::optional<double> largest(const std::vector<std::optional<double>> &bounds)
{
    std::optional<double> out;
    for (const std::optional<double> &b : bounds) {
        if (b)
            out = std::max(out.value_or(0.0), *b);
    }
    return out;
}

std::vector<std::optional<double>> blockBounds(const std::vector<Block> &blocks, const Evaluator &e,
                                               int criterion)
{
    std::vector<std::optional<double>> bounds;
    for (const Block &b : blocks) {
        const int classes = static_cast<int>(b.sizes.size());
        qint64 count = 0;
        bool allScored = true;
        std::vector<double> scores;
        for (int p : b.members) {
            switch (criterion) {
            case 0:
                ++count;
                break;
            case 1:
                count += e.sex(p) == Boy ? 1 : 0;
                break;
            case 2:
                count += e.sex(p) == Girl ? 1 : 0;
                break;
            case 3:
                allScored = allScored && e.scored(p);
                if (e.scored(p))
                    scores.push_back(e.score(p));
                break;
            default:
                count += e.school(p) == criterion - 5 ? 1 : 0;
            }
        }
        if (criterion == 4) {
            // The SDs have no such bound: whatever the scores' step, classes can differ in
            // their means in ways that let their variances meet on any common value.
            bounds.push_back(std::nullopt);
        } else if (criterion == 3) {
            std::vector<int> sizes;
            for (int s : b.sizes) {
                if (s > 0)
                    sizes.push_back(s);
            }
            // With pupils who have no score, the classes' scored counts are not fixed by their
            // sizes, and the bound below needs them fixed.
            bounds.push_back(allScored ? BalanceCertificate::meanBound(scores, sizes)
                                       : std::nullopt);
        } else {
            bounds.push_back(BalanceCertificate::countBound(count, classes));
        }
    }
    return bounds;
}

// The spreads of `divisions` random divisions, criterion by criterion: each deals every block's
// pupils, shuffled, into its classes of the same sizes (shuffling the last shuffle again is as
// random as shuffling afresh).
std::vector<std::vector<double>> randomSpreads(std::vector<Block> &blocks, Evaluator &evaluator,
                                               int divisions, quint64 seed)
{
    const size_t count = static_cast<size_t>(evaluator.criteria());
    std::vector<std::vector<double>> random(count, std::vector<double>(size_t(divisions)));
    Shuffler shuffler(seed);
    std::vector<double> spreads(count);
    for (int d = 0; d < divisions; ++d) {
        std::fill(spreads.begin(), spreads.end(), 0.0);
        for (Block &b : blocks) {
            shuffler.shuffle(b.pool);
            evaluator.raise(b, b.pool, spreads);
        }
        for (size_t k = 0; k < count; ++k)
            random[k][static_cast<size_t>(d)] = spreads[k];
    }
    return random;
}

// Which criteria the intake has: sexes and scores only when some pupil has them, a school only
// when one of its pupils is in a class; and the largest score, for the tolerance of sums.
std::vector<bool> presentCriteria(const std::vector<Block> &blocks, const Evaluator &evaluator,
                                  double &largestScore)
{
    std::vector<bool> present(static_cast<size_t>(evaluator.criteria()), false);
    present[0] = true;
    largestScore = 1;
    for (const Block &b : blocks) {
        for (int p : b.members) {
            present[1] = present[1] || evaluator.sex(p) == Boy;
            present[2] = present[2] || evaluator.sex(p) == Girl;
            if (evaluator.scored(p)) {
                present[3] = present[4] = true;
                largestScore = std::max(largestScore, std::fabs(evaluator.score(p)));
            }
            if (evaluator.school(p) >= 0)
                present[5 + static_cast<size_t>(evaluator.school(p))] = true;
        }
    }
    return present;
}

double median(std::vector<double> values)
{
    const size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<qsizetype>(mid), values.end());
    const double upper = values[mid];
    if (values.size() % 2 == 1)
        return upper;
    return (upper +
            *std::max_element(values.begin(), values.begin() + static_cast<qsizetype>(mid))) /
           2;
}

// 10^d for the fewest decimals d (at most six) that write every score; none when six do not.
std::optional<double> scaleOf(const std::vector<double> &scores)
{
    double scale = 1;
    for (int decimals = 0; decimals <= 6; ++decimals, scale *= 10) {
        const bool whole = std::all_of(scores.begin(), scores.end(), [&](double s) {
            const double v = s * scale;
            return std::fabs(v) < 1e15 &&
                   std::fabs(v - std::nearbyint(v)) <= 1e-9 * std::max(1.0, std::fabs(v));
        });
        if (whole)
            return scale;
    }
    return std::nullopt;
}

} // namespace

BalanceCertificate::BalanceCertificate(const std::vector<DivisionSummary::Pupil> &pupils,
                                       int classCount, const QStringList &schoolNames,
                                       const std::vector<std::pair<int, int>> &blocks)
    : BalanceCertificate(pupils, classCount, schoolNames, blocks, Options())
{}

BalanceCertificate::BalanceCertificate(const DivisionSummary &summary)
    : BalanceCertificate(summary, Options())
{}

BalanceCertificate::BalanceCertificate(const DivisionSummary &summary, const Options &options)
    : BalanceCertificate(summary.rows(), static_cast<int>(summary.classes().size()),
                         summary.schoolNames(), summary.ranges(), options)
{}

BalanceCertificate::BalanceCertificate(const std::vector<DivisionSummary::Pupil> &pupils,
                                       int classCount, const QStringList &schoolNames,
                                       const std::vector<std::pair<int, int>> &blocks,
                                       const Options &options)
    : m_schoolNames(schoolNames)
    , m_divisions(std::max(options.divisions, 1))
    , m_seed(options.seed)
{
    const std::vector<std::pair<int, int>> ranges =
        blocks.empty() ? std::vector<std::pair<int, int>>{{1, classCount}} : blocks;
    std::vector<Block> parts = blocksOf(pupils, classCount, ranges);
    for (const Block &b : parts)
        m_blocks.emplace_back(b.lo, b.hi);
    const int schools = static_cast<int>(schoolNames.size());
    Evaluator evaluator(pupils, schools);
    const int count = evaluator.criteria();

    std::vector<double> reached(static_cast<size_t>(count), 0.0);
    for (const Block &b : parts)
        evaluator.raise(b, b.members, reached);

    const std::vector<std::vector<double>> random =
        randomSpreads(parts, evaluator, m_divisions, m_seed);
    double largestScore = 1;
    const std::vector<bool> present = presentCriteria(parts, evaluator, largestScore);
    for (int k = 0; k < count; ++k) {
        if (!present[static_cast<size_t>(k)])
            continue;
        Criterion c;
        c.kind = k < 5 ? static_cast<Kind>(k) : Kind::School;
        c.school = k < 5 ? -1 : k - 5;
        c.reached = reached[static_cast<size_t>(k)];
        c.bound = largest(blockBounds(parts, evaluator, k));
        if (c.kind != Kind::Size) {
            const std::vector<double> &values = random[static_cast<size_t>(k)];
            c.randomMedian = median(values);
            // Counts are whole; scores differ in their last bits with the order they are added.
            const double tolerance = k == 3 || k == 4 ? 1e-9 * largestScore : 0.5;
            c.beaten = static_cast<int>(std::count_if(
                values.begin(), values.end(), [&](double v) { return v > c.reached + tolerance; }));
        }
        m_criteria.push_back(c);
    }
}

const Criterion *BalanceCertificate::find(Kind kind) const
{
    for (const Criterion &c : m_criteria) {
        if (c.kind == kind)
            return &c;
    }
    return nullptr;
}

// If every one of the classes held the same number c, the count would be classes·c; a count the
// classes do not divide leaves two classes at least 1 apart. (A count they divide may still not
// reach 0 once other criteria share the classes; 0 is only the bound.)
int BalanceCertificate::countBound(qint64 count, int classes)
{
    return classes > 0 && count % classes != 0 ? 1 : 0;
}

// Why the bound holds. Write every score as v0 + g·u with whole u, where g is the greatest
// common divisor of the differences between the scores (in units of the decimal step). A class
// of n pupils has the sum n·v0 + g·U with U whole, so its mean lies on the grid v0 + (g/n)·Z.
// The intake's mean m is the class means' average weighted by the sizes. With T the sum of the
// u and N the pupils, m lies t = (n·T) mod N steps of g/(N·n) above a point of that grid: a
// class of size n with t ≠ 0 cannot have the mean m, so its mean is at least down_n = g·t/(N·n)
// below m or at least up_n = g·(N − t)/(N·n) above it; a class with t = 0 that leaves m moves a
// whole step g/n. Once one class is off m, the weighted average puts another on the other
// side: some mean is at or below m − x and some at or above m + y, with the spread ≥ x + y,
// x at least the smallest downward move any class can make and y the smallest upward one; and
// every size whose down_n exceeds x has all its classes above m, so y ≥ up_n for each of them.
// The smallest x + y these conditions allow (x need only be tried at the moves' values, as the
// sum only grows between them) is below every spread a division into classes of these sizes
// can have.
std::optional<double> BalanceCertificate::meanBound(const std::vector<double> &scores,
                                                    const std::vector<int> &sizes)
{
    if (scores.empty() || sizes.size() < 2)
        return 0.0;
    const std::optional<double> decimalScale = scaleOf(scores);
    if (!decimalScale)
        return std::nullopt;
    const double scale = *decimalScale;
    const qint64 v0 = std::llround(scores.front() * scale);
    qint64 g = 0;
    for (double s : scores)
        g = std::gcd(g, std::llround(s * scale) - v0);
    if (g == 0)
        return 0.0;     // every score the same: every mean is that score
    __int128 total = 0; // T
    for (double s : scores)
        total += (std::llround(s * scale) - v0) / g;
    const qint64 pupils = static_cast<qint64>(scores.size()); // N
    if (std::accumulate(sizes.begin(), sizes.end(), qint64(0)) != pupils)
        return std::nullopt;

    // In units of g: (down_n, up_n) of the sizes that cannot have the mean m, and the smallest
    // move down and up of any class.
    std::vector<std::pair<double, double>> off;
    double leastDown = std::numeric_limits<double>::infinity();
    double leastUp = leastDown;
    std::vector<int> distinct = sizes;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    for (int n : distinct) {
        __int128 t = (total * n) % pupils;
        if (t < 0)
            t += pupils;
        const double share = static_cast<double>(pupils) * n;
        const double down = t == 0 ? 1.0 / n : static_cast<double>(t) / share;
        const double up = t == 0 ? 1.0 / n : static_cast<double>(pupils - t) / share;
        if (t != 0)
            off.emplace_back(down, up);
        leastDown = std::min(leastDown, down);
        leastUp = std::min(leastUp, up);
    }
    if (off.empty())
        return 0.0; // every class can have the mean m itself
    std::sort(off.begin(), off.end());
    std::vector<double> upFrom(off.size() + 1, 0.0); // largest up_n from an index on
    for (size_t i = off.size(); i-- > 0;)
        upFrom[i] = std::max(upFrom[i + 1], off[i].second);
    auto sumAt = [&](double x) {
        const auto beyond = std::upper_bound(off.begin(), off.end(), std::pair(x, 1e300));
        return x + std::max(leastUp, upFrom[static_cast<size_t>(beyond - off.begin())]);
    };
    double best = sumAt(leastDown);
    for (const auto &[down, up] : off)
        best = std::min(best, sumAt(down));
    return best * static_cast<double>(g) / scale;
}

QString BalanceCertificate::caption(const Criterion &c) const
{
    switch (c.kind) {
    case Kind::Size:
        return QStringLiteral("人数");
    case Kind::Boys:
        return QStringLiteral("男生");
    case Kind::Girls:
        return QStringLiteral("女生");
    case Kind::Mean:
        return QStringLiteral("平均分");
    case Kind::Sd:
        return QStringLiteral("标准差");
    case Kind::School:
        break;
    }
    return QStringLiteral("原学校 ") + m_schoolNames.value(c.school);
}

QString BalanceCertificate::spreadText(const Criterion &c, double value)
{
    if (c.kind == Kind::Mean || c.kind == Kind::Sd)
        return QString::number(value, 'f', 4);
    return QString::number(std::llround(value));
}

QString BalanceCertificate::boundText(const Criterion &c)
{
    if (!c.bound)
        return QStringLiteral("—");
    const double bound = *c.bound;
    if (c.kind != Kind::Mean && c.kind != Kind::Sd)
        return spreadText(c, bound);
    // Reached: the same figure twice. Otherwise rounded down, so the print never claims more
    // (a bound a hair below a printed step is that step: 0.002 comes out of doubles as 0.0019…).
    if (c.reached - bound <= 1e-9 * std::max(1.0, c.reached))
        return spreadText(c, c.reached);
    const double down = std::floor(bound * 1e4 * (1 + 1e-9)) / 1e4;
    return QString::number(std::max(0.0, down), 'f', 4);
}

QString BalanceCertificate::beatenText(int beaten, int divisions)
{
    if (divisions <= 0)
        return QStringLiteral("—");
    if (beaten >= divisions)
        return QStringLiteral("100%");
    const qint64 tenths = static_cast<qint64>(beaten) * 1000 / divisions;
    return QString::number(static_cast<double>(tenths) / 10, 'f', 1) + u'%';
}

QString BalanceCertificate::meanLine() const
{
    const Criterion *mean = find(Kind::Mean);
    if (!mean)
        return QStringLiteral("均衡证明：没有成绩，无法比较各班平均分");
    const QString bound = mean->bound ? QStringLiteral("可能的最小差 %1").arg(boundText(*mean))
                                      : QStringLiteral("可能的最小差无法推算");
    return QStringLiteral("均衡证明：%1各班平均分最大差 %2，%3，优于 %4 的随机分班（%5 次随机分班"
                          "的中位差 %6）")
        .arg(layered() ? QStringLiteral("同层") : QString(), spreadText(*mean, mean->reached),
             bound, beatenText(mean->beaten, m_divisions), QString::number(m_divisions),
             spreadText(*mean, mean->randomMedian.value_or(0)));
}

} // namespace fenpai
