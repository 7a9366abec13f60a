#pragma once

#include "core/result.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace fenpai {

class Database;

// The results an import would replace: pupils of 分班数据表 already in a new class (新分班 set),
// examinees of 考生表 already in a room (考场 set). An import replaces whole tables, so these go
// with them; the window asks first, the command line says what it replaced.
struct ReplacedResult
{
    QString table;   // 分班数据表 or 考生表
    qint64 rows = 0; // the pupils placed or the examinees arranged

    bool isArrangement() const;
    // "分班数据表中 600 名学生已分班，导入后分班结果将被替换。继续吗？"
    QString question() const;
    // "已替换：分班数据表中 600 名学生的分班结果。"
    QString notice() const;
};

class ReplacedResults final
{
public:
    // What replacing `tables` loses, one entry per table that holds results; tables or columns
    // that are missing hold none.
    [[nodiscard]] static Result<std::vector<ReplacedResult>> find(Database &db,
                                                                  const QStringList &tables);
};

} // namespace fenpai
