#pragma once

#include <QStringList>

namespace fenpai {

class Database;

// The captions of the data-driven submenus, one per row of their query, in the query's order.
// A missing or empty table gives no captions, silently: item 0 of each menu stays alone.
class MenuSources final
{
public:
    static QStringList newClasses(Database &db); // 新分班 values of 分班数据表
    static QStringList rooms(Database &db);      // 考场号 of 考场表
    static QStringList classes(Database &db);    // 学校/班级 of 考生表
    static QStringList schools(Database &db);    // 学校 of 考生表
};

} // namespace fenpai
