// The fit driver: simulation, runs of iterations with their limits, stop
// requests, convergence tests, the fit-quality texts and the faults it must
// not have (divisor of zero, lost measured data, a clamp flag that forgets).
#include <cstdlib>
#include <filesystem>

#include "core/Messages.h"
#include "core/ResultFiles.h"
#include "core/SafeFile.h"
#include "core/TextHelpers.h"
#include "fit_test_support.h"

using namespace pellucor;
using namespace pellucor::fittest;

namespace {

Cplx RCR(double w) { return 50.0 + 1.0 / (1.0 / 800 + J * w * 2e-5); }

void LoadRCR(int n = 40) {
    LoadSpectrum(RCR, n, 1e5, 0.1);
    SelectModel("R(CR)", {150, 8e-6, 3200});
}

}  // namespace

class FitDriver : public FitTest {};

TEST_F(FitDriver, SimulateBuildsTheFrequencyListAndTheSpectrum) {
    SelectModel("R(CR)", {50, 2e-5, 800});
    State().Run.SimulateMode = true;
    State().Options.NoiseType = -1;
    double chi = 99;
    ASSERT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeDone);
    const SpectrumBlock& sp = State().Spectrum;
    EXPECT_EQ(sp.PointCount, 83);  // 10^6 down by factors of 0.8 while above 10^-2
    EXPECT_EQ(sp.Frequency[1], 1e6);
    EXPECT_NEAR(sp.Frequency[83], 1e6 * std::pow(0.8, 82), 1e-12);
    EXPECT_GT(sp.Frequency[83], 1e-2);
    EXPECT_LT(sp.Frequency[83] * 0.8, 1e-2);
    EXPECT_NEAR(sp.Omega[10], TwoPi * sp.Frequency[10], 1e-9);
    for (int i : {1, 40, 83}) {
        const Cplx z = RCR(TwoPi * sp.Frequency[i]);
        EXPECT_NEAR(sp.ZRealCalc[i], z.real(), 1e-9 * std::abs(z));
        EXPECT_NEAR(sp.ZImagCalc[i], -z.imag(), 1e-9 * std::abs(z));
    }
    EXPECT_EQ(chi, 0.0);
    EXPECT_EQ(State().Params.FreeCount, 0);
    EXPECT_TRUE(State().Run.SimulatedResults);
    EXPECT_TRUE(State().Run.ResultsComputed);
    // A start value of 0 is refused before anything is computed.
    State().Run.SimulatedResults = State().Run.ResultsComputed = false;
    Windows().Par->SetStartText(2, "0");
    EXPECT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeInvalidParameters);
    EXPECT_FALSE(State().Run.ResultsComputed);
}

TEST_F(FitDriver, ARunRecordsItsHistoryAndStopsAtTheIterationLimit) {
    LoadRCR();
    State().Options.MaxIterations = 5;
    State().Fit.ChiSqTolerance = 0;  // neither test can hold
    State().Fit.ParamTolerance = 0;
    const std::string mat = MinimaMatrixPath(State().Files.DataFileName, "R(CR)");
    std::filesystem::remove(mat);
    EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
    const IterationHistory& h = State().History;
    EXPECT_EQ(h.IterationCount, 5);
    EXPECT_EQ(h.StartTime[0], "14:05:09:250");  // the fixed clock of the test services
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(h.StartTime[i], h.EndTime[i - 1]);
        EXPECT_GT(h.ChiSqPerDof[i], 0.0);
    }
    EXPECT_NEAR(h.ValueMatrix[5 * 15 + 3], Fitted(3), 1e-12 * Fitted(3));
    EXPECT_EQ(h.ElapsedText, "   00:00:000");
    EXPECT_TRUE(std::filesystem::exists(mat));
    EXPECT_TRUE(std::filesystem::exists(StartPointMatrixPath(State().Files.DataFileName, "R(CR)")));
}

TEST_F(FitDriver, WithNothingFreeTheLoopDoesNotRun) {
    LoadSpectrum(RCR, 40, 1e5, 0.1);
    SelectModel("R(CR)", {50, 2e-5, 800}, {1, 2, 3});
    State().History.IterationCount = 7;
    EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
    EXPECT_EQ(State().History.IterationCount, 0);
    EXPECT_EQ(State().Params.FreeCount, 0);
    EXPECT_NEAR(Fitted(3), 800, 1e-9);
}

