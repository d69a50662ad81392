#include "circuit/CircuitChannel.h"

#include <algorithm>
#include <cmath>

namespace veltrano
{
namespace
{
constexpr double pi = 3.14159265358979323846;

double sanitisedRate(double rate) noexcept
{
    return (rate > 0.0 && std::isfinite(rate)) ? rate : 44100.0;
}

float knob(float x) noexcept
{
    return x > 0.0f ? std::min(x, 1.0f) : 0.0f;
}

// Full-GAIN value of stage B, 680k over 4.7k + 4.7k, held until the knob is mapped again.
constexpr float stageBFullGain = -680000.0f / (4700.0f + 4700.0f);
constexpr float stageCGain = 220000.0f / 47000.0f + 1.0f;

void restartClipper(CircuitChannel& channel, const GuessTable& table) noexcept
{
    DiodeClipper& clipper = channel.clipper;
    clipper.model = diodeModelA;
    clipper.state = 0.0;
    if (table.count > 0 && table.rate == clipper.rate)
        applyGuessTable(clipper, table);
    else
        buildGuessTable(clipper);
}

template <typename Channel, typename Fn>
void forEachSection(Channel& c, Fn&& fn)
{
    for (auto* s : {&c.inputBlocker, &c.stageAFeedbackLowPass, &c.stageAInputHighPass,
                    &c.stageBInputHighPass, &c.stageBFeedbackLowPass, &c.stageCInputHighPass,
                    &c.stageCFeedbackLowPass, &c.stageDInputHighPass, &c.stageDFeedbackLowPass})
        fn(*s);
}

template <typename Channel, typename Fn>
void forEachStage(Channel& c, Fn&& fn)
{
    for (auto* s : {&c.stageA, &c.stageB, &c.stageC, &c.stageD})
        fn(*s);
}

inline float gained(float x, double gain) noexcept
{
    return static_cast<float>(static_cast<double>(x) * gain);
}
} // namespace

bool CircuitComponents::operator==(const CircuitComponents& o) const noexcept
{
    return gainPot == o.gainPot && stageAGainResistor == o.stageAGainResistor &&
           stageAInputCapacitor == o.stageAInputCapacitor &&
           stageAFeedbackCapacitor == o.stageAFeedbackCapacitor &&
           stageBInputResistor1 == o.stageBInputResistor1 &&
           stageBInputResistor2 == o.stageBInputResistor2 &&
           stageBInputCapacitor == o.stageBInputCapacitor &&
           stageBFeedbackResistor == o.stageBFeedbackResistor &&
           stageBFeedbackCapacitor == o.stageBFeedbackCapacitor &&
           stageCGainResistor == o.stageCGainResistor &&
           stageCCouplingCapacitor == o.stageCCouplingCapacitor &&
           stageCFeedbackResistor == o.stageCFeedbackResistor &&
           stageCFeedbackCapacitor == o.stageCFeedbackCapacitor &&
           stageDInputResistor == o.stageDInputResistor &&
           stageDCouplingCapacitor == o.stageDCouplingCapacitor &&
           stageDFeedbackResistor == o.stageDFeedbackResistor &&
           stageDFeedbackCapacitor == o.stageDFeedbackCapacitor;
}

CircuitComponents variantComponents(int index) noexcept
{
    CircuitComponents c;
    if (index == 1)
        c.stageCFeedbackCapacitor = 220e-12; // stage C low-pass ten times higher
    else if (index == 2)
        c.stageDFeedbackCapacitor = 100e-12; // final low-pass ten times higher
    return c;
}

const char* variantNameOf(int index) noexcept
{
    switch (index)
    {
    case 0:
        return "Default";
    case 1:
        return "Bright";
    case 2:
        return "Sharp";
    default:
        return nullptr;
    }
}

void updateSectionCoefficients(CircuitChannel& ch) noexcept
{
    const CircuitComponents& k = ch.components;
    auto set = [](OnePoleSection& s, double r, double c)
    {
        s.g = rcSectionCoefficient(r, c, s.rate);
    };
    set(ch.stageAInputHighPass, k.stageAGainResistor, k.stageAInputCapacitor);
    set(ch.stageBInputHighPass, k.stageBInputResistor1 + k.stageBInputResistor2,
        k.stageBInputCapacitor);
    set(ch.stageBFeedbackLowPass, k.stageBFeedbackResistor, k.stageBFeedbackCapacitor);
    set(ch.stageCInputHighPass, k.stageCGainResistor, k.stageCCouplingCapacitor);
    set(ch.stageCFeedbackLowPass, k.stageCFeedbackResistor, k.stageCFeedbackCapacitor);
    set(ch.stageDInputHighPass, k.stageDInputResistor, k.stageDCouplingCapacitor);
    set(ch.stageDFeedbackLowPass, k.stageDFeedbackResistor, k.stageDFeedbackCapacitor);
}

void selectVariant(CircuitChannel& ch, int index, const GuessTable& table) noexcept
{
    const char* name = variantNameOf(index);
    if (name == nullptr)
    {
        ch.variantIndex = index;
        return;
    }
    ch.variantName = name;
    ch.components = variantComponents(index);

    resetOpAmpStage(ch.stageA);
    resetOpAmpStage(ch.stageB);
    ch.stageB.gain = static_cast<double>(stageBFullGain);

    restartClipper(ch, table);

    resetOpAmpStage(ch.stageC);
    resetOpAmpStage(ch.stageD);
    ch.stageC.gain = static_cast<double>(stageCGain);
    ch.stageD.gain = -1.0;

    updateSectionCoefficients(ch);
    ch.variantIndex = index;
}

void restartFadeIn(CircuitChannel& ch) noexcept
{
    startFadeIn(ch.fadeIn, ch.rate);
}

void prepareChannel(CircuitChannel& ch, double circuitRate, int variantIndex,
                    const GuessTable& table) noexcept
{
    const double r = sanitisedRate(circuitRate);
    ch.rate = r;
    ch.components = variantComponents(0);

    // Section states carry over; only the rates and coefficients change.
    forEachSection(ch, [r](OnePoleSection& s) { s.rate = r; });
    ch.inputBlocker.g =
        static_cast<float>(std::tan(static_cast<double>(std::min(cutoffLimit(r), 10.5f)) * pi / r));

    prepareToneStack(ch.bassTrebleStack, r);
    prepareToneStack(ch.contourStack, r);

    prepareClipper(ch.clipper, r);
    restartClipper(ch, table);

    forEachStage(ch,
                 [r](OpAmpStage& s)
                 {
                     s.rate = r;
                     resetOpAmpStage(s);
                 });
    ch.stageB.gain = static_cast<double>(stageBFullGain);
    ch.stageC.gain = static_cast<double>(stageCGain);
    ch.stageD.gain = -1.0;

    ch.volumeSmoother.coefficient = crossfadeCoefficient(r);
    ch.volumeSmoother.inputCoefficient = 1.0f - ch.volumeSmoother.coefficient;
    ch.volumeSmoother.current = 0.0f;

    updateSectionCoefficients(ch);
    selectVariant(ch, variantIndex, table);
    restartFadeIn(ch);
}

void setCircuitControls(CircuitChannel& ch, float gain, float bass, float contour, float treble,
                        float volume) noexcept
{
    gain = knob(gain);
    bass = knob(bass);
    contour = knob(contour);
    treble = knob(treble);
    volume = knob(volume);
    const CircuitComponents& k = ch.components;

    // Stage A: non-inverting, the gain pot over 3.3k.
    const auto potShare = static_cast<float>(static_cast<double>(gain) * k.gainPot);
    ch.stageA.gain =
        static_cast<double>(1.0f + potShare / static_cast<float>(k.stageAGainResistor));

    // Stage B: inverting, 680k over 4.7k + 4.7k plus the pot's remaining share.
    const double inputResistance = k.stageBInputResistor1 + k.stageBInputResistor2 +
                                   static_cast<double>(1.0f - gain) * k.gainPot;
    ch.stageB.gain = static_cast<double>(-static_cast<float>(k.stageBFeedbackResistor) /
                                         static_cast<float>(inputResistance));

    // Stage A's feedback capacitor across the pot: infinite cutoff at GAIN 0, clamped.
    const auto fc = static_cast<float>(
        1.0 / (k.stageAFeedbackCapacitor * 2.0 * pi * (static_cast<double>(gain) * k.gainPot)));
    ch.stageAFeedbackLowPass.g = limitedCutoffCoefficient(fc, ch.stageAFeedbackLowPass.rate);

    ch.bassTrebleStack.controlIncrements[0] =
        (1.0 - static_cast<double>(audioTaper81(bass))) * toneControlStep;
    ch.bassTrebleStack.controlIncrements[1] = (1.0 - static_cast<double>(treble)) * toneControlStep;
    ch.contourStack.controlIncrements[0] =
        (1.0 - static_cast<double>(contour * 0.9f + 0.1f)) * toneControlStep;

    const float level = audioTaper81(volume);
    if (ch.volumeSmoother.target != level)
        ch.volumeSmoother.target = level;
}

bool channelStateIsFinite(const CircuitChannel& ch) noexcept
{
    double sum = ch.clipper.state;
    forEachSection(ch, [&sum](const OnePoleSection& s) { sum += static_cast<double>(s.state); });
    forEachStage(ch, [&sum](const OpAmpStage& s) { sum += static_cast<double>(s.bandLimitState); });
    for (const ToneStack* t : {&ch.bassTrebleStack, &ch.contourStack})
        sum += t->w1 + t->w2 + t->w3 + t->controls[0] + t->controls[1];
    sum += static_cast<double>(ch.volumeSmoother.current);
    return std::isfinite(sum);
}

void resetChannelState(CircuitChannel& ch) noexcept
{
    forEachSection(ch, [](OnePoleSection& s) { s.state = 0.0f; });
    forEachStage(ch, [](OpAmpStage& s) { s.bandLimitState = 0.0f; });
    for (ToneStack* t : {&ch.bassTrebleStack, &ch.contourStack})
    {
        t->w1 = t->w2 = t->w3 = 0.0;
        for (double& control : t->controls)
            if (!std::isfinite(control))
                control = 0.0;
    }
    if (!std::isfinite(ch.volumeSmoother.current))
        ch.volumeSmoother.current = 0.0f;
    ch.clipper.state = ch.clipper.guessTable.finalState;
    ch.clipper.iterationCounter = 0;
}

void processChannel(CircuitChannel& ch, float* samples, int numSamples, float inputGain,
                    float outputGain) noexcept
{
    if (samples == nullptr || numSamples <= 0)
        return;

    for (int n = 0; n < numSamples; ++n)
    {
        float x = samples[n] * inputGain;
        if (!std::isfinite(x))
            x = 0.0f; // one bad sample must not poison every state after it

        x = highPass(ch.inputBlocker, x);

        x = gained(highPass(ch.stageAInputHighPass, x), ch.stageA.gain);
        x = bandLimit(ch.stageA, clampToRails(ch.stageA, x));
        x = lowPass(ch.stageAFeedbackLowPass, x);

        x = gained(highPass(ch.stageBInputHighPass, x), ch.stageB.gain);
        x = bandLimit(ch.stageB, clampToRails(ch.stageB, x));
        const float u = lowPassInverted(ch.stageBFeedbackLowPass, x);

        x = static_cast<float>(processClipperSample(ch.clipper, u));
        x = processBassTreble(ch.bassTrebleStack, x);

        x = highPass(ch.stageCInputHighPass, x);
        x = lowPass(ch.stageCFeedbackLowPass, x);
        x = gained(x, ch.stageC.gain);
        x = bandLimit(ch.stageC, clampToRails(ch.stageC, x));
        x = processContour(ch.contourStack, x);

        x = gained(highPass(ch.stageDInputHighPass, x), ch.stageD.gain);
        x = bandLimit(ch.stageD, clampToRails(ch.stageD, x));
        x = lowPassInverted(ch.stageDFeedbackLowPass, x);

        x = x * ch.volumeSmoother.step();
        x = x * nextFadeInGain(ch.fadeIn);
        samples[n] = x * outputGain;
    }
    ch.clipper.iterationCounter = 0;

    if (!channelStateIsFinite(ch))
    {
        resetChannelState(ch);
        restartFadeIn(ch);
        for (int n = 0; n < numSamples; ++n)
            if (!std::isfinite(samples[n]))
                samples[n] = 0.0f;
    }
}
} // namespace veltrano
