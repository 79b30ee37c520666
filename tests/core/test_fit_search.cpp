// Automatic start values, the choice of search parameters and the rough
// search by powers of ten.
#include "core/ElementKinds.h"
#include "core/RoughSearch.h"
#include "fit_test_support.h"

using namespace pellucor;
using namespace pellucor::fittest;

class FitSearch : public FitTest {
protected:
    // A spectrum whose real parts are 10 * i at point i and whose modulus
    // range is set explicitly.
    void LinearSpectrum(int n, double zmin, double zmax) {
        SpectrumBlock& sp = State().Spectrum;
        for (int i = 1; i <= n; ++i) {
            sp.Frequency[i] = 1e4 / i;
            sp.ZReal[i] = 10.0 * i;
            sp.ZImag[i] = 1.0;
        }
        sp.PointCount = n;
        sp.ZModMin = zmin;
        sp.ZModMax = zmax;
        State().Run.DataLoaded = true;
    }
};

TEST_F(FitSearch, AutomaticStartValuesByKind) {
    ProgramState& s = State();
    LinearSpectrum(20, 5, 500);
    s.Circuit.Code = "L(CR)(QR)";
    s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);  // L, C, R, Q-Yo, Q-n, R
    s.Params.Sign[5] = -1;
    AutoStartValues();
    const ParamSet& p = s.Params;
    EXPECT_EQ(p.Value[1], 1e-6);                           // an inductor in the first third
    EXPECT_EQ(p.Value[2], ElementKindTable(2).DefaultStart);
    EXPECT_EQ(p.Value[3], 100.0);                          // |Z'| at point (5 * 20) div 10 = 10
    EXPECT_EQ(p.Value[4], ElementKindTable(5).DefaultStart);
    EXPECT_EQ(p.Value[5], -ElementKindTable(6).DefaultStart);  // the sign is kept
    EXPECT_EQ(p.Value[6], 100.0);
    EXPECT_EQ(DefaultParamWindow().start[3], "100");

    // A modulus over more than five decades: resistances in the first half of
    // the code take the smallest modulus, the others the largest.
    LinearSpectrum(20, 1e-2, 1e4);
    AutoStartValues();
    EXPECT_EQ(p.Value[3], 1e-2);
    EXPECT_EQ(p.Value[6], 1e4);

    // High-impedance data: C and Q-Yo tenfold smaller, a late inductor 1e5.
    s.Circuit.Code = "R(CR)L";
    s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);
    s.Spectrum.HighImpedance = true;
    AutoStartValues();
    EXPECT_DOUBLE_EQ(p.Value[2], 0.1 * ElementKindTable(2).DefaultStart);
    EXPECT_EQ(p.Value[4], 1e5);

    // Method B: resistances take the real parts at evenly spaced points.
    s.Spectrum.HighImpedance = false;
    s.Params.Sign[5] = 1;
    s.Options.AutoSetupMethod = 2;
    LinearSpectrum(20, 5, 500);
    s.Circuit.Code = "R(CR)(CR)";
    s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);
    AutoStartValues();
    EXPECT_EQ(p.Value[1], 50.0);   // point 1 * 20 div 4 = 5
    EXPECT_EQ(p.Value[3], 100.0);  // point 10
    EXPECT_EQ(p.Value[5], 150.0);  // point 15
    // Without data every resistance starts at 10.
    s.Run.DataLoaded = false;
    AutoStartValues();
    EXPECT_EQ(p.Value[3], 10.0);
}

TEST_F(FitSearch, EvenlySpacedResistancesNeverLookBeforeTheFirstPoint) {
    // Fifteen resistances on the smallest spectrum allowed (15 points): the
    // first one's place 1 * 15 div 16 falls before point 1, which is no data
    // point; it takes the highest-frequency point instead, never a zero.
    ProgramState& s = State();
    s.Options.AutoSetupMethod = 2;
    LinearSpectrum(15, 5, 500);
    s.Circuit.Code = "RRRRRRRRRRRRRRR";
    s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);
    ASSERT_EQ(s.Params.ParamCount, 15);
    for (int j = 1; j <= 15; ++j) s.Params.Sign[j] = 1;
    AutoStartValues();
    const ParamSet& p = s.Params;
    EXPECT_EQ(p.Value[1], 10.0);   // point 1
    EXPECT_EQ(p.Value[2], 10.0);   // point 2 * 15 div 16 = 1
    EXPECT_EQ(p.Value[3], 20.0);   // point 45 div 16 = 2
    EXPECT_EQ(p.Value[15], 140.0); // point 225 div 16 = 14
}

