#include "ui/common/messagesink.h"

#include <QAbstractButton>
#include <QCoreApplication>

namespace fenpai {

QMessageBox::StandardButton MessageSink::show(QWidget *parent, QMessageBox::Icon icon,
                                              const QString &title, const QString &text,
                                              QMessageBox::StandardButtons buttons)
{
    // Never an empty title bar: the program's name when neither the caller nor the
    // application gives one.
    QString caption = title.isEmpty() ? QCoreApplication::applicationName() : title;
    if (caption.isEmpty())
        caption = QStringLiteral("分班排考");
    QMessageBox box(icon, caption, text, buttons, parent);
    // The save question's answers in the program's words, whatever Qt's translation says.
    if (QAbstractButton *b = box.button(QMessageBox::Save))
        b->setText(QStringLiteral("保存"));
    if (QAbstractButton *b = box.button(QMessageBox::Discard))
        b->setText(QStringLiteral("不保存"));
    if (QAbstractButton *b = box.button(QMessageBox::Cancel))
        b->setText(QStringLiteral("取消"));
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace fenpai
