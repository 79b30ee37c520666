// The evaluator keeps the walked code, the per-point quantities of the
// spectrum and the parameter window's labels from one call to the next. These
// tests change each of them between calls and check the results against
// closed forms, so that nothing kept can go stale.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "circuit_test_support.h"
#include "core/CircuitCode.h"
#include "core/Evaluator.h"

using namespace pellucor;
using namespace pellucor::circuittest;

namespace {

class EvaluatorReuseTest : public CircuitTest {
protected:
    void SetFrequencies(const std::vector<double>& f) {
        SpectrumBlock& sp = State().Spectrum;
        sp.PointCount = static_cast<int>(f.size());
        for (size_t i = 0; i < f.size(); ++i) sp.Frequency[static_cast<int>(i) + 1] = f[i];
    }

    // Calculated spectrum (true impedances) of `code` with the signed values,
    // simulated without noise on the frequencies in the state.
    std::vector<C> Simulate(const std::string& code, const std::vector<double>& values) {
        ProgramState& s = State();
        s.Circuit.Code = code;
        ParamArray<double> ln;
        for (size_t k = 0; k < values.size(); ++k) {
            const int j = static_cast<int>(k) + 1;
            ln[j] = std::log(std::fabs(values[k]));
            s.Params.Sign[j] = values[k] < 0 ? -1.0 : 1.0;
        }
        s.Run.SimulateMode = true;
        s.Options.NoiseType = -1;
        double chi = -1.0;
        EXPECT_TRUE(EvaluateCircuit(ln, chi)) << code;
        std::vector<C> z;
        for (int i = 1; i <= s.Spectrum.PointCount; ++i) z.emplace_back(s.Spectrum.ZRealCalc[i], -s.Spectrum.ZImagCalc[i]);
        return z;
    }
};

C RCR(double r1, double c, double r2, double w) { return r1 + 1.0 / (1.0 / r2 + jay * w * c); }

TEST_F(EvaluatorReuseTest, NewFrequenciesAndPointCountsAreUsedAtOnce) {
    const std::vector<double> v = {100.0, 1e-5, 1000.0};
    const std::vector<std::vector<double>> lists = {
        {1.0, 10.0, 100.0},
        {1.0, 10.0, 1000.0},         // one frequency changed, same count
        {1.0, 10.0},                 // fewer points
        {5.0, 10.0, 1000.0, 2e4},    // more points
        {5.0, 10.0, 1000.0, 2e4},    // the same list again
    };
    for (const auto& f : lists) {
        SetFrequencies(f);
        const std::vector<C> z = Simulate("R(CR)", v);
        ASSERT_EQ(z.size(), f.size());
        for (size_t i = 0; i < f.size(); ++i)
            ExpectClose(z[i], RCR(100.0, 1e-5, 1000.0, TwoPi * f[i]), 1e-13, std::to_string(f[i]) + " Hz");
    }
}

TEST_F(EvaluatorReuseTest, EachCodeIsParsedAndWalkedAsItIsNow) {
    SetFrequencies({0.5, 50.0, 5000.0});
    for (int round = 0; round < 2; ++round) {
        std::vector<C> z = Simulate("R(CR)", {100.0, 1e-5, 1000.0});
        EXPECT_EQ(State().Params.ParamCount, 3);
        EXPECT_EQ(State().Params.Kind[3], 1);
        EXPECT_TRUE(State().Params.Reciprocal[2] == false && State().Params.Reciprocal[3]);
        for (size_t i = 0; i < z.size(); ++i) {
            const double w = TwoPi * State().Spectrum.Frequency[static_cast<int>(i) + 1];
            ExpectClose(z[i], RCR(100.0, 1e-5, 1000.0, w), 1e-13, "R(CR)");
        }
        // A constant-phase element in place of the capacitor, values in the
        // same slots.
        z = Simulate("R(QR)", {100.0, 1e-5, 0.7, 1000.0});
        EXPECT_EQ(State().Params.ParamCount, 4);
        EXPECT_EQ(State().Params.Kind[3], 6);
        EXPECT_EQ(State().Fit.MaxEvaluations, 200);
        for (size_t i = 0; i < z.size(); ++i) {
            const double w = TwoPi * State().Spectrum.Frequency[static_cast<int>(i) + 1];
            ExpectClose(z[i], 100.0 + 1.0 / (1.0 / 1000.0 + 1e-5 * std::pow(jay * w, 0.7)), 1e-12, "R(QR)");
        }
        // The same letters at other levels invert other parameters.
        z = Simulate("RC", {50.0, 1e-4});
        EXPECT_FALSE(State().Params.Reciprocal[1]);
        EXPECT_TRUE(State().Params.Reciprocal[2]);
        for (size_t i = 0; i < z.size(); ++i) {
            const double w = TwoPi * State().Spectrum.Frequency[static_cast<int>(i) + 1];
            ExpectClose(z[i], 50.0 + 1.0 / (jay * w * 1e-4), 1e-13, "RC");
        }
    }
}

// Every call leaves the parse's slots as a fresh parse of the code leaves them,
// whatever an earlier code or anybody else put there: the kinds (slot 0
// included), the reciprocal flags, the counts derived from the code and the
// point count, and the distributed-element flag.
TEST_F(EvaluatorReuseTest, EveryCallLeavesTheSlotsOfAFreshParse) {
    SetFrequencies({0.5, 50.0, 5000.0, 2e4});
    const std::vector<std::pair<std::string, int>> codes = {
        {"R(CR)", 3}, {"(RQ)(CR)W", 6}, {"R(CR)(DR)", 8}, {"CLRQ", 5}, {"R(CR)", 3}, {"(R(R(CR)))", 4},
    };
    for (const auto& [code, params] : codes) {
        ProgramState& s = State();
        // Leftovers that the call must overwrite.
        for (int k = 0; k <= MaxParams; ++k) s.Params.Kind[k] = 99;
        for (int k = 1; k <= MaxParams; ++k) s.Params.Reciprocal[k] = k % 2 == 0;
        s.Run.DistributedElement = code.find('D') == std::string::npos;
        s.Fit.ChiSqDivisor = s.Fit.MaxEvaluations = -7;
        Simulate(code, std::vector<double>(static_cast<size_t>(params), 0.5));
        const FixedArray<int, 0, MaxParams> kind = s.Params.Kind;
        const ParamArray<bool> reciprocal = s.Params.Reciprocal;
        const int divisor = s.Fit.ChiSqDivisor, maxEvaluations = s.Fit.MaxEvaluations;
        const int count = s.Params.ParamCount;
        const bool distributed = s.Run.DistributedElement;

        for (int k = 0; k <= MaxParams; ++k) s.Params.Kind[k] = -1;
        EXPECT_EQ(ParseCircuitCode(code), params) << code;
        const unsigned mask = CdcReciprocalMask(code);
        for (int k = 0; k <= MaxParams; ++k) EXPECT_EQ(kind[k], s.Params.Kind[k]) << code << " kind " << k;
        for (int k = 1; k <= MaxParams; ++k) {
            EXPECT_EQ(reciprocal[k], s.Params.Reciprocal[k]) << code << " flag " << k;
            EXPECT_EQ(reciprocal[k], (mask & (1u << k)) != 0) << code << " flag " << k;
        }
        EXPECT_EQ(divisor, 4 - (params + 1)) << code;
        EXPECT_EQ(maxEvaluations, s.Fit.MaxEvaluations) << code;
        EXPECT_EQ(count, params) << code;
        EXPECT_EQ(distributed, code.find('D') != std::string::npos) << code;
    }
}

// The constant-phase element takes w^n from a fast exponential for the
// usual frequencies; where n ln w leaves its range the library's is used.
// Both must give the closed form, also mixed in one spectrum.
TEST_F(EvaluatorReuseTest, ConstantPhasePowersAtUsualAndExtremeFrequencies) {
    const double y0 = 1e5, n = 0.9999;
    // ln w = -709 makes n ln w beyond the fast range.
    const double extreme = std::exp(-709.0) / TwoPi;
    SetFrequencies({1e6, 3.3, 1e-3, extreme, 0.02});
    const std::vector<C> z = Simulate("Q", {y0, n});
    for (size_t i = 0; i < z.size(); ++i) {
        const double w = TwoPi * State().Spectrum.Frequency[static_cast<int>(i) + 1];
        const C want = std::pow(w, -n) / y0 * std::exp(-jay * (n * M_PI / 2));
        ASSERT_TRUE(std::isfinite(want.real()));
        ExpectClose(z[i], want, 1e-12, "point " + std::to_string(i + 1));
    }
}

// The phase of a constant-phase element over the whole range of its
// exponent, signs, a quarter turn, the switch between the two series inside
// and a tiny exponent included: each part against cos and sin of n pi/2,
// also where the real part is nearly zero.
TEST_F(EvaluatorReuseTest, ConstantPhaseAnglesOverTheExponentRange) {
    SetFrequencies({7.0});
    const double w = TwoPi * 7.0, y0 = 2e-4;
    for (double n : {-1.0, -0.99, -0.73, -0.5000001, -0.5, -0.31, -1e-9, 1e-300, 1e-9, 0.25, 0.4999999, 0.5,
                     0.5000001, 0.77, 0.9, 0.99, 0.999999, 1.0}) {
        const std::vector<C> z = Simulate("Q", {y0, n});
        const long double h = 1.5707963267948966192313216916397514L * n;
        const double m = std::pow(w, -n) / y0;
        const double re = m * static_cast<double>(std::cos(h)), im = -m * static_cast<double>(std::sin(h));
        EXPECT_NEAR(z[0].real(), re, 2e-15 * std::fabs(re) + 1e-16 * m) << "n = " << n;
        EXPECT_NEAR(z[0].imag(), im, 2e-15 * std::fabs(im) + 1e-16 * m) << "n = " << n;
    }
}

// A level's sum is kept within magnitudes 1e-32 .. 1e32 before it is
// inverted. Points on both sides of the bound in one spectrum: the guard
// must act on exactly those below it.
TEST_F(EvaluatorReuseTest, LevelGuardActsPointByPoint) {
    const double g = 1e-3, c = 1e-30;  // w C crosses 1e-32 at w = 0.01
    SetFrequencies({1e3, 1.0, 0.01, 1e-3, 1e-4});
    const std::vector<C> z = Simulate("(CR)", {c, 1.0 / g});
    for (size_t i = 0; i < z.size(); ++i) {
        const double w = TwoPi * State().Spectrum.Frequency[static_cast<int>(i) + 1];
        const double b = std::max(w * c, 1e-32);
        const C want = 1.0 / C(g, b);
        EXPECT_NEAR(z[i].real(), want.real(), 1e-12 * std::abs(want)) << i;
        EXPECT_NEAR(z[i].imag(), want.imag(), 1e-12 * std::abs(want.imag())) << i;
    }
    // Below the bound the imaginary part is the guard's, not w C.
    EXPECT_NEAR(z[4].imag(), -1e-32 / (g * g), 1e-12 * 1e-32 / (g * g));
}

// The same with enough points that the sums are tested before they are
// inverted: one point below the bound among many within it, in either order.
TEST_F(EvaluatorReuseTest, LevelGuardActsOnOnePointAmongMany) {
    const double g = 1e-3, c = 1e-30;
    for (int below : {0, 17, 39}) {
        std::vector<double> f(40);
        for (int i = 0; i < 40; ++i) f[static_cast<size_t>(i)] = std::pow(10.0, 3.0 - 0.05 * i);  // w C > 1e-28
        f[static_cast<size_t>(below)] = 1e-4;  // w C below 1e-32
        SetFrequencies(f);
        const std::vector<C> z = Simulate("R(CR)", {5.0, c, 1.0 / g});
        for (size_t i = 0; i < z.size(); ++i) {
            const double wc = TwoPi * f[i] * c;
            const C want = 5.0 + 1.0 / C(g, std::max(wc, 1e-32));
            EXPECT_NEAR(z[i].real(), want.real(), 1e-12 * std::abs(want)) << below << " " << i;
            EXPECT_NEAR(z[i].imag(), want.imag(), 1e-12 * std::abs(want.imag())) << below << " " << i;
        }
        EXPECT_NEAR(z[static_cast<size_t>(below)].imag(), -1e-32 / (g * g), 1e-12 * 1e-32 / (g * g));
    }
}

// Modulus-weighted chi-squared against residuals computed here, over many
// points (the sum is formed in several partial sums), with and without the
// exponent penalty.
TEST_F(EvaluatorReuseTest, ModulusWeightedSumOverManyPoints) {
    std::vector<double> f;
    for (int i = 0; i < 137; ++i) f.push_back(std::pow(10.0, 5.0 - 7.0 * i / 136.0));
    SetFrequencies(f);
    SpectrumBlock& sp = State().Spectrum;
    for (double n : {0.8, 1.2}) {
        double want = 0.0;
        for (int i = 1; i <= 137; ++i) {
            const double w = TwoPi * f[static_cast<size_t>(i - 1)];
            const C z = 10.0 + 1.0 / (1.0 / 300.0 + 1e-5 * std::pow(jay * w, std::min(n, 0.99)));
            sp.ZReal[i] = z.real() * (1.0 + 0.01 * std::sin(i));
            sp.ZImag[i] = -z.imag() * (1.0 - 0.02 * std::cos(i));
            const double dr = z.real() - sp.ZReal[i], di = -z.imag() - sp.ZImag[i];
            want += (dr * dr + di * di) / std::norm(z);
            if (n > 1.0) want += 10000.0 * n * n;
        }
        State().Circuit.Code = "R(QR)";
        State().Options.Weighting = 1;
        State().Run.SimulateMode = false;
        const double v[] = {10.0, 1e-5, n, 300.0};
        ParamArray<double> ln;
        for (int k = 1; k <= 4; ++k) {
            ln[k] = std::log(v[k - 1]);
            State().Params.Sign[k] = 1.0;
        }
        double chi = -1.0;
        ASSERT_TRUE(EvaluateCircuit(ln, chi));
        EXPECT_NEAR(chi, want, 1e-12 * want) << n;
    }
}

// ---- parameter window labels ------------------------------------------------

TEST_F(EvaluatorReuseTest, LabelsFollowKindsUnitsAndWindows) {
    // However the evaluator saves work between calls, the rows of the window
    // shown must always name the kinds of the code evaluated last, in the
    // units in force.
    SetFrequencies({1.0, 10.0});
    auto label = [](int row) { return DefaultParamWindow().label[row]; };
    Simulate("R(CR)", {100.0, 1e-5, 1000.0});
    EXPECT_EQ(label(2), "Capacitance,         [F]");
    EXPECT_EQ(label(3), "Resistance,        [ohm]");
    EXPECT_EQ(label(4), "Not used         ");

    // Other kinds: the row of the exponent and the rows below move.
    Simulate("R(QR)", {100.0, 1e-5, 0.7, 1000.0});
    EXPECT_EQ(label(3), "Freq power, n    [0<n<1]");
    EXPECT_EQ(label(4), "Resistance,        [ohm]");

    // Back to the first code: nothing of the second may stay.
    Simulate("R(CR)", {100.0, 1e-5, 1000.0});
    EXPECT_EQ(label(3), "Resistance,        [ohm]");
    EXPECT_EQ(label(4), "Not used         ");

    // Same kinds, other units: the per-area labels.
    State().Run.PerAreaUnits = true;
    Simulate("R(CR)", {100.0, 1e-5, 1000.0});
    EXPECT_EQ(label(1), "Resistance,    [ohm-cm2]");
    EXPECT_EQ(label(2), "Capacitance,     [F/cm2]");

    // A window installed afresh, and the default window after a reset, get
    // every label although code and units did not change.
    MemoryParamWindow second;
    InstallWindows(WindowSet{&second, nullptr, nullptr, nullptr});
    Simulate("R(CR)", {100.0, 1e-5, 1000.0});
    EXPECT_EQ(second.label[1], "Resistance,    [ohm-cm2]");
    EXPECT_EQ(second.label[4], "Not used         ");
    ResetWindows();
    Simulate("R(CR)", {100.0, 1e-5, 1000.0});
    EXPECT_EQ(label(1), "Resistance,    [ohm-cm2]");
    EXPECT_EQ(label(3), "Resistance,    [ohm-cm2]");
    ResetWindows();
}

}  // namespace

