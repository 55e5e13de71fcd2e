// SPDX-License-Identifier: MIT
// The audio module: the only code that links Qt Multimedia. The program loads it on the first
// ring or preview, so windows that never sound never map the audio libraries.
#include "audio/audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QtGlobal>

namespace qz {
namespace {

class SinkStream final : public AudioStream {
  public:
    SinkStream(const QAudioDevice& device, const QAudioFormat& format) : m_sink(device, format) {
        // A second, which the server splits between its own latency and what it queues of
        // the stream: a busy machine may hold this process or the server up for about half
        // of it without the ring breaking. A sound that joins one already playing is heard
        // that much later, which an alarm can afford.
        m_sink.setBufferSize(format.bytesForDuration(1'000'000));
    }
    ~SinkStream() override { m_sink.stop(); }
    SinkStream(const SinkStream&) = delete;
    SinkStream& operator=(const SinkStream&) = delete;

    bool start(QIODevice* source) override {
        m_sink.start(source);
        return m_sink.error() == QAudio::NoError;
    }
    bool failed() const override {
        // An endless source never underruns; any other error means the server dropped us.
        const QAudio::Error e = m_sink.error();
        return e != QAudio::NoError && e != QAudio::UnderrunError;
    }

  private:
    QAudioSink m_sink;
};

class SinkOutput final : public AudioOutput {
  public:
    std::unique_ptr<AudioStream> open(PcmFormat& format) override {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return nullptr;
        QAudioFormat fmt;
        fmt.setSampleRate(44100);
        fmt.setChannelCount(2);
        fmt.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(fmt)) {
            const QAudioFormat preferred = device.preferredFormat();
            fmt.setSampleRate(preferred.sampleRate());
            fmt.setChannelCount(std::min(2, preferred.channelCount()));
            if (!device.isFormatSupported(fmt)) fmt.setSampleFormat(QAudioFormat::Float);
            if (!device.isFormatSupported(fmt)) return nullptr;
        }
        format.rate = fmt.sampleRate();
        format.channels = fmt.channelCount();
        format.sample = fmt.sampleFormat() == QAudioFormat::Float ? PcmFormat::Sample::Float
                                                                  : PcmFormat::Sample::Int16;
        return std::make_unique<SinkStream>(device, fmt);
    }
};

} // namespace
} // namespace qz

extern "C" Q_DECL_EXPORT qz::AudioOutput* qz_audio_output() {
    static qz::SinkOutput output;
    return &output;
}
