// SPDX-License-Identifier: MIT
#pragma once

#include "tests/support/test_clock.h"
#include "tests/support/test_services.h"

namespace qz {

// A platform for tests: nothing blocks, everything is recorded.
class TestPlatform {
  public:
    TestPlatform() = default;
    Q_DISABLE_COPY_MOVE(TestPlatform)

    Platform& platform() { return m_platform; }

    TestClock clock;
    RecordingSoundFactory sounds;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    RecordingCalculatorStarter calculator;
    RecordingHelpViewer help;
    RecordingWindowControl windows;
    RecordingPrinter printer;
    RecordingNotifier notifier;

  private:
    Platform m_platform{&clock, &sounds,  &messages, &files,   &calculator,
                        &help,  &windows, &printer,  &notifier};
};

} // namespace qz
