#include "jobs/tickets/ticketproduction.h"
#include "jobs/tickets/desklabels.h"
#include "jobs/tickets/tickettemplates.h"

#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

using namespace fenpai;
using Layout = TicketSettings::Layout;

namespace {

class TicketProductionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        TicketTemplates::build(standard, Layout::Standard);
        TicketTemplates::build(economy, Layout::Economy);
    }
    // `count` pupils of one class, exam numbers from `first`, in room `room`.
    void addClass(const QString &className, int count, int first, int room = 1)
    {
        std::vector<test::Pupil> pupils;
        for (int i = 0; i < count; ++i)
            pupils.push_back({"一中", className, className + QString::number(i + 1), 80, room,
                              first + i, i + 1});
        ASSERT_TRUE(test::addPupils(t.db, pupils).isOk());
    }
    Result<TicketProduction::Outcome> build(const TicketSettings &settings, const Grid &tmpl)
    {
        return TicketProduction::build(t.db, tmpl, settings, doc);
    }
    // The name in the left and right half of block b, "|" between.
    QString names(int b) const
    {
        const int row = 11 * (b - 1) + 4;
        return doc.cellText(row, 4) + u'|' + doc.cellText(row, 11);
    }
    QString digits(int b) const
    {
        QString out;
        for (int k = 4; k <= 7; ++k)
            out += doc.cellText(11 * (b - 1) + k, 8);
        return out;
    }

    test::TempData t;
    Grid standard;
    Grid economy;
    Grid doc;
};

} // namespace

TEST_F(TicketProductionTest, TemplatesFillTheirPageAndMatchTheShippedFiles)
{
    for (Layout layout : {Layout::Standard, Layout::Economy}) {
        const Grid &tmpl = layout == Layout::Standard ? standard : economy;
        int height = 0;
        for (int r = 1; r <= 11; ++r)
            height += tmpl.rowHeight(r);
        int width = 0;
        for (int c = 1; c <= 15; ++c)
            width += tmpl.columnWidth(c);
        const double page = GridPagination::cmToPixels(21 - 0.8 - 0.5);
        const int perPage = layout == Layout::Standard ? 2 : 3;
        EXPECT_LE(height * perPage, page);
        EXPECT_GT(height * (perPage + 0.5), page) << "blocks leave the page half empty";
        EXPECT_LE(width, GridPagination::cmToPixels(29.7 - 2));

        // The shipped files are the generator's; FENPAI_WRITE_TEMPLATES=1 writes them anew.
        const QString dir = QStringLiteral(FENPAI_SOURCE_DIR "/resources/zkzmb/");
        for (const QString &name :
             {TicketTemplates::workingName(layout), TicketTemplates::factoryName(layout)}) {
            if (qEnvironmentVariableIsSet("FENPAI_WRITE_TEMPLATES")) {
                ASSERT_TRUE(tmpl.saveFile(dir + name).isOk());
            }
            Grid shipped;
            ASSERT_TRUE(shipped.openFile(dir + name).isOk()) << name.toStdString();
            EXPECT_EQ(shipped.toJson(), tmpl.toJson()) << name.toStdString() << " is out of date";
        }
    }
}

TEST_F(TicketProductionTest, WorkingTemplateIsRestoredFromItsFactoryCopy)
{
    const QString programDir = t.dir.filePath("program");
    const QString dataDir = t.dir.filePath("data");
    ASSERT_TRUE(QDir().mkpath(programDir + "/zkzmb"));
    Grid factory;
    factory.setCellText(1, 1, "出厂");
    ASSERT_TRUE(factory.saveFile(programDir + "/zkzmb/copzkz3.cel").isOk());

    TicketTemplates templates(dataDir, programDir);
    Grid loaded;
    ASSERT_TRUE(templates.load(loaded, Layout::Economy).isOk());
    EXPECT_EQ(loaded.cellText(1, 1), "出厂");
    EXPECT_EQ(templates.workingPath(Layout::Economy), dataDir + "/zkzmb/zkz3.cel");

    // The user's edits stay until restored; without any factory copy the built one serves.
    loaded.setCellText(1, 1, "改过");
    ASSERT_TRUE(loaded.saveFile(templates.workingPath(Layout::Economy)).isOk());
    ASSERT_TRUE(templates.load(loaded, Layout::Economy).isOk());
    EXPECT_EQ(loaded.cellText(1, 1), "改过");
    ASSERT_TRUE(templates.restore(loaded, Layout::Economy).isOk());
    EXPECT_EQ(loaded.cellText(1, 1), "出厂");
    ASSERT_TRUE(templates.restore(loaded, Layout::Standard).isOk());
    EXPECT_EQ(loaded.toJson(), standard.toJson());
}

