#include "kinetics/algebra/ElementsFromTransfer.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace pellucor {

namespace {

// pi as the trigonometric cubic solution has always used it; the roots are
// polished afterwards (see PolishRoots).
constexpr double kPi = 3.141592;
constexpr double kTwoPi = 6.283184;
constexpr double kFourPi = 12.566368;
// Below this |R| the trigonometric solution takes its limiting angle.
constexpr double kTinyR = 1e-32;

// Newton's method for the first pole of four: the relative step that counts
// as converged, the number of steps after which a result is accepted as it
// stands, and the hard limit for slow runs (a cluster of poles far from s = 0
// approaches at a quarter of the distance per step, so 15 steps can stop far
// short of the pole and the deflated cubic would then be wrong).
constexpr double kNewtonTolerance = 1e-12;
constexpr int kNewtonSteps = 15;
constexpr int kNewtonHardLimit = 200;

// Poles closer than this, relative to their size, give residues that are
// differences of huge numbers: treated as coincident. A double root of the
// cubic comes out split by rounding (about 1e-8 relative after polishing, up
// to 1e-6 where polishing is refused), so for three and four species the
// limit lies above that.
constexpr double kPoleSeparation = 1e-9;
constexpr double kCubicPoleSeparation = 1e-5;

bool Coincide(int n, double p, double q) {
    const double limit = n <= 2 ? kPoleSeparation : kCubicPoleSeparation;
    return std::fabs(p - q) <= limit * std::max(std::fabs(p), std::fabs(q));
}

// Newton's method on the quartic denominator from x = 0; false when it finds
// no real pole (zero slope, or no settling within the hard limit).
bool NewtonPole(const TransferCoefficients& a, double& pole) {
    if (a[5] == 0.0) {
        pole = 0.0;  // D(0) = 0: the start is a pole
        return true;
    }
    double x = 0.0;
    double dx = a[5];
    for (int step = 1; step <= kNewtonHardLimit; ++step) {
        const double dp = ((4.0 * x + 3.0 * a[8]) * x + 2.0 * a[7]) * x + a[6];
        if (dp == 0.0 || !std::isfinite(dp)) return false;
        const double delta = -dx / dp;
        x += delta;
        if (!std::isfinite(x)) return false;
        const double dnext = (((x + a[8]) * x + a[7]) * x + a[6]) * x + a[5];
        const double relStep = std::fabs(delta) <= kNewtonTolerance * std::fabs(x) ? 0.0
                               : x == 0.0                                           ? HUGE_VAL
                                                                                    : std::fabs(delta / x);
        // Settled: the step is below the tolerance, or close to it while the
        // residual no longer falls (D evaluated near a pole is rounding noise,
        // which can keep the relative step above 1e-12 for ever).
        if (relStep == 0.0 || (relStep <= 1e-6 && !(std::fabs(dnext) < std::fabs(dx)))) {
            pole = x;
            return true;
        }
        if (step == kNewtonSteps && relStep <= 1e-6) {
            // Close enough for the element values: keep the value they have
            // always had after 15 steps.
            pole = x;
            return true;
        }
        dx = dnext;
    }
    return false;
}

double Numerator(int n, const TransferCoefficients& a, double p) {
    switch (n) {
        case 1: return a[1];
        case 2: return a[1] + a[2] * p;
        case 3: return a[1] + a[2] * p + a[3] * p * p;
        default: return a[1] + a[2] * p + a[3] * p * p + a[4] * p * p * p;
    }
}

KineticStatus CubicPoles(int roots) {
    if (roots == 3) return KineticStatus::Ok;
    return roots == 1 ? KineticStatus::ComplexPoles : KineticStatus::NotFinite;
}

void ZeroPairs(int n, BranchElements& e) {
    for (int i = 1; i <= 2 * n; ++i) e[i] = 0.0;
}

// Newton steps on x^3 + a x^2 + b x + c from x, at most eight; a step that
// would not reduce the residual ends them with the value found.
double NewtonOnCubic(double a, double b, double c, double x) {
    auto f = [&](double t) { return ((t + a) * t + b) * t + c; };
    double fx = f(x);
    for (int step = 0; step < 8 && fx != 0.0; ++step) {
        const double slope = (3.0 * x + 2.0 * a) * x + b;
        if (slope == 0.0) break;
        const double next = x - fx / slope;
        const double fn = f(next);
        if (!std::isfinite(next) || !(std::fabs(fn) < std::fabs(fx))) break;
        const bool settled = std::fabs(next - x) <= 1e-15 * std::fabs(next);
        x = next;
        fx = fn;
        if (settled) break;
    }
    return x;
}

// The trigonometric roots carry the error of kPi, about 1e-6 of the largest
// root: harmless for roots of one size, but a root a thousand times smaller
// than the largest comes out wrong in its first digits (poles of a mechanism
// spread over decades lost their slow relaxation). A few Newton steps on the
// cubic itself settle each root; a step that would not reduce the residual,
// or polishing that would merge or reorder the roots, keeps the values found.
void PolishRoots(double a, double b, double c, double r[3]) {
    double out[3];
    for (int i = 0; i < 3; ++i) out[i] = NewtonOnCubic(a, b, c, r[i]);
    const bool distinctBefore = r[0] < r[1] && r[1] < r[2];
    const bool orderedAfter = distinctBefore ? (out[0] < out[1] && out[1] < out[2])
                                             : (out[0] <= out[1] && out[1] <= out[2]);
    if (!orderedAfter) return;
    for (int i = 0; i < 3; ++i) r[i] = out[i];
}

// The largest root of ascending r, settled by Newton steps: the
// trigonometric solution gives it best (its error is about 1e-6 of itself).
double SettledLargestRoot(double a, double b, double c, const double r[3]) {
    return NewtonOnCubic(a, b, c, std::fabs(r[0]) >= std::fabs(r[2]) ? r[0] : r[2]);
}

// The real pair with sum `sum` and product `product`, from the quadratic in
// the form without cancellation; false when q is 0 or the second root is not
// finite. `disc` is sum^2 - 4 product, not negative.
bool PairFromSumAndProduct(double sum, double product, double disc, double& lo, double& hi) {
    const double q = 0.5 * (sum + std::copysign(std::sqrt(disc), sum));
    if (q == 0.0) return false;
    const double other = product / q;
    if (!std::isfinite(other)) return false;
    lo = std::min(q, other);
    hi = std::max(q, other);
    return true;
}

// The two smaller roots may be off by the largest root's error, which is all
// of a root many decades smaller, and Newton's method cannot recover one
// that far off when the slope between two roots is flat. So the largest root
// `big` is settled first and the others follow from it: their sum is
// -a - big and their product -c/big. r is ascending and is kept as it was
// when the quadratic has no real pair (a near-double root met through
// rounding).
void SplitOffLargestRoot(double a, double c, double big, double r[3]) {
    if (big == 0.0) return;
    const double sum = -a - big, product = -c / big;
    const double disc = sum * sum - 4.0 * product;
    if (!(disc >= 0.0) || !std::isfinite(disc)) return;
    double lo = 0.0, hi = 0.0;
    if (!PairFromSumAndProduct(sum, product, disc, lo, hi)) return;
    double out[3] = {big, lo, hi};
    std::sort(out, out + 3);
    for (int i = 0; i < 3; ++i) r[i] = out[i];
}

// Two roots close together beside a third one many decades larger make Q^3
// and R^2 agree in nearly all their digits: their difference, whose sign
// tells three real roots from one, is then rounding noise, and a pair of
// distinct real poles came out as one root ("complex poles"), or a complex
// pair as two made-up real roots. The far root itself is found well either
// way; dividing it out leaves the quadratic of the near pair, whose
// discriminant is formed without that loss.
bool DiscriminantUncertain(double Q, double R, double delta) {
    return std::fabs(delta) <= 1e-9 * std::max(std::fabs(Q * Q * Q), R * R);
}

enum class Pair { Unclear, Real, Complex };

// The two roots left when the root x of x^3 + a x^2 + b x + c is divided out:
// their sum is -a - x and their product -c/x (b when x = 0). Unclear when the
// discriminant of that quadratic is too small to trust its sign.
Pair RemainingPair(double a, double b, double c, double x, double& lo, double& hi) {
    const double sum = -a - x;
    const double product = x != 0.0 ? -c / x : b;
    const double disc = sum * sum - 4.0 * product;
    const double scale = sum * sum + 4.0 * std::fabs(product);
    // rounding of the sum (of -a and x) and of the product, carried into disc
    const double noise = 64.0 * DBL_EPSILON * (std::fabs(sum) * (std::fabs(a) + std::fabs(x)) + std::fabs(product));
    if (!std::isfinite(disc) || !std::isfinite(scale) || !(std::fabs(disc) > std::max(1e-6 * scale, noise)))
        return Pair::Unclear;
    if (disc < 0.0) return Pair::Complex;
    return PairFromSumAndProduct(sum, product, disc, lo, hi) ? Pair::Real : Pair::Unclear;
}

// Three real roots x, lo, hi in ascending order, settled by Newton steps.
int ThreeRoots(double a, double b, double c, double x, double lo, double hi, double& root1, double& root2,
               double& root3) {
    double r[3] = {x, lo, hi};
    std::sort(r, r + 3);
    PolishRoots(a, b, c, r);
    root1 = r[0];
    root2 = r[1];
    root3 = r[2];
    return 3;
}

// With the far root x divided out, the pair left decides: 3 (x and the
// pair, settled), or 1 with `single` as the real root; 0 when the pair's
// discriminant is too small to tell either.
int DecideByRemainingPair(double a, double b, double c, double x, double single, double& root1, double& root2,
                          double& root3) {
    double lo = 0.0, hi = 0.0;
    switch (RemainingPair(a, b, c, x, lo, hi)) {
        case Pair::Real: return ThreeRoots(a, b, c, x, lo, hi, root1, root2, root3);
        case Pair::Complex:
            root1 = root2 = root3 = single;
            return 1;
        case Pair::Unclear: break;
    }
    return 0;
}

}  // namespace

