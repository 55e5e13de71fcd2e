// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

namespace qz {

// The desktop's notifications: a ringing window says so there too, so a ring is seen when the
// window cannot come to the front by itself (minimised, covered, on another workspace).
// Nothing here may block: where the desktop has no notification service, nothing happens.
class DesktopNotifier {
  public:
    virtual ~DesktopNotifier() = default;
    // Shows `text` under `title` with a "停止" action. Until the notification is withdrawn,
    // `onStop` runs when the user picks that action and `onOpen` when the user clicks the
    // notification itself. Returns the handle for withdraw().
    virtual quint32 notify(const QString& title, const QString& text, std::function<void()> onStop,
                           std::function<void()> onOpen) = 0;
    virtual void withdraw(quint32 handle) = 0;
};

// One ring's notification, held by the window that rings: shown once when the ring begins,
// withdrawn when it ends or the window goes.
class RingNotice {
  public:
    RingNotice() = default;
    ~RingNotice() { withdraw(); }
    Q_DISABLE_COPY_MOVE(RingNotice)

    // Does nothing while this ring's notification is out already.
    void show(DesktopNotifier* notifier, const QString& title, const QString& text,
              std::function<void()> onStop, std::function<void()> onOpen) {
        if (m_handle != 0 || notifier == nullptr) return;
        m_notifier = notifier;
        m_handle = notifier->notify(title, text, std::move(onStop), std::move(onOpen));
    }
    bool shown() const { return m_handle != 0; }
    void withdraw() {
        if (m_handle != 0) m_notifier->withdraw(m_handle);
        m_handle = 0;
    }

  private:
    DesktopNotifier* m_notifier = nullptr;
    quint32 m_handle = 0;
};

} // namespace qz
