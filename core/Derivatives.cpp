#include "core/Derivatives.h"

#include <bit>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>

#include "core/CircuitCode.h"
#include "core/Complex.h"
#include "core/Distributed.h"
#include "core/NumericLib.h"

namespace pellucor {
namespace {

constexpr double kHalfPi = 1.570796;
constexpr double kRootHalf = 0.7071065;  // G element
constexpr double kStep = 1e-6;           // relative forward-difference step
// Central-difference steps of the distribution shape parameters (psi and xs
// of D and E; eps, xl, xu and theta of F), whose derivatives include the
// change of the normalising integral.
constexpr double kShapeStep = 1e-4;
constexpr double kGaussStep = 1e-3;

// Contribution of an element evaluated through the element functions, in the
// value convention of this routine (admittance at parallel levels, impedance
// at series levels). For S, B, J and I the function value without Y0.
Complex FunctionValue(char c, bool series, const double* p, double omega) {
    const double wInv = 1.0 / omega;
    switch (c) {
        case 'H': {
            const Complex f = ImpedanceH(series, p[1] * omega, p[2], p[3]);
            if (series) return Complex{p[0] * f.im * wInv, -p[0] * f.re * wInv};
            return Complex{-omega * p[0] * f.im, omega * p[0] * f.re};
        }
        case 'D':
        case 'E':
        case 'F': {
            Complex f = c == 'D'   ? DistributionResponseD(omega, p[1], p[2], p[3])
                        : c == 'E' ? DistributionResponseE(omega, p[1], p[2], p[3])
                                   : DistributionResponseF(omega, p[1], p[2], p[3], p[4], p[5]);
            if (series) {
                f = ComplexDiv(Complex{1.0, 0.0}, f);
                return Complex{wInv * p[0] * f.im, -wInv * p[0] * f.re};
            }
            return Complex{-omega * p[0] * f.im, omega * p[0] * f.re};
        }
        case 'P': return ImpedanceP(!series, omega, p[0], p[1]);
        case 'X': return ImpedanceX(!series, omega, p[0], p[1], p[2], p[3], p[4], p[5]);
        case 'U': return ImpedanceU(series, omega, p[0], p[1], p[2], p[3], p[4], p[5]);
        case 'V': return ImpedanceV(series, omega, p[0], p[1], p[2], p[3], p[4]);
        case 'M': return ImpedanceM(series, omega, p[0], p[1], p[2], p[3], p[4], p[5]);
        case 'N': return ImpedanceN(series, omega, p[0], p[1], p[2], p[3], p[4]);
        case 'Y': return ImpedanceY(series, omega, p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
        case 'S': return ImpedanceS(series, omega, p[1], p[2]);
        case 'B': return ImpedanceB(series, omega, p[1], p[2], p[3]);
        case 'J': return ImpedanceJ(series, omega, p[1], p[2], p[3]);
        case 'I': return ImpedanceI(series, omega, p[1], p[2], p[3]);
        default: return Complex{};
    }
}

// cos and sin of n pi/2 for a constant-phase exponent n. The covariance pass
// asks for the same n at every point, so the last one is kept.
struct PhaseFactors {
    bool valid = false;
    std::uint64_t bits = 0;  // n, compared bit for bit
    double cos = 1.0, sin = 0.0;
};

const PhaseFactors& PhaseFactorsOf(double n) {
    static PhaseFactors last;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(n);
    if (!last.valid || bits != last.bits) {
        last.valid = true;
        last.bits = bits;
        last.cos = std::cos(n * kHalfPi);
        last.sin = std::sin(n * kHalfPi);
    }
    return last;
}

// Step size for parameter value x: relative, absolute when the value is 0.
double StepFor(double x, double rel) {
    const double h = x * rel;
    return h != 0.0 ? h : rel;
}

struct Result {
    double re = 0.0, im = 0.0;     // the element's contribution
    Complex d[7];                  // its derivatives, one per parameter
};

// Tanh and coth diffusion elements, ranges as in the evaluator but with the
// square roots computed exactly.
void Diffusion(bool tanhForm, bool series, double p1, double b, double omega, Result& r) {
    const double wInv = 1.0 / omega;
    const double s = series ? std::sqrt(1.0 / (2.0 * omega)) : std::sqrt(omega / 2.0);
    const double x = series ? 2.0 * s * b * omega : 2.0 * s * b;
    Complex unit, dB;  // value per unit p1, derivative in B
    if (x < 0.1) {
        if (tanhForm && !series) {
            unit = {b * (b * omega) * (b * omega) / 3.0, b * omega};
            dB = {p1 * b * b * omega * omega, p1 * omega};
        } else if (tanhForm) {
            unit = {b / 3.0, -wInv / b};
            dB = {p1 / 3.0, p1 * wInv / (b * b)};
        } else if (!series) {
            unit = {1.0 / b, b * omega / 3.0};
            dB = {-p1 / (b * b), p1 * omega / 3.0};
        } else {
            unit = {b, -b * b * b * omega / 3.0};
            dB = {p1, -p1 * b * b * omega};
        }
    } else if (x > 10.0) {
        unit = {s, series ? -s : s};
        dB = {0.0, 0.0};
    } else {
        const HyperTrig h = HyperTrigPack(x);
        const double sh = h.sinh, ch = h.cosh, sn = h.sin, cs = h.cos;
        // s * dx/dB: omega at parallel levels, 1 at series levels.
        const double k = series ? 1.0 : omega;
        if (tanhForm && !series) {
            const double den = ch + cs;
            unit = {s * (sh - sn) / den, s * (sh + sn) / den};
            dB = {2.0 * p1 * k * sh * sn / (den * den), 2.0 * p1 * k * (ch * cs + 1.0) / (den * den)};
        } else if (tanhForm) {
            const double den = ch - cs;
            unit = {s * (sh - sn) / den, -s * (sh + sn) / den};
            dB = {2.0 * p1 * k * (1.0 - ch * cs) / (den * den), 2.0 * p1 * k * sh * sn / (den * den)};
        } else if (!series) {
            const double den = ch - cs;
            unit = {s * (sh + sn) / den, s * (sh - sn) / den};
            dB = {-2.0 * p1 * k * sh * sn / (den * den), 2.0 * p1 * k * (1.0 - ch * cs) / (den * den)};
        } else {
            const double den = ch + cs;
            unit = {s * (sh + sn) / den, -s * (sh - sn) / den};
            dB = {2.0 * p1 * k * (ch * cs + 1.0) / (den * den), -2.0 * p1 * k * sh * sn / (den * den)};
        }
    }
    r.re = p1 * unit.re;
    r.im = p1 * unit.im;
    r.d[0] = unit;
    r.d[1] = dB;
}

// Elements through the element functions: value and derivatives, by forward
// differences (central ones for the distribution shape parameters). v points
// at the element's first parameter and is perturbed and restored in place.
void ByDifferences(char c, bool series, double* v, int count, double omega, Result& r) {
    const bool scaled = c == 'S' || c == 'B' || c == 'J' || c == 'I';
    const bool distributed = c == 'D' || c == 'E' || c == 'F';
    const Complex base = FunctionValue(c, series, v, omega);
    if (scaled) {
        r.re = v[0] * base.re;
        r.im = v[0] * base.im;
        r.d[0] = base;
    } else {
        r.re = base.re;
        r.im = base.im;
    }
    int first = 0;
    if (c == 'H' || distributed) {
        // Linear in the leading C.
        r.d[0] = ComplexScale(1.0 / v[0], base);
        first = 1;
    } else if (scaled) {
        first = 1;
    }
    // The functions of the transmission-line and diffusion elements go
    // through square roots; difference them in full precision (the base value
    // above stays the evaluator's).
    const bool roots = c != 'H' && !distributed;
    Complex diffBase = base;
    std::optional<FullPrecisionRoots> scope;
    if (roots) {
        scope.emplace();
        diffBase = FunctionValue(c, series, v, omega);
    }
    for (int j = first; j < count; ++j) {
        const bool shape = distributed && j >= 2;
        Complex d;
        if (shape) {
            const double h = StepFor(v[j], c == 'F' ? kGaussStep : kShapeStep);
            const double keep = v[j];
            v[j] = keep + h;
            const Complex up = FunctionValue(c, series, v, omega);
            v[j] = keep - h;
            const Complex down = FunctionValue(c, series, v, omega);
            v[j] = keep;
            d = ComplexScale(0.5 / h, ComplexSub(up, down));
        } else {
            const double h = StepFor(v[j], kStep);
            v[j] = v[j] + h;
            const Complex up = FunctionValue(c, series, v, omega);
            v[j] = v[j] - h;
            d = ComplexScale(1.0 / h, ComplexSub(up, diffBase));
        }
        r.d[j] = scaled ? ComplexScale(v[0], d) : d;
    }
}

// What the routine derives from the code, kept between calls: the covariance
// pass calls it once per point with the same code.
struct CodeFacts {
    bool valid = false;
    std::string code;
    std::string prepared;  // PreparedCode of the whole code
    CircuitCodeLayout layout;
};

const CodeFacts& FactsFor(const std::string& code) {
    static CodeFacts f;
    if (f.valid && f.code == code) return f;
    f.valid = true;
    f.code = code;
    f.layout = AnalyseCircuitCode(code);
    if (f.layout.withinLimits) {
        std::string& stateText = State().Circuit.PreparedCode;
        const std::string keep = stateText;
        PrepareCdcLevels(code, static_cast<int>(code.size()));
        f.prepared = stateText;
        stateText = keep;
    }
    return f;
}

// The contribution of element `c` (parameters from p[0]) at one point and
// its derivatives with respect to each of its parameters.
void ElementAt(char c, bool series, double* p, int count, double omega, double wInv, Result& r) {
    switch (c) {
        case 'R':
            r.re = p[0];
            r.d[0] = {1.0, 0.0};
            return;
        case 'C':
        case 'L':
            if ((c == 'C') != series) {  // parallel C, series L
                r.im = p[0] * omega;
                r.d[0] = {0.0, omega};
            } else {  // parallel L, series C
                r.im = -p[0] * wInv;
                r.d[0] = {0.0, -wInv};
            }
            return;
        case 'W': {
            const double s = series ? std::sqrt(1.0 / (2.0 * omega)) : std::sqrt(omega / 2.0);
            r.d[0] = {s, series ? -s : s};
            r.re = p[0] * r.d[0].re;
            r.im = p[0] * r.d[0].im;
            return;
        }
        case 'Q': {
            const double base = series ? wInv : omega;
            const double sign = series ? -1.0 : 1.0;
            const double e = p[1];
            const double mag = std::pow(base, e);
            const PhaseFactors& ph = PhaseFactorsOf(e);
            const double cs = ph.cos, sn = sign * ph.sin;
            r.d[0] = {mag * cs, mag * sn};
            r.re = p[0] * r.d[0].re;
            r.im = p[0] * r.d[0].im;
            const double lb = std::log(base);
            // d/dn of p1 base^n (cos nh, +-sin nh)
            r.d[1] = {p[0] * mag * (lb * cs - kHalfPi * ph.sin),
                      p[0] * mag * (lb * sn + kHalfPi * sign * cs)};
            return;
        }
        case 'T':
        case 'O':
            Diffusion(c == 'T', series, p[0], p[1], omega, r);
            return;
        case 'G': {
            const double ka = p[1];
            const double rr = std::sqrt(omega * omega + ka * ka);
            const double r1 = std::sqrt(rr + ka), r2 = std::sqrt(rr - ka);
            if (series) {
                r.d[0] = {kRootHalf * r1 / rr, -kRootHalf * r2 / rr};
                const double r3 = 2.0 * rr * rr * rr;
                r.d[1] = {p[0] * kRootHalf * r1 * (rr - 2.0 * ka) / r3,
                          p[0] * kRootHalf * r2 * (rr + 2.0 * ka) / r3};
            } else {
                r.d[0] = {kRootHalf * r1, kRootHalf * r2};
                r.d[1] = {p[0] * kRootHalf * r1 / (2.0 * rr), -p[0] * kRootHalf * r2 / (2.0 * rr)};
            }
            r.re = p[0] * r.d[0].re;
            r.im = p[0] * r.d[0].im;
            return;
        }
        default:
            ByDifferences(c, series, p, count, omega, r);
            return;
    }
}

// Running sums of every open level at every point, and the points whose
// levels summed to zero.
struct Walk {
    double re[MaxCodeLevels + 1][MaxPoints];
    double im[MaxCodeLevels + 1][MaxPoints];
    double omega[MaxPoints], wInv[MaxPoints];
    bool zeroLevel[MaxPoints];
};

}  // namespace

void CdcImpedanceDerivativeRows(const ParamArray<double>& values, const double* frequency, int n,
                                DerivativeRows& rows) {
    ProgramState& st = State();
    n = n < 0 ? 0 : (n > MaxPoints ? MaxPoints : n);
    rows.n = n;
    for (int i = 0; i < n; ++i) {
        rows.zre[i] = rows.zim[i] = 0.0;
        rows.status[i] = DerivativeStatus::Ok;
    }
    for (int k = 1; k <= MaxParams; ++k)
        for (int i = 0; i < n; ++i) rows.dRe[k][i] = rows.dIm[k][i] = 0.0;
    const std::string& code = st.Circuit.Code;
    const CodeFacts& facts = FactsFor(code);
    if (!facts.layout.withinLimits) {
        for (int i = 0; i < n; ++i) rows.status[i] = DerivativeStatus::CodeBeyondLimits;
        return;
    }

    // PreparedCode as PrepareCdcLevels leaves it for the whole code.
    if (st.Circuit.PreparedCode != facts.prepared) st.Circuit.PreparedCode = facts.prepared;
    const std::string& prepared = facts.prepared;

    const int paramCount = facts.layout.paramCount;
    double v[MaxParams + 8] = {};  // room past the last slot for a partial element
    for (int k = 1; k <= paramCount; ++k) v[k] = st.Params.Sign[k] * values[k];
    // The reciprocal flags and values as CdcReciprocalFlags sets them.
    ApplyReciprocalValues(facts.layout, v);

    // The code is walked once, each step over all points: an element's
    // arithmetic then runs for one point after another, and its branches
    // (and the element kind's) go the same way every time.
    static Walk w;
    for (int i = 0; i < n; ++i) {
        w.omega[i] = TwoPi * frequency[i];
        w.wInv[i] = 1.0 / w.omega[i];
        w.zeroLevel[i] = false;
    }
    int start[MaxCodeLevels + 1];
    int level = 1;
    for (int i = 0; i < n; ++i) w.re[1][i] = w.im[1][i] = 0.0;
    start[1] = 1;
    int k = 1;

    for (size_t ci = 0; ci < code.size(); ++ci) {
        const char c = code[ci];
        if (c == '(') {
            ++level;
            start[level] = k;
            for (int i = 0; i < n; ++i) w.re[level][i] = w.im[level][i] = 0.0;
            continue;
        }
        if (c == ')') {
            for (int i = 0; i < n; ++i) {
                double a = w.re[level][i], b = w.im[level][i];
                double d = 1.0 / (a * a + b * b);
                if (std::isinf(d)) {
                    // A level that sums to zero has no inverse and no
                    // derivative; keep the evaluator's guarded value and
                    // report the point.
                    w.zeroLevel[i] = true;
                    a = ClampMagnitude(a);
                    b = ClampMagnitude(b);
                    d = 1.0 / (a * a + b * b);
                }
                const double pf = (b * b - a * a) * d * d;
                const double qf = 2.0 * a * b * d * d;
                for (int j = start[level]; j < k && j <= MaxParams; ++j) {
                    const double r = rows.dRe[j][i], m = rows.dIm[j][i];
                    rows.dRe[j][i] = r * pf - m * qf;
                    rows.dIm[j][i] = m * pf + r * qf;
                }
                w.re[level - 1][i] += a * d;
                w.im[level - 1][i] -= b * d;
            }
            --level;
            continue;
        }
        const int count = ElementParamCount(c);
        if (count == 0) continue;  // the prepared code only tells the level
        const bool series = std::islower(static_cast<unsigned char>(prepared[ci])) != 0;
        double* p = v + k;
        for (int i = 0; i < n; ++i) {
            Result r;
            ElementAt(c, series, p, count, w.omega[i], w.wInv[i], r);
            w.re[level][i] += r.re;
            w.im[level][i] += r.im;
            for (int j = 0; j < count && k + j <= MaxParams; ++j) {
                rows.dRe[k + j][i] = r.d[j].re;
                rows.dIm[k + j][i] = r.d[j].im;
            }
        }
        k += count;
    }
    for (int i = 0; i < n; ++i) {
        rows.zre[i] = w.re[1][i];
        rows.zim[i] = -w.im[1][i];
        if (w.zeroLevel[i]) {
            rows.status[i] = DerivativeStatus::ZeroLevelSum;
            continue;
        }
        bool finite = std::isfinite(rows.zre[i]) && std::isfinite(rows.zim[i]);
        for (int j = 1; j <= paramCount && finite; ++j)
            finite = std::isfinite(rows.dRe[j][i]) && std::isfinite(rows.dIm[j][i]);
        if (!finite) rows.status[i] = DerivativeStatus::NonFinite;
    }
}

DerivativeStatus CdcImpedanceDerivatives(const ParamArray<double>& values, double frequency, double& zre,
                                         double& zim, ParamArray<double>& dRe, ParamArray<double>& dIm) {
    static DerivativeRows rows;
    CdcImpedanceDerivativeRows(values, &frequency, 1, rows);
    zre = rows.zre[0];
    zim = rows.zim[0];
    for (int k = 1; k <= MaxParams; ++k) {
        dRe[k] = rows.dRe[k][0];
        dIm[k] = rows.dIm[k][0];
    }
    return rows.status[0];
}

}  // namespace pellucor
