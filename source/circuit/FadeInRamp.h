#pragma once

namespace veltrano
{
// Linear fade-in over `length` samples after set-up or a variant change.
struct FadeInRamp
{
    bool active = false;
    int counter = 0;
    int length = 0;
    float inverseLength = 0.0f;
};

// Length = rate * 10 ms rounded to nearest (ties to even), at least one sample.
void startFadeIn(FadeInRamp&, double rate) noexcept;

inline float nextFadeInGain(FadeInRamp& ramp) noexcept
{
    if (!ramp.active)
        return 1.0f;
    ++ramp.counter;
    if (ramp.length <= ramp.counter)
    {
        ramp.active = false;
        ramp.length = 0;
    }
    return static_cast<float>(ramp.counter) * ramp.inverseLength;
}
} // namespace veltrano
