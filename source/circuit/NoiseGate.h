#pragma once

#include "circuit/GateSidechainFilter.h"

namespace veltrano
{
// Noise gate with crest-factor adaptive attack and release and a 3 ms hold on every change of
// direction.
struct NoiseGate
{
    double rate = 44100.0;
    float attackCoefficient = 0.0f;
    float releaseCoefficient = 0.0f;
    float threshold = 0.0f;   // linear
    float holdSamples = 0.0f; // fractional
    int closeCount = 0;
    int openCount = 0;
    float envelope = 0.0f;
    float target = 0.0f; // 0 closed, 1 open
    float gain = 0.0f;
    bool adaptive = false;
    float crestCoefficient = 0.0f;
    float peakSquare = 0.0f;
    float meanSquare = 1.0f;
    float attackAverageMs = 1.0f;
    float releaseAverageMs = 1.0f;
};

// Coefficients, hold and the -90 dB default threshold for the host rate, plus the side-chain
// filter. The dynamic state (envelope, gain, counts, crest averages) carries over.
void prepareGate(NoiseGate&, GateSidechainFilter&, double hostRate) noexcept;

// One step: returns gain * signal. A non-finite detector sample counts as silence.
float processGateSample(NoiseGate&, float detector, float signal) noexcept;

// -100 dB at 0, -10 dB at 1, along the gate knob's taper.
float gateThresholdFromParameter(float normalisedGate) noexcept;
} // namespace veltrano
