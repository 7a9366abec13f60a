#include "cli/manpage.h"
#include "cli/cli.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

// What a reader of the page sees, roughly: requests dropped (the text of headings and bold lines
// kept), font changes dropped, escapes turned back into their characters.
QString plainText(const QString &page)
{
    static const QSet<QString> keepArguments = {"TH", "SH", "SS", "B", "I"};
    QString text;
    for (const QString &line : page.split('\n')) {
        QString shown = line;
        if (line.startsWith('.')) {
            const QString request = line.mid(1).section(' ', 0, 0);
            if (!keepArguments.contains(request))
                continue;
            shown = line.section(' ', 1).remove('"');
        }
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (shown[i] != '\\' || i + 1 == shown.size()) {
                text += shown[i];
                continue;
            }
            const QChar next = shown[++i];
            if (next == 'f')
                ++i; // \fB, \fI, \fR
            else if (next == 'e')
                text += '\\';
            else if (next == '-')
                text += '-';
            else if (next != '&' && next != ':') // \& and \: print nothing
                text += '\\' + QString(next);
        }
        text += '\n';
    }
    return text;
}

QSet<QString> words(const QString &text)
{
    const QStringList list = text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

} // namespace

TEST(ManPage, EscapesWhatTheFormatterWouldTakeForItsOwn)
{
    const struct
    {
        QString text;
        QString escaped;
    } cases[] = {
        {"--data-dir", "\\-\\-data\\-dir"},
        {"C:\\data", "C:\\edata"},
        {"one\n.two", "one\n\\&.two"},
        // Chinese may break between characters, but not inside a bracket's or before a stop.
        {"成绩 ≥ 60。", "成\\:绩 ≥ 60。"},
        {"甲，乙（丙）a", "甲，\\:乙\\:（丙）\\:a"},
        {"sql 语句", "sql 语\\:句"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ManPage::escape(c.text), c.escaped) << c.text.toStdString();
}

TEST(ManPage, SaysEverythingTheCommandsHelpSays)
{
    const QString page = ManPage::render("9.8.7");
    const QSet<QString> shown = words(plainText(page));
    ASSERT_FALSE(Cli::commands().empty());
    for (const Cli::Command &c : Cli::commands()) {
        const CommandLine::Syntax &syntax = c.syntax();
        EXPECT_TRUE(page.contains(".SS \"fenpai " + syntax.name + "\"\n" +
                                  ManPage::escape(syntax.summary) + '\n'))
            << syntax.name.toStdString();
        // The help's title line joins name and summary; the usage follows its label.
        QString help = CommandLine::help(syntax).section('\n', 1);
        help.replace("用法：", "用法： ");
        for (const QString &word : words(help))
            EXPECT_TRUE(shown.contains(word))
                << syntax.name.toStdString() << ": " << word.toStdString();
    }
    EXPECT_TRUE(page.startsWith(".TH FENPAI 1 \"\" \"fenpai 9.8.7\""));
}

TEST(ManPage, EveryRequestIsOneTheMacrosKnow)
{
    // A text line that starts with "." or "'" would be read as a request and vanish.
    static const QSet<QString> known = {"TH", "SH", "SS", "TP", "PP", "RS", "RE",
                                        "nf", "fi", "br", "B",  "I",  "nh", "ad"};
    CommandLine::Syntax syntax{.name = "probe",
                               .summary = ".开头是点的说明",
                               .usage = "fenpai probe\n      'quoted'",
                               .options = {{.name = "x", .help = ".hidden"}},
                               .examples = {"'example'"},
                               .notes = ".一行\n  .缩进的一行\n'另一行"};
    const QString page = ManPage::render("1") + ManPage::command(syntax);
    for (const QString &line : page.split('\n')) {
        if (!line.startsWith('.') && !line.startsWith('\''))
            continue;
        EXPECT_TRUE(known.contains(line.mid(1).section(' ', 0, 0))) << line.toStdString();
    }
    const QSet<QString> shown = words(plainText(ManPage::command(syntax)));
    for (const char *word : {".开头是点的说明", "'quoted'", ".hidden", "'example'", ".一行",
                             ".缩进的一行", "'另一行", "-x"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(word))) << word;
}
