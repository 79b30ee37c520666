#pragma once
// The windows the engine talks to, seen from the core. The core holds the
// logic of the parameter window's operations (what they do to the state and
// which texts they show); a window only has to provide its controls. Tests
// and headless runs use MemoryParamWindow; the programs install their Qt
// windows. Other windows are reached through small hooks whose defaults do
// nothing, so the core runs without any window at all.
#include <string>

#include "core/Bounded.h"
#include "core/ProgramState.h"

namespace pellucor {

// The parameter window: 15 rows of Start, End and Error edits with Fixed,
// Sign and Search check boxes.
class ParamWindow {
public:
    virtual ~ParamWindow() = default;

    // ---- controls (rows 1..15) ----
    virtual std::string StartText(int row) const = 0;
    virtual void SetStartText(int row, const std::string& text) = 0;
    virtual std::string EndText(int row) const = 0;
    virtual void SetEndText(int row, const std::string& text) = 0;
    virtual void SetErrorText(int row, const std::string& text) = 0;
    virtual bool FixedBox(int row) const = 0;       // CheckBox1..15
    virtual void SetFixedBox(int row, bool on) = 0;
    virtual bool SignBox(int row) const = 0;        // CheckBox31..45
    virtual void SetSignBox(int row, bool on) = 0;
    virtual bool SearchBox(int row) const = 0;      // CheckBox16..30
    virtual void SetSearchBox(int row, bool on) = 0;
    virtual void SetRowLabel(int row, const std::string& text) = 0;
    virtual std::string CdcLabel() const = 0;
    virtual void SetCdcLabel(const std::string& text) = 0;
    virtual void SetChiSqText(const std::string& text) = 0;     // Label9
    virtual void SetErrorEstimateText(const std::string& text) = 0;  // Label13
    virtual void SetRunModeRadios(bool iterate, bool monitor, bool simulate, bool batch) = 0;
    virtual void SetInfoTexts(const std::string& dataFile, const std::string& weighting,
                              const std::string& errorCaption) = 0;

    // ---- operations, the same for every window ----
    void ShowModelInfo(const std::string& dataFileName);
    void ShowParameterLabels(int count);
    void ShowStartValues(bool resetAll);
    void ShowEndValues(bool copy);
    void ShowParameterErrors(bool clear);
    void ReadStartValues();
    void ReadFixedFlags();
    void LockAllParameters();
    void FreeAllParameters();
    void CopyEndToStart();
    void ClearSignBoxes();
    void ShowSignBoxes();
    void ResetUnusedSigns();
    // Sign[1..15] := +1, then -1 for every ticked Sign box; returns how many
    // boxes are ticked.
    int ReadSigns();
    // The Start texts into the End edits, as text.
    void CopyStartToEnd();

private:
    // The kinds and unit choice the row labels were last shown for. The
    // evaluator relabels the window at every function evaluation of a fit;
    // labels that would not change are not set again. (A window that changes
    // its row labels by other means than ShowParameterLabels must not rely on
    // this.)
    bool labelsShown_ = false;
    bool labelsPerArea_ = false;
    int labelKinds_[MaxParams + 1] = {};
};

// A parameter window without a screen: keeps the texts as the real one does.
class MemoryParamWindow : public ParamWindow {
public:
    std::string StartText(int row) const override { return start[row]; }
    void SetStartText(int row, const std::string& t) override { start[row] = t; }
    std::string EndText(int row) const override { return end[row]; }
    void SetEndText(int row, const std::string& t) override { end[row] = t; }
    void SetErrorText(int row, const std::string& t) override { error[row] = t; }
    bool FixedBox(int row) const override { return fixed[row]; }
    void SetFixedBox(int row, bool on) override { fixed[row] = on; }
    bool SignBox(int row) const override { return sign[row]; }
    void SetSignBox(int row, bool on) override { sign[row] = on; }
    bool SearchBox(int row) const override { return search[row]; }
    void SetSearchBox(int row, bool on) override { search[row] = on; }
    void SetRowLabel(int row, const std::string& t) override { label[row] = t; }
    std::string CdcLabel() const override { return cdcLabel; }
    void SetCdcLabel(const std::string& t) override { cdcLabel = t; }
    void SetChiSqText(const std::string& t) override { chiSqText = t; }
    void SetErrorEstimateText(const std::string& t) override { errorEstimateText = t; }
    void SetRunModeRadios(bool it, bool mon, bool sim, bool bat) override {
        iterateRadio = it;
        monitorRadio = mon;
        simulateRadio = sim;
        batchRadio = bat;
    }
    void SetInfoTexts(const std::string& d, const std::string& w, const std::string& e) override {
        dataFileText = d;
        weightingText = w;
        errorCaption = e;
    }

    FixedArray<std::string, 1, MaxParams> start, end, error, label;
    FixedArray<bool, 1, MaxParams> fixed, sign, search;
    std::string cdcLabel, chiSqText, errorEstimateText, dataFileText, weightingText, errorCaption;
    bool iterateRadio = true, monitorRadio = false, simulateRadio = false, batchRadio = false;
};

// The options dialog: reads its controls into ProgramOptions and shows them.
class OptionsWindow {
public:
    virtual ~OptionsWindow() = default;
    virtual void ReadOptions() {}
    virtual void ShowOptions() {}
    virtual void ShowSignAndWeighting() {}
};

// The print-layout dialog.
class PrintLayoutWindow {
public:
    virtual ~PrintLayoutWindow() = default;
    virtual void ReadPrintItems() {}
    virtual void ShowPrintItems() {}
};

// What the engine asks of the main window. Every default does nothing.
class MainWindowHooks {
public:
    virtual ~MainWindowHooks() = default;
    virtual void Replot() {}
    virtual void SetDialogFolders() {}
    virtual void SetChartFontSizes() {}
    virtual void ShowSampleArea() {}
    virtual void SetModelComboText(const std::string&) {}
    // Switches off the measured and calculated phase-angle series of the
    // main chart (after parameters were loaded).
    virtual void HidePhaseAngleSeries() {}
    // Main chart background: white, or the neutral window colour.
    virtual void SetChartBackground(bool /*white*/) {}
    // The splash window for its two seconds (end of start-up).
    virtual void ShowSplashScreen() {}
    // Simulates the current code from the parameter window's Start column
    // and replots (the quick simulator's "Update"); with the flag the data
    // file name becomes the simulation file of the code.
    virtual void SimulateCurrentModel(bool /*nameAsSimulationFile*/) {}
    // True, after telling the person, while a run holds the data: a window
    // beside the main one asks before it changes anything the run reads.
    virtual bool RefusedWhileRunning(const std::string& /*command*/) { return false; }
};

struct WindowSet {
    ParamWindow* Par = nullptr;
    OptionsWindow* Opt = nullptr;
    PrintLayoutWindow* PlotOpt = nullptr;
    MainWindowHooks* Main = nullptr;
};

// Never null: unset members fall back to a MemoryParamWindow and do-nothing
// hooks owned by the core.
WindowSet& Windows();
void InstallWindows(const WindowSet& w);
// Back to the built-in defaults (a fresh MemoryParamWindow).
void ResetWindows();
// The built-in parameter window (tests read its texts).
MemoryParamWindow& DefaultParamWindow();

}  // namespace pellucor
