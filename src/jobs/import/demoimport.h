#pragma once

#include "core/result.h"
#include "jobs/import/importreport.h"

#include <QString>

#include <vector>

namespace fenpai {

class Database;

// The demo data for a first look: the three demo workbooks (the intake, the examinees and rooms,
// the scores and teachers) written to a folder and imported as the menu would, all three or
// none.
class DemoImport final
{
public:
    static QString question(); // asked before: the demo replaces the tables of the same names
    // Writes the workbooks into `folder` (a scratch folder of the caller's) and imports them.
    [[nodiscard]] static Result<std::vector<ImportReport>> run(Database &db, const QString &folder);
};

} // namespace fenpai
