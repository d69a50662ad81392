#pragma once

#include <array>

namespace veltrano
{
// Third-order passive tone network, bilinear-transformed (no prewarping) at the clamped rate c.
// The same record serves the bass/treble network (controls a, b) and the contour network
// (control C in slot 0).
struct ToneStack
{
    double rate = 44100.0;
    std::array<double, 2> controlIncrements{}; // (1 - 0.993) * target, per control
    std::array<double, 2> controls{};          // smoothed control values
    double c = 44100.0;                        // rate clamped to 1..192000
    double c2 = 44100.0 * 44100.0;             // c squared
    double c3 = 44100.0 * 44100.0 * 44100.0;   // c cubed
    double w1 = 0.0;
    double w2 = 0.0;
    double w3 = 0.0;
};

// Digital coefficients: a[0] z^0 + a[1] z^-1 + ... over the same for b, both scaled so that
// the recursion divides by a[0].
struct ToneStackCoefficients
{
    std::array<double, 4> a{};
    std::array<double, 4> b{};
};

// Rate, clamped c and its powers; controls and delays to 0; increments kept.
void prepareToneStack(ToneStack&, double rate) noexcept;

// Control smoothing: every sample each control moves 0.7 % of the way to its target.
constexpr double toneControlPole = 0.993;
constexpr double toneControlStep = 1.0 - toneControlPole;

ToneStackCoefficients bassTrebleCoefficients(const ToneStack&, double bass, double treble) noexcept;
ToneStackCoefficients contourCoefficients(const ToneStack&, double contour) noexcept;

inline float runToneStack(ToneStack& stack, const ToneStackCoefficients& k, float in) noexcept
{
    const double x = static_cast<double>(in);
    const double w = x - (k.a[1] * stack.w1 + k.a[2] * stack.w2 + k.a[3] * stack.w3) / k.a[0];
    const double y =
        (k.b[0] * w + k.b[1] * stack.w1 + k.b[2] * stack.w2 + k.b[3] * stack.w3) / k.a[0];
    stack.w3 = stack.w2;
    stack.w2 = stack.w1;
    stack.w1 = w;
    return static_cast<float>(y);
}

inline float processBassTreble(ToneStack& stack, float x) noexcept
{
    stack.controls[0] = stack.controls[0] * toneControlPole + stack.controlIncrements[0];
    stack.controls[1] = stack.controls[1] * toneControlPole + stack.controlIncrements[1];
    return runToneStack(stack, bassTrebleCoefficients(stack, stack.controls[0], stack.controls[1]),
                        x);
}

inline float processContour(ToneStack& stack, float x) noexcept
{
    stack.controls[0] = stack.controls[0] * toneControlPole + stack.controlIncrements[0];
    return runToneStack(stack, contourCoefficients(stack, stack.controls[0]), x);
}
} // namespace veltrano
