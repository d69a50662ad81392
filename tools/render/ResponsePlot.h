#pragma once

#include "OfflineRenderer.h"

#include <juce_graphics/juce_graphics.h>

namespace veltrano::render
{

struct ResponsePoint
{
    double frequency;
    double gainDb;
};

// The small-signal magnitude response of the whole chain at the given settings, measured
// through the processor with stepped sines at -80 dBFS (noise gate off), 20 Hz to 20 kHz.
std::vector<ResponsePoint> measureResponse(double rate, const SoundSettings& settings,
                                           int points = 48);

constexpr int plotWidth = 1200;
constexpr int plotHeight = 900;

// Frequency response on top, input and output waveforms of a stretch of the demo phrase below.
juce::Image drawPlot(double rate, const SoundSettings& settings, const juce::String& caption);

bool writePng(const juce::Image& image, const juce::File& file, juce::String& error);

} // namespace veltrano::render
