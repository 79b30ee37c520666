#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <string>
#include <vector>

#include "core/CircuitCode.h"
#include "core/Derivatives.h"
#include "core/Distributed.h"
#include "core/Evaluator.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"

using namespace pellucor;
using C = std::complex<double>;

namespace {

const C jay(0.0, 1.0);

class DerivativesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
        AllocateWorkArrays();
    }

    // Installs the code with the given signed values; returns the magnitudes.
    ParamArray<double> Install(const std::string& code, const std::vector<double>& values) {
        State().Circuit.Code = code;
        const int p = ParseCircuitCode(code);
        EXPECT_EQ(p, static_cast<int>(values.size())) << code;
        ParamArray<double> m;
        for (int k = 1; k <= p; ++k) {
            const double v = values[static_cast<size_t>(k - 1)];
            m[k] = std::fabs(v);
            State().Params.Sign[k] = v < 0 ? -1.0 : 1.0;
        }
        return m;
    }

    struct Out {
        DerivativeStatus status;
        C z;  // true impedance
        std::vector<C> d;  // d[k-1]: derivative of the true impedance in parameter k
    };
    Out Derive(const ParamArray<double>& m, double f) {
        double zre = 0, zim = 0;
        ParamArray<double> dRe, dIm;
        Out o;
        o.status = CdcImpedanceDerivatives(m, f, zre, zim, dRe, dIm);
        o.z = C(zre, -zim);
        for (int k = 1; k <= State().Params.ParamCount; ++k) o.d.emplace_back(dRe[k], dIm[k]);
        return o;
    }

    platform::testing::ScopedServices services;
};

// The evaluator's impedance with parameter k's value as evaluated (the
// reciprocal where its level inverts it) set to u; other values positive.
C EvaluatorAt(const std::string& code, ParamArray<double> values, int k, double u, bool reciprocal, double omega) {
    values[k] = reciprocal ? 1.0 / u : u;
    const Complex z = CircuitImpedance(code, values, omega);
    return C(z.re, z.im);
}

// Central difference of the evaluator in the value as evaluated, with the
// square roots in full precision so that the difference measures the slope
// and not the rounding of ComplexSqrt.
C EvaluatorSlope(const std::string& code, const ParamArray<double>& values, int k, double omega) {
    const bool rec = (CdcReciprocalMask(code) >> k) & 1u;
    const double v = rec ? 1.0 / values[k] : values[k];
    const double h = 1e-5 * v;
    const FullPrecisionRoots precise;
    return (EvaluatorAt(code, values, k, v + h, rec, omega) - EvaluatorAt(code, values, k, v - h, rec, omega)) /
           (2.0 * h);
}

struct Element {
    std::string letter;
    std::vector<double> values;
    bool analytic;  // closed-form derivatives (else differences of the element function)
};

const std::vector<Element>& Elements() {
    static const std::vector<Element> e = {
        {"R", {47.0}, true},
        {"C", {2e-6}, true},
        {"L", {3e-3}, true},
        {"W", {2e-3}, true},
        {"Q", {3e-5, 0.83}, true},
        {"T", {5e-3, 0.3}, true},
        {"O", {5e-3, 0.3}, true},
        {"G", {4e-3, 25.0}, true},
        {"H", {2e-5, 1e-3, 0.7, 0.6}, false},
        {"U", {800.0, 12.0, 90.0, 2.0, 8.0, 0.5}, false},
        {"V", {800.0, 90.0, 2.0, 8.0, 0.5}, false},
        {"M", {800.0, 12.0, 90.0, 2.0, 1.5, 3.0}, false},
        {"N", {800.0, 90.0, 2.0, 1.5, 3.0}, false},
        {"Y", {900.0, 2e-6, 0.2, 0.02, 0.003, 1.5, 0.4}, false},
        {"X", {5e4, 2e-5, 0.85, 800.0, 4.0, 0.02}, false},
        {"P", {15.0, 300.0}, false},
        {"S", {2e-3, 0.4, 0.6}, false},
        {"B", {2e-3, 20.0, 5.0, 0.6}, false},
        {"J", {2e-3, 50.0, 0.3, 2.0}, false},
        {"I", {2e-3, 50.0, 0.3, 2.0}, false},
        {"D", {3e-5, 2e-3, 0.7, 6.0}, false},
        {"E", {3e-5, 2e-3, 0.7, 6.0}, false},
        {"F", {3e-5, 2e-3, 1.2, 0.5, 3.0, 2.0}, false},
    };
    return e;
}

}  // namespace

