#pragma once

#include "jobs/division/divisionsettings.h"

#include "core/result.h"
#include "ui/common/messagesink.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSettings;

namespace fenpai {

class Workspace;

// The division settings dialog (caption "分班"): shows the pupil total, takes the mode, the class
// counts, the two balancing options and the refinement, keeps the average class size current while
// the user types, and on "确 定" runs the division. It deletes itself when closed, so each opening
// starts from the defaults and a fresh total.
class DivisionDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit DivisionDialog(Workspace &workspace, QWidget *parent = nullptr);

    // The settings as the controls hold them now, or the refusal of a count typed wrong.
    [[nodiscard]] Result<DivisionSettings> settings() const;

    // Messages go through `function` (a message box by default); tests read them instead.
    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    // Where the refinement check box's state is kept between openings; the box takes the stored
    // state now and stores each change.
    void rememberIn(QSettings *settings);

    // Runs the division with the current settings, as "确 定" does. True when it succeeded (the
    // dialog has then announced it, emitted divisionFinished() and closed).
    bool runDivision();

signals:
    // 新分班 was rewritten: whoever lists the new classes should read them again.
    void divisionFinished();

private:
    // The balanced and layered options with their class counts.
    QGroupBox *buildModeGroup();
    // Balancing the sexes and the schools, and the refinement.
    QGroupBox *buildOptionsGroup();

    // After a refusal of the class counts: the box to put right, its text selected.
    void focusFault();
    void selectBalanced();
    void selectLayered();
    void classesChanged();
    void layersChanged();
    void showAverage(double classes);
    void setLayerControlsEnabled(bool layered);

    Workspace &m_workspace;
    MessageSink::Function m_message = &MessageSink::show;
    // One message with an OK button under the application's title.
    void say(QWidget *parent, const QString &text);
    int m_total = 0;

    QRadioButton *m_balancedOption = nullptr;
    QRadioButton *m_layeredOption = nullptr;
    QLabel *m_classesLabel = nullptr;
    QLineEdit *m_classesEdit = nullptr;
    std::array<QLabel *, 4> m_layerLabels{};
    std::array<QLineEdit *, 4> m_layerEdits{};
    QLabel *m_layersLabel = nullptr;
    QLabel *m_classCountLabel = nullptr;
    QCheckBox *m_balanceSexCheck = nullptr;
    QCheckBox *m_balanceSchoolCheck = nullptr;
    QCheckBox *m_refineCheck = nullptr;
    QLabel *m_totalLabel = nullptr;
    QLabel *m_averageLabel = nullptr;
};

} // namespace fenpai
