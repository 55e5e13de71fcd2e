// SPDX-License-Identifier: MIT
#include "sound_player.h"

#include "audio_output.h"
#include "loadable_module.h"
#include "mixing_sound_player.h"

#include <QCoreApplication>
#include <QDir>

namespace qz {

namespace {

// Stands for the audio module until a sound is first due, then loads it once per process.
class ModuleAudioOutput final : public AudioOutput {
  public:
    explicit ModuleAudioOutput(QString folder) : m_folder(std::move(folder)) {}

    std::unique_ptr<AudioStream> open(PcmFormat& format) override {
        if (!m_loaded) {
            m_loaded = true;
            QString error;
            if (auto entry = reinterpret_cast<AudioOutputEntry>(
                    resolveModuleEntry(m_folder, kAudioModuleName, kAudioOutputEntry, &error)))
                m_output = entry();
            else
                qWarning("qztimer: no audio module (%s); sounds use the platform beep",
                         qPrintable(error));
        }
        return m_output ? m_output->open(format) : nullptr;
    }

  private:
    QString m_folder;
    bool m_loaded = false;
    AudioOutput* m_output = nullptr;
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
    return std::make_unique<MixingSoundPlayer>(&moduleOutput(folder), folder);
}

} // namespace qz
