// The commands that bring data in and write data and results out: open,
// paste, retrieve, save results, save impedance and simulated data, the
// converted data, the dielectric switches and the small input dialogs.
//
// Every write is checked: a file that could not be written was reported by
// its writer (it names the file and the reason), the old file stays, and the
// command then changes nothing of the current data, names or flags. The data
// file name changes only once the new file is complete.
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "core/DataReader.h"
#include "core/ExportTables.h"
#include "core/FitDriver.h"
#include "core/Messages.h"
#include "core/ProgramState.h"
#include "core/ResultFiles.h"
#include "core/RoughSearch.h"
#include "core/TextHelpers.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TProsimForm.h"
#include "dialogs/input/SmallInputForms.h"
#include "mainwindow/MainForm.h"
#include "platform/Services.h"
#include "platform/qt/ModalDialogs.h"

namespace pellucor::mainwindow {

namespace {

bool AskYesNo(const std::string& text, const std::string& caption) {
    return platform::ShowMessage(text, caption, platform::MsgButtons::YesNo, platform::MsgIcon::Question) ==
           platform::MsgResult::Yes;
}

std::string Short(const std::string& path) { return ShortDisplayPath(State().Folders.AppFolder, path); }

// The rows in memory are the current data only while data are loaded or
// results computed. After a file the reader refused, or once simulate mode
// was chosen, they still hold the previous set, which is no longer shown and
// must not be written under the new name.
bool SpectrumIsCurrent() {
    const ProgramState& s = State();
    return s.Spectrum.PointCount > 0 && (s.Run.DataLoaded || s.Run.ResultsComputed);
}

// In simulate mode the files hold the calculated values, and a simulation
// that was refused (parameters not valid) computed none: the table would have
// no rows, the converted file the stale calculated rows, and either would
// then be named as the data. Says so (message 5) and answers true.
bool NothingSimulatedYet() {
    const RunState& r = State().Run;
    if (!r.SimulateMode || r.ResultsComputed) return false;
    ShowMessageCode(5);
    return true;
}

// A command's exception ends the command and is shown, as the desktop's
// default handler would; it must not cross the event loop.
template <class F>
void Guarded(F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        platform::ShowMessage(e.what(), State().Folders.ProgramName, platform::MsgButtons::Ok,
                              platform::MsgIcon::Error);
    }
}

}  // namespace

// ---- helpers -------------------------------------------------------------------

QDialog* TMainForm::ModalWindow(const char* name, const QString& command) {
    auto* dialog = qobject_cast<QDialog*>(FindWindow(name));
    if (!dialog) NotAvailable(command);
    return dialog;
}

void TMainForm::SetModelCombo(const std::string& text) {
    if (auto* cdc = dynamic_cast<fitwin::TCDCForm*>(FindWindow("CDCForm"))) cdc->SetCodeText(text);
}

void TMainForm::HideProsim() {
    if (QWidget* w = FindWindow("ProsimForm")) w->hide();
}

void TMainForm::ShowProsim() {
    auto* prosim = dynamic_cast<fitwin::TProsimForm*>(FindWindow("ProsimForm"));
    if (!prosim) return;
    prosim->LoadFromParameterForm();
    prosim->ShowParameterNames(State().Params.ParamCount);
    prosim->show();
}

void TMainForm::ShowDataFileCaption() {
    const ProgramState& s = State();
    setWindowTitle(QString::fromStdString(Short(s.Files.DataFileName) + " - " + s.Folders.ProgramName));
}

// ---- open ------------------------------------------------------------------------

void TMainForm::OpenDataFile(const std::string& path) {
    ProgramState& s = State();
    RunState& r = s.Run;
    ResetDataOrigin();
    r.DataLoaded = false;
    r.ResultsComputed = false;
    r.PerAreaUnits = false;
    r.IterateMode = true;
    s.Extrap.OrderScanDone = false;
    s.Extrap.ZrInfSearchOn = true;
    s.Extrap.KKResidualOnAppended = true;
    s.Extrap.ExtrapolationRequest = 2;
    s.Extrap.OrderCriterion = 3;
    s.Files.SelectedSpecName.clear();
    profile_.AfterOpenReset();

    s.Fit.SampleArea = 1.0;
    const QString one = QString::fromStdString(FormatGeneral(1.0, 4));
    if (auto* area = dynamic_cast<dialogs::TSAreaForm*>(FindWindow("SAreaForm"))) area->Edit1->setText(one);
    Label1->setText(one);
    SetModelCombo("Unknown");

    s.Files.DataFileName = path;
    ShowDataFileCaption();
    Dialogs.OpenDialog1.initialDir = FolderOfPath(path);
    s.Folders.DataFolder = Dialogs.OpenDialog1.initialDir;
    OpenDialog1FileName = path;
    if (ReadImpedanceData(path) == 0) {
        AfterDataLoaded();
        HideProsim();
    }
}

