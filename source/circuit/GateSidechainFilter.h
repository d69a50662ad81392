#pragma once

#include "circuit/OnePoleSection.h"

namespace veltrano
{
// High-pass at 312 Hz in front of the gate's detector, so low strings' rumble and hum weigh less.
struct GateSidechainFilter
{
    OnePoleSection section;
};

void prepareSidechainFilter(GateSidechainFilter&, double hostRate) noexcept;

// d minus its one-pole low-pass. A non-finite d counts as silence.
float sidechainDetector(GateSidechainFilter&, float drySample) noexcept;
} // namespace veltrano
