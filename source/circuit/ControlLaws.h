#pragma once

namespace veltrano
{
// Audio-taper potentiometer law 81^x * 0.0125 - 0.0125: 0 at x = 0, 1 at x = 1.
float audioTaper81(float x) noexcept;

// powf(10, dB * 0.05).
float decibelsToGain(float dB) noexcept;

// Nearest integer, ties to even, independent of the floating-point rounding mode.
double roundHalfEven(double x) noexcept;

// Circuit variant index from the parameter's real value: nearest, ties to even; NaN gives 0.
int roundCircuitIndex(float realValue) noexcept;
} // namespace veltrano
