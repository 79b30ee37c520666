#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "core/Complex.h"
#include "core/NumericLib.h"

using namespace pellucor;
using C = std::complex<double>;

namespace {
void ExpectNear(Complex got, C want, double rel, const char* what) {
    const double scale = std::max(1.0, std::abs(want));
    EXPECT_NEAR(got.re, want.real(), rel * scale) << what;
    EXPECT_NEAR(got.im, want.imag(), rel * scale) << what;
}
}  // namespace

TEST(ComplexArithmetic, AgreesWithStdComplexAwayFromGuards) {
    const C a(1.5, -2.25), b(-0.75, 3.5);
    const Complex x{a.real(), a.imag()}, y{b.real(), b.imag()};
    ExpectNear(ComplexAdd(x, y), a + b, 1e-15, "add");
    ExpectNear(ComplexSub(x, y), a - b, 1e-15, "sub");
    ExpectNear(ComplexMul(x, y), a * b, 1e-15, "mul");
    ExpectNear(ComplexDiv(x, y), a / b, 1e-15, "div");
    ExpectNear(ComplexRecip(y), 1.0 / b, 1e-15, "recip");
    ExpectNear(ComplexScale(-2.0, x), -2.0 * a, 1e-15, "scale");
    // Square roots carry single-precision intermediates: about 1e-7.
    for (C z : {C(3, 4), C(-3, 4), C(-3, -4), C(0.01, -200), C(1e-6, 1e6)})
        ExpectNear(ComplexSqrt({z.real(), z.imag()}), std::sqrt(z), 2e-7, "sqrt");
    // Powers of bases with a non-negative real part are principal powers.
    for (C z : {C(1, 2), C(0, 3), C(1, -1e-3), C(2.5, 0)})
        ExpectNear(ComplexPow({z.real(), z.imag()}, 0.8), std::pow(z, 0.8), 1e-13, "pow");
    for (C z : {C(0.3, 0.7), C(-2, 1.1), C(5, -3)}) {
        ExpectNear(ComplexSinh({z.real(), z.imag()}), std::sinh(z), 1e-13, "sinh");
        ExpectNear(ComplexTanh({z.real(), z.imag()}), std::tanh(z), 1e-13, "tanh");
        ExpectNear(ComplexCoth({z.real(), z.imag()}), 1.0 / std::tanh(z), 1e-13, "coth");
    }
}

TEST(ComplexArithmetic, ScaledDivisionGuards) {
    struct Case {
        Complex a, b;
        double re, im;
    } cases[] = {
        {{1, 2}, {0, 0}, 1e32, 2e32},       // division by zero gives numerator * 1e32
        {{1, 0}, {1e-40, 0}, 1e32, 0},      // scaled branch, divisor clamped to 1e-32
        {{1, 0}, {1e-31, 0}, 1e31, 0},      // plain branch
        {{0, 1}, {0, 1e-40}, 1e32, 0},      // imaginary divisor, scaled: j / (j*1e-32)
    };
    for (const auto& c : cases) {
        const Complex q = ComplexDiv(c.a, c.b);
        EXPECT_DOUBLE_EQ(q.re, c.re);
        EXPECT_DOUBLE_EQ(q.im, c.im);
    }
    const Complex r = ComplexRecip({0, 0});
    EXPECT_DOUBLE_EQ(r.re, 1e32);
    EXPECT_DOUBLE_EQ(r.im, 0);
}

TEST(ComplexArithmetic, SquareRootAndPowerConventions) {
    Complex s = ComplexSqrt({-4, 0});
    EXPECT_DOUBLE_EQ(s.re, 0);
    EXPECT_DOUBLE_EQ(s.im, 2);
    s = ComplexSqrt({-4, -0.0});  // a zero imaginary part counts as non-negative
    EXPECT_DOUBLE_EQ(s.im, 2);
    s = ComplexSqrt({0, 2});
    EXPECT_NEAR(s.re, 1, 1e-7);
    EXPECT_NEAR(s.im, 1, 1e-7);
    s = ComplexSqrt({0, 0});
    EXPECT_EQ(s.re, 0);
    EXPECT_EQ(s.im, 0);

    Complex p = ComplexPow({-1, 0}, 0.5);  // angle of a negative real taken as 0
    EXPECT_DOUBLE_EQ(p.re, 1);
    EXPECT_NEAR(p.im, 0, 1e-300);
    p = ComplexPow({0, 3}, 0.5);
    EXPECT_NEAR(p.re, std::sqrt(3.0) * std::cos(M_PI / 4), 1e-15);
    EXPECT_NEAR(p.im, std::sqrt(3.0) * std::sin(M_PI / 4), 1e-15);
}

