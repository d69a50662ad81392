#include "CircuitTestSupport.h"

#include <gtest/gtest.h>

using namespace veltrano;

namespace
{
// DC operating point of the RC + diode pair: the resistor's current feeds both diodes,
// (u - v) / R = 2 Is sinh(v / (n Vt)). Solved by bisection, independently of the solver.
double diodeDcVoltage(double u)
{
    const DiodeModel m = diodeModelA;
    auto f = [&](double v)
    {
        return (u - v) / m.resistance -
               2.0 * m.saturationCurrent *
                   std::sinh(v / (m.emissionCoefficient * m.thermalVoltage));
    };
    double lo = -std::fabs(u), hi = std::fabs(u);
    for (int i = 0; i < 200; ++i)
    {
        const double mid = 0.5 * (lo + hi);
        (f(mid) > 0 ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}
} // namespace

TEST(GuessTable, SweepAt44100SpansTheDiodeVoltages)
{
    const GuessTable table = computeGuessTable(44100.0);
    ASSERT_EQ(table.count, 1100);
    EXPECT_EQ(table.rate, 44100.0);
    EXPECT_NEAR(table.values.front(), -0.787, 0.002);
    EXPECT_NEAR(table.values[1099], 0.789, 0.002);
    EXPECT_NEAR(table.finalState, 0.789, 0.002);
    // Every entry is a diode voltage, and the sweep crosses 0 V where its input does (between
    // entries 549 and 550).
    for (int i = 0; i < table.count; ++i)
        ASSERT_LT(std::fabs(table.values[static_cast<size_t>(i)]), 0.8f) << "entry " << i;
    EXPECT_LT(table.values[549], 0.0f);
    EXPECT_GT(table.values[550], 0.0f);
}

TEST(GuessTable, CopiedTableIsBitIdenticalToSweepingInPlace)
{
    for (double rate : {32000.0, 44100.0, 48000.0, 96000.0, 384000.0})
    {
        SCOPED_TRACE(rate);
        DiodeClipper inPlace;
        prepareClipper(inPlace, rate);
        buildGuessTable(inPlace);

        const GuessTable copy = computeGuessTable(rate);
        ASSERT_EQ(copy.count, inPlace.guessTable.count);
        EXPECT_EQ(copy.values, inPlace.guessTable.values);
        EXPECT_EQ(copy.finalState, inPlace.state);

        // A channel given the copy and one that has to run the sweep itself (no usable table)
        // produce the same audio.
        CircuitChannel a, b;
        prepareChannel(a, rate, 0, copy);
        prepareChannel(b, rate, 0, GuessTable{});
        EXPECT_EQ(a.clipper.guessTable.values, b.clipper.guessTable.values);
        EXPECT_EQ(a.clipper.state, b.clipper.state);
        for (auto* ch : {&a, &b})
            setCircuitControls(*ch, 0.8f, 0.5f, 0.5f, 0.5f, 0.7f);
        auto x = test::guitarSignal(4000, rate);
        auto y = x;
        processChannel(a, x.data(), 4000, 1.0f, 1.0f);
        processChannel(b, y.data(), 4000, 1.0f, 1.0f);
        EXPECT_EQ(x, y);
    }
}

TEST(GuessTable, TableForAnotherRateIsNotUsed)
{
    CircuitChannel channel;
    prepareChannel(channel, 48000.0, 0, computeGuessTable(44100.0));
    const GuessTable own = computeGuessTable(48000.0);
    EXPECT_EQ(channel.clipper.guessTable.values, own.values);
    EXPECT_EQ(channel.clipper.state, own.finalState);
}

TEST(DiodeClipper, DcInputSettlesOnTheDiodeOperatingPoint)
{
    // A few volts in gives about +-0.79 V out; beyond the table's +-5 V the guess comes from its
    // end entries but the solve still uses the true input. The trapezoidal state rings at
    // Nyquist for a while after the step, hence the long run.
    for (double u : {0.05, 0.5, 1.0, 3.0, -3.0, 5.0, -5.0, 7.4, -7.4, 20.0})
    {
        SCOPED_TRACE(u);
        DiodeClipper clipper;
        prepareClipper(clipper, 44100.0);
        buildGuessTable(clipper);
        double v = 0.0;
        for (int n = 0; n < 20000; ++n)
            v = processClipperSample(clipper, static_cast<float>(u));
        EXPECT_NEAR(v, diodeDcVoltage(static_cast<double>(static_cast<float>(u))), 1e-6);
        if (std::fabs(u) >= 3.0 && std::fabs(u) <= 7.5)
        {
            EXPECT_GT(std::fabs(v), 0.75);
            EXPECT_LT(std::fabs(v), 0.82);
        }
    }
}

TEST(DiodeClipper, SmallSignalPassesAsTheRcLowPass)
{
    // Far below the diodes' knee the clipper is the RC low-pass at the cutoff limit: at
    // 1 kHz and 44.1 kHz it passes the signal essentially unchanged.
    DiodeClipper clipper;
    prepareClipper(clipper, 44100.0);
    buildGuessTable(clipper);
    clipper.state = 0.0;
    std::vector<float> out(8820);
    for (size_t n = 0; n < out.size(); ++n)
        out[n] = static_cast<float>(processClipperSample(
            clipper, static_cast<float>(1e-3 * std::sin(2 * test::pi * 1000.0 * n / 44100.0))));
    EXPECT_NEAR(test::amplitudeAt(out, 4410, 8820, 44100.0, 1000.0), 1e-3, 3e-6);
}

TEST(DiodeClipper, ClipperRateRules)
{
    struct Case
    {
        double rate;
        double cutoff;
    };
    // Below 44.1 kHz the corner scales with the rate, so tan(W / r) is fixed at tan(0.43 pi).
    for (Case c : {Case{32000.0, 0.43 * 32000.0}, Case{22050.0, 0.43 * 22050.0},
                   Case{44100.0, 19000.0}, Case{96000.0, 19000.0}, Case{384000.0, 19000.0}})
    {
        SCOPED_TRACE(c.rate);
        DiodeClipper clipper;
        prepareClipper(clipper, c.rate);
        const double m = std::tan(test::pi * c.cutoff / c.rate);
        EXPECT_NEAR(clipper.warpedCutoff / m, 1.0, 1e-6);
        EXPECT_NEAR(clipper.G, m / (1.0 + m), 1e-7);
    }
}
