#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/OptionFiles.h"
#include "core/ProgramState.h"
#include "core/StartUp.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"

using namespace pellucor;
using platform::SettingsScope;
using platform::testing::MemorySettingsStore;
namespace fs = std::filesystem;

namespace {

const char* const kMachineKey = "Software\\Dovel Software\\Lumarest\\3.20d";
const char* const kUserKey = "Software\\Dovel Software\\Lumarest\\3.20d\\Settings";

struct RecordingMainWindow : MainWindowHooks {
    std::vector<std::string> calls;
    bool white = false;
    void SetDialogFolders() override { calls.push_back("SetDialogFolders"); }
    void SetChartFontSizes() override { calls.push_back("SetChartFontSizes"); }
    void ShowSampleArea() override { calls.push_back("ShowSampleArea"); }
    void SetChartBackground(bool w) override {
        white = w;
        calls.push_back("SetChartBackground");
    }
    void ShowSplashScreen() override { calls.push_back("ShowSplashScreen"); }
};

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
        AllocateWorkArrays();
        WindowSet w;
        w.Main = &main;
        InstallWindows(w);
        savedCwd = fs::current_path();
        root = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "startup" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root);
        fs::create_directories(root / "program");
        fs::current_path(root / "program");
        programFolder = fs::current_path().string();
    }
    void TearDown() override {
        fs::current_path(savedCwd);
        ResetWindows();
    }
    std::string& Value(SettingsScope scope, const char* name) {
        return services.settings.values[MemorySettingsStore::Slot(
            scope, scope == SettingsScope::Machine ? kMachineKey : kUserKey, name)];
    }
    bool Has(SettingsScope scope, const char* name) {
        return services.settings.values.count(MemorySettingsStore::Slot(
                   scope, scope == SettingsScope::Machine ? kMachineKey : kUserKey, name)) > 0;
    }

    RecordingMainWindow main;
    fs::path savedCwd, root;
    std::string programFolder;
    platform::testing::ScopedServices services;
};

TEST_F(StartUpTest, FirstStartOnAnEmptySettingsStore) {
    EXPECT_EQ(MachineSettingsKey(), kMachineKey);
    EXPECT_EQ(UserSettingsKey(), kUserKey);
    ASSERT_TRUE(StartUp());
    const ProgramState& st = State();
    const AppFolders& f = st.Folders;
    const std::string& app = programFolder;

    EXPECT_EQ(f.AppFolder, app);
    EXPECT_EQ(Value(SettingsScope::Machine, "InstallDir"), app);
    EXPECT_EQ(Value(SettingsScope::User, "AppPath"), app);
    EXPECT_EQ(Value(SettingsScope::User, "DataPath"), app + "/data/");
    EXPECT_EQ(Value(SettingsScope::User, "ParPath"), app + "/par/");
    EXPECT_EQ(Value(SettingsScope::User, "PicsPath"), app + "/pics/");
    EXPECT_EQ(Value(SettingsScope::User, "DocPath"), app + "/doc/");
    EXPECT_FALSE(Has(SettingsScope::User, "ImageViewer"));

    const std::pair<const std::string*, const char*> folders[] = {
        {&f.DataFolder, "/data/"},
        {&f.ParFolder, "/par/"},
        {&f.PicsFolder, "/pics/"},
        {&f.DocFolder, "/doc/"},
        {&f.SimDataFolder, "/data/simulation data/"},
        {&f.ExportFolder, "/data/export data/"},
        {&f.SimParFolder, "/par/simulation par/"},
        {&f.ReportFolder, "/report/"},
        {&f.BmpFolder, "/bmp/"},
        {&f.BatchFolder, "/batch/"},
        {&f.HistFolder, "/hist/"},
        {&f.TempFolder, "/temp/"},
        {&f.KineticsFolder, "/kinetics/"},
        {&f.CovarsFolder, "/covars/"},
    };
    for (const auto& [field, sub] : folders) EXPECT_EQ(*field, app + sub);

    // No folder is created at start-up.
    EXPECT_TRUE(fs::is_empty(app));

    EXPECT_EQ(st.Files.PrintTitle, "EIS Data Analysis");
    EXPECT_EQ(st.Files.DataFileName, app + "/data/temp.txt");
    EXPECT_EQ(st.Circuit.Code, "R(CR)");
    EXPECT_EQ(st.Params.ParamCount, 3);
    for (int i = 1; i <= 3; ++i) EXPECT_DOUBLE_EQ(st.Params.Value[i], 1.0);
    EXPECT_EQ(st.Print.QuadrantItem[1], 0);
    EXPECT_EQ(st.Print.QuadrantItem[2], 1);
    EXPECT_EQ(st.Print.QuadrantItem[3], 2);
    EXPECT_EQ(st.Print.QuadrantItem[4], 6);
    EXPECT_EQ(st.Print.LayoutCode, 1);
    EXPECT_EQ(st.Print.PlotsPerPage, 2);
    EXPECT_EQ(st.Options.Weighting, 1);
    EXPECT_EQ(st.Options.MaxIterations, 10);
    EXPECT_TRUE(st.Options.PeriodDecimal);

    // All parameters locked, the rows labelled for R(CR).
    const MemoryParamWindow& par = DefaultParamWindow();
    for (int r = 1; r <= MaxParams; ++r) EXPECT_TRUE(par.fixed[r]) << r;
    EXPECT_NE(par.label[1], par.label[4]);
    EXPECT_EQ(par.cdcLabel, "R(CR)");

    EXPECT_FALSE(main.white);
    EXPECT_EQ(main.calls.front(), "SetDialogFolders");
    EXPECT_EQ(main.calls.back(), "ShowSplashScreen");
    EXPECT_EQ(std::count(main.calls.begin(), main.calls.end(), "SetChartFontSizes"), 1);
    EXPECT_TRUE(services.messages.transcript().empty());
}