void TMainForm::Open1Click() {
    Trace("Open1Click");
    if (RefusedWhileRunning("Open")) return;
    ProgramState& s = State();
    Dialogs.OpenDialog1.initialDir = s.Folders.DataFolder;
    const std::optional<std::string> chosen = platform::services().fileDialogs->OpenFile(Dialogs.OpenDialog1);
    if (!chosen) return;
    // A file the person chooses is read in the mode they chose, even one
    // the program wrote.
    s.Files.WrittenAsImpedances.clear();
    OpenDataFile(*chosen);
    s.Group.GroupMode = false;
    SampleIDs->setEnabled(false);
    Copypars->setEnabled(true);
    if (!profile_.OpenKeepsStartValueChoice()) {
        s.Run.StartValuesApplied = false;
        s.Run.UserStartValues = false;
    }
    s.Folders.DataFolder = WithTrailingBackslash(Dialogs.OpenDialog1.initialDir);
    s.Folders.ParFolder = WithTrailingBackslash(ParFolderForData(s.Folders.AppFolder, s.Folders.DataFolder));
    Replot(s.Run.PlotKind);
}

void TMainForm::Paste1Click() {
    Trace("Paste1Click");
    if (RefusedWhileRunning("Paste Z Data")) return;
    QDialog* paste = ModalWindow("PasteForm", "Paste &Z Data");
    if (!paste) return;
    const std::string before = State().Files.DataFileName;
    const bool ok = platform::qt::RunModal(*paste);
    // The paste window loads the data itself, so they stay whichever button
    // closes it. After Cancel the name they are known by must follow them as
    // well: the run commands take the data file's name from the open dialog,
    // and would otherwise save the pasted data's results, or read data again,
    // under the file opened before.
    if (!ok && State().Files.DataFileName == before) return;
    OpenDialog1FileName = State().Files.DataFileName;
    State().Files.WrittenAsImpedances.clear();
    ShowDataFileCaption();
}

// ---- retrieve --------------------------------------------------------------------

