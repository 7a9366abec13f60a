#include "grid/gridnumberformat.h"

#include <cmath>

namespace fenpai {

namespace {

bool isPlaceholder(QChar ch)
{
    return ch == u'#' || ch == u'0' || ch == u',' || ch == u'.';
}

} // namespace

bool GridNumberFormat::parse(const QString &text, double *value)
{
    const QStringView trimmed = QStringView(text).trimmed();
    if (trimmed.isEmpty())
        return false;
    // Only plain decimal notation counts: the "inf", "nan" and hexadecimal readings of the
    // conversion are not numbers a user typed into a table.
    for (QChar ch : trimmed) {
        if (!(ch.isDigit() || ch == u'.' || ch == u'-' || ch == u'+' || ch == u'e' || ch == u'E'))
            return false;
    }
    bool ok = false;
    const double v = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    if (value)
        *value = v;
    return true;
}

QString GridNumberFormat::format(double value, const QString &fullPattern)
{
    // Only the first section of a pattern with sections counts.
    const QString pattern = fullPattern.section(u';', 0, 0);
    qsizetype start = -1;
    qsizetype end = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == u'#' || pattern.at(i) == u'0') {
            if (start < 0)
                start = i;
            end = i;
        }
    }
    if (start < 0)
        return pattern.isEmpty() ? QString::number(value, 'g', 15) : pattern;
    // Grow the number part over adjoining separators (",##0" or "#.").
    while (start > 0 && isPlaceholder(pattern.at(start - 1)))
        --start;
    while (end + 1 < pattern.size() && isPlaceholder(pattern.at(end + 1)))
        ++end;
    const QString prefix = pattern.left(start);
    const QString suffix = pattern.mid(end + 1);
    const QString number = pattern.mid(start, end - start + 1);

    const qsizetype point = number.indexOf(u'.');
    const QString intPart = point < 0 ? number : number.left(point);
    const QString decPart = point < 0 ? QString() : number.mid(point + 1);
    const bool grouping = intPart.contains(u',');
    const int minIntDigits = int(intPart.count(u'0'));
    const int minDecimals = int(decPart.count(u'0'));
    const int maxDecimals = int(decPart.count(u'0') + decPart.count(u'#'));

    if (prefix.contains(u'%') || suffix.contains(u'%'))
        value *= 100;
    const bool negative = value < 0;
    QString digits = QString::number(std::fabs(value), 'f', maxDecimals);
    QString whole = digits;
    QString decimals;
    if (const qsizetype dot = digits.indexOf(u'.'); dot >= 0) {
        whole = digits.left(dot);
        decimals = digits.mid(dot + 1);
    }
    while (decimals.size() > minDecimals && decimals.endsWith(u'0'))
        decimals.chop(1);
    if (whole == QLatin1String("0"))
        whole.clear();
    while (whole.size() < minIntDigits)
        whole.prepend(u'0');
    if (grouping && whole.size() > 3) {
        QString grouped;
        const qsizetype n = whole.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                grouped.append(u',');
            grouped.append(whole.at(i));
        }
        whole = grouped;
    }
    QString body = whole;
    if (!decimals.isEmpty())
        body += u'.' + decimals;
    const bool isZero =
        body.isEmpty() || body.count(u'0') + body.count(u'.') + body.count(u',') == body.size();
    if (negative && !isZero)
        body.prepend(u'-');
    return prefix + body + suffix;
}

} // namespace fenpai
