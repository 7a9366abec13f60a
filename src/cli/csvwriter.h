#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

class QTextStream;

namespace fenpai {

class Query;

// CSV as RFC 4180 quotes it: a field holding a comma, a quote or a line break is put between
// quotes with its quotes doubled. Values print as the documents show them, except that a text
// beginning with =, +, -, @, a tab or a carriage return gets a leading apostrophe, so that a
// spreadsheet opening the file shows it instead of running it as a formula.
class CsvWriter final
{
public:
    static QString field(const QString &text);
    static QString line(const QStringList &fields);
    // Header row, then every row of the query from where it stands. Returns the row count.
    static qint64 write(QTextStream &out, Query &query);
};

} // namespace fenpai
