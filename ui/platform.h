// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <memory>

class QWidget;

namespace qz {

class Clock;
class SoundPlayerFactory;
class MessageBoxes;
class FileDialogs;
class Printer;
class DesktopNotifier;

// Starts the sibling calculator: QZCALC.EXE in the program folder when it is there, otherwise
// the desktop's own calculator. Never waits for it.
class CalculatorStarter {
  public:
    virtual ~CalculatorStarter() = default;
    virtual bool start(const QString& programFolder) = 0;
};

class ProcessCalculatorStarter final : public CalculatorStarter {
  public:
    bool start(const QString& programFolder) override;
};

// The program's help, shown in windows of its own.
class HelpViewer {
  public:
    virtual ~HelpViewer() = default;
    virtual void display(QWidget* owner) = 0;
    virtual void closeAll() = 0;
};

// Window-manager requests that a test wants to see.
class WindowControl {
  public:
    virtual ~WindowControl() = default;
    virtual void restoreAndRaise(QWidget* w) = 0;
    virtual void minimize(QWidget* w) = 0;
};

class QtWindowControl final : public WindowControl {
  public:
    void restoreAndRaise(QWidget* w) override;
    void minimize(QWidget* w) override;
};

// Everything a window reaches of the platform, handed to it at creation.
struct Platform {
    Clock* clock = nullptr;
    SoundPlayerFactory* sounds = nullptr;
    MessageBoxes* messages = nullptr;
    FileDialogs* files = nullptr;
    CalculatorStarter* calculator = nullptr;
    HelpViewer* help = nullptr;
    WindowControl* windows = nullptr;
    Printer* printer = nullptr;
    DesktopNotifier* notifier = nullptr;
};

// The platform of the running program.
class RealPlatform {
  public:
    explicit RealPlatform(const QString& helpFolder);
    ~RealPlatform();
    Q_DISABLE_COPY_MOVE(RealPlatform)
    Platform& platform() { return m_platform; }

  private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    Platform m_platform;
};

} // namespace qz
