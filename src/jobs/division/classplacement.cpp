#include "jobs/division/classplacement.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/lastrunsettings.h"
#include "db/runlog.h"
#include "db/sqldialect.h"
#include "db/transaction.h"
#include "jobs/division/divisionsettings.h"
#include "jobs/division/divisionwishes.h"
#include "jobs/documents/changelist.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace fenpai {

namespace {

struct Row
{
    qint64 rowid = 0;
    QString name;
    QString sexText;
    int sex = 2; // 0 男, 1 女, 2 neither
    QVariant score;
    bool scored = false;
    double value = 0;
    QString school;
    int schoolNumber = -1; // -1: no school
    int home = 0;          // the class it has; 0 for none
};

struct Table
{
    QString rowid;
    std::vector<Row> rows; // table order
    QStringList schoolNames;
};

bool hasColumn(const QStringList &columns, const QString &name)
{
    return columns.contains(name, Qt::CaseInsensitive);
}

// A class number as 新分班 holds it: a whole number 1..maxClasses; 0 for anything else (empty,
// 0, a text that is no number), which is a pupil still to place.
int classOf(const QVariant &value)
{
    double n = 0;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong)
        n = value.toDouble();
    else if (const QString text = value.toString().trimmed(); NumberText::isNumber(text))
        n = NumberText::leadingValue(text);
    if (!(n >= 1 && n <= DivisionSettings::maxClasses) || n != std::floor(n))
        return 0;
    return static_cast<int>(n);
}

[[nodiscard]] Status failed(const Status &status)
{
    return status.withContext(ClassPlacement::failedMessage());
}

[[nodiscard]] Status checkTable(Database &db, const QStringList &columns)
{
    if (!db.hasTable(TableNames::divisionData))
        return Status::error(
            Status::Kind::MissingTable,
            QStringLiteral("找不到%1，请先导入新生分班数据。").arg(TableNames::divisionData));
    for (const QString &column : {ColumnNames::score, ColumnNames::newClass}) {
        if (!hasColumn(columns, column))
            return Status::error(Status::Kind::MissingColumn,
                                 QStringLiteral("%1中没有字段“%2”，无法安置新增学生。")
                                     .arg(TableNames::divisionData, column));
    }
    return Status::ok();
}

QString rowidName(const QStringList &columns)
{
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        if (!hasColumn(columns, QLatin1String(candidate)))
            return QLatin1String(candidate);
    }
    return {};
}

[[nodiscard]] Result<Table> readTable(Database &db, const QStringList &columns)
{
    Table table;
    table.rowid = rowidName(columns);
    if (table.rowid.isEmpty())
        return Status::error(Status::Kind::Other, QStringLiteral("无法识别各行"));
    auto column = [&](const QString &name) {
        return hasColumn(columns, name) ? SqlDialect::quoteName(name) : QStringLiteral("NULL");
    };
    Result<Statement> st = db.prepareNative(
        QStringLiteral("SELECT %1, %2, %3, [成绩], %4, [新分班] FROM %5 ORDER BY %1")
            .arg(table.rowid, column(ColumnNames::name), column(ColumnNames::sex),
                 column(ColumnNames::sourceSchool),
                 SqlDialect::quoteName(TableNames::divisionData)));
    if (!st)
        return st.status();
    QHash<QString, int> schools;
    for (;;) {
        const Statement::Step step = st->step();
        if (step == Statement::Step::Done)
            break;
        if (step == Statement::Step::Error)
            return st->status();
        Row r;
        r.rowid = st->toInt64(0);
        r.name = NumberText::display(st->value(1));
        r.sexText = st->isNull(2) ? QString() : st->toText(2);
        r.sex = r.sexText == QStringLiteral("男") ? 0 : r.sexText == QStringLiteral("女") ? 1 : 2;
        r.score = st->value(3);
        const QMetaType::Type type = static_cast<QMetaType::Type>(r.score.typeId());
        r.scored = type == QMetaType::Double || type == QMetaType::LongLong;
        r.value = r.scored ? r.score.toDouble() : 0.0;
        r.school = NumberText::display(st->value(4));
        if (!r.school.isEmpty()) {
            auto it = schools.constFind(r.school);
            if (it == schools.constEnd()) {
                it = schools.insert(r.school, static_cast<int>(table.schoolNames.size()));
                table.schoolNames.append(r.school);
            }
            r.schoolNumber = it.value();
        }
        r.home = classOf(st->value(5));
        table.rows.push_back(std::move(r));
    }
    return table;
}

