#pragma once

#include "core/result.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace fenpai {

// One command's arguments, read against the table of what the command takes: options as
// "--name VALUE" or "--name=VALUE" ("-o FILE" for the output), switches without a value, and the
// positional arguments. What does not fit is refused with a Chinese message that names the
// option and what it accepts; the command line then exits with status 2.
class CommandLine final
{
public:
    struct Option
    {
        QString name = {};        // "mode" for --mode; a single letter for -o
        QString valueName = {};   // "N", "FILE"; empty for a switch
        QString help = {};        // what it does, one line
        QStringList choices = {}; // the values accepted, when they are few; empty for any
        QStringList aliases = {}; // further spellings of the choices, accepted but not listed
        QString otherName = {};   // a second name: "output" beside "o"
    };

    // What a command takes, and how help explains it.
    struct Syntax
    {
        QString name = {};          // fenpai NAME
        QString summary = {};       // one line
        QString usage = {};         // the lines after "用法："
        QStringList arguments = {}; // positional names in order; "[NAME]" when optional
        std::vector<Option> options = {};
        QStringList examples = {}; // whole command lines
        QString notes = {};        // more lines for help, after the options
    };

    // Reads `args` (what follows the command's name). A refusal carries the message to print.
    [[nodiscard]] static Result<CommandLine> parse(const Syntax &syntax, const QStringList &args);

    const QStringList &arguments() const { return m_arguments; }
    QString argument(int index) const { return m_arguments.value(index); }
    bool isSet(const QString &name) const { return m_values.contains(name); }
    // The option's value (a choice given by an alias comes back as its choice); empty when not
    // given.
    QString value(const QString &name) const { return m_values.value(name); }

    // The option's value as a whole number in [min, max]; `fallback` when not given. The refusal
    // names the option and the range.
    [[nodiscard]] Result<qint64> number(const QString &name, qint64 min, qint64 max,
                                        qint64 fallback = 0) const;

    // Options several commands share: -o/--output FILE, --format with the formats given, and
    // --seat-order (按列, 按列蛇形, 按行; also column, snake, row).
    static Option outputOption();
    static Option formatOption(const QStringList &formats);
    static Option seatOrderOption();
    // --photo-name: which field names the photo files (tickets and sign-in sheets).
    static Option photoNameOption();

    // The help of a command: summary, usage, arguments' and options' lines, notes, examples.
    static QString help(const Syntax &syntax);
    // "1、2 或 3"
    static QString listOf(const QStringList &values);

private:
    QStringList m_arguments;
    QHash<QString, QString> m_values;
};

} // namespace fenpai
