#include "processor/QuarrionAudioProcessor.h"

#include <gtest/gtest.h>

namespace
{
struct ProcessorFixture : ::testing::Test
{
    juce::ScopedJuceInitialiser_GUI juce;
    QuarrionAudioProcessor processor;
};

struct ParameterRow
{
    int index;
    const char* id;
    const char* name;
    float defaultNormalised;
    float probe;           // a normalised value
    const char* probeText; // its text
};

// Every parameter the host sees, in host order.
const ParameterRow parameterRows[] = {
    {0, "POWER", "Power", 1.0f, 1.0f, "On"},
    {1, "GAIN", "Gain", 0.5f, 0.5f, "50.0 %"},
    {2, "BASS", "Bass", 0.5f, 0.25f, "25.0 %"},
    {3, "CONT", "Contour", 0.5f, 1.0f, "100.0 %"},
    {4, "TREB", "Treble", 0.5f, 0.0f, "0.0 %"},
    {5, "VOL", "Volume", 0.5f, 0.123f, "12.3 %"},
    {6, "IGAIN", "Input Gain", 0.5f, 0.5f, "0.0 dB"},
    {7, "OGAIN", "Output Gain", 0.5f, 0.375f, "-6.0 dB"},
    {8, "MIX", "Mix", 1.0f, 0.5f, "50.0 %"},
    {9, "HQ", "HQ", 0.0f, 0.0f, "Off"},
    {10, "GATE", "Noise Gate", 0.0f, 0.001f, "0.1 %"},
    {11, "MODS", "Circuit Type", 0.0f, 0.7f, ""}, // the circuit name, checked separately
};
} // namespace

TEST_F(ProcessorFixture, ParameterTableAsTheHostSeesIt)
{
    const auto& params = processor.getParameters();
    ASSERT_EQ(params.size(), 12);

    for (const auto& row : parameterRows)
    {
        SCOPED_TRACE(row.id);
        auto* p = dynamic_cast<RK_NewFloatParameter*>(params[row.index]);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->getParameterIndex(), row.index);
        EXPECT_EQ(p->getParameterID(), row.id);
        EXPECT_EQ(p->getName(256), row.name);
        EXPECT_EQ(p->getName(4), row.name) << "names are never shortened";
        EXPECT_TRUE(p->getLabel().isEmpty());
        EXPECT_FLOAT_EQ(p->getDefaultValue(), row.defaultNormalised);
        EXPECT_FLOAT_EQ(p->getValue(), row.defaultNormalised) << "constructed at its default";
        EXPECT_TRUE(p->isAutomatable());
        EXPECT_FALSE(p->isDiscrete());
        EXPECT_FALSE(p->isBoolean());
        EXPECT_FALSE(p->isMetaParameter());
        EXPECT_EQ(p->getNumSteps(), 0x7fffffff);
        if (row.index != 11)
        {
            EXPECT_EQ(p->getText(row.probe, 2), row.probeText);
        }
    }
}

TEST_F(ProcessorFixture, OneNamedProgram)
{
    EXPECT_EQ(processor.getNumPrograms(), 1);
    EXPECT_EQ(processor.getCurrentProgram(), 0);
    EXPECT_EQ(processor.getProgramName(0), "Default") << "VST3 validation rejects unnamed programs";
}

TEST_F(ProcessorFixture, OnOffTextsAndTrailingBlankOfEmptyLabels)
{
    auto& power = processor.parameter(veltrano::powerIndex);
    EXPECT_EQ(power.getText(0.0f, 8), "Off");
    EXPECT_EQ(power.getText(0.01f, 8), "On");
    auto& hq = processor.parameter(veltrano::hqIndex);
    EXPECT_EQ(hq.getText(1.0f, 8), "On");
    // Out-of-range values are clamped for display.
    EXPECT_EQ(processor.parameter(veltrano::gainIndex).getText(1.7f, 8), "100.0 %");
    EXPECT_EQ(processor.parameter(veltrano::outputGainIndex).getText(-1.0f, 8), "-24.0 dB");
}

TEST_F(ProcessorFixture, CircuitTypeTextIsTheAppliedCircuitName)
{
    auto& mods = processor.parameter(veltrano::circuitTypeIndex);
    processor.prepareToPlay(44100.0, 64);
    for (float v : {0.0f, 0.3f, 1.0f})
        EXPECT_EQ(mods.getText(v, 16), "Default");

    processor.setCircuitTypeIndex(1.0f);
    juce::AudioBuffer<float> buffer(2, 64);
    buffer.clear();
    juce::MidiBuffer midi;
    processor.processBlock(buffer, midi);
    EXPECT_EQ(mods.getText(0.0f, 16), "Bright");

    processor.setCircuitTypeIndex(2.0f);
    processor.processBlock(buffer, midi);
    EXPECT_EQ(mods.getCurrentValueAsText(), "Sharp");
}

TEST_F(ProcessorFixture, TextParsing)
{
    struct Case
    {
        int index;
        const char* text;
        float expected;
    };
    const Case cases[] = {
        {veltrano::outputGainIndex, "-6 dB", 0.375f},
        {veltrano::gainIndex, "500", 1.0f},
        {veltrano::gainIndex, "12.5 %", 0.125f},
        {veltrano::gainIndex, "  40", 0.4f},
        {veltrano::gainIndex, "-3", 0.0f},
        {veltrano::gainIndex, "loud", 0.0f},
        {veltrano::inputGainIndex, "", 0.5f}, // no number reads as 0 dB
        {veltrano::powerIndex, "On", 0.0f},
        {veltrano::hqIndex, "Off", 0.0f},
        {veltrano::circuitTypeIndex, "Bright", 0.0f},
        {veltrano::circuitTypeIndex, "23", 1.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_FLOAT_EQ(processor.parameter(c.index).getValueForText(c.text), c.expected);
    }
}

TEST_F(ProcessorFixture, EveryWriteFlagsAControlUpdateAndIsStoredUnclamped)
{
    auto& gain = processor.parameter(veltrano::gainIndex);
    processor.prepareToPlay(44100.0, 32);
    juce::AudioBuffer<float> buffer(2, 32);
    buffer.clear();
    juce::MidiBuffer midi;
    processor.processBlock(buffer, midi);
    ASSERT_FALSE(processor.haveParametersChanged());

    gain.setValue(gain.getValue()); // unchanged value still counts
    EXPECT_TRUE(processor.haveParametersChanged());

    gain.setValue(1.5f);
    EXPECT_FLOAT_EQ(gain.getValue(), 1.5f);
    EXPECT_FLOAT_EQ(gain.getRealValue(), 100.0f);
}
