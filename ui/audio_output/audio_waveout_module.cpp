// SPDX-License-Identifier: MIT
// The audio module on Windows: the mixed sound goes to the system's wave output (waveOut), so
// the Windows build needs no multimedia library of Qt's. The program loads it on the first ring
// or preview, as on Linux.
#include "audio/audio_output.h"

#include <QIODevice>
#include <QTimer>
#include <QtGlobal>

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <vector>

namespace qz {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr int kBytesPerFrame = kChannels * 2;
// A second queued, as with the sound server on Linux: a machine that holds this process up for
// about half of it does not break the ring. Ten blocks, so the queue is topped up in steps of a
// tenth and a sound that starts is heard after at most that second.
constexpr int kBlocks = 10;
constexpr int kBlockFrames = kRate / kBlocks;
// The feeding runs on the program's thread, like the pull of Qt's own audio output.
constexpr int kFeedMs = 20;

class WaveOutStream final : public AudioStream {
  public:
    explicit WaveOutStream(HWAVEOUT handle) : m_handle(handle) {
        for (Block& b : m_blocks)
            b.data.resize(std::size_t(kBlockFrames) * kBytesPerFrame);
    }
    ~WaveOutStream() override {
        m_timer.stop();
        // Hands every queued block back, so each can be unprepared before the device closes.
        ::waveOutReset(m_handle);
        for (Block& b : m_blocks)
            if (b.header.dwFlags & WHDR_PREPARED)
                ::waveOutUnprepareHeader(m_handle, &b.header, sizeof(WAVEHDR));
        ::waveOutClose(m_handle);
    }
    WaveOutStream(const WaveOutStream&) = delete;
    WaveOutStream& operator=(const WaveOutStream&) = delete;

    bool start(QIODevice* source) override {
        m_source = source;
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { feed(); });
        m_timer.start(kFeedMs);
        feed();
        return !m_failed;
    }
    bool failed() const override { return m_failed; }

  private:
    struct Block {
        WAVEHDR header{};
        std::vector<char> data;
    };

    // Every block the device has played (or never had) is filled from the mixer and queued
    // again; the device plays them in the order they were queued.
    void feed() {
        for (Block& b : m_blocks) {
            if (m_failed) return;
            const bool prepared = b.header.dwFlags & WHDR_PREPARED;
            if (prepared && !(b.header.dwFlags & WHDR_DONE)) continue;
            if (prepared) ::waveOutUnprepareHeader(m_handle, &b.header, sizeof(WAVEHDR));
            const qint64 got = m_source->read(b.data.data(), qint64(b.data.size()));
            if (got <= 0) return;
            b.header = WAVEHDR{};
            b.header.lpData = b.data.data();
            b.header.dwBufferLength = DWORD(got);
            // A device that was unplugged or a service that stopped refuses the block: the
            // player then opens a new stream on whatever device is there now.
            if (::waveOutPrepareHeader(m_handle, &b.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR ||
                ::waveOutWrite(m_handle, &b.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
                m_failed = true;
        }
    }

    HWAVEOUT m_handle;
    std::array<Block, kBlocks> m_blocks;
    QIODevice* m_source = nullptr;
    QTimer m_timer;
    bool m_failed = false;
};

class WaveOutOutput final : public AudioOutput {
  public:
    std::unique_ptr<AudioStream> open(PcmFormat& format) override {
        WAVEFORMATEX wfx{};
        wfx.wFormatTag = WAVE_FORMAT_PCM;
        wfx.nChannels = kChannels;
        wfx.nSamplesPerSec = kRate;
        wfx.wBitsPerSample = 16;
        wfx.nBlockAlign = kBytesPerFrame;
        wfx.nAvgBytesPerSec = kRate * kBytesPerFrame;
        HWAVEOUT handle = nullptr;
        // The wave mapper is the device the user chose as the default, and converts for it.
        if (::waveOutOpen(&handle, WAVE_MAPPER, &wfx, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR)
            return nullptr;
        format.rate = kRate;
        format.channels = kChannels;
        format.sample = PcmFormat::Sample::Int16;
        return std::make_unique<WaveOutStream>(handle);
    }
};

} // namespace
} // namespace qz

extern "C" Q_DECL_EXPORT qz::AudioOutput* qz_audio_output() {
    static qz::WaveOutOutput output;
    return &output;
}
