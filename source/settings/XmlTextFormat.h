#pragma once

#include <juce_core/juce_core.h>

namespace veltrano
{

// How every file the program writes is laid out (settings, presets): the XML declaration,
// lines wrapped at 60 characters, "\r\n" line ends. Files written by older versions look the
// same, so this must not change.
inline juce::XmlElement::TextFormat fileTextFormat()
{
    juce::XmlElement::TextFormat format;
    format.dtd = {};
    format.customHeader = {};
    format.customEncoding = {};
    format.addDefaultHeader = true;
    format.lineWrapLength = 60;
    format.newLineChars = "\r\n";
    return format;
}

} // namespace veltrano
