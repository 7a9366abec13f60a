#pragma once

#include "jobs/import/importfields.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace fenpai {

// Which column of a sheet gives each field a table needs.
struct FieldMatch
{
    enum class How
    {
        Exact,    // the header is the field's name
        Synonym,  // the header is one of the field's other names (ImportFields::synonymList)
        Position, // the room capacity, taken from the second column when no header names it
        Chosen,   // the user named the column
        Empty,    // no column: an empty one is added
        Missing,  // no column, and the field cannot be left empty
    };
    QString field;
    int column = -1; // index into the headers; -1 for Empty and Missing
    How how = How::Missing;
};

// Matches a sheet's headers to the fields of a table, and lays out the table it becomes.
// The order of trust: a column the user chose, then the header that is the field's exact name
// (case aside), then a header equal to the field's name or one of its synonyms once spaces and
// full-width forms are set aside, then for the capacity the second column. A column serves one
// field only.
class ColumnMatching final
{
public:
    // `chosen`: field → header; an empty header asks for an empty column.
    static std::vector<FieldMatch> match(const QStringList &headers,
                                         const std::vector<ImportField> &fields,
                                         const QHash<QString, QString> &chosen = {});

    // The index of the header a user meant by `name`: the exact header (case aside), else the
    // header equal once normalised; -1 when there is none.
    static int findHeader(const QStringList &headers, const QString &name);

    struct OutputColumn
    {
        QString name;
        int source = -1; // the header's index; -1 for an added empty column
    };
    // The columns of the imported table: every header in order, a matched one under the field's
    // name (the capacity keeps its own in second place), one that would clash with a field
    // name with a number appended; the empty fields last; the capacity moved to second place.
    static std::vector<OutputColumn> layout(const QStringList &headers,
                                            const std::vector<ImportField> &fields,
                                            const std::vector<FieldMatch> &matches);

    // One line per field not taken by its exact name: "姓名 ← 考生姓名", "原班级：空列" …
    static QStringList describe(const QStringList &headers, const std::vector<FieldMatch> &matches);
};

} // namespace fenpai
