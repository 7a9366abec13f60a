#include "ui/main/borderpicker.h"

#include "grid/cellstyle.h"
#include "grid/gridedits.h"

#include <QPainter>

namespace fenpai {

BorderPicker::BorderPicker(QWidget *parent)
    : PatternPicker({12,
                     4,
                     &BorderPicker::paintItem,
                     {QStringLiteral("无框线"), QStringLiteral("右框线"), QStringLiteral("下框线"),
                      QStringLiteral("左框线"), QStringLiteral("上框线"), QStringLiteral("斜线"),
                      QStringLiteral("反斜线"), QStringLiteral("内部框线"),
                      QStringLiteral("外侧框线"), QStringLiteral("粗外侧框线"),
                      QStringLiteral("所有框线"), QStringLiteral("粗外框细内线")},
                     10},
                    parent)
{
    setObjectName(QStringLiteral("BorderButton1"));
    setToolTip(QStringLiteral("框线"));
    setAccessibleName(QStringLiteral("框线"));
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
        if (e.style == GridBorder::Style::None)
            continue;
        p.setPen(QPen(Qt::black, e.style == GridBorder::Style::Thick ? 2 : 1));
        switch (e.edge) {
        case GridBorder::Edge::Left:
            p.drawLine(box.topLeft(), box.bottomLeft());
            break;
        case GridBorder::Edge::Top:
            p.drawLine(box.topLeft(), box.topRight());
            break;
        case GridBorder::Edge::Right:
            p.drawLine(box.topRight(), box.bottomRight());
            break;
        case GridBorder::Edge::Bottom:
            p.drawLine(box.bottomLeft(), box.bottomRight());
            break;
        case GridBorder::Edge::InsideVertical:
            p.drawLine(midX, box.top(), midX, box.bottom());
            break;
        case GridBorder::Edge::InsideHorizontal:
            p.drawLine(box.left(), midY, box.right(), midY);
            break;
        case GridBorder::Edge::DiagonalDown:
            p.drawLine(box.topLeft(), box.bottomRight());
            break;
        case GridBorder::Edge::DiagonalUp:
            p.drawLine(box.bottomLeft(), box.topRight());
            break;
        }
    }
}

} // namespace fenpai
