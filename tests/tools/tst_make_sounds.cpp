// SPDX-License-Identifier: MIT
// The wave files written at build time: names the program looks up, well-formed headers, and
// sounds that are audible, unclipped, click-free and distinct.

#include "wave_synth.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cmath>

namespace {

// The names the program plays, written with escapes so that a look-alike character (a
// full-width katakana for a half-width one, say) in the generator shows up here.
const QStringList& expectedNames() {
    static const QStringList names = {
        QStringLiteral("RING1.WAV"),
        QStringLiteral("RING2.WAV"),
        QString::fromUtf16(u"\u6642\u9593\u3067\u3059\u3088.WAV"), // 時間ですよ
        QString::fromUtf16(u"\uFF8D\uFF9E\uFF99.WAV"),             // half-width ベル
        QString::fromUtf16(u"\uFF7B\uFF72\uFF9A\uFF9D.WAV"),       // half-width サイレン
        QString::fromUtf16(u"\u9418.WAV"),                         // 鐘
        QString::fromUtf16(u"\u5B87\u5B99.WAV"),                   // 宇宙
        QString::fromUtf16(u"\u6C7D\u7B1B.WAV"),                   // 汽笛
        QStringLiteral("RING.WAV"),
        QStringLiteral("1min07A.WAV"),
    };
    return names;
}

struct Wave {
    QString problem; // empty when the file parsed
    quint16 format = 0, channels = 0, blockAlign = 0, bits = 0;
    quint32 rate = 0, byteRate = 0;
    QList<qint16> samples;
};

// Walks the chunks rather than assuming the canonical 44-byte header, and checks that the
// sizes in the header agree with the file's length.
Wave parseWave(const QByteArray& raw) {
    Wave w;
    auto fail = [&w](const QString& why) {
        w.problem = why;
        return w;
    };
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(raw.constData() + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(raw.constData() + at); };
    if (raw.size() < 12 || !raw.startsWith("RIFF") || raw.mid(8, 4) != "WAVE")
        return fail(QStringLiteral("no RIFF/WAVE signature"));
    if (u32(4) != quint32(raw.size() - 8))
        return fail(
            QStringLiteral("RIFF size %1 for a file of %2 bytes").arg(u32(4)).arg(raw.size()));
    bool haveFormat = false;
    for (qsizetype at = 12; at + 8 <= raw.size();) {
        const QByteArray id = raw.mid(at, 4);
        const quint32 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (body + qsizetype(size) > raw.size())
            return fail(QStringLiteral("chunk %1 runs past the end").arg(QString::fromLatin1(id)));
        if (id == "fmt " && size >= 16) {
            w.format = u16(body);
            w.channels = u16(body + 2);
            w.rate = u32(body + 4);
            w.byteRate = u32(body + 8);
            w.blockAlign = u16(body + 12);
            w.bits = u16(body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return fail(QStringLiteral("data before fmt"));
            if (body + qsizetype(size) != raw.size())
                return fail(
                    QStringLiteral("data size %1 does not reach the end of the file").arg(size));
            if (size % 2 != 0) return fail(QStringLiteral("odd data size"));
            for (qsizetype i = body; i < body + qsizetype(size); i += 2)
                w.samples.append(qint16(u16(i)));
            return w;
        }
        at = body + size + (size % 2);
    }
    return fail(QStringLiteral("no data chunk"));
}

double rms(const QList<qint16>& s, qsizetype from, qsizetype to) {
    double sum = 0.0;
    for (qsizetype i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}

// Sign changes per second over a stretch: a rough pitch measure.
double crossingsPerSecond(const QList<qint16>& s, qsizetype from, qsizetype to) {
    int count = 0;
    for (qsizetype i = from + 1; i < to; ++i)
        count += (s[i - 1] < 0) != (s[i] < 0);
    return count * double(qz::synth::kSampleRate) / double(to - from);
}

} // namespace

class TstMakeSounds : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void writesExactlyTheProgramsFiles();
    void filesAreWellFormed_data();
    void filesAreWellFormed();
    void soundsAreDistinctAndReproducible();
    void soundsFitTheirNames();
    void encoderWritesGivenRateAndLittleEndianSamples();
    void reportsAFolderThatCannotBeCreated();

  private:
    QTemporaryDir m_dir;
    QMap<QString, Wave> m_waves;
};

void TstMakeSounds::initTestCase() {
    QVERIFY(m_dir.isValid());
    std::string error;
    const QString folder =
        m_dir.filePath(QStringLiteral("bin")); // not there yet: the writer creates it
    QVERIFY2(qz::synth::writeSounds(folder.toStdU16String(), &error), error.c_str());
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile f(QDir(folder).filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        m_waves.insert(name, parseWave(f.readAll()));
    }
}

void TstMakeSounds::writesExactlyTheProgramsFiles() {
    QStringList written = m_waves.keys();
    QStringList expected = expectedNames();
    written.sort();
    expected.sort();
    QCOMPARE(written, expected);
}

void TstMakeSounds::filesAreWellFormed_data() {
    QTest::addColumn<QString>("name");
    for (const QString& name : expectedNames())
        QTest::newRow(name.toUtf8().constData()) << name;
}

void TstMakeSounds::filesAreWellFormed() {
    QFETCH(QString, name);
    QVERIFY2(m_waves.contains(name), "file missing");
    const Wave& w = m_waves[name];
    QVERIFY2(w.problem.isEmpty(), qPrintable(w.problem));
    QCOMPARE(w.format, quint16(1));
    QCOMPARE(w.channels, quint16(1));
    QCOMPARE(w.rate, quint32(22050));
    QCOMPARE(w.bits, quint16(16));
    QCOMPARE(w.blockAlign, quint16(2));
    QCOMPARE(w.byteRate, quint32(44100));

    const double seconds = double(w.samples.size()) / w.rate;
    QVERIFY2(seconds >= 0.6 && seconds <= 2.5, qPrintable(QString::number(seconds)));

    qint16 lowest = 0, highest = 0;
    for (const qint16 v : w.samples) {
        lowest = qMin(lowest, v);
        highest = qMax(highest, v);
    }
    // Normalised with headroom: never at full scale, yet not faint.
    QVERIFY2(highest < 32000 && lowest > -32000, "clipped or no headroom");
    QVERIFY2(qMax(int(highest), -int(lowest)) > 16000, "not normalised");
    QVERIFY2(rms(w.samples, 0, w.samples.size()) > 0.03 * 32767, "too quiet");
    // Faded ends: no click when playback starts or stops.
    QVERIFY(std::abs(w.samples.first()) < 300);
    QVERIFY(std::abs(w.samples.last()) < 300);
}

void TstMakeSounds::soundsAreDistinctAndReproducible() {
    const std::vector<qz::synth::Sound> sounds = qz::synth::makeSounds();
    const std::vector<qz::synth::Sound> again = qz::synth::makeSounds();
    QCOMPARE(again.size(), sounds.size());
    for (std::size_t i = 0; i < sounds.size(); ++i)
        QVERIFY2(again[i].samples == sounds[i].samples, sounds[i].fileName.c_str());

    // Not merely different lengths or levels of one sound: correlation over the common part.
    for (std::size_t i = 0; i < sounds.size(); ++i) {
        for (std::size_t j = i + 1; j < sounds.size(); ++j) {
            const auto& a = sounds[i].samples;
            const auto& b = sounds[j].samples;
            const std::size_t n = std::min(a.size(), b.size());
            double ab = 0.0, aa = 0.0, bb = 0.0;
            for (std::size_t k = 0; k < n; ++k) {
                ab += double(a[k]) * b[k];
                aa += double(a[k]) * a[k];
                bb += double(b[k]) * b[k];
            }
            const double correlation = ab / std::sqrt(aa * bb);
            QVERIFY2(std::abs(correlation) < 0.5,
                     (sounds[i].fileName + " ~ " + sounds[j].fileName).c_str());
        }
    }
}

void TstMakeSounds::soundsFitTheirNames() {
    const QString templeBell = QString::fromUtf16(u"\u9418.WAV");
    const QString siren = QString::fromUtf16(u"\uFF7B\uFF72\uFF9A\uFF9D.WAV");
    QVERIFY(m_waves.contains(templeBell) && m_waves.contains(siren));

    // The temple bell is the lowest sound of all and dies away.
    const QList<qint16>& bell = m_waves[templeBell].samples;
    const double bellPitch = crossingsPerSecond(bell, 0, bell.size());
    for (auto it = m_waves.cbegin(); it != m_waves.cend(); ++it)
        if (it.key() != templeBell)
            QVERIFY2(crossingsPerSecond(it->samples, 0, it->samples.size()) > bellPitch,
                     qPrintable(it.key()));
    const qsizetype third = bell.size() / 3;
    QVERIFY(rms(bell, 2 * third, bell.size()) < rms(bell, 0, third) / 2);

    // The siren's pitch sweeps: over 50 ms windows it spans well over a ratio of 1.5.
    const QList<qint16>& wail = m_waves[siren].samples;
    const qsizetype window = 22050 / 20;
    double low = 1e9, high = 0.0;
    for (qsizetype at = window; at + 2 * window < wail.size(); at += window) {
        const double pitch = crossingsPerSecond(wail, at, at + window);
        low = qMin(low, pitch);
        high = qMax(high, pitch);
    }
    QVERIFY2(high > 1.5 * low, qPrintable(QStringLiteral("%1 .. %2").arg(low).arg(high)));
}

void TstMakeSounds::encoderWritesGivenRateAndLittleEndianSamples() {
    const std::vector<std::int16_t> samples = {0, 1, -1, 258, 32767, -32768};
    const std::vector<std::uint8_t> bytes = qz::synth::encodeWave(samples, 8000);
    const QByteArray raw(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    const Wave w = parseWave(raw);
    QVERIFY2(w.problem.isEmpty(), qPrintable(w.problem));
    QCOMPARE(w.rate, quint32(8000));
    QCOMPARE(w.byteRate, quint32(16000));
    QCOMPARE(w.samples.size(), qsizetype(samples.size()));
    for (std::size_t i = 0; i < samples.size(); ++i)
        QCOMPARE(w.samples[qsizetype(i)], samples[i]);
    // Byte order is little-endian whatever the host's.
    const qsizetype dataStart = raw.size() - qsizetype(2 * samples.size());
    QCOMPARE(quint8(raw[dataStart + 6]), quint8(258 & 0xff));
    QCOMPARE(quint8(raw[dataStart + 7]), quint8(258 >> 8));
}

void TstMakeSounds::reportsAFolderThatCannotBeCreated() {
    QFile blocker(m_dir.filePath(QStringLiteral("plain-file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    std::string error;
    const QString folder = m_dir.filePath(QStringLiteral("plain-file/bin"));
    QVERIFY(!qz::synth::writeSounds(folder.toStdU16String(), &error));
    QVERIFY(!error.empty());
}

QTEST_GUILESS_MAIN(TstMakeSounds)
#include "tst_make_sounds.moc"
