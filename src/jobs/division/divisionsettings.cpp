#include "jobs/division/divisionsettings.h"

#include "core/numbertext.h"

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

} // namespace fenpai
