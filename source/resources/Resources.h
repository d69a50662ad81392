#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace veltrano
{

// Bytes of one compiled-in resource.
struct EmbeddedResource
{
    const void* data = nullptr;
    size_t size = 0;
};

namespace resources
{
// 1400 x 1080; the editor shows its top-left part at 0.56 of the window width.
EmbeddedResource background();
// 764 x 1015 with transparency; the controls sit over it.
EmbeddedResource pedalBody();
// 123 x 15104: knobFrames frames of 123 x 118, stacked, pointer from 7 to 5 o'clock.
EmbeddedResource knobStrip();
// 45 x 90: off above, lit below.
EmbeddedResource ledStrip();
// 113 x 100 each.
EmbeddedResource footswitchUp();
EmbeddedResource footswitchDown();
// SVG, one black fill, view box 722.3 x 134.1.
EmbeddedResource makerLogo();
// 165 x 32, for the about panel.
EmbeddedResource aboutLogo();
EmbeddedResource textFontRegular();
EmbeddedResource textFontBold();
EmbeddedResource iconFont();

constexpr int knobFrames = 128;
constexpr int ledFrames = 2;
} // namespace resources

// Decodes through juce::ImageCache, so each bitmap is decoded once and shared; a resource
// that fails to decode gives an empty image, which draws nothing.
juce::Image loadImage(EmbeddedResource resource);

// A new drawable of the maker's logo, parsed from its SVG on every call.
std::unique_ptr<juce::Drawable> createMakerLogo();

// The three typefaces, each created once per process and shared by every editor.
juce::Typeface::Ptr textFontRegular();
juce::Typeface::Ptr textFontBold();
juce::Typeface::Ptr iconFont();

} // namespace veltrano
