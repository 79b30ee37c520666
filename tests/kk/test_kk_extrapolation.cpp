// Low-frequency extrapolation by the tail polynomials, the appended points,
// the searches of Z'(inf) and the scan of the polynomial degrees.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "core/WindowHooks.h"
#include "kk/KramersKronig.h"
#include "kk/OrderScan.h"
#include "kk/TailExtrapolation.h"
#include "kk_test_support.h"
#include "platform/testing/Doubles.h"

namespace pellucor {
namespace {

class CountingMainWindow : public MainWindowHooks {
public:
    void Replot() override { ++replots; }
    int replots = 0;
};

class KkExtrapolation : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        kk::ClearTailSystemCache();
        WindowSet w;
        w.Main = &main_;
        InstallWindows(w);
    }
    void TearDown() override { ResetWindows(); }

    // R(CR) with R0 = 10, R1 = 100, C = 1e-4 (corner near 16 Hz) from 1 MHz
    // down to fLow, read with the given frequency-limit divisor.
    static bool LoadRcr(double fLow, int divisor) {
        State().Extrap.ExtrapDivisor = divisor;
        return kktest::LoadSpectrum(
            [](double w, int) { return std::conj(kktest::RcrImpedance(w, 10, 100, 1e-4)); }, 1e6,
            fLow, 10);
    }
    static std::complex<double> TrueRcr(double w) { return kktest::RcrImpedance(w, 10, 100, 1e-4); }

    platform::testing::ScopedServices services_;
    CountingMainWindow main_;
};

TEST_F(KkExtrapolation, LowOrdersContinueASpectrumWithItsLowestDecadesRemoved) {
    // measured down to 0.1 Hz (two decades of the full sweep removed),
    // extrapolated down to 1 mHz
    ASSERT_TRUE(LoadRcr(0.1, 100));
    SpectrumBlock& sp = State().Spectrum;
    ExtrapolationState& ex = State().Extrap;
    const int m = sp.FilePointCount;
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        ex.ExtrapolationOrder = n;
        ASSERT_TRUE(kk::SolveTailPolynomials(10.0));
        kk::AppendExtrapolatedPoints(ex.TailCoefficients);
        const int last = sp.ExtendedPointCount;
        ASSERT_GT(last, m);
        EXPECT_NEAR(sp.Omega[last], TwoPi * 1e-3, 1e-12 * TwoPi);
        const std::complex<double> truth = TrueRcr(sp.Omega[last]);
        EXPECT_NEAR(sp.ZReal[last], truth.real(), 0.02 * std::abs(truth));
        EXPECT_NEAR(sp.ZImag[last], -truth.imag(), 0.02 * std::abs(truth));
    }
}

TEST_F(KkExtrapolation, TheTailSearchFindsTheHighFrequencyResistance) {
    ASSERT_TRUE(LoadRcr(0.1, 100));
    State().Extrap.ExtrapolationOrder = 3;
    const double deviation = kk::TailZrInfSearch();
    const ProgramState& st = State();
    EXPECT_NEAR(st.Extrap.ZRealAt1, 10.0, 0.1);
    EXPECT_EQ(deviation, st.Extrap.KKResidual);
    EXPECT_LT(deviation, 1e-4);
    EXPECT_EQ(st.Files.SelectedSpecName, "3DUO");
    EXPECT_TRUE(st.Run.ExtrapolatedView);
    EXPECT_TRUE(st.Run.ResultsComputed);
    EXPECT_FALSE(st.Run.KKView);
    EXPECT_EQ(st.Spectrum.PointCount, st.Spectrum.FilePointCount);
    EXPECT_EQ(st.Spectrum.ExtendedPointCount, st.Spectrum.FilePointCount + 20);
}

TEST_F(KkExtrapolation, TheTailSearchFindsTheResistanceWhenTheSweepStartsLower) {
    // The same circuit measured from 100 kHz only: above it Z' is R0 to
    // within 3e-6, so the search must still find R0 = 10 for every degree.
    for (int n = 3; n <= 6; ++n) {
        SCOPED_TRACE(n);
        ResetProgramState();
        kk::ClearTailSystemCache();
        State().Extrap.ExtrapDivisor = 100;
        ASSERT_TRUE(kktest::LoadSpectrum(
            [](double w, int) { return std::conj(kktest::RcrImpedance(w, 10, 100, 1e-4)); }, 1e5,
            0.1, 10));
        State().Extrap.ExtrapolationOrder = n;
        EXPECT_LT(kk::TailZrInfSearch(), 1e-4);
        EXPECT_NEAR(State().Extrap.ZRealAt1, 10.0, 0.1);
    }
}

