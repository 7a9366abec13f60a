#pragma once

#include <QToolBar>

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

signals:
    void buttonClicked(int button);
};

} // namespace fenpai
