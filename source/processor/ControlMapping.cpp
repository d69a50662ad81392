// How the parameters reach the circuit: preparation for a circuit rate and the per-block
// control update.

#include "processor/QuarrionAudioProcessor.h"

using namespace veltrano;

namespace
{

void prepareSmoother(CrossfadeSmoother& smoother, double rate) noexcept
{
    // A 100 Hz one-pole at the preparation rate, starting from the dry signal.
    smoother.coefficient = crossfadeCoefficient(rate);
    smoother.inputCoefficient = 1.0f - smoother.coefficient;
    smoother.current = 0.0f;
}
} // namespace

float QuarrionAudioProcessor::normalised(int index) const noexcept
{
    // A host or a document may store any float; the circuit and the crossfades only ever see
    // 0..1, and a value that is not a number counts as the parameter's default.
    const float v = parameter(index).getValue();
    if (!std::isfinite(v))
        return std::isnan(v) ? parameter(index).getDefaultValue() : (v > 0.0f ? 1.0f : 0.0f);
    return juce::jlimit(0.0f, 1.0f, v);
}

const GuessTable& QuarrionAudioProcessor::guessTableFor(double rate) noexcept
{
    for (auto& table : guessTables)
        if (table.rate == rate)
            return table;

    // Only reachable if the circuit is prepared without prepareToPlay having seen this rate;
    // the sweep is then run here rather than playing with a wrong table.
    guessTables[0] = computeGuessTable(rate);
    return guessTables[0];
}

void QuarrionAudioProcessor::prepareCircuit(double rate) noexcept
{
    const double hostRate = hqActive ? currentSampleRate : rate;
    const auto& table = guessTableFor(rate);

    for (size_t c = 0; c < channels.size(); ++c)
    {
        dryDelay[c].prepare(rate);
        prepareGate(gates[c], sidechainFilters[c], hostRate);
        prepareChannel(channels[c], rate, circuitIndex.load(), table);
    }

    prepareSmoother(powerSmoother, rate);
    prepareSmoother(mixSmoother, rate);
}

void QuarrionAudioProcessor::updateCircuitFromParameters() noexcept
{
    const bool hqWanted = normalised(hqIndex) != 0.0f;
    if (hqWanted != hqActive)
    {
        hqActive = hqWanted;
        oversampler->reset();
        prepareCircuit(hqActive ? currentSampleRate * 2.0 : currentSampleRate);
    }

    // Cleared before reading, so a write that lands during this update triggers the next one.
    if (!parametersChanged.exchange(false))
        return;

    const float power = normalised(powerIndex);
    if (powerSmoother.target != power)
        powerSmoother.target = power;

    const int index = roundCircuitIndex(parameter(circuitTypeIndex).getRealValue());
    if (index != appliedCircuitIndex)
    {
        const auto& table = guessTableFor(channels[0].rate);
        for (auto& channel : channels)
            selectVariant(channel, index, table);

        circuitIndex.store(index);
        if (variantNameOf(index) != nullptr)
            namedCircuitIndex.store(index);
        appliedCircuitIndex = index;
        circuitChanged.store(true);

        for (auto& channel : channels)
            restartFadeIn(channel);
    }

    const float gain = normalised(gainIndex);
    const float bass = normalised(bassIndex);
    const float contour = normalised(contourIndex);
    const float treble = normalised(trebleIndex);
    const float volume = normalised(volumeIndex);
    for (auto& channel : channels)
        setCircuitControls(channel, gain, bass, contour, treble, volume);

    inputGainLinear = decibelsToGain(parameter(inputGainIndex).getRealValue());
    outputGainLinear = decibelsToGain(parameter(outputGainIndex).getRealValue());

    const float gate = normalised(gateIndex);
    // Against the float 0.001f: GATE set to 0.001 (shown as 0.1 %) must leave the gate off, and
    // the float nearest 0.001 lies just above the double 0.001.
    gateActive = gate > 0.001f;
    const float threshold = gateThresholdFromParameter(gate);
    for (auto& g : gates)
        g.threshold = threshold;

    const float mix = normalised(mixIndex);
    if (mixSmoother.target != mix)
        mixSmoother.target = mix;
}

juce::String QuarrionAudioProcessor::getCircuitName() const
{
    const int index = namedCircuitIndex.load();
    if (index < 0)
        return {};
    return variantNameOf(index);
}
