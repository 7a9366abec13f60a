#include "jobs/documents/documentfill.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/query.h"
#include "db/savedqueries.h"
#include "db/sqldialect.h"
#include "grid/grid.h"
#include "jobs/documents/documentwriteback.h"

#include <algorithm>

namespace fenpai {

namespace {

// A table is read with its rowids, so that edits can be written back to their rows; a saved
// query, or a table whose every rowid name is taken by a column, is not.
DocumentSource sourceOf(Database &db, const QString &source)
{
    DocumentSource table;
    if (!db.hasTable(source))
        return table;
    const QStringList columns = db.columns(source);
    for (const char *candidate : {"rowid", "_rowid_", "oid"}) {
        if (!columns.contains(QLatin1String(candidate), Qt::CaseInsensitive)) {
            table.table = source;
            table.rowidName = QLatin1String(candidate);
            break;
        }
    }
    return table;
}

// The header row from the query's fields (after the rowid at `first`) and their masks.
void fillHeader(Grid &grid, Query &query, int first, DocumentSource &table)
{
    const int n = query.fieldCount() - first;
    grid.setCols(n + 1);
    for (int i = first; i < n + first; ++i) {
        const int c = i + 1 - first;
        grid.setCellText(0, c, query.fieldName(i));
        if (table.isTable())
            table.fields.append(query.fieldName(i));
        // A student number is a number but not a score: it keeps the plain column.
        if (query.isDouble(i) && query.fieldName(i) != ColumnNames::studentNumber)
            grid.setColumnMask(c, GridMask::Numeric);
    }
}

// The rows, each marked with its rowid for the write-back; how many there were.
int fillRows(Grid &grid, Query &query, int first, DocumentSource &table)
{
    int k = 0;
    QStringList values;
    for (; !query.atEnd(); query.next()) {
        values.clear();
        const std::vector<QVariant> &row = query.row();
        for (size_t i = size_t(first); i < row.size(); ++i)
            values.append(NumberText::display(row[i]));
        grid.addItem(values.join(u'\t'), false);
        ++k;
        std::optional<qint64> rowid;
        if (table.isTable()) {
            rowid = row.front().toLongLong();
            table.rows.insert(*rowid, values);
        }
        grid.setCellTag(k, 0, DocumentWriteBack::mark(DocumentWriteBack::kUnchanged, rowid));
    }
    return k;
}

} // namespace

DocumentFill::Outcome DocumentFill::fill(Grid &grid, Database &db, const QString &source,
                                         const QString &title, const GridTextMeasure &measure)
{
    Outcome outcome;
    grid.setColumnMask(1, GridMask::Text);
    grid.setRows(1);
    grid.setDisplayRowIndex(true);

    DocumentSource table = sourceOf(db, source);
    const int first = table.isTable() ? 1 : 0; // the rowid comes first
    Result<Query> query = table.isTable()
                              ? db.query(QStringLiteral("SELECT %1, * FROM %2")
                                             .arg(table.rowidName, SqlDialect::quoteName(source)))
                              : db.query(source);
    if (!query) {
        outcome.status = query.status();
        return outcome;
    }
    grid.setAutoRedraw(false);
    fillHeader(grid, *query, first, table);
    if (query->isEmpty()) {
        grid.addItem(QString(), false);
        outcome.noRecords = true;
        outcome.titleText = title + QStringLiteral(" [没有记录]");
    } else {
        const int k = fillRows(grid, *query, first, table);
        outcome.status = query->status();
        outcome.titleText = title + QStringLiteral(" [") + QString::number(k) + QStringLiteral("]");
        grid.addItem(QString(), false);
    }
    outcome.source = table;
    fitColumns(grid, measure);
    grid.setAutoRedraw(true);
    grid.refresh();
    return outcome;
}

void DocumentFill::fitColumns(Grid &grid, const GridTextMeasure &measure)
{
    // The row numbers only ever widen their column; the data columns take their widest value,
    // header included, and a very long text is elided on screen rather than taking the page.
    const int rowNumbers = grid.columnWidth(0);
    grid.autoFitColumn(0, measure);
    grid.setColumnWidth(0, std::max(rowNumbers, grid.columnWidth(0)));
    for (int c = 1; c < grid.cols(); ++c) {
        grid.autoFitColumn(c, measure);
        grid.setColumnWidth(c, std::clamp(grid.columnWidth(c), minColumnWidth, maxColumnWidth));
    }
}

DocumentFill::Outcome DocumentFill::fillWithTotals(Grid &grid, Database &db,
                                                   const QString &queryName, const QString &sql,
                                                   const QString &totalsSql, int firstCol,
                                                   const QString &title)
{
    Outcome out;
    if (out.status = SavedQueries::replace(db, queryName, sql); !out.status.isOk())
        return out;
    Result<Query> totals = db.query(totalsSql);
    if (!totals) {
        out.status = totals.status();
        return out;
    }
    out = fill(grid, db, queryName, title);
    if (!out.status.isOk())
        return out;
    grid.setAutoRedraw(false);
    grid.insertRows(1);
    grid.setCellText(1, 1, QStringLiteral("合计"));
    for (int i = 0; !totals->atEnd() && i < totals->fieldCount(); ++i)
        grid.setCellText(1, firstCol + i, NumberText::display(totals->value(i)));
    grid.setAutoRedraw(true);
    grid.refresh();
    return out;
}

} // namespace fenpai
