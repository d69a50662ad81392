#pragma once

#include <vector>

namespace veltrano::render
{

// About eight seconds of a guitar-like DI phrase, synthesised with plucked strings: a few
// strummed power chords and open chords, then a single-note line. Deterministic: the same rate
// always gives the same samples. The level is that of a DI'd guitar (peaks near -6 dBFS, most
// of the phrase well below).
std::vector<float> makeDemoPhrase(double sampleRate);

} // namespace veltrano::render
