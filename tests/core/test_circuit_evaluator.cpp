#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "circuit_test_support.h"
#include "core/CircuitCode.h"
#include "core/Distributed.h"
#include "core/Evaluator.h"
#include "core/NumericLib.h"

using namespace pellucor;
using namespace pellucor::circuittest;

namespace {

constexpr double kPi = 3.141592653589793;

class EvaluatorTest : public CircuitTest {
protected:
    // Puts code, values (signed) and frequencies into the state.
    ParamArray<double> Load(const std::string& code, const std::vector<double>& values,
                            const std::vector<double>& freqs) {
        ProgramState& s = State();
        s.Circuit.Code = code;
        s.Spectrum.PointCount = static_cast<int>(freqs.size());
        for (size_t i = 0; i < freqs.size(); ++i) s.Spectrum.Frequency[static_cast<int>(i) + 1] = freqs[i];
        ParamArray<double> ln;
        for (size_t k = 0; k < values.size(); ++k) {
            const int j = static_cast<int>(k) + 1;
            ln[j] = std::log(std::fabs(values[k]));
            s.Params.Sign[j] = values[k] < 0 ? -1.0 : 1.0;
        }
        return ln;
    }

    // True impedances of the code, simulated without noise.
    std::vector<C> Simulate(const std::string& code, const std::vector<double>& values,
                            const std::vector<double>& freqs) {
        ParamArray<double> ln = Load(code, values, freqs);
        State().Run.SimulateMode = true;
        State().Options.NoiseType = -1;
        double chi = -1.0;
        EXPECT_TRUE(EvaluateCircuit(ln, chi)) << code;
        EXPECT_EQ(chi, 0.0);
        std::vector<C> z;
        for (size_t i = 1; i <= freqs.size(); ++i)
            z.emplace_back(State().Spectrum.ZRealCalc[static_cast<int>(i)],
                           -State().Spectrum.ZImagCalc[static_cast<int>(i)]);
        return z;
    }
};

// Element impedances worked out from their physical definitions.
struct Element {
    std::string letter;
    std::vector<double> p;
    std::function<C(double)> z;  // impedance at angular frequency w
    double rel;                  // tolerance: the square roots carry ~1e-7
};

std::vector<Element> Elements() {
    std::vector<Element> e;
    e.push_back({"R", {47.0}, [](double) { return C(47.0); }, 1e-12});
    e.push_back({"C", {2e-6}, [](double w) { return 1.0 / (jay * w * 2e-6); }, 1e-12});
    e.push_back({"L", {3e-3}, [](double w) { return jay * w * 3e-3; }, 1e-12});
    e.push_back({"W", {2e-3}, [](double w) { return 1.0 / (2e-3 * std::sqrt(jay * w)); }, 1e-6});
    e.push_back({"Q", {3e-5, 0.83}, [](double w) { return 1.0 / (3e-5 * std::pow(jay * w, 0.83)); }, 1e-12});
    // B chosen so that B sqrt(2w) stays between 0.1 and 10 (the full form).
    e.push_back({"T", {5e-3, 0.3}, [](double w) {
                     const C s = std::sqrt(jay * w);
                     return 1.0 / (5e-3 * s * std::tanh(0.3 * s));
                 }, 1e-6});
    e.push_back({"O", {5e-3, 0.3}, [](double w) {
                     const C s = std::sqrt(jay * w);
                     return 1.0 / (5e-3 * s * coth(0.3 * s));
                 }, 1e-6});
    e.push_back({"G", {4e-3, 25.0}, [](double w) { return 1.0 / (4e-3 * std::sqrt(25.0 + jay * w)); }, 1e-6});
    e.push_back({"H", {2e-5, 1e-3, 0.7, 0.6}, [](double w) {
                     const C y = jay * w * 2e-5 / std::pow(1.0 + std::pow(jay * w * 1e-3, 0.7), 0.6);
                     return 1.0 / y;
                 }, 1e-12});
    auto pore = [](bool coth_form, double w, double w0, double w1, double kad, double w3) {
        const C z2 = std::sqrt(jay * w / w3);
        const C f = coth_form ? kad * coth(z2) / z2 : kad / (z2 * coth(z2) - 1.0);
        const C g = w0 / (1.0 + f);
        return std::sqrt((g + jay * w) / w1);
    };
    e.push_back({"U", {800.0, 12.0, 90.0, 2.0, 8.0, 0.5}, [pore](double w) {
                     const C nu = pore(true, w, 90.0, 2.0, 8.0, 0.5);
                     return 800.0 * coth(nu) / nu + 12.0 * (1.0 + 2.0 / (nu * std::sinh(nu)));
                 }, 1e-6});
    e.push_back({"V", {800.0, 90.0, 2.0, 8.0, 0.5}, [pore](double w) {
                     const C nu = pore(true, w, 90.0, 2.0, 8.0, 0.5);
                     return 800.0 * std::tanh(nu) / nu;
                 }, 1e-6});
    e.push_back({"M", {800.0, 12.0, 90.0, 2.0, 1.5, 3.0}, [pore](double w) {
                     const C nu = pore(false, w, 90.0, 2.0, 1.5, 3.0);
                     return 800.0 * coth(nu) / nu + 12.0 * (1.0 + 2.0 / (nu * std::sinh(nu)));
                 }, 1e-5});
    e.push_back({"N", {800.0, 90.0, 2.0, 1.5, 3.0}, [pore](double w) {
                     const C nu = pore(false, w, 90.0, 2.0, 1.5, 3.0);
                     return 800.0 * std::tanh(nu) / nu;
                 }, 1e-5});
    e.push_back({"Y", {900.0, 2e-6, 0.2, 0.02, 0.003, 1.5, 0.4}, [](double w) {
                     const C z2 = std::sqrt(jay * w / 0.4);
                     const C zd = 1.5 * std::tanh(z2) / z2;
                     const C zf = 1.0 / (1.0 / 0.2 + jay * w * 2e-6);
                     const C zi = 1.0 / (1.0 / (0.003 + zd) + jay * w * 0.02);
                     const C nu = std::sqrt(1.0 / (zi + zf));
                     return 900.0 * coth(nu) / nu;
                 }, 1e-6});
    e.push_back({"X", {5e4, 2e-5, 0.85, 800.0, 4.0, 0.02}, [](double w) {
                     const C zp = 5e4 / (1.0 + std::pow(jay * w * 2e-5 * 5e4, 0.85));
                     return std::sqrt(800.0 * zp) / 4.0 * coth(0.02 * std::sqrt(800.0 / zp));
                 }, 1e-6});
    e.push_back({"P", {15.0, 300.0}, [](double w) {
                     const C z = std::sqrt(jay * w / 300.0);
                     return 15.0 * coth(z) / z;
                 }, 1e-6});
    // S: u = sqrt(w) B between 0.001 and 100 (the full form).
    e.push_back({"S", {2e-3, 0.4, 0.6}, [](double w) {
                     const C z = std::sqrt(jay * 0.16 * w);
                     const C fs = 1.0 / (std::tanh(z) / z * jay * 0.4 * w) + 0.4 * 0.6 / (z * coth(z));
                     return fs / 2e-3;
                 }, 1e-6});
    e.push_back({"B", {2e-3, 20.0, 5.0, 0.6}, [](double w) {
                     const double s = w / 20.0;
                     const C z = std::sqrt(jay * s), pn = std::pow(jay * s, 0.6), k = z * coth(z);
                     return 1.0 / (2e-3 * (jay * s + 5.0 * pn * k) / (5.0 * pn + k));
                 }, 1e-6});
    e.push_back({"J", {2e-3, 50.0, 0.3, 2.0}, [](double w) {
                     const double s = w / 50.0;
                     const C z = std::sqrt(jay * s);
                     const C t1 = std::tanh(z) / z, t2 = std::tanh(2.0 * z) / (2.0 * z);
                     return 1.0 / (2e-3 * (0.5 + 0.3 * jay * s * t1 * t2) / (0.3 * t2 + t1 / 2.0));
                 }, 1e-6});
    e.push_back({"I", {2e-3, 50.0, 0.3, 2.0}, [](double w) {
                     const double s = w / 50.0;
                     const C z = std::sqrt(jay * s);
                     const C c1 = z * coth(z), c2 = 2.0 * z * coth(2.0 * z);
                     return 1.0 / (2e-3 * jay * s * (2.0 * c1 + 0.3 * c2) / (0.3 * c1 * c2 + 2.0 * jay * s));
                 }, 1e-6});
    // Distributions of relaxation times tau e^x, integrated independently as
    // one complex Debye integrand each.
    e.push_back({"D", {3e-5, 2e-3, 0.7, 6.0}, [](double w) {
                     const double wt = w * 2e-3, psi = 0.7, xs = 6.0;
                     const C i = Simpson([&](double x) { return std::exp(-psi * x) / (1.0 + jay * wt * std::exp(-x)); },
                                         0.0, xs);
                     const double nrm = (1.0 - std::exp(-psi * xs)) / psi;
                     return 1.0 / (jay * w * 3e-5 * i / nrm);
                 }, 1e-5});
    e.push_back({"E", {3e-5, 2e-3, 0.7, 6.0}, [](double w) {
                     const double wt = w * 2e-3, psi = 0.7, h = 3.0;
                     // Symmetric energy distribution e^(-psi |x|) over [-xs/2, xs/2].
                     const C i = Simpson([&](double x) {
                         return std::exp(-psi * std::fabs(x)) / (1.0 + jay * wt * std::exp(x));
                     }, -h, h);
                     const C nrm = Simpson([&](double x) { return C(std::exp(-psi * std::fabs(x))); }, -h, h);
                     return 1.0 / (jay * w * 3e-5 * i / nrm);
                 }, 1e-5});
    e.push_back({"F", {3e-5, 2e-3, 1.2, 0.5, 3.0, 2.0}, [](double w) {
                     const double wt = w * 2e-3, eps = 1.2;
                     const double a = 3.0 - 0.5 * 0.5 * eps * eps, b = 2.0 - 0.5 * 0.5 * eps * eps;
                     const C i = Simpson([&](double x) {
                         return std::exp(-(x / eps) * (x / eps)) / (1.0 + jay * wt * std::exp(x));
                     }, -a, b);
                     const double nrm = eps * std::sqrt(kPi) / 2.0 * (std::erf(b / eps) + std::erf(a / eps));
                     return 1.0 / (jay * w * 3e-5 * i / nrm);
                 }, 1e-5});
    return e;
}

const std::vector<double> kFreqs = {0.05, 1.0, 37.0, 900.0};

}  // namespace

