// SPDX-License-Identifier: MIT
#include "start_up_warm_up.h"

#include <QGuiApplication>

#ifdef QZ_WARM_FONTCONFIG
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#endif
#ifdef QZ_HAVE_DBUS
#include <QDBusConnection>
#endif

namespace qz {

FontWarmUp::FontWarmUp() {
#ifdef QZ_WARM_FONTCONFIG
    // Reading the font configuration (dozens of XML files and the font caches) is the longest
    // single step before the launcher can show; it runs on the other core while Qt connects to
    // the display. Filling Qt's font database from it (every face on the machine) comes next,
    // once there is an application object, while the main thread does what needs no font.
    // One thread for both, in turn: a font asked for on the main thread while the reading was
    // still under way would start a second reading, which fontconfig allows and throws away.
    m_thread = std::thread([fill = m_fill.get_future()]() mutable {
        FcInit();
        if (fill.get()) QFontDatabase::families();
    });
#endif
}

void FontWarmUp::decide(bool fill) {
    if (m_decided) return;
    m_decided = true;
    m_fill.set_value(fill);
}

void FontWarmUp::fillFontDatabase() {
    decide(true);
}

void FontWarmUp::finish() {
    decide(false);
    if (m_thread.joinable()) m_thread.join();
}

SessionBusWarmUp::SessionBusWarmUp() {
#ifdef QZ_HAVE_DBUS
    if (const QString p = QGuiApplication::platformName();
        p == QLatin1String("xcb") || p.startsWith(QLatin1String("wayland")))
        m_thread = std::thread([] { QDBusConnection::sessionBus(); });
#endif
}

SessionBusWarmUp::~SessionBusWarmUp() {
    if (m_thread.joinable()) m_thread.join();
}

} // namespace qz
