#include "core/Evaluator.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

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

// The loops over the spectrum points are compiled for the vector units found
// at run time as well. Products and sums are never fused (core/CMakeLists.txt),
// so every variant gives the same bits.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 11 && defined(__x86_64__) && defined(__linux__) && \
    !defined(__SANITIZE_ADDRESS__)
#define PELLUCOR_POINT_LOOPS __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define PELLUCOR_POINT_LOOPS
#endif

// ---- the code, turned into steps once ---------------------------------------
//
// A simplex fit evaluates the same code thousands of times. The code is
// scanned once into a list of steps and kept with everything the parse derives
// from it; every evaluation still applies those results to the state exactly
// as a fresh parse would.

// How a step meets the running sums of its level (decided when the code is
// compiled). A level's part that nothing has added to yet is 0; the first
// contribution is stored instead of added to that 0, which gives the same
// value and spares clearing the sums.
enum class PartUse : unsigned char {
    Add,        // the part holds a sum: add to it
    Store,      // the step's contribution is the first: store it
    ClearFirst  // clear the part, then add (elements computed point by point)
};

struct Step {
    char c = 0;          // ')' or an element letter
    bool series = true;  // level of the element
    int k = 1;           // index of its first parameter
    int level = 1;       // level it adds to; for ')' the level it closes
    int phase = 0;       // 'Q': index of its constant-phase terms
    PartUse re = PartUse::Add, im = PartUse::Add;  // its own level's parts
    // ')': parts of the closed level that nothing added to (cleared first),
    // and how the inverted sum meets the level below.
    bool clearRe = false, clearIm = false;
};

struct CompiledCode {
    bool valid = false;
    std::string code;
    CircuitCodeLayout layout;
    Step steps[MaxCodeLength];
    int count = 0;
    int phaseCount = 0;           // constant-phase elements
    int lastPhase = -1;           // index of the last one
    bool clearTopRe = false, clearTopIm = false;  // top-level parts left at 0
    int exponentParams[MaxParams];  // parameters of exponent kinds
    int exponentCount = 0;
    // The reciprocal flags of the layout, slot by slot, and the parameters
    // they flag, so that a call copies them instead of decoding the mask.
    bool reciprocal[MaxParams + 1] = {};
    int reciprocalParams[MaxParams];
    int reciprocalCount = 0;
    int phaseSteps[MaxParams];  // the steps of the Q elements, in code order
    // Per-point quantities the steps need besides omega and 1/omega.
    bool needLnOmega = false;
    bool needSqrtOmega = false;
    bool needSqrtInvOmega = false;
};

// Parts of a level an element adds to: 1 real, 2 imaginary.
int PartsWritten(char c) {
    switch (c) {
        case 'R': return 1;
        case 'C':
        case 'L': return 2;
        default: return 3;
    }
}

// Elements whose contribution has a loop of its own in Walk.
bool HasPointLoop(char c) { return c == 'R' || c == 'C' || c == 'L' || c == 'W' || c == 'Q'; }

void Compile(const std::string& code, CompiledCode& cc) {
    cc.valid = true;
    cc.code = code;
    cc.layout = AnalyseCircuitCode(code);
    cc.count = cc.phaseCount = cc.exponentCount = 0;
    cc.lastPhase = -1;
    cc.clearTopRe = cc.clearTopIm = false;
    cc.needLnOmega = cc.needSqrtOmega = cc.needSqrtInvOmega = false;
    for (int j = 1; j <= cc.layout.paramCount; ++j)
        if (IsExponentKind(cc.layout.kind[j])) cc.exponentParams[cc.exponentCount++] = j;
    cc.reciprocalCount = 0;
    for (int k = 0; k <= MaxParams; ++k) {
        cc.reciprocal[k] = k >= 1 && (cc.layout.reciprocalMask & (1u << k)) != 0;
        if (cc.reciprocal[k]) cc.reciprocalParams[cc.reciprocalCount++] = k;
    }
    // Only a code within the limits is ever walked: its levels stay within
    // MaxCodeLevels and its parameters within MaxParams.
    if (!cc.layout.withinLimits) return;

    bool hasRe[MaxCodeLevels + 1] = {}, hasIm[MaxCodeLevels + 1] = {};
    bool series = true;
    int k = 1;
    int level = 1;
    for (char c : code) {
        if (c == '(') {
            series = !series;
            ++level;
            hasRe[level] = hasIm[level] = false;
            continue;
        }
        if (c == ')') {
            series = !series;
            Step& s = cc.steps[cc.count++];
            s.c = c;
            s.series = series;
            s.level = level;
            s.clearRe = !hasRe[level];
            s.clearIm = !hasIm[level];
            s.re = hasRe[level - 1] ? PartUse::Add : PartUse::Store;
            s.im = hasIm[level - 1] ? PartUse::Add : PartUse::Store;
            --level;
            hasRe[level] = hasIm[level] = true;
            continue;
        }
        const int n = ElementParamCount(c);
        if (n == 0) continue;
        Step& s = cc.steps[cc.count++];
        s.c = c;
        s.series = series;
        s.k = k;
        s.level = level;
        const int parts = PartsWritten(c);
        if (HasPointLoop(c)) {
            if (parts & 1) s.re = hasRe[level] ? PartUse::Add : PartUse::Store;
            if (parts & 2) s.im = hasIm[level] ? PartUse::Add : PartUse::Store;
            if (parts & 1) hasRe[level] = true;
            if (parts & 2) hasIm[level] = true;
        } else {
            s.re = hasRe[level] ? PartUse::Add : PartUse::ClearFirst;
            s.im = hasIm[level] ? PartUse::Add : PartUse::ClearFirst;
            hasRe[level] = hasIm[level] = true;
        }
        switch (c) {
            case 'Q':
                cc.phaseSteps[cc.phaseCount] = cc.count - 1;
                s.phase = cc.phaseCount++;
                cc.lastPhase = s.phase;
                cc.needLnOmega = true;
                break;
            case 'W':
                if (series) cc.needSqrtInvOmega = true;
                else cc.needSqrtOmega = true;
                break;
            default:
                break;
        }
        k += n;
    }
    cc.clearTopRe = !hasRe[1];
    cc.clearTopIm = !hasIm[1];
}

