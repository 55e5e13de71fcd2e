// SPDX-License-Identifier: MIT
#include "mixing_sound_player.h"

#include "audio/audio_output.h"

#include <QFileInfo>

namespace qz {

namespace {
const QString kBeepKey = QStringLiteral("\x01beep");
}

MixingSoundPlayer::MixingSoundPlayer(AudioOutput* output, QString programFolder,
                                     std::function<void()> platformBeep)
    : m_output(output), m_programFolder(std::move(programFolder)),
      m_platformBeep(std::move(platformBeep)) {
    // Unbuffered: what was handed out is exactly what the output asked for, so the mixer knows
    // where each sound really is.
    m_mixer.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_watch.setInterval(kWatchMs);
    QObject::connect(&m_watch, &QTimer::timeout, [this] { checkStream(); });
}

MixingSoundPlayer::~MixingSoundPlayer() {
    m_watch.stop();
    closeStream();
}

void MixingSoundPlayer::beep() {
    if (!ensureStream()) {
        platformBeep();
        return;
    }
    m_mixer.start(kBeepKey, beepClip());
}

void MixingSoundPlayer::issueSound(const QString& path) {
    const QString found = locateWave(path, m_programFolder);
    if (found.isEmpty()) {
        fallbackBeep();
        return;
    }
    if (!ensureStream()) {
        fallbackBeep();
        return;
    }
    // Rings repeat their request every few hundred milliseconds: a wave still sounding
    // sounds on instead of stuttering back to its start.
    if (m_mixer.isSounding(found)) return;
    const std::shared_ptr<const PcmClip> clip = clipFor(found);
    if (!clip) {
        fallbackBeep();
        return;
    }
    m_mixer.start(found, clip);
}

std::shared_ptr<const PcmClip> MixingSoundPlayer::clipFor(const QString& path) {
    const QFileInfo info(path);
    Cached& c = m_clips[path];
    // A file replaced under the same name (the sound settings window) is decoded again.
    if (c.size != info.size() || c.modified != info.lastModified()) {
        c.size = info.size();
        c.modified = info.lastModified();
        std::optional<PcmClip> decoded = decodeWaveFile(path);
        c.clip = decoded ? std::make_shared<const PcmClip>(std::move(*decoded)) : nullptr;
    }
    return c.clip;
}

bool MixingSoundPlayer::ensureStream() {
    if (m_stream && m_stream->failed()) dropStream(true);
    if (m_stream) return true;
    if (!m_output) return false;
    PcmFormat format;
    std::unique_ptr<AudioStream> stream = m_output->open(format);
    if (!stream) {
        // No device may just mean a sound server that went away and came back since: the
        // output starts afresh, and the next request tries again.
        m_output->recover();
        return false;
    }
    m_mixer.setFormat(format);
    m_mixer.resetClocks();
    if (!stream->start(&m_mixer)) {
        stream.reset();
        m_output->recover();
        return false;
    }
    m_stream = std::move(stream);
    m_streamOpened.start();
    m_lastCheck.start();
    ++m_streamsOpened;
    m_watch.start();
    return true;
}

bool MixingSoundPlayer::stalled() const {
    // The platform may stop asking for sound without a word: do not trust it to resume. A
    // new connection's first stream may wait a second or two before it asks for more than
    // its first fill (a sound server settling its latency); replacing it then would only
    // start that wait over.
    const qint64 stalledAfter = m_streamOpened.elapsed() < kStartingMs ? kStartingMs : kStalledMs;
    return m_mixer.msSinceLastPull() > stalledAfter;
}

void MixingSoundPlayer::checkStream() {
    if (!m_stream) {
        m_watch.stop();
        return;
    }
    // A check that comes late means this process was not running (a busy machine), and the
    // output's feeding, which runs on the same thread, was held up with it: its silence says
    // nothing yet, and dropping it would cut the ring for nothing.
    const bool wasRunning = m_lastCheck.elapsed() < 2 * kWatchMs;
    m_lastCheck.start();
    if (m_stream->failed())
        dropStream(true); // the next request opens a fresh one
    else if (wasRunning && stalled())
        dropStream(false);
    else if (m_mixer.msSilent() >= kCloseAfterSilentMs)
        closeStream();
}

void MixingSoundPlayer::closeStream() {
    m_stream.reset();
    m_mixer.stopAll();
    m_watch.stop();
}

void MixingSoundPlayer::dropStream(bool serverLost) {
    closeStream();
    if (serverLost && m_output) m_output->recover();
}

void MixingSoundPlayer::fallbackBeep() {
    // A ring of an unplayable wave requests every 100 ms; beep like a beep-only row instead.
    if (m_lastFallbackBeep.isValid() && m_lastFallbackBeep.elapsed() < kFallbackBeepMs) return;
    m_lastFallbackBeep.start();
    beep();
}

void MixingSoundPlayer::platformBeep() {
    if (m_platformBeep) m_platformBeep();
}

} // namespace qz