TEST_F(EvaluatorTest, ReferencePoints) {
    // R(CR) at 1 Hz.
    std::vector<C> z = Simulate("R(CR)", {100.0, 1e-5, 1000.0}, {1.0});
    EXPECT_NEAR(z[0].real(), 1096.0677, 1e-4);
    EXPECT_NEAR(z[0].imag(), -62.58478, 1e-5);
    EXPECT_GT(State().Spectrum.ZImagCalc[1], 0.0);  // capacitive: stored positive
    // Warburg in series, Y0 = 1e-3, at 1 Hz.
    z = Simulate("W", {1e-3}, {1.0});
    EXPECT_NEAR(z[0].real(), 282.0948, 1e-4);
    EXPECT_NEAR(z[0].imag(), -282.0948, 1e-4);
    // R then C in series.
    z = Simulate("RC", {50.0, 1e-4}, {10.0});
    EXPECT_DOUBLE_EQ(State().Spectrum.ZRealCalc[1], 50.0);
    EXPECT_NEAR(State().Spectrum.ZImagCalc[1], 1.0 / (TwoPi * 10.0 * 1e-4), 1e-12);
}

// Every letter alone at the series level, alone inside a parallel group, and
// inside a nested circuit, against its closed form or quadrature.
TEST_F(EvaluatorTest, EveryElementAgainstIndependentValues) {
    for (const Element& e : Elements()) {
        std::vector<C> ser = Simulate(e.letter, e.p, kFreqs);
        std::vector<C> par = Simulate("(" + e.letter + ")", e.p, kFreqs);
        std::vector<double> nestedValues = {10.0, 1e-6};
        nestedValues.insert(nestedValues.end(), e.p.begin(), e.p.end());
        std::vector<C> nested = Simulate("R(C" + e.letter + ")", nestedValues, kFreqs);
        for (size_t i = 0; i < kFreqs.size(); ++i) {
            const double w = TwoPi * kFreqs[i];
            const C want = e.z(w);
            const std::string at = e.letter + " at " + std::to_string(kFreqs[i]) + " Hz";
            ExpectClose(ser[i], want, e.rel, at + " series");
            ExpectClose(par[i], want, e.rel, at + " parallel");
            ExpectClose(nested[i], 10.0 + 1.0 / (jay * w * 1e-6 + 1.0 / want), e.rel, at + " nested");
        }
    }
}

