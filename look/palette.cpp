// SPDX-License-Identifier: MIT
#include "palette.h"

#include "colors.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QPalette>
#include <QTableWidgetItem>
#include <initializer_list>

namespace qz {

QColor vbColor(quint32 bbggrr) {
    return QColor(int(bbggrr & 0xFF), int((bbggrr >> 8) & 0xFF), int((bbggrr >> 16) & 0xFF));
}

QColor textColorOn(const QColor& ground) {
    return qGray(ground.rgb()) >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

// The desktop's palette chooses the text colours for its own grounds: a dark scheme's light
// text would vanish on the program's fixed pale grounds. So whoever fixes a ground fixes the
// text drawn on it too, greyed where the control is disabled.
static void setTextRoles(QPalette& p, const QColor& ground,
                         std::initializer_list<QPalette::ColorRole> roles) {
    const QColor text = textColorOn(ground);
    const QColor greyed =
        qGray(ground.rgb()) >= 128 ? QColor(0x80, 0x80, 0x80) : QColor(0xA0, 0xA0, 0xA0);
    for (QPalette::ColorRole role : roles) {
        p.setColor(QPalette::Active, role, text);
        p.setColor(QPalette::Inactive, role, text);
        p.setColor(QPalette::Disabled, role, greyed);
    }
}

void setBackground(QWidget* w, quint32 bbggrr) {
    QPalette p = w->palette();
    const QColor c = vbColor(bbggrr);
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Base, c);
    setTextRoles(p, c, {QPalette::WindowText, QPalette::Text});
    w->setPalette(p);
    w->setAutoFillBackground(true);
    // The menu bar is drawn on the window's colour, its titles in the button text colour.
    if (auto* main = qobject_cast<QMainWindow*>(w)) {
        QMenuBar* bar = main->menuBar();
        QPalette bp = bar->palette();
        setTextRoles(bp, c, {QPalette::ButtonText});
        bar->setPalette(bp);
    }
}

void setWindowBackground(QWidget* w, quint32 bbggrr) {
    QPalette p = w->palette();
    const QColor c = vbColor(bbggrr);
    p.setColor(QPalette::Window, c);
    setTextRoles(p, c, {QPalette::WindowText});
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setForeground(QWidget* w, quint32 bbggrr) {
    QPalette p = w->palette();
    const QColor c = vbColor(bbggrr);
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::Text, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
}

void setColorOnOwnGround(QWidget* w, quint32 bbggrr) {
    setBackground(w, qGray(vbColor(bbggrr).rgb()) >= 128 ? colors::black : colors::white);
    setForeground(w, bbggrr);
}

void setCellBackground(QTableWidgetItem* item, quint32 bbggrr) {
    const QColor c = vbColor(bbggrr);
    item->setBackground(c);
    item->setForeground(textColorOn(c));
}

} // namespace qz