TEST_F(FitDriver, AStopRequestAfterAnyStepEndsTheRunWithoutItsEndBlock) {
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE(k);
        FreshFitState();
        LoadRCR();
        StartRunClock();
        InitialEvaluation(State().Files.DataFileName);
        const std::string mat = MinimaMatrixPath(State().Files.DataFileName, "R(CR)");
        std::filesystem::remove(mat);
        services.pump.calls = 0;
        services.pump.stopAfter = k;
        long long evaluationsAtStop = -1;
        services.pump.onStop = [&] {
            State().Run.StopRequested = true;
            evaluationsAtStop = CircuitEvaluationCount();
        };
        EXPECT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Stopped);
        // Nothing was computed after the step that saw the request (the
        // enclosing levels only handle their own pending message on the way out).
        EXPECT_EQ(CircuitEvaluationCount(), evaluationsAtStop);
        EXPECT_LE(services.pump.calls, k + 2);
        EXPECT_EQ(State().History.IterationCount, 0);
        EXPECT_EQ(State().History.ElapsedText, "");
        EXPECT_FALSE(std::filesystem::exists(mat));
        EXPECT_GE(State().History.Iteration, 1);
        services.pump.onStop = nullptr;
    }
}

// A run that is stopped (or fails) has no end block; what it leaves for the
// history file must still be its own, not the count and execution time of
// the run before it.
TEST_F(FitDriver, AStoppedRunLeavesNoHistoryOfTheRunBeforeIt) {
    LoadRCR();
    State().Options.MaxIterations = 5;
    State().Fit.ChiSqTolerance = 0;  // the first run goes to its limit
    State().Fit.ParamTolerance = 0;
    services.clock.now = platform::DateTime::FromSerial(46000.0);  // midnight
    StartRunClock();
    InitialEvaluation(State().Files.DataFileName);
    services.clock.now = platform::DateTime::FromSerial(46000.0 + 75.0 / 86400.0);  // 1 min 15 s later
    ASSERT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Finished);
    ASSERT_EQ(State().History.IterationCount, 5);
    ASSERT_EQ(State().History.ElapsedText, "   01:15:000");

    // The second run is stopped during its second iteration.
    StartRunClock();
    InitialEvaluation(State().Files.DataFileName);
    services.pump.calls = 0;
    int iterationAtStop = 0;
    services.pump.onStop = [&] {
        if (State().History.Iteration < 2) {
            services.pump.stopAfter = services.pump.calls + 1;
            return;
        }
        iterationAtStop = State().History.Iteration;
        State().Run.StopRequested = true;
    };
    services.pump.stopAfter = 1;
    ASSERT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Stopped);
    services.pump.onStop = nullptr;
    ASSERT_EQ(iterationAtStop, 2);
    EXPECT_EQ(State().History.IterationCount, 0);
    EXPECT_EQ(State().History.ElapsedText, "");

    const std::string par = State().Folders.ParFolder + "stopped, R(CR).par";
    ASSERT_TRUE(WriteHistoryFile(par));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(HistoryFilePath(par), &text));
    // Rows "  <iteration>        <ndir> ..." of the table: only the start row.
    EXPECT_NE(text.find("\n      0        "), std::string::npos) << text;
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(text.find("\n      " + std::to_string(i) + "        "), std::string::npos) << i << "\n" << text;
    // No execution time: the line names none.
    const size_t at = text.find("Execution time (mm:ss:zzz)  :");
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find_first_of("0123456789", at), std::string::npos) << text;
}