TEST_F(EvaluatorTest, ElementLimits) {
    const std::vector<double> f = {0.01, 1.0, 1000.0};
    // Q with n = 1 is a capacitor, at both levels.
    for (const char* wrap : {"%", "(%)"}) {
        std::string q = wrap, c = wrap;
        q.replace(q.find('%'), 1, "Q");
        c.replace(c.find('%'), 1, "C");
        const std::vector<C> zq = Simulate(q, {2e-5, 1.0}, f), zc = Simulate(c, {2e-5}, f);
        for (size_t i = 0; i < f.size(); ++i) ExpectClose(zq[i], zc[i], 1e-12, q);
    }
    // G with Ka -> 0 is a Warburg element.
    {
        const std::vector<C> zg = Simulate("(G)", {1e-3, 1e-30}, f), zw = Simulate("(W)", {1e-3}, f);
        for (size_t i = 0; i < f.size(); ++i) ExpectClose(zg[i], zw[i], 1e-10, "G Ka=0");
    }
    // H with mu = psi = 1 is a Debye element: C in series with tau/C.
    {
        const double cap = 1e-5, tau = 2e-3;
        for (const char* code : {"H", "(H)"}) {
            const std::vector<C> z = Simulate(code, {cap, tau, 1.0, 1.0}, f);
            for (size_t i = 0; i < f.size(); ++i) {
                const double w = TwoPi * f[i];
                ExpectClose(z[i], tau / cap + 1.0 / (jay * w * cap), 1e-9, code);
            }
        }
    }
    // T and O: small argument x = B sqrt(2w) < 0.1 and large argument x > 10.
    {
        const double y0 = 1e-3, w = TwoPi * 1.0;
        const double bSmall = 0.005 / std::sqrt(2.0 * w);  // x = 0.005
        const double bLarge = 20.0 / std::sqrt(2.0 * w);   // x = 20
        for (const char* code : {"T", "(T)", "O", "(O)"}) {
            const bool tanhForm = code[0] == 'T' || code[1] == 'T';
            const C s = std::sqrt(jay * w);
            // Finite length, small argument: tanh -> capacitance Y0 B, coth -> resistance B/Y0.
            C z = Simulate(code, {y0, bSmall}, {1.0})[0];
            const C exact = tanhForm ? 1.0 / (y0 * s * std::tanh(bSmall * s)) : 1.0 / (y0 * s * coth(bSmall * s));
            ExpectClose(z, exact, 1e-4, std::string(code) + " small");
            if (tanhForm)
                EXPECT_NEAR(z.imag(), -1.0 / (w * y0 * bSmall), 1e-3 * std::abs(z)) << code;
            else
                EXPECT_NEAR(z.real(), bSmall / y0, 1e-3 * std::abs(z)) << code;
            // Large argument: both become the semi-infinite Warburg element.
            z = Simulate(code, {y0, bLarge}, {1.0})[0];
            ExpectClose(z, 1.0 / (y0 * s), 1e-6, std::string(code) + " large");
        }
    }
    // D with w tau -> 0: the distribution collapses to the capacitance C.
    {
        const std::vector<C> zd = Simulate("(D)", {4e-6, 1e-12, 0.8, 5.0}, {1.0});
        ExpectClose(zd[0], 1.0 / (jay * TwoPi * 4e-6), 1e-6, "D w tau -> 0");
    }
    // P: RW (w0/(jw) + 1/3) well below w0, RW / sqrt(jw/w0) well above.
    {
        const double rw = 10.0, w0 = 1e4;
        C z = Simulate("P", {rw, w0}, {0.01})[0];
        double w = TwoPi * 0.01;
        ExpectClose(z, rw * (w0 / (jay * w) + 1.0 / 3.0), 1e-6, "P low");
        z = Simulate("P", {rw, w0}, {1e7})[0];
        w = TwoPi * 1e7;
        ExpectClose(z, rw / std::sqrt(jay * w / w0), 1e-6, "P high");
    }
}