TEST_F(StartUpTest, LaterStartTakesTheStoredFolders) {
    const std::string install = (root / "installed here").string();
    Value(SettingsScope::Machine, "InstallDir") = install;
    Value(SettingsScope::User, "AppPath") = "/somewhere/else";
    Value(SettingsScope::User, "DataPath") = "/home/u/measurements";  // no trailing '/'
    Value(SettingsScope::User, "ParPath") = "/home/u/pars/";
    Value(SettingsScope::User, "PicsPath") = "/home/u/pics/";
    Value(SettingsScope::User, "DocPath") = "/home/u/doc/";
    const auto before = services.settings.values;

    ASSERT_TRUE(StartUp());
    const AppFolders& f = State().Folders;
    EXPECT_EQ(f.AppFolder, install);  // not the working directory
    EXPECT_EQ(f.DataFolder, "/home/u/measurements/");
    EXPECT_EQ(f.ParFolder, "/home/u/pars/");
    EXPECT_EQ(f.PicsFolder, "/home/u/pics/");
    EXPECT_EQ(f.DocFolder, "/home/u/doc/");
    EXPECT_EQ(f.ReportFolder, install + "/report/");
    EXPECT_EQ(f.SimDataFolder, install + "/data/simulation data/");
    EXPECT_EQ(f.SimParFolder, install + "/par/simulation par/");
    EXPECT_EQ(State().Files.DataFileName, "/home/u/measurements/temp.txt");
    EXPECT_EQ(services.settings.values, before);  // nothing written
    EXPECT_FALSE(fs::exists(install));
}

TEST_F(StartUpTest, EmptyStoredFolderKeepsItsDefault) {
    const std::string install = (root / "inst").string();
    Value(SettingsScope::Machine, "InstallDir") = install;
    Value(SettingsScope::User, "AppPath") = install;
    Value(SettingsScope::User, "DataPath") = "";
    Value(SettingsScope::User, "ParPath") = "/home/u/pars";
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(State().Folders.DataFolder, install + "/data/");
    EXPECT_EQ(State().Folders.ParFolder, "/home/u/pars/");
    EXPECT_EQ(State().Folders.PicsFolder, install + "/pics/");  // not stored at all
    EXPECT_EQ(State().Files.DataFileName, install + "/data/temp.txt");
}

