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
};

// The audio device, as the audio module offers it.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // A stream to the default output device, and the format it wants; nothing when there is
    // no device.
    virtual std::unique_ptr<AudioStream> open(PcmFormat& format) = 0;
};

// The audio module's only entry point: a process-wide AudioOutput that lives as long as the
// process.
using AudioOutputEntry = AudioOutput* (*)();
inline constexpr const char* kAudioOutputEntry = "qz_audio_output";
inline constexpr const char* kAudioModuleName = "qz_audio";

} // namespace qz
