// Simulate then fit: spectra computed in closed form from known element values
// are fitted from start values 2 to 5 times off; the driver must give the
// values back.
#include "fit_test_support.h"

using namespace pellucor;
using namespace pellucor::fittest;

namespace {

struct Case {
    const char* code;
    std::vector<double> truth;
    std::vector<double> start;  // 2 to 5 times off
    Impedance z;
};

std::vector<Case> Cases() {
    return {
        {"R(CR)", {50, 2e-5, 800}, {150, 8e-6, 3200},
         [](double w) { return 50.0 + 1.0 / (1.0 / 800 + J * w * 2e-5); }},
        {"R(QR)", {20, 1e-4, 0.85, 500}, {60, 3e-4, 0.8, 125},
         [](double w) { return 20.0 + 1.0 / (1.0 / 500 + Cpe(1e-4, 0.85, w)); }},
        {"R(CR)(QR)", {10, 1e-6, 100, 1e-4, 0.8, 200}, {40, 3e-6, 30, 2.5e-5, 0.8, 600},
         [](double w) { return 10.0 + 1.0 / (1.0 / 100 + J * w * 1e-6) + 1.0 / (1.0 / 200 + Cpe(1e-4, 0.8, w)); }},
        {"R(C(R(CR)))", {15, 1e-5, 200, 1e-3, 1000}, {45, 3e-5, 50, 3e-4, 2500},
         [](double w) {
             return 15.0 + 1.0 / (J * w * 1e-5 + 1.0 / (200.0 + 1.0 / (J * w * 1e-3 + 1.0 / 1000)));
         }},
        // W in series inside the parallel group: Z_W = 0.707107 (1 - j) / (W sqrt w).
        {"R(C(RW))", {10, 2e-5, 100, 0.01}, {30, 5e-6, 250, 0.04},
         [](double w) {
             const Cplx zw = 0.707107 * (1.0 - J) / (0.01 * std::sqrt(w));
             return 10.0 + 1.0 / (J * w * 2e-5 + 1.0 / (100.0 + zw));
         }},
    };
}

}  // namespace

class FitRecovery : public FitTest {};

TEST_F(FitRecovery, NoiselessSpectraGiveTheValuesBack) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.code);
        FreshFitState();
        LoadSpectrum(c.z, 60, 1e5, 0.1);
        SelectModel(c.code, c.start);
        ASSERT_EQ(State().Params.ParamCount, static_cast<int>(c.truth.size()));
        EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
        for (size_t j = 0; j < c.truth.size(); ++j)
            EXPECT_NEAR(Fitted(static_cast<int>(j) + 1) / c.truth[j], 1.0, 1e-4) << "parameter " << j + 1;
        EXPECT_GE(State().History.IterationCount, 1);
        EXPECT_FALSE(State().Fit.CpeExponentClamped);
    }
}

TEST_F(FitRecovery, WithNoiseTheTruthLiesWithinAFewEstimatedErrors) {
    // 1 % noise on each part; errors are shown in percent of the value.
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.code);
        FreshFitState();
        LoadSpectrum(c.z, 60, 1e5, 0.1, 0.01, 11);
        SelectModel(c.code, c.start);
        EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
        const ParamSet& p = State().Params;
        for (size_t j = 0; j < c.truth.size(); ++j) {
            const int k = static_cast<int>(j) + 1;
            const double errPct = p.Error[k];
            ASSERT_TRUE(std::isfinite(errPct) && errPct > 0) << k;
            const double devPct = std::fabs(Fitted(k) - c.truth[j]) / std::fabs(Fitted(k)) * 100.0;
            EXPECT_LT(devPct, 4.0 * errPct) << "parameter " << k << " error " << errPct << "%";
        }
    }
}