TEST_F(StartUpTest, OptionAndPrintLayoutFilesOfTheProgramFolderAreRead) {
    Value(SettingsScope::Machine, "InstallDir") = programFolder;
    {
        std::ofstream o(programFolder + "/tavriopt.cfg");
        o << "2\n0\n15\n-4\n7\n1\n0\n1\n4\n1\n-1\n0.2\n0.05\n1\n";
        std::ofstream p(programFolder + "/printopt.cfg");
        p << "5\n6\n7\n8\n3\n";
    }
    ASSERT_TRUE(StartUp());
    const ProgramState& st = State();
    EXPECT_EQ(st.Options.Weighting, 0);
    EXPECT_EQ(st.Options.MaxIterations, 15);
    EXPECT_EQ(st.Options.MinFreqExponent, -4);
    EXPECT_FALSE(st.Options.AutoSignZImag);
    EXPECT_TRUE(st.Options.ReverseZImag);
    EXPECT_FALSE(st.Options.PeriodDecimal);
    EXPECT_EQ(st.Options.NoiseType, -1);
    EXPECT_DOUBLE_EQ(st.Options.NoiseLevelUnity, 0.2);
    EXPECT_TRUE(main.white);
    EXPECT_EQ(st.Print.QuadrantItem[1], 5);
    EXPECT_EQ(st.Print.QuadrantItem[4], 8);
    EXPECT_EQ(st.Print.LayoutCode, 3);
}

TEST_F(StartUpTest, TheFourFoldersAreWrittenBackAtExit) {
    ASSERT_TRUE(StartUp());
    AppFolders& f = State().Folders;
    f.DataFolder = "/d/";
    f.ParFolder = "/p/";
    f.PicsFolder = "/x/";
    f.DocFolder = "/w/";
    f.ReportFolder = "/not stored/";
    const std::string appPath = Value(SettingsScope::User, "AppPath");
    const size_t count = services.settings.values.size();
    ASSERT_TRUE(WriteRegistrySettings());
    EXPECT_EQ(Value(SettingsScope::User, "DataPath"), "/d/");
    EXPECT_EQ(Value(SettingsScope::User, "ParPath"), "/p/");
    EXPECT_EQ(Value(SettingsScope::User, "PicsPath"), "/x/");
    EXPECT_EQ(Value(SettingsScope::User, "DocPath"), "/w/");
    EXPECT_EQ(Value(SettingsScope::User, "AppPath"), appPath);
    EXPECT_EQ(services.settings.values.size(), count);

    // The next start comes back with them.
    ResetProgramState();
    ASSERT_TRUE(StartUp());
    EXPECT_EQ(State().Folders.DataFolder, "/d/");
    EXPECT_EQ(State().Folders.DocFolder, "/w/");
}

TEST_F(StartUpTest, SettingsThatCannotBeStoredAreReportedAndStartUpGoesOn) {
    services.settings.failWrites = true;
    EXPECT_FALSE(StartUp());
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_NE(services.messages.transcript()[0].text.find("InstallDir"), std::string::npos);
    // The rest of the sequence ran.
    EXPECT_EQ(State().Folders.AppFolder, programFolder);
    EXPECT_EQ(State().Folders.DataFolder, programFolder + "/data/");
    EXPECT_EQ(State().Circuit.Code, "R(CR)");
    EXPECT_EQ(State().Params.ParamCount, 3);
    EXPECT_EQ(main.calls.back(), "ShowSplashScreen");

    services.messages.clear();
    EXPECT_FALSE(WriteRegistrySettings());
    EXPECT_EQ(services.messages.transcript().size(), 1u);
}

