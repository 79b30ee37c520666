#include "core/Distributed.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "core/ProgramState.h"

namespace pellucor {
namespace {

constexpr double kHalfPi = 1.5707963267948966;

bool& PreciseRoots() {
    static bool precise = false;
    return precise;
}

Complex Root(Complex z) { return PreciseRoots() ? ComplexSqrtPrecise(z) : ComplexSqrt(z); }

Complex Re(double x) { return Complex{x, 0.0}; }
Complex J(double y) { return Complex{0.0, y}; }
Complex Mul(Complex a, Complex b) { return ComplexMul(a, b); }
Complex Div(Complex a, Complex b) { return ComplexDiv(a, b); }
Complex Add(Complex a, Complex b) { return ComplexAdd(a, b); }
Complex Scale(double s, Complex z) { return ComplexScale(s, z); }

// The value the level needs: the impedance itself or its reciprocal.
Complex OrRecip(bool keep, Complex z) { return keep ? z : ComplexRecip(z); }

// coth(z)/z and tanh(z)/z, the finite-length diffusion shapes.
Complex CothOver(Complex z) { return Div(ComplexCoth(z), z); }
Complex TanhOver(Complex z) { return Div(ComplexTanh(z), z); }

// sqrt(j * omega / w), the reduced diffusion argument.
Complex SqrtJ(double omega, double w) { return Root(J(omega / w)); }

// Shared core of U, V, M and N: the complex argument nu of the pore line.
Complex PoreArgument(bool pore, double omega, double w0, double w1, double kad, double w3) {
    const Complex z2 = SqrtJ(omega, w3);
    Complex f;
    if (pore)  // U and V
        f = Scale(kad, CothOver(z2));
    else  // M and N
        f = Div(Re(kad), ComplexSub(Mul(z2, ComplexCoth(z2)), Re(1.0)));
    const Complex g = Div(Re(w0), Add(Re(1.0), f));
    return Root(Scale(1.0 / w1, Add(g, J(omega))));
}

// Xa coth(nu)/nu + Xb (1 + 2/(nu sinh nu)).
Complex LineWithEnds(Complex nu, double xa, double xb) {
    const Complex ends = Add(Re(1.0), Div(Re(2.0), Mul(nu, ComplexSinh(nu))));
    return Add(Scale(xa, CothOver(nu)), Scale(xb, ends));
}

// The three ranges of the finite diffusion factors of S, B, J and I: the full
// function in the middle, its large-argument limit above, 1 below.
enum class Range { Small, Full, Large };
Range RangeOf(double s, double low, double high) {
    if (s < low) return Range::Small;
    if (s > high) return Range::Large;
    return Range::Full;
}

// z coth z with its limits z (large) and 1 (small).
Complex ZCoth(Complex z, Range r) {
    switch (r) {
        case Range::Small: return Re(1.0);
        case Range::Large: return z;
        default: return Mul(z, ComplexCoth(z));
    }
}
// tanh(z)/z with its limits 1/z (large) and 1 (small).
Complex TanhZ(Complex z, Range r) {
    switch (r) {
        case Range::Small: return Re(1.0);
        case Range::Large: return ComplexRecip(z);
        default: return TanhOver(z);
    }
}

double Ex(double y) { return std::exp(ClampExpArg(y)); }

// State of the successive trapezoid rule of the integration in progress.
struct TrapezoidState {
    int count = 1;
    double s = 0.0;
};
TrapezoidState& Trapezoid() {
    static TrapezoidState t;
    return t;
}

// ---- Gauss-Legendre panels for the distribution integrals -------------------
//
// Every integrand of kinds 1 to 6 is a sum of one or two terms
//     W^m A(x) / (1 + W^2 B(x))
// where A and B are products of clamped exponentials that depend on the
// element's shape and the integration range only, and W = omega tau is the one
// quantity that changes from point to point. The range is cut where an
// exponent reaches the clamp (the integrand has a kink there; beyond the
// outermost cuts it is constant) and each piece into panels short enough for
// a 10-point Gauss-Legendre rule: the step 1/(1 + W^2 e^(-+2x)) has its
// nearest complex poles pi/2 away from the real axis, which with panels of
// half-width 1 puts the rule's error near 1e-11 of the integral; an
// exponential e^(cx) gets panels of half-width 2/|c|, the Gaussian of kinds 5
// and 6 panels of half-width eps. A, B and the weights are computed once per
// shape and range and serve every frequency point.

constexpr int kRuleOrder = 10;
constexpr int kMaxPanelsPerPiece = 4096;

struct LegendreRule {
    double node[kRuleOrder];    // on [-1, 1]
    double weight[kRuleOrder];
};

// Nodes and weights by Newton's iteration on the Legendre polynomial.
LegendreRule MakeLegendreRule() {
    LegendreRule r{};
    constexpr int n = kRuleOrder;
    constexpr double kPi = 3.141592653589793;
    for (int i = 0; i < (n + 1) / 2; ++i) {
        double x = std::cos(kPi * (i + 0.75) / (n + 0.5));
        double dp = 1.0;
        for (int iter = 0; iter < 100; ++iter) {
            double p0 = 1.0, p1 = x;
            for (int k = 2; k <= n; ++k) {
                const double p2 = ((2.0 * k - 1.0) * x * p1 - (k - 1.0) * p0) / k;
                p0 = p1;
                p1 = p2;
            }
            dp = n * (x * p1 - p0) / (x * x - 1.0);
            const double dx = p1 / dp;
            x -= dx;
            if (std::fabs(dx) < 1e-16) break;
        }
        const double w = 2.0 / ((1.0 - x * x) * dp * dp);
        r.node[i] = -x;
        r.node[n - 1 - i] = x;
        r.weight[i] = r.weight[n - 1 - i] = w;
    }
    return r;
}

const LegendreRule& Legendre() {
    static const LegendreRule rule = MakeLegendreRule();
    return rule;
}

// What an integrand kind is made of: the coefficients c of its clamped
// exponentials e^(cx), and whether a Gaussian e^(-(x/shape)^2) takes part.
struct KindShape {
    double c[4];
    int count;
    bool gaussian;
};

KindShape ShapeOf(int kind, double psi) {
    switch (kind) {
        case 1: return {{-psi, -2.0}, 2, false};
        case 2: return {{-(1.0 + psi), -2.0}, 2, false};
        case 3: return {{-psi, 2.0, -2.0}, 3, false};
        case 4: return {{-(psi - 1.0), 2.0, -(psi + 1.0), -2.0}, 4, false};
        case 5: return {{2.0}, 1, true};
        default: return {{1.0, 2.0}, 2, true};
    }
}

struct PanelRule {
    int kind = 0;
    double a = 0, b = 0, shape = 0;
    bool two = false;    // a second term A2 / (1 + W^2 B2)
    bool timesW = false;  // the sum is multiplied by W
    std::vector<double> a1, b1, a2, b2;  // A and B at the nodes, A with the weight

