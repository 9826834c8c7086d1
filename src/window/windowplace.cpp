#include "windowplace.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace {

// What saveGeometry() gives, and the window's place outside its frame (the one the window has
// when it is not maximised), which tells whether the first still fits.
const QString geometryKey = QStringLiteral("fenetre/geometrie");
const QString placeKey = QStringLiteral("fenetre/place");

bool fitsOnAScreen(const QRect &place)
{
    if (!place.isValid())
        return false;
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(), [&place](const QScreen *screen) {
        return screen->availableGeometry().contains(place);
    });
}

} // namespace

WindowPlace::WindowPlace(QWidget &window) : QObject(&window), m_window(window)
{
    const QSettings settings(QCoreApplication::applicationName());
    const QByteArray geometry = settings.value(geometryKey).toByteArray();
    if (!geometry.isEmpty() && fitsOnAScreen(settings.value(placeKey).toRect()))
        m_window.restoreGeometry(geometry);
    m_window.installEventFilter(this);
}

bool WindowPlace::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Close) {
        QSettings settings(QCoreApplication::applicationName());
        settings.setValue(geometryKey, m_window.saveGeometry());
        settings.setValue(placeKey, m_window.normalGeometry());
    }
    return QObject::eventFilter(watched, event);
}
