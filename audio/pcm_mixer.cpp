// SPDX-License-Identifier: MIT
#include "pcm_mixer.h"

#include <QMutexLocker>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace qz {

void PcmMixer::setFormat(const PcmFormat& format) {
    QMutexLocker lock(&m_mutex);
    m_format = format;
    m_format.rate = std::max(1000, format.rate);
    m_format.channels = std::max(1, format.channels);
}

PcmFormat PcmMixer::format() const {
    QMutexLocker lock(&m_mutex);
    return m_format;
}

void PcmMixer::start(const QString& key, std::shared_ptr<const PcmClip> clip) {
    if (!clip || clip->frames() <= 0) return;
    QMutexLocker lock(&m_mutex);
    auto it = std::find_if(m_voices.begin(), m_voices.end(),
                           [&key](const Voice& v) { return v.key == key; });
    if (it == m_voices.end())
        m_voices.push_back({key, std::move(clip), 0});
    else
        *it = {key, std::move(clip), 0};
}

bool PcmMixer::isSounding(const QString& key) const {
    QMutexLocker lock(&m_mutex);
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [&key](const Voice& v) { return v.key == key; });
}

bool PcmMixer::isSilent() const {
    QMutexLocker lock(&m_mutex);
    return m_voices.empty();
}

void PcmMixer::stopAll() {
    QMutexLocker lock(&m_mutex);
    m_voices.clear();
    m_gain = 1.0f;
    m_silentSince.start();
}

qint64 PcmMixer::msSinceLastPull() const {
    QMutexLocker lock(&m_mutex);
    return m_lastPull.isValid() ? m_lastPull.elapsed() : 0;
}

qint64 PcmMixer::msSilent() const {
    QMutexLocker lock(&m_mutex);
    if (!m_voices.empty()) return 0;
    return m_silentSince.isValid() ? m_silentSince.elapsed() : 0;
}

void PcmMixer::resetClocks() {
    QMutexLocker lock(&m_mutex);
    m_lastPull.start();
    m_silentSince.start();
}

qint64 PcmMixer::bytesAvailable() const {
    // Endless: always a good second's worth, so an output never sees the end of its source.
    QMutexLocker lock(&m_mutex);
    return qint64(m_format.rate) * m_format.bytesPerFrame() + QIODevice::bytesAvailable();
}

int PcmMixer::mixInto(float* mix, qint64 frames) {
    const int outChannels = m_format.channels;
    std::fill(mix, mix + frames * outChannels, 0.0f);
    const int voices = int(m_voices.size());
    for (auto it = m_voices.begin(); it != m_voices.end();) {
        const PcmClip& clip = *it->clip;
        const qint64 clipFrames = clip.frames();
        const double step = double(clip.rate) / m_format.rate;
        double pos = it->position;
        const qint16* s = clip.samples.data();
        const int inChannels = clip.channels;
        for (qint64 f = 0; f < frames && pos < clipFrames; ++f, pos += step) {
            // Linear interpolation between the two nearest frames of the clip.
            const auto i0 = qint64(pos);
            const qint64 i1 = std::min(i0 + 1, clipFrames - 1);
            const float frac = float(pos - double(i0));
            float* out = mix + f * outChannels;
            if (outChannels == 1) {
                float sum = 0;
                for (int c = 0; c < inChannels; ++c) {
                    const float a = s[i0 * inChannels + c];
                    sum += a + (float(s[i1 * inChannels + c]) - a) * frac;
                }
                out[0] += sum / float(inChannels);
                continue;
            }
            for (int c = 0; c < outChannels; ++c) {
                const int from = std::min(c, inChannels - 1);
                const float a = s[i0 * inChannels + from];
                out[c] += a + (float(s[i1 * inChannels + from]) - a) * frac;
            }
        }
        it->position = pos;
        if (pos >= double(clipFrames)) {
            it = m_voices.erase(it);
            if (m_voices.empty()) m_silentSince.start();
        } else {
            ++it;
        }
    }
    return voices;
}

void PcmMixer::limit(float* mix, qint64 frames, int voices) {
    const int channels = m_format.channels;
    // A lone voice is a clip's own samples and cannot go past full scale: leave it as it
    // was recorded. Rows ringing together would add up to hard clipping instead; the gain
    // drops at once to the level that keeps the loudest frame at the ceiling and comes back
    // smoothly, so the mix stays clean and no quieter than it has to be.
    const float release = 1.0f / (float(m_format.rate) * kReleaseMs / 1000.0f);
    if (voices < 2 && m_gain >= 1.0f) return;
    for (qint64 f = 0; f < frames; ++f) {
        float* frame = mix + f * channels;
        float peak = 0;
        for (int c = 0; c < channels; ++c)
            peak = std::max(peak, std::abs(frame[c]));
        const float needed = voices >= 2 && peak > kCeiling ? kCeiling / peak : 1.0f;
        m_gain = needed < m_gain ? needed : std::min(needed, m_gain + release);
        if (m_gain < 1.0f)
            for (int c = 0; c < channels; ++c)
                frame[c] *= m_gain;
    }
}

qint64 PcmMixer::readData(char* data, qint64 maxSize) {
    QMutexLocker lock(&m_mutex);
    m_lastPull.start();
    const int frameBytes = m_format.bytesPerFrame();
    const qint64 frames = maxSize / frameBytes;
    if (frames <= 0) return 0;
    const qint64 values = frames * m_format.channels;
    if (qint64(m_mix.size()) < values) m_mix.resize(std::size_t(values));
    limit(m_mix.data(), frames, mixInto(m_mix.data(), frames));
    if (m_format.sample == PcmFormat::Sample::Float) {
        auto* out = reinterpret_cast<float*>(data);
        for (qint64 i = 0; i < values; ++i)
            out[i] = std::clamp(m_mix[std::size_t(i)] / 32768.0f, -1.0f, 1.0f);
    } else {
        for (qint64 i = 0; i < values; ++i) {
            const auto v = qint16(std::clamp(m_mix[std::size_t(i)], -32768.0f, 32767.0f));
            std::memcpy(data + i * 2, &v, 2);
        }
    }
    return frames * frameBytes;
}

} // namespace qz
