// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;

namespace qz {

// A sound decoded once and kept in memory: interleaved signed 16-bit samples at the rate and
// channel count of its file.
struct PcmClip {
    int rate = 0;
    int channels = 0;
    std::vector<qint16> samples;
    qint64 frames() const { return channels > 0 ? qint64(samples.size()) / channels : 0; }
    qint64 durationMs() const { return rate > 0 ? frames() * 1000 / rate : 0; }
};

// Reads a RIFF/WAVE file of linear PCM (8-bit unsigned, 16/24/32-bit integer, 32/64-bit
// float, plain or extensible header). Anything else, a damaged header or a file without a
// single frame gives nothing, so the caller can ring with the beep instead. At most
// `maxSeconds` of audio are read: no ring lasts longer.
std::optional<PcmClip> decodeWave(QIODevice& in, int maxSeconds = 600);
std::optional<PcmClip> decodeWaveFile(const QString& path, int maxSeconds = 600);

// The program's own beep: a short two-tone chirp, since the X bell is silent on most Linux
// desktops.
std::shared_ptr<const PcmClip> beepClip();

// Where a stored wave path is found on this computer: the path itself when the file is
// there; otherwise a file of the same name in the program folder (sources stored on another
// computer or before the program moved), whatever the letter case. Empty when neither exists.
QString locateWave(const QString& path, const QString& programFolder);

} // namespace qz