// A fit may push a rate constant to its clamp (about 1e-32); at a high
// frequency the diffusion argument then lies beyond single precision. The
// finite-length pore is then far in its semi-infinite limit RW / sqrt(jw/w0),
// and the porous line with w1 at the clamp has its parts finite too.
TEST_F(EvaluatorTest, DiffusionArgumentsBeyondSinglePrecision) {
    const double w0 = std::exp(-LnValueLimit);
    for (double f : {1e6, 1e7}) {
        const double w = TwoPi * f;
        const C z = Simulate("P", {10.0, 1e-40}, {f})[0];
        ExpectClose(z, 10.0 / std::sqrt(jay * w / w0), 1e-6, "P at " + std::to_string(f) + " Hz");
    }
    for (const char* code : {"U", "(U)", "V", "M", "N"}) {
        const bool six = code[0] == 'U' || code[1] == 'U' || code[0] == 'M';
        std::vector<double> values = six ? std::vector<double>{800.0, 12.0, 90.0, 1e-40, 8.0, 0.5}
                                         : std::vector<double>{800.0, 90.0, 1e-40, 8.0, 0.5};
        const C z = Simulate(code, values, {1e6})[0];
        EXPECT_TRUE(std::isfinite(z.real()) && std::isfinite(z.imag())) << code << ": " << z;
    }
}

// The other end: a rate constant at its upper clamp and a low frequency put
// the pore deep in its capacitive limit RW (w0/(jw) + 1/3).
TEST_F(EvaluatorTest, PoreAtItsCapacitiveLimit) {
    const double wHigh = std::exp(LnValueLimit);
    for (double f : {1e-3, 1e-6}) {
        const double w = TwoPi * f;
        const C z = Simulate("P", {2.0, 1e40}, {f})[0];
        ExpectClose(z, 2.0 * (wHigh / (jay * w) + 1.0 / 3.0), 1e-6, "P at " + std::to_string(f) + " Hz");
    }
}

