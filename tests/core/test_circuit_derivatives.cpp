#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "circuit_test_support.h"
#include "core/CircuitCode.h"
#include "core/Derivatives.h"
#include "core/Distributed.h"
#include "core/Evaluator.h"

using namespace pellucor;
using namespace pellucor::circuittest;

namespace {

class DerivativesTest : public CircuitTest {
protected:
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
};

// Impedance of an element at angular frequency w from its physical
// definition, parameters p in code order as the user gives them.
using ElementZ = std::function<C(double w, const std::vector<double>& p)>;

// Pore argument of U, V, M and N.
C Pore(bool cothForm, double w, double w0, double w1, double kad, double w3) {
    const C z2 = std::sqrt(jay * w / w3);
    const C f = cothForm ? kad * coth(z2) / z2 : kad / (z2 * coth(z2) - 1.0);
    return std::sqrt((w0 / (1.0 + f) + jay * w) / w1);
}

// Distribution of relaxation times tau e^x with the weight g(x) over [a, b]:
// the element's admittance is j w C times the weighted mean Debye response.
C DistributedZ(double w, double c, double tau, const std::function<double(double)>& g, double a, double b) {
    const C i = Simpson([&](double x) { return g(x) / (1.0 + jay * w * tau * std::exp(x)); }, a, b, 8000);
    const C nrm = Simpson([&](double x) { return C(g(x)); }, a, b, 8000);
    return 1.0 / (jay * w * c * i / nrm);
}

struct Element {
    std::string letter;
    std::vector<double> values;
    bool analytic;  // closed-form derivatives (else differences of the element function)
    ElementZ z;
};

const std::vector<Element>& Elements() {
    using P = const std::vector<double>&;
    static const std::vector<Element> e = {
        {"R", {47.0}, true, [](double, P p) { return C(p[0]); }},
        {"C", {2e-6}, true, [](double w, P p) { return 1.0 / (jay * w * p[0]); }},
        {"L", {3e-3}, true, [](double w, P p) { return jay * w * p[0]; }},
        {"W", {2e-3}, true, [](double w, P p) { return 1.0 / (p[0] * std::sqrt(jay * w)); }},
        {"Q", {3e-5, 0.83}, true, [](double w, P p) { return 1.0 / (p[0] * std::pow(jay * w, p[1])); }},
        {"T", {5e-3, 0.3}, true,
         [](double w, P p) {
             const C s = std::sqrt(jay * w);
             return 1.0 / (p[0] * s * std::tanh(p[1] * s));
         }},
        {"O", {5e-3, 0.3}, true,
         [](double w, P p) {
             const C s = std::sqrt(jay * w);
             return 1.0 / (p[0] * s * coth(p[1] * s));
         }},
        {"G", {4e-3, 25.0}, true, [](double w, P p) { return 1.0 / (p[0] * std::sqrt(p[1] + jay * w)); }},
        {"H", {2e-5, 1e-3, 0.7, 0.6}, false,
         [](double w, P p) { return std::pow(1.0 + std::pow(jay * w * p[1], p[2]), p[3]) / (jay * w * p[0]); }},
        {"U", {800.0, 12.0, 90.0, 2.0, 8.0, 0.5}, false,
         [](double w, P p) {
             const C nu = Pore(true, w, p[2], p[3], p[4], p[5]);
             return p[0] * coth(nu) / nu + p[1] * (1.0 + 2.0 / (nu * std::sinh(nu)));
         }},
        {"V", {800.0, 90.0, 2.0, 8.0, 0.5}, false,
         [](double w, P p) {
             const C nu = Pore(true, w, p[1], p[2], p[3], p[4]);
             return p[0] * std::tanh(nu) / nu;
         }},
        {"M", {800.0, 12.0, 90.0, 2.0, 1.5, 3.0}, false,
         [](double w, P p) {
             const C nu = Pore(false, w, p[2], p[3], p[4], p[5]);
             return p[0] * coth(nu) / nu + p[1] * (1.0 + 2.0 / (nu * std::sinh(nu)));
         }},
        {"N", {800.0, 90.0, 2.0, 1.5, 3.0}, false,
         [](double w, P p) {
             const C nu = Pore(false, w, p[1], p[2], p[3], p[4]);
             return p[0] * std::tanh(nu) / nu;
         }},
        {"Y", {900.0, 2e-6, 0.2, 0.02, 0.003, 1.5, 0.4}, false,
         [](double w, P p) {
             const C z2 = std::sqrt(jay * w / p[6]);
             const C zd = p[5] * std::tanh(z2) / z2;
             const C zf = 1.0 / (1.0 / p[2] + jay * w * p[1]);
             const C zi = 1.0 / (1.0 / (p[4] + zd) + jay * w * p[3]);
             const C nu = std::sqrt(1.0 / (zi + zf));
             return p[0] * coth(nu) / nu;
         }},
        {"X", {5e4, 2e-5, 0.85, 800.0, 4.0, 0.02}, false,
         [](double w, P p) {
             const C zp = p[0] / (1.0 + std::pow(jay * w * p[1] * p[0], p[2]));
             return std::sqrt(p[3] * zp) / p[4] * coth(p[5] * std::sqrt(p[3] / zp));
         }},
        {"P", {15.0, 300.0}, false,
         [](double w, P p) {
             const C z = std::sqrt(jay * w / p[1]);
             return p[0] * coth(z) / z;
         }},
        {"S", {2e-3, 0.4, 0.6}, false,
         [](double w, P p) {
             const C z = std::sqrt(jay * p[1] * p[1] * w);
             return (1.0 / (std::tanh(z) / z * jay * p[1] * w) + p[1] * p[2] / (z * coth(z))) / p[0];
         }},
        {"B", {2e-3, 20.0, 5.0, 0.6}, false,
         [](double w, P p) {
             const double s = w / p[1];
             const C z = std::sqrt(jay * s), pn = std::pow(jay * s, p[3]), k = z * coth(z);
             return 1.0 / (p[0] * (jay * s + p[2] * pn * k) / (p[2] * pn + k));
         }},
        {"J", {2e-3, 50.0, 0.3, 2.0}, false,
         [](double w, P p) {
             const double s = w / p[1], a = p[2], l = p[3];
             const C z = std::sqrt(jay * s);
             const C t1 = std::tanh(z) / z, t2 = std::tanh(l * z) / (l * z);
             return 1.0 / (p[0] * (1.0 / l + a * jay * s * t1 * t2) / (a * t2 + t1 / l));
         }},
        {"I", {2e-3, 50.0, 0.3, 2.0}, false,
         [](double w, P p) {
             const double s = w / p[1], a = p[2], l = p[3];
             const C z = std::sqrt(jay * s);
             const C c1 = z * coth(z), c2 = l * z * coth(l * z);
             return 1.0 / (p[0] * jay * s * (l * c1 + a * c2) / (a * c1 * c2 + l * jay * s));
         }},
        // Energies x in [0, xs] weighted e^(-psi x), times tau e^(-x).
        {"D", {3e-5, 2e-3, 0.7, 6.0}, false,
         [](double w, P p) {
             const double psi = p[2];
             return DistributedZ(w, p[0], p[1], [psi](double x) { return std::exp(psi * x); }, -p[3], 0.0);
         }},
        // Symmetric weight e^(-psi |x|) over [-xs/2, xs/2].
        {"E", {3e-5, 2e-3, 0.7, 6.0}, false,
         [](double w, P p) {
             const double psi = p[2];
             return DistributedZ(w, p[0], p[1], [psi](double x) { return std::exp(-psi * std::fabs(x)); },
                                 -0.5 * p[3], 0.5 * p[3]);
         }},
        // Gaussian weight e^(-(x/eps)^2) over [-(xu - xl eps^2/2), theta - xl eps^2/2].
        {"F", {3e-5, 2e-3, 1.2, 0.5, 3.0, 2.0}, false,
         [](double w, P p) {
             const double eps = p[2], shift = 0.5 * p[3] * eps * eps;
             return DistributedZ(w, p[0], p[1], [eps](double x) { return std::exp(-(x / eps) * (x / eps)); },
                                 -(p[4] - shift), p[5] - shift);
         }},
    };
    return e;
}

// The circuits each letter is placed in ('%' stands for the element), with
// the impedance of the whole circuit from the element's impedance ze. The
// values v hold the circuit's parameters in code order: for "R(C%)" R and C
// first, for "R(C(%R))" also the inner R last.
struct Wrap {
    std::string pattern;
    bool seriesLevel;  // level of the element
    int before, after;  // parameters of the circuit before and after the element
    std::function<C(double w, const std::vector<double>& v, C ze)> z;
};

const std::vector<Wrap>& Wraps() {
    static const std::vector<Wrap> w = {
        {"%", true, 0, 0, [](double, const std::vector<double>&, C ze) { return ze; }},
        {"(%)", false, 0, 0, [](double, const std::vector<double>&, C ze) { return 1.0 / (1.0 / ze); }},
        {"R(C%)", false, 2, 0,
         [](double w, const std::vector<double>& v, C ze) { return v[0] + 1.0 / (jay * w * v[1] + 1.0 / ze); }},
        {"R(C(%R))", true, 2, 1,
         [](double w, const std::vector<double>& v, C ze) {
             return v[0] + 1.0 / (jay * w * v[1] + 1.0 / (ze + v.back()));
         }},
    };
    return w;
}

// Whether a level uses a parameter inverted: the first parameter of C, W, Q,
// T, O, G, H, D, E, F, S, B, J, I at series levels, of R and L at parallel.
bool UsedInverted(char letter, bool series) {
    const std::string atSeries = "CWQTOGHDEFSBJI";
    return series ? atSeries.find(letter) != std::string::npos : (letter == 'R' || letter == 'L');
}

// Impedance of the whole circuit from the closed forms.
C ClosedForm(const Wrap& wrap, const Element& e, const std::vector<double>& v, double w) {
    const std::vector<double> own(v.begin() + wrap.before, v.begin() + wrap.before + static_cast<long>(e.values.size()));
    return wrap.z(w, v, e.z(w, own));
}

// Central difference of the closed form in parameter k (1-based) as the
// circuit uses it: in its reciprocal where the level inverts it.
C ClosedFormSlope(const Wrap& wrap, const Element& e, std::vector<double> v, int k, bool inverted, double w) {
    const double u = inverted ? 1.0 / v[static_cast<size_t>(k - 1)] : v[static_cast<size_t>(k - 1)];
    const double h = 1e-5 * u;
    v[static_cast<size_t>(k - 1)] = inverted ? 1.0 / (u + h) : u + h;
    const C up = ClosedForm(wrap, e, v, w);
    v[static_cast<size_t>(k - 1)] = inverted ? 1.0 / (u - h) : u - h;
    const C down = ClosedForm(wrap, e, v, w);
    return (up - down) / (2.0 * h);
}

}  // namespace