// Every spectrum size, whole vector widths or not, gives each point exactly
// what a spectrum of that point alone gives, for codes with loop elements
// (R, C, Q, W) and point-by-point elements (D, T) at both levels.
TEST_F(EvaluatorReuseTest, EverySpectrumSizeGivesEachPointItsOwnImpedance) {
    struct Case {
        std::string code;
        std::vector<double> values;
    };
    const Case cases[] = {{"R(CR)(QR)", {10.0, 1e-6, 100.0, 1e-4, 0.8, 200.0}},
                          {"R(DR)W", {10.0, 1e-5, 1e-3, 0.8, 5.0, 1000.0, 2e-3}},
                          {"(R(TC))D", {50.0, 1e-3, 0.4, 1e-5, 2e-5, 1e-2, 0.6, 4.0}}};
    for (const Case& c : cases)
        for (int n : {1, 2, 7, 8, 9, 15, 16, 17, 60, 199}) {
            SCOPED_TRACE(c.code + " at " + std::to_string(n) + " points");
            std::vector<double> f;
            for (int i = 0; i < n; ++i) f.push_back(1e5 * std::pow(1e-7, n > 1 ? i / (n - 1.0) : 0.0));
            SetFrequencies(f);
            const std::vector<C> z = Simulate(c.code, c.values);
            ASSERT_EQ(z.size(), static_cast<size_t>(n));
            for (int i = 0; i < n; ++i) {
                SetFrequencies({f[static_cast<size_t>(i)]});
                const std::vector<C> one = Simulate(c.code, c.values);
                ASSERT_EQ(z[static_cast<size_t>(i)], one[0]) << "point " << i + 1;
            }
        }
}