TEST_F(KkExtrapolation, TheResidualSearchWithAppendedPointsKeepsTheSpectrumConsistent) {
    ASSERT_TRUE(LoadRcr(0.1, 100));
    ProgramState& st = State();
    st.Extrap.ExtrapolationOrder = 4;
    kk::TailZrInfSearch();
    const double residual = kk::EvaluateKramersKronig(true);
    EXPECT_TRUE(st.Run.KKView);
    EXPECT_FALSE(st.Run.ExtrapolatedView);
    EXPECT_EQ(st.Spectrum.PointCount, st.Spectrum.ExtendedPointCount);
    EXPECT_NEAR(st.Extrap.ZRealAt1, 10.0, 0.2);
    EXPECT_LT(residual, 1e-3);
    EXPECT_EQ(main_.replots, 1);
}

TEST_F(KkExtrapolation, EvaluatingWithoutDataSaysSo) {
    kk::EvaluateKramersKronig(true);
    ASSERT_EQ(services_.messages.transcript().size(), 1u);
    EXPECT_EQ(services_.messages.transcript()[0].text, "No data");
    EXPECT_EQ(services_.messages.transcript()[0].caption, "Specify data..");
    EXPECT_EQ(main_.replots, 0);
}

// Measured points w_i = w1 exp(-step (i - 1)).
void FillGeometric(int m, double step) {
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= m; ++i) {
        sp.Omega[i] = 1e5 * std::exp(-step * (i - 1));
        sp.Frequency[i] = sp.Omega[i] / TwoPi;
        sp.ZReal[i] = 10 + i;
        sp.ZImag[i] = 1;
    }
    sp.PointCount = sp.FilePointCount = sp.ExtendedPointCount = m;
    ExtrapolationState& ex = State().Extrap;
    ex.OmegaAt1 = sp.Omega[1];
    ex.OmegaAtN = sp.Omega[m];
    ex.OmegaLow = ex.OmegaAtN / ex.ExtrapDivisor;
}

TEST_F(KkExtrapolation, AppendedPointsFollowTheSpacingOfTheTopFiveIntervals) {
    // ln(w1/w6) = 1.5 and divisor 100: 5 ln(100) / 1.5 = 15.35, so 15 points
    State().Extrap.ExtrapDivisor = 100;
    FillGeometric(20, 0.3);
    State().Extrap.ExtrapolationOrder = 1;
    kk::LuVectorT coeffs;
    coeffs.fill(0.0);
    coeffs[1] = 5;  // P = 5
    coeffs[3] = 2;  // Q = 2
    kk::AppendExtrapolatedPoints(coeffs);
    const SpectrumBlock& sp = State().Spectrum;
    EXPECT_EQ(State().Extrap.AppendedPointCount, 15);
    EXPECT_EQ(sp.ExtendedPointCount, 35);
    EXPECT_NEAR(sp.Omega[35], State().Extrap.OmegaLow, 1e-12 * State().Extrap.OmegaLow);
    EXPECT_DOUBLE_EQ(sp.ZReal[30], 5.0);
    EXPECT_DOUBLE_EQ(sp.ZImag[30], 2.0);
    EXPECT_NEAR(sp.Frequency[30] * TwoPi, sp.Omega[30], 1e-12 * sp.Omega[30]);
}

