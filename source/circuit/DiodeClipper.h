#pragma once

#include "circuit/DiodeModel.h"

#include <array>
#include <cmath>

namespace veltrano
{
constexpr int guessTableCapacity = 1100;

// Starting guesses of the Newton solver, recorded by a slow sweep of the clipper over its input
// range. Depends only on the circuit rate. Fixed capacity so that copying never allocates.
struct GuessTable
{
    double rate = 0.0;
    std::array<float, guessTableCapacity> values{};
    int count = 0;
    double finalState = 0.0; // clipper state left by the sweep
};

// RC low-pass at the cutoff limit loaded by anti-parallel diodes, trapezoidal discretisation,
// solved per sample by Newton's method.
struct DiodeClipper
{
    DiodeModel model = diodeModelA;
    double rate = 44100.0;
    double warpedCutoff = 0.0; // M = tan(W / rate)
    double G = 0.0;            // M / (1 + M)
    double state = 0.0;        // trapezoidal state, volts
    double tableMin = -5.0;
    double tableMax = 5.0;
    int iterationCounter = 0;
    int maxIterations = 100;
    GuessTable guessTable;
};

// Cutoff, G and model for a circuit rate; state to 0. The table is left alone.
void prepareClipper(DiodeClipper&, double circuitRate) noexcept;

// The sweep, into the clipper's own table; leaves the clipper at the sweep's final state.
void buildGuessTable(DiodeClipper&) noexcept;

// The sweep on a scratch clipper prepared for the rate. Slow: call it off the audio thread.
GuessTable computeGuessTable(double circuitRate) noexcept;

// Table and final state copied in; same result as running buildGuessTable in place.
void applyGuessTable(DiodeClipper&, const GuessTable&) noexcept;

// Newton solve of h - E sinh(v / (n Vt)) - v = 0 from the guess v, with h the trapezoidal
// integrator's prediction for input u.
inline double solveClipper(DiodeClipper& clipper, double u, double v) noexcept
{
    const DiodeModel& m = clipper.model;
    const double h = (u - clipper.state) * clipper.G + clipper.state;
    const double e = 2.0 * clipper.G * m.resistance * m.saturationCurrent;
    const double derivativeScale = e / m.emissionCoefficient / m.thermalVoltage;
    constexpr double tolerance = static_cast<double>(1e-5f);

    clipper.iterationCounter = -1;
    for (;;)
    {
        const double a = v / m.emissionCoefficient / m.thermalVoltage;
        const double f = h - std::sinh(a) * e - v;
        const double d = -1.0 - std::cosh(a) * derivativeScale;
        const double next = v - f / d;
        if (std::fabs(next - v) < tolerance)
            return next;
        ++clipper.iterationCounter;
        if (!(clipper.iterationCounter < clipper.maxIterations))
            return next;
        v = next;
    }
}

// Starting guess interpolated from the table; a NaN input maps to the low end.
inline float clipperGuess(const DiodeClipper& clipper, float u) noexcept
{
    const auto lo = static_cast<float>(clipper.tableMin);
    const auto hi = static_cast<float>(clipper.tableMax);
    const float t = u > lo ? (u < hi ? u : hi) : lo;
    const int count = clipper.guessTable.count;
    const float pos = (t - lo) * (static_cast<float>(count - 1) /
                                  static_cast<float>(clipper.tableMax - clipper.tableMin)) +
                      0.0f;
    const int i = static_cast<int>(pos);
    const float frac = pos - static_cast<float>(i);
    const float t0 =
        (i >= 0 && i < count) ? clipper.guessTable.values[static_cast<size_t>(i)] : 0.0f;
    const float t1 = (i + 1 >= 0 && i + 1 < count)
                         ? clipper.guessTable.values[static_cast<size_t>(i + 1)]
                         : 0.0f;
    return t1 * frac + (1.0f - frac) * t0;
}

// One sample through the clipper: returns the diode voltage (unrounded) and advances the state.
inline double processClipperSample(DiodeClipper& clipper, float u) noexcept
{
    const double v = solveClipper(clipper, static_cast<double>(u),
                                  static_cast<double>(clipperGuess(clipper, u)));
    clipper.state = v + (v - clipper.state);
    return v;
}
} // namespace veltrano
