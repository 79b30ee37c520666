#include "core/Evaluator.h"

#include <algorithm>
#include <cmath>

#include "core/CircuitCode.h"
#include "core/Distributed.h"
#include "core/NumericLib.h"
#include "core/WindowHooks.h"

namespace pellucor {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kRootHalf = 0.707107;  // W, T, O and G elements
constexpr double kThird = 0.33333;      // small-argument T and O
constexpr double kPenalty = 10000.0;

// One step of the walk over a code. The code is turned into these steps once
// per evaluation, so the point loop never rescans the text.
struct Step {
    char c = 0;           // '(', ')' or an element letter
    bool series = true;   // level of the element
    int k = 1;            // index of its first parameter
    // Constant-phase element: the exponent as used, and its phase factors,
    // which do not depend on the frequency.
    double qn = 0.0, qcos = 0.0, qsin = 0.0;
    bool qclamped = false;
};

struct Walk {
    Step steps[MaxCodeLength];
    int count = 0;
    int params = 0;
    bool anyQ = false;
    bool lastQClamped = false;
};

// Turns the code into steps; v[1..P] are the values as evaluated.
void Prepare(const std::string& code, const double* v, Walk& w) {
    bool series = true;
    int k = 1;
    w.count = 0;
    w.anyQ = false;
    for (char c : code) {
        if (c == '(' || c == ')') {
            Step& s = w.steps[w.count++];
            s.c = c;
            series = !series;
            s.series = series;
            continue;
        }
        const int n = ElementParamCount(c);
        if (n == 0) continue;
        Step& s = w.steps[w.count++];
        s.c = c;
        s.series = series;
        s.k = k;
        if (c == 'Q') {
            double e = v[k + 1];
            if (series) e = -e;
            s.qclamped = std::fabs(e) > 1.0;
            if (s.qclamped) e = e > 0.0 ? 0.99 : -0.99;
            s.qn = e;
            s.qcos = std::cos(e * kHalfPi);
            s.qsin = std::sin(e * kHalfPi);
            w.anyQ = true;
            w.lastQClamped = s.qclamped;
        }
        k += n;
    }
    w.params = k - 1;
}

// Tanh (T) and coth (O) diffusion elements.
void AddDiffusion(bool tanhForm, bool series, double p1, double b, double omega, double& re, double& im) {
    double s = std::sqrt(omega) * kRootHalf;
    const double x = 2.0 * s * b;
    if (x < 0.1) {
        if (tanhForm) {
            if (series) {
                re += p1 * b * kThird;
                im -= p1 / (b * omega);
            } else {
                const double bw = b * omega;
                re += p1 * bw * bw * b * kThird;
                im += p1 * b * omega;
            }
        } else {
            if (series) {
                re += p1 * b;
                im -= p1 * b * b * b * omega * kThird;
            } else {
                re += p1 / b;
                im += p1 * b * omega * kThird;
            }
        }
        return;
    }
    if (series) s = 0.5 / s;
    const double val = p1 * s;
    if (x > 10.0) {
        re += val;
        im += series ? -val : val;
        return;
    }
    const HyperTrig h = HyperTrigPack(x);
    if (tanhForm) {
        if (series) {
            const double g = val / (h.cosh - h.cos);
            re += (h.sinh - h.sin) * g;
            im -= (h.sinh + h.sin) * g;
        } else {
            const double g = val / (h.cosh + h.cos);
            re += (h.sinh - h.sin) * g;
            im += (h.sinh + h.sin) * g;
        }
    } else {
        if (series) {
            const double g = val / (h.cosh + h.cos);
            re += (h.sinh + h.sin) * g;
            im -= (h.sinh - h.sin) * g;
        } else {
            const double g = val / (h.cosh - h.cos);
            re += (h.sinh + h.sin) * g;
            im += (h.sinh - h.sin) * g;
        }
    }
}

// j w p1 F at parallel levels, p1 F / (j w) at series levels (H, D, E, F).
void AddCapacitiveFactor(bool series, double p1, Complex f, double omega, double wInv, double& re, double& im) {
    if (series) {
        re += wInv * p1 * f.im;
        im += -wInv * p1 * f.re;
    } else {
        re += -omega * p1 * f.im;
        im += omega * p1 * f.re;
    }
}

void AddComplex(Complex z, double& re, double& im) {
    re += z.re;
    im += z.im;
}

// The true impedance of the prepared walk at one angular frequency.
Complex WalkPoint(const Walk& w, const double* v, double omega) {
    const double wInv = 1.0 / omega;
    double levelRe[MaxCodeLevels + 1], levelIm[MaxCodeLevels + 1];
    int level = 1;
    levelRe[1] = levelIm[1] = 0.0;
    for (int i = 0; i < w.count; ++i) {
        const Step& s = w.steps[i];
        if (s.c == '(') {
            ++level;
            levelRe[level] = levelIm[level] = 0.0;
            continue;
        }
        if (s.c == ')') {
            const double a = ClampMagnitude(levelRe[level]);
            const double b = ClampMagnitude(levelIm[level]);
            const double d = 1.0 / (a * a + b * b);
            --level;
            levelRe[level] += a * d;
            levelIm[level] -= b * d;
            continue;
        }
        double& re = levelRe[level];
        double& im = levelIm[level];
        const double* p = v + s.k;  // p[0] is the first parameter
        const bool series = s.series;
        switch (s.c) {
            case 'R':
                re += p[0];
                break;
            case 'C':
                if (series) im -= p[0] * wInv;
                else im += p[0] * omega;
                break;
            case 'L':
                if (series) im += p[0] * omega;
                else im -= p[0] * wInv;
                break;
            case 'W': {
                const double t = p[0] * std::sqrt(series ? wInv : omega) * kRootHalf;
                re += t;
                im += series ? -t : t;
                break;
            }
            case 'Q': {
                const double m = std::pow(omega, s.qn) * p[0];
                re += m * s.qcos;
                im += m * s.qsin;
                break;
            }
            case 'T':
                AddDiffusion(true, series, p[0], p[1], omega, re, im);
                break;
            case 'O':
                AddDiffusion(false, series, p[0], p[1], omega, re, im);
                break;
            case 'G': {
                const double t = p[1] / omega;
                const double r = std::sqrt(t * t + 1.0);
                const double so = std::sqrt(omega);
                const double gp = so * std::sqrt(r + t) * p[0] * kRootHalf;
                const double gq = so * std::sqrt(r - t) * p[0] * kRootHalf;
                if (series) {
                    re += gp * wInv / r;
                    im -= gq * wInv / r;
                } else {
                    re += gp;
                    im += gq;
                }
                break;
            }
            case 'H':
                AddCapacitiveFactor(series, p[0], ImpedanceH(series, p[1] * omega, p[2], p[3]), omega, wInv, re,
                                    im);
                break;
            case 'D':
            case 'E':
            case 'F': {
                Complex f = s.c == 'D'   ? DistributionResponseD(omega, p[1], p[2], p[3])
                            : s.c == 'E' ? DistributionResponseE(omega, p[1], p[2], p[3])
                                         : DistributionResponseF(omega, p[1], p[2], p[3], p[4], p[5]);
                if (series) f = ComplexDiv(Complex{1.0, 0.0}, f);
                AddCapacitiveFactor(series, p[0], f, omega, wInv, re, im);
                break;
            }
            case 'P':
                AddComplex(ImpedanceP(!series, omega, p[0], p[1]), re, im);
                break;
            case 'U':
                AddComplex(ImpedanceU(series, omega, p[0], p[1], p[2], p[3], p[4], p[5]), re, im);
                break;
            case 'M':
                AddComplex(ImpedanceM(series, omega, p[0], p[1], p[2], p[3], p[4], p[5]), re, im);
                break;
            case 'V':
                AddComplex(ImpedanceV(series, omega, p[0], p[1], p[2], p[3], p[4]), re, im);
                break;
            case 'N':
                AddComplex(ImpedanceN(series, omega, p[0], p[1], p[2], p[3], p[4]), re, im);
                break;
            case 'X':
                AddComplex(ImpedanceX(!series, omega, p[0], p[1], p[2], p[3], p[4], p[5]), re, im);
                break;
            case 'Y':
                AddComplex(ImpedanceY(series, omega, p[0], p[1], p[2], p[3], p[4], p[5], p[6]), re, im);
                break;
            case 'S':
                AddComplex(ComplexScale(p[0], ImpedanceS(series, omega, p[1], p[2])), re, im);
                break;
            case 'B':
                AddComplex(ComplexScale(p[0], ImpedanceB(series, omega, p[1], p[2], p[3])), re, im);
                break;
            case 'J':
                AddComplex(ComplexScale(p[0], ImpedanceJ(series, omega, p[1], p[2], p[3])), re, im);
                break;
            case 'I':
                AddComplex(ComplexScale(p[0], ImpedanceI(series, omega, p[1], p[2], p[3])), re, im);
                break;
            default:
                break;
        }
    }
    return Complex{levelRe[1], levelIm[1]};
}

}  // namespace

