#include "cli/verifycommand.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/examday/ticketcheck.h"

#include <QTextStream>

namespace fenpai {

namespace {

// Whose code it is, on one line.
QString whose(const TicketCheck::Verdict &v)
{
    QString line = QStringLiteral("考号 %1：%2，%3 %4，第 %5 考场 %6 号座位")
                       .arg(v.code.number, v.name, v.school, v.className, v.room, v.seat);
    if (!v.version.isEmpty())
        line += QStringLiteral("，%1卷").arg(v.version);
    return line;
}

// Prints the verdict of one code; true when the code fits its examinee where they sit now.
bool report(CliContext &context, Database &db, const QString &text, bool &failed)
{
    const Result<TicketCheck::Verdict> verdict = TicketCheck::verify(db, text);
    if (!verdict) {
        context.fail(verdict.status());
        failed = true;
        return false;
    }
    QTextStream &out = context.out();
    const TicketCheck::Verdict &v = *verdict;
    if (!v.known) {
        out << QStringLiteral("没有考号为 %1 的考生：这个二维码不是本次考试的。").arg(v.code.number)
            << '\n';
        return false;
    }
    out << whose(v) << '\n';
    if (!v.fits) {
        out << QStringLiteral("校验码不符：这个二维码不是为这名考生生成的，准考证可能是伪造的。")
            << '\n';
        return false;
    }
    if (!v.placeMatches) {
        out << QStringLiteral("校验码相符，但二维码上的座位（第 %1 考场 %2 号）与现在的编排不同："
                              "准考证是在调整之前打印的，请以现在的座位为准。")
                   .arg(v.code.room, v.code.seat)
            << '\n';
        return false;
    }
    out << QStringLiteral("校验码相符。") << '\n';
    return true;
}

} // namespace

const CommandLine::Syntax &VerifyCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("verify"),
        .summary = QStringLiteral("核对准考证或签到表上的二维码：是谁的，校验码是否相符"),
        .usage = QStringLiteral("fenpai verify CODE|-"),
        .arguments = {QStringLiteral("CODE")},
        .options = {},
        .examples = {QStringLiteral("fenpai --data-dir D verify \"考号:2100001 考场:1 座位:1 "
                                    "校验:1A2B3C4D\""),
                     QStringLiteral("zbarimg -q --raw 准考证照片.jpg | fenpai --data-dir D verify "
                                    "-")},
        .notes = QStringLiteral(
            "CODE 是扫描二维码得到的文字（有空格时加引号）；- 从标准输入逐行读取。全部相符时"
            "退出状态为 0，有不符的为 1。"),
    };
    return syntax;
}

int VerifyCommand::run(CliContext &context, const CommandLine &line)
{
    QStringList codes = {line.argument(0)};
    if (codes.first() == QLatin1String("-")) {
        if (!context.in())
            return context.badUsage(QStringLiteral("没有标准输入可读"));
        codes = context.in()->readAll().split(u'\n', Qt::SkipEmptyParts);
        codes.removeIf([](const QString &c) { return c.trimmed().isEmpty(); });
        if (codes.isEmpty())
            return context.badUsage(QStringLiteral("标准输入中没有二维码文字"));
    }
    Database db;
    if (!context.openDatabase(db))
        return 1;
    bool allFit = true;
    bool failed = false;
    for (const QString &code : std::as_const(codes)) {
        allFit = report(context, db, code.trimmed(), failed) && allFit;
        if (failed)
            return 1;
    }
    return allFit ? 0 : 1;
}

} // namespace fenpai
