#pragma once

#include "grid/pagesetup.h"

#include <QWidget>

namespace fenpai {

// The small page of the page setup dialog: the sheet in its proportions, the six margin lines
// in light grey (the one whose box has the focus in black) and a sketch of the table against
// the left and top margins, or centred between them.
class PagePicture final : public QWidget
{
    Q_OBJECT

public:
    enum Line
    {
        None = -1,
        Top,
        Bottom,
        Left,
        Right,
        Header,
        Footer
    };

    explicit PagePicture(QWidget *parent = nullptr);

    void setPage(const PageSetup &setup);
    void setHighlighted(Line line);
    Line highlighted() const { return m_highlighted; }
    // Where the table sketch stands, in widget pixels (for tests).
    QRectF tableRect() const;
    QSize sizeHint() const override { return {200, 240}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRectF sheetRect() const;
    double scale() const;

    PageSetup m_setup;
    Line m_highlighted = None;
};

} // namespace fenpai