TEST_F(FitDriver, ConvergenceTestsAsATable) {
    ProgramState& s = State();
    s.Params.ParamCount = 1;
    s.Params.Kind[1] = 1;
    s.Fit.ParamTolerance = 0.1;
    struct Case {
        double oldValue, newValue, errorPct;
        int kind;
        bool expect;
    } cases[] = {
        {100.0, 100.05, 1.0, 1, true},    // 0.05 % change, 1 % error: 0.05 < 0.1
        {100.0, 100.5, 1.0, 1, false},    // 0.5 % change
        {100.0, 50.0, 1.0, 1, false},     // a falling parameter must not pass
        {100.0, 99.95, 1.0, 1, true},
        {100.0, 100.0, 0.0, 1, true},     // no error estimate, no change
        {100.0, 100.05, 0.0, 1, true},    // no error estimate: 0.05 % < 0.1 %
        {100.0, 101.0, 0.0, 1, false},    // no error estimate, 1 % change
        {100.0, 100.0, NAN, 1, true},     // undefined error, no change
        {100.0, 1e5, 1e9, 1, false},      // a jump of more than 5 in the logarithm
        {0.8, 0.5, 0.001, 6, true},       // exponent kinds never block
    };
    for (const Case& c : cases) {
        s.Params.Kind[1] = c.kind;
        ParamArray<double> old;
        old[1] = std::log(c.oldValue);
        s.Params.LnValue[1] = std::log(c.newValue);
        s.Params.Error[1] = c.errorPct;
        EXPECT_EQ(ParametersConverged(old), c.expect) << c.oldValue << " -> " << c.newValue << " err " << c.errorPct;
    }
    // Standard deviations are compared in percent of the value.
    s.Options.ErrorAsStdDev = true;
    s.Params.Kind[1] = 1;
    ParamArray<double> old;
    old[1] = std::log(100.0);
    s.Params.LnValue[1] = std::log(100.05);
    s.Fit.ScaleVector[1] = 100.05;
    s.Params.Error[1] = 1.0;  // 1 ohm of 100: about 1 %
    EXPECT_TRUE(ParametersConverged(old));
    s.Params.Error[1] = 0.1;  // 0.1 %: 0.05 / 0.1 = 0.5
    EXPECT_FALSE(ParametersConverged(old));

    s.Fit.ChiSqTolerance = 1e-5;
    EXPECT_TRUE(ChiSquareConverged(1.0, 1.000005));
    EXPECT_FALSE(ChiSquareConverged(1.0, 1.0001));
    EXPECT_FALSE(ChiSquareConverged(2.0, 1.0));

    struct Step {
        int iteration, max;
        bool chi, par, expect;
    } steps[] = {
        {1, 10, true, false, false}, {3, 10, false, true, false}, {3, 10, true, true, true},
        {4, 10, true, false, true},  {4, 10, false, true, true},  {4, 10, false, false, false},
        {5, 5, false, false, true},  {2, 2, false, false, true},
    };
    for (const Step& st : steps)
        EXPECT_EQ(IterationConverged(st.iteration, st.max, st.chi, st.par), st.expect) << st.iteration;
}

TEST_F(FitDriver, FitQualityTexts) {
    ProgramState& s = State();
    s.Params.FreeCount = 2;
    s.Fit.ChiSqDivisor = 4;
    double chi = 0.04;
    s.Options.Weighting = 1;
    ShowFitQuality(chi);
    EXPECT_EQ(DefaultParamWindow().chiSqText, "0.01");
    EXPECT_EQ(DefaultParamWindow().errorEstimateText, "< 10 pct.");
    s.Options.Weighting = 0;
    ShowFitQuality(chi);
    EXPECT_EQ(DefaultParamWindow().errorEstimateText, "< 0.1 ohms");
    s.Run.PerAreaUnits = true;
    ShowFitQuality(chi);
    EXPECT_EQ(DefaultParamWindow().errorEstimateText, "< 0.1 ohms-cm2");
    s.Run.SimulateMode = true;
    ShowFitQuality(chi);
    EXPECT_EQ(chi, 0.0);
    EXPECT_EQ(DefaultParamWindow().chiSqText, "0");
}

TEST_F(FitDriver, BetweenIterationsValuesPassAsFourDigitTexts) {
    LoadRCR();
    StartRunClock();
    InitialEvaluation(State().Files.DataFileName);
    double expect[4];
    for (int j = 1; j <= 3; ++j) {
        const std::string text = FormatGeneral(Fitted(j), 4);
        EXPECT_EQ(DefaultParamWindow().end[j], text);
        expect[j] = std::strtod(text.c_str(), nullptr);
        Windows().Par->SetSearchBox(j, false);  // no rough search in this iteration
    }
    State().History.Iteration = 1;
    ASSERT_EQ(RunOneIteration(State().Files.DataFileName), ComputeDone);
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(State().Params.Value[j], expect[j]) << j;
}

