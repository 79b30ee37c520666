#include "kk/KramersKronig.h"

#include <algorithm>
#include <cmath>

#include "core/Complex.h"
#include "kk/TailExtrapolation.h"
#include "platform/Services.h"

namespace pellucor::kk {

namespace {

constexpr double InvPi = 0.3183098861837907;
constexpr double Pi = 3.141592653589793;
// Two frequencies closer than this in ln w count as one: a sample there is a
// difference quotient of two measurements taken at practically the same
// frequency, so their noise divided by the tiny spacing (a spectrum with
// 1000 and 1000.000001 Hz gave transforms thousands of times |Z|). It is the
// length below which the near-segment integrals already count an interval
// as empty.
constexpr double SameFrequency = 1e-6;

// Points 1..n of the rows in plain arrays (slot 0 unused), so the quadratic
// loops of the transforms work on local memory.
struct Rows {
    int n = 0;
    double w[MaxPoints], u[MaxPoints], re[MaxPoints], im[MaxPoints];

    Rows() {
        const SpectrumBlock& sp = State().Spectrum;
        n = std::clamp(sp.PointCount, 0, MaxPoints - 1);
        for (int i = 1; i <= n; ++i) {
            w[i] = sp.Omega[i];
            u[i] = std::log(w[i]);
            re[i] = sp.ZReal[i];
            im[i] = sp.ZImag[i];
        }
    }
};

// Trapezoid over [A, B] (B the lower frequency for the interval above the
// point, the higher one below) of the singular-part integrand; the sample at
// the point itself takes the limit value `atPoint`.
double NearSegment(const Rows& r, bool realToImag, int a, int b, int p, bool pointIsB, int steps) {
    const double len = r.u[b] - r.u[a];
    if (std::fabs(len) < 1e-6 || steps < 1) return 0.0;
    const double w0 = r.w[p];
    const double* y = realToImag ? r.re : r.im;
    const double ya = y[a], yb = y[b];
    const double yp = y[p];
    const double slope = SlopeAtPoint(r.u, y, p);
    const double atPoint = realToImag ? slope : (slope + yp) * w0;
    const int pointSample = pointIsB ? steps : 0;
    // Samples evenly spaced in ln w: each frequency is the previous one times
    // a fixed ratio.
    const double ratio = std::exp(len / steps);
    double x = r.w[a];
    double result = 0, previous = 0;
    for (int s = 0; s <= steps; ++s, x *= ratio) {
        double g;
        if (s == pointSample) {
            g = atPoint;
        } else {
            const double t = static_cast<double>(s) / steps;
            const double v = (1 - t) * ya + t * yb;
            double d = x - w0;
            if (std::fabs(d) < 1e-12) d = x > w0 ? 1e-12 : -1e-12;
            g = realToImag ? (v - yp) * x / d : (x * v - w0 * yp) * x / d;
        }
        if (s > 0) result += (g + previous) / 2 * len / steps;
        previous = g;
    }
    return result;
}

double AbovePoint(const Rows& r, bool realToImag, int p, int steps) {
    const int k = p == 1 ? 2 : p;
    if (k > r.n) return 0.0;
    return NearSegment(r, realToImag, k - 1, k, p, true, steps);
}

double BelowPoint(const Rows& r, bool realToImag, int p, int steps) {
    const int k = p == r.n ? r.n - 1 : p;
    if (k < 1 || k + 1 > r.n) return 0.0;
    return NearSegment(r, realToImag, k, k + 1, p, false, steps);
}

// The high-frequency tail at point p of rows r (the tail already fitted).
double TailAt(const Rows& r, int p, int steps) {
    const ExtrapolationState& ex = State().Extrap;
    const double w0 = r.w[p], z0 = r.re[p], w1 = ex.OmegaAt1;
    if (10 * w0 < w1) return 2 * w0 * (HighFrequencyTailOverX2() - z0 / w1);
    const double a = ex.HighFreqConstant ? 0.0 : std::exp(ex.HighFreqFit[1]);
    const double b = ex.HighFreqConstant ? 0.0 : ex.HighFreqFit[2];
    const double c = ex.HighFreqConstant ? ex.HighFreqFit[3] : 0.0;
    // x^b follows x along the geometric progression of the nodes.
    auto g = [&](double x, double xb) {
        const double z = a * xb + c - z0;
        return z * x / (x - w0) - z * x / (x + w0);
    };
    const double h = std::log(10000.0) / steps;
    const double ratio = std::exp(h);
    const double ratioB = std::exp(h * b);
    double x = w1, xb = std::pow(w1, b);
    // At the point itself (or one at practically its frequency) the limit of
    // the singular part, x dZ'/dx.
    const bool atTop = p == 1 || std::fabs(std::log(w1) - r.u[p]) < SameFrequency;
    double previous = atTop ? b * ex.ZRealAtN : g(x, xb);
    double sum = 0;
    for (int k = 1; k <= steps; ++k) {
        x *= ratio;
        xb *= ratioB;
        const double gk = g(x, xb);
        sum += (gk + previous) / 2;
        previous = gk;
    }
    return h * sum;
}

bool CapacitiveTop(const Rows& r) {
    if (r.n < 4) return false;
    for (int i = 1; i <= 4; ++i)
        if (!(r.im[i] > 0)) return false;
    return true;
}

// The parabola rule is linear in the samples: Q_j(F) = c1 F[m-1] + c2 F[m]
// + c3 F[m+1]. The weights depend only on the frequencies, so a transform
// works them out once and then integrates each point's samples in one pass.
struct SegmentWeights {
    int n = 0;
    int first[MaxPoints];  // m - 1 of interval j
    double c[MaxPoints][3];
    double total[MaxPoints + 1];  // sum over all intervals, per sample