KineticStatus ElementsFromTransferFunction(CircuitType type, int n, const TransferCoefficients& a,
                                           BranchElements& e) {
    if (n < 1 || n > 4) return KineticStatus::BadOrder;
    for (int i = 1; i <= n; ++i)
        if (!std::isfinite(a[i]) || !std::isfinite(a[4 + i])) {
            ZeroPairs(n, e);
            return KineticStatus::NotFinite;
        }

    double p[4] = {};
    KineticStatus poles = KineticStatus::Ok;
    switch (n) {
        case 1:
            p[0] = -a[5];
            break;
        case 2: {
            const double disc = a[6] * a[6] - 4.0 * a[5];
            if (disc < 0.0) {
                // Complex pair, unless its imaginary part is within the
                // coincidence limit of a double pole.
                poles = std::sqrt(-disc) <= kPoleSeparation * std::fabs(a[6]) ? KineticStatus::RepeatedPoles
                                                                              : KineticStatus::ComplexPoles;
                break;
            }
            p[0] = (-a[6] + std::sqrt(disc)) / 2.0;  // pair 1: the larger pole
            p[1] = (-a[6] - std::sqrt(disc)) / 2.0;
            break;
        }
        case 3:
            poles = CubicPoles(CubicRoots(a[7], a[6], a[5], p[0], p[1], p[2]));
            break;
        default: {
            double x4 = 0.0;
            if (!NewtonPole(a, x4)) {
                poles = KineticStatus::NoConvergence;
                break;
            }
            // Deflate D(x) = (x - x4)(x^3 + b2 x^2 + b1 x + b0).
            const double b2 = a[8] + x4;
            const double b1 = b2 * x4 + a[7];
            const double b0 = x4 != 0.0 ? -a[5] / x4 : a[6];
            poles = CubicPoles(CubicRoots(b2, b1, b0, p[0], p[1], p[2]));
            p[3] = x4;
        }
    }
    if (poles == KineticStatus::Ok)
        for (int k = 0; k < n && poles == KineticStatus::Ok; ++k)
            for (int j = k + 1; j < n; ++j)
                if (Coincide(n, p[k], p[j])) {
                    poles = KineticStatus::RepeatedPoles;
                    break;
                }
    if (poles != KineticStatus::Ok) {
        ZeroPairs(n, e);
        return poles;
    }

    KineticStatus status = KineticStatus::Ok;
    for (int k = 0; k < n; ++k) {
        double prod = 1.0;
        for (int j = 0; j < n; ++j)
            if (j != k) prod *= p[k] - p[j];
        const double r = prod != 0.0 ? Numerator(n, a, p[k]) / prod : HUGE_VAL;  // prod: underflow only
        double first = 0.0, second = 0.0;
        KineticStatus branch = KineticStatus::Ok;
        if (!std::isfinite(r))
            branch = KineticStatus::NotFinite;
        else if (r == 0.0)
            branch = KineticStatus::ZeroResidue;
        else if (type == CircuitType::CRBased) {
            if (p[k] == 0.0)
                branch = KineticStatus::ZeroPole;
            else if (p[k] * p[k] == 0.0)
                branch = KineticStatus::NotFinite;  // a pole too small to square
            else {
                first = -r / (p[k] * p[k]);
                second = p[k] / r;
            }
        } else {
            first = 1.0 / r;
            second = -p[k] / r;
        }
        if (branch == KineticStatus::Ok && (!std::isfinite(first) || !std::isfinite(second)))
            branch = KineticStatus::NotFinite;
        if (branch != KineticStatus::Ok) {
            first = second = 0.0;
            if (status == KineticStatus::Ok) status = branch;
        }
        e[2 * k + 1] = first;
        e[2 * k + 2] = second;
    }
    return status;
}

