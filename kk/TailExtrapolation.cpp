#include "kk/TailExtrapolation.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Complex.h"
#include "core/NumericLib.h"

namespace pellucor::kk {

namespace {

constexpr double InvPi = 0.3183098861837907;
constexpr double TwoOverPi = 0.6366197723675814;
constexpr double InvTwoPi = 0.15915494309189535;
constexpr int MaxSimpsonLevels = 12;
constexpr int MaxJoint = 16;  // degree 14 and below: k = 0..14

// Simpson's rule by successive trapezoid refinement for `count` integrands
// that share their samples (f fills values[0..count-1] at u). Each integral
// stops at its own level exactly as if it were computed alone; the samples
// are only taken once for all of them.
template <class F>
void JointSimpson(F&& f, double a, double b, int count, double* result) {
    double old[MaxJoint], previous[MaxJoint], trap[MaxJoint], fa[MaxJoint], fb[MaxJoint],
        sum[MaxJoint];
    bool done[MaxJoint];
    for (int k = 0; k < count; ++k) {
        old[k] = -1e30;
        previous[k] = -1e30;
        done[k] = false;
    }
    int open = count;
    double nodes = 1;  // interior points added at the next level
    for (int level = 1; level <= MaxSimpsonLevels && open > 0; ++level) {
        if (level == 1) {
            f(a, fa);
            f(b, fb);
            for (int k = 0; k < count; ++k) trap[k] = (b - a) * (fa[k] + fb[k]) / 2;
            nodes = 1;
        } else {
            const double h = (b - a) / nodes;
            std::fill(sum, sum + count, 0.0);
            const long n = static_cast<long>(nodes);
            for (long i = 0; i < n; ++i) {
                f(a + (static_cast<double>(i) + 0.5) * h, fa);
                for (int k = 0; k < count; ++k) sum[k] += fa[k];
            }
            for (int k = 0; k < count; ++k) trap[k] = (trap[k] + (b - a) * sum[k] / nodes) / 2;
            nodes *= 2;
        }
        for (int k = 0; k < count; ++k) {
            if (done[k]) continue;
            const double s = (4 * trap[k] - previous[k]) / 3;
            if (std::fabs(s - old[k]) < 1e-6 * std::fabs(old[k])) {
                result[k] = s;
                done[k] = true;
                --open;
            } else {
                old[k] = s;
                previous[k] = trap[k];
            }
        }
    }
    for (int k = 0; k < count; ++k)
        if (!done[k]) result[k] = old[k];
}

// The measured points 1..M in ln w, for interpolation.
struct MeasuredData {
    int m = 0;
    double u[MaxPoints], re[MaxPoints], im[MaxPoints];

    MeasuredData() {
        const SpectrumBlock& sp = State().Spectrum;
        m = std::clamp(sp.FilePointCount, 0, MaxPoints - 1);
        for (int i = 1; i <= m; ++i) {
            u[i] = std::log(sp.Omega[i]);
            re[i] = sp.ZReal[i];
            im[i] = sp.ZImag[i];
        }
    }

