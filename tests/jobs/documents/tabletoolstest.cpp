#include "jobs/documents/tabletools.h"
#include "grid/grid.h"
#include "grid/gridedits.h"

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

// A document as a fill leaves it: titles in row 0, one row per entry, a blank row at the end.
void fill(Grid &g, const QStringList &titles, const QList<QStringList> &rows)
{
    g.setRows(1);
    g.setCols(int(titles.size()) + 1);
    for (int c = 0; c < titles.size(); ++c)
        g.setCellText(0, c + 1, titles[c]);
    for (const QStringList &row : rows)
        g.addItem(row.join(u'\t'));
    g.addItem(QString());
}

QStringList column(const Grid &g, int col)
{
    QStringList texts;
    for (int r = 1; r < g.rows(); ++r)
        texts.append(g.cellText(r, col));
    return texts;
}

} // namespace

TEST(TableTools, RankSharesTiesLeavesEmptiesAndKeepsTheOrder)
{
    Grid g;
    fill(g, {"姓名", "成绩", "备注"},
         {{"甲", "90", "a"},
          {"乙", "85", "b"},
          {"丙", "90.0", "c"},
          {"丁", "", "d"},
          {"戊", "100", "e"}});
    g.range(2, 2, 2, 2).setFontBold(true);
    TableTools::rankColumn(g, 2);

    ASSERT_EQ(g.cols(), 6);
    EXPECT_EQ(g.cellText(0, 3), "成绩排名");
    EXPECT_EQ(column(g, 1), QStringList({"甲", "乙", "丙", "丁", "戊", ""}));
    EXPECT_EQ(column(g, 3), QStringList({"2", "4", "2", "", "1", ""}));
    EXPECT_EQ(g.columnMask(3), GridMask::Numeric);
    // The order column: last, hidden, numeric, each row's place.
    EXPECT_TRUE(GridEdits::isOrderColumn(g, 5));
    EXPECT_EQ(g.columnWidth(5), 0);
    EXPECT_EQ(g.columnMask(5), GridMask::Numeric);
    EXPECT_EQ(column(g, 5), QStringList({"1", "2", "3", "4", "5", "6"}));
    EXPECT_TRUE(g.cellFont(2, 2).bold) << "formats stay with their rows";
    EXPECT_TRUE(g.allowUserSort());

    // The two 90s of the brief: 90, 85, 90 → 1, 3, 1.
    Grid small;
    fill(small, {"成绩"}, {{"90"}, {"85"}, {"90"}});
    TableTools::rankColumn(small, 1);
    EXPECT_EQ(column(small, 2), QStringList({"1", "3", "1", ""}));

    // Ranking again: a second rank column beside the ranked one and a second order column.
    g.sortByColumn(2, 0);
    TableTools::rankColumn(g, 1);
    ASSERT_EQ(g.cols(), 8);
    EXPECT_EQ(g.cellText(0, 2), "姓名排名");
    EXPECT_TRUE(GridEdits::isOrderColumn(g, 6));
    EXPECT_TRUE(GridEdits::isOrderColumn(g, 7));

    // Restoring follows the last ranking's order, taken after the sort.
    const QStringList sorted = column(g, 1);
    g.sortByColumn(3, 1);
    ASSERT_NE(column(g, 1), sorted);
    EXPECT_TRUE(TableTools::restoreOrder(g));
    EXPECT_EQ(column(g, 1), sorted);

    TableTools::rankColumn(g, 0);
    TableTools::rankColumn(g, 99);
    EXPECT_EQ(g.cols(), 8);
    Grid never;
    fill(never, {"成绩"}, {{"2"}, {"1"}});
    EXPECT_FALSE(TableTools::restoreOrder(never));
    EXPECT_EQ(column(never, 1), QStringList({"2", "1", ""}));
}

