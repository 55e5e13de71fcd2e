// SPDX-License-Identifier: MIT
#include "audio/audio_output.h"
#include "audio/mixing_sound_player.h"
#include "audio/pcm_clip.h"
#include "audio/pcm_mixer.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QtEndian>
#include <cstring>

using namespace qz;
using namespace Qt::StringLiterals;

namespace {

QByteArray le16(quint16 v) {
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le32(quint32 v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray c = QByteArray(id, 4) + le32(quint32(body.size())) + body;
    if (body.size() % 2) c.append('\0');
    return c;
}

QByteArray fmtBody(quint16 tag, int channels, int rate, int bits) {
    const int align = channels * bits / 8;
    return le16(tag) + le16(quint16(channels)) + le32(quint32(rate)) + le32(quint32(rate * align)) +
           le16(quint16(align)) + le16(quint16(bits));
}

QByteArray riff(const QByteArray& chunks) {
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

std::optional<PcmClip> decode(const QByteArray& bytes) {
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    return decodeWave(b);
}

// An output that pulls only when the test says so; its destructor still reads from the
// source, as a real audio sink's does, so a source freed first shows up under the sanitizer.
struct FakeOutput;
struct FakeStream final : AudioStream {
    FakeOutput& out;
    QIODevice* source = nullptr;
    explicit FakeStream(FakeOutput& o) : out(o) {}
    ~FakeStream() override;
    bool start(QIODevice* s) override {
        source = s;
        return true;
    }
    bool broken = false; // the sound server dropped it
    bool failed() const override { return broken; }
};

struct FakeOutput final : AudioOutput {
    PcmFormat format{8000, 1, PcmFormat::Sample::Int16};
    FakeStream* current = nullptr;
    int opened = 0;
    int closed = 0;
    int recovered = 0;
    bool deviceThere = true;
    void recover() override { ++recovered; }
    std::unique_ptr<AudioStream> open(PcmFormat& f) override {
        if (!deviceThere) return nullptr;
        f = format;
        ++opened;
        auto s = std::make_unique<FakeStream>(*this);
        current = s.get();
        return s;
    }
    // Pulls `ms` of sound and returns its peak.
    int pull(int ms) {
        if (!current || !current->source) return -1;
        QByteArray b = current->source->read(qint64(format.rate) * ms / 1000 * 2);
        int peak = 0;
        for (int i = 0; i + 1 < b.size(); i += 2)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(b.constData() + i))));
        return peak;
    }
};

FakeStream::~FakeStream() {
    if (source) source->read(16); // a sink drains what it holds when it stops
    ++out.closed;
    if (out.current == this) out.current = nullptr;
}

