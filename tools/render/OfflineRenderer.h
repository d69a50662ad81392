#pragma once

#include "RenderOptions.h"

#include "processor/QuarrionAudioProcessor.h"

#include <functional>
#include <memory>

namespace veltrano::render
{

// Where the settings of a render come from: a preset document (optional), then single parameters.
struct SoundSettings
{
    std::unique_ptr<juce::XmlElement> preset;
    juce::String presetLabel;
    std::vector<ParameterSetting> parameters;
};

// Loads a preset file for rendering. Unlike the plug-in, which ignores a bad preset file, the
// renderer reports it: the user asked for that sound.
std::unique_ptr<juce::XmlElement> readPresetFile(const juce::File& file, juce::String& error);

// Finds a preset by name (file name without ".vlp", letter case ignored) anywhere below folder.
juce::File findPresetByName(const juce::File& folder, const juce::String& name);

// A processor set up the way a host does it: layout, prepareToPlay, then the preset and the
// parameters through the processor's own state operations.
std::unique_ptr<QuarrionAudioProcessor> makeProcessor(int numChannels, double rate, int blockSize,
                                                      const SoundSettings& settings);

// Runs the whole input through the processor in host-sized blocks. The reported latency is
// compensated and the end flushed, so the output lines up with the input sample for sample.
juce::AudioBuffer<float> renderAligned(QuarrionAudioProcessor& processor,
                                       const juce::AudioBuffer<float>& input, int blockSize,
                                       const std::function<void(double)>& progress = {});

} // namespace veltrano::render
