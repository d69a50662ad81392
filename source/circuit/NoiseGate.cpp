#include "circuit/NoiseGate.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace veltrano
{
namespace
{
double sanitisedRate(double rate) noexcept
{
    return (rate > 0.0 && std::isfinite(rate)) ? rate : 44100.0;
}

// Counts saturate instead of wrapping after 13 hours of rest at 44.1 kHz.
inline int incremented(int count) noexcept
{
    return count < INT_MAX ? count + 1 : count;
}

inline float timeCoefficient(float milliseconds, double rate) noexcept
{
    return static_cast<float>(std::exp(-1.0 / (static_cast<double>(milliseconds) * rate * 0.001)));
}
} // namespace

void prepareGate(NoiseGate& gate, GateSidechainFilter& filter, double hostRate) noexcept
{
    const double h = sanitisedRate(hostRate);
    prepareSidechainFilter(filter, h);

    gate.rate = h;
    gate.threshold = 3.1622778e-05f; // -90 dB until the knob is mapped
    gate.holdSamples = static_cast<float>(3.0 * h * 0.001);
    gate.crestCoefficient = timeCoefficient(200.0f, h);
    gate.attackAverageMs = 40.0f;
    gate.releaseAverageMs = 40.0f;
    gate.adaptive = true;
    gate.attackCoefficient = timeCoefficient(10.0f, h);
    gate.releaseCoefficient = timeCoefficient(100.0f, h);
}

float processGateSample(NoiseGate& gate, float detector, float signal) noexcept
{
    const float x = std::isfinite(detector) ? detector : 0.0f;

    if (gate.adaptive)
    {
        // Squared crest factor of the detector; a spiky signal gets a faster attack.
        const float c = gate.crestCoefficient;
        const float x2 = x * x;
        gate.peakSquare = std::max(x2 * (1.0f - c) + c * gate.peakSquare, x2);
        gate.meanSquare =
            static_cast<float>(static_cast<double>((1.0f - c) * x2 + c * gate.meanSquare) + 1e-13);
        const auto crest2 =
            static_cast<float>(static_cast<double>(gate.peakSquare / gate.meanSquare) + 1e-13);

        const float attackMs = std::max(3.0f, 2.0f * gate.attackAverageMs / crest2);
        const float releaseMs = std::max(3.0f, 2.0f * gate.releaseAverageMs / crest2 -
                                                   2.0f * gate.attackAverageMs / crest2);
        gate.attackCoefficient = timeCoefficient(attackMs, gate.rate);
        gate.releaseCoefficient = timeCoefficient(releaseMs, gate.rate);
    }

    const float attack = gate.attackCoefficient;
    const float release = gate.releaseCoefficient;

    const double excess =
        std::max(static_cast<double>(std::fabs(x)) - static_cast<double>(gate.envelope), 0.0);
    gate.envelope = static_cast<float>(excess * static_cast<double>(1.0f - attack) +
                                       static_cast<double>(release * gate.envelope));

    gate.target = gate.envelope < gate.threshold ? 0.0f : 1.0f;

    if (gate.gain > gate.target)
    {
        gate.openCount = 0;
        gate.closeCount = incremented(gate.closeCount);
        if (!(gate.holdSamples > static_cast<float>(gate.closeCount)))
            gate.gain = static_cast<float>(static_cast<double>(attack * gate.gain) +
                                           static_cast<double>((1.0f - attack) * gate.target));
    }
    else
    {
        gate.closeCount = 0;
        gate.openCount = incremented(gate.openCount);
        if (!(gate.holdSamples > static_cast<float>(gate.openCount)))
            gate.gain = static_cast<float>(static_cast<double>(release * gate.gain) +
                                           static_cast<double>((1.0f - release) * gate.target));
    }

    // A detector far beyond any audio level can overflow the squares; start those afresh.
    if (!std::isfinite(gate.peakSquare + gate.meanSquare + gate.envelope + gate.gain))
    {
        if (!std::isfinite(gate.peakSquare) || !std::isfinite(gate.meanSquare))
        {
            gate.peakSquare = 0.0f;
            gate.meanSquare = 1.0f;
        }
        if (!std::isfinite(gate.envelope))
            gate.envelope = 0.0f;
        if (!std::isfinite(gate.gain))
            gate.gain = 0.0f;
    }

    return gate.gain * signal;
}

float gateThresholdFromParameter(float v) noexcept
{
    const float t = powf(3.4489799f, v) * 0.4083333f - 0.4083333f;
    const float u = t * -0.9f + 1.0f;
    return powf(10.0f, (-100.0f * u) / 20.0f);
}
} // namespace veltrano