// For every letter at series and parallel levels and inside nested groups:
// the impedance agrees with the evaluator and each derivative with a central
// difference of the evaluator. Closed forms agree to 1e-5; differenced
// elements to their forward-difference accuracy, measured against the
// sensitivity scale |Z|/|v| of the parameter.
TEST_F(DerivativesTest, AgreeWithDifferencesOfTheEvaluatorForEveryLetter) {
    for (const Element& e : Elements()) {
        for (const std::string& wrap : {std::string("%"), std::string("(%)"), std::string("R(C%)"),
                                        std::string("R(C(%R))")}) {
            std::string code = wrap;
            code.replace(code.find('%'), 1, e.letter);
            std::vector<double> vals = e.values;
            if (wrap.size() > 3) vals.insert(vals.begin(), {10.0, 1e-6});
            if (wrap.size() > 5) vals.push_back(30.0);
            for (double f : {0.05, 1.0, 37.0, 900.0}) {
                const ParamArray<double> m = Install(code, vals);
                const Out o = Derive(m, f);
                const std::string at = code + " at " + std::to_string(f) + " Hz";
                ASSERT_EQ(o.status, DerivativeStatus::Ok) << at;
                const double omega = TwoPi * f;
                const Complex ze = CircuitImpedance(code, m, omega);
                EXPECT_NEAR(std::abs(o.z - C(ze.re, ze.im)) / std::abs(o.z), 0.0, 1e-6) << at;
                const unsigned mask = CdcReciprocalMask(code);
                for (int k = 1; k <= static_cast<int>(vals.size()); ++k) {
                    const C want = EvaluatorSlope(code, m, k, omega);
                    const C got = o.d[static_cast<size_t>(k - 1)];
                    const double v = ((mask >> k) & 1u) ? 1.0 / m[k] : m[k];
                    const double scale = std::abs(o.z) / v;
                    const double tol = e.analytic ? 1e-5 * std::abs(want) + 1e-9 * scale
                                                  : 2e-5 * std::abs(want) + 5e-5 * scale;
                    EXPECT_LE(std::abs(got - want), tol) << at << " parameter " << k << " got " << got
                                                         << " want " << want;
                }
            }
        }
    }
}