void TMainForm::RetrieveParsClick() {
    Trace("RetrieveParsClick");
    if (RefusedWhileRunning("Retrieve Parameters")) return;
    ProgramState& s = State();
    RunState& r = s.Run;
    if (r.KineticData) {
        ShowMessageCode(81);
        return;
    }
    r.ExtrapolatedView = false;
    const std::string parForData = ParFolderForData(s.Folders.AppFolder, s.Folders.DataFolder);
    std::error_code ec;
    if (std::filesystem::is_directory(parForData, ec)) Dialogs.OpenDialog2.initialDir = parForData;
    s.History.Iteration = 0;
    s.Fit.ChiSqDivisor = 1;
    s.Fit.ChiSq = 0;

    const std::optional<std::string> chosen = platform::services().fileDialogs->OpenFile(Dialogs.OpenDialog2);
    if (chosen) {
        const int read = ReadParameterFile(s.Files.DataFileName, *chosen);
        if (read != 1) {
            // A damaged file was refused with its own message; one that does
            // not open is said here. Nothing has changed either way.
            std::error_code e2;
            if (!std::filesystem::exists(*chosen, e2))
                platform::ShowMessage("Cannot open the parameter file " + *chosen + ".", "Cannot read results...");
        } else {
            Dialogs.OpenDialog2.initialDir = FolderOfPath(*chosen);
            s.Folders.ParFolder = Dialogs.OpenDialog2.initialDir;
            s.Files.LastParFileName = *chosen;
            s.Files.ResultsFileName = *chosen;
            r.ResultsFileSet = true;
            s.Group.GroupMode = false;
            SampleIDs->setEnabled(false);
            Copypars->setEnabled(true);
            SetModelCombo(s.Circuit.Code);
            RefreshAfterParametersLoaded();
            // With data to fit, the file's fixed flags go into the Fixed
            // boxes: the recomputation below reads them there, and a value the
            // saved fit held fixed must not be fitted anew (and silently
            // changed). Without data every box is fixed, so the recomputation
            // only evaluates: a file that failed to open leaves the boxes as
            // the data before it freed them, and that data's rows in memory.
            if (r.DataLoaded)
                for (int j = 1; j <= std::min(s.Params.ParamCount, MaxParams); ++j)
                    Windows().Par->SetFixedBox(j, s.Params.Fixed[j]);
            else
                Windows().Par->LockAllParameters();
            if (profile_.SignBoxesAfterParametersLoaded()) Windows().Par->ShowSignBoxes();
            r.ModelValid = r.ParamsValid = r.ReadyToRun = r.ResultsComputed = r.IterateMode = true;
            r.ResetParamWindow = false;
            if (!profile_.RetrieveKeepsBatchAndSimulate()) {
                r.BatchMode = false;
                r.SimulateMode = false;
            }
            s.History.Iteration = 0;
            Replot(r.PlotKind);
        }
    }
    if (r.ModelValid) {
        // The recomputation pumps messages: the data must not change under it.
        RunLocked([&] {
            if (std::fabs(s.Fit.SampleArea - 1.0) > 1e-10) {
                r.PerAreaUnits = true;
                ReadImpedanceData(OpenDialog1FileName);
            } else if (r.PerAreaUnits) {
                // The rows are still scaled by the area of an earlier file.
                r.PerAreaUnits = false;
                ReadImpedanceData(OpenDialog1FileName);
            }
            ParamWindow& par = *Windows().Par;
            par.ShowEndValues(false);
            par.CopyEndToStart();
            par.ReadStartValues();
            ComputeAndShow(OpenDialog1FileName);
            ComputeAndShow(OpenDialog1FileName);
        });
        r.ResultsComputed = true;
        s.Files.ResultsFileName = ResultFileName(r.ModelValid, s.Folders.AppFolder, s.Files.DataFileName, s.Circuit.Code);
        s.History.Iteration = 3;
        SelectSearchParameters();
        ShowSearchFlags(false);
        s.History.Iteration = 1;
        if (r.SimulateMode) ShowProsim();
    }
    Replot(r.PlotKind);
}

// ---- save results ----------------------------------------------------------------

void TMainForm::SaveParsClick() {
    Trace("SaveParsClick");
    if (RefusedWhileRunning("Save Parameters")) return;
    Guarded([this] { SaveResults(); });
}

void TMainForm::EnsureOutputFolder(const std::string& folder) {
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec)) return;
    if (!std::filesystem::create_directory(folder, ec) || ec) throw std::runtime_error("Cannot create the folder.");
    platform::ShowMessage("Created this output folder!", folder);
}

