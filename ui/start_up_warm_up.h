// SPDX-License-Identifier: MIT
#pragma once

#include <future>
#include <thread>

namespace qz {

// Set-up that Qt would do on the main thread while the first window is built, done ahead on
// another thread: reading the font configuration, and then filling Qt's font database from it.
class FontWarmUp {
  public:
    // Before the application object: starts reading the font configuration.
    FontWarmUp();
    // Once the application object stands and this start is going to show windows (not one
    // that hands over to a running program): go on to Qt's font database.
    void fillFontDatabase();
    // Waits for the thread, which stops after the configuration unless told to fill the
    // database. Before the first font is asked for, and before the application object goes:
    // Qt hands the font configuration back then.
    void finish();
    ~FontWarmUp() { finish(); }

    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

  private:
    void decide(bool fill);

    std::promise<bool> m_fill;
    bool m_decided = false;
    std::thread m_thread;
};

// Qt's accessibility support connects to the session bus when the first control is made, and
// waits for it; where the desktop gives no bus address, that connection first starts a bus of
// its own (several milliseconds). Made after the application object, this opens the bus on
// another thread while the first window is built; Qt shares the one connection. Nothing on a
// platform without a session bus.
class SessionBusWarmUp {
  public:
    SessionBusWarmUp();
    ~SessionBusWarmUp();

    SessionBusWarmUp(const SessionBusWarmUp&) = delete;
    SessionBusWarmUp& operator=(const SessionBusWarmUp&) = delete;

  private:
    std::thread m_thread;
};

} // namespace qz