TEST_F(TicketProductionTest, InstalledFactoryCopiesAreFoundBelowTheSharedFolder)
{
    // PREFIX/bin/fenpai with its files in PREFIX/share/fenpai, as a package installs them.
    const QString prefix = t.dir.filePath("usr");
    ASSERT_TRUE(QDir().mkpath(prefix + "/bin"));
    ASSERT_TRUE(QDir().mkpath(prefix + "/share/fenpai/help"));
    ASSERT_TRUE(QDir().mkpath(prefix + "/share/fenpai/zkzmb"));
    Grid factory;
    factory.setCellText(1, 1, "安装的");
    ASSERT_TRUE(factory.saveFile(prefix + "/share/fenpai/zkzmb/copzkz2.cel").isOk());

    TicketTemplates templates(t.dir.filePath("home"), prefix + "/bin");
    Grid loaded;
    ASSERT_TRUE(templates.load(loaded, Layout::Standard).isOk());
    EXPECT_EQ(loaded.cellText(1, 1), "安装的");
}

TEST_F(TicketProductionTest, SequentialClassBlocksBreaksAndCuttingLines)
{
    addClass("1班", 5, 2100513);
    addClass("2班", 2, 2100601);
    TicketSettings s;
    s.school = "一中";
    s.groups = {"1班"};
    s.rowFields[3] = "班级"; // row 7 shows the class instead of the room
    const Result<TicketProduction::Outcome> blocks = build(s, standard);
    ASSERT_TRUE(blocks.isOk()) << blocks.status().message().toStdString();
    EXPECT_EQ(blocks->tickets, 5);
    for (int b = 1; b <= 5; ++b)
        EXPECT_EQ(names(b), QString("1班%1|1班%1").arg(b));
    EXPECT_EQ(doc.cellText(5, 4), "2100513");
    EXPECT_EQ(doc.cellText(11 + 7, 11), "1班");
    EXPECT_EQ(digits(5), "零伍壹柒");

    EXPECT_EQ(doc.hPageBreaks(), (QList<int>{23, 45}));
    const QString line(172, u'-');
    for (int row : {11, 33, 55})
        EXPECT_EQ(doc.cellText(row, 1), line) << row;
    EXPECT_EQ(doc.rows(), 56);
    EXPECT_EQ(GridPagination::paginate(doc).pages.size(), 3);

    // An even count ends without a break and so without an empty last page.
    s.groups = {"2班"};
    ASSERT_TRUE(build(s, standard).isOk());
    EXPECT_TRUE(doc.hPageBreaks().isEmpty());
    EXPECT_EQ(GridPagination::paginate(doc).pages.size(), 1);
}

TEST_F(TicketProductionTest, StackedEconomyFillsExhaustedGroupsWithEmptyTickets)
{
    addClass("1班", 3, 2100001);
    addClass("2班", 1, 2100011);
    addClass("3班", 2, 2100021);
    TicketSettings s;
    s.layout = Layout::Economy;
    s.order = TicketSettings::Order::Stacked;
    s.school = "一中";
    s.groups = {"1班", "2班", "3班"};
    const Result<TicketProduction::Outcome> blocks = build(s, economy);
    ASSERT_TRUE(blocks.isOk()) << blocks.status().message().toStdString();
    EXPECT_EQ(blocks->tickets, 9);
    EXPECT_EQ(names(2), "2班1|2班1");
    EXPECT_EQ(names(4), "1班2|1班2");
    EXPECT_EQ(names(5), "|");
    EXPECT_EQ(digits(5), "零零零零");
    EXPECT_EQ(names(6), "3班2|3班2");
    EXPECT_EQ(names(9), "|");
    EXPECT_EQ(doc.hPageBreaks(), (QList<int>{34, 67}));
    EXPECT_EQ(GridPagination::paginate(doc).pages.size(), 3);

    // By room: rooms 1 and 2 stacked on the standard layout.
    addClass("4班", 1, 2200001, 2);
    s = {};
    s.grouping = TicketSettings::Grouping::ByRoom;
    s.order = TicketSettings::Order::Stacked;
    s.groups = {"1", "2"};
    ASSERT_TRUE(build(s, standard).isOk());
    EXPECT_EQ(names(2), "4班1|4班1");
    EXPECT_EQ(names(3), "1班2|1班2");
}

