#pragma once
// Complex values as plain pairs of doubles. The element formulas rely on the
// guards built into these operations (scaled division for tiny divisors,
// clamped hyperbolic arguments, a phase angle that never divides by zero),
// so they are used instead of std::complex throughout the engine.
#include "core/Bounded.h"

namespace pellucor {

struct Complex {
    double re = 0.0;
    double im = 0.0;
};

Complex ComplexSet(double re, double im);
Complex ComplexAdd(Complex a, Complex b);
Complex ComplexSub(Complex a, Complex b);
Complex ComplexMul(Complex a, Complex b);
Complex ComplexScale(double s, Complex z);
Complex ComplexDiv(Complex a, Complex b);
Complex ComplexRecip(Complex z);
Complex ComplexSqrt(Complex z);
// The principal square root with ComplexSqrt's branch rules, in full double
// precision throughout.
Complex ComplexSqrtPrecise(Complex z);
Complex ComplexPow(Complex z, double p);
Complex ComplexSinh(Complex z);
Complex ComplexCoth(Complex z);
Complex ComplexTanh(Complex z);
// Sum of w[i] * v[i] for i = 1..count.
Complex ComplexWeightedSum(int count, const Vector<double>& w, const Vector<Complex>& v);
double ComplexModulus(double re, double im);
// Argument of x + j*y in radians: (-pi/2, pi/2) for x > 0, else (pi/2, 3pi/2).
double PhaseAngle(double y, double x);

struct HyperTrig {
    double sinh, cosh, sin, cos;
};
HyperTrig HyperTrigPack(double x);

}  // namespace pellucor
