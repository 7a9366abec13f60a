#include "ui/main/colorpicker.h"

#include "ui/main/pickergrid.h"

#include <QColorDialog>
#include <QMenu>
#include <QPainter>
#include <QWidgetAction>

namespace fenpai {

namespace {

constexpr int kColumns = 8;

} // namespace

const QList<QColor> &ColorPicker::colors()
{
    static const QList<QColor> colors = [] {
        QList<QColor> list;
        for (const char *name :
             {"#000000", "#993300", "#333300", "#003300", "#003366", "#000080", "#333399",
              "#333333", "#800000", "#ff6600", "#808000", "#008000", "#008080", "#0000ff",
              "#666699", "#808080", "#ff0000", "#ff9900", "#99cc00", "#339966", "#33cccc",
              "#3366ff", "#800080", "#969696", "#ff00ff", "#ffcc00", "#ffff00", "#00ff00",
              "#00ffff", "#00ccff", "#993366", "#c0c0c0", "#ff99cc", "#ffcc99", "#ffff99",
              "#ccffcc", "#ccffff", "#99ccff", "#cc99ff", "#ffffff"})
            list.append(QColor(QLatin1String(name)));
        return list;
    }();
    return colors;
}

ColorPicker::ColorPicker(Kind kind, const QColor &initial, QWidget *parent)
    : QToolButton(parent)
    , m_kind(kind)
    , m_menu(new QMenu(this))
    , m_panel(new PickerGrid(int(colors().size()), kColumns, QSize(16, 16),
                             [](QPainter &p, const QRect &r, int index) {
                                 p.fillRect(r, ColorPicker::colors().value(index));
                                 p.setPen(QColor(0x80, 0x80, 0x80));
                                 p.setBrush(Qt::NoBrush);
                                 p.drawRect(r.adjusted(0, 0, -1, -1));
                             }))
    , m_value(initial)
{
    const bool fill = kind == Kind::Fill;
    const QString caption = fill ? QStringLiteral("填充颜色") : QStringLiteral("文字颜色");
    setObjectName(fill ? QStringLiteral("ColorButton1") : QStringLiteral("ColorButton2"));
    setText(caption);
    setToolTip(caption);
    setAccessibleName(caption);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setPopupMode(QToolButton::MenuButtonPopup);
    m_panel->setPicked([this](int index) { pick(colors().value(index)); });
    auto *action = new QWidgetAction(m_menu);
    action->setDefaultWidget(m_panel);
    m_menu->addAction(action);
    QAction *other = m_menu->addAction(QStringLiteral("其他颜色…"));
    other->setObjectName(objectName() + QStringLiteral("_other"));
    connect(other, &QAction::triggered, this, &ColorPicker::chooseOther);
    setMenu(m_menu);
    connect(this, &QToolButton::clicked, this, [this] { emit picked(m_value); });
    updateIcon();
}

void ColorPicker::pick(const QColor &color)
{
    m_menu->hide();
    if (!color.isValid())
        return;
    m_value = color;
    updateIcon();
    emit picked(color);
}

void ColorPicker::chooseOther()
{
    const QColor chosen =
        m_chooseColor ? m_chooseColor(m_value) : QColorDialog::getColor(m_value, window(), text());
    pick(chosen); // an invalid colour: the dialog was cancelled
}

void ColorPicker::updateIcon()
{
    // A letter for text colour, a bucket-like box for fill, over a bar of the colour.
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.fillRect(QRect(1, 15, 18, 4), m_value);
    p.setPen(Qt::black);
    if (m_kind == Kind::Text) {
        QFont f = font();
        f.setBold(true);
        f.setPixelSize(13);
        p.setFont(f);
        p.drawText(QRect(0, 0, 20, 15), Qt::AlignCenter, QStringLiteral("A"));
    } else {
        p.setBrush(Qt::white);
        p.drawRect(QRect(4, 2, 11, 10));
        p.drawLine(4, 7, 15, 7);
        p.drawLine(9, 2, 9, 12);
    }
    p.end();
    setIcon(QIcon(pixmap));
}

} // namespace fenpai