TEST_F(TicketProductionTest, LongValuesTakeSmallerTypeOnOneLineAndThePageFitsItsTickets)
{
    // 18 characters of an exam number and a 14-character school are wider than their cells at
    // the template's sizes.
    const QString number = "KS2026000000000001";
    const QString school = "湖滨市第一实验初级中学南校区";
    ASSERT_TRUE(test::addPupils(t.db, {{school, "1班", "黄博欣", 80, 1, number, 1}}).isOk());
    TicketSettings s;
    s.school = school;
    s.groups = {"1班"};
    ASSERT_TRUE(build(s, standard).isOk());
    EXPECT_EQ(doc.cellText(5, 4), number);
    for (int col : {4, 11}) {
        EXPECT_LT(doc.cellFont(5, col).size, standard.cellFont(5, 4).size) << col;
        EXPECT_FALSE(doc.cellStyle(5, col).wrapText) << "smaller type comes before wrapping";
    }
    EXPECT_EQ(doc.cellFont(4, 4).size, standard.cellFont(4, 4).size) << "a short name stays";

    // The page holds its three tickets inside printable margins, whatever the template's size.
    const PageSetup &page = doc.pageSetup();
    for (double margin : {page.topMargin, page.bottomMargin, page.leftMargin, page.rightMargin,
                          page.headerMargin, page.footerMargin})
        EXPECT_GE(margin, 0.5);
    economy.setRowHeight(5, economy.rowHeight(5) + 60);
    s.layout = Layout::Economy;
    ASSERT_TRUE(build(s, economy).isOk());
    EXPECT_LT(doc.pageSetup().zoom, 100) << "a taller template is printed smaller, not split";
}

TEST_F(TicketProductionTest, ChoicesAreCheckedBeforeAnythingIsRead)
{
    using G = TicketSettings::Grouping;
    using O = TicketSettings::Order;
    const QString classes = "请选择全学校、班级";
    const QString rooms = "请选择全考场";
    struct Case
    {
        G grouping;
        O order;
        Layout layout;
        QString school;
        QStringList groups;
        QString message;
    } cases[] = {
        {G::ByClass, O::Sequential, Layout::Standard, "", {"1班"}, classes},
        {G::ByClass, O::Stacked, Layout::Standard, "一中", {"1班", ""}, classes},
        {G::ByClass, O::Stacked, Layout::Economy, "一中", {"1班", "2班"}, classes},
        {G::ByClass, O::Stacked, Layout::Economy, "一中", {"1班", "2班", "3班"}, ""},
        {G::ByRoom, O::Stacked, Layout::Economy, "", {"1", "2"}, rooms},
        {G::ByRoom, O::Stacked, Layout::Standard, "", {"1", "2"}, ""},
    };
    for (const Case &c : cases) {
        TicketSettings s;
        s.grouping = c.grouping;
        s.order = c.order;
        s.layout = c.layout;
        s.school = c.school;
        s.groups = c.groups;
        EXPECT_EQ(TicketProduction::validate(s).message(), c.message)
            << c.groups.join(u',').toStdString();
    }
    TicketSettings s;
    s.school = "一中";
    s.groups = {"1班"};
    s.usePhotos = true;
    s.photoNameField = "考号";
    EXPECT_EQ(TicketProduction::validate(s).message(),
              "请选择存放照片的目录及与照片文件名相对应的列");
    const Result<TicketProduction::Outcome> refused = build(s, standard);
    EXPECT_FALSE(refused.isOk());
    EXPECT_EQ(doc.rows(), Grid().rows());
    s.usePhotos = false;
    EXPECT_EQ(build(s, standard).status().message(), "所选班级或考场没有考生");
}

