#include "circuit/FadeInRamp.h"

#include "circuit/ControlLaws.h"

#include <algorithm>
#include <cmath>

namespace veltrano
{
void startFadeIn(FadeInRamp& ramp, double rate) noexcept
{
    const double samples = rate * 10.0 * 0.001;
    // A rate too low for one sample (or not a number) still gets a one-sample ramp, so the
    // gain never becomes infinite.
    const double rounded = std::isfinite(samples) ? roundHalfEven(samples) : 1.0;
    ramp.length = static_cast<int>(std::clamp(rounded, 1.0, 1.0e9));
    ramp.inverseLength = 1.0f / static_cast<float>(ramp.length);
    ramp.counter = 0;
    ramp.active = true;
}
} // namespace veltrano