    void Build(const Rows& r) {
        n = r.n;
        for (int i = 0; i <= n; ++i) total[i] = 0.0;
        if (n < 3) {  // no three points for a parabola: nothing to integrate
            n = 0;
            return;
        }
        double unit[MaxPoints + 1] = {};
        for (int j = 2; j <= n; ++j) {
            const int m = j == n ? j - 1 : j;
            first[j] = m - 1;
            for (int k = 0; k < 3; ++k) {
                unit[m - 1 + k] = 1.0;
                c[j][k] = SegmentIntegral(r.u, unit, n, j);
                unit[m - 1 + k] = 0.0;
                total[m - 1 + k] += c[j][k];
            }
        }
    }
    double Segment(const double* f, int j) const {
        const double* y = f + first[j];
        return c[j][0] * y[0] + c[j][1] * y[1] + c[j][2] * y[2];
    }
};

constexpr int NearSteps = 16;

// Everything of the transforms that depends on the frequencies alone. A
// search runs the transforms many times on the same frequencies (measured
// and appended), so it is worked out once and kept while they stay the same.
struct FrequencyKernels {
    bool valid = false;
    int n = 0;
    double w[MaxPoints];
    SegmentWeights weights;
    // The parabola rule over all intervals of F+ - F- at point p is
    // sum_i kernel[p][i] D(i), with
    //   F-(i) = D(i) w_i / (w_i - w0)   (0 when w_i is w0),
    //   F+(i) = D(i) w_i / (w_i + w0),
    // D(i) = y_i - y_p (real part) or w_i y_i - w0 y_p (imaginary part).
    double kernel[MaxPoints][MaxPoints];
    // Interval j (points j-1 and j) at NearSteps + 1 samples evenly spaced in
    // ln w: the frequency x, and x / (x - w0) for w0 = w_j (the interval above
    // point j) and w0 = w_{j-1} (the interval below point j-1).
    double len[MaxPoints];
    double x[MaxPoints][NearSteps + 1];
    double overLower[MaxPoints][NearSteps + 1];
    double overUpper[MaxPoints][NearSteps + 1];

