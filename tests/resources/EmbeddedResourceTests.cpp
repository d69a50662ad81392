#include "resources/Resources.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

using veltrano::EmbeddedResource;
namespace res = veltrano::resources;

class EmbeddedResources : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI gui;
};

struct BitmapCase
{
    const char* name;
    EmbeddedResource (*resource)();
    int width, height;
};

const BitmapCase bitmaps[] = {
    {"background", res::background, 1400, 1080},
    {"pedal body", res::pedalBody, 764, 1015},
    {"knob strip", res::knobStrip, 123, 128 * 118},
    {"LED strip", res::ledStrip, 45, 2 * 45},
    {"footswitch up", res::footswitchUp, 113, 100},
    {"footswitch down", res::footswitchDown, 113, 100},
    {"about logo", res::aboutLogo, 165, 32},
};

TEST_F(EmbeddedResources, EveryBitmapDecodesAtItsPixelSizeAndIsSharedThroughTheCache)
{
    for (const auto& c : bitmaps)
    {
        SCOPED_TRACE(c.name);
        const auto bytes = c.resource();
        ASSERT_NE(bytes.data, nullptr);
        ASSERT_GT(bytes.size, 8u);
        EXPECT_EQ(0, std::memcmp(bytes.data, "\x89PNG", 4));

        const auto image = veltrano::loadImage(bytes);
        ASSERT_TRUE(image.isValid());
        EXPECT_EQ(image.getWidth(), c.width);
        EXPECT_EQ(image.getHeight(), c.height);

        // The second load is the cached image, not a second decode.
        EXPECT_EQ(veltrano::loadImage(bytes).getPixelData(), image.getPixelData());
    }
}

TEST_F(EmbeddedResources, ResourceThatCannotDecodeGivesAnEmptyImage)
{
    const char notAnImage[] = "not an image at all";
    EXPECT_FALSE(veltrano::loadImage({notAnImage, sizeof(notAnImage)}).isValid());
    EXPECT_FALSE(veltrano::loadImage({}).isValid());
}

// Mean brightness (0..255) of a few pixels around a point on the image.
float brightnessAround(const juce::Image& image, float x, float y)
{
    float sum = 0.0f;
    int n = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
        {
            const auto p = image.getPixelAt((int)x + dx, (int)y + dy);
            sum += p.getBrightness() * 255.0f * p.getFloatAlpha();
            ++n;
        }
    return sum / (float)n;
}

juce::Image frame(const juce::Image& strip, int frames, int index)
{
    const auto h = strip.getHeight() / frames;
    return strip.getClippedImage({0, index * h, strip.getWidth(), h});
}

// Brightness of the knob top at `radius` from the centre, at a clock angle in degrees
// (0 = 12 o'clock, clockwise).
float knobAt(const juce::Image& f, float degrees, float radius)
{
    const auto a = juce::degreesToRadians(degrees);
    return brightnessAround(f, 61.5f + radius * std::sin(a), 59.0f - radius * std::cos(a));
}

TEST_F(EmbeddedResources, KnobPointerSweepsFromSevenToFiveOClock)
{
    const auto strip = veltrano::loadImage(res::knobStrip());
    ASSERT_EQ(strip.getHeight() / res::knobFrames, 118);

    struct Case
    {
        int frame;
        float pointerDegrees;
    };
    // Frame n points at -150 + 300 n / 127 degrees.
    const Case cases[] = {{0, -150.0f}, {64, 1.18f}, {127, 150.0f}, {32, -74.4f}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.frame);
        const auto f = frame(strip, res::knobFrames, c.frame);
        const auto onPointer = knobAt(f, c.pointerDegrees, 30.0f);
        const auto opposite = knobAt(f, c.pointerDegrees + 180.0f, 30.0f);
        const auto beside = knobAt(f, c.pointerDegrees + 60.0f, 30.0f);
        EXPECT_GT(onPointer, 150.0f);
        EXPECT_LT(opposite, 60.0f);
        EXPECT_LT(beside, 60.0f);
    }
}

TEST_F(EmbeddedResources, KnobLightingStaysPutWhileThePointerTurns)
{
    const auto strip = veltrano::loadImage(res::knobStrip());
    const auto first = frame(strip, res::knobFrames, 0);
    const auto last = frame(strip, res::knobFrames, res::knobFrames - 1);

    // The aluminium insert and the shadow around the knob do not depend on the angle.
    int largest = 0;
    for (int y = 0; y < 118; ++y)
        for (int x = 0; x < 123; ++x)
        {
            const auto r = std::hypot((float)x + 0.5f - 61.5f, (float)y + 0.5f - 59.0f);
            if (r > 17.0f && r < 48.0f)
                continue;
            const auto a = first.getPixelAt(x, y), b = last.getPixelAt(x, y);
            largest = std::max({largest, std::abs(a.getRed() - b.getRed()),
                                std::abs(a.getAlpha() - b.getAlpha())});
        }
    EXPECT_LE(largest, 1);

    // Outside the knob and its shadow the frame is transparent, so the pedal shows through.
    EXPECT_EQ(first.getPixelAt(0, 0).getAlpha(), 0);
    EXPECT_EQ(first.getPixelAt(122, 117).getAlpha(), 0);
}

TEST_F(EmbeddedResources, LedIsDarkAboveAndLitRedBelow)
{
    const auto strip = veltrano::loadImage(res::ledStrip());
    const auto off = frame(strip, res::ledFrames, 0).getPixelAt(22, 22);
    const auto on = frame(strip, res::ledFrames, 1).getPixelAt(22, 22);
    EXPECT_GT(on.getRed(), 200);
    EXPECT_GT(on.getRed(), 2 * off.getRed());
    EXPECT_GT(on.getRed(), on.getBlue() + 60);
    EXPECT_EQ(on.getAlpha(), 255);
    EXPECT_EQ(off.getAlpha(), 255);
}