TEST_F(KkExtrapolation, AppendedPointsNeverRunPastTheLastRow) {
    struct Case {
        const char* what;
        int m;
        double step;
        int divisor;
        int sameTop;  // points 1..sameTop share one frequency
    };
    const Case cases[] = {
        {"190 points, three decades more", 190, 0.03, 1000, 0},
        {"first six frequencies equal", 40, 0.2, 1000, 6},
        {"all frequencies equal", 30, 0.0, 10, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetProgramState();
        State().Extrap.ExtrapDivisor = c.divisor;
        FillGeometric(c.m, c.step);
        SpectrumBlock& sp = State().Spectrum;
        for (int i = 2; i <= c.sameTop; ++i) sp.Omega[i] = sp.Omega[1];
        State().Extrap.ExtrapolationOrder = 1;
        kk::LuVectorT coeffs;
        coeffs.fill(1.0);
        kk::AppendExtrapolatedPoints(coeffs);
        EXPECT_LE(sp.ExtendedPointCount, MaxPoints - 1);
        EXPECT_GE(sp.ExtendedPointCount, sp.FilePointCount);
        EXPECT_EQ(sp.ExtendedPointCount, sp.FilePointCount + State().Extrap.AppendedPointCount);
        for (int i = sp.FilePointCount + 1; i <= sp.ExtendedPointCount; ++i)
            EXPECT_TRUE(std::isfinite(sp.Omega[i]) && sp.Omega[i] > 0) << i;
    }
}

TEST_F(KkExtrapolation, ASingularTailSystemMakesTheTrialHopeless) {
    ASSERT_TRUE(LoadRcr(0.1, 100));
    State().Extrap.ExtrapolationOrder = 3;
    State().Extrap.OmegaLow = 0.0;  // collocation frequencies collapse to zero
    EXPECT_FALSE(kk::SolveTailPolynomials(10.0));
    EXPECT_EQ(kk::TailTrial(10.0), kk::HopelessTrial);
    EXPECT_NE(services_.errors.captured.find("Singular matrix in routine LUDCMP"), std::string::npos);
    State().Run.KKView = true;
    EXPECT_EQ(kk::RunKramersKronig(10.0), kk::HopelessTrial);
    EXPECT_EQ(State().Spectrum.PointCount, State().Spectrum.FilePointCount);
}

TEST_F(KkExtrapolation, OrderLabelsNameDegreeAndFrequencyLimit) {
    struct Case {
        int divisor;
        const char* suffix;
    };
    for (const Case& c : {Case{10, "UNO"}, Case{100, "DUO"}, Case{1000, "TRIO"}, Case{2, "TRIO"}}) {
        State().Extrap.ExtrapDivisor = c.divisor;
        for (int n = 4; n <= 8; ++n)
            EXPECT_EQ(kk::ExtrapolationOrderLabel(n), std::to_string(n) + c.suffix);
    }
}

TEST_F(KkExtrapolation, ParabolicRefinementHomesInOnAMinimum) {
    int calls = 0;
    auto f = [&](double x) {
        ++calls;
        return (x - 3) * (x - 3) + 1;
    };
    const kk::RefinedPoint p = kk::RefineParabolic(f, 2.5, false);
    EXPECT_NEAR(p.x, 3.0, 0.01);
    EXPECT_NEAR(p.value, 1.0, 1e-4);
    EXPECT_FALSE(p.stopped);
    EXPECT_LE(calls, 2 + 2 * 20);
}

TEST_F(KkExtrapolation, ParabolicRefinementStopsOnAFlatObjective) {
    const kk::RefinedPoint p = kk::RefineParabolic([](double) { return 0.0; }, 4.0, true);
    EXPECT_TRUE(std::isfinite(p.x));
    EXPECT_EQ(p.value, 0.0);
}

TEST_F(KkExtrapolation, TheOrderScanRanksTheDegreesAndWritesTheSummary) {
    const std::filesystem::path dir =
        std::filesystem::path(PELLUCOR_TEST_OUTPUT_DIR) / "kk_scan";
    std::filesystem::create_directories(dir);
    ProgramState& st = State();
    st.Folders.TempFolder = dir.string();  // without the trailing slash
    st.Folders.AppFolder = dir.parent_path().string() + "/";
    ASSERT_TRUE(LoadRcr(0.01, 100));
    st.Extrap.OrderCriterion = 3;
    ASSERT_TRUE(kk::ScanExtrapolationOrders("/data/run 5.dat"));

    EXPECT_EQ(st.Files.SummaryFileName, dir.string() + "/run 5.sum");
    std::ifstream in(st.Files.SummaryFileName);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line)) lines.push_back(line);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[1], "...kk_scan/run 5.sum");
    std::set<std::string> labels;
    double previousKey = -1;
    for (int i = 1; i <= 5; ++i) {
        int rank = 0;
        char label[16] = {};
        double zr = 0, cont = 0, dev = 0, product = 0;
        ASSERT_EQ(std::sscanf(lines[4 + i].c_str(), "%d %15s %le %le %le %le", &rank, label, &zr,
                              &cont, &dev, &product),
                  6)
            << lines[4 + i];
        EXPECT_EQ(rank, i);
        EXPECT_EQ(label, st.Extrap.OrderLabels[i]);
        labels.insert(label);
        EXPECT_GE(product, previousKey);  // ascending by continuity x deviation
        previousKey = product;
        EXPECT_NEAR(zr, 10.0, 0.5);
    }
    EXPECT_EQ(labels, (std::set<std::string>{"4DUO", "5DUO", "6DUO", "7DUO", "8DUO"}));
    EXPECT_EQ(st.Files.SelectedSpecName, st.Extrap.OrderLabels[1]);
    EXPECT_EQ(st.Extrap.ExtrapolationOrder, st.Extrap.OrderLabels[1][0] - '0');
    EXPECT_TRUE(st.Extrap.OrderScanDone);
    EXPECT_TRUE(st.Run.ExtrapolatedView);
    EXPECT_FALSE(st.Run.KKView);
    EXPECT_EQ(st.Spectrum.PointCount, st.Spectrum.FilePointCount);
    EXPECT_GE(main_.replots, 1);
}

