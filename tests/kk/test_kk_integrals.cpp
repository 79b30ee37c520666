// The building blocks of the Kramers-Kronig check against closed forms: the
// parabola rule, the kernel integrals of the tail polynomials, the data
// integrals, the high-frequency power law and the LU solve.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ProgramState.h"
#include "kk/KramersKronig.h"
#include "kk/TailExtrapolation.h"
#include "platform/testing/Doubles.h"

namespace pellucor {
namespace {

using kk::LuIndexT;
using kk::LuMatrixT;
using kk::LuVectorT;

class KkIntegrals : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        kk::ClearTailSystemCache();
    }
    platform::testing::ScopedServices services_;
};

// ---- parabola rule -------------------------------------------------------

TEST_F(KkIntegrals, ParabolaRuleIsExactForAParabolaOnAnUnevenGrid) {
    const double u[] = {0, 5.0, 4.3, 3.9, 3.0, 2.2};  // falling, 1-based
    auto f = [](double x) { return 0.7 * x * x - 2 * x + 3; };
    auto antiderivative = [](double x) { return 0.7 * x * x * x / 3 - x * x + 3 * x; };
    double y[6] = {};
    for (int i = 1; i <= 5; ++i) y[i] = f(u[i]);
    for (int j = 2; j <= 5; ++j) {
        SCOPED_TRACE(j);
        const double exact = antiderivative(u[j - 1]) - antiderivative(u[j]);
        EXPECT_NEAR(kk::SegmentIntegral(u, y, 5, j), exact, 1e-12 * std::fabs(exact) + 1e-13);
    }
}

TEST_F(KkIntegrals, ParabolaRuleFallsBackToALineWhenTwoPointsCoincide) {
    // Points 2 and 3 share one frequency: the line through points 1 and 3,
    // integrated over [u2, u1], instead of a division by zero.
    const double u[] = {0, 5.0, 4.0, 4.0, 3.0};
    const double y[] = {0, 2.0, 7.0, 1.0, 0.0};
    const double q = kk::SegmentIntegral(u, y, 4, 2);
    EXPECT_DOUBLE_EQ(q, 1.5);
    EXPECT_TRUE(std::isfinite(kk::SegmentIntegral(u, y, 4, 3)));
}

// ---- kernel integrals of the tail polynomials ------------------------------

TEST_F(KkIntegrals, RealBasisIntegralsMatchTheirClosedForms) {
    // Int_0^inf (ln^k x - ln^k w0) / (x^2 - w0^2) dx: 0 for k = 0,
    // pi^2 / (4 w0) for k = 1, ln(w0) pi^2 / (2 w0) for k = 2; the range of
    // 16 decades around w0 leaves out less than 1e-6 of them.
    const double w0 = 3.7;
    double out[3] = {};
    kk::PolynomialTailIntegrals(true, w0 * 1e-8, w0 * 1e8, w0, 2, out);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_NEAR(out[1], M_PI * M_PI / (4 * w0), 1e-5);
    EXPECT_NEAR(out[2], std::log(w0) * M_PI * M_PI / (2 * w0), 1e-5);
}

TEST_F(KkIntegrals, ImaginaryBasisIntegralOfDegreeZeroMatchesItsClosedForm) {
    // Int (x - w0) / (x^2 - w0^2) dx = ln((high + w0) / (low + w0)), with the
    // removable singularity at w0 inside the range.
    const double w0 = 2.0, low = 0.01, high = 1000.0;
    double out[1] = {};
    kk::PolynomialTailIntegrals(false, low, high, w0, 0, out);
    EXPECT_NEAR(out[0], std::log((high + w0) / (low + w0)), 1e-6);
}

TEST_F(KkIntegrals, TheBasisIntegrandTakesItsLimitAtTheCollocationFrequency) {
    // x (L^3 - L0^3) / (x^2 - w0^2) tends to 3 L0^2 / (2 w0) as x -> w0
    const double w0 = 0.37, l0 = std::log(w0);
    const double limit = 3 * l0 * l0 / (2 * w0);
    EXPECT_NEAR(kk::TailIntegrand(5, l0, w0, 3), limit, 1e-12);
    EXPECT_NEAR(kk::TailIntegrand(5, l0 + 1e-7, w0, 3), limit, 1e-6);
    EXPECT_NEAR(kk::TailIntegrand(5, l0 + 1e-5, w0, 3), limit, 1e-4);  // just outside
    // x (x L^k - w0 L0^k) / (x^2 - w0^2) tends to (L0^k + k L0^(k-1)) / 2
    EXPECT_NEAR(kk::TailIntegrand(6, l0, w0, 2), (l0 * l0 + 2 * l0) / 2, 1e-12);
}

