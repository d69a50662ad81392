#pragma once

#include "circuit/CircuitChannel.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace veltrano::test
{
constexpr double pi = 3.14159265358979323846;

// A channel prepared for a rate and variant, knobs set, fade-in done or not.
inline CircuitChannel preparedChannel(double rate, int variant, float gain = 0.5f,
                                      float bass = 0.5f, float contour = 0.5f, float treble = 0.5f,
                                      float volume = 1.0f)
{
    CircuitChannel channel;
    prepareChannel(channel, rate, variant, computeGuessTable(rate));
    setCircuitControls(channel, gain, bass, contour, treble, volume);
    return channel;
}

// Deterministic guitar-like test signal: a decaying pluck of a few partials plus a little noise.
inline std::vector<float> guitarSignal(int numSamples, double rate, float level = 0.3f)
{
    std::vector<float> out(static_cast<size_t>(numSamples));
    uint32_t seed = 12345u;
    for (int n = 0; n < numSamples; ++n)
    {
        seed = seed * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.02;
        const double t = n / rate;
        const double env = std::exp(-3.0 * std::fmod(t, 0.5));
        const double tone = std::sin(2 * pi * 110.0 * t) + 0.5 * std::sin(2 * pi * 220.0 * t) +
                            0.25 * std::sin(2 * pi * 330.0 * t + 0.3);
        out[static_cast<size_t>(n)] = static_cast<float>(level * (env * tone / 1.75 + noise));
    }
    return out;
}

inline std::vector<float> sine(int numSamples, double rate, double frequency, double amplitude)
{
    std::vector<float> out(static_cast<size_t>(numSamples));
    for (int n = 0; n < numSamples; ++n)
        out[static_cast<size_t>(n)] =
            static_cast<float>(amplitude * std::sin(2 * pi * frequency * n / rate));
    return out;
}

// Amplitude of the component at `frequency` in x[begin, end), by correlation.
inline double amplitudeAt(const std::vector<float>& x, size_t begin, size_t end, double rate,
                          double frequency)
{
    double re = 0, im = 0;
    for (size_t n = begin; n < end; ++n)
    {
        const double phase = 2 * pi * frequency * static_cast<double>(n) / rate;
        re += x[n] * std::cos(phase);
        im += x[n] * std::sin(phase);
    }
    return 2.0 * std::hypot(re, im) / static_cast<double>(end - begin);
}

inline void processInBlocks(CircuitChannel& channel, std::vector<float>& samples, int blockSize,
                            float inputGain = 1.0f, float outputGain = 1.0f)
{
    for (size_t start = 0; start < samples.size(); start += static_cast<size_t>(blockSize))
    {
        const size_t count = std::min(samples.size() - start, static_cast<size_t>(blockSize));
        processChannel(channel, samples.data() + start, static_cast<int>(count), inputGain,
                       outputGain);
    }
}
} // namespace veltrano::test
