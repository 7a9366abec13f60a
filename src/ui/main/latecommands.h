#pragma once

#include <QObject>
#include <QPointer>

namespace fenpai {

class MainWindow;
class PlaceNewDialog;
struct PlacementOutcome;

// The window's entries for pupils and examinees who come after the run: 分班 → 安置新增学生…
// (a dialog asking how many pupils already placed may move) and 考场编排 → 安置新增考生…
// (asks, then seats them). Both are behind the login gate and show what changed as a list
// document. Owned by the window.
class LateCommands final : public QObject
{
    Q_OBJECT

public:
    explicit LateCommands(MainWindow &window);

    // The dialog of 安置新增学生…, created on first use; null when the gate stays shut.
    PlaceNewDialog *showPupilDialog();
    // 安置新增考生…: asks, seats the late examinees and opens their list.
    void placeExaminees();

private:
    void pupilsPlaced(const PlacementOutcome &outcome);

    MainWindow &m_window;
    QPointer<PlaceNewDialog> m_dialog;
};

} // namespace fenpai
