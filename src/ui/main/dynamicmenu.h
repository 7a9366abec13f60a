#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace fenpai {

// A submenu of items: item 0 is fixed and always present, items 1.. are rebuilt from the data.
// The index of the chosen item is what its handler receives. More than groupSize items are
// grouped in submenus of groupSize each ("1–40", "41–80", …), so that a long list stays on the
// screen.
class DynamicMenu final : public QObject
{
    Q_OBJECT

public:
    DynamicMenu(QMenu *menu, const QString &name, const QString &firstCaption);

    static constexpr int groupSize = 40;

    void rebuild(const QStringList &captions);
    // The submenus holding the items when there are more than groupSize; empty otherwise.
    const QList<QMenu *> &groups() const { return m_groups; }
    QStringList captions() const; // all items, item 0 first
    QAction *item(int index) const { return m_items.value(index); }
    int count() const { return static_cast<int>(m_items.size()); }

signals:
    void chosen(int index);

private:
    QAction *addItem(const QString &caption, QMenu *into);

    QMenu *m_menu;
    QString m_name;
    QList<QAction *> m_items;
    QList<QMenu *> m_groups;
};

} // namespace fenpai
