// SPDX-License-Identifier: MIT
#include "tests/support/window_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace qz {

WindowFixture::WindowFixture(const QString& programFolder)
    : state(programFolder.isEmpty() ? dir.path() : programFolder),
      wm(state, tp.platform(), [this] { ++quits; }) {
    for (WindowId id :
         {WindowId::Launcher, WindowId::Timer, WindowId::Countdown, WindowId::Stopwatch,
          WindowId::CalcAdd, WindowId::CalcElapsed, WindowId::SoundSettings, WindowId::BigClock})
        wm.registerWindow(id, [id](AppContext& c) { return new QzWindow(c, id); });
}

void clickTypeAndEnter(QLineEdit* box, const QString& text) {
    if (QApplication::focusWidget() != box) QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Return);
}

quint32 colourOf(const QWidget* w, QPalette::ColorRole role) {
    const QColor c = w->palette().color(role);
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

} // namespace qz