// The blocks of classes and the options the placement follows.
struct Plan
{
    std::vector<std::pair<int, int>> ranges;
    int classes = 0;
    bool layered = false;
    bool sex = false;
    bool school = false;
    bool known = false;
};

[[nodiscard]] Result<Plan> planFor(Database &db, const Table &table,
                                   const PlacementSettings &settings)
{
    Result<LastRunSettings::Values> values =
        LastRunSettings::read(db, LastRunSettings::divisionJob());
    if (!values)
        return values.status();
    std::set<int> present;
    for (const Row &r : table.rows) {
        if (r.home > 0)
            present.insert(r.home);
    }
    if (present.empty())
        return Status::refused(
            QStringLiteral("%1中还没有分好班的学生，请先分班。").arg(TableNames::divisionData));
    const int highest = *present.rbegin();
    Plan plan;
    if (!values->isEmpty()) {
        const Result<DivisionSettings> last = DivisionSettings::fromStored(*values);
        if (!last)
            return Status::refused(last.status().message() + QStringLiteral("请重新分班。"));
        plan.known = true;
        plan.classes = last->classCount();
        plan.sex = last->balanceSex;
        plan.school = last->balanceSchool;
        if (highest > plan.classes)
            return Status::refused(QStringLiteral("%1中有第%2班，但上次分班只分了%3个班，"
                                                  "无法接着安置，请重新分班。")
                                       .arg(ColumnNames::newClass)
                                       .arg(highest)
                                       .arg(plan.classes));
        plan.layered = last->mode == DivisionSettings::Mode::Layered;
        if (plan.layered) {
            int hi = 0;
            for (int n : last->layers) {
                if (n > 0)
                    plan.ranges.emplace_back(hi + 1, hi + n);
                hi += n;
            }
        }
    } else {
        // Without the last run's settings the classes are those the table shows, numbered
        // without gaps; a gap says the numbers are not those of one division.
        plan.classes = highest;
        if (static_cast<int>(present.size()) != highest)
            return Status::refused(
                QStringLiteral("%1中的班号不连续（最大是%2班，但只有%3个班有学生），"
                               "不知道该分到哪些班，请重新分班。")
                    .arg(ColumnNames::newClass)
                    .arg(highest)
                    .arg(present.size()));
    }
    if (plan.ranges.empty())
        plan.ranges.emplace_back(1, plan.classes);
    plan.sex = settings.balanceSex.value_or(plan.sex);
    plan.school = settings.balanceSchool.value_or(plan.school);
    return plan;
}

// The block a late pupil joins: the first layer whose weakest placed pupil he reaches; the last
// layer that has pupils when he reaches none or has no score.
int blockOf(const Row &late, const std::vector<std::pair<int, int>> &ranges,
            const std::vector<double> &lowest, const std::vector<int> &members)
{
    int last = 0;
    for (size_t r = 0; r < ranges.size(); ++r) {
        if (members[r] == 0)
            continue;
        last = static_cast<int>(r);
        if (late.scored && !std::isnan(lowest[r]) && late.value >= lowest[r])
            return last;
    }
    return last;
}

int rangeOf(const std::vector<std::pair<int, int>> &ranges, int classNumber)
{
    for (size_t r = 0; r < ranges.size(); ++r) {
        if (classNumber >= ranges[r].first && classNumber <= ranges[r].second)
            return static_cast<int>(r);
    }
    return -1;
}

