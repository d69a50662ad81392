#include "circuit/OnePoleSection.h"

#include <algorithm>
#include <cmath>

namespace veltrano
{
namespace
{
constexpr double pi = 3.14159265358979323846;
}

float cutoffLimit(double rate) noexcept
{
    if (rate < 44100.0)
        return static_cast<float>(rate) * 0.43f;
    return 19000.0f;
}

float limitedCutoffCoefficient(float cutoffHz, double rate) noexcept
{
    float fc = cutoffHz;
    if (fc < 1.0f)
        fc = 1.0f;
    else
        fc = std::min(fc, cutoffLimit(rate));
    return static_cast<float>(std::tan(static_cast<double>(fc) * pi / rate));
}

float rcSectionCoefficient(double resistance, double capacitance, double rate) noexcept
{
    const auto fc = static_cast<float>(1.0 / (2.0 * pi * resistance * capacitance));
    return limitedCutoffCoefficient(fc, rate);
}
} // namespace veltrano
