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

        parameter(hqIndex).setValue(
            static_cast<float>(element.getStringAttribute("isHQ", "0").getDoubleValue()));
    }

    for (size_t i = 0; i < parameters.size(); ++i)
    {
        auto& p = *parameters[i];
        const auto key = attributeNameFor(p);

        if (isCircuitType(p))
        {
            setCircuitTypeIndex(
                static_cast<float>(element.getStringAttribute("CircuitType").getIntValue()));
            continue;
        }

        const float value =
            element.hasAttribute(key)
                ? static_cast<float>(element.getStringAttribute(key).getDoubleValue())
                : p.getDefaultValue();

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
    // running past the data and a document cut off in the middle, and applying such a partial
    // document would reset every parameter it no longer mentions; both are refused here.
    constexpr juce::uint32 magic = 0x21324356;
    if (data == nullptr || sizeInBytes <= 8 || juce::ByteOrder::littleEndianInt(data) != magic)
        return nullptr;

    const auto length = juce::ByteOrder::littleEndianInt(juce::addBytesToPointer(data, 4));
    if (length == 0 || length > static_cast<juce::uint32>(sizeInBytes - 8))
        return nullptr;

    juce::XmlDocument document(
        juce::String::fromUTF8(static_cast<const char*>(data) + 8, static_cast<int>(length)));
    auto element = document.getDocumentElement();
    if (element == nullptr || document.getLastParseError().isNotEmpty())
        return nullptr;
    return element;
}