    double Integral(double w) const {
        const double w2 = w * w;
        const size_t n = a1.size();
        const double* pa1 = a1.data();
        const double* pb1 = b1.data();
        double s = 0.0;
        if (two) {
            const double* pa2 = a2.data();
            const double* pb2 = b2.data();
            for (size_t k = 0; k < n; ++k) s += pa1[k] / (1.0 + w2 * pb1[k]) + pa2[k] / (1.0 + w2 * pb2[k]);
        } else {
            for (size_t k = 0; k < n; ++k) s += pa1[k] / (1.0 + w2 * pb1[k]);
        }
        return timesW ? w * s : s;
    }
};

// Appends A and B of the kind at x, A times the weight wt.
void AddNode(PanelRule& r, double x, double wt) {
    const double psi = r.shape;
    switch (r.kind) {
        case 1:
            r.a1.push_back(wt * Ex(-psi * x));
            r.b1.push_back(Ex(-2.0 * x));
            break;
        case 2:
            r.a1.push_back(wt * Ex(-(1.0 + psi) * x));
            r.b1.push_back(Ex(-2.0 * x));
            break;
        case 3:
            r.a1.push_back(wt * Ex(-psi * x));
            r.b1.push_back(Ex(2.0 * x));
            r.a2.push_back(wt * Ex(-psi * x));
            r.b2.push_back(Ex(-2.0 * x));
            break;
        case 4:
            r.a1.push_back(wt * Ex(-(psi - 1.0) * x));
            r.b1.push_back(Ex(2.0 * x));
            r.a2.push_back(wt * Ex(-(psi + 1.0) * x));
            r.b2.push_back(Ex(-2.0 * x));
            break;
        case 5: {
            const double q = x / psi;
            r.a1.push_back(wt * Ex(-q * q));
            r.b1.push_back(Ex(2.0 * x));
            break;
        }
        default: {
            const double q = x / psi;
            r.a1.push_back(wt * (Ex(-q * q) * Ex(x)));
            r.b1.push_back(Ex(2.0 * x));
            break;
        }
    }
}

void BuildRule(PanelRule& r) {
    r.a1.clear();
    r.b1.clear();
    r.a2.clear();
    r.b2.clear();
    r.two = r.kind == 3 || r.kind == 4;
    r.timesW = r.kind == 2 || r.kind == 4 || r.kind == 6;
    const double lo = std::min(r.a, r.b), hi = std::max(r.a, r.b);
    const double sign = r.b >= r.a ? 1.0 : -1.0;
    if (lo == hi) return;  // an empty range: no nodes
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        // Never reached with clamped parameters: no number rather than a guess.
        r.a1.push_back(std::numeric_limits<double>::quiet_NaN());
        r.b1.push_back(0.0);
        if (r.two) {
            r.a2.push_back(0.0);
            r.b2.push_back(0.0);
        }
        return;
    }
    const KindShape ks = ShapeOf(r.kind, r.shape);
    const double gaussHalf = ks.gaussian ? std::fabs(r.shape) * std::sqrt(75.0) : 0.0;
    // Cuts where an exponent reaches the clamp.
    double cuts[12];
    int nc = 0;
    cuts[nc++] = lo;
    auto cut = [&](double x) {
        if (x > lo && x < hi) cuts[nc++] = x;
    };
    for (int i = 0; i < ks.count; ++i) {
        const double c = std::fabs(ks.c[i]);
        if (c > 0.0) {
            cut(75.0 / c);
            cut(-75.0 / c);
        }
    }
    if (gaussHalf > 0.0) {
        cut(gaussHalf);
        cut(-gaussHalf);
    }
    cuts[nc++] = hi;
    for (int i = 1; i < nc; ++i)  // a handful of cuts: insertion sort
        for (int j = i; j > 0 && cuts[j] < cuts[j - 1]; --j) std::swap(cuts[j], cuts[j - 1]);
    const LegendreRule& g = Legendre();
    for (int p = 0; p + 1 < nc; ++p) {
        const double x0 = cuts[p], x1 = cuts[p + 1];
        if (!(x1 > x0)) continue;
        const double mid = 0.5 * (x0 + x1);
        // Largest panel half-width for the exponentials not clamped here.
        double half = std::numeric_limits<double>::infinity();
        for (int i = 0; i < ks.count; ++i) {
            const double c = std::fabs(ks.c[i]);
            if (c * std::fabs(mid) < 75.0 && c > 0.0) half = std::min(half, 2.0 / c);
        }
        if (gaussHalf > 0.0 && std::fabs(mid) < gaussHalf) half = std::min(half, std::fabs(r.shape));
        const double length = x1 - x0;
        int panels = 1;
        if (std::isfinite(half)) {
            const double want = std::ceil(length / (2.0 * half));
            panels = want > kMaxPanelsPerPiece ? kMaxPanelsPerPiece : std::max(1, static_cast<int>(want));
        }
        const double h = length / panels;
        for (int q = 0; q < panels; ++q) {
            const double c0 = x0 + (q + 0.5) * h;
            for (int k = 0; k < kRuleOrder; ++k)
                AddNode(r, c0 + 0.5 * h * g.node[k], sign * 0.5 * h * g.weight[k]);
        }
    }
}

// The rules of the last few shapes and ranges: a fit evaluates the same ones
// at every point, and a code may hold several distributed elements.
const PanelRule& RuleFor(int kind, double a, double b, double shape) {
    constexpr int kSlots = 12;
    static PanelRule rules[kSlots];
    static int next = 0;
    for (PanelRule& r : rules)
        if (r.kind == kind && r.a == a && r.b == b && r.shape == shape) return r;
    PanelRule& r = rules[next];
    next = (next + 1) % kSlots;
    r.kind = kind;
    r.a = a;
    r.b = b;
    r.shape = shape;
    BuildRule(r);
    return r;
}

}  // namespace