bool EvaluateCircuit(ParamArray<double>& ln, double& chiSq) {
    ProgramState& st = State();
    chiSq = 0.0;
    const std::string& code = st.Circuit.Code;
    if (!CdcWithinLimits(code)) {
        // Nothing of such a code is stored in the parameter slots; it has no
        // impedance.
        ParseCircuitCode(code);
        return false;
    }
    const int p = ParseCircuitCode(code);
    Windows().Par->ShowParameterLabels(p);

    // Values as evaluated: signed, then inverted where the level asks.
    double v[MaxParams + 1] = {};
    for (int i = 1; i <= p; ++i) {
        double x = ln[i];
        if (std::isnan(x) || x < -LnValueLimit) x = -LnValueLimit;
        if (x > LnValueLimit) x = LnValueLimit;
        ln[i] = x;
        v[i] = std::exp(x) * st.Params.Sign[i];
    }
    CdcReciprocalFlags(code, v);
    if (!st.Fit.ScaleVector.empty())
        for (int i = 1; i <= p && i <= st.Fit.ScaleVector.hi(); ++i) st.Fit.ScaleVector[i] = v[i];

    Walk walk;
    Prepare(code, v, walk);

    // Exponent parameters above 1 are penalised at every point.
    double penalties[MaxParams];
    int penaltyCount = 0;
    for (int j = 1; j <= p; ++j)
        if (IsExponentKind(st.Params.Kind[j]) && ln[j] > 0.0) {
            const double e = std::exp(ln[j]);
            penalties[penaltyCount++] = kPenalty * e * e;
        }

    SpectrumBlock& sp = st.Spectrum;
    const ProgramOptions& opt = st.Options;
    const bool simulate = st.Run.SimulateMode;
    const bool modulus = opt.Weighting == 1;
    double noiseLevel = 0.0;
    if (opt.NoiseType == 0) noiseLevel = opt.NoiseLevelUnity;
    else if (opt.NoiseType == 1) noiseLevel = opt.NoiseLevelModulus;
    int seed = NoiseSeed;

    const int n = std::min(sp.PointCount, MaxPoints - 1);
    for (int i = 1; i <= n; ++i) {
        const double omega = TwoPi * sp.Frequency[i];
        const Complex z = WalkPoint(walk, v, omega);
        sp.ZRealCalc[i] = z.re;
        sp.ZImagCalc[i] = -z.im;
        if (!simulate) {
            const double m = ComplexModulus(sp.ZRealCalc[i], sp.ZImagCalc[i]);
            double dr = sp.ZRealCalc[i] - sp.ZReal[i];
            double di = sp.ZImagCalc[i] - sp.ZImag[i];
            if (modulus) {
                dr /= m;
                di /= m;
            }
            chiSq += dr * dr + di * di;
            for (int j = 0; j < penaltyCount; ++j) chiSq += penalties[j];
        } else if (opt.NoiseType == -1) {
            sp.ResidualSq[i] = 0.0;
        } else {
            const double m = ComplexModulus(sp.ZRealCalc[i], sp.ZImagCalc[i]);
            const double g = GaussianRandom(seed);
            const double a0 = std::fabs(g) * noiseLevel;
            const double a = opt.NoiseType == 1 ? a0 * m : a0;
            const double theta = (2.0 * UniformRandom(seed) - 1.0) * kPi;
            sp.ZRealCalc[i] += a * std::cos(theta);
            sp.ZImagCalc[i] += a * std::sin(theta);
            chiSq += a0 * a0;
            sp.ResidualSq[i] = a0 * a0;
        }
    }
    if (walk.anyQ && n >= 1) st.Fit.CpeExponentClamped = walk.lastQClamped;
    st.Params.ParamCount = p;
    return true;
}

Complex CircuitImpedance(const std::string& code, const ParamArray<double>& values, double omega) {
    if (!CdcWithinLimits(code)) return Complex{};
    const int p = ParseCircuitCode(code);
    double v[MaxParams + 1] = {};
    for (int i = 1; i <= p; ++i) v[i] = values[i];
    CdcReciprocalFlags(code, v);
    Walk walk;
    Prepare(code, v, walk);
    return WalkPoint(walk, v, omega);
}

}  // namespace pellucor
