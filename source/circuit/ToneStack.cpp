#include "circuit/ToneStack.h"

#include <algorithm>

namespace veltrano
{
namespace
{
// Bilinear transform of p0 + p1 S + p2 S^2 + p3 S^3 with S = (1 - z^-1) / (1 + z^-1).
std::array<double, 4> bilinear(double p0, double p1, double p2, double p3) noexcept
{
    return {p0 + p1 + p2 + p3, 3.0 * p0 + p1 - p2 - 3.0 * p3, 3.0 * p0 - p1 - p2 + 3.0 * p3,
            p0 - p1 + p2 - p3};
}
} // namespace

void prepareToneStack(ToneStack& stack, double rate) noexcept
{
    stack.rate = rate;
    stack.c = std::clamp(rate, 1.0, 192000.0);
    if (!(stack.c == stack.c))
        stack.c = 44100.0; // NaN rate
    stack.c2 = stack.c * stack.c;
    stack.c3 = stack.c2 * stack.c;
    stack.controls = {0.0, 0.0};
    stack.w1 = stack.w2 = stack.w3 = 0.0;
}

// Bass control a (1 - bass taper) and treble control b (1 - treble); blocks DC.
ToneStackCoefficients bassTrebleCoefficients(const ToneStack& s, double a, double b) noexcept
{
    const double p0 = 9.50656989921253e-07;
    const double p1 = s.c * (5.06882701770093e-08 - 4.60117983121886e-08 * a);
    const double p2 = s.c2 * (7.84037362295829e-11 - 7.43182566338471e-11 * a);
    const double p3 = s.c3 * 1.63419183829434e-14 * (1.0 - a);
    const double q0 = 0.0;
    const double q1 =
        s.c * (4.75594678917804e-08 - 4.60117983121886e-08 * a - 1.04572268891338e-09 * b);
    const double q2 =
        s.c2 * (6.58885270886676e-11 - 6.18030474929318e-11 * a - 3.44168251375171e-12 * b);
    const double q3 = s.c3 * (1.0 - a) * (1.63419183829434e-14 - 1.37667300550068e-14 * b);
    return {bilinear(p0, p1, p2, p3), bilinear(q0, q1, q2, q3)};
}

// Contour control C = 0.9 (1 - contour); passes DC unchanged.
ToneStackCoefficients contourCoefficients(const ToneStack& s, double k) noexcept
{
    const double kk = k * k;
    const double p0 = 7.37797239809398e-07;
    const double p1 = s.c * (1.86169853115585e-08 - 7.82065074197962e-09 * k);
    const double p2 =
        s.c2 * (6.06110366205458e-11 + 9.19006144284505e-11 * k - 1.38705881084167e-10 * kk);
    const double p3 =
        s.c3 * (4.47146703674553e-15 + 1.52881622130969e-14 * k - 1.830917630311e-14 * kk);
    const double q0 = 7.37797239809398e-07;
    const double q1 = s.c * (1.48533340318428e-08 - 7.82065074197962e-09 * k);
    const double q2 =
        s.c2 * (2.09883541759747e-12 + 1.37673555186226e-10 * k - 1.38705881084167e-10 * kk);
    const double q3 =
        s.c3 * (3.02101409001316e-15 + 1.52881622130969e-14 * k - 1.830917630311e-14 * kk);
    return {bilinear(p0, p1, p2, p3), bilinear(q0, q1, q2, q3)};
}
} // namespace veltrano
