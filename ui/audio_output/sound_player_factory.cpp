// SPDX-License-Identifier: MIT
#include "sound_player_factory.h"

#include "audio/audio_output.h"
#include "audio/mixing_sound_player.h"
#include "ui/loadable_module.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <map>

namespace qz {

namespace {

// Counts the streams alive, so that the module is never let go under one.
class CountedStream final : public AudioStream {
  public:
    CountedStream(std::unique_ptr<AudioStream> stream, int& alive)
        : m_stream(std::move(stream)), m_alive(alive) {
        ++m_alive;
    }
    ~CountedStream() override {
        m_stream.reset();
        --m_alive;
    }
    CountedStream(const CountedStream&) = delete;
    CountedStream& operator=(const CountedStream&) = delete;
    bool start(QIODevice* source) override { return m_stream->start(source); }
    bool failed() const override { return m_stream->failed(); }

  private:
    std::unique_ptr<AudioStream> m_stream;
    int& m_alive;
};

// Stands for the audio module until a sound is first due, then loads it. Qt's sound-server
// connection is process-wide and, once the server has gone away for a few seconds, never
// comes back; so when a stream fails or no device is found the module is let go with the
// multimedia library behind it and loaded afresh at the next open, which connects anew.
class ModuleAudioOutput final : public AudioOutput {
  public:
    explicit ModuleAudioOutput(const QString& folder) : m_module(folder, kAudioModuleName) {}

    // Reloading costs a few milliseconds; a ring asks every 100 ms while the server is away.
    static constexpr int kReloadEveryMs = 500;

    std::unique_ptr<AudioStream> open(PcmFormat& format) override {
        if (m_stale && m_alive == 0 && m_loadedAt.isValid() &&
            m_loadedAt.elapsed() >= kReloadEveryMs) {
            m_output = nullptr;
            m_module.unload();
            m_loadedAt.invalidate();
        }
        if (!m_output && !m_missing) {
            QString error;
            if (auto entry = reinterpret_cast<AudioOutputEntry>(
                    m_module.resolve(kAudioOutputEntry, &error))) {
                m_output = entry();
                m_loadedAt.start();
                m_stale = false;
            } else {
                // Not there now, not there later: the platform beep for the rest of the run.
                m_missing = true;
                qWarning("qztimer: no audio module (%s); sounds use the platform beep",
                         qPrintable(error));
            }
        }
        if (!m_output) return nullptr;
        std::unique_ptr<AudioStream> stream = m_output->open(format);
        if (!stream) return nullptr;
        return std::make_unique<CountedStream>(std::move(stream), m_alive);
    }

    void recover() override { m_stale = true; }

  private:
    ReloadableModule m_module;
    AudioOutput* m_output = nullptr;
    bool m_missing = false;
    bool m_stale = false;
    int m_alive = 0;
    QElapsedTimer m_loadedAt;
};

ModuleAudioOutput& moduleOutput(const QString& folder) {
    // One per module folder; in practice the program has one.
    static std::map<QString, std::unique_ptr<ModuleAudioOutput>> outputs;
    auto& o = outputs[folder];
    if (!o) o = std::make_unique<ModuleAudioOutput>(folder);
    return *o;
}

} // namespace

QtSoundPlayerFactory::QtSoundPlayerFactory(QString programFolder)
    : m_folder(std::move(programFolder)) {}

std::unique_ptr<SoundPlayer> QtSoundPlayerFactory::createPlayer() {
    const QString folder =
        m_folder.isEmpty() ? QCoreApplication::applicationDirPath() : QDir::cleanPath(m_folder);
    return std::make_unique<MixingSoundPlayer>(&moduleOutput(folder), folder,
                                               [] { QApplication::beep(); });
}

} // namespace qz
