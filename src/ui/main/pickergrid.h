#pragma once

#include <QWidget>

#include <functional>

namespace fenpai {

// The panel of a toolbar picker: items in a grid of equal cells, each drawn by the picker,
// the one under the mouse framed; a click picks it.
class PickerGrid final : public QWidget
{
public:
    using PaintFunction = std::function<void(QPainter &, const QRect &, int index)>;

    PickerGrid(int count, int columns, QSize cellSize, PaintFunction paint,
               QWidget *parent = nullptr);

    void setPicked(std::function<void(int)> picked) { m_picked = std::move(picked); }
    void setToolTips(const QStringList &tips) { m_tips = tips; }
    int indexAt(const QPoint &pos) const; // -1 outside the items
    QRect itemRect(int index) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    static constexpr int kSpacing = 3;

    int m_count;
    int m_columns;
    QSize m_cell;
    PaintFunction m_paint;
    std::function<void(int)> m_picked;
    QStringList m_tips;
    int m_hover = -1;
};

} // namespace fenpai