TEST_F(KkIntegrals, ADataIntegralMatchesAFineQuadratureOfTheInterpolatedData) {
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= 20; ++i) {
        sp.Omega[i] = 1e4 * std::pow(10.0, -0.25 * (i - 1));
        sp.ZReal[i] = 5.0 + 0.3 * i;
        sp.ZImag[i] = 2.0 + std::sin(0.7 * i);
    }
    sp.PointCount = sp.FilePointCount = 20;
    const double lo = sp.Omega[20], hi = sp.Omega[1], w0 = 0.2 * lo;
    // Int Y'/(x^2 - w0^2) dx and Int x Y''/(x^2 - w0^2) dx by the midpoint
    // rule in ln x on a fine grid
    const int steps = 200000;
    const double a = std::log(lo), h = (std::log(hi) - a) / steps;
    double real = 0, imag = 0;
    for (int k = 0; k < steps; ++k) {
        const double x = std::exp(a + (k + 0.5) * h);
        const double kernel = x / (x * x - w0 * w0) * h;
        real += kk::InterpolatedReal(x) * kernel;
        imag += x * kk::InterpolatedImag(x) * kernel;
    }
    EXPECT_NEAR(kk::DataRangeIntegral(true, lo, hi, w0), real, 1e-5 * std::fabs(real));
    EXPECT_NEAR(kk::DataRangeIntegral(false, lo, hi, w0), imag, 1e-5 * std::fabs(imag));
}

TEST_F(KkIntegrals, ADataIntegralOverConstantDataMatchesItsClosedForm) {
    SpectrumBlock& sp = State().Spectrum;
    const int m = 20;
    for (int i = 1; i <= m; ++i) {
        sp.Omega[i] = 1e4 * std::pow(10.0, -0.25 * (i - 1));
        sp.ZReal[i] = 5.0;
        sp.ZImag[i] = 2.0;
    }
    sp.PointCount = sp.FilePointCount = m;
    const double w1 = sp.Omega[1], n0 = sp.Omega[m], w0 = 0.3 * n0;
    // Int c / (x^2 - w0^2) dx and Int x d / (x^2 - w0^2) dx from N0 to W1
    auto logRatio = [&](double x) { return std::log((x - w0) / (x + w0)); };
    const double real = 5.0 / (2 * w0) * (logRatio(w1) - logRatio(n0));
    const double imag = 2.0 / 2 * std::log((w1 * w1 - w0 * w0) / (n0 * n0 - w0 * w0));
    EXPECT_NEAR(kk::DataRangeIntegral(true, n0, w1, w0), real, 1e-5 * std::fabs(real));
    EXPECT_NEAR(kk::DataRangeIntegral(false, n0, w1, w0), imag, 1e-5 * std::fabs(imag));
}

TEST_F(KkIntegrals, ADataIntegralFarAboveTheEvaluationFrequencyKeepsItsDigits) {
    // Six decades of constant data and evaluation frequencies down to far
    // below the range, as the lowest collocation frequencies of the tail
    // system are: Y / (x^2 - w0^2) is then thousands of times smaller than
    // Y / (2 w0 (x - w0)), and the integral must not be lost in between.
    SpectrumBlock& sp = State().Spectrum;
    const int m = 61;
    for (int i = 1; i <= m; ++i) {
        sp.Omega[i] = TwoPi * 1e5 * std::pow(10.0, -0.1 * (i - 1));
        sp.ZReal[i] = 10.0;
        sp.ZImag[i] = 2.0;
    }
    sp.PointCount = sp.FilePointCount = m;
    const double w1 = sp.Omega[1], n0 = sp.Omega[m];
    for (double ratio : {0.5, 0.05, 1e-3}) {
        SCOPED_TRACE(ratio);
        const double w0 = ratio * n0;
        auto logRatio = [&](double x) { return std::log((x - w0) / (x + w0)); };
        const double real = 10.0 / (2 * w0) * (logRatio(w1) - logRatio(n0));
        const double imag = 2.0 / 2 * std::log((w1 * w1 - w0 * w0) / (n0 * n0 - w0 * w0));
        EXPECT_NEAR(kk::DataRangeIntegral(true, n0, w1, w0), real, 1e-5 * std::fabs(real));
        EXPECT_NEAR(kk::DataRangeIntegral(false, n0, w1, w0), imag, 1e-5 * std::fabs(imag));
    }
}

