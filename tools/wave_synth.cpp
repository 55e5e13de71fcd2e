// SPDX-License-Identifier: MIT
#include "wave_synth.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <system_error>

namespace qz::synth {
namespace {

constexpr double kRate = kSampleRate;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// Partials at or above this are left out: they would fold back as harsh aliases.
constexpr double kHighestPartial = 0.45 * kRate;
// Peak level after normalising, about -1 dBFS.
constexpr double kPeak = 0.89;

using Buffer = std::vector<double>;

std::size_t samplesFor(double seconds) {
    return static_cast<std::size_t>(std::lround(seconds * kRate));
}
double timeOf(std::size_t i) {
    return static_cast<double>(i) / kRate;
}

// The standard distributions differ between libraries; this sequence does not.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : m_state(seed) {}
    double next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state / 2147483647.5 - 1.0;
    }

  private:
    std::uint32_t m_state;
};

// Two-pole band-pass with a peak gain of one.
class BandPass {
  public:
    BandPass(double centre, double q) {
        const double w0 = kTwoPi * centre / kRate;
        const double alpha = std::sin(w0) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        m_b0 = alpha / a0;
        m_a1 = -2.0 * std::cos(w0) / a0;
        m_a2 = (1.0 - alpha) / a0;
    }
    double process(double x) {
        const double y = m_b0 * (x - m_x2) - m_a1 * m_y1 - m_a2 * m_y2;
        m_x2 = m_x1;
        m_x1 = x;
        m_y2 = m_y1;
        m_y1 = y;
        return y;
    }

  private:
    double m_b0, m_a1, m_a2;
    double m_x1 = 0.0, m_x2 = 0.0, m_y1 = 0.0, m_y2 = 0.0;
};

// 0 outside [0, length), linear ramps at both ends.
double burstEnvelope(double t, double length, double attack, double release) {
    if (t < 0.0 || t >= length) return 0.0;
    if (t < attack) return t / attack;
    if (t > length - release) return (length - t) / release;
    return 1.0;
}

struct Partial {
    double ratio; // frequency over the fundamental
    double amp;
    double decay; // seconds to fall to 1/e
};

struct Strike {
    double time;
    double strength;
};

// A struck resonator. Each partial rings with its own exponential decay; a strike feeds energy
// in over `attack` seconds, in phase with the ringing, so quick repeated strikes build up
// instead of cancelling each other.
void addStruck(Buffer& out, double fundamental, std::span<const Partial> partials,
               std::span<const Strike> strikes, double attack, double gain = 1.0) {
    const std::size_t n = partials.size();
    std::vector<double> env(n, 0.0), pending(n, 0.0), fall(n);
    for (std::size_t k = 0; k < n; ++k)
        fall[k] = std::exp(-1.0 / (partials[k].decay * kRate));
    const double feed = 1.0 - std::exp(-1.0 / (attack * kRate));
    std::size_t next = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = timeOf(i);
        for (; next < strikes.size() && strikes[next].time <= t; ++next)
            for (std::size_t k = 0; k < n; ++k)
                pending[k] += strikes[next].strength * partials[k].amp;
        double v = 0.0;
        for (std::size_t k = 0; k < n; ++k) {
            const double f = fundamental * partials[k].ratio;
            if (f >= kHighestPartial) continue;
            const double step = pending[k] * feed;
            pending[k] -= step;
            env[k] = (env[k] + step) * fall[k];
            // A different start phase per partial keeps their peaks from lining up.
            v += env[k] * std::sin(kTwoPi * f * t + static_cast<double>(k));
        }
        out[i] += gain * v;
    }
}

// Phone ring: two tones swapped 32 times a second under a tremolo, in two bursts.
Buffer phoneRing() {
    Buffer b(samplesFor(1.6), 0.0);
    double phase = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = timeOf(i);
        const double env =
            burstEnvelope(t, 0.45, 0.01, 0.03) + burstEnvelope(t - 0.6, 0.45, 0.01, 0.03);
        const bool high = static_cast<int>(t * 32.0) % 2 == 1;
        phase += kTwoPi * (high ? 1500.0 : 1200.0) / kRate;
        const double tremolo = 0.75 + 0.25 * std::sin(kTwoPi * 16.0 * t);
        b[i] = env * tremolo * (std::sin(phase) + 0.3 * std::sin(3.0 * phase));
    }
    return b;
}