// Every pupil as the search takes him, late pupils in the first class of their block.
std::vector<BalanceRefinement::Pupil> searchPupils(const Table &table, const Plan &plan)
{
    const size_t blocks = plan.ranges.size();
    std::vector<double> lowest(blocks, std::numeric_limits<double>::quiet_NaN());
    std::vector<int> members(blocks, 0);
    for (const Row &r : table.rows) {
        const int block = rangeOf(plan.ranges, r.home);
        if (block < 0)
            continue;
        ++members[static_cast<size_t>(block)];
        double &low = lowest[static_cast<size_t>(block)];
        if (r.scored && (std::isnan(low) || r.value < low))
            low = r.value;
    }
    std::vector<BalanceRefinement::Pupil> pupils;
    pupils.reserve(table.rows.size());
    const int noSchool = static_cast<int>(table.schoolNames.size());
    for (const Row &r : table.rows) {
        BalanceRefinement::Pupil p;
        p.classNumber =
            r.home > 0
                ? r.home
                : plan.ranges[static_cast<size_t>(blockOf(r, plan.ranges, lowest, members))].first;
        p.sex = r.sex;
        p.school = r.schoolNumber >= 0 ? r.schoolNumber : noSchool;
        p.scored = r.scored;
        p.score = r.value;
        pupils.push_back(p);
    }
    return pupils;
}

DivisionSummary summarize(const Table &table, const std::vector<int> &classes, const Plan &plan)
{
    std::vector<DivisionSummary::Pupil> pupils;
    pupils.reserve(table.rows.size());
    for (size_t i = 0; i < table.rows.size(); ++i) {
        const Row &r = table.rows[i];
        pupils.push_back({classes[i], r.sex == 0, r.sex == 1, r.scored, r.value, r.schoolNumber});
    }
    return DivisionSummary(plan.classes, pupils, table.schoolNames,
                           plan.layered ? plan.ranges : std::vector<std::pair<int, int>>{});
}

[[nodiscard]] Status write(Database &db, const Table &table, const std::vector<int> &classes)
{
    Result<Statement> update =
        db.prepareNative(QStringLiteral("UPDATE %1 SET [新分班] = ?1 WHERE %2 = ?2")
                             .arg(SqlDialect::quoteName(TableNames::divisionData), table.rowid));
    if (!update)
        return update.status();
    for (size_t i = 0; i < table.rows.size(); ++i) {
        if (classes[i] == table.rows[i].home)
            continue;
        update->bind(1, classes[i]).bind(2, table.rows[i].rowid);
        if (Status s = update->exec(); !s.isOk())
            return s;
        update->reset();
    }
    return Status::ok();
}

} // namespace

Result<int> PlacementSettings::parseMaxMoves(const QString &text)
{
    const QString trimmed = text.trimmed();
    const double n = NumberText::isNumber(trimmed) ? NumberText::leadingValue(trimmed) : -1;
    if (!(n >= 0) || n != std::floor(n))
        return Status::refused(QStringLiteral("允许调动的人数必须是不小于0的整数。"));
    if (n > maxMovesLimit)
        return Status::refused(QStringLiteral("允许调动的人数不能超过%1。").arg(maxMovesLimit));
    return static_cast<int>(n);
}

QString PlacementOutcome::text() const
{
    return QStringLiteral("安置新增学生%1人，调动已分班学生%2人（最多允许%3人）")
        .arg(placed.size())
        .arg(moved.size())
        .arg(maxMoves);
}

QString ClassPlacement::failedMessage()
{
    return QStringLiteral("安置新增学生失败，%1未作改动：").arg(ColumnNames::newClass);
}

Result<int> ClassPlacement::latePupilCount(Database &db)
{
    const QStringList columns = db.columns(TableNames::divisionData);
    if (Status s = checkTable(db, columns); !s.isOk())
        return s;
    Result<Table> table = readTable(db, columns);
    if (!table)
        return table.status();
    return static_cast<int>(std::count_if(table->rows.begin(), table->rows.end(),
                                          [](const Row &r) { return r.home == 0; }));
}

