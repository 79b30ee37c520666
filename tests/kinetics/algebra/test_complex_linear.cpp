#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "kinetics/algebra/Reference.h"
#include "kinetics/algebra/ComplexLinear.h"

using namespace pellucor;
using kinref::C;
using kinref::CMat;

namespace {

CMat Real(std::initializer_list<std::initializer_list<double>> rows) {
    CMat m;
    for (auto r : rows) {
        m.emplace_back();
        for (double v : r) m.back().push_back(v);
    }
    return m;
}

CMat Random(std::mt19937& gen, int n) {
    std::uniform_real_distribution<double> d(-2.0, 2.0);
    CMat m(static_cast<size_t>(n), std::vector<C>(static_cast<size_t>(n)));
    for (auto& row : m)
        for (auto& v : row) v = C(d(gen), d(gen));
    return m;
}

void ExpectSameMatrix(const ComplexMatrix& a, const CMat& m) {
    for (size_t i = 0; i < m.size(); ++i)
        for (size_t j = 0; j < m.size(); ++j) {
            const int r = static_cast<int>(i) + 1, c = static_cast<int>(j) + 1;
            EXPECT_EQ(a[r][c].re, m[i][j].real());
            EXPECT_EQ(a[r][c].im, m[i][j].imag());
        }
}

}  // namespace

