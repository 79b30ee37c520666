// Several sessions of each program on one settings store kept on disk (the
// INI files the programs use), as a person starts, works, closes the main
// window and starts again: what was chosen comes back, a store with nonsense
// in it starts cleanly, and a save that cannot be done says so.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "MainRoadFixture.h"
#include "core/OptionFiles.h"
#include "dialogs/fit/TOptForm.h"
#include "platform/qt/QtServices.h"

namespace pellucor::testing_support {
namespace {

class SessionsTest : public MainRoadTest {
protected:
    void SetUp() override {
        MainRoadTest::SetUp();
        savedCwd = fs::current_path();
        root = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / "sessions" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(root);
        fs::create_directories(root / "store");
        fs::create_directories(root / "elsewhere");
    }
    void TearDown() override {
        MainRoadTest::TearDown();
        fs::current_path(savedCwd);
    }

    // A new session: fresh program state, the store read anew from its files.
    TMainForm& StartSession(const mainwindow::ProgramProfile& p, const fs::path& workingDir) {
        form.reset();
        ResetProgramState();
        ResetWindows();
        fs::current_path(workingDir);
        ini = std::make_unique<platform::qt::IniSettingsStore>((root / "store" / "user.ini").string(),
                                                               (root / "store" / "machine.ini").string());
        platform::Services s = platform::services();
        s.settings = ini.get();
        platform::InstallServices(s);
        return Start(p);
    }
    // The main window closed the normal way.
    void EndSession() {
        form->close();
        form.reset();
        ini.reset();
    }