FullPrecisionRoots::FullPrecisionRoots() : previous_(PreciseRoots()) { PreciseRoots() = true; }
FullPrecisionRoots::~FullPrecisionRoots() { PreciseRoots() = previous_; }

Complex ImpedanceH(bool series, double x, double mu, double psi) {
    const double r = std::pow(x, mu);
    const Complex base{1.0 + r * std::cos(mu * kHalfPi), r * std::sin(mu * kHalfPi)};
    const Complex f = ComplexPow(base, psi);
    return series ? f : ComplexRecip(f);
}

Complex ImpedanceU(bool series, double omega, double xa, double xb, double w0, double w1, double kad, double w3) {
    const Complex nu = PoreArgument(true, omega, w0, w1, kad, w3);
    return OrRecip(series, LineWithEnds(nu, xa, xb));
}

Complex ImpedanceV(bool series, double omega, double xa, double w0, double w1, double kad, double w3) {
    const Complex nu = PoreArgument(true, omega, w0, w1, kad, w3);
    return OrRecip(series, Scale(xa, TanhOver(nu)));
}

Complex ImpedanceM(bool series, double omega, double xa, double xb, double w0, double w1, double kad, double w3) {
    const Complex nu = PoreArgument(false, omega, w0, w1, kad, w3);
    return OrRecip(series, LineWithEnds(nu, xa, xb));
}

