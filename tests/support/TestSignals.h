#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace veltrano::test
{

// A deterministic, guitar-like test signal: decaying plucked partials over a few notes with a
// little pick noise, peaking around 0.3 (a DI signal from a humbucker, roughly -10 dBFS).
inline std::vector<float> guitarLikeSignal(double rate, double seconds, uint32_t seed = 1)
{
    const auto count = static_cast<size_t>(rate * seconds);
    std::vector<float> out(count, 0.0f);
    const double notes[] = {82.41, 110.0, 146.83, 196.0, 246.94, 329.63, 123.47, 164.81};
    const double noteLength = 0.5;
    uint32_t state = seed * 747796405u + 2891336453u;
    for (size_t n = 0; n < count; ++n)
    {
        const double t = static_cast<double>(n) / rate;
        const int note = static_cast<int>(t / noteLength);
        const double local = t - note * noteLength;
        const double f = notes[note % 8];
        double v = 0.0;
        for (int h = 1; h <= 6; ++h)
            v += std::sin(2.0 * M_PI * f * h * local) * std::exp(-local * (2.0 + 1.5 * h)) / h;
        state = state * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(state >> 8) / 16777216.0 - 0.5) * 0.002;
        const double pick = local < 0.003 ? (1.0 - local / 0.003) * 0.2 : 0.0;
        out[n] =
            static_cast<float>(0.22 * v + noise + pick * std::sin(2.0 * M_PI * 1800.0 * local));
    }
    return out;
}

inline std::vector<float> sine(double rate, double frequency, double amplitude, size_t count)
{
    std::vector<float> out(count);
    for (size_t n = 0; n < count; ++n)
        out[n] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * n / rate));
    return out;
}

} // namespace veltrano::test