    // Linear interpolation in ln w on the interval (i-1, i) whose ends
    // enclose uq (the first one from the top); above point 1 the first
    // interval, below point M the last one is continued.
    void At(double uq, double& yr, double& yi) const {
        if (m < 2) {
            yr = m == 1 ? re[1] : 0.0;
            yi = m == 1 ? im[1] : 0.0;
            return;
        }
        // smallest i in 2..m with u[i] <= uq (u falls with i), else m
        int lo = 2, hi = m;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (u[mid] <= uq)
                hi = mid;
            else
                lo = mid + 1;
        }
        const int i = lo;
        const double span = u[i] - u[i - 1];
        if (span == 0.0) {
            yr = re[i - 1];
            yi = im[i - 1];
            return;
        }
        const double t = (uq - u[i - 1]) / span;
        yr = (1 - t) * re[i - 1] + t * re[i];
        yi = (1 - t) * im[i - 1] + t * im[i];
    }
};

// Values of the basis integrands of kinds 5 (P) and 6 (Q) for k = 0..degree.
void BasisIntegrands(bool realPart, double u, double w0, const double* l0k, int degree,
                     double* out) {
    const double x = std::exp(u);
    const bool atPoint = std::fabs(x - w0) / w0 < 1e-6;
    const double invM = 1.0 / (x - w0), invP = 1.0 / (x + w0), invTwoW0 = 0.5 / w0;
    double lk = 1.0;  // L^k
    for (int k = 0; k <= degree; ++k) {
        if (realPart) {
            double c;
            const double diff = lk - l0k[k];
            if (k == 0)
                c = 0.0;
            else if (atPoint)
                c = k * l0k[k - 1];
            else
                c = x * diff * invM;
            out[k] = (c - x * diff * invP) * invTwoW0;
        } else {
            double b;
            const double diff = x * lk - w0 * l0k[k];
            if (k == 0)
                b = x;
            else if (atPoint)
                b = w0 * (l0k[k] + k * l0k[k - 1]);
            else
                b = x * diff * invM;
            out[k] = (b - x * diff * invP) * invTwoW0;
        }
        lk *= u;
    }
}

// What the tail system was last built from, and what it gave.
struct TailSystemCache {
    bool valid = false;
    // inputs
    int degree = -1;
    double omegaAtN = 0, omegaAt1 = 0, omegaLow = 0;
    int m = 0;
    double omega[MaxPoints], re[MaxPoints], im[MaxPoints];
    // results
    bool singular = false;
    LuMatrixT lu;
    LuIndexT index;
    LuVectorT rhs;  // the right side without Z'(inf)
    FixedArray<double, 1, 3> highFreqFit;
    bool highFreqConstant = false;

    bool Matches() const {
        const ProgramState& st = State();
        const SpectrumBlock& sp = st.Spectrum;
        const ExtrapolationState& ex = st.Extrap;
        if (!valid || degree != ex.ExtrapolationOrder || omegaAtN != ex.OmegaAtN ||
            omegaAt1 != ex.OmegaAt1 || omegaLow != ex.OmegaLow || m != sp.FilePointCount)
            return false;
        for (int i = 1; i <= m; ++i)
            if (omega[i] != sp.Omega[i] || re[i] != sp.ZReal[i] || im[i] != sp.ZImag[i])
                return false;
        return true;
    }
    void Remember() {
        const ProgramState& st = State();
        const SpectrumBlock& sp = st.Spectrum;
        const ExtrapolationState& ex = st.Extrap;
        degree = ex.ExtrapolationOrder;
        omegaAtN = ex.OmegaAtN;
        omegaAt1 = ex.OmegaAt1;
        omegaLow = ex.OmegaLow;
        m = std::clamp(sp.FilePointCount, 0, MaxPoints - 1);
        for (int i = 1; i <= m; ++i) {
            omega[i] = sp.Omega[i];
            re[i] = sp.ZReal[i];
            im[i] = sp.ZImag[i];
        }
    }
};

// One kept system per degree, so that a scan over the degrees and the
// evaluation of the best one again reuse them.
TailSystemCache& Cache(int degree) {
    static TailSystemCache caches[MaxTailUnknowns / 2];
    return caches[std::clamp(degree, 0, MaxTailUnknowns / 2 - 1)];
}

void BuildTailSystem(TailSystemCache& c) {
    ExtrapolationState& ex = State().Extrap;
    const int n = ex.ExtrapolationOrder;
    const int size = 2 * n + 2;
    const double n0 = ex.OmegaAtN, w1 = ex.OmegaAt1;
    const double wl = 0.01 * ex.OmegaLow;
    const double step = std::log(n0 / wl) / (2 * n + 3);
    const double r = std::exp(-step);
    FitHighFrequencyTail();
    const double tail = HighFrequencyTailOverX2();
    double integrals[MaxJoint];
    double w = n0;
    for (int i = 1; i <= size; ++i) {
        w *= r;
        const double li = std::log(w);
        const double logRatio = std::log((n0 - w) / (n0 + w));
        if (i % 2 == 1) {
            // Z'' at w from the Kramers-Kronig integral of Z'
            PolynomialTailIntegrals(true, 0.01 * wl, n0, w, n, integrals);
            for (int k = 0; k <= n; ++k) {
                const double lk = std::pow(li, k);
                c.lu[i][k + 1] = TwoOverPi * w * integrals[k] + InvPi * lk * logRatio;
                c.lu[i][n + 2 + k] = lk;
            }
            c.rhs[i] = -TwoOverPi * w * (DataRangeIntegral(true, n0, w1, w) + tail);
        } else {
            // Z' at w from the Kramers-Kronig integral of Z''
            PolynomialTailIntegrals(false, 0.01 * wl, n0, w, n, integrals);
            for (int k = 0; k <= n; ++k) {
                const double lk = std::pow(li, k);
                c.lu[i][k + 1] = lk;
                c.lu[i][n + 2 + k] = -TwoOverPi * integrals[k] - InvPi * lk * logRatio;
            }
            c.rhs[i] = TwoOverPi * DataRangeIntegral(false, n0, w1, w);
        }
    }
    double parity = 1;
    c.singular = !LuDecompose(c.lu, size, c.index, parity);
    c.highFreqFit = ex.HighFreqFit;
    c.highFreqConstant = ex.HighFreqConstant;
}

}  // namespace

