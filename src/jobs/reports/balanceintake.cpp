#include "jobs/reports/balanceintake.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/lastrunsettings.h"
#include "db/sqldialect.h"
#include "jobs/division/divisionsettings.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <optional>

namespace fenpai {

namespace {

bool hasColumn(const QStringList &columns, const QString &name)
{
    return columns.contains(name, Qt::CaseInsensitive);
}

// A column that is missing reads as null.
QString columnOrNull(const QStringList &columns, const QString &name)
{
    return hasColumn(columns, name) ? SqlDialect::quoteName(name) : QStringLiteral("NULL");
}

// A class number 1..maxClasses, else 0 (not placed).
int classOf(const QVariant &value)
{
    bool ok = false;
    const double v = value.isNull() ? 0 : value.toDouble(&ok);
    if (!ok || v != std::floor(v) || v < 1 || v > DivisionSettings::maxClasses)
        return 0;
    return static_cast<int>(v);
}

// The pupil of the statement's row (class, score, sex, school), his school numbered in the
// order the schools are met: `schools` by kind and text, as a text and a number never match.
DivisionSummary::Pupil pupilOf(const Statement &st, QHash<QString, int> &schools,
                               QStringList &names)
{
    DivisionSummary::Pupil p;
    p.classNumber = classOf(st.value(0));
    const QVariant score = st.value(1);
    p.scored = score.typeId() == QMetaType::Double || score.typeId() == QMetaType::LongLong;
    p.score = p.scored ? score.toDouble() : 0;
    const QVariant sex = st.value(2);
    p.boy = sex.typeId() == QMetaType::QString && sex.toString() == QStringLiteral("男");
    p.girl = sex.typeId() == QMetaType::QString && sex.toString() == QStringLiteral("女");
    const QVariant school = st.value(3);
    const bool text = school.typeId() == QMetaType::QString;
    const QString name = text ? school.toString()
                         : school.typeId() == QMetaType::QByteArray
                             ? QString::fromUtf8(school.toByteArray())
                             : NumberText::format(school.toDouble());
    if (school.isNull() || name.isEmpty()) // an empty school is none
        return p;
    const QString key = (text ? u't' : u'n') + name;
    auto it = schools.constFind(key);
    if (it == schools.cend()) {
        it = schools.insert(key, static_cast<int>(names.size()));
        names.append(name);
    }
    p.school = it.value();
    return p;
}

// The blocks of the last full division, when its settings are kept and still hold every class
// of the table; none otherwise (a settings record that cannot be read only loses this help).
std::optional<std::vector<std::pair<int, int>>> storedLayers(Database &db, int highest,
                                                             int &classCount)
{
    const Result<LastRunSettings::Values> values =
        LastRunSettings::read(db, LastRunSettings::divisionJob());
    if (!values || values->isEmpty())
        return std::nullopt;
    const Result<DivisionSettings> last = DivisionSettings::fromStored(*values);
    if (!last || last->classCount() < highest)
        return std::nullopt;
    classCount = last->classCount();
    std::vector<std::pair<int, int>> blocks;
    if (last->mode == DivisionSettings::Mode::Balanced) {
        blocks.emplace_back(1, classCount);
        return blocks;
    }
    int hi = 0;
    for (int n : last->layers) {
        if (n > 0)
            blocks.emplace_back(hi + 1, hi + n);
        hi += n;
    }
    return blocks;
}

} // namespace

Result<BalanceIntake> BalanceIntake::read(Database &db)
{
    if (!db.hasTable(TableNames::divisionData))
        return Status::error(
            Status::Kind::MissingTable,
            QStringLiteral("找不到数据表 %1，请先导入分班数据。").arg(TableNames::divisionData));
    const QStringList columns = db.columns(TableNames::divisionData);
    if (!hasColumn(columns, ColumnNames::newClass))
        return Status::error(Status::Kind::MissingColumn,
                             QStringLiteral("%1中没有字段“%2”，请先分班。")
                                 .arg(TableNames::divisionData, ColumnNames::newClass));
    // Table order, so that the random divisions start from the same list every time.
    QString order;
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        if (!hasColumn(columns, QLatin1String(candidate))) {
            order = QStringLiteral(" ORDER BY ") + QLatin1String(candidate);
            break;
        }
    }
    Result<Statement> st = db.prepareNative(
        QStringLiteral("SELECT %1, %2, %3, %4 FROM %5%6")
            .arg(SqlDialect::quoteName(ColumnNames::newClass),
                 columnOrNull(columns, ColumnNames::score), columnOrNull(columns, ColumnNames::sex),
                 columnOrNull(columns, ColumnNames::sourceSchool),
                 SqlDialect::quoteName(TableNames::divisionData), order));
    if (!st)
        return st.status();

