#include "cli/cli.h"

#include "cli/arrangecommand.h"
#include "cli/checkcommand.h"
#include "cli/clicontext.h"
#include "cli/datacommands.h"
#include "cli/divisioncommand.h"
#include "cli/importcommands.h"
#include "cli/passwdcommand.h"
#include "cli/reportcommand.h"
#include "cli/seatscommand.h"
#include "cli/showcommand.h"
#include "cli/ticketcommands.h"
#include "cli/titlescommand.h"
#include "db/datadirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace fenpai {

const std::vector<Cli::Command> &Cli::commands()
{
    static const std::vector<Command> table = {
        {"sql", "执行一条 SQL 语句，查询结果以 CSV 输出", "fenpai sql STATEMENT", false,
         &DataCommands::sql},
        {"tables", "列出数据表和保存的查询", "fenpai tables", false, &DataCommands::tables},
        {"repair", "修复系统表（xtsztable、bsxtable）", "fenpai repair", false,
         &DataCommands::repair},
        {"titles", "报表标题：设置或显示每张报表标题下左右两端的文字和日期（不带选项时只显示）",
         "fenpai titles [--left TEXT] [--right TEXT] [--date on|off]", false, &TitlesCommand::run},
        {"show", "把数据表或查询填入文档并输出（csv、xlsx、html、pdf）",
         "fenpai show SOURCE [--title T] [--report statistics|plain] [--format csv|xlsx|html|pdf] "
         "[--page-setup FILE.json] -o FILE",
         true, &ShowCommand::run},
        {"report",
         "生成报表并输出（csv、xlsx、html、pdf）：score-info 成绩表基本情况表；room-list "
         "考场考生名单"
         "（K 为考场序号，0 为全部考场）；exam-class-list 班级考场考号表；brief-stats "
         "考场编排统计表；"
         "school-stats 一所学校的考场编排统计表；first-last 各考场首尾考号；by-class、by-school "
         "原始分班信息表；new-class-stats 新分班基本情况表；source-school-stats "
         "原始分班信息表（按原学校）；new-class-list 新班级名单（N 为班号，0 为未分班）",
         "fenpai report score-info|brief-stats|first-last|by-class|by-school|new-class-stats|"
         "source-school-stats "
         "[--format csv|xlsx|html|pdf] -o FILE\n"
         "      fenpai report room-list K|exam-class-list SCHOOL/CLASS|school-stats SCHOOL"
         "|new-class-list N [--format ...] -o FILE",
         true, &ReportCommand::run},
        {"check", "混排检测：列出考号相邻和座位相邻的同班考生，没有则输出“全部混排”",
         "fenpai check mixing [--seat-order 按列|按列蛇形|按行]", false, &CheckCommand::run},
        {"passwd", "修改用户密码（从标准输入读取旧密码和新密码）", "fenpai passwd USER", false,
         &PasswdCommand::run},
        {"divide", "分班：把分班数据表的学生分到新班级，写入新分班",
         "fenpai divide --classes N [--sex] [--school] [--refine]\n"
         "      fenpai divide --layers A,B,C,D [--sex] [--school] [--refine]",
         false, &DivisionCommand::divide},
        {"import", "导入电子表格（.xls/.xlsx/.ods）：分班数据、考场编排数据或成绩数据",
         "fenpai import division FILE\n      fenpai import arrangement FILE\n"
         "      fenpai import scores FILE",
         false, &ImportCommands::import},
        {"demo",
         "写出演示数据工作簿（分班数据.xlsx、考场编排数据.xlsx、成绩数据.xlsx）；--small "
         "写出只有几十行的小工作簿，可作模板",
         "fenpai demo [--small] DIR", false, &ImportCommands::demo},
        {"arrange", "考场编排：给考生表的考生排考场、座位号和考号",
         "fenpai arrange --mode 1|2|3 [--group-by class|school] [--groups N] [--adjacent]\n"
         "      [--order similar|random|spread] [--start-number NUMBER | --prefix TEXT]\n"
         "      [--separate-classmates] [--seat-order 按列|按列蛇形|按行]\n"
         "省略的选项取编排对话框的默认值：--group-by class --groups 3 --order similar\n"
         "--start-number 2100001；--prefix 时考号 = 前缀 + 考场号(3位) + 座位号(2位)\n"
         "--separate-classmates 编排后在每个考场内调换座位，使同班考生尽量不相邻",
         false, &ArrangeCommand::run},
        {"tickets", "制作准考证（按准考证模板，每页 2 个，--economy 每页 3 个）并输出 pdf",
         "fenpai tickets (--class SCHOOL/CLASS | --room N | --stacked-classes SCHOOL/C1,C2[,C3]\n"
         "      | --stacked-rooms R1,R2[,R3]) [--economy] [--photos DIR --photo-name "
         "姓名|考号|照片]\n      -o FILE.pdf",
         true, &TicketCommands::tickets},
        {"labels", "制作一个考场的桌贴（座位号或考号）并输出 pdf",
         "fenpai labels --room N (--seat|--exam-number) -o FILE.pdf", true,
         &TicketCommands::labels},
        {"seats",
         "考场座位表：每张桌子写考号、姓名和班级（pdf、xlsx、html），all 为全部考场，每考场一页",
         "fenpai seats --room K|all [--seat-order 按列|按列蛇形|按行] [--format pdf|xlsx|html] "
         "-o FILE",
         true, &SeatsCommand::run},
    };
    return table;
}

