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
    int loaded = -1; // index in the source's fields, -1 when the fill did not show it
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

void DocumentWriteBack::noteChange(Grid &grid, const DocumentSource &source, const GridArea &area)
{
    if (area.isEmpty() || area.rowsMoved() || area.colsMoved())
        return;
    // Grid column → index of its field among the values loaded, -1 for none.
    std::vector<int> loadedIndex(size_t(std::max(0, grid.cols())), -1);
    for (int c = 1; c < grid.cols(); ++c) {
        const QString header = grid.cellText(0, c).trimmed();
        for (int i = 0; i < source.fields.size(); ++i) {
            if (source.fields.at(i).compare(header, Qt::CaseInsensitive) == 0) {
                loadedIndex[size_t(c)] = i;
                break;
            }
        }
    }
    const int last = std::min(area.lastRow, grid.rows() - 1);
    for (int r = std::max(area.firstRow, grid.fixedRows()); r <= last; ++r) {
        const QChar s = state(grid, r);
        const std::optional<qint64> id = rowid(grid, r);
        if ((s == kUnchanged || s == kEdited) && id && source.rows.contains(*id)) {
            const QStringList &loaded = source.rows[*id];
            bool differs = false;
            for (int c = 1; c < grid.cols() && !differs; ++c) {
                const int i = loadedIndex[size_t(c)];
                differs = i >= 0 && grid.cellText(r, c) != loaded.value(i);
            }
            const QChar now = differs ? kEdited : kUnchanged;
            if (now != s)
                grid.setCellTag(r, 0, mark(now, id));
        } else if (s == kUnchanged) {
            grid.setCellTag(r, 0, mark(kEdited, id));
        } else if (s.isNull() && rowHasText(grid, r)) {
            grid.setCellTag(r, 0, mark(kNew));
        }
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
    for (auto it = source.rows.cbegin(); it != source.rows.cend(); ++it) {
        if (!present.contains(it.key()))
            return true;
    }
    return false;
}

QString DocumentWriteBack::notSavableText()
{
    return QStringLiteral(
        "这个文档来自查询、统计或编排结果，不能保存回数据库。\n要把它另存为表格文件吗？");
}

namespace {

// A row of the document whose changed fields (indexes into Plan::fields) are written back.
struct Update
{
    int row;
    qint64 id;
    std::vector<size_t> changed;
};

// What a save writes: the table's fields the document shows, and its rows sorted into
// deletions, insertions and updates.
struct Plan
{
    std::vector<Field> fields;
    std::vector<int> inserts;
    std::vector<Update> updates;
    std::vector<qint64> deletes;
};

const QString &changedElsewhere()
{
    static const QString text =
        QStringLiteral("%1在文档打开后已在数据表中被改动或删除，没有保存任何数据。"
                       "请重新打开数据表后再修改。");
    return text;
}

QString loadedText(const DocumentSource &source, qint64 id, const Field &f)
{
    return f.loaded < 0 ? QString() : source.rows.value(id).value(f.loaded);
}

// The table's fields by lower-case name, and which of them store numbers.
Result<QHash<QString, Field>> tableFields(Database &db, const QString &table)
{
    Result<Statement> info =
        db.prepareNative(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    if (!info)
        return info.status();
    info->bind(1, table);
    QHash<QString, Field> byName;
    Statement::Step step;
    while ((step = info->step()) == Statement::Step::Row) {
        const QString name = info->toText(0);
        byName.insert(name.toLower(), {0, name, isNumericType(info->toText(1))});
    }
    if (step == Statement::Step::Error)
        return info->status();
    return byName;
}

// The document's columns that are fields of the table. Other columns are the document's own (a
// ranking, its order column): never written.
std::vector<Field> documentFields(const Grid &grid, const DocumentSource &source,
                                  const QHash<QString, Field> &byName)
{
    std::vector<Field> fields;
    for (int c = 1; c < grid.cols(); ++c) {
        const QString header = grid.cellText(0, c).trimmed();
        if (const auto it = byName.constFind(header.toLower()); it != byName.cend()) {
            Field f = it.value();
            f.col = c;
            f.loaded = int(source.fields.indexOf(f.name));
            fields.push_back(f);
        }
    }
    return fields;
}

// Sorts the rows into deletions, insertions and updates of the fields that changed. A row
// pasted with another row's mark is a new row: the first one keeps the rowid.
void sortRows(const Grid &grid, const DocumentSource &source, Plan &plan)
{
    QSet<qint64> present;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        const QChar s = DocumentWriteBack::state(grid, r);
        std::optional<qint64> id = DocumentWriteBack::rowid(grid, r);
        if (id && (present.contains(*id) || !source.rows.contains(*id)))
            id.reset();
        if (id && (s == DocumentWriteBack::kUnchanged || s == DocumentWriteBack::kEdited)) {
            present.insert(*id);
            Update u{r, *id, {}};
            for (size_t f = 0; f < plan.fields.size(); ++f) {
                if (s == DocumentWriteBack::kEdited &&
                    grid.cellText(r, plan.fields[f].col) != loadedText(source, *id, plan.fields[f]))
                    u.changed.push_back(f);
            }
            if (!u.changed.empty())
                plan.updates.push_back(std::move(u));
        } else if (rowHasText(grid, r)) {
            plan.inserts.push_back(r);
        }
    }
    for (auto it = source.rows.cbegin(); it != source.rows.cend(); ++it) {
        if (!present.contains(it.key()))
            plan.deletes.push_back(it.key());
    }
    std::sort(plan.deletes.begin(), plan.deletes.end());
}

// Every value to be written is checked before the first write.
[[nodiscard]] Status checkValues(const Grid &grid, const Plan &plan)
{
    auto check = [&](int r, const Field &f) -> Status {
        const QString &text = grid.cellText(r, f.col);
        if (f.numeric && !text.trimmed().isEmpty() && !NumberText::isNumber(text))
            return Status::refused(
                QStringLiteral("第%1行“%2”应为数字，现在是“%3”。没有保存任何数据。")
                    .arg(r)
                    .arg(f.name, text));
        return Status::ok();
    };
    for (int r : plan.inserts) {
        for (const Field &f : plan.fields) {
            if (Status s = check(r, f); !s.isOk())
                return s;
        }
    }
    for (const Update &u : plan.updates) {
        for (size_t f : u.changed) {
            if (Status s = check(u.row, plan.fields[f]); !s.isOk())
                return s;
        }
    }
    return Status::ok();
}

// The rows as the table holds them now, inside the save's transaction, each value shown as the
// document shows values, by lower-case field name.
class CurrentRow final
{
public:
    CurrentRow(Database &db, const QString &table, const QString &where)
        : m_read(db.prepareNative(QStringLiteral("SELECT * FROM ") + table + where))
    {}

    Status status() const { return m_read.status(); }
    // Reads row `id`; `found` false when it is gone.
    [[nodiscard]] Status read(qint64 id, bool *found)
    {
        m_values.clear();
        m_read->reset();
        m_read->bind(1, id);
        const Statement::Step step = m_read->step();
        if (step == Statement::Step::Error)
            return m_read->status();
        *found = step == Statement::Step::Row;
        for (int i = 0; *found && i < m_read->columnCount(); ++i)
            m_values.insert(m_read->columnName(i).toLower(), NumberText::display(m_read->value(i)));
        return Status::ok();
    }
    QString value(const QString &field) const { return m_values.value(field.toLower()); }
    // No statement may stay open over the commit.
    void close() { m_read = Statement(); }

private:
    Result<Statement> m_read;
    QHash<QString, QString> m_values;
};

// Deletes the rows the document dropped; a row someone else rewrote since the document was
// filled (a new import) would be another pupil, so the save is refused instead.
[[nodiscard]] Status deleteRows(Database &db, const QString &table, const QString &where,
                                const Plan &plan, const DocumentSource &source, CurrentRow &now)
{
    if (plan.deletes.empty())
        return Status::ok();
    Result<Statement> del = db.prepareNative(QStringLiteral("DELETE FROM ") + table + where);
    if (!del)
        return del.status();
    for (qint64 id : plan.deletes) {
        bool found = false;
        if (Status s = now.read(id, &found); !s.isOk())
            return s;
        if (!found)
            continue; // gone already
        const QStringList &loaded = source.rows.value(id);
        for (int i = 0; i < source.fields.size(); ++i) {
            if (now.value(source.fields.at(i)) != loaded.value(i))
                return Status::refused(changedElsewhere().arg(
                    QStringLiteral("删除的一行（%1）").arg(loaded.join(u' ').left(40))));
        }
        del->bind(1, id);
        if (Status s = del->exec(); !s.isOk())
            return s;
        del->reset();
    }
    return Status::ok();
}

// Inserts the new rows; their rowids in the order of `plan.inserts`.
[[nodiscard]] Result<std::vector<qint64>> insertRows(Database &db, const QString &table,
                                                     const Grid &grid, const Plan &plan)
{
    std::vector<qint64> ids;
    if (plan.inserts.empty())
        return ids;
    QStringList names, marks;
    for (const Field &f : plan.fields) {
        names.append(SqlDialect::quoteName(f.name));
        marks.append(QStringLiteral("?"));
    }
    Result<Statement> ins = db.prepareNative(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                 .arg(table, names.join(u','), marks.join(u',')));
    if (!ins)
        return ins.status();
    for (int r : plan.inserts) {
        int i = 0;
        for (const Field &f : plan.fields)
            ins->bind(++i, valueOf(grid.cellText(r, f.col), f.numeric));
        if (Status s = ins->exec(); !s.isOk())
            return s.withContext(QStringLiteral("第%1行：").arg(r));
        ins->reset();
        Result<QVariant> id = db.scalar(QStringLiteral("SELECT last_insert_rowid()"));
        if (!id)
            return id.status();
        ids.push_back(id->toLongLong());
    }
    return ids;
}

// Writes the changed values. Only a value the table still holds as loaded may be replaced: the
// division may have written 新分班 since, and another import may have put another pupil here.
[[nodiscard]] Status updateRows(Database &db, const QString &table, const QString &where,
                                const Grid &grid, const Plan &plan, const DocumentSource &source,
                                CurrentRow &now)
{
    for (const Update &u : plan.updates) {
        bool found = false;
        if (Status s = now.read(u.id, &found); !s.isOk())
            return s;
        QStringList assignments;
        for (size_t f : u.changed) {
            const Field &field = plan.fields[f];
            if (!found || now.value(field.name) != loadedText(source, u.id, field))
                return Status::refused(changedElsewhere().arg(QStringLiteral("第%1行").arg(u.row)));
            assignments.append(SqlDialect::quoteName(field.name) + QStringLiteral(" = ?"));
        }
        Result<Statement> upd =
            db.prepareNative(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                             assignments.join(u',') + where);
        if (!upd)
            return upd.status();
        int i = 0;
        for (size_t f : u.changed)
            upd->bind(++i,
                      valueOf(grid.cellText(u.row, plan.fields[f].col), plan.fields[f].numeric));
        upd->bind(++i, u.id);
        if (Status s = upd->exec(); !s.isOk())
            return s.withContext(QStringLiteral("第%1行：").arg(u.row));
    }
    return Status::ok();
}

// What the written rows hold now, for the next save to compare with.
[[nodiscard]] Result<QHash<qint64, QStringList>> writtenRows(const Plan &plan,
                                                             const std::vector<qint64> &newIds,
                                                             const DocumentSource &source,
                                                             CurrentRow &now)
{
    QHash<qint64, QStringList> written;
    std::vector<qint64> ids = newIds;
    for (const Update &u : plan.updates)
        ids.push_back(u.id);
    for (qint64 id : ids) {
        bool found = false;
        if (Status s = now.read(id, &found); !s.isOk())
            return s;
        QStringList values;
        for (const QString &name : std::as_const(source.fields))
            values.append(now.value(name));
        written.insert(id, values);
    }
    return written;
}

// Only once the table holds them do the marks say so.
void markSaved(Grid &grid, DocumentSource &source, const Plan &plan,
               const std::vector<qint64> &newIds, const QHash<qint64, QStringList> &written)
{
    for (size_t i = 0; i < plan.inserts.size(); ++i)
        grid.setCellTag(plan.inserts[i], 0,
                        DocumentWriteBack::mark(DocumentWriteBack::kUnchanged, newIds[i]));
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        const QChar s = DocumentWriteBack::state(grid, r);
        if (s == DocumentWriteBack::kEdited)
            grid.setCellTag(r, 0,
                            DocumentWriteBack::mark(DocumentWriteBack::kUnchanged,
                                                    DocumentWriteBack::rowid(grid, r)));
        else if (s == DocumentWriteBack::kNew)
            grid.setCellTag(r, 0, QString()); // new rows left empty were not written
    }
    for (qint64 id : plan.deletes)
        source.rows.remove(id);
    for (auto it = written.cbegin(); it != written.cend(); ++it)
        source.rows.insert(it.key(), it.value());
}

} // namespace

