#include "ui/common/messagesink.h"

#include <QCoreApplication>

namespace fenpai {

QMessageBox::StandardButton MessageSink::show(QWidget *parent, QMessageBox::Icon icon,
                                              const QString &title, const QString &text,
                                              QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title.isEmpty() ? QCoreApplication::applicationName() : title, text,
                    buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace fenpai