TEST_F(FitSearch, SearchChoiceByErrorsRangesAndKinds) {
    ProgramState& s = State();
    ParamSet& p = s.Params;
    s.Circuit.Code = "R(CR)(CR)";
    p.ParamCount = ParseCircuitCode(s.Circuit.Code);  // R C R C R
    for (int j = 1; j <= 5; ++j) {
        p.LnValue[j] = std::log(10.0);
        p.Error[j] = 1.0;
        s.Fit.ScaleVector[j] = 10.0;
    }
    // Four or fewer parameters: all of them, whatever their errors.
    s.Circuit.Code = "R(CR)";
    p.ParamCount = 3;
    SelectSearchParameters();
    EXPECT_EQ(CountSearchParameters(), 3);

    p.ParamCount = 5;
    s.Circuit.Code = "R(CR)(CR)";
    // Iteration 0: every C is searched; resistances only when below 0.001 or
    // with an error above 1e10 percent.
    s.History.Iteration = 0;
    SelectSearchParameters();
    EXPECT_FALSE(p.SearchSelect[1]);
    EXPECT_TRUE(p.SearchSelect[2]);
    EXPECT_FALSE(p.SearchSelect[3]);
    EXPECT_TRUE(p.SearchSelect[4]);
    p.LnValue[3] = std::log(1e-4);
    SelectSearchParameters();
    EXPECT_TRUE(p.SearchSelect[3]);
    p.LnValue[3] = std::log(10.0);

    // Later: by relative error against a threshold halved until two are chosen.
    s.History.Iteration = 3;
    p.Error[2] = 30;  // above 50 / 2
    p.Error[5] = 20;  // above 50 / 4
    SelectSearchParameters();
    EXPECT_EQ(CountSearchParameters(), 2);
    EXPECT_TRUE(p.SearchSelect[2]);
    EXPECT_TRUE(p.SearchSelect[5]);
    // An undefined error counts as a large one.
    p.Error[1] = NAN;
    SelectSearchParameters();
    EXPECT_TRUE(p.SearchSelect[1]);
}

TEST_F(FitSearch, SearchChoiceEndsWhenFewerThanTwoCanQualify) {
    ProgramState& s = State();
    ParamSet& p = s.Params;
    s.Circuit.Code = "R(CR)(CR)";
    p.ParamCount = ParseCircuitCode(s.Circuit.Code);
    s.History.Iteration = 5;
    for (int j = 1; j <= 5; ++j) {
        p.LnValue[j] = std::log(10.0);
        p.Error[j] = 0.0;  // fixed parameters: no error estimate
        p.Fixed[j] = j != 2;
    }
    p.Error[2] = 3.0;
    SelectSearchParameters();  // must return
    EXPECT_EQ(CountSearchParameters(), 1);
    p.Error[2] = 0.0;
    SelectSearchParameters();
    EXPECT_EQ(CountSearchParameters(), 0);
}

TEST_F(FitSearch, SearchFlagsGoToAndComeFromTheWindow) {
    ProgramState& s = State();
    s.Params.FreeCount = 2;
    s.Params.SearchSelect[3] = true;
    ShowSearchFlags(false);
    EXPECT_TRUE(DefaultParamWindow().search[3]);
    EXPECT_FALSE(DefaultParamWindow().search[2]);
    DefaultParamWindow().search[5] = true;
    ReadSearchFlags();
    EXPECT_TRUE(s.Params.SearchSelect[5]);
    ShowSearchFlags(true);
    EXPECT_FALSE(s.Params.SearchSelect[3]);
    EXPECT_FALSE(DefaultParamWindow().search[3]);
}