TEST_F(FitDriver, ValidationSetsSignsFreeListAndFirstIterationResets) {
    LoadSpectrum(RCR, 20, 1e5, 0.1);
    SelectModel("R(QR)", {-20, 1e-4, 0.6, 500}, {4});
    ParamSet& p = State().Params;
    State().History.Iteration = 2;
    ASSERT_EQ(ValidateParameters(p.Value, p.ParamCount), 0);
    EXPECT_EQ(p.Sign[1], -1.0);
    EXPECT_EQ(p.Sign[2], 1.0);
    EXPECT_EQ(p.FreeCount, 3);
    EXPECT_EQ(p.FreeIndex[1], 1);
    EXPECT_EQ(p.FreeIndex[3], 3);
    EXPECT_EQ(p.Value[3], 0.8);  // a free exponent restarts at 0.8 in the first iterations
    EXPECT_EQ(p.Value[5], 1.0);
    State().History.Iteration = 3;
    ASSERT_EQ(ValidateParameters(p.Value, p.ParamCount), 0);
    EXPECT_EQ(p.Value[3], 0.6);
    Windows().Par->SetStartText(2, "1e-40");
    EXPECT_EQ(ValidateParameters(p.Value, p.ParamCount), 1);
}

TEST_F(FitDriver, TooFewPointsForTheFreeParametersAreRefused) {
    LoadSpectrum(RCR, 3, 1e3, 1);
    SelectModel("R(CR)", {50, 2e-5, 800});
    double chi = 0;
    EXPECT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeTooFewPoints);
    EXPECT_FALSE(State().Run.ResultsComputed);
    ASSERT_FALSE(services.messages.transcript().empty());
    EXPECT_EQ(services.messages.transcript().back().text, FitRefusedText);
    EXPECT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Failed);
    EXPECT_FALSE(State().Run.ResultsComputed);
    // A fit needs a degree of freedom per free parameter and per parameter
    // of the code (the divisor of the saved chi-squared, points - P - 1).
    struct Case {
        int points;
        std::vector<int> fixed;
        int result;
    } cases[] = {
        {4, {}, ComputeTooFewPoints},   // 4 - 3 = 1, but 4 - 3 - 1 = 0
        {4, {2}, ComputeTooFewPoints},  // 4 - 2 = 2, but 4 - 3 - 1 = 0
        {5, {2}, ComputeDone},
        {5, {}, ComputeDone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.points);
        FreshFitState();
        services.messages.clear();
        LoadSpectrum(RCR, c.points, 1e3, 1);
        SelectModel("R(CR)", {50, 2e-5, 800}, c.fixed);
        EXPECT_EQ(Compute(State().Files.DataFileName, chi, true), c.result);
        EXPECT_EQ(services.messages.transcript().size(), c.result == ComputeDone ? 0u : 1u);
    }
    // 15 points and 14 free parameters leave the saved chi-squared no divisor.
    FreshFitState();
    LoadSpectrum(RCR, 15, 1e5, 0.1);
    SelectModel("R(CR)(CR)(CR)(CR)(CR)(CR)R", {50, 2e-5, 800, 1e-6, 10, 1e-7, 5, 1e-8, 3, 1e-4, 7, 1e-3, 9, 2});
    EXPECT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeTooFewPoints);
    EXPECT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Failed);
}

