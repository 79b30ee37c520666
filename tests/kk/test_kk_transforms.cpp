// The Kramers-Kronig transforms and residual on spectra computed from
// circuits (consistent by construction) and on twins whose resistance drifts
// during the sweep (not consistent).
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <sstream>
#include <string>

#include "core/Complex.h"
#include "core/DataReader.h"
#include "kk/KramersKronig.h"
#include "kk/TailExtrapolation.h"
#include "kk_test_support.h"
#include "platform/testing/Doubles.h"

namespace pellucor {
namespace {

using kktest::Impedance;

class KkTransforms : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        kk::ClearTailSystemCache();
    }
    platform::testing::ScopedServices services_;
};

// 1 MHz to 1 mHz, ten points a decade: 91 points, point 0 first in time.
constexpr int SweepPoints = 91;

struct Circuit {
    const char* name;
    double r0;
    // impedance with the main resistance scaled by `scale`
    std::complex<double> (*z)(double w, double scale);
};

const Circuit kCircuits[] = {
    {"R(CR)", 10.0,
     [](double w, double scale) { return kktest::RcrImpedance(w, 10.0, 100.0 * scale, 1e-4); }},
    {"R(QR)", 10.0,
     [](double w, double scale) {
         return kktest::RqrImpedance(w, 10.0, 1000.0 * scale, 1e-4, 0.8);
     }},
};

// Conventional sign (capacitive Z'' negative) in the file, as instruments
// write it; the reader stores it positive.
Impedance Consistent(const Circuit& c) {
    return [&c](double w, int) { return std::conj(c.z(w, 1.0)); };
}
// The resistance grows by 3 % from the first to the last point measured.
Impedance Drifting(const Circuit& c) {
    return [&c](double w, int i) {
        return std::conj(c.z(w, 1.0 + 0.03 * i / (SweepPoints - 1)));
    };
}

double WorstRelativeError(const PointRow& calc, const PointRow& data) {
    const SpectrumBlock& sp = State().Spectrum;
    double worst = 0;
    for (int i = 1; i <= sp.PointCount; ++i)
        worst = std::max(worst, std::fabs(calc[i] - data[i]) /
                                    std::hypot(sp.ZReal[i], sp.ZImag[i]));
    return worst;
}

TEST_F(KkTransforms, AConsistentSpectrumIsReproducedAndItsDriftingTwinIsNot) {
    for (const Circuit& c : kCircuits) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(kktest::LoadSpectrum(Consistent(c), 1e6, 1e-3, 10));
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_EQ(sp.PointCount, SweepPoints);
        const double clean = kk::RunKramersKronig(c.r0);
        EXPECT_LT(WorstRelativeError(sp.KKImag, sp.ZImag), 0.005);
        EXPECT_LT(WorstRelativeError(sp.KKReal, sp.ZReal), 0.005);
        EXPECT_LT(clean, 1e-5);

        ASSERT_TRUE(kktest::LoadSpectrum(Drifting(c), 1e6, 1e-3, 10));
        const double drifting = kk::RunKramersKronig(c.r0);
        EXPECT_GT(drifting, 10 * clean) << "clean " << clean << ", drifting " << drifting;
    }
}

// The transforms step by step as the integration rule reads: samples of
// F- and F+ at every point, the parabola rule per interval, the near-segment
// integrals on the two intervals at the point, the tail. The transforms work
// out the same sums in a faster order and must agree with this.
void StepByStep(double zrInf, double* kkImag, double* kkReal) {
    const SpectrumBlock& sp = State().Spectrum;
    const int n = sp.PointCount;
    double u[MaxPoints], re[MaxPoints], im[MaxPoints];
    for (int i = 1; i <= n; ++i) {
        u[i] = std::log(sp.Omega[i]);
        re[i] = sp.ZReal[i];
        im[i] = sp.ZImag[i];
    }
    const bool tail = kk::CapacitiveAtHighFrequency();
    for (int p = 1; p <= n; ++p) {
        const double w0 = sp.Omega[p];
        double minus[MaxPoints], plus[MaxPoints], gMinus[MaxPoints], gPlus[MaxPoints];
        for (int i = 1; i <= n; ++i) {
            const double wi = sp.Omega[i];
            const bool same = std::fabs(wi - w0) < 1e-32;
            minus[i] = same ? 0.0 : (re[i] - re[p]) * wi / (wi - w0);
            plus[i] = (re[i] - re[p]) * wi / (wi + w0);
            gMinus[i] = same ? 0.0 : (wi * im[i] - w0 * im[p]) * wi / (wi - w0);
            gPlus[i] = (wi * im[i] - w0 * im[p]) * wi / (wi + w0);
        }
        minus[p] = kk::SlopeAtPoint(u, re, p);
        // ... and 0 there when the interval that ends at p has no length
        const double lambda = p == 1 ? u[2] - u[1] : u[p] - u[p - 1];
        gMinus[p] = std::fabs(lambda) < 1e-32 ? 0.0 : (kk::SlopeAtPoint(u, im, p) + im[p]) * w0;
        double s = tail ? -kk::HighFrequencyTailIntegral(p) : 0.0, t = 0;
        for (int j = 2; j <= n; ++j) {
            if (j == p) {
                s += kk::SegmentAbovePoint(true, p);
                t += kk::SegmentAbovePoint(false, p);
            } else if (j == p + 1) {
                s += kk::SegmentBelowPoint(true, p);
                t += kk::SegmentBelowPoint(false, p);
            } else {
                s -= kk::SegmentIntegral(u, minus, n, j);
                t -= kk::SegmentIntegral(u, gMinus, n, j);
            }
            s += kk::SegmentIntegral(u, plus, n, j);
            t += kk::SegmentIntegral(u, gPlus, n, j);
        }
        kkImag[p] = s / M_PI;
        kkReal[p] = t / (-M_PI * w0) + zrInf;
    }
}

