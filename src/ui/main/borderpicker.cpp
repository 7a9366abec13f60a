#include "ui/main/borderpicker.h"

#include "grid/cellstyle.h"
#include "grid/gridedits.h"
#include "ui/main/pickergrid.h"

#include <QMenu>
#include <QPainter>
#include <QWidgetAction>

namespace fenpai {

namespace {

QIcon itemIcon(int index)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    BorderPicker::paintItem(p, pixmap.rect(), index);
    return QIcon(pixmap);
}

} // namespace

BorderPicker::BorderPicker(QWidget *parent)
    : QToolButton(parent)
    , m_menu(new QMenu(this))
    , m_panel(new PickerGrid(12, 4, QSize(24, 24), &BorderPicker::paintItem))
{
    setObjectName(QStringLiteral("BorderButton1"));
    setToolTip(QStringLiteral("框线"));
    setPopupMode(QToolButton::MenuButtonPopup);
    setIcon(itemIcon(m_value));
    m_panel->setToolTips(
        {QStringLiteral("无框线"), QStringLiteral("右框线"), QStringLiteral("下框线"),
         QStringLiteral("左框线"), QStringLiteral("上框线"), QStringLiteral("斜线"),
         QStringLiteral("反斜线"), QStringLiteral("内部框线"), QStringLiteral("外侧框线"),
         QStringLiteral("粗外侧框线"), QStringLiteral("所有框线"), QStringLiteral("粗外框细内线")});
    m_panel->setPicked([this](int index) { pick(index); });
    auto *action = new QWidgetAction(m_menu);
    action->setDefaultWidget(m_panel);
    m_menu->addAction(action);
    setMenu(m_menu);
    connect(this, &QToolButton::clicked, this, [this] { emit picked(m_value); });
}

void BorderPicker::pick(int index)
{
    m_menu->hide();
    m_value = index;
    setIcon(itemIcon(index));
    emit picked(index);
}

void BorderPicker::paintItem(QPainter &p, const QRect &rect, int index)
{
    // A table of 2 × 2 cells: faint grid lines, then the pattern's edges.
    const QRect box = rect.adjusted(3, 3, -4, -4);
    const int midX = box.center().x();
    const int midY = box.center().y();
    p.fillRect(box, Qt::white);
    p.setPen(QPen(QColor(0xc0, 0xc0, 0xc0), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    p.drawLine(midX, box.top(), midX, box.bottom());
    p.drawLine(box.left(), midY, box.right(), midY);
    for (const GridEdits::BorderEdge &e : GridEdits::borderPattern(index)) {
        if (e.style == GridBorder::None)
            continue;
        p.setPen(QPen(Qt::black, e.style == GridBorder::Thick ? 2 : 1));
        switch (e.edge) {
        case GridBorder::Left:
            p.drawLine(box.topLeft(), box.bottomLeft());
            break;
        case GridBorder::Top:
            p.drawLine(box.topLeft(), box.topRight());
            break;
        case GridBorder::Right:
            p.drawLine(box.topRight(), box.bottomRight());
            break;
        case GridBorder::Bottom:
            p.drawLine(box.bottomLeft(), box.bottomRight());
            break;
        case GridBorder::InsideVertical:
            p.drawLine(midX, box.top(), midX, box.bottom());
            break;
        case GridBorder::InsideHorizontal:
            p.drawLine(box.left(), midY, box.right(), midY);
            break;
        case GridBorder::DiagonalDown:
            p.drawLine(box.topLeft(), box.bottomRight());
            break;
        case GridBorder::DiagonalUp:
            p.drawLine(box.bottomLeft(), box.topRight());
            break;
        default:
            break;
        }
    }
}

} // namespace fenpai
