#include "jobs/documents/documentwriteback.h"

#include "core/numbertext.h"
#include "db/database.h"
#include "db/sqldialect.h"
#include "db/transaction.h"
#include "grid/grid.h"

#include <QHash>
#include <QSet>

#include <algorithm>

#include <vector>

namespace fenpai {

namespace {

struct Field
{
    int col = 0; // grid column
    QString name;
    bool numeric = false;
};

// SQLite's affinity rules: INT, REAL, FLOA, DOUB and anything without CHAR, CLOB, TEXT or BLOB
// that is not empty store numbers.
bool isNumericType(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String("INT")))
        return true;
    if (t.isEmpty() || t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("CLOB")) ||
        t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("BLOB")))
        return false;
    return true;
}

bool rowHasText(const Grid &grid, int row, int fromCol = 1)
{
    for (int c = fromCol; c < grid.cols(); ++c) {
        if (!grid.cellText(row, c).isEmpty())
            return true;
    }
    return false;
}

QVariant valueOf(const QString &text, bool numeric)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {}; // an empty cell is null
    if (!numeric)
        return text;
    bool whole = false;
    const qint64 n = t.toLongLong(&whole);
    if (whole)
        return n; // exam numbers are longer than a double keeps
    return NumberText::leadingValue(t);
}

} // namespace

QString DocumentWriteBack::mark(QChar state, std::optional<qint64> rowid)
{
    QString m(state);
    if (rowid)
        m += QString::number(*rowid);
    return m;
}

QChar DocumentWriteBack::state(const Grid &grid, int row)
{
    const QString &tag = grid.cellTag(row, 0);
    return tag.isEmpty() ? QChar() : tag.at(0);
}

std::optional<qint64> DocumentWriteBack::rowid(const Grid &grid, int row)
{
    const QString &tag = grid.cellTag(row, 0);
    bool ok = false;
    const qint64 id = tag.mid(1).toLongLong(&ok);
    if (!ok || tag.size() < 2)
        return std::nullopt;
    return id;
}

void DocumentWriteBack::noteChange(Grid &grid, const GridArea &area)
{
    if (area.isEmpty() || area.rowsMoved() || area.colsMoved())
        return;
    const int last = std::min(area.lastRow, grid.rows() - 1);
    for (int r = std::max(area.firstRow, grid.fixedRows()); r <= last; ++r) {
        const QChar s = state(grid, r);
        if (s == kUnchanged)
            grid.setCellTag(r, 0, mark(kEdited, rowid(grid, r)));
        else if (s.isNull() && rowHasText(grid, r))
            grid.setCellTag(r, 0, mark(kNew));
    }
    // Typing into the blank row at the end opens the next one.
    const int end = grid.rows() - 1;
    if (end >= grid.fixedRows() && last == end && rowHasText(grid, end))
        grid.addItem(QString());
}

bool DocumentWriteBack::hasChanges(const Grid &grid, const DocumentSource &source)
{
    if (!source.isTable())
        return false;
    QSet<qint64> present;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        const QChar s = state(grid, r);
        if (s == kEdited || ((s == kNew || s.isNull()) && rowHasText(grid, r)))
            return true;
        if (const auto id = rowid(grid, r))
            present.insert(*id);
    }
    for (qint64 id : source.rowids) {
        if (!present.contains(id))
            return true;
    }
    return false;
}

QString DocumentWriteBack::notSavableText()
{
    return QStringLiteral(
        "这个文档来自查询、统计或编排结果，不能保存回数据库。\n要把它另存为表格文件吗？");
}

