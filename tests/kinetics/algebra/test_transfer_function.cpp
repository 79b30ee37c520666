#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "kinetics/algebra/ComplexLinear.h"
#include "kinetics/algebra/ElementsFromTransfer.h"
#include "kinetics/algebra/Reference.h"
#include "kinetics/algebra/TransferFunction.h"

using namespace pellucor;
using kinref::C;

namespace {

struct Linearised {
    std::vector<std::vector<double>> J;
    std::vector<double> u, w;
};

// Diagonally dominant with a negative diagonal: every Gershgorin disc lies in
// the left half-plane, so the mechanism is stable; eigenvalues may be complex.
Linearised RandomStable(std::mt19937& gen, int n) {
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    Linearised k;
    k.J.assign(static_cast<size_t>(n), std::vector<double>(static_cast<size_t>(n)));
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) k.J[i][j] = d(gen);
        k.J[i][i] -= n + 0.5;
        k.u.push_back(d(gen));
        k.w.push_back(d(gen));
    }
    return k;
}

DMatrix RealMatrix(const Linearised& k) {
    const int n = static_cast<int>(k.J.size());
    DMatrix m = AllocMatrix(1, n, 1, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) m[i][j] = k.J[i - 1][j - 1];
    return m;
}

DVector RealVector(const std::vector<double>& v) {
    DVector r = AllocVector(1, static_cast<int>(v.size()));
    for (size_t i = 0; i < v.size(); ++i) r[static_cast<int>(i) + 1] = v[i];
    return r;
}

// The complex cells of the two- and three-species windows; imaginary parts
// hold rubbish that must not be read.
ComplexMatrix ComplexCells(const Linearised& k) {
    const int n = static_cast<int>(k.J.size());
    ComplexMatrix m = AllocComplexMatrix(1, n, 1, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) m[i][j] = {k.J[i - 1][j - 1], 99.0 * i + j};
    return m;
}

Vector<Complex> ComplexCells(const std::vector<double>& v) {
    Vector<Complex> r(1, static_cast<int>(v.size()));
    for (size_t i = 0; i < v.size(); ++i) r[static_cast<int>(i) + 1] = {v[i], -42.0};
    return r;
}

void ExpectRelative(C got, C want, double rel, const std::string& what) {
    EXPECT_LE(std::abs(got - want), rel * std::abs(want)) << what << ": got " << got << " want " << want;
}

const double kOmegas[] = {0.0, 1e-3, 0.1, 0.7, 1.0, 3.3, 10.0, 250.0, 1e4};

}  // namespace

TEST(FaradaicAdmittance, RandomStableJacobiansAgreeWithElimination) {
    std::mt19937 gen(1812);
    for (int n = 1; n <= 4; ++n)
        for (int trial = 0; trial < 60; ++trial) {
            const Linearised k = RandomStable(gen, n);
            TransferCoefficients viaReal, viaComplex, only;
            BranchElements e1, e2;
            TransferFunctionFromRealJacobian(CircuitType::LRBased, n, RealMatrix(k), RealVector(k.u),
                                             RealVector(k.w), viaReal, e1);
            TransferFunctionFromJacobian(CircuitType::CRBased, n, ComplexCells(k), ComplexCells(k.u),
                                         RealVector(k.w), viaComplex, e2);
            only.fill(123.0);
            ASSERT_EQ(TransferCoefficientsFromJacobian(n, ComplexCells(k), ComplexCells(k.u), RealVector(k.w), only),
                      KineticStatus::Ok);
            for (int i = 1; i <= 8; ++i) {
                EXPECT_EQ(viaReal[i], viaComplex[i]);
                EXPECT_EQ(viaReal[i], only[i]);
            }
            for (double omega : kOmegas) {
                const C want = kinref::AdmittanceByElimination(k.J, k.u, k.w, omega);
                KineticStatus s = KineticStatus::BadOrder;
                const C got = kinref::ToStd(FaradaicAdmittance(n, omega, viaReal, &s));
                EXPECT_EQ(s, KineticStatus::Ok);
                ExpectRelative(got, want, 1e-10, "n = " + std::to_string(n) + ", omega = " + std::to_string(omega));

                // The four-species windows' direct road: solve (j omega I - J) x = u, then w.x.
                ComplexMatrix m = AllocComplexMatrix(1, n, 1, n);
                Vector<Complex> b(1, n), x(1, n);
                for (int i = 1; i <= n; ++i) {
                    for (int j = 1; j <= n; ++j) m[i][j] = {-k.J[i - 1][j - 1], 0.0};
                    m[i][i].im = omega;
                    b[i] = {k.u[i - 1], 0.0};
                }
                Complex work{}, det{};
                ASSERT_EQ(SolveComplexLinear(n, m, b, x, work, det), KineticStatus::Ok);
                C direct = 0.0;
                for (int i = 1; i <= n; ++i) direct += k.w[i - 1] * kinref::ToStd(x[i]);
                ExpectRelative(direct, want, 1e-10, "Cramer, n = " + std::to_string(n));
            }
        }
}