// For every letter at series and parallel levels and inside nested groups:
// the impedance agrees with the evaluator and with the element's physical
// definition, and each derivative with a central difference of that
// definition. Closed forms agree to 1e-5; differenced elements to their
// forward-difference accuracy, measured against the sensitivity scale
// |Z|/|v| of the parameter.
TEST_F(DerivativesTest, AgreeWithDifferencesOfTheClosedFormsForEveryLetter) {
    for (const Element& e : Elements()) {
        for (const Wrap& wrap : Wraps()) {
            std::string code = wrap.pattern;
            code.replace(code.find('%'), 1, e.letter);
            std::vector<double> vals = e.values;
            if (wrap.before) vals.insert(vals.begin(), {10.0, 1e-6});
            if (wrap.after) vals.push_back(30.0);
            const int first = wrap.before + 1;  // the element's first parameter
            for (double f : {0.05, 1.0, 37.0, 900.0}) {
                const ParamArray<double> m = Install(code, vals);
                const Out o = Derive(m, f);
                const std::string at = code + " at " + std::to_string(f) + " Hz";
                ASSERT_EQ(o.status, DerivativeStatus::Ok) << at;
                const double omega = TwoPi * f;
                const Complex ze = CircuitImpedance(code, m, omega);
                EXPECT_NEAR(std::abs(o.z - C(ze.re, ze.im)) / std::abs(o.z), 0.0, 1e-6) << at;
                const C exact = ClosedForm(wrap, e, vals, omega);
                EXPECT_NEAR(std::abs(o.z - exact) / std::abs(exact), 0.0, 1e-5) << at;
                for (int k = 1; k <= static_cast<int>(vals.size()); ++k) {
                    const bool inverted = k == first && UsedInverted(e.letter[0], wrap.seriesLevel);
                    EXPECT_EQ(State().Params.Reciprocal[k], inverted) << at << " parameter " << k;
                    const C want = ClosedFormSlope(wrap, e, vals, k, inverted, omega);
                    const C got = o.d[static_cast<size_t>(k - 1)];
                    const double v = inverted ? 1.0 / m[k] : m[k];
                    const double scale = std::abs(o.z) / v;
                    const bool own = k >= first && k < first + static_cast<int>(e.values.size());
                    const double tol = !own || e.analytic ? 1e-5 * std::abs(want) + 1e-9 * scale
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
    // T and O with x = B sqrt(2w) = 0.005, where both use their small-argument
    // forms: the derivatives are those of the physical element to O(x^2).
    for (const Element& e : Elements()) {
        if (e.letter != "T" && e.letter != "O") continue;
        for (size_t wi = 0; wi < 2; ++wi) {
            const Wrap& wrap = Wraps()[wi];
            std::string code = wrap.pattern;
            code.replace(code.find('%'), 1, e.letter);
            const std::vector<double> vals = {1e-3, 0.005 / std::sqrt(2.0 * w)};
            const ParamArray<double> m = Install(code, vals);
            const Out o = Derive(m, f);
            for (int k = 1; k <= 2; ++k) {
                const bool inverted = k == 1 && wrap.seriesLevel;
                const C want = ClosedFormSlope(wrap, e, vals, k, inverted, w);
                EXPECT_LE(std::abs(o.d[static_cast<size_t>(k - 1)] - want), 1e-4 * std::abs(want))
                    << code << " parameter " << k << " got " << o.d[static_cast<size_t>(k - 1)] << " want " << want;
            }
        }
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

// A walk over many frequencies gives at every point exactly what a walk at
// that frequency alone gives, its status included.
TEST_F(DerivativesTest, ManyPointsAtOnceAsOnePointAtATime) {
    // L and C of 1 in parallel sum to zero where omega is exactly 1.
    double f1 = 1.0 / TwoPi;
    while (TwoPi * f1 < 1.0) f1 = std::nextafter(f1, 2.0);
    while (TwoPi * f1 > 1.0) f1 = std::nextafter(f1, 0.0);
    ASSERT_EQ(TwoPi * f1, 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> freq = {1e5, 3.3, f1, nan, 0.01, 2e-3};
    const DerivativeStatus expected[] = {DerivativeStatus::Ok,           DerivativeStatus::Ok,
                                         DerivativeStatus::ZeroLevelSum, DerivativeStatus::NonFinite,
                                         DerivativeStatus::Ok,           DerivativeStatus::Ok};
    const ParamArray<double> m = Install("R(LC)(QR)T", {10.0, 1.0, 1.0, 1e-4, 0.8, 100.0, 50.0, 2.0});
    const int p = State().Params.ParamCount;
    static DerivativeRows rows;
    CdcImpedanceDerivativeRows(m, freq.data(), static_cast<int>(freq.size()), rows);
    ASSERT_EQ(rows.n, static_cast<int>(freq.size()));
    auto same = [](double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    for (size_t i = 0; i < freq.size(); ++i) {
        SCOPED_TRACE(i);
        const Out o = Derive(m, freq[i]);
        EXPECT_EQ(o.status, expected[i]);
        EXPECT_EQ(rows.status[i], o.status);
        EXPECT_TRUE(same(rows.zre[i], o.z.real()));
        EXPECT_TRUE(same(-rows.zim[i], o.z.imag()));
        for (int k = 1; k <= p; ++k) {
            EXPECT_TRUE(same(rows.dRe[k][i], o.d[static_cast<size_t>(k - 1)].real())) << k;
            EXPECT_TRUE(same(rows.dIm[k][i], o.d[static_cast<size_t>(k - 1)].imag())) << k;
        }
    }
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
