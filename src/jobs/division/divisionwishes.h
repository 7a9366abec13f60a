#pragma once

#include "core/result.h"
#include "jobs/division/balancerefinement.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace fenpai {

class Database;

// What the office asked for particular pupils, from the optional columns of 分班数据表:
// `指定班级` (the class a pupil must end in), `同班` (pupils sharing a code end in one class) and
// `分开` (pupils sharing a code end in different classes; with more of them than classes, at most
// ⌈k/N⌉ a class). Wishes that contradict each other or cannot be met are named, never dropped
// silently.
class DivisionWishes final
{
public:
    // Reads the wishes of every row, in the table order the division reads its pupils in; no
    // wishes when the table has none of the three columns.
    [[nodiscard]] static Result<DivisionWishes> read(Database &db, const QStringList &columns,
                                                     const QString &rowid);

    // How many wishes there are: one per set class, one per 同班 or 分开 code of two or more.
    int count() const;

    // Hands the refinement the wishes it can reach: `pupils` are in table order with their dealt
    // classes, `ranges` the blocks of classes a pupil cannot leave. Wishes it cannot reach are
    // named in problems(): a set class outside the classes is ignored, one outside the pupil's
    // layer and a 同班 group across layers cannot be met, and contradictions are named as such.
    void apply(std::vector<BalanceRefinement::Pupil> &pupils,
               const std::vector<std::pair<int, int>> &ranges);

    // Wishes met by the classes given in table order.
    int met(const std::vector<int> &classes) const;
    // The wishes not met by those classes, by pupil name, except those problems() already names.
    QStringList unmet(const std::vector<int> &classes) const;
    const QStringList &problems() const { return m_problems; }

private:
    struct Group
    {
        QString code;
        std::vector<int> members; // pupil indices, table order
        bool named = false;       // already in m_problems
    };
    struct Fixed
    {
        int pupil = 0;
        double value = 0; // NaN when the cell is no class number
        QString text;     // as typed
        bool named = false;
        bool ignored = false; // not a class of the division: not counted as a wish
    };

    bool spread(const Group &group, const std::vector<int> &classes) const;
    static bool together(const Group &group, const std::vector<int> &classes);
    QString nameOf(int pupil) const;
    QString namesOf(const std::vector<int> &members) const;
    // The steps of apply(): the set classes, the 同班 groups, the 分开 groups.
    void applyFixed(std::vector<BalanceRefinement::Pupil> &pupils, int classes);
    void applyTogether(std::vector<BalanceRefinement::Pupil> &pupils);
    void applyApart(std::vector<BalanceRefinement::Pupil> &pupils);
    int rangeOfPupil(const std::vector<BalanceRefinement::Pupil> &pupils, int pupil) const;

    QStringList m_names; // per pupil; empty where the table has no 姓名
    std::vector<Fixed> m_fixed;
    std::vector<Group> m_together;
    std::vector<Group> m_apart;
    QStringList m_problems;
    std::vector<std::pair<int, int>> m_ranges;
};

} // namespace fenpai