TEST_F(EvaluatorTest, ValuesAsEvaluatedAndLogClamp) {
    ParamArray<double> ln = Load("R(CR)", {-100.0, 1e-5, 1000.0}, {1.0});
    ln[2] = 80.0;
    double chi = 0;
    State().Run.SimulateMode = true;
    State().Options.NoiseType = -1;
    ASSERT_TRUE(EvaluateCircuit(ln, chi));
    EXPECT_DOUBLE_EQ(ln[2], 73.696);  // clamped in the caller's vector
    const Vector<double>& sv = State().Fit.ScaleVector;
    EXPECT_DOUBLE_EQ(sv[1], -100.0);
    EXPECT_DOUBLE_EQ(sv[2], std::exp(73.696));
    EXPECT_NEAR(sv[3], 1e-3, 1e-18);  // the parallel resistor as conductance
    EXPECT_TRUE(State().Params.Reciprocal[3]);
    EXPECT_EQ(State().Params.ParamCount, 3);
    // The parameter window was relabelled for the parsed kinds.
    EXPECT_EQ(DefaultParamWindow().label[2], "Capacitance,         [F]");
    EXPECT_EQ(DefaultParamWindow().label[4], "Not used         ");
}

// Parameter values of a code with more slots than one vector of eight:
// clamping (a NaN counts as the lower limit), signs and reciprocals in both
// groups of eight, each value against the library's e^x, and the slots past
// the code's parameters left as they were.
TEST_F(EvaluatorTest, ValuesOfElevenParametersAcrossTwoGroups) {
    ParamArray<double> ln = Load("R(CR)(CR)(CR)(CR)(LR)", {}, {1.0, 10.0});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double given[12] = {0, 2.5, -13.8, nan, 4.6, -1000.0, 1e9, -9.2, 0.0, 6.9, -17.3, 80.0};
    const double clamped[12] = {0, 2.5, -13.8, -73.696, 4.6, -73.696, 73.696, -9.2, 0.0, 6.9, -17.3, 73.696};
    for (int k = 1; k <= 11; ++k) ln[k] = given[k];
    for (int k = 12; k <= 15; ++k) ln[k] = 5.0 + k;
    State().Params.Sign[3] = -1.0;
    State().Params.Sign[10] = -1.0;
    State().Run.SimulateMode = true;
    State().Options.NoiseType = -1;
    double chi = 0;
    ASSERT_TRUE(EvaluateCircuit(ln, chi));
    ASSERT_EQ(State().Params.ParamCount, 11);
    const Vector<double>& sv = State().Fit.ScaleVector;
    int reciprocals = 0;
    for (int k = 1; k <= 11; ++k) {
        EXPECT_EQ(ln[k], clamped[k]) << k;
        double want = (k == 3 || k == 10 ? -1.0 : 1.0) * std::exp(clamped[k]);
        if (State().Params.Reciprocal[k]) {
            want = 1.0 / want;
            ++reciprocals;
        }
        EXPECT_NEAR(sv[k], want, 4e-16 * std::fabs(want)) << k;
    }
    EXPECT_GE(reciprocals, 2);  // the parallel resistors, in both groups
    for (int k = 12; k <= 15; ++k) EXPECT_EQ(ln[k], 5.0 + k) << k;
}

TEST_F(EvaluatorTest, ConstantPhaseExponentIsLimited) {
    const std::vector<C> z = Simulate("(Q)", {1e-5, 1.2}, {5.0});
    EXPECT_TRUE(State().Fit.CpeExponentClamped);
    ExpectClose(z[0], 1.0 / (1e-5 * std::pow(jay * TwoPi * 5.0, 0.99)), 1e-12, "n = 0.99");
    // The last Q of the code decides.
    Simulate("(Q)Q", {1e-5, 1.2, 1e-5, 0.8}, {5.0});
    EXPECT_FALSE(State().Fit.CpeExponentClamped);
    Simulate("Q(Q)", {1e-5, 0.8, 1e-5, 1.2}, {5.0});
    EXPECT_TRUE(State().Fit.CpeExponentClamped);
}

TEST_F(EvaluatorTest, ChiSquaredUnderEachWeighting) {
    const std::vector<double> f = {0.1, 1.0, 10.0, 100.0, 1000.0};
    const double r1 = 100.0, c = 1e-5, r2 = 1000.0;
    ParamArray<double> ln = Load("R(CR)", {r1, c, r2}, f);
    SpectrumBlock& sp = State().Spectrum;
    double modulusSum = 0.0;
    for (int i = 1; i <= 5; ++i) {
        const C z = r1 + 1.0 / (1.0 / r2 + jay * TwoPi * f[static_cast<size_t>(i - 1)] * c);
        sp.ZReal[i] = z.real() + 1.0;
        sp.ZImag[i] = -z.imag() + 2.0;
        modulusSum += 5.0 / std::norm(z);
    }
    State().Run.SimulateMode = false;
    const struct {
        int weighting;
        double want;
    } cases[] = {{0, 25.0}, {1, modulusSum}, {2, 25.0}};
    for (const auto& w : cases) {
        State().Options.Weighting = w.weighting;
        double chi = -1;
        ASSERT_TRUE(EvaluateCircuit(ln, chi));
        EXPECT_NEAR(chi, w.want, 1e-9 * w.want) << w.weighting;
    }
}