Complex ImpedanceN(bool series, double omega, double xa, double w0, double w1, double kad, double w3) {
    const Complex nu = PoreArgument(false, omega, w0, w1, kad, w3);
    return OrRecip(series, Scale(xa, TanhOver(nu)));
}

Complex ImpedanceY(bool series, double omega, double xa, double cf, double rf, double cdl, double rt, double rd,
                   double w3) {
    const Complex z2 = SqrtJ(omega, w3);
    const Complex zd = Scale(rd, TanhOver(z2));
    const Complex zf = ComplexRecip(Complex{1.0 / rf, omega * cf});
    const Complex zi = ComplexRecip(Add(ComplexRecip(Add(Re(rt), zd)), J(omega * cdl)));
    const Complex nu = Root(ComplexRecip(Add(zi, zf)));
    return OrRecip(series, Scale(xa, CothOver(nu)));
}

Complex ImpedanceS(bool series, double omega, double b, double dtsqr) {
    const Complex z = Root(J(b * b * omega));
    const Range r = RangeOf(std::sqrt(omega) * b, 0.001, 100.0);
    const Complex alpha = TanhZ(z, r);
    const Complex beta = ZCoth(z, r);
    const Complex f = Add(ComplexRecip(Mul(alpha, J(b * omega))), Div(Re(b * dtsqr), beta));
    return series ? f : ComplexRecip(f);
}

Complex ImpedanceX(bool parallel, double omega, double rp, double cdl, double n, double rs, double l, double xw) {
    const double r = std::pow(omega * cdl * rp, n);
    const Complex zp = Div(Re(rp), Complex{1.0 + r * std::cos(n * kHalfPi), r * std::sin(n * kHalfPi)});
    const Complex front = Scale(1.0 / l, Root(Scale(rs, zp)));
    const Complex arg = Scale(xw, Root(Div(Re(rs), zp)));
    const Complex z = Mul(front, ComplexCoth(arg));
    return parallel ? ComplexRecip(z) : z;
}

Complex ImpedanceP(bool parallel, double omega, double rw, double w0) {
    const Complex z = Scale(rw, CothOver(SqrtJ(omega, w0)));
    return parallel ? ComplexRecip(z) : z;
}

