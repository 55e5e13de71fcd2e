// SPDX-License-Identifier: MIT
// Drives the real sound player on one window's ring schedule, records a sink, or checks the
// recording against the schedule.
//
//   qz_audible_probe ring <scenario> <wave folder> <plan file>
//   qz_audible_probe record <peaks file> <seconds>
//   qz_audible_probe check <peaks file> <plan file>
//
// "ring" writes the stretches that must be heard (wall-clock milliseconds) into the plan file,
// and for the scenario "restart:" the times the sound server is to be away into
// <plan>.outages ("from to signal" a line), which audible.sh carries out and records, as
// "gone back" a line, into <plan>.actual.
// "record" reads the default sink's monitor through parec for the given time and writes the
// peak of every 10 ms with the wall-clock time it was heard: a loaded machine's sound server
// may render late or in bursts, so sample counts are no clock. When the server goes away,
// parec is started again until it is back. "check" fails when any second of a stretch is
// silent (or not recorded at all); while the server was away and for a moment after it came
// back, nothing is due.
#include "ui/audio_output/sound_player_factory.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
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

// The sound server is away during an outage. The player opens a new stream within half a
// second of its return, but a just-started daemon's null sink plays a new stream's first
// sound one to two seconds late (as it does the first sound of every process, the cold
// start): the ring must be heard again by the first window after this, and on from there.
constexpr qint64 kBackWithinMs = 1600;

// `stretches` less the time from each outage's start until kBackWithinMs after its end.
std::vector<Stretch> withoutOutages(std::vector<Stretch> stretches,
                                    const std::vector<Stretch>& outages) {
    for (const Stretch& o : outages) {
        std::vector<Stretch> left;
        for (const Stretch& s : stretches) {
            if (s.from < o.from) left.push_back({s.from, std::min(s.to, o.from)});
            if (s.to > o.to + kBackWithinMs)
                left.push_back({std::max(s.from, o.to + kBackWithinMs), s.to});
        }
        stretches = std::move(left);
    }
    return stretches;
}

