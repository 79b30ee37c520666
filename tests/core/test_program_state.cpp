#include <gtest/gtest.h>

#include <cmath>

#include "core/NumericLib.h"
#include "core/ProgramState.h"
#include "core/Simplex.h"
#include "core/WindowHooks.h"

using namespace pellucor;

TEST(ProgramState, StartValues) {
    // A session that changed every setting below: a reset must bring back
    // the start-up values, whatever the earlier state was.
    ProgramState& changed = State();
    changed.Options.Weighting = 2;
    changed.Options.MaxIterations = 17;
    changed.Options.ScientificFormat = false;
    changed.Options.PeriodDecimal = false;
    changed.Options.MinFreqExponent = 1;
    changed.Options.MaxFreqExponent = 3;
    changed.Run.IterateMode = false;
    changed.Run.ResetParamWindow = false;
    changed.Run.ConductiveSystem = false;
    changed.Run.PlotKind = 5;
    changed.Fit.SimplexTolerance = 1.0;
    changed.Fit.MaxEvaluations = 3;
    changed.Print.QuadrantItem[1] = 4;
    changed.Print.QuadrantItem[4] = 1;
    changed.Folders.SampleId[1] = "x";
    changed.Folders.SampleId[7] = "y";
    changed.Files.PrintTitle = "t";
    changed.Distribution.Shape = 0.9;
    changed.Extrap.OmegaLow = 3.0;
    for (int r = 1; r <= MaxParams; ++r) {
        changed.Params.Value[r] = -r;
        changed.Params.Sign[r] = -1.0;
    }
    ResetProgramState();
    const ProgramState& s = State();
    EXPECT_EQ(s.Options.Weighting, 1);
    EXPECT_EQ(s.Options.MaxIterations, 10);
    EXPECT_TRUE(s.Options.ScientificFormat);
    EXPECT_TRUE(s.Options.PeriodDecimal);
    EXPECT_EQ(s.Options.MinFreqExponent, -2);
    EXPECT_EQ(s.Options.MaxFreqExponent, 6);
    EXPECT_TRUE(s.Run.IterateMode);
    EXPECT_TRUE(s.Run.ResetParamWindow);
    EXPECT_TRUE(s.Run.ConductiveSystem);
    EXPECT_EQ(s.Run.PlotKind, 1);
    EXPECT_DOUBLE_EQ(s.Fit.SimplexTolerance, 5e-7);
    EXPECT_EQ(s.Fit.MaxEvaluations, 200000);
    EXPECT_EQ(s.Print.QuadrantItem[1], 0);
    EXPECT_EQ(s.Print.QuadrantItem[4], 6);
    EXPECT_EQ(s.Folders.SampleId[1], "#1");
    EXPECT_EQ(s.Folders.SampleId[7], "#7");
    EXPECT_EQ(s.Folders.VersionText, "3.20d");
    EXPECT_EQ(s.Files.PrintTitle, "EIS Data Analysis");
    EXPECT_DOUBLE_EQ(s.Distribution.Shape, 0.5);
    EXPECT_DOUBLE_EQ(s.Extrap.OmegaLow, TwoPi * 1e-4);
    for (int r = 1; r <= MaxParams; ++r) {
        EXPECT_EQ(s.Params.Value[r], 1.0);
        EXPECT_EQ(s.Params.Sign[r], 1.0);
    }
    EXPECT_EQ(WeightingName(2), "Statistical");
    EXPECT_EQ(WeightingName(3), "");
}

TEST(ProgramState, ResetForgetsChanges) {
    State().Spectrum.PointCount = 50;
    State().Circuit.Code = "R(QR)";
    State().Params.Value[3] = -4;
    ResetProgramState();
    EXPECT_EQ(State().Spectrum.PointCount, 0);
    EXPECT_EQ(State().Circuit.Code, "");
    EXPECT_EQ(State().Params.Value[3], 1.0);
}

TEST(ProgramState, WorkArraysHoldASimplexOfEveryParameter) {
    // The work arrays of the main window take the downhill simplex of a fit
    // with all 15 parameters free: 16 vertices of 15 coordinates. A bowl with
    // its bottom at x_k = k / 10 is found through them.
    ResetProgramState();
    AllocateWorkArrays();
    ProgramState& s = State();
    const int n = MaxParams;
    DVector start = AllocVector(1, n);
    for (int k = 1; k <= n; ++k) start[k] = 0.0;
    BuildStartSimplex(s.Fit.SimplexMatrix, n, start, 1.0);
    auto bowl = [](const DVector& x) {
        double sum = 0.0;
        for (int k = 1; k <= MaxParams; ++k) sum += (x[k] - k / 10.0) * (x[k] - k / 10.0);
        return sum;
    };
    DVector vertex = AllocVector(1, n);
    for (int j = 1; j <= n + 1; ++j) {
        for (int k = 1; k <= n; ++k) vertex[k] = s.Fit.SimplexMatrix[j][k];
        s.Fit.SimplexValues[j] = bowl(vertex);
    }
    int evaluations = 0;
    DownhillSimplex(s.Fit.SimplexMatrix, s.Fit.SimplexValues, n, evaluations, 1e-14, 400000, bowl);
    const int b = BestVertex(s.Fit.SimplexValues, n);
    for (int k = 1; k <= n; ++k) EXPECT_NEAR(s.Fit.SimplexMatrix[b][k], k / 10.0, 1e-3) << k;
}

