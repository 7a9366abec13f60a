#pragma once

#include "core/result.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace fenpai {

class Database;

// What one import wrote.
struct ImportedTable
{
    QString sheet;              // the worksheet as the workbook names it
    QString table;              // 分班数据表, 考生表 or 考场表
    QStringList columns;        // the columns created, in order
    int rowCount = 0;           // rows written (wholly empty sheet lines are not counted)
    QStringList missingColumns; // columns later jobs need that the worksheet lacks
};

struct ImportReport
{
    QString path;
    std::vector<ImportedTable> tables;

    bool lacksColumns() const;
    // The notice shown after a successful import when a needed column is missing; empty when
    // nothing is missing.
    QString missingColumnsNotice() const;
};

// The two import commands: a workbook's "Sheet1" into 分班数据表 (division data), or "Sheet1"
// into 考生表 and "Sheet2" into 考场表 (arrangement data). The whole workbook is read first; then
// the target tables are dropped, recreated and filled inside one transaction, so a workbook that
// cannot be read, or any failure while writing, leaves the previous tables exactly as they were.
// A missing sheet fails with adviceMessage(); an unreadable file with a message naming it.
class SpreadsheetImport final
{
public:
    struct Target
    {
        QString sheet;
        QString table;
        QStringList neededColumns;
        // The room table's capacity is whatever its second column is called; it is missing when
        // there is no second column, or it is one of the named ones.
        bool capacityInSecondColumn = false;
    };

    [[nodiscard]] static Result<ImportReport> importDivision(Database &db, const QString &path);
    [[nodiscard]] static Result<ImportReport> importArrangement(Database &db, const QString &path);
    // "Sheet1" into 成绩表 (a row per pupil, a score column per subject) and "Sheet2" into 教师表
    // (a row per class, a teacher column per subject), for the score information report.
    [[nodiscard]] static Result<ImportReport> importScores(Database &db, const QString &path);
    // Any sheets into any tables, all or nothing.
    [[nodiscard]] static Result<ImportReport> importSheets(Database &db, const QString &path,
                                                           const std::vector<Target> &targets);

    // Texts the window and the command line show.
    static QString successMessage(); // "EXCEL导入成功！请进行相关设置"
    static QString successTitle();   // "导入"
    static QString adviceMessage();  // the missing-sheet advice, with its carriage return
    static QString adviceTitle();    // "导入提示", also the title of every import failure
    static QString fileFilter();     // "数据文件(*.xls *.xlsx *.ods)"

    static QStringList divisionColumns();
    static QStringList examineeColumns();
    static QStringList roomColumns(); // 考场号, 考场地点 (the capacity is checked by place)
    static QString capacityColumnLabel(); // how the notice names a missing capacity
};

} // namespace fenpai
