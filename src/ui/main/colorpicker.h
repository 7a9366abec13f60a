#pragma once

#include <QColor>
#include <QToolButton>

#include <functional>

class QMenu;

namespace fenpai {

class PickerGrid;

// ColorButton1 and ColorButton2: a colour picker of the formatting toolbar, captioned with
// what it colours ("填充颜色", "文字颜色"). Its panel offers a palette and "其他颜色…" (the
// colour dialog); picking delivers the colour, and the button itself the last one again.
class ColorPicker final : public QToolButton
{
    Q_OBJECT

public:
    enum class Kind
    {
        Fill, // ColorButton1, "填充颜色"
        Text  // ColorButton2, "文字颜色"
    };

    ColorPicker(Kind kind, const QColor &initial, QWidget *parent = nullptr);

    QColor value() const { return m_value; }
    QMenu *popup() const { return m_menu; }
    PickerGrid *panel() const { return m_panel; }
    static const QList<QColor> &colors();
    void pick(const QColor &color);
    // Asks for another colour; tests answer instead of the colour dialog.
    void setColorChooser(std::function<QColor(const QColor &)> chooser)
    {
        m_chooseColor = std::move(chooser);
    }

signals:
    void picked(const QColor &color);

private:
    void updateIcon();
    void chooseOther();

    Kind m_kind;
    QMenu *m_menu;
    PickerGrid *m_panel;
    QColor m_value;
    std::function<QColor(const QColor &)> m_chooseColor;
};

} // namespace fenpai
