#include "ArtworkKit.h"

#include <vector>

namespace artwork
{

Rgba mix(Rgba a, Rgba b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

Vec3 keyLight()
{
    return Vec3{-0.35f, -0.62f, 0.70f}.normalised();
}

float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float smoothstep(float edge0, float edge1, float v)
{
    const auto t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

float hashNoise(int x, int y, int seed)
{
    auto h = (juce::uint32)x * 374761393u + (juce::uint32)y * 668265263u +
             (juce::uint32)seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (float)(h & 0xffffffu) / (float)0xffffffu;
}

float valueNoise(float x, float y, float cell, int seed)
{
    const auto fx = x / cell, fy = y / cell;
    const auto ix = (int)std::floor(fx), iy = (int)std::floor(fy);
    const auto tx = smoothstep(0.0f, 1.0f, fx - (float)ix);
    const auto ty = smoothstep(0.0f, 1.0f, fy - (float)iy);
    const auto a = hashNoise(ix, iy, seed), b = hashNoise(ix + 1, iy, seed);
    const auto c = hashNoise(ix, iy + 1, seed), d = hashNoise(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float roundedBoxDistance(float px, float py, float halfWidth, float halfHeight, float radius)
{
    const auto qx = std::abs(px) - halfWidth + radius;
    const auto qy = std::abs(py) - halfHeight + radius;
    const auto outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

void blur(juce::Image& image, int radius, int passes)
{
    if (radius < 1)
        return;

    const auto w = image.getWidth(), h = image.getHeight();
    juce::Image::BitmapData data(image, juce::Image::BitmapData::readWrite);
    const auto channels = data.pixelStride;
    std::vector<int> line((size_t)std::max(w, h) * (size_t)channels);
    std::vector<int> sums((size_t)channels);

    auto pass = [&](int count, int lines, bool horizontal)
    {
        for (int l = 0; l < lines; ++l)
        {
            auto at = [&](int i)
            {
                return horizontal ? data.getPixelPointer(i, l) : data.getPixelPointer(l, i);
            };

            for (int i = 0; i < count; ++i)
                for (int c = 0; c < channels; ++c)
                    line[(size_t)(i * channels + c)] = at(i)[c];

            const auto window = 2 * radius + 1;

            for (int c = 0; c < channels; ++c)
            {
                int sum = 0;
                for (int k = -radius; k <= radius; ++k)
                    sum += line[(size_t)(juce::jlimit(0, count - 1, k) * channels + c)];

                for (int i = 0; i < count; ++i)
                {
                    at(i)[c] = (juce::uint8)((sum + window / 2) / window);
                    const auto out = juce::jlimit(0, count - 1, i - radius);
                    const auto in = juce::jlimit(0, count - 1, i + radius + 1);
                    sum += line[(size_t)(in * channels + c)] - line[(size_t)(out * channels + c)];
                }
            }
        }
    };

    for (int p = 0; p < passes; ++p)
    {
        pass(w, h, true);
        pass(h, w, false);
    }
}

juce::Image softShadow(const juce::Path& shape, int width, int height, int radius,
                       juce::Colour colour)
{
    juce::Image image(juce::Image::ARGB, width, height, true, juce::SoftwareImageType());
    {
        juce::Graphics g(image);
        g.setColour(colour);
        g.fillPath(shape);
    }
    blur(image, radius);
    return image;
}

juce::Path textOutline(const juce::Typeface::Ptr& face, const juce::String& text, float height,
                       float extraKerning)
{
    juce::Font font(face);
    font = font.withHeight(height);
    font.setExtraKerningFactor(extraKerning);
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText(font, text, 0.0f, 0.0f);
    juce::Path path;
    glyphs.createPath(path);
    return path;
}

juce::Path centredText(const juce::Typeface::Ptr& face, const juce::String& text, float height,
                       float extraKerning, float cx, float cy)
{
    auto path = textOutline(face, text, height, extraKerning);
    const auto bounds = path.getBounds();
    path.applyTransform(
        juce::AffineTransform::translation(cx - bounds.getCentreX(), cy - bounds.getCentreY()));
    return path;
}

Rgba chrome(Vec3 normal, float horizon)
{
    const auto n = normal.normalised();
    const Vec3 reflected{2.0f * n.z * n.x, 2.0f * n.z * n.y, 2.0f * n.z * n.z - 1.0f};
    const auto up = -reflected.y * 0.85f - reflected.x * 0.35f;

    auto v = 0.50f + 0.50f * smoothstep(-0.05f, 0.85f, up);
    v -= horizon * std::exp(-std::pow((up + 0.30f) / 0.14f, 2.0f));
    v += 0.10f * smoothstep(-0.6f, -1.0f, up); // floor bounce at the far edge
    const auto highlight = std::pow(std::max(0.0f, reflected.dot(keyLight())), 90.0f);
    v += 1.1f * highlight;
    return {v * 0.97f, v * 0.985f, v * 1.02f, 1.0f};
}

void composite(juce::Image& target, const juce::Image& sprite, int x, int y)
{
    juce::Graphics g(target);
    g.drawImageAt(sprite, x, y);
}

static juce::Typeface::Ptr loadFace(const juce::File& file)
{
    juce::MemoryBlock bytes;
    if (!file.loadFileAsData(bytes))
        return nullptr;
    return juce::Typeface::createSystemTypefaceFor(bytes.getData(), bytes.getSize());
}

Typefaces loadTypefaces(const juce::File& root)
{
    Typefaces faces;
    faces.regular = loadFace(root.getChildFile("source/resources/fonts/OpenSans-Regular.ttf"));
    faces.bold = loadFace(root.getChildFile("source/resources/fonts/OpenSans-Bold.ttf"));
    faces.condensed = loadFace(root.getChildFile("tools/artwork/fonts/BebasNeue-Bold.otf"));
    faces.display = loadFace(root.getChildFile("tools/artwork/fonts/LeagueSpartan-Bold.otf"));
    return faces;
}

bool writePng(const juce::Image& image, const juce::File& file)
{
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out(file);
    if (!out.openedOk())
        return false;
    juce::PNGImageFormat png;
    return png.writeImageToStream(image, out);
}

} // namespace artwork
