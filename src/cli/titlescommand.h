#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace fenpai {

class CliContext;

// fenpai titles: sets the report titles every report prints under its title (the left and
// right texts, the date on or off) and prints them; without options only prints them.
class TitlesCommand final
{
public:
    // What the options ask to change; a value left out stays as it is.
    struct Change
    {
        std::optional<QString> left;
        std::optional<QString> right;
        std::optional<bool> showDate;
        bool any() const { return left || right || showDate; }
    };

    // The options, or nothing when they are not the command's.
    static std::optional<Change> parse(const QStringList &args);
    static int run(CliContext &context, const QStringList &args);
};

} // namespace fenpai
