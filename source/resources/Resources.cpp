#include "resources/Resources.h"

#include <BinaryData.h>

namespace veltrano
{
namespace resources
{

EmbeddedResource background()
{
    return {BinaryData::background_png, BinaryData::background_pngSize};
}
EmbeddedResource pedalBody()
{
    return {BinaryData::pedal_body_png, BinaryData::pedal_body_pngSize};
}
EmbeddedResource knobStrip()
{
    return {BinaryData::knob_strip_png, BinaryData::knob_strip_pngSize};
}
EmbeddedResource ledStrip()
{
    return {BinaryData::led_strip_png, BinaryData::led_strip_pngSize};
}

EmbeddedResource footswitchUp()
{
    return {BinaryData::footswitch_up_png, BinaryData::footswitch_up_pngSize};
}

EmbeddedResource footswitchDown()
{
    return {BinaryData::footswitch_down_png, BinaryData::footswitch_down_pngSize};
}

EmbeddedResource makerLogo()
{
    return {BinaryData::veltrano_logo_svg, BinaryData::veltrano_logo_svgSize};
}

EmbeddedResource aboutLogo()
{
    return {BinaryData::about_logo_png, BinaryData::about_logo_pngSize};
}

EmbeddedResource textFontRegular()
{
    return {BinaryData::OpenSansRegular_ttf, BinaryData::OpenSansRegular_ttfSize};
}

EmbeddedResource textFontBold()
{
    return {BinaryData::OpenSansBold_ttf, BinaryData::OpenSansBold_ttfSize};
}

EmbeddedResource iconFont()
{
    return {BinaryData::fontawesomewebfont_ttf, BinaryData::fontawesomewebfont_ttfSize};
}

} // namespace resources

juce::Image loadImage(EmbeddedResource resource)
{
    if (resource.data == nullptr || resource.size == 0)
        return {};
    return juce::ImageCache::getFromMemory(resource.data, (int)resource.size);
}

std::unique_ptr<juce::Drawable> createMakerLogo()
{
    const auto logo = resources::makerLogo();
    juce::MemoryInputStream stream(logo.data, logo.size, false);
    return juce::Drawable::createFromImageDataStream(stream);
}

namespace
{
juce::Typeface::Ptr createTypeface(EmbeddedResource resource)
{
    return juce::Typeface::createSystemTypefaceFor(resource.data, resource.size);
}
} // namespace

juce::Typeface::Ptr textFontRegular()
{
    static const auto face = createTypeface(resources::textFontRegular());
    return face;
}

juce::Typeface::Ptr textFontBold()
{
    static const auto face = createTypeface(resources::textFontBold());
    return face;
}

juce::Typeface::Ptr iconFont()
{
    static const auto face = createTypeface(resources::iconFont());
    return face;
}

} // namespace veltrano