// The texts are equal, compared inline: a code is a few characters, and the
// library's comparison cost a call and its set-up at every evaluation.
inline bool SameText(const std::string& a, const std::string& b) {
    const size_t n = a.size();
    if (n != b.size()) return false;
    const char* x = a.data();
    const char* y = b.data();
    unsigned differ = 0;
    for (size_t i = 0; i < n; ++i) differ |= static_cast<unsigned char>(x[i] ^ y[i]);
    return differ == 0;
}

const CompiledCode& CompiledFor(const std::string& code) {
    static CompiledCode cache;
    if (!cache.valid || !SameText(cache.code, code)) Compile(code, cache);
    return cache;
}

// Eight doubles in one value, for the parameter values (see ValuesFromLogs),
// and the bits of each.
typedef double Lanes8 __attribute__((vector_size(64)));
typedef std::uint64_t Lanes8Bits __attribute__((vector_size(64)));
template <class D> struct BitsOf { using type = std::uint64_t; };
template <> struct BitsOf<Lanes8> { using type = Lanes8Bits; };

// e^x for the parameter values and for the constant-phase element's
// omega^n = e^(n ln omega), as a polynomial the loops can vectorise (within
// about one unit in the last place of the library function). Valid for
// |x| <= 708; the caller passes every other argument (and NaN) to the library.
// For eight values at once it is the same operations lane by lane.
constexpr double kExpInvLn2 = 1.4426950408889634;
constexpr double kExpShifter = 0x1.8p52;                  // rounds to an integer when added
constexpr double kExpLn2Hi = 6.93147180369123816490e-01;  // 21 trailing zero bits
constexpr double kExpLn2Lo = 1.90821492927058770002e-10;
constexpr double kExpLimit = 708.0;

// Vectors pass by reference: how a vector of eight would pass by value
// depends on the vector units a caller is compiled for.
template <class D>
[[gnu::always_inline]] inline void ExpInRangeTo(const D& x, D& result) {
    // x = k ln 2 + r with |r| <= ln 2 / 2; e^x = 2^k e^r, e^r - 1 - r by its
    // Taylor series to r^13 (the next term is below 1e-17), evaluated in pairs
    // of terms (Estrin's scheme): at the few points of a small spectrum, and
    // for the few parameter values, the length of the chain of dependent
    // operations counts rather than their number.
    const D t = x * kExpInvLn2 + kExpShifter;
    const D k = t - kExpShifter;
    const D r = (x - k * kExpLn2Hi) - k * kExpLn2Lo;
    const D r2 = r * r, r4 = r2 * r2, r8 = r4 * r4;
    const D p01 = 0.5 + r * (1.0 / 6.0);
    const D p23 = 1.0 / 24.0 + r * (1.0 / 120.0);
    const D p45 = 1.0 / 720.0 + r * (1.0 / 5040.0);
    const D p67 = 1.0 / 40320.0 + r * (1.0 / 362880.0);
    const D p89 = 1.0 / 3628800.0 + r * (1.0 / 39916800.0);
    const D pab = 1.0 / 479001600.0 + r * (1.0 / 6227020800.0);
    const D p03 = p01 + r2 * p23;
    const D p47 = p45 + r2 * p67;
    const D p8b = p89 + r2 * pab;
    const D p = (p03 + r4 * p47) + r8 * p8b;
    const D er = 1.0 + (r + r2 * p);
    // The builtin, not std::bit_cast: a function would pass vectors by value.
    using Bits = typename BitsOf<D>::type;
    const Bits scale = (__builtin_bit_cast(Bits, t) + std::uint64_t{1023}) << 52;
    result = er * __builtin_bit_cast(D, scale);
}

inline double ExpInRange(double x) {
    double e;
    ExpInRangeTo(x, e);
    return e;
}