// Electronic ring: two groups of four short pips, high and low in turn.
Buffer pipRing() {
    Buffer b(samplesFor(1.45), 0.0);
    constexpr double pip = 0.075, step = 0.12, group = 0.68;
    for (int g = 0; g < 2; ++g) {
        for (int p = 0; p < 4; ++p) {
            const double f = p % 2 == 0 ? 1760.0 : 1396.9;
            const std::size_t start = samplesFor(g * group + p * step);
            for (std::size_t j = 0; j < samplesFor(pip) && start + j < b.size(); ++j) {
                const double t = timeOf(j);
                const double x = kTwoPi * f * t;
                b[start + j] += burstEnvelope(t, pip, 0.004, 0.015) *
                                (std::sin(x) + 0.33 * std::sin(3.0 * x) + 0.2 * std::sin(5.0 * x));
            }
        }
    }
    return b;
}

// "It's time": three rising notes of a soft chime.
Buffer timeChime() {
    Buffer b(samplesFor(2.2), 0.0);
    const Partial bar[] = {{1.0, 1.0, 0.9}, {2.0, 0.3, 0.35}, {3.0, 0.12, 0.2}, {4.0, 0.05, 0.12}};
    const double notes[] = {523.25, 659.26, 783.99};
    for (int n = 0; n < 3; ++n) {
        const Strike s[] = {{0.01 + 0.34 * n, n == 2 ? 1.1 : 1.0}};
        addStruck(b, notes[n], bar, s, 0.006);
    }
    return b;
}

// Electric bell: a clapper beating one gong about 22 times a second.
Buffer electricBell() {
    Buffer b(samplesFor(1.6), 0.0);
    const Partial gong[] = {
        {1.0, 1.0, 0.35}, {2.32, 0.7, 0.15}, {3.95, 0.45, 0.07}, {5.6, 0.25, 0.04}};
    std::vector<Strike> strikes;
    for (int k = 0; k * (1.0 / 22.0) < 1.35; ++k)
        strikes.push_back({k / 22.0, k % 2 == 0 ? 1.0 : 0.8});
    addStruck(b, 1180.0, gong, strikes, 0.001);
    return b;
}

// Siren: the pitch wails up slowly and drops back, twice.
Buffer siren() {
    constexpr double length = 2.3, cycle = 1.1, rise = 0.65;
    Buffer b(samplesFor(length), 0.0);
    double phase = 0.0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = timeOf(i);
        const double pos = std::fmod(t, cycle) / cycle;
        const double shape =
            pos < rise ? 0.5 - 0.5 * std::cos(std::numbers::pi * pos / rise)
                       : 0.5 + 0.5 * std::cos(std::numbers::pi * (pos - rise) / (1 - rise));
        phase += kTwoPi * (620.0 + 680.0 * shape) / kRate;
        const double v = std::sin(phase) + 0.5 * std::sin(2 * phase) + 0.3 * std::sin(3 * phase) +
                         0.15 * std::sin(4 * phase);
        b[i] = burstEnvelope(t, length, 0.04, 0.15) * v;
    }
    return b;
}

// Temple bell: low inharmonic partials, a beating pair near the strike tone, a dull thump from
// the log that strikes it, and a long decay.
Buffer templeBell() {
    Buffer b(samplesFor(2.5), 0.0);
    const Partial bell[] = {{0.5, 0.7, 2.4},   {1.0, 1.0, 1.6},   {1.012, 0.7, 1.5},
                            {1.47, 0.45, 1.0}, {2.09, 0.5, 0.7},  {2.76, 0.3, 0.45},
                            {3.72, 0.22, 0.3}, {5.33, 0.12, 0.16}};
    const Strike s[] = {{0.0, 1.0}};
    addStruck(b, 136.0, bell, s, 0.004);
    Noise noise(6);
    BandPass body(180.0, 1.2);
    for (std::size_t i = 0; i < samplesFor(0.12); ++i)
        b[i] += 2.5 * std::exp(-timeOf(i) / 0.025) * body.process(noise.next());
    return b;
}

