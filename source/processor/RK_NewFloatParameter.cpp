#include "processor/RK_NewFloatParameter.h"

#include "processor/QuarrionAudioProcessor.h"

RK_NewFloatParameter::RK_NewFloatParameter(QuarrionAudioProcessor& ownerToUse,
                                           const juce::String& parameterID,
                                           const juce::String& name,
                                           juce::NormalisableRange<float> rangeToUse,
                                           float defaultValueInRealUnits, const juce::String& label)
    : juce::AudioProcessorParameterWithID(
          juce::ParameterID{parameterID, 1}, name,
          juce::AudioProcessorParameterWithIDAttributes{}.withLabel(label).withCategory(
              juce::AudioProcessorParameter::genericParameter))
    , range(std::move(rangeToUse))
    , owner(ownerToUse)
    , defaultValue(defaultValueInRealUnits)
    , parameterName(name)
    , parameterLabel(label)
{
}

RK_NewFloatParameter::~RK_NewFloatParameter()
{
    stopTimer();
}

void RK_NewFloatParameter::setValue(float newValue)
{
    normalisedValue.store(newValue, std::memory_order_relaxed);
    owner.markParametersChanged();
}

float RK_NewFloatParameter::getDefaultValue() const
{
    return juce::jlimit(0.0f, 1.0f, range.convertTo0to1(defaultValue));
}

juce::String RK_NewFloatParameter::getName(int) const
{
    return parameterName;
}

juce::String RK_NewFloatParameter::getText(float normalised, int) const
{
    if (paramID == "HQ" || paramID == "POWER")
        return normalised != 0.0f ? "On" : "Off";

    if (paramID == "MODS")
        return owner.getCircuitName();

    const auto realValue = range.convertFrom0to1(juce::jlimit(0.0f, 1.0f, normalised));
    return juce::String(realValue, 1) + " " + parameterLabel;
}

float RK_NewFloatParameter::getValueForText(const juce::String& text) const
{
    const auto realValue = static_cast<float>(text.getDoubleValue());
    return juce::jlimit(0.0f, 1.0f, range.convertTo0to1(realValue));
}