namespace {

const Cli::Command *findCommand(const QString &name)
{
    for (const Cli::Command &c : Cli::commands()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

struct Parsed
{
    QString dataDir;
    QString command;
    QStringList rest;
    bool help = false;
    bool version = false;
    QString error;
};

Parsed parse(const QStringList &args)
{
    Parsed p;
    int i = 0;
    for (; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--data-dir")) {
            if (i + 1 >= args.size()) {
                p.error = QStringLiteral("--data-dir 需要一个目录");
                return p;
            }
            p.dataDir = args[++i];
        } else if (a.startsWith(QLatin1String("--data-dir="))) {
            p.dataDir = a.mid(11);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            p.help = true;
        } else if (a == QLatin1String("--version")) {
            p.version = true;
        } else if (a.startsWith(u'-')) {
            p.error = QStringLiteral("未知选项：") + a;
            return p;
        } else {
            break;
        }
    }
    if (i < args.size()) {
        p.command = args[i];
        p.rest = args.mid(i + 1);
    }
    return p;
}

} // namespace

bool Cli::wantsCommandLine(const QStringList &args)
{
    const Parsed p = parse(args);
    return !p.command.isEmpty() || p.help || p.version || !p.error.isEmpty();
}

QString Cli::usage()
{
    QString text =
        QStringLiteral("用法：fenpai [--data-dir DIR] COMMAND [ARGS...]\n"
                       "不带命令时启动窗口。数据目录也可由环境变量 FENPAI_DATA_DIR 指定。\n"
                       "--version 显示版本。\n\n"
                       "命令：\n");
    for (const Command &c : commands())
        text += QStringLiteral("  %1%2\n")
                    .arg(QString::fromUtf8(c.name).leftJustified(12), QString::fromUtf8(c.summary));
    text += QStringLiteral("\n每个命令都接受 --help。\n");
    return text;
}

int Cli::run(const QStringList &args, QTextStream &out, QTextStream &err, QTextStream *in)
{
    const Parsed p = parse(args);
    if (!p.error.isEmpty()) {
        err << p.error << "\n\n" << usage();
        return 2;
    }
    if (p.version && p.command.isEmpty()) {
        out << QStringLiteral("分班排考 (fenpai) ") << QLatin1String(FENPAI_VERSION) << '\n';
        return 0;
    }
    if (p.command.isEmpty()) {
        (p.help ? out : err) << usage();
        return p.help ? 0 : 2;
    }
    const Command *command = findCommand(p.command);
    if (!command) {
        err << QStringLiteral("未知命令：") << p.command << "\n\n" << usage();
        return 2;
    }
    if (p.help || p.rest.contains(QLatin1String("--help")) ||
        p.rest.contains(QLatin1String("-h"))) {
        out << QString::fromUtf8(command->summary) << "\n用法："
            << QString::fromUtf8(command->usage) << '\n';
        return 0;
    }
    const QString programDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    CliContext context(DataDirectory::resolve(p.dataDir, programDir), out, err, in);
    const int status = command->run(context, p.rest);
    if (status == 2)
        err << QStringLiteral("用法：") << QString::fromUtf8(command->usage) << '\n';
    out.flush();
    err.flush();
    return status;
}

int Cli::main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const Parsed p = parse(args);
    const Command *command = findCommand(p.command);
    std::unique_ptr<QCoreApplication> app;
    if (command && command->needsGui) {
        // PDF output needs fonts, not a screen.
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            // What Qt would pick itself, without its warning on every run.
            const QString runtime = QDir::tempPath() + QStringLiteral("/runtime-") +
                                    QString::number(static_cast<qulonglong>(getuid()));
            QDir().mkpath(runtime);
            QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        }
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("分班排考"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    return run(args, out, err, &in);
}

} // namespace fenpai
