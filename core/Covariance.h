#pragma once
// Uncertainty of the fitted parameters: the curvature matrix of the weighted
// least-squares problem from the circuit's parameter derivatives, its inverse
// over the free parameters scaled by chi-squared per degree of freedom, and
// the local noise estimate of the statistical weighting.
#include "core/NumericLib.h"
#include "core/ProgramState.h"

namespace pellucor {

// Points on each side of a point in the window of the noise estimate when
// NoiseWindow is not usable.
inline constexpr int DefaultNoiseWindow = 3;
// Smallest noise the statistical weighting divides by.
inline constexpr double MinimumNoise = 1e-6;

// One pass over points 1..n of the spectrum for the parameter magnitudes
// values[1..P]: alpha[1..mfit][1..mfit] (symmetric) and gradient[1..mfit]
// over the free list lista[1..mfit], chiSq := the weighted sum of squared
// residuals; the calculated rows ZRealCalc/ZImagCalc are left as the
// evaluator wrote them (they show the fitted model as it was fitted). The weights
// follow Weighting (0 unity, 1 modulus of the calculated point, 2 the
// statistical noise estimate). Returns false, with alpha of no use, when the
// derivatives cannot be taken at some point (a level of the circuit that sums
// to zero, or a code beyond the limits).
bool BuildCurvatureMatrix(const PointRow& frequency, const PointRow& zReal, double& chiSq,
                          DVector& gradient, DMatrix& alpha, int mfit, const IntVector& lista, int P,
                          const ParamArray<double>& values, int n, const PointRow& zImag);

// Noise estimate of point i of n: the root of the summed squared deviations
// of Z' and Z'' from parabolas in ln f fitted over a window of 2w + 1 points
// (w = NoiseWindow) centred on i where possible and shifted inward at the
// ends. Both outputs receive the same value. `basisCount` is the number of
// polynomial terms (3, a parabola). A spectrum with fewer points than terms
// gives 0.
void StatisticalNoise(int n, int i, double& noise1, double& noise2, int basisCount = 3);

// After a minimisation: scale[1..P] := the fitted magnitudes, the curvature
// matrix over the free parameters, its inverse, Error[1..15] (standard
// deviation, or percent of the magnitude unless ErrorAsStdDev) and the
// covariance file. When the matrix cannot be built or inverted the errors of
// the free parameters are not a number and ErrorsUndefined is set; fixed
// parameters and unused slots get 0.
void EstimateCovariance(DVector& scale);

// The covariance matrix [1..P][1..P] of the last estimate as it went to the
// covariance file (after sorting; not yet multiplied by chi2dof), and its
// chi2dof. For the confidence-region window and tests.
const DMatrix& LastCovarianceMatrix();
double LastChiSqPerDof();

}  // namespace pellucor
