#include "ui/main/dynamicmenu.h"

#include <QAction>
#include <QMenu>

namespace fenpai {

DynamicMenu::DynamicMenu(QMenu *menu, const QString &name, const QString &firstCaption)
    : QObject(menu)
    , m_menu(menu)
    , m_name(name)
{
    addItem(firstCaption);
}

QAction *DynamicMenu::addItem(const QString &caption)
{
    const int index = static_cast<int>(m_items.size());
    // A caption is data: an "&" in a school name is a character, not an access key.
    QString text = caption;
    text.replace(QLatin1String("&"), QLatin1String("&&"));
    QAction *action = m_menu->addAction(text);
    action->setObjectName(m_name);
    action->setProperty("index", index);
    connect(action, &QAction::triggered, this, [this, index] { emit chosen(index); });
    m_items.append(action);
    return action;
}

void DynamicMenu::rebuild(const QStringList &captions)
{
    while (m_items.size() > 1) {
        QAction *action = m_items.takeLast();
        m_menu->removeAction(action);
        action->deleteLater();
    }
    for (const QString &caption : captions)
        addItem(caption);
}

QStringList DynamicMenu::captions() const
{
    QStringList out;
    for (const QAction *a : m_items) {
        QString text = a->text();
        text.replace(QLatin1String("&&"), QLatin1String("&"));
        out.append(text);
    }
    return out;
}

} // namespace fenpai
