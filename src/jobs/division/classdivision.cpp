#include "jobs/division/classdivision.h"

#include "jobs/division/balancerefinement.h"
#include "jobs/division/divisionwishes.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/largepagecache.h"
#include "db/lastrunsettings.h"
#include "db/runlog.h"
#include "db/savedqueries.h"
#include "db/sqldialect.h"
#include "db/transaction.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

namespace fenpai {

namespace {

enum Sex
{
    Boy,
    Girl,
    OtherSex, // neither '男' nor '女': dealt after the girls
};

struct Pupil
{
    qint64 rowid = 0;
    int sex = OtherSex;
    int school = 0; // index in the school list; the list's size for pupils without a school
    int classNumber = 0;
    bool scored = false;
    double score = 0;
};

const std::array<QString, 4> layerNames = {QStringLiteral("A层"), QStringLiteral("B层"),
                                           QStringLiteral("C层"), QStringLiteral("D层")};

[[nodiscard]] Status failed(const Status &status)
{
    return status.withContext(ClassDivision::failedMessage());
}

bool hasColumn(const QStringList &columns, const QString &name)
{
    return columns.contains(name, Qt::CaseInsensitive);
}

// The serpentine walk over [lo, hi]: forward to hi, twice hi, back to lo, twice lo, …
class Cursor
{
public:
    Cursor(int offset, int lo, int hi)
        : m_at(lo - 1 + offset)
        , m_lo(lo)
        , m_hi(hi)
    {}

