// SPDX-License-Identifier: MIT
#include "after_first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace qz {

namespace {
class AfterFirstPaint final : public QObject {
  public:
    AfterFirstPaint(QWidget* shown, std::function<void()> work)
        : QObject(QCoreApplication::instance()), m_work(std::move(work)) {
        shown->installEventFilter(this);
        connect(shown, &QObject::destroyed, this, &AfterFirstPaint::runOnce);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // The filter sees the paint before the window does: the work waits for its end.
            QTimer::singleShot(0, this, &AfterFirstPaint::runOnce);
        }
        return false;
    }

  private:
    void runOnce() {
        if (!m_work) return;
        std::exchange(m_work, nullptr)();
        deleteLater();
    }

    std::function<void()> m_work;
};
} // namespace

void runAfterFirstPaint(QWidget* shown, std::function<void()> work) {
    new AfterFirstPaint(shown, std::move(work));
}

} // namespace qz
