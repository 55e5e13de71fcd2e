// SPDX-License-Identifier: MIT
#include "tests/support/window_fixture.h"

namespace qz {

WindowFixture::WindowFixture(const QString& programFolder)
    : state(programFolder.isEmpty() ? dir.path() : programFolder),
      wm(state, tp.platform(), [this] { ++quits; }) {
    for (WindowId id :
         {WindowId::Launcher, WindowId::Timer, WindowId::Countdown, WindowId::Stopwatch,
          WindowId::CalcAdd, WindowId::CalcElapsed, WindowId::SoundSettings, WindowId::BigClock})
        wm.registerWindow(id, [id](AppContext& c) { return new QzWindow(c, id); });
}

} // namespace qz
