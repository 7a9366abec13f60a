#pragma once

#include <QRect>

class QSettings;
class QWidget;

namespace fenpai {

// Where the main window stands, kept in the user's settings ("Settings" group: MainLeft,
// MainTop, MainWidth, MainHeight, in twips, 15 to a pixel).
class WindowPlacement final
{
public:
    explicit WindowPlacement(QSettings &settings)
        : m_settings(settings)
    {}

    // 85% of the available screen, centred: what a first start opens at.
    static QRect firstStartGeometry(const QRect &available);

    // The saved placement, pulled back onto the primary screen when it is off every screen; the
    // first-start geometry when nothing is saved.
    void restore(QWidget &window) const;
    // Saves the placement, unless the window is minimised.
    void save(const QWidget &window);

private:
    QSettings &m_settings;
};

} // namespace fenpai
