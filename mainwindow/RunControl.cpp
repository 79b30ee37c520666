// Run control: choosing a model and a run mode, editing parameters and
// running again, one monitored iteration at a time, and simulation. The
// engine does the work (core/FitDriver.h); this decides from the run flags
// which of its operations to call, wraps runs in the progress window, names
// the result files and asks whether to save.
//
// A run pumps messages, so every run goes through RunLocked: the commands
// that would change the data under it are disabled and refuse if reached.
#include <QDialog>
#include <QRadioButton>

#include <cmath>
#include <exception>
#include <vector>

#include "core/CircuitCode.h"
#include "core/FitDriver.h"
#include "core/Messages.h"
#include "core/ModelLibrary.h"
#include "core/ProgramState.h"
#include "core/RoughSearch.h"
#include "core/TextHelpers.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/fit/TProgressForm.h"
#include "mainwindow/MainForm.h"
#include "platform/Services.h"
#include "platform/qt/ModalDialogs.h"

namespace pellucor::mainwindow {

namespace {

bool SimulateRadioChecked(QWidget* parForm) {
    auto* par = dynamic_cast<fitwin::TParForm*>(parForm);
    return par ? par->SimnRadioBtn->isChecked() : State().Run.SimulateMode;
}

// The edit detection: fixed flags and the sum of the start values.
struct EditMark {
    int mask = 0;
    double sum = 0;
    static EditMark Take() { return {FixedParameterMask(), SumStartValues()}; }
    bool ChangedFrom(const EditMark& before) const {
        return mask != before.mask || std::fabs(sum - before.sum) > 1e-32;
    }
};

// The texts and the picture drawn over the chart follow the run mode, the
// iteration, the chi-squared and the model, which the run commands change
// also where they plot nothing (a cancelled window, a refused run): the
// chart is drawn afresh when such a command ends, however it ends.
class RedrawWhenDone {
public:
    explicit RedrawWhenDone(chart::TCustomChart& chart) : chart_(chart) {}
    ~RedrawWhenDone() { chart_.Invalidate(); }
    RedrawWhenDone(const RedrawWhenDone&) = delete;
    RedrawWhenDone& operator=(const RedrawWhenDone&) = delete;

private:
    chart::TCustomChart& chart_;
};

// A stop asked for in the progress window ends the run it was asked in. Left
// set, it would cut short every later computation that is not run in that
// window (simulations, the recomputation after a retrieve): their results
// would be neither plotted nor shown.
void ForgetStopRequest() { State().Run.StopRequested = false; }

// A stopped run ends where it was stopped, and the values it reached stay.
// The engine shows each result once its step has ended; the step the stop
// cut short computed its values and chi-squared without showing them.
// Shown here, in the parameter window and on the chart alike.
void ShowStoppedRunResults(TMainForm& main) {
    ProgramState& s = State();
    if (!s.Run.ResultsComputed) return;
    ShowFitQuality(s.Fit.ChiSq);
    main.Replot(s.Run.PlotKind);
}

}  // namespace

std::string TMainForm::RunResultFileName() {
    ProgramState& s = State();
    s.Folders.ParFolder = WithTrailingBackslash(s.Folders.ParFolder);
    return s.Folders.ParFolder + BaseNameOfPath(s.Files.DataFileName) + ", " + s.Circuit.Code + ".par";
}

// ---- shared procedures -----------------------------------------------------------

int TMainForm::StartValueEvaluation(const std::string& dataFile) {
    // The evaluation minimises from the start values and pumps messages as a
    // fit does: a second model chosen meanwhile would change the code, and
    // so the parameter count, under the minimisation. Refused (said by the
    // lock) nothing is evaluated, as for data that cannot be used.
    int r = ComputeDataUnavailable;
    RunLocked([&] {
        StartRunClock();
        r = InitialEvaluation(dataFile);
        Windows().Par->ShowStartValues(false);
        CountSearchParameters();
    });
    return r;
}

bool TMainForm::StartValuesRefused(int evaluation) {
    // Too few points for the parameters: the engine has said so, and the fit
    // would only say it again.
    if (evaluation == ComputeTooFewPoints) return true;
    if (evaluation != ComputeInvalidParameters) return false;
    // The fit would go on from whatever the End column holds, so the values
    // typed are refused here as in the other run modes.
    State().Run.ParamsValid = false;
    ShowMessageCode(4);
    return true;
}

bool TMainForm::FitRun(const std::string& dataFile) {
    ProgramState& s = State();
    RunState& r = s.Run;
    r.ResetParamWindow = false;
    bool ran = false;
    RunOutcome outcome = RunOutcome::Stopped;
    RunLocked([&] {
        ran = true;
        fitwin::RunInsideProgressWindow(this, [&] { outcome = RunIterations(dataFile); });
        r.ResultsFileSet = false;
        HideProsim();
    });
    if (!ran) return false;
    if (r.StopRequested) {
        ForgetStopRequest();
        ShowStoppedRunResults(*this);
        return false;
    }
    // A refused computation was said by the engine; its values are no results.
    if (outcome == RunOutcome::Failed) return true;
    if (s.Params.FreeCount != 0 && !r.SimulateMode) {
        r.ResultsComputed = true;
        TakeCdcFromParForm();
        s.Files.ResultsFileName = RunResultFileName();
        if (!r.SearchRequested) EndQuestion();
        r.SearchRequested = false;
        r.ResetParamWindow = false;
    }
    return true;
}

bool TMainForm::MonitorStep() {
    ProgramState& s = State();
    RunState& r = s.Run;
    HideProsim();
    r.MonitorMode = true;
    r.StopRequested = false;
    r.ResetParamWindow = false;
    bool finished = false;
    bool ran = false;
    RunLocked([&] {
        ran = true;
        fitwin::RunInsideProgressWindow(this, [&] {
            ParamSet& p = s.Params;
            ++s.History.Iteration;
            const int searchCount = CountSearchParameters();
            const double previous = s.Fit.PreviousChiSq;
            std::vector<double> before(static_cast<size_t>(p.ParamCount) + 1);
            for (int i = 1; i <= p.ParamCount; ++i) before[static_cast<size_t>(i)] = p.LnValue[i];
            const int computed = RunOneIteration(s.Files.DataFileName);
            if (r.StopRequested) return;
            // A refused computation (said by the engine) changed nothing: it
            // did not converge, and it ends no run at the iteration limit.
            if (computed != ComputeDone) return;
            r.ResultsFileSet = false;
            const double now = s.Fit.PreviousChiSq;
            bool moved = false;
            for (int i = 1; i <= p.ParamCount; ++i)
                moved = moved || !(std::fabs(p.LnValue[i] - before[static_cast<size_t>(i)]) < s.Fit.ParamTolerance);
            finished = std::fabs(now - previous) < s.Fit.ChiSqTolerance * now && CountSearchParameters() == searchCount &&
                       !moved;
            if (s.History.Iteration >= s.Options.MaxIterations) finished = true;
        });
        HideProsim();
    });
    if (!ran) return false;
    if (r.StopRequested) {
        ForgetStopRequest();
        ShowStoppedRunResults(*this);
        return false;
    }
    r.ResetParamWindow = false;
    return finished;
}

void TMainForm::EndQuestion() {
    if (State().Fit.CpeExponentClamped) {
        ShowMessageCode(51);
        return;
    }
    if (platform::ShowMessage("Want to save results?", "Finished job.....", platform::MsgButtons::YesNo,
                              platform::MsgIcon::Question) != platform::MsgResult::Yes)
        return;
    try {
        SaveResults();
    } catch (const std::exception& e) {
        platform::ShowMessage(e.what(), State().Folders.ProgramName, platform::MsgButtons::Ok,
                              platform::MsgIcon::Error);
    }
}

void TMainForm::MonitorEnding(bool finished, bool backToIterate) {
    ProgramState& s = State();
    RunState& r = s.Run;
    if (!(r.DataLoaded && r.MonitorMode && finished)) return;
    r.SearchRequested = false;
    TakeCdcFromParForm();
    s.Files.ResultsFileName = RunResultFileName();
    if (backToIterate) {
        r.IterateMode = true;
        r.MonitorMode = false;
    }
    EndQuestion();
}

// ---- simulation --------------------------------------------------------------------

void TMainForm::PrepareCurrentModel() {
    ProgramState& s = State();
    s.Params.ParamCount = ParseCircuitCode(s.Circuit.Code);
    Windows().Par->ShowModelInfo(s.Files.DataFileName);
    s.Run.ModelValid = true;
    s.Run.ReadyToRun = s.Run.ParamsValid;
}

void TMainForm::RunSimulation(bool nameAsSimulationFile) {
    ProgramState& s = State();
    RunState& r = s.Run;
    Windows().Par->LockAllParameters();
    r.SimulateMode = true;
    s.Fit.PreviousChiSq = 0;
    if (nameAsSimulationFile) s.Files.DataFileName = WithTrailingBackslash(s.Folders.SimDataFolder) + s.Circuit.Code + ".sim";
    r.ReadyToRun = r.ModelValid && r.ParamsValid;
    if (r.ReadyToRun) {
        // Locked like a fit: a data file opened while it computes would be
        // taken for the simulation's results.
        if (ComputeLocked(s.Files.DataFileName) == ComputeInvalidParameters) ShowMessageCode(4);
    } else {
        ShowMessageCode(r.ModelValid ? 4 : 3);
    }
}

void TMainForm::SimulateCurrentModel(bool nameAsSimulationFile) {
    if (RefusedWhileRunning("Simulate")) return;
    PrepareCurrentModel();
    RunSimulation(nameAsSimulationFile);
}

void TMainForm::Simulator1Click() {
    Trace("Simulator1Click");
    if (RefusedWhileRunning("Run in Simulate Mode")) return;
    ShowModeless("ProsimForm", "Run in Simulate Mode");
}

// ---- Select Model & Run Mode ------------------------------------------------------

bool TMainForm::ParameterWindowAfterModel(const std::string& dataFile) {
    ProgramState& s = State();
    RunState& r = s.Run;
    ParamWindow& par = *Windows().Par;
    if (r.SimulateMode) {
        par.LockAllParameters();
        par.ReadFixedFlags();
        par.ResetUnusedSigns();
        par.ClearSignBoxes();
        par.ShowStartValues(true);
        par.ShowEndValues(true);
        par.ShowParameterErrors(true);
        ShowSearchFlags(true);
        ShowProsim();
    } else {
        HideProsim();
        r.ResetParamWindow = false;
        par.ShowEndValues(true);
        par.ShowParameterErrors(true);
        ShowSearchFlags(true);
    }
    CountSearchParameters();
    if (r.IterateMode && !r.DataLoaded) {
        ShowMessageCode(1);
        return false;
    }
    if (!r.ModelValid) {
        ShowMessageCode(3);
        return false;
    }
    QDialog* parForm = ModalWindow("ParForm", "&Edit Parameters && Run");
    if (!parForm) return false;
    EditMark mark = EditMark::Take();
    r.SearchRequested = false;
    par.ShowModelInfo(s.Files.DataFileName);
    par.ShowStartValues(false);
    if (!platform::qt::RunModal(*parForm)) {
        r.ParamsValid = false;
        return false;
    }
    bool finished = false;
    if (r.IterateMode) {
        if (r.DataLoaded) {
            HideProsim();
            if (!StartValuesRefused(StartValueEvaluation(s.Files.DataFileName))) {
                r.StopRequested = false;
                FitRun(dataFile);
            }
        }
        r.ResetParamWindow = false;
        return false;
    }
    r.SimulateMode = SimulateRadioChecked(parForm);
    if (ValidateParameters(s.Params.Value, s.Params.ParamCount) == 1) {
        r.ParamsValid = false;
        ShowMessageCode(4);
        return false;
    }
    r.ParamsValid = true;
    if (r.SimulateMode) {
        if (r.SimulateChoiceCopy) {
            par.LockAllParameters();
            par.ReadFixedFlags();
            r.SimulateChoiceCopy = false;
        }
        s.Folders.DataFolder = WithTrailingBackslash(s.Folders.DataFolder);
        OpenDialog1FileName = s.Files.DataFileName = s.Folders.DataFolder + "temp.txt";
        r.ReadyToRun = r.ParamsValid && r.ModelValid;
        if (r.ReadyToRun) ComputeLocked(s.Files.DataFileName);
        r.SimulatedResults = true;
        ShowProsim();
        return false;
    }
    // Monitor.
    if (!r.DataLoaded) {
        ShowMessageCode(1);
        return false;
    }
    HideProsim();
    const EditMark after = EditMark::Take();
    if (r.SearchRequested) {
        finished = MonitorStep();
    } else if (after.ChangedFrom(mark)) {
        r.ReadyToRun = r.DataLoaded && r.ModelValid && r.ParamsValid;
        if (r.ReadyToRun) ComputeLocked(s.Files.DataFileName);
        r.ResetParamWindow = false;
    }
    r.ParamsValid = true;
    return finished;
}

void TMainForm::Model1Click() {
    Trace("Model1Click");
    if (RefusedWhileRunning("Select Model & Run Mode")) return;
    const RedrawWhenDone redraw(chart_->Plots().Chart());
    ProgramState& s = State();
    RunState& r = s.Run;
    if (r.KineticData) {
        HideProsim();
        if (platform::ShowMessage("Want to quit?", "Mechanism investigation in progress...",
                                  platform::MsgButtons::YesNo) != platform::MsgResult::Yes)
            return;
        r.KineticData = false;
    }
    const std::string f = OpenDialog1FileName;
    s.Files.DataFileName = f;
    s.History.Iteration = 0;
    r.StopRequested = r.KKView = r.ExtrapolatedView = r.ResetParamWindow = false;
    if (!r.SimulateMode) {
        r.MonitorMode = false;
        r.IterateMode = true;
        r.BatchMode = false;
    }
    r.UserStartValues = false;
    r.StartValuesApplied = false;
    auto* cdc = dynamic_cast<fitwin::TCDCForm*>(FindWindow("CDCForm"));
    if (!cdc) {
        NotAvailable("Select &Model && Run Mode");
        return;
    }
    // The signs are those of the results in memory too (their end values are
    // kept as magnitudes): a run that does not come must not turn them over.
    const ParamArray<double> signsBefore = s.Params.Sign;
    for (int i = 1; i <= MaxParams; ++i) s.Params.Sign[i] = 1.0;
    cdc->SetCodeText(s.Circuit.Code);
    const RunState modeBefore = r;
    if (!platform::qt::RunModal(*cdc)) {
        s.Params.Sign = signsBefore;
        return;
    }

    SampleIDs->setEnabled(false);
    Copypars->setEnabled(true);
    s.Group.GroupMode = false;
    s.Model.CustomTitles = false;
    cdc->ReloadLibraryAfterOk();

    // The text is checked before it becomes the code: a text the program
    // cannot hold (more than 39 characters) or parse is refused.
    std::string code = cdc->CodeText();
    if (ValidateCdc(code)) {
        s.Circuit.Code = code;
        PrepareCurrentModel();
        r.ResetParamWindow = false;
        if (r.SimulateChoiceCopy) {
            r.DataLoaded = false;
            ParamWindow& par = *Windows().Par;
            par.LockAllParameters();
            par.ReadFixedFlags();
            par.ResetUnusedSigns();
            par.ClearSignBoxes();
            par.ShowStartValues(true);
            ShowProsim();
            return;
        }
        if (r.DataLoaded) {
            Replot(r.PlotKind);
            HideProsim();
            r.ResultsComputed = false;
            Replot(r.PlotKind);
        } else {
            HideProsim();
        }
    } else {
        r.ResetParamWindow = true;
        r.ModelValid = false;
        r.ReadyToRun = false;
        // No run comes for a refused code: the results keep their signs.
        s.Params.Sign = signsBefore;
        platform::ShowMessage("Invalid code!", "Try again....");
        // Nothing runs without a model: going on would evaluate, or open the
        // quick simulator for, the code still in use, locking its parameters
        // and overwriting its values. The run mode chosen with the refused
        // code is not taken either, and the parameter window that would have
        // opened only says that there is no model.
        const bool window = r.MonitorMode || r.SimulateMode || (r.IterateMode && r.UserStartValues);
        const bool noFile = r.IterateMode && !r.DataLoaded;
        r.IterateMode = modeBefore.IterateMode;
        r.MonitorMode = modeBefore.MonitorMode;
        r.SimulateMode = modeBefore.SimulateMode;
        r.BatchMode = modeBefore.BatchMode;
        r.UserStartValues = modeBefore.UserStartValues;
        r.CdcFormFlag = modeBefore.CdcFormFlag;
        r.SimulateChoiceCopy = modeBefore.SimulateChoiceCopy;
        // The results stay; the chart names no model for them, as every
        // later plot will.
        Replot(r.PlotKind);
        // The messages the run mode chosen would have met: an iterate run
        // without data says so first, then the window says it has no model.
        if (noFile)
            ShowMessageCode(1);
        else if (window)
            ShowMessageCode(3);
        return;
    }

    // The data hold too few points for the code's parameters: the engine
    // has said so, and the fit, or the parameter window's evaluation at OK,
    // would only say it again. (Monitor mode still opens its window: the
    // person steps that run and is told at each step.)
    bool tooFewPoints = false;
    if ((r.IterateMode && r.UserStartValues) || r.MonitorMode) {
        tooFewPoints = StartValueEvaluation(f) == ComputeTooFewPoints;
        r.StartValuesApplied = r.MonitorMode;
    }
    if (r.IterateMode && !r.UserStartValues) {
        if (r.DataLoaded && r.ModelValid) {
            tooFewPoints = StartValueEvaluation(f) == ComputeTooFewPoints;
            r.StartValuesApplied = true;
        }
        if (!tooFewPoints && r.DataLoaded && r.IterateMode && r.ModelValid) FitRun(f);
    }
    if (r.DataLoaded && s.Params.FreeCount != 0 && !r.SimulateMode) Replot(r.PlotKind);

    bool finished = false;
    const bool window = !(tooFewPoints && r.IterateMode) &&
                        (r.MonitorMode || r.SimulateMode || (r.IterateMode && r.UserStartValues));
    if (window) finished = ParameterWindowAfterModel(f);
    MonitorEnding(finished, false);
    if (!window && r.IterateMode && !r.DataLoaded) ShowMessageCode(1);
}

// ---- Edit Parameters & Run ---------------------------------------------------------

void TMainForm::ParamListClick() {
    Trace("ParamListClick");
    if (RefusedWhileRunning("Edit Parameters & Run")) return;
    const RedrawWhenDone redraw(chart_->Plots().Chart());
    ProgramState& s = State();
    RunState& r = s.Run;
    r.KKView = false;
    r.ExtrapolatedView = false;
    if (r.KineticData) {
        HideProsim();
        ShowMessageCode(83);
        return;
    }
    if (profile_.EditRefusedInBatchMode()) {
        if (r.BatchResultLoaded) {
            r.BatchMode = false;
            r.IterateMode = true;
        }
        if (r.BatchMode) {
            HideProsim();
            ShowMessageCode(43);
            return;
        }
    }
    if (!r.ModelValid && !r.SimulateMode) {
        ShowMessageCode(3);
        return;
    }
    const bool wasIterate = r.IterateMode;
    const bool wasMonitor = r.MonitorMode;
    if (!r.SimulateMode) {
        HideProsim();
        r.MonitorMode = true;
        r.IterateMode = false;
    }
    r.StopRequested = false;
    r.StartValuesApplied = false;
    if (!r.DataLoaded) r.SimulateMode = true;
    if (r.SimulateMode) r.DataLoaded = false;
    CountSearchParameters();
    if (!r.ModelValid) {
        ShowMessageCode(3);
        return;
    }
    QDialog* parForm = ModalWindow("ParForm", "&Edit Parameters && Run");
    if (!parForm) return;
    // Kept for a cancelled window: the results in memory carry these signs.
    const ParamArray<double> signsBefore = s.Params.Sign;
    if (!r.UserStartValues)
        for (int i = 1; i <= MaxParams; ++i) s.Params.Sign[i] = 1.0;
    ParamWindow& par = *Windows().Par;
    const EditMark mark = EditMark::Take();
    r.SearchRequested = false;
    par.ShowModelInfo(s.Files.DataFileName);
    par.ShowStartValues(false);
    bool finished = false;
    if (!platform::qt::RunModal(*parForm)) {
        r.ParamsValid = false;
        s.Params.Sign = signsBefore;
    } else {
        if (r.DataLoaded && r.IterateMode) {
            HideProsim();
            if (r.ModelValid && r.CdcFormFlag) {
                if (StartValuesRefused(StartValueEvaluation(s.Files.DataFileName))) return;
            } else {
                StartRunClock();  // the run's history times it from here, not from an earlier run
            }
            if (r.DataLoaded && r.IterateMode) {
                r.StopRequested = false;
                FitRun(s.Files.DataFileName);
                return;
            }
        } else {
            r.SimulateMode = SimulateRadioChecked(parForm);
            if (ValidateParameters(s.Params.Value, s.Params.ParamCount) == 1) {
                r.ParamsValid = false;
                ShowMessageCode(4);
            } else {
                r.ParamsValid = true;
                if (r.SimulateMode) {
                    par.LockAllParameters();
                    r.SimulateChoiceCopy = false;
                    s.Fit.ChiSq = 0;
                    s.Folders.DataFolder = WithTrailingBackslash(s.Folders.DataFolder);
                    OpenDialog1FileName = s.Files.DataFileName = s.Folders.DataFolder + "temp.txt";
                    r.ReadyToRun = r.ParamsValid && r.ModelValid;
                    if (r.ReadyToRun) ComputeLocked(s.Files.DataFileName);
                    r.ResultsComputed = true;
                    r.SimulatedResults = true;
                    ShowProsim();
                } else {
                    const EditMark after = EditMark::Take();
                    if (r.SearchRequested) {
                        finished = MonitorStep();
                    } else if (wasIterate) {
                        r.ResetParamWindow = false;
                    } else if (after.ChangedFrom(mark) || wasMonitor) {
                        r.ReadyToRun = r.DataLoaded && r.ModelValid && r.ParamsValid;
                        if (r.ReadyToRun) ComputeLocked(s.Files.DataFileName);
                        r.ResetParamWindow = false;
                    }
                    r.ParamsValid = true;
                }
            }
        }
        r.SimulateMode = SimulateRadioChecked(parForm);
    }
    s.Folders.ParFolder = WithTrailingBackslash(s.Folders.ParFolder);
    if (r.MonitorMode || r.IterateMode) s.Files.ResultsFileName = RunResultFileName();
    MonitorEnding(finished, true);
}

}  // namespace pellucor::mainwindow
