#include "jobs/import/preparedimport.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "db/runlog.h"
#include "db/sqldialect.h"
#include "db/transaction.h"
#include "workbook/sheettable.h"
#include "workbook/workbookreader.h"

#include <QFileInfo>

namespace fenpai {

namespace {

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

QString runName(ImportKind kind)
{
    switch (kind) {
    case ImportKind::Division:
        return RunLog::divisionImport();
    case ImportKind::Arrangement:
        return RunLog::arrangementImport();
    case ImportKind::Scores:
        return RunLog::scoresImport();
    }
    return QString();
}

QString sheetList(const std::vector<PreparedImport::SheetInfo> &sheets)
{
    QStringList parts;
    for (const PreparedImport::SheetInfo &s : sheets)
        parts.append(s.rows < 0 ? s.name : QStringLiteral("%1（%2 行）").arg(s.name).arg(s.rows));
    return parts.join(u'、');
}

std::vector<PreparedImport::SheetInfo> sheetInfos(const Workbook &book)
{
    std::vector<PreparedImport::SheetInfo> infos;
    for (const QString &name : book.sheetNames()) {
        const Sheet *sheet = book.sheet(name);
        infos.push_back({name, sheet ? SheetTable(*sheet).rowCount() : -1});
    }
    return infos;
}

// The file's own spelling of a sheet name asked for in any case.
QString spelledAsInFile(const Workbook &book, const QString &name)
{
    for (const QString &n : book.sheetNames()) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return n;
    }
    return name;
}

// A sheet's columns as a message names them: the first few, and how many there are in all.
QString headerList(const QStringList &headers)
{
    constexpr qsizetype shown = 30;
    if (headers.size() <= shown)
        return headers.join(u'、');
    return headers.mid(0, shown).join(u'、') + QStringLiteral("……共 %1 列").arg(headers.size());
}

[[nodiscard]] Status writeTable(Database &db, const QString &table, const SheetTable &data,
                                const std::vector<ColumnMatching::OutputColumn> &layout)
{
    const QString name = SqlDialect::quoteName(table);
    Status s = db.execNative(QStringLiteral("DROP TABLE IF EXISTS ") + name);
    if (!s.isOk())
        return s;
    QStringList definitions;
    QStringList marks;
    for (const ColumnMatching::OutputColumn &c : layout) {
        // An added column is typed as an empty sheet column would be. Exam numbers reach 18
        // digits, more than a REAL column keeps: NUMERIC stores whole numbers as integers.
        const bool number = c.source < 0 || data.columns()[static_cast<size_t>(c.source)].isNumber;
        const QString type = !number                             ? QStringLiteral(" TEXT")
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
    for (int r = 0; r < data.rowCount(); ++r) {
        for (size_t c = 0; c < layout.size(); ++c)
            insert->bind(static_cast<int>(c) + 1,
                         layout[c].source < 0 ? QVariant() : data.value(r, layout[c].source));
        if (insert->step() == Statement::Step::Error)
            return insert->status();
        insert->reset();
    }
    return Status::ok();
}

[[nodiscard]] Status checkRequest(const ImportRequest &request,
                                  const std::vector<ImportFields::TableLayout> &layouts)
{
    if (request.files.isEmpty() ||
        (request.files.size() != 1 && request.files.size() != static_cast<int>(layouts.size())))
        return Status::refused(
            QStringLiteral("这项导入需要一个文件，或每个表各一个文件（共 %1 个）。")
                .arg(layouts.size()));
    QStringList known;
    for (const ImportFields::TableLayout &layout : layouts) {
        for (const ImportField &f : layout.fields) {
            if (!known.contains(f.name))
                known.append(f.name);
            if (f.capacity && request.columns.contains(f.name) &&
                request.columns.value(f.name).isEmpty())
                return Status::refused(
                    QStringLiteral("字段“%1”不能是空列：编排按它给每个考场排人。").arg(f.name));
        }
    }
    for (auto it = request.columns.constBegin(); it != request.columns.constEnd(); ++it) {
        if (!known.contains(it.key()))
            return Status::refused(QStringLiteral("导入的表没有字段“%1”。可以指定的字段：%2。")
                                       .arg(it.key(), known.join(u'、')));
    }
    return Status::ok();
}

} // namespace

PreparedImport::PreparedImport() = default;
PreparedImport::PreparedImport(PreparedImport &&) noexcept = default;
PreparedImport &PreparedImport::operator=(PreparedImport &&) noexcept = default;
PreparedImport::~PreparedImport() = default;

Result<PreparedImport> PreparedImport::read(const ImportRequest &request)
{
    const std::vector<ImportFields::TableLayout> layouts = ImportFields::tables(request.kind);
    if (Status s = checkRequest(request, layouts); !s.isOk())
        return s;
    PreparedImport p;
    p.m_kind = request.kind;
    for (size_t i = 0; i < layouts.size(); ++i) {
        Table t;
        t.table = layouts[i].table;
        t.file = request.files.value(request.files.size() == 1 ? 0 : static_cast<int>(i));
        t.usualSheet = layouts[i].usualSheet;
        t.fields = layouts[i].fields;
        for (const ImportField &f : t.fields) {
            if (request.columns.contains(f.name))
                t.chosen.insert(f.name, request.columns.value(f.name));
        }
        p.m_tables.push_back(std::move(t));
    }
    p.m_books.resize(layouts.size());
    p.m_data.resize(layouts.size());
    QStringList files;
    for (const Table &t : p.m_tables) {
        if (!files.contains(t.file))
            files.append(t.file);
    }
    for (const QString &file : files) {
        std::vector<size_t> tables;
        for (size_t i = 0; i < p.m_tables.size(); ++i) {
            if (p.m_tables[i].file == file)
                tables.push_back(i);
        }
        if (Status s = p.readFile(file, tables, request); !s.isOk())
            return s;
    }
    // A column named for a field several tables need (学校 of the scores and the teachers)
    // belongs to the tables whose sheets have it.
    for (auto it = request.columns.constBegin(); it != request.columns.constEnd(); ++it) {
        bool anywhere = false;
        for (const Table &t : p.m_tables)
            anywhere = anywhere || (t.chosen.contains(it.key()) &&
                                    ColumnMatching::findHeader(t.headers, it.value()) >= 0);
        for (size_t i = 0; anywhere && i < p.m_tables.size(); ++i) {
            Table &t = p.m_tables[i];
            if (ColumnMatching::findHeader(t.headers, it.value()) < 0 && !it.value().isEmpty())
                t.chosen.remove(it.key());
        }
    }
    for (size_t i = 0; i < p.m_tables.size(); ++i) {
        if (p.m_data[i])
            p.match(i);
    }
    return p;
}

bool PreparedImport::placeSheets(const Workbook &book, const std::vector<size_t> &tables,
                                 const ImportRequest &request, std::vector<Placement> &placed)
{
    QStringList taken;
    bool loaded = true;
    placed.assign(tables.size(), {});
    for (size_t k = 0; k < tables.size(); ++k) {
        Table &t = m_tables[tables[k]];
        t.sheets = sheetInfos(book);
        const QString asked = request.sheets.value(static_cast<int>(tables[k]));
        const QString fileName = fileNameOf(t.file);
        Placement &p = placed[k];
        if (!asked.isEmpty() && book.hasSheet(asked)) {
            p = {spelledAsInFile(book, asked), SheetFrom::Requested};
        } else if (!asked.isEmpty()) {
            t.sheetProblem = QStringLiteral("“%1”中没有工作表“%2”。工作簿中的工作表：%3。")
                                 .arg(fileName, asked, sheetList(t.sheets));
        } else if (book.hasSheet(t.usualSheet) &&
                   !taken.contains(t.usualSheet, Qt::CaseInsensitive)) {
            p = {spelledAsInFile(book, t.usualSheet), SheetFrom::Usual};
        } else if (book.sheetNames().size() == 1 && taken.isEmpty()) {
            p = {book.sheetNames().front(), SheetFrom::Only};
        } else if (book.sheetNames().size() == 1) {
            t.wantsFile = true;
            t.sheetProblem =
                QStringLiteral("“%1”只有一个工作表，已导入%2；%3需要工作簿中的第二个工作表"
                               "“%4”，或另一个文件。")
                    .arg(fileName, m_tables[tables.front()].table, t.table, t.usualSheet);
        } else {
            t.sheetProblem =
                QStringLiteral("“%1”中没有工作表“%2”，请指定%3所在的工作表。工作簿中的工作表：%4。")
                    .arg(fileName, t.usualSheet, t.table, sheetList(t.sheets));
            loaded = false;
        }
        if (!p.name.isEmpty()) {
            taken.append(p.name);
            loaded = loaded && book.sheet(p.name);
        }
    }
    return loaded;
}

Status PreparedImport::readFile(const QString &file, const std::vector<size_t> &tables,
                                const ImportRequest &request)
{
    QStringList wanted;
    for (size_t i : tables) {
        const QString asked = request.sheets.value(static_cast<int>(i));
        wanted.append(asked.isEmpty() ? m_tables[i].usualSheet : asked);
    }
    Result<Workbook> book = WorkbookReader::read(file, wanted);
    if (!book)
        return book.status();
    std::vector<Placement> placed;
    if (!placeSheets(*book, tables, request, placed)) {
        // Every sheet is read: a choice shows their sizes, and the sheet taken must be there.
        book = WorkbookReader::read(file);
        if (!book)
            return book.status();
        (void)placeSheets(*book, tables, request, placed); // all sheets are loaded now
    }
    const auto shared = std::make_shared<const Workbook>(std::move(*book));
    for (size_t k = 0; k < tables.size(); ++k) {
        m_books[tables[k]] = shared;
        m_tables[tables[k]].textFile = shared->format() == Workbook::Format::Csv;
        if (placed[k].name.isEmpty())
            continue;
        if (Status s = takeSheet(tables[k], placed[k].name, placed[k].from); !s.isOk())
            return s;
    }
    return Status::ok();
}

Status PreparedImport::takeSheet(size_t table, const QString &name, SheetFrom from)
{
    Table &t = m_tables[table];
    const Sheet *sheet = m_books[table] ? m_books[table]->sheet(name) : nullptr;
    if (!sheet)
        return Status::error(
            Status::Kind::InvalidObjectName,
            QStringLiteral("“%1”中没有工作表“%2”。").arg(fileNameOf(t.file), name));
    auto data = std::make_unique<SheetTable>(*sheet);
    if (!data->hasHeader())
        return Status::refused(QStringLiteral("无法导入“%1”：工作表“%2”是空的，没有可导入的数据。")
                                   .arg(fileNameOf(t.file), sheet->name()));
    t.sheet = sheet->name();
    t.from = from;
    t.sheetProblem.clear();
    t.wantsFile = false;
    t.headers = data->columnNames();
    m_data[table] = std::move(data);
    match(table);
    return Status::ok();
}

Status PreparedImport::chooseSheet(size_t table, const QString &sheet)
{
    return takeSheet(table, sheet, SheetFrom::Requested);
}

void PreparedImport::chooseColumns(size_t table, const QHash<QString, QString> &columns)
{
    m_tables[table].chosen = columns;
    match(table);
}

void PreparedImport::match(size_t table)
{
    Table &t = m_tables[table];
    t.matches = ColumnMatching::match(t.headers, t.fields, t.chosen);
    t.columnProblem.clear();
    for (auto it = t.chosen.constBegin(); it != t.chosen.constEnd(); ++it) {
        if (!it.value().isEmpty() && ColumnMatching::findHeader(t.headers, it.value()) < 0) {
            t.columnProblem =
                QStringLiteral("工作表“%1”中没有列“%2”（指定给字段“%3”）。工作表的列有：%4。")
                    .arg(t.sheet, it.value(), it.key(), headerList(t.headers));
            break;
        }
    }
}

Status PreparedImport::refusal() const
{
    for (const Table &t : m_tables) {
        if (t.sheet.isEmpty())
            return Status::error(Status::Kind::InvalidObjectName, t.sheetProblem);
    }
    for (size_t i = 0; i < m_tables.size(); ++i) {
        const Table &t = m_tables[i];
        if (!t.columnProblem.isEmpty())
            return Status::error(Status::Kind::MissingColumn, t.columnProblem);
        const QStringList missing = missingFields(i);
        if (!missing.isEmpty())
            return Status::error(
                Status::Kind::MissingColumn,
                QStringLiteral("工作表“%1”中找不到%2需要的字段：%3。工作表的列有：%4。")
                    .arg(t.sheet, t.table, missing.join(u'、'), headerList(t.headers)));
        // The fields added empty come on top of the sheet's own columns.
        const qsizetype columns =
            qsizetype(ColumnMatching::layout(t.headers, t.fields, t.matches).size());
        if (columns > Sheet::maxColumns)
            return Status::refused(
                QStringLiteral("工作表“%1”的列太多：加上%2需要的字段共 %3 列，最多 %4 列。")
                    .arg(t.sheet, t.table)
                    .arg(columns)
                    .arg(Sheet::maxColumns));
    }
    return Status::ok();
}

bool PreparedImport::needsReview() const
{
    for (const Table &t : m_tables) {
        if (t.sheet.isEmpty())
            return true;
        for (const FieldMatch &m : t.matches) {
            if (m.how == FieldMatch::How::Synonym || m.how == FieldMatch::How::Missing)
                return true;
        }
    }
    return false;
}

QStringList PreparedImport::missingFields(size_t table) const
{
    QStringList missing;
    for (const FieldMatch &m : m_tables[table].matches) {
        if (m.how == FieldMatch::How::Missing)
            missing.append(m.field);
    }
    return missing;
}

int PreparedImport::rowCount(size_t table) const
{
    return m_data[table] ? m_data[table]->rowCount() : 0;
}

QVariant PreparedImport::value(size_t table, int row, int column) const
{
    return m_data[table] ? m_data[table]->value(row, column) : QVariant();
}

QString PreparedImport::sheetNote(size_t table) const
{
    const Table &t = m_tables[table];
    if (t.from == SheetFrom::Only && !t.textFile)
        return QStringLiteral("工作簿中没有“%1”，导入了它唯一的工作表“%2”")
            .arg(t.usualSheet, t.sheet);
    if (t.from == SheetFrom::Requested)
        return QStringLiteral("工作表“%1”").arg(t.sheet);
    return QString();
}

QStringList PreparedImport::tableNames() const
{
    QStringList names;
    for (const Table &t : m_tables)
        names.append(t.table);
    return names;
}

Result<ImportReport> PreparedImport::write(Database &db) const
{
    if (Status s = refusal(); !s.isOk())
        return s;
    ImportReport report;
    report.path = m_tables.front().file;
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    Result<std::vector<ReplacedResult>> replaced = ReplacedResults::find(db, tableNames());
    if (!replaced)
        return replaced.status();
    report.replaced = std::move(*replaced);
    for (size_t i = 0; i < m_tables.size(); ++i) {
        const Table &t = m_tables[i];
        const std::vector<ColumnMatching::OutputColumn> layout =
            ColumnMatching::layout(t.headers, t.fields, t.matches);
        const QString context = QStringLiteral("导入“%1”失败：").arg(fileNameOf(t.file));
        if (Status s = writeTable(db, t.table, *m_data[i], layout); !s.isOk())
            return s.withContext(context);
        ImportedTable imported{t.file,
                               t.sheet,
                               t.table,
                               {},
                               m_data[i]->rowCount(),
                               {},
                               sheetNote(i),
                               ColumnMatching::describe(t.headers, t.matches)};
        imported.removedControls = m_data[i]->sheet().removedControls();
        for (const ColumnMatching::OutputColumn &c : layout)
            imported.columns.append(c.name);
        for (size_t f = 0; f < t.fields.size(); ++f) {
            if (t.matches[f].how == FieldMatch::How::Empty && !t.fields[f].addedWhenAbsent)
                imported.missingColumns.append(t.fields[f].name);
        }
        report.tables.push_back(std::move(imported));
    }
    QStringList files;
    for (const Table &t : m_tables) {
        if (!files.contains(fileNameOf(t.file)))
            files.append(fileNameOf(t.file));
    }
    if (Status s = RunLog::record(db, runName(m_kind), files.join(u'、'), QString()); !s.isOk())
        return s.withContext(
            QStringLiteral("导入“%1”失败：").arg(fileNameOf(m_tables.front().file)));
    if (Status committed = transaction.commit(); !committed.isOk())
        return committed.withContext(
            QStringLiteral("导入“%1”失败：").arg(fileNameOf(m_tables.front().file)));
    return report;
}

} // namespace fenpai
