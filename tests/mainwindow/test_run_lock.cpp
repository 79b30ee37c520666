// While a fit runs and pumps messages, the commands that would change its
// data are disabled, and refused with a message when they are reached
// anyway; afterwards everything is as it was, however the run ended.
#include <QAbstractButton>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "core/FitDriver.h"
#include "dialogs/fit/TProsimForm.h"
#include "mainwindow/MainRoadFixture.h"
#include "mainwindow/MainWindowFixture.h"
#include "platform/Services.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using pellucor::testing_support::MainWindowTest;

namespace {

// Enabled state of every action and tool-bar control of the window.
std::vector<std::pair<std::string, bool>> Snapshot(TMainForm& f) {
    std::vector<std::pair<std::string, bool>> s;
    for (QAction* a : f.findChildren<QAction*>()) s.emplace_back(a->objectName().toStdString(), a->isEnabled());
    for (QWidget* w : f.findChildren<QWidget*>())
        if (qobject_cast<QAbstractButton*>(w) || w == f.Panel1)
            s.emplace_back(w->objectName().toStdString(), w->isEnabled());
    return s;
}

const char* const kRunning =
    "A fit is running. Wait until it ends, or close the \"Please wait\" window to stop it.";

}  // namespace

TEST_F(MainWindowTest, DataCommandsAreLockedWhileAFitPumpsMessages) {
    TMainForm& f = Start();
    f.show();
    const auto before = Snapshot(f);
    State().Spectrum.PointCount = 12;

    struct Seen {
        bool open, paste, retrieve, deletePoint, exit, model, param, options, area, popupOpen, buttonOpen, save;
        bool plotStillWorks;
    } seen{};
    std::vector<platform::testing::ShownMessage> refusals;
    // The fit pumps one message after a step: commands arrive in the middle of the run.
    services.pump.stopAfter = 1;
    services.pump.onStop = [&] {
        seen.open = f.Open1->isEnabled();
        seen.paste = f.Paste1->isEnabled();
        seen.retrieve = f.RetrievePars->isEnabled();
        seen.deletePoint = f.DeleteSelectedPoint1->isEnabled() || f.PopDeletePoint->isEnabled();
        seen.exit = f.Exit1->isEnabled();
        seen.model = f.Model1->isEnabled() || f.MasterBtn->isEnabled();
        seen.param = f.ParamList->isEnabled();
        seen.options = f.Option1->isEnabled();
        seen.area = f.SurfaceBtn1->isEnabled() || f.Panel1->isEnabled();
        seen.popupOpen = f.PopOpen->isEnabled();
        seen.buttonOpen = f.ToolButtons[6]->isEnabled();
        seen.save = f.SavePars->isEnabled() || f.ToolButtons[1]->isEnabled() || f.SaveImpedaneData1->isEnabled() ||
                    f.PopSaveImpedance->isEnabled() || f.SaveasDielectric1->isEnabled();
        // Reached anyway (another window calling, a shortcut): refused with a message.
        services.messages.clear();
        f.Open1Click();
        f.Paste1Click();
        f.DeleteSelectedPoint1Click();
        f.Model1Click();
        f.ParamListClick();
        f.Exit1Click();
        // Saving mid-fit would write the simplex's trial point under the
        // last iteration's chi-squared.
        f.SaveParsClick();
        f.SaveImpedaneData1Click();
        f.SaveasDielectric1Click();
        f.close();
        // A second run is refused too.
        bool secondRan = false;
        f.RunLocked([&] { secondRan = true; });
        EXPECT_FALSE(secondRan);
        refusals = services.messages.transcript();
        // Redrawing is harmless and stays available.
        const int replots = Chart().ReplotCount();
        f.Bode1->trigger();
        seen.plotStillWorks = Chart().ReplotCount() == replots + 1;
    };
    f.RunLocked([&] {
        EXPECT_TRUE(f.RunInProgress);
        platform::PumpOneMessage();
    });

    EXPECT_FALSE(seen.open || seen.paste || seen.retrieve || seen.deletePoint || seen.exit || seen.model ||
                 seen.param || seen.options || seen.area || seen.popupOpen || seen.buttonOpen || seen.save);
    EXPECT_TRUE(seen.plotStillWorks);
    ASSERT_EQ(refusals.size(), 11u);
    EXPECT_EQ(refusals[0].caption, "Open");
    EXPECT_EQ(refusals[2].caption, "Delete Selected Point");
    EXPECT_EQ(refusals[3].caption, "Select Model & Run Mode");
    EXPECT_EQ(refusals[5].caption, "Exit");
    EXPECT_EQ(refusals[6].caption, "Save Parameters");
    EXPECT_EQ(refusals[7].caption, "Save Impedance Data");
    EXPECT_EQ(refusals[8].caption, "Save Converted (C or Z Data)");
    EXPECT_EQ(refusals[10].caption, "Run");
    for (const auto& r : refusals) EXPECT_EQ(r.text, kRunning);
    // The window was not closed, the data are as they were.
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(State().Spectrum.PointCount, 12);

    // Afterwards: every control as before (entries disabled at start stay disabled).
    EXPECT_FALSE(f.RunInProgress);
    EXPECT_EQ(Snapshot(f), before);
    services.messages.clear();
    f.Exit1->trigger();
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(services.messages.transcript().empty());
}