TEST_F(FitDriver, AFitWithoutAFiniteChiSquaredFailsAndKeepsThePreviousResults) {
    LoadRCR();
    ASSERT_EQ(RunFullFit(), RunOutcome::Finished);
    const ParamSet before = State().Params;
    const double chiBefore = State().Fit.ChiSq;
    const SpectrumBlock spectrumBefore = State().Spectrum;
    ASSERT_TRUE(std::isfinite(chiBefore));

    // Impedances near 1e300: every squared residual overflows.
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= sp.PointCount; ++i) {
        sp.ZReal[i] *= 1e297;
        sp.ZImag[i] *= 1e297;
    }
    services.messages.clear();
    EXPECT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Failed);
    EXPECT_FALSE(State().Run.ResultsComputed);
    // Said by the rough search's trial fit and by the iteration's fit.
    ASSERT_FALSE(services.messages.transcript().empty());
    for (const auto& m : services.messages.transcript()) EXPECT_EQ(m.text, FitFailedText);
    EXPECT_EQ(State().Fit.ChiSq, chiBefore);
    for (int j = 1; j <= 3; ++j) {
        EXPECT_EQ(State().Params.LnValue[j], before.LnValue[j]) << j;
        EXPECT_EQ(State().Params.Error[j], before.Error[j]) << j;
        EXPECT_EQ(State().Params.Sign[j], before.Sign[j]) << j;
    }
    for (int i = 1; i <= sp.PointCount; ++i) {
        EXPECT_EQ(sp.ZRealCalc[i], spectrumBefore.ZRealCalc[i]) << i;
        EXPECT_EQ(sp.ZImagCalc[i], spectrumBefore.ZImagCalc[i]) << i;
    }
}

TEST_F(FitDriver, CalculatedRowsAreTheModelAsTheEvaluatorFittedIt) {
    // R(QR) with the exponent fixed at 1.2: the evaluator limits it to 0.99,
    // so the rows shown and saved must be R0 + 1/(Q (jw)^0.99 + 1/R1) with the
    // fitted values, worked out here.
    auto z = [](double w) { return 20.0 + 1.0 / (1.0 / 500 + Cpe(2e-5, 0.99, w)); };
    LoadSpectrum(z, 30, 1e4, 0.01);
    SelectModel("R(QR)", {30, 1e-5, 1.2, 300}, {3});
    ASSERT_EQ(RunFullFit(), RunOutcome::Finished);
    const SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= sp.PointCount; ++i) {
        const Cplx expect = Fitted(1) + 1.0 / (1.0 / Fitted(4) + Cpe(Fitted(2), 0.99, TwoPi * sp.Frequency[i]));
        EXPECT_NEAR(sp.ZRealCalc[i], expect.real(), 1e-9 * std::abs(expect)) << i;
        EXPECT_NEAR(sp.ZImagCalc[i], -expect.imag(), 1e-9 * std::abs(expect)) << i;
    }
}

TEST_F(FitDriver, ChiSquaredPerDegreeOfFreedomIsUndefinedWithoutOne) {
    // Nothing free and as many points as parameters plus one: no degree of freedom.
    LoadSpectrum(RCR, 4, 1e3, 1);
    SelectModel("R(CR)", {50, 2e-5, 800}, {1, 2, 3});
    ProgramState& s = State();
    s.Params.FreeCount = 0;
    ASSERT_EQ(s.Fit.ChiSqDivisor, 0);
    double chi = 5.0;
    ShowFitQuality(chi);
    EXPECT_EQ(DefaultParamWindow().chiSqText, FormatGeneral(std::nan(""), 4));
    EXPECT_NE(DefaultParamWindow().chiSqText, "0");
    EXPECT_TRUE(std::isnan(ChiSqPerDegreeOfFreedom(0.0)));
}

TEST_F(FitDriver, ModelInfoWithNothingFreeShowsNoErrorEstimate) {
    ProgramState& s = State();
    s.Params.FreeCount = 0;
    s.Fit.ChiSq = 0.25;
    DefaultParamWindow().errorEstimateText = "< 3 pct.";
    Windows().Par->ShowModelInfo("d.txt");
    EXPECT_EQ(DefaultParamWindow().chiSqText, "0.25");
    EXPECT_EQ(DefaultParamWindow().errorEstimateText, "");
}


TEST_F(FitDriver, MeasuredDataOfAnyOriginSurviveASimulation) {
    // Data that came from no file (pasted, from a model window) are fitted
    // after a simulation replaced the frequency list.
    LoadRCR(30);
    State().Files.DataFileName = State().Folders.DataFolder + "never-written.txt";
    const double f7 = State().Spectrum.Frequency[7], z7 = State().Spectrum.ZReal[7];
    State().Run.SimulateMode = true;
    double chi = 0;
    ASSERT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeDone);
    ASSERT_EQ(State().Spectrum.PointCount, 83);
    State().Run.SimulateMode = false;
    Windows().Par->FreeAllParameters();
    ASSERT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeDone);
    EXPECT_EQ(State().Spectrum.PointCount, 30);
    EXPECT_EQ(State().Spectrum.Frequency[7], f7);
    EXPECT_EQ(State().Spectrum.ZReal[7], z7);
    EXPECT_FALSE(State().Run.SimulatedResults);
    EXPECT_TRUE(services.messages.transcript().empty());
}

