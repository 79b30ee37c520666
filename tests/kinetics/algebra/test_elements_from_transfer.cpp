#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "kinetics/algebra/ElementsFromTransfer.h"
#include "kinetics/algebra/Reference.h"
#include "kinetics/algebra/TransferFunction.h"

using namespace pellucor;
using kinref::C;
using Pairs = std::vector<std::pair<double, double>>;

namespace {

// Coefficients of Y_F = sum r_k/(s - p_k), written out from the poles.
TransferCoefficients FromPoles(const std::vector<double>& p, const std::vector<double>& r) {
    const int n = static_cast<int>(p.size());
    // Polynomial products in ascending powers.
    auto mul = [](std::vector<double> q, double root) {
        std::vector<double> out(q.size() + 1, 0.0);
        for (size_t i = 0; i < q.size(); ++i) {
            out[i + 1] += q[i];
            out[i] -= root * q[i];
        }
        return out;
    };
    std::vector<double> den{1.0}, num(static_cast<size_t>(n), 0.0);
    for (double x : p) den = mul(den, x);
    for (int k = 0; k < n; ++k) {
        std::vector<double> q{1.0};
        for (int j = 0; j < n; ++j)
            if (j != k) q = mul(q, p[static_cast<size_t>(j)]);
        for (size_t i = 0; i < q.size(); ++i) num[i] += r[static_cast<size_t>(k)] * q[i];
    }
    TransferCoefficients a;
    for (int i = 0; i < n; ++i) {
        a[i + 1] = num[static_cast<size_t>(i)];
        a[i + 5] = den[static_cast<size_t>(i)];
    }
    return a;
}

bool AllFinite(const BranchElements& e) {
    return std::all_of(e.begin(), e.end(), [](double v) { return std::isfinite(v); });
}

// The branch order the windows' edits rely on, from the relaxation rates
// h_k (pole -h_k): n = 2 larger pole first, n = 3 ascending poles, n = 4 the
// pole nearest zero last and the other three ascending.
Pairs InOutputOrder(bool cr, Pairs pairs) {
    auto h = [cr](const std::pair<double, double>& x) { return cr ? 1.0 / (x.first * x.second) : x.second / x.first; };
    auto byPoleAscending = [&](const auto& x, const auto& y) { return h(x) > h(y); };
    switch (pairs.size()) {
        case 2: std::sort(pairs.begin(), pairs.end(), [&](const auto& x, const auto& y) { return h(x) < h(y); }); break;
        case 3: std::sort(pairs.begin(), pairs.end(), byPoleAscending); break;
        case 4:
            std::sort(pairs.begin(), pairs.end(), byPoleAscending);  // pole nearest zero comes last already
            break;
        default: break;
    }
    return pairs;
}

}  // namespace

TEST(CubicRoots, WorkedExamples) {
    double r1, r2, r3;
    ASSERT_EQ(CubicRoots(-6, 11, -6, r1, r2, r3), 3);
    EXPECT_NEAR(r1, 1.0, 1e-6);
    EXPECT_NEAR(r2, 2.0, 1e-6);  // the short pi alone would leave 1.1e-6 here
    EXPECT_NEAR(r3, 3.0, 1e-6);
    ASSERT_EQ(CubicRoots(0, -3, 0, r1, r2, r3), 3);
    EXPECT_NEAR(r1, -std::sqrt(3.0), 1e-5);
    EXPECT_NEAR(r2, 0.0, 1e-5);
    EXPECT_NEAR(r3, std::sqrt(3.0), 1e-5);
    ASSERT_EQ(CubicRoots(0, 0, -1, r1, r2, r3), 1);
    EXPECT_NEAR(r1, 1.0, 1e-14);
}

