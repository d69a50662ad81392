#include "support/ProcessorRig.h"
#include "support/TestSignals.h"

#include <gtest/gtest.h>

using namespace veltrano;
using namespace veltrano::test;

namespace
{
constexpr double rate = 44100.0;

Channels stereoGuitar(double seconds)
{
    return {guitarLikeSignal(rate, seconds, 1), guitarLikeSignal(rate, seconds, 2)};
}

float maxAbsDifference(const std::vector<float>& a, const std::vector<float>& b, size_t from = 0)
{
    float worst = 0.0f;
    for (size_t n = from; n < a.size(); ++n)
        worst = std::max(worst, std::abs(a[n] - b[n]));
    return worst;
}
} // namespace

TEST(ProcessorFrame, MixAndPowerBlendWetAndUndelayedDryWithHqOff)
{
    // Once the smoothers have settled, the output is p*(m*wet + (1-m)*dry) + (1-p)*dry, where
    // wet is what an identical instance at full mix and power produces.
    const auto input = stereoGuitar(1.5);
    const size_t settled = static_cast<size_t>(rate); // 100 Hz smoothers: settled well before 1 s

    struct Case
    {
        float mix, power;
    };
    for (const auto c : {Case{0.3f, 1.0f}, Case{0.0f, 1.0f}, Case{1.0f, 0.0f}, Case{0.6f, 0.0f}})
    {
        SCOPED_TRACE(testing::Message() << "mix " << c.mix << " power " << c.power);
        ProcessorRig wetRig, rig;
        wetRig.prepare(rate, 256);
        rig.set(mixIndex, c.mix);
        rig.set(powerIndex, c.power);
        rig.prepare(rate, 256);
        rig.set(mixIndex, c.mix); // the first prepare returns parameters to their defaults
        rig.set(powerIndex, c.power);

        const auto wet = wetRig.run(input, 256);
        const auto out = rig.run(input, 256);
        for (size_t ch = 0; ch < 2; ++ch)
        {
            std::vector<float> expected(input[ch].size());
            for (size_t n = 0; n < expected.size(); ++n)
                expected[n] = c.power * (c.mix * wet[ch][n] + (1.0f - c.mix) * input[ch][n]) +
                              (1.0f - c.power) * input[ch][n];
            EXPECT_LT(maxAbsDifference(out[ch], expected, settled), 1e-5f);
        }
    }
}

TEST(ProcessorFrame, HqDryPathIsDelayedByTheOversamplerLatency)
{
    ProcessorRig rig;
    rig.prepare(rate, 128);
    rig.set(mixIndex, 0.0f);
    rig.set(hqIndex, 1.0f);

    const size_t count = 30000;
    const auto tone = sine(rate, 220.0, 0.5, count);
    const auto out = rig.run({tone, tone}, 128);

    ASSERT_TRUE(rig.processor.isHqActive());
    const float latency = rig.processor.getOversamplerLatency();
    EXPECT_GT(latency, 0.5f);
    EXPECT_EQ(rig.processor.getLatencySamples(), juce::roundToInt(latency));
    EXPECT_NE(latency, std::round(latency)) << "the dry path uses the fractional latency";

    // Compare with the analytic tone delayed by the fractional latency; a linear interpolation
    // of a 220 Hz tone at 44.1 kHz is accurate to about 1e-3 of its amplitude.
    float worst = 0.0f;
    for (size_t n = 20000; n < count; ++n)
    {
        const double delayed = 0.5 * std::sin(2.0 * M_PI * 220.0 * (n - latency) / rate);
        worst = std::max(worst, (float)std::abs(out[0][n] - delayed));
    }
    EXPECT_LT(worst, 2e-3f);
}

TEST(ProcessorFrame, LatencyFollowsHqWithinOneBlock)
{
    ProcessorRig rig;
    rig.prepare(rate, 64);
    juce::AudioBuffer<float> buffer(2, 64);
    buffer.clear();
    juce::MidiBuffer midi;

    rig.processor.processBlock(buffer, midi);
    EXPECT_EQ(rig.processor.getLatencySamples(), 0);
    rig.set(hqIndex, 1.0f);
    rig.processor.processBlock(buffer, midi);
    EXPECT_GT(rig.processor.getLatencySamples(), 0);
    rig.set(hqIndex, 0.0f);
    rig.processor.processBlock(buffer, midi);
    EXPECT_EQ(rig.processor.getLatencySamples(), 0);
}

