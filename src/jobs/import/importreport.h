#pragma once

#include "jobs/import/replacedresults.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace fenpai {

// What one import wrote into one table.
struct ImportedTable
{
    QString file;               // the file it came from
    QString sheet;              // the worksheet as the workbook names it
    QString table;              // 分班数据表, 考生表, 考场表, 成绩表 or 教师表
    QStringList columns;        // the columns created, in order
    int rowCount = 0;           // rows written (wholly empty sheet lines are not counted)
    QStringList missingColumns; // fields the user chose to leave empty
    QString sheetNote;          // how the sheet was found when it is not the usual one
    QStringList mapping; // the fields not taken by their exact name: "姓名 ← 考生姓名" …
    qint64 removedControls = 0; // control characters taken out of the sheet's texts
};

struct ImportReport
{
    QString path;
    std::vector<ImportedTable> tables;
    // The division or arrangement results the new tables replaced.
    std::vector<ReplacedResult> replaced;

    bool lacksColumns() const;
    // The notice shown after a successful import when a needed column is missing; empty when
    // nothing is missing.
    QString missingColumnsNotice() const;
    // Which sheet and which columns gave the tables, one line per table, when anything differs
    // from the usual sheet and the exact field names; empty otherwise.
    QString mappingNotice() const;
    // How many control characters (NUL and the like) were taken out of the cells; empty when
    // none were.
    QString controlsNotice() const;
};

} // namespace fenpai