TEST(CubicRoots, VietaRelationsInAscendingOrder) {
    std::mt19937 gen(31);
    std::uniform_real_distribution<double> d(-50.0, 50.0);
    for (int trial = 0; trial < 500; ++trial) {
        double x[3] = {d(gen), d(gen), d(gen)};
        const double a = -(x[0] + x[1] + x[2]);
        const double b = x[0] * x[1] + x[1] * x[2] + x[0] * x[2];
        const double c = -x[0] * x[1] * x[2];
        double r1, r2, r3;
        ASSERT_EQ(CubicRoots(a, b, c, r1, r2, r3), 3) << trial;
        EXPECT_LE(r1, r2);
        EXPECT_LE(r2, r3);
        const double scale = std::max({std::fabs(x[0]), std::fabs(x[1]), std::fabs(x[2]), 1.0});
        EXPECT_NEAR(r1 + r2 + r3, -a, 1e-10 * scale);
        EXPECT_NEAR(r1 * r2 + r2 * r3 + r1 * r3, b, 1e-10 * scale * scale);
        EXPECT_NEAR(r1 * r2 * r3, -c, 1e-10 * scale * scale * scale);
        std::sort(x, x + 3);
        EXPECT_NEAR(r1, x[0], 1e-10 * scale);
        EXPECT_NEAR(r2, x[1], 1e-10 * scale);
        EXPECT_NEAR(r3, x[2], 1e-10 * scale);
    }
    // One real root beside a complex pair u +- jv: the other outputs are
    // defined (the same root), never left as they were.
    for (int trial = 0; trial < 200; ++trial) {
        const double x = d(gen), u = d(gen), v = 0.5 + std::fabs(d(gen));
        const double a = -(x + 2 * u), b = 2 * u * x + u * u + v * v, c = -x * (u * u + v * v);
        double r1 = NAN, r2 = NAN, r3 = NAN;
        ASSERT_EQ(CubicRoots(a, b, c, r1, r2, r3), 1) << trial;
        const double scale = std::max({std::fabs(x), std::fabs(u), v, 1.0});
        EXPECT_NEAR(r1, x, 1e-9 * scale);
        EXPECT_EQ(r2, r1);
        EXPECT_EQ(r3, r1);
    }
}

TEST(CubicRoots, RepeatedRootsGiveNumbers) {
    double r1 = NAN, r2 = NAN, r3 = NAN;
    // (x - 1)^3: Q = R = 0, where Cardano's Q/A is 0/0.
    EXPECT_EQ(CubicRoots(-3, 3, -1, r1, r2, r3), 3);
    EXPECT_EQ(r1, 1.0);
    EXPECT_EQ(r2, 1.0);
    EXPECT_EQ(r3, 1.0);
    // (x - 1)^2 (x + 2): discriminant exactly zero.
    EXPECT_EQ(CubicRoots(0, -3, 2, r1, r2, r3), 3);
    EXPECT_DOUBLE_EQ(r1, -2.0);
    EXPECT_DOUBLE_EQ(r2, 1.0);
    EXPECT_DOUBLE_EQ(r3, 1.0);
    // Not finite, or beyond what the formulas can hold: no roots, all 0.
    for (double big : {std::nan(""), HUGE_VAL, 1e200}) {
        EXPECT_EQ(CubicRoots(big, 1, 1, r1, r2, r3), 0);
        EXPECT_EQ(r1, 0.0);
        EXPECT_EQ(r2, 0.0);
        EXPECT_EQ(r3, 0.0);
    }
    // x^3: all zero.
    EXPECT_EQ(CubicRoots(0, 0, 0, r1, r2, r3), 3);
    EXPECT_EQ(r1, 0.0);
    EXPECT_EQ(r3, 0.0);
}

// The cubic with the ascending real roots x: three roots, each within 1e-9
// of its own size.
static void ExpectThreeRealRoots(const std::vector<double>& x) {
    const double a = -(x[0] + x[1] + x[2]);
    const double b = x[0] * x[1] + x[1] * x[2] + x[0] * x[2];
    const double c = -x[0] * x[1] * x[2];
    double r[3];
    ASSERT_EQ(CubicRoots(a, b, c, r[0], r[1], r[2]), 3) << x[0] << " " << x[1] << " " << x[2];
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(r[i], x[static_cast<size_t>(i)], 1e-9 * std::fabs(x[static_cast<size_t>(i)]))
            << "root " << i + 1 << " of " << x[0] << ", " << x[1] << ", " << x[2];
}

