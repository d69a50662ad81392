#include "circuit/OpAmpStage.h"

#include <algorithm>
#include <cmath>

namespace veltrano
{
void resetOpAmpStage(OpAmpStage& stage) noexcept
{
    constexpr double pi = 3.14159265358979323846;
    stage.positiveRail = opAmpPositiveRail;
    stage.negativeRail = opAmpNegativeRail;
    const float fc = std::min(cutoffLimit(stage.rate), 19000.0f);
    stage.bandLimitG = static_cast<float>(std::tan(static_cast<double>(fc) * pi / stage.rate));
}
} // namespace veltrano
