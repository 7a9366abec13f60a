#pragma once

#include <QStringList>

namespace fenpai {

class Database;

// The captions of the data-driven submenus, one per row of their query: new classes and classes
// in natural order (初三(2)班 before 初三(10)班), schools as they first appear, blank or null
// values giving no caption. Rooms are positional: one caption per row of 考场表 in stored order
// (item k is room ordinal k), a room without a number named "第k考场". A missing or empty table
// gives none, silently: item 0 of each menu stays alone.
class MenuSources final
{
public:
    static QStringList newClasses(Database &db); // 新分班 values of 分班数据表
    static QStringList rooms(Database &db);      // 考场号 of 考场表, in stored order
    static QStringList classes(Database &db);    // 学校/班级 of 考生表
    static QStringList schools(Database &db);    // 学校 of 考生表
};

} // namespace fenpai
