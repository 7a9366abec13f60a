#pragma once

#include "ui/common/messagesink.h"

#include <QDialog>
#include <QHash>

#include <vector>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QPushButton;

namespace fenpai {

class Grid;
class GridView;
class Workspace;

// The manual class adjustment (caption "手工调整"): the new classes' statistics on top, a class
// picker and its pupils on each side, and a button per direction that moves the picked pupil into
// the other side's class after a question. Every move is written at once; the statistics, with
// the class that departs most from the others marked, and both lists are shown again.
class ClassAdjustDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit ClassAdjustDialog(Workspace &workspace, QWidget *parent = nullptr);
    ~ClassAdjustDialog() override;

    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    // Side 0 is the left one, side 1 the right one.
    QComboBox *classBox(int side) const { return m_sides[side].classes; }
    Grid &grid(int side) const { return *m_sides[side].grid; }
    Grid &statistics() const { return *m_stats; }
    QLabel *currentLabel() const { return m_current; }
    QPushButton *moveButton(int side) const { return m_sides[side].move; }
    // The statistics row of the class that departs most, or -1.
    int markedRow() const { return m_marked; }

    // As the user does: choose a class, click a pupil's row, press a side's move button (its
    // question answered by the message function).
    void chooseClass(int side, const QString &number);
    void clickRow(int side, int row);
    void move(int side);

signals:
    // A pupil changed class in 分班数据表.
    void moved();

private:
    struct Side
    {
        QComboBox *classes = nullptr;
        Grid *grid = nullptr;
        GridView *view = nullptr;
        QPushButton *move = nullptr;
        QString queryName;
        std::vector<qint64> rowids; // of list rows 1..
    };

    QGroupBox *buildStatisticsFrame();
    // Both sides and the move and close buttons between them.
    QGroupBox *buildAdjustFrame();
    // A side's class picker and pupil list in its column of `grid`.
    void buildSide(int side, QWidget *frame, QGridLayout *grid);
    void loadStatistics();
    void fitStatistics();
    void markDeparture(const QHash<QString, QString> &means);
    void fill(int side);
    // The pupil on the row of a side's list is the one to move; "当前：" says so.
    void pick(int side, int row);
    void forgetPick();
    void selectionMoved(int side);

    static constexpr int maxStatisticsHeight = 340;

    Workspace &m_workspace;
    MessageSink::Function m_message = &MessageSink::show;
    Grid *m_stats = nullptr;
    GridView *m_statsView = nullptr;
    Side m_sides[2];
    QLabel *m_current = nullptr;
    int m_row = 0;         // the picked row, shared by both lists; 0: none
    int m_pickedSide = -1; // the list it is in; -1: none
    bool m_filling = false;
    int m_marked = -1;
};

} // namespace fenpai