    int next()
    {
        if (m_forward) {
            m_at = std::min(m_at + 1, m_hi);
            const int at = m_at;
            if (at == m_hi) {
                m_at = m_hi + 1;
                m_forward = false;
            }
            return at;
        }
        const int at = --m_at;
        if (at == m_lo) {
            m_at = m_lo - 1;
            m_forward = true;
        }
        return at;
    }

private:
    int m_at;
    int m_lo;
    int m_hi;
    bool m_forward = true;
};

void dealGroup(std::vector<Pupil> &pupils, const int *group, size_t count, int offset, int lo,
               int hi)
{
    Cursor cursor(offset, lo, hi);
    for (size_t i = 0; i < count; ++i)
        pupils[static_cast<size_t>(group[i])].classNumber = cursor.next();
}

// One balanced division of `source` (pupil indices, best first) over [lo, hi]. The whole table
// and a layer differ only in where the fixed start offsets begin.
void divide(std::vector<Pupil> &pupils, const std::vector<int> &source, int lo, int hi,
            bool wholeTable, const DivisionSettings &settings, int schoolCount)
{
    if (!settings.balanceSex && !settings.balanceSchool) {
        // Offset 1: the best pupil goes to the second class.
        dealGroup(pupils, source.data(), source.size(), 1, lo, hi);
        return;
    }
    // Groups in dealing order, each keeping rank order (a stable counting sort by group).
    const int schoolGroups = settings.balanceSchool ? schoolCount + 1 : 1;
    const int groupCount = (settings.balanceSex ? 3 : 1) * schoolGroups;
    auto groupOf = [&](const Pupil &p) {
        const int sex = settings.balanceSex ? p.sex : 0;
        const int school = settings.balanceSchool ? p.school : 0;
        return sex * schoolGroups + school;
    };
    std::vector<int> starts(static_cast<size_t>(groupCount) + 1, 0);
    for (int i : source)
        ++starts[static_cast<size_t>(groupOf(pupils[static_cast<size_t>(i)])) + 1];
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<int> ordered(source.size());
    std::vector<int> fill(starts.begin(), starts.end() - 1);
    for (int i : source)
        ordered[static_cast<size_t>(
            fill[static_cast<size_t>(groupOf(pupils[static_cast<size_t>(i)]))]++)] = i;

    const int classes = hi - lo + 1;
    int offset = 0;
    for (int g = 0; g < groupCount; ++g) {
        const size_t begin = static_cast<size_t>(starts[static_cast<size_t>(g)]);
        const size_t end = static_cast<size_t>(starts[static_cast<size_t>(g) + 1]);
        if (begin == end)
            continue; // an empty group is skipped and does not move the offset
        if (!settings.balanceSchool) {
            // Boys, girls, the rest: fixed offsets, one further inside a layer.
            dealGroup(pupils, ordered.data() + begin, end - begin, g + (wholeTable ? 0 : 1), lo,
                      hi);
            continue;
        }
        dealGroup(pupils, ordered.data() + begin, end - begin, offset, lo, hi);
        // The running school offset restarts at 1, not 0, once it reaches the class count.
        if (++offset == classes)
            offset = 1;
    }
}

// A score as SQLite orders it: null below numbers, numbers below texts, texts below blobs;
// texts and blobs byte by byte (they are rare and kept aside).
struct Score
{
    enum Kind
    {
        Null,
        Number,
        Text,
        Blob
    };
    int kind = Null;
    int pupil = 0; // index in table order, which breaks ties
    int bytes = 0; // texts and blobs: index of their bytes
    double number = 0;
};

struct Table
{
    QString rowid;             // how the table's rows are addressed
    std::vector<Pupil> pupils; // in table order
    std::vector<int> ranking;  // pupil indices, best first, table order among equals
    int schoolCount = 0;
    QStringList schoolNames; // by school number
    int withSchool = 0;      // pupils whose 原学校 is not null, as Count(原学校) counts them
};

// Reading in table order needs no sorter in the database; the ranking is then ORDER BY 成绩 DESC
// with the table order breaking ties, done in memory.
std::vector<int> rank(std::vector<Score> &scores, const std::vector<QByteArray> &bytes)
{
    std::sort(scores.begin(), scores.end(), [&](const Score &a, const Score &b) {
        if (a.kind != b.kind)
            return a.kind > b.kind;
        if (a.kind == Score::Number && a.number != b.number)
            return a.number > b.number;
        if (a.kind >= Score::Text) {
            const QByteArray &x = bytes[static_cast<size_t>(a.bytes)];
            const QByteArray &y = bytes[static_cast<size_t>(b.bytes)];
            if (x != y)
                return x > y;
        }
        return a.pupil < b.pupil;
    });
    std::vector<int> order;
    order.reserve(scores.size());
    for (const Score &s : scores)
        order.push_back(s.pupil);
    return order;
}

// The name the table's rows are addressed by: the first of SQLite's names no column has taken.
QString rowidName(const QStringList &columns)
{
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        if (!hasColumn(columns, QLatin1String(candidate)))
            return QLatin1String(candidate);
    }
    return QString();
}

QString pupilsQuery(const QString &rowid, bool hasSex, bool hasSchool)
{
    QString sql = QStringLiteral("SELECT ") + rowid + QStringLiteral(", [成绩]");
    // The database compares the sex as the group statements do; 0, 1, 2 are Boy, Girl, OtherSex.
    if (hasSex)
        sql += QStringLiteral(", CASE WHEN [性别] = '男' THEN 0 WHEN [性别] = '女' THEN 1 "
                              "ELSE 2 END");
    if (hasSchool)
        sql += QStringLiteral(", [原学校]");
    return sql + QStringLiteral(" FROM ") + SqlDialect::quoteName(TableNames::divisionData) +
           QStringLiteral(" ORDER BY ") + rowid;
}

// A pupil's score as the ranking compares it. Integers are numbers too; texts and blobs are
// ranked by their bytes, kept aside in `bytes`.
Score readScore(const Statement &st, int pupil, std::vector<QByteArray> &bytes)
{
    Score score;
    score.pupil = pupil;
    if (st.isDouble(1)) {
        score.kind = Score::Number;
        score.number = st.toDouble(1);
    } else if (!st.isNull(1)) {
        const QVariant value = st.value(1);
        if (value.typeId() == QMetaType::LongLong) {
            score.kind = Score::Number;
            score.number = value.toDouble();
        } else {
            score.kind = value.typeId() == QMetaType::QString ? Score::Text : Score::Blob;
            score.bytes = static_cast<int>(bytes.size());
            bytes.push_back(score.kind == Score::Text ? value.toString().toUtf8()
                                                      : value.toByteArray());
        }
    }
    return score;
}

// Schools numbered in order of first appearance. Texts and numbers never compare equal in SQL;
// integers and reals of the same value do.
class SchoolNumbers final
{
public:
    explicit SchoolNumbers(Table &table)
        : m_table(table)
    {}

    // The number of a school that is not null; -1 for an empty text, which is no school.
    int number(const QVariant &school)
    {
        if (school.typeId() == QMetaType::QString) {
            const QString text = school.toString();
            return text.isEmpty() ? -1 : numberOf(m_texts, text, text);
        }
        if (school.typeId() == QMetaType::QByteArray)
            return numberOf(m_blobs, school.toByteArray(), QString::fromUtf8(school.toByteArray()));
        return numberOf(m_numbers, school.toDouble(), NumberText::format(school.toDouble()));
    }

private:
    template <typename Key>
    int numberOf(QHash<Key, int> &index, const Key &key, const QString &name)
    {
        auto it = index.constFind(key);
        if (it == index.constEnd()) {
            it = index.insert(key, m_table.schoolCount++);
            m_table.schoolNames.append(name);
        }
        return it.value();
    }

