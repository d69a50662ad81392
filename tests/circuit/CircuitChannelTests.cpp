#include "CircuitTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace veltrano;
using veltrano::test::pi;

namespace
{
float sectionG(double fc, double rate)
{
    return static_cast<float>(std::tan(pi * fc / rate));
}

// Cutoff of an R-C section in Hz.
double rc(double r, double c)
{
    return 1.0 / (2 * pi * r * c);
}
} // namespace

TEST(CircuitRates, CutoffLimit)
{
    EXPECT_EQ(cutoffLimit(32000.0), 13760.0f);
    EXPECT_EQ(cutoffLimit(22050.0), 9481.5f);
    EXPECT_NEAR(cutoffLimit(44099.0), 0.43f * 44099.0f, 0.01f);
    EXPECT_EQ(cutoffLimit(44100.0), 19000.0f);
    EXPECT_EQ(cutoffLimit(192000.0), 19000.0f);
}

TEST(CircuitRates, SetUpFollowsTheRate)
{
    struct Case
    {
        double rate;
        double bandLimitHz;
        double clipperCutoffHz;
        double toneC;
    };
    for (Case c :
         {Case{32000.0, 13760.0, 0.43 * 32000.0, 32000.0}, Case{44100.0, 19000.0, 19000.0, 44100.0},
          Case{48000.0, 19000.0, 19000.0, 48000.0}, Case{384000.0, 19000.0, 19000.0, 192000.0}})
    {
        SCOPED_TRACE(c.rate);
        const CircuitChannel ch = test::preparedChannel(c.rate, 0);
        EXPECT_EQ(ch.rate, c.rate);
        for (const OpAmpStage* s : {&ch.stageA, &ch.stageB, &ch.stageC, &ch.stageD})
        {
            EXPECT_EQ(s->rate, c.rate);
            EXPECT_NEAR(s->bandLimitG, sectionG(c.bandLimitHz, c.rate), 2e-6f * s->bandLimitG);
        }
        EXPECT_NEAR(ch.clipper.warpedCutoff, std::tan(pi * c.clipperCutoffHz / c.rate),
                    1e-6 * ch.clipper.warpedCutoff);
        // The 10.5 Hz input high-pass and the R-C sections keep their true cutoffs.
        EXPECT_NEAR(ch.inputBlocker.g, sectionG(10.5, c.rate), 1e-6f * ch.inputBlocker.g);
        EXPECT_NEAR(ch.stageAInputHighPass.g, sectionG(rc(3.3e3, 47e-9), c.rate),
                    2e-6f * ch.stageAInputHighPass.g);
        EXPECT_NEAR(ch.stageDInputHighPass.g, sectionG(rc(100e3, 220e-9), c.rate),
                    2e-6f * ch.stageDInputHighPass.g);
        EXPECT_EQ(ch.stageDInputHighPass.rate, c.rate);
        // Tone networks clamp their rate at 192 kHz while the sections use the true rate.
        EXPECT_EQ(ch.bassTrebleStack.c, c.toneC);
        EXPECT_EQ(ch.contourStack.c, c.toneC);
        EXPECT_EQ(ch.fadeIn.length, static_cast<int>(c.rate / 100));
    }
    // At 32 kHz the clipper's tan(W / r) no longer depends on the rate.
    EXPECT_NEAR(test::preparedChannel(32000.0, 0).clipper.warpedCutoff, std::tan(0.43 * pi),
                1e-6 * std::tan(0.43 * pi));
}

TEST(CircuitRates, PrepareResetsGainsAndKeepsSectionStates)
{
    CircuitChannel ch = test::preparedChannel(44100.0, 0, 0.0f);
    auto x = test::guitarSignal(2000, 44100.0);
    processChannel(ch, x.data(), 2000, 1.0f, 1.0f);
    const float blockerState = ch.inputBlocker.state;
    const float bandState = ch.stageB.bandLimitState;
    ASSERT_NE(blockerState, 0.0f);

    prepareChannel(ch, 96000.0, 0, computeGuessTable(96000.0));
    EXPECT_EQ(ch.stageB.gain, -72.34042358398438); // full-GAIN value until the knob is mapped
    EXPECT_NEAR(ch.stageC.gain, 1.0 + 220.0 / 47.0, 1e-6);
    EXPECT_EQ(ch.stageD.gain, -1.0);
    EXPECT_EQ(ch.inputBlocker.state, blockerState);
    EXPECT_EQ(ch.stageB.bandLimitState, bandState);
    EXPECT_EQ(ch.bassTrebleStack.controls[0], 0.0);
    EXPECT_EQ(ch.contourStack.w1, 0.0);
    EXPECT_EQ(ch.volumeSmoother.current, 0.0f);
    EXPECT_TRUE(ch.fadeIn.active);
    EXPECT_EQ(ch.fadeIn.counter, 0);
}

