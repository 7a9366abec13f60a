#pragma once

#include "support/tempdata.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace fenpai::test {

// One pupil row of 分班数据表; an invalid QVariant stands for a null.
struct PupilRow
{
    QVariant sex;
    QVariant score;
    QVariant school;
    QVariant name = {};
};

// A data directory whose 分班数据表 has the columns an import gives it.
class DivisionData : public TempData
{
public:
    explicit DivisionData(
        const QString &columns =
            "姓名 TEXT, 性别 TEXT, 成绩 REAL, 原学校 TEXT, 原班级 TEXT, 新分班 REAL")
    {
        exec({"CREATE TABLE 分班数据表 (" + columns + ")"});
    }

    // Adds rows in import order; 新分班 starts at `initial`.
    void add(const std::vector<PupilRow> &rows, double initial = 0)
    {
        Result<Statement> insert =
            db.prepareNative("INSERT INTO 分班数据表 (姓名, 性别, 成绩, 原学校, 原班级, 新分班) "
                             "VALUES (?1, ?2, ?3, ?4, '1班', ?5)");
        ASSERT_TRUE(insert.isOk()) << insert.status().message().toStdString();
        ASSERT_TRUE(db.begin().isOk());
        for (const PupilRow &r : rows) {
            const QVariant name =
                r.name.isValid() ? r.name : QVariant(QString("学生%1").arg(++m_named));
            insert->bindAll({name, r.sex, r.score, r.school, initial});
            ASSERT_TRUE(insert->exec().isOk()) << insert->status().message().toStdString();
            insert->reset();
        }
        ASSERT_TRUE(db.commit().isOk());
    }

    // 新分班 of every row, in import order.
    std::vector<int> classes() { return column("SELECT 新分班 FROM 分班数据表 ORDER BY rowid"); }

    std::vector<int> column(const QString &sql)
    {
        std::vector<int> out;
        Result<Statement> st = db.prepareNative(sql);
        EXPECT_TRUE(st.isOk()) << sql.toStdString();
        if (!st)
            return out;
        while (st->step() == Statement::Step::Row)
            out.push_back(static_cast<int>(st->toInt64(0)));
        return out;
    }

private:
    int m_named = 0;
};

} // namespace fenpai::test
