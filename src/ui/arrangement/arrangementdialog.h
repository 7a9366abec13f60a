#pragma once

#include "jobs/arrangement/arrangementcounts.h"
#include "jobs/arrangement/arrangementsettings.h"

#include "core/result.h"
#include "ui/common/messagesink.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSettings;

namespace fenpai {

class Workspace;

// The exam room arrangement dialog (caption "考场编排"): shows the examinee, room, school and class
// counts, warns when the rooms cannot hold every examinee, takes the mode and the exam-number
// scheme, and on "确 定" runs the arrangement. It deletes itself when closed, so each opening
// starts from the defaults and fresh counts.
class ArrangementDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit ArrangementDialog(Workspace &workspace, QWidget *parent = nullptr);

    // The settings as the controls hold them now, or the refusal of a number typed wrong.
    [[nodiscard]] Result<ArrangementSettings> settings() const;

    // Messages go through `function` (a message box by default); tests read them instead.
    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    // "同班考生不相邻", "座位顺序" and "试卷版本" start as last chosen and are stored whenever they
    // change.
    void rememberIn(QSettings *settings);
    // The seat order last chosen, as the seat charts and the mixing check lay out the desks.
    static SeatOrder rememberedSeatOrder(const QSettings &settings);

    // Runs the arrangement with the current settings, as "确 定" does. True when it succeeded
    // (the dialog has then emitted arrangementFinished(), closed and announced "编排完成!", with
    // separationHint() when classmates sit side by side and nothing was done about it).
    bool runArrangement();
    static QString separationHint();

signals:
    // After a run: the neighbouring classmates left, for the status bar.
    void summaryReady(const QString &text);
    // 考场, 座位号 and 考号 of 考生表 were rewritten: the room, class and school menus are stale.
    void arrangementFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The three mode options, each beside its frame.
    QGridLayout *buildModes();
    // Mode 1: groups per room, their kind and the score order.
    void buildGroupMixMode();
    void buildScoreMixMode();
    void buildScoreOnlyMode();
    // Separating classmates, the seat order and the paper versions.
    QHBoxLayout *buildSeatingRow();
    QGroupBox *buildNumberingGroup();
    // The examinee, room, school and class counts, as readCounts() found them.
    QHBoxLayout *buildCountsRow();
    QHBoxLayout *buildButtonRow();

    // After a refusal: the box to put right, its text selected.
    void focusBox(QLineEdit *box);
    // The run was refused for mode 1's number of groups per room, as the counts shown say.
    bool groupCountAtFault(const ArrangementSettings &chosen) const;
    void readCounts();
    void warnOnOpening();
    void modeChosen();
    void numberingChosen();

    Workspace &m_workspace;
    MessageSink::Function m_message = &MessageSink::show;
    // One message with an OK button under the application's title.
    void say(QWidget *parent, const QString &text);
    ArrangementCounts m_counts;
    QString m_countsError;
    bool m_warned = false;

    QRadioButton *m_groupMixOption = nullptr;
    QRadioButton *m_scoreMixOption = nullptr;
    QRadioButton *m_scoreOnlyOption = nullptr;
    QGroupBox *m_groupMixFrame = nullptr;
    QGroupBox *m_scoreMixFrame = nullptr;
    QGroupBox *m_scoreOnlyFrame = nullptr;
    QLabel *m_perRoomLabel = nullptr;
    QLabel *m_differentLabel = nullptr;
    QLabel *m_mixLabel = nullptr;
    QLabel *m_scoreMixLabel = nullptr;
    QLabel *m_scoreOnlyLabel = nullptr;
    QLineEdit *m_groupsPerRoomEdit = nullptr;
    QComboBox *m_groupKindCombo = nullptr;
    QCheckBox *m_adjacentCheck = nullptr;
    QRadioButton *m_similarScoresOption = nullptr;
    QRadioButton *m_randomOrderOption = nullptr;
    QRadioButton *m_spreadScoresOption = nullptr;
    QRadioButton *m_consecutiveOption = nullptr;
    QRadioButton *m_roomSeatOption = nullptr;
    QLabel *m_startNumberLabel = nullptr;
    QLabel *m_prefixLabel = nullptr;
    QLabel *m_roomSeatLabel = nullptr;
    QLineEdit *m_startNumberEdit = nullptr;
    QLineEdit *m_prefixEdit = nullptr;
    QCheckBox *m_separateCheck = nullptr;
    QComboBox *m_seatOrderCombo = nullptr;
    QComboBox *m_versionsCombo = nullptr;
};

} // namespace fenpai