TEST(ProcessorFrame, SmoothersStartFromDryAtEachPreparation)
{
    // After a preparation the output glides from the dry signal with a 100 Hz one-pole at the
    // circuit rate.
    ProcessorRig rig;
    rig.prepare(rate, 100);
    juce::AudioBuffer<float> buffer(2, 100);
    buffer.clear();
    juce::MidiBuffer midi;

    auto expectGlide = [&](double circuitRate, bool preparedAlready)
    {
        if (preparedAlready)
        {
            EXPECT_EQ(rig.processor.getPowerSmoother().current, 0.0f);
            EXPECT_EQ(rig.processor.getMixSmoother().current, 0.0f);
        }
        rig.processor.processBlock(buffer, midi);
        const double expected = 1.0 - std::exp(-2.0 * M_PI * 100.0 * 100.0 / circuitRate);
        EXPECT_NEAR(rig.processor.getPowerSmoother().current, expected, 1e-4);
        EXPECT_NEAR(rig.processor.getMixSmoother().current, expected, 1e-4);
    };
    expectGlide(rate, true);

    rig.set(hqIndex, 1.0f); // an HQ switch prepares again at twice the rate, at the next block
    expectGlide(2.0 * rate, false);

    rig.prepare(48000.0, 100); // and so does a new sample rate (HQ still on)
    expectGlide(96000.0, true);
}

TEST(ProcessorFrame, SecondPrepareAtTheSameRateChangesNothing)
{
    const auto input = stereoGuitar(0.4);
    const Channels first{{input[0].begin(), input[0].begin() + 8000},
                         {input[1].begin(), input[1].begin() + 8000}};
    const Channels second{{input[0].begin() + 8000, input[0].end()},
                          {input[1].begin() + 8000, input[1].end()}};

    ProcessorRig a, b;
    a.prepare(rate, 512);
    b.prepare(rate, 512);
    a.run(first, 512);
    b.run(first, 512);
    b.set(gainIndex, 0.9f);
    a.set(gainIndex, 0.9f);
    b.prepare(rate, 512);
    const auto outA = a.run(second, 512);
    const auto outB = b.run(second, 512);
    EXPECT_EQ(outA, outB);
    EXPECT_FLOAT_EQ(b.processor.parameter(gainIndex).getValue(), 0.9f);
}

TEST(ProcessorFrame, SampleRateChangeKeepsParameterValues)
{
    ProcessorRig rig;
    rig.prepare(rate, 256);
    rig.set(gainIndex, 0.8f);
    rig.set(mixIndex, 0.25f);
    rig.prepare(96000.0, 256);
    EXPECT_FLOAT_EQ(rig.processor.parameter(gainIndex).getValue(), 0.8f);
    EXPECT_FLOAT_EQ(rig.processor.parameter(mixIndex).getValue(), 0.25f);
    EXPECT_EQ(rig.processor.getCurrentSampleRate(), 96000.0);
    EXPECT_EQ(rig.processor.getChannel(0).rate, 96000.0);
}

TEST(ProcessorFrame, FirstPrepareKeepsARestoredStateAndResetsOtherwise)
{
    juce::MemoryBlock state;
    {
        ProcessorRig source;
        source.set(gainIndex, 0.9f);
        source.processor.getStateInformation(state);
    }

    ProcessorRig restored;
    restored.processor.setStateInformation(state.getData(), (int)state.getSize());
    restored.prepare(rate, 64);
    EXPECT_FLOAT_EQ(restored.processor.parameter(gainIndex).getValue(), 0.9f);

    ProcessorRig untouched;
    untouched.set(gainIndex, 0.9f); // changed without a state document
    untouched.prepare(rate, 64);
    EXPECT_FLOAT_EQ(untouched.processor.parameter(gainIndex).getValue(), 0.5f);
}