Complex ImpedanceB(bool series, double omega, double w0, double k, double n) {
    const double s = omega / w0;
    const Complex z = Root(J(s));
    const Complex pn = ComplexPow(J(s), n);
    const Complex kappa = ZCoth(z, RangeOf(s, 1e-6, 100.0));
    const Complex kp = Scale(k, pn);
    const Complex f = Div(Add(J(s), Mul(kp, kappa)), Add(kp, kappa));
    return series ? ComplexRecip(f) : f;
}

Complex ImpedanceJ(bool series, double omega, double w0, double a, double lamda) {
    const double s = omega / w0;
    const Complex z = Root(J(s));
    const Complex t1 = TanhZ(z, RangeOf(s, 1e-6, 100.0));
    const Complex t2 = TanhZ(Scale(lamda, z), RangeOf(lamda * lamda * s, 1e-6, 100.0));
    const Complex num = Add(Re(1.0 / lamda), Scale(a, Mul(J(s), Mul(t1, t2))));
    const Complex den = Add(Scale(a, t2), Scale(1.0 / lamda, t1));
    const Complex f = Div(num, den);
    return series ? ComplexRecip(f) : f;
}

Complex ImpedanceI(bool series, double omega, double w0, double a, double lamda) {
    const double s = omega / w0;
    const Complex z = Root(J(s));
    const Complex c1 = ZCoth(z, RangeOf(s, 1e-6, 100.0));
    const Complex c2 = ZCoth(Scale(lamda, z), RangeOf(lamda * lamda * s, 1e-6, 100.0));
    const Complex num = Mul(J(s), Add(Scale(lamda, c1), Scale(a, c2)));
    const Complex den = Add(Scale(a, Mul(c1, c2)), Scale(lamda, J(s)));
    const Complex f = Div(num, den);
    return series ? ComplexRecip(f) : f;
}

Complex DistributionResponseD(double omega, double tau, double psi, double xs) {
    DistributionContext& dc = State().Distribution;
    dc.Shape = psi;
    const double nrm = (1.0 - std::exp(-psi * xs)) / psi;
    dc.OmegaTau = omega * tau;
    const double i1 = RuleFor(1, 0.0, xs, psi).Integral(dc.OmegaTau);
    const double i2 = RuleFor(2, 0.0, xs, psi).Integral(dc.OmegaTau);
    return Complex{i1 / nrm, -i2 / nrm};
}

Complex DistributionResponseE(double omega, double tau, double psi, double xs) {
    DistributionContext& dc = State().Distribution;
    dc.Shape = psi;
    const double nrm = 2.0 * (1.0 - std::exp(-0.5 * psi * xs)) / psi;
    dc.OmegaTau = omega * tau;
    const double i1 = RuleFor(3, 0.0, 0.5 * xs, psi).Integral(dc.OmegaTau);
    const double i2 = RuleFor(4, 0.0, 0.5 * xs, psi).Integral(dc.OmegaTau);
    return Complex{i1 / nrm, -i2 / nrm};
}

Complex DistributionResponseF(double omega, double tau, double eps, double xl, double xu, double theta) {
    DistributionContext& dc = State().Distribution;
    dc.Shape = eps;
    const double a = xu - 0.5 * xl * eps * eps;
    const double b = theta - 0.5 * xl * eps * eps;
    const PanelRule& real = RuleFor(5, -a, b, eps);
    dc.OmegaTau = 0.0;
    double nrm = real.Integral(0.0);
    if (nrm < 1e-20) nrm = 1e-20;
    dc.OmegaTau = omega * tau;
    const double i1 = real.Integral(dc.OmegaTau);
    const double i2 = RuleFor(6, -a, b, eps).Integral(dc.OmegaTau);
    return Complex{i1 / nrm, -i2 / nrm};
}

double ClampExpArg(double x) {
    if (x > 75.0) return 75.0;
    if (x < -75.0) return -75.0;
    return x;
}

