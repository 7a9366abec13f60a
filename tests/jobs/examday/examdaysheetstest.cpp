#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/examday/doorsheet.h"
#include "jobs/examday/signinsheet.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

#include <QImage>

using namespace fenpai;

namespace {

// Three rooms: 30 seats full, 30 seats full, and a hall of 75 in 16 rows of 5, too long for
// one page; exam numbers from 2100001 in seat order.
class ExamDaySheetsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        ASSERT_TRUE(test::addPupils(t.db, test::makeYear(135, 2, 6, 7)).isOk());
        ASSERT_TRUE(test::addRooms(t.db, {30, 30, 80}).isOk());
        arrange(ArrangementSettings::Versions::None);
    }

    void arrange(ArrangementSettings::Versions versions)
    {
        ArrangementSettings s;
        s.mode = ArrangementSettings::Mode::ScoreOnly;
        s.versions = versions;
        ASSERT_TRUE(Arrangement::run(t.db, s).isOk());
    }

    // The rows (from 1) whose first cell starts with `text`.
    QList<int> rowsStartingWith(const QString &text) const
    {
        QList<int> rows;
        for (int r = 1; r < grid.rows(); ++r) {
            if (grid.cellText(r, 1).startsWith(text))
                rows.append(r);
        }
        return rows;
    }

    static SignInSheet::Request room(int k)
    {
        SignInSheet::Request r;
        r.room = k;
        return r;
    }

    int pages() const { return static_cast<int>(GridPagination::paginate(grid).pages.size()); }

    test::TempData t;
    Grid grid;
};

} // namespace

// A room of 30 on one page: the title, a header, one row per seat in seat order with its
// examinee, the totals line and the invigilators' line.
TEST_F(ExamDaySheetsTest, SignInSheetOfAThirtySeatRoom)
{
    const Result<SignInSheet::Outcome> sheet = SignInSheet::build(t.db, grid, room(1));
    ASSERT_TRUE(sheet.isOk()) << sheet.status().message().toStdString();
    EXPECT_EQ(pages(), 1);
    ASSERT_EQ(rowsStartingWith("第 1 考场签到表"), QList<int>{1});
    EXPECT_TRUE(grid.cellText(2, 1).startsWith("考场地点：教学楼1"))
        << grid.cellText(2, 1).toStdString();
    const QStringList expected =
        t.rows("SELECT 座位号, 考号, 姓名, 班级 FROM 考生表 WHERE 考场 = 1 ORDER BY 座位号");
    ASSERT_EQ(expected.size(), 30);
    for (int i = 0; i < 30; ++i) {
        const QStringList e = expected[i].split('\t');
        const int row = 4 + i;
        EXPECT_EQ(grid.cellText(row, 1), QString::number(i + 1).rightJustified(2, '0'));
        EXPECT_EQ(grid.cellText(row, 2), e[1]);
        EXPECT_EQ(grid.cellText(row, 3), e[2]);
        EXPECT_EQ(grid.cellText(row, 4), e[3]);
        EXPECT_TRUE(grid.isModulePicture(grid.cellStyle(row, 5).imageKey));
        EXPECT_EQ(grid.cellText(row, 6), "");
    }
    EXPECT_EQ(grid.cellText(34, 1), "应考 30 人　　实考 ＿＿＿ 人　　缺考 ＿＿＿ 人");
    EXPECT_TRUE(grid.cellText(35, 1).startsWith("监考员签名："));
    EXPECT_EQ(grid.rows(), 36);
    // Rows share the page, between the smallest and largest height.
    EXPECT_GE(grid.rowHeight(4), SignInSheet::minRowHeight);
    EXPECT_LE(grid.rowHeight(4), SignInSheet::maxRowHeight);
}