    Table &m_table;
    QHash<QString, int> m_texts;
    QHash<double, int> m_numbers;
    QHash<QByteArray, int> m_blobs;
};

[[nodiscard]] Result<Table> readPupils(Database &db, const QStringList &columns)
{
    const QString rowid = rowidName(columns);
    if (rowid.isEmpty())
        return failed(Status::error(Status::Kind::Other, QStringLiteral("无法识别各行")));
    const bool hasSex = hasColumn(columns, ColumnNames::sex);
    const bool hasSchool = hasColumn(columns, ColumnNames::sourceSchool);
    Result<Statement> st = db.prepareNative(pupilsQuery(rowid, hasSex, hasSchool));
    if (!st)
        return failed(st.status());

    const int sexColumn = hasSex ? 2 : -1;
    const int schoolColumn = hasSchool ? (hasSex ? 3 : 2) : -1;
    Table table;
    table.rowid = rowid;
    std::vector<Score> scores;
    std::vector<QByteArray> bytes; // the texts and blobs among the scores
    SchoolNumbers schools(table);
    for (;;) {
        const Statement::Step step = st->step();
        if (step == Statement::Step::Done)
            break;
        if (step == Statement::Step::Error)
            return failed(st->status());
        Pupil p;
        p.rowid = st->toInt64(0);
        const Score score = readScore(*st, static_cast<int>(table.pupils.size()), bytes);
        if (score.kind == Score::Number) {
            p.scored = true;
            p.score = score.number;
        }
        scores.push_back(score);
        if (sexColumn >= 0)
            p.sex = static_cast<int>(st->toInt64(sexColumn));
        p.school = -1; // no school: numbered after the list below
        if (schoolColumn >= 0 && !st->isNull(schoolColumn)) {
            ++table.withSchool;
            p.school = schools.number(st->value(schoolColumn));
        }
        table.pupils.push_back(p);
    }
    for (Pupil &p : table.pupils) {
        if (p.school < 0)
            p.school = table.schoolCount;
    }
    table.ranking = rank(scores, bytes);
    return table;
}

// Writes the classes inside the transaction the pupils were read in; the caller commits.
[[nodiscard]] Status write(Database &db, const QString &rowid, const std::vector<Pupil> &pupils,
                           const DivisionSettings &settings,
                           const ClassDivision::Progress &progress)
{
    const int total = static_cast<int>(pupils.size());
    const Status cancelled =
        Status::error(Status::Kind::Cancelled,
                      QStringLiteral("分班已取消，%1未作改动。").arg(ColumnNames::newClass));
    if (progress && !progress(0, total))
        return cancelled;

    if (settings.mode == DivisionSettings::Mode::Layered) {
        // The saved query NewQry2 follows the layers as they are dealt and is left on the last
        // one, which is where users look for the last layer.
        for (int k = 0; k < 4; ++k) {
            if (settings.layers[static_cast<size_t>(k)] <= 0)
                continue;
            const Status s =
                SavedQueries::replace(db, QStringLiteral("NewQry2"),
                                      QStringLiteral("select *  from 分班数据表 where 新分班=") +
                                          QString::number(1001 + k));
            if (!s.isOk())
                return failed(s);
        }
    }
    Result<Statement> update = db.prepareNative(
        QStringLiteral("UPDATE ") + SqlDialect::quoteName(TableNames::divisionData) +
        QStringLiteral(" SET [新分班] = ?1 WHERE ") + rowid + QStringLiteral(" = ?2"));
    if (!update)
        return failed(update.status());
    // In table order, so the pages are visited once each.
    for (int i = 0; i < total; ++i) {
        const Pupil &p = pupils[static_cast<size_t>(i)];
        update->bind(1, p.classNumber).bind(2, p.rowid);
        const Status s = update->exec();
        if (!s.isOk())
            return failed(s);
        update->reset();
        if (progress && (i + 1) % 4096 == 0 && !progress(i + 1, total))
            return cancelled;
    }
    if (progress && !progress(total, total))
        return cancelled;
    return Status::ok();
}

} // namespace

QString ClassDivision::failedMessage()
{
    return QStringLiteral("分班失败，%1未作改动：").arg(ColumnNames::newClass);
}

Result<int> ClassDivision::pupilTotal(Database &db)
{
    Result<QVariant> count = db.scalar(QStringLiteral("select Count([原学校]) from 分班数据表 "));
    if (!count)
        return count.status();
    return static_cast<int>(count->toLongLong());
}

