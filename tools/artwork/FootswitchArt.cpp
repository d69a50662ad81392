#include "Artwork.h"

namespace artwork
{
namespace
{

constexpr float washerRadius = 40.0f, nutApothem = 29.0f, nutChamfer = 4.5f;

// Signed distance to a hexagon with the given apothem, slightly rounded corners.
float hexagonDistance(float x, float y, float apothem)
{
    constexpr float kx = -0.866025404f, ky = 0.5f, kz = 0.577350269f;
    constexpr float rounding = 2.0f;
    const auto inner = apothem - rounding;
    auto px = std::abs(x), py = std::abs(y);
    const auto d = 2.0f * std::min(kx * px + ky * py, 0.0f);
    px -= d * kx;
    py -= d * ky;
    px -= juce::jlimit(-kz * inner, kz * inner, px);
    py -= inner;
    return std::hypot(px, py) * (py < 0.0f ? -1.0f : 1.0f) - rounding;
}

struct Switch
{
    bool down;
    float capRadius() const { return down ? 16.5f : 18.0f; }
    float capOffsetY() const { return down ? 1.5f : 0.0f; }
};

// A chrome stomp switch from above: washer, hex nut and the round actuator.
Rgba shadeSwitch(float dx, float dy, const Switch& sw)
{
    // Rotate the nut a little so its flats are not square to the pedal.
    const auto ca = std::cos(0.26f), sa = std::sin(0.26f);
    const auto hx = dx * ca - dy * sa, hy = dx * sa + dy * ca;
    const auto r = std::sqrt(dx * dx + dy * dy);

    // Shadows: the whole switch on the pedal; the raised actuator on the nut.
    const auto sr = std::hypot(dx - 2.0f, dy - 4.5f);
    const auto baseShadow =
        0.7f * (1.0f - smoothstep(washerRadius - 4.0f, washerRadius + 7.0f, sr));

    const auto washerCoverage = clamp01(washerRadius - r + 0.5f);
    if (washerCoverage <= 0.0f)
        return Rgba{0.0f, 0.0f, 0.0f, baseShadow};

    Rgba c;
    const auto nutD = hexagonDistance(hx, hy, nutApothem);
    if (nutD > 0.0f)
    {
        // Washer: flat turned steel with fine rings.
        const auto rings = hashNoise((int)(r * 3.0f), 3, 41) - 0.5f;
        c = chrome({dx * 0.006f, dy * 0.006f, 1.0f}) * (0.95f + 0.06f * rings);
        c = c * (0.6f + 0.4f * smoothstep(0.0f, 3.0f, nutD)); // occlusion by the nut
        c = c * (0.8f + 0.2f * smoothstep(washerRadius, washerRadius - 2.0f, r));
    }
    else
    {
        const auto t = -nutD;
        Vec3 normal{dx * 0.008f, dy * 0.008f, 1.0f};
        if (t < nutChamfer)
        {
            const auto gx = hexagonDistance(hx + 0.5f, hy, nutApothem) -
                            hexagonDistance(hx - 0.5f, hy, nutApothem);
            const auto gy = hexagonDistance(hx, hy + 0.5f, nutApothem) -
                            hexagonDistance(hx, hy - 0.5f, nutApothem);
            // Back to pedal orientation.
            const auto nx = gx * ca + gy * sa, ny = -gx * sa + gy * ca;
            normal = Vec3{nx * 0.9f, ny * 0.9f, 1.0f};
        }
        c = chrome(normal) * (0.92f + 0.06f * (hashNoise((int)(hx * 2.0f), 5, 42) - 0.5f));
        c = c * (0.7f + 0.3f * clamp01(-nutD)); // darker right at the nut's outline

        // Bore around the actuator.
        const auto cy = dy - sw.capOffsetY();
        const auto cr = std::sqrt(dx * dx + cy * cy);
        const auto bore = sw.capRadius() + (sw.down ? 3.0f : 2.2f);
        if (r < bore + 1.0f)
            c = mix(c, Rgba::grey(0.05f), clamp01(bore + 0.5f - r));

        // The raised actuator throws a short shadow onto the nut.
        if (!sw.down)
        {
            const auto capShadow =
                0.6f * (1.0f - smoothstep(sw.capRadius() - 2.0f, sw.capRadius() + 5.0f,
                                          std::hypot(dx - 3.0f, dy - 5.0f)));
            c = c * (1.0f - capShadow);
        }

        const auto capCoverage = clamp01(sw.capRadius() - cr + 0.5f);
        if (capCoverage > 0.0f)
        {
            // Domed cap: steeper towards its edge.
            const auto q = std::min(cr / sw.capRadius(), 0.99f);
            const auto slope = (sw.down ? 0.55f : 0.75f) * q / std::sqrt(1.0f - q * q * 0.85f);
            const auto inv = 1.0f / std::max(cr, 0.001f);
            auto cap = chrome({dx * inv * slope, cy * inv * slope, 1.0f}, 0.10f);
            if (sw.down)
                cap = cap * 0.72f;
            cap = cap * (0.75f + 0.25f * smoothstep(sw.capRadius(), sw.capRadius() - 2.0f, cr));
            c = mix(c, cap, capCoverage);
        }
    }

    const auto a = washerCoverage + baseShadow * (1.0f - washerCoverage);
    const auto k = washerCoverage / a;
    return Rgba{c.r * k, c.g * k, c.b * k, a};
}

} // namespace

juce::Image makeFootswitch(bool down)
{
    using namespace layout;
    juce::Image image(juce::Image::ARGB, switchCellWidth, switchCellHeight, true,
                      juce::SoftwareImageType());
    const Switch sw{down};
    const auto cx = (float)switchCellWidth * 0.5f, cy = (float)switchCellHeight * 0.5f;
    shadePixels(image, 3, [&](float x, float y) { return shadeSwitch(x - cx, y - cy, sw); });
    return image;
}

} // namespace artwork