TEST_F(FitSearch, RoughSearchFollowsItsSequencesAndKeepsOnlyTheBestTrial) {
    // R(CR) with only C free, from a capacitance 1000 times too large. Every
    // trial (a complete fit from 10^(2n) times the start value) is seen at
    // the message pump that follows it.
    LoadSpectrum([](double w) { return 50.0 + 1.0 / (1.0 / 800 + J * w * 2e-5); }, 30, 1e5, 0.1, 0.01);
    SelectModel("R(CR)", {50, 2e-2, 800}, {1, 3});
    ParamSet& p = State().Params;
    ASSERT_EQ(ValidateParameters(p.Value, p.ParamCount), 0);
    for (int j = 1; j <= 3; ++j) p.LnValue[j] = std::log(p.Value[j]);
    p.SearchSelect[1] = p.SearchSelect[2] = p.SearchSelect[3] = true;
    State().History.Iteration = 1;
    struct Trial {
        double start, chi;
    };
    std::vector<Trial> trials;
    services.pump.stopAfter = 0;
    services.pump.onStop = nullptr;
    struct Recorder : platform::MessagePump {
        std::vector<Trial>* out;
        void ProcessOneMessage() override { out->push_back({State().Params.Value[2], State().Fit.PreviousChiSq}); }
    } recorder;
    recorder.out = &trials;
    platform::Services sv = platform::services();
    sv.pump = &recorder;
    platform::InstallServices(sv);
    RoughInitialGuess(State().Files.DataFileName, false);
    platform::InstallServices(platform::Services{&services.messages, &services.fileDialogs, &services.settings,
                                                 &services.clock, &services.pump, &services.errors});

    // Upward: n = 0, 1, ... while the chi-squared stays below twice the one
    // before (the first compared with 1e20) and n <= 5; downward from n = -1
    // compared first with the n = 0 trial, down to n = -5.
    ASSERT_GE(trials.size(), 2u);
    size_t t = 0;
    double prev = 1e20;
    int n = 0;
    for (;; ++n, ++t) {
        ASSERT_LT(t, trials.size());
        EXPECT_NEAR(trials[t].start, 2e-2 * std::pow(10.0, 2.0 * n), 1e-12 * trials[t].start) << n;
        const bool more = 2 * prev > trials[t].chi && n + 1 <= 5;
        prev = trials[t].chi;
        if (!more) break;
    }
    const double chi0 = trials[0].chi;
    prev = chi0;
    ++t;
    for (n = -1;; --n, ++t) {
        ASSERT_LT(t, trials.size());
        EXPECT_NEAR(trials[t].start, 2e-2 * std::pow(10.0, 2.0 * n), 1e-12 * trials[t].start) << n;
        const bool more = 2 * prev > trials[t].chi && n - 1 >= -5;
        prev = trials[t].chi;
        if (!more) break;
    }
    EXPECT_EQ(t + 1, trials.size());
    // The start value of the best trial survives; the fixed ones were not searched.
    size_t best = 0;
    for (size_t i = 1; i < trials.size(); ++i)
        if (trials[i].chi < trials[best].chi) best = i;
    EXPECT_EQ(p.Value[2], trials[best].start);
    EXPECT_EQ(p.Value[1], 50.0);
    EXPECT_EQ(p.Value[3], 800.0);
    EXPECT_FALSE(State().Run.SimulateMode);
}

TEST_F(FitSearch, ExponentAndSpecialParametersAreResetWithoutTrials) {
    LoadSpectrum([](double w) { return 20.0 + 1.0 / (1.0 / 500 + Cpe(1e-4, 0.85, w)); }, 20, 1e5, 0.1);
    SelectModel("R(QR)", {20, 1e-4, 1e-3, 500}, {1, 2, 4});
    ParamSet& p = State().Params;
    State().History.Iteration = 4;  // past the first-iteration resets of validation
    ASSERT_EQ(ValidateParameters(p.Value, p.ParamCount), 0);
    for (int j = 1; j <= 4; ++j) p.LnValue[j] = std::log(p.Value[j]);
    p.SearchSelect[3] = true;
    services.pump.calls = 0;
    RoughInitialGuess(State().Files.DataFileName, true);
    EXPECT_EQ(p.Value[3], 0.8);  // ln 1e-3 < -4.6
    EXPECT_EQ(services.pump.calls, 0);
}

TEST_F(FitSearch, ADistributedElementLimitsTheTrials) {
    // With D in the code every searched parameter gets at most three trials.
    LoadSpectrum([](double w) { return 10.0 + 1.0 / (1.0 / 100 + J * w * 1e-6); }, 15, 1e5, 1);
    SelectModel("R(CR)(DR)", {10, 1e-6, 100, 1e-4, 0.01, 0.8, 5, 200}, {1, 2, 3, 5, 6, 7, 8});
    ParamSet& p = State().Params;
    State().History.Iteration = 4;
    ASSERT_EQ(ValidateParameters(p.Value, p.ParamCount), 0);
    for (int j = 1; j <= 8; ++j) p.LnValue[j] = std::log(p.Value[j]);
    double chi = 0;
    ASSERT_EQ(Compute(State().Files.DataFileName, chi, false), ComputeDone);
    ASSERT_TRUE(State().Run.DistributedElement);
    for (int j = 1; j <= 8; ++j) p.SearchSelect[j] = j == 4;
    services.pump.calls = 0;
    RoughInitialGuess(State().Files.DataFileName, true);
    EXPECT_GE(services.pump.calls, 2);
    EXPECT_LE(services.pump.calls, 3);
}