TEST(CircuitControls, GainStagesFollowTheGainPot)
{
    struct Case
    {
        float gain;
        double stageA;     // 1 + pot share / 3.3k
        double stageB;     // -680k / (9.4k + remaining share)
        double feedbackHz; // 100 pF across the pot share
    };
    const double limit = 19000.0;
    for (Case c : {Case{0.0f, 1.0, -680e3 / 109.4e3, limit},
                   Case{0.5f, 1.0 + 50e3 / 3.3e3, -680e3 / 59.4e3, rc(50e3, 100e-12)},
                   Case{1.0f, 31.30303, -72.34042, rc(100e3, 100e-12)}})
    {
        SCOPED_TRACE(c.gain);
        const CircuitChannel ch = test::preparedChannel(44100.0, 0, c.gain);
        EXPECT_NEAR(ch.stageA.gain, c.stageA, 1e-5 * c.stageA);
        EXPECT_NEAR(ch.stageB.gain, c.stageB, 1e-5 * -c.stageB);
        const double fc = std::min(c.feedbackHz, limit);
        EXPECT_NEAR(ch.stageAFeedbackLowPass.g, sectionG(fc, 44100.0),
                    2e-6f * ch.stageAFeedbackLowPass.g);
    }
    EXPECT_EQ(test::preparedChannel(44100.0, 0, 0.0f).stageA.gain, 1.0);
    EXPECT_NEAR(-680e3 / 109.4e3, -6.2157, 1e-4);
    EXPECT_NEAR(rc(100e3, 100e-12), 15915.5, 0.1);
    // At 32 kHz GAIN 0 puts stage A's feedback low-pass at the 13760 Hz limit.
    EXPECT_NEAR(test::preparedChannel(32000.0, 0, 0.0f).stageAFeedbackLowPass.g,
                sectionG(13760.0, 32000.0), 1e-5f);
}

TEST(CircuitControls, KnobLaws)
{
    EXPECT_EQ(audioTaper81(0.0f), 0.0f);
    EXPECT_NEAR(audioTaper81(1.0f), 1.0f, 1e-6f);
    EXPECT_NEAR(audioTaper81(0.5f), 0.1f, 1e-6f); // 9 * 0.0125 - 0.0125
    EXPECT_NEAR(decibelsToGain(-24.0f), 0.0630957f, 1e-6f);
    EXPECT_NEAR(decibelsToGain(24.0f), 15.8489f, 1e-4f);
    EXPECT_EQ(decibelsToGain(0.0f), 1.0f);

    struct Case
    {
        float value;
        int index;
    };
    for (Case c : {Case{2.5f, 2}, Case{0.5f, 0}, Case{1.5f, 2}, Case{23.0f, 23}, Case{1.4999f, 1},
                   Case{0.0f, 0}, Case{std::numeric_limits<float>::quiet_NaN(), 0}})
        EXPECT_EQ(roundCircuitIndex(c.value), c.index) << c.value;

    // Tone controls and volume targets; the tone controls settle on them.
    CircuitChannel ch = test::preparedChannel(44100.0, 0, 0.5f, 0.0f, 1.0f, 0.25f, 0.5f);
    EXPECT_NEAR(ch.bassTrebleStack.controlIncrements[0] / toneControlStep, 1.0, 1e-12);
    EXPECT_NEAR(ch.bassTrebleStack.controlIncrements[1] / toneControlStep, 0.75, 1e-7);
    EXPECT_NEAR(ch.contourStack.controlIncrements[0] / toneControlStep, 0.0, 1e-7);
    EXPECT_NEAR(ch.volumeSmoother.target, 0.1f, 1e-6f);
    // Out-of-range knob values are clamped rather than driving the stages past their design.
    CircuitChannel wild = test::preparedChannel(44100.0, 0, 7.0f, -3.0f, 2.0f,
                                                std::numeric_limits<float>::quiet_NaN(), 2.0f);
    EXPECT_NEAR(wild.stageA.gain, 31.30303, 1e-4);
    EXPECT_NEAR(wild.bassTrebleStack.controlIncrements[1] / toneControlStep, 1.0, 1e-12);
    EXPECT_NEAR(wild.volumeSmoother.target, 1.0f, 1e-6f);
}

