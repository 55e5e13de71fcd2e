// SPDX-License-Identifier: MIT
#pragma once

#include "audio/sound_player.h"
#include "pcm_mixer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

namespace qz {

class AudioOutput;
class AudioStream;

// The real player. Waves are decoded once into the player's own mixer, which feeds one
// audio stream; the stream is opened by the first request of a ring and closed when the
// mixer has been silent for a while, so each ring gets a fresh stream and no platform object
// is asked whether it is still playing.
//
// A request for the wave that is sounding lets it sound on (rings repeat their request every
// 100 ms); other waves join it. A wave that cannot be found or read rings with the beep, at
// the pace of a beep-only row. Without an audio output (no module, no device) the platform's
// own beep stands in. A stream the sound server dropped is replaced at the next request, so a
// ring goes on once the server is back.
class MixingSoundPlayer final : public SoundPlayer {
  public:
    // `output` may be null (no audio module); it must outlive the player. `platformBeep` is
    // the system's own beep, for when there is no output; none by default.
    MixingSoundPlayer(AudioOutput* output, QString programFolder,
                      std::function<void()> platformBeep = {});
    ~MixingSoundPlayer() override;
    MixingSoundPlayer(const MixingSoundPlayer&) = delete;
    MixingSoundPlayer& operator=(const MixingSoundPlayer&) = delete;

    void beep() override;

    bool isStreamOpen() const { return m_stream != nullptr; }
    int streamsOpened() const { return m_streamsOpened; }
    PcmMixer& mixer() { return m_mixer; }
    // Closes the stream when it has been silent this long, and drops it when the output
    // reported a failure or stopped pulling for this long, so that the next request opens a
    // new one (after a failure, on an output told to start afresh).
    static constexpr int kCloseAfterSilentMs = 2000;
    static constexpr int kStalledMs = 2000;
    static constexpr int kStartingMs = 3000; // the same for a stream this young
    static constexpr int kFallbackBeepMs = 800;
    static constexpr int kWatchMs = 250;
    // Checks the stream once; the player's own timer calls it while the stream is open.
    void checkStream();

  protected:
    void issueSound(const QString& path) override;

  private:
    struct Cached {
        QDateTime modified;
        qint64 size = -1;
        std::shared_ptr<const PcmClip> clip; // null: not playable
    };
    std::shared_ptr<const PcmClip> clipFor(const QString& path);
    bool ensureStream();
    bool stalled() const;
    void closeStream();
    void dropStream(bool serverLost);
    void fallbackBeep();
    void platformBeep();

    AudioOutput* m_output = nullptr;
    QString m_programFolder;
    std::function<void()> m_platformBeep;
    std::map<QString, Cached> m_clips;
    // Declared before the stream: the stream pulls from the mixer until it is destroyed.
    PcmMixer m_mixer;
    std::unique_ptr<AudioStream> m_stream;
    QTimer m_watch;
    QElapsedTimer m_lastFallbackBeep;
    QElapsedTimer m_streamOpened;
    QElapsedTimer m_lastCheck;
    int m_streamsOpened = 0;
};

} // namespace qz
