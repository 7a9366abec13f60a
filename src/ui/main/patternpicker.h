#pragma once

#include "ui/main/pickergrid.h"

#include <QToolButton>

class QMenu;

namespace fenpai {

// A toolbar button with a panel of drawn patterns (alignments, borders): picking one delivers
// its index, and the button itself delivers the last one picked again. Its icon shows that one.
class PatternPicker : public QToolButton
{
    Q_OBJECT

public:
    struct Panel
    {
        int count = 0;
        int columns = 1;
        PickerGrid::PaintFunction paint;
        QStringList tips;
        int initial = 0;
    };

    PatternPicker(const Panel &panel, QWidget *parent);

    int value() const { return m_value; }
    QMenu *popup() const { return m_menu; }
    PickerGrid *panel() const { return m_panel; }
    // Picks the item as a click on it does.
    void pick(int index);

signals:
    void picked(int index);

private:
    QIcon itemIcon(int index) const;

    QMenu *m_menu;
    PickerGrid *m_panel;
    PickerGrid::PaintFunction m_paint;
    int m_value;
};

} // namespace fenpai
