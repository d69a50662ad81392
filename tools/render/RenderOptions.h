#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <utility>
#include <vector>

namespace veltrano::render
{

struct ParameterSetting
{
    int index = 0;          // parameter index
    float normalised = 0.f; // value to set, 0..1
    juce::String text;      // as given, for the plot's caption
};

struct RenderOptions
{
    juce::File input; // none: the built-in demo phrase
    juce::File output;
    juce::File presetFile;      // a .vlp file, or
    juce::String factoryPreset; // a preset name looked up below presetFolder
    juce::File presetFolder;    // where factory presets are looked up
    std::vector<ParameterSetting> parameters;
    int blockSize = 512;
    bool floatOutput = false;
    juce::File plot;
    bool quiet = false;
    bool showHelp = false;
};

struct ParseResult
{
    std::optional<RenderOptions> options;
    juce::String error; // set when options is empty
};

ParseResult parseCommandLine(const juce::StringArray& args, const juce::File& defaultPresetFolder);

// Parses one "ID=VALUE" setting with VALUE in real units (percent, dB, On/Off, a circuit name or
// number). Returns the error text on failure.
std::pair<std::optional<ParameterSetting>, juce::String>
parseParameterSetting(const juce::String& text);

juce::String usage();

} // namespace veltrano::render
