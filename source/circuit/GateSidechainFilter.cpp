#include "circuit/GateSidechainFilter.h"

#include <algorithm>
#include <cmath>

namespace veltrano
{
void prepareSidechainFilter(GateSidechainFilter& filter, double hostRate) noexcept
{
    constexpr double pi = 3.14159265358979323846;
    filter.section.rate = hostRate;
    const float fc = std::min(cutoffLimit(hostRate), 312.0f);
    filter.section.g = static_cast<float>(std::tan(static_cast<double>(fc) * pi / hostRate));
}

float sidechainDetector(GateSidechainFilter& filter, float drySample) noexcept
{
    const float d = std::isfinite(drySample) ? drySample : 0.0f;
    const float y = lowPass(filter.section, d);
    if (!std::isfinite(filter.section.state))
        filter.section.state = 0.0f;
    return d - y;
}
} // namespace veltrano