TEST_F(KkIntegrals, DataAreInterpolatedLinearlyInLnOmegaAndTakeTheirOwnValueAtAPoint) {
    SpectrumBlock& sp = State().Spectrum;
    sp.Omega[1] = 1000;
    sp.Omega[2] = 10;
    sp.Omega[3] = 1;
    sp.ZReal[1] = 1;
    sp.ZReal[2] = 3;
    sp.ZReal[3] = 7;
    sp.ZImag[1] = -2;
    sp.ZImag[2] = 4;
    sp.ZImag[3] = 5;
    sp.FilePointCount = sp.PointCount = 3;
    EXPECT_DOUBLE_EQ(kk::InterpolatedReal(1000), 1.0);
    EXPECT_DOUBLE_EQ(kk::InterpolatedReal(10), 3.0);
    EXPECT_DOUBLE_EQ(kk::InterpolatedImag(1), 5.0);
    EXPECT_NEAR(kk::InterpolatedReal(100), 2.0, 1e-12);           // halfway in ln w
    EXPECT_NEAR(kk::InterpolatedImag(std::sqrt(10.0)), 4.5, 1e-12);
    EXPECT_NEAR(kk::InterpolatedReal(0.1), 11.0, 1e-12);           // last interval continued
}

// ---- high-frequency power law ------------------------------------------------

void FillTop(double a, double b) {
    SpectrumBlock& sp = State().Spectrum;
    const int m = 15;
    for (int i = 1; i <= m; ++i) {
        sp.Omega[i] = 6e6 * std::pow(10.0, -0.1 * (i - 1));
        sp.ZReal[i] = a * std::pow(sp.Omega[i], b);
        sp.ZImag[i] = 1.0;
    }
    sp.PointCount = sp.FilePointCount = m;
    State().Extrap.OmegaAt1 = sp.Omega[1];
    State().Extrap.ZRealAtN = sp.ZReal[1];
}

TEST_F(KkIntegrals, APowerLawAboveTheDataIsRecovered) {
    FillTop(50.0, -0.3);
    State().Spectrum.ZReal[9] = 1e6;  // points below the top five do not count
    kk::FitHighFrequencyTail();
    const ExtrapolationState& ex = State().Extrap;
    EXPECT_FALSE(ex.HighFreqConstant);
    EXPECT_NEAR(ex.HighFreqFit[1], std::log(50.0), 1e-9);
    EXPECT_NEAR(ex.HighFreqFit[2], -0.3, 1e-10);
    const double w1 = ex.OmegaAt1;
    EXPECT_NEAR(kk::HighFrequencyTailOverX2(), 50.0 * std::pow(w1, -1.3) / 1.3,
                1e-8 * 50.0 * std::pow(w1, -1.3));
}

TEST_F(KkIntegrals, TheTailIntegralMatchesAnIndependentQuadrature) {
    FillTop(50.0, -0.3);
    kk::FitHighFrequencyTail();
    const SpectrumBlock& sp = State().Spectrum;
    const double w1 = sp.Omega[1];
    // 2 w0 Int (Z'(x) - Z'(w0)) / (x^2 - w0^2) dx above w1, by a fine
    // midpoint rule in ln x (to 1e4 w1 for the numeric branch; to 1e12 w1
    // with x^2 - w0^2 taken as x^2 for the closed branch).
    auto reference = [&](int p, double decades, bool far) {
        const double w0 = sp.Omega[p], z0 = sp.ZReal[p];
        const int steps = 400000;
        const double h = decades * std::log(10.0) / steps;
        double s = 0;
        for (int k = 0; k < steps; ++k) {
            const double x = w1 * std::exp((k + 0.5) * h);
            const double den = far ? x * x : x * x - w0 * w0;
            s += (50.0 * std::pow(x, -0.3) - z0) / den * x * h;
        }
        return 2 * w0 * s;
    };
    for (int p : {2, 5}) {  // within a decade of w1: trapezoid over four decades
        const double ref = reference(p, 4, false);
        EXPECT_NEAR(kk::HighFrequencyTailIntegral(p), ref, 0.01 * std::fabs(ref)) << p;
    }
    const double ref = reference(15, 12, true);  // more than a decade below
    EXPECT_NEAR(kk::HighFrequencyTailIntegral(15), ref, 1e-4 * std::fabs(ref));
}

