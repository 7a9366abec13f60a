#include "ui/main/alignpicker.h"

#include <QPainter>

namespace fenpai {

AlignPicker::AlignPicker(QWidget *parent)
    : PatternPicker({9,
                     3,
                     &AlignPicker::paintItem,
                     {QStringLiteral("左上"), QStringLiteral("中上"), QStringLiteral("右上"),
                      QStringLiteral("左中"), QStringLiteral("居中"), QStringLiteral("右中"),
                      QStringLiteral("左下"), QStringLiteral("中下"), QStringLiteral("右下")},
                     4},
                    parent)
{
    setObjectName(QStringLiteral("AlignButton1"));
    setToolTip(QStringLiteral("对齐方式"));
    setAccessibleName(QStringLiteral("对齐方式"));
}

void AlignPicker::paintItem(QPainter &p, const QRect &rect, int index)
{
    const QRect box = rect.adjusted(2, 2, -3, -3);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.setBrush(Qt::white);
    p.drawRect(box);
    // Three lines of "text", the middle one shorter, where the alignment puts them.
    const int h = index % 3;
    const int v = index / 3;
    const int lineWidth = box.width() * 3 / 5;
    const int blockHeight = 5;
    const int top = box.top() + 2 + v * (box.height() - 4 - blockHeight) / 2;
    p.setPen(QPen(Qt::black, 1));
    for (int i = 0; i < 3; ++i) {
        const int w = i == 1 ? lineWidth * 2 / 3 : lineWidth;
        const int left = box.left() + 2 + h * (box.width() - 4 - w) / 2;
        const int y = top + i * 2;
        p.drawLine(left, y, left + w, y);
    }
}

} // namespace fenpai