// Roots many decades apart, of either sign (a positive root is an unstable
// relaxation, met beside the stable ones near multiple steady states). The
// short pi leaves the trigonometric roots an error of about 1e-6 of the
// largest, which a root twelve decades smaller cannot survive.
TEST(CubicRoots, RootsManyDecadesApartKeepTheirDigits) {
    const std::vector<std::vector<double>> cases = {
        {1e-6, 1.0, 1e6},     {1e-8, 1.0, 1e8},   {-1e8, -1.0, -1e-8},
        {1e-4, 1e2, 1e8},     {-1e8, -1e2, -1e-4}, {-1e6, 1e-3, 2e6},
    };
    for (const auto& x : cases) {
        ExpectThreeRealRoots(x);
    }
}

// Two slow relaxations beside one eight or nine decades faster: Q^3 and R^2
// then agree to their last digits, and the sign of their difference alone
// cannot tell a real pair of roots from a complex one.
TEST(CubicRoots, ANearPairBesideAFarRootIsToldRealOrComplex) {
    const std::vector<std::vector<double>> real = {
        {-1e9, -2.0, -1.0}, {-1e6, -2e-3, -1e-3}, {-3.0, -1.0, 1e9}, {-5e8, 0.5, 2.0}, {-1e10, -1.5, -1.0}};
    for (const auto& x : real) {
        ExpectThreeRealRoots(x);
    }
    // x the real root, u +- jv the complex pair
    const std::vector<std::vector<double>> complex = {
        {-1e9, -1.0, 0.5}, {-1e9, -1.0, 0.01}, {-1e6, -1e-3, 5e-4}, {-1e8, -1.0, 0.3}, {2e9, 1.0, 1.0}};
    for (const auto& z : complex) {
        const double x = z[0], u = z[1], v = z[2];
        const double a = -(x + 2 * u), b = 2 * u * x + u * u + v * v, c = -x * (u * u + v * v);
        double r1 = NAN, r2 = NAN, r3 = NAN;
        ASSERT_EQ(CubicRoots(a, b, c, r1, r2, r3), 1) << x << " and " << u << " +- j" << v;
        EXPECT_NEAR(r1, x, 1e-9 * std::fabs(x));
        EXPECT_EQ(r2, r1);
        EXPECT_EQ(r3, r1);
    }
}

TEST(ElementsFromTransferFunction, SlowRelaxationsBesideAVeryFastOneAreDrawnAndAnOscillationIsNot) {
    // Poles -1 and -2 beside -1e9 (three species), and beside -1e9 and the
    // Newton pole -0.5 (four species): real, distinct, each with its branch.
    for (int n : {3, 4}) {
        const std::vector<double> p = n == 3 ? std::vector<double>{-1e9, -2.0, -1.0}
                                             : std::vector<double>{-1e9, -2.0, -1.0, -0.5};
        const std::vector<double> r = n == 3 ? std::vector<double>{3.0, 2.0, 1.0} : std::vector<double>{3.0, 2.0, 1.0, 4.0};
        BranchElements e;
        ASSERT_EQ(ElementsFromTransferFunction(CircuitType::LRBased, n, FromPoles(p, r), e), KineticStatus::Ok) << n;
        for (int k = 1; k <= n; ++k) {
            const double pk = p[static_cast<size_t>(k - 1)], rk = r[static_cast<size_t>(k - 1)];
            EXPECT_NEAR(e[2 * k - 1], 1.0 / rk, 1e-7 / rk) << "n = " << n << " pair " << k;
            EXPECT_NEAR(e[2 * k], -pk / rk, 1e-7 * std::fabs(pk / rk)) << "n = " << n << " pair " << k;
        }
    }
    // Poles -1 +- 0.5j beside -1e9: N(s)/D(s) with
    // D = (s + 1e9)(s^2 + 2 s + 1.25) has no drawing as three real branches.
    TransferCoefficients a;
    a.fill(0.0);
    a[1] = 1.0;
    a[2] = 1.0;
    a[3] = 1.0;
    a[5] = 1.25e9;
    a[6] = 1.25 + 2e9;
    a[7] = 2.0 + 1e9;
    BranchElements e;
    e.fill(7.0);
    EXPECT_EQ(ElementsFromTransferFunction(CircuitType::CRBased, 3, a, e), KineticStatus::ComplexPoles);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(e[i], 0.0) << i;
}