// ---- per-point quantities of the spectrum -----------------------------------
//
// omega = 2 pi f and what is derived from it depend only on the frequencies,
// which stay the same over a whole fit: they are kept and recomputed only when
// the frequency list changes. Indices are points - 1.

// The point loops run over a count rounded up to a whole number of vector
// lanes (the widest the loops are built for), the extra points repeating the
// last one: a loop's leftover points would otherwise take a slow scalar path
// whose cost, at the few points of a small spectrum, rivals the whole rest.
// Only the real points reach the calculated rows and chi-squared.
constexpr int kLanes = 8;
static_assert(MaxPoints % kLanes == 0, "the padded point count must fit the rows");
inline int PaddedCount(int n) { return (n + kLanes - 1) / kLanes * kLanes; }

struct PointTerms {
    const double* omega = nullptr;
    const double* invOmega = nullptr;
    const double* lnOmega = nullptr;
    const double* sqrtOmega = nullptr;
    const double* sqrtInvOmega = nullptr;
    // Every |ln omega| is within the range of ExpInRange, so that n ln omega
    // is too for any constant-phase exponent (|n| <= 1).
    bool lnWithinExp = false;
};

struct SpectrumFrame {
    int n = -1;
    double frequency[MaxPoints];
    double omega[MaxPoints], invOmega[MaxPoints], lnOmega[MaxPoints], sqrtOmega[MaxPoints],
        sqrtInvOmega[MaxPoints];
    bool haveLn = false, haveSqrt = false, haveSqrtInv = false;
    bool lnWithinExp = false;
};

// The rows hold the same bits (as memcmp compares them, without its call and
// its early exits: at every evaluation the rows are the same).
PELLUCOR_POINT_LOOPS
bool SameBits(const double* __restrict a, const double* __restrict b, int n) {
    std::uint64_t differ = 0;
    for (int i = 0; i < n; ++i) differ |= std::bit_cast<std::uint64_t>(a[i]) ^ std::bit_cast<std::uint64_t>(b[i]);
    return differ == 0;
}

PointTerms FrameFor(const SpectrumBlock& sp, int n, const CompiledCode& cc) {
    static SpectrumFrame f;
    const double* freq = sp.Frequency.begin() + 1;
    const size_t bytes = sizeof(double) * static_cast<size_t>(n);
    const int padded = PaddedCount(n);
    if (f.n != n || !SameBits(f.frequency, freq, n)) {
        f.n = n;
        std::memcpy(f.frequency, freq, bytes);
        for (int i = 0; i < n; ++i) {
            f.omega[i] = TwoPi * freq[i];
            f.invOmega[i] = 1.0 / f.omega[i];
        }
        for (int i = n; i < padded; ++i) {
            f.omega[i] = f.omega[n - 1];
            f.invOmega[i] = f.invOmega[n - 1];
        }
        f.haveLn = f.haveSqrt = f.haveSqrtInv = false;
    }
    if (cc.needLnOmega && !f.haveLn) {
        f.lnWithinExp = true;
        for (int i = 0; i < padded; ++i) {
            f.lnOmega[i] = std::log(f.omega[i]);
            if (!(std::fabs(f.lnOmega[i]) <= kExpLimit)) f.lnWithinExp = false;
        }
        f.haveLn = true;
    }
    if (cc.needSqrtOmega && !f.haveSqrt) {
        for (int i = 0; i < padded; ++i) f.sqrtOmega[i] = std::sqrt(f.omega[i]);
        f.haveSqrt = true;
    }
    if (cc.needSqrtInvOmega && !f.haveSqrtInv) {
        for (int i = 0; i < padded; ++i) f.sqrtInvOmega[i] = std::sqrt(f.invOmega[i]);
        f.haveSqrtInv = true;
    }
    return PointTerms{f.omega, f.invOmega, f.lnOmega, f.sqrtOmega, f.sqrtInvOmega, f.lnWithinExp};
}

// ---- element arithmetic -------------------------------------------------------

// ClampMagnitude as a minimum and a maximum, so that the loops over the points
// stay straight-line code: the same values for every input (a NaN becomes
// -1e-32, a zero +1e-32).
inline double ClampLevelSum(double x) {
    double m = std::fabs(x);
    m = m > 1e-32 ? m : 1e-32;  // also takes the place of a NaN
    m = m < 1e32 ? m : 1e32;
    return x >= 0.0 ? m : -m;
}

// Parameter slots a call may compute: all slots of a code, rounded up to
// whole eights (see ValuesFromLogs).
constexpr int kValueLanes = (MaxParams + 7) / 8 * 8;

// The entry ln[k] (k < p) as a scalar load, `pad` past the code's parameters.
// The barrier keeps the compiler from joining the loads into one wide load:
// the simplex has just stored the entries one by one, and a wide load of
// narrow stores waits until they have left the processor's store buffer.
inline double ScalarAt(const double* a, int k, int p, double pad) {
    double x = k < p ? a[k] : pad;
#if defined(__GNUC__) && defined(__x86_64__)
    asm("" : "+x"(x));
#endif
    return x;
}

