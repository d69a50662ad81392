#include "processor/QuarrionAudioProcessor.h"

using namespace veltrano;

QuarrionAudioProcessor::QuarrionAudioProcessor()
    : juce::AudioProcessor(BusesProperties()
                               .withInput("Input", juce::AudioChannelSet::stereo(), true)
                               .withOutput("Output", juce::AudioChannelSet::stereo(), true))
{
    // Two channels, one 2x stage, polyphase IIR half-band filters, fractional latency.
    oversampler = std::make_unique<juce::dsp::Oversampling<float>>(
        2, 1, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, false, false);

    for (size_t i = 0; i < parameterTable.size(); ++i)
    {
        const auto& spec = parameterTable[i];
        auto* p = new RK_NewFloatParameter(*this, spec.id, spec.name,
                                           juce::NormalisableRange<float>(spec.start, spec.end),
                                           spec.defaultValue, spec.label);
        parameters[i] = p;
        addParameter(p);
    }

    for (auto& flag : lockFlags)
        flag.store(0);
    isFirstPrepare = true;
    stateLoadedBeforePrepare = false;

    for (auto* p : parameters)
    {
        const auto v = p->getDefaultValue();
        p->setValue(v);
        p->sendValueChangedMessageToListeners(v);
    }

    // --- settings file and initial preset ---
    settings.settingsFileName = "Quarrion.vls";
    settings.readSettings();
    presetStore.currentPresetFile = settings.initialPresetFile;
    // Applied through the state document, so it counts as a state loaded before the first
    // prepareToPlay and its values survive it.
    presetStore.findInitialPreset();
    // --- end of settings file and initial preset ---
}

QuarrionAudioProcessor::~QuarrionAudioProcessor()
{
    oversampler.reset();
}

//==============================================================================
void QuarrionAudioProcessor::prepareToPlay(double sampleRate, int maximumBlock)
{
    maximumBlock = juce::jmax(1, maximumBlock);
    preparedBlockSize = maximumBlock;

    // Everything the audio thread may need later is sized here: both channels for any layout,
    // the rings for HQ at this rate, and the clipper tables for both circuit rates.
    dryBuffer.setSize(2, maximumBlock);
    oversampler->initProcessing(static_cast<size_t>(maximumBlock));
    for (auto& ring : dryDelay)
        ring.reserveForRate(2.0 * sampleRate);
    if (guessTables[0].rate != sampleRate)
    {
        guessTables[0] = computeGuessTable(sampleRate);
        guessTables[1] = computeGuessTable(2.0 * sampleRate);
    }

    if (isFirstPrepare)
    {
        currentSampleRate = sampleRate;
        prepareCircuit(hqActive ? sampleRate * 2.0 : sampleRate);
        updateCircuitFromParameters();
        reset();

        for (auto* p : parameters)
        {
            const auto v = stateLoadedBeforePrepare ? p->getValue() : p->getDefaultValue();
            p->setValue(v);
            p->sendValueChangedMessageToListeners(v);
        }
        isFirstPrepare = false;
    }
    else if (sampleRate != currentSampleRate)
    {
        std::array<float, numParameters> saved{};
        for (size_t i = 0; i < parameters.size(); ++i)
            saved[i] = parameters[i]->getValue();

        currentSampleRate = sampleRate;
        prepareCircuit(hqActive ? sampleRate * 2.0 : sampleRate);
        updateCircuitFromParameters();
        reset();
        restoreParameters(saved);
    }
}

void QuarrionAudioProcessor::restoreParameters(const std::array<float, numParameters>& values)
{
    for (size_t i = 0; i < parameters.size(); ++i)
    {
        parameters[i]->setValue(values[i]);
        parameters[i]->sendValueChangedMessageToListeners(values[i]);
    }
}

void QuarrionAudioProcessor::reset()
{
    oversampler->reset();
}

float QuarrionAudioProcessor::getOversamplerLatency() const noexcept
{
    return static_cast<float>(oversampler->getLatencyInSamples());
}

//==============================================================================
void QuarrionAudioProcessor::processBlock(juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    const int numSamples = buffer.getNumSamples();
    if (preparedBlockSize <= 0)
        return; // never prepared: leave the audio as the host gave it

    // A non-finite input sample would poison the oversampler and every filter state; it is
    // played as silence instead.
    const int processedInputs = juce::jmin(getTotalNumInputChannels(), buffer.getNumChannels());
    for (int c = 0; c < processedInputs; ++c)
    {
        auto* data = buffer.getWritePointer(c);
        for (int n = 0; n < numSamples; ++n)
            if (!std::isfinite(data[n]))
                data[n] = 0.0f;
    }

    // Some hosts send more samples than they announced; the buffers are sized for the
    // announced maximum, so longer blocks are processed in pieces.
    if (numSamples <= preparedBlockSize)
    {
        processPreparedBlock(buffer);
        return;
    }

    for (int start = 0; start < numSamples; start += preparedBlockSize)
    {
        const int length = juce::jmin(preparedBlockSize, numSamples - start);
        juce::AudioBuffer<float> piece(buffer.getArrayOfWritePointers(), buffer.getNumChannels(),
                                       start, length);
        processPreparedBlock(piece);
    }
}