TEST(ElementsFromTransferFunction, AnUnstableRelaxationBesideFastOnesKeepsItsElements) {
    // Three (LR) branches with relaxation rates h = -1e-4 (unstable, a negative
    // resistance), -1e2 and -1e8 s^-1: poles 1e-4, 1e2 and 1e8, ascending.
    const std::vector<double> p = {1e-4, 1e2, 1e8}, r = {2.0, 0.5, 4e3};
    const TransferCoefficients a = FromPoles(p, r);
    BranchElements e;
    ASSERT_EQ(ElementsFromTransferFunction(CircuitType::LRBased, 3, a, e), KineticStatus::Ok);
    for (int k = 1; k <= 3; ++k) {
        const double L = 1.0 / r[static_cast<size_t>(k - 1)], R = -p[static_cast<size_t>(k - 1)] / r[static_cast<size_t>(k - 1)];
        EXPECT_NEAR(e[2 * k - 1], L, 1e-8 * std::fabs(L)) << "pair " << k;
        EXPECT_NEAR(e[2 * k], R, 1e-8 * std::fabs(R)) << "pair " << k;
    }
}

TEST(ElementsFromTransferFunction, WorkedExamplesOfOneSpecies) {
    TransferCoefficients a;
    BranchElements e;
    e.fill(-1.0);
    a[1] = -1.0, a[5] = 100.0;
    ASSERT_EQ(ElementsFromTransferFunction(CircuitType::CRBased, 1, a, e), KineticStatus::Ok);
    EXPECT_DOUBLE_EQ(e[1], 1e-4);
    EXPECT_DOUBLE_EQ(e[2], 100.0);
    for (int i = 3; i <= 8; ++i) EXPECT_EQ(e[i], -1.0);  // beyond 2n: not written
    a[1] = 1.0, a[5] = 2.0;
    ASSERT_EQ(ElementsFromTransferFunction(CircuitType::LRBased, 1, a, e), KineticStatus::Ok);
    EXPECT_DOUBLE_EQ(e[1], 1.0);
    EXPECT_DOUBLE_EQ(e[2], 2.0);
}

TEST(ElementsFromTransferFunction, RoundTripsThroughTheCoefficients) {
    std::mt19937 gen(4242);
    std::uniform_real_distribution<double> d(0.0, 1.0);
    for (bool cr : {true, false})
        for (int n = 1; n <= 4; ++n)
            for (int trial = 0; trial < 40; ++trial) {
                // Relaxation rates a factor 3 to 10 apart, in random order.
                std::vector<double> h;
                double rate = std::pow(10.0, -1.0 + d(gen));
                for (int k = 0; k < n; ++k, rate *= 3.0 + 7.0 * d(gen)) h.push_back(rate);
                std::shuffle(h.begin(), h.end(), gen);
                CircuitElements in;
                Pairs pairs;
                for (int k = 1; k <= n; ++k) {
                    const double r = std::pow(10.0, 3.0 * d(gen));
                    const double x = cr ? 1.0 / (h[static_cast<size_t>(k - 1)] * r) : r / h[static_cast<size_t>(k - 1)];
                    in[2 * k + 1] = x;
                    in[2 * k + 2] = r;
                    pairs.emplace_back(x, r);
                }
                const CircuitType type = cr ? CircuitType::CRBased : CircuitType::LRBased;
                TransferCoefficients a;
                ASSERT_EQ(TransferFunctionFromElements(type, n, in, a), KineticStatus::Ok);
                BranchElements out;
                ASSERT_EQ(ElementsFromTransferFunction(type, n, a, out), KineticStatus::Ok);
                const double tol = 1e-10;
                const Pairs want = InOutputOrder(cr, pairs);
                for (int k = 1; k <= n; ++k) {
                    const auto [x, r] = want[static_cast<size_t>(k - 1)];
                    EXPECT_NEAR(out[2 * k - 1], x, tol * x) << (cr ? "CR" : "LR") << " n = " << n << " pair " << k;
                    EXPECT_NEAR(out[2 * k], r, tol * r) << (cr ? "CR" : "LR") << " n = " << n << " pair " << k;
                }
                // And back again to the same coefficients.
                CircuitElements again;
                for (int i = 1; i <= 2 * n; ++i) again[i + 2] = out[i];
                TransferCoefficients b;
                ASSERT_EQ(TransferFunctionFromElements(type, n, again, b), KineticStatus::Ok);
                for (int i = 1; i <= n; ++i) {
                    EXPECT_NEAR(b[i], a[i], 4 * tol * std::fabs(a[i]) + 1e-300);
                    EXPECT_NEAR(b[4 + i], a[4 + i], 4 * tol * std::fabs(a[4 + i]));
                }
            }
}

