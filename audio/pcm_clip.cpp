// SPDX-License-Identifier: MIT
#include "pcm_clip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace qz {

namespace {

enum class SampleKind { Unsigned8, Int, Float };

struct WaveFormat {
    SampleKind kind = SampleKind::Int;
    int bits = 0;
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
};

std::optional<WaveFormat> parseFormat(const QByteArray& fmt) {
    if (fmt.size() < 16) return std::nullopt;
    const auto* p = reinterpret_cast<const uchar*>(fmt.constData());
    quint16 tag = qFromLittleEndian<quint16>(p);
    WaveFormat f;
    f.channels = qFromLittleEndian<quint16>(p + 2);
    f.rate = int(std::min<quint32>(qFromLittleEndian<quint32>(p + 4), 1'000'000));
    f.blockAlign = qFromLittleEndian<quint16>(p + 12);
    f.bits = qFromLittleEndian<quint16>(p + 14);
    constexpr quint16 kExtensible = 0xFFFE;
    if (tag == kExtensible) {
        // The sub-format GUID starts with the plain format tag.
        if (fmt.size() < 26) return std::nullopt;
        tag = qFromLittleEndian<quint16>(p + 24);
    }
    if (tag == 1)
        f.kind = f.bits == 8 ? SampleKind::Unsigned8 : SampleKind::Int;
    else if (tag == 3)
        f.kind = SampleKind::Float;
    else
        return std::nullopt;
    const bool bitsOk = f.kind == SampleKind::Float
                            ? (f.bits == 32 || f.bits == 64)
                            : (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    if (!bitsOk || f.channels < 1 || f.channels > 16 || f.rate < 1000 ||
        f.blockAlign != f.channels * f.bits / 8)
        return std::nullopt;
    return f;
}

qint16 toInt16(const uchar* s, const WaveFormat& f) {
    switch (f.kind) {
    case SampleKind::Unsigned8:
        return qint16((int(s[0]) - 128) << 8);
    case SampleKind::Float: {
        const double v =
            f.bits == 32 ? double(qFromLittleEndian<float>(s)) : qFromLittleEndian<double>(s);
        if (!std::isfinite(v)) return 0;
        return qint16(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
    }
    case SampleKind::Int:
        break;
    }
    // Integer samples: the top 16 bits (little-endian, so the last two bytes).
    const int bytes = f.bits / 8;
    return qint16(quint16(s[bytes - 2]) | quint16(s[bytes - 1]) << 8);
}

} // namespace

std::optional<PcmClip> decodeWave(QIODevice& in, int maxSeconds) {
    const QByteArray riff = in.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return std::nullopt;
    std::optional<WaveFormat> format;
    for (;;) {
        const QByteArray head = in.read(8);
        if (head.size() != 8) return std::nullopt;
        const QByteArray id = head.left(4);
        const quint32 size = qFromLittleEndian<quint32>(head.constData() + 4);
        if (id == "fmt ") {
            if (size > 4096) return std::nullopt;
            format = parseFormat(in.read(size));
            if (!format) return std::nullopt;
            if (size % 2) in.read(1);
            continue;
        }
        if (id == "data") {
            if (!format) return std::nullopt;
            // A writer that never came back to fill in the size leaves 0 or 0xFFFFFFFF:
            // take what the file holds.
            const qint64 wanted = std::min<qint64>(qint64(size) / format->blockAlign,
                                                   qint64(format->rate) * std::max(1, maxSeconds));
            const QByteArray data = in.read(wanted * format->blockAlign);
            const qint64 frames = data.size() / format->blockAlign;
            if (frames <= 0) return std::nullopt;
            PcmClip clip;
            clip.rate = format->rate;
            clip.channels = format->channels;
            clip.samples.resize(std::size_t(frames * format->channels));
            const auto* p = reinterpret_cast<const uchar*>(data.constData());
            const int step = format->bits / 8;
            for (std::size_t i = 0; i < clip.samples.size(); ++i)
                clip.samples[i] = toInt16(p + i * step, *format);
            return clip;
        }
        // Any other chunk (LIST, fact, cue ...) is skipped, with its pad byte.
        const qint64 skip = qint64(size) + (size % 2);
        if (!in.isSequential()) {
            if (in.pos() + skip > in.size() || !in.seek(in.pos() + skip)) return std::nullopt;
        } else if (in.read(skip).size() != skip) {
            return std::nullopt;
        }
    }
}

std::optional<PcmClip> decodeWaveFile(const QString& path, int maxSeconds) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return decodeWave(f, maxSeconds);
}

std::shared_ptr<const PcmClip> beepClip() {
    static const std::shared_ptr<const PcmClip> clip = [] {
        auto c = std::make_shared<PcmClip>();
        c->rate = 22050;
        c->channels = 1;
        const int frames = c->rate * 150 / 1000;
        c->samples.resize(std::size_t(frames));
        for (int i = 0; i < frames; ++i) {
            const double t = double(i) / c->rate;
            const double freq = i < frames / 2 ? 1000.0 : 1320.0;
            const double fade =
                std::min({1.0, i / (c->rate * 0.005), (frames - i) / (c->rate * 0.005)});
            c->samples[std::size_t(i)] = qint16(std::sin(2 * M_PI * freq * t) * 9000 * fade);
        }
        return std::shared_ptr<const PcmClip>(std::move(c));
    }();
    return clip;
}

QString locateWave(const QString& path, const QString& programFolder) {
    if (path.isEmpty()) return {};
    if (QFileInfo(path).isFile()) return path;
    // Stored paths may come from Windows: the name is after the last separator of either kind.
    const QString name = path.mid(std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/')) + 1);
    if (name.isEmpty() || programFolder.isEmpty()) return {};
    const QDir folder(programFolder);
    if (QFileInfo(folder.filePath(name)).isFile()) return folder.filePath(name);
    const QStringList all = folder.entryList(QDir::Files);
    for (const QString& candidate : all) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0) return folder.filePath(candidate);
    }
    return {};
}

} // namespace qz
