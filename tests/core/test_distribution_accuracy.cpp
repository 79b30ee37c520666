// The normalised responses of the distributed elements D, E and F against an
// independent adaptive Gauss-Kronrod quadrature of their integrands, written
// out here from the element formulas (with the clamp of every exponent at
// +-75), at tolerances far below the elements' own 1e-6.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <vector>

#include "core/Distributed.h"
#include "core/ProgramState.h"

using namespace pellucor;

namespace {

using C = std::complex<double>;

double E(double y) { return std::exp(std::min(75.0, std::max(-75.0, y))); }

// Adaptive Gauss-Kronrod (7 and 15 points) on [a, b]: a panel is split until
// the two rules agree to `tol` of the whole integral's magnitude.
class Kronrod {
public:
    explicit Kronrod(std::function<double(double)> f) : f_(std::move(f)) {}

    double Integrate(double a, double b, double tol = 1e-14) {
        double err = 0.0, mag = 0.0;
        const double whole = Panel(a, b, err, mag);
        scale_ = std::max(std::fabs(whole), mag) * tol;
        return Adapt(a, b, 0);
    }

private:
    double Panel(double a, double b, double& err, double& mag) const {
        static const double xk[8] = {0.991455371120812639, 0.949107912342758525, 0.864864423359769073,
                                     0.741531185599394440, 0.586087235467691130, 0.405845151377397167,
                                     0.207784955007898468, 0.0};
        static const double wk[8] = {0.022935322010529225, 0.063092092629978553, 0.104790010322250184,
                                     0.140653259715525919, 0.169004726639267903, 0.190350578064785410,
                                     0.204432940075298892, 0.209482141084727828};
        static const double wg[4] = {0.129484966168869693, 0.279705391489276668, 0.381830050505118945,
                                     0.417959183673469388};
        const double c = 0.5 * (a + b), h = 0.5 * (b - a);
        const double fc = f_(c);
        double k = wk[7] * fc, g = wg[3] * fc;
        mag = std::fabs(k);
        for (int i = 0; i < 7; ++i) {
            const double f1 = f_(c - h * xk[i]), f2 = f_(c + h * xk[i]);
            k += wk[i] * (f1 + f2);
            mag += wk[i] * (std::fabs(f1) + std::fabs(f2));
            if (i % 2 == 1) g += wg[i / 2] * (f1 + f2);
        }
        err = std::fabs((k - g) * h);
        mag *= std::fabs(h);
        return k * h;
    }

    double Adapt(double a, double b, int depth) const {
        double err = 0.0, mag = 0.0;
        const double v = Panel(a, b, err, mag);
        if (err <= scale_ || depth > 60) return v;
        const double m = 0.5 * (a + b);
        return Adapt(a, m, depth + 1) + Adapt(m, b, depth + 1);
    }

    std::function<double(double)> f_;
    double scale_ = 0.0;
};

// F = (I1 - j I2) / Nrm of each element, from the formulas.
C ReferenceD(double w, double psi, double xs) {
    const double i1 = Kronrod([&](double x) { return E(-psi * x) / (1.0 + w * w * E(-2.0 * x)); }).Integrate(0.0, xs);
    const double i2 =
        Kronrod([&](double x) { return w * E(-(1.0 + psi) * x) / (1.0 + w * w * E(-2.0 * x)); }).Integrate(0.0, xs);
    const double nrm = (1.0 - std::exp(-psi * xs)) / psi;
    return C(i1, -i2) / nrm;
}

C ReferenceE(double w, double psi, double xs) {
    const double h = 0.5 * xs;
    const double i1 = Kronrod([&](double x) {
                          return E(-psi * x) / (1.0 + w * w * E(2.0 * x)) + E(-psi * x) / (1.0 + w * w * E(-2.0 * x));
                      }).Integrate(0.0, h);
    const double i2 = Kronrod([&](double x) {
                          return w * (E(-(psi - 1.0) * x) / (1.0 + w * w * E(2.0 * x)) +
                                      E(-(psi + 1.0) * x) / (1.0 + w * w * E(-2.0 * x)));
                      }).Integrate(0.0, h);
    const double nrm = 2.0 * (1.0 - std::exp(-0.5 * psi * xs)) / psi;
    return C(i1, -i2) / nrm;
}

C ReferenceF(double w, double eps, double xl, double xu, double theta) {
    const double a = xu - 0.5 * xl * eps * eps, b = theta - 0.5 * xl * eps * eps;
    auto g = [&](double x) { return E(-(x / eps) * (x / eps)); };
    double nrm = Kronrod([&](double x) { return g(x); }).Integrate(-a, b);
    if (nrm < 1e-20) nrm = 1e-20;
    const double i1 = Kronrod([&](double x) { return g(x) / (1.0 + w * w * E(2.0 * x)); }).Integrate(-a, b);
    const double i2 = Kronrod([&](double x) { return w * g(x) * E(x) / (1.0 + w * w * E(2.0 * x)); }).Integrate(-a, b);
    return C(i1, -i2) / nrm;
}

// omega tau from 1e-9 to 1e9, three points a decade.
std::vector<double> OmegaTaus() {
    std::vector<double> w;
    for (int k = -27; k <= 27; ++k) w.push_back(std::pow(10.0, k / 3.0));
    return w;
}

// Relative deviation of the complex response, and of each part against its
// own size where that part matters (above 1e-9 of the modulus).
void ExpectClose(C got, C want, const char* what, double tol) {
    const double m = std::abs(want);
    ASSERT_TRUE(std::isfinite(got.real()) && std::isfinite(got.imag())) << what;
    EXPECT_LE(std::abs(got - want), tol * m) << what << " got " << got << " want " << want;
    if (std::fabs(want.real()) > 1e-9 * m) {
        EXPECT_LE(std::fabs(got.real() - want.real()), tol * std::fabs(want.real())) << what << " real part";
    }
    if (std::fabs(want.imag()) > 1e-9 * m) {
        EXPECT_LE(std::fabs(got.imag() - want.imag()), tol * std::fabs(want.imag())) << what << " imaginary part";
    }
}

// Well inside the elements' stated tolerance of 1e-6.
constexpr double kTol = 1e-8;

}  // namespace