TEST(ComplexDeterminant, WorkedExamples) {
    struct Case {
        const char* name;
        CMat m;
        double det;
    } cases[] = {
        {"2x2", Real({{1, 2}, {3, 4}}), -2.0},
        {"4x4 rows 1 and 2 of the identity swapped", Real({{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}), -1.0},
        {"4x4 block diagonal", Real({{1, 2, 0, 0}, {3, 4, 0, 0}, {0, 0, 1, 2}, {0, 0, 3, 4}}), 4.0},
        {"4x4 with a zero leading entry", Real({{0, 2, 1, 3}, {1, 0, 2, 1}, {3, 1, 0, 2}, {2, 3, 1, 0}}), 0.0},
        {"3x3", Real({{2, -1, 0}, {-1, 2, -1}, {0, -1, 2}}), 4.0},
        {"1x1", Real({{-7.5}}), -7.5},
    };
    // The 4x4 with zeros on the diagonal: value by hand-independent elimination.
    cases[3].det = kinref::Det(cases[3].m).real();
    for (const auto& c : cases) {
        const auto a = kinref::ToMatrix(c.m);
        const Complex d = ComplexDeterminant(static_cast<int>(c.m.size()), a);
        EXPECT_NEAR(d.re, c.det, 1e-12) << c.name;
        EXPECT_EQ(d.im, 0.0) << c.name;
    }
}

TEST(ComplexDeterminant, AgreesWithEliminationForRandomMatrices) {
    std::mt19937 gen(20261210);
    for (int n = 1; n <= 6; ++n)
        for (int trial = 0; trial < 50; ++trial) {
            const CMat m = Random(gen, n);
            const C want = kinref::Det(m);
            const auto a = kinref::ToMatrix(m);
            const C got = kinref::ToStd(ComplexDeterminant(n, a));
            EXPECT_LE(std::abs(got - want), 1e-12 * std::max(1.0, std::abs(want))) << "n = " << n;
            ExpectSameMatrix(a, m);
        }
}

TEST(SolveComplexLinear, WorkedExample2x2) {
    const auto a = kinref::ToMatrix(Real({{1, 2}, {3, 4}}));
    Vector<Complex> b(1, 2), x(1, 2);
    b[1] = {5, 0};
    b[2] = {6, 0};
    Complex work{}, det{};
    EXPECT_EQ(SolveComplexLinear(2, a, b, x, work, det), KineticStatus::Ok);
    EXPECT_NEAR(x[1].re, -4.0, 1e-14);
    EXPECT_NEAR(x[2].re, 4.5, 1e-14);
    EXPECT_NEAR(det.re, -2.0, 1e-14);
    // The last Cramer determinant: column 2 replaced by b, 1*6 - 3*5.
    EXPECT_NEAR(work.re, -9.0, 1e-14);
}

TEST(SolveComplexLinear, AgreesWithEliminationAndLeavesMatrixAlone) {
    std::mt19937 gen(7);
    for (int n = 1; n <= 5; ++n)
        for (int trial = 0; trial < 40; ++trial) {
            const CMat m = Random(gen, n);
            std::vector<C> want(static_cast<size_t>(n));
            Vector<Complex> b(1, n), x(1, n);
            std::uniform_real_distribution<double> d(-1.0, 1.0);
            for (int i = 1; i <= n; ++i) {
                want[static_cast<size_t>(i - 1)] = C(d(gen), d(gen));
                b[i] = {want[static_cast<size_t>(i - 1)].real(), want[static_cast<size_t>(i - 1)].imag()};
            }
            const C detWant = kinref::Eliminate(m, want);
            const auto a = kinref::ToMatrix(m);
            Complex work{}, det{};
            const KineticStatus s = SolveComplexLinear(n, a, b, x, work, det);
            ASSERT_EQ(s, KineticStatus::Ok) << "n = " << n;
            for (int i = 1; i <= n; ++i) {
                const C w = want[static_cast<size_t>(i - 1)];
                EXPECT_LE(std::abs(kinref::ToStd(x[i]) - w), 1e-10 * std::max(1.0, std::abs(w))) << "n = " << n;
            }
            if (n > 1) {
                EXPECT_LE(std::abs(kinref::ToStd(det) - detWant), 1e-12 * std::max(1.0, std::abs(detWant)));
            }
            ExpectSameMatrix(a, m);
        }
}

TEST(SolveComplexLinear, OneByOneWritesOnlyTheSolution) {
    const auto a = kinref::ToMatrix({{C(0.0, 2.0)}});
    Vector<Complex> b(1, 1), x(1, 1);
    b[1] = {4.0, 0.0};
    Complex work{11.0, 12.0}, det{13.0, 14.0};
    EXPECT_EQ(SolveComplexLinear(1, a, b, x, work, det), KineticStatus::Ok);
    EXPECT_NEAR(x[1].re, 0.0, 1e-15);
    EXPECT_NEAR(x[1].im, -2.0, 1e-15);
    EXPECT_EQ(work.re, 11.0);
    EXPECT_EQ(work.im, 12.0);
    EXPECT_EQ(det.re, 13.0);
    EXPECT_EQ(det.im, 14.0);
}

TEST(SolveComplexLinear, SingularSystemsAreReportedWithFiniteValues) {
    struct Case {
        const char* name;
        CMat m;
    } cases[] = {
        {"1x1 zero", Real({{0}})},
        {"2x2 dependent rows", Real({{1, 2}, {2, 4}})},
        {"3x3 zero row", Real({{1, 2, 3}, {0, 0, 0}, {4, 5, 6}})},
        {"3x3 rank 2", Real({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}})},
        {"4x4 complex dependent rows",
         {{C(1, 1), C(2, 0), C(0, 1), C(3, 0)},
          {C(2, 2), C(4, 0), C(0, 2), C(6, 0)},
          {C(0, 1), C(1, 0), C(5, 0), C(1, 1)},
          {C(2, 0), C(1, 1), C(1, 0), C(0, 3)}}},
    };
    for (const auto& c : cases) {
        const int n = static_cast<int>(c.m.size());
        const auto a = kinref::ToMatrix(c.m);
        Vector<Complex> b(1, n), x(1, n);
        for (int i = 1; i <= n; ++i) b[i] = {1.0, -0.5};
        Complex work{}, det{};
        EXPECT_EQ(SolveComplexLinear(n, a, b, x, work, det), KineticStatus::Singular) << c.name;
        for (int i = 1; i <= n; ++i) {
            EXPECT_TRUE(std::isfinite(x[i].re) && std::isfinite(x[i].im)) << c.name;
        }
        EXPECT_TRUE(std::isfinite(det.re) && std::isfinite(work.re)) << c.name;
        ExpectSameMatrix(a, c.m);
    }
    Vector<Complex> b(1, 1), x(1, 1);
    Complex work{}, det{};
    EXPECT_EQ(SolveComplexLinear(0, ComplexMatrix{}, b, x, work, det), KineticStatus::BadOrder);
}

