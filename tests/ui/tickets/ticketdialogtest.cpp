#include "ui/tickets/ticketdialog.h"

#include "grid/grid.h"
#include "jobs/tickets/ticketproduction.h"
#include "jobs/workspace.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"
#include "support/testapp.h"
#include "ui/common/appstate.h"
#include "ui/documents/documentwindow.h"
#include "ui/grid/gridview.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>

using namespace fenpai;
using Layout = TicketSettings::Layout;
using Order = TicketSettings::Order;
using Grouping = TicketSettings::Grouping;

namespace {

class TicketDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApp();
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        std::vector<test::Pupil> pupils;
        for (int i = 1; i <= 5; ++i)
            pupils.push_back({"一中", "1班", QString("甲%1").arg(i), 80, 1, 2100000 + i, i});
        pupils.push_back({"一中", "2班", "乙", 80, 2, 2100011, 1});
        pupils.push_back({"二中", "1班", "丙", 80, 2, 2100012, 2});
        ASSERT_TRUE(test::addPupils(t.db, pupils).isOk());
        open();
    }
    void TearDown() override
    {
        for (const QPointer<DocumentWindow> &doc : std::as_const(docs))
            delete doc.data();
    }
    void open()
    {
        // As the window builds documents: a failure is said and leaves no document.
        dialog = std::make_unique<TicketDialog>(
            workspace, TicketTemplates(t.dir.path(), QString()),
            [this](const std::function<Result<ReportDocument>(Grid &)> &build) -> DocumentWindow * {
                auto *doc = new DocumentWindow(state, workspace);
                const Result<ReportDocument> built = build(doc->grid());
                if (!built) {
                    messages.append(built.status().message());
                    delete doc;
                    return nullptr;
                }
                titles.append(built->title);
                docs.append(doc);
                return doc;
            });
        dialog->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &,
                                          const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
        dialog->setPreviewFunction([this](const Grid &grid) { previewed.append(grid.rows()); });
    }
    // The captions of the visible selection drop-downs.
    QStringList selectors() const
    {
        QStringList out;
        for (int i = 0; i < 4; ++i) {
            if (!dialog->selector(i)->isHidden())
                out.append(dialog->selectorLabel(i)->text());
        }
        return out;
    }
    static QStringList items(const QComboBox *box)
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out.append(box->itemText(i));
        return out;
    }

    test::TempData t;
    Workspace workspace{t.directory};
    AppState state;
    std::unique_ptr<TicketDialog> dialog;
    QList<QPointer<DocumentWindow>> docs;
    QStringList titles;
    QStringList messages;
    QList<int> previewed;
};

} // namespace

TEST_F(TicketDialogTest, OptionsShowTheirDropDownsAndLists)
{
    EXPECT_EQ(selectors(), (QStringList{"学校", "班级"}));
    EXPECT_EQ(items(dialog->selector(0)), (QStringList{"一中", "二中"}));
    dialog->chooseSchool("一中");
    EXPECT_EQ(items(dialog->selector(3)), (QStringList{"1班", "2班"}));

    dialog->setOrder(Order::Stacked);
    dialog->setTicketLayout(Layout::Economy);
    EXPECT_EQ(selectors(), (QStringList{"学校", "班级1", "班级2", "班级3"}));
    dialog->setGrouping(Grouping::ByRoom);
    EXPECT_EQ(selectors(), (QStringList{"考场1", "考场2", "考场3"}));
    EXPECT_EQ(items(dialog->selector(2)), (QStringList{"1", "2"}));
    dialog->setOrder(Order::Sequential);
    EXPECT_EQ(selectors(), (QStringList{"考场"}));

    // The template's field rows offer the fields; a choice changes what its row shows.
    Grid &tmpl = dialog->templateGrid();
    EXPECT_TRUE(tmpl.cellStyle(9, 11).dropDown);
    EXPECT_FALSE(tmpl.cellStyle(10, 11).dropDown);
    QStringList offered;
    emit dialog->templateView()->dropDownRequested(6, 11, &offered);
    EXPECT_EQ(offered.size(), 8);
    EXPECT_EQ(offered.value(6), "班级");
    emit dialog->templateView()->dropDownChosen(7, 11, 6, "班级");
    EXPECT_EQ(dialog->ticketSettings().rowFields[3], "班级");
    EXPECT_EQ(tmpl.cellText(7, 4), "班级");
}

TEST_F(TicketDialogTest, MissingChoicesAreNamedAndTicketsOpenInADocument)
{
    // One of the job's refusals shows it is passed on; the others are tested with the job.
    dialog->chooseSchool("一中");
    EXPECT_FALSE(dialog->produce());
    EXPECT_EQ(messages, QStringList{"请选择全学校、班级"});
    EXPECT_TRUE(titles.isEmpty());

    dialog->selector(1)->setCurrentText("1班");
    ASSERT_TRUE(dialog->produce()) << messages.join(u'\n').toStdString();
    ASSERT_EQ(docs.size(), 1);
    EXPECT_EQ(titles, QStringList{"准考证"});
    EXPECT_EQ(previewed, QList<int>{56});
    EXPECT_EQ(docs[0]->grid().cellText(11 * 4 + 4, 11), "甲5");

    // Desk labels for room 2 by exam number; a room without examinees opens nothing.
    dialog->tabs()->setCurrentIndex(1);
    EXPECT_FALSE(dialog->produce());
    EXPECT_EQ(messages.last(), "请选择考场");
    EXPECT_EQ(docs.size(), 1);
}

TEST_F(TicketDialogTest, TemplateEditsAreSavedAndRestored)
{
    dialog->templateGrid().setCellText(3, 2, "期末考试");
    dialog->saveTemplate();
    open();
    EXPECT_EQ(dialog->templateGrid().cellText(3, 2), "期末考试");
    dialog->restoreTemplate();
    EXPECT_NE(dialog->templateGrid().cellText(3, 2), "期末考试");
    EXPECT_TRUE(dialog->templateGrid().cellStyle(4, 11).dropDown);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

// "二维码" makes the selected cells one block holding the field, which the tickets fill with
// the examinee's code; a template saved with it keeps it.
TEST_F(TicketDialogTest, TheCodeFieldIsPlacedLikeThePhoto)
{
    Grid &tmpl = dialog->templateGrid();
    // The factory template has it above the photo; clear it and place it between the halves,
    // below the capital digits.
    for (const auto &[r, c] : TicketProduction::codeCells(tmpl))
        tmpl.setCellText(r, c, QString());
    ASSERT_TRUE(TicketProduction::codeCells(tmpl).empty());
    dialog->templateView()->selection().select(8, 8, 9, 8);
    dialog->placeCode();
    EXPECT_EQ(tmpl.mergeAt(9, 8), (GridArea{8, 8, 9, 8}));
    using Cells = std::vector<std::pair<int, int>>;
    EXPECT_EQ(TicketProduction::codeCells(tmpl), (Cells{{8, 8}}));
    dialog->saveTemplate();
    open();
    EXPECT_EQ(TicketProduction::codeCells(dialog->templateGrid()), (Cells{{8, 8}}));

    dialog->setGrouping(Grouping::ByRoom);
    dialog->selector(0)->setCurrentText("1");
    ASSERT_TRUE(dialog->produce()) << messages.join(u'\n').toStdString();
    const Grid &tickets = docs.last()->grid();
    EXPECT_TRUE(tickets.isModulePicture(tickets.cellStyle(8, 8).imageKey));
    EXPECT_TRUE(tickets.cellText(8, 8).isEmpty());
}
