#include "circuit/CrossfadeSmoother.h"

#include <cmath>

namespace veltrano
{
float crossfadeCoefficient(double rate) noexcept
{
    return expf(-6.2831855f / (static_cast<float>(rate) * 0.010000001f));
}
} // namespace veltrano
