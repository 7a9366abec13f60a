#include "ui/main/formatcommands.h"

#include "grid/grid.h"
#include "grid/gridedits.h"
#include "grid/gridselection.h"
#include "ui/documents/documentwindow.h"
#include "ui/main/alignpicker.h"
#include "ui/main/borderpicker.h"
#include "ui/main/colorpicker.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QToolBar>

namespace fenpai {

namespace {

QIcon letterIcon(const QString &letter, GridEdits::FontStyle style)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(16);
    font.setBold(style == GridEdits::FontStyle::Bold);
    font.setItalic(style == GridEdits::FontStyle::Italic);
    font.setUnderline(style == GridEdits::FontStyle::Underline);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(pixmap.rect(), Qt::AlignCenter, letter);
    p.end();
    return QIcon(pixmap);
}

} // namespace

FormatCommands::FormatCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    auto selection = [this](const char *name, const QString &text,
                            const std::function<void(GridRange &)> &change) {
        wire(name, [text, change](DocumentWindow &doc) {
            doc.changeSelection(text, [change](Grid &grid, const GridArea &area) {
                GridRange range(&grid, area);
                change(range);
            });
        });
    };
    selection("mnuSetWrapText", QStringLiteral("设置自动换行"),
              [](GridRange &r) { r.setWrapText(true); });
    selection("mnuCancelWrapText", QStringLiteral("取消自动换行"),
              [](GridRange &r) { r.setWrapText(false); });
    selection("mnuLockCell", QStringLiteral("锁定单元格"), [](GridRange &r) { r.setLocked(true); });
    selection("mnuCancelLockCell", QStringLiteral("取消锁定单元格"),
              [](GridRange &r) { r.setLocked(false); });
    // The default font is grid-wide: the step keeps the settings and no cell.
    for (const auto &[name, step, text] :
         {std::tuple{"zdsize", 1, "增大字体"}, std::tuple{"jxsize", -1, "减小字体"}}) {
        const int points = step;
        const QString caption = QString::fromUtf8(text);
        wire(name, [points, caption](DocumentWindow &doc) {
            doc.change(caption, GridArea{0, 0, 0, 0},
                       [points](Grid &grid) { GridEdits::stepDefaultFontSize(grid, points); });
        });
    }

    if (auto *bar = m_window.findChild<QToolBar *>(QStringLiteral("tbToolBar")))
        buildToolbar(bar);
    m_widgets.append(m_window.fontNameBox());
    m_widgets.append(m_window.fontSizeBox());
    m_widgets.removeAll(nullptr);
    connect(m_window.mdiArea(), &QMdiArea::subWindowActivated, this,
            &FormatCommands::documentActivated);
    documentActivated();
}

void FormatCommands::buildToolbar(QToolBar *bar)
{
    bar->addSeparator();
    addFontButtons(bar);
    addPickers(bar);
}

void FormatCommands::addFontButtons(QToolBar *bar)
{
    using Style = GridEdits::FontStyle;
    const struct
    {
        Style style;
        const char *letter;
        const char *tip;
    } buttons[] = {{Style::Bold, "B", "粗体"},
                   {Style::Italic, "I", "斜体"},
                   {Style::Underline, "U", "下划线"}};
    for (int i = 0; i < 3; ++i) {
        const Style style = buttons[i].style;
        QAction *a = bar->addAction(letterIcon(QLatin1String(buttons[i].letter), style),
                                    QString::fromUtf8(buttons[i].tip));
        a->setObjectName(QStringLiteral("FontButton1_%1").arg(i));
        m_fontButtons.append(a);
        m_actions.append(a);
        connect(a, &QAction::triggered, this, [this, style, a] {
            run([style, a](DocumentWindow &doc) {
                const GridSelection &sel = doc.selection();
                const int row = sel.activeRow();
                const int col = sel.activeCol();
                doc.changeSelection(a->text(), [style, row, col](Grid &grid, const GridArea &area) {
                    GridEdits::toggleFontStyle(grid, area, row, col, style);
                });
            });
        });
    }
}

void FormatCommands::addPickers(QToolBar *bar)
{
    m_align = new AlignPicker(bar);
    m_border = new BorderPicker(bar);
    m_fill = new ColorPicker(ColorPicker::Kind::Fill, QColor(0xff, 0xff, 0x00), bar);
    m_text = new ColorPicker(ColorPicker::Kind::Text, QColor(0xff, 0x00, 0x00), bar);
    for (QWidget *w : std::initializer_list<QWidget *>{m_align, m_border, m_fill, m_text}) {
        bar->addWidget(w);
        m_widgets.append(w);
    }
    connect(m_align, &AlignPicker::picked, this, [this](int index) {
        run([index](DocumentWindow &doc) {
            doc.changeSelection(QStringLiteral("对齐方式"), [index](Grid &grid, const GridArea &a) {
                GridRange(&grid, a).setAlignment(GridEdits::alignmentForIndex(index));
            });
        });
    });
    connect(m_border, &BorderPicker::picked, this, [this](int index) {
        run([index](DocumentWindow &doc) {
            const GridArea area = doc.selection().area();
            doc.change(
                QStringLiteral("框线"), GridEdits::borderReach(area),
                [index, area](Grid &grid) { GridEdits::applyBorderPattern(grid, area, index); });
        });
    });
    connect(m_fill, &ColorPicker::picked, this, [this](const QColor &color) {
        run([color](DocumentWindow &doc) {
            doc.changeSelection(QStringLiteral("填充颜色"), [color](Grid &grid, const GridArea &a) {
                GridRange(&grid, a).setBackColor(color);
            });
        });
    });
    connect(m_text, &ColorPicker::picked, this, [this](const QColor &color) {
        run([color](DocumentWindow &doc) {
            doc.changeSelection(QStringLiteral("文字颜色"), [color](Grid &grid, const GridArea &a) {
                GridRange(&grid, a).setForeColor(color);
            });
        });
    });
}

void FormatCommands::run(const std::function<void(DocumentWindow &)> &command)
{
    if (DocumentWindow *doc = m_window.activeDocument()) {
        command(*doc);
        doc->focusGrid();
    }
}

void FormatCommands::wire(const char *name, const std::function<void(DocumentWindow &)> &command)
{
    if (QAction *a =
            m_window.wire(QString::fromLatin1(name), this, [this, command] { run(command); }))
        m_actions.append(a);
}

void FormatCommands::documentActivated()
{
    const bool on = m_window.activeDocument() != nullptr;
    for (QAction *a : std::as_const(m_actions))
        a->setEnabled(on);
    for (QWidget *w : std::as_const(m_widgets))
        w->setEnabled(on);
}

} // namespace fenpai