TEST(SolveComplexLinear, OverflowIsReported) {
    const auto a = kinref::ToMatrix(Real({{1e200, 1e200}, {-1e200, 1e200}}));
    Vector<Complex> b(1, 2), x(1, 2);
    b[1] = {1.0, 0.0};
    b[2] = {2.0, 0.0};
    Complex work{}, det{};
    EXPECT_EQ(SolveComplexLinear(2, a, b, x, work, det), KineticStatus::NotFinite);
}

TEST(SolveComplexLinear, NotANumberIsReportedNotHidden) {
    // The guarded division would turn a divisor that is not a number into a
    // tiny one and give a finite answer: the status must still say so.
    for (int n : {1, 3}) {
        CMat m = Real({{2, 0, 0}, {0, 3, 0}, {0, 0, 4}});
        m.resize(static_cast<size_t>(n));
        for (auto& row : m) row.resize(static_cast<size_t>(n));
        m[0][0] = C(std::nan(""), 0.0);
        const auto a = kinref::ToMatrix(m);
        Vector<Complex> b(1, n), x(1, n);
        for (int i = 1; i <= n; ++i) b[i] = {1.0, 0.0};
        Complex work{}, det{};
        EXPECT_EQ(SolveComplexLinear(n, a, b, x, work, det), KineticStatus::NotFinite) << n;
    }
}

TEST(SolveComplexLinear, SmallButRegularSystemsAreSolvedExactly) {
    // Hand-solved systems M x = want, solved again as (s M) x = s b: the
    // solution does not depend on s, although for small s the determinant
    // (s^n det M) falls far below 1e-32.
    struct Case {
        const char* name;
        CMat m;
        std::vector<C> want;
    } cases[] = {
        {"1x1 imaginary", {{C(0, 2)}}, {C(0, -2)}},
        {"2x2", Real({{2, 1}, {1, 3}}), {C(1, 0), C(-1, 0)}},
        {"3x3 zero leading entry", Real({{0, 1, 0}, {1, 3, 0}, {0, 0, 4}}), {C(2, 0), C(-1, 0), C(0.5, 0)}},
        {"4x4", Real({{2, 1, 0, 0}, {1, 3, 0, 0}, {0, 0, 4, 0}, {0, 0, 1, 1}}),
         {C(1, 0), C(-1, 0), C(0.5, 0), C(2, 0)}},
        {"4x4 complex diagonal", {{C(0, 1), 0, 0, 0}, {0, C(1, 1), 0, 0}, {0, 0, 2, 0}, {0, 0, 0, C(0, -4)}},
         {C(1, 0), C(0, 1), C(-3, 0), C(1, 1)}},
    };
    for (const auto& c : cases) {
        const int n = static_cast<int>(c.m.size());
        for (double s : {1.0, 1e-9, 1e-12, 1e-20}) {
            CMat scaled = c.m;
            for (auto& row : scaled)
                for (auto& v : row) v *= s;
            Vector<Complex> b(1, n), x(1, n);
            for (int i = 0; i < n; ++i) {
                C bi = 0.0;
                for (int j = 0; j < n; ++j) bi += scaled[static_cast<size_t>(i)][static_cast<size_t>(j)] * c.want[static_cast<size_t>(j)];
                b[i + 1] = {bi.real(), bi.imag()};
            }
            const auto a = kinref::ToMatrix(scaled);
            Complex work{}, det{};
            EXPECT_EQ(SolveComplexLinear(n, a, b, x, work, det), KineticStatus::Ok) << c.name << " s = " << s;
            for (int i = 1; i <= n; ++i) {
                const C w = c.want[static_cast<size_t>(i - 1)];
                EXPECT_LE(std::abs(kinref::ToStd(x[i]) - w), 1e-12 * std::abs(w)) << c.name << " s = " << s;
            }
        }
    }
}