TEST(ElementsFromTransferFunction, JacobianAdmittanceEqualsTheBranchesFoundFromIt) {
    // J = S diag(p) S^-1 with distinct negative p: a stable mechanism whose
    // relaxations are real, so every order has a drawing as branches.
    std::mt19937 gen(5150);
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    for (bool cr : {true, false})
        for (int n = 1; n <= 4; ++n)
            for (int trial = 0; trial < 30; ++trial) {
                const size_t m = static_cast<size_t>(n);
                std::vector<double> p;
                double rate = std::pow(10.0, d(gen));
                for (int k = 0; k < n; ++k, rate *= 4.0 + 4.0 * (d(gen) + 1.0)) p.push_back(-rate);
                kinref::CMat S(m, std::vector<C>(m));
                for (auto& row : S)
                    for (auto& v : row) v = d(gen);
                for (size_t i = 0; i < m; ++i) S[i][i] += 2.0;
                // Columns of S^-1 by elimination on unit vectors.
                std::vector<std::vector<double>> Sinv(m, std::vector<double>(m));
                for (size_t j = 0; j < m; ++j) {
                    std::vector<C> col(m, 0.0);
                    col[j] = 1.0;
                    kinref::Eliminate(S, col);
                    for (size_t i = 0; i < m; ++i) Sinv[i][j] = col[i].real();
                }
                std::vector<std::vector<double>> J(m, std::vector<double>(m, 0.0));
                for (size_t i = 0; i < m; ++i)
                    for (size_t j = 0; j < m; ++j)
                        for (size_t k = 0; k < m; ++k) J[i][j] += S[i][k].real() * p[k] * Sinv[k][j];
                std::vector<double> u(m), w(m);
                for (size_t i = 0; i < m; ++i) u[i] = d(gen), w[i] = d(gen) + (d(gen) > 0 ? 2.0 : -2.0);

                DMatrix Jm = AllocMatrix(1, n, 1, n);
                DVector um = AllocVector(1, n), wm = AllocVector(1, n);
                for (int i = 1; i <= n; ++i) {
                    for (int j = 1; j <= n; ++j) Jm[i][j] = J[i - 1][j - 1];
                    um[i] = u[i - 1];
                    wm[i] = w[i - 1];
                }
                TransferCoefficients a;
                BranchElements e;
                const KineticStatus s = TransferFunctionFromRealJacobian(
                    cr ? CircuitType::CRBased : CircuitType::LRBased, n, Jm, um, wm, a, e);
                if (s == KineticStatus::ZeroResidue) continue;  // a relaxation that carries no current
                ASSERT_EQ(s, KineticStatus::Ok) << KineticStatusName(s);
                Pairs branches;
                for (int k = 1; k <= n; ++k) branches.emplace_back(e[2 * k - 1], e[2 * k]);
                const double tol = 1e-10;
                for (double omega : {0.0, 0.05, 1.0, 7.0, 120.0, 5000.0}) {
                    const C want = kinref::AdmittanceByElimination(J, u, w, omega);
                    const C got = kinref::BranchAdmittance(cr, branches, omega);
                    EXPECT_LE(std::abs(got - want), tol * std::abs(want))
                        << (cr ? "CR" : "LR") << " n = " << n << " omega " << omega << ": " << got << " vs " << want;
                }
            }
}

