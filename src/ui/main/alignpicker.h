#pragma once

#include <QToolButton>

class QMenu;

namespace fenpai {

class PickerGrid;

// AlignButton1: the formatting toolbar's alignment picker. Its panel shows the nine places a
// text can take in a cell (rows top, middle, bottom; columns left, centre, right); picking one
// delivers its index 0..8, and the button itself delivers the last one picked again.
class AlignPicker final : public QToolButton
{
    Q_OBJECT

public:
    explicit AlignPicker(QWidget *parent = nullptr);

    int value() const { return m_value; }
    QMenu *popup() const { return m_menu; }
    PickerGrid *panel() const { return m_panel; }
    // Picks the item as a click on it does.
    void pick(int index);

    static void paintItem(QPainter &painter, const QRect &rect, int index);

signals:
    void picked(int index);

private:
    QMenu *m_menu;
    PickerGrid *m_panel;
    int m_value = 4;
};

} // namespace fenpai
