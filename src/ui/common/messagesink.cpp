#include "ui/common/messagesink.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGridLayout>
#include <QSpacerItem>

#include <algorithm>

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
    // A short message makes a box so narrow that the window manager leaves no room for its
    // title beside the frame's buttons: the box is made wide enough to show it.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const int wide = std::max(260, box.fontMetrics().horizontalAdvance(caption) + 180);
        grid->addItem(new QSpacerItem(wide, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
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
