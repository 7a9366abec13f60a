#include "jobs/import/spreadsheetimport.h"

namespace fenpai {

Result<ImportReport> SpreadsheetImport::importDivision(Database &db, const QString &path)
{
    return import(db, {ImportKind::Division, {path}, {}, {}});
}

Result<ImportReport> SpreadsheetImport::importArrangement(Database &db, const QString &path)
{
    return import(db, {ImportKind::Arrangement, {path}, {}, {}});
}

Result<ImportReport> SpreadsheetImport::importScores(Database &db, const QString &path)
{
    return import(db, {ImportKind::Scores, {path}, {}, {}});
}

Result<ImportReport> SpreadsheetImport::import(Database &db, const ImportRequest &request)
{
    const Result<PreparedImport> prepared = PreparedImport::read(request);
    if (!prepared)
        return prepared.status();
    return prepared->write(db);
}

QString SpreadsheetImport::successMessage()
{
    return QStringLiteral("EXCEL导入成功！请进行相关设置");
}

QString SpreadsheetImport::successTitle()
{
    return QStringLiteral("导入");
}

QString SpreadsheetImport::adviceTitle()
{
    return QStringLiteral("导入提示");
}

QString SpreadsheetImport::fileFilter()
{
    return QStringLiteral("工作簿和文本文件 (*.xls *.xlsx *.ods *.csv *.txt)");
}

} // namespace fenpai
