#include "cli/manpage.h"

#include "cli/cli.h"

#include <QStringList>

namespace fenpai {

namespace {

// Chinese has no spaces to break a line at: the formatter may break between two Han characters
// or full-width signs instead (a zero-width break point), or a long sentence runs off the page;
// never after an opening bracket nor before a comma, full stop or closing bracket.
bool isWide(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x3000 && u <= 0x303f) || (u >= 0x3400 && u <= 0x9fff) ||
           (u >= 0xff00 && u <= 0xffef) || u == 0x201c || u == 0x201d;
}

bool breaksBetween(QChar c, QChar next)
{
    static const QString noBreakAfter = QStringLiteral("（《「『【〈“");
    static const QString noBreakBefore = QStringLiteral("，。、；：？！）》」』】〉”");
    return (isWide(c) || isWide(next)) && !noBreakAfter.contains(c) &&
           !noBreakBefore.contains(next) && c != u' ' && next != u' ';
}

// The text with a break point wherever breaksBetween() allows one. Roff's own escapes are ASCII
// and stay whole.
QString withBreaks(const QString &text)
{
    QString out;
    out.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (i + 1 < text.size() && breaksBetween(text[i], text[i + 1]))
            out += QStringLiteral("\\:");
    }
    return out;
}

QString escapeLine(const QString &line)
{
    QString out;
    out.reserve(line.size() + 8);
    for (const QChar c : line) {
        if (c == u'\\')
            out += QStringLiteral("\\e");
        else if (c == u'-')
            out += QStringLiteral("\\-");
        else
            out += c;
    }
    out = withBreaks(out);
    if (out.startsWith(u'.') || out.startsWith(u'\''))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

QString bold(const QString &text)
{
    return QStringLiteral("\\fB") + ManPage::escape(text) + QStringLiteral("\\fR");
}

QString italic(const QString &text)
{
    return QStringLiteral("\\fI") + ManPage::escape(text) + QStringLiteral("\\fR");
}

QString dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// Lines kept as they are (usage, examples, tables in the notes), each one escaped.
QString literal(const QStringList &lines)
{
    QString out = QStringLiteral(".nf\n");
    for (const QString &line : lines)
        out += ManPage::escape(line) + u'\n';
    return out + QStringLiteral(".fi\n");
}

QString optionTag(const CommandLine::Option &o)
{
    QString tag = bold(dashed(o.name));
    if (!o.otherName.isEmpty())
        tag += QStringLiteral(", ") + bold(dashed(o.otherName));
    if (!o.choices.isEmpty())
        tag += u' ' + bold(o.choices.join(u'|'));
    else if (!o.valueName.isEmpty())
        tag += u' ' + italic(o.valueName);
    return tag;
}

// Notes: plain lines become paragraphs; indented lines (a table of names and what they are)
// stay as they are, so their columns line up as in `fenpai help`.
QString notes(const QString &text)
{
    QString out;
    QStringList block;
    const auto flush = [&] {
        if (!block.isEmpty())
            out += QStringLiteral(".PP\n") + literal(block);
        block.clear();
    };
    for (const QString &line : text.trimmed().split(u'\n')) {
        if (line.trimmed().isEmpty()) {
            flush();
        } else if (line.startsWith(u' ') || line.startsWith(u'\t')) {
            block.append(line);
        } else {
            flush();
            out += QStringLiteral(".PP\n") + ManPage::escape(line) + u'\n';
        }
    }
    flush();
    return out;
}

// The page's own text in roff: break points in its text lines, requests left as they are.
QString prose(const char *roff)
{
    QStringList lines = QString::fromUtf8(roff).split(u'\n');
    for (QString &line : lines) {
        if (!line.startsWith(u'.'))
            line = withBreaks(line);
    }
    return lines.join(u'\n');
}

// The name line is read by whatis and apropos as it stands: no break points in it.
const char *const title = R"(.TH FENPAI 1 "" "fenpai %1" "分班排考"
.nh
.ad l
.SH 名称
fenpai \- 分班排考：新生分班和考场编排
)";