Status DocumentWriteBack::save(Database &db, Grid &grid, DocumentSource &source)
{
    if (!source.isTable())
        return Status::refused(notSavableText());
    const QString table = SqlDialect::quoteName(source.table);
    if (!db.hasTable(source.table))
        return Status::error(Status::Kind::MissingTable,
                             QStringLiteral("数据表“%1”已不存在，无法保存。").arg(source.table));
    const Result<QHash<QString, Field>> byName = tableFields(db, source.table);
    if (!byName)
        return byName.status();
    Plan plan;
    plan.fields = documentFields(grid, source, *byName);
    if (plan.fields.empty())
        return Status::refused(
            QStringLiteral("文档中没有数据表“%1”的字段，没有保存任何数据。").arg(source.table));
    sortRows(grid, source, plan);
    if (Status s = checkValues(grid, plan); !s.isOk())
        return s;

    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    const QString where = QStringLiteral(" WHERE ") + source.rowidName + QStringLiteral(" = ?");
    CurrentRow now(db, table, where);
    if (!now.status().isOk())
        return now.status();
    if (Status s = deleteRows(db, table, where, plan, source, now); !s.isOk())
        return s;
    const Result<std::vector<qint64>> newIds = insertRows(db, table, grid, plan);
    if (!newIds)
        return newIds.status();
    if (Status s = updateRows(db, table, where, grid, plan, source, now); !s.isOk())
        return s;
    const Result<QHash<qint64, QStringList>> written = writtenRows(plan, *newIds, source, now);
    if (!written)
        return written.status();
    now.close();
    if (Status s = transaction.commit(); !s.isOk())
        return s;
    markSaved(grid, source, plan, *newIds, *written);
    return Status::ok();
}

} // namespace fenpai
