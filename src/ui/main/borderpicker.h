#pragma once

#include "ui/main/patternpicker.h"

namespace fenpai {

// BorderButton1: the formatting toolbar's border picker. Its panel draws the twelve border
// patterns (GridEdits::borderPattern) on a small table.
class BorderPicker final : public PatternPicker
{
    Q_OBJECT

public:
    explicit BorderPicker(QWidget *parent = nullptr);

    static void paintItem(QPainter &painter, const QRect &rect, int index);
};

} // namespace fenpai
