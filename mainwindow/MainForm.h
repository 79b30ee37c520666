#pragma once
// TMainForm: the main window of both programs. Its creation allocates the
// work arrays, creates the windows it owns (the profile's list, in order),
// prepares the chart and runs the start-up sequence, which ends with the
// splash window; its destruction writes the four last used folders back and
// frees the owned windows in the reverse order. Between the two it carries
// every command of the program: menus, popup menu, two tool bars and their
// check boxes. The view commands are complete here; the commands whose
// windows or logic come with later work are bound to their handlers and say
// plainly that they are not available yet.
//
// While a fit runs it pumps window messages, so commands can arrive in the
// middle of it. The commands that would change the data under the run (open,
// paste, retrieve, delete a point, a second run, options, sample area,
// exit...) are disabled for the run and refuse with a message if they are
// reached anyway; RunLocked gives them back in every case, exceptions
// included.
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/WindowHooks.h"
#include "mainwindow/FileDialogs.h"
#include "mainwindow/MainChart.h"
#include "mainwindow/ProgramProfile.h"

class QAbstractButton;
class QAction;
class QButtonGroup;
class QDialog;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;

namespace pellucor::mainwindow {

struct MainFormOptions {
    // The splash window's time; tests shorten it. 0: no splash at all.
    int splashMs = 2000;
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(const ProgramProfile& profile, MainFormOptions options = {});
    ~TMainForm() override;

    const ProgramProfile& Profile() const { return profile_; }

    // Creates the profile's entry windows (the program entry calls this right
    // after creating the main window).
    void CreateEntryWindows();
    // A window of the creation lists by its global name; null when it is not
    // built yet.
    QWidget* FindWindow(const std::string& name) const;
    // The names of the created windows, in creation order (owned, then entry).
    std::vector<std::string> CreatedWindowNames() const;

    // ---- the chart ----
    MainChart& Chart() { return *chart_; }
    // The replot dispatcher's entry: redraws Chart1 for a plot kind.
    void Replot(int kind);
    // The kinds asked of the dispatcher, in order, whatever chart is installed
    // (tests and a reviewer read it; cleared by nobody but them).
    std::vector<int> ReplotLog;

    // ---- data and result files ----
    // Makes a data file the current data (flags reset first; a rejected file
    // leaves DataLoaded false).
    void OpenDataFile(const std::string& path);
    // Saves the parameter and history files of the current results (asks
    // for the name outside batch mode).
    void SaveResults();
    // Saves a simulated spectrum as a data file and opens it; false when
    // nothing was written (refused, cancelled or failed).
    bool SaveSimulatedData();
    // Saves the current spectrum as a data file.
    void SaveImpedanceData();
    // Creates a missing result folder (one level); throws "Cannot create the
    // folder." when that fails.
    void EnsureOutputFolder(const std::string& folder);
    // The calculated values become the measured data, known under `path`.
    void UseCalculatedAsMeasured(const std::string& path);
    // UseCalculatedAsMeasured, then saves data and results.
    void SaveConvertedModelResults(const std::string& path);
    // Caption: the short path of the data file, " - " and the program name.
    void ShowDataFileCaption();

    // ---- run control ----
    // Parses Code, shows it in the parameter window, ModelValid := true.
    void PrepareCurrentModel();
    // Simulates the current code from the parameter window's Start column.
    void RunSimulation(bool nameAsSimulationFile);
    void SimulateCurrentModel(bool nameAsSimulationFile);

    // ---- run in progress ----
    // Runs `body` (a fit that pumps messages) with the data commands locked.
    // Refused with a message when a run is already in progress.
    void RunLocked(const std::function<void()>& body);
    // ComputeAndShow(dataFile) inside RunLocked: it pumps a message, and a
    // command run then must not change the data under it. Returns its
    // result, or ComputeDataUnavailable when refused.
    int ComputeLocked(const std::string& dataFile);
    bool RunInProgress = false;

    // ---- members of the window ----
    bool FrequencyLabelsOn = true;
    int FixedWindowHeight = 0;
    int FixedWindowWidth = 0;
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;
    };
    std::vector<Rect> LabelRects = std::vector<Rect>(100);
    std::vector<Rect> GroupLabelRects = std::vector<Rect>(700);

    // Builders the profiles use for their own entries and buttons: the
    // control is named, bound to the handler and, when `guard` is set,
    // disabled while a fit runs.
    QAction* AddCommand(QMenu* menu, const char* name, const QString& caption,
                        void (TMainForm::*handler)(), bool guard = false);
    QToolButton* AddButton(QToolBar* bar, const char* name, const QString& hint,
                           void (TMainForm::*handler)(), bool guard = false);

    // The file dialogs (their folders and names are set at run time) and the
    // file name the open dialog last had: the file the data in memory were
    // read from, which a new sample area and a retrieve read again.
    MainFileDialogs Dialogs;
    std::string OpenDialog1FileName;

