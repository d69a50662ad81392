#include "Artwork.h"

namespace artwork
{
namespace
{

juce::String number(float v)
{
    auto text = juce::String(v, 2);
    if (text.containsChar('.'))
        text = text.trimCharactersAtEnd("0").trimCharactersAtEnd(".");
    return text == "-0" ? juce::String("0") : text;
}

juce::Path fitted(const juce::Path& shape, juce::Rectangle<float> area)
{
    auto path = shape;
    path.applyTransform(path.getTransformToScaleToFit(area, true, juce::Justification::centred));
    return path;
}

} // namespace

juce::Path makeWordmark(const Typefaces& faces)
{
    // Spaced capitals: read at 16 pixels high in the editor's corner and large on the pedal.
    const auto mark = textOutline(faces.display, "VELTRANO", 100.0f, 0.12f);
    return fitted(mark, {4.0f, 4.0f, layout::logoViewWidth - 8.0f, layout::logoViewHeight - 8.0f});
}

juce::String wordmarkSvg(const juce::Path& wordmark)
{
    juce::String data;
    for (juce::Path::Iterator it(wordmark); it.next();)
    {
        using Element = juce::Path::Iterator::PathElementType;
        switch (it.elementType)
        {
        case Element::startNewSubPath:
            data << "M" << number(it.x1) << " " << number(it.y1);
            break;
        case Element::lineTo:
            data << "L" << number(it.x1) << " " << number(it.y1);
            break;
        case Element::quadraticTo:
            data << "Q" << number(it.x1) << " " << number(it.y1) << " " << number(it.x2) << " "
                 << number(it.y2);
            break;
        case Element::cubicTo:
            data << "C" << number(it.x1) << " " << number(it.y1) << " " << number(it.x2) << " "
                 << number(it.y2) << " " << number(it.x3) << " " << number(it.y3);
            break;
        case Element::closePath:
            data << "Z";
            break;
        default:
            break;
        }
    }

    return juce::String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
           "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"722.3\" "
           "height=\"134.1\" viewBox=\"0 0 722.3 134.1\">\n" +
           "  <path fill=\"#000000\" d=\"" + data + "\"/>\n" + "</svg>\n";
}

juce::Image makeAboutLogo(const juce::Path& wordmark)
{
    using namespace layout;
    juce::Image image(juce::Image::ARGB, aboutLogoWidth, aboutLogoHeight, true,
                      juce::SoftwareImageType());
    juce::Graphics g(image);
    // The about box is dark grey; the logo takes the editor's warm white.
    g.setColour(juce::Colour(0xfff0e9de));
    g.fillPath(fitted(wordmark,
                      {3.0f, 3.0f, (float)aboutLogoWidth - 6.0f, (float)aboutLogoHeight - 6.0f}));
    return image;
}

} // namespace artwork
