// Drives the real sound player on one window's ring schedule, or checks a recording of it.
//
//   qz_audible_probe ring <scenario> <wave folder> <plan file>
//   qz_audible_probe check <recording> <plan file>
//
// "ring" writes, as it goes, the stretches that must be heard (milliseconds after its first
// request) into the plan file. "check" reads a recording of the sink (signed 16-bit mono at
// 8000 Hz) and fails when any second of such a stretch is silent. The first sound in the
// recording is taken as the first request, so the device's latency does not matter.
#include "ui/sound_player.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kRecordRate = 8000;
// Peak below which a stretch counts as silent (about -54 dBFS).
constexpr int kSilence = 64;

struct Stretch {
    qint64 from = 0;
    qint64 to = 0;
};

// A plain one-second wave of the kind a user picks: 22050 Hz mono, a warbling tone.
QString writeUserWave(const QString& folder) {
    const int rate = 22050;
    QByteArray pcm;
    for (int i = 0; i < rate; ++i) {
        const double t = double(i) / rate;
        const auto v =
            qint16(std::sin(2 * M_PI * (600 + 200 * std::sin(2 * M_PI * 4 * t)) * t) * 12000);
        char b[2];
        qToLittleEndian(v, b);
        pcm.append(b, 2);
    }
    QByteArray wav("RIFF....WAVEfmt ");
    auto put32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto put16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    wav.append("data");
    put32(quint32(pcm.size()));
    wav.append(pcm);
    qToLittleEndian(quint32(wav.size() - 8), wav.data() + 4);
    const QString path = QDir(folder).filePath(QStringLiteral("user-1s.wav"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(wav) != wav.size()) return {};
    return path;
}

// One request every `interval` ms from `from` to `to` ms; calls `request` each time.
struct Ring {
    qint64 from;
    qint64 to;
    int interval;
    std::function<void()> request;
};

int ring(const QString& scenario, const QString& folder, const QString& planPath) {
    qz::QtSoundPlayerFactory factory(folder);
    std::unique_ptr<qz::SoundPlayer> player = factory.createPlayer();
    const auto wave = [&folder](const char* name) {
        return QDir(folder).filePath(QString::fromUtf8(name));
    };
    std::vector<Ring> rings;
    std::vector<Stretch> heard;
    const qint64 minute = 60000;
    auto* p = player.get();
    if (scenario.startsWith(QLatin1String("row:"))) {
        // A notification-timer row: the source every 100 ms.
        const QString path = wave(scenario.mid(4).toUtf8().constData());
        rings.push_back({0, minute, 100, [p, path] { p->playSource(path); }});
        heard.push_back({0, minute});
    } else if (scenario.startsWith(QLatin1String("countdown:"))) {
        // The countdown: its wave every 300 ms, rung again in the same window.
        const QString path = wave(scenario.mid(10).toUtf8().constData());
        const qint64 again = minute + 3000;
        rings.push_back({0, minute, 300, [p, path] { p->playWave(path); }});
        rings.push_back({again, again + minute / 2, 300, [p, path] { p->playWave(path); }});
        heard.push_back({0, minute});
        heard.push_back({again, again + minute / 2});
    } else if (scenario == QLatin1String("user")) {
        // Beside the plan, never among the program's own waves.
        const QString path = writeUserWave(QFileInfo(planPath).absolutePath());
        if (path.isEmpty()) return 2;
        rings.push_back({0, minute, 100, [p, path] { p->playSource(path); }});
        heard.push_back({0, minute});
    } else if (scenario == QLatin1String("beep-row")) {
        rings.push_back({0, minute, 800, [p] { p->beep(); }});
        heard.push_back({0, minute});
    } else if (scenario == QLatin1String("beep-countdown")) {
        rings.push_back({0, minute, 300, [p] { p->beep(); }});
        heard.push_back({0, minute});
    } else if (scenario.startsWith(QLatin1String("preview:"))) {
        // A sample click every three seconds, 20 in all; each must be heard for its first second.
        const QString path = wave(scenario.mid(8).toUtf8().constData());
        for (int i = 0; i < 20; ++i) {
            rings.push_back({i * 3000, i * 3000 + 1, 1000, [p, path] { p->playSource(path); }});
            heard.push_back({i * 3000, i * 3000 + 1000});
        }
    } else {
        std::fprintf(stderr, "unknown scenario %s\n", qPrintable(scenario));
        return 2;
    }

    QFile plan(planPath);
    if (!plan.open(QIODevice::WriteOnly | QIODevice::Text)) return 2;
    QTextStream out(&plan);
    for (const Stretch& s : heard)
        out << s.from << ' ' << s.to << '\n';
    out.flush();

    // Requests follow the wall clock like the windows' timers do.
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> next(rings.size());
    for (std::size_t i = 0; i < rings.size(); ++i)
        next[i] = rings[i].from;
    const qint64 end = rings.back().to + 1500;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        for (std::size_t i = 0; i < rings.size(); ++i) {
            while (next[i] < rings[i].to && next[i] <= now) {
                rings[i].request();
                next[i] += rings[i].interval;
            }
        }
        if (now >= end) QCoreApplication::quit();
    });
    tick.start(10);
    QCoreApplication::exec();
    // Leaving the window: the player goes with it.
    player.reset();
    return 0;
}