bool LuDecompose(LuMatrixT& a, int n, LuIndexT& index, double& parity) {
    double vv[MaxTailUnknowns + 1];
    parity = 1.0;
    for (int i = 1; i <= n; ++i) {
        double big = 0.0;
        for (int j = 1; j <= n; ++j) big = std::max(big, std::fabs(a[i][j]));
        if (big == 0.0 || !std::isfinite(big)) {
            NumericError("Singular matrix in routine LUDCMP");
            return false;
        }
        vv[i] = 1.0 / big;
    }
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i < j; ++i) {
            double sum = a[i][j];
            for (int k = 1; k < i; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
        }
        double big = 0.0;
        int imax = j;
        for (int i = j; i <= n; ++i) {
            double sum = a[i][j];
            for (int k = 1; k < j; ++k) sum -= a[i][k] * a[k][j];
            a[i][j] = sum;
            const double dum = vv[i] * std::fabs(sum);
            if (dum >= big) {
                big = dum;
                imax = i;
            }
        }
        if (j != imax) {
            std::swap(a[imax], a[j]);
            parity = -parity;
            vv[imax] = vv[j];
        }
        index[j] = imax;
        // A vanishing pivot means the matrix is singular: any solution with
        // a stand-in pivot would be meaningless numbers.
        if (a[j][j] == 0.0 || !std::isfinite(a[j][j])) {
            NumericError("Singular matrix in routine LUDCMP");
            return false;
        }
        if (j != n) {
            const double dum = 1.0 / a[j][j];
            for (int i = j + 1; i <= n; ++i) a[i][j] *= dum;
        }
    }
    return true;
}

void LuBackSubstitute(const LuMatrixT& a, int n, const LuIndexT& index, LuVectorT& b) {
    int ii = 0;
    for (int i = 1; i <= n; ++i) {
        const int ip = index[i];
        double sum = b[ip];
        b[ip] = b[i];
        if (ii != 0) {
            for (int j = ii; j < i; ++j) sum -= a[i][j] * b[j];
        } else if (sum != 0.0) {
            ii = i;
        }
        b[i] = sum;
    }
    for (int i = n; i >= 1; --i) {
        double sum = b[i];
        for (int j = i + 1; j <= n; ++j) sum -= a[i][j] * b[j];
        b[i] = sum / a[i][i];
    }
}