TEST_F(FitDriver, DataWrittenAfterTheSimulationAreTheOnesFitted) {
    LoadRCR(30);
    State().Run.SimulateMode = true;
    double chi = 0;
    ASSERT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeDone);
    // A model window writes a new spectrum of 25 points.
    LoadSpectrum(RCR, 25, 1e4, 1);
    State().Run.SimulateMode = false;
    Windows().Par->FreeAllParameters();
    ASSERT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeDone);
    EXPECT_EQ(State().Spectrum.PointCount, 25);
    EXPECT_EQ(State().Spectrum.Frequency[1], 1e4);
}

TEST_F(FitDriver, UnreadableDataAfterASimulationFailTheRun) {
    // A simulation without measured data in memory, then a fit whose data
    // file cannot be read: message 2, failure, the rows as they were.
    SelectModel("R(CR)", {50, 2e-5, 800});
    State().Run.SimulateMode = true;
    double chi = 0;
    ASSERT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeDone);
    State().Files.DataFileName = State().Folders.DataFolder + "missing-file.txt";
    std::filesystem::remove(State().Files.DataFileName);
    State().Run.SimulateMode = false;
    State().Run.DataLoaded = State().Run.ModelValid = true;
    Windows().Par->FreeAllParameters();
    services.messages.clear();
    EXPECT_EQ(Compute(State().Files.DataFileName, chi, true), ComputeDataUnavailable);
    EXPECT_FALSE(State().Run.ResultsComputed);
    EXPECT_EQ(State().Spectrum.PointCount, 83);
    bool sawMessage2 = false;
    for (const auto& m : services.messages.transcript())
        if (m.text == FindMessage(2)->text && m.caption == FindMessage(2)->caption) sawMessage2 = true;
    EXPECT_TRUE(sawMessage2);
    EXPECT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Failed);
    EXPECT_FALSE(State().Run.ResultsComputed);
}

TEST_F(FitDriver, AClampedExponentStaysFlaggedForTheWholeRun) {
    // Two constant-phase elements; the first exponent is fixed at 1.2 (the
    // evaluator uses 0.99), the second is fine. The evaluator's flag follows
    // the last element it met; the run must still report the clamp.
    auto z = [](double w) {
        return 10.0 + 1.0 / (1.0 / 100 + Cpe(1e-5, 0.99, w)) + 1.0 / (1.0 / 300 + Cpe(1e-3, 0.7, w));
    };
    LoadSpectrum(z, 20, 1e5, 0.1);
    SelectModel("R(QR)(QR)", {10, 1e-5, 1.2, 100, 1e-3, 0.7, 300}, {1, 3, 4, 6, 7});
    EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
    EXPECT_TRUE(State().Fit.CpeExponentClamped);
    // The next run starts afresh.
    SelectModel("R(QR)(QR)", {10, 1e-5, 0.99, 100, 1e-3, 0.7, 300}, {1, 3, 4, 6, 7});
    EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
    EXPECT_FALSE(State().Fit.CpeExponentClamped);
}

TEST_F(FitDriver, SmallQueries) {
    ProgramState& s = State();
    s.Params.ParamCount = 4;
    s.Params.Fixed[1] = true;
    s.Params.Fixed[3] = true;
    EXPECT_EQ(FixedParameterMask(), 16 + 4);
    s.Params.SearchSelect[1] = s.Params.SearchSelect[2] = s.Params.SearchSelect[4] = true;
    EXPECT_EQ(CountSearchParameters(), 2);
    for (int i = 1; i <= 4; ++i) s.Params.Value[i] = i;
    s.Params.Value[5] = 100;
    EXPECT_EQ(SumStartValues(), 10.0);
    s.Options.Weighting = 2;
    s.Options.ErrorAsStdDev = false;
    s.Options.AutoSignZImag = true;
    s.Options.ReverseZImag = false;
    s.Run.ConductiveSystem = true;
    EXPECT_EQ(PackOptionFlags(), 128 + 16 + 8 + 2);
}

