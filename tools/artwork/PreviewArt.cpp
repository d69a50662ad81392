#include "Artwork.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace artwork
{
namespace
{

constexpr int editorWidth = 1400, editorHeight = 1200, panelWidth = 420;
// The pedal body's top-left corner in the editor at twice the base size.
constexpr int pedalX = 318, pedalY = 94;

juce::Image frameOf(const juce::Image& strip, int frames, int index)
{
    const auto h = strip.getHeight() / frames;
    return strip.getClippedImage({0, index * h, strip.getWidth(), h});
}

int knobFrameFor(float value)
{
    return (int)((float)(layout::knobFrames - 1) * value);
}

} // namespace

juce::Image makePreview(const ArtworkSet& art)
{
    using namespace layout;
    juce::Image image(juce::Image::ARGB, editorWidth + panelWidth, editorHeight, false,
                      juce::SoftwareImageType());
    juce::Graphics g(image);

    // The editor at 1400 x 1200, drawn the way the editor draws itself.
    g.setColour(juce::Colour(0xff171819));
    g.fillRect(0, 0, editorWidth, editorHeight);
    {
        juce::Graphics::ScopedSaveState state(g);
        g.reduceClipRegion(0, 0, editorWidth, editorHeight);
        g.drawImageTransformed(art.background, juce::AffineTransform::scale(2.0f * 0.56f));

        juce::MemoryInputStream svg(art.logoSvg.toRawUTF8(), art.logoSvg.getNumBytesAsUTF8(),
                                    false);
        if (auto logo = juce::Drawable::createFromImageDataStream(svg))
        {
            logo->replaceColour(juce::Colours::black, juce::Colour(0xfff0e9de));
            logo->draw(g, 1.0f, juce::AffineTransform::scale(0.24f).translated(20.0f, 20.0f));
        }

        g.drawImageAt(art.pedal, pedalX, pedalY);
        const std::array<float, 5> values{0.0f, 0.5f, 1.0f, 0.5f, 0.0f};
        for (size_t i = 0; i < values.size(); ++i)
            g.drawImageAt(frameOf(art.knobs, knobFrames, knobFrameFor(values[i])),
                          pedalX + knobCellX[i], pedalY + knobCellY);
        g.drawImageAt(frameOf(art.led, 2, 1), pedalX + ledCellX, pedalY + ledCellY);
        g.drawImageAt(art.switchUp, pedalX + switchCellX, pedalY + switchCellY);
    }

    // The side panel: the other states at their own pixel size.
    const auto x0 = editorWidth;
    g.setColour(juce::Colour(0xff2a2b2d));
    g.fillRect(x0, 0, panelWidth, editorHeight);

    const std::array<float, 3> sweep{0.0f, 0.5f, 1.0f};
    for (size_t i = 0; i < sweep.size(); ++i)
        g.drawImageAt(frameOf(art.knobs, knobFrames, knobFrameFor(sweep[i])),
                      x0 + 14 + (int)i * 134, 40);

    g.drawImageAt(frameOf(art.led, 2, 0), x0 + 120, 220);
    g.drawImageAt(frameOf(art.led, 2, 1), x0 + 250, 220);
    g.drawImageAt(art.switchUp, x0 + 60, 330);
    g.drawImageAt(art.switchDown, x0 + 240, 330);

    g.setColour(juce::Colour(0xff393a3c));
    g.fillRect(x0 + 60, 500, 300, 80);
    g.drawImageAt(art.aboutLogo, x0 + 210 - aboutLogoWidth / 2, 524);
    return image;
}

} // namespace artwork
