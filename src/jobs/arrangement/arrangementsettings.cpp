#include "jobs/arrangement/arrangementsettings.h"

#include "core/numbertext.h"

#include <QStringList>

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

namespace {

const QString modeKey = QStringLiteral("编排方式");
const QString groupKindKey = QStringLiteral("混编单位");
const QString groupsKey = QStringLiteral("每场班级数");
const QString adjacentKey = QStringLiteral("相邻班级");
const QString scoreOrderKey = QStringLiteral("成绩顺序");
const QString numberingKey = QStringLiteral("考号方式");
const QString startKey = QStringLiteral("起始考号");
const QString prefixKey = QStringLiteral("前缀");
const QString separateKey = QStringLiteral("同班不相邻");
const QString seatOrderKey = QStringLiteral("座位顺序");
const QString versionsKey = QStringLiteral("试卷版本");

// Each stored value by the name it is kept under, in the enum's order.
const QStringList groupKindNames = {QStringLiteral("班级"), QStringLiteral("学校")};
const QStringList scoreOrderNames = {QStringLiteral("相近"), QStringLiteral("随机"),
                                     QStringLiteral("相差大")};
const QStringList numberingNames = {QStringLiteral("起始考号+1"), QStringLiteral("考场号座位号")};
const QStringList seatOrderNames = {QStringLiteral("按列"), QStringLiteral("按列蛇形"),
                                    QStringLiteral("按行")};

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

template <typename Enum> QString nameOf(const QStringList &names, Enum value)
{
    return names.value(static_cast<int>(value));
}

} // namespace

QString ArrangementSettings::describe() const
{
    QStringList parts = {QStringLiteral("编排方式%1").arg(static_cast<int>(mode))};
    if (mode == Mode::GroupMix)
        parts.append(QStringLiteral("每场 %1 个%2")
                         .arg(groupsPerRoom)
                         .arg(groupKind == GroupKind::Class ? QStringLiteral("班级")
                                                            : QStringLiteral("学校")));
    parts.append(numbering == Numbering::Consecutive
                     ? QStringLiteral("起始考号 %1").arg(startNumber)
                     : QStringLiteral("考号由前缀 %1、考场号和座位号定").arg(prefix));
    if (separateClassmates)
        parts.append(QStringLiteral("同班考生不相邻"));
    if (versions != Versions::None)
        parts.append(versions == Versions::AB ? QStringLiteral("AB 卷")
                                              : QStringLiteral("ABCD 卷"));
    return parts.join(QStringLiteral("，"));
}

QMap<QString, QString> ArrangementSettings::stored() const
{
    return {{modeKey, QString::number(static_cast<int>(mode))},
            {groupKindKey, nameOf(groupKindNames, groupKind)},
            {groupsKey, QString::number(groupsPerRoom)},
            {adjacentKey, flag(adjacentGroups)},
            {scoreOrderKey, nameOf(scoreOrderNames, scoreOrder)},
            {numberingKey, nameOf(numberingNames, numbering)},
            {startKey, QString::number(startNumber)},
            {prefixKey, prefix},
            {separateKey, flag(separateClassmates)},
            {seatOrderKey, nameOf(seatOrderNames, seatOrder)},
            {versionsKey, QString::number(static_cast<int>(versions))}};
}

Result<ArrangementSettings> ArrangementSettings::fromStored(const QMap<QString, QString> &values)
{
    const Status damaged = Status::refused(QStringLiteral("数据库中保存的上次编排设置已损坏。"));
    ArrangementSettings s;
    const int mode = values.value(modeKey).toInt();
    const qsizetype kind = groupKindNames.indexOf(values.value(groupKindKey));
    const qsizetype order = scoreOrderNames.indexOf(values.value(scoreOrderKey));
    const qsizetype numbering = numberingNames.indexOf(values.value(numberingKey));
    const qsizetype seats = seatOrderNames.indexOf(values.value(seatOrderKey));
    const Result<qint64> start = parseStartNumber(values.value(startKey));
    const Result<QString> prefix = parsePrefix(values.value(prefixKey));
    const auto isFlag = [&](const QString &key) {
        return values.value(key) == flag(true) || values.value(key) == flag(false);
    };
    if (mode < 1 || mode > 3 || kind < 0 || order < 0 || numbering < 0 || seats < 0 || !start ||
        !prefix || *prefix != values.value(prefixKey) || !isFlag(adjacentKey) ||
        !isFlag(separateKey))
        return damaged;
    s.mode = static_cast<Mode>(mode);
    s.groupKind = static_cast<GroupKind>(kind);
    s.groupsPerRoom = parseGroupsPerRoom(values.value(groupsKey));
    s.adjacentGroups = values.value(adjacentKey) == flag(true);
    s.scoreOrder = static_cast<ScoreOrder>(order);
    s.numbering = static_cast<Numbering>(numbering);
    s.startNumber = *start;
    s.prefix = *prefix;
    s.separateClassmates = values.value(separateKey) == flag(true);
    s.seatOrder = static_cast<SeatOrder>(seats);
    // Kept since paper versions came; a record from before has none.
    if (values.contains(versionsKey)) {
        const Result<Versions> versions = parseVersions(values.value(versionsKey));
        if (!versions || values.value(versionsKey) != QString::number(static_cast<int>(*versions)))
            return damaged;
        s.versions = *versions;
    }
    return s;
}

} // namespace fenpai
