// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace qz {

// One per ringing window. Requests return at once and the sound plays on asynchronously;
// a wave that is missing or cannot be played rings with the beep.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;

    QString fileName() const { return m_fileName; }
    void setFileName(const QString& path) { m_fileName = path; }
    // The "SOUND" command: play the current file name.
    void sound() { issueSound(m_fileName); }
    void playWave(const QString& path) {
        setFileName(path);
        sound();
    }
    // Play a file, or beep when the path is empty (a beep-only sound source).
    void playSource(const QString& wavePath) {
        if (wavePath.isEmpty())
            beep();
        else
            playWave(wavePath);
    }
    virtual void beep() = 0;

  protected:
    virtual void issueSound(const QString& path) = 0;

  private:
    QString m_fileName;
};

class SoundPlayerFactory {
  public:
    virtual ~SoundPlayerFactory() = default;
    virtual std::unique_ptr<SoundPlayer> createPlayer() = 0;
};

} // namespace qz
