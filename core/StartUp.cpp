#include "core/StartUp.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "core/CircuitCode.h"
#include "core/FitDriver.h"
#include "core/OptionFiles.h"
#include "core/ProgramState.h"
#include "core/TextHelpers.h"
#include "core/WindowHooks.h"
#include "platform/Services.h"

namespace pellucor {

namespace {

namespace fs = std::filesystem;
using platform::SettingsScope;

const char* const kDefaultCode = "R(CR)";

// The program folder of a first run: the working directory, no trailing '/'.
std::string WorkingDirectory() {
    std::error_code ec;
    std::string dir = fs::current_path(ec).string();
    if (ec || dir.empty()) return ".";
    while (dir.size() > 1 && dir.back() == PathSep) dir.pop_back();
    return dir;
}

bool ExistsFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

void ReportSettingNotStored(const std::string& name) {
    platform::ShowMessage("The setting \"" + name +
                              "\" could not be stored; the program goes on with the folders "
                              "of this run.",
                          "Settings not saved");
}

}  // namespace

std::string MachineSettingsKey() {
    const AppFolders& f = State().Folders;
    return f.RegistryKey + f.VersionText;
}

std::string UserSettingsKey() { return MachineSettingsKey() + "\\Settings"; }

void SetDefaultFolders() {
    AppFolders& f = State().Folders;
    const std::string& app = f.AppFolder;
    f.DataFolder = app + "/data/";
    f.ParFolder = app + "/par/";
    f.PicsFolder = app + "/pics/";
    f.DocFolder = app + "/doc/";
    f.SimDataFolder = app + "/data/simulation data/";
    f.ExportFolder = app + "/data/export data/";
    f.SimParFolder = app + "/par/simulation par/";
    f.ReportFolder = app + "/report/";
    f.BmpFolder = app + "/bmp/";
    f.BatchFolder = app + "/batch/";
    f.HistFolder = app + "/hist/";
    f.TempFolder = app + "/temp/";
    f.KineticsFolder = app + "/kinetics/";
    f.CovarsFolder = app + "/covars/";
}

void NormaliseFolders() {
    AppFolders& f = State().Folders;
    for (std::string* folder :
         {&f.DataFolder, &f.ParFolder, &f.PicsFolder, &f.DocFolder, &f.SimDataFolder,
          &f.ExportFolder, &f.SimParFolder, &f.ReportFolder, &f.BmpFolder, &f.BatchFolder,
          &f.HistFolder, &f.TempFolder, &f.KineticsFolder, &f.CovarsFolder})
        *folder = WithTrailingBackslash(*folder);
}

bool ReadRegistrySettings() {
    platform::SettingsStore& store = *platform::services().settings;
    AppFolders& f = State().Folders;
    bool allStored = true;
    auto write = [&](SettingsScope scope, const std::string& key, const std::string& name,
                     const std::string& value) {
        if (store.WriteString(scope, key, name, value)) return;
        // One message for the whole sequence is enough.
        if (allStored) ReportSettingNotStored(name);
        allStored = false;
    };

    const std::string machineKey = MachineSettingsKey();
    const std::optional<std::string> installDir =
        store.ReadString(SettingsScope::Machine, machineKey, "InstallDir");
    if (installDir && !installDir->empty()) {
        f.AppFolder = *installDir;
    } else {
        f.AppFolder = WorkingDirectory();
        write(SettingsScope::Machine, machineKey, "InstallDir", f.AppFolder);
    }

    const std::string userKey = UserSettingsKey();
    const std::optional<std::string> appPath = store.ReadString(SettingsScope::User, userKey, "AppPath");
    const bool stored = appPath && !appPath->empty();
    SetDefaultFolders();
    NormaliseFolders();
    if (!stored) {
        write(SettingsScope::User, userKey, "DataPath", f.DataFolder);
        write(SettingsScope::User, userKey, "ParPath", f.ParFolder);
        write(SettingsScope::User, userKey, "PicsPath", f.PicsFolder);
        write(SettingsScope::User, userKey, "DocPath", f.DocFolder);
        write(SettingsScope::User, userKey, "AppPath", f.AppFolder);
    } else {
        auto read = [&](const char* name, std::string& folder) {
            // An empty value would make the root the folder; the default stays.
            if (auto v = store.ReadString(SettingsScope::User, userKey, name); v && !v->empty())
                folder = *v;
        };
        read("DataPath", f.DataFolder);
        read("ParPath", f.ParFolder);
        read("PicsPath", f.PicsFolder);
        read("DocPath", f.DocFolder);
    }
    NormaliseFolders();
    return allStored;
}

bool WriteRegistrySettings() {
    platform::SettingsStore& store = *platform::services().settings;
    const AppFolders& f = State().Folders;
    const std::string key = UserSettingsKey();
    bool ok = store.WriteString(SettingsScope::User, key, "DataPath", f.DataFolder);
    ok = store.WriteString(SettingsScope::User, key, "ParPath", f.ParFolder) && ok;
    ok = store.WriteString(SettingsScope::User, key, "PicsPath", f.PicsFolder) && ok;
    ok = store.WriteString(SettingsScope::User, key, "DocPath", f.DocFolder) && ok;
    if (!ok)
        platform::ShowMessage("The last used folders could not be stored.", "Settings not saved");
    return ok;
}

void SetDialogFolders() {
    ProgramState& st = State();
    AppFolders& f = st.Folders;
    Windows().Main->SetDialogFolders();
    f.DataFolder = WithTrailingBackslash(f.DataFolder);
    f.SimDataFolder = f.AppFolder + "/data/simulation data/";
    f.SimParFolder = f.AppFolder + "/par/simulation par/";
    st.Files.DataFileName = f.DataFolder + "temp.txt";
    st.Files.PrintTitle = "EIS Data Analysis";
}

void SetDefaultSettings() {
    ProgramState& st = State();
    FitSettings& fit = st.Fit;
    ProgramOptions& opt = st.Options;
    RunState& run = st.Run;

    fit.SampleArea = 1.0;
    Windows().Main->ShowSampleArea();
    opt.ScientificFormat = true;
    Windows().Par->LockAllParameters();
    fit.SimplexStep = 0.3;
    fit.MaxEvaluations = 200000;
    fit.SimplexTolerance = 5e-7;
    fit.ChiSqTolerance = 1e-5;
    fit.ParamTolerance = 0.1;
    fit.NoiseWindow = 3;
    fit.ResistanceScale = 1.0;
    st.Spectrum.HighImpedance = false;
    opt.NoiseType = 1;
    opt.NoiseLevelUnity = 0.1;
    opt.NoiseLevelModulus = 0.01;
    run.UserStartValues = false;
    opt.Weighting = 1;
    run.PlotKind = 1;
    fit.ChiSqDivisor = 1;
    run.SimulateMode = false;
    run.ResultsComputed = false;
    run.SimulatedResults = false;
    run.DataLoaded = false;
    run.KKView = false;
    run.IterateMode = true;
    fit.SkipThreshold = 50;
    st.Spectrum.PointCount = 0;
    st.Extrap.ExtrapDivisor = 2;
    st.Extrap.ExtrapolationOrder = 3;
    st.Extrap.ExtrapolationOrder2 = 3;
    st.Extrap.ExtrapolationMode = 1;
    st.Extrap.OmegaLow = TwoPi * 1e-4;
    st.Extrap.OmegaHigh = TwoPi * 1e6;
}

bool StartUp() {
    ProgramState& st = State();
    st.Files.PrintTitle = "EIS Data Analysis Results";
    const bool settingsStored = ReadRegistrySettings();
    SetDialogFolders();
    SetDefaultSettings();

    if (ExistsFile(OptionFilePath())) ReadOptionFile();
    Windows().Opt->ShowOptions();
    Windows().Main->SetChartBackground(st.Options.WhiteBackground);

    st.Circuit.Code = kDefaultCode;
    st.Params.ParamCount = ParseCircuitCode(st.Circuit.Code);
    Windows().Par->ShowParameterLabels(st.Params.ParamCount);

    PrintLayout& print = st.Print;
    print.QuadrantItem[1] = 0;
    print.QuadrantItem[2] = 1;
    print.QuadrantItem[3] = 2;
    print.QuadrantItem[4] = 6;
    print.LayoutCode = 1;
    print.PlotsPerPage = 2;
    if (ExistsFile(PrintOptionFilePath())) ReadPrintOptionFile();
    Windows().PlotOpt->ShowPrintItems();

    for (int i = 1; i <= st.Params.ParamCount; ++i) st.Params.Value[i] = 1.0;

    RefreshAfterParametersLoaded();
    Windows().Main->SetChartFontSizes();
    Windows().Main->ShowSplashScreen();
    return settingsStored;
}

}  // namespace pellucor
