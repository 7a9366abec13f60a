#pragma once

#include "ui/main/patternpicker.h"

namespace fenpai {

// AlignButton1: the formatting toolbar's alignment picker. Its panel shows the nine places a
// text can take in a cell (rows top, middle, bottom; columns left, centre, right); picking one
// delivers its index 0..8, and the button itself delivers the last one picked again.
class AlignPicker final : public PatternPicker
{
    Q_OBJECT

public:
    explicit AlignPicker(QWidget *parent = nullptr);

    static void paintItem(QPainter &painter, const QRect &rect, int index);
};

} // namespace fenpai
