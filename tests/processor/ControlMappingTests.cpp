// How parameter values reach the circuit through the processor's control update.

#include "support/ProcessorRig.h"

#include <gtest/gtest.h>

using namespace veltrano;
using namespace veltrano::test;

namespace
{
struct MappingFixture : ::testing::Test
{
    MappingFixture()
    {
        rig.prepare(44100.0, 32);
        buffer.clear();
        update();
    }

    void update() { rig.processor.processBlock(buffer, midi); }

    void setCircuit(float realIndex)
    {
        rig.set(circuitTypeIndex, realIndex / 23.0f);
        update();
    }

    ProcessorRig rig;
    juce::AudioBuffer<float> buffer{2, 32};
    juce::MidiBuffer midi;
};
} // namespace

TEST_F(MappingFixture, GateSwitchesOnOnlyAboveOneThousandth)
{
    struct Case
    {
        float gate;
        bool active;
    };
    for (const auto c :
         {Case{0.0f, false}, Case{0.001f, false}, Case{0.0011f, true}, Case{1.0f, true}})
    {
        rig.set(gateIndex, c.gate);
        update();
        EXPECT_EQ(rig.processor.isGateActive(), c.active) << c.gate;
    }
    EXPECT_NEAR(rig.processor.getGate(1).threshold, 0.31622776f, 1e-6f) << "-10 dB at full GATE";
}

TEST_F(MappingFixture, InputAndOutputGainInDecibels)
{
    struct Case
    {
        float normalised, linear;
    };
    for (const auto c : {Case{0.0f, 0.0630957f}, Case{0.5f, 1.0f}, Case{1.0f, 15.8489f}})
    {
        rig.set(inputGainIndex, c.normalised);
        rig.set(outputGainIndex, 1.0f - c.normalised);
        update();
        EXPECT_NEAR(rig.processor.getInputGainLinear(), c.linear, c.linear * 1e-5f);
        EXPECT_NEAR(rig.processor.getOutputGainLinear(), 1.0f / c.linear, 1e-5f / c.linear);
    }
}

TEST_F(MappingFixture, CircuitIndexRoundsToNearestWithTiesToEven)
{
    struct Case
    {
        float real;
        int index;
        const char* name;
        double stageCCapacitor;
    };
    const Case cases[] = {
        {1.0f, 1, "Bright", 220e-12}, {2.5f, 2, "Sharp", 2.2e-9},     {0.5f, 0, "Default", 2.2e-9},
        {1.4f, 1, "Bright", 220e-12}, {23.0f, 23, "Bright", 220e-12}, // recorded, nothing changes
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.real);
        rig.processor.circuitChanged = false;
        setCircuit(c.real);
        EXPECT_EQ(rig.processor.circuitIndex.load(), c.index);
        EXPECT_EQ(rig.processor.getCircuitName(), c.name);
        EXPECT_EQ(rig.processor.getChannel(0).components.stageCFeedbackCapacitor,
                  c.stageCCapacitor);
        EXPECT_EQ(rig.processor.getChannel(1).components.stageCFeedbackCapacitor,
                  c.stageCCapacitor);
        EXPECT_TRUE(rig.processor.circuitChanged.load());
        EXPECT_TRUE(rig.processor.getChannel(0).fadeIn.active) << "every new index fades in";
    }
}

TEST_F(MappingFixture, HqSwitchPreparesTheCircuitAtOnce)
{
    rig.set(hqIndex, 1.0f);
    update();
    EXPECT_TRUE(rig.processor.isHqActive());
    EXPECT_EQ(rig.processor.getChannel(0).rate, 88200.0);
    EXPECT_EQ(rig.processor.getChannel(0).fadeIn.length, 882) << "10 ms at the new rate";
    EXPECT_EQ(rig.processor.getGate(0).rate, 44100.0) << "the gate counts host samples";

    rig.set(hqIndex, 0.0f);
    update();
    EXPECT_EQ(rig.processor.getChannel(1).rate, 44100.0);
}

TEST_F(MappingFixture, AWriteDuringAnUpdateIsAppliedByTheNextOne)
{
    // Parameters change on other threads at any time; the flag is taken before the values are
    // read, so a write that lands after the read sets it again.
    rig.set(gainIndex, 1.0f);
    update();
    EXPECT_FALSE(rig.processor.haveParametersChanged());
    const float fullGainStageA = (float)rig.processor.getChannel(0).stageA.gain;
    rig.set(gainIndex, 0.0f);
    EXPECT_TRUE(rig.processor.haveParametersChanged());
    update();
    EXPECT_NE(rig.processor.getChannel(0).stageA.gain, fullGainStageA);
    EXPECT_EQ(rig.processor.getChannel(0).stageA.gain, 1.0);
}