TEST(DistributionAccuracy, ExponentialDistributionD) {
    ResetProgramState();
    const double tau = 2e-3;
    for (double psi : {0.05, 0.3, 0.8, 1.0, 1.7, 3.0})
        for (double xs : {0.5, 2.0, 5.0, 12.0, 40.0, 90.0})
            for (double wt : OmegaTaus()) {
                const C got(DistributionResponseD(wt / tau, tau, psi, xs).re,
                            DistributionResponseD(wt / tau, tau, psi, xs).im);
                SCOPED_TRACE(testing::Message() << "psi " << psi << " xs " << xs << " wt " << wt);
                ExpectClose(got, ReferenceD(wt, psi, xs), "D", kTol);
                EXPECT_DOUBLE_EQ(State().Distribution.Shape, psi);
                EXPECT_DOUBLE_EQ(State().Distribution.OmegaTau, wt / tau * tau);
            }
}

TEST(DistributionAccuracy, SymmetricDistributionE) {
    ResetProgramState();
    const double tau = 5e-4;
    for (double psi : {0.05, 0.5, 0.8, 1.0, 2.5})
        for (double xs : {0.5, 3.0, 8.0, 30.0, 120.0})
            for (double wt : OmegaTaus()) {
                const Complex f = DistributionResponseE(wt / tau, tau, psi, xs);
                SCOPED_TRACE(testing::Message() << "psi " << psi << " xs " << xs << " wt " << wt);
                ExpectClose(C(f.re, f.im), ReferenceE(wt, psi, xs), "E", kTol);
            }
}

TEST(DistributionAccuracy, GaussianDistributionF) {
    ResetProgramState();
    const double tau = 1e-2;
    struct Case {
        double eps, xl, xu, theta;
    };
    const Case cases[] = {{1.2, 0.5, 3.0, 2.0},  {0.05, 1.0, 2.0, 2.0}, {0.3, 0.0, 10.0, 10.0},
                          {4.0, 0.2, 20.0, 5.0}, {2.0, 3.0, 1.0, 40.0}, {0.01, 0.0, 0.5, 0.5},
                          {0.8, 1.0, 60.0, 60.0}};
    for (const Case& c : cases)
        for (double wt : OmegaTaus()) {
            const Complex f = DistributionResponseF(wt / tau, tau, c.eps, c.xl, c.xu, c.theta);
            SCOPED_TRACE(testing::Message() << "eps " << c.eps << " xl " << c.xl << " xu " << c.xu << " theta "
                                            << c.theta << " wt " << wt);
            ExpectClose(C(f.re, f.im), ReferenceF(wt, c.eps, c.xl, c.xu, c.theta), "F", kTol);
            EXPECT_DOUBLE_EQ(State().Distribution.Shape, c.eps);
        }
}

// The element as the benchmark fit has it (C 1e-4, tau 0.01, psi 0.8, xs 5)
// at the 60 frequencies of that fit, and after the parameters change and
// change back (the responses keep rules for recent shapes and ranges).
TEST(DistributionAccuracy, BenchmarkElementAtEveryFrequencyAndAfterParameterChanges) {
    ResetProgramState();
    for (int round = 0; round < 3; ++round) {
        const double psi = round == 1 ? 0.6 : 0.8, xs = round == 1 ? 7.0 : 5.0;
        for (int i = 1; i <= 60; ++i) {
            const double f = 1e5 * std::pow(1e-6, (i - 1.0) / 59.0);
            const double w = TwoPi * f;
            const Complex d = DistributionResponseD(w, 0.01, psi, xs);
            ExpectClose(C(d.re, d.im), ReferenceD(w * 0.01, psi, xs), "D", kTol);
        }
    }
}

// Where the integrands reach the clamp of their exponents, as they do for
// extreme parameters during a fit, the responses stay finite and accurate.
TEST(DistributionAccuracy, ClampedExponentsAndNegativeRanges) {
    ResetProgramState();
    for (double wt : {1e-30, 1e-12, 1.0, 1e12, 1e30}) {
        ExpectClose(C(DistributionResponseD(wt, 1.0, 0.5, 200.0).re, DistributionResponseD(wt, 1.0, 0.5, 200.0).im),
                    ReferenceD(wt, 0.5, 200.0), "D wide", kTol);
        ExpectClose(C(DistributionResponseD(wt, 1.0, 0.5, -3.0).re, DistributionResponseD(wt, 1.0, 0.5, -3.0).im),
                    ReferenceD(wt, 0.5, -3.0), "D reversed", kTol);
        const Complex e = DistributionResponseE(wt, 1.0, 0.01, 400.0);
        ExpectClose(C(e.re, e.im), ReferenceE(wt, 0.01, 400.0), "E wide", kTol);
    }
}
