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

Status DocumentWriteBack::save(Database &db, Grid &grid, DocumentSource &source)
{
    if (!source.isTable())
        return Status::refused(notSavableText());
    const QString table = SqlDialect::quoteName(source.table);
    if (!db.hasTable(source.table))
        return Status::error(Status::Kind::MissingTable,
                             QStringLiteral("数据表“%1”已不存在，无法保存。").arg(source.table));

    // The table's fields and which of them store numbers.
    QHash<QString, Field> byName; // lower-case name → field, without its grid column
    {
        Result<Statement> info =
            db.prepareNative(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
        if (!info)
            return info.status();
        info->bind(1, source.table);
        Statement::Step step;
        while ((step = info->step()) == Statement::Step::Row) {
            const QString name = info->toText(0);
            byName.insert(name.toLower(), {0, name, isNumericType(info->toText(1))});
        }
        if (step == Statement::Step::Error)
            return info->status();
    }
    // Other columns are the document's own (a ranking, its order column): never written.
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
    if (fields.empty())
        return Status::refused(
            QStringLiteral("文档中没有数据表“%1”的字段，没有保存任何数据。").arg(source.table));
    auto loadedText = [&](qint64 id, const Field &f) {
        return f.loaded < 0 ? QString() : source.rows.value(id).value(f.loaded);
    };

    // Sort the rows into deletions, insertions and updates of the fields that changed. A row
    // pasted with another row's mark is a new row: the first one keeps the rowid.
    QSet<qint64> present;
    std::vector<int> inserts;
    struct Update
    {
        int row;
        qint64 id;
        std::vector<const Field *> changed;
    };
    std::vector<Update> updates;
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        const QChar s = state(grid, r);
        std::optional<qint64> id = rowid(grid, r);
        if (id && (present.contains(*id) || !source.rows.contains(*id)))
            id.reset();
        if (id && (s == kUnchanged || s == kEdited)) {
            present.insert(*id);
            Update u{r, *id, {}};
            for (const Field &f : fields) {
                if (s == kEdited && grid.cellText(r, f.col) != loadedText(*id, f))
                    u.changed.push_back(&f);
            }
            if (!u.changed.empty())
                updates.push_back(std::move(u));
        } else if (rowHasText(grid, r)) {
            inserts.push_back(r);
        }
    }
    std::vector<qint64> deletes;
    for (auto it = source.rows.cbegin(); it != source.rows.cend(); ++it) {
        if (!present.contains(it.key()))
            deletes.push_back(it.key());
    }
    std::sort(deletes.begin(), deletes.end());

    // Every value to be written is checked before the first write.
    auto check = [&](int r, const Field &f) -> Status {
        const QString &text = grid.cellText(r, f.col);
        if (f.numeric && !text.trimmed().isEmpty() && !NumberText::isNumber(text))
            return Status::refused(
                QStringLiteral("第%1行“%2”应为数字，现在是“%3”。没有保存任何数据。")
                    .arg(r)
                    .arg(f.name, text));
        return Status::ok();
    };
    for (int r : inserts) {
        for (const Field &f : fields) {
            if (Status s = check(r, f); !s.isOk())
                return s;
        }
    }
    for (const Update &u : updates) {
        for (const Field *f : u.changed) {
            if (Status s = check(u.row, *f); !s.isOk())
                return s;
        }
    }

    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    const QString where = QStringLiteral(" WHERE ") + source.rowidName + QStringLiteral(" = ?");
    Result<Statement> read = db.prepareNative(QStringLiteral("SELECT * FROM ") + table + where);
    if (!read)
        return read.status();
    // The row as the table holds it now, shown as the document shows values, by lower-case
    // field name; false when the row is gone.
    QHash<QString, QString> now;
    auto readRow = [&](qint64 id, bool *found) -> Status {
        now.clear();
        read->reset();
        read->bind(1, id);
        const Statement::Step step = read->step();
        if (step == Statement::Step::Error)
            return read->status();
        *found = step == Statement::Step::Row;
        for (int i = 0; *found && i < read->columnCount(); ++i)
            now.insert(read->columnName(i).toLower(), NumberText::display(read->value(i)));
        return Status::ok();
    };
    const QString changedElsewhere =
        QStringLiteral("%1在文档打开后已在数据表中被改动或删除，没有保存任何数据。"
                       "请重新打开数据表后再修改。");

    if (!deletes.empty()) {
        Result<Statement> del = db.prepareNative(QStringLiteral("DELETE FROM ") + table + where);
        if (!del)
            return del.status();
        for (qint64 id : deletes) {
            bool found = false;
            if (Status s = readRow(id, &found); !s.isOk())
                return s;
            if (!found)
                continue; // gone already
            // Deleting a row someone else rewrote (a new import) would delete another pupil.
            const QStringList &loaded = source.rows.value(id);
            for (int i = 0; i < source.fields.size(); ++i) {
                if (now.value(source.fields.at(i).toLower()) != loaded.value(i))
                    return Status::refused(changedElsewhere.arg(
                        QStringLiteral("删除的一行（%1）").arg(loaded.join(u' ').left(40))));
            }
            del->bind(1, id);
            if (Status s = del->exec(); !s.isOk())
                return s;
            del->reset();
        }
    }
    std::vector<qint64> newIds;
    if (!inserts.empty()) {
        QStringList names, marks;
        for (const Field &f : fields) {
            names.append(SqlDialect::quoteName(f.name));
            marks.append(QStringLiteral("?"));
        }
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
    for (const Update &u : updates) {
        bool found = false;
        if (Status s = readRow(u.id, &found); !s.isOk())
            return s;
        QStringList assignments;
        for (const Field *f : u.changed) {
            // Only a value the table still holds as loaded may be replaced: the division may
            // have written 新分班 since, and another import may have put another pupil here.
            if (!found || now.value(f->name.toLower()) != loadedText(u.id, *f))
                return Status::refused(changedElsewhere.arg(QStringLiteral("第%1行").arg(u.row)));
            assignments.append(SqlDialect::quoteName(f->name) + QStringLiteral(" = ?"));
        }
        Result<Statement> upd =
            db.prepareNative(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                             assignments.join(u',') + where);
        if (!upd)
            return upd.status();
        int i = 0;
        for (const Field *f : u.changed)
            upd->bind(++i, valueOf(grid.cellText(u.row, f->col), f->numeric));
        upd->bind(++i, u.id);
        if (Status s = upd->exec(); !s.isOk())
            return s.withContext(QStringLiteral("第%1行：").arg(u.row));
    }

    // What the written rows hold now, for the next save to compare with.
    QHash<qint64, QStringList> written;
    auto remember = [&](qint64 id) -> Status {
        bool found = false;
        if (Status s = readRow(id, &found); !s.isOk())
            return s;
        QStringList values;
        for (const QString &name : std::as_const(source.fields))
            values.append(now.value(name.toLower()));
        written.insert(id, values);
        return Status::ok();
    };
    for (qint64 id : newIds) {
        if (Status s = remember(id); !s.isOk())
            return s;
    }
    for (const Update &u : updates) {
        if (Status s = remember(u.id); !s.isOk())
            return s;
    }
    read = Statement(); // no statement may stay open over the commit
    if (Status s = transaction.commit(); !s.isOk())
        return s;

    // Only now that the table holds them do the marks say so.
    for (size_t i = 0; i < inserts.size(); ++i)
        grid.setCellTag(inserts[i], 0, mark(kUnchanged, newIds[i]));
    for (int r = grid.fixedRows(); r < grid.rows(); ++r) {
        const QChar s = state(grid, r);
        if (s == kEdited)
            grid.setCellTag(r, 0, mark(kUnchanged, rowid(grid, r)));
        else if (s == kNew)
            grid.setCellTag(r, 0, QString()); // new rows left empty were not written
    }
    for (qint64 id : deletes)
        source.rows.remove(id);
    for (auto it = written.cbegin(); it != written.cend(); ++it)
        source.rows.insert(it.key(), it.value());
    return Status::ok();
}

} // namespace fenpai
