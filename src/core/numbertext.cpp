#include "core/numbertext.h"

#include <charconv>
#include <cmath>

namespace fenpai {

QString NumberText::format(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}

QString NumberText::display(const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return format(value.toDouble());
    case QMetaType::QString:
        return value.toString();
    default:
        return value.toString();
    }
}

namespace {

// Length of the leading decimal number of text starting at pos (sign, digits, point, exponent).
int numberLength(const QString &text, int pos)
{
    const int start = pos;
    const int n = static_cast<int>(text.size());
    if (pos < n && (text[pos] == u'+' || text[pos] == u'-'))
        ++pos;
    int digits = 0;
    while (pos < n && text[pos].isDigit() && text[pos].unicode() < 128) {
        ++pos;
        ++digits;
    }
    if (pos < n && text[pos] == u'.') {
        int after = pos + 1;
        int fraction = 0;
        while (after < n && text[after].unicode() < 128 && text[after].isDigit()) {
            ++after;
            ++fraction;
        }
        if (digits + fraction > 0) {
            pos = after;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (pos < n && (text[pos] == u'e' || text[pos] == u'E')) {
        int after = pos + 1;
        if (after < n && (text[after] == u'+' || text[after] == u'-'))
            ++after;
        int expDigits = 0;
        while (after < n && text[after].unicode() < 128 && text[after].isDigit()) {
            ++after;
            ++expDigits;
        }
        if (expDigits > 0)
            pos = after;
    }
    return pos - start;
}

} // namespace

double NumberText::leadingValue(const QString &text)
{
    int pos = 0;
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
    const int length = numberLength(text, pos);
    if (length == 0)
        return 0.0;
    bool ok = false;
    const double value = text.mid(pos, length).toDouble(&ok);
    return ok ? value : 0.0;
}

bool NumberText::isNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    return !trimmed.isEmpty() && numberLength(trimmed, 0) == trimmed.size();
}

std::optional<qint64> NumberText::wholeNumber(const QString &text, qint64 min, qint64 max)
{
    const QString trimmed = text.trimmed();
    const qsizetype start = trimmed.startsWith(u'+') || trimmed.startsWith(u'-') ? 1 : 0;
    if (trimmed.size() == start)
        return std::nullopt;
    for (qsizetype i = start; i < trimmed.size(); ++i) {
        if (trimmed[i].unicode() < u'0' || trimmed[i].unicode() > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok); // refuses what 64 bits cannot hold
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

double NumberText::roundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

} // namespace fenpai
