#include "Artwork.h"

namespace artwork
{
namespace
{

constexpr float insertRadius = 21.0f, topRadius = 35.0f, shoulderRadius = 39.0f;
constexpr int ridges = 40;

// One frame: a black knob with a knurled skirt, a brushed aluminium insert and a cream
// pointer line. Only the ridges and the pointer turn; the light stays where it is.
Rgba shadeKnob(float dx, float dy, float angle)
{
    const auto radius = layout::knobRadius;
    const auto r = std::sqrt(dx * dx + dy * dy);
    const auto light = keyLight();
    const auto half = (light + Vec3{0.0f, 0.0f, 1.0f}).normalised();

    // Shadow on the pedal, offset away from the light.
    const auto sx = dx - 2.5f, sy = dy - 5.0f;
    const auto shadowAlpha =
        0.66f * (1.0f - smoothstep(radius - 5.0f, radius + 8.0f, std::sqrt(sx * sx + sy * sy)));
    const Rgba shadow{0.0f, 0.0f, 0.0f, shadowAlpha};

    if (r > radius + 0.5f)
        return shadow;

    const auto inv = 1.0f / std::max(r, 0.001f);
    const Vec3 radial{dx * inv, dy * inv, 0.0f};
    const Vec3 tangent{-radial.y, radial.x, 0.0f};
    const auto phi = std::atan2(dy, dx);
    Rgba c;

    if (r < insertRadius)
    {
        // Concentric brushing: the highlight runs along the light's azimuth.
        const auto lightAzimuth = std::atan2(light.y, light.x);
        const auto streak = std::pow(std::abs(std::cos(phi - lightAzimuth)), 8.0f);
        const auto rings = hashNoise((int)(r * 4.0f), 7, 31) - 0.5f;
        auto v = 0.50f + 0.40f * streak + 0.06f * rings;
        v *= 0.92f + 0.08f * (1.0f - r / insertRadius);
        c = Rgba{v * 0.97f, v * 0.98f, v * 1.0f, 1.0f};
        // The insert's edge: a dark seam and a lit lip facing the light.
        const auto seam = smoothstep(insertRadius - 2.0f, insertRadius - 0.4f, r);
        const auto lip = std::max(0.0f, -radial.dot(Vec3{light.x, light.y, 0.0f}));
        c = mix(c, Rgba::grey(0.05f), seam * 0.85f);
        c = c.plus(0.25f * lip * smoothstep(insertRadius - 3.5f, insertRadius - 2.2f, r) *
                   (1.0f - seam));
    }
    else
    {
        float slopeRadial = 0.0f, slopeTangent = 0.0f;
        if (r < topRadius)
            slopeRadial = 0.06f * (r - insertRadius) / (topRadius - insertRadius);
        else if (r < shoulderRadius)
        {
            const auto u = (r - topRadius) / (shoulderRadius - topRadius);
            slopeRadial = 0.06f + 2.4f * u * u;
        }
        else
        {
            // Knurled skirt, flaring down to the outline.
            const auto ridgePhase = (float)ridges * (phi - angle);
            const auto depth = smoothstep(shoulderRadius, shoulderRadius + 1.5f, r);
            slopeRadial = 1.3f + 0.5f * (r - shoulderRadius) / (radius - shoulderRadius);
            slopeTangent = -depth * 1.6f * std::sin(ridgePhase);
        }

        const auto normal = Vec3{radial.x * slopeRadial + tangent.x * slopeTangent,
                                 radial.y * slopeRadial + tangent.y * slopeTangent, 1.0f}
                                .normalised();
        const auto diffuse = std::max(0.0f, normal.dot(light));
        const auto spec = std::pow(std::max(0.0f, normal.dot(half)), 28.0f);
        const auto broad = std::pow(std::max(0.0f, normal.dot(half)), 6.0f);

        // Satin black plastic.
        auto base = Rgba::grey(0.045f);

        // Pointer: a cream line across the top ring.
        const Vec3 pointer{std::sin(angle), -std::cos(angle), 0.0f};
        const auto along = dx * pointer.x + dy * pointer.y;
        const auto across = std::abs(-dx * pointer.y + dy * pointer.x);
        const auto line = (1.0f - smoothstep(2.0f, 2.8f, across)) *
                          smoothstep(insertRadius + 1.5f, insertRadius + 2.5f, along) *
                          (1.0f - smoothstep(shoulderRadius - 0.5f, shoulderRadius + 0.5f, along));
        base = mix(base, Rgba{0.92f, 0.89f, 0.80f, 1.0f}, line);

        c = base * (0.35f + 0.85f * diffuse);
        c = c.plus(0.30f * spec + 0.05f * broad);
        // Occlusion where the skirt meets the pedal.
        c = c * (1.0f - 0.55f * smoothstep(radius - 3.0f, radius, r));
    }

    const auto coverage = clamp01(radius - r + 0.5f);
    // Knob over its shadow.
    const auto a = coverage + shadow.a * (1.0f - coverage);
    if (a <= 0.0f)
        return {};
    const auto k = coverage / a;
    return Rgba{c.r * k, c.g * k, c.b * k, a};
}

} // namespace

juce::Image makeKnobStrip()
{
    using namespace layout;
    juce::Image strip(juce::Image::ARGB, knobCellWidth, knobCellHeight * knobFrames, true,
                      juce::SoftwareImageType());
    const auto cx = (float)knobCellWidth * 0.5f, cy = (float)knobCellHeight * 0.5f;

    for (int frame = 0; frame < knobFrames; ++frame)
    {
        const auto degrees = knobStartAngle + (knobEndAngle - knobStartAngle) * (float)frame /
                                                  (float)(knobFrames - 1);
        const auto angle = juce::degreesToRadians(degrees);
        auto cell =
            strip.getClippedImage({0, frame * knobCellHeight, knobCellWidth, knobCellHeight});
        shadePixels(cell, 3, [&](float x, float y) { return shadeKnob(x - cx, y - cy, angle); });
    }
    return strip;
}

} // namespace artwork
