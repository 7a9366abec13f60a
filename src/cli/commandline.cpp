#include "cli/commandline.h"

#include "core/numbertext.h"
#include "jobs/arrangement/desklayout.h"

#include <optional>

namespace fenpai {

namespace {

using Option = CommandLine::Option;

QString dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

const Option *findOption(const CommandLine::Syntax &syntax, const QString &name)
{
    for (const Option &o : syntax.options) {
        if (o.name == name || (!o.otherName.isEmpty() && o.otherName == name))
            return &o;
    }
    return nullptr;
}

QString optionNames(const CommandLine::Syntax &syntax)
{
    QStringList names;
    for (const Option &o : syntax.options)
        names.append(dashed(o.name));
    return names.join(QStringLiteral("、"));
}

Status unknown(const CommandLine::Syntax &syntax, const QString &option)
{
    if (option == QLatin1String("--data-dir"))
        return Status::refused(
            QStringLiteral("--data-dir 要写在命令之前：fenpai --data-dir DIR %1 ……")
                .arg(syntax.name));
    if (syntax.options.empty())
        return Status::refused(
            QStringLiteral("未知选项：%1（%2 不带选项）").arg(option, syntax.name));
    return Status::refused(QStringLiteral("未知选项：%1（%2 的选项有 %3）")
                               .arg(option, syntax.name, optionNames(syntax)));
}

// The choice a value stands for: itself, or the choice at the alias's position.
std::optional<QString> choiceOf(const Option &o, const QString &value)
{
    if (o.choices.isEmpty() || o.choices.contains(value))
        return value;
    const qsizetype alias = o.aliases.indexOf(value);
    if (alias >= 0 && alias < o.choices.size())
        return o.choices.at(alias);
    return std::nullopt;
}

bool looksLikeOption(const QString &a)
{
    // "-" alone and negative numbers are arguments.
    return a.size() > 1 && a.startsWith(u'-') && !a.at(1).isDigit();
}

struct Reader
{
    const CommandLine::Syntax &syntax;
    QHash<QString, QString> values;
    QStringList arguments;

    Status option(const QStringList &args, int &i)
    {
        QString name = args[i];
        std::optional<QString> inlineValue;
        if (const qsizetype eq = name.indexOf(u'='); eq > 0) {
            inlineValue = name.mid(eq + 1);
            name = name.left(eq);
        }
        const QString bare = name.mid(name.startsWith(QLatin1String("--")) ? 2 : 1);
        const Option *o = findOption(syntax, bare);
        if (!o)
            return unknown(syntax, name);
        const QString shown = dashed(o->name);
        if (values.contains(o->name))
            return Status::refused(QStringLiteral("%1 只能给一次").arg(shown));
        if (o->valueName.isEmpty()) {
            if (inlineValue)
                return Status::refused(QStringLiteral("%1 不带值").arg(shown));
            values.insert(o->name, QString());
            return Status::ok();
        }
        if (!inlineValue) {
            if (i + 1 >= args.size())
                return needsValue(*o);
            inlineValue = args[++i];
        }
        const std::optional<QString> choice = choiceOf(*o, *inlineValue);
        if (!choice)
            return Status::refused(
                QStringLiteral("%1 只能是 %2").arg(shown, CommandLine::listOf(o->choices)));
        values.insert(o->name, *choice);
        return Status::ok();
    }

    static Status needsValue(const Option &o)
    {
        QString text = QStringLiteral("%1 需要一个值").arg(dashed(o.name));
        if (!o.choices.isEmpty())
            text += QStringLiteral("：") + CommandLine::listOf(o.choices);
        return Status::refused(text);
    }

