#pragma once

#include <QRect>
#include <Qt>

class QMdiArea;

namespace fenpai {

// The Window menu's layouts of the document windows that the MDI area does not offer itself.
class MdiLayout final
{
public:
    // The visible, not minimised windows side by side (vertical) or one above the other
    // (horizontal), filling the area.
    static void tile(QMdiArea &area, Qt::Orientation orientation);
    // The minimised windows in a row along the bottom of the area.
    static void arrangeIcons(QMdiArea &area);
    // Where the n-th document opened (from 1) goes in an area of that size: three quarters of
    // it (at least 400 × 300), each a step further down and right than the one before, always
    // wholly inside the area when the area can hold it.
    static QRect newWindowGeometry(const QRect &area, int n);
};

} // namespace fenpai
