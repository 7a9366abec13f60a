#pragma once

#include <QList>
#include <QString>

namespace fenpai {

// Where a document's rows came from, so its edits can go back there. Only a document filled
// straight from a table has one; queries, statistics and generated layouts leave it empty.
struct DocumentSource
{
    QString table;        // empty: the document cannot be written back
    QString rowidName;    // rowid, or _rowid_ / oid when the table has a column called rowid
    QList<qint64> rowids; // the table's rows the document held at its fill or last save

    bool isTable() const { return !table.isEmpty(); }
};

} // namespace fenpai
