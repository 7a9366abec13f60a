#include "jobs/arrangement/examswap.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/savedqueries.h"
#include "db/transaction.h"
#include "grid/grid.h"
#include "jobs/documents/documentfill.h"

#include <QVariant>

namespace fenpai {

QString ExamSwap::noPickMessage()
{
    return QStringLiteral("在两个考场中各选一个考生，再对调");
}

QString ExamSwap::stalePickMessage()
{
    return QStringLiteral(
        "所选考生已不在所选考场中（考场或考号已改变），没有对调。请重新选择考生。");
}

Result<QStringList> ExamSwap::rooms(Database &db)
{
    Result<Query> q = db.query(QStringLiteral("select distinct 考场  from 考生表 ORDER BY 考场"));
    if (!q)
        return q.status();
    QStringList out;
    for (; !q->atEnd(); q->next()) {
        if (!q->value(0).isNull())
            out.append(NumberText::display(q->value(0)));
    }
    return out;
}

Status ExamSwap::fillRoom(Database &db, Grid &grid, const QString &queryName, qint64 room)
{
    const QString sql = QStringLiteral("select 学校,班级,姓名,考场,考号,座位号,性别 from 考生表 "
                                       "where 考场=%1 ORDER BY 考号")
                            .arg(room);
    if (Status s = SavedQueries::replace(db, queryName, sql); !s.isOk())
        return s;
    grid.reset();
    DocumentFill::Outcome filled = DocumentFill::fill(grid, db, queryName, QString());
    if (!filled.status.isOk())
        return filled.status;
    // Exam numbers are identifiers: shown in full. The picker only shows the room: a typed-over
    // exam number would pick somebody else.
    grid.setColumnMask(5, GridMask::None);
    grid.applyStyle(GridArea{0, 0, grid.rows() - 1, grid.cols() - 1},
                    [](CellStyle &style) { style.locked = true; });
    return Status::ok();
}

Status ExamSwap::swap(Database &db, const Pick &left, const Pick &right)
{
    if (left.examNumber == 0 || right.examNumber == 0)
        return Status::refused(noPickMessage());
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();

    // A paper version belongs to the desk, so it changes hands with the seat.
    const bool versions =
        db.columns(TableNames::examinees).contains(ColumnNames::paperVersion, Qt::CaseInsensitive);
    const QString version = versions ? ColumnNames::paperVersion : QStringLiteral("NULL");
    struct Seat
    {
        qint64 rowid = 0;
        QVariant room, number, seat, version;
    };
    auto find = [&](const Pick &pick) -> Result<Seat> {
        Result<Query> q = db.query(QStringLiteral("select rowid,考场,考号,座位号,%1 from 考生表 "
                                                  "where 考场=? and 考号=?")
                                       .arg(version),
                                   {pick.room, pick.examNumber});
        if (!q)
            return q.status();
        if (q->atEnd())
            return Status::refused(stalePickMessage());
        return Seat{q->value(0).toLongLong(), q->value(1), q->value(2), q->value(3), q->value(4)};
    };
    Result<Seat> a = find(left);
    if (!a)
        return a.status();
    Result<Seat> b = find(right);
    if (!b)
        return b.status();
    if (a->rowid == b->rowid)
        return Status::ok();

    Result<Statement> update =
        db.prepare(versions ? QStringLiteral("UPDATE 考生表 SET 考场 = ?, 考号 = ?, 座位号 = ?, "
                                             "试卷 = ? WHERE rowid = ?")
                            : QStringLiteral("UPDATE 考生表 SET 考场 = ?, 考号 = ?, 座位号 = ? "
                                             "WHERE rowid = ?"));
    if (!update)
        return update.status();
    for (const auto &[to, from] : {std::pair{*a, *b}, std::pair{*b, *a}}) {
        QVariantList values = {from.room, from.number, from.seat};
        if (versions)
            values.append(from.version);
        values.append(to.rowid);
        update->bindAll(values);
        if (Status s = update->exec(); !s.isOk())
            return s;
        update->reset();
    }
    return transaction.commit();
}

} // namespace fenpai