    BalanceIntake intake;
    QHash<QString, int> schools;
    for (;;) {
        const Statement::Step step = st->step();
        if (step == Statement::Step::Done)
            break;
        if (step == Statement::Step::Error)
            return st->status();
        const DivisionSummary::Pupil p = pupilOf(*st, schools, intake.m_schoolNames);
        intake.m_classCount = std::max(intake.m_classCount, p.classNumber);
        intake.m_unplaced += p.classNumber == 0 ? 1 : 0;
        intake.m_pupils.push_back(p);
    }
    if (intake.m_classCount == 0)
        return Status::refused(QStringLiteral("还没有学生分到新班级，请先分班。"));
    if (std::optional<std::vector<std::pair<int, int>>> stored =
            storedLayers(db, intake.m_classCount, intake.m_classCount)) {
        intake.m_layers = std::move(*stored);
        intake.m_layersStored = true;
        return intake;
    }
    const DivisionSummary summary(intake.m_classCount, intake.m_pupils);
    intake.m_layers = layersOf(summary.classes());
    return intake;
}

std::vector<std::pair<int, int>> BalanceIntake::layersOf(const std::vector<ClassBalance> &classes)
{
    const size_t n = classes.size();
    std::vector<std::pair<int, int>> whole = {{1, static_cast<int>(n)}};
    // Lowest score from the first class to each class, highest from each class to the last.
    std::vector<double> lowest(n), highest(n), top(n), bottom(n);
    std::vector<bool> scoredBefore(n), scoredAfter(n);
    for (size_t i = 0; i < n; ++i) {
        const ClassBalance &c = classes[i];
        const bool before = i > 0 && scoredBefore[i - 1];
        scoredBefore[i] = before || c.scored > 0;
        lowest[i] =
            before ? (c.scored > 0 ? std::min(lowest[i - 1], c.lowest) : lowest[i - 1]) : c.lowest;
        top[i] = before ? (c.scored > 0 ? std::max(top[i - 1], c.highest) : top[i - 1]) : c.highest;
    }
    for (size_t i = n; i-- > 0;) {
        const ClassBalance &c = classes[i];
        const bool after = i + 1 < n && scoredAfter[i + 1];
        scoredAfter[i] = after || c.scored > 0;
        highest[i] = after ? (c.scored > 0 ? std::max(highest[i + 1], c.highest) : highest[i + 1])
                           : c.highest;
        bottom[i] =
            after ? (c.scored > 0 ? std::min(bottom[i + 1], c.lowest) : bottom[i + 1]) : c.lowest;
    }
    // A cut before class i + 1 (which has scores): everything above at or over everything
    // below, and not all of it one score.
    std::vector<std::pair<int, int>> layers;
    int lo = 1;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (!scoredBefore[i] || classes[i + 1].scored == 0)
            continue;
        if (lowest[i] >= highest[i + 1] && top[i] > bottom[i + 1]) {
            layers.emplace_back(lo, static_cast<int>(i) + 1);
            lo = static_cast<int>(i) + 2;
        }
    }
    layers.emplace_back(lo, static_cast<int>(n));
    return layers.size() > 4 ? whole : layers;
}

} // namespace fenpai
