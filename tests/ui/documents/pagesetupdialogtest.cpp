#include "ui/documents/pagesetupdialog.h"
#include "grid/grid.h"
#include "grid/pagesetupfile.h"
#include "support/testapp.h"
#include "ui/documents/pagepicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::ensureApp;

namespace {

template <typename T> T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

PageSetup customSetup()
{
    PageSetup s;
    s.orientation = PageSetup::Orientation::Landscape;
    s.paperKind = PageSetup::customPaperKind();
    s.paperWidth = 18.3;
    s.paperHeight = 25.05;
    s.zoom = 90;
    s.leftMargin = 1.25; // shown as 1.3, as the boxes keep one decimal
    s.header = "共&n页  第&p页";
    s.headerAlignment = PageSetup::TextAlign::Right;
    s.headerFont.name = "黑体";
    s.headerFont.size = 12;
    s.headerFont.bold = true;
    s.footerAlignment = PageSetup::TextAlign::Left;
    s.printTitleRows = 2;
    s.printFixedColumn = true;
    s.blackAndWhite = true;
    s.centerVertically = true;
    return s;
}

} // namespace

TEST(PageSetupDialog, ShowsAndAppliesTheGridsPageSetup)
{
    ensureApp();
    Grid grid;
    const PageSetup original = customSetup();
    grid.setPageSetup(original);
    PageSetupDialog dialog;
    dialog.setGrid(&grid);
    EXPECT_TRUE(child<QRadioButton>(dialog, "optLandscape")->isChecked());
    EXPECT_EQ(child<QLineEdit>(dialog, "txtPaperWidth")->text(), "18.3");
    EXPECT_EQ(child<QLineEdit>(dialog, "txtLeftMargin")->text(), "1.3");
    EXPECT_EQ(child<QLineEdit>(dialog, "txtTopMargin")->text(), "2.5");
    EXPECT_TRUE(child<QLineEdit>(dialog, "txtHeader")->font().bold());

    // OK without changes writes the same settings back, margins as the boxes show them.
    dialog.accept();
    PageSetup expected = original;
    expected.leftMargin = 1.3;
    EXPECT_EQ(grid.pageSetup(), expected);

    // Zoom and counts become whole numbers (halves to even); "取消" changes nothing.
    dialog.setGrid(&grid);
    child<QLineEdit>(dialog, "txtZoom")->setText("87.5");
    child<QLineEdit>(dialog, "txtPrintTitleRows")->setText("2.5行");
    child<QLineEdit>(dialog, "txtPrintBottomTitleRows")->setText("abc");
    child<QCheckBox>(dialog, "chkPrintGridlines")->setChecked(false);
    dialog.reject();
    EXPECT_EQ(grid.pageSetup(), expected);
    dialog.accept();
    EXPECT_EQ(grid.pageSetup().zoom, 88);
    EXPECT_EQ(grid.pageSetup().printTitleRows, 2);
    EXPECT_EQ(grid.pageSetup().printBottomTitleRows, 0);
    EXPECT_FALSE(grid.pageSetup().printGridlines);
    EXPECT_EQ(grid.pageSetup().paperWidth, 18.3) << "the custom size is kept";

    // A standard paper keeps the custom size for later but hides its boxes.
    dialog.setGrid(&grid);
    auto *width = child<QLineEdit>(dialog, "txtPaperWidth");
    EXPECT_TRUE(width->isVisibleTo(&dialog));
    child<QComboBox>(dialog, "cboPaperSize")->setCurrentIndex(1);
    EXPECT_FALSE(width->isVisibleTo(&dialog));
    dialog.accept();
    EXPECT_EQ(grid.pageSetup().paperKind, 1);
    EXPECT_DOUBLE_EQ(grid.pageSetup().pageWidthCm(), 29.7);
    EXPECT_EQ(grid.pageSetup().paperHeight, 25.05);

    // Saved for the command line, it reads back as the dialog shows it.
    QTemporaryDir dir;
    const QString path = dir.filePath("page.json");
    dialog.setFileChooser([&] { return path; });
    QTest::mouseClick(child<QWidget>(dialog, "cmdSaveSettings"), Qt::LeftButton);
    const Result<PageSetup> read = PageSetupFile::load(path);
    ASSERT_TRUE(read.isOk()) << read.status().message().toStdString();
    EXPECT_EQ(*read, dialog.pageSetup());
    QFile broken(dir.filePath("broken.json"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(R"({"format":"fenpai-page-setup","version":1,"pageSetup":{"zoom":"big"}})");
    broken.close();
    EXPECT_FALSE(PageSetupFile::load(broken.fileName()).isOk());
}

TEST(PageSetupDialog, InputRulesAndThePagePicture)
{
    ensureApp();
    PageSetupDialog dialog;
    PageSetup s;
    s.paperKind = PageSetup::customPaperKind();
    dialog.setPageSetup(s);
    dialog.show();
    auto *width = child<QLineEdit>(dialog, "txtPaperWidth");
    width->clear();
    QTest::keyClicks(width, "1.2.5");
    EXPECT_EQ(width->text(), "1.25") << "the second point is refused";
    QTest::keyClicks(width, "x-");
    EXPECT_EQ(width->text(), "1.25");

    auto *picture = dialog.findChild<PagePicture *>();
    ASSERT_NE(picture, nullptr);
    child<QComboBox>(dialog, "cboPaperSize")->setCurrentIndex(0);
    dialog.findChild<QTabWidget *>()->setCurrentIndex(1);
    QApplication::processEvents();
    const QRectF left = picture->tableRect();
    child<QCheckBox>(dialog, "chkCenterHorizontally")->setChecked(true);
    const QRectF centred = picture->tableRect();
    EXPECT_GT(centred.left(), left.left());
    EXPECT_DOUBLE_EQ(centred.top(), left.top());
    child<QCheckBox>(dialog, "chkCenterHorizontally")->setChecked(false);
    EXPECT_EQ(picture->tableRect(), left);

    // The margin line of the box with the focus is drawn black.
    auto *bottom = child<QLineEdit>(dialog, "txtBottomMargin");
    QApplication::setActiveWindow(&dialog);
    bottom->setFocus();
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(bottom, &in);
    EXPECT_EQ(picture->highlighted(), PagePicture::Bottom);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(bottom, &out);
    EXPECT_EQ(picture->highlighted(), PagePicture::None);
}
