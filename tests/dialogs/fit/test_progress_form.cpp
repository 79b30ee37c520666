// The progress window: the cycling bar, the close box as the stop request,
// and a fit run inside it that a close ends cleanly.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <cmath>
#include <complex>
#include <vector>

#include "core/CircuitCode.h"
#include "core/FitDriver.h"
#include <filesystem>

#include "core/ProgramState.h"
#include "dialogs/fit/FitWindowTest.h"
#include "dialogs/fit/TProgressForm.h"

namespace pellucor::fitwin {
namespace {

using testing::FitWindowTest;
using testing::SaveScreenshot;

class ProgressForm : public FitWindowTest {};

TEST_F(ProgressForm, BarCyclesInStepsOfTen) {
    TProgressForm form;
    form.Timer1->stop();
    std::vector<int> seen;
    for (int k = 0; k < 12; ++k) {
        form.Timer1Timer();
        seen.push_back(form.ProgressBar1->value());
    }
    EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 10, 20}));
    EXPECT_EQ(form.windowTitle(), "Please wait");
    EXPECT_EQ(form.Label1->text(), "Click x to stop.");
}

TEST_F(ProgressForm, ClosingRequestsTheStop) {
    TProgressForm form;
    form.show();
    SaveScreenshot(form, "ProgressForm");
    EXPECT_FALSE(State().Run.StopRequested);
    form.close();
    EXPECT_TRUE(State().Run.StopRequested);
    EXPECT_FALSE(form.isVisible());
}

TProgressForm* OpenProgressWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "ProgressForm" && w->isVisible()) return static_cast<TProgressForm*>(w);
    return nullptr;
}

// An R(CR) spectrum worked out here: R1 + R2 / (1 + j w R2 C).
void LoadRCR() {
    ProgramState& s = State();
    const double r1 = 100, r2 = 1000, c = 1e-5;
    const int n = 30;
    for (int i = 1; i <= n; ++i) {
        const double f = 1e5 * std::pow(1e-2 / 1e5, (i - 1.0) / (n - 1.0));
        const double w = TwoPi * f;
        const std::complex<double> z = r1 + r2 / (1.0 + std::complex<double>(0, w * r2 * c));
        s.Spectrum.Frequency[i] = f;
        s.Spectrum.Omega[i] = w;
        s.Spectrum.ZReal[i] = z.real();
        s.Spectrum.ZImag[i] = -z.imag();
    }
    s.Spectrum.PointCount = s.Spectrum.FilePointCount = s.Spectrum.ExtendedPointCount = n;
    s.Run.DataLoaded = true;
    s.Circuit.Code = "R(CR)";
    s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);
    s.Run.ModelValid = true;
    s.Run.IterateMode = true;
    s.Run.StartValuesApplied = true;
    ParamWindow& w = *Windows().Par;
    w.FreeAllParameters();
    const double start[] = {50, 2e-5, 500};
    for (int i = 1; i <= 3; ++i) {
        s.Params.Sign[i] = 1.0;
        s.Params.Value[i] = start[i - 1];
    }
    w.ShowStartValues(false);
}

TEST_F(ProgressForm, ClosingDuringAPumpedFitEndsItCleanly) {
    ProgramState& s = State();
    s.Files.DataFileName = s.Folders.AppFolder + "data/rcr.txt";
    for (const char* sub : {"data/", "covars/", "temp/", "hist/"})
        std::filesystem::create_directories(s.Folders.AppFolder + sub);
    s.Folders.CovarsFolder = s.Folders.AppFolder + "covars/";
    s.Folders.TempFolder = s.Folders.AppFolder + "temp/";
    s.Folders.HistFolder = s.Folders.AppFolder + "hist/";
    AllocateWorkArrays();
    LoadRCR();
    s.Run.StopRequested = true;  // left over from an earlier run: cleared at the start
    // The person closes the window while the third message is handled.
    services.pump.stopAfter = 3;
    bool windowWasOpen = false;
    services.pump.onStop = [&] {
        TProgressForm* w = OpenProgressWindow();
        windowWasOpen = w != nullptr;
        if (w) w->close();
    };
    RunOutcome outcome = RunOutcome::Finished;
    const bool finished = RunInsideProgressWindow(nullptr, [&] {
        StartRunClock();
        InitialEvaluation(s.Files.DataFileName);
        outcome = RunIterations(s.Files.DataFileName);
    });
    EXPECT_TRUE(windowWasOpen);
    EXPECT_FALSE(finished);
    EXPECT_EQ(outcome, RunOutcome::Stopped);
    EXPECT_TRUE(s.Run.StopRequested);
    EXPECT_EQ(s.History.IterationCount, 0);  // no end block after a stop
    EXPECT_EQ(OpenProgressWindow(), nullptr);  // freed by the run
    services.pump.onStop = nullptr;
}

TEST_F(ProgressForm, ARunWithoutAStopFinishes) {
    int runs = 0;
    EXPECT_TRUE(RunInsideProgressWindow(nullptr, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(services.pump.calls, 2);
    EXPECT_EQ(OpenProgressWindow(), nullptr);
}

}  // namespace
}  // namespace pellucor::fitwin