// ln[k] clamped into [-LnValueLimit, LnValueLimit] (a value that is not a
// number counts as -LnValueLimit), then v[k + 1] := sign[k] e^ln[k], for
// k = 0..p-1, eight at a time in registers; v is written up to a whole number
// of eights (the extra entries are e^0).
PELLUCOR_POINT_LOOPS
void ValuesFromLogs(double* __restrict ln, const double* __restrict sign, double* __restrict v, int p) {
    for (int b = 0; b < p; b += 8) {
        Lanes8 l = {ScalarAt(ln, b, p, 0.0),     ScalarAt(ln, b + 1, p, 0.0), ScalarAt(ln, b + 2, p, 0.0),
                    ScalarAt(ln, b + 3, p, 0.0), ScalarAt(ln, b + 4, p, 0.0), ScalarAt(ln, b + 5, p, 0.0),
                    ScalarAt(ln, b + 6, p, 0.0), ScalarAt(ln, b + 7, p, 0.0)};
        const Lanes8 s = {ScalarAt(sign, b, p, 1.0),     ScalarAt(sign, b + 1, p, 1.0),
                          ScalarAt(sign, b + 2, p, 1.0), ScalarAt(sign, b + 3, p, 1.0),
                          ScalarAt(sign, b + 4, p, 1.0), ScalarAt(sign, b + 5, p, 1.0),
                          ScalarAt(sign, b + 6, p, 1.0), ScalarAt(sign, b + 7, p, 1.0)};
        l = l >= -LnValueLimit ? l : -LnValueLimit;  // also takes the place of a NaN
        l = l <= LnValueLimit ? l : LnValueLimit;
        Lanes8 value;
        ExpInRangeTo(l, value);
        value *= s;
        std::memcpy(v + 1 + b, &value, sizeof value);
        const int last = std::min(8, p - b);
        for (int j = 0; j < last; ++j) ln[b + j] = l[j];
    }
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

// The contribution of an element without a loop of its own in Walk, at one
// point.
void AddElementAtPoint(const Step& s, const double* p, double omega, double wInv, double& re, double& im) {
    const bool series = s.series;
    switch (s.c) {
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
        case 'H': {
            const Complex f = ImpedanceH(series, p[1] * omega, p[2], p[3]);
            AddCapacitiveFactor(series, p[0], f, omega, wInv, re, im);
            break;
        }
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
        default: {
            Complex z;
            switch (s.c) {
                case 'P': z = ImpedanceP(!series, omega, p[0], p[1]); break;
                case 'U': z = ImpedanceU(series, omega, p[0], p[1], p[2], p[3], p[4], p[5]); break;
                case 'M': z = ImpedanceM(series, omega, p[0], p[1], p[2], p[3], p[4], p[5]); break;
                case 'V': z = ImpedanceV(series, omega, p[0], p[1], p[2], p[3], p[4]); break;
                case 'N': z = ImpedanceN(series, omega, p[0], p[1], p[2], p[3], p[4]); break;
                case 'X': z = ImpedanceX(!series, omega, p[0], p[1], p[2], p[3], p[4], p[5]); break;
                case 'Y': z = ImpedanceY(series, omega, p[0], p[1], p[2], p[3], p[4], p[5], p[6]); break;
                case 'S': z = ComplexScale(p[0], ImpedanceS(series, omega, p[1], p[2])); break;
                case 'B': z = ComplexScale(p[0], ImpedanceB(series, omega, p[1], p[2], p[3])); break;
                case 'J': z = ComplexScale(p[0], ImpedanceJ(series, omega, p[1], p[2], p[3])); break;
                case 'I': z = ComplexScale(p[0], ImpedanceI(series, omega, p[1], p[2], p[3])); break;
                default: return;
            }
            re += z.re;
            im += z.im;
            break;
        }
    }
}

// Constant-phase element of one evaluation: the exponent as used and its
// phase factors, which do not depend on the frequency.
struct PhaseTerms {
    double n, cos, sin;
    bool clamped;
};
// A code of at most MaxParams parameters holds at most this many Q elements.
constexpr int MaxPhaseElements = MaxParams / 2;

// ---- the walk -------------------------------------------------------------------
//
// The code's steps are applied to all points at once: each open level keeps
// one running sum per point (an impedance at series levels, an admittance at
// parallel levels), so every step is one short loop over the points. The
// arithmetic per point is the same as walking the code point by point.

struct LevelSums {
    alignas(64) double re[MaxCodeLevels + 1][MaxPoints];
    alignas(64) double im[MaxCodeLevels + 1][MaxPoints];
};

LevelSums& Sums() {
    static LevelSums s;
    return s;
}

inline void Clear(double* __restrict x, int n) {
    for (int i = 0; i < n; ++i) x[i] = 0.0;
}

// x[i] (+)= c for every point.
inline void Put(PartUse use, double* __restrict x, double c, int n) {
    if (use == PartUse::Store)
        for (int i = 0; i < n; ++i) x[i] = c;
    else
        for (int i = 0; i < n; ++i) x[i] += c;
}

// x[i] (+)= c * y[i] for every point.
inline void PutScaled(PartUse use, double* __restrict x, double c, const double* __restrict y, int n) {
    if (use == PartUse::Store)
        for (int i = 0; i < n; ++i) x[i] = c * y[i];
    else
        for (int i = 0; i < n; ++i) x[i] += c * y[i];
}

struct PartPair {
    double re, im;
};

// re[i], im[i] (+)= value(i) for every point, each part stored or added as
// the step says.
template <class F>
inline void PutPair(const Step& s, double* __restrict re, double* __restrict im, int n, F value) {
    const bool setRe = s.re == PartUse::Store, setIm = s.im == PartUse::Store;
    if (setRe && setIm) {
        for (int i = 0; i < n; ++i) {
            const PartPair z = value(i);
            re[i] = z.re;
            im[i] = z.im;
        }
    } else if (setRe) {
        for (int i = 0; i < n; ++i) {
            const PartPair z = value(i);
            re[i] = z.re;
            im[i] += z.im;
        }
    } else if (setIm) {
        for (int i = 0; i < n; ++i) {
            const PartPair z = value(i);
            re[i] += z.re;
            im[i] = z.im;
        }
    } else {
        for (int i = 0; i < n; ++i) {
            const PartPair z = value(i);
            re[i] += z.re;
            im[i] += z.im;
        }
    }
}

// Closes a level: its sum (a, b), guarded, is inverted and added to the level
// below; Store sets the level below instead (nothing was added to it yet).
template <PartUse UseRe, PartUse UseIm, bool Guard>
inline void InvertInto(const double* __restrict re, const double* __restrict im, double* __restrict lre,
                       double* __restrict lim, int n) {
    for (int i = 0; i < n; ++i) {
        const double a = Guard ? ClampLevelSum(re[i]) : re[i];
        const double b = Guard ? ClampLevelSum(im[i]) : im[i];
        const double d = 1.0 / (a * a + b * b);
        if constexpr (UseRe == PartUse::Store) lre[i] = a * d;
        else lre[i] += a * d;
        if constexpr (UseIm == PartUse::Store) lim[i] = -(b * d);
        else lim[i] -= b * d;
    }
}

// Every part of re[0..n-1] and im[0..n-1] has a magnitude within
// [1e-32, 1e32] (false for a NaN), so that ClampLevelSum leaves it as it is.
constexpr int kGuardTestPoints = 32;
inline bool WithinGuard(const double* __restrict re, const double* __restrict im, int n) {
    long outside = 0;
    for (int i = 0; i < n; ++i) {
        const double a = std::fabs(re[i]), b = std::fabs(im[i]);
        outside |= (a >= 1e-32 && a <= 1e32 && b >= 1e-32 && b <= 1e32) ? 0 : 1;
    }
    return outside == 0;
}

template <PartUse UseRe, PartUse UseIm>
inline void CloseLevel(const double* __restrict re, const double* __restrict im, double* __restrict lre,
                       double* __restrict lim, int n) {
    // The guard leaves sums of magnitudes within [1e-32, 1e32] as they are,
    // and nearly every level's sums are: testing them all first costs less
    // than guarding every point, and gives the same values.
    // At a few points the test costs more than it saves.
    if (n >= kGuardTestPoints && WithinGuard(re, im, n)) InvertInto<UseRe, UseIm, false>(re, im, lre, lim, n);
    else InvertInto<UseRe, UseIm, true>(re, im, lre, lim, n);
}

// Fills re/im of level 1 with the true impedance at points 0..n-1.
// v[1..P] are the values as evaluated, q the constant-phase terms.
PELLUCOR_POINT_LOOPS
// `n` is the padded count of points (see PaddedCount), `real` the points
// that count; the others repeat point real - 1.
void Walk(const CompiledCode& cc, const double* v, const PhaseTerms* q, const PointTerms& t, int padded, int real,
          LevelSums& ls) {
    // A whole number of lanes, and the compiler knows it: the loops need no
    // leftover code.
    const int n = padded & ~(kLanes - 1);
    const double* __restrict omega = t.omega;
    const double* __restrict invOmega = t.invOmega;
    for (int si = 0; si < cc.count; ++si) {
        const Step& s = cc.steps[si];
        double* __restrict re = ls.re[s.level];
        double* __restrict im = ls.im[s.level];
        const double* p = v + s.k;  // p[0] is the first parameter
        switch (s.c) {
            case ')': {
                if (s.clearRe) Clear(re, n);
                if (s.clearIm) Clear(im, n);
                double* lre = ls.re[s.level - 1];
                double* lim = ls.im[s.level - 1];
                const bool setRe = s.re == PartUse::Store, setIm = s.im == PartUse::Store;
                if (setRe && setIm) CloseLevel<PartUse::Store, PartUse::Store>(re, im, lre, lim, n);
                else if (setRe) CloseLevel<PartUse::Store, PartUse::Add>(re, im, lre, lim, n);
                else if (setIm) CloseLevel<PartUse::Add, PartUse::Store>(re, im, lre, lim, n);
                else CloseLevel<PartUse::Add, PartUse::Add>(re, im, lre, lim, n);
                break;
            }
            case 'R':
                Put(s.re, re, p[0], n);
                break;
            case 'C':
            case 'L':
                // Series C and parallel L: -p/w; parallel C and series L: +p w.
                if ((s.c == 'C') == s.series) {
                    const double p0 = p[0];
                    if (s.im == PartUse::Store)
                        for (int i = 0; i < n; ++i) im[i] = -(p0 * invOmega[i]);
                    else
                        for (int i = 0; i < n; ++i) im[i] -= p0 * invOmega[i];
                } else {
                    PutScaled(s.im, im, p[0], omega, n);
                }
                break;
            case 'W': {
                const double p0 = p[0];
                const double* __restrict root = s.series ? t.sqrtInvOmega : t.sqrtOmega;
                const double sign = s.series ? -1.0 : 1.0;
                PutPair(s, re, im, n, [=](int i) {
                    const double w = p0 * root[i] * kRootHalf;
                    return PartPair{w, sign * w};
                });
                break;
            }
            case 'Q': {
                // omega^n as e^(n ln omega), ln omega kept per spectrum.
                const double* __restrict lnOmega = t.lnOmega;
                const PhaseTerms& ph = q[s.phase];
                const double p0 = p[0], e = ph.n, c = ph.cos, sn = ph.sin;
                double power[MaxPoints];
                if (t.lnWithinExp) {
                    for (int i = 0; i < n; ++i) power[i] = ExpInRange(e * lnOmega[i]);
                } else {
                    // Frequencies beyond any measurement (or not a number):
                    // the library's exponential where it is needed.
                    for (int i = 0; i < n; ++i) {
                        const double x = e * lnOmega[i];
                        power[i] = std::fabs(x) <= kExpLimit ? ExpInRange(x) : std::exp(x);
                    }
                }
                const double* pw = power;
                PutPair(s, re, im, n, [=](int i) {
                    const double m = pw[i] * p0;
                    return PartPair{m * c, m * sn};
                });
                break;
            }
            default:
                if (s.re == PartUse::ClearFirst) Clear(re, n);
                if (s.im == PartUse::ClearFirst) Clear(im, n);
                for (int i = 0; i < real; ++i) AddElementAtPoint(s, p, omega[i], invOmega[i], re[i], im[i]);
                if (n > real) {
                    // The repeated points get the last point's contribution,
                    // computed once more rather than once per extra point.
                    double cre = 0.0, cim = 0.0;
                    AddElementAtPoint(s, p, omega[real - 1], invOmega[real - 1], cre, cim);
                    for (int i = real; i < n; ++i) {
                        re[i] += cre;
                        im[i] += cim;
                    }
                }
                break;
        }
    }
    if (cc.clearTopRe) Clear(ls.re[1], n);
    if (cc.clearTopIm) Clear(ls.im[1], n);
}

// The calculated rows (Z'' with reversed sign) from the walk's sums, and in
// fit mode the squared residual of every point, divided by the squared
// calculated modulus with modulus weighting: (dr^2 + di^2) / m^2 is
// (dr/m)^2 + (di/m)^2 with one division in place of a root and two
// divisions. Where m^2 leaves the range in which the two agree, the points
// are computed the long way.
PELLUCOR_POINT_LOOPS
void CalculatedRows(const double* __restrict zre, const double* __restrict zim, double* __restrict calcRe,
                    double* __restrict calcIm, const double* __restrict measRe, const double* __restrict measIm,
                    int weighting, int n, double* __restrict terms) {
    if (!terms) {
        for (int i = 0; i < n; ++i) {
            calcRe[i] = zre[i];
            calcIm[i] = -zim[i];
        }
        return;
    }
    if (weighting != 1) {
        for (int i = 0; i < n; ++i) {
            const double cr = zre[i], ci = -zim[i];
            calcRe[i] = cr;
            calcIm[i] = ci;
            const double dr = cr - measRe[i];
            const double di = ci - measIm[i];
            terms[i] = dr * dr + di * di;
        }
        return;
    }
    long outside = 0;
    for (int i = 0; i < n; ++i) {
        const double cr = zre[i], ci = -zim[i];
        calcRe[i] = cr;
        calcIm[i] = ci;
        const double m2 = cr * cr + ci * ci;
        const double dr = cr - measRe[i];
        const double di = ci - measIm[i];
        const double d2 = dr * dr + di * di;
        outside |= (m2 >= 1e-290 && m2 <= 1e290 && d2 <= 1e290) ? 0 : 1;
        terms[i] = d2 / m2;
    }
    if (!outside) return;
    for (int i = 0; i < n; ++i) {
        const double m = std::sqrt(calcRe[i] * calcRe[i] + calcIm[i] * calcIm[i]);
        const double dr = (calcRe[i] - measRe[i]) / m;
        const double di = (calcIm[i] - measIm[i]) / m;
        terms[i] = dr * dr + di * di;
    }
}

// Sum of terms[0..n-1] in eight interleaved partial sums, combined pairwise:
// the same total as adding them in point order to within the last bits, but
// without a chain of n dependent additions. The order is fixed, so every
// variant of the loops gives the same sum.
constexpr int kPartialSums = 8;

// `n` is a multiple of kPartialSums.
double SumOfTerms(const double* terms, int n) {
    double part[kPartialSums] = {};
    for (int i = 0; i < n; i += kPartialSums)
        for (int j = 0; j < kPartialSums; ++j) part[j] += terms[i + j];
    return ((part[0] + part[1]) + (part[2] + part[3])) + ((part[4] + part[5]) + (part[6] + part[7]));
}

// cos(e pi/2) and sin(e pi/2) for |e| <= 1, within an ulp or two of the
// library's functions: one short polynomial pair, no call, where the library
// spent more time than everything else an evaluation does before its first
// point. Near a quarter turn the cosine is the sine of the rest of the turn,
// so it keeps its relative accuracy. A NaN gives NaNs.
void QuarterTurnCosSin(double e, double& c, double& s) {
    const double a = std::fabs(e);
    const bool rest = a > 0.5;
    const double t = (rest ? 1.0 - a : a) * kHalfPi;  // within [0, pi/4]
    const double u = t * t, u2 = u * u, u4 = u2 * u2;
    // Taylor series to t^17 and t^16 (the next terms are below 1e-18 of the
    // sums at pi/4), in pairs of terms for a short chain of operations.
    const double s01 = 1.0 - u * (1.0 / 6.0);
    const double s23 = 1.0 / 120.0 - u * (1.0 / 5040.0);
    const double s45 = 1.0 / 362880.0 - u * (1.0 / 39916800.0);
    const double s67 = 1.0 / 6227020800.0 - u * (1.0 / 1307674368000.0);
    const double s8 = 1.0 / 355687428096000.0;
    const double sinT = t * ((s01 + u2 * s23) + u4 * ((s45 + u2 * s67) + u4 * s8));
    const double c01 = 1.0 - u * 0.5;
    const double c23 = 1.0 / 24.0 - u * (1.0 / 720.0);
    const double c45 = 1.0 / 40320.0 - u * (1.0 / 3628800.0);
    const double c67 = 1.0 / 479001600.0 - u * (1.0 / 87178291200.0);
    const double c8 = 1.0 / 20922789888000.0;
    const double cosT = (c01 + u2 * c23) + u4 * ((c45 + u2 * c67) + u4 * c8);
    c = rest ? sinT : cosT;
    const double sa = rest ? cosT : sinT;
    s = e < 0.0 ? -sa : sa;
}

// The constant-phase terms of the code's Q elements for the values v.
void PhaseTermsFor(const CompiledCode& cc, const double* v, PhaseTerms* q) {
    for (int j = 0; j < cc.phaseCount; ++j) {
        const Step& s = cc.steps[cc.phaseSteps[j]];
        double e = v[s.k + 1];
        if (s.series) e = -e;
        PhaseTerms& ph = q[s.phase];
        ph.clamped = std::fabs(e) > 1.0;
        if (ph.clamped) e = e > 0.0 ? 0.99 : -0.99;
        ph.n = e;
        QuarterTurnCosSin(e, ph.cos, ph.sin);
    }
}


// What ApplyCodeParse and ApplyReciprocalFlags set, from the compiled code's
// copies of the layout (slot for slot the same values).
void ApplyCompiledState(const CompiledCode& cc, ProgramState& st) {
    const CircuitCodeLayout& l = cc.layout;
    // Stored only when they differ: in a fit they never do, and rows stored
    // afresh at every call are read back at once (the parameter window
    // compares the kinds) through a slow path of the processor.
    if (!std::equal(l.kind, l.kind + MaxParams + 1, st.Params.Kind.begin()))
        std::copy(l.kind, l.kind + MaxParams + 1, st.Params.Kind.begin());
    st.Fit.ChiSqDivisor = st.Spectrum.PointCount - (l.paramCount + 1);
    st.Fit.MaxEvaluations = l.maxEvaluations;
    st.Params.ParamCount = l.paramCount;
    if (!std::equal(cc.reciprocal + 1, cc.reciprocal + MaxParams + 1, st.Params.Reciprocal.begin()))
        std::copy(cc.reciprocal + 1, cc.reciprocal + MaxParams + 1, st.Params.Reciprocal.begin());
    st.Run.DistributedElement = l.distributed;
}

}  // namespace