TEST_F(StartUpTest, DefaultSettings) {
    ProgramState& st = State();
    st.Fit.SampleArea = 3;
    st.Options.ScientificFormat = false;
    st.Fit.SimplexStep = 1;
    st.Fit.MaxEvaluations = 5;
    st.Fit.SimplexTolerance = st.Fit.ChiSqTolerance = st.Fit.ParamTolerance = 1;
    st.Fit.NoiseWindow = 9;
    st.Fit.ResistanceScale = 1e6;
    st.Spectrum.HighImpedance = true;
    st.Options.NoiseType = -1;
    st.Options.NoiseLevelUnity = st.Options.NoiseLevelModulus = 5;
    st.Run.UserStartValues = true;
    st.Options.Weighting = 0;
    st.Run.PlotKind = 5;
    st.Fit.ChiSqDivisor = 17;
    st.Run.SimulateMode = st.Run.ResultsComputed = st.Run.SimulatedResults = true;
    st.Run.DataLoaded = st.Run.KKView = true;
    st.Run.IterateMode = false;
    st.Fit.SkipThreshold = 1;
    st.Spectrum.PointCount = 40;
    st.Extrap.ExtrapDivisor = 7;
    st.Extrap.ExtrapolationOrder = st.Extrap.ExtrapolationOrder2 = 8;
    st.Extrap.ExtrapolationMode = 0;
    st.Extrap.OmegaLow = st.Extrap.OmegaHigh = 1;

    SetDefaultSettings();

    EXPECT_DOUBLE_EQ(st.Fit.SampleArea, 1.0);
    EXPECT_TRUE(st.Options.ScientificFormat);
    EXPECT_DOUBLE_EQ(st.Fit.SimplexStep, 0.3);
    EXPECT_EQ(st.Fit.MaxEvaluations, 200000);
    EXPECT_DOUBLE_EQ(st.Fit.SimplexTolerance, 5e-7);
    EXPECT_DOUBLE_EQ(st.Fit.ChiSqTolerance, 1e-5);
    EXPECT_DOUBLE_EQ(st.Fit.ParamTolerance, 0.1);
    EXPECT_EQ(st.Fit.NoiseWindow, 3);
    EXPECT_DOUBLE_EQ(st.Fit.ResistanceScale, 1.0);
    EXPECT_FALSE(st.Spectrum.HighImpedance);
    EXPECT_EQ(st.Options.NoiseType, 1);
    EXPECT_DOUBLE_EQ(st.Options.NoiseLevelUnity, 0.1);
    EXPECT_DOUBLE_EQ(st.Options.NoiseLevelModulus, 0.01);
    EXPECT_FALSE(st.Run.UserStartValues);
    EXPECT_EQ(st.Options.Weighting, 1);
    EXPECT_EQ(st.Run.PlotKind, 1);
    EXPECT_EQ(st.Fit.ChiSqDivisor, 1);
    EXPECT_FALSE(st.Run.SimulateMode || st.Run.ResultsComputed || st.Run.SimulatedResults ||
                 st.Run.DataLoaded || st.Run.KKView);
    EXPECT_TRUE(st.Run.IterateMode);
    EXPECT_EQ(st.Fit.SkipThreshold, 50);
    EXPECT_EQ(st.Spectrum.PointCount, 0);
    EXPECT_EQ(st.Extrap.ExtrapDivisor, 2);
    EXPECT_EQ(st.Extrap.ExtrapolationOrder, 3);
    EXPECT_EQ(st.Extrap.ExtrapolationOrder2, 3);
    EXPECT_EQ(st.Extrap.ExtrapolationMode, 1);
    EXPECT_DOUBLE_EQ(st.Extrap.OmegaLow, TwoPi * 1e-4);
    EXPECT_DOUBLE_EQ(st.Extrap.OmegaHigh, TwoPi * 1e6);
    for (int r = 1; r <= MaxParams; ++r) EXPECT_TRUE(DefaultParamWindow().fixed[r]);
    EXPECT_EQ(main.calls, std::vector<std::string>{"ShowSampleArea"});
}

TEST_F(StartUpTest, WritersCreateTheFoldersStartUpOnlyNames) {
    ASSERT_TRUE(StartUp());
    ASSERT_TRUE(fs::is_empty(programFolder));
    // The option file lies in the program folder itself; a missing program
    // folder is created by the writer.
    State().Folders.AppFolder = programFolder + "/moved/away";
    ASSERT_TRUE(WriteOptionFile());
    EXPECT_TRUE(fs::exists(programFolder + "/moved/away/tavriopt.cfg"));
}

}  // namespace
