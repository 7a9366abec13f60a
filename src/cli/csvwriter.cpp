#include "cli/csvwriter.h"

#include "core/numbertext.h"
#include "db/query.h"

#include <QTextStream>

namespace fenpai {

namespace {

// A spreadsheet that opens the file runs a cell beginning with one of these as a formula.
bool startsLikeFormula(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

} // namespace

QString CsvWriter::field(const QString &given)
{
    // A NUL cuts the line short in whatever reads the file next: none is written.
    const QString text = given.contains(QChar(0)) ? QString(given).remove(QChar(0)) : given;
    QString value = text;
    // A text that would run as a formula (=HYPERLINK(…) in a name) is kept text by a leading
    // apostrophe, as OWASP advises against CSV injection; a number such as -5 stays a number.
    if (startsLikeFormula(text) && !(text == text.trimmed() && NumberText::isNumber(text)))
        value.prepend(u'\'');
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') &&
        !value.contains(u'\r'))
        return value;
    QString quoted = value;
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
