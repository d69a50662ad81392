#include "Artwork.h"

namespace artwork
{
namespace
{

constexpr float lensRadius = 13.0f;

// A red domed lens: dark with a glossy reflection when off, glowing with a halo when lit.
Rgba shadeLed(float dx, float dy, bool lit)
{
    const auto r = std::sqrt(dx * dx + dy * dy);
    const auto light = keyLight();

    Rgba halo{1.0f, 0.10f, 0.05f, 0.0f};
    if (lit)
        halo.a = 0.62f * std::exp(-std::pow(std::max(0.0f, r - lensRadius) / 5.5f, 2.0f));

    if (r > lensRadius + 0.5f)
        return halo;

    const auto q = std::min(r / lensRadius, 0.995f);
    const auto slope = q / std::sqrt(1.0f - q * q) * 0.7f;
    const auto inv = 1.0f / std::max(r, 0.001f);
    const auto normal = Vec3{dx * inv * slope, dy * inv * slope, 1.0f}.normalised();
    const auto half = (light + Vec3{0.0f, 0.0f, 1.0f}).normalised();
    const auto spec = std::pow(std::max(0.0f, normal.dot(half)), 60.0f);
    const auto diffuse = std::max(0.0f, normal.dot(light));

    Rgba c;
    if (lit)
    {
        const auto core = 1.0f - smoothstep(0.0f, lensRadius, r);
        c = mix(Rgba{0.86f, 0.04f, 0.02f, 1.0f}, Rgba{1.0f, 0.62f, 0.45f, 1.0f}, core * core);
        c = c.plus(0.35f * spec);
    }
    else
    {
        c = Rgba{0.20f, 0.018f, 0.018f, 1.0f} * (0.45f + 0.75f * diffuse);
        // The unlit die shows faintly through the lens.
        c = mix(c, Rgba{0.30f, 0.06f, 0.05f, 1.0f}, 0.5f * (1.0f - smoothstep(0.0f, 3.5f, r)));
        c = c.plus(0.85f * spec);
    }
    // The rim of the lens catches less light.
    c = c * (0.7f + 0.3f * (1.0f - smoothstep(lensRadius - 2.5f, lensRadius, r)));

    const auto coverage = clamp01(lensRadius - r + 0.5f);
    const auto a = coverage + halo.a * (1.0f - coverage);
    if (a <= 0.0f)
        return {};
    const auto mixColour = mix(halo.withAlpha(1.0f), c, coverage / a);
    return mixColour.withAlpha(a);
}

} // namespace

juce::Image makeLedStrip()
{
    const auto size = layout::ledCellSize;
    juce::Image strip(juce::Image::ARGB, size, size * 2, true, juce::SoftwareImageType());
    const auto c = (float)size * 0.5f;

    for (int frame = 0; frame < 2; ++frame)
    {
        auto cell = strip.getClippedImage({0, frame * size, size, size});
        shadePixels(cell, 3, [&](float x, float y) { return shadeLed(x - c, y - c, frame == 1); });
    }
    return strip;
}

} // namespace artwork
