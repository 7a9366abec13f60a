#pragma once

#include <QObject>
#include <QPointer>

namespace fenpai {

class MainWindow;
class TicketDialog;

// The main window's 制作准考证 entry: behind the login gate, one ticket dialog at a time, its
// documents opened in the window. Owned by the window.
class TicketEntry final : public QObject
{
    Q_OBJECT

public:
    explicit TicketEntry(MainWindow &window);

    // Shows the dialog, creating it on first use; null when the gate stays shut.
    TicketDialog *show();

private:
    MainWindow &m_window;
    QPointer<TicketDialog> m_dialog;
};

} // namespace fenpai
