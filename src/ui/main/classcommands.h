#pragma once

#include <QObject>
#include <QPointer>

namespace fenpai {

class MainWindow;

// The window's 手工调整 of the new classes: one adjustment dialog, created on first use. Owned by
// the window.
class ClassCommands final : public QObject
{
    Q_OBJECT

public:
    explicit ClassCommands(MainWindow &window);

private:
    MainWindow &m_window;
    QPointer<QWidget> m_adjust;
};

} // namespace fenpai