TEST_F(EvaluatorTest, ExponentAboveOneIsPenalisedAtEveryPoint) {
    const std::vector<double> f = {1.0, 10.0, 100.0};
    for (double n : {1.5, 0.9}) {
        // Measured data equal to the circuit's own spectrum: only the penalty remains.
        Simulate("R(QR)", {10.0, 1e-5, n, 100.0}, f);
        for (int i = 1; i <= 3; ++i) {
            State().Spectrum.ZReal[i] = State().Spectrum.ZRealCalc[i];
            State().Spectrum.ZImag[i] = State().Spectrum.ZImagCalc[i];
        }
        ParamArray<double> ln = Load("R(QR)", {10.0, 1e-5, n, 100.0}, f);
        State().Run.SimulateMode = false;
        State().Options.Weighting = 0;
        double chi = -1;
        ASSERT_TRUE(EvaluateCircuit(ln, chi));
        EXPECT_NEAR(chi, n > 1.0 ? 3 * 10000.0 * n * n : 0.0, 1e-6) << n;
    }
}

TEST_F(EvaluatorTest, NoiseIsRepeatableAndOfTheSizeAsked) {
    std::vector<double> f;
    for (int i = 0; i < 198; ++i) f.push_back(std::pow(10.0, 5.0 - i * 7.0 / 197.0));  // even count
    const std::vector<double> v = {20.0, 1e-5, 2000.0};
    const std::vector<C> exact = Simulate("R(CR)", v, f);
    SpectrumBlock& sp = State().Spectrum;

    for (int type : {0, 1}) {
        State().Options.NoiseType = type;
        State().Options.NoiseLevelUnity = 0.5;
        State().Options.NoiseLevelModulus = 0.02;
        const double level = type == 0 ? 0.5 : 0.02;
        std::vector<C> first;
        double firstChi = 0;
        for (int run = 0; run < 2; ++run) {
            ParamArray<double> ln = Load("R(CR)", v, f);
            State().Run.SimulateMode = true;
            double chi = -1;
            ASSERT_TRUE(EvaluateCircuit(ln, chi));
            double sumA0 = 0, sumSq = 0;
            int positive = 0;
            std::vector<C> got;
            for (int i = 1; i <= 198; ++i) {
                const C z(sp.ZRealCalc[i], -sp.ZImagCalc[i]);
                got.push_back(z);
                const C noise = z - exact[static_cast<size_t>(i - 1)];
                const double a0 = std::sqrt(sp.ResidualSq[i]);
                // Constant noise has the drawn size in ohms, proportional noise
                // that fraction of |Z|.
                const double size = type == 0 ? a0 : a0 * std::abs(exact[static_cast<size_t>(i - 1)]);
                EXPECT_NEAR(std::abs(noise), size, 1e-9 * std::abs(exact[static_cast<size_t>(i - 1)]));
                sumA0 += a0 * a0;
                sumSq += (a0 / level) * (a0 / level);
                if (noise.real() > 0) ++positive;
            }
            EXPECT_NEAR(chi, sumA0, 1e-12 * sumA0);
            // |g| of a standard normal deviate: mean square 1; random phase.
            EXPECT_GT(sumSq / 198.0, 0.7) << type;
            EXPECT_LT(sumSq / 198.0, 1.3) << type;
            EXPECT_GT(positive, 60);
            EXPECT_LT(positive, 138);
            if (run == 0) {
                first = got;
                firstChi = chi;
            } else {
                EXPECT_EQ(chi, firstChi);
                for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], first[i]) << i;
            }
        }
    }
}