int CubicRoots(double a, double b, double c, double& root1, double& root2, double& root3) {
    const double Q = (a * a - 3.0 * b) / 9.0;
    const double R = (2.0 * a * a * a - 9.0 * a * b + 27.0 * c) / 54.0;
    const double delta = Q * Q * Q - R * R;
    if (!std::isfinite(delta)) {
        root1 = root2 = root3 = 0.0;
        return 0;
    }
    const double sigma = R > 0.0 ? 1.0 : -1.0;
    const double shift = a / 3.0;
    if (delta > 0.0) {
        const double theta = std::fabs(R) > kTinyR ? std::atan(-std::sqrt(delta) / R) : -sigma * kPi / 2.0;
        const double v = -2.0 * sigma * std::sqrt(Q);
        root1 = v * std::cos(theta / 3.0) - shift;
        root2 = v * std::cos((theta + kTwoPi) / 3.0) - shift;
        root3 = v * std::cos((theta + kFourPi) / 3.0) - shift;
        if (root1 > root2) std::swap(root1, root2);
        if (root1 > root3) std::swap(root1, root3);
        if (root2 > root3) std::swap(root2, root3);
        double r[3] = {root1, root2, root3};
        const double big = SettledLargestRoot(a, b, c, r);
        if (DiscriminantUncertain(Q, R, delta))
            if (const int count = DecideByRemainingPair(a, b, c, big, big, root1, root2, root3)) return count;
        SplitOffLargestRoot(a, c, big, r);
        PolishRoots(a, b, c, r);
        root1 = r[0];
        root2 = r[1];
        root3 = r[2];
        return 3;
    }
    const double A = std::cbrt(std::fabs(R) + std::sqrt(-delta));
    if (A == 0.0) {
        // Q = R = 0: a triple root, where Cardano's Q/A would be 0/0.
        root1 = root2 = root3 = -shift;
        return 3;
    }
    const double single = -sigma * (A + Q / A) - shift;
    if (DiscriminantUncertain(Q, R, delta)) {
        const double x = NewtonOnCubic(a, b, c, single);
        if (const int count = DecideByRemainingPair(a, b, c, x, single, root1, root2, root3)) return count;
    }
    if (delta == 0.0) {
        // A double root beside the single one (Q^3 = R^2, so Q/A = A).
        const double twice = sigma * A - shift;
        root1 = std::min(single, twice);
        root2 = twice;
        root3 = std::max(single, twice);
        return 3;
    }
    root1 = root2 = root3 = single;
    return 1;
}

}  // namespace pellucor