void FitHighFrequencyTail() {
    const SpectrumBlock& sp = State().Spectrum;
    ExtrapolationState& ex = State().Extrap;
    const int count = std::min(5, sp.FilePointCount);
    bool usable = count >= 2;
    for (int k = 1; k <= count && usable; ++k)
        usable = sp.ZReal[k] > 0 && std::isfinite(sp.ZReal[k]) && sp.Omega[k] > 0;
    if (usable) {
        DVector x = AllocVector(1, count), y = AllocVector(1, count), sig = AllocVector(1, count);
        for (int k = 1; k <= count; ++k) {
            x[k] = std::log(sp.Omega[k]);
            y[k] = std::log(sp.ZReal[k]);
            sig[k] = 0.01;
        }
        DVector a = AllocVector(1, 2);
        a.fill(0.0);
        IntVector list = AllocIntVector(1, 2);
        list[1] = 1;
        list[2] = 2;
        DMatrix covar = AllocMatrix(1, 2, 1, 2), beta = AllocMatrix(1, 2, 1, 1);
        double chisq = 0;
        const SolveStatus status =
            FitLinearLeastSquares(x, y, sig, count, a, 2, list, 2, covar, beta, chisq);
        // The tail integral of exp(a1) x^a2 / x^2 exists only for a2 < 1.
        if (status == SolveStatus::Ok && std::isfinite(a[1]) && std::isfinite(a[2]) && a[2] < 1.0) {
            ex.HighFreqFit[1] = a[1];
            ex.HighFreqFit[2] = a[2];
            ex.HighFreqFit[3] = 0.0;
            ex.HighFreqConstant = false;
            return;
        }
    }
    ex.HighFreqFit[1] = 0.0;
    ex.HighFreqFit[2] = 0.0;
    ex.HighFreqFit[3] = sp.FilePointCount >= 1 && std::isfinite(sp.ZReal[1]) ? sp.ZReal[1] : 0.0;
    ex.HighFreqConstant = true;
}

double HighFrequencyTailValue(double w) {
    const ExtrapolationState& ex = State().Extrap;
    if (ex.HighFreqConstant) return ex.HighFreqFit[3];
    return std::exp(ex.HighFreqFit[1]) * std::pow(w, ex.HighFreqFit[2]);
}

double HighFrequencyTailOverX2() {
    const ExtrapolationState& ex = State().Extrap;
    const double w1 = ex.OmegaAt1;
    if (ex.HighFreqConstant) return ex.HighFreqFit[3] / w1;
    const double b = ex.HighFreqFit[2];
    return -std::exp(ex.HighFreqFit[1]) * std::pow(w1, b - 1) / (b - 1);
}

double InterpolatedReal(double w) {
    const MeasuredData d;
    double re = 0, im = 0;
    d.At(std::log(w), re, im);
    return re;
}

double InterpolatedImag(double w) {
    const MeasuredData d;
    double re = 0, im = 0;
    d.At(std::log(w), re, im);
    return im;
}

double TailIntegrand(int kind, double u, double w0, int power) {
    if (kind == 5 || kind == 6) {
        double l0k[MaxJoint + 1], out[MaxJoint + 1];
        const double l0 = std::log(w0);
        const int degree = std::clamp(power, 0, MaxJoint - 1);
        l0k[0] = 1.0;
        for (int k = 1; k <= degree; ++k) l0k[k] = l0k[k - 1] * l0;
        BasisIntegrands(kind == 5, u, w0, l0k, degree, out);
        return out[degree];
    }
    const MeasuredData d;
    double yr = 0, yi = 0;
    d.At(u, yr, yi);
    const double x = std::exp(u);
    switch (kind) {
        case 1: return yr * x / (x - w0) / (2 * w0);
        case 2: return yi * x * x / (x - w0) / (2 * w0);
        case 3: return yr * x / (x + w0) / (2 * w0);
        case 4: return yi * x * x / (x + w0) / (2 * w0);
        default: return 0.0;
    }
}

