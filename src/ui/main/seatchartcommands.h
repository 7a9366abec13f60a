#pragma once

#include <QObject>

namespace fenpai {

class DocumentWindow;
class DynamicMenu;
class MainWindow;

// The window's "座位表" submenu at the head of 浏览/按考场: 全部考场 and one item per room, each a
// seat chart in a new document, its desks laid out in the seat order the arrangement dialog
// last used. Owned by the window.
class SeatChartCommands final : public QObject
{
    Q_OBJECT

public:
    explicit SeatChartCommands(MainWindow &window);

    // The chart of room `room` (0: all rooms) in a new document; nullptr, after saying why, when
    // it cannot be built.
    DocumentWindow *show(int room);
    DynamicMenu *menu() const { return m_rooms; }

private:
    MainWindow &m_window;
    DynamicMenu *m_rooms = nullptr;
};

} // namespace fenpai