TEST(ElementsFromTransferFunction, NewtonPoleIsPairFourAndReachesDistantClusters) {
    // Poles -1, -4, -20 and -0.5: Newton from 0 meets -0.5 first.
    const TransferCoefficients a = FromPoles({-1.0, -4.0, -20.0, -0.5}, {2.0, 3.0, 5.0, 7.0});
    BranchElements e;
    ASSERT_EQ(ElementsFromTransferFunction(CircuitType::LRBased, 4, a, e), KineticStatus::Ok);
    const double wantL[4] = {1.0 / 5.0, 1.0 / 3.0, 1.0 / 2.0, 1.0 / 7.0};   // poles -20, -4, -1, then -0.5
    const double wantR[4] = {20.0 / 5.0, 4.0 / 3.0, 1.0 / 2.0, 0.5 / 7.0};
    for (int k = 1; k <= 4; ++k) {
        EXPECT_NEAR(e[2 * k - 1], wantL[k - 1], 1e-12 * wantL[k - 1]) << k;
        EXPECT_NEAR(e[2 * k], wantR[k - 1], 1e-12 * wantR[k - 1]) << k;
    }
    // A cluster far from s = 0: Newton needs more than 15 steps to settle.
    const TransferCoefficients far = FromPoles({-100.0, -101.0, -102.0, -103.0}, {1.0, 1.0, 1.0, 1.0});
    ASSERT_EQ(ElementsFromTransferFunction(CircuitType::LRBased, 4, far, e), KineticStatus::Ok);
    const double wantFarR[4] = {103.0, 102.0, 101.0, 100.0};
    for (int k = 1; k <= 4; ++k) {
        // Poles 1 % apart: the residues lose digits however the poles are found.
        EXPECT_NEAR(e[2 * k - 1], 1.0, 1e-6) << k;
        EXPECT_NEAR(e[2 * k], wantFarR[k - 1], 1e-6 * wantFarR[k - 1]) << k;
    }
}

TEST(ElementsFromTransferFunction, PolesSpreadOverDecadesKeepTheSlowRelaxation) {
    // With pi = 3.141592 alone the pole -1e-3 next to -1e3 came out half as large.
    for (int n : {3, 4}) {
        // In output order: ascending, except that for n = 4 the pole nearest
        // zero, which Newton's method finds first, is pair 4.
        const std::vector<double> p = n == 3 ? std::vector<double>{-1e3, -1.0, -1e-3}
                                             : std::vector<double>{-1e3, -30.0, -1.0, -1e-3};
        const std::vector<double> r = n == 3 ? std::vector<double>{-5.0, -2.0, -1e-3}
                                             : std::vector<double>{-5.0, -0.5, -2.0, -1e-3};
        const TransferCoefficients a = FromPoles(p, r);
        BranchElements e;
        ASSERT_EQ(ElementsFromTransferFunction(CircuitType::CRBased, n, a, e), KineticStatus::Ok) << n;
        for (int k = 1; k <= n; ++k) {
            const double pk = p[static_cast<size_t>(k - 1)], rk = r[static_cast<size_t>(k - 1)];
            const double C = -rk / (pk * pk), R = pk / rk;
            EXPECT_NEAR(e[2 * k - 1], C, 1e-8 * C) << "n = " << n << " pair " << k;
            EXPECT_NEAR(e[2 * k], R, 1e-8 * R) << "n = " << n << " pair " << k;
        }
    }
}

