#include "core/NumericLib.h"

#include <cmath>
#include <limits>
#include <vector>

#include "platform/Services.h"

namespace pellucor {

IntVector AllocIntVector(int lo, int hi) { return IntVector(lo, hi); }
DVector AllocVector(int lo, int hi) { return DVector(lo, hi); }
DMatrix AllocMatrix(int rlo, int rhi, int clo, int chi) { return DMatrix(rlo, rhi, clo, chi); }
ComplexMatrix AllocComplexMatrix(int rlo, int rhi, int clo, int chi) {
    return ComplexMatrix(rlo, rhi, clo, chi);
}
void FreeIntVector(IntVector& v, int, int) { v = IntVector(); }
void FreeVector(DVector& v, int, int) { v = DVector(); }
void FreeMatrix(DMatrix& m, int, int, int, int) { m = DMatrix(); }
void FreeComplexMatrix(ComplexMatrix& m, int, int, int, int) { m = ComplexMatrix(); }

double ClampMagnitude(double x) {
    const double s = x >= 0.0 ? 1.0 : -1.0;
    if (std::fabs(x) > 1e32) x = s * 1e32;
    if (std::fabs(x) < 1e-32 || std::isnan(x)) x = s * 1e-32;
    return x;
}

void PolyBasis(double x, DVector& p, int n) {
    if (n >= 1) p[1] = 1.0;
    if (n >= 2) p[2] = x;
    for (int j = 3; j <= n; ++j) p[j] = x * p[j - 1];
}

void NumericError(const std::string& text) {
    platform::ReportError("Numerical Recipes run-time error...\n" + text +
                          "\n...now exiting to system...\n");
}

namespace {
constexpr double kPivotResidue = 1e-13;
}  // namespace

SolveStatus GaussJordanSolve(DMatrix& a, int n, DMatrix& b, int m) {
    SolveStatus status = SolveStatus::Ok;
    IntVector indxc(1, n), indxr(1, n), ipiv(1, n);
    ipiv.fill(0);
    // The diagonal as given and the original number of the row at each
    // place: a pivot measured against them tells a singular matrix whose
    // elimination left only rounding residue from a regular one, whatever
    // the scales of the rows and columns.
    DVector diag(1, n);
    IntVector origRow(1, n);
    for (int j = 1; j <= n; ++j) {
        diag[j] = std::fabs(a[j][j]);
        origRow[j] = j;
    }
    int irow = 0, icol = 0;
    for (int i = 1; i <= n; ++i) {
        double big = 0.0;
        bool found = false;
        for (int j = 1; j <= n; ++j) {
            if (ipiv[j] == 1) continue;
            for (int k = 1; k <= n; ++k) {
                if (ipiv[k] == 0) {
                    // Of equal magnitudes the later one wins.
                    if (!found || std::fabs(a[j][k]) >= big) {
                        big = std::fabs(a[j][k]);
                        irow = j;
                        icol = k;
                        found = true;
                    }
                } else if (ipiv[k] > 1) {
                    NumericError("GAUSSJ: Singular Matrix-1");
                    status = SolveStatus::Singular;
                }
            }
        }
        if (!found) {
            // Every candidate pivot is not a number: nothing can be solved.
            NumericError("GAUSSJ: Singular Matrix-2");
            return SolveStatus::Singular;
        }
        ++ipiv[icol];
        // Below this fraction of the geometric mean of the diagonal entries
        // of its row and column, a pivot is cancellation residue (for a
        // normal matrix the fraction is 1 - R^2 of the parameter on the
        // others): the elimination goes on, but its results have lost their
        // digits.
        if (big <= kPivotResidue * std::sqrt(diag[origRow[irow]] * diag[icol])) status = SolveStatus::Singular;
        if (irow != icol) {
            for (int l = 1; l <= n; ++l) std::swap(a[irow][l], a[icol][l]);
            for (int l = 1; l <= m; ++l) std::swap(b[irow][l], b[icol][l]);
            std::swap(origRow[irow], origRow[icol]);
        }
        indxr[i] = irow;
        indxc[i] = icol;
        double piv = a[icol][icol];
        if (piv == 0.0 || std::isnan(piv)) {
            // The elimination goes on with a stand-in pivot so that callers
            // get finite numbers, but the result is flagged as singular.
            piv = 1e-6;
            status = SolveStatus::Singular;
        }
        const double pivinv = 1.0 / piv;
        a[icol][icol] = 1.0;
        for (int l = 1; l <= n; ++l) a[icol][l] *= pivinv;
        for (int l = 1; l <= m; ++l) b[icol][l] *= pivinv;
        for (int ll = 1; ll <= n; ++ll) {
            if (ll == icol) continue;
            const double dum = a[ll][icol];
            a[ll][icol] = 0.0;
            for (int l = 1; l <= n; ++l) a[ll][l] -= a[icol][l] * dum;
            for (int l = 1; l <= m; ++l) b[ll][l] -= b[icol][l] * dum;
        }
    }
    for (int l = n; l >= 1; --l) {
        if (indxr[l] != indxc[l])
            for (int k = 1; k <= n; ++k) std::swap(a[k][indxr[l]], a[k][indxc[l]]);
    }
    return status;
}

void SortCovariance(DMatrix& covar, int ma, const IntVector& list, int mfit) {
    for (int j = 1; j < ma; ++j)
        for (int i = j + 1; i <= ma; ++i) covar[i][j] = 0.0;
    for (int i = 1; i < mfit; ++i)
        for (int j = i + 1; j <= mfit; ++j) {
            if (list[j] > list[i])
                covar[list[j]][list[i]] = covar[i][j];
            else
                covar[list[i]][list[j]] = covar[i][j];
        }
    double swap = covar[1][1];
    for (int j = 1; j <= ma; ++j) {
        covar[1][j] = covar[j][j];
        covar[j][j] = 0.0;
    }
    covar[list[1]][list[1]] = swap;
    for (int j = 2; j <= mfit; ++j) covar[list[j]][list[j]] = covar[1][j];
    for (int j = 2; j <= ma; ++j)
        for (int i = 1; i <= j - 1; ++i) covar[i][j] = covar[j][i];
}

SolveStatus FitLinearLeastSquares(const DVector& x, const DVector& y, const DVector& sig, int n,
                                  DVector& a, int ma, const IntVector& list, int mfit,
                                  DMatrix& covar, DMatrix& beta, double& chisq) {
    // The list must name each coefficient once, and the remaining ones must
    // make up the rest of 1..ma.
    if (mfit < 1 || mfit > ma) return SolveStatus::Singular;
    std::vector<int> seen(static_cast<size_t>(ma) + 1, 0);
    for (int k = 1; k <= mfit; ++k) {
        if (list[k] < 1 || list[k] > ma || seen[static_cast<size_t>(list[k])]++)
            return SolveStatus::Singular;
    }
    std::vector<int> fixed;
    for (int j = 1; j <= ma; ++j)
        if (!seen[static_cast<size_t>(j)]) fixed.push_back(j);

    for (int j = 1; j <= mfit; ++j) {
        for (int k = 1; k <= mfit; ++k) covar[j][k] = 0.0;
        beta[j][1] = 0.0;
    }
    DVector afunc(1, ma);
    for (int i = 1; i <= n; ++i) {
        PolyBasis(x[i], afunc, ma);
        double ym = y[i];
        for (int j : fixed) ym -= a[j] * afunc[j];
        const double sig2i = 1.0 / (sig[i] * sig[i]);
        for (int j = 1; j <= mfit; ++j) {
            const double wt = afunc[list[j]] * sig2i;
            for (int k = 1; k <= j; ++k) covar[j][k] += wt * afunc[list[k]];
            beta[j][1] += ym * wt;
        }
    }
    for (int j = 2; j <= mfit; ++j)
        for (int k = 1; k <= j - 1; ++k) covar[k][j] = covar[j][k];
    const SolveStatus status = GaussJordanSolve(covar, mfit, beta, 1);
    for (int l = 1; l <= mfit; ++l) a[list[l]] = beta[l][1];
    chisq = 0.0;
    for (int i = 1; i <= n; ++i) {
        PolyBasis(x[i], afunc, ma);
        double sum = 0.0;
        for (int j = 1; j <= ma; ++j) sum += a[j] * afunc[j];
        const double t = (y[i] - sum) / sig[i];
        chisq += t * t;
    }
    return status;
}

namespace {

struct RandomState {
    long ix1 = 0, ix2 = 0, ix3 = 0;
    float r[98] = {};
    bool initialised = false;
    bool haveSpare = false;
    float spare = 0.0f;
};

RandomState& rng() {
    static RandomState s;
    return s;
}

constexpr long M1 = 259200, IA1 = 7141, IC1 = 54773;
constexpr float RM1 = 1.0f / M1;
constexpr long M2 = 134456, IA2 = 8121, IC2 = 28411;
constexpr float RM2 = 1.0f / M2;
constexpr long M3 = 243000, IA3 = 4561, IC3 = 51349;
// The largest single-precision value below 1.
constexpr float kBelowOne = 1.0f - std::numeric_limits<float>::epsilon() / 2;

}  // namespace

float UniformRandom(int& state) {
    RandomState& g = rng();
    if (state < 0 || !g.initialised) {
        g.initialised = true;
        g.ix1 = (IC1 - state) % M1;
        if (g.ix1 < 0) g.ix1 += M1;
        g.ix1 = (IA1 * g.ix1 + IC1) % M1;
        g.ix2 = g.ix1 % M2;
        g.ix1 = (IA1 * g.ix1 + IC1) % M1;
        g.ix3 = g.ix1 % M3;
        for (int j = 1; j <= 97; ++j) {
            g.ix1 = (IA1 * g.ix1 + IC1) % M1;
            g.ix2 = (IA2 * g.ix2 + IC2) % M2;
            g.r[j] = (static_cast<float>(g.ix1) + static_cast<float>(g.ix2) * RM2) * RM1;
        }
        state = 1;
    }
    g.ix1 = (IA1 * g.ix1 + IC1) % M1;
    g.ix2 = (IA2 * g.ix2 + IC2) % M2;
    g.ix3 = (IA3 * g.ix3 + IC3) % M3;
    int j = 1 + static_cast<int>((97 * g.ix3) / M3);
    if (j < 1) j = 1;
    if (j > 97) j = 97;
    float temp = g.r[j];
    g.r[j] = (static_cast<float>(g.ix1) + static_cast<float>(g.ix2) * RM2) * RM1;
    // In single precision x1 = M1 - 1 with x2 near M2 rounds to exactly 1, and
    // x1 = x2 = 0 gives 0; callers rely on the open interval.
    if (temp >= 1.0f) temp = kBelowOne;
    if (temp <= 0.0f) temp = RM1 * RM2;
    return temp;
}

float GaussianRandom(int& state) {
    RandomState& g = rng();
    if (g.haveSpare) {
        g.haveSpare = false;
        return g.spare;
    }
    float v1, v2, rsq;
    do {
        v1 = 2.0f * UniformRandom(state) - 1.0f;
        v2 = 2.0f * UniformRandom(state) - 1.0f;
        rsq = v1 * v1 + v2 * v2;
    } while (rsq >= 1.0f || rsq == 0.0f);
    const float fac = std::sqrt(-2.0f * std::log(rsq) / rsq);
    g.spare = v1 * fac;
    g.haveSpare = true;
    return v2 * fac;
}

void ResetRandomGenerators() { rng() = RandomState(); }

}  // namespace pellucor
