#pragma once

#include <QObject>

#include <functional>

class QAction;
class QToolBar;

namespace fenpai {

class AlignPicker;
class BorderPicker;
class ColorPicker;
class DocumentWindow;
class MainWindow;

// The Format menu and the formatting toolbar's buttons and pickers (bold, italic, underline,
// alignment, borders, fill and text colour) on the active document's selection, each change
// one undo step; every one ends by giving the grid the focus. Enabled while a document is
// active. Owned by the window; the toolbar parts go on its standard toolbar.
class FormatCommands final : public QObject
{
    Q_OBJECT

public:
    explicit FormatCommands(MainWindow &window);

    AlignPicker *alignPicker() const { return m_align; }
    BorderPicker *borderPicker() const { return m_border; }
    ColorPicker *fillPicker() const { return m_fill; }
    ColorPicker *textColorPicker() const { return m_text; }
    // FontButton1 index 0 bold, 1 italic, 2 underline.
    QAction *fontButton(int index) const { return m_fontButtons.value(index); }

private:
    void documentActivated();
    void run(const std::function<void(DocumentWindow &)> &command);
    void wire(const char *name, const std::function<void(DocumentWindow &)> &command);
    void buildToolbar(QToolBar *bar);
    // Bold, italic and underline (FontButton1_0..2).
    void addFontButtons(QToolBar *bar);
    // The alignment, border, fill and text colour pickers.
    void addPickers(QToolBar *bar);

    MainWindow &m_window;
    QList<QAction *> m_actions;
    QList<QAction *> m_fontButtons;
    QList<QWidget *> m_widgets;
    AlignPicker *m_align = nullptr;
    BorderPicker *m_border = nullptr;
    ColorPicker *m_fill = nullptr;
    ColorPicker *m_text = nullptr;
};

} // namespace fenpai
