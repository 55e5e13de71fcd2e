// SPDX-License-Identifier: MIT
#pragma once

// Synthesises the wave files the program plays. Plain C++, no Qt, so it can run at build time.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace qz::synth {

inline constexpr int kSampleRate = 22050;

struct Sound {
    std::string fileName;              // UTF-8, exactly as the program looks it up
    std::vector<std::int16_t> samples; // mono, kSampleRate
};

// The ten sounds, normalised below full scale and faded in and out. The result is the same on
// every run, so rebuilding does not change the files.
std::vector<Sound> makeSounds();

// A complete RIFF/WAVE file holding 16-bit PCM mono samples.
std::vector<std::uint8_t> encodeWave(std::span<const std::int16_t> samples,
                                     int sampleRate = kSampleRate);

// Writes every sound of makeSounds() into folder, creating the folder when it is missing.
// Returns false and tells why in *error when a file cannot be written.
bool writeSounds(const std::filesystem::path& folder, std::string* error = nullptr);

} // namespace qz::synth