TEST_F(TicketProductionTest, PhotosComeFromTheFolderByTheChosenColumn)
{
    EXPECT_EQ(TicketProduction::photoPath("/p/照片", " 张三 "), "/p/照片/张三.jpg");
    EXPECT_EQ(TicketProduction::photoPath("C:\\照片\\", "张三"), "C:\\照片\\张三.jpg");
    EXPECT_EQ(TicketProduction::photoPath("/p", "../etc/x"), "");
    EXPECT_EQ(TicketProduction::photoPath("/p", "  "), "");
    EXPECT_EQ(TicketProduction::capitalDigits("17"), (QStringList{"零", "零", "壹", "柒"}));

    addClass("1班", 2, 2100001);
    const QString folder = t.dir.filePath("photos");
    ASSERT_TRUE(QDir().mkpath(folder));
    QImage photo(30, 40, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    ASSERT_TRUE(photo.save(folder + "/2100001.jpg"));
    TicketSettings s;
    s.school = "一中";
    s.groups = {"1班"};
    s.usePhotos = true;
    s.photoFolder = folder + "/";
    s.photoNameField = "考号";
    const Result<TicketProduction::Outcome> made = build(s, standard);
    ASSERT_TRUE(made.isOk());
    EXPECT_EQ(doc.cellStyle(3, 6).imageKey, "2100001");
    EXPECT_EQ(doc.cellStyle(3, 13).imageKey, "2100001");
    EXPECT_FALSE(doc.image("2100001").isNull());
    EXPECT_EQ(doc.cellText(3, 6), ""); // the caption gives way to the picture
    // No photo for 2100002: its frame keeps the caption, and the examinee is listed.
    EXPECT_EQ(doc.cellStyle(14, 6).imageKey, "");
    EXPECT_EQ(doc.cellText(14, 13), "照片");
    EXPECT_EQ(doc.mergeAt(14, 13), (GridArea{14, 13, 19, 13}));
    EXPECT_EQ(made->withoutPhoto, QStringList{"2100002 1班2"});

    // 照片 is offered, and read, only when 考生表 has such a column.
    EXPECT_EQ(TicketProduction::photoNameChoices(t.db), (QStringList{"姓名", "考号"}));
    s.photoNameField = "照片";
    EXPECT_FALSE(build(s, standard).isOk());
    ASSERT_TRUE(t.db.execNative("ALTER TABLE 考生表 ADD COLUMN 照片 TEXT;"
                                "UPDATE 考生表 SET 照片='2100001' WHERE 姓名='1班2'")
                    .isOk());
    EXPECT_EQ(TicketProduction::photoNameChoices(t.db).last(), "照片");
    ASSERT_TRUE(build(s, standard).isOk());
    EXPECT_EQ(doc.cellStyle(3, 6).imageKey, "");
    EXPECT_EQ(doc.cellStyle(14, 6).imageKey, "2100001");

    // A folder that is not there is named rather than printing every ticket without its photo.
    s.photoFolder = t.dir.filePath("no such folder");
    const auto refused = build(s, standard);
    ASSERT_FALSE(refused.isOk());
    EXPECT_EQ(refused.status().message(), "找不到存放照片的目录：" + s.photoFolder);
}

TEST_F(TicketProductionTest, DeskLabelsBySeatAndByExamNumber)
{
    addClass("1班", 28, 2100001);
    addClass("2班", 3, 21000001, 2);
    Grid labels;
    DeskLabelSettings s;
    s.room = "1";
    ASSERT_TRUE(DeskLabels::build(t.db, s, labels).isOk());
    EXPECT_EQ(labels.rows(), 7);
    EXPECT_EQ(labels.cols(), 6);
    EXPECT_EQ(labels.cellText(2, 5), "10");
    EXPECT_EQ(labels.cellText(6, 3), "28");
    EXPECT_EQ(labels.cellText(6, 4), "");

    s.kind = DeskLabelSettings::Kind::ExamNumber;
    ASSERT_TRUE(DeskLabels::build(t.db, s, labels).isOk());
    EXPECT_EQ(labels.cols(), 3);
    EXPECT_EQ(labels.rows(), 15);
    EXPECT_EQ(labels.cellText(14, 2), "2100028");
    // Two labels a row share the printable width: narrower than 390 each, the type following.
    const double printable = GridPagination::contentRect(labels.pageSetup()).width();
    EXPECT_LE(labels.columnWidth(1) + labels.columnWidth(2), printable);
    EXPECT_GE(labels.pageSetup().leftMargin, 0.5);
    EXPECT_GE(labels.pageSetup().headerMargin, 0.5);

    s.room = "9";
    EXPECT_EQ(DeskLabels::build(t.db, s, labels).message(), "所选考场没有考生");
    EXPECT_EQ(labels.rows(), 15); // a refused build leaves the document as it was

    // An 18-digit number keeps one line in smaller type.
    ASSERT_TRUE(
        test::addPupils(t.db, {{"一中", "3班", "马", 80, 3, "KS2026000000000001", 1}}).isOk());
    s.room = "3";
    ASSERT_TRUE(DeskLabels::build(t.db, s, labels).isOk());
    EXPECT_EQ(labels.cellText(1, 1), "KS2026000000000001");
    EXPECT_LT(labels.cellFont(1, 1).size, 72);
    EXPECT_FALSE(labels.cellStyle(1, 1).wrapText);
}

// The class drop-downs list a school's classes as people count them, as the menus do.
TEST_F(TicketProductionTest, ClassesComeInNaturalOrder)
{
    for (const char *name : {"初三(10)班", "初三(2)班", "初三(1)班", "初二(11)班"})
        addClass(QString::fromUtf8(name), 1, 2100001);
    EXPECT_EQ(TicketProduction::classes(t.db, "一中"),
              (QStringList{"初三(1)班", "初三(2)班", "初三(10)班", "初二(11)班"}));
    EXPECT_TRUE(TicketProduction::classes(t.db, "二中").isEmpty());
}
