#pragma once

#include <QToolBar>

#include <functional>

namespace fenpai {

// Toolbar1: the command buttons 1..16 (open, save, print, preview, copy, paste, merge, …), each
// standing for a menu entry of the window.
class CommandBar final : public QToolBar
{
    Q_OBJECT

public:
    explicit CommandBar(QWidget *parent = nullptr);

    // The objectName of the menu entry a button runs; empty for the separators.
    static QString menuEntry(int button);
    // Each button is enabled exactly while the menu entry it runs is: `entry` finds the entry
    // by its object name. A button whose entry is missing stays as it is.
    void followEntries(const std::function<QAction *(const QString &)> &entry);
    QAction *button(int number) const;

signals:
    void buttonClicked(int button);
};

} // namespace fenpai