// The noise of a simulation is drawn from seed -911 at every call: per point
// first a normal deviate g for the size |g| * level (times |Z| when
// proportional), then a uniform u for the phase (2u - 1) pi. Reproduced here
// with the generators themselves and the circuit's closed form.
TEST_F(EvaluatorTest, NoiseDrawsFromTheFixedSeedInOrder) {
    const std::vector<double> f = {1000.0, 10.0, 0.1};
    const std::vector<double> v = {20.0, 1e-5, 2000.0};
    for (int type : {0, 1}) {
        ParamArray<double> ln = Load("R(CR)", v, f);
        State().Run.SimulateMode = true;
        State().Options.NoiseType = type;
        State().Options.NoiseLevelUnity = 0.5;
        State().Options.NoiseLevelModulus = 0.02;
        ResetRandomGenerators();
        double chi = -1;
        ASSERT_TRUE(EvaluateCircuit(ln, chi));

        ResetRandomGenerators();
        int seed = -911;
        double sum = 0;
        for (int i = 1; i <= 3; ++i) {
            const double w = TwoPi * f[static_cast<size_t>(i - 1)];
            const C z = 20.0 + 1.0 / (1.0 / 2000.0 + jay * w * 1e-5);
            const double g = GaussianRandom(seed);
            const double u = UniformRandom(seed);
            const double a0 = std::fabs(g) * (type == 0 ? 0.5 : 0.02);
            const double a = type == 0 ? a0 : a0 * std::abs(z);
            const double theta = (2.0 * u - 1.0) * kPi;
            EXPECT_NEAR(State().Spectrum.ZRealCalc[i], z.real() + a * std::cos(theta), 1e-9 * std::abs(z)) << i;
            EXPECT_NEAR(State().Spectrum.ZImagCalc[i], -z.imag() + a * std::sin(theta), 1e-9 * std::abs(z)) << i;
            EXPECT_NEAR(State().Spectrum.ResidualSq[i], a0 * a0, 1e-15 * a0 * a0) << i;
            sum += a0 * a0;
        }
        EXPECT_NEAR(chi, sum, 1e-15 * sum) << type;
    }
    // Without noise every point's ResidualSq is 0 again.
    Simulate("R(CR)", v, f);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(State().Spectrum.ResidualSq[i], 0.0) << i;
}

TEST_F(EvaluatorTest, EdgeCodesAndCounts) {
    // No points: set-up only.
    ParamArray<double> ln = Load("R(CR)", {1.0, 1.0, 1.0}, {});
    double chi = -1;
    ASSERT_TRUE(EvaluateCircuit(ln, chi));
    EXPECT_EQ(chi, 0.0);
    EXPECT_EQ(State().Params.Kind[2], 2);

    // An empty parallel group inverts the guarded sum 1e-32 (1 + j).
    const std::vector<C> z = Simulate("R()", {5.0}, {1.0});
    EXPECT_NEAR(z[0].real(), 5.0 + 5e31, 1e18);
    EXPECT_NEAR(z[0].imag(), -5e31, 1e18);

    // Codes beyond the limits are never evaluated.
    const std::string tooDeep = std::string(15, '(') + "R" + std::string(15, ')');
    for (const std::string& code : {std::string(NoModelCode), tooDeep, std::string(")R(")}) {
        ParamArray<double> l2 = Load(code, {1.0}, {1.0});
        State().Spectrum.ZRealCalc[1] = 123.0;
        chi = -1;
        EXPECT_FALSE(EvaluateCircuit(l2, chi)) << code;
        EXPECT_EQ(chi, 0.0);
        EXPECT_EQ(State().Spectrum.ZRealCalc[1], 123.0);
        EXPECT_EQ(State().Params.ParamCount, 0);
    }
    // Fifteen levels are still evaluated: R inside 14 parentheses.
    const std::string deepest = std::string(14, '(') + "R" + std::string(14, ')');
    const std::vector<C> zd = Simulate(deepest, {33.0}, {1.0});
    EXPECT_NEAR(zd[0].real(), 33.0, 1e-9);
}

TEST_F(EvaluatorTest, CircuitImpedanceMatchesTheSpectrumWalk) {
    ParamArray<double> v;
    v[1] = 100.0;
    v[2] = 1e-5;
    v[3] = 1000.0;
    const Complex z = CircuitImpedance("R(CR)", v, TwoPi);
    EXPECT_NEAR(z.re, 1096.0677, 1e-4);
    EXPECT_NEAR(z.im, -62.58478, 1e-5);
}

