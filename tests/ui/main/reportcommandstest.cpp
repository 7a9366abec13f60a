#include "cli/cli.h"
#include "grid/grid.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/division/classdivision.h"
#include "jobs/import/spreadsheetimport.h"
#include "jobs/reports/reportcatalogue.h"
#include "support/clirun.h"
#include "ui/documents/documentwindow.h"
#include "ui/main/dynamicmenu.h"
#include "ui/main/mainwindow.h"
#include "workbook/demodata.h"

#include <QAction>
#include <QDir>
#include <QMdiArea>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

// A small year imported, divided and arranged, in a data directory of its own.
class Catalogue : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DemoOptions o;
        o.pupils = 30;
        o.schools = 3;
        o.classesPerSchool = 2;
        o.pupilsPerClass = 5;
        o.rooms = 2;
        o.roomSize = 12;
        ASSERT_TRUE(DemoData::write(books.path(), o).isOk());
        Database db;
        ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        const QDir b(books.path());
        ASSERT_TRUE(
            SpreadsheetImport::importDivision(db, b.filePath(DemoData::divisionFileName())));
        ASSERT_TRUE(
            SpreadsheetImport::importArrangement(db, b.filePath(DemoData::arrangementFileName())));
        ASSERT_TRUE(SpreadsheetImport::importScores(db, b.filePath(DemoData::scoresFileName())));
        DivisionSettings division;
        division.classes = 3;
        ASSERT_TRUE(ClassDivision::run(db, division));
        ASSERT_TRUE(Arrangement::run(db, ArrangementSettings{}));
    }

    QTemporaryDir books;
    QTemporaryDir dir;
};

// The title `fenpai report` gives, from its line "TITLE → FILE".
QString commandLineTitle(const QString &dataDir, const QString &name, const QString &argument)
{
    const QString out = QDir(dataDir).filePath("report.csv");
    QStringList args = {"--data-dir", dataDir, "report", name};
    if (!argument.isEmpty())
        args.append(argument);
    const test::CliOutcome r = test::runCli(args + QStringList{"-o", out});
    EXPECT_EQ(r.status, 0) << name.toStdString() << ": " << r.err.toStdString();
    return r.out.section(QStringLiteral(" → "), 0, 0);
}

} // namespace

// Every report of the catalogue is reachable from the window's menus and from the command line,
// and both give it the same title.
TEST_F(Catalogue, EveryReportFromTheMenuAndTheCommandLine)
{
    MainWindow::Options options;
    options.dataDirectory = dir.path();
    options.programDir = dir.path();
    options.settingsFile = dir.filePath("settings.ini");
    MainWindow w(options);
    QStringList messages;
    w.setMessageFunction([&](QWidget *, QMessageBox::Icon, const QString &, const QString &text,
                             QMessageBox::StandardButtons) {
        messages.append(text);
        return QMessageBox::Ok;
    });
    w.state().logIn("admin");

    for (const ReportCatalogue::Entry &e : ReportCatalogue::entries()) {
        SCOPED_TRACE(e.name.toStdString());
        QString argument;
        if (DynamicMenu *submenu = w.dynamicMenu(e.menu.name)) {
            ASSERT_GE(submenu->count(), 2) << "the data fills the submenu";
            const QString caption = submenu->captions().value(1);
            argument =
                e.parameter == ReportCatalogue::Parameter::Room ? QStringLiteral("1") : caption;
            ASSERT_TRUE(submenu->item(1)->isEnabled());
            submenu->item(1)->trigger();
        } else {
            QAction *a = w.action(e.menu.name);
            ASSERT_NE(a, nullptr);
            ASSERT_TRUE(a->isEnabled());
            a->trigger();
        }
        ASSERT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
        ASSERT_NE(w.activeDocument(), nullptr);
        EXPECT_EQ(w.activeDocument()->windowTitle(),
                  commandLineTitle(dir.path(), e.name, argument));
    }
    EXPECT_EQ(static_cast<size_t>(w.mdiArea()->subWindowList().size()),
              ReportCatalogue::entries().size());
}

// 分班 → 均衡报告 opens a document whose charts are pictures in its grid (their colours are the
// report's own test).
TEST_F(Catalogue, BalanceReportShowsItsCharts)
{
    MainWindow::Options options;
    options.dataDirectory = dir.path();
    options.programDir = dir.path();
    options.settingsFile = dir.filePath("settings.ini");
    MainWindow w(options);
    w.state().logIn("admin");
    QAction *entry = w.action(QStringLiteral("jhbg"));
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    ASSERT_NE(w.activeDocument(), nullptr);
    const Grid &grid = w.activeDocument()->grid();
    ASSERT_EQ(grid.imageKeys().size(), 4); // means, boxes, sexes, schools
    int pictures = 0;
    for (int r = 0; r < grid.rows(); ++r) {
        if (const QString key = grid.cellStyle(r, 1).imageKey; !key.isEmpty()) {
            ++pictures;
            EXPECT_FALSE(grid.image(key).isNull()) << key.toStdString();
        }
    }
    EXPECT_EQ(pictures, 4);
}