    Status checkArguments() const
    {
        qsizetype required = 0;
        for (const QString &a : syntax.arguments)
            required += a.startsWith(u'[') ? 0 : 1;
        if (arguments.size() < required)
            return Status::refused(
                QStringLiteral("缺少参数 %1").arg(syntax.arguments.at(arguments.size())));
        if (arguments.size() > syntax.arguments.size())
            return Status::refused(
                QStringLiteral("多余的参数：%1").arg(arguments.at(syntax.arguments.size())));
        return Status::ok();
    }
};

} // namespace

Result<CommandLine> CommandLine::parse(const Syntax &syntax, const QStringList &args)
{
    Reader reader{syntax, {}, {}};
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!optionsEnded && a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && looksLikeOption(a)) {
            if (Status s = reader.option(args, i); !s.isOk())
                return s;
        } else {
            reader.arguments.append(a);
        }
    }
    if (Status s = reader.checkArguments(); !s.isOk())
        return s;
    CommandLine line;
    line.m_arguments = reader.arguments;
    line.m_values = reader.values;
    return line;
}

Result<qint64> CommandLine::number(const QString &name, qint64 min, qint64 max,
                                   qint64 fallback) const
{
    if (!isSet(name))
        return fallback;
    const std::optional<qint64> n = NumberText::wholeNumber(value(name), min, max);
    if (!n)
        return Status::refused(
            QStringLiteral("%1 应为 %2 到 %3 的整数").arg(dashed(name)).arg(min).arg(max));
    return *n;
}

CommandLine::Option CommandLine::outputOption()
{
    return {.name = QStringLiteral("o"),
            .valueName = QStringLiteral("FILE"),
            .help = QStringLiteral("输出文件"),
            .otherName = QStringLiteral("output")};
}

CommandLine::Option CommandLine::formatOption(const QStringList &formats)
{
    return {.name = QStringLiteral("format"),
            .valueName = QStringLiteral("FORMAT"),
            .help = QStringLiteral("输出格式，省略时按输出文件的扩展名"),
            .choices = formats};
}

CommandLine::Option CommandLine::seatOrderOption()
{
    QStringList names;
    for (SeatOrder order : {SeatOrder::ByColumn, SeatOrder::ByColumnSnake, SeatOrder::ByRow})
        names.append(DeskLayout::seatOrderName(order));
    return {.name = QStringLiteral("seat-order"),
            .valueName = QStringLiteral("ORDER"),
            .help = QStringLiteral("座位号在考场里的顺序（编排对话框的“座位顺序”），默认按列"),
            .choices = names,
            .aliases = {QStringLiteral("column"), QStringLiteral("snake"), QStringLiteral("row")}};
}

CommandLine::Option CommandLine::photoNameOption()
{
    return {.name = QStringLiteral("photo-name"),
            .valueName = QStringLiteral("FIELD"),
            .help = QStringLiteral("照片按哪个字段命名"),
            .choices = {QStringLiteral("姓名"), QStringLiteral("考号"), QStringLiteral("照片")}};
}

QString CommandLine::listOf(const QStringList &values)
{
    if (values.size() < 2)
        return values.join(QString());
    return values.mid(0, values.size() - 1).join(QStringLiteral("、")) + QStringLiteral(" 或 ") +
           values.constLast();
}

QString CommandLine::help(const Syntax &syntax)
{
    QString text = QStringLiteral("fenpai %1：%2\n\n用法：%3\n")
                       .arg(syntax.name, syntax.summary, syntax.usage);
    if (!syntax.options.empty()) {
        text += QStringLiteral("\n选项：\n");
        for (const Option &o : syntax.options) {
            QString left = dashed(o.name);
            if (!o.otherName.isEmpty())
                left += QStringLiteral(", ") + dashed(o.otherName);
            if (!o.valueName.isEmpty())
                left += u' ' + (o.choices.isEmpty() ? o.valueName : o.choices.join(u'|'));
            text += QStringLiteral("  %1  %2\n").arg(left.leftJustified(26), o.help);
        }
    }
    if (!syntax.notes.isEmpty())
        text += u'\n' + syntax.notes.trimmed() + u'\n';
    if (!syntax.examples.isEmpty()) {
        text += QStringLiteral("\n例子：\n");
        for (const QString &e : syntax.examples)
            text += QStringLiteral("  ") + e + u'\n';
    }
    return text;
}

} // namespace fenpai