TEST(FaradaicAdmittance, ClosedFormCoefficientsOfSmallSystems) {
    // n = 2 by hand: J = [[-1, 2], [0.5, -3]], u = (1, 2), w = (3, -1).
    // det(sI - J) = (s+1)(s+3) - 1 = s^2 + 4s + 2; adj(sI - J) u = ((s+3) + 4, 0.5 + 2(s+1)).
    // N = 3(s + 7) - (2s + 2.5) = s + 18.5.
    Linearised k{{{-1, 2}, {0.5, -3}}, {1, 2}, {3, -1}};
    TransferCoefficients a;
    BranchElements e;
    TransferFunctionFromRealJacobian(CircuitType::LRBased, 2, RealMatrix(k), RealVector(k.u), RealVector(k.w), a, e);
    EXPECT_DOUBLE_EQ(a[1], 18.5);
    EXPECT_DOUBLE_EQ(a[2], 1.0);
    EXPECT_DOUBLE_EQ(a[5], 2.0);
    EXPECT_DOUBLE_EQ(a[6], 4.0);
    for (int i : {3, 4, 7, 8}) EXPECT_EQ(a[i], 0.0);
    // n = 1: a1 = w1 u1, a5 = -J11.
    Linearised one{{{-4}}, {0.5}, {-6}};
    TransferFunctionFromRealJacobian(CircuitType::LRBased, 1, RealMatrix(one), RealVector(one.u), RealVector(one.w), a, e);
    EXPECT_EQ(a[1], -3.0);
    EXPECT_EQ(a[5], 4.0);
    for (int i : {2, 3, 4, 6, 7, 8}) EXPECT_EQ(a[i], 0.0);
}

TEST(FaradaicAdmittance, AtZeroFrequencyIsTheRatioOfTheConstantTerms) {
    TransferCoefficients a;
    for (int i = 1; i <= 8; ++i) a[i] = 0.5 + i;
    for (int n = 1; n <= 4; ++n) {
        const Complex y = FaradaicAdmittance(n, 0.0, a);
        EXPECT_DOUBLE_EQ(y.re, a[1] / a[5]) << n;
        EXPECT_EQ(y.im, 0.0) << n;
    }
}

TEST(FaradaicAdmittance, SmallDenominatorsAreDividedExactly) {
    // Coefficients whose denominator is below 1e-32 in magnitude but not zero:
    // the admittance is an ordinary finite number worked out by hand.
    struct Case {
        int n;
        double omega;
        double a1, a5;
        double re, im;
    } cases[] = {
        {1, 0.0, 1e-40, 1e-35, 1e-5, 0.0},
        // 1e-40/(1e-35 + 1e-35 j) = 1e-5/(1 + j)
        {1, 1e-35, 1e-40, 1e-35, 0.5e-5, -0.5e-5},
        {2, 0.0, 3e-36, 1e-36, 3.0, 0.0},
        {3, 0.0, -2e-50, 4e-50, -0.5, 0.0},
        {4, 0.0, 5e-60, 2e-60, 2.5, 0.0},
    };
    for (const auto& c : cases) {
        TransferCoefficients a;
        a.fill(0.0);
        a[1] = c.a1;
        a[5] = c.a5;
        KineticStatus s = KineticStatus::Singular;
        const Complex y = FaradaicAdmittance(c.n, c.omega, a, &s);
        EXPECT_EQ(s, KineticStatus::Ok) << c.n;
        EXPECT_NEAR(y.re, c.re, 1e-12 * std::max(std::fabs(c.re), std::fabs(c.im))) << c.n;
        EXPECT_NEAR(y.im, c.im, 1e-12 * std::max(std::fabs(c.re), std::fabs(c.im))) << c.n;
    }
}

