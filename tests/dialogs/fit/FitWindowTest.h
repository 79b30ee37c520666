#pragma once
// Shared set-up of the fit-window tests: one offscreen QApplication for the
// whole run, scripted platform services, a fresh program state and windows,
// and a folder of its own under the test output for every test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <filesystem>
#include <string>

#include "OffscreenAppEnvironment.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"

namespace pellucor::fitwin::testing {

inline ::testing::Environment* const kWidgetTestEnvironment =
    pellucor::testing_support::AddOffscreenAppEnvironment<QApplication>();

// Counts the main window's simulate requests.
struct CountingMainHooks : MainWindowHooks {
    int simulateCalls = 0;
    bool lastNameFlag = false;
    std::string comboText;
    void SimulateCurrentModel(bool nameAsSimulationFile) override {
        ++simulateCalls;
        lastNameFlag = nameAsSimulationFile;
    }
    void SetModelComboText(const std::string& t) override { comboText = t; }
};

// Per-test folder below the test output, made empty.
inline std::string TestFolder() {
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string dir = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/fitwin/" + t->test_suite_name() + "." +
                            t->name() + "/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// A PNG of a window for a reviewer.
inline void SaveScreenshot(QWidget& w, const std::string& name) {
    const std::string dir = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/fitwin/";
    std::filesystem::create_directories(dir);
    w.grab().save(QString::fromStdString(dir + name + ".png"));
}

class FitWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
        folder = TestFolder();
        AppFolders& f = State().Folders;
        f.AppFolder = folder;
        f.ParFolder = folder + "par/";
        f.BmpFolder = folder + "bmp/";
        f.SimDataFolder = folder + "sim/";
        std::filesystem::create_directories(f.ParFolder);
    }
    void TearDown() override { ResetWindows(); }

    platform::testing::ScopedServices services;
    std::string folder;
};

}  // namespace pellucor::fitwin::testing
