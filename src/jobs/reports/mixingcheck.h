#pragma once

#include "core/result.h"

#include <QStringList>

namespace fenpai {

class Database;

// Walks 考生表 in exam number order and reports every examinee whose school and class are those
// of the examinee numbered just before: "在第X考场有没混排的n", n counting the findings.
class MixingCheck final
{
public:
    [[nodiscard]] static Result<QStringList> findings(Database &db);
    static QString allMixedText(); // 全部混排
};

} // namespace fenpai
