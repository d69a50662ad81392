#include "OfflineRenderer.h"

namespace veltrano::render
{

std::unique_ptr<juce::XmlElement> readPresetFile(const juce::File& file, juce::String& error)
{
    if (!file.existsAsFile())
    {
        error = "preset file not found: " + file.getFullPathName();
        return nullptr;
    }
    auto xml = QuarrionAudioProcessor::parseStateDocument(file.loadFileAsString());
    if (xml == nullptr || !xml->hasTagName(QuarrionAudioProcessor::stateTag))
    {
        error = "not a Quarrion preset: " + file.getFullPathName();
        return nullptr;
    }
    return xml;
}

juce::File findPresetByName(const juce::File& folder, const juce::String& name)
{
    if (!folder.isDirectory())
        return {};
    auto files = folder.findChildFiles(juce::File::findFiles, true, "*");
    files.sort();
    for (const auto& f : files)
        if (f.hasFileExtension(".vlp") && f.getFileNameWithoutExtension().equalsIgnoreCase(name))
            return f;
    return {};
}

std::unique_ptr<QuarrionAudioProcessor> makeProcessor(int numChannels, double rate, int blockSize,
                                                      const SoundSettings& settings)
{
    auto processor = std::make_unique<QuarrionAudioProcessor>();
    if (numChannels == 1)
    {
        juce::AudioProcessor::BusesLayout mono;
        mono.inputBuses.add(juce::AudioChannelSet::mono());
        mono.outputBuses.add(juce::AudioChannelSet::mono());
        processor->setBusesLayout(mono);
    }
    processor->setNonRealtime(true);
    processor->setRateAndBufferSizeDetails(rate, blockSize);
    processor->prepareToPlay(rate, blockSize);

    if (settings.preset != nullptr)
        processor->readStateFromXml(*settings.preset);
    for (const auto& p : settings.parameters)
    {
        auto& parameter = processor->parameter(p.index);
        parameter.setValue(p.normalised);
        parameter.sendValueChangedMessageToListeners(p.normalised);
    }
    return processor;
}

juce::AudioBuffer<float> renderAligned(QuarrionAudioProcessor& processor,
                                       const juce::AudioBuffer<float>& input, int blockSize,
                                       const std::function<void(double)>& progress)
{
    // Far more than the 2x oversampler's latency; the unused tail is dropped.
    constexpr int flush = 1024;
    const int numChannels = input.getNumChannels();
    const int length = input.getNumSamples();
    const int total = length + flush;

    juce::AudioBuffer<float> processed(numChannels, total);
    processed.clear();
    for (int c = 0; c < numChannels; ++c)
        processed.copyFrom(c, 0, input, c, 0, length);

    juce::MidiBuffer midi;
    int latency = 0;
    for (int start = 0; start < total; start += blockSize)
    {
        const int n = juce::jmin(blockSize, total - start);
        juce::AudioBuffer<float> block(processed.getArrayOfWritePointers(), numChannels, start, n);
        processor.processBlock(block, midi);
        if (start == 0)
            latency = juce::jlimit(0, flush, processor.getLatencySamples());
        if (progress)
            progress(static_cast<double>(start + n) / total);
    }

    juce::AudioBuffer<float> output(numChannels, length);
    for (int c = 0; c < numChannels; ++c)
        output.copyFrom(c, 0, processed, c, latency, length);
    return output;
}

} // namespace veltrano::render