// Romberg integration and the distribution integrands on their own.
TEST_F(EvaluatorTest, IntegrationPieces) {
    EXPECT_EQ(ClampExpArg(-80.0), -75.0);
    EXPECT_EQ(ClampExpArg(80.0), 75.0);
    State().Distribution.OmegaTau = 1.0;
    State().Distribution.Shape = 0.8;
    EXPECT_NEAR(DistributionIntegrand(1, -50.0) / (std::exp(40.0) / (1.0 + std::exp(75.0))), 1.0, 1e-12);
    // Kinds 7 and 8 are the psi-derivatives of the D integrands.
    const double h = 1e-6, x = 1.3;
    State().Distribution.Shape = 0.8 + h;
    const double up1 = DistributionIntegrand(1, x), up2 = DistributionIntegrand(2, x);
    State().Distribution.Shape = 0.8 - h;
    const double dn1 = DistributionIntegrand(1, x), dn2 = DistributionIntegrand(2, x);
    State().Distribution.Shape = 0.8;
    EXPECT_NEAR(DistributionIntegrand(7, x), (up1 - dn1) / (2 * h), 1e-8);
    EXPECT_NEAR(DistributionIntegrand(8, x), (up2 - dn2) / (2 * h), 1e-8);  // W = 1
    EXPECT_EQ(DistributionIntegrand(9, x), 0.0);
    // Every kind at one point (W = 0.7, psi = 0.8), worked out directly.
    {
        const double wt = 0.7, psi = 0.8, w2 = wt * wt;
        State().Distribution.OmegaTau = wt;
        State().Distribution.Shape = psi;
        const double lo = 1.0 + w2 * std::exp(-2.0 * x), hi = 1.0 + w2 * std::exp(2.0 * x);
        const double gauss = std::exp(-(x / psi) * (x / psi));
        const double want[9] = {0.0,
                                std::exp(-psi * x) / lo,
                                wt * std::exp(-(1.0 + psi) * x) / lo,
                                std::exp(-psi * x) / hi + std::exp(-psi * x) / lo,
                                wt * (std::exp(-(psi - 1.0) * x) / hi + std::exp(-(psi + 1.0) * x) / lo),
                                gauss / hi,
                                wt * gauss * std::exp(x) / hi,
                                -x * std::exp(-psi * x) / lo,
                                -x * std::exp(-(1.0 + psi) * x) / lo};
        for (int kind = 1; kind <= 8; ++kind)
            EXPECT_NEAR(DistributionIntegrand(kind, x), want[kind], 1e-14 * std::fabs(want[kind])) << kind;
    }
    // A constant integrand (kind 1 with psi = 0 and W = 0) is exact at the
    // fifth refinement.
    State().Distribution.OmegaTau = 0.0;
    State().Distribution.Shape = 0.0;
    EXPECT_DOUBLE_EQ(RombergIntegrate(1, 0.0, 3.0), 3.0);
    // A smooth integrand to the tolerance: int_0^2 e^(-x) dx.
    State().Distribution.Shape = 1.0;
    EXPECT_NEAR(RombergIntegrate(1, 0.0, 2.0), 1.0 - std::exp(-2.0), 1e-9);
    // Neville through points of a cubic is exact.
    const double xa[] = {0, 1, 2, 3, 4}, ya[] = {0, 1, 8, 27, 64};
    double y, dy;
    PolyExtrapolate(xa, ya, 4, 2.5, y, dy);
    EXPECT_NEAR(y, 15.625, 1e-12);
}

// S uses its full tanh/coth forms from u = sqrt(w) B = 0.001 on, and 1 below;
// B treats s = w/w0 alike with 1e-6.
TEST_F(EvaluatorTest, DiffusionFactorRangeBoundaries) {
    auto fullS = [](double w, double b, double dt) {
        const C z = std::sqrt(jay * b * b * w);
        return 1.0 / (std::tanh(z) / z * jay * b * w) + b * dt / (z * coth(z));
    };
    auto smallS = [](double w, double b, double dt) { return 1.0 / (jay * b * w) + b * dt; };
    const Complex at = ImpedanceS(true, 1.0, 0.001, 0.5);  // u exactly 0.001
    EXPECT_NEAR(std::abs(C(at.re, at.im) - fullS(1.0, 0.001, 0.5)), 0.0, 1e-10 * std::abs(fullS(1.0, 0.001, 0.5)));
    EXPECT_GT(std::abs(C(at.re, at.im) - smallS(1.0, 0.001, 0.5)), 1e-7 * std::abs(smallS(1.0, 0.001, 0.5)));
    const Complex below = ImpedanceS(true, 1.0, 0.000999, 0.5);
    EXPECT_NEAR(std::abs(C(below.re, below.im) - smallS(1.0, 0.000999, 0.5)), 0.0,
                1e-12 * std::abs(smallS(1.0, 0.000999, 0.5)));
    // The parallel form is the reciprocal.
    const Complex par = ImpedanceS(false, 1.0, 0.001, 0.5);
    EXPECT_NEAR(std::abs(C(par.re, par.im) * C(at.re, at.im) - 1.0), 0.0, 1e-12);

    // B below s = 1e-6: kappa = 1.
    const double w0 = 1.0, k = 5.0, n = 0.6;
    for (double s : {1e-6, 0.999e-6}) {
        const Complex f = ImpedanceB(false, s * w0, w0, k, n);
        const C zs = std::sqrt(jay * s), pn = std::pow(jay * s, n);
        const C kappa = s >= 1e-6 ? zs * coth(zs) : C(1.0);
        const C want = (jay * s + k * pn * kappa) / (k * pn + kappa);
        EXPECT_NEAR(std::abs(C(f.re, f.im) - want), 0.0, 1e-12 * std::abs(want)) << s;
    }
}
