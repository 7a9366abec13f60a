#include "cli/commandline.h"
#include "cli/cli.h"
#include "jobs/reports/reportcatalogue.h"
#include "support/clirun.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

const CommandLine::Syntax &syntax()
{
    static const CommandLine::Syntax s{
        .name = "try",
        .summary = "一个试用的命令",
        .usage = "fenpai try [--mode 1|2] [--flag] [-o FILE] NAME [MORE]",
        .arguments = {"NAME", "[MORE]"},
        .options = {{.name = "mode", .valueName = "N", .help = "方式", .choices = {"1", "2"}},
                    {.name = "count", .valueName = "N", .help = "个数"},
                    {.name = "flag", .help = "开关"},
                    CommandLine::seatOrderOption(),
                    CommandLine::outputOption()},
        .examples = {"fenpai try x"},
        .notes = {},
    };
    return s;
}

QString refusal(const QStringList &args)
{
    const Result<CommandLine> line = CommandLine::parse(syntax(), args);
    return line ? QString() : line.status().message();
}

} // namespace

TEST(CommandLine, BothOptionFormsSwitchesAndArguments)
{
    for (const QStringList &args :
         {QStringList{"--mode", "2", "a", "--flag", "-o", "x.csv", "b"},
          QStringList{"--mode=2", "a", "b", "--flag", "--output=x.csv"},
          QStringList{"a", "--output", "x.csv", "--mode", "2", "--flag", "--", "b"}}) {
        const Result<CommandLine> line = CommandLine::parse(syntax(), args);
        ASSERT_TRUE(line.isOk()) << line.status().message().toStdString();
        EXPECT_EQ(line->value("mode"), "2");
        EXPECT_EQ(line->value("o"), "x.csv") << "the second name is the same option";
        EXPECT_TRUE(line->isSet("flag"));
        EXPECT_FALSE(line->isSet("count"));
        EXPECT_EQ(line->arguments(), (QStringList{"a", "b"}));
    }
    // After "--", and for negative numbers, a leading dash is an argument.
    EXPECT_EQ(CommandLine::parse(syntax(), {"--", "--flag"})->arguments(), QStringList{"--flag"});
    EXPECT_EQ(CommandLine::parse(syntax(), {"-3"})->arguments(), QStringList{"-3"});
    // An alias stands for its choice.
    EXPECT_EQ(CommandLine::parse(syntax(), {"a", "--seat-order=snake"})->value("seat-order"),
              "按列蛇形");
}

