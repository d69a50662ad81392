#pragma once

#include "processor/QuarrionAudioProcessor.h"

#include <juce_events/juce_events.h>

#include <vector>

namespace veltrano::test
{

using Channels = std::vector<std::vector<float>>;

// Drives a processor the way a host does: prepare once, then blocks of a fixed size.
struct ProcessorRig
{
    explicit ProcessorRig(int numChannels = 2)
    {
        if (numChannels == 1)
        {
            juce::AudioProcessor::BusesLayout mono;
            mono.inputBuses.add(juce::AudioChannelSet::mono());
            mono.outputBuses.add(juce::AudioChannelSet::mono());
            processor.setBusesLayout(mono);
        }
    }

    void set(int index, float normalised) { processor.parameter(index).setValue(normalised); }

    void prepare(double rate, int maximumBlock)
    {
        processor.setRateAndBufferSizeDetails(rate, maximumBlock);
        processor.prepareToPlay(rate, maximumBlock);
    }

    Channels run(const Channels& input, int blockSize)
    {
        const int numChannels = static_cast<int>(input.size());
        const int total = static_cast<int>(input[0].size());
        Channels output(input.size(), std::vector<float>(input[0].size()));
        juce::AudioBuffer<float> buffer(numChannels, blockSize);
        juce::MidiBuffer midi;
        for (int start = 0; start < total; start += blockSize)
        {
            const int n = std::min(blockSize, total - start);
            buffer.setSize(numChannels, n, false, false, true);
            for (int c = 0; c < numChannels; ++c)
                buffer.copyFrom(c, 0, input[(size_t)c].data() + start, n);
            processor.processBlock(buffer, midi);
            for (int c = 0; c < numChannels; ++c)
                std::copy(buffer.getReadPointer(c), buffer.getReadPointer(c) + n,
                          output[(size_t)c].data() + start);
        }
        return output;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    QuarrionAudioProcessor processor;
};

} // namespace veltrano::test
