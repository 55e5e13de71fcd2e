// SPDX-License-Identifier: MIT
// The yardstick for start-up: a bare Qt Widgets program that shows a clock and nothing else.
// Built a second time with QZ_JAPANESE_FONT: the same clock with the program's Japanese font
// and a date and weekday in Japanese, to tell the cost of the font from the program's own.
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef QZ_JAPANESE_FONT
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(9);
    QApplication::setFont(font);
    const QString format = QStringLiteral("yyyy/MM/dd dddd HH:mm:ss");
#else
    const QString format = QStringLiteral("HH:mm:ss");
#endif
    QLabel clock;
    clock.setWindowTitle(QStringLiteral("clock"));
    clock.setAlignment(Qt::AlignCenter);
    clock.resize(240, 80);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const auto show = [&] {
        clock.setText(japanese.toString(QDateTime::currentDateTime(), format));
    };
    show();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, show);
    tick.start(1000);
    clock.show();
    return app.exec();
}
