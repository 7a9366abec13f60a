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
#include "cli/sheetscommand.h"
#include "cli/showcommand.h"
#include "cli/statuscommand.h"
#include "cli/ticketcommands.h"
#include "cli/titlescommand.h"
#include "cli/verifycommand.h"
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
        {&StatusCommand::syntax, false, &StatusCommand::run},
        {&DataCommands::sqlSyntax, false, &DataCommands::sql},
        {&DataCommands::tablesSyntax, false, &DataCommands::tables},
        {&DataCommands::repairSyntax, false, &DataCommands::repair},
        {&TitlesCommand::syntax, false, &TitlesCommand::run},
        {&ImportCommands::importSyntax, false, &ImportCommands::import},
        {&ImportCommands::demoSyntax, false, &ImportCommands::demo},
        {&DivisionCommand::syntax, true, &DivisionCommand::divide}, // the lists of -o as PDF
        {&ArrangeCommand::syntax, true, &ArrangeCommand::run},
        {&ShowCommand::syntax, true, &ShowCommand::run},
        {&ReportCommand::syntax, true, &ReportCommand::run},
        {&SeatsCommand::syntax, true, &SeatsCommand::run},
        {&SheetsCommand::syntax, true, &SheetsCommand::run},
        {&CheckCommand::syntax, false, &CheckCommand::run},
        {&TicketCommands::ticketsSyntax, true, &TicketCommands::tickets},
        {&TicketCommands::labelsSyntax, true, &TicketCommands::labels},
        {&VerifyCommand::syntax, false, &VerifyCommand::run},
        {&PasswdCommand::syntax, false, &PasswdCommand::run},
    };
    return table;
}

const Cli::Command *Cli::find(const QString &name)
{
    for (const Command &c : commands()) {
        if (c.syntax().name == name)
            return &c;
    }
    return nullptr;
}

namespace {

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
    bool dataDirGiven = false;
    int i = 0;
    for (; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--data-dir") || a.startsWith(QLatin1String("--data-dir="))) {
            const bool inlineValue = a.size() > 10;
            if (!inlineValue && i + 1 >= args.size()) {
                p.error = QStringLiteral("--data-dir 需要一个目录");
                return p;
            }
            if (dataDirGiven) {
                p.error = QStringLiteral("--data-dir 只能给一次");
                return p;
            }
            dataDirGiven = true;
            p.dataDir = inlineValue ? a.mid(11) : args[++i];
            // An empty folder name would quietly fall back to another data directory.
            if (p.dataDir.trimmed().isEmpty()) {
                p.error = QStringLiteral("--data-dir 的目录不能为空");
                return p;
            }
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
        text +=
            QStringLiteral("  %1%2\n").arg(c.syntax().name.leftJustified(12), c.syntax().summary);
    text += QStringLiteral(
        "\nfenpai help COMMAND 或 fenpai COMMAND --help 显示一个命令的说明和例子。\n");
    return text;
}

namespace {

// fenpai help [COMMAND]
int help(const QStringList &rest, QTextStream &out, QTextStream &err)
{
    if (rest.isEmpty()) {
        out << Cli::usage();
        return 0;
    }
    const Cli::Command *command = Cli::find(rest.first());
    if (!command || rest.size() > 1) {
        err << QStringLiteral("未知命令：") << rest.join(u' ') << "\n\n" << Cli::usage();
        return 2;
    }
    out << CommandLine::help(command->syntax());
    return 0;
}

bool asksForHelp(const QStringList &rest)
{
    for (const QString &a : rest) {
        if (a == QLatin1String("--"))
            return false;
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return true;
    }
    return false;
}

} // namespace

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
    if (p.command == QLatin1String("help"))
        return help(p.rest, out, err);
    const Command *command = find(p.command);
    if (!command) {
        err << QStringLiteral("未知命令：") << p.command << "\n\n" << usage();
        return 2;
    }
    const CommandLine::Syntax &syntax = command->syntax();
    if (p.help || asksForHelp(p.rest)) {
        out << CommandLine::help(syntax);
        return 0;
    }
    const Result<CommandLine> line = CommandLine::parse(syntax, p.rest);
    int status = 2;
    if (line) {
        const QString programDir =
            QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
        CliContext context(DataDirectory::resolve(p.dataDir, programDir), out, err, in);
        status = command->run(context, *line);
    } else {
        err << line.status().message() << '\n';
    }
    if (status == 2)
        err << QStringLiteral("用法：") << syntax.usage << '\n'
            << QStringLiteral("详见 fenpai help ") << syntax.name << '\n';
    out.flush();
    err.flush();
    return status;
}

namespace {

QtMessageHandler defaultLog = nullptr;

void quietLog(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg && !qEnvironmentVariableIsSet("FENPAI_DEBUG"))
        return;
    if (defaultLog)
        defaultLog(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}

} // namespace

void Cli::quietenLog()
{
    const QtMessageHandler previous = qInstallMessageHandler(quietLog);
    if (previous != quietLog)
        defaultLog = previous;
}

int Cli::main(int argc, char **argv)
{
    quietenLog();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const Parsed p = parse(args);
    const Command *command = Cli::find(p.command);
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
