// Every element letter through CircuitImpedance and through the fit's
// spectrum walk, alone at the series level
// and alone inside a parallel group, against its impedance written out here
// in extended precision, from 1e-6 Hz to 1e7 Hz and for parameters of
// ordinary size and at the magnitude limits (about 1e-32 and 1e32) that a fit
// can push them to. Each element's tolerance is the error its own arithmetic
// is built to carry (rounded constants, single-precision square roots,
// series cut-offs, the Romberg tolerance), derived per point below; where
// nothing of that kind applies the value must hold to 1e-9.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <string>
#include <vector>

#include "circuit_test_support.h"
#include "core/Evaluator.h"

using namespace pellucor;
using namespace pellucor::circuittest;

namespace {

using L = long double;
using CL = std::complex<long double>;

const CL J(0.0L, 1.0L);
constexpr L kPiL = 3.141592653589793238462643383279502884L;

CL Coth(CL z) { return 1.0L / std::tanh(z); }
// z coth z and tanh(z)/z without the loss of 1/z at tiny z.
CL ZCoth(CL z) { return std::abs(z) < 1e-4L ? 1.0L + z * z / 3.0L : z * Coth(z); }
CL TanhOverZ(CL z) { return std::abs(z) < 1e-4L ? 1.0L - z * z / 3.0L : std::tanh(z) / z; }

// Magnitude limits of the parameters, as a fit leaves them.
const double kLo = std::exp(-LnValueLimit);
const double kHi = std::exp(LnValueLimit);

// 1/sqrt(2) as the W, T, O and G elements carry it (six digits): its relative
// error is 3.1e-7 and enters their values once.
constexpr double kRootHalfError = 3.1e-7;
// One square root with single-precision intermediates: the float rounding of
// r and w and of the roots inside, a few units of 6e-8. An element's value
// moves by at most about twice a root's error (coth(z)/z and its kin have
// logarithmic slopes up to 2 in size), so each root is allowed 2 to 3 times
// this, by how the roots of an element are chained.
constexpr double kFloatRoot = 2.5e-7;

struct Case {
    std::vector<double> p;
    // True impedance of the element at angular frequency w.
    std::function<CL(L w)> z;
    // Allowed relative deviation (of |Z|) at angular frequency w.
    std::function<double(double w)> tol;
    std::string what;
    // Series-level value where it differs from z (a guarded reciprocal).
    std::function<CL(L w)> zSeries = nullptr;
};

struct ElementCases {
    char letter;
    std::vector<Case> cases;
};

std::function<double(double)> Fixed(double t) {
    return [t](double) { return t; };
}

// T and O: admittance Y0 sqrt(jw) tanh(B sqrt(jw)) or coth; x = B sqrt(2w).
// Below x = 0.1 the evaluator uses two terms of the series, whose first
// neglected term is at most x^4/30 of the value, and 0.33333 for 1/3 in a term
// of relative size x^2/6; above x = 10 it takes tanh = coth = 1, off by
// 2 e^-x; between, the rounded 1/sqrt(2) enters value and argument (the
// argument's logarithmic derivative is at most 1 in size), so twice.
double DiffusionTol(double w, double b) {
    const double x = b * std::sqrt(2.0 * w);
    if (x < 0.1) return x * x * x * x / 20.0 + 2e-6 * x * x + 1e-9;
    if (x > 10.0) return 2.2 * std::exp(-x) + 2.0 * kRootHalfError;
    return 3.0 * kRootHalfError;
}

CL PoreNu(bool cothForm, L w, L w0, L w1, L kad, L w3) {
    const CL z2 = std::sqrt(J * w / w3);
    // kad coth(z2)/z2 = kad (z2 coth z2)/z2^2; kad/(z2 coth z2 - 1) with the
    // series of z2 coth z2 - 1 = z2^2/3 - z2^4/45 at small z2.
    const CL f = cothForm ? kad * ZCoth(z2) / (z2 * z2)
                          : kad / (std::abs(z2) < 1e-3L ? z2 * z2 / 3.0L - z2 * z2 * z2 * z2 / 45.0L
                                                        : z2 * Coth(z2) - 1.0L);
    const CL g = w0 / (1.0L + f);
    return std::sqrt((g + J * w) / w1);
}

// The guarded complex division 1/F: below |F|^2 = 1e-64 the larger part of F
// is taken at least 1e-32 in size, so the reciprocal saturates near 1e32.
CL GuardedRecip(CL f) {
    const double u = static_cast<double>(f.real()), v = static_cast<double>(f.imag());
    if (u * u + v * v >= 1e-64) return 1.0L / f;
    auto clamp = [](double x) {
        const double s = x >= 0.0 ? 1.0 : -1.0;
        return std::fabs(x) < 1e-32 ? s * 1e-32 : (std::fabs(x) > 1e32 ? s * 1e32 : x);
    };
    if (std::fabs(v) > std::fabs(u)) {
        const double t = clamp(v), r = u / t, den = r * u + t;
        return CL(r / den, -1.0 / den);
    }
    const double t = clamp(u), r = v / t, den = r * v + t;
    return CL(1.0 / den, -r / den);
}

// U, V, M, N beyond their three single-precision roots:
//  - the inner factor D = z2 coth z2 (- 1 for M and N) comes from a coth
//    whose denominator cosh 2a - cos 2b of the near-1 terms carries an
//    absolute rounding of about eps/|z2|^2; relative to D (about |z2|^2/3
//    for M and N) that is eps/(|z2|^2 |D|), and it reaches Z through g, in
//    the share g/(g + jw) of the root's argument;
//  - the complex sinh of U and M takes sinh x = x and cosh x = 1 + x^2/2
//    for a real part |x| < 0.1, off by x^3/6 and x^4/24, which the Xb term
//    2 Xb/(nu sinh nu) turns into 2 Xb (x^3/6 + x^4/24)/(|nu| |sinh nu|^2).
double LineTol(bool cothForm, double w, const std::vector<double>& p, bool withXb) {
    const size_t o = withXb ? 1 : 0;
    const L w0 = p[1 + o], w1 = p[2 + o], kad = p[3 + o], w3 = p[4 + o];
    const CL z2 = std::sqrt(J * L(w) / w3);
    const L z2sq = std::abs(z2) * std::abs(z2);
    const CL d = cothForm ? ZCoth(z2)
                          : (std::abs(z2) < 1e-3L ? z2 * z2 / 3.0L - z2 * z2 * z2 * z2 / 45.0L : z2 * Coth(z2) - 1.0L);
    const double rho = std::min(2.0, static_cast<double>(4.0 * 2.2e-16 * (1.0 + 1.0 / z2sq) / std::abs(d)));
    const CL f = cothForm ? kad * ZCoth(z2) / (z2 * z2) : kad / d;
    const CL g = w0 / (1.0L + f);
    const double share = static_cast<double>(std::abs(g) / std::abs(g + J * L(w)));
    double tol = 6.0 * kFloatRoot + 2.0 * rho * share;
    if (withXb) {
        const CL nu = std::sqrt((g + J * L(w)) / w1);
        const L x = std::fabs(nu.real());
        if (x < 0.1L) {
            const CL z = L(p[0]) * ZCoth(nu) / (nu * nu) + L(p[1]) * (1.0L + 2.0L / (nu * std::sinh(nu)));
            const L sh = std::abs(std::sinh(nu));
            const L err = 2.0L * L(p[1]) * (x * x * x / 6.0L + x * x * x * x / 24.0L) / (std::abs(nu) * sh * sh);
            tol += static_cast<double>(1.5L * err / std::abs(z));
        }
    }
    return tol;
}

std::vector<ElementCases> AllElements() {
    std::vector<ElementCases> all;
    auto add = [&all](char letter, std::vector<Case> cases) { all.push_back({letter, std::move(cases)}); };

    add('R', {{{47.0}, [](L) { return CL(47.0L); }, Fixed(1e-9), "ordinary"},
              {{kLo}, [](L) { return CL(kLo); }, Fixed(1e-9), "low"},
              {{kHi}, [](L) { return CL(kHi); }, Fixed(1e-9), "high"}});

    auto cap = [](double c) { return [c](L w) { return 1.0L / (J * w * L(c)); }; };
    add('C', {{{2e-6}, cap(2e-6), Fixed(1e-9), "ordinary"},
              {{kLo}, cap(kLo), Fixed(1e-9), "low"},
              {{kHi}, cap(kHi), Fixed(1e-9), "high"}});

    auto ind = [](double l) { return [l](L w) { return J * w * L(l); }; };
    add('L', {{{3e-3}, ind(3e-3), Fixed(1e-9), "ordinary"},
              {{kLo}, ind(kLo), Fixed(1e-9), "low"},
              {{kHi}, ind(kHi), Fixed(1e-9), "high"}});

    auto warburg = [](double y0) { return [y0](L w) { return 1.0L / (L(y0) * std::sqrt(J * w)); }; };
    add('W', {{{2e-3}, warburg(2e-3), Fixed(kRootHalfError + 1e-9), "ordinary"},
              {{kLo}, warburg(kLo), Fixed(kRootHalfError + 1e-9), "low"},
              {{kHi}, warburg(kHi), Fixed(kRootHalfError + 1e-9), "high"}});

    // Q: 1/(Y0 (jw)^n); an exponent beyond 1 in size is used as 0.99.
    auto cpe = [](double y0, double n) {
        return [y0, n](L w) { return 1.0L / (L(y0) * std::pow(w, L(n)) * std::polar(1.0L, L(n) * kPiL / 2)); };
    };
    add('Q', {{{3e-5, 0.83}, cpe(3e-5, 0.83), Fixed(1e-9), "ordinary"},
              {{3e-5, 1.0}, cpe(3e-5, 1.0), Fixed(1e-9), "n = 1"},
              {{3e-5, -0.4}, cpe(3e-5, -0.4), Fixed(1e-9), "n = -0.4"},
              {{3e-5, 1.3}, cpe(3e-5, 0.99), Fixed(1e-9), "n = 1.3 limited"},
              {{3e-5, -1.2}, cpe(3e-5, -0.99), Fixed(1e-9), "n = -1.2 limited"},
              {{kLo, 0.5}, cpe(kLo, 0.5), Fixed(1e-9), "low"},
              {{kHi, kLo}, cpe(kHi, kLo), Fixed(1e-9), "high, n tiny"}});

    auto tanhEl = [](double y0, double b) {
        return [y0, b](L w) {
            const CL s = std::sqrt(J * w);
            return 1.0L / (L(y0) * s * std::tanh(L(b) * s));
        };
    };
    auto cothEl = [](double y0, double b) {
        return [y0, b](L w) {
            const CL s = std::sqrt(J * w);
            return 1.0L / (L(y0) * s * Coth(L(b) * s));
        };
    };
    for (char letter : {'T', 'O'}) {
        auto make = [&](double y0, double b, const char* what) {
            const std::function<CL(L)> z =
                letter == 'T' ? std::function<CL(L)>(tanhEl(y0, b)) : std::function<CL(L)>(cothEl(y0, b));
            return Case{{y0, b}, z, [b](double w) { return DiffusionTol(w, b); }, what};
        };
        add(letter, {make(5e-3, 0.3, "ordinary"), make(1e-3, 20.0, "long"), make(2e-2, 1e-4, "short"),
                     make(kLo, 0.3, "low Y0"), make(kHi, 0.3, "high Y0")});
    }

    // G: 1/(Y0 sqrt(Ka + jw)).
    auto gerischer = [](double y0, double ka) {
        return [y0, ka](L w) { return 1.0L / (L(y0) * std::sqrt(L(ka) + J * w)); };
    };
    add('G', {{{4e-3, 25.0}, gerischer(4e-3, 25.0), Fixed(kRootHalfError + 1e-9), "ordinary"},
              {{4e-3, kLo}, gerischer(4e-3, kLo), Fixed(kRootHalfError + 1e-9), "Ka low"},
              {{4e-3, kHi}, gerischer(4e-3, kHi), Fixed(kRootHalfError + 1e-9), "Ka high"},
              {{kLo, 25.0}, gerischer(kLo, 25.0), Fixed(kRootHalfError + 1e-9), "Y0 low"}});

    // H: admittance jwC / (1 + (jw tau)^mu)^psi.
    auto hn = [](double c, double tau, double mu, double psi) {
        return [=](L w) {
            const CL base = 1.0L + std::pow(w * L(tau), L(mu)) * std::polar(1.0L, L(mu) * kPiL / 2);
            return std::pow(base, L(psi)) / (J * w * L(c));
        };
    };
    add('H', {{{2e-5, 1e-3, 0.7, 0.6}, hn(2e-5, 1e-3, 0.7, 0.6), Fixed(1e-9), "ordinary"},
              {{2e-5, kLo, 0.7, 0.6}, hn(2e-5, kLo, 0.7, 0.6), Fixed(1e-9), "tau low"},
              {{2e-5, kHi, 0.9, 0.4}, hn(2e-5, kHi, 0.9, 0.4), Fixed(1e-9), "tau high"},
              {{kHi, 1.0, 1.0, 1.0}, hn(kHi, 1.0, 1.0, 1.0), Fixed(1e-9), "C high, Debye"},
              {{kLo, 1e-3, kLo, kLo}, hn(kLo, 1e-3, kLo, kLo), Fixed(1e-9), "C, mu, psi low"}});

    // P: RW coth(z)/z with z = sqrt(jw/w0): one root.
    auto pore = [](double rw, double w0) {
        return [rw, w0](L w) {
            const CL z = std::sqrt(J * w / L(w0));
            return L(rw) * ZCoth(z) / (z * z);
        };
    };
    const double rootTol = 3.0 * kFloatRoot;
    add('P', {{{15.0, 300.0}, pore(15.0, 300.0), Fixed(rootTol), "ordinary"},
              {{15.0, kLo}, pore(15.0, kLo), Fixed(rootTol), "w0 low"},
              {{15.0, kHi}, pore(15.0, kHi), Fixed(rootTol), "w0 high"},
              {{kHi, 300.0}, pore(kHi, 300.0), Fixed(rootTol), "RW high"}});

    // U, V, M, N: three nested roots.
    auto lineU = [](bool mForm, std::vector<double> p) {
        return [=](L w) {
            const CL nu = PoreNu(!mForm, w, p[2], p[3], p[4], p[5]);
            return L(p[0]) * ZCoth(nu) / (nu * nu) + L(p[1]) * (1.0L + 2.0L / (nu * std::sinh(nu)));
        };
    };
    auto lineV = [](bool nForm, std::vector<double> p) {
        return [=](L w) {
            const CL nu = PoreNu(!nForm, w, p[1], p[2], p[3], p[4]);
            return L(p[0]) * TanhOverZ(nu);
        };
    };
    const double lineTol = 6.0 * kFloatRoot;
    auto tolLine = [](bool cothForm, std::vector<double> p, bool withXb) {
        return [=](double w) { return LineTol(cothForm, w, p, withXb); };
    };
    for (char letter : {'U', 'M'}) {
        const bool m = letter == 'M';
        const std::vector<double> ord = {800.0, 12.0, 90.0, 2.0, m ? 1.5 : 8.0, m ? 3.0 : 0.5};
        std::vector<double> lowW1 = ord, highW3 = ord, lowXa = ord;
        lowW1[3] = kLo;
        highW3[5] = kHi;
        lowXa[0] = kLo;
        add(letter, {{ord, lineU(m, ord), tolLine(!m, ord, true), "ordinary"},
                     {lowW1, lineU(m, lowW1), tolLine(!m, lowW1, true), "w1 low"},
                     {highW3, lineU(m, highW3), tolLine(!m, highW3, true), "w3 high"},
                     {lowXa, lineU(m, lowXa), tolLine(!m, lowXa, true), "Xa low"}});
    }
    for (char letter : {'V', 'N'}) {
        const bool n = letter == 'N';
        const std::vector<double> ord = {800.0, 90.0, 2.0, n ? 1.5 : 8.0, n ? 3.0 : 0.5};
        std::vector<double> lowW1 = ord, highW3 = ord, highW0 = ord;
        lowW1[2] = kLo;
        highW3[4] = kHi;
        highW0[1] = kHi;
        add(letter, {{ord, lineV(n, ord), tolLine(!n, ord, false), "ordinary"},
                     {lowW1, lineV(n, lowW1), tolLine(!n, lowW1, false), "w1 low"},
                     {highW3, lineV(n, highW3), tolLine(!n, highW3, false), "w3 high"},
                     {highW0, lineV(n, highW0), tolLine(!n, highW0, false), "w0 high"}});
    }

    // Y: two roots.
    auto lineY = [](std::vector<double> p) {
        return [=](L w) {
            const CL z2 = std::sqrt(J * w / L(p[6]));
            const CL zd = L(p[5]) * TanhOverZ(z2);
            const CL zf = 1.0L / (1.0L / L(p[2]) + J * w * L(p[1]));
            const CL zi = 1.0L / (1.0L / (L(p[4]) + zd) + J * w * L(p[3]));
            const CL nu = std::sqrt(1.0L / (zi + zf));
            return L(p[0]) * ZCoth(nu) / (nu * nu);
        };
    };
    {
        const std::vector<double> ord = {900.0, 2e-6, 0.2, 0.02, 0.003, 1.5, 0.4};
        std::vector<double> highW3 = ord, lowCdl = ord;
        highW3[6] = kHi;
        lowCdl[3] = kLo;
        add('Y', {{ord, lineY(ord), Fixed(lineTol), "ordinary"},
                  {highW3, lineY(highW3), Fixed(lineTol), "w3 high"},
                  {lowCdl, lineY(lowCdl), Fixed(lineTol), "Cdl low"}});
    }

    // X: Zp = Rp/(1 + (jw Cdl Rp)^n); Z = sqrt(Rs Zp)/L coth(Xw sqrt(Rs/Zp)).
    auto lineX = [](std::vector<double> p) {
        return [=](L w) {
            const CL zp = L(p[0]) / (1.0L + std::pow(w * L(p[1]) * L(p[0]), L(p[2])) *
                                                std::polar(1.0L, L(p[2]) * kPiL / 2));
            return std::sqrt(L(p[3]) * zp) / L(p[4]) * Coth(L(p[5]) * std::sqrt(L(p[3]) / zp));
        };
    };
    {
        const std::vector<double> ord = {5e4, 2e-5, 0.85, 800.0, 4.0, 0.02};
        std::vector<double> lowCdl = ord, highRp = ord, lowN = ord;
        lowCdl[1] = kLo;
        highRp[0] = 1e20;
        lowN[2] = kLo;
        add('X', {{ord, lineX(ord), Fixed(4.0 * kFloatRoot), "ordinary"},
                  {lowCdl, lineX(lowCdl), Fixed(4.0 * kFloatRoot), "Cdl low"},
                  {highRp, lineX(highRp), Fixed(4.0 * kFloatRoot), "Rp high"},
                  {lowN, lineX(lowN), Fixed(4.0 * kFloatRoot), "n low"}});
    }

    // S: (1/Y0) (1/(alpha j B w) + B dtsqr / beta), alpha = tanh(z)/z,
    // beta = z coth z, z = sqrt(j B^2 w), u = |z|. Below u = 0.001 both are
    // taken as 1, off by u^2/3 each; above u = 100 the hyperbolic factors are
    // taken as 1, off by 2 e^(-u sqrt 2), below 1e-60. One root.
    auto diffS = [](double y0, double b, double dt) {
        return [=](L w) {
            const CL z = std::sqrt(J * L(b) * L(b) * w);
            return (1.0L / (TanhOverZ(z) * J * L(b) * w) + L(b) * L(dt) / ZCoth(z)) / L(y0);
        };
    };
    auto tolS = [](double b) {
        return [b](double w) {
            const double u = std::sqrt(w) * b;
            return 3.0 * kFloatRoot + (u < 0.001 ? u * u : 0.0);
        };
    };
    add('S', {{{2e-3, 0.4, 0.6}, diffS(2e-3, 0.4, 0.6), tolS(0.4), "ordinary"},
              {{2e-3, 1e-6, 0.6}, diffS(2e-3, 1e-6, 0.6), tolS(1e-6), "B small"},
              {{kLo, 0.4, 0.6}, diffS(kLo, 0.4, 0.6), tolS(0.4), "Y0 low"},
              {{2e-3, 0.4, kLo}, diffS(2e-3, 0.4, kLo), tolS(0.4), "dtsqr low"}});

    // B, J, I with s = w/w0, z = sqrt(js): below s = 1e-6 z coth z and
    // tanh(z)/z are taken as 1, off by s/3; above s = 100 coth z and tanh z
    // are taken as 1, off by 2 e^(-sqrt(2s)).
    auto cutTol = [](double s) {
        if (s < 1e-6) return s / 2.0;
        if (s > 100.0) return 2.2 * std::exp(-std::sqrt(2.0 * s));
        return 0.0;
    };
    auto diffB = [](double y0, double w0, double k, double n) {
        return [=](L w) {
            const L s = w / L(w0);
            const CL z = std::sqrt(J * s);
            const CL pn = std::pow(s, L(n)) * std::polar(1.0L, L(n) * kPiL / 2);
            const CL kappa = ZCoth(z);
            return 1.0L / (L(y0) * (J * s + L(k) * pn * kappa) / (L(k) * pn + kappa));
        };
    };
    auto tolB = [cutTol](double w0) {
        return [=](double w) { return 3.0 * kFloatRoot + 2.0 * cutTol(w / w0); };
    };
    add('B', {{{2e-3, 20.0, 5.0, 0.6}, diffB(2e-3, 20.0, 5.0, 0.6), tolB(20.0), "ordinary"},
              {{2e-3, kLo, 5.0, 0.6}, diffB(2e-3, kLo, 5.0, 0.6), tolB(kLo), "w0 low"},
              {{2e-3, kHi, 5.0, 0.6}, diffB(2e-3, kHi, 5.0, 0.6), tolB(kHi), "w0 high"},
              {{kHi, 20.0, kLo, 0.5}, diffB(kHi, 20.0, kLo, 0.5), tolB(20.0), "Y0 high, K low"}});

    auto diffJ = [](double y0, double w0, double a, double lam) {
        return [=](L w) {
            const L s = w / L(w0);
            const CL z = std::sqrt(J * s);
            const CL t1 = TanhOverZ(z), t2 = TanhOverZ(L(lam) * z);
            return 1.0L / (L(y0) * (1.0L / L(lam) + L(a) * J * s * t1 * t2) / (L(a) * t2 + t1 / L(lam)));
        };
    };
    auto diffI = [](double y0, double w0, double a, double lam) {
        return [=](L w) {
            const L s = w / L(w0);
            const CL z = std::sqrt(J * s);
            const CL c1 = ZCoth(z), c2 = ZCoth(L(lam) * z);
            return 1.0L / (L(y0) * J * s * (L(lam) * c1 + L(a) * c2) / (L(a) * c1 * c2 + L(lam) * J * s));
        };
    };
    auto tolJI = [cutTol](double w0, double lam) {
        return [=](double w) { return 3.0 * kFloatRoot + 2.0 * (cutTol(w / w0) + cutTol(lam * lam * w / w0)); };
    };
    for (char letter : {'J', 'I'}) {
        auto make = [&](double y0, double w0, double a, double lam, const char* what) {
            const std::function<CL(L)> z = letter == 'J' ? std::function<CL(L)>(diffJ(y0, w0, a, lam))
                                                         : std::function<CL(L)>(diffI(y0, w0, a, lam));
            // In series the element is (1/Y0) / F with F = 1/(Y0 Z), a guarded division.
            auto series = [z, y0](L w) { return GuardedRecip(1.0L / (L(y0) * z(w))) / L(y0); };
            return Case{{y0, w0, a, lam}, z, tolJI(w0, lam), what, series};
        };
        add(letter, {make(2e-3, 50.0, 0.3, 2.0, "ordinary"), make(2e-3, 50.0, 0.3, 0.05, "lambda small"),
                     make(2e-3, kLo, 0.3, 2.0, "w0 low"), make(2e-3, kHi, 0.3, 2.0, "w0 high"),
                     make(kHi, 50.0, kLo, 2.0, "Y0 high, A low")});
    }

    // D, E, F: a capacitance whose relaxation times tau e^x spread over
    // activation energies x, admittance jwC (I1 - j I2)/Nrm; each integral is
    // one complex Debye integrand, summed here by Simpson's rule to about
    // 1e-12. The element's Romberg integration stops at an estimated 1e-6 of
    // each of I1 and I2 (and of F's normalising integral): 1e-6 of each part,
    // sqrt 2 of that on the whole, plus 1e-6 for F. In series the element is
    // (1/(jwC)) / F, a guarded division.
    auto spread = [](std::function<CL(L wt)> response, double c, double tau) {
        return Case{{}, [=](L w) { return 1.0L / (J * w * L(c) * response(w * L(tau))); },
                    Fixed(2.5e-6), "",
                    [=](L w) { return GuardedRecip(response(w * L(tau))) / (J * w * L(c)); }};
    };
    auto simpson = [](const std::function<CL(L)>& f, L a, L b) {
        const int n = 20000;
        const L h = (b - a) / n;
        CL sum = f(a) + f(b);
        for (int i = 1; i < n; ++i) sum += L(i % 2 ? 4 : 2) * f(a + i * h);
        return sum * h / 3.0L;
    };
    auto distD = [&](double c, double tau, double psi, double xs, const char* what) {
        Case k = spread([=](L wt) {
            const CL i = simpson([&](L x) { return std::exp(-L(psi) * x) / (1.0L + J * wt * std::exp(-x)); }, 0, xs);
            return i * L(psi) / (1.0L - std::exp(-L(psi) * L(xs)));
        }, c, tau);
        k.p = {c, tau, psi, xs};
        k.what = what;
        return k;
    };
    auto distE = [&](double c, double tau, double psi, double xs, const char* what) {
        Case k = spread([=](L wt) {
            const CL i = simpson([&](L x) {
                return std::exp(-L(psi) * x) / (1.0L + J * wt * std::exp(x)) +
                       std::exp(-L(psi) * x) / (1.0L + J * wt * std::exp(-x));
            }, 0, 0.5L * xs);
            return i * L(psi) / (2.0L * (1.0L - std::exp(-0.5L * L(psi) * L(xs))));
        }, c, tau);
        k.p = {c, tau, psi, xs};
        k.what = what;
        return k;
    };
    auto distF = [&](double c, double tau, double eps, double xl, double xu, double theta, const char* what) {
        Case k = spread([=](L wt) {
            const L a = xu - 0.5L * xl * L(eps) * eps, b = theta - 0.5L * xl * L(eps) * eps;
            auto g = [&](L x) { return std::exp(-(x / L(eps)) * (x / L(eps))); };
            const CL i = simpson([&](L x) { return g(x) / (1.0L + J * wt * std::exp(x)); }, -a, b);
            const CL nrm = simpson([&](L x) { return CL(g(x)); }, -a, b);
            return i / nrm;
        }, c, tau);
        k.p = {c, tau, eps, xl, xu, theta};
        k.what = what;
        return k;
    };
    add('D', {distD(3e-5, 2e-3, 0.7, 6.0, "ordinary"), distD(kHi, kHi, 0.5, 8.0, "C, tau high"),
              distD(kLo, kLo, 1.5, 3.0, "C, tau low")});
    add('E', {distE(3e-5, 2e-3, 0.7, 6.0, "ordinary"), distE(kHi, kHi, 0.5, 8.0, "C, tau high"),
              distE(kLo, kLo, 1.5, 3.0, "C, tau low")});
    add('F', {distF(3e-5, 2e-3, 1.2, 0.5, 3.0, 2.0, "ordinary"), distF(kHi, kHi, 0.8, 1.0, 4.0, 4.0, "C, tau high"),
              distF(kLo, kLo, 2.0, 0.2, 5.0, 3.0, "C, tau low")});
    return all;
}

// The closed level's guard: both parts forced into magnitudes [1e-32, 1e32].
double Guard(double x) {
    const double s = x >= 0.0 ? 1.0 : -1.0;
    if (std::fabs(x) > 1e32) return s * 1e32;
    if (std::fabs(x) < 1e-32) return s * 1e-32;
    return x;
}

std::vector<double> Omegas() {
    std::vector<double> w;
    for (int k = -12; k <= 14; ++k) w.push_back(TwoPi * std::pow(10.0, k / 2.0));
    return w;
}

class ElementClosedForms : public CircuitTest {
protected:
    // The whole spectrum of one code through the fit's evaluator, simulated
    // without noise: true impedances, one per angular frequency.
    std::vector<C> Spectrum(const std::string& code, const std::vector<double>& p, const std::vector<double>& omegas) {
        ProgramState& s = State();
        s.Circuit.Code = code;
        s.Spectrum.PointCount = static_cast<int>(omegas.size());
        for (size_t i = 0; i < omegas.size(); ++i) s.Spectrum.Frequency[static_cast<int>(i) + 1] = omegas[i] / TwoPi;
        ParamArray<double> ln;
        for (size_t k = 0; k < p.size(); ++k) {
            ln[static_cast<int>(k) + 1] = std::log(std::fabs(p[k]));
            s.Params.Sign[static_cast<int>(k) + 1] = p[k] < 0 ? -1.0 : 1.0;
        }
        s.Run.SimulateMode = true;
        s.Options.NoiseType = -1;
        double chi = -1.0;
        EXPECT_TRUE(EvaluateCircuit(ln, chi)) << code;
        std::vector<C> z;
        for (size_t i = 1; i <= omegas.size(); ++i)
            z.emplace_back(s.Spectrum.ZRealCalc[static_cast<int>(i)], -s.Spectrum.ZImagCalc[static_cast<int>(i)]);
        return z;
    }
};

// Each element alone (series) and alone in a group (its admittance summed,
// guarded and inverted), by the one-point entry and by the spectrum walk.
TEST_F(ElementClosedForms, EveryElementAtBothLevelsOverTheWholeRange) {
    const std::vector<double> omegas = Omegas();
    for (const ElementCases& e : AllElements()) {
        for (const Case& c : e.cases) {
            ParamArray<double> v;
            for (size_t k = 0; k < c.p.size(); ++k) v[static_cast<int>(k) + 1] = c.p[k];
            const std::string codes[2] = {std::string(1, e.letter), "(" + std::string(1, e.letter) + ")"};
            const std::vector<C> walked[2] = {Spectrum(codes[0], c.p, omegas), Spectrum(codes[1], c.p, omegas)};
            for (size_t i = 0; i < omegas.size(); ++i) {
                const double w = omegas[i];
                const double tol = c.tol(w);
                const CL exact = c.z(w), exactSeries = c.zSeries ? c.zSeries(w) : exact;
                const C want(static_cast<double>(exactSeries.real()), static_cast<double>(exactSeries.imag()));
                // Inside a group the element's admittance is guarded and inverted.
                const C y = 1.0 / C(static_cast<double>(exact.real()), static_cast<double>(exact.imag()));
                const C wantPar = 1.0 / C(Guard(y.real()), Guard(y.imag()));
                // A part of the admittance smaller than the element's own
                // accuracy has no sign of its own; the guard gives it 1e-32
                // with whatever sign the rounding left.
                const double resolution = std::max(1e-13, tol) * std::abs(y);
                const C wantParFlipped =
                    1.0 / C(std::fabs(y.real()) < resolution ? -Guard(y.real()) : Guard(y.real()),
                            std::fabs(y.imag()) < resolution ? -Guard(y.imag()) : Guard(y.imag()));
                for (int level = 0; level < 2; ++level) {
                    const Complex one = CircuitImpedance(codes[level], v, w);
                    for (const C& got : {C(one.re, one.im), walked[level][i]}) {
                        const C ref = level == 0 ? want : wantPar;
                        double dev = std::abs(got - ref) / std::abs(ref);
                        if (level == 1) dev = std::min(dev, std::abs(got - wantParFlipped) / std::abs(wantParFlipped));
                        EXPECT_LE(dev, tol) << codes[level] << " " << c.what << " at f = " << w / TwoPi
                                            << " Hz: got " << got << " want " << ref;
                    }
                }
            }
        }
    }
}

}  // namespace
