#pragma once

#include "jobs/division/divisionsummary.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <utility>
#include <vector>

namespace fenpai {

// How balanced a division is, criterion by criterion (class size, boys, girls, mean score, score
// SD, each source school's pupils): the spread it reached (largest minus smallest class figure),
// the smallest spread any division of the intake into classes of these sizes could reach (a
// sound lower bound, where one is known), and how it compares with random divisions of the same
// pupils into classes of the same sizes. Classes dealt apart (the layers of a layered division)
// are compared only among themselves: a spread is the largest inside one block, and the random
// divisions shuffle each block's pupils over that block's classes.
//
// The random divisions come from a fixed seed and a shuffle of our own over std::mt19937_64
// (whose output the standard fixes), so the same table always gives the same certificate.
class BalanceCertificate final
{
public:
    enum class Kind
    {
        Size,
        Boys,
        Girls,
        Mean,
        Sd,
        School,
    };

    struct Criterion
    {
        Kind kind = Kind::Size;
        int school = -1;    // Kind::School: the school's number in schoolNames
        double reached = 0; // the division's spread
        // No division into classes of these sizes can have a smaller spread; none when the
        // intake gives no sound bound (score SD, scores of no fixed decimal step, pupils
        // without a score).
        std::optional<double> bound;
        // Median spread of the random divisions; none where they cannot differ (class sizes).
        std::optional<double> randomMedian;
        // How many of the random divisions have a larger spread than the division.
        int beaten = 0;
    };

    struct Options
    {
        int divisions = 1000;
        quint64 seed = 20240901;
    };

    // `blocks` are the [lo, hi] class ranges dealt apart; none: one block of all classes.
    // Pupils outside 1..classCount count nowhere.
    BalanceCertificate(const std::vector<DivisionSummary::Pupil> &pupils, int classCount,
                       const QStringList &schoolNames,
                       const std::vector<std::pair<int, int>> &blocks, const Options &options);
    BalanceCertificate(const std::vector<DivisionSummary::Pupil> &pupils, int classCount,
                       const QStringList &schoolNames,
                       const std::vector<std::pair<int, int>> &blocks = {});
    // The certificate of a finished run, from the rows and layers its summary keeps.
    BalanceCertificate(const DivisionSummary &summary, const Options &options);
    explicit BalanceCertificate(const DivisionSummary &summary);

    // Size, boys, girls, mean, SD, then each school in the order of schoolNames; a school with
    // no pupil in any class is left out.
    const std::vector<Criterion> &criteria() const { return m_criteria; }
    // The first criterion of the kind; none when the intake has nothing to compare (no scores,
    // no boys or girls).
    const Criterion *find(Kind kind) const;
    int divisions() const { return m_divisions; }
    quint64 seed() const { return m_seed; }
    bool layered() const { return m_blocks.size() > 1; }
    const std::vector<std::pair<int, int>> &blocks() const { return m_blocks; }

    // What a criterion is about, in the report's words: "人数", "平均分", the school's name.
    QString caption(const Criterion &c) const;
    // A spread or bound as printed: counts whole, scores to four decimals; a bound is never
    // shown above its true value, nor above the spread when the division reaches it.
    static QString spreadText(const Criterion &c, double value);
    static QString boundText(const Criterion &c);
    // "99.9%" of the random divisions beaten, never rounded up to all of them.
    static QString beatenText(int beaten, int divisions);

    // The completion message's line: the mean spread, its bound and the share of random
    // divisions it beats.
    QString meanLine() const;

    // The bounds, each for one block. A count of `count` pupils over `classes` classes differs
    // by at least 1 between two classes unless the classes divide it.
    static int countBound(qint64 count, int classes);
    // Class means of the given scores over classes of `sizes` pupils: every class sum is a
    // multiple of the scores' common step away from the others, so a class mean lies on a grid
    // of step/size; none when the scores have no step of at most six decimals.
    static std::optional<double> meanBound(const std::vector<double> &scores,
                                           const std::vector<int> &sizes);

private:
    std::vector<Criterion> m_criteria;
    std::vector<std::pair<int, int>> m_blocks;
    QStringList m_schoolNames;
    int m_divisions = 0;
    quint64 m_seed = 0;
};

} // namespace fenpai