Result<PlacementOutcome> ClassPlacement::run(Database &db, const PlacementSettings &settings)
{
    return run(db, settings, PlacementSearch::Limits());
}

Result<PlacementOutcome> ClassPlacement::run(Database &db, const PlacementSettings &settings,
                                             const PlacementSearch::Limits &limits)
{
    Q_ASSERT(settings.maxMoves >= 0);
    const QStringList columns = db.columns(TableNames::divisionData);
    if (Status s = checkTable(db, columns); !s.isOk())
        return s;
    // Read and written in one transaction: nobody changes the rows in between.
    Transaction tx(db);
    if (!tx.status().isOk())
        return failed(tx.status());
    Result<Table> read = readTable(db, columns);
    if (!read)
        return failed(read.status());
    const Table &table = *read;
    Result<Plan> planned = planFor(db, table, settings);
    if (!planned)
        return planned.status().isRefused() ? planned.status() : failed(planned.status());
    const Plan &plan = *planned;

    std::vector<BalanceRefinement::Pupil> pupils = searchPupils(table, plan);
    std::vector<int> home;
    home.reserve(table.rows.size());
    for (const Row &r : table.rows)
        home.push_back(r.home);
    Result<DivisionWishes> wishes = DivisionWishes::read(db, columns, table.rowid);
    if (!wishes)
        return failed(wishes.status());
    wishes->apply(pupils, plan.ranges);
    PlacementSearch::place(pupils, home, plan.ranges, plan.sex, plan.school, settings.maxMoves,
                           limits);

    std::vector<int> classes;
    classes.reserve(pupils.size());
    for (const BalanceRefinement::Pupil &p : pupils)
        classes.push_back(p.classNumber);
    if (Status s = write(db, table, classes); !s.isOk())
        return failed(s);
    const QString moves = QStringLiteral("最多调动 %1 名已分班的学生").arg(settings.maxMoves);
    if (Status s = RunLog::record(db, RunLog::pupilPlacement(), QString(), moves); !s.isOk())
        return failed(s);
    if (Status s = tx.commit(); !s.isOk())
        return failed(s);

    PlacementOutcome outcome;
    outcome.maxMoves = settings.maxMoves;
    outcome.classCount = plan.classes;
    outcome.layered = plan.layered;
    outcome.balanceSex = plan.sex;
    outcome.balanceSchool = plan.school;
    outcome.lastRunKnown = plan.known;
    for (size_t i = 0; i < table.rows.size(); ++i) {
        const Row &r = table.rows[i];
        if (classes[i] == r.home)
            continue;
        ClassChange change{r.rowid, r.name, r.sexText, r.score, r.school, r.home, classes[i]};
        (r.home == 0 ? outcome.placed : outcome.moved).push_back(std::move(change));
    }
    outcome.before = summarize(table, home, plan);
    outcome.after = summarize(table, classes, plan);
    outcome.notes = wishes->problems() + wishes->unmet(classes);
    return outcome;
}

QStringList ClassPlacement::listHeaders()
{
    return {ColumnNames::name,         ColumnNames::sex,         ColumnNames::score,
            ColumnNames::sourceSchool, QStringLiteral("调整前"), QStringLiteral("调整后"),
            QStringLiteral("说明")};
}

QStringList ClassPlacement::listRow(const ClassChange &change)
{
    return {change.name,
            change.sex,
            NumberText::display(change.score),
            change.school,
            change.from > 0 ? QString::number(change.from) : QString(),
            QString::number(change.to),
            change.from > 0 ? QStringLiteral("调班") : QStringLiteral("新增学生")};
}

ReportDocument ClassPlacement::fillList(Grid &grid, const PlacementOutcome &outcome,
                                        const ReportFormat::Subtitle &subtitle)
{
    std::vector<QStringList> rows;
    for (const std::vector<ClassChange> *changes : {&outcome.placed, &outcome.moved}) {
        for (const ClassChange &change : *changes)
            rows.push_back(listRow(change));
    }
    return ChangeList::fill(grid, listTitle(), listHeaders(), rows, subtitle);
}

} // namespace fenpai
