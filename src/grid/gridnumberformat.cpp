#include "grid/gridnumberformat.h"

#include <cmath>

namespace fenpai {

namespace {

bool isPlaceholder(QChar ch)
{
    return ch == u'#' || ch == u'0' || ch == u',' || ch == u'.';
}

// The number part of a pattern: from its first "#" or "0" to its last, grown over adjoining
// separators (",##0" or "#."). False when the pattern has no digit placeholder.
bool numberSpan(const QString &pattern, qsizetype *start, qsizetype *end)
{
    *start = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern.at(i) == u'#' || pattern.at(i) == u'0') {
            if (*start < 0)
                *start = i;
            *end = i;
        }
    }
    if (*start < 0)
        return false;
    while (*start > 0 && isPlaceholder(pattern.at(*start - 1)))
        --*start;
    while (*end + 1 < pattern.size() && isPlaceholder(pattern.at(*end + 1)))
        ++*end;
    return true;
}

// What a number part asks for: "#,##0.0#" groups thousands, has at least one whole digit and
// one to two decimals.
struct DigitRules
{
    bool grouping = false;
    int minIntDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
};

DigitRules digitRules(const QString &number)
{
    const qsizetype point = number.indexOf(u'.');
    const QString intPart = point < 0 ? number : number.left(point);
    const QString decPart = point < 0 ? QString() : number.mid(point + 1);
    return DigitRules{intPart.contains(u','), int(intPart.count(u'0')), int(decPart.count(u'0')),
                      int(decPart.count(u'0') + decPart.count(u'#'))};
}

QString groupThousands(const QString &whole)
{
    QString grouped;
    const qsizetype n = whole.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped.append(u',');
        grouped.append(whole.at(i));
    }
    return grouped;
}

// The digits of a number without its sign as the rules write them; empty for a zero that
// asks for no digit.
QString digits(double magnitude, const DigitRules &rules)
{
    const QString fixed = QString::number(magnitude, 'f', rules.maxDecimals);
    QString whole = fixed;
    QString decimals;
    if (const qsizetype dot = fixed.indexOf(u'.'); dot >= 0) {
        whole = fixed.left(dot);
        decimals = fixed.mid(dot + 1);
    }
    while (decimals.size() > rules.minDecimals && decimals.endsWith(u'0'))
        decimals.chop(1);
    if (whole == QLatin1String("0"))
        whole.clear();
    while (whole.size() < rules.minIntDigits)
        whole.prepend(u'0');
    if (rules.grouping && whole.size() > 3)
        whole = groupThousands(whole);
    return decimals.isEmpty() ? whole : whole + u'.' + decimals;
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
    if (!numberSpan(pattern, &start, &end))
        return pattern.isEmpty() ? QString::number(value, 'g', 15) : pattern;
    const QString prefix = pattern.left(start);
    const QString suffix = pattern.mid(end + 1);
    const DigitRules rules = digitRules(pattern.mid(start, end - start + 1));
    if (prefix.contains(u'%') || suffix.contains(u'%'))
        value *= 100;
    QString body = digits(std::fabs(value), rules);
    const bool isZero =
        body.isEmpty() || body.count(u'0') + body.count(u'.') + body.count(u',') == body.size();
    if (value < 0 && !isZero)
        body.prepend(u'-');
    return prefix + body + suffix;
}

} // namespace fenpai
