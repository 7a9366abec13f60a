#include "jobs/workspace.h"

#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementcounts.h"
#include "jobs/division/classdivision.h"
#include "jobs/import/spreadsheetimport.h"

#include "support/importtestutil.h"
#include "support/tempdata.h"

#include "core/tablenames.h"
#include "grid/grid.h"
#include "workbook/demodata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace fenpai::test {
namespace {

// A small demo year: 30 pupils from 3 schools to divide, 20 examinees in 2 × 2 classes for 2
// rooms of 12.
DemoOptions smallYear()
{
    DemoOptions o;
    o.pupils = 30;
    o.schools = 3;
    o.examSchools = 2;
    o.classesPerSchool = 2;
    o.pupilsPerClass = 5;
    o.rooms = 2;
    o.roomSize = 12;
    return o;
}

class WorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const Status s = DemoData::write(workbooks.path(), smallYear());
        ASSERT_TRUE(s.isOk()) << s.message().toStdString();
    }
    QString division() const { return workbooks.filePath(DemoData::divisionFileName()); }
    QString arrangement() const { return workbooks.filePath(DemoData::arrangementFileName()); }

    // Everything a job may change, read through a connection of the test's own.
    QStringList snapshot()
    {
        QStringList all;
        for (const QString &t :
             {TableNames::divisionData, TableNames::examinees, TableNames::rooms})
            if (data.db.hasTable(t))
                all << t << data.rows(QStringLiteral("SELECT * FROM [%1] ORDER BY rowid").arg(t));
        return all;
    }

    // The jobs as the window runs them: long ones on a connection of their own.
    Result<ImportReport> importDivision(const QString &path)
    {
        return workspace.useOwnConnection(
            [&](Database &db) { return SpreadsheetImport::importDivision(db, path); });
    }
    Result<ImportReport> importArrangement(const QString &path)
    {
        return workspace.useOwnConnection(
            [&](Database &db) { return SpreadsheetImport::importArrangement(db, path); });
    }
    Result<DivisionSummary> divide(const DivisionSettings &s,
                                   const ClassDivision::Progress &progress = {})
    {
        return workspace.useOwnConnection(
            [&](Database &db) { return ClassDivision::run(db, s, progress); });
    }
    Result<ArrangementOutcome> arrange(const ArrangementSettings &s,
                                       const ArrangementProgress &progress = {})
    {
        return workspace.useOwnConnection(
            [&](Database &db) { return Arrangement::run(db, s, progress); });
    }
    Result<ArrangementCounts> counts()
    {
        return workspace.use([](Database &db) { return ArrangementCounts::read(db); });
    }

    QTemporaryDir workbooks;
    TempData data;
    Workspace workspace{data.directory};
};

// A data directory whose database file is not a database.
class BrokenWorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(directory.databasePath()).absolutePath()));
        writeFile(directory.databasePath(), QByteArray(4096, 'x'));
    }

    QTemporaryDir dir;
    DataDirectory directory{dir.path()};
    Workspace workspace{directory};
};

TEST_F(BrokenWorkspaceTest, EveryJobSaysWhyNothingIsTouchedAndARepairedFileOpens)
{
    const QString why = QStringLiteral("文件 ") + directory.databasePath() +
                        QStringLiteral(" 不是本程序的数据库文件");
    EXPECT_EQ(workspace.open().message(), why);
    EXPECT_FALSE(workspace.isOpen());

    // Neither way to a job reaches it.
    int ran = 0;
    const auto job = [&](Database &) -> Result<int> { return ++ran; };
    EXPECT_EQ(workspace.use(job).status().message(), why);
    EXPECT_EQ(workspace.useOwnConnection(job).status().message(), why);
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(workspace.repairSystemTables().message(), why);
    const ReportCatalogue::Entry *report = ReportCatalogue::find(QStringLiteral("first-last"));
    ASSERT_NE(report, nullptr);
    Grid reportGrid;
    EXPECT_EQ(workspace.buildReport(reportGrid, *report, {}).status().message(), why);

    Grid grid;
    grid.setRows(3);
    grid.setCols(4);
    const DocumentFill::Outcome filled =
        workspace.fillDocument(grid, TableNames::examinees, TableNames::examinees);
    EXPECT_EQ(filled.status.message(), why);
    EXPECT_TRUE(filled.titleText.isEmpty());
    EXPECT_EQ(grid.rows(), 3) << "the document stays as it was";
    EXPECT_EQ(grid.cols(), 4);

    // The menus simply stay without data items.
    EXPECT_TRUE(workspace.newClassCaptions().isEmpty());
    EXPECT_TRUE(workspace.classCaptions().isEmpty());

    EXPECT_EQ(readFile(directory.databasePath()), QByteArray(4096, 'x'));

    // Once the file is repaired (here: gone), the workspace opens.
    ASSERT_TRUE(QFile::remove(directory.databasePath()));
    const Status s = workspace.open();
    EXPECT_TRUE(s.isOk()) << s.message().toStdString();
    EXPECT_TRUE(workspace.isOpen());
    const Result<QString> user = workspace.use([](Database &db) {
        return UserAccounts::login(db, QStringLiteral(" admin "), QStringLiteral("admin"));
    });
    ASSERT_TRUE(user.isOk()) << user.status().message().toStdString();
    EXPECT_EQ(*user, QStringLiteral("admin"));
}