// Every room: each from a page of its own; the hall goes on over pages that repeat the header,
// and only its last page counts its examinees. With versions the sheet has their column.
TEST_F(ExamDaySheetsTest, EveryRoomFromItsOwnPageAndLongRoomsGoOn)
{
    arrange(ArrangementSettings::Versions::AB);
    const Result<SignInSheet::Outcome> sheet = SignInSheet::build(t.db, grid, room(0));
    ASSERT_TRUE(sheet.isOk()) << sheet.status().message().toStdString();
    const QList<int> hall = rowsStartingWith("第 3 考场签到表");
    ASSERT_GE(hall.size(), 2);
    EXPECT_EQ(grid.cellText(hall[1], 1), "第 3 考场签到表（续）");
    const QList<int> titles = rowsStartingWith("第 ");
    EXPECT_EQ(grid.hPageBreaks(), titles.mid(1));
    EXPECT_EQ(pages(), titles.size());
    EXPECT_EQ(rowsStartingWith("应考 ").size(), 3);
    EXPECT_EQ(grid.cellText(rowsStartingWith("应考 ").last(), 1).section(u'　', 0, 0),
              "应考 75 人");
    EXPECT_EQ(grid.cellText(3, 5), "试卷");
    EXPECT_EQ(grid.cellText(4, 5), "A");
    EXPECT_EQ(grid.cellText(hall[1] + 2, 1), "座位号"); // the header again
    // Every seat of the hall once, in order.
    QStringList seats;
    for (int r = hall[0]; r < grid.rows(); ++r) {
        bool ok = false;
        grid.cellText(r, 1).toInt(&ok);
        if (ok)
            seats.append(grid.cellText(r, 1));
    }
    ASSERT_EQ(seats.size(), 75);
    EXPECT_EQ(seats.first(), "01");
    EXPECT_EQ(seats.last(), "75");
}

TEST_F(ExamDaySheetsTest, DoorSheetNamesTheRoomItsNumbersAndItsDesks)
{
    arrange(ArrangementSettings::Versions::AB);
    const Result<ReportDocument> door = DoorSheet::build(t.db, grid, {2});
    ASSERT_TRUE(door.isOk()) << door.status().message().toStdString();
    EXPECT_EQ(pages(), 1);
    EXPECT_EQ(grid.cellText(2, 1), "考场地点：教学楼2");
    EXPECT_EQ(grid.cellText(3, 1), "考号 2100031 — 2100060");
    EXPECT_EQ(grid.cellText(4, 1), "本考场考生 30 人（A卷 15 份，B卷 15 份）");
    // Six rows of five desks, seats down the columns: seat 7 heads the second column.
    int frontRow = 0;
    for (int r = 1; r < grid.rows() && !frontRow; ++r) {
        for (int c = 1; c < grid.cols(); ++c) {
            if (grid.cellText(r, c) == "讲台")
                frontRow = r;
        }
    }
    ASSERT_GT(frontRow, 0);
    int firstCol = 0;
    for (int c = grid.cols() - 1; c >= 1; --c) {
        if (grid.cellText(frontRow + 1, c).startsWith("01"))
            firstCol = c;
    }
    ASSERT_GT(firstCol, 0);
    EXPECT_EQ(grid.cellText(frontRow + 1, firstCol), "01 A");
    EXPECT_EQ(grid.cellText(frontRow + 1, firstCol + 1), "07 B");
    EXPECT_EQ(grid.cellText(frontRow + 6, firstCol + 4), "30 B");

    // Every room: one page each.
    ASSERT_TRUE(DoorSheet::build(t.db, grid, {0}).isOk());
    EXPECT_EQ(pages(), 3);
    EXPECT_EQ(rowsStartingWith("考号 2100061 — 2100135").size(), 1);
}

TEST_F(ExamDaySheetsTest, RefusalsLeaveTheGridAndPhotosComeAsThumbnails)
{
    ASSERT_TRUE(SignInSheet::build(t.db, grid, room(2)).isOk());
    const int rows = grid.rows();
    Result<SignInSheet::Outcome> none = SignInSheet::build(t.db, grid, room(9));
    EXPECT_EQ(none.status().message(), "没有第 9 考场。");
    EXPECT_EQ(DoorSheet::build(t.db, grid, {9}).status().message(), "没有第 9 考场。");
    EXPECT_EQ(grid.rows(), rows);

    // One large photo, of the examinee on seat 1 of room 1: the sheet keeps a small copy.
    const QString name = t.rows("SELECT 姓名 FROM 考生表 WHERE 考场 = 1 AND 座位号 = 1")[0];
    QImage photo(600, 800, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    ASSERT_TRUE(photo.save(t.dir.filePath(name + ".jpg")));
    SignInSheet::Request request = room(1);
    request.photoFolder = t.dir.path();
    request.photoField = "姓名";
    const Result<SignInSheet::Outcome> sheet = SignInSheet::build(t.db, grid, request);
    ASSERT_TRUE(sheet.isOk());
    EXPECT_EQ(grid.cellText(3, 5), "照片");
    const QString key = grid.cellStyle(4, 5).imageKey;
    ASSERT_FALSE(key.isEmpty());
    EXPECT_LE(grid.image(key).height(), 2 * SignInSheet::maxRowHeight);
    EXPECT_TRUE(grid.cellStyle(5, 5).imageKey.isEmpty());
    EXPECT_EQ(sheet->withoutPhoto.size(), 29);
}
