#pragma once

#include <QToolButton>

class QMenu;

namespace fenpai {

class PickerGrid;

// BorderButton1: the formatting toolbar's border picker. Its panel draws the twelve border
// patterns (GridEdits::borderPattern) on a small table; picking one delivers its index 0..11,
// and the button itself delivers the last one picked again.
class BorderPicker final : public QToolButton
{
    Q_OBJECT

public:
    explicit BorderPicker(QWidget *parent = nullptr);

    int value() const { return m_value; }
    QMenu *popup() const { return m_menu; }
    PickerGrid *panel() const { return m_panel; }
    void pick(int index);

    static void paintItem(QPainter &painter, const QRect &rect, int index);

signals:
    void picked(int index);

private:
    QMenu *m_menu;
    PickerGrid *m_panel;
    int m_value = 10;
};

} // namespace fenpai