double TailSimpson(int kind, double a, double b, double w0, int power) {
    double result = 0;
    if (kind == 5 || kind == 6) {
        double all[MaxJoint];
        const int degree = std::clamp(power, 0, MaxJoint - 1);
        PolynomialTailIntegrals(kind == 5, std::exp(a), std::exp(b), w0, degree, all);
        return all[degree];
    }
    const MeasuredData d;
    JointSimpson(
        [&](double u, double* v) {
            double yr = 0, yi = 0;
            d.At(u, yr, yi);
            const double x = std::exp(u);
            switch (kind) {
                case 1: v[0] = yr * x / (x - w0) / (2 * w0); break;
                case 2: v[0] = yi * x * x / (x - w0) / (2 * w0); break;
                case 3: v[0] = yr * x / (x + w0) / (2 * w0); break;
                case 4: v[0] = yi * x * x / (x + w0) / (2 * w0); break;
                default: v[0] = 0.0;
            }
        },
        a, b, 1, &result);
    return result;
}

void PolynomialTailIntegrals(bool realPart, double low, double high, double w0, int degree,
                             double* out) {
    degree = std::clamp(degree, 0, MaxJoint - 1);
    double l0k[MaxJoint + 1];
    const double l0 = std::log(w0);
    l0k[0] = 1.0;
    for (int k = 1; k <= degree; ++k) l0k[k] = l0k[k - 1] * l0;
    JointSimpson(
        [&](double u, double* v) { BasisIntegrands(realPart, u, w0, l0k, degree, v); },
        std::log(low), std::log(high), degree + 1, out);
}

double DataRangeIntegral(bool realPart, double low, double high, double w0) {
    const MeasuredData d;
    double result = 0;
    // The difference of kinds 1 and 3 (or 2 and 4) taken as one integrand:
    // well above w0 each kind is nearly Y / (2 w0), thousands of times the
    // difference sought, and two separately converged Simpson sums lose it
    // to cancellation (errors of ten per cent and more at the lowest
    // collocation frequencies).
    JointSimpson(
        [&](double u, double* v) {
            double yr = 0, yi = 0;
            d.At(u, yr, yi);
            const double x = std::exp(u);
            const double num = realPart ? yr * x : yi * x * x;
            v[0] = num / ((x - w0) * (x + w0));
        },
        std::log(low), std::log(high), 1, &result);
    return result;
}

void ClearTailSystemCache() {
    for (int degree = 0; degree < MaxTailUnknowns / 2; ++degree) Cache(degree).valid = false;
}

bool SolveTailPolynomials(double zrInf) {
    ExtrapolationState& ex = State().Extrap;
    const int n = ex.ExtrapolationOrder;
    const int size = 2 * n + 2;
    if (n < 0 || size > MaxTailUnknowns) {
        NumericError("Singular matrix in routine LUDCMP");
        return false;
    }
    TailSystemCache& c = Cache(n);
    if (!c.Matches()) {
        c.valid = false;
        c.Remember();
        BuildTailSystem(c);
        c.valid = true;
    } else {
        ex.HighFreqFit = c.highFreqFit;
        ex.HighFreqConstant = c.highFreqConstant;
    }
    for (int i = 1; i <= size; ++i) {
        for (int j = 1; j <= size; ++j) ex.LuMatrix[i][j] = c.lu[i][j];
        ex.LuIndex[i] = c.index[i];
    }
    if (c.singular) return false;
    for (int i = 1; i <= size; ++i) ex.TailCoefficients[i] = c.rhs[i] + (i % 2 == 0 ? zrInf : 0.0);
    LuBackSubstitute(ex.LuMatrix, size, ex.LuIndex, ex.TailCoefficients);
    return true;
}

