#include "jobs/import/columnmatching.h"

#include "core/tablenames.h"
#include "support/tempdata.h"

#include <QFile>

#include <gtest/gtest.h>

namespace fenpai::test {
namespace {

using How = FieldMatch::How;

std::vector<ImportField> fieldsOf(ImportKind kind, size_t table = 0)
{
    return ImportFields::tables(kind)[table].fields;
}

QStringList names(const std::vector<ColumnMatching::OutputColumn> &columns)
{
    QStringList out;
    for (const auto &c : columns)
        out.append(c.name + (c.source < 0 ? QStringLiteral("∅") : QString()));
    return out;
}

// Every synonym of the list finds its field, beside a column that means nothing, also written
// with spaces and in full-width forms.
TEST(ColumnMatchingTest, EverySynonymFindsItsField)
{
    for (const auto &[field, synonyms] : ImportFields::synonymList()) {
        for (const QString &synonym : synonyms) {
            QString spaced;
            for (const QChar c : synonym)
                spaced += c + QStringLiteral("\u3000");
            for (const QString &header : {synonym, QStringLiteral(" ") + spaced}) {
                const std::vector<FieldMatch> m =
                    ColumnMatching::match({QStringLiteral("序号"), header}, {{field}});
                EXPECT_EQ(m[0].column, 1) << field.toStdString() << " ← " << header.toStdString();
                EXPECT_EQ(m[0].how, How::Synonym) << header.toStdString();
            }
        }
    }
}

TEST(ColumnMatchingTest, NormalisedHeaders)
{
    const struct
    {
        const char *header;
        const char *normalized;
    } cases[] = {
        {"性\u3000别", "性别"},
        {" 姓名\t", "姓名"},
        {"ＩＤ号", "id号"},
        {"（备注）", "(备注)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ImportFields::normalized(QString::fromUtf8(c.header)),
                  QString::fromUtf8(c.normalized))
            << c.header;
}

// The school's own headers: every field by a synonym, the two class fields added empty.
TEST(ColumnMatchingTest, SchoolHeadersBecomeOurFields)
{
    const QStringList headers = {QStringLiteral("考生姓名"), QStringLiteral("性 别"),
                                 QStringLiteral("中考成绩"), QStringLiteral("毕业学校"),
                                 QStringLiteral("联系电话")};
    const std::vector<ImportField> fields = fieldsOf(ImportKind::Division);
    const std::vector<FieldMatch> m = ColumnMatching::match(headers, fields);
    EXPECT_EQ(names(ColumnMatching::layout(headers, fields, m)),
              (QStringList{"姓名", "性别", "成绩", "原学校", "联系电话", "原班级∅", "新分班∅"}));
    EXPECT_EQ(ColumnMatching::describe(headers, m),
              (QStringList{"姓名 ← 考生姓名", "性别 ← 性 别", "成绩 ← 中考成绩",
                           "原学校 ← 毕业学校", "原班级：空列", "新分班：空列"}));
}

// Who wins a column: the user's choice, then the exact name, then synonyms in the list's order;
// a header left under a field's name is numbered.
TEST(ColumnMatchingTest, OrderOfTrust)
{
    const std::vector<ImportField> fields = fieldsOf(ImportKind::Division);
    const struct
    {
        const char *what;
        QStringList headers;
        QHash<QString, QString> chosen;
        QStringList layout;
    } cases[] = {
        {"exact before synonym",
         {"总分", "成绩", "姓名", "性别", "学校", "原学校"},
         {},
         {"总分", "成绩", "姓名", "性别", "学校", "原学校", "原班级∅", "新分班∅"}},
        {"earlier synonym first",
         {"姓名", "性别", "总分", "中考成绩", "毕业学校"},
         {},
         {"姓名", "性别", "总分", "成绩", "原学校", "原班级∅", "新分班∅"}},
        {"chosen before exact",
         {"姓名", "性别", "成绩", "总分", "原学校"},
         {{"成绩", "总分"}},
         {"姓名", "性别", "成绩1", "成绩", "原学校", "原班级∅", "新分班∅"}},
        {"chosen empty",
         {"姓名", "成绩", "原学校", "备注"},
         {{"性别", ""}},
         {"姓名", "成绩", "原学校", "备注", "性别∅", "原班级∅", "新分班∅"}},
        {"chosen by a spaced name",
         {"名", "性别", "分", "原学校"},
         {{"姓名", " 名"}, {"成绩", "分"}},
         {"姓名", "性别", "成绩", "原学校", "原班级∅", "新分班∅"}},
    };
    for (const auto &c : cases) {
        const std::vector<FieldMatch> m = ColumnMatching::match(c.headers, fields, c.chosen);
        EXPECT_EQ(names(ColumnMatching::layout(c.headers, fields, m)), c.layout) << c.what;
    }
}

// The capacity is read by its place: it ends up second, and in second place keeps its header.
TEST(ColumnMatchingTest, RoomCapacity)
{
    const std::vector<ImportField> fields = fieldsOf(ImportKind::Arrangement, 1);
    const struct
    {
        QStringList headers;
        How how;
        QStringList layout;
    } cases[] = {
        {{"考场号", "人数", "考场地点"}, How::Exact, {"考场号", "人数", "考场地点"}},
        {{"考场号", "楼层", "考场地点"}, How::Position, {"考场号", "楼层", "考场地点"}},
        {{"考场号", "考场地点", "人数"}, How::Exact, {"考场号", "人数", "考场地点"}},
        {{"考场", "备注", "考场人数", "地点"},
         How::Synonym,
         {"考场号", "人数", "备注", "考场地点"}},
        {{"考场号"}, How::Missing, {"考场号"}},
    };
    for (const auto &c : cases) {
        const std::vector<FieldMatch> m = ColumnMatching::match(c.headers, fields);
        EXPECT_EQ(m[1].how, c.how) << c.headers.join(u',').toStdString();
        EXPECT_EQ(names(ColumnMatching::layout(c.headers, fields, m)), c.layout);
    }
}

TEST(ColumnMatchingTest, AHeaderThatMatchesNothing)
{
    const QStringList headers = {"名称", "性别", "分数", "来自"};
    const std::vector<FieldMatch> m =
        ColumnMatching::match(headers, fieldsOf(ImportKind::Division));
    EXPECT_EQ(m[0].how, How::Missing); // 姓名
    EXPECT_EQ(m[2].how, How::Synonym); // 成绩 ← 分数
    EXPECT_EQ(m[3].how, How::Missing); // 原学校
    EXPECT_EQ(ColumnMatching::describe(headers, m),
              (QStringList{"姓名：找不到", "成绩 ← 分数", "原学校：找不到", "原班级：空列",
                           "新分班：空列"}));
}

// The manual prints the list the matching uses, field by field.
TEST(ColumnMatchingTest, TheManualListsTheSynonyms)
{
    QFile page(QStringLiteral(FENPAI_SOURCE_DIR "/resources/help/data.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    const qsizetype table = html.indexOf("<table class=\"synonyms\">");
    ASSERT_GE(table, 0);
    const QString rows = html.mid(table, html.indexOf("</table>", table) - table);
    for (const auto &[field, synonyms] : ImportFields::synonymList())
        EXPECT_TRUE(
            rows.contains("<tr><td>" + field + "</td><td>" + synonyms.join(u'、') + "</td></tr>"))
            << field.toStdString();
}

} // namespace
} // namespace fenpai::test