TEST_F(MainWindowTest, ARunThatFailsGivesTheCommandsBackAsWell) {
    TMainForm& f = Start();
    const auto before = Snapshot(f);
    EXPECT_THROW(f.RunLocked([&] {
        EXPECT_FALSE(f.Open1->isEnabled());
        throw std::runtime_error("engine failure");
    }),
                 std::runtime_error);
    EXPECT_FALSE(f.RunInProgress);
    EXPECT_EQ(Snapshot(f), before);
    EXPECT_TRUE(f.Open1->isEnabled());
    EXPECT_FALSE(f.SaveasDielectric1->isEnabled());
}

// Choosing a model with automatic start values evaluates them before the
// fit: that evaluation minimises and pumps messages as the fit does, so it
// is locked as well. Unlocked, a second "Select Model" given meanwhile
// changed the code under the minimisation, which went on indexing the
// parameters of the old code past the new code's count.
class RunLockRoadTest : public pellucor::testing_support::MainRoadTest {};

TEST_F(RunLockRoadTest, TheStartValueEvaluationIsLockedLikeTheFit) {
    std::filesystem::path data;
    TMainForm& f = StartWithOpenedData("run-lock-start-values", {10.0, 1e-5, 100.0}, "rcr.txt", data);
    ASSERT_TRUE(State().Run.DataLoaded);
    int pumps = 0, unlocked = 0;
    std::vector<std::string> refusals;
    services.pump.stopAfter = 1;
    services.pump.onStop = [&] {
        services.pump.stopAfter = services.pump.calls + 1;
        ++pumps;
        if (!f.RunInProgress) ++unlocked;
        // Reached anyway in the middle: refused, the code stays.
        const size_t shown = services.messages.transcript().size();
        f.Model1Click();
        if (services.messages.transcript().size() > shown)
            refusals.push_back(services.messages.transcript().back().caption);
    };
    // The refusals are plain boxes; the end question is left unanswered (No).
    services.messages.onUnexpected = [](const std::string&) {};
    State().Options.NoiseType = -1;
    ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
    f.Model1Click();
    services.pump.onStop = nullptr;
    EXPECT_GT(pumps, 0);
    EXPECT_EQ(unlocked, 0) << "of " << pumps << " pumps";
    EXPECT_EQ(std::count(refusals.begin(), refusals.end(), "Select Model & Run Mode"), pumps);
    EXPECT_EQ(State().Circuit.Code, "R(CR)");
    EXPECT_FALSE(f.RunInProgress);
    EXPECT_TRUE(f.Model1->isEnabled());
}

// The quick simulator stays open beside the main window, and its "Update"
// can be pressed while a recomputation pumps messages. Refused, it must
// leave the run alone: it used to switch to simulate mode and write its
// values into the Start column before the refusal, so the rest of the
// recomputation simulated those values over the measured rows.
TEST_F(RunLockRoadTest, ARefusedQuickSimulatorUpdateChangesNothing) {
    std::filesystem::path data;
    TMainForm& f = StartWithOpenedData("run-lock-prosim", {10.0, 1e-5, 100.0}, "rcr.txt", data);
    ASSERT_TRUE(State().Run.DataLoaded);
    services.messages.onUnexpected = [](const std::string&) {};
    State().Options.NoiseType = -1;
    ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
    f.Model1Click();
    ASSERT_TRUE(State().Run.ModelValid);
    ASSERT_FALSE(State().Run.SimulateMode);
    const int points = State().Spectrum.PointCount;
    const double firstFrequency = State().Spectrum.Frequency[1];
    const std::string start1 = Windows().Par->StartText(1);

    auto* prosim = dynamic_cast<fitwin::TProsimForm*>(f.FindWindow("ProsimForm"));
    ASSERT_NE(prosim, nullptr);
    // Filled as the main window fills it before showing it, Rs changed.
    prosim->LoadFromParameterForm();
    prosim->Edits[1]->setText("777");
    services.messages.clear();
    services.pump.calls = 0;
    services.pump.stopAfter = 1;
    services.pump.onStop = [&] { prosim->RefreshBitBtn->click(); };
    // As the recomputation after a retrieve: evaluated twice, locked.
    f.RunLocked([&] {
        ComputeAndShow(data.string());
        ComputeAndShow(data.string());
    });
    services.pump.onStop = nullptr;

    ASSERT_EQ(Transcript().size(), 1u);
    EXPECT_EQ(Transcript()[0].first, kRunning);
    EXPECT_EQ(Transcript()[0].second, "Simulate");
    EXPECT_FALSE(State().Run.SimulateMode);
    EXPECT_FALSE(State().Run.SimulatedResults);
    EXPECT_EQ(Windows().Par->StartText(1), start1);
    EXPECT_EQ(State().Spectrum.PointCount, points);
    EXPECT_EQ(State().Spectrum.Frequency[1], firstFrequency);
    EXPECT_EQ(State().Files.DataFileName, data.string());
    // The fit of the data again, not a simulation of Rs = 777: towards low
    // frequencies R(CR) tends to Rs + Rp = 110.
    ASSERT_TRUE(State().Run.ResultsComputed);
    const SpectrumBlock& sp = State().Spectrum;
    const double w = 2 * M_PI * sp.Frequency[sp.PointCount];
    const double lowEnd = 10.0 + 100.0 / (1.0 + std::pow(w * 1e-5 * 100.0, 2));
    EXPECT_NEAR(sp.ZRealCalc[sp.PointCount], lowEnd, 1e-3 * lowEnd);
}