// A mono 16-bit wave of `ms` milliseconds of a constant level at 8000 Hz.
QByteArray levelWave(int ms, qint16 level) {
    QByteArray pcm;
    for (int i = 0; i < 8 * ms; ++i)
        pcm += le16(quint16(level));
    return riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", pcm));
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestSoundPlayer : public QObject {
    Q_OBJECT

  private slots:
    void decodesLinearPcm_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("firstSample");
        const auto simple = [](quint16 tag, int ch, int rate, int bits, const QByteArray& pcm) {
            return riff(chunk("fmt ", fmtBody(tag, ch, rate, bits)) + chunk("data", pcm));
        };
        QTest::newRow("8-bit unsigned mono")
            << simple(1, 1, 11025, 8, QByteArray("\xFF\x80\x00", 3)) << 11025 << 1 << 3
            << (127 << 8);
        QTest::newRow("16-bit stereo")
            << simple(1, 2, 44100, 16, le16(0x1234) + le16(0xFFFF)) << 44100 << 2 << 1 << 0x1234;
        QTest::newRow("24-bit takes the top bytes")
            << simple(1, 1, 48000, 24, QByteArray("\x00\x00\x40\xff\xff\x7f", 6)) << 48000 << 1 << 2
            << 0x4000;
        QTest::newRow("32-bit integer") << simple(1, 1, 8000, 32, QByteArray("\x00\x00\x00\xc0", 4))
                                        << 8000 << 1 << 1 << -0x4000;
        float half = 0.5f;
        QByteArray f32(4, 0);
        std::memcpy(f32.data(), &half, 4);
        QTest::newRow("32-bit float") << simple(3, 1, 22050, 32, f32) << 22050 << 1 << 1 << 16384;
        double quarter = -0.25;
        QByteArray f64(8, 0);
        std::memcpy(f64.data(), &quarter, 8);
        QTest::newRow("64-bit float") << simple(3, 1, 22050, 64, f64) << 22050 << 1 << 1 << -8192;
        // WAVE_FORMAT_EXTENSIBLE whose sub-format is plain PCM.
        const QByteArray ext = fmtBody(0xFFFE, 2, 32000, 16) + le16(22) + le16(16) + le32(3) +
                               le16(1) + QByteArray(14, '\x01');
        QTest::newRow("extensible")
            << riff(chunk("fmt ", ext) + chunk("data", le32(0x00020001))) << 32000 << 2 << 1 << 1;
        QTest::newRow("odd chunk before the format")
            << riff(chunk("LIST", "abc") + chunk("fmt ", fmtBody(1, 1, 8000, 16)) +
                    chunk("data", le16(7) + le16(8)))
            << 8000 << 1 << 2 << 7;
        // A writer that never filled in the data size.
        QTest::newRow("unknown data size") << riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + "data" +
                                                   le32(0xFFFFFFFF) + le16(5) + le16(6) + le16(7))
                                           << 8000 << 1 << 3 << 5;
        QTest::newRow("data shorter than its size")
            << riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + "data" + le32(100) + le16(9)) << 8000
            << 1 << 1 << 9;
    }
    void decodesLinearPcm() {
        QFETCH(QByteArray, file);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, frames);
        QFETCH(int, firstSample);
        const std::optional<PcmClip> clip = decode(file);
        QVERIFY(clip);
        QCOMPARE(clip->rate, rate);
        QCOMPARE(clip->channels, channels);
        QCOMPARE(clip->frames(), frames);
        QCOMPARE(int(clip->samples[0]), firstSample);
    }

    void refusesWhatItCannotPlay_data() {
        QTest::addColumn<QByteArray>("file");
        const QByteArray pcm = chunk("data", le16(1) + le16(2));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("これは音ではありません");
        QTest::newRow("not WAVE") << QByteArray("RIFF\x04\x00\x00\x00AVI ", 12);
        QTest::newRow("compressed (MPEG layer 3)")
            << riff(chunk("fmt ", fmtBody(0x55, 1, 8000, 16)) + pcm);
        QTest::newRow("no channels") << riff(chunk("fmt ", fmtBody(1, 0, 8000, 16)) + pcm);
        QTest::newRow("12-bit") << riff(chunk("fmt ", fmtBody(1, 1, 8000, 12)) + pcm);
        QTest::newRow("rate zero") << riff(chunk("fmt ", fmtBody(1, 1, 0, 16)) + pcm);
        QTest::newRow("data before format") << riff(pcm + chunk("fmt ", fmtBody(1, 1, 8000, 16)));
        QTest::newRow("no frames")
            << riff(chunk("fmt ", fmtBody(1, 1, 8000, 16)) + chunk("data", QByteArray()));
        QTest::newRow("cut in the header") << riff(chunk("fmt ", fmtBody(1, 1, 8000, 16))).left(30);
        QTest::newRow("chunk runs past the end")
            << riff("LIST" + le32(1000) + "xx" + chunk("fmt ", fmtBody(1, 1, 8000, 16)) + pcm);
    }
    void refusesWhatItCannotPlay() {
        QFETCH(QByteArray, file);
        QVERIFY(!decode(file));
    }

    void readsAtMostTheLongestRing() {
        QBuffer b;
        b.setData(levelWave(3000, 100));
        b.open(QIODevice::ReadOnly);
        const std::optional<PcmClip> clip = decodeWave(b, 2);
        QVERIFY(clip);
        QCOMPARE(clip->frames(), 16000);
    }

    void findsStoredPathsBesideTheProgram_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("found"); // file name in the program folder, or empty
        QTest::newRow("path from another computer")
            << u"C:\\Program Files\\QZ\\ﾍﾞﾙ.WAV"_s << u"ﾍﾞﾙ.WAV"_s;
        QTest::newRow("unix path elsewhere") << u"/nowhere/ﾍﾞﾙ.WAV"_s << u"ﾍﾞﾙ.WAV"_s;
        QTest::newRow("other letter case") << u"D:\\old\\ring.wav"_s << u"RING.WAV"_s;
        QTest::newRow("nowhere") << u"C:\\x\\gone.wav"_s << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("folder part only") << u"C:\\x\\"_s << QString();
    }
    void findsStoredPathsBesideTheProgram() {
        QFETCH(QString, stored);
        QFETCH(QString, found);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(u"ﾍﾞﾙ.WAV"_s), levelWave(10, 1)));
        QVERIFY(writeFile(dir.filePath(u"RING.WAV"_s), levelWave(10, 1)));
        QCOMPARE(locateWave(stored, dir.path()),
                 found.isEmpty() ? QString() : QDir(dir.path()).filePath(found));
        // A path that exists is used as it is.
        QCOMPARE(locateWave(dir.filePath(u"RING.WAV"_s), QString()), dir.filePath(u"RING.WAV"_s));
    }

    void mixerConvertsRateAndChannels() {
        PcmMixer m;
        m.setFormat({16000, 2, PcmFormat::Sample::Int16});
        m.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        auto clip = std::make_shared<PcmClip>();
        clip->rate = 8000;
        clip->channels = 1;
        clip->samples.assign(100, 1000);
        m.start(u"a"_s, clip);
        // 100 frames at 8000 Hz are 200 frames at 16000 Hz, on both channels; then silence,
        // and the stream never ends.
        const QByteArray out = m.read(4 * 300);
        QCOMPARE(out.size(), 4 * 300);
        const auto* s = reinterpret_cast<const qint16*>(out.constData());
        QCOMPARE(s[0], qint16(1000));
        QCOMPARE(s[1], qint16(1000));
        QCOMPARE(s[2 * 199 + 1], qint16(1000));
        QCOMPARE(s[2 * 201], qint16(0));
        QVERIFY(!m.isSounding(u"a"_s));
        QVERIFY(m.isSilent());
        QCOMPARE(m.read(400).size(), 400);
    }

    void mixerAddsVoicesAndClips() {
        PcmMixer m;
        m.setFormat({8000, 1, PcmFormat::Sample::Int16});
        m.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        auto loud = std::make_shared<PcmClip>(PcmClip{8000, 2, std::vector<qint16>(20, 20000)});
        auto soft = std::make_shared<PcmClip>(PcmClip{8000, 1, std::vector<qint16>(20, -100)});
        m.start(u"loud"_s, loud);
        m.start(u"soft"_s, soft);
        QByteArray out = m.read(2);
        QCOMPARE(qFromLittleEndian<qint16>(out.constData()), qint16(19900));
        m.start(u"soft2"_s, loud);
        out = m.read(2);
        // Past full scale: held at the limiter's ceiling, not clipped.
        QVERIFY(qAbs(qFromLittleEndian<qint16>(out.constData()) - PcmMixer::kCeiling) <= 1);
        // Starting a key that sounds starts it over.
        m.read(2 * 15);
        m.start(u"loud"_s, loud);
        m.read(2 * 5);
        QVERIFY(m.isSounding(u"loud"_s));
        QVERIFY(!m.isSounding(u"soft"_s));
    }

    // Rows ringing together stay clean: no sample reaches full scale, the mix keeps its
    // level, and a lone sound is never touched.
    void mixerLimitsOnlyWhatWouldClip_data() {
        QTest::addColumn<QList<int>>("levels"); // one square wave per entry, at this level
        QTest::addColumn<bool>("untouched");
        QTest::addColumn<int>("minPeak");
        QTest::newRow("one at full scale") << QList<int>{32767} << true << 32767;
        QTest::newRow("one at full scale, negative") << QList<int>{-32768} << true << 32768;
        QTest::newRow("two that fit") << QList<int>{12000, 14000} << true << 26000;
        QTest::newRow("three that cancel") << QList<int>{32767, -32768, 20000} << true << 19999;
        QTest::newRow("two at full scale") << QList<int>{32767, 32767} << false << 28000;
        QTest::newRow("three at full scale") << QList<int>{32767, 32767, 32767} << false << 28000;
        QTest::newRow("ten rows") << QList<int>(10, 30000) << false << 28000;
    }
    void mixerLimitsOnlyWhatWouldClip() {
        QFETCH(QList<int>, levels);
        QFETCH(bool, untouched);
        QFETCH(int, minPeak);
        PcmMixer m;
        m.setFormat({8000, 1, PcmFormat::Sample::Int16});
        m.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        // A square wave of 100 Hz, one second long, as loud as the row says.
        long expected[80] = {};
        for (int i = 0; i < levels.size(); ++i) {
            auto clip = std::make_shared<PcmClip>(PcmClip{8000, 1, std::vector<qint16>(8000)});
            for (int f = 0; f < 8000; ++f)
                clip->samples[std::size_t(f)] =
                    qint16((f / 40) % 2 ? -levels[i] - (levels[i] < 0) : levels[i]);
            for (int f = 0; f < 80; ++f)
                expected[f] += clip->samples[std::size_t(f)];
            m.start(QString::number(i), clip);
        }
        const QByteArray out = m.read(2 * 8000);
        int peak = 0;
        int atFullScale = 0;
        bool same = true;
        for (int f = 0; f < 8000; ++f) {
            const int v = qFromLittleEndian<qint16>(out.constData() + 2 * f);
            peak = std::max(peak, std::abs(v));
            atFullScale += v >= 32767 || v <= -32768;
            same = same && v == expected[f % 80];
        }
        QCOMPARE(same, untouched);
        QVERIFY2(peak >= minPeak, qPrintable(QString::number(peak)));
        if (!untouched) {
            QCOMPARE(atFullScale, 0);
            QVERIFY(peak <= int(PcmMixer::kCeiling) + 1);
        }
    }

    void mixerWritesFloat() {
        PcmMixer m;
        m.setFormat({8000, 1, PcmFormat::Sample::Float});
        m.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        m.start(u"a"_s, std::make_shared<PcmClip>(PcmClip{8000, 1, {16384, -32768}}));
        const QByteArray out = m.read(8);
        QCOMPARE(out.size(), 8);
        QCOMPARE(qFromLittleEndian<float>(out.constData()), 0.5f);
        QCOMPARE(qFromLittleEndian<float>(out.constData() + 4), -1.0f);
    }

    void aSoundingWaveSoundsOnAndRestartsWhenItEnds() {
        QTemporaryDir dir;
        const QString wave = dir.filePath(u"w.wav"_s);
        QVERIFY(writeFile(wave, levelWave(500, 5000)));
        FakeOutput out;
        MixingSoundPlayer p(&out, dir.path());
        p.playWave(wave);
        QCOMPARE(out.opened, 1);
        QCOMPARE(out.pull(300), 5000);
        // Requests every 100 ms keep it sounding, without starting it over.
        p.playWave(wave);
        p.playWave(wave);
        QCOMPARE(out.pull(200), 5000);
        QCOMPARE(out.pull(50), 0);
        QVERIFY(!p.mixer().isSounding(wave));
        // Ended: the next request starts it again, on the same stream.
        p.playWave(wave);
        QCOMPARE(out.pull(100), 5000);
        QCOMPARE(out.opened, 1);
        // However often it rang before.
        for (int i = 0; i < 50; ++i) {
            out.pull(600);
            p.playWave(wave);
            QCOMPARE(out.pull(100), 5000);
        }
        QCOMPARE(out.opened, 1);
    }

    void unplayableWavesRingWithTheBeep_data() {
        QTest::addColumn<QByteArray>("contents"); // empty: no file
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not audio") << QByteArray("hello");
        QTest::newRow("compressed")
            << riff(chunk("fmt ", fmtBody(2, 1, 8000, 4)) + chunk("data", QByteArray(100, 1)));
    }
    void unplayableWavesRingWithTheBeep() {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        const QString wave = dir.filePath(u"bad.wav"_s);
        if (!contents.isEmpty()) QVERIFY(writeFile(wave, contents));
        FakeOutput out;
        MixingSoundPlayer p(&out, dir.path());
        p.playWave(wave);
        QVERIFY(out.pull(100) > 1000);
        // A ring repeats its request every 100 ms; the beep keeps the pace of a beep-only row.
        out.pull(100);
        p.playWave(wave);
        QCOMPARE(out.pull(100), 0);
        QTest::qWait(MixingSoundPlayer::kFallbackBeepMs);
        p.playWave(wave);
        QVERIFY(out.pull(100) > 1000);
    }

    void beepRestartsEveryRequest() {
        FakeOutput out;
        MixingSoundPlayer p(&out, QString());
        for (int i = 0; i < 30; ++i) {
            p.beep();
            QVERIFY2(out.pull(100) > 1000, qPrintable(QString::number(i)));
            out.pull(100);
            QCOMPARE(out.pull(600), 0); // silence until the next request
        }
        QCOMPARE(out.opened, 1);
    }

    void streamClosesAfterTheRingAndReopensForTheNext() {
        FakeOutput out;
        MixingSoundPlayer p(&out, QString());
        p.beep();
        out.pull(200);
        QVERIFY(p.isStreamOpen());
        // The output keeps pulling silence; the player closes it once the ring is over.
        for (int waited = 0; waited < MixingSoundPlayer::kCloseAfterSilentMs + 500; waited += 100) {
            if (out.current) out.pull(100);
            QTest::qWait(100);
        }
        QVERIFY(!p.isStreamOpen());
        QCOMPARE(out.closed, 1);
        p.beep();
        QCOMPARE(out.opened, 2);
        QVERIFY(out.pull(100) > 1000);
    }

    void anOutputThatStopsPullingIsReplaced() {
        FakeOutput out;
        MixingSoundPlayer p(&out, QString());
        p.beep();
        out.pull(50);
        // A new stream may take its time before it asks for more: it is left to start.
        QTest::qWait(MixingSoundPlayer::kStalledMs + 200);
        p.beep();
        QCOMPARE(out.opened, 1);
        // But not for ever: the platform says nothing, it just does not ask for sound. (Waited
        // for, not timed: a busy machine may hold a check up.)
        QTRY_VERIFY_WITH_TIMEOUT(!p.isStreamOpen(), 3 * MixingSoundPlayer::kStartingMs);
        p.beep();
        QCOMPARE(out.opened, 2);
        QVERIFY(out.pull(100) > 1000);
    }

    // The sound server went away (and came back): the ring goes on, on a new stream of an
    // output told to start afresh, and a lone stream that merely ends a ring does not.
    void aLostOutputIsReplaced_data() {
        QTest::addColumn<QString>("loss");
        QTest::addColumn<int>("opened");    // streams opened once the ring sounds again
        QTest::addColumn<bool>("recovers"); // the output is told to start afresh
        QTest::newRow("stream fails") << u"fail"_s << 2 << true;
        QTest::newRow("stream fails, seen between requests") << u"fail-watched"_s << 2 << true;
        QTest::newRow("output stops pulling") << u"stall"_s << 2 << false;
        QTest::newRow("no device at first") << u"no-device"_s << 1 << true;
        QTest::newRow("no device after a failure") << u"fail-no-device"_s << 2 << true;
    }
    void aLostOutputIsReplaced() {
        QFETCH(QString, loss);
        QFETCH(int, opened);
        QFETCH(bool, recovers);
        FakeOutput out;
        out.deviceThere = loss != u"no-device"_s;
        MixingSoundPlayer p(&out, QString());
        p.beep();
        if (loss == u"no-device"_s) {
            QVERIFY(!p.isStreamOpen());
            out.deviceThere = true;
        } else {
            QVERIFY(out.pull(50) > 1000);
        }
        if (loss.startsWith(u"fail"_s)) out.current->broken = true;
        if (loss == u"fail-watched"_s) {
            QTest::qWait(400);
            QVERIFY(!p.isStreamOpen());
            QCOMPARE(out.recovered, 1);
        }
        if (loss == u"stall"_s) {
            // Past its start, it stops asking for sound.
            for (int waited = 0; waited < MixingSoundPlayer::kStartingMs; waited += 100) {
                QTest::qWait(100);
                QVERIFY(out.pull(100) >= 0);
                p.beep();
            }
            QTRY_VERIFY_WITH_TIMEOUT(!p.isStreamOpen(), 3 * MixingSoundPlayer::kStalledMs);
        }
        if (loss == u"fail-no-device"_s) {
            out.deviceThere = false;
            p.beep();
            QVERIFY(!p.isStreamOpen());
            out.deviceThere = true;
        }
        p.beep();
        QCOMPARE(out.recovered >= 1, recovers);
        QCOMPARE(out.opened, opened);
        QVERIFY(p.isStreamOpen());
        QVERIFY(out.pull(100) > 1000);
        // A ring that simply ends closes its stream without starting the output afresh.
        const int before = out.recovered;
        for (int waited = 0; waited < MixingSoundPlayer::kCloseAfterSilentMs + 500; waited += 100) {
            if (out.current) out.pull(100);
            QTest::qWait(100);
        }
        QVERIFY(!p.isStreamOpen());
        QCOMPARE(out.recovered, before);
    }

    void aPlayerThatWasNotRunningKeepsItsStream() {
        // A busy machine holds the whole process up, the output's feeding with it: once it
        // runs again its stream is as good as before.
        QTemporaryDir dir;
        const QString wave = dir.filePath(u"long.wav"_s);
        QVERIFY(writeFile(wave, levelWave(10000, 5000)));
        FakeOutput out;
        MixingSoundPlayer p(&out, dir.path());
        p.playWave(wave);
        for (int waited = 0; waited < MixingSoundPlayer::kStartingMs + 200; waited += 100) {
            QTest::qWait(100);
            out.pull(100);
        }
        QThread::msleep(MixingSoundPlayer::kStalledMs + 500);
        QCoreApplication::processEvents();
        QVERIFY(p.isStreamOpen());
        QCOMPARE(out.pull(100), 5000);
        p.playWave(wave);
        QCOMPARE(out.opened, 1);
    }

    void withoutADeviceNothingBreaks() {
        // The system's own beep stands in, once for a beep and once for a wave's ring.
        int systemBeeps = 0;
        FakeOutput out;
        out.deviceThere = false;
        MixingSoundPlayer p(&out, QString(), [&] { ++systemBeeps; });
        p.beep();
        p.playWave(u"/nowhere.wav"_s);
        QVERIFY(!p.isStreamOpen());
        QCOMPARE(systemBeeps, 2);
        MixingSoundPlayer none(nullptr, QString(), [&] { ++systemBeeps; });
        none.beep();
        QVERIFY(!none.isStreamOpen());
        QCOMPARE(systemBeeps, 3);
    }

    void leavingWhileRingingIsClean() {
        // The stream reads from the mixer until it is gone (see ~FakeStream).
        FakeOutput out;
        {
            MixingSoundPlayer p(&out, QString());
            p.beep();
            out.pull(10);
        }
        QCOMPARE(out.closed, 1);
    }
};

QTEST_MAIN(TestSoundPlayer)
#include "tst_sound_player.moc"
