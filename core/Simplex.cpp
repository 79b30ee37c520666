#include "core/Simplex.h"

#include <cmath>
#include <limits>

#include "core/Covariance.h"
#include "core/Evaluator.h"
#include "core/FitDriver.h"
#include "core/ProgramState.h"

namespace pellucor {
namespace {

// A stop request was already pending when the circuit fit's simplex was set
// up (it is the run's business, not this minimisation's).
bool g_stopBeforeSetup = false;

void ColumnSums(const DMatrix& p, int n, DVector& psum) {
    for (int k = 1; k <= n; ++k) {
        double sum = 0.0;
        for (int j = 1; j <= n + 1; ++j) sum += p[j][k];
        psum[k] = sum;
    }
}

// Relative spread of the best and the worst value. Two exact zeros (a
// perfect fit) have no spread at all.
double RelativeSpread(double hi, double lo) {
    const double denom = std::fabs(hi) + std::fabs(lo);
    if (denom == 0.0) return 0.0;
    return 2.0 * std::fabs(hi - lo) / denom;
}

}  // namespace

void BuildStartSimplex(DMatrix& p, int n, const DVector& start, double step) {
    const double root = std::sqrt(static_cast<double>(n + 1));
    const double d1 = (root + n - 1) * step / (n * SimplexRootTwo);
    const double d2 = (root - 1) * step / (n * SimplexRootTwo);
    for (int k = 1; k <= n; ++k) p[1][k] = start[k];
    for (int j = 2; j <= n + 1; ++j) {
        for (int k = 1; k <= n; ++k) p[j][k] = p[1][k] + d2;
        p[j][j - 1] = p[1][j - 1] + d1;
    }
}

int BestVertex(const DVector& y, int n) {
    int b = 1;
    for (int j = 2; j <= n + 1; ++j)
        if (y[j] < y[b]) b = j;
    return b;
}

// A value that is not a number (a circuit without a finite impedance at
// those parameters) counts as worse than any vertex. As such, no comparison
// would hold for it: the minimiser would neither keep nor contract the
// trial, and would retry the same reflection until its evaluation limit.
inline double WorstWhenNoValue(double v) { return v != v ? std::numeric_limits<double>::infinity() : v; }

// The trial point's weights for one factor: the centroid's and the worst
// vertex's.
struct TrialWeights {
    double fac1, fac2;
};
static TrialWeights WeightsFor(double factor, int n) {
    const double fac1 = (1.0 - factor) / n;
    return {fac1, fac1 - factor};
}

static double Trial(DMatrix& p, DVector& y, DVector& psum, DVector& ptry, TrialWeights w, int& evaluations,
                    int ihi, int n, const SimplexObjective& f) {
    for (int k = 1; k <= n; ++k) ptry[k] = psum[k] * w.fac1 - p[ihi][k] * w.fac2;
    const double ytry = WorstWhenNoValue(f(ptry));
    ++evaluations;
    if (ytry < y[ihi]) {
        y[ihi] = ytry;
        for (int k = 1; k <= n; ++k) {
            psum[k] += ptry[k] - p[ihi][k];
            p[ihi][k] = ptry[k];
        }
    }
    return ytry;
}

double SimplexTrial(DMatrix& p, DVector& y, DVector& psum, double factor, int& evaluations, int ihi,
                    int n, const SimplexObjective& f) {
    DVector ptry = AllocVector(1, n);
    return Trial(p, y, psum, ptry, WeightsFor(factor, n), evaluations, ihi, n, f);
}

void DownhillSimplex(DMatrix& p, DVector& y, int n, int& evaluations, double tolerance,
                     int maxEvaluations, const SimplexObjective& f, const std::function<bool()>& stop) {
    const int mpts = n + 1;
    DVector psum = AllocVector(1, n);
    DVector point = AllocVector(1, n);
    evaluations = 0;
    ColumnSums(p, n, psum);
    // The weights of the three trials, divided out once: a division at every
    // trial would lie on the path from one evaluation to the next.
    const TrialWeights reflect = WeightsFor(-1.0, n), expand = WeightsFor(2.0, n), contract = WeightsFor(0.5, n);
    for (;;) {
        // The best, the worst and the next-worst vertex. The comparisons
        // go either way at random, so the choices are written as selections
        // over the values at hand, which the compiler can make without
        // branches (the same vertices, ties and NaNs included, as comparing
        // y[ilo], y[ihi] and y[inhi]).
        int ilo = 1, ihi, inhi;
        if (y[1] > y[2]) {
            ihi = 1;
            inhi = 2;
        } else {
            ihi = 2;
            inhi = 1;
        }
        double ylo = y[ilo], yhi = y[ihi], ynhi = y[inhi];
        for (int i = 1; i <= mpts; ++i) {
            const double yi = y[i];
            const bool lower = yi < ylo;
            ilo = lower ? i : ilo;
            ylo = lower ? yi : ylo;
            const bool higher = yi > yhi;
            const bool nextHigher = (yi > ynhi) & (i != ihi);  // counts only when not higher
            const int nextI = nextHigher ? i : inhi;
            const double nextY = nextHigher ? yi : ynhi;
            inhi = higher ? ihi : nextI;
            ynhi = higher ? yhi : nextY;
            ihi = higher ? i : ihi;
            yhi = higher ? yi : yhi;
        }
        const double rtol = RelativeSpread(y[ihi], y[ilo]);
        if (rtol < tolerance) break;
        if (evaluations >= maxEvaluations) break;
        if (stop && stop()) break;
        double ytry = Trial(p, y, psum, point, reflect, evaluations, ihi, n, f);
        if (ytry <= y[ilo]) {
            Trial(p, y, psum, point, expand, evaluations, ihi, n, f);
        } else if (ytry >= y[inhi]) {
            const double ysave = y[ihi];
            ytry = Trial(p, y, psum, point, contract, evaluations, ihi, n, f);
            if (ytry >= ysave) {
                for (int i = 1; i <= mpts; ++i) {
                    if (i == ilo) continue;
                    for (int k = 1; k <= n; ++k) {
                        p[i][k] = (p[i][k] + p[ilo][k]) * 0.5;
                        point[k] = p[i][k];
                    }
                    y[i] = WorstWhenNoValue(f(point));
                }
                evaluations += n;
                ColumnSums(p, n, psum);
            }
        }
    }
}

// ---- the circuit fit ----

double FreeParameterChiSquare(const DVector& x) {
    ParamSet& par = State().Params;
    for (int k = 1; k <= par.FreeCount; ++k) par.LnValue[par.FreeIndex[k]] = x[k];
    return EvaluateChiSquare(par.LnValue);
}

void SetupSimplex(int n) {
    ProgramState& s = State();
    g_stopBeforeSetup = s.Run.StopRequested;
    ParamSet& par = s.Params;
    EnsureFitWorkArrays();
    for (int j = 1; j <= MaxParams; ++j) par.Sign[j] = 1.0;
    for (int j = 1; j <= par.ParamCount; ++j) {
        if (par.Value[j] < 0) par.Sign[j] = -1.0;
        par.LnValue[j] = ClampedLog(par.Value[j]);
    }
    DVector start = AllocVector(1, n);
    for (int k = 1; k <= n; ++k) start[k] = par.LnValue[par.FreeIndex[k]];
    DMatrix& p = s.Fit.SimplexMatrix;
    BuildStartSimplex(p, n, start, s.Fit.SimplexStep);
    DVector vertex = AllocVector(1, n);
    for (int j = 1; j <= n + 1; ++j) {
        for (int k = 1; k <= n; ++k) vertex[k] = p[j][k];
        s.Fit.SimplexValues[j] = WorstWhenNoValue(FreeParameterChiSquare(vertex));
    }
}

void DownhillSimplex(DMatrix& p, DVector& y, int n, int& evaluations, double tolerance) {
    // The windows are served during the minimisation (see EvaluateChiSquare);
    // a stop asked for since the simplex was set up ends it after the current
    // pass, and the run then ends as after any step on a stop request.
    DownhillSimplex(p, y, n, evaluations, tolerance, State().Fit.MaxEvaluations, FreeParameterChiSquare,
                    [] { return !g_stopBeforeSetup && State().Run.StopRequested; });
}

int MinimiseChiSquare(int n, double& chiOut) {
    ProgramState& s = State();
    ParamSet& par = s.Params;
    EnsureFitWorkArrays();
    s.Fit.ChiSqDivisor = s.Spectrum.PointCount - n;
    int evaluations = 0;
    DownhillSimplex(s.Fit.SimplexMatrix, s.Fit.SimplexValues, n, evaluations, s.Fit.SimplexTolerance);
    const int b = BestVertex(s.Fit.SimplexValues, n);
    for (int k = 1; k <= n; ++k) par.LnValue[par.FreeIndex[k]] = s.Fit.SimplexMatrix[b][k];
    chiOut = EvaluateChiSquare(par.LnValue);
    // Every evaluation re-parses the code, which leaves the divisor of a
    // parsed code (points - parameters - 1); the errors and the fit quality
    // of a fit are per degree of freedom of the free parameters.
    s.Fit.ChiSqDivisor = s.Spectrum.PointCount - n;
    // A chi-squared that is no finite number leaves nothing to estimate; the
    // fit driver gives the previous results back.
    if (!std::isfinite(chiOut)) return evaluations;
    EstimateCovariance(s.Fit.ScaleVector);
    s.Fit.ChiSq = chiOut;
    return evaluations;
}

}  // namespace pellucor