TEST(CommandLine, WhatDoesNotFitIsNamed)
{
    const struct
    {
        QStringList args;
        const char *message;
    } cases[] = {
        {{"a", "--mode", "9"}, "--mode 只能是 1 或 2"},
        {{"a", "--seat-order", "diagonal"}, "--seat-order 只能是 按列、按列蛇形 或 按行"},
        {{"a", "--bogus"},
         "未知选项：--bogus（try 的选项有 --mode、--count、--flag、--seat-order、-o）"},
        {{"a", "--mode"}, "--mode 需要一个值：1 或 2"},
        {{"a", "--count"}, "--count 需要一个值"},
        {{"a", "--flag=1"}, "--flag 不带值"},
        {{"a", "--mode", "1", "--mode=2"}, "--mode 只能给一次"},
        {{}, "缺少参数 NAME"},
        {{"a", "b", "c"}, "多余的参数：c"},
        {{"a", "--data-dir", "d"}, "--data-dir 要写在命令之前：fenpai --data-dir DIR try ……"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(refusal(c.args), QString::fromUtf8(c.message)) << c.args.join(' ').toStdString();
}

TEST(CommandLine, WholeNumbersInTheirRange)
{
    const Result<CommandLine> line = CommandLine::parse(syntax(), {"a", "--count", "2.5"});
    EXPECT_EQ(line->number("count", 1, 9).status().message(), "--count 应为 1 到 9 的整数");
    EXPECT_FALSE(CommandLine::parse(syntax(), {"a", "--count", "10"})->number("count", 1, 9));
    EXPECT_FALSE(CommandLine::parse(syntax(), {"a", "--count", "9223372036854775808"})
                     ->number("count", 1, 9));
    EXPECT_EQ(*CommandLine::parse(syntax(), {"a", "--count", " 7 "})->number("count", 1, 9), 7);
    EXPECT_EQ(*CommandLine::parse(syntax(), {"a"})->number("count", 1, 9, 4), 4);
}

// Every command explains itself with an example, asked in any of the three ways.
TEST(CommandLine, HelpForEveryCommand)
{
    for (const Cli::Command &c : Cli::commands()) {
        const QString name = c.syntax().name;
        const test::CliOutcome help = test::runCli({"help", name});
        EXPECT_EQ(help.status, 0) << name.toStdString();
        EXPECT_TRUE(help.out.contains("用法：")) << name.toStdString();
        EXPECT_TRUE(help.out.contains("例子：")) << name.toStdString();
        for (const char *flag : {"--help", "-h"}) {
            const test::CliOutcome asked = test::runCli({name, "--mode=9", flag});
            EXPECT_EQ(asked.status, 0);
            EXPECT_EQ(asked.out, help.out) << name.toStdString() << ' ' << flag;
        }
    }
    const test::CliOutcome all = test::runCli({"help"});
    EXPECT_EQ(all.status, 0);
    EXPECT_TRUE(all.out.contains("fenpai help COMMAND"));
    EXPECT_EQ(test::runCli({"help", "nosuch"}).status, 2);

    const QString reports = test::runCli({"help", "report"}).out;
    for (const ReportCatalogue::Entry &e : ReportCatalogue::entries())
        EXPECT_TRUE(reports.contains("  " + e.name + ' ') || reports.contains("  " + e.name + "  "))
            << e.name.toStdString();
}

// Bad usage names the reason, then the usage and where help is; nothing runs.
TEST(CommandLine, BadUsageExitsWithTwoAndSaysWhy)
{
    const test::CliOutcome r =
        test::runCli({"--data-dir", "/nonexistent/x", "arrange", "--mode", "9"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.section('\n', 0, 0), "--mode 只能是 1、2 或 3");
    EXPECT_TRUE(r.err.contains("用法：fenpai arrange --mode 1|2|3"));
    EXPECT_TRUE(r.err.contains("详见 fenpai help arrange"));
    EXPECT_TRUE(r.out.isEmpty());
}

// Every whole number a command takes is refused, before any work, when it is a fraction, past
// what its type holds or outside its range, with the option or setting named.
TEST(CommandLine, EveryWholeNumberSettingIsChecked)
{
    QTemporaryDir scratch;
    const QString dir = scratch.filePath("never made");
    const struct
    {
        QStringList args;
        const char *refusal;
    } cases[] = {
        {{"arrange", "--mode", "1", "--groups", "4294967299"},
         "--groups 应为 1 到 2147483647 的整数"},
        {{"labels", "--room", "abc", "--seat", "-o", "x.pdf"},
         "--room 应为考场序号 1、2、3……：abc"},
        {{"tickets", "--room", "1.5", "-o", "x.pdf"}, "--room 应为考场序号 1、2、3……：1.5"},
        {{"tickets", "--stacked-rooms", "1,99999999999999999999", "-o", "x.pdf"},
         "--stacked-rooms 应为考场序号 1、2、3……：99999999999999999999"},
        {{"seats", "--room", "4294967297", "-o", "x.pdf"},
         "考场应为考场序号 1、2、3……，或 all 为全部考场"},
        {{"report", "room-list", "2147483648", "-o", "x.csv"},
         "考场应为考场序号 1、2、3……，0 为全部考场"},
        {{"report", "new-class-list", "1.0", "-o", "x.csv"},
         "班级应为新分班的班号 1、2、3……，0 为未分班的学生"},
        {{"divide", "--classes", "4294967297"}, "新分班级数不能超过32767。"},
        {{"divide", "--layers", "1,2.5"}, "B层的新分班级数必须是不小于0的整数。"},
    };
    for (const auto &c : cases) {
        const test::CliOutcome r = test::runCli(QStringList{"--data-dir", dir} + c.args);
        EXPECT_EQ(r.status, 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.section('\n', 0, 0), QString::fromUtf8(c.refusal))
            << c.args.join(' ').toStdString();
    }
    // Refused before anything is opened: not even the data directory is made.
    EXPECT_FALSE(QFileInfo::exists(dir));
}