TEST_F(EmbeddedResources, FootswitchUpAndDownLookDifferent)
{
    const auto up = veltrano::loadImage(res::footswitchUp());
    const auto down = veltrano::loadImage(res::footswitchDown());
    // Compare the actuator in the middle, where pressing it shows.
    float upCap = 0.0f, downCap = 0.0f;
    for (int y = 40; y < 60; ++y)
        for (int x = 46; x < 66; ++x)
        {
            upCap += up.getPixelAt(x, y).getBrightness();
            downCap += down.getPixelAt(x, y).getBrightness();
        }
    EXPECT_GT(upCap, downCap * 1.15f);
}

TEST_F(EmbeddedResources, PedalBodyIsOpaqueUnderEveryControlAndTransparentAtItsCorners)
{
    const auto pedal = veltrano::loadImage(res::pedalBody());
    EXPECT_EQ(pedal.getPixelAt(0, 0).getAlpha(), 0);
    EXPECT_EQ(pedal.getPixelAt(763, 1014).getAlpha(), 0);

    const juce::Point<int> centres[] = {{103, 155}, {243, 155}, {385, 155}, {525, 155},
                                        {663, 155}, {380, 494}, {376, 654}};
    for (auto p : centres)
        EXPECT_EQ(pedal.getPixelAt(p.x, p.y).getAlpha(), 255) << p.toString();
}

TEST_F(EmbeddedResources, MakerLogoIsOneBlackFillInItsViewBox)
{
    const auto bytes = res::makerLogo();
    const auto svg = juce::parseXML(
        juce::String::fromUTF8(static_cast<const char*>(bytes.data), (int)bytes.size));
    ASSERT_NE(svg, nullptr);
    EXPECT_TRUE(svg->hasTagName("svg"));
    EXPECT_EQ(svg->getStringAttribute("viewBox"), "0 0 722.3 134.1");

    int fills = 0;
    for (auto* e : svg->getChildIterator())
        if (e->hasAttribute("fill"))
        {
            ++fills;
            EXPECT_EQ(e->getStringAttribute("fill"), "#000000");
        }
    EXPECT_EQ(fills, 1);

    auto logo = veltrano::createMakerLogo();
    ASSERT_NE(logo, nullptr);
    EXPECT_TRUE(logo->replaceColour(juce::Colours::black, juce::Colour(0xfff0e9de)));

    // Drawn as the editor draws it, the wordmark fills a good part of its box and stays in it.
    juce::Image image(juce::Image::ARGB, 88, 17, true);
    {
        juce::Graphics g(image);
        logo->draw(g, 1.0f, juce::AffineTransform::scale(0.12f));
    }
    int inked = 0;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 88; ++x)
        {
            const auto pixel = image.getPixelAt(x, y);
            inked += pixel.getAlpha() > 128 ? 1 : 0;
            if (pixel.getAlpha() == 255)
            {
                EXPECT_EQ(pixel, juce::Colour(0xfff0e9de));
            }
        }
    EXPECT_GT(inked, 88 * 17 / 6);
}

TEST_F(EmbeddedResources, TypefacesAreCreatedOnceAndHaveTheirStyles)
{
    const auto regular = veltrano::textFontRegular();
    const auto bold = veltrano::textFontBold();
    const auto icons = veltrano::iconFont();
    ASSERT_NE(regular, nullptr);
    ASSERT_NE(bold, nullptr);
    ASSERT_NE(icons, nullptr);

    EXPECT_EQ(veltrano::textFontRegular().get(), regular.get());
    EXPECT_EQ(veltrano::textFontBold().get(), bold.get());
    EXPECT_EQ(veltrano::iconFont().get(), icons.get());

    EXPECT_EQ(regular->getName(), bold->getName());
    EXPECT_EQ(regular->getStyle(), "Regular");
    EXPECT_EQ(bold->getStyle(), "Bold");
    EXPECT_EQ(icons->getName(), "FontAwesome");
}

TEST_F(EmbeddedResources, IconFontHasEveryGlyphTheEditorUses)
{
    const auto icons = veltrano::iconFont();
    ASSERT_NE(icons, nullptr);

    // previous, next, save, delete, randomise, reset, news bell
    const juce::juce_wchar used[] = {0xf0d9, 0xf0da, 0xf0c7, 0xf00d, 0xf074, 0xf01e, 0xf0a2};
    juce::StringArray outlines;
    for (auto c : used)
    {
        juce::Path outline;
        ASSERT_TRUE(icons->getOutlineForGlyph((int)c, outline)) << std::hex << (int)c;
        EXPECT_FALSE(outline.isEmpty()) << std::hex << (int)c;
        outlines.addIfNotAlreadyThere(outline.toString());
    }
    // Seven different shapes, not one stand-in glyph.
    EXPECT_EQ(outlines.size(), 7);

    // The previous and next carets are mirror images of each other.
    juce::Path previous, next;
    icons->getOutlineForGlyph(0xf0d9, previous);
    icons->getOutlineForGlyph(0xf0da, next);
    EXPECT_NEAR(previous.getBounds().getWidth(), next.getBounds().getWidth(), 1.0e-3f);
    EXPECT_NEAR(previous.getBounds().getHeight(), next.getBounds().getHeight(), 1.0e-3f);
}

} // namespace
