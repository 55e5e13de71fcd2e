// SPDX-License-Identifier: MIT
// The yardstick for start-up: a bare Qt Widgets program that shows a clock and nothing else.
// Built a second time with QZ_JAPANESE_FONT: the same clock with the program's Japanese font
// and a date and weekday in Japanese, to tell the cost of the font from the program's own.
// Built a third time with QZ_MENU_BAR as well: the clock in a main window under a menu bar of
// three Japanese titles. The plain clock has a fixed size, so Qt maps it before it has set up
// a single font; a menu bar has to measure its titles before its window can be mapped, as the
// launcher's does.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#ifdef QZ_JAPANESE_FONT
#include "ui/fonts.h"
#endif
#ifdef QZ_MENU_BAR
#include <QMainWindow>
#include <QMenuBar>
#endif
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef QZ_JAPANESE_FONT
    // Looked up as the program looks its font up, so the two pay the same for it.
    qz::installApplicationFont();
    const QString format = QStringLiteral("yyyy/MM/dd dddd HH:mm:ss");
#else
    const QString format = QStringLiteral("HH:mm:ss");
#endif
#ifdef QZ_MENU_BAR
    QMainWindow window;
    for (const char16_t* title : {u"ﾌｧｲﾙ(&F)", u"ﾂｰﾙ(&T)", u"ﾍﾙﾌﾟ(&H)"})
        window.menuBar()->addMenu(QString::fromUtf16(title));
    auto& clock = *new QLabel;
    window.setCentralWidget(&clock);
    QWidget& top = window;
#else
    QLabel clock;
    QWidget& top = clock;
#endif
    top.setWindowTitle(QStringLiteral("clock"));
    clock.setAlignment(Qt::AlignCenter);
    top.resize(240, 80);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const auto show = [&] {
        clock.setText(japanese.toString(QDateTime::currentDateTime(), format));
    };
    show();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, show);
    tick.start(1000);
    top.show();
    return app.exec();
}
