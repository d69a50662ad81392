#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class QuarrionAudioProcessor;

// A continuous float parameter with a linear range. Values are stored normalised and unclamped;
// every write tells the owner that the circuit needs a control update.
class RK_NewFloatParameter : public juce::AudioProcessorParameterWithID,
                             private juce::HighResolutionTimer
{
public:
    RK_NewFloatParameter(QuarrionAudioProcessor& owner, const juce::String& parameterID,
                         const juce::String& name, juce::NormalisableRange<float> range,
                         float defaultValueInRealUnits, const juce::String& label);
    ~RK_NewFloatParameter() override;

    float getValue() const override { return normalisedValue.load(std::memory_order_relaxed); }
    void setValue(float newValue) override;
    float getDefaultValue() const override;
    juce::String getName(int maximumStringLength) const override;
    juce::String getLabel() const override { return {}; }
    juce::String getText(float normalised, int maximumStringLength) const override;
    float getValueForText(const juce::String& text) const override;
    bool isMetaParameter() const override { return false; }

    // The current value in real units (percent, dB, circuit index); a stored value outside 0..1
    // is clamped, one that is not a number reads as the default.
    float getRealValue() const
    {
        const float v = getValue();
        return range.convertFrom0to1(std::isnan(v) ? getDefaultValue()
                                                   : juce::jlimit(0.0f, 1.0f, v));
    }
    float toNormalised(float realValue) const { return range.convertTo0to1(realValue); }

    // Present for hosts of the former version; the timer is never started.
    void stopParameterTimer() { stopTimer(); }

    const juce::NormalisableRange<float> range;

private:
    void hiResTimerCallback() override { stopTimer(); }

    QuarrionAudioProcessor& owner;
    const float defaultValue;
    std::atomic<float> normalisedValue{0.0f};
    const juce::String parameterName;
    const juce::String parameterLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(RK_NewFloatParameter)
};
