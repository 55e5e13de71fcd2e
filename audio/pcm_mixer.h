// SPDX-License-Identifier: MIT
#pragma once

#include "pcm_clip.h"

#include <QElapsedTimer>
#include <QIODevice>
#include <QMutex>
#include <QString>
#include <memory>
#include <vector>

namespace qz {

// The sample layout an audio output asks for.
struct PcmFormat {
    enum class Sample { Int16, Float };
    int rate = 44100;
    int channels = 2;
    Sample sample = Sample::Int16;
    int bytesPerFrame() const {
        return channels * (sample == Sample::Int16 ? int(sizeof(qint16)) : int(sizeof(float)));
    }
};

// The endless stream an audio output pulls from: the clips now sounding, mixed, converted to
// the output's rate and channels, and silence when nothing sounds. Because it never runs dry
// the output never stops on its own; whether a sound is still playing is known here, from
// what was handed out, not from the platform's idea of its state.
class PcmMixer final : public QIODevice {
  public:
    PcmMixer() = default;
    PcmMixer(const PcmMixer&) = delete;
    PcmMixer& operator=(const PcmMixer&) = delete;

    void setFormat(const PcmFormat& format);
    PcmFormat format() const;

    // Starts `clip` from its beginning under `key`, replacing a voice of the same key.
    void start(const QString& key, std::shared_ptr<const PcmClip> clip);
    bool isSounding(const QString& key) const;
    bool isSilent() const;
    void stopAll();
    // Milliseconds since the output last pulled, and since the last voice ended (or since
    // the mixer was reset while silent).
    qint64 msSinceLastPull() const;
    qint64 msSilent() const;
    void resetClocks();

    // Several voices together are held below full scale by a limiter with this ceiling; a
    // single voice passes unchanged, however loud it is.
    static constexpr float kCeiling = 29205.0f; // -1 dBFS
    // How fast the limiter gives its gain back once the mix is below the ceiling again.
    static constexpr int kReleaseMs = 150;

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    struct Voice {
        QString key;
        std::shared_ptr<const PcmClip> clip;
        double position = 0; // in the clip's frames
    };
    // Returns how many voices sounded in the block.
    int mixInto(float* mix, qint64 frames);
    void limit(float* mix, qint64 frames, int voices);

    mutable QMutex m_mutex;
    PcmFormat m_format;
    std::vector<Voice> m_voices;
    std::vector<float> m_mix;
    float m_gain = 1.0f; // the limiter's
    QElapsedTimer m_lastPull;
    QElapsedTimer m_silentSince;
};

} // namespace qz
