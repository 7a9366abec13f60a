#include "ui/main/mdilayout.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace fenpai {

void MdiLayout::tile(QMdiArea &mdi, Qt::Orientation orientation)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : mdi.subWindowList()) {
        if (!w->isMinimized() && w->isVisible())
            windows.append(w);
    }
    if (windows.isEmpty())
        return;
    const QRect rect = mdi.viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        windows[i]->showNormal();
        if (orientation == Qt::Horizontal) {
            const int h = rect.height() / n;
            windows[i]->setGeometry(0, i * h, rect.width(), h);
        } else {
            const int w = rect.width() / n;
            windows[i]->setGeometry(i * w, 0, w, rect.height());
        }
    }
}

void MdiLayout::arrangeIcons(QMdiArea &mdi)
{
    const QRect area = mdi.viewport()->rect();
    int x = 0;
    for (QMdiSubWindow *w : mdi.subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, area.height() - w->height());
        x += w->width();
    }
}

} // namespace fenpai
