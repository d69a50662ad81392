#include "CircuitTestSupport.h"
#include "circuit/NoiseGate.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

using namespace veltrano;

namespace
{
struct Gate
{
    NoiseGate gate;
    GateSidechainFilter filter;
    explicit Gate(double rate) { prepareGate(gate, filter, rate); }
};

double toDb(float gain)
{
    return 20.0 * std::log10(static_cast<double>(gain));
}

// Time constant in ms of a one-pole coefficient.
double timeConstantMs(float coefficient, double rate)
{
    return -1000.0 / (std::log(static_cast<double>(coefficient)) * rate);
}
} // namespace

TEST(NoiseGate, ThresholdRangeOfTheGateKnob)
{
    EXPECT_NEAR(toDb(gateThresholdFromParameter(0.0f)), -100.0, 0.01);
    EXPECT_NEAR(toDb(gateThresholdFromParameter(1.0f)), -10.0, 0.01);
    float previous = 0;
    for (float v = 0.0f; v <= 1.0f; v += 0.05f)
    {
        const float t = gateThresholdFromParameter(v);
        EXPECT_GT(t, previous) << v;
        previous = t;
    }
    EXPECT_NEAR(toDb(Gate(44100.0).gate.threshold), -90.0, 0.01); // until the knob is mapped
}

TEST(NoiseGate, HoldIsThreeMillisecondsComparedAsAFloat)
{
    struct Case
    {
        double rate;
        int firstMovingCount; // first count not below the fractional hold
    };
    for (Case c : {Case{44100.0, 133}, Case{48000.0, 144}, Case{88200.0, 265}})
    {
        SCOPED_TRACE(c.rate);
        // Closing: open gate after a steady signal (crest factor 1), then silence.
        Gate g(c.rate);
        g.gate.gain = 1.0f;
        g.gate.peakSquare = g.gate.meanSquare = 0.01f;
        g.gate.threshold = 1e-3f;
        for (int count = 1; count <= c.firstMovingCount; ++count)
        {
            const float out = processGateSample(g.gate, 0.0f, 1.0f);
            EXPECT_EQ(g.gate.target, 0.0f);
            if (count < c.firstMovingCount)
                ASSERT_EQ(out, 1.0f) << "count " << count;
            else
                EXPECT_LT(out, 1.0f) << "count " << count;
        }
        // Opening: closed gate, signal at the threshold.
        Gate h(c.rate);
        h.gate.threshold = 0.0f;
        for (int count = 1; count <= c.firstMovingCount; ++count)
        {
            const float out = processGateSample(h.gate, 0.0f, 1.0f);
            EXPECT_EQ(h.gate.target, 1.0f);
            if (count < c.firstMovingCount)
                ASSERT_EQ(out, 0.0f) << "count " << count;
            else
                EXPECT_GT(out, 0.0f) << "count " << count;
        }
    }
}

TEST(NoiseGate, EnvelopeExactlyAtThresholdOpens)
{
    Gate atThreshold(44100.0);
    atThreshold.gate.threshold = 0.0f; // envelope 0 == threshold
    processGateSample(atThreshold.gate, 0.0f, 1.0f);
    EXPECT_EQ(atThreshold.gate.target, 1.0f);

    Gate below(44100.0);
    below.gate.threshold = FLT_MIN; // envelope 0 < threshold
    processGateSample(below.gate, 0.0f, 1.0f);
    EXPECT_EQ(below.gate.target, 0.0f);
}

TEST(NoiseGate, OpensOnPlayingAndClosesAfterIt)
{
    const double rate = 44100.0;
    Gate g(rate);
    g.gate.threshold = gateThresholdFromParameter(0.5f);
    // Two seconds, so the crest detector has forgotten its start-up state.
    const auto note = test::sine(88200, rate, 440.0, 0.3);
    float out = 0;
    for (float d : note)
        out = processGateSample(g.gate, sidechainDetector(g.filter, d), 1.0f);
    EXPECT_GT(out, 0.99f);
    for (int n = 0; n < 22050; ++n)
        out = processGateSample(g.gate, sidechainDetector(g.filter, 0.0f), 1.0f);
    EXPECT_LT(out, 1e-3f);
}