TEST_F(KkExtrapolation, AStoppedOrderScanLeavesAnEmptySummary) {
    const std::filesystem::path dir =
        std::filesystem::path(PELLUCOR_TEST_OUTPUT_DIR) / "kk_scan_stop";
    std::filesystem::create_directories(dir);
    State().Folders.TempFolder = dir.string() + "/";
    ASSERT_TRUE(LoadRcr(0.01, 100));
    services_.pump.stopAfter = 1;
    services_.pump.onStop = [] { State().Run.StopRequested = true; };
    EXPECT_FALSE(kk::ScanExtrapolationOrders("cell.dat"));
    EXPECT_EQ(std::filesystem::file_size(dir / "cell.sum"), 0u);
}

TEST_F(KkExtrapolation, AStopDuringTheLastDegreeEndsTheScanLikeAnEarlierStop) {
    const std::filesystem::path dir =
        std::filesystem::path(PELLUCOR_TEST_OUTPUT_DIR) / "kk_scan_stop_last";
    std::filesystem::create_directories(dir);
    State().Folders.TempFolder = dir.string() + "/";
    ASSERT_TRUE(LoadRcr(0.01, 100));
    // The stop comes at the second pump of degree 8: the first is the
    // scan's own check before the degree, the second lies inside its search.
    int pumpsAtEight = 0;
    services_.pump.stopAfter = 1;
    services_.pump.onStop = [&] {
        if (State().Extrap.ExtrapolationOrder == 8 && ++pumpsAtEight == 2) State().Run.StopRequested = true;
        else services_.pump.stopAfter = services_.pump.calls + 1;
    };
    EXPECT_FALSE(kk::ScanExtrapolationOrders("cell.dat"));
    EXPECT_EQ(pumpsAtEight, 2);
    EXPECT_EQ(std::filesystem::file_size(dir / "cell.sum"), 0u);
}

TEST(KkOrderRanking, DegreesWhoseFiguresAreNotNumbersRankLast) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        int criterion;
        std::vector<std::string> best;  // labels, best first
    };
    // continuity, deviation: 4 (NaN, 1), 5 (2, 3), 6 (1, NaN), 7 (3, 0.5), 8 (0.5, 2)
    // (The two degrees without a product may come in either order.)
    for (const Case& c : {Case{1, {"8", "6", "5", "7", "4"}}, Case{2, {"7", "4", "8", "5", "6"}},
                          Case{3, {"8", "7", "5", "4", "6"}}}) {
        SCOPED_TRACE(c.criterion);
        kk::OrderScanEntry e[5];
        const double figures[5][2] = {{nan, 1}, {2, 3}, {1, nan}, {3, 0.5}, {0.5, 2}};
        for (int i = 0; i < 5; ++i) {
            e[i].label = std::to_string(4 + i);
            e[i].continuity = figures[i][0];
            e[i].deviation = figures[i][1];
        }
        kk::RankOrderEntries(e, 5, c.criterion);
        std::vector<std::string> got;
        for (const auto& x : e) got.push_back(x.label);
        if (c.criterion == 3) std::sort(got.begin() + 3, got.end());
        EXPECT_EQ(got, c.best);
    }
}

}  // namespace
}  // namespace pellucor
