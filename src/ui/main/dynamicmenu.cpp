#include "ui/main/dynamicmenu.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace fenpai {

DynamicMenu::DynamicMenu(QMenu *menu, const QString &name, const QString &firstCaption)
    : QObject(menu)
    , m_menu(menu)
    , m_name(name)
{
    addItem(firstCaption, menu);
}

QAction *DynamicMenu::addItem(const QString &caption, QMenu *into)
{
    const int index = static_cast<int>(m_items.size());
    // A caption is data: an "&" in a school name is a character, not an access key.
    QString text = caption;
    text.replace(QLatin1String("&"), QLatin1String("&&"));
    QAction *action = into->addAction(text);
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
    for (QMenu *group : std::as_const(m_groups)) {
        m_menu->removeAction(group->menuAction());
        group->deleteLater();
    }
    m_groups.clear();
    const qsizetype n = captions.size();
    for (qsizetype i = 0; i < n; ++i) {
        QMenu *into = m_menu;
        if (n > groupSize) {
            if (i % groupSize == 0) {
                const qsizetype last = std::min(n, i + groupSize);
                QMenu *group = m_menu->addMenu(QStringLiteral("%1–%2").arg(i + 1).arg(last));
                group->setObjectName(m_name + QStringLiteral("_group"));
                m_groups.append(group);
            }
            into = m_groups.last();
        }
        addItem(captions[i], into);
    }
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