    // The handler that ran last (tests map every control to its handler).
    const std::string& LastHandler() const { return lastHandler_; }

    // ---- controls (objectName = member name) ----
    QMenu *PopupMenu1 = nullptr, *MechanisticMenu = nullptr;
    // File
    QAction *Open1 = nullptr, *Paste1 = nullptr, *RetrievePars = nullptr, *SavePars = nullptr,
            *SaveImpedaneData1 = nullptr, *SaveasDielectric1 = nullptr,
            *DeleteSelectedPoint1 = nullptr, *Exit1 = nullptr;
    // Run
    QAction *Model1 = nullptr, *ParamList = nullptr, *ToClipboard = nullptr, *Option1 = nullptr,
            *Simulator1 = nullptr, *noCPE1 = nullptr;
    // Plot
    QAction *Nyquist1 = nullptr, *Bode1 = nullptr, *RealImag1 = nullptr, *Admittance1 = nullptr,
            *Capacitance2 = nullptr, *Error1 = nullptr, *YBode = nullptr, *YReIm = nullptr;
    QAction *BodelogZ1 = nullptr, *Gridlines1 = nullptr, *Largefont1 = nullptr,
            *ScreenSizeFixed1 = nullptr, *ReImLog = nullptr, *Freqlabels1 = nullptr;
    // Output
    QAction *PrintBothBtn1 = nullptr, *PrintProjectGroup = nullptr, *Copypars = nullptr,
            *CopyPlot = nullptr, *SaveToMetafile = nullptr;
    // Tools
    QAction *export_Z = nullptr, *export_Z1 = nullptr, *export_angle = nullptr,
            *export_ZandZ1 = nullptr, *export_A = nullptr, *export_C = nullptr,
            *YBodeAbs = nullptr, *YBodeAngle = nullptr, *SurfaceBtn1 = nullptr,
            *CreateFolder1 = nullptr, *Headerlines1 = nullptr,
            *PseudocapacitanceCalculator1 = nullptr, *ChangeTitle1 = nullptr,
            *SampleIDs = nullptr, *SetupImageViewer1 = nullptr, *RunImageViewer1 = nullptr;
    // Dielectric
    QAction *System1 = nullptr, *Dielectricsystem1 = nullptr, *ImpedanceData1 = nullptr,
            *DielectricData1 = nullptr;
    // Help
    QAction *HelpContent = nullptr, *Howtorun1 = nullptr, *About1 = nullptr;
    // Popup entries
    QAction *PopOpen = nullptr, *PopModel = nullptr, *PopResults = nullptr,
            *PopRetrieve = nullptr, *PopSimulator = nullptr, *PopCopypars = nullptr,
            *PopCopyPlot = nullptr, *PopSavePlot = nullptr, *PopRunImageViewer = nullptr,
            *PopWord = nullptr, *PopSaveImpedance = nullptr, *PopDeletePoint = nullptr;
    // Tool bars
    QToolBar *Toolbar2 = nullptr, *Toolbar = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr,
              *CheckBox4 = nullptr, *CheckBox5 = nullptr, *CheckBox6 = nullptr;
    QButtonGroup* PlotKindButtons = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel *Label1 = nullptr, *StaticText1 = nullptr, *Label6 = nullptr, *Label7 = nullptr;
    QPushButton* MasterBtn = nullptr;
    // Every tool-bar button in order from the left, Toolbar2 first.
    std::vector<QToolButton*> ToolButtons;

public slots:
    // File
    void Open1Click();
    void Paste1Click();
    void RetrieveParsClick();
    void SaveParsClick();
    void SaveImpedaneData1Click();
    void SaveasDielectric1Click();
    void DeleteSelectedPoint1Click();
    void Exit1Click();
    // Run
    void Model1Click();
    void ParamListClick();
    void ToClipboardClick();
    void Option1Click();
    void Simulator1Click();
    void noCPE1Click();
    // Plot kinds
    void Nyquist1Click();
    void Bode1Click();
    void RealImag1Click();
    void Admittance1Click();
    void Capacitance2Click();
    void Error1Click();
    void YBodeClick();
    void YReImClick();
    // View switches
    void BodelogZ1Click();
    void Gridlines1Click();
    void Largefont1Click();
    void ScreenSizeFixed1Click();
    void ReImLogClick();
    void Freqlabels1Click();
    // Output
    void PrintBothBtn1Click();
    void CopyparsClick();
    void CopyPlotClick();
    void SaveToMetafileClick();
    // Tools
    void export_ZClick();
    void export_Z1Click();
    void export_angleClick();
    void export_ZandZ1Click();
    void export_AClick();
    void export_CClick();
    void YBodeAbsClick();
    void YBodeAngleClick();
    void SurfaceBtn1Click();
    void CreateFolder1Click();
    void Headerlines1Click();
    void PseudocapacitanceCalculator1Click();
    void ChangeTitle1Click();
    void SampleIDsClick();
    void SetupImageViewer1Click();
    void RunImageViewer1Click();
    // Dielectric
    void System1Click();
    void Dielectricsystem1Click();
    void ImpedanceData1Click();
    void DielectricData1Click();
    // Mechanistic
    void SimulationModeRunExamples1Click();
    void EqualImpedancewithdifferentcircuits1Click();
    void PrimitivePassivation1Click();
    void NickelDepositClick();
    void PassivationofChromium1Click();
    void TRanspassivityofNiCrAlloys1Click();
    void IronDissolution1Click();
    void ZincElectrowinning1Click();
    void ExampleA21Click();
    void ExampleB21Click();
    void DeterminationofKineticParametersOptimD1Click();
    void ZincDissolution1Click();
    void ZincModel1Click();
    void IronModel1Click();
    // Help
    void HelpContentClick();
    void Howtorun1Click();
    void About1Click();
    // Starts the reaction-mechanism program (bound by the circuit program).
    void RunOtherExamples1Click();
    // Commands only the circuit program binds (CircuitCommands.cpp): batch,
    // project-group printing, the document window, the extrapolation and
    // technical support.
    void Batchmode1Click();
    void Examinebatchresults1Click();
    void BeginBtnClick();
    void NextBtnClick();
    void CheckStatusClick();
    void PrintMangerClick();
    void InterfaceswithMSWord1Click();
    void Extrapolate1Click();
    void Addpoints1Click();
    void Removepoints1Click();
    void Recalc1Click();
    void Saveasdata1Click();
    void TechSupportClick();

signals:
    // The window was closed (Exit or the close box) and the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Hooks;
    friend class Hooks;
    class RunLock;
    friend class RunLock;

