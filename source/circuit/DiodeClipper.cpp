#include "circuit/DiodeClipper.h"

#include <algorithm>

namespace veltrano
{
namespace
{
double sanitisedRate(double rate) noexcept
{
    return (rate > 0.0 && std::isfinite(rate)) ? rate : 44100.0;
}
} // namespace

void prepareClipper(DiodeClipper& clipper, double circuitRate) noexcept
{
    const double r = sanitisedRate(circuitRate);
    // The RC corner sits at the cutoff limit: 0.43 r below 44100 Hz, else 19000 Hz, with the
    // single-precision constants of the rest of the model.
    const double w = r < 44100.0 ? static_cast<double>(0.43f) * r * static_cast<double>(3.14159265f)
                                 : 19000.0 * static_cast<double>(3.14159265f);
    clipper.rate = r;
    clipper.warpedCutoff = std::tan(w / r);
    clipper.G = clipper.warpedCutoff / (clipper.warpedCutoff + 1.0);
    clipper.model = diodeModelA;
    clipper.state = 0.0;
    clipper.iterationCounter = 0;
}

void buildGuessTable(DiodeClipper& clipper) noexcept
{
    const double span = std::fabs(clipper.tableMin) + 1.0 + clipper.tableMax;
    const int n = std::clamp(static_cast<int>(span / 0.01), 0, guessTableCapacity);

    GuessTable& table = clipper.guessTable;
    table.values.fill(0.0f);
    table.count = n;

    const auto lo = static_cast<float>(clipper.tableMin);
    const auto range = static_cast<float>(clipper.tableMax - clipper.tableMin);
    const auto steps = static_cast<float>(n - 1);
    for (int i = 0; i < n; ++i)
    {
        const float x = n > 1 ? lo + static_cast<float>(i) * range / steps : lo;
        const double v = solveClipper(clipper, static_cast<double>(x), 0.0);
        table.values[static_cast<size_t>(i)] = static_cast<float>(v);
        clipper.state = v + (v - clipper.state);
    }
    clipper.iterationCounter = 0;
    table.rate = clipper.rate;
    table.finalState = clipper.state;
}

GuessTable computeGuessTable(double circuitRate) noexcept
{
    DiodeClipper scratch;
    prepareClipper(scratch, circuitRate);
    buildGuessTable(scratch);
    return scratch.guessTable;
}

void applyGuessTable(DiodeClipper& clipper, const GuessTable& table) noexcept
{
    clipper.guessTable = table;
    clipper.state = table.finalState;
    clipper.iterationCounter = 0;
}
} // namespace veltrano