std::vector<Stretch> readStretches(const QString& path) {
    std::vector<Stretch> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return out;
    while (!f.atEnd()) {
        const QList<QByteArray> fields = f.readLine().simplified().split(' ');
        if (fields.size() >= 2) out.push_back({fields[0].toLongLong(), fields[1].toLongLong()});
    }
    return out;
}

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
    QStringList outages; // "from to signal", ms from the start of the schedule
    const qint64 minute = 60000;
    auto* p = player.get();
    if (scenario.startsWith(QLatin1String("row:"))) {
        // A notification-timer row: the source every 100 ms.
        const QString path = wave(scenario.mid(4).toUtf8().constData());
        rings.push_back({0, minute, 100, [p, path] { p->playSource(path); }});
        heard.push_back({0, minute});
    } else if (scenario.startsWith(QLatin1String("restart:"))) {
        // Rows of the notification timer while the sound server goes away and comes back:
        // stopped in the middle of a ring, killed between two rings, and away when a ring
        // begins. Each ring must be heard whenever the server is there.
        const QString path = wave(scenario.mid(8).toUtf8().constData());
        const auto row = [p, path] { p->playSource(path); };
        rings.push_back({0, 20000, 100, row});
        rings.push_back({28000, 36000, 100, row});
        rings.push_back({40000, 52000, 100, row});
        heard = {{0, 20000}, {28000, 36000}, {40000, 52000}};
        outages = {QStringLiteral("8000 11000 TERM"), QStringLiteral("23000 26000 KILL"),
                   QStringLiteral("38000 43000 TERM")};
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

    // The first sound of a process reaches a fresh null sink a second or more late (the sound
    // server settles its latency), which says nothing about the player: one beep first, which
    // the check reports as the cold start, then the schedule on a new stream.
    const qint64 warmUp = QDateTime::currentMSecsSinceEpoch();
    p->beep();
    QEventLoop settle;
    QTimer::singleShot(3000, &settle, &QEventLoop::quit);
    settle.exec();
    if (QFile cold(planPath + QStringLiteral(".cold")); cold.open(QIODevice::WriteOnly))
        cold.write(QByteArray::number(warmUp));

    // Requests follow the wall clock like the windows' timers do; the plan is in wall-clock
    // milliseconds, as the recorder's times are.
    QElapsedTimer clock;
    clock.start();
    const qint64 epoch = QDateTime::currentMSecsSinceEpoch();
    QFile plan(planPath);
    if (!plan.open(QIODevice::WriteOnly | QIODevice::Text)) return 2;
    QTextStream out(&plan);
    for (const Stretch& s : heard)
        out << epoch + s.from << ' ' << epoch + s.to << '\n';
    out.flush();
    if (!outages.isEmpty()) {
        QFile f(planPath + QStringLiteral(".outages"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) return 2;
        QTextStream o(&f);
        for (const QString& line : outages) {
            const QStringList parts = line.split(QLatin1Char(' '));
            o << epoch + parts[0].toLongLong() << ' ' << epoch + parts[1].toLongLong() << ' '
              << parts[2] << '\n';
        }
    }
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

int record(const QString& peaksPath, int seconds) {
    QFile peaks(peaksPath);
    if (!peaks.open(QIODevice::WriteOnly | QIODevice::Text)) return 2;
    QTextStream out(&peaks);
    QProcess parec;
    QByteArray pending;
    constexpr int kChunk = kRecordRate / 100; // 10 ms
    QObject::connect(&parec, &QProcess::readyReadStandardOutput, [&] {
        pending += parec.readAllStandardOutput();
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        const qint64 chunks = pending.size() / (kChunk * 2);
        for (qint64 c = 0; c < chunks; ++c) {
            const auto* v = reinterpret_cast<const qint16*>(pending.constData()) + c * kChunk;
            int peak = 0;
            for (int i = 0; i < kChunk; ++i)
                peak = std::max(peak, std::abs(int(v[i])));
            // The last chunk was heard just now, the ones before it 10 ms apart.
            out << now - (chunks - 1 - c) * 10 << ' ' << peak << '\n';
        }
        pending.remove(0, chunks * kChunk * 2);
    });
    const auto startParec = [&parec, &pending] {
        pending.clear();
        parec.start(QStringLiteral("parec"),
                    {QStringLiteral("--device=qz.monitor"), QStringLiteral("--format=s16le"),
                     QStringLiteral("--rate=%1").arg(kRecordRate), QStringLiteral("--channels=1"),
                     QStringLiteral("--raw"), QStringLiteral("--latency-msec=20")});
    };
    startParec();
    if (!parec.waitForStarted(5000)) {
        std::fprintf(stderr, "parec did not start\n");
        return 2;
    }
    // A sound server that went away takes parec with it: listen again as soon as it is back.
    // What was not recorded meanwhile counts as silent, so a lost recorder never hides a gap.
    bool over = false;
    int restarts = 0;
    QObject::connect(&parec, &QProcess::finished, [&] {
        if (over) return;
        ++restarts;
        QTimer::singleShot(100, [&] {
            if (!over) startParec();
        });
    });
    QTimer::singleShot(seconds * 1000, [&over] {
        over = true;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    parec.kill();
    parec.waitForFinished(2000);
    out.flush();
    if (restarts > 0) std::fprintf(stderr, "parec started again %d times\n", restarts);
    return 0;
}

int check(const QString& peaksPath, const QString& planPath) {
    QFile peaksFile(peaksPath);
    if (!peaksFile.open(QIODevice::ReadOnly | QIODevice::Text) || !QFile::exists(planPath)) {
        std::fprintf(stderr, "cannot read %s or %s\n", qPrintable(peaksPath), qPrintable(planPath));
        return 2;
    }
    std::vector<std::pair<qint64, int>> peaks; // wall-clock ms, peak
    QTextStream pin(&peaksFile);
    while (!pin.atEnd()) {
        qint64 t = 0;
        int p = 0;
        pin >> t >> p;
        if (pin.status() != QTextStream::Ok) break;
        peaks.emplace_back(t, p);
    }
    // Reads that came in bursts may be stamped a little out of order.
    std::stable_sort(peaks.begin(), peaks.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const std::vector<Stretch> planned = readStretches(planPath);
    if (planned.empty()) return 2;
    // The outages as they happened (gone, back): nothing is due meanwhile.
    const std::vector<Stretch> outages = readStretches(planPath + QStringLiteral(".actual"));
    if (QFile::exists(planPath + QStringLiteral(".outages")) &&
        outages.size() != readStretches(planPath + QStringLiteral(".outages")).size()) {
        std::printf("the sound server was not restarted as planned\n");
        return 1;
    }
    const std::vector<Stretch> heard = withoutOutages(planned, outages);
    // The loudest 10 ms in [from, to); -1 when nothing was recorded then.
    const auto peak = [&peaks](qint64 from, qint64 to) {
        auto it = std::lower_bound(peaks.begin(), peaks.end(), std::make_pair(from, -1));
        int p = -1;
        for (; it != peaks.end() && it->first < to; ++it)
            p = std::max(p, it->second);
        return p;
    };
    // Each second of a stretch must carry sound: windows of one second from its start (less
    // the output's latency, at most 400 ms), the last one ending a quarter second before its
    // end. A stretch shorter than that is one window.
    const qint64 latency = 400;
    const qint64 tail = 250;
    int seconds = 0;
    int silent = 0;
    QStringList where;
    const qint64 origin = planned.front().from;
    const auto probeWindow = [&](qint64 from, qint64 to) {
        ++seconds;
        const int p = peak(from, to);
        if (p < kSilence) {
            ++silent;
            // Whether the player fell silent or the recorder heard nothing at all.
            where.append(QString::number((from - origin) / 1000.0, 'f', 2) +
                         (p < 0 ? QStringLiteral(" (not recorded)") : QString()));
        }
    };
    for (const Stretch& s : heard) {
        const qint64 a = s.from + latency;
        const qint64 b = s.to - tail;
        if (b - a <= 1000) {
            probeWindow(a, b);
            continue;
        }
        qint64 t = a;
        for (; t + 1000 <= b; t += 1000)
            probeWindow(t, t + 1000);
        if (t < b) probeWindow(b - 1000, b);
    }
    // How long each ring took to be heard, for the log.
    QStringList delays;
    for (const Stretch& s : planned) {
        auto it = std::lower_bound(peaks.begin(), peaks.end(), std::make_pair(s.from - 50, -1));
        while (it != peaks.end() && it->first < s.to && it->second < kSilence)
            ++it;
        delays.append(it != peaks.end() && it->first < s.to ? QString::number(it->first - s.from)
                                                            : QStringLiteral("-"));
    }
    // How long after the server was back each ring was heard again.
    QStringList back;
    for (const Stretch& o : outages) {
        auto it = std::lower_bound(peaks.begin(), peaks.end(), std::make_pair(o.to, -1));
        while (it != peaks.end() && it->first < o.to + 10000 && it->second < kSilence)
            ++it;
        const bool heardAgain = it != peaks.end() && it->first < o.to + 10000;
        back.append(heardAgain ? QString::number(it->first - o.to) : QStringLiteral("-"));
    }
    QString cold = QStringLiteral("-");
    if (QFile f(planPath + QStringLiteral(".cold")); f.open(QIODevice::ReadOnly)) {
        const qint64 warmUp = f.readAll().toLongLong();
        for (const auto& [t, p] : peaks) {
            if (t >= warmUp - 50 && p >= kSilence) {
                cold = QString::number(t - warmUp);
                break;
            }
        }
    }
    const QString restarts = back.isEmpty()
                                 ? QString()
                                 : QStringLiteral("; heard again %1 ms after the server was back")
                                       .arg(back.join(QLatin1Char('/')));
    std::printf("%d of %d seconds silent%s%s (heard after %s ms; cold start %s ms%s)\n", silent,
                seconds, silent ? " at " : "", qPrintable(where.join(QLatin1Char(' '))),
                qPrintable(delays.join(QLatin1Char('/'))), qPrintable(cold), qPrintable(restarts));
    return silent == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && qstrcmp(argv[1], "ring") == 0) {
        QApplication app(argc, argv);
        return ring(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                    QString::fromLocal8Bit(argv[4]));
    }
    if (argc == 4 && qstrcmp(argv[1], "record") == 0) {
        QCoreApplication app(argc, argv);
        return record(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]).toInt());
    }
    if (argc == 4 && qstrcmp(argv[1], "check") == 0) {
        QCoreApplication app(argc, argv);
        return check(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    std::fprintf(stderr, "usage: qz_audible_probe ring <scenario> <wave folder> <plan>\n"
                         "       qz_audible_probe record <peaks> <seconds>\n"
                         "       qz_audible_probe check <peaks> <plan>\n");
    return 2;
}
