#pragma once

#include "ArtworkKit.h"

#include <array>

namespace artwork
{

// Where the editor puts its controls over the pedal body, in the body image's own pixels.
namespace layout
{
constexpr int pedalWidth = 764, pedalHeight = 1015;
constexpr int knobCellWidth = 123, knobCellHeight = 118, knobFrames = 128;
constexpr std::array<int, 5> knobCellX{42, 182, 324, 464, 602};
constexpr int knobCellY = 96;
constexpr int ledCellX = 358, ledCellY = 472, ledCellSize = 45;
constexpr int switchCellX = 320, switchCellY = 604, switchCellWidth = 113, switchCellHeight = 100;
constexpr int backgroundWidth = 1400, backgroundHeight = 1080;
constexpr int aboutLogoWidth = 165, aboutLogoHeight = 32;
constexpr float logoViewWidth = 722.3f, logoViewHeight = 134.1f;

// The knob's radius in its frame; the pedal prints its scale just outside it.
constexpr float knobRadius = 43.0f;
// The pointer sweeps 300 degrees, from 7 o'clock (frame 0) to 5 o'clock (the last frame).
constexpr float knobStartAngle = -150.0f, knobEndAngle = 150.0f;
} // namespace layout

juce::Image makeBackground();
juce::Image makePedalBody(const Typefaces& faces, const juce::Path& makerWordmark);
juce::Image makeKnobStrip();
juce::Image makeLedStrip();
juce::Image makeFootswitch(bool down);

// The maker's wordmark as one outline in the logo's view box (722.3 x 134.1).
juce::Path makeWordmark(const Typefaces& faces);
juce::String wordmarkSvg(const juce::Path& wordmark);
juce::Image makeAboutLogo(const juce::Path& wordmark);

struct ArtworkSet
{
    juce::Image background, pedal, knobs, led, switchUp, switchDown, aboutLogo;
    juce::String logoSvg;
};

juce::Image makePreview(const ArtworkSet& art);

} // namespace artwork
