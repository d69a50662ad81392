#include "Artwork.h"

namespace artwork
{
namespace
{

// The pedal body's outline in background pixels: the editor draws the background at 0.56 of
// the window width and the pedal body at half size centred, so one body pixel covers
// 0.5 / 0.56 background pixels, starting at (159, 47) / 0.56.
constexpr float bodyToBackground = 0.5f / 0.56f;
constexpr float pedalOriginX = 159.0f / 0.56f, pedalOriginY = 47.0f / 0.56f;

juce::Point<float> fromPedal(float x, float y)
{
    return {pedalOriginX + x * bodyToBackground, pedalOriginY + y * bodyToBackground};
}

juce::Rectangle<float> bodyOutline()
{
    const auto topLeft = fromPedal(14.0f, 18.0f), bottomRight = fromPedal(750.0f, 1000.0f);
    return {topLeft, bottomRight};
}

// A patch cable lying on the board: a dark rubber tube with a soft sheen and its shadow.
void drawCable(juce::Graphics& g, const juce::Path& route, int width, int height)
{
    juce::Path outline;
    juce::PathStrokeType(22.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded)
        .createStrokedPath(outline, route);

    auto shadow = softShadow(outline, width, height, 9, juce::Colours::black.withAlpha(0.75f));
    g.drawImageAt(shadow, 7, 12);

    g.setColour(juce::Colour::fromFloatRGBA(0.030f, 0.030f, 0.032f, 1.0f));
    g.strokePath(route, juce::PathStrokeType(22.0f, juce::PathStrokeType::curved,
                                             juce::PathStrokeType::rounded));
    g.setColour(juce::Colour::fromFloatRGBA(0.070f, 0.068f, 0.070f, 1.0f));
    g.strokePath(route, juce::PathStrokeType(15.0f, juce::PathStrokeType::curved,
                                             juce::PathStrokeType::rounded));

    auto sheen = route;
    sheen.applyTransform(juce::AffineTransform::translation(-2.0f, -4.0f));
    g.setColour(juce::Colour::fromFloatRGBA(0.42f, 0.38f, 0.34f, 0.30f));
    g.strokePath(sheen, juce::PathStrokeType(3.5f, juce::PathStrokeType::curved,
                                             juce::PathStrokeType::rounded));
}

// The plug's metal barrel and its strain relief, entering a side jack horizontally.
void drawPlug(juce::Graphics& g, float tipX, float y, bool fromLeft)
{
    const auto dir = fromLeft ? -1.0f : 1.0f;
    const auto barrelLength = 58.0f, reliefLength = 34.0f;
    const auto x0 = tipX, x1 = tipX + dir * barrelLength, x2 = x1 + dir * reliefLength;

    auto span = [](float a, float b, float cy, float h)
    {
        return juce::Rectangle<float>::leftTopRightBottom(std::min(a, b), cy - h * 0.5f,
                                                          std::max(a, b), cy + h * 0.5f);
    };

    const auto barrel = span(x0, x1, y, 30.0f);
    const auto relief = span(x1, x2, y, 21.0f);

    juce::Path shape;
    shape.addRoundedRectangle(barrel, 5.0f);
    shape.addRoundedRectangle(relief, 8.0f);
    auto shadow = softShadow(shape, 1400, 1080, 8, juce::Colours::black.withAlpha(0.8f));
    g.drawImageAt(shadow, 6, 11);

    juce::ColourGradient metal(juce::Colour(0xff2a2b2e), 0.0f, barrel.getY(),
                               juce::Colour(0xff1a1a1c), 0.0f, barrel.getBottom(), false);
    metal.addColour(0.22, juce::Colour(0xffd8dade));
    metal.addColour(0.40, juce::Colour(0xff8a8d93));
    metal.addColour(0.70, juce::Colour(0xff3c3e42));
    metal.addColour(0.86, juce::Colour(0xff6e7176));
    g.setGradientFill(metal);
    g.fillRoundedRectangle(barrel, 5.0f);

    // Knurled grip rings across the barrel.
    g.setColour(juce::Colours::black.withAlpha(0.35f));
    for (int i = 0; i < 9; ++i)
    {
        const auto x = std::min(x0, x1) + 14.0f + (float)i * 3.6f;
        g.fillRect(
            juce::Rectangle<float>(x, barrel.getY() + 1.0f, 1.4f, barrel.getHeight() - 2.0f));
    }

    juce::ColourGradient rubber(juce::Colour(0xff050505), 0.0f, relief.getY(),
                                juce::Colour(0xff020202), 0.0f, relief.getBottom(), false);
    rubber.addColour(0.3, juce::Colour(0xff3a3836));
    rubber.addColour(0.55, juce::Colour(0xff121212));
    g.setGradientFill(rubber);
    g.fillRoundedRectangle(relief, 8.0f);
}

} // namespace

juce::Image makeBackground()
{
    using namespace layout;
    juce::Image image(juce::Image::ARGB, backgroundWidth, backgroundHeight, false,
                      juce::SoftwareImageType());

    // The visible part is about 1250 x 1070; the light pool sits on the pedal.
    const auto pool = fromPedal(382.0f, 470.0f);

    shadePixels(image, 1,
                [&](float x, float y)
                {
                    // Loop fabric of a pedalboard: fine fibres, a faint woven grid and
                    // a slow mottle.
                    const auto ix = (int)x, iy = (int)y;
                    const auto fibre = hashNoise(ix, iy, 11) - 0.5f;
                    const auto fuzz = valueNoise(x, y, 2.5f, 12) - 0.5f;
                    const auto weave = std::sin(x * 1.9f) * std::sin(y * 1.9f);
                    const auto mottle = valueNoise(x, y, 90.0f, 13) - 0.5f;

                    const auto dx = (x - pool.x) / 700.0f, dy = (y - pool.y) / 640.0f;
                    const auto d2 = dx * dx + dy * dy;
                    const auto light = std::exp(-d2 * 2.1f);

                    const auto vx = x / 1250.0f - 0.5f, vy = y / 1070.0f - 0.5f;
                    const auto vignette =
                        1.0f - 0.55f * smoothstep(0.18f, 0.55f, vx * vx + vy * vy);

                    auto v = 0.060f + 0.120f * light;
                    v *= 1.0f + 0.22f * fibre + 0.30f * fuzz + 0.05f * weave + 0.25f * mottle;
                    v *= vignette;

                    // Warm stage light in the pool, a cool spill from the left.
                    const auto warm = light;
                    const auto cool = smoothstep(0.65f, 0.0f, x / 1250.0f) * 0.35f;
                    return Rgba{v * (1.00f + 0.16f * warm - 0.10f * cool),
                                v * (0.97f + 0.04f * warm - 0.02f * cool),
                                v * (0.95f - 0.10f * warm + 0.18f * cool), 1.0f};
                });

    juce::Graphics g(image);

    // Cables to the side jacks, drawn before the pedal's own shadow falls over their ends.
    const auto inJack = fromPedal(0.0f, 360.0f), outJack = fromPedal(764.0f, 360.0f);
    const auto inPlugEnd = inJack.x - 92.0f, outPlugEnd = outJack.x + 92.0f;

    juce::Path inCable;
    inCable.startNewSubPath(inPlugEnd + 6.0f, inJack.y);
    inCable.cubicTo(inPlugEnd - 120.0f, inJack.y, inPlugEnd - 110.0f, 760.0f, -60.0f, 820.0f);
    drawCable(g, inCable, backgroundWidth, backgroundHeight);

    juce::Path outCable;
    outCable.startNewSubPath(outPlugEnd - 6.0f, outJack.y);
    outCable.cubicTo(outPlugEnd + 130.0f, outJack.y, outPlugEnd + 60.0f, 120.0f, 1460.0f, 160.0f);
    drawCable(g, outCable, backgroundWidth, backgroundHeight);

    drawPlug(g, inJack.x + 2.0f, inJack.y, true);
    drawPlug(g, outJack.x - 2.0f, outJack.y, false);

    // The pedal's shadow: a wide soft one from the stage light and a tight contact shadow.
    juce::Path body;
    body.addRoundedRectangle(bodyOutline(), 40.0f);
    auto wide = softShadow(body, backgroundWidth, backgroundHeight, 26,
                           juce::Colours::black.withAlpha(0.80f));
    g.drawImageAt(wide, 14, 30);
    auto contact = softShadow(body, backgroundWidth, backgroundHeight, 5,
                              juce::Colours::black.withAlpha(0.90f));
    g.drawImageAt(contact, 3, 6);

    return image;
}

} // namespace artwork