    fs::path savedCwd;
    std::unique_ptr<platform::qt::IniSettingsStore> ini;
};

TEST_F(SessionsTest, ChoicesOfOneSessionAreBackInTheNext) {
    for (const mainwindow::ProgramProfile* p : {static_cast<const mainwindow::ProgramProfile*>(&lumarest),
                                                static_cast<const mainwindow::ProgramProfile*>(&tamberic)}) {
        SCOPED_TRACE(p == &lumarest ? "Lumarest" : "Tamberic");
        fs::remove_all(root / "store");
        fs::remove_all(root / "program");
        fs::create_directories(root / "store");
        const fs::path program = root / "program";
        fs::create_directories(root / "data");
        // The folders an installation brings.
        for (const char* sub : {"data", "par", "data/simulation data", "data/export data", "par/simulation par",
                                "pics", "doc", "report", "bmp", "batch", "hist", "temp", "kinetics", "covars"})
            fs::create_directories(program / sub);

        // First start, from the program folder, on an empty store.
        TMainForm& f = StartSession(*p, program);
        EXPECT_EQ(State().Folders.AppFolder, program.string());
        EXPECT_EQ(State().Folders.DataFolder, program.string() + "/data/");

        // Data from a folder with blanks, a comma and letters beyond ASCII.
        const fs::path dataDir = program / "Zellen Ü, Reihe 2";
        fs::create_directories(dataDir);
        const Rcr c{12.0, 2e-5, 340.0};
        const fs::path data = WriteRcrData(c, "cell.txt");
        fs::rename(data, dataDir / "Zelle #1 ü.txt");
        services.fileDialogs.AnswerOpen((dataDir / "Zelle #1 ü.txt").string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded);
        FitRcr(f, false);
        // Results saved where the person chose.
        const fs::path parDir = program / "Ergebnisse; März=1";
        fs::create_directories(parDir);
        services.messages.Answer(platform::MsgResult::No);  // Save results with this filename?
        services.fileDialogs.AnswerSave((parDir / "fit ö.par").string());
        f.SaveParsClick();
        ASSERT_TRUE(fs::exists(parDir / "fit ö.par"));
        const std::string dataFolder = State().Folders.DataFolder;
        const std::string parFolder = State().Folders.ParFolder;
        EXPECT_EQ(dataFolder, dataDir.string() + "/");
        EXPECT_EQ(parFolder, parDir.string() + "/");

        services.fileDialogs.AnswerSave("/opt/bild betrachter/ansicht, v2");
        f.SetupImageViewer1Click();

        // Options changed in their dialog and saved.
        ProgramOptions& o = State().Options;
        o.Weighting = 0;
        o.MaxIterations = 7;
        o.MinFreqExponent = -4;
        o.MaxFreqExponent = 7;
        o.ErrorAsStdDev = true;
        o.NoiseType = 0;
        o.NoiseLevelUnity = 0.25;
        o.NoiseLevelModulus = 0.03;
        o.WhiteBackground = true;
        o.AutoSignZImag = false;
        o.ReverseZImag = true;
        o.SavePlotFormat = 3;
        o.PeriodDecimal = false;
        o.ScientificFormat = false;
        Windows().Opt->ShowOptions();
        const ProgramOptions chosen = o;
        auto* opt = dynamic_cast<fitwin::TOptForm*>(f.FindWindow("OptForm"));
        ASSERT_NE(opt, nullptr);
        services.messages.Answer(platform::MsgResult::Yes);
        opt->Button1Click();
        EndSession();

        // The next start, from another working directory.
        StartSession(*p, root / "elsewhere");
        EXPECT_TRUE(services.messages.transcript().empty());
        EXPECT_EQ(State().Folders.AppFolder, program.string());
        EXPECT_EQ(State().Folders.DataFolder, dataFolder);
        EXPECT_EQ(State().Folders.ParFolder, parFolder);
        EXPECT_EQ(ini->ReadString(platform::SettingsScope::User, UserSettingsKey(), "ImageViewer"),
                  "/opt/bild betrachter/ansicht, v2");
        const ProgramOptions& back = State().Options;
        EXPECT_EQ(back.Weighting, chosen.Weighting);
        EXPECT_EQ(back.MaxIterations, chosen.MaxIterations);
        EXPECT_EQ(back.MinFreqExponent, chosen.MinFreqExponent);
        EXPECT_EQ(back.MaxFreqExponent, chosen.MaxFreqExponent);
        EXPECT_EQ(back.ErrorAsStdDev, chosen.ErrorAsStdDev);
        EXPECT_EQ(back.NoiseType, chosen.NoiseType);
        EXPECT_DOUBLE_EQ(back.NoiseLevelUnity, chosen.NoiseLevelUnity);
        EXPECT_DOUBLE_EQ(back.NoiseLevelModulus, chosen.NoiseLevelModulus);
        EXPECT_EQ(back.WhiteBackground, chosen.WhiteBackground);
        EXPECT_EQ(back.AutoSignZImag, chosen.AutoSignZImag);
        EXPECT_EQ(back.ReverseZImag, chosen.ReverseZImag);
        EXPECT_EQ(back.SavePlotFormat, chosen.SavePlotFormat);
        EXPECT_EQ(back.PeriodDecimal, chosen.PeriodDecimal);
        EXPECT_EQ(back.ScientificFormat, chosen.ScientificFormat);
        // The open dialog starts in the folder of the last data.
        services.fileDialogs.AnswerOpen(std::nullopt);
        form->Open1Click();
        EXPECT_EQ(services.fileDialogs.requests.back().initialDir, dataFolder);
        EndSession();
    }
}

// A store a person has edited by hand or that outlived its folders: the
// program folder and the data folder are gone, a folder value is of another
// type, the image viewer was removed. The program starts without a word,
// works with data opened from elsewhere, says what it cannot do, and what it
// stores at exit is read cleanly by the next session.
TEST_F(SessionsTest, AStoreHoldingNonsenseStartsAndEndsCleanly) {
    for (const mainwindow::ProgramProfile* p : {static_cast<const mainwindow::ProgramProfile*>(&lumarest),
                                                static_cast<const mainwindow::ProgramProfile*>(&tamberic)}) {
        SCOPED_TRACE(p == &lumarest ? "Lumarest" : "Tamberic");
        fs::remove_all(root / "store");
        fs::create_directories(root / "store");
        const fs::path gone = root / "program that was removed";
        {
            platform::qt::IniSettingsStore store((root / "store" / "user.ini").string(),
                                                 (root / "store" / "machine.ini").string());
            const std::string u = UserSettingsKey();
            ASSERT_TRUE(store.WriteString(platform::SettingsScope::Machine, MachineSettingsKey(), "InstallDir",
                                          gone.string()));
            ASSERT_TRUE(store.WriteString(platform::SettingsScope::User, u, "AppPath", gone.string()));
            ASSERT_TRUE(store.WriteString(platform::SettingsScope::User, u, "DataPath", (gone / "data").string()));
            ASSERT_TRUE(store.WriteString(platform::SettingsScope::User, u, "ParPath", "PICTURE"));
            ASSERT_TRUE(store.WriteString(platform::SettingsScope::User, u, "PicsPath", "PICTURE"));
            ASSERT_TRUE(store.WriteString(platform::SettingsScope::User, u, "ImageViewer", (gone / "viewer").string()));
        }
        {
            // A value of another type, as a settings editor may leave it.
            std::string text = ReadText(root / "store" / "user.ini");
            const size_t at = text.find("PicsPath=PICTURE");
            ASSERT_NE(at, std::string::npos);
            text.replace(at, 16, "PicsPath=@Rect(1 2 -30 -40)");
            std::ofstream(root / "store" / "user.ini", std::ios::binary) << text;
        }
        TMainForm& f = StartSession(*p, root / "elsewhere");
        EXPECT_TRUE(services.messages.transcript().empty());
        const AppFolders& folders = State().Folders;
        EXPECT_EQ(folders.AppFolder, gone.string());
        EXPECT_EQ(folders.DataFolder, (gone / "data").string() + "/");
        // No text: the default stays.
        EXPECT_EQ(folders.PicsFolder, gone.string() + "/pics/");

        // Data opened from a folder that exists.
        fs::create_directories(root / "data");
        const fs::path data = WriteRcrData(Rcr{12.0, 2e-5, 340.0}, "cell.txt");
        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded);
        // The fit's own files belong in the program folder: each is reported
        // once, and the fit ends all the same.
        State().Options.NoiseType = -1;
        ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
        services.messages.autoOk = true;
        services.messages.Answer(platform::MsgResult::Ok);
        services.messages.Answer(platform::MsgResult::Ok);
        services.messages.Answer(platform::MsgResult::Ok);
        services.messages.Answer(platform::MsgResult::No);  // Want to save results?
        f.Model1Click();
        ASSERT_TRUE(State().Run.ResultsComputed);
        int notSaved = 0;
        for (const auto& m : services.messages.transcript()) notSaved += m.caption == "File not saved";
        EXPECT_EQ(notSaved, 3);
        // Their folder cannot be made: said so, nothing written anywhere.
        services.messages.clear();
        f.SaveParsClick();
        ASSERT_EQ(services.messages.transcript().size(), 1u);
        EXPECT_EQ(services.messages.transcript()[0].text, "Cannot create the folder.");
        EXPECT_FALSE(fs::exists(gone));
        EXPECT_EQ(std::distance(fs::directory_iterator(root / "data"), fs::directory_iterator()), 1);

        services.messages.clear();
        desktop.programs.results.push_back(-1);
        f.RunImageViewer1Click();
        ASSERT_EQ(services.messages.transcript().size(), 1u);
        EXPECT_EQ(services.messages.transcript()[0].text, "does not exist");
        EndSession();

        StartSession(*p, root / "elsewhere");
        EXPECT_TRUE(services.messages.transcript().empty());
        EXPECT_EQ(State().Folders.DataFolder, (root / "data").string() + "/");
        EXPECT_EQ(State().Folders.PicsFolder, gone.string() + "/pics/");
        EndSession();
    }
}

}  // namespace
}  // namespace pellucor::testing_support