TEST(CircuitStages, RailsAreAsymmetric)
{
    const OpAmpStage stage;
    EXPECT_EQ(clampToRails(stage, 100.0f), 7.65f);
    EXPECT_EQ(clampToRails(stage, -100.0f), -7.47f);
    EXPECT_EQ(clampToRails(stage, 7.6f), 7.6f);
    EXPECT_EQ(clampToRails(stage, -7.4f), -7.4f);
    EXPECT_NEAR(stage.positiveRail, 7.65, 1e-6);
    EXPECT_NEAR(stage.negativeRail, -7.47, 1e-6);

    // A stage driven far beyond its supply settles on the rails after its band limit.
    OpAmpStage driven;
    resetOpAmpStage(driven);
    float y = 0;
    for (int n = 0; n < 64; ++n)
        y = bandLimit(driven, clampToRails(driven, 100.0f));
    EXPECT_NEAR(y, 7.65f, 1e-5f);
    for (int n = 0; n < 64; ++n)
        y = bandLimit(driven, clampToRails(driven, -100.0f));
    EXPECT_NEAR(y, -7.47f, 1e-5f);
}

TEST(CircuitVariants, SelectionSetsCapacitorsAndOtherIndicesAreOnlyRecorded)
{
    const GuessTable table = computeGuessTable(44100.0);
    CircuitChannel ch = test::preparedChannel(44100.0, 1);
    EXPECT_STREQ(ch.variantName, "Bright");
    EXPECT_EQ(ch.components.stageCFeedbackCapacitor, 220e-12);
    EXPECT_EQ(ch.components.stageDFeedbackCapacitor, 1e-9);

    auto x = test::guitarSignal(1000, 44100.0);
    processChannel(ch, x.data(), 1000, 1.0f, 1.0f);
    const CircuitChannel before = ch;
    selectVariant(ch, 23, table);
    EXPECT_EQ(ch.variantIndex, 23);
    EXPECT_STREQ(ch.variantName, "Bright");
    EXPECT_TRUE(ch.components == before.components);
    EXPECT_EQ(ch.stageCFeedbackLowPass.g, before.stageCFeedbackLowPass.g);
    EXPECT_EQ(ch.clipper.state, before.clipper.state);
    EXPECT_EQ(ch.stageB.gain, before.stageB.gain);

    // A later preparation with that index runs on the Default capacitors.
    prepareChannel(ch, 44100.0, 23, table);
    EXPECT_EQ(ch.variantIndex, 23);
    EXPECT_TRUE(ch.components == variantComponents(0));

    selectVariant(ch, 2, table);
    EXPECT_STREQ(ch.variantName, "Sharp");
    EXPECT_EQ(ch.components.stageDFeedbackCapacitor, 100e-12);
    EXPECT_EQ(ch.clipper.state, table.finalState);
    EXPECT_EQ(ch.stageB.gain, -72.34042358398438);
}

