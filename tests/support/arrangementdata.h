#pragma once

#include "db/database.h"
#include "db/transaction.h"

#include <QVariant>

#include <random>
#include <vector>

namespace fenpai::test {

// One row of 考生表 as an import makes it.
struct Pupil
{
    QVariant school;
    QVariant className;
    QVariant name;
    QVariant score;
    QVariant room = {};
    QVariant number = {};
    QVariant seat = {};
};

// 考生表 and 考场表 with the columns and types an import gives them.
inline Status createArrangementTables(Database &db)
{
    return db.execNative(
        "CREATE TABLE 考生表 (学校 TEXT, 班级 TEXT, 姓名 TEXT, 性别 TEXT, 成绩 REAL, 考场 REAL, "
        "考号 REAL, 座位号 REAL);"
        "CREATE TABLE 考场表 (考场号 REAL, 人数 REAL, 考场地点 TEXT);");
}

inline Status addPupils(Database &db, const std::vector<Pupil> &pupils)
{
    Transaction transaction(db); // one commit: a commit per row would wait on the disk each time
    Result<Statement> st =
        db.prepareNative("INSERT INTO 考生表 (学校, 班级, 姓名, 性别, 成绩, 考场, 考号, 座位号) "
                         "VALUES (?, ?, ?, '男', ?, ?, ?, ?)");
    if (!st)
        return st.status();
    for (const Pupil &p : pupils) {
        st->bindAll({p.school, p.className, p.name, p.score, p.room, p.number, p.seat});
        const Status s = st->exec();
        if (!s.isOk())
            return s;
        st->reset();
    }
    return transaction.commit();
}

// Rooms numbered 1, 2, ... with the given capacity cells.
inline Status addRooms(Database &db, const QVariantList &capacities)
{
    Transaction transaction(db);
    Result<Statement> st = db.prepareNative("INSERT INTO 考场表 VALUES (?, ?, ?)");
    if (!st)
        return st.status();
    for (int i = 0; i < capacities.size(); ++i) {
        st->bindAll({double(i + 1), capacities[i], QStringLiteral("教学楼%1").arg(i + 1)});
        const Status s = st->exec();
        if (!s.isOk())
            return s;
        st->reset();
    }
    return transaction.commit();
}

// A year of examinees: `classes` classes spread over `schools` schools, scores 0..100 with ties.
inline std::vector<Pupil> makeYear(int count, int schools, int classes, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<Pupil> pupils;
    pupils.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const int c = static_cast<int>(random() % static_cast<unsigned>(classes));
        pupils.push_back({QStringLiteral("第%1中学").arg(c % schools + 1),
                          QStringLiteral("初三(%1)班").arg(c + 1), QStringLiteral("考生%1").arg(i),
                          double(random() % 101)});
    }
    return pupils;
}

} // namespace fenpai::test