TEST_F(FitDriver, TheStartSlotHoldsTheStateBeforeTheFirstIteration) {
    // R(CR) with C fixed: two free parameters, so two searched every time
    // (four or fewer parameters are all selected, fixed ones are not counted).
    LoadSpectrum(RCR, 30, 1e5, 0.1);
    SelectModel("R(CR)", {150, 2e-5, 3200}, {2});
    State().Options.MaxIterations = 5;
    StartRunClock();
    InitialEvaluation(State().Files.DataFileName);
    const ProgramState& s = State();
    double start[4], atStart[4];
    for (int j = 1; j <= 3; ++j) {
        start[j] = s.Params.Value[j];
        atStart[j] = Fitted(j);
    }
    const double chiPerDof = s.Fit.ChiSq / (30 - 2);
    ASSERT_EQ(RunIterations(State().Files.DataFileName), RunOutcome::Finished);
    const IterationHistory& h = s.History;
    ASSERT_GE(h.IterationCount, 1);
    EXPECT_EQ(h.Ndir[0], 2);
    EXPECT_NEAR(h.ChiSqPerDof[0], chiPerDof, 1e-12 * chiPerDof);
    for (int j = 1; j <= 3; ++j) {
        EXPECT_EQ(h.StartMatrix[j], start[j]) << j;
        EXPECT_EQ(h.ValueMatrix[j], atStart[j]) << j;
    }
    for (int i = 1; i <= h.IterationCount; ++i) EXPECT_EQ(h.Ndir[i], 2) << i;
    // The last slot holds the run's result; the fixed value never moved.
    const int last = h.IterationCount * 15;
    EXPECT_EQ(h.ValueMatrix[last + 3], Fitted(3));
    EXPECT_NEAR(h.ValueMatrix[last + 2], 2e-5, 1e-18);
    EXPECT_NEAR(Fitted(1), 50, 1e-3);
    EXPECT_NEAR(Fitted(3), 800, 1e-2);
    // The chi-squared per degree of freedom is over the free parameters.
    EXPECT_NEAR(h.ChiSqPerDof[h.IterationCount], s.Fit.ChiSq / 28, 1e-15);
    EXPECT_EQ(DefaultParamWindow().chiSqText, FormatGeneral(s.Fit.ChiSq / 28, 4));

    // Batch runs keep no value tables but still write the matrix files.
    FreshFitState();
    LoadSpectrum(RCR, 30, 1e5, 0.1);
    SelectModel("R(CR)", {150, 2e-5, 3200}, {2});
    State().Run.IterateMode = false;
    State().Run.BatchMode = true;
    const std::string mat = MinimaMatrixPath(State().Files.DataFileName, "R(CR)");
    std::filesystem::remove(mat);
    EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
    for (int k = 1; k <= 45; ++k) EXPECT_EQ(State().History.ValueMatrix[k], 0.0) << k;
    EXPECT_TRUE(std::filesystem::exists(mat));
}

TEST_F(FitDriver, ANegativeStartValueIsFittedInItsMagnitudeAndKeepsItsSign) {
    // Z = -40 + 800 || C: the series resistance is negative.
    auto z = [](double w) { return -40.0 + 1.0 / (1.0 / 800 + J * w * 2e-5); };
    LoadSpectrum(z, 40, 1e5, 0.1);
    SelectModel("R(CR)", {-100, 5e-5, 2000});
    EXPECT_EQ(RunFullFit(), RunOutcome::Finished);
    const ParamSet& p = State().Params;
    EXPECT_EQ(p.Sign[1], -1.0);
    EXPECT_NEAR(Fitted(1), -40.0, 1e-3);
    EXPECT_NEAR(Fitted(2), 2e-5, 1e-9);
    EXPECT_NEAR(Fitted(3), 800.0, 1e-2);
    EXPECT_EQ(DefaultParamWindow().end[1].substr(0, 1), "-");
}
