#include "jobs/division/divisionsettings.h"

#include "core/numbertext.h"

#include <QStringList>

#include <cmath>
#include <numeric>
#include <optional>

namespace fenpai {

namespace {

const std::array<QString, 4> layerNames = {QStringLiteral("A层"), QStringLiteral("B层"),
                                           QStringLiteral("C层"), QStringLiteral("D层")};

// The whole number the text is, when it is one (leading and trailing blanks aside).
std::optional<double> wholeNumber(const QString &text)
{
    if (!NumberText::isNumber(text))
        return std::nullopt;
    const double value = NumberText::leadingValue(text);
    if (!std::isfinite(value) || value != std::floor(value))
        return std::nullopt;
    return value;
}

Status tooMany()
{
    return Status::refused(
        QStringLiteral("新分班级数不能超过%1。").arg(DivisionSettings::maxClasses));
}

Status layerMessage(size_t layer)
{
    return Status::refused(layerNames[layer] + QStringLiteral("的新分班级数必须是不小于0的整数。"));
}

} // namespace

int DivisionSettings::classCount() const
{
    if (mode == Mode::Balanced)
        return classes;
    return std::accumulate(layers.begin(), layers.end(), 0);
}

Status DivisionSettings::check() const
{
    if (mode == Mode::Balanced) {
        const Result<int> n = parseClasses(QString::number(classes));
        return n.status();
    }
    std::array<QString, 4> texts;
    for (size_t k = 0; k < 4; ++k)
        texts[k] = QString::number(layers[k]);
    return parseLayers(texts).status();
}

Result<int> DivisionSettings::parseClasses(const QString &text)
{
    const std::optional<double> n = wholeNumber(text);
    if (!n || *n < 1)
        return Status::refused(QStringLiteral("新分班级数必须是不小于1的整数。"));
    if (*n > maxClasses)
        return tooMany();
    return static_cast<int>(*n);
}

size_t DivisionSettings::layerAtFault(const std::array<QString, 4> &texts)
{
    double sum = 0;
    for (size_t k = 0; k < 4; ++k) {
        const std::optional<double> n = wholeNumber(texts[k]);
        if (!n || *n < 0)
            return k;
        sum += *n;
        if (sum > maxClasses)
            return k;
    }
    return 0;
}

Result<std::array<int, 4>> DivisionSettings::parseLayers(const std::array<QString, 4> &texts)
{
    std::array<int, 4> counts{};
    double sum = 0;
    for (size_t k = 0; k < 4; ++k) {
        const std::optional<double> n = wholeNumber(texts[k]);
        if (!n || *n < 0)
            return layerMessage(k);
        sum += *n;
        if (sum > maxClasses)
            return tooMany();
        counts[k] = static_cast<int>(*n);
    }
    if (sum == 0)
        return Status::refused(QStringLiteral("各层的新分班级数都为0，无法分班。"));
    return counts;
}

namespace {

const QString modeKey = QStringLiteral("方式");
const QString classesKey = QStringLiteral("班数");
const QString layersKey = QStringLiteral("各层班数");
const QString sexKey = QStringLiteral("男女");
const QString schoolKey = QStringLiteral("生源");
const QString refineKey = QStringLiteral("优化");
const QString balancedName = QStringLiteral("均衡");
const QString layeredName = QStringLiteral("分层");

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

QString DivisionSettings::describe() const
{
    QStringList parts;
    if (mode == Mode::Balanced) {
        parts.append(QStringLiteral("均衡分班 %1 个班").arg(classes));
    } else {
        QStringList counts;
        for (size_t i = 0; i < layers.size(); ++i)
            counts.append(QStringLiteral("%1层 %2 个").arg(QChar(u'A' + int(i))).arg(layers[i]));
        parts.append(QStringLiteral("分层分班（%1）").arg(counts.join(u'、')));
    }
    if (balanceSex)
        parts.append(QStringLiteral("男女均衡"));
    if (balanceSchool)
        parts.append(QStringLiteral("生源均衡"));
    if (refine)
        parts.append(QStringLiteral("优化"));
    return parts.join(QStringLiteral("，"));
}

QMap<QString, QString> DivisionSettings::stored() const
{
    QStringList counts;
    for (int n : layers)
        counts.append(QString::number(n));
    return {{modeKey, mode == Mode::Balanced ? balancedName : layeredName},
            {classesKey, QString::number(classes)},
            {layersKey, counts.join(u',')},
            {sexKey, flag(balanceSex)},
            {schoolKey, flag(balanceSchool)},
            {refineKey, flag(refine)}};
}

Result<DivisionSettings> DivisionSettings::fromStored(const QMap<QString, QString> &values)
{
    const Status damaged = Status::refused(QStringLiteral("数据库中保存的上次分班设置已损坏。"));
    DivisionSettings settings;
    const QString mode = values.value(modeKey);
    if (mode != balancedName && mode != layeredName)
        return damaged;
    settings.mode = mode == balancedName ? Mode::Balanced : Mode::Layered;
    const Result<int> classes = parseClasses(values.value(classesKey));
    const QStringList parts = values.value(layersKey).split(u',');
    if (!classes || parts.size() != 4)
        return damaged;
    settings.classes = *classes;
    const Result<std::array<int, 4>> layers = parseLayers({parts[0], parts[1], parts[2], parts[3]});
    if (!layers)
        return damaged;
    settings.layers = *layers;
    for (const auto &[key, member] : {std::pair{sexKey, &DivisionSettings::balanceSex},
                                      std::pair{schoolKey, &DivisionSettings::balanceSchool},
                                      std::pair{refineKey, &DivisionSettings::refine}}) {
        const QString value = values.value(key);
        if (value != flag(true) && value != flag(false))
            return damaged;
        settings.*member = value == flag(true);
    }
    return settings;
}

} // namespace fenpai