TEST_F(KkIntegrals, AnUnusableTailFallsBackToAConstantInsteadOfNotANumber) {
    struct Case {
        const char* what;
        int point;
        double value;  // Z' put at that point; NaN: a rising power law
    };
    const Case cases[] = {
        {"zero real part", 3, 0.0},
        {"negative real part", 2, -4.0},
        {"power law that diverges", 0, std::nan("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetProgramState();
        if (c.point == 0)
            FillTop(1e-6, 1.2);  // Z' rising like w^1.2: no finite tail integral
        else
            FillTop(50.0, -0.3);
        if (c.point > 0) State().Spectrum.ZReal[c.point] = c.value;
        kk::FitHighFrequencyTail();
        const ExtrapolationState& ex = State().Extrap;
        const double z1 = State().Spectrum.ZReal[1];
        EXPECT_TRUE(ex.HighFreqConstant);
        EXPECT_EQ(ex.HighFreqFit[3], z1);
        EXPECT_DOUBLE_EQ(kk::HighFrequencyTailOverX2(), z1 / ex.OmegaAt1);
        for (int p : {1, 2, 15}) EXPECT_TRUE(std::isfinite(kk::HighFrequencyTailIntegral(p))) << p;
        // a constant tail equal to the point's own value adds nothing
        EXPECT_NEAR(kk::HighFrequencyTailIntegral(1), 0.0, 1e-12);
    }
}

// ---- LU decomposition and solve ---------------------------------------------

void Load(LuMatrixT& a, int n, double (*entry)(int, int)) {
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) a[i][j] = entry(i, j);
}

// b = A x in long double, then solve and compare with x.
void ExpectSolves(double (*entry)(int, int), int n, double (*solution)(int), double tolerance) {
    LuMatrixT a;
    Load(a, n, entry);
    LuVectorT b;
    for (int i = 1; i <= n; ++i) {
        long double s = 0;
        for (int j = 1; j <= n; ++j) s += static_cast<long double>(entry(i, j)) * solution(j);
        b[i] = static_cast<double>(s);
    }
    LuIndexT index;
    double parity = 0;
    ASSERT_TRUE(kk::LuDecompose(a, n, index, parity));
    kk::LuBackSubstitute(a, n, index, b);
    for (int i = 1; i <= n; ++i)
        EXPECT_NEAR(b[i], solution(i), tolerance * std::fabs(solution(i))) << "unknown " << i;
}

TEST_F(KkIntegrals, LuSolvesASystemThatNeedsRowInterchanges) {
    // a11 = 0: without pivoting the first step divides by zero
    ExpectSolves(
        [](int i, int j) {
            static const double m[3][3] = {{0, 2, 1}, {1, 1, 1}, {2, 1, 3}};
            return m[i - 1][j - 1];
        },
        3, [](int i) { return i == 1 ? 1.0 : i == 2 ? -2.0 : 3.0; }, 1e-14);
}

TEST_F(KkIntegrals, LuSolvesTheFullTailSizeToRoundingError) {
    // 30 unknowns, as many as the tail system can have
    ExpectSolves([](int i, int j) { return std::sin(1.3 * i * j) + (i == j ? 8.0 : 0.0); }, 30,
                 [](int i) { return 1.0 + 0.1 * i; }, 1e-12);
}

TEST_F(KkIntegrals, LuSolvesAnIllConditionedSystemInDoublePrecision) {
    // Hilbert matrix of order 6 (condition about 1.5e7): double precision
    // keeps about nine digits; a single-precision back substitution would
    // lose them all.
    ExpectSolves([](int i, int j) { return 1.0 / (i + j - 1); }, 6,
                 [](int i) { return static_cast<double>(i); }, 1e-7);
}

TEST_F(KkIntegrals, ASingularMatrixIsReportedAndRefused) {
    struct Case {
        const char* what;
        double m[3][3];
    };
    const Case cases[] = {
        {"row of zeros", {{1, 2, 3}, {0, 0, 0}, {4, 5, 7}}},
        {"dependent rows", {{1, 2, 3}, {2, 4, 6}, {1, 0, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        services_.errors.captured.clear();
        LuMatrixT a;
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) a[i][j] = c.m[i - 1][j - 1];
        LuIndexT index;
        double parity = 0;
        EXPECT_FALSE(kk::LuDecompose(a, 3, index, parity));
        EXPECT_NE(services_.errors.captured.find("Singular matrix in routine LUDCMP"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace pellucor