Status DocumentWriteBack::save(Database &db, Grid &grid, DocumentSource &source)
{
    if (!source.isTable())
        return Status::refused(notSavableText());
    const QString table = SqlDialect::quoteName(source.table);
    if (!db.hasTable(source.table))
        return Status::error(Status::Kind::MissingTable,
                             QStringLiteral("数据表“%1”已不存在，无法保存。").arg(source.table));

    // The table's fields and which of them store numbers.
    QHash<QString, bool> numericByName; // lower-case name → numeric
    QHash<QString, QString> spelling;
    {
        Result<Statement> info =
            db.prepareNative(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
        if (!info)
            return info.status();
        info->bind(1, source.table);
        Statement::Step step;
        while ((step = info->step()) == Statement::Step::Row) {
            const QString name = info->toText(0);
            numericByName.insert(name.toLower(), isNumericType(info->toText(1)));
            spelling.insert(name.toLower(), name);
        }
        if (step == Statement::Step::Error)
            return info->status();
    }
    std::vector<Field> fields;
    for (int c = 1; c < grid.cols(); ++c) {
        const QString header = grid.cellText(0, c).trimmed();
        const auto it = numericByName.constFind(header.toLower());
        if (it != numericByName.cend()) {
            fields.push_back({c, spelling.value(header.toLower()), it.value()});
            continue;
        }
        bool used = false;
        for (int r = grid.fixedRows(); r < grid.rows() && !used; ++r)
            used = !grid.cellText(r, c).isEmpty();
        if (used)
            return Status::refused(
                QStringLiteral("第%1列的标题“%2”不是数据表“%3”的字段，没有保存任何数据。")
                    .arg(c)
                    .arg(header, source.table));
    }
    if (fields.empty())
        return Status::refused(
            QStringLiteral("文档中没有数据表“%1”的字段，没有保存任何数据。").arg(source.table));

    // Sort the rows into deletions, insertions and updates. A row pasted with another row's
    // mark is a new row: the first one keeps the rowid.
    QSet<qint64> present;
    std::vector<int> inserts;
    std::vector<std::pair<int, qint64>> updates;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        const QChar s = state(grid, r);
        std::optional<qint64> id = rowid(grid, r);
        if (id && present.contains(*id))
            id.reset();
        if (id && (s == kUnchanged || s == kEdited)) {
            present.insert(*id);
            if (s == kEdited)
                updates.emplace_back(r, *id);
        } else if (rowHasText(grid, r)) {
            inserts.push_back(r);
        }
    }
    std::vector<qint64> deletes;
    for (qint64 id : std::as_const(source.rowids)) {
        if (!present.contains(id))
            deletes.push_back(id);
    }

    // Every value is checked before the first write.
    auto check = [&](int r) -> Status {
        for (const Field &f : fields) {
            const QString &text = grid.cellText(r, f.col);
            if (f.numeric && !text.trimmed().isEmpty() && !NumberText::isNumber(text))
                return Status::refused(
                    QStringLiteral("第%1行“%2”应为数字，现在是“%3”。没有保存任何数据。")
                        .arg(r)
                        .arg(f.name, text));
        }
        return Status::ok();
    };
    for (int r : inserts) {
        if (Status s = check(r); !s.isOk())
            return s;
    }
    for (const auto &u : updates) {
        if (Status s = check(u.first); !s.isOk())
            return s;
    }

    QStringList names, marks, assignments;
    for (const Field &f : fields) {
        names.append(SqlDialect::quoteName(f.name));
        marks.append(QStringLiteral("?"));
        assignments.append(SqlDialect::quoteName(f.name) + QStringLiteral(" = ?"));
    }
    const QString where = QStringLiteral(" WHERE ") + source.rowidName + QStringLiteral(" = ?");

    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    if (!deletes.empty()) {
        Result<Statement> del = db.prepareNative(QStringLiteral("DELETE FROM ") + table + where);
        if (!del)
            return del.status();
        for (qint64 id : deletes) {
            del->bind(1, id);
            if (Status s = del->exec(); !s.isOk())
                return s;
            del->reset();
        }
    }
    std::vector<qint64> newIds;
    if (!inserts.empty()) {
        Result<Statement> ins =
            db.prepareNative(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(table, names.join(u','), marks.join(u',')));
        if (!ins)
            return ins.status();
        for (int r : inserts) {
            int i = 0;
            for (const Field &f : fields)
                ins->bind(++i, valueOf(grid.cellText(r, f.col), f.numeric));
            if (Status s = ins->exec(); !s.isOk())
                return s.withContext(QStringLiteral("第%1行：").arg(r));
            ins->reset();
            Result<QVariant> id = db.scalar(QStringLiteral("SELECT last_insert_rowid()"));
            if (!id)
                return id.status();
            newIds.push_back(id->toLongLong());
        }
    }
    if (!updates.empty()) {
        Result<Statement> upd =
            db.prepareNative(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                             assignments.join(u',') + where);
        if (!upd)
            return upd.status();
        for (const auto &[r, id] : updates) {
            int i = 0;
            for (const Field &f : fields)
                upd->bind(++i, valueOf(grid.cellText(r, f.col), f.numeric));
            upd->bind(++i, id);
            if (Status s = upd->exec(); !s.isOk())
                return s.withContext(QStringLiteral("第%1行：").arg(r));
            upd->reset();
        }
    }
    if (Status s = transaction.commit(); !s.isOk())
        return s;

    // Only now that the table holds them do the marks say so.
    for (size_t i = 0; i < inserts.size(); ++i) {
        grid.setCellTag(inserts[i], 0, mark(kUnchanged, newIds[i]));
        present.insert(newIds[i]);
    }
    for (const auto &u : updates)
        grid.setCellTag(u.first, 0, mark(kUnchanged, u.second));
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        if (state(grid, r) == kNew)
            grid.setCellTag(r, 0, QString()); // new rows left empty were not written
    }
    source.rowids = present.values();
    std::sort(source.rowids.begin(), source.rowids.end());
    return Status::ok();
}

} // namespace fenpai
