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

QRect MdiLayout::newWindowGeometry(const QRect &area, int n)
{
    const int step = 24;
    const int w = qMax(400, area.width() * 3 / 4);
    const int h = qMax(300, area.height() * 3 / 4);
    const int k = qMax(0, n - 1) % 8;
    const int x = qMax(0, qMin(k * step, area.width() - w));
    const int y = qMax(0, qMin(k * step, area.height() - h));
    return QRect(area.left() + x, area.top() + y, w, h);
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