TEST(TableTools, FilterFindsEverySchoolOnceAndEveryMatchingRow)
{
    Grid g;
    fill(g, {"姓名", " 学校 ", "班级", "成绩"},
         {{"甲", "一中", "1班", "90"},
          {"乙", "一中", "2班", "80"},
          {"丙", "二中", "1班", "70"},
          {"丁", " 一中", "1班", "60"},
          {"戊", "三中", "", "50"}});
    TableTools::rankColumn(g, 4);
    EXPECT_EQ(TableTools::schools(g), QStringList({"一中", "二中", "三中"}));
    EXPECT_EQ(TableTools::classes(g, "一中"), QStringList({"", "1班", "2班"}));
    EXPECT_EQ(TableTools::classes(g, "三中"), QStringList({""}));

    Grid all;
    EXPECT_EQ(TableTools::copyRows(g, "一中", "", all), 3);
    EXPECT_EQ(all.cellText(0, 2), " 学校 ");
    EXPECT_EQ(column(all, 1), QStringList({"甲", "乙", "丁", ""}));
    EXPECT_EQ(column(all, 5), QStringList({"1", "2", "4", ""})) << "ranks copied as they were";
    EXPECT_EQ(all.columnWidth(6), 0);
    EXPECT_TRUE(GridEdits::isOrderColumn(all, 6)) << "the copy can be put back in order too";

    Grid one;
    EXPECT_EQ(TableTools::copyRows(g, "一中", "1班", one), 2);
    EXPECT_EQ(column(one, 1), QStringList({"甲", "丁", ""}));

    Grid none;
    Grid noSchool;
    fill(noSchool, {"姓名"}, {{"甲"}});
    EXPECT_EQ(TableTools::copyRows(noSchool, "一中", "", none), 0);
    EXPECT_EQ(none.rows(), 2);
    EXPECT_TRUE(TableTools::schools(noSchool).isEmpty());
    EXPECT_FALSE(TableTools::filterColumns(noSchool).any());
}

// A division document goes by 原学校 and 新分班 (原班级 is the old class); a document with a
// class column alone filters by class. Classes come as people count them.
TEST(TableTools, FilterGoesByTheColumnsTheDocumentHas)
{
    Grid division;
    fill(division, {"姓名", "原学校", "原班级", "新分班"},
         {{"甲", "一中", "1", "10"},
          {"乙", "二中", "2", "2"},
          {"丙", "一中", "2", "2"},
          {"丁", "一中", "1", "1"},
          {"", "", "", ""}});
    const TableTools::FilterColumns cols = TableTools::filterColumns(division);
    EXPECT_EQ(cols.school, 2);
    EXPECT_EQ(cols.klass, 4);
    EXPECT_EQ(TableTools::schools(division), QStringList({"一中", "二中"}));
    EXPECT_EQ(TableTools::classes(division, "一中"), QStringList({"", "1", "2", "10"}));
    Grid two;
    EXPECT_EQ(TableTools::copyRows(division, "一中", "2", two), 1);
    EXPECT_EQ(column(two, 1), QStringList({"丙", ""}));
    EXPECT_EQ(TableTools::filterTitle(division, "一中", "2"), "一中2班成绩表");
    EXPECT_EQ(TableTools::filterTitle(division, "一中", ""), "一中成绩表");

    Grid classesOnly;
    fill(classesOnly, {"姓名", "新分班"}, {{"甲", "3"}, {"乙", "1"}, {"丙", "3"}, {"", ""}});
    EXPECT_TRUE(TableTools::schools(classesOnly).isEmpty());
    EXPECT_EQ(TableTools::classes(classesOnly, ""), QStringList({"", "1", "3"}));
    Grid three;
    EXPECT_EQ(TableTools::copyRows(classesOnly, "", "3", three), 2);
    Grid everyone;
    EXPECT_EQ(TableTools::copyRows(classesOnly, "", "", everyone), 3) << "not the blank row";
    EXPECT_EQ(TableTools::filterTitle(classesOnly, "", "3"), "3班成绩表");

    Grid exam;
    fill(exam, {"学校", "班级", "原学校"},
         {{"一中", "初三(10)班", "x"}, {"一中", "初三(2)班", "y"}});
    EXPECT_EQ(TableTools::filterColumns(exam).school, 1) << "学校 before 原学校";
    EXPECT_EQ(TableTools::classes(exam, "一中"), QStringList({"", "初三(2)班", "初三(10)班"}));
    EXPECT_EQ(TableTools::filterTitle(exam, "一中", "初三(2)班"), "一中初三(2)班成绩表");
}
