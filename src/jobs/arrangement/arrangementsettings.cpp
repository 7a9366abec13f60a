#include "jobs/arrangement/arrangementsettings.h"

#include "core/numbertext.h"

#include <algorithm>
#include <limits>

namespace fenpai {

namespace {

bool digitsOnly(const QString &text)
{
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; });
}

} // namespace

int ArrangementSettings::parseGroupsPerRoom(const QString &text)
{
    const double n = NumberText::leadingValue(text);
    if (!(n >= 1))
        return 0;
    const double whole = NumberText::roundHalfEven(n);
    return whole >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                    : static_cast<int>(whole);
}

Result<qint64> ArrangementSettings::parseStartNumber(const QString &text)
{
    const QString digits = text.trimmed();
    // Leading zeros are no digits of the stored number.
    qsizetype first = 0;
    while (first < digits.size() - 1 && digits[first] == u'0')
        ++first;
    if (!digits.isEmpty() && digitsOnly(digits) && digits.size() - first > maxStartDigits)
        return Status::refused(QStringLiteral("“起始考号”太长，最多%1位。").arg(maxStartDigits));
    bool ok = false;
    const qint64 start = digits.toLongLong(&ok);
    if (digits.isEmpty() || !digitsOnly(digits) || !ok || start < 1)
        return Status::refused(QStringLiteral("“起始考号”必须是不小于1的整数，只能由数字组成。"));
    return start;
}

Result<QString> ArrangementSettings::parsePrefix(const QString &text)
{
    const QString prefix = text.trimmed();
    // Without one the numbers would start at the room and run to different lengths.
    if (prefix.isEmpty())
        return Status::refused(QStringLiteral("“前缀固定号”不能为空"));
    if (!digitsOnly(prefix))
        return Status::refused(QStringLiteral("“前缀固定号”只能由数字组成。"));
    return prefix;
}

Status ArrangementSettings::check() const
{
    if (numbering == Numbering::Consecutive)
        return parseStartNumber(QString::number(startNumber)).status();
    const Result<QString> checked = parsePrefix(prefix);
    if (checked && *checked != prefix)
        return Status::refused(QStringLiteral("“前缀固定号”只能由数字组成。"));
    return checked.status();
}

} // namespace fenpai
