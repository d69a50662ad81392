#include "Artwork.h"

#include <functional>

namespace artwork
{
namespace
{

// The cast enclosure: a rounded box whose edge rolls off over `bevel` pixels.
constexpr float bodyCx = 382.0f, bodyCy = 509.0f, bodyHalfW = 368.0f, bodyHalfH = 491.0f;
constexpr float bodyCorner = 56.0f, bevel = 34.0f;

const juce::Colour ink(0xffefe4c9);
const Rgba paint{0.33f, 0.040f, 0.048f, 1.0f};

float bodyDistance(float x, float y)
{
    return roundedBoxDistance(x - bodyCx, y - bodyCy, bodyHalfW, bodyHalfH, bodyCorner);
}

Rgba shadeBody(float x, float y)
{
    const auto d = bodyDistance(x, y);
    if (d > 1.0f)
        return {};

    const auto coverage = clamp01(0.5f - d);
    const auto t = -d;

    // Slope of the rolled edge: steep at the outline, flat on the face.
    Vec3 normal{0.0f, 0.0f, 1.0f};
    if (t < bevel)
    {
        const auto u = std::max(0.0f, t) / bevel;
        const auto slope = 4.0f * (1.0f - u) * (1.0f - u);
        const auto gx = bodyDistance(x + 0.5f, y) - bodyDistance(x - 0.5f, y);
        const auto gy = bodyDistance(x, y + 0.5f) - bodyDistance(x, y - 0.5f);
        normal = Vec3{slope * gx, slope * gy, 1.0f}.normalised();
    }

    // Orange peel of the powder coat and metallic flakes under it.
    const auto px = valueNoise(x, y, 7.0f, 21) - 0.5f, py = valueNoise(x, y, 7.0f, 22) - 0.5f;
    const auto coat = Vec3{normal.x + px * 0.05f, normal.y + py * 0.05f, normal.z}.normalised();
    const auto fx = hashNoise((int)(x * 1.5f), (int)(y * 1.5f), 23) - 0.5f;
    const auto fy = hashNoise((int)(x * 1.5f), (int)(y * 1.5f), 24) - 0.5f;
    const auto flake = Vec3{normal.x + fx * 0.30f, normal.y + fy * 0.30f, normal.z}.normalised();

    const auto light = keyLight();
    const auto half = (light + Vec3{0.0f, 0.0f, 1.0f}).normalised();
    const auto diffuse = std::max(0.0f, normal.dot(light));
    const auto sheen = std::pow(std::max(0.0f, flake.dot(half)), 14.0f);
    const auto gloss = std::pow(std::max(0.0f, coat.dot(half)), 70.0f);

    // The stage light is strongest on the upper half of the face.
    const auto pool =
        1.08f - 0.30f * smoothstep(80.0f, 1000.0f, y) - 0.10f * std::abs(x - bodyCx) / bodyHalfW;

    auto c = paint * (0.16f + 0.95f * diffuse * pool);
    c = Rgba{c.r + sheen * 0.34f * pool, c.g + sheen * 0.09f * pool, c.b + sheen * 0.08f * pool,
             1.0f};
    c = c.plus(gloss * 0.65f);

    // The casting's lower flank falls into shadow right at the outline.
    c = c * (0.55f + 0.45f * smoothstep(0.0f, 6.0f, t));
    return c.withAlpha(coverage);
}

juce::Image shadeSprite(int size, float radius, int oversampling,
                        const std::function<Rgba(float, float)>& shader)
{
    juce::Image sprite(juce::Image::ARGB, size, size, true, juce::SoftwareImageType());
    const auto c = (float)size * 0.5f;
    shadePixels(sprite, oversampling,
                [&](float x, float y)
                {
                    const auto dx = x - c, dy = y - c;
                    if (dx * dx + dy * dy > (radius + 1.0f) * (radius + 1.0f))
                        return Rgba{};
                    return shader(dx, dy);
                });
    return sprite;
}

// A domed chrome screw head with a cross recess, with its shadow.
void drawScrew(juce::Image& target, float cx, float cy, float angle)
{
    constexpr float r = 12.0f;
    constexpr int size = 34;

    juce::Path disc;
    disc.addEllipse(cx - r, cy - r, 2.0f * r, 2.0f * r);
    auto shadow = softShadow(disc, target.getWidth(), target.getHeight(), 2,
                             juce::Colours::black.withAlpha(0.7f));
    composite(target, shadow, 1, 2);

    const auto ca = std::cos(angle), sa = std::sin(angle);
    auto sprite = shadeSprite(
        size, r, 3,
        [&](float dx, float dy)
        {
            const auto rr = std::sqrt(dx * dx + dy * dy);
            const auto coverage = clamp01(r - rr + 0.5f);
            const auto q = std::min(rr / r, 0.999f);
            const auto slope = 0.9f * q / std::sqrt(1.0f - q * q * 0.8f);
            const auto nrm =
                Vec3{dx / std::max(rr, 0.01f) * slope, dy / std::max(rr, 0.01f) * slope, 1.0f};
            auto c = chrome(nrm) * 0.85f;

            // Cross recess: two slots, dark, with a lit lower wall.
            const auto u = dx * ca + dy * sa, v = -dx * sa + dy * ca;
            const auto slot = std::min(std::max(std::abs(u) - 1.6f, std::abs(v) - 6.8f),
                                       std::max(std::abs(v) - 1.6f, std::abs(u) - 6.8f));
            if (slot < 0.0f)
                c = Rgba::grey(0.10f + 0.25f * smoothstep(-1.6f, 0.0f, slot) * clamp01(dy * 0.3f));
            c = c * (0.75f + 0.25f * smoothstep(r, r - 2.5f, rr));
            return c.withAlpha(coverage);
        });
    composite(target, sprite, (int)(cx - (float)size * 0.5f), (int)(cy - (float)size * 0.5f));
}

// The LED's chrome bezel and the dark well the lens sits in.
void drawLedBezel(juce::Image& target, float cx, float cy)
{
    constexpr float outer = 22.0f, inner = 14.5f;
    constexpr int size = 50;

    juce::Path ring;
    ring.addEllipse(cx - outer, cy - outer, 2.0f * outer, 2.0f * outer);
    auto shadow = softShadow(ring, target.getWidth(), target.getHeight(), 3,
                             juce::Colours::black.withAlpha(0.75f));
    composite(target, shadow, 1, 3);

    auto sprite = shadeSprite(size, outer, 3,
                              [&](float dx, float dy)
                              {
                                  const auto rr = std::sqrt(dx * dx + dy * dy);
                                  const auto coverage = clamp01(outer - rr + 0.5f);
                                  if (rr < inner)
                                      return Rgba::grey(0.04f + 0.03f * (rr / inner));
                                  // A rounded ring: a torus profile across its width.
                                  const auto mid = (outer + inner) * 0.5f;
                                  const auto half = (outer - inner) * 0.5f;
                                  const auto s = juce::jlimit(-0.97f, 0.97f, (rr - mid) / half);
                                  const auto slope = s / std::sqrt(1.0f - s * s);
                                  const auto inv = 1.0f / std::max(rr, 0.01f);
                                  auto c = chrome({dx * inv * slope, dy * inv * slope, 1.0f});
                                  c = c * (0.65f + 0.35f * smoothstep(inner, inner + 1.5f, rr));
                                  return c.withAlpha(coverage);
                              });
    composite(target, sprite, (int)(cx - (float)size * 0.5f), (int)(cy - (float)size * 0.5f));
}

// A side jack's nut and sleeve showing past the enclosure, or the DC socket on top.
void drawJackStub(juce::Graphics& g, juce::Rectangle<float> area, bool vertical)
{
    juce::ColourGradient metal(juce::Colour(0xff55585e), area.getX(), area.getY(),
                               juce::Colour(0xff202124), vertical ? area.getRight() : area.getX(),
                               vertical ? area.getY() : area.getBottom(), false);
    metal.addColour(0.25, juce::Colour(0xffe2e4e8));
    metal.addColour(0.55, juce::Colour(0xff85888e));
    g.setGradientFill(metal);
    g.fillRoundedRectangle(area, 3.0f);
    g.setColour(juce::Colours::black.withAlpha(0.5f));
    g.drawRoundedRectangle(area, 3.0f, 1.0f);
}

// A brushed aluminium plate with the maker's mark engraved and two rivets.
void drawNameplate(juce::Image& target, const juce::Path& wordmark, juce::Rectangle<float> area)
{
    juce::Path plate;
    plate.addRoundedRectangle(area, 9.0f);
    auto shadow = softShadow(plate, target.getWidth(), target.getHeight(), 3,
                             juce::Colours::black.withAlpha(0.7f));
    composite(target, shadow, 1, 3);

    const auto cx = area.getCentreX(), cy = area.getCentreY();
    const auto hw = area.getWidth() * 0.5f, hh = area.getHeight() * 0.5f;
    juce::Image sprite(juce::Image::ARGB, target.getWidth(), target.getHeight(), true,
                       juce::SoftwareImageType());
    const auto regionBounds = area.expanded(2.0f).getSmallestIntegerContainer();
    auto region = sprite.getClippedImage(regionBounds);
    const auto regionOrigin = regionBounds.getPosition();
    shadePixels(region, 2,
                [&](float x, float y)
                {
                    const auto px = x + (float)regionOrigin.x - cx,
                               py = y + (float)regionOrigin.y - cy;
                    const auto d = roundedBoxDistance(px, py, hw, hh, 9.0f);
                    if (d > 1.0f)
                        return Rgba{};
                    Vec3 n{0.0f, 0.0f, 1.0f};
                    if (-d < 3.0f)
                    {
                        const auto gx = roundedBoxDistance(px + 0.5f, py, hw, hh, 9.0f) -
                                        roundedBoxDistance(px - 0.5f, py, hw, hh, 9.0f);
                        const auto gy = roundedBoxDistance(px, py + 0.5f, hw, hh, 9.0f) -
                                        roundedBoxDistance(px, py - 0.5f, hw, hh, 9.0f);
                        n = Vec3{gx * 1.2f, gy * 1.2f, 1.0f};
                    }
                    const auto brush = hashNoise(0, (int)(py * 2.0f) + 4000, 51) - 0.5f;
                    const auto streak = valueNoise(px * 0.05f, py * 2.0f, 1.0f, 52) - 0.5f;
                    auto v = 0.62f + 0.10f * brush + 0.08f * streak - 0.10f * (py / hh);
                    v += 0.35f * std::max(0.0f, n.dot(keyLight()) - 0.70f);
                    if (n.z < 0.99f)
                        v *= 0.6f + 0.6f * std::max(0.0f, n.normalised().dot(keyLight()));
                    return Rgba{v * 0.96f, v * 0.97f, v, clamp01(0.5f - d)};
                });
    composite(target, sprite, 0, 0);

    juce::Graphics g(target);
    auto mark = wordmark;
    const auto b = mark.getBounds();
    const auto s = (area.getWidth() - 64.0f) / b.getWidth();
    mark.applyTransform(juce::AffineTransform::translation(-b.getCentreX(), -b.getCentreY())
                            .scaled(s)
                            .translated(cx, cy));
    auto lit = mark;
    lit.applyTransform(juce::AffineTransform::translation(0.0f, 1.2f));
    g.setColour(juce::Colours::white.withAlpha(0.55f));
    g.fillPath(lit);
    g.setColour(juce::Colour(0xff1c1a1a));
    g.fillPath(mark);

    for (auto rx : {area.getX() + 16.0f, area.getRight() - 16.0f})
    {
        juce::ColourGradient rivet(juce::Colour(0xfff4f4f6), rx - 3.0f, cy - 3.0f,
                                   juce::Colour(0xff5a5c60), rx + 4.0f, cy + 4.0f, true);
        g.setGradientFill(rivet);
        g.fillEllipse(rx - 5.0f, cy - 5.0f, 10.0f, 10.0f);
        g.setColour(juce::Colours::black.withAlpha(0.5f));
        g.drawEllipse(rx - 5.0f, cy - 5.0f, 10.0f, 10.0f, 0.8f);
    }
}

void printKnobScale(juce::Graphics& g, float cx, float cy)
{
    g.setColour(ink);
    for (int i = 0; i <= 10; ++i)
    {
        const auto degrees = layout::knobStartAngle +
                             (layout::knobEndAngle - layout::knobStartAngle) * (float)i / 10.0f;
        const auto a = juce::degreesToRadians(degrees);
        const auto major = i == 0 || i == 5 || i == 10;
        const auto r0 = layout::knobRadius + 5.0f,
                   r1 = layout::knobRadius + (major ? 14.0f : 10.0f);
        juce::Line<float> tick(cx + r0 * std::sin(a), cy - r0 * std::cos(a), cx + r1 * std::sin(a),
                               cy - r1 * std::cos(a));
        g.drawLine(tick, major ? 3.4f : 2.4f);
    }
}

} // namespace

juce::Image makePedalBody(const Typefaces& faces, const juce::Path& makerWordmark)
{
    using namespace layout;
    juce::Image image(juce::Image::ARGB, pedalWidth, pedalHeight, true, juce::SoftwareImageType());

    {
        juce::Graphics g(image);
        // Jacks first: the enclosure covers their inner ends.
        drawJackStub(g, {0.0f, 336.0f, 22.0f, 48.0f}, false);
        drawJackStub(g, {742.0f, 336.0f, 22.0f, 48.0f}, false);
        g.setColour(juce::Colour(0xff111112));
        g.fillRoundedRectangle({350.0f, 3.0f, 64.0f, 24.0f}, 4.0f);
        g.setColour(juce::Colour(0xff3a3a3c));
        g.drawRoundedRectangle({350.5f, 3.5f, 63.0f, 23.0f}, 4.0f, 1.0f);
    }

    juce::Image body(juce::Image::ARGB, pedalWidth, pedalHeight, true, juce::SoftwareImageType());
    shadePixels(body, 2, shadeBody);
    composite(image, body, 0, 0);

    {
        juce::Graphics g(image);

        // Control band around the knob row.
        g.setColour(ink.withAlpha(0.9f));
        g.drawRoundedRectangle({40.0f, 82.0f, 684.0f, 184.0f}, 24.0f, 2.6f);

        const std::array<const char*, 5> legends{"GAIN", "BASS", "CONTOUR", "TREBLE", "VOLUME"};
        for (size_t i = 0; i < knobCellX.size(); ++i)
        {
            const auto cx = (float)knobCellX[i] + (float)knobCellWidth * 0.5f;
            const auto cy = (float)knobCellY + (float)knobCellHeight * 0.5f;
            printKnobScale(g, cx, cy);
            g.setColour(ink);
            g.fillPath(centredText(faces.condensed, legends[i], 32.0f, 0.10f, cx, 240.0f));
        }

        // The product name, slanted, with a thin shadow so the print reads as ink on paint.
        auto title = textOutline(faces.display, "Quarrion", 100.0f, 0.01f);
        auto bounds = title.getBounds();
        const auto scale = 470.0f / bounds.getWidth();
        title.applyTransform(
            juce::AffineTransform::translation(-bounds.getCentreX(), -bounds.getCentreY())
                .scaled(scale)
                .sheared(-0.16f, 0.0f)
                .translated(bodyCx, 352.0f));
        auto titleShadow = title;
        titleShadow.applyTransform(juce::AffineTransform::translation(0.0f, 3.0f));
        g.setColour(juce::Colours::black.withAlpha(0.35f));
        g.fillPath(titleShadow);
        g.setColour(ink);
        g.fillPath(title);

        const auto subtitle =
            centredText(faces.condensed, "BRITISH  DISTORTION", 28.0f, 0.32f, bodyCx, 434.0f);
        g.fillPath(subtitle);
        const auto sb = subtitle.getBounds();
        g.setColour(ink.withAlpha(0.85f));
        g.fillRect(juce::Rectangle<float>(sb.getX() - 96.0f, sb.getCentreY() - 1.25f, 78.0f, 2.5f));
        g.fillRect(
            juce::Rectangle<float>(sb.getRight() + 18.0f, sb.getCentreY() - 1.25f, 78.0f, 2.5f));

        // The heel: a signal that clips harder from left to right.
        juce::Path wave;
        for (int i = 0; i <= 600; ++i)
        {
            const auto t = (float)i / 600.0f;
            const auto drive = 0.6f + 9.0f * t * t;
            const auto v =
                std::tanh(drive * std::sin(t * juce::MathConstants<float>::twoPi * 4.25f)) /
                std::tanh(drive);
            const juce::Point<float> p(110.0f + t * 544.0f, 790.0f - 30.0f * v);
            if (i == 0)
                wave.startNewSubPath(p);
            else
                wave.lineTo(p);
        }
        g.setColour(ink.withAlpha(0.85f));
        g.strokePath(wave, juce::PathStrokeType(2.6f, juce::PathStrokeType::curved,
                                                juce::PathStrokeType::rounded));
        g.fillPath(centredText(faces.condensed, "ON", 22.0f, 0.2f, (float)ledCellX - 30.0f,
                               (float)ledCellY + 22.5f));
    }

    drawLedBezel(image, (float)ledCellX + 22.5f, (float)ledCellY + 22.5f);
    drawNameplate(image, makerWordmark, {262.0f, 870.0f, 240.0f, 66.0f});

    // Footswitch washer ring printed on the face, so the switch sits on a landing.
    {
        juce::Graphics g(image);
        const auto cx = (float)switchCellX + (float)switchCellWidth * 0.5f;
        const auto cy = (float)switchCellY + (float)switchCellHeight * 0.5f;
        g.setColour(ink.withAlpha(0.9f));
        g.drawEllipse(cx - 62.0f, cy - 62.0f, 124.0f, 124.0f, 2.6f);
    }

    drawScrew(image, 50.0f, 54.0f, 0.35f);
    drawScrew(image, 714.0f, 54.0f, 1.10f);
    drawScrew(image, 50.0f, 964.0f, 0.80f);
    drawScrew(image, 714.0f, 964.0f, 0.15f);
    return image;
}

} // namespace artwork
