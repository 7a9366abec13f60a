#include "ui/arrangement/examswapdialog.h"

#include "core/numbertext.h"
#include "grid/grid.h"
#include "jobs/arrangement/examswap.h"
#include "jobs/arrangement/swapneighbours.h"
#include "jobs/workspace.h"
#include "ui/grid/gridview.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace fenpai {

namespace {

const QString rowTip = QStringLiteral("单击考生所在行，选择这个考生");
const int nameCol = 3;
const int numberCol = 5;
const int columnWidths[] = {24, 76, 76, 60, 36, 68, 46, 36};

} // namespace

ExamSwapDialog::ExamSwapDialog(Workspace &workspace, QWidget *parent)
    : QDialog(parent)
    , m_workspace(workspace)
{
    setObjectName(QStringLiteral("kcsgtz"));
    setWindowTitle(QStringLiteral("考场编排手工调整"));
    setModal(false);

    auto *layout = new QGridLayout(this);
    const char *const boxNames[] = {"Combo1", "Combo2"};
    const char *const gridNames[] = {"Grid1", "Grid2"};
    const char *const labelNames[] = {"Label3", "Label4"};
    const QString prompts[] = {QStringLiteral("单击左表格中的行，选择一个考生"),
                               QStringLiteral("单击右表格中的行，选择一个考生")};
    for (int side = 0; side < 2; ++side) {
        Side &s = m_sides[side];
        s.queryName = side == 0 ? QStringLiteral("NewQry4") : QStringLiteral("NewQry5");
        auto *caption = new QLabel(QStringLiteral("选择考场"), this);
        caption->setObjectName(side == 0 ? QStringLiteral("Label1") : QStringLiteral("Label2"));
        s.rooms = new QComboBox(this);
        s.rooms->setObjectName(QLatin1String(boxNames[side]));
        s.rooms->setMinimumContentsLength(6);
        auto *picker = new QHBoxLayout;
        picker->addWidget(caption);
        picker->addWidget(s.rooms);
        picker->addStretch(1);
        s.grid = new Grid(this);
        s.grid->setCols(1); // nothing but the corner until a room is chosen
        s.grid->setRows(1);
        s.view = new GridView(s.grid, this);
        s.view->setObjectName(QLatin1String(gridNames[side]));
        s.view->setToolTip(rowTip);
        s.view->setMinimumSize(460, 420);
        s.pick = new QLabel(prompts[side], this);
        s.pick->setObjectName(QLatin1String(labelNames[side]));
        s.pick->setWordWrap(true);
        layout->addLayout(picker, 0, side);
        layout->addWidget(s.view, 1, side);
        layout->addWidget(s.pick, 2, side);

        connect(s.rooms, &QComboBox::textActivated, this, [this, side] { fill(side); });
        connect(s.view, &GridView::rowClicked, this,
                [this, side](int row) { clickRow(side, row); });
    }
    m_swap = new QPushButton(QStringLiteral("对   调"), this);
    m_swap->setObjectName(QStringLiteral("Command1"));
    m_swap->setToolTip(QStringLiteral("甲考生坐到已考生的座位,已考生坐到甲考生的座位"));
    m_swap->setMinimumWidth(120);
    layout->addWidget(m_swap, 3, 0, 1, 2, Qt::AlignHCenter);
    connect(m_swap, &QPushButton::clicked, this, &ExamSwapDialog::swap);

    loadRooms();
}

ExamSwapDialog::~ExamSwapDialog() = default;

void ExamSwapDialog::loadRooms()
{
    // A table that cannot be read leaves the pickers empty, as a fresh database does.
    const Result<QStringList> rooms =
        m_workspace.use([](Database &db) { return ExamSwap::rooms(db); });
    for (Side &s : m_sides) {
        s.rooms->clear();
        if (rooms)
            s.rooms->addItems(*rooms);
        s.rooms->setCurrentIndex(-1);
    }
}

ExamSwap::Pick ExamSwapDialog::pick(int side) const
{
    const Side &s = m_sides[side];
    return {qint64(NumberText::leadingValue(s.rooms->currentText())), s.examNumber};
}

void ExamSwapDialog::fill(int side)
{
    Side &s = m_sides[side];
    const qint64 room = qint64(NumberText::leadingValue(s.rooms->currentText()));
    // A room that cannot be shown leaves its grid empty; the swap still checks every pick.
    (void)m_workspace.use(
        [&](Database &db) { return ExamSwap::fillRoom(db, *s.grid, s.queryName, room); });
    for (int c = 0; c < s.grid->cols() && c < int(std::size(columnWidths)); ++c)
        s.grid->setColumnWidth(c, columnWidths[c]);
    s.grid->refresh();
}

void ExamSwapDialog::chooseRoom(int side, const QString &room)
{
    m_sides[side].rooms->setCurrentText(room);
    fill(side);
}

void ExamSwapDialog::clickRow(int side, int row)
{
    Side &s = m_sides[side];
    const Side &other = m_sides[1 - side];
    bool ok = false;
    const qint64 number = s.grid->cellText(row, numberCol).toLongLong(&ok);
    // Row 0 holds the headers and the last row is blank; an examinee without an exam number was
    // never seated, so there is no seat to exchange.
    if (row < 1 || !ok || number == 0) {
        s.examNumber = 0;
        s.pick->setText(side == 0 ? QStringLiteral("单击左表格中的行，选择一个考生")
                                  : QStringLiteral("单击右表格中的行，选择一个考生"));
        return;
    }
    s.examNumber = number;
    s.view->selection().select(row, 1, row, s.grid->cols() - 1);
    s.pick->setText(QStringLiteral("当前：  将 ") + s.rooms->currentText() +
                    QStringLiteral(" 考场考生 ") + s.grid->cellText(row, nameCol) +
                    QStringLiteral(" 调整到 ") + other.rooms->currentText() +
                    QStringLiteral("考场"));
}

void ExamSwapDialog::swap()
{
    if (m_sides[0].examNumber == 0 || m_sides[1].examNumber == 0) {
        m_message(this, QMessageBox::NoIcon, QString(), ExamSwap::noPickMessage(), QMessageBox::Ok);
        return;
    }
    // Classmates the swap would seat together are named in the question; a check that cannot
    // read the desks asks the plain question.
    const Result<QStringList> together = m_workspace.use(
        [&](Database &db) { return SwapNeighbours::created(db, pick(0), pick(1), m_seatOrder); });
    const QString question = together && !together->isEmpty() ? SwapNeighbours::question(*together)
                                                              : QStringLiteral("要进行对调吗？");
    if (m_message(this, QMessageBox::Question, QString(), question,
                  QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (const Status s =
            m_workspace.use([&](Database &db) { return ExamSwap::swap(db, pick(0), pick(1)); });
        !s.isOk()) {
        m_message(this, QMessageBox::Warning, QString(), s.message(), QMessageBox::Ok);
        return;
    }
    fill(0);
    fill(1);
    emit swapped();
}

} // namespace fenpai