int check(const QString& recordingPath, const QString& planPath) {
    QFile rec(recordingPath);
    QFile plan(planPath);
    if (!rec.open(QIODevice::ReadOnly) || !plan.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot read %s or %s\n", qPrintable(recordingPath),
                     qPrintable(planPath));
        return 2;
    }
    const QByteArray raw = rec.readAll();
    const auto* samples = reinterpret_cast<const qint16*>(raw.constData());
    const qint64 count = raw.size() / 2;
    std::vector<Stretch> heard;
    QTextStream in(&plan);
    while (!in.atEnd()) {
        Stretch s;
        in >> s.from >> s.to;
        if (in.status() != QTextStream::Ok) break;
        heard.push_back(s);
    }
    if (heard.empty()) return 2;
    qint64 onset = -1;
    for (qint64 i = 0; i < count; ++i) {
        if (std::abs(int(samples[i])) >= kSilence) {
            onset = i;
            break;
        }
    }
    if (onset < 0) {
        std::printf("no sound at all in %.1f s\n", double(count) / kRecordRate);
        return 1;
    }
    const auto peak = [&](qint64 fromMs, qint64 toMs) {
        const qint64 a = onset + fromMs * kRecordRate / 1000;
        const qint64 b = std::min(count, onset + toMs * kRecordRate / 1000);
        int p = 0;
        for (qint64 i = a; i < b; ++i)
            p = std::max(p, std::abs(int(samples[i])));
        return b <= a ? -1 : p;
    };
    // Each second of a stretch, less a quarter second of latency at either end, must carry
    // sound: windows of one second from its start, the last one ending at its end. A stretch
    // shorter than that is one window.
    const qint64 slack = 250;
    int seconds = 0;
    int silent = 0;
    QStringList where;
    const auto probeWindow = [&](qint64 from, qint64 to) {
        ++seconds;
        if (peak(from, to) < kSilence) {
            ++silent;
            where.append(QString::number(from / 1000.0, 'f', 2));
        }
    };
    for (const Stretch& s : heard) {
        const qint64 a = s.from + slack;
        const qint64 b = s.to - slack;
        if (b - a <= 1000) {
            probeWindow(a, b);
            continue;
        }
        qint64 t = a;
        for (; t + 1000 <= b; t += 1000)
            probeWindow(t, t + 1000);
        if (t < b) probeWindow(b - 1000, b);
    }
    std::printf("%d of %d seconds silent%s%s\n", silent, seconds, silent ? " at " : "",
                qPrintable(where.join(QLatin1Char(' '))));
    return silent == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], "ring") == 0) {
        QApplication app(argc, argv);
        return ring(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                    QString::fromLocal8Bit(argv[4]));
    }
    if (argc == 4 && qstrcmp(argv[1], "check") == 0) {
        QCoreApplication app(argc, argv);
        return check(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    std::fprintf(stderr, "usage: qz_audible_probe ring <scenario> <wave folder> <plan>\n"
                         "       qz_audible_probe check <recording> <plan>\n");
    return 2;
}