namespace {

// The table and the columns a run with these settings reads.
[[nodiscard]] Status checkTable(Database &db, const DivisionSettings &settings,
                                const QStringList &columns)
{
    if (!db.hasTable(TableNames::divisionData))
        return Status::error(
            Status::Kind::MissingTable,
            QStringLiteral("找不到%1，请先导入新生分班数据。").arg(TableNames::divisionData));
    QStringList needed = {ColumnNames::score, ColumnNames::newClass};
    if (settings.balanceSex)
        needed.append(ColumnNames::sex);
    // A layer's size is reckoned from the 原学校 count.
    if (settings.balanceSchool || settings.mode == DivisionSettings::Mode::Layered)
        needed.append(ColumnNames::sourceSchool);
    for (const QString &column : needed) {
        if (!hasColumn(columns, column))
            return Status::error(Status::Kind::MissingColumn,
                                 QStringLiteral("%1中没有字段“%2”，无法分班。")
                                     .arg(TableNames::divisionData, column));
    }
    return Status::ok();
}

// Cuts the ranking into the layers and deals each into its own block of classes; `ranges`
// receives the blocks.
[[nodiscard]] Status dealLayers(Table &table, const DivisionSettings &settings,
                                std::vector<std::pair<int, int>> &ranges)
{
    const int classes = settings.classCount();
    // p = T / C rounded; the layers are cut at a·p, (a+b)·p, … with the counts as typed.
    const double perClass =
        NumberText::roundHalfEven(static_cast<double>(table.withSchool) / classes);
    std::array<double, 4> bounds{};
    int last = 0;
    double sum = 0;
    for (size_t k = 0; k < 4; ++k) {
        sum += settings.layers[k];
        bounds[k] = sum * perClass;
        if (settings.layers[k] > 0)
            last = static_cast<int>(k);
    }
    std::array<std::vector<int>, 4> members;
    for (size_t i = 0; i < table.ranking.size(); ++i) {
        const double rank = static_cast<double>(i);
        int layer = last; // ranked past every layer: the last layer that has classes
        for (int k = 0; k < 4; ++k) {
            if (rank < bounds[static_cast<size_t>(k)]) {
                layer = k;
                break;
            }
        }
        members[static_cast<size_t>(layer)].push_back(table.ranking[i]);
    }
    int hi = 0;
    for (size_t k = 0; k < 4; ++k) {
        if (settings.layers[k] <= 0)
            continue;
        if (members[k].empty())
            return Status::refused(QStringLiteral("%1有%2个班级，但按每班平均%3人分层后没有学生，"
                                                  "请调整各层的新分班级数。")
                                       .arg(layerNames[k])
                                       .arg(settings.layers[k])
                                       .arg(NumberText::format(perClass)));
        const int lo = hi + 1;
        hi += settings.layers[k];
        ranges.emplace_back(lo, hi);
        divide(table.pupils, members[k], lo, hi, false, settings, table.schoolCount);
    }
    return Status::ok();
}

std::vector<int> classesOf(const std::vector<Pupil> &pupils)
{
    std::vector<int> out;
    out.reserve(pupils.size());
    for (const Pupil &p : pupils)
        out.push_back(p.classNumber);
    return out;
}

DivisionSummary summarize(const Table &table, int classes,
                          const std::vector<std::pair<int, int>> &ranges)
{
    std::vector<DivisionSummary::Pupil> outcome;
    outcome.reserve(table.pupils.size());
    for (const Pupil &p : table.pupils)
        outcome.push_back({p.classNumber, p.sex == Boy, p.sex == Girl, p.scored, p.score,
                           p.school == table.schoolCount ? -1 : p.school});
    return DivisionSummary(classes, outcome, table.schoolNames, ranges);
}

// The refinement after the dealing, with the pupils' wishes; without it, the wishes found in
// the table are only counted and reported as unused.
WishOutcome refine(Table &table, DivisionWishes &wishes, const DivisionSettings &settings,
                   const std::vector<std::pair<int, int>> &ranges)
{
    WishOutcome wished;
    if (!settings.refine) {
        if (wishes.count() > 0) {
            // The dealing knows no wishes; an office that filled them in must hear they were
            // not used, not find out in September.
            wished.wishes = wishes.count();
            wished.notes.append(
                QStringLiteral("分班数据表中有%1条分班要求（指定班级、同班、分开），"
                               "只在勾选“分班后优化均衡”（命令行 --refine）时采用，"
                               "这次没有采用。")
                    .arg(wished.wishes));
        }
        return wished;
    }
    std::vector<Pupil> &pupils = table.pupils;
    std::vector<BalanceRefinement::Pupil> refined;
    refined.reserve(pupils.size());
    for (const Pupil &p : pupils)
        refined.push_back({p.classNumber, p.sex, p.school, p.scored, p.score});
    wishes.apply(refined, ranges);
    wished.metBefore = wishes.met(classesOf(pupils));
    BalanceRefinement::refine(refined, ranges, settings.balanceSex, settings.balanceSchool);
    for (size_t i = 0; i < pupils.size(); ++i)
        pupils[i].classNumber = refined[i].classNumber;
    wished.wishes = wishes.count();
    wished.met = wishes.met(classesOf(pupils));
    wished.notes = wishes.problems() + wishes.unmet(classesOf(pupils));
    return wished;
}

// Refuses a table without pupils, or with fewer pupils than classes.
[[nodiscard]] Status checkPupils(const Table &table, int classes)
{
    if (table.pupils.empty())
        return Status::refused(
            QStringLiteral("%1中没有学生，无法分班。").arg(TableNames::divisionData));
    if (classes > static_cast<int>(table.pupils.size()))
        return Status::refused(
            QStringLiteral("新分班级数不能超过学生人数(%1)").arg(table.pupils.size()));
    return Status::ok();
}

// Deals the ranking over all the classes, or layer by layer; `ranges` receives the blocks of
// classes.
[[nodiscard]] Status deal(Table &table, const DivisionSettings &settings,
                          std::vector<std::pair<int, int>> &ranges)
{
    if (settings.mode != DivisionSettings::Mode::Balanced)
        return dealLayers(table, settings, ranges);
    const int classes = settings.classCount();
    ranges.emplace_back(1, classes);
    divide(table.pupils, table.ranking, 1, classes, true, settings, table.schoolCount);
    return Status::ok();
}

// Writes the classes and records the run, inside the run's transaction; the caller commits.
[[nodiscard]] Status writeRun(Database &db, const Table &table, const DivisionSettings &settings,
                              const ClassDivision::Progress &progress)
{
    Status s = write(db, table.rowid, table.pupils, settings, progress);
    // Late pupils are later placed the way this run divided.
    if (s.isOk())
        s = LastRunSettings::write(db, LastRunSettings::divisionJob(), settings.stored())
                .withContext(ClassDivision::failedMessage());
    if (s.isOk())
        s = RunLog::record(db, RunLog::division(), QString(), settings.describe())
                .withContext(ClassDivision::failedMessage());
    return s;
}

} // namespace

