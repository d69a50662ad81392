#pragma once

namespace veltrano
{
// One-pole smoother: current <- coefficient * current + inputCoefficient * target.
struct CrossfadeSmoother
{
    float coefficient = 0.0f;
    float inputCoefficient = 0.0f;
    float current = 0.0f;
    float target = 0.0f;

    float step() noexcept
    {
        current = current * coefficient + target * inputCoefficient;
        return current;
    }
};

// 100 Hz one-pole at the given rate: expf(-2 pi / (rate * 0.01)) in single precision.
float crossfadeCoefficient(double rate) noexcept;
} // namespace veltrano