void TMainForm::SaveResults() {
    ProgramState& s = State();
    RunState& r = s.Run;
    AppFolders& f = s.Folders;
    if (r.KineticData) {
        ShowMessageCode(47);
        return;
    }
    f.ParFolder = WithTrailingBackslash(f.ParFolder);
    if (!r.ResultsComputed) {
        ShowMessageCode(31);
        return;
    }
    std::string name;
    if (r.SimulateMode) {
        f.SimParFolder = WithTrailingBackslash(f.SimParFolder);
        const std::string sim = WithTrailingBackslash(f.SimDataFolder) + s.Circuit.Code + ".sim";
        // The simulated spectrum first; without it there is nothing to name.
        // Opened at once with area 1: the simulated values as they are.
        if (!SaveDataFile(sim, false)) return;
        s.Files.WrittenAsImpedances = sim;
        s.Files.DataFileName = sim;
        OpenDataFile(sim);
        OpenDialog1FileName = sim;
        SetModelCombo(s.Circuit.Code);
        ShowDataFileCaption();
        r.ModelValid = r.DataLoaded = r.ResultsComputed = true;
        // Opened as data without a model; it is the data of these results.
        Replot(r.PlotKind);
        name = ResultFileName(true, f.AppFolder, s.Files.DataFileName, s.Circuit.Code);
    } else {
        name = ResultFileName(r.ModelValid, f.AppFolder, s.Files.DataFileName, s.Circuit.Code);
        if (!r.BatchMode) EnsureOutputFolder(ParFolderForData(f.AppFolder, FolderOfPath(s.Files.DataFileName)));
    }
    s.Files.ResultsFileName = name;

    if (r.BatchMode) {
        Windows().Opt->ReadOptions();
        if (WriteParameterFile(s.Files.DataFileName, s.Files.ResultsFileName))
            WriteHistoryFile(s.Files.ResultsFileName);
        return;
    }
    if (AskYesNo("Save results with this filename?", Short(name))) {
        TakeCdcFromParForm();
        if (!WriteParameterFile(s.Files.DataFileName, s.Files.ResultsFileName)) return;
        WriteHistoryFile(s.Files.ResultsFileName);
        const std::string folder = FolderOfPath(s.Files.ResultsFileName);
        if (r.SimulateMode) {
            Dialogs.SaveDialog4.initialDir = folder;
            f.SimParFolder = WithTrailingBackslash(folder);
        } else {
            Dialogs.SaveDialog1.initialDir = folder;
            f.ParFolder = WithTrailingBackslash(folder);
        }
        return;
    }
    if (r.SimulateMode) {
        Dialogs.SaveDialog4.initialDir = f.SimParFolder;
        f.SimParFolder = WithTrailingBackslash(f.SimParFolder);
        Dialogs.SaveDialog4.fileName = f.SimParFolder + FileNameOfPath(s.Files.ResultsFileName);
        const std::optional<std::string> chosen = platform::services().fileDialogs->SaveFile(Dialogs.SaveDialog4);
        if (!chosen) return;
        TakeCdcFromParForm();
        if (!WriteParameterFile("No data accessed. Simulation run results", *chosen)) return;
        Dialogs.SaveDialog4.initialDir = FolderOfPath(*chosen);
        f.SimParFolder = WithTrailingBackslash(Dialogs.SaveDialog4.initialDir);
        return;
    }
    Dialogs.SaveDialog1.initialDir = f.ParFolder;
    Dialogs.SaveDialog1.fileName = f.ParFolder + FileNameOfPath(s.Files.ResultsFileName);
    const std::optional<std::string> chosen = platform::services().fileDialogs->SaveFile(Dialogs.SaveDialog1);
    if (!chosen) return;
    TakeCdcFromParForm();
    if (!WriteParameterFile(s.Files.DataFileName, *chosen)) return;
    WriteHistoryFile(*chosen);
    Dialogs.SaveDialog1.initialDir = FolderOfPath(*chosen);
    f.ParFolder = WithTrailingBackslash(Dialogs.SaveDialog1.initialDir);
}

// ---- save data -------------------------------------------------------------------

void TMainForm::SaveImpedaneData1Click() {
    Trace("SaveImpedaneData1Click");
    if (RefusedWhileRunning("Save Impedance Data")) return;
    SaveImpedanceData();
}

bool TMainForm::SaveSimulatedData() {
    ProgramState& s = State();
    RunState& r = s.Run;
    if (s.Spectrum.PointCount == 0) {
        ShowMessageCode(30);
        return false;
    }
    if (!(r.ResultsComputed && r.SimulateMode)) {
        ShowMessageCode(5);
        return false;
    }
    s.Folders.SimDataFolder = WithTrailingBackslash(s.Folders.SimDataFolder);
    const std::string proposed = s.Folders.SimDataFolder + s.Circuit.Code + ".sim";
    Dialogs.SaveDialog2.initialDir = s.Folders.SimDataFolder;
    std::string target = proposed;
    const bool asked = !AskYesNo("Save with this filename?", Short(proposed));
    if (asked) {
        Dialogs.SaveDialog2.fileName = proposed;
        const std::optional<std::string> chosen = platform::services().fileDialogs->SaveFile(Dialogs.SaveDialog2);
        // Cancel: nothing written, nothing renamed.
        if (!chosen) return false;
        target = *chosen;
    }
    // The name changes only once the file is there.
    // Opened at once with area 1: the simulated values as they are.
    if (!SaveDataFile(target, false)) return false;
    s.Files.WrittenAsImpedances = target;
    const std::string code = s.Circuit.Code;
    s.Files.DataFileName = target;
    OpenDataFile(target);
    r.IterateMode = true;
    r.ResultsComputed = false;
    OpenDialog1FileName = target;
    SetModelCombo(code);
    if (asked) {
        Dialogs.SaveDialog2.initialDir = FolderOfPath(target);
        s.Folders.SimDataFolder = Dialogs.SaveDialog2.initialDir;
    }
    return true;
}

