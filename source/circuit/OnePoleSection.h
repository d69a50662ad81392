#pragma once

namespace veltrano
{
// Highest cutoff any section may take at a given rate: 0.43 of the rate (single precision)
// below 44100 Hz, else 19000 Hz.
float cutoffLimit(double rate) noexcept;

// Trapezoidal (topology-preserving) first-order section; all arithmetic in single precision.
struct OnePoleSection
{
    double rate = 44100.0;
    float state = 0.0f;
    float g = 0.0f; // tan(pi * fc / rate)
};

// g for an R-C section at the section's rate: fc = 1/(2 pi R C), at least 1 Hz, at most the
// cutoff limit.
float rcSectionCoefficient(double resistance, double capacitance, double rate) noexcept;

// g for a cutoff in Hz, clamped to [1 Hz, cutoffLimit(rate)].
float limitedCutoffCoefficient(float cutoffHz, double rate) noexcept;

inline float lowPass(OnePoleSection& section, float x) noexcept
{
    const float y = (section.g * x + section.state) / (section.g + 1.0f);
    section.state = (y + y) - section.state;
    return y;
}

inline float highPass(OnePoleSection& section, float x) noexcept
{
    return x - lowPass(section, x);
}

// The low-pass fed with -x (an inverting stage's feedback network).
inline float lowPassInverted(OnePoleSection& section, float x) noexcept
{
    const float y = (section.state - x * section.g) / (section.g + 1.0f);
    section.state = (y + y) - section.state;
    return y;
}
} // namespace veltrano