void EvaluateTailPolynomials(int degreeP, int degreeQ, const LuVectorT& coeffs, double u,
                             double& p, double& q) {
    p = coeffs[degreeP + 1];
    for (int k = degreeP; k >= 1; --k) p = p * u + coeffs[k];
    q = coeffs[degreeP + degreeQ + 2];
    for (int k = degreeP + degreeQ + 1; k >= degreeP + 2; --k) q = q * u + coeffs[k];
}

double TailDeviation() {
    const SpectrumBlock& sp = State().Spectrum;
    const ExtrapolationState& ex = State().Extrap;
    const int n = ex.ExtrapolationOrder;
    const int m = sp.FilePointCount;
    double d = 0;
    for (int i = m; i >= std::max(1, m - 4); --i) {
        double p = 0, q = 0;
        EvaluateTailPolynomials(n, n, ex.TailCoefficients, std::log(sp.Omega[i]), p, q);
        const double mod2 = p * p + q * q;
        const double dp = p - sp.ZReal[i], dq = q - sp.ZImag[i];
        const double dphi = PhaseAngle(q, p) - PhaseAngle(sp.ZImag[i], sp.ZReal[i]);
        d += dp * dp / mod2 + dq * dq / mod2 + dphi * dphi;
    }
    return d / 5;
}

double TailTrial(double zrInf) {
    if (!SolveTailPolynomials(zrInf)) return HopelessTrial;
    const double d = TailDeviation();
    return std::isfinite(d) ? d : HopelessTrial;
}

int AppendedPointCountFor() {
    const SpectrumBlock& sp = State().Spectrum;
    const ExtrapolationState& ex = State().Extrap;
    const int m = sp.FilePointCount;
    const int room = MaxPoints - 1 - m;
    const double span = std::log(ex.OmegaAtN / ex.OmegaLow);
    if (room <= 0 || m < 2 || !(span > 0)) return 0;
    // The mean spacing of the five highest intervals; when those collapse
    // (equal frequencies), that of the whole measured range.
    double count = 0;
    const int top = std::min(6, m);
    const double topSpan = std::log(sp.Omega[1] / sp.Omega[top]);
    if (topSpan > 0 && std::isfinite(topSpan)) {
        count = (top - 1) * span / topSpan;
    } else {
        const double all = std::log(sp.Omega[1] / sp.Omega[m]);
        if (!(all > 0) || !std::isfinite(all)) return 0;
        count = (m - 1) * span / all;
    }
    if (!(count < room)) return room;
    return static_cast<int>(count);
}

void AppendExtrapolatedPoints(const LuVectorT& coeffs) {
    SpectrumBlock& sp = State().Spectrum;
    ExtrapolationState& ex = State().Extrap;
    const int n = ex.ExtrapolationOrder;
    const int m = sp.FilePointCount;
    const int count = AppendedPointCountFor();
    ex.AppendedPointCount = count;
    sp.ExtendedPointCount = m + count;
    if (count == 0) return;
    const double step = std::log(ex.OmegaAtN / ex.OmegaLow) / count;
    const double r = std::exp(-step);
    double w = ex.OmegaAtN;
    for (int k = 1; k <= count; ++k) {
        const int i = m + k;
        w *= r;
        sp.Omega[i] = w;
        sp.Frequency[i] = w * InvTwoPi;
        double p = 0, q = 0;
        EvaluateTailPolynomials(n, n, coeffs, std::log(w), p, q);
        sp.ZReal[i] = p;
        sp.ZImag[i] = q;
        const double mod = std::sqrt(p * p + q * q);
        if (mod > sp.ZModMax) sp.ZModMax = mod;
        if (mod < sp.ZModMin) sp.ZModMin = mod;
        const double v = 1.0 / (w * mod);
        if (v > sp.InvOmegaZMax) sp.InvOmegaZMax = v;
        if (v < sp.InvOmegaZMin) sp.InvOmegaZMin = v;
    }
}

}  // namespace pellucor::kk
