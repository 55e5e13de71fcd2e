#include "sound_player.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <QtEndian>
#include <cmath>
#include <map>

namespace qz {

namespace {

// A short two-tone chirp of our own: the X bell is silent on most Linux desktops, so the beep
// goes through the audio device like every other sound.
QByteArray beepPcm(const QAudioFormat& fmt) {
    const int rate = fmt.sampleRate();
    const int channels = fmt.channelCount();
    const int frames = rate * 150 / 1000;
    QByteArray pcm(frames * channels * int(sizeof(qint16)), Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(pcm.data());
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double freq = i < frames / 2 ? 1000.0 : 1320.0;
        const double fade = std::min({1.0, i / (rate * 0.005), (frames - i) / (rate * 0.005)});
        const auto v = qint16(std::sin(2 * M_PI * freq * t) * 9000 * fade);
        for (int c = 0; c < channels; ++c)
            *out++ = v;
    }
    return pcm;
}

class QtSoundPlayer final : public SoundPlayer {
public:
    void beep() override {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            QApplication::beep();
            return;
        }
        if (!m_beepSink || m_beepDevice != device) {
            QAudioFormat fmt;
            fmt.setSampleRate(22050);
            fmt.setChannelCount(1);
            fmt.setSampleFormat(QAudioFormat::Int16);
            if (!device.isFormatSupported(fmt))
                fmt = device.preferredFormat();
            if (fmt.sampleFormat() != QAudioFormat::Int16) {
                QApplication::beep();
                return;
            }
            m_beepSink = std::make_unique<QAudioSink>(device, fmt);
            m_beepDevice = device;
            m_beepData = beepPcm(fmt);
        }
        m_beepSink->stop();
        m_beepBuffer = std::make_unique<QBuffer>();
        m_beepBuffer->setData(m_beepData);
        m_beepBuffer->open(QIODevice::ReadOnly);
        m_beepSink->start(m_beepBuffer.get());
    }

protected:
    void issueSound(const QString& path) override {
        if (path.isEmpty() || !QFileInfo(path).isFile())
            return;
        auto& effect = m_effects[path];
        if (!effect) {
            effect = std::make_unique<QSoundEffect>();
            effect->setSource(QUrl::fromLocalFile(path));
        }
        // Rings repeat their request every few hundred milliseconds; a wave that is still
        // playing plays on, so the alarm sounds continuously instead of stuttering.
        if (effect->isPlaying())
            return;
        effect->play();
    }

private:
    std::map<QString, std::unique_ptr<QSoundEffect>> m_effects;
    std::unique_ptr<QAudioSink> m_beepSink;
    std::unique_ptr<QBuffer> m_beepBuffer;
    QAudioDevice m_beepDevice;
    QByteArray m_beepData;
};

} // namespace

std::unique_ptr<SoundPlayer> QtSoundPlayerFactory::createPlayer() {
    return std::make_unique<QtSoundPlayer>();
}

} // namespace qz