TEST(ProcessorFrame, MonoRunsChannelZeroOnly)
{
    ProcessorRig mono(1);
    ASSERT_EQ(mono.processor.getTotalNumInputChannels(), 1);
    mono.prepare(rate, 256);
    const auto input = guitarLikeSignal(rate, 0.3);
    const auto out = mono.run({input}, 256);

    ProcessorRig stereo;
    stereo.prepare(rate, 256);
    const auto reference = stereo.run({input, input}, 256);
    EXPECT_EQ(out[0], reference[0]);
    EXPECT_EQ(mono.processor.getChannel(1).fadeIn.counter, 0) << "channel 1 never ran";
    EXPECT_GT(mono.processor.getChannel(0).fadeIn.counter, 0);
}

TEST(ProcessorFrame, BypassPassesTheInputUnchangedAlsoWithHq)
{
    ProcessorRig rig;
    rig.prepare(rate, 64);
    rig.set(hqIndex, 1.0f);
    juce::AudioBuffer<float> buffer(2, 64);
    juce::MidiBuffer midi;
    rig.processor.processBlock(buffer, midi);
    ASSERT_GT(rig.processor.getLatencySamples(), 0);

    const auto tone = sine(rate, 440.0, 0.5, 64);
    for (int c = 0; c < 2; ++c)
        buffer.copyFrom(c, 0, tone.data(), 64);
    rig.processor.processBlockBypassed(buffer, midi);
    for (int c = 0; c < 2; ++c)
        for (int n = 0; n < 64; ++n)
            ASSERT_EQ(buffer.getSample(c, n), tone[(size_t)n]);
}

TEST(ProcessorFrame, BlocksLongerThanPreparedAreProcessedInPieces)
{
    const auto input = stereoGuitar(0.5);
    for (float hq : {0.0f, 1.0f})
    {
        ProcessorRig pieces, whole;
        pieces.set(hqIndex, hq);
        whole.set(hqIndex, hq);
        pieces.prepare(rate, 100);
        whole.prepare(rate, 100);
        pieces.set(hqIndex, hq);
        whole.set(hqIndex, hq);
        const auto expected = pieces.run(input, 100);
        const auto out = whole.run(input, 1000); // ten times what prepareToPlay announced
        EXPECT_EQ(out, expected) << "hq " << hq;
    }
}

TEST(ProcessorFrame, NonFiniteInputDoesNotStickAround)
{
    for (float hq : {0.0f, 1.0f})
    {
        ProcessorRig rig, clean;
        rig.prepare(rate, 256);
        clean.prepare(rate, 256);
        rig.set(hqIndex, hq);
        clean.set(hqIndex, hq);
        rig.set(gateIndex, 0.3f);
        clean.set(gateIndex, 0.3f);

        auto input = stereoGuitar(1.0);
        auto poisoned = input;
        poisoned[0][3000] = std::numeric_limits<float>::quiet_NaN();
        poisoned[1][3001] = std::numeric_limits<float>::infinity();
        poisoned[1][3002] = -std::numeric_limits<float>::infinity();
        const auto out = rig.run(poisoned, 256);
        const auto reference = clean.run(input, 256);
        for (size_t c = 0; c < 2; ++c)
        {
            for (float v : out[c])
                ASSERT_TRUE(std::isfinite(v));
            // Half a second later the two instances sound the same again.
            EXPECT_LT(maxAbsDifference(out[c], reference[c], 25000), 1e-3f) << "hq " << hq;
        }
    }
}

TEST(ProcessorFrame, OutOfRangeAndNonFiniteParameterValuesAreReadSafely)
{
    // Hosts and documents can store any float: the sound must stay finite and bounded.
    ProcessorRig rig;
    rig.prepare(rate, 256);
    const float hostile[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), 1.0e30f, -5.0f};
    const auto input = stereoGuitar(0.3);
    for (float v : hostile)
    {
        for (int i = 0; i < numParameters; ++i)
            rig.set(i, v);
        const auto out = rig.run(input, 256);
        for (const auto& ch : out)
            for (float s : ch)
            {
                ASSERT_TRUE(std::isfinite(s)) << "value " << v;
                ASSERT_LT(std::abs(s), 16.0f) << "value " << v;
            }
    }
}
