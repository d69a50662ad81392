// Counts every heap allocation of this program, to prove the audio-thread calls make none.
#include "CircuitTestSupport.h"
#include "circuit/NoiseGate.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <vector>

using namespace veltrano;

TEST(RealTimeSafety, CounterSeesAllocations)
{
    const test::AllocationScope scope;
    // Kept beyond the test, so the compiler cannot drop the allocation.
    static std::vector<std::vector<int>> kept;
    kept.emplace_back(100);
    EXPECT_GE(scope.count(), 2);
}

TEST(RealTimeSafety, AudioThreadCallsDoNotAllocate)
{
    // Everything the audio thread may call, including variant changes, HQ re-preparation and
    // the recovery path; the tables come from the message thread beforehand.
    static CircuitChannel channel;
    static NoiseGate gate;
    static GateSidechainFilter filter;
    const GuessTable table44 = computeGuessTable(44100.0);
    const GuessTable table88 = computeGuessTable(88200.0);
    std::vector<float> block = test::guitarSignal(512, 44100.0);
    std::vector<float> dry = block;

    const test::AllocationScope scope;
    prepareChannel(channel, 44100.0, 0, table44);
    prepareGate(gate, filter, 44100.0);
    setCircuitControls(channel, 0.7f, 0.3f, 0.5f, 0.8f, 0.6f);
    for (int variant : {1, 2, 23, 0})
    {
        selectVariant(channel, variant, table44);
        restartFadeIn(channel);
        processChannel(channel, block.data(), 512, 1.0f, 1.0f);
    }
    prepareChannel(channel, 88200.0, 0, table88);
    updateSectionCoefficients(channel);
    processChannel(channel, block.data(), 512, 1.0f, 1.0f);
    channel.inputBlocker.state = std::numeric_limits<float>::quiet_NaN();
    processChannel(channel, block.data(), 512, 1.0f, 1.0f);
    for (size_t n = 0; n < dry.size(); ++n)
        block[n] = processGateSample(gate, sidechainDetector(filter, dry[n]), block[n]);
    gate.threshold = gateThresholdFromParameter(0.3f);
    volatile float sink =
        decibelsToGain(-6.0f) + audioTaper81(0.5f) + static_cast<float>(roundCircuitIndex(1.5f));
    (void)sink;
    const long made = scope.count();

    EXPECT_EQ(made, 0);
    EXPECT_TRUE(channelStateIsFinite(channel));
}
