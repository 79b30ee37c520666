#include "core/Covariance.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Derivatives.h"
#include "core/ResultFiles.h"

namespace pellucor {
namespace {

DMatrix& lastCovariance() {
    static DMatrix m = AllocMatrix(1, MaxParams, 1, MaxParams);
    return m;
}
double g_lastChi2dof = 0.0;

}  // namespace

bool BuildCurvatureMatrix(const PointRow& frequency, const PointRow& zReal, double& chiSq,
                          DVector& gradient, DMatrix& alpha, int mfit, const IntVector& lista, int P,
                          const ParamArray<double>& values, int n, const PointRow& zImag) {
    ProgramState& s = State();
    for (int l = 1; l <= mfit; ++l) {
        for (int m = 1; m <= l; ++m) alpha[l][m] = 0.0;
        gradient[l] = 0.0;
    }
    chiSq = 0.0;
    (void)P;
    bool usable = true;
    const int weighting = s.Options.Weighting;
    static DerivativeRows rows;
    const int points = std::max(0, std::min(n, MaxPoints - 1));
    CdcImpedanceDerivativeRows(values, frequency.begin() + 1, points, rows);
    for (int i = 1; i <= points; ++i) {
        const int r = i - 1;
        const double zr = rows.zre[r], zi = rows.zim[r];
        if (rows.status[r] != DerivativeStatus::Ok) usable = false;
        // The calculated rows stay as the evaluator left them: the derivative
        // walk does not limit a constant-phase exponent as the evaluator does,
        // so its impedance is not the fitted model shown and saved.
        const double dy1 = zReal[i] - zr;
        const double dy2 = zImag[i] - zi;
        double w1 = 1.0, w2 = 1.0;
        if (weighting == 1) {
            w1 = w2 = 1.0 / (zr * zr + zi * zi);
        } else if (weighting == 2) {
            double sigma = 0.0, unused = 0.0;
            StatisticalNoise(n, i, sigma, unused);
            if (sigma < MinimumNoise) sigma = MinimumNoise;
            w1 = w2 = 1.0 / (sigma * sigma);
        }
        for (int l = 1; l <= mfit; ++l) {
            const double rl = rows.dRe[lista[l]][r], il = rows.dIm[lista[l]][r];
            for (int m = 1; m <= l; ++m)
                alpha[l][m] += w1 * rl * rows.dRe[lista[m]][r] + w2 * il * rows.dIm[lista[m]][r];
            gradient[l] += w1 * rl * dy1 + w2 * il * dy2;
        }
        chiSq += w1 * dy1 * dy1 + w2 * dy2 * dy2;
    }
    for (int l = 2; l <= mfit; ++l)
        for (int m = 1; m < l; ++m) alpha[m][l] = alpha[l][m];
    return usable;
}

void StatisticalNoise(int n, int i, double& noise1, double& noise2, int basisCount) {
    const SpectrumBlock& sp = State().Spectrum;
    int w = State().Fit.NoiseWindow;
    if (w < 1) w = DefaultNoiseWindow;
    noise1 = noise2 = 0.0;
    // The window has 2w + 1 points, or every point of a shorter spectrum.
    const int size = std::min(2 * w + 1, n);
    if (size < basisCount || basisCount < 1) return;
    int start;
    if (size < 2 * w + 1) {
        start = 1;
    } else if (i < w + 1) {
        start = 1;
    } else if (i > n - w) {
        start = n - 2 * w;
    } else {
        start = i - w;
    }
    DVector x = AllocVector(1, size), y = AllocVector(1, size), sig = AllocVector(1, size);
    DVector a = AllocVector(1, basisCount), basis = AllocVector(1, basisCount);
    IntVector list = AllocIntVector(1, basisCount);
    DMatrix covar = AllocMatrix(1, basisCount, 1, basisCount);
    DMatrix beta = AllocMatrix(1, basisCount, 1, 1);
    for (int j = 1; j <= basisCount; ++j) list[j] = j;
    for (int k = 1; k <= size; ++k) {
        x[k] = std::log(sp.Frequency[start + k - 1]);
        sig[k] = 0.01;
    }
    double sum = 0.0;
    for (int part = 0; part < 2; ++part) {
        const PointRow& row = part == 0 ? sp.ZReal : sp.ZImag;
        for (int k = 1; k <= size; ++k) y[k] = row[start + k - 1];
        a.fill(0.0);
        double chisq = 0.0;
        FitLinearLeastSquares(x, y, sig, size, a, basisCount, list, basisCount, covar, beta, chisq);
        for (int k = 1; k <= size; ++k) {
            PolyBasis(x[k], basis, basisCount);
            double fitted = 0.0;
            for (int j = 1; j <= basisCount; ++j) fitted += a[j] * basis[j];
            const double d = fitted - y[k];
            sum += d * d;
        }
    }
    noise1 = noise2 = std::sqrt(sum);
}

void EstimateCovariance(DVector& scale) {
    ProgramState& s = State();
    ParamSet& par = s.Params;
    const int P = par.ParamCount;
    const double undefined = std::numeric_limits<double>::quiet_NaN();

    IntVector lista = AllocIntVector(1, MaxParams);
    int mfit = 0;
    for (int i = 1; i <= P; ++i)
        if (!par.Fixed[i]) lista[++mfit] = i;
    for (int i = 1; i <= P; ++i) scale[i] = std::exp(par.LnValue[i]);

    ParamArray<double> magnitudes;
    for (int i = 1; i <= P; ++i) magnitudes[i] = scale[i];

    DMatrix alpha = AllocMatrix(1, MaxParams, 1, MaxParams);
    alpha.fill(0.0);
    DVector gradient = AllocVector(1, MaxParams);
    double sum = 0.0;
    bool defined = BuildCurvatureMatrix(s.Spectrum.Frequency, s.Spectrum.ZReal, sum, gradient, alpha, mfit,
                                        lista, P, magnitudes, s.Spectrum.PointCount, s.Spectrum.ZImag);
    if (mfit > 0) {
        DMatrix b = AllocMatrix(1, mfit, 1, 1);
        for (int l = 1; l <= mfit; ++l) b[l][1] = gradient[l];
        if (defined && GaussJordanSolve(alpha, mfit, b, 1) != SolveStatus::Ok) defined = false;
        if (defined) {
            for (int l = 1; l <= mfit && defined; ++l)
                for (int m = 1; m <= mfit; ++m)
                    if (!std::isfinite(alpha[l][m])) defined = false;
        }
        if (!defined) {
            // A failed inversion leaves numbers of no meaning: mark the free
            // block as undefined rather than pass them on.
            for (int l = 1; l <= mfit; ++l)
                for (int m = 1; m <= mfit; ++m) alpha[l][m] = undefined;
        }
        if (P > 0) SortCovariance(alpha, P, lista, mfit);
    } else if (P > 0) {
        for (int l = 1; l <= P; ++l)
            for (int m = 1; m <= P; ++m) alpha[l][m] = 0.0;
    }

    const int divisor = s.Fit.ChiSqDivisor;
    double chi2dof = divisor > 0 ? sum / divisor : undefined;
    if (!(divisor > 0)) defined = false;
    s.Fit.ErrorsUndefined = mfit > 0 && !defined;

    for (int k = 1; k <= MaxParams; ++k) par.Error[k] = 0.0;
    for (int k = 1; k <= P; ++k) {
        if (par.Fixed[k]) continue;  // its row and column are 0
        if (s.Fit.ErrorsUndefined) {
            par.Error[k] = undefined;
            continue;
        }
        par.Error[k] = std::sqrt(std::fabs(alpha[k][k] * chi2dof));
        if (par.Reciprocal[k]) par.Error[k] = scale[k] * scale[k] * par.Error[k];
        if (!s.Options.ErrorAsStdDev) {
            if (std::fabs(scale[k]) < 1e-32) scale[k] = 1e-32;
            if (std::fabs(scale[k]) > 1e32) scale[k] = 1e32;
            par.Error[k] = 100.0 / scale[k] * par.Error[k];
        }
    }

    DMatrix& last = lastCovariance();
    last.fill(0.0);
    for (int l = 1; l <= P; ++l)
        for (int m = 1; m <= P; ++m) last[l][m] = alpha[l][m];
    g_lastChi2dof = chi2dof;
    WriteCovarianceFile(last, chi2dof);
}

const DMatrix& LastCovarianceMatrix() { return lastCovariance(); }
double LastChiSqPerDof() { return g_lastChi2dof; }

}  // namespace pellucor
