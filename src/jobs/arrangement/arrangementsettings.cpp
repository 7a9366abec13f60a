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
    bool ok = false;
    const qint64 start = digits.toLongLong(&ok);
    if (digits.isEmpty() || !digitsOnly(digits) || !ok || start < 1)
        return Status::refused(QStringLiteral("“起始考号”必须是不小于1的整数，只能由数字组成。"));
    return start;
}

Result<QString> ArrangementSettings::parsePrefix(const QString &text)
{
    const QString prefix = text.trimmed();
    if (!digitsOnly(prefix))
        return Status::refused(QStringLiteral("“前缀固定号”只能由数字组成。"));
    return prefix;
}

Result<ArrangementSettings::Versions> ArrangementSettings::parseVersions(const QString &text)
{
    const QString chosen = text.trimmed().toUpper();
    if (chosen.isEmpty() || chosen == u'0' || chosen == u'1' || chosen == QLatin1String("NONE") ||
        chosen == QStringLiteral("无"))
        return Versions::None;
    if (chosen == u'2' || chosen == QLatin1String("AB") || chosen == QStringLiteral("AB卷"))
        return Versions::AB;
    if (chosen == u'4' || chosen == QLatin1String("ABCD") || chosen == QStringLiteral("ABCD卷"))
        return Versions::ABCD;
    return Status::refused(QStringLiteral("“试卷版本”只能是 2（AB卷）或 4（ABCD卷）。"));
}

Status ArrangementSettings::check() const
{
    if (versions != Versions::None && versions != Versions::AB && versions != Versions::ABCD)
        return Status::refused(QStringLiteral("“试卷版本”只能是 2（AB卷）或 4（ABCD卷）。"));
    if (numbering == Numbering::Consecutive)
        return parseStartNumber(QString::number(startNumber)).status();
    const Result<QString> checked = parsePrefix(prefix);
    if (checked && *checked != prefix)
        return Status::refused(QStringLiteral("“前缀固定号”只能由数字组成。"));
    return checked.status();
}

} // namespace fenpai
