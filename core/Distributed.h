#pragma once
// Element functions of the elements whose impedance needs more than a line of
// arithmetic (Havriliak-Negami, transmission lines and diffusion elements),
// the normalised responses of the distributions of activation energies
// D, E, F, their integrands and the Romberg integration that computes them.
// Each element function returns what its level needs: an impedance at a
// series level, an admittance at a parallel level (S, B, J, I up to the
// factor Y0 the caller applies).
#include "core/Complex.h"

namespace pellucor {

Complex ImpedanceH(bool series, double x, double mu, double psi);
Complex ImpedanceU(bool series, double omega, double xa, double xb, double w0, double w1, double kad, double w3);
Complex ImpedanceV(bool series, double omega, double xa, double w0, double w1, double kad, double w3);
Complex ImpedanceM(bool series, double omega, double xa, double xb, double w0, double w1, double kad, double w3);
Complex ImpedanceN(bool series, double omega, double xa, double w0, double w1, double kad, double w3);
Complex ImpedanceY(bool series, double omega, double xa, double cf, double rf, double cdl, double rt, double rd,
                   double w3);
Complex ImpedanceS(bool series, double omega, double b, double dtsqr);
Complex ImpedanceX(bool parallel, double omega, double rp, double cdl, double n, double rs, double l, double xw);
Complex ImpedanceP(bool parallel, double omega, double rw, double w0);
Complex ImpedanceB(bool series, double omega, double w0, double k, double n);
Complex ImpedanceJ(bool series, double omega, double w0, double a, double lamda);
Complex ImpedanceI(bool series, double omega, double w0, double a, double lamda);

// While an object of this kind lives, the element functions above take their
// square roots in full double precision instead of through ComplexSqrt, whose
// single-precision intermediates make them steps of about 1e-7 relative. The
// derivative routine differences them this way: with a relative step of
// 1e-6 it would otherwise measure that rounding instead of the slope.
class FullPrecisionRoots {
public:
    FullPrecisionRoots();
    ~FullPrecisionRoots();
    FullPrecisionRoots(const FullPrecisionRoots&) = delete;
    FullPrecisionRoots& operator=(const FullPrecisionRoots&) = delete;

private:
    bool previous_;
};

// Normalised admittance responses F = (I1 - j I2)/Nrm of the distributed
// elements (the element contributes j w C F at parallel levels). They write
// State().Distribution (OmegaTau, Shape).
Complex DistributionResponseD(double omega, double tau, double psi, double xs);
Complex DistributionResponseE(double omega, double tau, double psi, double xs);
Complex DistributionResponseF(double omega, double tau, double eps, double xl, double xu, double theta);

// x clamped into [-75, 75]: every exponent of the integrands passes it.
double ClampExpArg(double x);
// Integrand kinds 1..8 at x, reading State().Distribution.
double DistributionIntegrand(int kind, double x);
// n-th refinement of the successive trapezoid rule (state kept between the
// calls of one integration).
double TrapezoidStep(int kind, double a, double b, int n);
// Romberg integration: 5-point extrapolation, tolerance 1e-6, at most 15
// refinements.
double RombergIntegrate(int kind, double a, double b);
// Neville's polynomial through (xa[1..n], ya[1..n]) at x; dy the last
// correction (error estimate). xa and ya are 1-based arrays.
void PolyExtrapolate(const double* xa, const double* ya, int n, double x, double& y, double& dy);

}  // namespace pellucor