    void BuildMenus();
    void BuildPopupMenu();
    void BuildToolbars();
    // A checkable entry: whichever control sends the click, the handler
    // flips the check mark itself.
    QAction* AddCheckCommand(QMenu* menu, const char* name, const QString& caption, bool checked,
                             void (TMainForm::*handler)(), bool guard = false);
    QCheckBox* AddCheckBox(QToolBar* bar, const char* name, const QString& caption, bool checked,
                           void (TMainForm::*handler)());
    // Controls whose commands change the data a fit works on.
    void GuardDuringRun(QAction* action) { runGuardedActions_.push_back(action); }
    void GuardDuringRun(QWidget* control) { runGuardedControls_.push_back(control); }

    void FormCreate();
    void FormDestroy();
    void CreateWindows(const WindowList& list, std::vector<std::pair<std::string, QWidget*>>& into);
    void ShowSplashScreen();
    void ShowSampleArea();
    void InstallFitWindows(bool install);

    // Run control (RunControl.cpp): start-value evaluation, fit run in the
    // progress window, one monitor step, the end question and the monitor
    // ending; `finished` is set by a monitor step that converged.
    // Returns the engine's result code (ComputeInvalidParameters when a start
    // value cannot be used).
    int StartValueEvaluation(const std::string& dataFile);
    // True, with message 4 and ParamsValid cleared, when that code refused
    // the start values; true without a further message when it refused the
    // fit for too few points (the engine said so).
    bool StartValuesRefused(int evaluation);
    // False when the run was stopped through the progress window.
    bool FitRun(const std::string& dataFile);
    bool MonitorStep();
    void EndQuestion();
    void MonitorEnding(bool finished, bool backToIterate);
    // Opens the parameter window for "Select Model" (step 10); returns the
    // monitor step's `finished`.
    bool ParameterWindowAfterModel(const std::string& dataFile);
    // The result file name of a run: ParFolder + base name + ", " + Code + ".par".
    std::string RunResultFileName();
    // A code longer than the program holds is refused with "Invalid code!".
    QDialog* ModalWindow(const char* name, const QString& command);
    void HideProsim();
    void ShowProsim();
    void SetModelCombo(const std::string& text);

    void Trace(const char* handler) { lastHandler_ = handler; }
    // "... is not available yet." for a command whose window or logic is not built.
    void NotAvailable(const QString& command);
    // True (after a message) when a fit is running and the command must wait.
    bool RefusedWhileRunning(const QString& command);
    // Shows a window of the creation lists without a modal loop, or says the
    // command is not available yet.
    void ShowModeless(const std::string& window, const QString& command);

    void PlotKindCommand(int kind);
    // Flips a view switch's menu check and redraws when the current kind
    // depends on it.
    void ViewSwitch(QAction* entry, std::initializer_list<int> kinds);
    bool WindowMaximised() const;

    const ProgramProfile& profile_;
    MainFormOptions options_;
    MainChart* chart_ = nullptr;
    std::unique_ptr<Hooks> hooks_;
    std::vector<std::pair<std::string, QWidget*>> owned_, entry_;
    std::vector<QAction*> runGuardedActions_;
    std::vector<QWidget*> runGuardedControls_;
    std::string lastHandler_;
    bool destroyed_ = false;
};

// The window global of the one main window (null when there is none).
TMainForm* MainForm();

}  // namespace pellucor::mainwindow