TEST(ParamWindowOperations, StartValuesAndSpareRows) {
    ResetProgramState();
    ResetWindows();
    ProgramState& s = State();
    MemoryParamWindow& w = DefaultParamWindow();
    s.Params.ParamCount = 3;
    s.Params.Value[1] = 123.456;
    s.Params.Value[2] = 2.5e-6;
    s.Params.Value[3] = -7;
    s.Params.Value[4] = 99;
    w.ShowStartValues(false);
    EXPECT_EQ(w.start[1], "123.5");  // four significant digits
    EXPECT_EQ(w.start[2], "2.5E-6");
    EXPECT_EQ(w.start[3], "-7");
    EXPECT_EQ(w.start[4], "1");  // spare rows reset to 1.0
    EXPECT_EQ(s.Params.Value[4], 1.0);

    // What the window shows is what is read back: the texts carry 4 digits.
    w.ReadStartValues();
    EXPECT_DOUBLE_EQ(s.Params.Value[1], 123.5);
    w.start[2] = "abc";
    w.start[3] = "1,5";  // decimal comma typed by the person
    w.ReadStartValues();
    EXPECT_EQ(s.Params.Value[2], 0.0);
    EXPECT_EQ(s.Params.Value[3], 1.5);
}

TEST(ParamWindowOperations, EndValuesClampLogarithms) {
    ResetProgramState();
    ResetWindows();
    ProgramState& s = State();
    MemoryParamWindow& w = DefaultParamWindow();
    s.Params.ParamCount = 2;
    s.Params.FreeCount = 2;
    s.Params.LnValue[1] = -100;  // below 1e-32
    s.Params.LnValue[2] = std::log(250.0);
    s.Params.Sign[2] = -1;
    s.Params.LnValue[3] = 5;  // spare row
    w.ShowEndValues(false);
    EXPECT_EQ(s.Params.LnValue[1], -15.0);
    EXPECT_EQ(s.Params.LnValue[3], 0.0);
    EXPECT_EQ(w.end[2], "-250");
    EXPECT_EQ(w.end[3], "1");

    // In simulate mode the start texts are copied.
    s.Run.SimulateMode = true;
    w.start[1] = "42";
    w.ShowEndValues(false);
    EXPECT_EQ(w.end[1], "42");
}

TEST(ParamWindowOperations, FlagsAndSigns) {
    ResetProgramState();
    ResetWindows();
    ProgramState& s = State();
    MemoryParamWindow& w = DefaultParamWindow();
    w.LockAllParameters();
    w.ReadFixedFlags();
    EXPECT_TRUE(s.Params.Fixed[15]);
    w.FreeAllParameters();
    EXPECT_TRUE(s.Params.Fixed[1]);  // the flags change only when read
    w.ReadFixedFlags();
    EXPECT_FALSE(s.Params.Fixed[1]);

    s.Params.ParamCount = 2;
    s.Params.Sign[1] = -1;
    s.Params.Value[2] = -3;
    s.Params.Sign[5] = -1;
    w.ShowSignBoxes();
    EXPECT_TRUE(w.sign[1]);
    EXPECT_TRUE(w.sign[2]);
    EXPECT_FALSE(w.sign[3]);
    w.ResetUnusedSigns();
    EXPECT_EQ(s.Params.Sign[5], 1.0);
    EXPECT_EQ(s.Params.Sign[1], -1.0);
    w.ClearSignBoxes();
    EXPECT_FALSE(w.sign[1]);

    // Constant-phase exponents that are free start at 0.8 in early iterations.
    s.Params.Kind[2] = 6;
    s.Params.FreeCount = 2;
    w.start[2] = "0.5";
    w.ReadStartValues();
    EXPECT_EQ(s.Params.Value[2], 0.8);
    s.History.Iteration = 3;
    w.ReadStartValues();
    EXPECT_EQ(s.Params.Value[2], 0.5);
}

TEST(ProgramState, IterationValueSlotsStayInsideTheTables) {
    // Iteration 0 and every iteration the largest limit allows, all 15 parameters.
    EXPECT_EQ(HistoryValueSlot(0, 1), 1);
    EXPECT_EQ(HistoryValueSlot(MaxIterationLimit, MaxParams), (MaxIterationLimit + 1) * MaxParams);
    EXPECT_LE(HistoryValueSlot(MaxIterationLimit, MaxParams), HistoryValueSlots);
    EXPECT_EQ(HistoryValueSlot(MaxHistory - 1, MaxParams), HistoryValueSlots);
    // Nothing outside them.
    for (auto [iteration, param] : {std::pair{-1, 1}, std::pair{MaxHistory, 1}, std::pair{0, 0},
                                    std::pair{0, MaxParams + 1}, std::pair{3, -2}})
        EXPECT_EQ(HistoryValueSlot(iteration, param), 0) << iteration << "," << param;
}