const char *const header = R"(.SH 概要
.B fenpai
[\fB\-\-data\-dir\fR \fIDIR\fR]
.br
.B fenpai
[\fB\-\-data\-dir\fR \fIDIR\fR] \fICOMMAND\fR [\fIARGS\fR...]
.br
.B fenpai help
[\fICOMMAND\fR]
.SH 描述
分班排考是给学校和教育部门教务人员用的桌面程序：从电子表格工作簿导入学生名单，把新生均衡地分到各班，把考生编排到考场，并打印班级名单、统计表、准考证、桌贴和考场座位表。
.PP
不带命令时启动窗口；带命令时在命令行完成一项工作，不打开窗口。下面的命令和
\fBfenpai help\fR \fICOMMAND\fR 显示的说明相同。
.SH 选项
.TP
\fB\-\-data\-dir\fR \fIDIR\fR
数据目录：数据库文件为 \fIDIR\fR/suju/sujuf.mdb。
.TP
\fB\-h\fR, \fB\-\-help\fR
显示用法和命令列表；放在命令后面时显示这个命令的说明。
.TP
\fB\-\-version\fR
显示版本。
.SH 命令
)";

const char *const footer = R"(.SH 退出状态
.TP
.B 0
完成。
.TP
.B 1
工作失败，原因写在标准错误输出上。
.TP
.B 2
用法不对：未知的命令或选项、缺少或不接受的值。
.SH 环境
.TP
.B FENPAI_DATA_DIR
没有 \fB\-\-data\-dir\fR 时使用的数据目录。
.TP
.B FENPAI_DEBUG
设置后，程序的日志（SQLite 和 Qt 的英文信息）也写到标准错误输出。
.SH 文件
.TP
.I ~/.local/share/分班排考/suju/sujuf.mdb
每个用户的数据库（没有 \fB\-\-data\-dir\fR 和 \fBFENPAI_DATA_DIR\fR 时）。准考证模板的工作副本在同一目录的
\fIzkzmb/\fR 中。
.TP
.I /usr/share/fenpai/help/index.html
使用说明（窗口的 帮助 → 帮助）。
.TP
.I /usr/share/fenpai/demo/
演示数据工作簿：分班数据.xlsx、考场编排数据.xlsx、成绩数据.xlsx，可以直接导入试用。
.TP
.I /usr/share/fenpai/zkzmb/
准考证模板的出厂副本。
)";

} // namespace

QString ManPage::escape(const QString &text)
{
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        line = escapeLine(line);
    return lines.join(u'\n');
}

QString ManPage::command(const CommandLine::Syntax &syntax)
{
    QString out = QStringLiteral(".SS \"fenpai %1\"\n").arg(escape(syntax.name));
    out += escape(syntax.summary) + u'\n';
    out += QStringLiteral(".PP\n用法：\n.RS\n") + literal(syntax.usage.split(u'\n')) +
           QStringLiteral(".RE\n");
    if (!syntax.options.empty()) {
        out += QStringLiteral(".PP\n选项：\n.RS\n");
        for (const CommandLine::Option &o : syntax.options)
            out += QStringLiteral(".TP\n") + optionTag(o) + u'\n' + escape(o.help) + u'\n';
        out += QStringLiteral(".RE\n");
    }
    if (!syntax.notes.trimmed().isEmpty())
        out += notes(syntax.notes);
    if (!syntax.examples.isEmpty())
        out += QStringLiteral(".PP\n例子：\n.RS\n") + literal(syntax.examples) +
               QStringLiteral(".RE\n");
    return out;
}

QString ManPage::render(const QString &version)
{
    QString page = QString::fromUtf8(title).arg(escape(version)) + prose(header);
    for (const Cli::Command &c : Cli::commands())
        page += command(c.syntax());
    return page + prose(footer);
}

} // namespace fenpai
