#pragma once
// The Kramers-Kronig check of a spectrum: at every point the imaginary part
// the relations predict from the real part (KKImag) and the real part they
// predict from the imaginary part (KKReal), integrated numerically in
// u = ln w, and the residual that sums up the differences.
//
// The imaginary part is taken as the data reader stores it: positive for
// capacitive data. In that convention
//   Z''(w) = -(2w/pi) Int (Z'(x) - Z'(w)) / (x^2 - w^2) dx
//   Z'(w)  = Z'(inf) + (2/pi) Int (x Z''(x) - w Z''(w)) / (x^2 - w^2) dx.
// The transforms run over points 1..PointCount of State().Spectrum (measured
// points, then any appended below them), ordered by falling frequency.
#include "core/ProgramState.h"

namespace pellucor::kk {

// The exact integral, over the interval between points j-1 and j (j = 2..n),
// of the parabola in u through three neighbouring samples of f (the points
// j-1, j, j+1, or j-2, j-1, j for the last interval). u and f are 1-based.
// Frequencies closer than 1e-6 in ln w count as one throughout the
// transforms: two such points give a line instead of a parabola, no slope,
// and no sample of the singular part.
double SegmentIntegral(const double* u, const double* f, int n, int j);

// Slope of row y against ln w at point p over the interval that ends at p
// (points 1 and 2 for p = 1); 0 when the interval has no length.
double SlopeAtPoint(const double* u, const double* y, int p);

// Trapezoid integrals (`steps` intervals in ln w) over the two intervals next
// to point p, where the integrand has a removable singularity; negated
// integrals taken upward in frequency. realToImag selects the integrand of
// the real-to-imaginary transform.
double SegmentAbovePoint(bool realToImag, int p, int steps = 16);
double SegmentBelowPoint(bool realToImag, int p, int steps = 16);

// The contribution of frequencies above OmegaAt1 to the real-to-imaginary
// integral at point p, from the power-law tail of Z' (closed form when the
// point lies more than a decade below OmegaAt1, else a trapezoid over four
// decades). Fits the tail first.
double HighFrequencyTailIntegral(int p, int steps = 64);

// True when the imaginary parts of points 1..4 are all capacitive (positive
// as stored); only then does the real-to-imaginary transform add the tail.
bool CapacitiveAtHighFrequency();

// Fill KKImag[1..PointCount] and KKReal[1..PointCount]. What depends on the
// frequencies alone is kept between calls while they stay the same.
void TransformRealToImaginary();
void TransformImaginaryToReal();
// Forget what the transforms kept (benchmarks of a first run).
void ClearTransformCache();

// Mean relative squared mismatch between data and transforms (over the
// appended points only, in the Kramers-Kronig view with KKResidualOnAppended),
// plus the phase-continuity term across the last measured point when points
// were appended.
double KramersKronigResidual();

// The whole check for one trial Z'(inf): with KKView set, solves the tail
// polynomials and appends their points first; pumps one message before each
// transform and stops early on a stop request. Returns the residual
// (HopelessTrial when the tail system is singular).
double RunKramersKronig(double zrInf);

}  // namespace pellucor::kk
