#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cmath>

namespace artwork
{

// Small vector type for the per-pixel shading of metal, paint and plastic.
struct Vec3
{
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vec3 operator+(Vec3 o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(Vec3 o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    float dot(Vec3 o) const { return x * o.x + y * o.y + z * o.z; }
    float length() const { return std::sqrt(dot(*this)); }
    Vec3 normalised() const
    {
        const auto l = length();
        return l > 0.0f ? *this * (1.0f / l) : Vec3{0.0f, 0.0f, 1.0f};
    }
};

// Straight (not premultiplied) colour with components 0..1; values above 1 are clipped on output.
struct Rgba
{
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;

    static Rgba grey(float v, float alpha = 1.0f) { return {v, v, v, alpha}; }
    static Rgba of(juce::Colour c)
    {
        return {c.getFloatRed(), c.getFloatGreen(), c.getFloatBlue(), c.getFloatAlpha()};
    }
    Rgba operator*(float s) const { return {r * s, g * s, b * s, a}; }
    Rgba tinted(Rgba t) const { return {r * t.r, g * t.g, b * t.b, a}; }
    Rgba plus(float v) const { return {r + v, g + v, b + v, a}; }
    Rgba withAlpha(float alpha) const { return {r, g, b, alpha}; }
};

Rgba mix(Rgba a, Rgba b, float t);

// One key light for every image: above the pedal and a little to the upper left, so the
// knobs, the switch and the enclosure all agree on where the highlights fall.
Vec3 keyLight();

float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);

// Deterministic hash noise in 0..1; the same inputs always give the same value.
float hashNoise(int x, int y, int seed);
// Smooth value noise with the given cell size in pixels, 0..1.
float valueNoise(float x, float y, float cell, int seed);

// Signed distance to a rounded rectangle centred on the origin (negative inside).
float roundedBoxDistance(float px, float py, float halfWidth, float halfHeight, float radius);

// Shades every pixel of an image: the shader receives image coordinates (pixel centres at
// +0.5) and returns a straight colour; `oversampling` x `oversampling` samples per pixel are
// averaged in premultiplied form.
template <typename Shader>
void shadePixels(juce::Image& image, int oversampling, Shader&& shader)
{
    juce::Image::BitmapData data(image, juce::Image::BitmapData::writeOnly);
    const auto n = (float)(oversampling * oversampling);

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;

            for (int sy = 0; sy < oversampling; ++sy)
                for (int sx = 0; sx < oversampling; ++sx)
                {
                    const auto px = (float)x + ((float)sx + 0.5f) / (float)oversampling;
                    const auto py = (float)y + ((float)sy + 0.5f) / (float)oversampling;
                    const Rgba c = shader(px, py);
                    const auto alpha = clamp01(c.a);
                    r += clamp01(c.r) * alpha;
                    g += clamp01(c.g) * alpha;
                    b += clamp01(c.b) * alpha;
                    a += alpha;
                }

            auto* p = reinterpret_cast<juce::PixelARGB*>(data.getPixelPointer(x, y));
            p->setARGB((juce::uint8)juce::roundToInt(a / n * 255.0f),
                       (juce::uint8)juce::roundToInt(r / n * 255.0f),
                       (juce::uint8)juce::roundToInt(g / n * 255.0f),
                       (juce::uint8)juce::roundToInt(b / n * 255.0f));
        }
}

// Box blur (three passes approximate a Gaussian) of an ARGB or single-channel image.
void blur(juce::Image& image, int radius, int passes = 3);

// A soft shadow: the path filled in `colour`, blurred, as a new image of the given size.
juce::Image softShadow(const juce::Path& shape, int width, int height, int radius,
                       juce::Colour colour);

// Text as an outline, with the left end of the baseline at the origin.
juce::Path textOutline(const juce::Typeface::Ptr& face, const juce::String& text, float height,
                       float extraKerning = 0.0f);
// The same outline moved so that its bounds are centred on (cx, cy).
juce::Path centredText(const juce::Typeface::Ptr& face, const juce::String& text, float height,
                       float extraKerning, float cx, float cy);

// Chrome: a reflected studio environment (bright above, a dark band below the horizon)
// plus the key light's highlight, for a surface normal seen from straight above.
// `horizon` sets how dark the band is: small domes read better with a faint one.
Rgba chrome(Vec3 normal, float horizon = 0.36f);

// Premultiplied source-over of an ARGB sprite onto an ARGB image at integer offset.
void composite(juce::Image& target, const juce::Image& sprite, int x, int y);

struct Typefaces
{
    juce::Typeface::Ptr regular, bold, condensed, display;
};

Typefaces loadTypefaces(const juce::File& root);

bool writePng(const juce::Image& image, const juce::File& file);

} // namespace artwork
