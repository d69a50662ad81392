#include "circuit/ToneStack.h"

#include <gtest/gtest.h>

#include <complex>
#include <vector>

using namespace veltrano;

namespace
{
using Complex = std::complex<double>;

// Roots of a0 z^3 + a1 z^2 + a2 z + a3 (the poles of the recursion), Durand-Kerner.
std::array<Complex, 3> cubicRoots(const std::array<double, 4>& a)
{
    auto p = [&](Complex z)
    {
        return ((z + a[1] / a[0]) * z + a[2] / a[0]) * z + a[3] / a[0];
    };
    std::array<Complex, 3> r{Complex(0.4, 0.9), Complex(0.4, 0.9) * Complex(0.4, 0.9),
                             Complex(0.4, 0.9) * Complex(0.4, 0.9) * Complex(0.4, 0.9)};
    for (int it = 0; it < 500; ++it)
        for (size_t i = 0; i < 3; ++i)
        {
            Complex d = 1.0;
            for (size_t j = 0; j < 3; ++j)
                if (j != i)
                    d *= r[i] - r[j];
            r[i] -= p(r[i]) / d;
        }
    return r;
}

Complex evaluate(const std::array<double, 4>& k, Complex z)
{
    const Complex zi = 1.0 / z;
    return k[0] + zi * (k[1] + zi * (k[2] + zi * k[3]));
}

ToneStack preparedStack(double rate)
{
    ToneStack s;
    prepareToneStack(s, rate);
    return s;
}

const std::vector<double> rates{22050.0, 44100.0, 96000.0, 192000.0};
} // namespace

TEST(ToneStack, RateClampedTo192k)
{
    EXPECT_EQ(preparedStack(384000.0).c, 192000.0);
    EXPECT_EQ(preparedStack(384000.0).rate, 384000.0);
    EXPECT_EQ(preparedStack(48000.0).c, 48000.0);
    EXPECT_EQ(preparedStack(0.5).c, 1.0);
}

TEST(ToneStack, ContourPassesDcAndBassTrebleBlocksIt)
{
    for (double rate : rates)
    {
        const ToneStack s = preparedStack(rate);
        for (double control : {0.0, 0.3, 0.9})
        {
            const auto contour = contourCoefficients(s, control);
            EXPECT_NEAR(std::abs(evaluate(contour.b, 1.0) / evaluate(contour.a, 1.0)), 1.0, 1e-7);
            const auto bt = bassTrebleCoefficients(s, control, 1.0 - control);
            EXPECT_NEAR(std::abs(evaluate(bt.b, 1.0) / evaluate(bt.a, 1.0)), 0.0, 1e-7);
        }
    }

    // Running DC through with settled controls.
    ToneStack contour = preparedStack(44100.0), bassTreble = preparedStack(44100.0);
    contour.controls = {0.45, 0.0};
    contour.controlIncrements = {0.45 * toneControlStep, 0.0};
    bassTreble.controls = {0.5, 0.5};
    bassTreble.controlIncrements = {0.5 * toneControlStep, 0.5 * toneControlStep};
    float yc = 0, yb = 0;
    for (int n = 0; n < 44100; ++n)
    {
        yc = processContour(contour, 1.0f);
        yb = processBassTreble(bassTreble, 1.0f);
    }
    EXPECT_NEAR(yc, 1.0f, 1e-5);
    EXPECT_NEAR(yb, 0.0f, 1e-5);
}

TEST(ToneStack, PolesInsideUnitCircleOverTheControlRange)
{
    for (double rate : rates)
    {
        const ToneStack s = preparedStack(rate);
        for (double a = 0.0; a < 0.9999; a += 0.05)
            for (double b = 0.0; b <= 1.0001; b += 0.25)
                for (Complex root : cubicRoots(bassTrebleCoefficients(s, a, b).a))
                    ASSERT_LT(std::abs(root), 1.0) << "rate " << rate << " a " << a << " b " << b;
        for (double c = 0.0; c <= 0.9001; c += 0.05)
            for (Complex root : cubicRoots(contourCoefficients(s, c).a))
                ASSERT_LT(std::abs(root), 1.0) << "rate " << rate << " contour " << c;
    }
}

TEST(ToneStack, BassAtMinimumPutsACancelledPoleAtNyquist)
{
    // a = 1: the third-order terms vanish; the recursion keeps a pole at z = -1, and the
    // numerator has a zero there, so the network stays a second-order one.
    for (double rate : rates)
        for (double b : {0.0, 0.5, 1.0})
        {
            const auto k = bassTrebleCoefficients(preparedStack(rate), 1.0, b);
            int atNyquist = 0;
            for (Complex root : cubicRoots(k.a))
            {
                if (std::abs(root + 1.0) < 1e-6)
                    ++atNyquist;
                else
                    EXPECT_LT(std::abs(root), 1.0);
            }
            EXPECT_EQ(atNyquist, 1) << "rate " << rate << " b " << b;
            EXPECT_NEAR(std::abs(evaluate(k.a, -1.0)), 0.0, 1e-12 * std::abs(k.a[0]));
            EXPECT_NEAR(std::abs(evaluate(k.b, -1.0)), 0.0, 1e-12 * std::abs(k.a[0]));
        }

    // Driven with audio at that setting the output stays bounded.
    ToneStack s = preparedStack(44100.0);
    s.controls = {1.0, 0.5};
    s.controlIncrements = {toneControlStep, 0.5 * toneControlStep};
    float peak = 0;
    for (int n = 0; n < 441000; ++n)
        peak = std::max(peak, std::fabs(processBassTreble(s, (n % 100) < 50 ? 1.0f : -1.0f)));
    EXPECT_LT(peak, 4.0f);
    EXPECT_TRUE(std::isfinite(s.w1) && std::isfinite(s.w2) && std::isfinite(s.w3));
}

TEST(ToneStack, ControlsGlideToTheirTargets)
{
    ToneStack s = preparedStack(44100.0);
    s.controlIncrements = {0.6 * toneControlStep, 0.2 * toneControlStep};
    for (int n = 0; n < 3000; ++n)
        processBassTreble(s, 0.0f);
    EXPECT_NEAR(s.controls[0], 0.6, 1e-6);
    EXPECT_NEAR(s.controls[1], 0.2, 1e-6);
    // 0.7 % of the remaining distance per sample: one time constant is about 142 samples.
    ToneStack t = preparedStack(44100.0);
    t.controlIncrements = {toneControlStep, 0.0};
    for (int n = 0; n < 142; ++n)
        processContour(t, 0.0f);
    EXPECT_NEAR(t.controls[0], 1.0 - std::exp(-1.0), 0.01);
}