// Space: a detuned pad under a slow vibrato and a slow upward glide, with a shimmer of high
// partials on top.
Buffer space() {
    constexpr double length = 2.4;
    Buffer b(samplesFor(length), 0.0);
    struct Voice {
        double freq, amp, vibratoRate, vibratoPhase, shimmer;
        double phase = 0.0;
    };
    Voice voices[] = {{220.0, 1.0, 0.9, 0.0, 0.0},  {221.3, 0.9, 1.1, 1.7, 0.0},
                      {330.0, 0.6, 0.8, 3.1, 0.0},  {331.9, 0.5, 1.3, 0.4, 0.0},
                      {441.8, 0.35, 0.7, 2.2, 0.0}, {1767.0, 0.16, 1.0, 0.9, 6.3},
                      {2645.0, 0.1, 1.2, 2.6, 7.7}, {3529.0, 0.06, 0.6, 4.0, 5.1}};
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = timeOf(i);
        const double in = std::min(1.0, t / 0.5);
        const double out = std::min(1.0, (length - t) / 0.7);
        const double env = in * in * (3 - 2 * in) * out * out * (3 - 2 * out);
        const double glide = 1.0 + 0.06 * t / length;
        double v = 0.0;
        for (Voice& voice : voices) {
            const double vibrato =
                1.0 + 0.015 * std::sin(kTwoPi * voice.vibratoRate * t + voice.vibratoPhase);
            voice.phase += kTwoPi * voice.freq * vibrato * glide / kRate;
            const double twinkle =
                voice.shimmer > 0.0
                    ? 0.5 + 0.5 * std::sin(kTwoPi * voice.shimmer * t + voice.vibratoPhase)
                    : 1.0;
            v += voice.amp * twinkle * std::sin(voice.phase);
        }
        b[i] = env * v;
    }
    return b;
}

// Steam whistle: three pipes sounding a chord, their pitch rising as the steam pressure
// builds, with breathy noise around each pipe and a broad hiss.
Buffer steamWhistle() {
    constexpr double length = 1.9;
    Buffer b(samplesFor(length), 0.0);
    const double pipes[] = {370.0, 440.0, 554.4};
    double phases[] = {0.0, 0.0, 0.0};
    BandPass breath[] = {{370.0, 6.0}, {440.0, 6.0}, {554.4, 6.0}};
    BandPass hiss(2500.0, 0.8);
    Noise noise(8);
    for (std::size_t i = 0; i < b.size(); ++i) {
        const double t = timeOf(i);
        const double pressure = 1.0 - 0.05 * std::exp(-t / 0.08);
        const double flutter =
            1.0 + 0.03 * std::sin(kTwoPi * 5.3 * t) + 0.02 * std::sin(kTwoPi * 7.9 * t);
        const double n = noise.next();
        double tone = 0.0, air = 0.0;
        for (int p = 0; p < 3; ++p) {
            phases[p] += kTwoPi * pipes[p] * pressure / kRate;
            tone += std::sin(phases[p]) + 0.35 * std::sin(2 * phases[p]) +
                    0.12 * std::sin(3 * phases[p]);
            air += breath[p].process(n);
        }
        const double env = burstEnvelope(t, length, 0.12, 0.35);
        b[i] = env * (flutter * tone / 3.0 + 1.2 * air + 0.05 * hiss.process(n));
    }
    return b;
}

// Alarm clock: a hammer beating two small bells in turn, in two bursts.
Buffer alarmClock() {
    Buffer b(samplesFor(1.75), 0.0);
    const Partial small[] = {{1.0, 1.0, 0.13}, {2.76, 0.5, 0.06}, {3.4, 0.2, 0.04}};
    std::vector<Strike> left, right;
    for (const double burst : {0.0, 0.9})
        for (int k = 0; k < 16; ++k)
            (k % 2 == 0 ? left : right).push_back({burst + k / 26.0, 1.0});
    addStruck(b, 2350.0, small, left, 0.001);
    addStruck(b, 2960.0, small, right, 0.001, 0.9);
    return b;
}

