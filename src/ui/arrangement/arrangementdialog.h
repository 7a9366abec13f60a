#pragma once

#include "db/datadirectory.h"
#include "jobs/arrangement/arrangementcounts.h"
#include "jobs/arrangement/arrangementsettings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace fenpai {

// The exam room arrangement dialog (object name "kcbpfrm", caption "考场编排"): shows the
// examinee, room, school and class counts, warns when the rooms cannot hold every examinee, takes
// the mode and the exam-number scheme, and on "确 定" runs the arrangement. It deletes itself when
// closed, so each opening starts from the defaults and fresh counts.
class ArrangementDialog final : public QDialog
{
    Q_OBJECT

public:
    // Shows one message with an OK button under the application's title. Tests replace it.
    using MessageFunction = std::function<void(QWidget *parent, const QString &text)>;

    explicit ArrangementDialog(const DataDirectory &dataDirectory, QWidget *parent = nullptr);

    // The settings as the controls hold them now, numbers as typed.
    ArrangementSettings settings() const;
    // The counts read when the dialog opened.
    const ArrangementCounts &counts() const { return m_counts; }

    void setMessageFunction(MessageFunction function) { m_message = std::move(function); }

    // Runs the arrangement with the current settings, as "确 定" does. True when it succeeded
    // (the dialog has then emitted arrangementFinished(), closed and announced "编排完成!").
    bool runArrangement();

signals:
    // 考场, 座位号 and 考号 of 考生表 were rewritten: the room, class and school menus are stale.
    void arrangementFinished();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void readCounts();
    void warnOnOpening();
    void modeChosen();
    void numberingChosen();

    DataDirectory m_dataDirectory;
    MessageFunction m_message;
    ArrangementCounts m_counts;
    QString m_countsError;
    bool m_warned = false;

    QRadioButton *m_opt1 = nullptr;
    QRadioButton *m_opt2 = nullptr;
    QRadioButton *m_option1 = nullptr;
    QGroupBox *m_frame1 = nullptr;
    QGroupBox *m_frame2 = nullptr;
    QGroupBox *m_frame4 = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    QLabel *m_label3 = nullptr;
    QLabel *m_label4 = nullptr;
    QLabel *m_label5 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QComboBox *m_combo1 = nullptr;
    QCheckBox *m_check1 = nullptr;
    QRadioButton *m_opt11 = nullptr;
    QRadioButton *m_opt12 = nullptr;
    QRadioButton *m_opt13 = nullptr;
    QRadioButton *m_opt21 = nullptr;
    QRadioButton *m_opt22 = nullptr;
    QLabel *m_labkh1 = nullptr;
    QLabel *m_labkh2 = nullptr;
    QLabel *m_labkh3 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QLineEdit *m_text3 = nullptr;
};

} // namespace fenpai
