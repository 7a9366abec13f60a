#include "ui/main/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace fenpai {

namespace {

// Settings keys and their defaults, in twips (15 twips = 1 pixel).
struct PlacementKey
{
    const char *key;
    double fallback;
};
const PlacementKey placementKeys[] = {
    {"MainLeft", 1000}, {"MainTop", 1000}, {"MainWidth", 6500}, {"MainHeight", 6500}};
constexpr double twipsPerPixel = 15.0;

} // namespace

QRect WindowPlacement::firstStartGeometry(const QRect &available)
{
    const QSize size(available.width() * 85 / 100, available.height() * 85 / 100);
    return QRect(available.x() + (available.width() - size.width()) / 2,
                 available.y() + (available.height() - size.height()) / 2, size.width(),
                 size.height());
}

void WindowPlacement::restore(QWidget &window) const
{
    double values[4];
    bool saved = true;
    m_settings.beginGroup(QStringLiteral("Settings"));
    for (int i = 0; i < 4; ++i) {
        const QVariant v = m_settings.value(QString::fromLatin1(placementKeys[i].key));
        bool ok = false;
        const float f = v.toString().toFloat(&ok);
        values[i] = ok ? f : placementKeys[i].fallback;
        saved = saved && ok;
    }
    m_settings.endGroup();
    QScreen *primary = QGuiApplication::primaryScreen();
    // The small twips default cuts the menu bar and toolbars; a first start takes the screen.
    if (!saved && primary) {
        window.setGeometry(firstStartGeometry(primary->availableGeometry()));
        return;
    }
    QRect rect(qRound(values[0] / twipsPerPixel), qRound(values[1] / twipsPerPixel),
               qMax(200, qRound(values[2] / twipsPerPixel)),
               qMax(150, qRound(values[3] / twipsPerPixel)));
    // A placement left over from another screen layout is pulled back onto the primary screen.
    bool visible = false;
    for (QScreen *screen : QGuiApplication::screens())
        visible = visible || screen->availableGeometry().intersects(rect);
    if (!visible && primary) {
        const QRect avail = primary->availableGeometry();
        rect.moveTopLeft(avail.topLeft());
        rect.setSize(rect.size().boundedTo(avail.size()));
    }
    window.move(rect.topLeft());
    window.resize(rect.size());
}

void WindowPlacement::save(const QWidget &window)
{
    if (window.isMinimized())
        return;
    const double values[4] = {window.pos().x() * twipsPerPixel, window.pos().y() * twipsPerPixel,
                              window.width() * twipsPerPixel, window.height() * twipsPerPixel};
    m_settings.beginGroup(QStringLiteral("Settings"));
    for (int i = 0; i < 4; ++i)
        m_settings.setValue(QString::fromLatin1(placementKeys[i].key),
                            QString::number(static_cast<float>(values[i])));
    m_settings.endGroup();
    m_settings.sync();
}

} // namespace fenpai