void TMainForm::SaveImpedanceData() {
    ProgramState& s = State();
    RunState& r = s.Run;
    if (r.SimulateMode && r.ResultsComputed) {
        // Only a saved simulation becomes the data (a cancelled or failed one changes nothing).
        if (SaveSimulatedData()) {
            r.IterateMode = r.DataLoaded = r.ModelValid = true;
            r.ResultsComputed = profile_.SavedSimulationKeepsResults();
            // The file was drawn as data without a model when it was opened;
            // it is shown with the model it was simulated with (and the
            // results the program keeps of it).
            Replot(r.PlotKind);
        }
        return;
    }
    if (NothingSimulatedYet()) return;
    s.Folders.ExportFolder = WithTrailingBackslash(s.Folders.ExportFolder);
    Dialogs.SaveDialog5.initialDir = s.Folders.ExportFolder;
    const std::string proposed = s.Folders.ExportFolder + BaseNameOfPath(s.Files.DataFileName) + ".dat";
    if (!SpectrumIsCurrent()) {
        ShowMessageCode(30);
        return;
    }
    std::string target = proposed;
    const bool asked = !AskYesNo("Save with this filename?", Short(proposed));
    if (asked) {
        Dialogs.SaveDialog5.fileName = proposed;
        const std::optional<std::string> chosen = platform::services().fileDialogs->SaveFile(Dialogs.SaveDialog5);
        if (!chosen) return;
        target = *chosen;
    }
    // Read again later (a new area, a retrieve, the next session) with the
    // area of the moment: written divided by it.
    if (!SaveDataFile(target, true)) return;
    s.Files.WrittenAsImpedances = target;
    s.Files.DataFileName = target;
    OpenDialog1FileName = target;
    if (asked) {
        Dialogs.SaveDialog5.initialDir = FolderOfPath(target);
        s.Folders.ExportFolder = Dialogs.SaveDialog5.initialDir;
    }
    Replot(r.PlotKind);
}

void TMainForm::SaveasDielectric1Click() {
    Trace("SaveasDielectric1Click");
    if (RefusedWhileRunning("Save Converted (C or Z Data)")) return;
    if (!SpectrumIsCurrent()) {
        ShowMessageCode(30);
        return;
    }
    if (NothingSimulatedYet()) return;
    const std::optional<std::string> chosen = platform::services().fileDialogs->SaveFile(Dialogs.SaveDialog2);
    if (!chosen) return;
    if (!SaveConvertedData(*chosen)) return;
    State().Files.DataFileName = *chosen;
    ShowDataFileCaption();
}

void TMainForm::UseCalculatedAsMeasured(const std::string& path) {
    ProgramState& s = State();
    SpectrumBlock& sp = s.Spectrum;
    for (int i = 1; i <= sp.PointCount; ++i) {
        sp.ZReal[i] = sp.ZRealCalc[i];
        sp.ZImag[i] = sp.ZImagCalc[i];
    }
    s.Run.IterateMode = true;
    s.Run.SimulateMode = false;
    s.Run.ResultsComputed = true;
    s.Files.DataFileName = path;
}

void TMainForm::SaveConvertedModelResults(const std::string& path) {
    ProgramState& s = State();
    UseCalculatedAsMeasured(path);
    SaveImpedanceData();
    SaveResults();
    SetModelCombo(s.Circuit.Code);
    if (auto* prosim = dynamic_cast<fitwin::TProsimForm*>(FindWindow("ProsimForm")))
        prosim->Label1->setText(QString::fromStdString(s.Circuit.Code));
    s.Model.ChartTitle2 = s.Circuit.Code;
    ParamWindow& par = *Windows().Par;
    par.ShowParameterLabels(s.Params.ParamCount);
    par.ShowStartValues(false);
    par.ShowSignBoxes();
    s.Run.ModelValid = s.Run.ParamsValid = true;
    s.Run.SimulatedResults = false;
    Replot(s.Run.PlotKind);
}

// ---- the dielectric menu -----------------------------------------------------------

