#include "cli/csvwriter.h"

#include "core/numbertext.h"
#include "db/query.h"

#include <QTextStream>

namespace fenpai {

QString CsvWriter::field(const QString &value)
{
    // A NUL cuts the line short in whatever reads the file next: none is written.
    const QString text = value.contains(QChar(0)) ? QString(value).remove(QChar(0)) : value;
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvWriter::line(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields)
        out.append(field(f));
    return out.join(u',');
}

qint64 CsvWriter::write(QTextStream &out, Query &query)
{
    out << line(query.fieldNames()) << '\n';
    qint64 rows = 0;
    for (; !query.atEnd(); query.next()) {
        QStringList fields;
        for (const QVariant &v : query.row())
            fields.append(NumberText::display(v));
        out << line(fields) << '\n';
        ++rows;
    }
    return rows;
}

} // namespace fenpai