TEST(CircuitVariants, LowPassCornersShowInTheMeasuredResponse)
{
    // At a small level the chain is linear, so the ratio of two variants' outputs is the ratio
    // of the one low-pass they differ in: an R-C corner mapped by the trapezoidal rule,
    // |H(f)| = 1 / sqrt(1 + (tan(pi f / fs) / tan(pi fc / fs))^2).
    const double fs = 44100.0;
    auto lowPassMagnitude = [fs](double f, double fc)
    {
        const double r = std::tan(pi * f / fs) / std::tan(pi * fc / fs);
        return 1.0 / std::sqrt(1.0 + r * r);
    };
    auto measure = [fs](int variant, double f)
    {
        CircuitChannel ch = test::preparedChannel(fs, variant, 0.0f);
        auto x = test::sine(66150, fs, f, 1e-3);
        test::processInBlocks(ch, x, 512);
        return test::amplitudeAt(x, 44100, 66150, fs, f);
    };
    struct Case
    {
        int variant;
        double narrowHz;
        double wideHz;
    };
    for (Case c : {Case{1, rc(220e3, 2.2e-9), rc(220e3, 220e-12)},
                   Case{2, rc(100e3, 1e-9), rc(100e3, 100e-12)}})
        for (double f : {c.narrowHz, 2.0 * c.narrowHz, 0.3 * c.narrowHz})
        {
            SCOPED_TRACE(::testing::Message() << "variant " << c.variant << " at " << f << " Hz");
            const double ratio = measure(c.variant, f) / measure(0, f);
            EXPECT_NEAR(ratio, lowPassMagnitude(f, c.wideHz) / lowPassMagnitude(f, c.narrowHz),
                        0.005 * ratio);
        }
    EXPECT_NEAR(rc(220e3, 2.2e-9), 328.8, 0.1);
    EXPECT_NEAR(rc(100e3, 1e-9), 1591.5, 0.1);
}

TEST(CircuitFadeIn, OutputRisesLinearlyOverTenMilliseconds)
{
    for (double rate : {44100.0, 48000.0})
    {
        SCOPED_TRACE(rate);
        CircuitChannel faded = test::preparedChannel(rate, 0, 0.7f);
        CircuitChannel plain = faded;
        plain.fadeIn.active = false;
        const int length = faded.fadeIn.length;
        EXPECT_EQ(length, static_cast<int>(rate / 100));

        auto a = test::guitarSignal(length + 200, rate);
        auto b = a;
        processChannel(faded, a.data(), static_cast<int>(a.size()), 1.0f, 2.0f);
        processChannel(plain, b.data(), static_cast<int>(b.size()), 1.0f, 2.0f);
        for (int n = 0; n < static_cast<int>(a.size()); ++n)
        {
            const double ramp = n < length ? (n + 1.0) / length : 1.0;
            ASSERT_NEAR(a[static_cast<size_t>(n)], b[static_cast<size_t>(n)] * ramp,
                        1e-6 * std::fabs(b[static_cast<size_t>(n)]) + 1e-12)
                << "sample " << n;
        }
        EXPECT_FALSE(faded.fadeIn.active);
    }
    // Ten milliseconds rounded to the nearest sample, ties to even.
    for (auto [rate, length] : {std::pair{22050.0, 220}, std::pair{22150.0, 222},
                                std::pair{44100.0, 441}, std::pair{384000.0, 3840}})
    {
        CircuitChannel ch;
        ch.rate = rate;
        restartFadeIn(ch);
        EXPECT_EQ(ch.fadeIn.length, length) << rate;
        EXPECT_EQ(ch.fadeIn.inverseLength, 1.0f / static_cast<float>(length));
    }
    // A rate far too low for one sample still gives a finite one-sample ramp.
    CircuitChannel slow;
    slow.rate = 10.0;
    restartFadeIn(slow);
    EXPECT_EQ(slow.fadeIn.length, 1);
}

TEST(CircuitProcessing, BlockSizeDoesNotChangeTheOutput)
{
    const double rate = 48000.0;
    const auto input = test::guitarSignal(6000, rate, 0.6f);
    auto reference = input;
    CircuitChannel whole = test::preparedChannel(rate, 2, 0.9f, 0.3f, 0.7f, 0.6f, 0.8f);
    const CircuitChannel start = whole;
    processChannel(whole, reference.data(), static_cast<int>(reference.size()), 1.5f, 0.8f);

    auto perSample = input;
    CircuitChannel a = start;
    test::processInBlocks(a, perSample, 1, 1.5f, 0.8f);
    EXPECT_EQ(perSample, reference);

    auto split = input;
    CircuitChannel b = start;
    const int sizes[] = {1, 2, 13, 25, 512};
    size_t pos = 0;
    for (int i = 0; pos < split.size(); ++i)
    {
        const auto count = std::min(split.size() - pos, static_cast<size_t>(sizes[i % 5]));
        processChannel(b, split.data() + pos, static_cast<int>(count), 1.5f, 0.8f);
        pos += count;
    }
    EXPECT_EQ(split, reference);
    EXPECT_EQ(b.clipper.state, whole.clipper.state);
}

