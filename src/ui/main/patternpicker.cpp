#include "ui/main/patternpicker.h"

#include <QMenu>
#include <QPainter>
#include <QWidgetAction>

namespace fenpai {

PatternPicker::PatternPicker(const Panel &panel, QWidget *parent)
    : QToolButton(parent)
    , m_menu(new QMenu(this))
    , m_panel(new PickerGrid(panel.count, panel.columns, QSize(24, 24), panel.paint))
    , m_paint(panel.paint)
    , m_value(panel.initial)
{
    setPopupMode(QToolButton::MenuButtonPopup);
    setIcon(itemIcon(m_value));
    m_panel->setToolTips(panel.tips);
    m_panel->setPicked([this](int index) { pick(index); });
    auto *action = new QWidgetAction(m_menu);
    action->setDefaultWidget(m_panel);
    m_menu->addAction(action);
    setMenu(m_menu);
    connect(this, &QToolButton::clicked, this, [this] { emit picked(m_value); });
}

QIcon PatternPicker::itemIcon(int index) const
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    m_paint(p, pixmap.rect(), index);
    return QIcon(pixmap);
}

void PatternPicker::pick(int index)
{
    m_menu->hide();
    m_value = index;
    setIcon(itemIcon(index));
    emit picked(index);
}

} // namespace fenpai