bool EvaluateCircuit(ParamArray<double>& ln, double& chiSq) {
    ProgramState& st = State();
    chiSq = 0.0;
    const CompiledCode& cc = CompiledFor(st.Circuit.Code);
    // Nothing of a code beyond the limits is stored in the parameter slots;
    // it has no impedance.
    if (!cc.layout.withinLimits) {
        ApplyCodeParse(cc.layout);
        return false;
    }
    const int p = cc.layout.paramCount;
    ApplyCompiledState(cc, st);
    Windows().Par->ShowParameterLabels(p);

    // Only entries 1..p are read (a zero-filled array cost a block store at
    // every call).
    double v[1 + kValueLanes];
    v[0] = 0.0;
    ValuesFromLogs(ln.begin(), st.Params.Sign.begin(), v, p);
    // The frequency rows do not depend on the values: asked for here, they
    // are checked while the values' long chain of operations is under way.
    SpectrumBlock& sp = st.Spectrum;
    const int n = std::max(0, std::min(sp.PointCount, MaxPoints - 1));
    const PointTerms frame = FrameFor(sp, n, cc);
    // The scale vector takes the values before the reciprocals, read back
    // from the block of values just stored, not from single entries stored
    // since (a wide load of narrow stores waits for them to leave the store
    // buffer).
    const int scaled = st.Fit.ScaleVector.empty() ? 0 : std::min(p, st.Fit.ScaleVector.hi());
    for (int i = 1; i <= scaled; ++i) st.Fit.ScaleVector[i] = v[i];
    for (int j = 0; j < cc.reciprocalCount; ++j) {
        const int k = cc.reciprocalParams[j];
        v[k] = 1.0 / v[k];
        if (k <= scaled) st.Fit.ScaleVector[k] = v[k];
    }

    PhaseTerms q[MaxPhaseElements];
    PhaseTermsFor(cc, v, q);

    const ProgramOptions& opt = st.Options;
    LevelSums& ls = Sums();
    Walk(cc, v, q, frame, PaddedCount(n), n, ls);
    double* calcRe = sp.ZRealCalc.begin() + 1;
    double* calcIm = sp.ZImagCalc.begin() + 1;

    if (!st.Run.SimulateMode) {
        double terms[MaxPoints];
        CalculatedRows(ls.re[1], ls.im[1], calcRe, calcIm, sp.ZReal.begin() + 1, sp.ZImag.begin() + 1,
                       opt.Weighting, n, terms);
        // Exponent parameters above 1 are penalised at every point.
        double penalties[MaxParams];
        int penaltyCount = 0;
        for (int j = 0; j < cc.exponentCount; ++j) {
            const int k = cc.exponentParams[j];
            if (ln[k] > 0.0) {
                const double e = std::exp(ln[k]);
                penalties[penaltyCount++] = kPenalty * e * e;
            }
        }
        double sum = 0.0;
        if (penaltyCount == 0) {
            // Zeros up to a whole number of partial sums: every term meets the
            // same partial sum as without them, and adding a zero to a sum of
            // non-negative terms leaves it as it is, so the total keeps its
            // bits; the leftover terms need no loop of their own.
            const int whole = (n + kPartialSums - 1) / kPartialSums * kPartialSums;
            for (int i = n; i < whole; ++i) terms[i] = 0.0;
            sum = SumOfTerms(terms, whole);
        } else {
            // Penalties are added point by point, after each point's residuals.
            for (int i = 0; i < n; ++i) {
                sum += terms[i];
                for (int j = 0; j < penaltyCount; ++j) sum += penalties[j];
            }
        }
        chiSq = sum;
    } else {
        CalculatedRows(ls.re[1], ls.im[1], calcRe, calcIm, nullptr, nullptr, 0, n, nullptr);
        double noiseLevel = 0.0;
        if (opt.NoiseType == 0) noiseLevel = opt.NoiseLevelUnity;
        else if (opt.NoiseType == 1) noiseLevel = opt.NoiseLevelModulus;
        int seed = NoiseSeed;
        for (int i = 1; i <= n; ++i) {
            if (opt.NoiseType == -1) {
                sp.ResidualSq[i] = 0.0;
                continue;
            }
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
    // The last constant-phase element of the code decides.
    if (cc.lastPhase >= 0 && n >= 1) st.Fit.CpeExponentClamped = q[cc.lastPhase].clamped;
    st.Params.ParamCount = p;
    return true;
}

Complex CircuitImpedance(const std::string& code, const ParamArray<double>& values, double omega) {
    const CompiledCode& cc = CompiledFor(code);
    if (!cc.layout.withinLimits) return Complex{};
    ApplyCodeParse(cc.layout);
    double v[MaxParams + 1] = {};
    for (int i = 1; i <= cc.layout.paramCount; ++i) v[i] = values[i];
    ApplyReciprocalValues(cc.layout, v);
    PhaseTerms q[MaxPhaseElements];
    PhaseTermsFor(cc, v, q);
    // The point repeated over one vector width (see PaddedCount).
    double w[kLanes], invW[kLanes], lnW[kLanes], sqrtW[kLanes], sqrtInvW[kLanes];
    for (int i = 0; i < kLanes; ++i) {
        w[i] = omega;
        invW[i] = 1.0 / omega;
        lnW[i] = std::log(omega);
        sqrtW[i] = std::sqrt(omega);
        sqrtInvW[i] = std::sqrt(invW[i]);
    }
    const PointTerms t{w, invW, lnW, sqrtW, sqrtInvW, std::fabs(lnW[0]) <= kExpLimit};
    LevelSums& ls = Sums();
    Walk(cc, v, q, t, kLanes, 1, ls);
    return Complex{ls.re[1][0], ls.im[1][0]};
}

}  // namespace pellucor
