#pragma once
// Below the lowest measured frequency the Kramers-Kronig integrals need values
// nobody measured. They come from two polynomials in u = ln w of one degree n
// (ExtrapolationOrder), P(u) for Z' and Q(u) for Z'', whose 2n + 2
// coefficients make the Kramers-Kronig relations hold at 2n + 2 collocation
// frequencies below the measured range. Above the highest measured frequency
// Z' follows a power law fitted to the five highest points.
//
// Everything works on State().Spectrum and State().Extrap; the imaginary part
// is taken as stored by the data reader (positive for capacitive data).
#include "core/ProgramState.h"

namespace pellucor::kk {

// Value a search gets for a trial whose tail system could not be solved: worse
// than any real deviation or residual, and still finite so that sums of
// trials stay numbers.
inline constexpr double HopelessTrial = 1e30;

inline constexpr int MaxTailUnknowns = 30;
using LuMatrixT = FixedArray<FixedArray<double, 1, MaxTailUnknowns>, 1, MaxTailUnknowns>;
using LuVectorT = FixedArray<double, 1, MaxTailUnknowns>;
using LuIndexT = FixedArray<int, 1, MaxTailUnknowns>;

// Crout decomposition with implicit partial pivoting of a[1..n][1..n] in
// place (rows scaled by their largest element; on equal candidates the later
// row is the pivot). False, after a report on the error sink, when a row is
// all zeros or a pivot vanishes: the matrix is singular and nothing solved
// with it means anything.
bool LuDecompose(LuMatrixT& a, int n, LuIndexT& index, double& parity);
// Solves with the decomposition of LuDecompose; b[1..n] holds the right side
// on entry and the solution on return. Double precision throughout.
void LuBackSubstitute(const LuMatrixT& a, int n, const LuIndexT& index, LuVectorT& b);

// Straight-line least-squares fit of ln Z' against ln w over the five highest
// points into HighFreqFit. When a Z' there is zero or negative, or the fitted
// power would make the tail integral diverge (power >= 1), the tail becomes
// the constant Z' of point 1 (HighFreqConstant set).
void FitHighFrequencyTail();
// Z' of the high-frequency tail at w (after FitHighFrequencyTail).
double HighFrequencyTailValue(double w);
// The integral of the tail's Z'(x)/x^2 from OmegaAt1 to infinity.
double HighFrequencyTailOverX2();

// Z' and Z'' interpolated linearly in ln w between measured points 1..M;
// outside the measured range the first or last interval is continued.
double InterpolatedReal(double w);
double InterpolatedImag(double w);

// Simpson's rule by successive trapezoid refinement (at most 12 levels,
// relative tolerance 1e-6, earliest return at level 3); kinds 5 and 6 are the
// basis integrands of P and Q at power `power`, 1 to 4 the data integrands
// (see TailIntegrand). w0 is the evaluation frequency.
double TailSimpson(int kind, double a, double b, double w0, int power);
double TailIntegrand(int kind, double u, double w0, int power);

// The integral of x (L^k - L0^k) / (x^2 - w0^2) (real part, kind 5) or
// x (x L^k - w0 L0^k) / (x^2 - w0^2) (imaginary part, kind 6) over [low, high]
// in x, with L = ln x, L0 = ln w0, for k = 0..degree into out[0..degree].
void PolynomialTailIntegrals(bool realPart, double low, double high, double w0, int degree,
                             double* out);
// The integral of Z'(x) / (x^2 - w0^2) (real part) or x Z''(x) / (x^2 - w0^2)
// over [low, high], the data interpolated as above.
double DataRangeIntegral(bool realPart, double low, double high, double w0);

// Builds and solves the collocation system for the trial Z'(inf) `zrInf`;
// the result goes to TailCoefficients. False when the system is singular
// (reported once on the error sink). The system's matrix and the data part of
// its right side do not depend on zrInf; they are kept and reused while the
// measured points, the degree and the frequency limit stay the same.
bool SolveTailPolynomials(double zrInf);
// P(u) from coeffs[1..degreeP+1] and Q(u) from the next degreeQ+1 entries.
void EvaluateTailPolynomials(int degreeP, int degreeQ, const LuVectorT& coeffs, double u,
                             double& p, double& q);
// Mean squared mismatch (relative values and phase angle) between the
// polynomials and the five lowest measured points.
double TailDeviation();
// The objective of the Z'(inf) search on the tail: solve, then TailDeviation;
// HopelessTrial when the system is singular.
double TailTrial(double zrInf);
// Appends points below OmegaAtN down to OmegaLow from the solved
// polynomials, spaced like the five highest-frequency intervals, never past
// the last row (point MaxPoints - 1).
void AppendExtrapolatedPoints(const LuVectorT& coeffs);
// How many points AppendExtrapolatedPoints adds for the current spectrum.
int AppendedPointCountFor();

// Forget the kept tail system (tests that change the frequency limit or data
// in place need not call it: the inputs are compared on every solve).
void ClearTailSystemCache();

}  // namespace pellucor::kk