TEST(FaradaicAdmittance, VanishingDenominatorAndBadOrderAreReported) {
    TransferCoefficients a;
    a[1] = 2.0;  // a5 = 0: a pole at s = 0
    KineticStatus s = KineticStatus::Ok;
    const Complex y = FaradaicAdmittance(1, 0.0, a, &s);
    EXPECT_EQ(s, KineticStatus::Singular);
    EXPECT_TRUE(std::isfinite(y.re) && std::isfinite(y.im));
    EXPECT_GT(std::fabs(y.re), 1e30);
    a[5] = NAN;
    const Complex nan = FaradaicAdmittance(1, 1.0, a, &s);
    EXPECT_EQ(s, KineticStatus::NotFinite);
    EXPECT_EQ(nan.re, 0.0);
    EXPECT_EQ(nan.im, 0.0);
    const Complex z = FaradaicAdmittance(5, 1.0, a, &s);
    EXPECT_EQ(s, KineticStatus::BadOrder);
    EXPECT_EQ(z.re, 0.0);
    EXPECT_EQ(z.im, 0.0);
}

TEST(TransferFunctionFromElements, WorkedExamples) {
    TransferCoefficients a;
    a.fill(-7.0);
    CircuitElements e;
    e[3] = 1e-4;  // C1
    e[4] = 100.0;  // R1
    ASSERT_EQ(TransferFunctionFromElements(CircuitType::CRBased, 1, e, a), KineticStatus::Ok);
    EXPECT_DOUBLE_EQ(a[1], -1.0);
    EXPECT_DOUBLE_EQ(a[5], 100.0);
    // n = 1 writes a1 and a5 only; a6 (the value the windows read back) is untouched.
    for (int i : {2, 3, 4, 6, 7, 8}) EXPECT_EQ(a[i], -7.0);
    EXPECT_DOUBLE_EQ(FaradaicAdmittance(1, 0.0, a).re, -0.01);

    CircuitElements lr;
    lr[3] = 1.0, lr[4] = 2.0, lr[5] = 1.0, lr[6] = 3.0;
    ASSERT_EQ(TransferFunctionFromElements(CircuitType::LRBased, 2, lr, a), KineticStatus::Ok);
    EXPECT_DOUBLE_EQ(a[1], 5.0);
    EXPECT_DOUBLE_EQ(a[2], 2.0);
    EXPECT_DOUBLE_EQ(a[5], 6.0);
    EXPECT_DOUBLE_EQ(a[6], 5.0);
    for (int i : {3, 4, 7, 8}) EXPECT_EQ(a[i], -7.0);
}