Result<DivisionSummary> ClassDivision::run(Database &db, const DivisionSettings &settings,
                                           const Progress &progress)
{
    // The dialog and the command line parse what was typed; anything else is a caller's fault.
    Q_ASSERT(settings.check().isOk());
    if (Status s = settings.check(); !s.isOk())
        return s;
    const QStringList columns = db.columns(TableNames::divisionData);
    if (Status s = checkTable(db, settings, columns); !s.isOk())
        return s;

    // Every page of the table changes: room for all of them in this connection's cache spares
    // the spills that would write (and sync) half-done work to the file mid-transaction. The
    // connection gets its own size back afterwards.
    const LargePageCache cache(db);
    // The pupils are read inside the write transaction, so no other connection can replace the
    // rows between the reading and the writing of their classes.
    Transaction tx(db);
    if (!tx.status().isOk())
        return failed(tx.status());
    Result<Table> read = readPupils(db, columns);
    if (!read)
        return read.status();
    Table &table = *read;
    const int classes = settings.classCount();
    if (Status s = checkPupils(table, classes); !s.isOk())
        return s;
    std::vector<std::pair<int, int>> ranges;
    if (Status s = deal(table, settings, ranges); !s.isOk())
        return s;

    Result<DivisionWishes> wishes = DivisionWishes::read(db, columns, table.rowid);
    if (!wishes)
        return failed(wishes.status());
    const DivisionSummary dealt =
        settings.refine ? summarize(table, classes, ranges) : DivisionSummary();
    const WishOutcome wished = refine(table, *wishes, settings, ranges);

    Status s = writeRun(db, table, settings, progress);
    if (s.isOk())
        s = tx.commit().withContext(failedMessage());
    if (!s.isOk())
        return s;
    DivisionSummary result = summarize(table, classes, ranges);
    if (settings.refine)
        result.setDealt(dealt);
    result.setWishes(wished);
    return result;
}

} // namespace fenpai
