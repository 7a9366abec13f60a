#include "cli/passwdcommand.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "db/useraccounts.h"

#include <QTextStream>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace fenpai {

namespace {

// Echo off while a password is typed at a terminal; restored when done.
class EchoOff final
{
public:
    EchoOff()
    {
        if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &m_saved) != 0)
            return;
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
    ~EchoOff()
    {
        if (m_active)
            tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
    }
    EchoOff(const EchoOff &) = delete;
    EchoOff &operator=(const EchoOff &) = delete;
    bool active() const { return m_active; }

private:
    termios m_saved{};
    bool m_active = false;
};

QString ask(CliContext &context, const QString &prompt)
{
    context.err() << prompt;
    context.err().flush();
    QTextStream *in = context.in();
    if (!in)
        return {};
    QString line;
    {
        EchoOff echo;
        line = in->readLine();
        if (echo.active())
            context.err() << '\n';
    }
    return line;
}

} // namespace

const CommandLine::Syntax &PasswdCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("passwd"),
        .summary = QStringLiteral("修改用户密码（从标准输入读取旧密码和新密码）"),
        .usage = QStringLiteral("fenpai passwd USER"),
        .arguments = {QStringLiteral("USER")},
        .options = {},
        .examples = {QStringLiteral("fenpai --data-dir D passwd admin")},
        .notes =
            QStringLiteral("依次读取旧密码、新密码和新密码确认，各占一行；在终端输入时不回显。"),
    };
    return syntax;
}

int PasswdCommand::run(CliContext &context, const CommandLine &line)
{
    const QString user = line.argument(0).trimmed();
    Database db;
    if (!context.openDatabase(db))
        return 1;
    UserAccounts::Change change;
    change.currentUser = user;
    change.newUser = user;
    change.oldPassword = ask(context, QStringLiteral("旧密码："));
    change.newPassword = ask(context, QStringLiteral("新密码："));
    change.confirmPassword = ask(context, QStringLiteral("新密码确认："));
    const UserAccounts::ChangeOutcome outcome = UserAccounts::changePassword(db, change);
    if (outcome.check != UserAccounts::ChangeCheck::Ok)
        return context.fail(outcome.message);
    context.out() << outcome.message << '\n';
    return 0;
}

} // namespace fenpai
