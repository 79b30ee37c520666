#include "core/Distributed.h"

#include <cmath>
#include <vector>

#include "core/ProgramState.h"

namespace pellucor {
namespace {

constexpr double kHalfPi = 1.5707963267948966;

bool& PreciseRoots() {
    static bool precise = false;
    return precise;
}

// The principal square root with ComplexSqrt's branch rules, in full double
// precision.
Complex PreciseSqrt(Complex z) {
    const double x = z.re, y = z.im;
    if (x == 0.0 && y == 0.0) return {0.0, 0.0};
    const double ax = std::fabs(x), ay = std::fabs(y);
    double w;
    if (ax >= ay) {
        const double r = ay / ax;
        w = std::sqrt(ax) * std::sqrt(0.5 * (1.0 + std::sqrt(1.0 + r * r)));
    } else {
        const double r = ax / ay;
        w = std::sqrt(ay) * std::sqrt(0.5 * (r + std::sqrt(1.0 + r * r)));
    }
    if (x >= 0.0) return {w, y / (2.0 * w)};
    const double im = y >= 0.0 ? w : -w;
    return {y / (2.0 * im), im};
}

Complex Root(Complex z) { return PreciseRoots() ? PreciseSqrt(z) : ComplexSqrt(z); }

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
    const double i1 = RombergIntegrate(1, 0.0, xs);
    const double i2 = RombergIntegrate(2, 0.0, xs);
    return Complex{i1 / nrm, -i2 / nrm};
}

Complex DistributionResponseE(double omega, double tau, double psi, double xs) {
    DistributionContext& dc = State().Distribution;
    dc.Shape = psi;
    const double nrm = 2.0 * (1.0 - std::exp(-0.5 * psi * xs)) / psi;
    dc.OmegaTau = omega * tau;
    const double i1 = RombergIntegrate(3, 0.0, 0.5 * xs);
    const double i2 = RombergIntegrate(4, 0.0, 0.5 * xs);
    return Complex{i1 / nrm, -i2 / nrm};
}

Complex DistributionResponseF(double omega, double tau, double eps, double xl, double xu, double theta) {
    DistributionContext& dc = State().Distribution;
    dc.Shape = eps;
    const double a = xu - 0.5 * xl * eps * eps;
    const double b = theta - 0.5 * xl * eps * eps;
    dc.OmegaTau = 0.0;
    double nrm = RombergIntegrate(5, -a, b);
    if (nrm < 1e-20) nrm = 1e-20;
    dc.OmegaTau = omega * tau;
    const double i1 = RombergIntegrate(5, -a, b);
    const double i2 = RombergIntegrate(6, -a, b);
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