TEST(ElementsFromTransferFunction, DegenerateRelaxationsGiveAStatusAndNumbers) {
    struct Case {
        const char* name;
        CircuitType type;
        int n;
        TransferCoefficients a;
        KineticStatus want;
        std::vector<double> elements;  // expected e[1..2n]; empty: all zero
    };
    auto coeffs = [](std::initializer_list<std::pair<int, double>> v) {
        TransferCoefficients a;
        for (auto [i, x] : v) a[i] = x;
        return a;
    };
    const Case cases[] = {
        {"n=2 double pole", CircuitType::CRBased, 2, coeffs({{1, 1}, {2, 1}, {5, 1}, {6, 2}}),
         KineticStatus::RepeatedPoles, {}},
        {"n=2 complex pair", CircuitType::LRBased, 2, coeffs({{1, 1}, {2, 1}, {5, 2}, {6, 2}}),
         KineticStatus::ComplexPoles, {}},
        // (s + 1)(s^2 + s + 5)
        {"n=3 complex pair", CircuitType::CRBased, 3, coeffs({{1, 1}, {5, 5}, {6, 6}, {7, 2}}),
         KineticStatus::ComplexPoles, {}},
        {"n=3 triple pole", CircuitType::LRBased, 3, coeffs({{1, 1}, {5, 1}, {6, 3}, {7, 3}}),
         KineticStatus::RepeatedPoles, {}},
        {"n=4 double pole", CircuitType::LRBased, 4, FromPoles({-1.0, -2.0, -2.0, -0.5}, {1, 1, 1, 1}),
         KineticStatus::RepeatedPoles, {}},
        // (s^2 + s + 5)(s^2 + 2s + 7)
        {"n=4 no real pole", CircuitType::LRBased, 4, coeffs({{1, 1}, {5, 35}, {6, 17}, {7, 14}, {8, 3}}),
         KineticStatus::NoConvergence, {}},
        {"n=4 zero slope at the Newton start", CircuitType::CRBased, 4, coeffs({{1, 1}, {5, 1}, {7, 1}, {8, 1}}),
         KineticStatus::NoConvergence, {}},
        {"n=2 zero residue", CircuitType::LRBased, 2, coeffs({{1, 1}, {2, 1}, {5, 2}, {6, 3}}),
         KineticStatus::ZeroResidue, {0.0, 0.0, 1.0, 2.0}},
        {"n=1 pole at zero, CR", CircuitType::CRBased, 1, coeffs({{1, 3}}), KineticStatus::ZeroPole, {0.0, 0.0}},
        {"n=1 pole at zero, LR: a bare inductor", CircuitType::LRBased, 1, coeffs({{1, 4}}), KineticStatus::Ok,
         {0.25, 0.0}},
        {"n=4 pole at zero, CR", CircuitType::CRBased, 4, FromPoles({-3.0, -2.0, -1.0, 0.0}, {-1, -1, -1, -1}),
         KineticStatus::ZeroPole, {1.0 / 9, 3.0, 1.0 / 4, 2.0, 1.0, 1.0, 0.0, 0.0}},
        {"n=4 pole at zero, LR", CircuitType::LRBased, 4, FromPoles({-3.0, -2.0, -1.0, 0.0}, {1, 1, 1, 1}),
         KineticStatus::Ok, {1.0, 3.0, 1.0, 2.0, 1.0, 1.0, 1.0, 0.0}},
        {"n=3 not a number", CircuitType::LRBased, 3, coeffs({{1, 1}, {5, NAN}, {6, 3}, {7, 3}}),
         KineticStatus::NotFinite, {}},
    };
    for (const auto& cc : cases) {
        BranchElements e;
        e.fill(-9.0);
        const KineticStatus got = ElementsFromTransferFunction(cc.type, cc.n, cc.a, e);
        // A double pole met through rounding may come out as a complex pair just as well.
        const bool expected =
            got == cc.want || (cc.want == KineticStatus::RepeatedPoles && got == KineticStatus::ComplexPoles);
        EXPECT_TRUE(expected) << cc.name << ": " << KineticStatusName(got);
        EXPECT_TRUE(AllFinite(e)) << cc.name;
        for (int i = 1; i <= 2 * cc.n; ++i) {
            const double want = cc.elements.empty() ? 0.0 : cc.elements[static_cast<size_t>(i - 1)];
            EXPECT_NEAR(e[i], want, 1e-6 * std::max(1.0, std::fabs(want))) << cc.name << " e" << i;
        }
        for (int i = 2 * cc.n + 1; i <= 8; ++i) EXPECT_EQ(e[i], -9.0) << cc.name << " e" << i;
    }
    BranchElements e;
    e.fill(-9.0);
    EXPECT_EQ(ElementsFromTransferFunction(CircuitType::LRBased, 0, TransferCoefficients{}, e), KineticStatus::BadOrder);
    EXPECT_EQ(ElementsFromTransferFunction(CircuitType::LRBased, 5, TransferCoefficients{}, e), KineticStatus::BadOrder);
    for (double v : e) EXPECT_EQ(v, -9.0);
}
