// SPDX-License-Identifier: MIT
#pragma once

#include "audio/sound_player.h"

#include <QString>
#include <memory>

namespace qz {

// Real back end. The audio module (the only code linking Qt Multimedia) is loaded from the
// program folder on the first request of the first ring, so windows that never ring never
// map the audio libraries; without it every sound is the platform's beep.
class QtSoundPlayerFactory final : public SoundPlayerFactory {
  public:
    // `programFolder`: where stored wave names are looked up and the module lies; the
    // executable's folder when empty.
    explicit QtSoundPlayerFactory(QString programFolder = {});
    std::unique_ptr<SoundPlayer> createPlayer() override;

  private:
    QString m_folder;
};

} // namespace qz