TEST_F(BrokenWorkspaceTest, PasswordFieldsAreCheckedBeforeTheFileIsNeeded)
{
    UserAccounts::Change change{QStringLiteral("admin"), QString(), QStringLiteral("admin"),
                                QStringLiteral("new"), QStringLiteral("new")};
    Result<UserAccounts::ChangeOutcome> outcome = workspace.changePassword(change);
    ASSERT_TRUE(outcome.isOk());
    EXPECT_EQ(outcome->check, UserAccounts::ChangeCheck::MissingOld);

    change.oldPassword = QStringLiteral("admin");
    outcome = workspace.changePassword(change);
    ASSERT_FALSE(outcome.isOk());
    EXPECT_TRUE(outcome.status().message().contains(QStringLiteral("不是本程序的数据库文件")));
}

TEST(WorkspaceFolderTest, AFolderThatCannotBeMadeIsReported)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain"));
    writeFile(file, "not a folder");
    Workspace workspace{DataDirectory(file)};
    const Status s = workspace.open();
    EXPECT_EQ(s.kind(), Status::Kind::Io);
    EXPECT_TRUE(s.message().startsWith(QStringLiteral("无法创建数据目录")))
        << s.message().toStdString();
    EXPECT_TRUE(workspace.schoolCaptions().isEmpty());
}

// The menus read after the jobs see what they wrote, through the connection the jobs used: the
// file is gone from its folder by then, so nothing could have opened it again.
TEST_F(WorkspaceTest, MenusFollowTheJobsThroughTheOneConnection)
{
    EXPECT_TRUE(workspace.roomCaptions().isEmpty());
    ASSERT_TRUE(importArrangement(arrangement()).isOk());
    ASSERT_TRUE(importDivision(division()).isOk());
    EXPECT_EQ(*workspace.use([](Database &db) { return ClassDivision::pupilTotal(db); }), 30);
    DivisionSettings settings;
    settings.classes = 3;
    ASSERT_TRUE(divide(settings).isOk());

    data.db.close();
    ASSERT_TRUE(QFile::remove(data.directory.databasePath()));
    EXPECT_EQ(workspace.newClassCaptions(),
              (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(workspace.roomCaptions(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    const QStringList schools = workspace.schoolCaptions();
    EXPECT_EQ(schools.size(), 2);
    const QStringList classes = workspace.classCaptions();
    EXPECT_EQ(classes.size(), 4);
    for (const QString &c : classes)
        EXPECT_TRUE(schools.contains(c.section(u'/', 0, 0))) << c.toStdString();

    Grid grid;
    const DocumentFill::Outcome filled =
        workspace.fillDocument(grid, TableNames::rooms, QStringLiteral("考场"));
    EXPECT_TRUE(filled.status.isOk());
    EXPECT_EQ(filled.titleText, QStringLiteral("考场 [2]"));
}

TEST_F(WorkspaceTest, AFailedJobLeavesTheDataAsItWas)
{
    ASSERT_TRUE(importArrangement(arrangement()).isOk());
    ASSERT_TRUE(importDivision(division()).isOk());
    ASSERT_TRUE(arrange(ArrangementSettings{}).isOk());
    DivisionSettings division;
    division.classes = 2;
    ASSERT_TRUE(divide(division).isOk());
    const QStringList before = snapshot();

    // A workbook without the sheet the import needs.
    const Result<ImportReport> imported =
        importArrangement(fixture(QStringLiteral("nosheet1.xlsx")));
    ASSERT_FALSE(imported.isOk());
    EXPECT_EQ(imported.status().kind(), Status::Kind::InvalidObjectName);
    EXPECT_EQ(snapshot(), before);

    // Cancelled part-way through writing.
    division.classes = 5;
    const Result<DivisionSummary> divided =
        divide(division, [](int done, int) { return done < 10; });
    EXPECT_EQ(divided.status().kind(), Status::Kind::Cancelled);
    ArrangementSettings arrangement;
    arrangement.startNumber = 3100001;
    const Result<ArrangementOutcome> arranged =
        arrange(arrangement, [](int done, int) { return done < 5; });
    EXPECT_EQ(arranged.status().kind(), Status::Kind::Cancelled);
    EXPECT_EQ(snapshot(), before);

    // No transaction is left behind: the next run goes through and is seen by everyone.
    ASSERT_TRUE(arrange(arrangement).isOk());
    EXPECT_EQ(data.rows(QStringLiteral("SELECT min(考号) FROM 考生表")),
              QStringList{QStringLiteral("3100001")});
}

TEST_F(WorkspaceTest, CountsFollowTheRoomTable)
{
    Result<ArrangementCounts> read = counts();
    EXPECT_FALSE(read.isOk()) << "nothing imported yet";
    ASSERT_TRUE(importArrangement(arrangement()).isOk());
    read = counts();
    ASSERT_TRUE(read.isOk()) << read.status().message().toStdString();
    EXPECT_EQ(read->examinees, 20);
    EXPECT_EQ(read->roomCount(), 2);
    EXPECT_FALSE(read->roomsTooSmall());

    data.exec({QStringLiteral("DELETE FROM 考场表 WHERE 考场号 = 2")});
    read = counts();
    ASSERT_TRUE(read.isOk());
    EXPECT_TRUE(read->roomsTooSmall()) << "another connection's change is seen";
    const QStringList before = snapshot();
    const Result<ArrangementOutcome> arranged = arrange(ArrangementSettings{});
    EXPECT_EQ(arranged.status().message(), Arrangement::capacityMessage(1));
    EXPECT_EQ(snapshot(), before);
}

} // namespace
} // namespace fenpai::test