TEST(TransferFunctionFromElements, AdmittanceEqualsTheSumOfTheBranches) {
    std::mt19937 gen(99);
    std::uniform_real_distribution<double> lg(-2.0, 2.0);
    for (bool cr : {true, false})
        for (int n = 1; n <= 4; ++n)
            for (int trial = 0; trial < 20; ++trial) {
                CircuitElements e;
                e[1] = 1e-5, e[2] = 50.0;  // Cdl and Rt: not part of Y_F
                std::vector<std::pair<double, double>> pairs;
                for (int k = 1; k <= n; ++k) {
                    const double x = std::pow(10.0, lg(gen) - (cr ? 3.0 : 0.0)), r = std::pow(10.0, lg(gen) + 1.0);
                    e[2 * k + 1] = x;
                    e[2 * k + 2] = r;
                    pairs.emplace_back(x, r);
                }
                TransferCoefficients a;
                ASSERT_EQ(TransferFunctionFromElements(cr ? CircuitType::CRBased : CircuitType::LRBased, n, e, a),
                          KineticStatus::Ok);
                for (double omega : kOmegas)
                    ExpectRelative(kinref::ToStd(FaradaicAdmittance(n, omega, a)),
                                   kinref::BranchAdmittance(cr, pairs, omega), 1e-10,
                                   std::string(cr ? "CR" : "LR") + " n = " + std::to_string(n));
            }
}

TEST(TransferFunctionFromElements, ZeroOrNonFiniteElementsAreRefused) {
    struct Case {
        const char* name;
        CircuitType type;
        int n;
        double x, r;
        KineticStatus want;
    } cases[] = {
        {"CR zero capacitance", CircuitType::CRBased, 2, 0.0, 10.0, KineticStatus::ZeroElement},
        {"CR zero resistance", CircuitType::CRBased, 3, 1e-3, 0.0, KineticStatus::ZeroElement},
        {"LR zero inductance", CircuitType::LRBased, 4, 0.0, 10.0, KineticStatus::ZeroElement},
        {"LR not a number", CircuitType::LRBased, 1, std::nan(""), 10.0, KineticStatus::NotFinite},
        {"CR infinite", CircuitType::CRBased, 1, 1e-3, INFINITY, KineticStatus::NotFinite},
        {"CR product underflows", CircuitType::CRBased, 1, 1e-300, 1e-300, KineticStatus::NotFinite},
    };
    for (const auto& c : cases) {
        CircuitElements e;
        for (int k = 1; k <= 4; ++k) e[2 * k + 1] = 1e-3 * k, e[2 * k + 2] = 10.0 * k;
        e[2 * c.n + 1] = c.x;  // the last branch of n is the bad one
        e[2 * c.n + 2] = c.r;
        TransferCoefficients a;
        a.fill(3.0);
        EXPECT_EQ(TransferFunctionFromElements(c.type, c.n, e, a), c.want) << c.name;
        for (int i = 1; i <= 8; ++i) EXPECT_EQ(a[i], 3.0) << c.name;
    }
    CircuitElements e;
    TransferCoefficients a;
    EXPECT_EQ(TransferFunctionFromElements(CircuitType::LRBased, 0, e, a), KineticStatus::BadOrder);
    EXPECT_EQ(TransferFunctionFromElements(CircuitType::LRBased, 5, e, a), KineticStatus::BadOrder);
}

TEST(TransferFunctionFromJacobian, BadInputZeroesEverything) {
    Linearised k{{{-1, 2}, {0.5, std::nan("")}}, {1, 2}, {3, -1}};
    TransferCoefficients a;
    BranchElements e;
    a.fill(5.0);
    e.fill(5.0);
    EXPECT_EQ(TransferFunctionFromRealJacobian(CircuitType::CRBased, 2, RealMatrix(k), RealVector(k.u),
                                               RealVector(k.w), a, e),
              KineticStatus::NotFinite);
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(a[i], 0.0);
        EXPECT_EQ(e[i], 0.0);
    }
    Linearised big{{{-1e200, 1e200}, {1e200, -1e200}}, {1, 2}, {3, -1}};
    EXPECT_EQ(TransferFunctionFromRealJacobian(CircuitType::CRBased, 2, RealMatrix(big), RealVector(big.u),
                                               RealVector(big.w), a, e),
              KineticStatus::NotFinite);
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(a[i], 0.0);
        EXPECT_EQ(e[i], 0.0);
    }
    a.fill(5.0);
    EXPECT_EQ(TransferCoefficientsFromJacobian(5, ComplexMatrix{}, Vector<Complex>{}, DVector{}, a),
              KineticStatus::BadOrder);
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(a[i], 0.0);
}
