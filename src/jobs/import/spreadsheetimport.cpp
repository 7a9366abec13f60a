#include "jobs/import/spreadsheetimport.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "db/sqldialect.h"
#include "db/transaction.h"
#include "workbook/sheettable.h"
#include "workbook/workbookreader.h"

#include <QFileInfo>

namespace fenpai {

namespace {

[[nodiscard]] Status writeTable(Database &db, const QString &table, const SheetTable &data)
{
    const QString name = SqlDialect::quoteName(table);
    Status s = db.execNative(QStringLiteral("DROP TABLE IF EXISTS ") + name);
    if (!s.isOk())
        return s;
    QStringList definitions;
    QStringList marks;
    for (const SheetTable::Column &c : data.columns()) {
        // Exam numbers reach 18 digits, more than a REAL column keeps: NUMERIC stores whole
        // numbers as integers.
        const QString type = !c.isNumber                         ? QStringLiteral(" TEXT")
                             : c.name == ColumnNames::examNumber ? QStringLiteral(" NUMERIC")
                                                                 : QStringLiteral(" REAL");
        definitions.append(SqlDialect::quoteName(c.name) + type);
        marks.append(QStringLiteral("?"));
    }
    s = db.execNative(QStringLiteral("CREATE TABLE %1 (%2)").arg(name, definitions.join(u',')));
    if (!s.isOk())
        return s;
    Result<Statement> insert =
        db.prepareNative(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(name, marks.join(u',')));
    if (!insert)
        return insert.status();
    const int columns = static_cast<int>(data.columns().size());
    for (int r = 0; r < data.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c)
            insert->bind(c + 1, data.value(r, c));
        if (insert->step() == Statement::Step::Error)
            return insert->status();
        insert->reset();
    }
    return Status::ok();
}

QStringList missingOf(const SheetTable &data, const SpreadsheetImport::Target &target)
{
    const QStringList present = data.columnNames();
    QStringList missing;
    for (const QString &needed : target.neededColumns) {
        if (!present.contains(needed, Qt::CaseInsensitive))
            missing.append(needed);
    }
    if (target.capacityInSecondColumn) {
        const bool named =
            present.size() >= 2 && !target.neededColumns.contains(present[1], Qt::CaseInsensitive);
        if (!named)
            missing.insert(qMin<qsizetype>(1, missing.size()),
                           SpreadsheetImport::capacityColumnLabel());
    }
    return missing;
}

} // namespace

bool ImportReport::lacksColumns() const
{
    for (const ImportedTable &t : tables) {
        if (!t.missingColumns.isEmpty())
            return true;
    }
    return false;
}

QString ImportReport::missingColumnsNotice() const
{
    if (!lacksColumns())
        return QString();
    QString text = QStringLiteral("导入的数据缺少以下字段，分班、编排等功能需要它们：");
    for (const ImportedTable &t : tables) {
        if (!t.missingColumns.isEmpty())
            text += QStringLiteral("\n%1：%2").arg(t.table, t.missingColumns.join(u'、'));
    }
    return text;
}

Result<ImportReport> SpreadsheetImport::importDivision(Database &db, const QString &path)
{
    return importSheets(db, path,
                        {{QStringLiteral("Sheet1"), TableNames::divisionData, divisionColumns()}});
}

Result<ImportReport> SpreadsheetImport::importArrangement(Database &db, const QString &path)
{
    return importSheets(db, path,
                        {{QStringLiteral("Sheet1"), TableNames::examinees, examineeColumns()},
                         {QStringLiteral("Sheet2"), TableNames::rooms, roomColumns(), true}});
}

Result<ImportReport> SpreadsheetImport::importScores(Database &db, const QString &path)
{
    using namespace ColumnNames;
    return importSheets(db, path,
                        {{QStringLiteral("Sheet1"), TableNames::scores, {school}},
                         {QStringLiteral("Sheet2"), TableNames::teachers, {school, className}}});
}

Result<ImportReport> SpreadsheetImport::importSheets(Database &db, const QString &path,
                                                     const std::vector<Target> &targets)
{
    QStringList sheetNames;
    for (const Target &t : targets)
        sheetNames.append(t.sheet);
    Result<Workbook> workbook = WorkbookReader::read(path, sheetNames);
    if (!workbook)
        return workbook.status();

    const QString fileName = QFileInfo(path).fileName();
    std::vector<SheetTable> tables;
    tables.reserve(targets.size());
    for (const Target &t : targets) {
        const Sheet *sheet = workbook->sheet(t.sheet);
        if (!sheet)
            return Status::error(Status::Kind::InvalidObjectName, adviceMessage());
        tables.emplace_back(*sheet);
        if (!tables.back().hasHeader())
            return Status::refused(
                QStringLiteral("无法导入“%1”：工作表“%2”是空的，没有可导入的数据。")
                    .arg(fileName, sheet->name()));
    }

    ImportReport report;
    report.path = path;
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    for (size_t i = 0; i < targets.size(); ++i) {
        const Status s = writeTable(db, targets[i].table, tables[i]);
        if (!s.isOk())
            return s.withContext(QStringLiteral("导入“%1”失败：").arg(fileName));
        report.tables.push_back({workbook->sheet(targets[i].sheet)->name(), targets[i].table,
                                 tables[i].columnNames(), tables[i].rowCount(),
                                 missingOf(tables[i], targets[i])});
    }
    const Status committed = transaction.commit();
    if (!committed.isOk())
        return committed.withContext(QStringLiteral("导入“%1”失败：").arg(fileName));
    return report;
}

QString SpreadsheetImport::successMessage()
{
    return QStringLiteral("EXCEL导入成功！请进行相关设置");
}

QString SpreadsheetImport::successTitle()
{
    return QStringLiteral("导入");
}

QString SpreadsheetImport::adviceMessage()
{
    return QStringLiteral("请确定电子表格中的第一个表名是否为sheet1，第二、三个表名") +
           QLatin1Char('\r') + QStringLiteral("是否为sheet2、sheet3，若不是请修改为此表名再导入");
}

QString SpreadsheetImport::adviceTitle()
{
    return QStringLiteral("导入提示");
}

QString SpreadsheetImport::fileFilter()
{
    return QStringLiteral("数据文件(*.xls *.xlsx *.ods)");
}

QStringList SpreadsheetImport::divisionColumns()
{
    using namespace ColumnNames;
    return {name, sex, score, sourceSchool, sourceClass, newClass};
}

QStringList SpreadsheetImport::examineeColumns()
{
    using namespace ColumnNames;
    return {school, className, name, sex, score, room, examNumber, seat};
}

QStringList SpreadsheetImport::roomColumns()
{
    return {ColumnNames::roomNumber, ColumnNames::roomPlace};
}

QString SpreadsheetImport::capacityColumnLabel()
{
    return QStringLiteral("第二列（考场人数）");
}

} // namespace fenpai
