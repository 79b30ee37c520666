#include "core/Complex.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/NumericLib.h"

namespace pellucor {

Complex ComplexSet(double re, double im) { return Complex{re, im}; }
Complex ComplexAdd(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
Complex ComplexSub(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
Complex ComplexMul(Complex a, Complex b) {
    return {a.re * b.re - a.im * b.im, b.re * a.im + a.re * b.im};
}
Complex ComplexScale(double s, Complex z) { return {s * z.re, s * z.im}; }

Complex ComplexDiv(Complex a, Complex b) {
    const double u = b.re, v = b.im;
    const double den = u * u + v * v;
    if (den >= 1e-64) return {(a.re * u + a.im * v) / den, (a.im * u - a.re * v) / den};
    // Scaled division: never square a tiny divisor, and never divide by zero.
    if (std::fabs(v) > std::fabs(u)) {
        const double t = ClampMagnitude(v);
        const double r = u / t;
        const double d = r * u + t;
        return {(a.re * r + a.im) / d, (a.im * r - a.re) / d};
    }
    const double t = ClampMagnitude(u);
    const double r = v / t;
    const double d = r * v + t;
    return {(a.re + a.im * r) / d, (a.im - a.re * r) / d};
}

Complex ComplexRecip(Complex z) { return ComplexDiv(Complex{1.0, 0.0}, z); }

Complex ComplexSqrtPrecise(Complex z) {
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

Complex ComplexSqrt(Complex z) {
    const double x = z.re, y = z.im;
    if (x == 0.0 && y == 0.0) return {0.0, 0.0};
    const double big = std::max(std::fabs(x), std::fabs(y));
    // Beyond single precision the parts would become infinite or zero (and
    // the root infinite or not a number): the same steps in double.
    if (!(big >= std::numeric_limits<float>::min() && big <= std::numeric_limits<float>::max()))
        return ComplexSqrtPrecise(z);
    // Single-precision intermediates, as the element formulas were tuned with.
    const float ax = static_cast<float>(std::fabs(x));
    const float ay = static_cast<float>(std::fabs(y));
    float r, w;
    if (ax >= ay) {
        r = ay / ax;
        w = static_cast<float>(std::sqrt(static_cast<double>(ax)) *
                               std::sqrt(0.5 * (1.0 + std::sqrt(1.0 + static_cast<double>(r) * r))));
    } else {
        r = ax / ay;
        w = static_cast<float>(std::sqrt(static_cast<double>(ay)) *
                               std::sqrt(0.5 * (r + std::sqrt(1.0 + static_cast<double>(r) * r))));
    }
    const double wd = w;
    if (x >= 0.0) return {wd, y / (2.0 * wd)};
    const double im = y >= 0.0 ? wd : -wd;
    return {y / (2.0 * im), im};
}

Complex ComplexPow(Complex z, double p) {
    const double r = std::sqrt(z.re * z.re + z.im * z.im);
    double theta;
    if (std::fabs(z.re) < 1e-32)
        theta = z.im > 0.0 ? M_PI / 2.0 : -M_PI / 2.0;
    else
        theta = std::atan(z.im / z.re);
    const double rp = std::pow(r, p);
    return {rp * std::cos(p * theta), rp * std::sin(p * theta)};
}

Complex ComplexSinh(Complex z) {
    const double cy = std::cos(z.im), sy = std::sin(z.im);
    double x = z.re;
    if (x > 150.0) x = 150.0;
    if (x < -150.0) x = -150.0;
    double ch, sh;
    if (std::fabs(x) < 0.1) {
        ch = 0.5 * x * x + 1.0;
        sh = x;
    } else {
        ch = std::cosh(x);
        sh = std::sinh(x);
    }
    return {cy * sh, sy * ch};
}

Complex ComplexCoth(Complex z) {
    if (std::fabs(z.re) > 20.0) return {1.0, 0.0};
    const double C = std::cos(2.0 * z.im), S = std::sin(2.0 * z.im);
    const double ch = std::cosh(2.0 * z.re), sh = std::sinh(2.0 * z.re);
    double d = ch - C;
    // Near z = 0 the difference cancels to nothing (coth 1e-10 came out
    // infinite or not a number); there it is 2 sinh^2 a + 2 sin^2 b, which
    // keeps every digit.
    if (d < 1e-6) {
        const double sa = std::sinh(z.re), sb = std::sin(z.im);
        d = 2.0 * (sa * sa + sb * sb);
    }
    return {sh / d, -S / d};
}

Complex ComplexTanh(Complex z) {
    if (std::fabs(z.re) > 20.0) return {1.0, 0.0};
    const double C = std::cos(2.0 * z.im), S = std::sin(2.0 * z.im);
    const double ch = std::cosh(2.0 * z.re), sh = std::sinh(2.0 * z.re);
    const double d = ch + C;
    return {sh / d, S / d};
}

Complex ComplexWeightedSum(int count, const Vector<double>& w, const Vector<Complex>& v) {
    Complex s{0.0, 0.0};
    for (int i = 1; i <= count; ++i) s = ComplexAdd(s, ComplexScale(w[i], v[i]));
    return s;
}

double ComplexModulus(double re, double im) { return std::sqrt(re * re + im * im); }

double PhaseAngle(double y, double x) {
    const double s = x > 0.0 ? 1.0 : -1.0;
    if (std::fabs(x) < 1e-72) x = s * 1e-72;
    const double t = y / x;
    return x > 0.0 ? std::atan(t) : std::atan(t) + M_PI;
}

HyperTrig HyperTrigPack(double x) {
    const double b = 0.5 * std::exp(x);
    const double c = 0.25 / b;
    return {b - c, b + c, std::sin(x), std::cos(x)};
}

}  // namespace pellucor
