#pragma once

#include <array>

namespace veltrano
{

// The twelve host parameters, in the order the host sees them. The order and the IDs are part of
// every saved session: never reorder, rename or insert.
struct ParameterSpec
{
    const char* id;
    const char* name;
    float start;
    float end;
    float defaultValue; // real units
    const char* label;
};

enum ParameterIndex : int
{
    powerIndex = 0,
    gainIndex,
    bassIndex,
    contourIndex,
    trebleIndex,
    volumeIndex,
    inputGainIndex,
    outputGainIndex,
    mixIndex,
    hqIndex,
    gateIndex,
    circuitTypeIndex,
    numParameters
};

inline constexpr std::array<ParameterSpec, numParameters> parameterTable{{
    {"POWER", "Power", 0.0f, 1.0f, 1.0f, ""},
    {"GAIN", "Gain", 0.0f, 100.0f, 50.0f, "%"},
    {"BASS", "Bass", 0.0f, 100.0f, 50.0f, "%"},
    {"CONT", "Contour", 0.0f, 100.0f, 50.0f, "%"},
    {"TREB", "Treble", 0.0f, 100.0f, 50.0f, "%"},
    {"VOL", "Volume", 0.0f, 100.0f, 50.0f, "%"},
    {"IGAIN", "Input Gain", -24.0f, 24.0f, 0.0f, "dB"},
    {"OGAIN", "Output Gain", -24.0f, 24.0f, 0.0f, "dB"},
    {"MIX", "Mix", 0.0f, 100.0f, 100.0f, "%"},
    {"HQ", "HQ", 0.0f, 1.0f, 0.0f, ""},
    {"GATE", "Noise Gate", 0.0f, 100.0f, 0.0f, "%"},
    // Only 0, 1 and 2 name circuits; the wider range is kept for sessions that stored more.
    {"MODS", "Circuit Type", 0.0f, 23.0f, 0.0f, ""},
}};

} // namespace veltrano