TEST_F(KkTransforms, TheTransformsAgreeWithTheRuleTakenStepByStep) {
    for (const Circuit& c : kCircuits) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(kktest::LoadSpectrum(Drifting(c), 1e6, 1e-3, 10));
        SpectrumBlock& sp = State().Spectrum;
        sp.Omega[60] = sp.Omega[61];  // one pair of equal frequencies
        double kkImag[MaxPoints], kkReal[MaxPoints];
        StepByStep(c.r0, kkImag, kkReal);
        kk::RunKramersKronig(c.r0);
        for (int p = 1; p <= sp.PointCount; ++p) {
            const double scale = std::hypot(sp.ZReal[p], sp.ZImag[p]);
            EXPECT_NEAR(sp.KKImag[p], kkImag[p], 1e-11 * scale) << p;
            EXPECT_NEAR(sp.KKReal[p], kkReal[p], 1e-11 * scale) << p;
        }
    }
}

TEST_F(KkTransforms, CapacitiveDataGivePositiveImaginaryTransformsAsTheReaderStoresThem) {
    ASSERT_TRUE(kktest::LoadSpectrum(Consistent(kCircuits[0]), 1e6, 1e-3, 10));
    const SpectrumBlock& sp = State().Spectrum;
    ASSERT_GT(sp.ZImag[45], 0.0);  // reader's convention
    EXPECT_TRUE(kk::CapacitiveAtHighFrequency());
    kk::RunKramersKronig(10.0);
    for (int i = 2; i < sp.PointCount; ++i) {
        EXPECT_GT(sp.KKImag[i], 0.0) << i;
        EXPECT_NEAR(sp.KKImag[i], sp.ZImag[i], 0.005 * std::hypot(sp.ZReal[i], sp.ZImag[i])) << i;
    }
    // Stored the other way round, the same real part predicts the opposite
    // sign: the residual then is of the order of the data themselves.
    const double consistent = kk::KramersKronigResidual();
    State().Options.ReverseZImag = true;
    State().Options.AutoSignZImag = false;
    ASSERT_TRUE(kktest::LoadSpectrum(Consistent(kCircuits[0]), 1e6, 1e-3, 10));
    ASSERT_LT(sp.ZImag[45], 0.0);
    EXPECT_GT(kk::RunKramersKronig(10.0), 1e4 * consistent);
}

TEST_F(KkTransforms, TheHighFrequencyTailImprovesTheTopPointsOfCapacitiveData) {
    ASSERT_TRUE(kktest::LoadSpectrum(Consistent(kCircuits[1]), 1e6, 1e-3, 10));
    const SpectrumBlock& sp = State().Spectrum;
    kk::TransformRealToImaginary();
    double with = 0, without = 0;
    for (int p = 1; p <= 10; ++p) {
        const double tail = kk::HighFrequencyTailIntegral(p) / M_PI;
        with += std::pow(sp.KKImag[p] - sp.ZImag[p], 2);
        without += std::pow(sp.KKImag[p] + tail - sp.ZImag[p], 2);
    }
    EXPECT_LT(with, without);
}

TEST_F(KkTransforms, AConstantRealPartHasAZeroImaginaryTransform) {
    const Impedance z = [](double w, int) {
        return std::complex<double>(7.0, kktest::RcrImpedance(w, 0, 100, 1e-4).imag());
    };
    ASSERT_TRUE(kktest::LoadSpectrum(z, 1e6, 1e-3, 10));
    ASSERT_TRUE(kk::CapacitiveAtHighFrequency());  // the tail takes part
    kk::TransformRealToImaginary();
    const SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= sp.PointCount; ++i) EXPECT_NEAR(sp.KKImag[i], 0.0, 1e-9) << i;
}

