#pragma once
// The impedance of the current circuit at one frequency together with its
// partial derivatives with respect to every parameter, for the curvature
// matrix of the covariance estimate.
#include "core/ProgramState.h"

namespace pellucor {

enum class DerivativeStatus {
    Ok,
    // A parenthesised level summed to exactly zero (an empty group, or terms
    // that cancel): its inversion has no derivative. The impedance is still
    // the evaluator's guarded value, the derivatives are not usable and the
    // caller must not build a curvature matrix from this point set.
    ZeroLevelSum,
    // The current code is beyond the limits of CdcWithinLimits; nothing is
    // computed (zre = zim = 0, derivatives 0).
    CodeBeyondLimits,
    // Some output is not a finite number (for example from parameter values
    // outside an element's domain). The caller must refuse the point set.
    NonFinite,
};
// Any status other than Ok means: no usable curvature from this point.

// values[1..P]: parameter magnitudes in code order (ParamCount = P, Sign is
// applied here); frequency in Hz. Outputs zre (Z'), zim (Z'' reversed sign,
// as ZImagCalc) and dRe[1..P], dIm[1..P]: derivatives of the real and of the
// true imaginary part of the impedance with respect to each value as
// evaluated (for a reciprocal-flagged parameter, with respect to its
// reciprocal). Rebuilds PreparedCode and the reciprocal flags and writes
// DistributionContext.
DerivativeStatus CdcImpedanceDerivatives(const ParamArray<double>& values, double frequency, double& zre,
                                         double& zim, ParamArray<double>& dRe, ParamArray<double>& dIm);

// The same at many frequencies at once, point i (0-based) from frequency[i]:
// the values CdcImpedanceDerivatives gives at each point, in rows.
struct DerivativeRows {
    int n = 0;
    double zre[MaxPoints], zim[MaxPoints];
    double dRe[MaxParams + 1][MaxPoints], dIm[MaxParams + 1][MaxPoints];  // [parameter][point]
    DerivativeStatus status[MaxPoints];
};
// n is limited to 0..MaxPoints.
void CdcImpedanceDerivativeRows(const ParamArray<double>& values, const double* frequency, int n,
                                DerivativeRows& rows);

}  // namespace pellucor
