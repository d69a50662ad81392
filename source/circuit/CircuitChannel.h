#pragma once

#include "circuit/ControlLaws.h"
#include "circuit/CrossfadeSmoother.h"
#include "circuit/DiodeClipper.h"
#include "circuit/FadeInRamp.h"
#include "circuit/OnePoleSection.h"
#include "circuit/OpAmpStage.h"
#include "circuit/ToneStack.h"

namespace veltrano
{
// Resistors in ohms, capacitors in farads. The tone networks' parts are folded into their
// polynomials and not listed here.
struct CircuitComponents
{
    double gainPot = 100e3; // both gangs
    double stageAGainResistor = 3.3e3;
    double stageAInputCapacitor = 47e-9;
    double stageAFeedbackCapacitor = 100e-12;
    double stageBInputResistor1 = 4.7e3;
    double stageBInputResistor2 = 4.7e3;
    double stageBInputCapacitor = 220e-9;
    double stageBFeedbackResistor = 680e3;
    double stageBFeedbackCapacitor = 47e-12;
    double stageCGainResistor = 47e3;
    double stageCCouplingCapacitor = 220e-9;
    double stageCFeedbackResistor = 220e3;
    double stageCFeedbackCapacitor = 2.2e-9;
    double stageDInputResistor = 100e3;
    double stageDCouplingCapacitor = 220e-9;
    double stageDFeedbackResistor = 100e3;
    double stageDFeedbackCapacitor = 1e-9;

    bool operator==(const CircuitComponents&) const noexcept;
};

constexpr int numCircuitVariants = 3;

// Component values of variant 0 ("Default"), 1 ("Bright") or 2 ("Sharp"); other indices give
// the Default values.
CircuitComponents variantComponents(int index) noexcept;
const char* variantNameOf(int index) noexcept; // nullptr outside 0..2

// Per-channel state of the pedal circuit, in signal order.
struct CircuitChannel
{
    double rate = 44100.0;
    CrossfadeSmoother volumeSmoother;
    CircuitComponents components;
    int variantIndex = 0;
    const char* variantName = "Default";
    OnePoleSection inputBlocker;
    OnePoleSection stageAFeedbackLowPass;
    OnePoleSection stageAInputHighPass;
    OnePoleSection stageBInputHighPass;
    OnePoleSection stageBFeedbackLowPass;
    ToneStack bassTrebleStack;
    ToneStack contourStack;
    DiodeClipper clipper;
    OnePoleSection stageCInputHighPass;
    OnePoleSection stageCFeedbackLowPass;
    OnePoleSection stageDInputHighPass;
    OnePoleSection stageDFeedbackLowPass;
    OpAmpStage stageA{"SM Input Amp"};
    OpAmpStage stageB{"SM Clip Amp"};
    OpAmpStage stageC{"SM Contour Amp"};
    OpAmpStage stageD{"SM Out Amp"};
    FadeInRamp fadeIn;
};

// Full set-up for a circuit rate. `table` must come from computeGuessTable for this rate; a
// table for another rate is not used (the sweep then runs here instead, which is slow).
void prepareChannel(CircuitChannel&, double circuitRate, int variantIndex,
                    const GuessTable& table) noexcept;

// Variants 0..2 set their components and restart the clipper from `table`; any other index is
// only recorded.
void selectVariant(CircuitChannel&, int index, const GuessTable& table) noexcept;

// g of the seven fixed R-C sections from the components and each section's rate.
void updateSectionCoefficients(CircuitChannel&) noexcept;

void restartFadeIn(CircuitChannel&) noexcept;

// The five knobs, normalised 0..1 (values outside are clamped, NaN counts as 0).
void setCircuitControls(CircuitChannel&, float gain, float bass, float contour, float treble,
                        float volume) noexcept;

// The circuit over one channel's samples, in place. Non-finite input samples count as silence;
// a channel whose state has gone non-finite is reset and faded in again.
void processChannel(CircuitChannel&, float* samples, int numSamples, float inputGain,
                    float outputGain) noexcept;

// Dynamic state back to rest: section, band-limit and tone-network states to 0, the clipper to
// its table's final state.
void resetChannelState(CircuitChannel&) noexcept;
bool channelStateIsFinite(const CircuitChannel&) noexcept;
} // namespace veltrano
