#include "examineetable.h"

#include "data/database.h"
#include "data/sqldialect.h"

#include <QHash>

namespace fenpai {

namespace {

// Joined as text, a null gives way to the other part and two nulls stay null, which is not empty.
bool joinsToEmpty(const CellValue &a, const CellValue &b)
{
    if (a.isNull() && b.isNull())
        return false;
    return (a.isNull() || a.isEmptyText()) && (b.isNull() || b.isEmptyText());
}

} // namespace

Result<ExamineeTable> ExamineeTable::load(Database &db)
{
    const QStringList columns = db.columns(QStringLiteral("考生表"));
    if (columns.size() < 2)
        return Status::error(Status::Kind::MissingColumn, QStringLiteral("考生表 的列太少。"));
    // The blank-row test looks at the first two columns in stored order, whatever they are.
    const QString sql =
        QStringLiteral("SELECT rowid, %1, %2, 学校, 班级, 成绩, 考场, 考号, 座位号 "
                       "FROM 考生表 ORDER BY rowid")
            .arg(SqlDialect::quoteName(columns[0]), SqlDialect::quoteName(columns[1]));
    Result<Statement> st = db.prepareNative(sql);
    if (!st)
        return st.status();

    ExamineeTable table;
    QHash<QByteArray, int> classIndex;
    QHash<QByteArray, int> schoolIndex;
    for (;;) {
        const Statement::Step step = st->step();
        if (step == Statement::Step::Done)
            break;
        if (step == Statement::Step::Error)
            return st->status();
        Examinee e;
        e.rowid = st->toInt64(0);
        e.blank = joinsToEmpty(CellValue::fromVariant(st->value(1)),
                               CellValue::fromVariant(st->value(2)));
        const CellValue school = CellValue::fromVariant(st->value(3));
        const CellValue className = CellValue::fromVariant(st->value(4));
        const QByteArray schoolKey = school.groupKey();
        QByteArray classKey = schoolKey;
        classKey.prepend(QByteArray::number(schoolKey.size()) + ':');
        classKey.append(className.groupKey());

        auto schoolIt = schoolIndex.constFind(schoolKey);
        if (schoolIt == schoolIndex.constEnd()) {
            schoolIt = schoolIndex.insert(schoolKey, static_cast<int>(table.m_schoolGroups.size()));
            table.m_schoolGroups.push_back({school.isNull(), school.isEmptyText(), false});
        }
        e.schoolGroup = *schoolIt;
        auto classIt = classIndex.constFind(classKey);
        if (classIt == classIndex.constEnd()) {
            classIt = classIndex.insert(classKey, static_cast<int>(table.m_classGroups.size()));
            table.m_classGroups.push_back({school.isNull() || className.isNull(),
                                           joinsToEmpty(school, className), className.isNull()});
        }
        e.classGroup = *classIt;

        e.score = CellValue::fromVariant(st->value(5));
        e.room = CellValue::fromVariant(st->value(6));
        e.number = CellValue::fromVariant(st->value(7));
        e.seat = CellValue::fromVariant(st->value(8));
        table.m_stored.push_back({e.room, e.number, e.seat});
        table.m_rows.push_back(std::move(e));
    }
    return table;
}

bool ExamineeTable::changed(size_t index) const
{
    const Examinee &e = m_rows[index];
    const std::array<CellValue, 3> &s = m_stored[index];
    return !(e.room == s[0]) || !(e.number == s[1]) || !(e.seat == s[2]);
}

int ExamineeTable::changedRowCount() const
{
    int count = 0;
    for (size_t i = 0; i < m_rows.size(); ++i)
        count += changed(i) ? 1 : 0;
    return count;
}

Status ExamineeTable::write(Database &db, const ArrangementProgress &progress) const
{
    const Status cancelled =
        Status::error(Status::Kind::Cancelled, QStringLiteral("编排已取消，考生表未改动。"));
    const int total = changedRowCount();
    if (progress && !progress(0, total))
        return cancelled;
    Result<Statement> update = db.prepareNative(
        QStringLiteral("UPDATE 考生表 SET 考场 = ?, 考号 = ?, 座位号 = ? WHERE rowid = ?"));
    if (!update)
        return update.status();
    int done = 0;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (!changed(i))
            continue;
        const Examinee &e = m_rows[i];
        update->bind(1, e.room.toVariant());
        update->bind(2, e.number.toVariant());
        update->bind(3, e.seat.toVariant());
        update->bind(4, QVariant(static_cast<qlonglong>(e.rowid)));
        const Status s = update->exec();
        if (!s.isOk())
            return s;
        update->reset();
        ++done;
        if (progress && done % 2048 == 0 && !progress(done, total))
            return cancelled;
    }
    if (progress && !progress(total, total))
        return cancelled;
    return Status::ok();
}

} // namespace fenpai