    bool Matches(const Rows& r) const {
        if (!valid || n != r.n) return false;
        for (int i = 1; i <= n; ++i)
            if (w[i] != r.w[i]) return false;
        return true;
    }

    void Build(const Rows& r) {
        n = r.n;
        for (int i = 1; i <= n; ++i) w[i] = r.w[i];
        weights.Build(r);
        for (int p = 1; p <= n; ++p) {
            const double w0 = r.w[p];
            for (int i = 1; i <= n; ++i) {
                const double d = r.w[i] - w0, sum = r.w[i] + w0;
                const bool same = std::fabs(r.u[i] - r.u[p]) < SameFrequency;
                const double k = same ? 1.0 / sum : -2 * w0 / (d * sum);
                kernel[p][i] = weights.total[i] * k * r.w[i];
            }
        }
        for (int j = 2; j <= n; ++j) {
            len[j] = r.u[j] - r.u[j - 1];
            const double ratio = std::exp(len[j] / NearSteps);
            double xs = r.w[j - 1];
            for (int s = 0; s <= NearSteps; ++s, xs *= ratio) {
                x[j][s] = xs;
                overLower[j][s] = Over(xs, r.w[j]);
                overUpper[j][s] = Over(xs, r.w[j - 1]);
            }
        }
        valid = true;
    }

    static double Over(double xs, double w0) {
        double d = xs - w0;
        if (std::fabs(d) < 1e-12) d = xs > w0 ? 1e-12 : -1e-12;
        return xs / d;
    }

    double Difference(int p, const double* y, double y0, bool realPart) const {
        const double* k = kernel[p];
        double odd = 0, even = 0;
        int i = 1;
        if (realPart) {
            for (; i + 1 <= n; i += 2) {
                odd += k[i] * (y[i] - y0);
                even += k[i + 1] * (y[i + 1] - y0);
            }
            if (i <= n) odd += k[i] * (y[i] - y0);
        } else {
            for (; i + 1 <= n; i += 2) {
                odd += k[i] * (w[i] * y[i] - y0);
                even += k[i + 1] * (w[i + 1] * y[i + 1] - y0);
            }
            if (i <= n) odd += k[i] * (w[i] * y[i] - y0);
        }
        return odd + even;
    }

    // F- at the samples the two intervals next to point p use.
    void NearSamples(const double* u, const double* y, double y0, bool realPart, int p, double* f) const {
        const double w0 = w[p];
        const int lo = std::max(1, p - 3), hi = std::min(n, p + 3);
        for (int i = lo; i <= hi; ++i) {
            const double diff = ((realPart ? 1.0 : w[i]) * y[i] - y0) * w[i];
            const double d = w[i] - w0;
            f[i] = std::fabs(u[i] - u[p]) < SameFrequency ? 0.0 : diff / d;
        }
    }

