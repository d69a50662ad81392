// The one state document, "Quarrion_Preset": the host state wraps it in JUCE's binary envelope,
// a preset file holds it as text.

#include "processor/QuarrionAudioProcessor.h"

using namespace veltrano;

namespace
{
juce::String attributeNameFor(const RK_NewFloatParameter& p)
{
    return p.getName(256).removeCharacters(" ");
}

bool isCircuitType(const RK_NewFloatParameter& p)
{
    return p.getName(256) == "Circuit Type";
}

// A normalised value from a document. Hand-edited or damaged documents must not drive the
// circuit with an infinite or out-of-range control: values are limited to 0..1, and one that
// is not a number counts as missing.
float documentValue(const juce::XmlElement& element, const juce::String& key, float fallback)
{
    if (!element.hasAttribute(key))
        return fallback;
    const double value = element.getStringAttribute(key).getDoubleValue();
    if (!std::isfinite(value))
        return fallback;
    return static_cast<float>(juce::jlimit(0.0, 1.0, value));
}
} // namespace

void QuarrionAudioProcessor::writeStateToXml(juce::XmlElement& element)
{
    element.setAttribute("presetName", presetName);
    element.setAttribute("majorVersion", 1);
    element.setAttribute("minorVersion", 0);
    element.setAttribute("revisionVersion", 0);

    for (auto* p : parameters)
    {
        if (isCircuitType(*p))
            element.setAttribute("CircuitType", juce::roundToInt(p->getRealValue()));
        else
            element.setAttribute(attributeNameFor(*p), static_cast<double>(p->getValue()));
    }

    if (!isSavingPreset.load())
    {
        element.setAttribute("newCurrentWidth", savedEditorWidth.load());
        element.setAttribute("newCurrentHeight", savedEditorHeight.load());
        element.setAttribute("isHQ", static_cast<double>(parameter(hqIndex).getValue()));
    }
}

void QuarrionAudioProcessor::readStateFromXml(const juce::XmlElement& element)
{
    stateLoadedBeforePrepare = isFirstPrepare;

    if (!element.hasTagName(stateTag))
        return;

    presetName = element.getStringAttribute("presetName");
    loadedMajorVersion = element.getStringAttribute("majorVersion").getIntValue();
    loadedMinorVersion = element.getStringAttribute("minorVersion").getIntValue();
    loadedRevisionVersion = element.getStringAttribute("revisionVersion").getIntValue();

    // Only a host restore carries the editor size and HQ: a document applied within 200 ms of
    // setStateInformation counts as one.
    const bool isHostRestore =
        hostStateReceived.load() &&
        static_cast<juce::uint32>(millisecondCounter() - lastHostStateTimeMs.load()) <= 199;
    if (!isSavingPreset.load() && isHostRestore)
    {
        const int width = element.getStringAttribute("newCurrentWidth").getIntValue();
        if (element.hasAttribute("newCurrentWidth") && width >= 1)
            savedEditorWidth.store(width);
        const int height = element.getStringAttribute("newCurrentHeight").getIntValue();
        if (element.hasAttribute("newCurrentHeight") && height >= 1)
            savedEditorHeight.store(height);

        parameter(hqIndex).setValue(documentValue(element, "isHQ", 0.0f));
    }

    for (size_t i = 0; i < parameters.size(); ++i)
    {
        auto& p = *parameters[i];
        const auto key = attributeNameFor(p);

        if (isCircuitType(p))
        {
            const int index = element.getStringAttribute("CircuitType").getIntValue();
            setCircuitTypeIndex(
                static_cast<float>(juce::jlimit(0, juce::roundToInt(p.range.end), index)));
            continue;
        }

        const float value = documentValue(element, key, p.getDefaultValue());

        if (lockFlags[i].load() == 0 && p.getName(256) != "HQ")
        {
            p.setValue(value);
            p.sendValueChangedMessageToListeners(value);
        }
    }
}

void QuarrionAudioProcessor::setCircuitTypeIndex(float index)
{
    auto& mods = parameter(circuitTypeIndex);
    const float normalised = mods.toNormalised(index);
    mods.setValue(normalised);
    mods.sendValueChangedMessageToListeners(normalised);
}

void QuarrionAudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    juce::XmlElement element(stateTag);
    writeStateToXml(element);
    destData.reset();
    copyXmlToBinary(element, destData);
}

void QuarrionAudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    lastHostStateTimeMs.store(millisecondCounter());
    hostStateReceived.store(true);

    if (auto element = parseHostState(data, sizeInBytes))
        readStateFromXml(*element);
}

std::unique_ptr<juce::XmlElement> QuarrionAudioProcessor::parseHostState(const void* data,
                                                                         int sizeInBytes)
{
    // JUCE's envelope: magic, text length, text, a zero byte. JUCE's own reader accepts a length
    // running past the data; that is a truncated state and is refused here.
    constexpr juce::uint32 magic = 0x21324356;
    if (data == nullptr || sizeInBytes <= 8 || juce::ByteOrder::littleEndianInt(data) != magic)
        return nullptr;

    const auto length = juce::ByteOrder::littleEndianInt(juce::addBytesToPointer(data, 4));
    if (length == 0 || length > static_cast<juce::uint32>(sizeInBytes - 8))
        return nullptr;

    return parseStateDocument(
        juce::String::fromUTF8(static_cast<const char*>(data) + 8, static_cast<int>(length)));
}

std::unique_ptr<juce::XmlElement>
QuarrionAudioProcessor::parseStateDocument(const juce::String& text)
{
    // JUCE's parser hands back what it read when the text simply stops, without an error; a
    // document cut off part-way would then reset every parameter it no longer mentions. So the
    // text must also end where the root element closes.
    juce::XmlDocument document(text);
    auto element = document.getDocumentElement();
    if (element == nullptr || document.getLastParseError().isNotEmpty())
        return nullptr;

    const auto end = text.trimEnd();
    const bool closedByTag = end.endsWithIgnoreCase("</" + element->getTagName() + ">");
    const bool closedEmpty = element->getNumChildElements() == 0 && end.endsWith("/>");
    if (!closedByTag && !closedEmpty)
        return nullptr;
    return element;
}
