#pragma once

#include "circuit/OnePoleSection.h"

namespace veltrano
{
// Output swing on the 9 V supply: 0.85 of it upwards, 0.83 downwards (single-precision
// fractions), so the op-amps clip asymmetrically at about +7.65 V and -7.47 V.
constexpr double opAmpPositiveRail = 9.0 * static_cast<double>(0.85f);
constexpr double opAmpNegativeRail = -9.0 * static_cast<double>(0.83f);

// One op-amp gain stage: signed gain, asymmetric rails and a band-limiting low-pass.
struct OpAmpStage
{
    const char* name = "";
    double gain = 1.0;
    double positiveRail = opAmpPositiveRail;
    double negativeRail = opAmpNegativeRail;
    double rate = 44100.0;
    float bandLimitState = 0.0f;
    float bandLimitG = 0.0f;
};

// Rails back to their values and the band limit recomputed for the stage's rate.
void resetOpAmpStage(OpAmpStage& stage) noexcept;

inline float clampToRails(const OpAmpStage& stage, float x) noexcept
{
    const auto upper = static_cast<float>(stage.positiveRail);
    const auto lower = static_cast<float>(stage.negativeRail);
    float y = upper < x ? upper : x;
    if (x < lower)
        y = lower;
    return y;
}

inline float bandLimit(OpAmpStage& stage, float x) noexcept
{
    const float y = (stage.bandLimitG * x + stage.bandLimitState) / (stage.bandLimitG + 1.0f);
    stage.bandLimitState = (y + y) - stage.bandLimitState;
    return y;
}
} // namespace veltrano
