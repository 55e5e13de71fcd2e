// SPDX-License-Identifier: MIT
#pragma once

#include "pcm_mixer.h"

#include <memory>

class QIODevice;

namespace qz {

// One open stream to the audio device, pulling from a source until it is destroyed.
class AudioStream {
  public:
    virtual ~AudioStream() = default;
    // Starts pulling from `source`, which must outlive the stream. False when the device
    // refuses.
    virtual bool start(QIODevice* source) = 0;
    // True once the device has given up on the stream (the sound server went away): it
    // will not take sound again, and a new stream is needed.
    virtual bool failed() const { return false; }
};

// The audio device, as the audio module offers it.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // A stream to the default output device, and the format it wants; nothing when there is
    // no device.
    virtual std::unique_ptr<AudioStream> open(PcmFormat& format) = 0;
    // A stream failed or found no device: whatever the output keeps of its connection to the
    // sound server may be dead, so the next open starts from nothing.
    virtual void recover() {}
};

// The audio module's only entry point: its AudioOutput, which lives as long as the module is
// loaded.
using AudioOutputEntry = AudioOutput* (*)();
inline constexpr const char* kAudioOutputEntry = "qz_audio_output";
inline constexpr const char* kAudioModuleName = "qz_audio";

} // namespace qz
