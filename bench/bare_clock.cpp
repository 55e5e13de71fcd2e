// The yardstick for start-up: a bare Qt Widgets program that shows a clock and nothing else.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel clock;
    clock.setWindowTitle(QStringLiteral("clock"));
    clock.setAlignment(Qt::AlignCenter);
    clock.resize(240, 80);
    const auto show = [&clock] { clock.setText(QTime::currentTime().toString(u"HH:mm:ss")); };
    show();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, show);
    tick.start(1000);
    clock.show();
    return app.exec();
}