// Countdown bell: a bright hand bell struck twice, with the partials of a tuned bell.
Buffer handBell() {
    Buffer b(samplesFor(2.2), 0.0);
    const Partial bell[] = {{0.5, 0.35, 1.3},  {1.0, 1.0, 1.0},  {1.2, 0.55, 0.7},
                            {1.5, 0.35, 0.55}, {2.0, 0.6, 0.5},  {2.52, 0.25, 0.3},
                            {3.0, 0.18, 0.22}, {4.08, 0.1, 0.15}};
    const Strike s[] = {{0.0, 1.0}, {0.7, 0.85}};
    addStruck(b, 784.0, bell, s, 0.0015);
    return b;
}

// Fades both ends (raised cosine) so playback starts and stops without a click, then scales
// the peak to kPeak.
Sound finish(const char8_t* name, Buffer b, double fadeOut) {
    const std::size_t fadeIn = std::min(b.size(), samplesFor(0.005));
    for (std::size_t i = 0; i < fadeIn; ++i)
        b[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / fadeIn);
    const std::size_t tail = std::min(b.size(), samplesFor(fadeOut));
    for (std::size_t i = 0; i < tail; ++i)
        b[b.size() - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / tail);

    double peak = 0.0;
    for (const double v : b)
        peak = std::max(peak, std::abs(v));
    const double scale = peak > 0.0 ? kPeak * 32767.0 / peak : 0.0;

    Sound sound;
    for (const char8_t* c = name; *c; ++c)
        sound.fileName.push_back(static_cast<char>(*c));
    sound.samples.reserve(b.size());
    for (const double v : b)
        sound.samples.push_back(static_cast<std::int16_t>(std::lround(v * scale)));
    return sound;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v & 0xffff));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

void putTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

} // namespace

std::vector<Sound> makeSounds() {
    std::vector<Sound> sounds;
    sounds.push_back(finish(u8"RING1.WAV", phoneRing(), 0.01));
    sounds.push_back(finish(u8"RING2.WAV", pipRing(), 0.01));
    sounds.push_back(finish(u8"時間ですよ.WAV", timeChime(), 0.15));
    sounds.push_back(finish(u8"ﾍﾞﾙ.WAV", electricBell(), 0.05));
    sounds.push_back(finish(u8"ｻｲﾚﾝ.WAV", siren(), 0.01));
    sounds.push_back(finish(u8"鐘.WAV", templeBell(), 0.3));
    sounds.push_back(finish(u8"宇宙.WAV", space(), 0.01));
    sounds.push_back(finish(u8"汽笛.WAV", steamWhistle(), 0.01));
    sounds.push_back(finish(u8"RING.WAV", alarmClock(), 0.02));
    sounds.push_back(finish(u8"1min07A.WAV", handBell(), 0.2));
    return sounds;
}

std::vector<std::uint8_t> encodeWave(std::span<const std::int16_t> samples, int sampleRate) {
    constexpr std::uint16_t channels = 1, bits = 16, blockAlign = channels * bits / 8;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * blockAlign);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, channels);
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    put16(out, blockAlign);
    put16(out, bits);
    putTag(out, "data");
    put32(out, dataBytes);
    for (const std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));
    return out;
}

bool writeSounds(const std::filesystem::path& folder, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) return fail("cannot create " + folder.string() + ": " + ec.message());
    for (const Sound& sound : makeSounds()) {
        const std::u8string name(sound.fileName.begin(), sound.fileName.end());
        const std::filesystem::path path = folder / std::filesystem::path(name);
        const std::vector<std::uint8_t> bytes = encodeWave(sound.samples);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) return fail("cannot write " + sound.fileName);
    }
    return true;
}

} // namespace qz::synth
