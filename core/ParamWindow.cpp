#include <algorithm>
#include <cmath>

#include "core/ElementKinds.h"
#include "core/NumberText.h"
#include "core/TextHelpers.h"
#include "core/WindowHooks.h"

namespace pellucor {
namespace {

std::string ValueText(double v) { return FormatGeneral(v, 4); }

}  // namespace

void ParamWindow::ShowModelInfo(const std::string& dataFileName) {
    ProgramState& s = State();
    Windows().Main->SetModelComboText(s.Circuit.Code);
    SetCdcLabel(s.Circuit.Code);
    ShowParameterLabels(s.Params.ParamCount);
    SetRunModeRadios(s.Run.IterateMode, s.Run.MonitorMode, s.Run.SimulateMode, s.Run.BatchMode);
    SetInfoTexts(ShortDisplayPath(s.Folders.AppFolder, dataFileName), WeightingName(s.Options.Weighting),
                 s.Options.ErrorAsStdDev ? "Std. error" : "Pct. error");
    if (s.Params.FreeCount == 0 || s.Run.SimulateMode) {
        s.Fit.PreviousChiSq = 0;
        SetChiSqText(ValueText(s.Fit.ChiSq));
        // Nothing was fitted: there is no error estimate to show.
        SetErrorEstimateText("");
    }
}

void ParamWindow::ShowParameterLabels(int) {
    ProgramState& s = State();
    const bool perArea = s.Run.PerAreaUnits;
    if (labelsShown_ && labelsPerArea_ == perArea &&
        std::equal(labelKinds_ + 1, labelKinds_ + MaxParams + 1, s.Params.Kind.begin() + 1))
        return;
    for (int r = 1; r <= MaxParams; ++r) {
        const ElementKind& k = ElementKindTable(s.Params.Kind[r]);
        SetRowLabel(r, perArea ? k.LabelPerArea : k.LabelAbsolute);
        labelKinds_[r] = s.Params.Kind[r];
    }
    labelsPerArea_ = perArea;
    labelsShown_ = true;
}

void ParamWindow::ShowStartValues(bool resetAll) {
    ParamSet& p = State().Params;
    const int first = resetAll ? 1 : std::max(1, p.ParamCount + 1);
    for (int r = first; r <= MaxParams; ++r) p.Value[r] = 1.0;
    for (int r = 1; r <= MaxParams; ++r) SetStartText(r, ValueText(p.Value[r]));
}

void ParamWindow::ShowEndValues(bool copy) {
    ProgramState& s = State();
    ParamSet& p = s.Params;
    if (copy || p.FreeCount == 0 || s.Run.SimulateMode) {
        CopyStartToEnd();
        return;
    }
    for (int r = 1; r <= MaxParams; ++r) {
        if (r <= p.ParamCount) {
            const double e = std::exp(p.LnValue[r]);
            if (e < 1e-32) p.LnValue[r] = -15.0;
            if (e > 1e32) p.LnValue[r] = 23.0;
        } else {
            p.LnValue[r] = 0.0;
        }
        SetEndText(r, ValueText(std::exp(p.LnValue[r]) * p.Sign[r]));
    }
}

void ParamWindow::ShowParameterErrors(bool clear) {
    ProgramState& s = State();
    ParamSet& p = s.Params;
    const int first = (clear || p.FreeCount == 0 || s.Run.SimulateMode) ? 1 : std::max(1, p.ParamCount + 1);
    for (int r = first; r <= MaxParams; ++r) p.Error[r] = 0.0;
    for (int r = 1; r <= MaxParams; ++r) SetErrorText(r, ValueText(p.Error[r]));
}

void ParamWindow::ReadStartValues() {
    ProgramState& s = State();
    ParamSet& p = s.Params;
    for (int r = 1; r <= MaxParams; ++r) p.Value[r] = ReadTypedNumber(StartText(r));
    if (!s.Run.SimulateMode && p.FreeCount != 0 && s.History.Iteration <= 2) {
        for (int r = 1; r <= p.ParamCount; ++r)
            if (p.Kind[r] == 6 && !p.Fixed[r]) p.Value[r] = 0.8;
    }
}

void ParamWindow::ReadFixedFlags() {
    ParamSet& p = State().Params;
    for (int r = 1; r <= MaxParams; ++r) p.Fixed[r] = FixedBox(r);
}

void ParamWindow::LockAllParameters() {
    for (int r = 1; r <= MaxParams; ++r) SetFixedBox(r, true);
}

void ParamWindow::FreeAllParameters() {
    for (int r = 1; r <= MaxParams; ++r) SetFixedBox(r, false);
}

void ParamWindow::CopyEndToStart() {
    for (int r = 1; r <= MaxParams; ++r) SetStartText(r, EndText(r));
}

void ParamWindow::ClearSignBoxes() {
    for (int r = 1; r <= MaxParams; ++r) SetSignBox(r, false);
}

void ParamWindow::ShowSignBoxes() {
    ParamSet& p = State().Params;
    for (int r = 1; r <= MaxParams; ++r) SetSignBox(r, p.Sign[r] < 0 || p.Value[r] < 0);
}

void ParamWindow::ResetUnusedSigns() {
    ParamSet& p = State().Params;
    for (int r = std::max(1, p.ParamCount + 1); r <= MaxParams; ++r) p.Sign[r] = 1.0;
}

int ParamWindow::ReadSigns() {
    ParamSet& p = State().Params;
    int ticked = 0;
    for (int r = 1; r <= MaxParams; ++r) {
        p.Sign[r] = 1.0;
        if (SignBox(r)) {
            p.Sign[r] = -1.0;
            ++ticked;
        }
    }
    return ticked;
}

void ParamWindow::CopyStartToEnd() {
    for (int r = 1; r <= MaxParams; ++r) SetEndText(r, StartText(r));
}

namespace {

struct DefaultWindows {
    MemoryParamWindow par;
    OptionsWindow opt;
    PrintLayoutWindow plotOpt;
    MainWindowHooks main;
};

DefaultWindows& defaults() {
    static DefaultWindows d;
    return d;
}

WindowSet& current() {
    static WindowSet w{&defaults().par, &defaults().opt, &defaults().plotOpt, &defaults().main};
    return w;
}

}  // namespace

WindowSet& Windows() { return current(); }

void InstallWindows(const WindowSet& w) {
    DefaultWindows& d = defaults();
    WindowSet& c = current();
    c.Par = w.Par ? w.Par : &d.par;
    c.Opt = w.Opt ? w.Opt : &d.opt;
    c.PlotOpt = w.PlotOpt ? w.PlotOpt : &d.plotOpt;
    c.Main = w.Main ? w.Main : &d.main;
}

void ResetWindows() {
    defaults().par = MemoryParamWindow();
    current() = WindowSet{&defaults().par, &defaults().opt, &defaults().plotOpt, &defaults().main};
}

MemoryParamWindow& DefaultParamWindow() { return defaults().par; }

}  // namespace pellucor
