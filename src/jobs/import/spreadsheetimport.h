#pragma once

#include "core/result.h"
#include "jobs/import/importreport.h"
#include "jobs/import/preparedimport.h"

#include <QString>
#include <QStringList>

namespace fenpai {

class Database;

// The import commands without questions: the files are read (PreparedImport), and when every
// table has its sheet and every field its column the tables are replaced inside one
// transaction. A file that cannot be read, an undecided sheet or field, or any failure while
// writing leaves the previous tables exactly as they were, and the Status says why.
class SpreadsheetImport final
{
public:
    // A workbook's "Sheet1" (or its only sheet) into 分班数据表.
    [[nodiscard]] static Result<ImportReport> importDivision(Database &db, const QString &path);
    // "Sheet1" into 考生表 and "Sheet2" into 考场表.
    [[nodiscard]] static Result<ImportReport> importArrangement(Database &db, const QString &path);
    // "Sheet1" into 成绩表 (a row per pupil, a score column per subject) and "Sheet2" into 教师表
    // (a row per class, a teacher column per subject), for the score information report.
    [[nodiscard]] static Result<ImportReport> importScores(Database &db, const QString &path);
    // Any request, with the user's sheets and columns.
    [[nodiscard]] static Result<ImportReport> import(Database &db, const ImportRequest &request);

    // Texts the window and the command line show.
    static QString successMessage(); // "EXCEL导入成功！请进行相关设置"
    static QString successTitle();   // "导入"
    static QString adviceTitle();    // "导入提示", also the title of every import failure
    static QString fileFilter();     // "工作簿和文本文件 (*.xls *.xlsx *.ods *.csv *.txt)"
};

} // namespace fenpai