TEST(CircuitProcessing, OutputStaysBoundedForHotInput)
{
    for (double rate : {44100.0, 96000.0, 384000.0})
    {
        CircuitChannel ch = test::preparedChannel(rate, 0, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f);
        auto x = test::sine(static_cast<int>(rate / 4), rate, 82.4, 4.0);
        processChannel(ch, x.data(), static_cast<int>(x.size()), 15.8489f, 1.0f);
        float peak = 0;
        for (float v : x)
        {
            ASSERT_TRUE(std::isfinite(v));
            peak = std::max(peak, std::fabs(v));
        }
        EXPECT_GT(peak, 0.1f);
        EXPECT_LT(peak, 8.0f); // the last stage's rails
    }
}

TEST(CircuitProcessing, NonFiniteInputSamplesCountAsSilence)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    CircuitChannel bad = test::preparedChannel(44100.0, 0, 0.8f);
    CircuitChannel good = bad;
    auto a = test::guitarSignal(4096, 44100.0);
    auto b = a;
    for (size_t i : {10u, 11u, 500u, 2047u})
    {
        a[i] = i % 2 ? inf : nan;
        b[i] = 0.0f;
    }
    a[3000] = -inf;
    b[3000] = 0.0f;
    a[3001] = 3.0e38f; // finite, but overflows once the input gain is applied
    b[3001] = 0.0f;
    processChannel(bad, a.data(), 2048, 4.0f, 1.0f);
    processChannel(bad, a.data() + 2048, 2048, 4.0f, 1.0f);
    processChannel(good, b.data(), 2048, 4.0f, 1.0f);
    processChannel(good, b.data() + 2048, 2048, 4.0f, 1.0f);
    EXPECT_EQ(a, b);
}

TEST(CircuitProcessing, ChannelRecoversFromAPoisonedState)
{
    const double rate = 44100.0;
    const auto input = test::guitarSignal(44100, rate);
    CircuitChannel bad = test::preparedChannel(rate, 0, 0.6f);
    CircuitChannel good = bad;
    auto a = input;
    auto b = input;
    const int block = 441;
    processChannel(bad, a.data(), block, 1.0f, 1.0f);
    processChannel(good, b.data(), block, 1.0f, 1.0f);

    bad.stageBInputHighPass.state = std::numeric_limits<float>::quiet_NaN();
    bad.contourStack.w2 = std::numeric_limits<double>::infinity();
    for (int start = block; start < 44100; start += block)
    {
        processChannel(bad, a.data() + start, block, 1.0f, 1.0f);
        processChannel(good, b.data() + start, block, 1.0f, 1.0f);
    }
    for (float v : a)
        ASSERT_TRUE(std::isfinite(v));
    EXPECT_TRUE(channelStateIsFinite(bad));

    // After the restarted fade and the coupling filters' settling the two agree.
    float peak = 0, diff = 0;
    for (size_t n = 22050; n < a.size(); ++n)
    {
        peak = std::max(peak, std::fabs(b[n]));
        diff = std::max(diff, std::fabs(a[n] - b[n]));
    }
    EXPECT_GT(peak, 0.01f);
    EXPECT_LT(diff, 1e-3f * peak);
}

TEST(CircuitProcessing, EmptyOrNullBlockIsIgnored)
{
    CircuitChannel ch = test::preparedChannel(44100.0, 0);
    const CircuitChannel before = ch;
    processChannel(ch, nullptr, 64, 1.0f, 1.0f);
    float x = 0.5f;
    processChannel(ch, &x, 0, 1.0f, 1.0f);
    EXPECT_EQ(x, 0.5f);
    EXPECT_EQ(ch.fadeIn.counter, before.fadeIn.counter);
    EXPECT_EQ(ch.inputBlocker.state, before.inputBlocker.state);
}
