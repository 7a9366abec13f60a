#pragma once

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
};

} // namespace fenpai
