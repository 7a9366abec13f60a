#pragma once

#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/arrangement/examswap.h"
#include "ui/common/messagesink.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace fenpai {

class Grid;
class GridView;
class Workspace;

// The manual adjustment of an arrangement (caption "考场编排手工调整"): a room picker and its
// examinees on each side; a row click picks the examinee, "对   调" exchanges the two picked
// examinees' rooms, exam numbers and seats and shows both rooms again, after a question that names
// the classmates it would seat next to each other. The picks stay after a swap, so a second swap
// undoes the first.
class ExamSwapDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit ExamSwapDialog(Workspace &workspace, QWidget *parent = nullptr);
    ~ExamSwapDialog() override;

    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }
    // How the rooms' desks are numbered, for the neighbours a swap would make.
    void setSeatOrder(SeatOrder order) { m_seatOrder = order; }

    // Side 0 is the left one, side 1 the right one.
    QComboBox *roomBox(int side) const { return m_sides[side].rooms; }
    GridView *gridView(int side) const { return m_sides[side].view; }
    Grid &grid(int side) const { return *m_sides[side].grid; }
    QLabel *pickLabel(int side) const { return m_sides[side].pick; }
    QPushButton *swapButton() const { return m_swap; }
    ExamSwap::Pick pick(int side) const;

    // As the user does: choose a room, click an examinee's row, press the swap button (its
    // question answered by the message function).
    void chooseRoom(int side, const QString &room);
    void clickRow(int side, int row);
    void swap();

signals:
    // Two examinees exchanged their seats in 考生表.
    void swapped();

private:
    struct Side
    {
        QComboBox *rooms = nullptr;
        Grid *grid = nullptr;
        GridView *view = nullptr;
        QLabel *pick = nullptr;
        QString queryName;
        qint64 examNumber = 0; // 0: nobody picked
    };

    void loadRooms();
    void fill(int side);

    Workspace &m_workspace;
    MessageSink::Function m_message = &MessageSink::show;
    Side m_sides[2];
    QPushButton *m_swap = nullptr;
    SeatOrder m_seatOrder = SeatOrder::ByColumn;
};

} // namespace fenpai
