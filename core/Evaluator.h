#pragma once
// The circuit evaluator: the impedance of the current circuit code at every
// point of the current spectrum, from the natural logarithms of the parameter
// magnitudes (the variables of the simplex). In fit mode it returns the
// chi-squared against the measured spectrum; in simulate mode it turns the
// calculated spectrum into a simulated measurement by adding noise.
#include <string>

#include "core/Complex.h"
#include "core/ProgramState.h"

namespace pellucor {

// Clamp of the log-magnitudes (magnitudes of about 1e-32 to 1e32).
inline constexpr double LnValueLimit = 73.696;
// Seed of the noise generator, set at every call, so repeated simulations of
// the same circuit and frequencies add the same noise.
inline constexpr int NoiseSeed = -911;

// Evaluates State().Circuit.Code at points 1..PointCount of the spectrum.
// The code turned into steps and the per-point terms of the frequencies are
// kept between calls and renewed whenever the code or a frequency changes.
//  - ln[1..P] are clamped in place into [-73.696, 73.696] (a value that is
//    not a number counts as -73.696);
//  - ScaleVector[1..P] := the values as evaluated (signed, inverted where
//    Reciprocal is set); ZRealCalc/ZImagCalc := the calculated spectrum
//    (Z'' with reversed sign, positive when capacitive);
//  - fit mode: chiSq := sum of squared residuals (divided by the calculated
//    modulus with Weighting 1) plus 10000 * p^2 per point for every exponent
//    parameter above 1;
//  - simulate mode: noise by NoiseType (-1 none, 0 constant NoiseLevelUnity,
//    1 NoiseLevelModulus times |Z|) with a uniformly random phase;
//    chiSq := sum of the squared drawn magnitudes, also kept per point in
//    ResidualSq.
// Also sets Kind, ParamCount, ChiSqDivisor, MaxEvaluations, Reciprocal,
// DistributedElement and CpeExponentClamped, and relabels the parameter
// window. Returns false (chiSq := 0, spectrum untouched) when the code is
// beyond the limits of CdcWithinLimits; true otherwise.
bool EvaluateCircuit(ParamArray<double>& ln, double& chiSq);

// The impedance of `code` at angular frequency omega for the signed
// parameter values[1..P] in code order (not inverted), by the evaluator's own
// walk; true impedance (Z'' not reversed). For callers that need one point
// outside the spectrum (examples, checks). Parses the code and sets the
// reciprocal flags like the evaluator (Kind, ParamCount, ChiSqDivisor,
// MaxEvaluations, Reciprocal, DistributedElement); the spectrum, the window
// and CpeExponentClamped are left alone. Returns (0, 0) for a code beyond the
// limits.
Complex CircuitImpedance(const std::string& code, const ParamArray<double>& values, double omega);

}  // namespace pellucor
