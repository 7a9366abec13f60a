#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

namespace fenpai {

// How a window shows a message box. Windows hold one so that tests can read the messages instead
// of clicking them away.
class MessageSink final
{
public:
    using Function = std::function<QMessageBox::StandardButton(
        QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons)>;

    // A real message box; an empty title means the application title.
    static QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon,
                                            const QString &title, const QString &text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);
};

} // namespace fenpai