double DistributionIntegrand(int kind, double x) {
    const DistributionContext& dc = State().Distribution;
    const double w = dc.OmegaTau;
    const double psi = dc.Shape;
    const double w2 = w * w;
    switch (kind) {
        case 1: return Ex(-psi * x) / (1.0 + w2 * Ex(-2.0 * x));
        case 2: return w * Ex(-(1.0 + psi) * x) / (1.0 + w2 * Ex(-2.0 * x));
        case 3: return Ex(-psi * x) / (1.0 + w2 * Ex(2.0 * x)) + Ex(-psi * x) / (1.0 + w2 * Ex(-2.0 * x));
        case 4:
            return w * (Ex(-(psi - 1.0) * x) / (1.0 + w2 * Ex(2.0 * x)) +
                        Ex(-(psi + 1.0) * x) / (1.0 + w2 * Ex(-2.0 * x)));
        case 5: {
            const double q = x / psi;
            return Ex(-q * q) / (1.0 + w2 * Ex(2.0 * x));
        }
        case 6: {
            const double q = x / psi;
            return w * Ex(-q * q) * Ex(x) / (1.0 + w2 * Ex(2.0 * x));
        }
        case 7: return -x * Ex(-psi * x) / (1.0 + w2 * Ex(-2.0 * x));
        case 8: return -x * Ex(-(1.0 + psi) * x) / (1.0 + w2 * Ex(-2.0 * x));
        default: return 0.0;
    }
}

double TrapezoidStep(int kind, double a, double b, int n) {
    TrapezoidState& t = Trapezoid();
    if (n <= 1) {
        t.count = 1;
        t.s = 0.5 * (b - a) * (DistributionIntegrand(kind, a) + DistributionIntegrand(kind, b));
        return t.s;
    }
    const double h = (b - a) / t.count;
    double x = a + 0.5 * h;
    double sum = 0.0;
    for (int j = 0; j < t.count; ++j, x += h) sum += DistributionIntegrand(kind, x);
    t.s = 0.5 * (t.s + (b - a) * sum / t.count);
    t.count *= 2;
    return t.s;
}

double RombergIntegrate(int kind, double a, double b) {
    constexpr int kMax = 15, kPoints = 5;
    constexpr double kTolerance = 1e-6;
    double s[kMax + 2], h[kMax + 2];
    double ss = 0.0, dss = 0.0;
    h[1] = 1.0;
    for (int j = 1; j <= kMax; ++j) {
        s[j] = TrapezoidStep(kind, a, b, j);
        if (j >= kPoints) {
            // 1-based views of the last five entries.
            PolyExtrapolate(&h[j - kPoints], &s[j - kPoints], kPoints, 0.0, ss, dss);
            if (std::fabs(dss) < kTolerance * std::fabs(ss)) return ss;
        }
        s[j + 1] = s[j];
        h[j + 1] = 0.25 * h[j];
    }
    return ss;
}

void PolyExtrapolate(const double* xa, const double* ya, int n, double x, double& y, double& dy) {
    // Small work arrays on the stack for the Romberg table; larger n on the heap.
    double cBuf[17], dBuf[17];
    std::vector<double> cHeap, dHeap;
    double* c = cBuf;
    double* d = dBuf;
    if (n > 16) {
        cHeap.resize(static_cast<size_t>(n) + 1);
        dHeap.resize(static_cast<size_t>(n) + 1);
        c = cHeap.data();
        d = dHeap.data();
    }
    int ns = 1;
    double dif = std::fabs(x - xa[1]);
    for (int i = 1; i <= n; ++i) {
        const double dift = std::fabs(x - xa[i]);
        if (dift < dif) {
            ns = i;
            dif = dift;
        }
        c[i] = ya[i];
        d[i] = ya[i];
    }
    y = ya[ns--];
    dy = 0.0;
    for (int m = 1; m < n; ++m) {
        for (int i = 1; i <= n - m; ++i) {
            const double ho = xa[i] - x;
            const double hp = xa[i + m] - x;
            const double w = c[i + 1] - d[i];
            const double den = w / (ho - hp);
            d[i] = hp * den;
            c[i] = ho * den;
        }
        dy = (2 * ns < (n - m)) ? c[ns + 1] : d[ns--];
        y += dy;
    }
}

}  // namespace pellucor
