#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace fenpai {

// A submenu of items: item 0 is fixed and always present, items 1.. are rebuilt from the data.
// The index of the chosen item is what its handler receives.
class DynamicMenu final : public QObject
{
    Q_OBJECT

public:
    DynamicMenu(QMenu *menu, const QString &name, const QString &firstCaption);

    void rebuild(const QStringList &captions);
    QStringList captions() const; // all items, item 0 first
    QAction *item(int index) const { return m_items.value(index); }
    int count() const { return static_cast<int>(m_items.size()); }

signals:
    void chosen(int index);

private:
    QAction *addItem(const QString &caption);

    QMenu *m_menu;
    QString m_name;
    QList<QAction *> m_items;
};

} // namespace fenpai