// Parameters at the clamps (1e-32, 1e32) and high frequencies give arguments
// far beyond single precision; their roots are exact squares here.
TEST(ComplexArithmetic, SquareRootBeyondSinglePrecision) {
    struct Case {
        Complex z, root;
    } cases[] = {
        {{1e40, 0}, {1e20, 0}},
        {{0, 2e40}, {1e20, 1e20}},          // sqrt(2j) = 1 + j
        {{-1e60, 0}, {0, 1e30}},
        {{0, -2e-50}, {1e-25, -1e-25}},
        {{1e-50, 0}, {1e-25, 0}},
        {{-4e-80, 0}, {0, 2e-40}},
        {{3e-40, 4e-40}, {2e-20, 1e-20}},   // (2 + j)^2 = 3 + 4j
    };
    for (const Case& c : cases) {
        const Complex r = ComplexSqrt(c.z);
        const double scale = std::hypot(c.root.re, c.root.im);
        EXPECT_NEAR(r.re, c.root.re, 1e-12 * scale) << c.z.re << "," << c.z.im;
        EXPECT_NEAR(r.im, c.root.im, 1e-12 * scale) << c.z.re << "," << c.z.im;
    }
}

TEST(ComplexArithmetic, HyperbolicClamps) {
    const Complex a = ComplexSinh({200, 0}), b = ComplexSinh({150, 0});
    EXPECT_EQ(a.re, b.re);
    EXPECT_EQ(a.im, b.im);
    EXPECT_TRUE(std::isfinite(a.re));
    const Complex small = ComplexSinh({0.05, 0});
    EXPECT_DOUBLE_EQ(small.re, 0.05);
    EXPECT_DOUBLE_EQ(small.im, 0);
    for (Complex z : {Complex{25, 1}, Complex{-25, 1}}) {
        EXPECT_EQ(ComplexTanh(z).re, 1.0);
        EXPECT_EQ(ComplexTanh(z).im, 0.0);
        EXPECT_EQ(ComplexCoth(z).re, 1.0);
        EXPECT_EQ(ComplexCoth(z).im, 0.0);
    }
}

// coth z is about 1/z + z/3 near its pole at 0, where cosh 2a - cos 2b
// cancels; diffusion elements with a large rate constant at low frequency
// take it there.
TEST(ComplexArithmetic, CothNearZero) {
    for (C z : {C(1e-10, 0), C(1e-9, 1e-9), C(-3e-12, 4e-12), C(2e-19, 2e-19), C(1e-4, 1e-4), C(0, 1e-7)}) {
        const C want = 1.0 / z + z / 3.0;
        ExpectNear(ComplexCoth({z.real(), z.imag()}), want, 1e-12, "near 0");
    }
    // Away from 0 the usual form, against the library.
    for (C z : {C(0.3, 0.2), C(2.0, -1.0), C(-0.05, 0.01)}) {
        const C want = 1.0 / std::tanh(z);
        const Complex got = ComplexCoth({z.real(), z.imag()});
        EXPECT_NEAR(got.re, want.real(), 1e-12 * std::abs(want));
        EXPECT_NEAR(got.im, want.imag(), 1e-12 * std::abs(want));
    }
}

TEST(ComplexArithmetic, PhaseAngleRange) {
    struct Case {
        double y, x, angle;
    } cases[] = {
        {1, 0, M_PI / 2}, {-1, 0, 3 * M_PI / 2}, {0, -1, M_PI}, {1, 1, M_PI / 4},
        {-1, 1, -M_PI / 4}, {0, 0, M_PI}, {-1, -1, 5 * M_PI / 4},
    };
    for (const auto& c : cases) EXPECT_NEAR(PhaseAngle(c.y, c.x), c.angle, 1e-15) << c.y << "," << c.x;
}

TEST(ComplexArithmetic, ModulusWeightedSumAndTrigPack) {
    EXPECT_DOUBLE_EQ(ComplexModulus(3, 4), 5);
    DVector w(1, 3);
    Vector<Complex> v(1, 3);
    w[1] = 2; w[2] = -1; w[3] = 0.5;
    v[1] = {1, 1}; v[2] = {0, 3}; v[3] = {4, -2};
    Complex s = ComplexWeightedSum(3, w, v);
    EXPECT_DOUBLE_EQ(s.re, 4);
    EXPECT_DOUBLE_EQ(s.im, -2);
    s = ComplexWeightedSum(0, w, v);
    EXPECT_EQ(s.re, 0);
    EXPECT_EQ(s.im, 0);
    for (double x : {-3.0, 0.2, 4.0}) {
        const HyperTrig h = HyperTrigPack(x);
        EXPECT_NEAR(h.sinh, std::sinh(x), 1e-13 * std::cosh(x));
        EXPECT_NEAR(h.cosh, std::cosh(x), 1e-13 * std::cosh(x));
        EXPECT_DOUBLE_EQ(h.sin, std::sin(x));
        EXPECT_DOUBLE_EQ(h.cos, std::cos(x));
    }
}