    // The trapezoid over interval j with the point at its lower end
    // (pointIsLower: the interval above the point) or at its upper end.
    double Near(int j, bool pointIsLower, const double* y, bool realPart, double atPoint) const {
        const double length = len[j];
        if (std::fabs(length) < 1e-6) return 0.0;
        const int p = pointIsLower ? j : j - 1;
        const double w0 = w[p], yp = y[p], ya = y[j - 1], yb = y[j];
        const double* over = pointIsLower ? overLower[j] : overUpper[j];
        const int pointSample = pointIsLower ? NearSteps : 0;
        double result = 0, previous = 0;
        for (int s = 0; s <= NearSteps; ++s) {
            double g;
            if (s == pointSample) {
                g = atPoint;
            } else {
                const double t = static_cast<double>(s) / NearSteps;
                const double v = (1 - t) * ya + t * yb;
                g = (realPart ? v - yp : x[j][s] * v - w0 * yp) * over[s];
            }
            if (s > 0) result += (g + previous) / 2 * length / NearSteps;
            previous = g;
        }
        return result;
    }
};

FrequencyKernels& Kernels() {
    static FrequencyKernels kernels;
    return kernels;
}

const FrequencyKernels& KernelsFor(const Rows& r) {
    FrequencyKernels& kernels = Kernels();
    if (!kernels.Matches(r)) {
        kernels.valid = false;
        kernels.Build(r);
    }
    return kernels;
}

}  // namespace

void ClearTransformCache() { Kernels().valid = false; }

double SlopeAtPoint(const double* u, const double* y, int p) {
    const int hi = p == 1 ? 1 : p - 1, lo = p == 1 ? 2 : p;
    const double lambda = u[lo] - u[hi];
    if (std::fabs(lambda) < SameFrequency) return 0.0;
    return (y[lo] - y[hi]) / lambda;
}

double SegmentIntegral(const double* u, const double* f, int n, int j) {
    const int m = j == n ? j - 1 : j;
    double u1 = u[m - 1], u2 = u[m];
    const double u3 = u[m + 1];
    const double y1 = f[m - 1], y2 = f[m], y3 = f[m + 1];
    const double d12 = u1 - u2, d23 = u2 - u3, d31 = u3 - u1;
    const double numerator = d23 * y1 + d31 * y2 + d12 * y3;
    const double denominator = -d12 * d23 * d31;
    double a, b;
    // Two of the three at one frequency: no parabola, the line through the
    // outer two (no slope when those coincide as well).
    if (std::fabs(denominator) < 1e-32 || std::fabs(d12) < SameFrequency || std::fabs(d23) < SameFrequency ||
        std::fabs(d31) < SameFrequency) {
        a = 0.0;
        b = std::fabs(u1 - u3) < SameFrequency ? 0.0 : (y1 - y3) / (u1 - u3);
    } else {
        a = numerator / denominator;
        b = -a * (u1 + u2) + (y1 - y2) / d12;
    }
    const double c = y1 - a * u1 * u1 - b * u1;
    if (j == n) {
        u1 = u2;
        u2 = u3;
    }
    return (u1 - u2) * (a * (u1 * u1 + u1 * u2 + u2 * u2) / 3 + b * (u1 + u2) / 2 + c);
}

double SegmentAbovePoint(bool realToImag, int p, int steps) {
    const Rows r;
    return AbovePoint(r, realToImag, p, steps);
}

double SegmentBelowPoint(bool realToImag, int p, int steps) {
    const Rows r;
    return BelowPoint(r, realToImag, p, steps);
}

double HighFrequencyTailIntegral(int p, int steps) {
    FitHighFrequencyTail();
    const Rows r;
    return TailAt(r, p, steps);
}

bool CapacitiveAtHighFrequency() {
    const Rows r;
    return CapacitiveTop(r);
}

void TransformRealToImaginary() {
    const Rows r;
    SpectrumBlock& sp = State().Spectrum;
    const int n = r.n;
    const bool tail = CapacitiveTop(r);
    if (tail) FitHighFrequencyTail();
    const FrequencyKernels& k = KernelsFor(r);
    double fm[MaxPoints];
    for (int p = 1; p <= n; ++p) {
        const double z0 = r.re[p];
        double s = tail ? -TailAt(r, p, 64) : 0.0;
        // The parabola rule over every interval of F+ - F-, then the two
        // intervals at the point take the near-segment integrals of F-
        // instead of the parabola rule.
        s += k.Difference(p, r.re, z0, true);
        k.NearSamples(r.u, r.re, z0, true, p, fm);
        const double atPoint = SlopeAtPoint(r.u, r.re, p);
        s -= k.weights.total[p] * atPoint;
        fm[p] = atPoint;
        if (p >= 2) s += k.weights.Segment(fm, p) + k.Near(p, true, r.re, true, atPoint);
        if (p + 1 <= n)
            s += k.weights.Segment(fm, p + 1) + k.Near(p + 1, false, r.re, true, atPoint);
        sp.KKImag[p] = s * InvPi;
    }
}

void TransformImaginaryToReal() {
    const Rows r;
    SpectrumBlock& sp = State().Spectrum;
    const double zrInf = State().Extrap.ZRealAt1;
    const int n = r.n;
    const FrequencyKernels& k = KernelsFor(r);
    double gm[MaxPoints];
    for (int p = 1; p <= n; ++p) {
        const double w0 = r.w[p];
        const double q0 = w0 * r.im[p];
        double s = k.Difference(p, r.im, q0, false);
        k.NearSamples(r.u, r.im, q0, false, p, gm);
        const int hi = p == 1 ? 1 : p - 1, lo = p == 1 ? 2 : p;
        const double slope = SlopeAtPoint(r.u, r.im, p);
        const double atPoint = std::fabs(r.u[lo] - r.u[hi]) < SameFrequency ? 0.0 : (slope + r.im[p]) * w0;
        s -= k.weights.total[p] * atPoint;
        gm[p] = atPoint;
        // the near segments take the limit without the zero-length guard
        const double nearAtPoint = (slope + r.im[p]) * w0;
        if (p >= 2) s += k.weights.Segment(gm, p) + k.Near(p, true, r.im, false, nearAtPoint);
        if (p + 1 <= n)
            s += k.weights.Segment(gm, p + 1) + k.Near(p + 1, false, r.im, false, nearAtPoint);
        sp.KKReal[p] = s / (-Pi * w0) + zrInf;
    }
}

double KramersKronigResidual() {
    const ProgramState& st = State();
    const SpectrumBlock& sp = st.Spectrum;
    const int n = std::clamp(sp.PointCount, 0, MaxPoints - 1);
    const int m = sp.FilePointCount;
    const int first =
        (st.Run.KKView && st.Extrap.KKResidualOnAppended && m < n) ? m + 1 : 1;
    double r = 0;
    for (int i = first; i <= n; ++i) {
        const double dr = sp.KKReal[i] - sp.ZReal[i], di = sp.KKImag[i] - sp.ZImag[i];
        r += (dr * dr + di * di) / (sp.ZReal[i] * sp.ZReal[i] + sp.ZImag[i] * sp.ZImag[i]);
    }
    // Continuity of the phase angle from the measured into the appended
    // points; without appended points there is no point M + 1 to compare.
    if (m >= 2 && n > m) {
        const double phiM = PhaseAngle(sp.ZImag[m], sp.ZReal[m]);
        const double t = 2 * phiM - PhaseAngle(sp.ZImag[m + 1], sp.ZReal[m + 1]) -
                         PhaseAngle(sp.ZImag[m - 1], sp.ZReal[m - 1]);
        r += t * t;
    }
    const int count = n - first + 1;
    return count > 0 ? r / count : 0.0;
}

double RunKramersKronig(double zrInf) {
    ProgramState& st = State();
    st.Extrap.ZRealAt1 = zrInf;
    if (st.Run.KKView) {
        if (!SolveTailPolynomials(zrInf)) {
            st.Spectrum.PointCount = st.Spectrum.FilePointCount;
            return HopelessTrial;
        }
        AppendExtrapolatedPoints(st.Extrap.TailCoefficients);
        st.Spectrum.PointCount = st.Spectrum.ExtendedPointCount;
        st.Run.ExtrapolatedView = false;
    } else {
        st.Spectrum.PointCount = st.Spectrum.FilePointCount;
    }
    platform::PumpOneMessage();
    if (!st.Run.StopRequested) {
        TransformRealToImaginary();
        platform::PumpOneMessage();
        if (!st.Run.StopRequested) TransformImaginaryToReal();
    }
    return KramersKronigResidual();
}

}  // namespace pellucor::kk
