#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace fenpai {

// Where a document's rows came from, so its edits can go back there. Only a document filled
// straight from a table has one; queries, statistics and generated layouts leave it empty.
struct DocumentSource
{
    QString table;      // empty: the document cannot be written back
    QString rowidName;  // rowid, or _rowid_ / oid when the table has a column called rowid
    QStringList fields; // the table's fields as filled
    // The table's rows the document held at its fill or last save, by rowid, with their values
    // as shown then (by fields). A save writes only what differs from them, and refuses when the
    // table changed the same values meanwhile.
    QHash<qint64, QStringList> rows;

    bool isTable() const { return !table.isEmpty(); }
};

} // namespace fenpai