TEST(NoiseGate, AttackTimeFollowsTheCrestFactor)
{
    // With both averages at 40 ms the attack is 80 ms over the squared crest factor and the
    // release stays at 3 ms: a sine (crest^2 = 2) gives 40 ms, a square wave (1) 80 ms.
    struct Case
    {
        bool square;
        double attackMs;
    };
    const double rate = 44100.0;
    for (Case c : {Case{false, 40.0}, Case{true, 80.0}})
    {
        SCOPED_TRACE(c.square ? "square" : "sine");
        Gate g(rate);
        const auto s = test::sine(88200, rate, 1000.0, 0.1);
        for (float x : s)
            processGateSample(g.gate, c.square ? (x >= 0 ? 0.1f : -0.1f) : x, 1.0f);
        EXPECT_NEAR(timeConstantMs(g.gate.attackCoefficient, rate), c.attackMs, 0.02 * c.attackMs);
        EXPECT_NEAR(timeConstantMs(g.gate.releaseCoefficient, rate), 3.0, 1e-3);
    }
}

TEST(NoiseGate, SidechainIsAHighPassAt312Hz)
{
    const double rate = 44100.0;
    struct Case
    {
        double frequency;
        double gain;
    };
    for (Case c : {Case{312.0, std::sqrt(0.5)}, Case{5000.0, 0.998}, Case{31.2, 0.0995}})
    {
        GateSidechainFilter f;
        NoiseGate unused;
        prepareGate(unused, f, rate);
        auto x = test::sine(44100, rate, c.frequency, 1.0);
        for (float& v : x)
            v = sidechainDetector(f, v);
        EXPECT_NEAR(test::amplitudeAt(x, 22050, 44100, rate, c.frequency), c.gain, 0.01)
            << c.frequency;
    }
    GateSidechainFilter dc;
    NoiseGate unused;
    prepareGate(unused, dc, rate);
    float y = 1;
    for (int n = 0; n < 4410; ++n)
        y = sidechainDetector(dc, 1.0f);
    EXPECT_NEAR(y, 0.0f, 1e-5f);
}

TEST(NoiseGate, PrepareKeepsTheDynamicState)
{
    Gate g(44100.0);
    g.gate.envelope = 0.25f;
    g.gate.gain = 0.5f;
    g.gate.closeCount = 7;
    g.gate.peakSquare = 0.3f;
    g.gate.meanSquare = 0.2f;
    g.gate.threshold = 0.1f;
    prepareGate(g.gate, g.filter, 96000.0);
    EXPECT_EQ(g.gate.envelope, 0.25f);
    EXPECT_EQ(g.gate.gain, 0.5f);
    EXPECT_EQ(g.gate.closeCount, 7);
    EXPECT_EQ(g.gate.peakSquare, 0.3f);
    EXPECT_EQ(g.gate.meanSquare, 0.2f);
    EXPECT_EQ(g.gate.rate, 96000.0);
    EXPECT_NEAR(g.gate.holdSamples, 288.0f, 1e-4f);
    EXPECT_NEAR(toDb(g.gate.threshold), -90.0, 0.01);
    EXPECT_TRUE(g.gate.adaptive);
}

TEST(NoiseGate, NonFiniteDetectorCountsAsSilence)
{
    const double rate = 44100.0;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    Gate bad(rate), good(rate);
    bad.gate.threshold = good.gate.threshold = gateThresholdFromParameter(0.4f);
    const auto dry = test::guitarSignal(88200, rate);
    float widestOpen = 0;
    for (size_t n = 0; n < dry.size(); ++n)
    {
        // Bad dry samples reach the side-chain filter; bad detector values reach the gate.
        const bool badDry = n == 100 || n == 101 || n == 4000;
        const bool badDetector = n == 2000 || n == 2001 || n == 30000 || n == 60000;
        const float spoilt = n % 2 ? -inf : nan;
        const float da = sidechainDetector(bad.filter, badDry ? spoilt : dry[n]);
        const float db = sidechainDetector(good.filter, badDry ? 0.0f : dry[n]);
        ASSERT_EQ(da, db) << "sample " << n;
        const float a = processGateSample(bad.gate, badDetector ? spoilt : da, dry[n]);
        const float b = processGateSample(good.gate, badDetector ? 0.0f : db, dry[n]);
        ASSERT_EQ(a, b) << "sample " << n;
        widestOpen = std::max(widestOpen, good.gate.gain);
    }
    EXPECT_GT(widestOpen, 0.9f); // the comparison covered an open gate

    // A detector so large that its square overflows restarts the crest averages.
    Gate huge(rate);
    processGateSample(huge.gate, 1e30f, 1.0f);
    EXPECT_TRUE(std::isfinite(huge.gate.peakSquare) && std::isfinite(huge.gate.meanSquare));
    float out = 0;
    for (float d : dry)
        out = processGateSample(huge.gate, d, 0.5f);
    EXPECT_TRUE(std::isfinite(out));
    EXPECT_TRUE(std::isfinite(huge.gate.attackCoefficient));
}