void QuarrionAudioProcessor::processPreparedBlock(juce::AudioBuffer<float>& buffer) noexcept
{
    const int numSamples = buffer.getNumSamples();
    const int numInputs = getTotalNumInputChannels();
    const int numOutputs = getTotalNumOutputChannels();
    const int numChannels = buffer.getNumChannels();

    for (int c = juce::jmin(numInputs, 2); c < juce::jmin(numOutputs, numChannels); ++c)
        buffer.clear(c, 0, numSamples);

    updateCircuitFromParameters();

    // The dry copy reuses the storage sized in prepareToPlay.
    const int dryChannels = juce::jmin(numChannels, 2);
    dryBuffer.setSize(dryChannels, numSamples, false, false, true);
    for (int c = 0; c < dryChannels; ++c)
        dryBuffer.copyFrom(c, 0, buffer, c, 0, numSamples);

    const bool stereo = numInputs == 2 && numOutputs == 2 && numChannels >= 2;
    const int processed = stereo ? 2 : 1;
    if (numChannels < 1)
        return;

    processCircuitBlock(juce::dsp::AudioBlock<float>(buffer.getArrayOfWritePointers(),
                                                     static_cast<size_t>(processed), 0,
                                                     static_cast<size_t>(numSamples)));
    if (!stereo)
        for (int c = 1; c < numChannels; ++c)
            buffer.copyFrom(c, 0, buffer, 0, 0, numSamples);

    const float latency = hqActive ? getOversamplerLatency() : 0.0f;
    std::array<float*, 2> out{buffer.getWritePointer(0),
                              stereo ? buffer.getWritePointer(1) : nullptr};
    std::array<const float*, 2> dry{dryBuffer.getReadPointer(0),
                                    stereo ? dryBuffer.getReadPointer(1) : nullptr};

    for (int n = 0; n < numSamples; ++n)
    {
        std::array<float, 2> d{};
        for (int c = 0; c < processed; ++c)
            d[(size_t)c] = hqActive ? dryDelay[(size_t)c].read(latency) : dry[(size_t)c][n];
        for (int c = 0; c < processed; ++c)
            dryDelay[(size_t)c].write(dry[(size_t)c][n]);

        const float m = mixSmoother.step();
        const float p = powerSmoother.step();
        for (int c = 0; c < processed; ++c)
        {
            const float w = out[(size_t)c][n];
            out[(size_t)c][n] = p * (m * w + (1.0f - m) * d[(size_t)c]) + (1.0f - p) * d[(size_t)c];
        }
    }

    if (gateActive)
    {
        for (int n = 0; n < numSamples; ++n)
            for (int c = 0; c < processed; ++c)
            {
                const float detector =
                    sidechainDetector(sidechainFilters[(size_t)c], dry[(size_t)c][n]);
                out[(size_t)c][n] =
                    processGateSample(gates[(size_t)c], detector, out[(size_t)c][n]);
            }
    }

    // Outputs beyond the processed ones that the circuit did not fill stay as copies above;
    // in the stereo case every output past the first two was cleared at the start.
}

void QuarrionAudioProcessor::processBlockBypassed(juce::AudioBuffer<float>& buffer,
                                                  juce::MidiBuffer&)
{
    const int numInputs = getTotalNumInputChannels();
    for (int c = numInputs; c < juce::jmin(getTotalNumOutputChannels(), buffer.getNumChannels());
         ++c)
        buffer.clear(c, 0, buffer.getNumSamples());
}

//==============================================================================
void QuarrionAudioProcessor::updateReportedLatency() noexcept
{
    const int latency = hqActive ? juce::roundToInt(getOversamplerLatency()) : 0;
    if (latency != getLatencySamples())
        setLatencySamples(latency);
}

void QuarrionAudioProcessor::processCircuitBlock(juce::dsp::AudioBlock<float> block) noexcept
{
    juce::ScopedNoDenormals noDenormals;
    updateReportedLatency();

    if (hqActive)
    {
        auto up = oversampler->processSamplesUp(block);
        for (size_t c = 0; c < up.getNumChannels(); ++c)
            processChannel(channels[c], up.getChannelPointer(c),
                           static_cast<int>(up.getNumSamples()), inputGainLinear, outputGainLinear);
        oversampler->processSamplesDown(block);
    }
    else
    {
        for (size_t c = 0; c < block.getNumChannels(); ++c)
            processChannel(channels[c], block.getChannelPointer(c),
                           static_cast<int>(block.getNumSamples()), inputGainLinear,
                           outputGainLinear);
    }
}

//==============================================================================
bool QuarrionAudioProcessor::isBusesLayoutSupported(const BusesLayout& layouts) const
{
    const auto& out = layouts.getMainOutputChannelSet();
    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;
    return layouts.getMainInputChannelSet() == out;
}

juce::AudioProcessorEditor* QuarrionAudioProcessor::createEditor()
{
    // The pedal editor arrives with its own work; until then the host gets JUCE's generic one.
    return new juce::GenericAudioProcessorEditor(*this);
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new QuarrionAudioProcessor();
}
