#include "jobs/division/divisionwishes.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/sqldialect.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

namespace fenpai {

namespace {

const QString fixedColumn = QStringLiteral("指定班级");
const QString togetherColumn = QStringLiteral("同班");
const QString apartColumn = QStringLiteral("分开");

// A cell as a code: trimmed text, numbers as the documents show them; empty for none.
QString codeOf(const QVariant &value)
{
    return NumberText::display(value).trimmed();
}

// A set class: a number, or a text such as "3" or "3班"; NaN for anything else.
double classOf(const QVariant &value)
{
    const QMetaType::Type type = static_cast<QMetaType::Type>(value.typeId());
    if (type == QMetaType::Double || type == QMetaType::LongLong || type == QMetaType::Int)
        return value.toDouble();
    QString text = value.toString().trimmed();
    if (text.endsWith(u'班'))
        text.chop(1);
    return NumberText::isNumber(text) ? NumberText::leadingValue(text)
                                      : std::numeric_limits<double>::quiet_NaN();
}

int rangeOf(const std::vector<std::pair<int, int>> &ranges, int classNumber)
{
    for (size_t r = 0; r < ranges.size(); ++r) {
        if (classNumber >= ranges[r].first && classNumber <= ranges[r].second)
            return static_cast<int>(r);
    }
    return -1;
}

} // namespace

Result<DivisionWishes> DivisionWishes::read(Database &db, const QStringList &columns,
                                            const QString &rowid)
{
    auto column = [&](const QString &name) {
        return columns.contains(name, Qt::CaseInsensitive) ? SqlDialect::quoteName(name)
                                                           : QStringLiteral("NULL");
    };
    DivisionWishes wishes;
    if (column(fixedColumn) == QLatin1String("NULL") &&
        column(togetherColumn) == QLatin1String("NULL") &&
        column(apartColumn) == QLatin1String("NULL"))
        return wishes;
    Result<Statement> st = db.prepareNative(
        QStringLiteral("SELECT %1, %2, %3, %4 FROM %5 ORDER BY %6")
            .arg(column(ColumnNames::name), column(fixedColumn), column(togetherColumn),
                 column(apartColumn), SqlDialect::quoteName(TableNames::divisionData), rowid));
    if (!st)
        return st.status();
    QHash<QString, size_t> together;
    QHash<QString, size_t> apart;
    auto join = [](std::vector<Group> &groups, QHash<QString, size_t> &index, const QString &code,
                   int pupil) {
        if (code.isEmpty())
            return;
        auto it = index.constFind(code);
        if (it == index.constEnd()) {
            it = index.insert(code, groups.size());
            groups.push_back({code, {}, false});
        }
        groups[it.value()].members.push_back(pupil);
    };
    for (int pupil = 0;; ++pupil) {
        const Statement::Step step = st->step();
        if (step == Statement::Step::Done)
            break;
        if (step == Statement::Step::Error)
            return st->status();
        wishes.m_names.append(codeOf(st->value(0)));
        const QVariant fixed = st->value(1);
        if (!codeOf(fixed).isEmpty())
            wishes.m_fixed.push_back({pupil, classOf(fixed), codeOf(fixed)});
        join(wishes.m_together, together, codeOf(st->value(2)), pupil);
        join(wishes.m_apart, apart, codeOf(st->value(3)), pupil);
    }
    // A code given to one pupil alone asks for nothing.
    for (std::vector<Group> *groups : {&wishes.m_together, &wishes.m_apart})
        std::erase_if(*groups, [](const Group &g) { return g.members.size() < 2; });
    return wishes;
}

int DivisionWishes::count() const
{
    const auto fixed =
        std::count_if(m_fixed.begin(), m_fixed.end(), [](const Fixed &f) { return !f.ignored; });
    return static_cast<int>(fixed +
                            static_cast<std::ptrdiff_t>(m_together.size() + m_apart.size()));
}

QString DivisionWishes::nameOf(int pupil) const
{
    const QString name = m_names.value(pupil);
    return name.isEmpty() ? QStringLiteral("第%1行").arg(pupil + 1) : name;
}

QString DivisionWishes::namesOf(const std::vector<int> &members) const
{
    QStringList names;
    for (int m : members)
        names.append(nameOf(m));
    return names.join(u'、');
}

void DivisionWishes::apply(std::vector<BalanceRefinement::Pupil> &pupils,
                           const std::vector<std::pair<int, int>> &ranges)
{
    m_ranges = ranges;
    applyFixed(pupils, ranges.empty() ? 0 : ranges.back().second);
    applyTogether(pupils);
    applyApart(pupils);
}

int DivisionWishes::rangeOfPupil(const std::vector<BalanceRefinement::Pupil> &pupils,
                                 int pupil) const
{
    return rangeOf(m_ranges, pupils[static_cast<size_t>(pupil)].classNumber);
}

void DivisionWishes::applyFixed(std::vector<BalanceRefinement::Pupil> &pupils, int classes)
{
    for (Fixed &f : m_fixed) {
        if (!(f.value >= 1 && f.value <= classes && f.value == std::floor(f.value))) {
            m_problems.append(QStringLiteral("%1：指定班级“%2”不是1–%3班中的一个，未采用。")
                                  .arg(nameOf(f.pupil), f.text)
                                  .arg(classes));
            f.ignored = true;
            continue;
        }
        const int wanted = static_cast<int>(f.value);
        const int range = rangeOfPupil(pupils, f.pupil);
        if (rangeOf(m_ranges, wanted) != range) {
            const auto [lo, hi] = m_ranges[static_cast<size_t>(range)];
            m_problems.append(QStringLiteral("%1：指定的%2班不在其所在层的%3–%4班中，无法满足。")
                                  .arg(nameOf(f.pupil))
                                  .arg(wanted)
                                  .arg(lo)
                                  .arg(hi));
            f.named = true;
            continue;
        }
        pupils[static_cast<size_t>(f.pupil)].fixedClass = wanted;
    }
}

void DivisionWishes::applyTogether(std::vector<BalanceRefinement::Pupil> &pupils)
{
    for (size_t g = 0; g < m_together.size(); ++g) {
        Group &group = m_together[g];
        std::set<int> layers;
        std::set<int> wanted;
        for (int m : group.members) {
            layers.insert(rangeOfPupil(pupils, m));
            if (const int c = pupils[static_cast<size_t>(m)].fixedClass; c > 0)
                wanted.insert(c);
        }
        if (layers.size() > 1) {
            m_problems.append(QStringLiteral("同班“%1”：%2不在同一层，无法同班。")
                                  .arg(group.code, namesOf(group.members)));
            group.named = true;
            continue;
        }
        if (wanted.size() > 1) {
            m_problems.append(
                QStringLiteral("同班“%1”：%2指定的班级不同，互相矛盾，按第一个指定的班级安排。")
                    .arg(group.code, namesOf(group.members)));
            group.named = true;
            for (Fixed &f : m_fixed) {
                if (std::find(group.members.begin(), group.members.end(), f.pupil) !=
                    group.members.end())
                    f.named = true;
            }
        }
        for (int m : group.members)
            pupils[static_cast<size_t>(m)].together = static_cast<int>(g);
    }
}

void DivisionWishes::applyApart(std::vector<BalanceRefinement::Pupil> &pupils)
{
    for (size_t g = 0; g < m_apart.size(); ++g) {
        Group &group = m_apart[g];
        for (int m : group.members)
            pupils[static_cast<size_t>(m)].apart = static_cast<int>(g);
        // Two of the group that must also share a class.
        std::map<int, std::vector<int>> byTogether;
        for (int m : group.members) {
            if (const int t = pupils[static_cast<size_t>(m)].together; t >= 0)
                byTogether[t].push_back(m);
        }
        for (const auto &[t, members] : byTogether) {
            if (members.size() < 2)
                continue;
            m_problems.append(
                QStringLiteral("%1既要同班（“%2”）又要分开（“%3”），互相矛盾，按同班安排。")
                    .arg(namesOf(members), m_together[static_cast<size_t>(t)].code, group.code));
            group.named = true;
        }
    }
}

bool DivisionWishes::spread(const Group &group, const std::vector<int> &classes) const
{
    // Per block of classes: at most ⌈k/N⌉ of the group's k members in it in any one class.
    for (const auto &[lo, hi] : m_ranges) {
        std::map<int, int> perClass;
        int inRange = 0;
        for (int m : group.members) {
            const int c = classes[static_cast<size_t>(m)];
            if (c >= lo && c <= hi) {
                ++perClass[c];
                ++inRange;
            }
        }
        const int n = hi - lo + 1;
        const int cap = (inRange + n - 1) / n;
        for (const auto &[c, count] : perClass) {
            if (count > cap)
                return false;
        }
    }
    return true;
}

bool DivisionWishes::together(const Group &group, const std::vector<int> &classes)
{
    const int first = classes[static_cast<size_t>(group.members.front())];
    return std::all_of(group.members.begin(), group.members.end(),
                       [&](int m) { return classes[static_cast<size_t>(m)] == first; });
}

int DivisionWishes::met(const std::vector<int> &classes) const
{
    int met = 0;
    for (const Fixed &f : m_fixed)
        met += !f.ignored && classes[static_cast<size_t>(f.pupil)] == f.value ? 1 : 0;
    for (const Group &g : m_together)
        met += together(g, classes) ? 1 : 0;
    for (const Group &g : m_apart)
        met += spread(g, classes) ? 1 : 0;
    return met;
}

QStringList DivisionWishes::unmet(const std::vector<int> &classes) const
{
    QStringList out;
    for (const Fixed &f : m_fixed) {
        if (!f.ignored && !f.named && classes[static_cast<size_t>(f.pupil)] != f.value)
            out.append(QStringLiteral("%1：未能安排在指定的%2班。")
                           .arg(nameOf(f.pupil), NumberText::format(f.value)));
    }
    for (const Group &g : m_together) {
        if (!g.named && !together(g, classes))
            out.append(QStringLiteral("同班“%1”：%2未能同班。").arg(g.code, namesOf(g.members)));
    }
    for (const Group &g : m_apart) {
        if (!g.named && !spread(g, classes))
            out.append(QStringLiteral("分开“%1”：%2未能分开。").arg(g.code, namesOf(g.members)));
    }
    return out;
}

} // namespace fenpai
