#include "circuit/ControlLaws.h"

#include <climits>
#include <cmath>

namespace veltrano
{
float audioTaper81(float x) noexcept
{
    return powf(81.0f, x) * 0.0125f - 0.0125f;
}

float decibelsToGain(float dB) noexcept
{
    return powf(10.0f, dB * 0.05f);
}

double roundHalfEven(double x) noexcept
{
    const double lower = std::floor(x);
    const double fraction = x - lower;
    if (fraction > 0.5)
        return lower + 1.0;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

int roundCircuitIndex(float realValue) noexcept
{
    if (std::isnan(realValue))
        return 0;
    const double r = roundHalfEven(static_cast<double>(realValue));
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}
} // namespace veltrano
