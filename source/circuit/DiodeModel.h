#pragma once

namespace veltrano
{
// Diode pair parameters: saturation current, emission coefficient, thermal voltage and the
// resistance of the RC network that feeds the diodes.
struct DiodeModel
{
    double saturationCurrent = 0.0;   // Is, amperes
    double emissionCoefficient = 1.0; // n
    double thermalVoltage = 0.0;      // Vt, volts
    double resistance = 0.0;          // R, ohms
};

// Silicon pair of the pedal. n and Vt are single-precision values widened, as measured.
constexpr DiodeModel diodeModelA{1.04e-8, static_cast<double>(1.995f), static_cast<double>(0.026f),
                                 100.0};
} // namespace veltrano