TEST_F(DerivativesTest, ClosedFormCases) {
    const double f = 3.0, w = TwoPi * f;
    // R(CR): the outer R has (1, 0); the parallel group carries -1/Y^2.
    {
        const ParamArray<double> m = Install("R(CR)", {100.0, 1e-5, 1000.0});
        const Out o = Derive(m, f);
        const C y = 1.0 / 1000.0 + jay * w * 1e-5;
        EXPECT_EQ(o.d[0], C(1.0, 0.0));
        const C dc = -jay * w / (y * y), dg = -1.0 / (y * y);
        EXPECT_NEAR(std::abs(o.d[1] - dc), 0.0, 1e-12 * std::abs(dc));
        EXPECT_NEAR(std::abs(o.d[2] - dg), 0.0, 1e-12 * std::abs(dg));
        EXPECT_NEAR(std::abs(o.z - (100.0 + 1.0 / y)), 0.0, 1e-9);
        EXPECT_TRUE(State().Params.Reciprocal[3]);
        EXPECT_EQ(State().Circuit.PreparedCode, "R(CR)");
    }
    // RC: the capacitor's value is 1/C; d Im / d(1/C) = -1/w.
    {
        const ParamArray<double> m = Install("RC", {5.0, 1e-4});
        const Out o = Derive(m, f);
        EXPECT_EQ(o.d[1].real(), 0.0);
        EXPECT_DOUBLE_EQ(o.d[1].imag(), -1.0 / w);
        EXPECT_EQ(State().Circuit.PreparedCode, "Rc");
    }
    // W in series.
    {
        const ParamArray<double> m = Install("W", {1e-3});
        const Out o = Derive(m, f);
        EXPECT_DOUBLE_EQ(o.d[0].real(), std::sqrt(1.0 / (2.0 * w)));
        EXPECT_DOUBLE_EQ(o.d[0].imag(), -std::sqrt(1.0 / (2.0 * w)));
    }
    // T and O with x = B sqrt(2w) = 20: no dependence on B at all.
    for (const char* code : {"T", "(T)", "O", "(O)"}) {
        const ParamArray<double> m = Install(code, {1e-3, 20.0 / std::sqrt(2.0 * w)});
        const Out o = Derive(m, f);
        EXPECT_EQ(o.d[1], C(0.0, 0.0)) << code;
    }
    // Q with exponent 1.2 at a parallel level keeps it (the evaluator limits it).
    {
        const ParamArray<double> m = Install("(Q)", {1e-5, 1.2});
        const Out o = Derive(m, f);
        const C want = 1.0 / (1e-5 * std::pow(jay * w, 1.2));
        EXPECT_NEAR(std::abs(o.z - want) / std::abs(want), 0.0, 1e-6);
    }
    // A negative sign enters the value as evaluated.
    {
        const ParamArray<double> m = Install("R(CR)", {100.0, 1e-5, -1000.0});
        const Out o = Derive(m, f);
        const C y = -1.0 / 1000.0 + jay * w * 1e-5;
        EXPECT_NEAR(std::abs(o.z - (100.0 + 1.0 / y)), 0.0, 1e-9);
        EXPECT_NEAR(std::abs(o.d[2] + 1.0 / (y * y)), 0.0, 1e-12 * std::abs(1.0 / (y * y)));
    }
}

// A level that sums to zero has no derivative: reported, never inf or NaN.
TEST_F(DerivativesTest, ZeroLevelSumIsReported) {
    struct Case {
        const char* code;
        std::vector<double> values;
        DerivativeStatus status;
    };
    const Case cases[] = {
        {"R()", {5.0}, DerivativeStatus::ZeroLevelSum},
        {"R(RR)", {5.0, 10.0, -10.0}, DerivativeStatus::ZeroLevelSum},  // conductances cancel
        {"R(RR)", {5.0, 10.0, 10.0}, DerivativeStatus::Ok},
    };
    for (const Case& c : cases) {
        const ParamArray<double> m = Install(c.code, c.values);
        const Out o = Derive(m, 2.0);
        EXPECT_EQ(o.status, c.status) << c.code;
        EXPECT_TRUE(std::isfinite(o.z.real()) && std::isfinite(o.z.imag())) << c.code;
        for (const C& d : o.d) EXPECT_TRUE(std::isfinite(d.real()) && std::isfinite(d.imag())) << c.code;
    }
    // The value is still the evaluator's guarded one.
    const ParamArray<double> m = Install("R()", {5.0});
    const Out o = Derive(m, 2.0);
    EXPECT_NEAR(o.z.real(), 5.0 + 5e31, 1e18);
    EXPECT_NEAR(o.z.imag(), -5e31, 1e18);
}

TEST_F(DerivativesTest, RefusedInputs) {
    // Codes beyond the limits are not walked.
    State().Circuit.Code = NoModelCode;
    ParamArray<double> m;
    for (int k = 1; k <= MaxParams; ++k) m[k] = 1.0;
    double zre = 1, zim = 1;
    ParamArray<double> dRe, dIm;
    EXPECT_EQ(CdcImpedanceDerivatives(m, 1.0, zre, zim, dRe, dIm), DerivativeStatus::CodeBeyondLimits);
    EXPECT_EQ(zre, 0.0);
    EXPECT_EQ(zim, 0.0);
    // A value that is not a number is reported, not passed on silently.
    ParamArray<double> bad = Install("R(CR)", {100.0, 1e-5, 1000.0});
    bad[2] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(CdcImpedanceDerivatives(bad, 1.0, zre, zim, dRe, dIm), DerivativeStatus::NonFinite);
}