TEST_F(KkTransforms, ThePhaseTermOnlyJoinsWhenPointsWereAppended) {
    ASSERT_TRUE(kktest::LoadSpectrum(Consistent(kCircuits[0]), 1e6, 1e-3, 10));
    SpectrumBlock& sp = State().Spectrum;
    const int m = sp.FilePointCount;
    kk::RunKramersKronig(10.0);
    auto mismatch = [&](int i) {
        return (std::pow(sp.KKReal[i] - sp.ZReal[i], 2) + std::pow(sp.KKImag[i] - sp.ZImag[i], 2)) /
               (sp.ZReal[i] * sp.ZReal[i] + sp.ZImag[i] * sp.ZImag[i]);
    };
    double plain = 0;
    for (int i = 1; i <= m; ++i) plain += mismatch(i);
    // whatever an earlier extrapolation left in the slot after the last point
    sp.ZReal[m + 1] = -500;
    sp.ZImag[m + 1] = 3;
    EXPECT_DOUBLE_EQ(kk::KramersKronigResidual(), plain / m);

    // Appended points in the Kramers-Kronig view: only they are averaged,
    // with the continuity of the phase angle across the last measured point.
    sp.PointCount = m + 2;
    sp.ZReal[m + 2] = 120;
    sp.ZImag[m + 2] = 1;
    sp.KKReal[m + 1] = sp.KKReal[m + 2] = 100;
    sp.KKImag[m + 1] = sp.KKImag[m + 2] = 2;
    State().Run.KKView = true;
    const double phase = 2 * PhaseAngle(sp.ZImag[m], sp.ZReal[m]) -
                         PhaseAngle(sp.ZImag[m + 1], sp.ZReal[m + 1]) -
                         PhaseAngle(sp.ZImag[m - 1], sp.ZReal[m - 1]);
    EXPECT_DOUBLE_EQ(kk::KramersKronigResidual(),
                     (mismatch(m + 1) + mismatch(m + 2) + phase * phase) / 2);
}

TEST_F(KkTransforms, EqualFrequenciesGiveNumbersNotNaN) {
    ASSERT_TRUE(kktest::LoadSpectrum(Consistent(kCircuits[0]), 1e6, 1e-3, 10));
    SpectrumBlock& sp = State().Spectrum;
    for (int i : {1, 40, 90}) {  // point i + 1 repeats point i's frequency
        sp.Omega[i + 1] = sp.Omega[i];
        sp.Frequency[i + 1] = sp.Frequency[i];
    }
    const double r = kk::RunKramersKronig(10.0);
    EXPECT_TRUE(std::isfinite(r));
    for (int i = 1; i <= sp.PointCount; ++i) {
        EXPECT_TRUE(std::isfinite(sp.KKReal[i])) << i;
        EXPECT_TRUE(std::isfinite(sp.KKImag[i])) << i;
    }
}

// A point measured again at practically the same frequency (merged sweeps,
// frequencies written with different rounding), its values off by the
// 0.1 % of ordinary noise: a difference quotient over the tiny spacing
// must not enter the integrals. The data are the closed form, so the
// transforms must still reproduce them as with one point there.
TEST_F(KkTransforms, APointRepeatedAtPracticallyTheSameFrequencyDoesNotSpoilTheTransforms) {
    const Circuit& c = kCircuits[0];
    for (double apart : {0.0, 1e-12, 1e-9, 5e-7}) {
        SCOPED_TRACE(apart);
        // The top point (where the high-frequency tail starts) and one in the
        // middle of the arc, each again a relative `apart` lower.
        std::string text = kktest::SpectrumText(Consistent(c), 1e6, 1e-3, 10);
        for (double f : {1e6, 1e6 * std::pow(10.0, -4.5)}) {
            const double again = f * (1 - apart);
            const std::complex<double> z = std::conj(c.z(2 * M_PI * again, 1.0)) * 1.001;
            std::ostringstream line;
            line.precision(17);
            line << again << ' ' << z.real() << ' ' << z.imag() << '\n';
            text += line.str();
        }
        std::istringstream in(text);
        ASSERT_EQ(ReadImpedanceData(in), 0);
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_EQ(sp.PointCount, SweepPoints + 2);
        kk::RunKramersKronig(c.r0);
        // As with the frequency repeated exactly (apart 0): the point after
        // the repeat takes no slope, which costs a few per cent there.
        EXPECT_LT(WorstRelativeError(sp.KKImag, sp.ZImag), 0.05);
        EXPECT_LT(WorstRelativeError(sp.KKReal, sp.ZReal), 0.05);
    }
}

TEST_F(KkTransforms, AStopRequestEndsTheRunBetweenTheTransforms) {
    ASSERT_TRUE(kktest::LoadSpectrum(Consistent(kCircuits[0]), 1e6, 1e-3, 10));
    SpectrumBlock& sp = State().Spectrum;
    services_.pump.onStop = [] { State().Run.StopRequested = true; };
    for (int stopAfter : {1, 2}) {
        SCOPED_TRACE(stopAfter);
        State().Run.StopRequested = false;
        services_.pump.calls = 0;
        services_.pump.stopAfter = stopAfter;
        sp.KKImag.fill(-1.0);
        sp.KKReal.fill(-1.0);
        EXPECT_TRUE(std::isfinite(kk::RunKramersKronig(10.0)));
        EXPECT_EQ(sp.KKImag[30] == -1.0, stopAfter == 1);  // real-to-imaginary ran after one pump
        EXPECT_EQ(sp.KKReal[30], -1.0);
    }
}

}  // namespace
}  // namespace pellucor