void TMainForm::System1Click() {
    Trace("System1Click");
    if (RefusedWhileRunning("Coductive System")) return;
    RunState& r = State().Run;
    System1->setChecked(!System1->isChecked());
    Dielectricsystem1->setChecked(!System1->isChecked());
    r.ConductiveSystem = System1->isChecked();
    ImpedanceData1->setChecked(true);
    DielectricData1->setChecked(false);
    r.ReadCData = false;
    for (QAction* a : {SaveasDielectric1, ImpedanceData1, DielectricData1}) a->setEnabled(false);
}

void TMainForm::Dielectricsystem1Click() {
    Trace("Dielectricsystem1Click");
    if (RefusedWhileRunning("Dielectric System")) return;
    Dielectricsystem1->setChecked(!Dielectricsystem1->isChecked());
    System1->setChecked(!Dielectricsystem1->isChecked());
    State().Run.ConductiveSystem = !Dielectricsystem1->isChecked();
    for (QAction* a : {SaveasDielectric1, ImpedanceData1, DielectricData1}) a->setEnabled(true);
}

void TMainForm::ImpedanceData1Click() {
    Trace("ImpedanceData1Click");
    if (RefusedWhileRunning("Read Z Data")) return;
    ImpedanceData1->setChecked(!ImpedanceData1->isChecked());
    DielectricData1->setChecked(!ImpedanceData1->isChecked());
    State().Run.ReadCData = !ImpedanceData1->isChecked();
}

void TMainForm::DielectricData1Click() {
    Trace("DielectricData1Click");
    if (RefusedWhileRunning("Read C Data")) return;
    DielectricData1->setChecked(!DielectricData1->isChecked());
    ImpedanceData1->setChecked(!DielectricData1->isChecked());
    State().Run.ReadCData = DielectricData1->isChecked();
}

// ---- small input dialogs -----------------------------------------------------------

void TMainForm::SurfaceBtn1Click() {
    Trace("SurfaceBtn1Click");
    if (RefusedWhileRunning("Enter Sample Area")) return;
    auto* area = dynamic_cast<dialogs::TSAreaForm*>(FindWindow("SAreaForm"));
    if (!area) {
        NotAvailable("Enter Sample &Area");
        return;
    }
    ProgramState& s = State();
    const double old = s.Fit.SampleArea;
    const bool oldPerArea = s.Run.PerAreaUnits;
    if (!platform::qt::RunModal(*area)) return;
    s.Run.PerAreaUnits = std::fabs(s.Fit.SampleArea - 1.0) > 1e-6;
    Label1->setText(QString::fromStdString(PointToComma(s.Options.PeriodDecimal, area->Edit1->text().toStdString())));
    if (!s.Run.DataLoaded) {
        ShowMessageCode(32);
        return;
    }
    if (std::fabs(s.Fit.SampleArea - old) > 1e-6) {
        // The rows are read again from the file they were read from. The data
        // file's name can run ahead of them: a converted file (the other
        // representation), the name a simulation will be saved under, the
        // note a simulation's parameter file carries instead of a data file.
        // An older file under such a name would silently take the place of
        // the data.
        if (ReadImpedanceData(OpenDialog1FileName) != 0) {
            // The rows in memory are still scaled by the old area: keep it,
            // so that results saved from them carry the area they belong to.
            s.Fit.SampleArea = old;
            s.Run.PerAreaUnits = oldPerArea;
            ShowSampleArea();
            ShowMessageCode(2);
        } else {
            AfterDataLoaded();
        }
    }
}

void TMainForm::CreateFolder1Click() {
    Trace("CreateFolder1Click");
    Guarded([this] {
        dialogs::TFolderForm folder(this);
        platform::qt::RunModal(folder);
    });
}

void TMainForm::ChangeTitle1Click() {
    Trace("ChangeTitle1Click");
    dialogs::TTitleForm titles(this);
    if (platform::qt::RunModal(titles))
        Replot(State().Run.PlotKind);
    else
        State().Model.CustomTitles = false;
}

void TMainForm::SampleIDsClick() {
    Trace("SampleIDsClick");
    dialogs::TSampleIDForm ids(this);
    if (platform::qt::RunModal(ids)) Replot(State().Run.PlotKind);
}

}  // namespace pellucor::mainwindow
