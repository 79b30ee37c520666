// What the main window shows after each command: the chart on the screen
// (its series, titles and the texts drawn over it), the caption and the
// tool bar, read back after commands that change the state without the
// usual replot, and compared with what a fresh draw of the state would show.
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/ProgramState.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/fit/TProsimForm.h"
#include "mainwindow/MainRoadFixture.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PainterDevice.h"
#include "platform/gfx/RecordingDevice.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using namespace pellucor::testing_support;
namespace fs = std::filesystem;
using platform::MsgResult;

namespace {

class ShownStateTest : public MainRoadTest {
protected:
    // The picture the screen shows: the chart painted as the window system
    // asks it to, from its buffer unless something changed it.
    QImage Screen() {
        TMainChart& c = Chart();
        (void)c.grab();
        return c.Picture().convertToFormat(QImage::Format_RGB32);
    }
    // The same chart drawn afresh from the state now.
    QImage Fresh() {
        TMainChart& c = Chart();
        platform::ImageDevice device(c.Width, c.Height);
        platform::Canvas canvas(&device);
        c.Draw(&canvas, chart::TRect{0, 0, c.Width, c.Height});
        return device.Image().convertToFormat(QImage::Format_RGB32);
    }
    ::testing::AssertionResult ScreenIsCurrent() {
        const QImage screen = Screen();
        const QImage fresh = Fresh();
        if (screen == fresh) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the screen shows another picture than the state draws; texts now: "
                                             << ::testing::PrintToString(Texts());
    }
    // Every text a fresh draw writes, in order.
    std::vector<std::string> Texts() {
        // Drawn straight onto the recording, not through the screen buffer
        // (which the next paint then draws afresh).
        TMainChart& c = Chart();
        c.Canvas->SetUseBuffer(false);
        platform::RecordingDevice rec(c.Width, c.Height);
        platform::Canvas canvas(&rec);
        c.Draw(&canvas, chart::TRect{0, 0, c.Width, c.Height});
        c.Canvas->SetUseBuffer(true);
        (void)c.grab();
        std::vector<std::string> out;
        for (const std::string& call : rec.CallsStartingWith("TextOut ")) {
            std::istringstream in(call);
            std::string word;
            int x = 0, y = 0;
            in >> word >> x >> y;
            std::string rest;
            std::getline(in, rest);
            if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
            out.push_back(rest);
        }
        return out;
    }
    // The fit texts under the circuit picture: the value after "Iter #:" and after "Chsq:", or "-".
    std::string FitTexts() {
        const auto t = Texts();
        std::string iter = "-", chsq = "-";
        for (size_t i = 0; i + 1 < t.size(); ++i) {
            if (t[i] == "Iter #:") iter = t[i + 1];
            if (t[i] == "Chsq:") chsq = t[i + 1];
        }
        return iter + " | " + chsq;
    }
    MainPlots& Plots() { return Chart().Plots(); }
    std::string Series(int n) {
        auto& s = Plots().Series(n);
        return std::string(s.Active ? "on " : "off ") + std::to_string(s.Count()) + " '" + s.Title + "'";
    }
    std::string Title() {
        std::string t;
        for (const auto& l : Plots().Chart().Title->Text) t += "[" + l + "]";
        return t;
    }
    // The chart's content: titles, axis titles, the four series with their values.
    std::string Content() {
        std::ostringstream o;
        auto& ch = Plots().Chart();
        o.precision(9);
        o << Title() << " | " << ch.BottomAxis->Title->Caption << " | " << ch.LeftAxis->Title->Caption << "\n";
        for (int n = 1; n <= 4; ++n) {
            auto& s = Plots().Series(n);
            o << " s" << n << " " << Series(n);
            if (s.Count() > 0) o << " y1=" << s.GetyValue(0) << " yN=" << s.GetyValue(s.Count() - 1);
            o << "\n";
        }
        return o.str();
    }
    // What a replot of the state now changes in the chart ("" when nothing).
    std::string ReplotChanges() {
        const std::string before = Content();
        Plots().Replot(State().Run.PlotKind);
        const std::string after = Content();
        return before == after ? std::string() : "WAS:\n" + before + "NOW:\n" + after;
    }
};

// Error plot asked for without results: the dispatcher draws nothing, and
// the plot of the data stays. Simulate mode chosen then has no fit texts; a
// screen still showing "Iter #:" and "Chsq:" of the fit before shows a
// state the program is no longer in (a resize would take them away).
TEST_F(ShownStateTest, APlotThatDrawsNothingStillTakesTheFitTextsAway) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("shown_nothing_drawn", Rcr{10, 1e-5, 100}, "good.txt", data);
    FitRcr(f, false);
    EnterArea(f, "2");  // the results go; the data stay, scaled
    f.Bode1Click();
    f.Error1Click();  // no results: nothing drawn, Bode stays
    ASSERT_EQ(Plots().PlottedKind(), 2);
    EXPECT_TRUE(ScreenIsCurrent());
    ASSERT_NE(FitTexts(), "- | -");
    ChooseNoiselessSimulation(f, "R(CR)");
    ASSERT_TRUE(State().Run.SimulateMode);
    EXPECT_EQ(Plots().PlottedKind(), 2);  // kind 4 in simulate mode: nothing drawn
    EXPECT_TRUE(ScreenIsCurrent());
    EXPECT_EQ(FitTexts(), "- | -");  // no fit texts in simulate mode
}

// A file the reader refuses after a fit: the plot of the data before stays
// (nothing is drawn without data), but its fit texts go with the data.
TEST_F(ShownStateTest, ARefusedFileTakesTheFitTextsOfTheDataBeforeAway) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("shown_refused", Rcr{10, 1e-5, 100}, "good.txt", data);
    FitRcr(f, false);
    ASSERT_EQ(FitTexts().substr(0, 4), "2 | ");
    (void)Screen();
    OpenRefusedFile(f);
    EXPECT_TRUE(ScreenIsCurrent());
    EXPECT_EQ(FitTexts(), "- | -");
}

// A simulation saved as data is read back as the data, with the model it
// was simulated with (and, where the program keeps them, its results): the
// chart names that model and shows what a replot of that state shows.
TEST_F(ShownStateTest, ASavedSimulationIsShownAsTheDataItBecame) {
    struct Case {
        const char* name;
        bool lumarest;
        bool calculatedShown;  // the program keeps the simulation as results
    } cases[] = {{"Lumarest", true, false}, {"Tamberic", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeProgramFolder(std::string("shown_saved_simulation_") + c.name);
        TMainForm& f = c.lumarest ? StartLumarest() : Start();
        ChooseNoiselessSimulation(f, "R(CR)");
        auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
        ASSERT_NE(par, nullptr);
        par->SetStartText(1, "10");
        par->SetStartText(2, "1E-4");
        par->SetStartText(3, "100");
        State().Run.ParamsValid = true;
        f.SimulateCurrentModel(true);
        services.messages.Answer(MsgResult::Yes);  // Save with this filename?
        f.SaveImpedaneData1Click();
        ASSERT_TRUE(State().Run.DataLoaded);
        ASSERT_TRUE(State().Run.ModelValid);

        EXPECT_EQ(Title(), "[R(CR).sim][Model : R(CR)     Wgt : Modulus]");
        // 10 kHz down by 0.8 while above 0.1 Hz: 0.8^k > 1e-5 for k = 0..51.
        EXPECT_EQ(Plots().Series(1).Count(), 52);
        auto& calc = Plots().Series(2);
        EXPECT_EQ(calc.Active, c.calculatedShown);
        if (c.calculatedShown) {
            ASSERT_EQ(calc.Count(), 52);
            // R(CR) of 10 ohm, 100 uF, 100 ohm: -Z'' at 10 kHz.
            const double w = 2 * M_PI * 1e4, a = 0.01, b = w * 1e-4;
            double lowest = calc.GetyValue(0);
            for (int i = 1; i < calc.Count(); ++i) lowest = std::min(lowest, calc.GetyValue(i));
            EXPECT_NEAR(lowest, b / (a * a + b * b), 1e-6);
        }
        EXPECT_EQ(ReplotChanges(), "");
        EXPECT_TRUE(ScreenIsCurrent());
        services.messages.clear();
        form.reset();
        ResetProgramState();
        ResetWindows();
    }
}

// "Save Parameters" in simulate mode saves the simulated spectrum first and
// reads it back as the data, with the model and results it keeps: shown so.
TEST_F(ShownStateTest, ResultsSavedInSimulateModeShowTheSimulationAsFittedData) {
    MakeProgramFolder("shown_saved_simulation_results");
    TMainForm& f = StartLumarest();
    ChooseNoiselessSimulation(f, "R(CR)");
    auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
    ASSERT_NE(par, nullptr);
    par->SetStartText(1, "10");
    par->SetStartText(2, "1E-4");
    par->SetStartText(3, "100");
    State().Run.ParamsValid = true;
    f.SimulateCurrentModel(true);
    services.messages.Answer(MsgResult::Yes);  // Save results with this filename?
    f.SaveParsClick();
    ASSERT_TRUE(fs::exists(root / "data/simulation data/R(CR).sim"));
    ASSERT_TRUE(State().Run.ModelValid);
    ASSERT_TRUE(State().Run.ResultsComputed);
    EXPECT_EQ(Title(), "[R(CR).sim][Model : R(CR)     Wgt : Modulus]");
    EXPECT_EQ(Plots().Series(1).Count(), 52);
    EXPECT_EQ(Plots().Series(2).Count(), 52);
    EXPECT_EQ(ReplotChanges(), "");
    EXPECT_TRUE(ScreenIsCurrent());
}

// New data after a fit (another file, pasted data, the same data under a
// new sample area) have no fit yet: the texts under the picture show none,
// as after the first file, not the iteration and chi-squared of the fit of
// the data before.
TEST_F(ShownStateTest, NewDataShowNoFitOfTheDataBefore) {
    struct Case {
        const char* name;
        std::function<void(TMainForm&)> load;
    } cases[] = {
        {"another file",
         [this](TMainForm& f) {
             const fs::path other = WriteRcrData(Rcr{20, 2e-6, 300}, "other.txt");
             services.fileDialogs.AnswerOpen(other.string());
             f.Open1Click();
         }},
        {"pasted data", [this](TMainForm& f) { PasteThroughWindow(f, ClipboardRcrText(Rcr{20, 2e-6, 300})); }},
        {"a new sample area", [this](TMainForm& f) { EnterArea(f, "2"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path data;
        TMainForm& f = StartWithOpenedData("shown_new_data", Rcr{10, 1e-5, 100}, "good.txt", data);
        ASSERT_EQ(FitTexts(), "0 | 0.00E+00");  // the first file
        FitRcr(f, false);
        ASSERT_NE(FitTexts(), "0 | 0.00E+00");
        c.load(f);
        ASSERT_TRUE(State().Run.DataLoaded);
        ASSERT_FALSE(State().Run.ResultsComputed);
        EXPECT_FALSE(Plots().Series(2).Active);
        EXPECT_EQ(FitTexts(), "0 | 0.00E+00");
        services.messages.clear();
        form.reset();
        ResetProgramState();
        ResetWindows();
    }
}

// A model with more parameters than the points allow is refused before it
// is fitted. Its degrees of freedom (15 points - 15 parameters - 1) are no
// divisor for a chi-squared: no number, and certainly no negative one from
// the chi-squared of the model before.
TEST_F(ShownStateTest, ARefusedFitShowsNoChiSquaredPerNegativeDegreesOfFreedom) {
    MakeProgramFolder("shown_too_few_points");
    const fs::path small = WriteRcrData(Rcr{10, 1e-5, 100}, "fifteen.txt", 15, 3.0);
    TMainForm& f = StartLumarest();
    services.fileDialogs.AnswerOpen(small.string());
    f.Open1Click();
    FitRcr(f, false);
    ASSERT_TRUE(State().Run.ResultsComputed);
    services.messages.clear();
    ChooseModel("R(CR)(CR)(CR)(CR)(CR)(CR)(CR)", &fitwin::TCDCForm::RadioButton2);
    f.Model1Click();
    ASSERT_EQ(Transcript().size(), 1u);  // "Too few data points ..."
    ASSERT_EQ(State().Params.ParamCount, 15);
    EXPECT_FALSE(Plots().Series(2).Active);
    EXPECT_EQ(FitTexts(), "0 | ");
    EXPECT_TRUE(ScreenIsCurrent());
}

// A code the program cannot parse marks the model invalid; the fitted
// curve stays. The chart says so at once, as every later plot would, not
// after the next plot command.
TEST_F(ShownStateTest, AnInvalidCodeIsShownAsNoModel) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("shown_invalid_code", Rcr{10, 1e-5, 100}, "good.txt", data);
    FitRcr(f, false);
    ASSERT_EQ(Title(), "[good.txt][Model : R(CR)     Wgt : Modulus]");
    (void)Screen();
    ChooseModel("R(CK)", &fitwin::TCDCForm::RadioButton2);
    f.Model1Click();
    ASSERT_FALSE(State().Run.ModelValid);
    EXPECT_EQ(Title(), "[good.txt][Model : Unknown     Wgt : Modulus]");
    EXPECT_EQ(Plots().Series(2).Count(), 40);  // the results of R(CR) stay
    EXPECT_EQ(ReplotChanges(), "");
    EXPECT_TRUE(ScreenIsCurrent());
}

// The parameter window closed with Cancel leaves the run in monitor mode,
// which has no fit texts: the screen shows none either.
TEST_F(ShownStateTest, ACancelledParameterWindowShowsTheRunModeItLeaves) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("shown_par_cancelled", Rcr{10, 1e-5, 100}, "good.txt", data);
    FitRcr(f, false);
    ASSERT_NE(FitTexts(), "- | -");
    (void)Screen();
    modal.runner.answers.push_back(false);
    f.ParamListClick();
    ASSERT_TRUE(State().Run.MonitorMode);
    EXPECT_TRUE(ScreenIsCurrent());
    EXPECT_EQ(FitTexts(), "- | -");
    EXPECT_EQ(Plots().Series(2).Count(), 40);
}

// A fit stopped in the progress window ends where it was stopped, and the
// values it reached stay. Wherever the stop falls, the chart, the texts
// under it and the parameter window show those values: the calculated
// curve of the end values, and the chi-squared the chart shows is the one
// beside the grid.
TEST_F(ShownStateTest, AStoppedFitShowsTheValuesItReachedEverywhere) {
    struct Case {
        const char* name;
        bool fromParameterWindow;
    } cases[] = {{"Select Model & Run Mode", false}, {"Edit Parameters & Run", true}};
    for (const Case& c : cases) {
        for (int stopAt = 2; stopAt <= 40; ++stopAt) {
            SCOPED_TRACE(std::string(c.name) + ", stopped at pump call " + std::to_string(stopAt));
            fs::path data;
            TMainForm& f = StartWithOpenedData("shown_stopped", Rcr{10, 1e-5, 100}, "good.txt", data);
            auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
            ASSERT_NE(par, nullptr);
            State().Options.NoiseType = -1;
            if (c.fromParameterWindow) {
                FitRcr(f, false);
                modal.runner.answers.push_back(true);
                modal.runner.whileOpen = [par](QDialog&) {
                    par->IternRadioBtn->setChecked(true);
                    par->SetStartText(3, "300");
                    par->OKBitBtnClick();
                };
            } else {
                ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
            }
            services.messages.clear();
            services.messages.Answer(MsgResult::No);  // should the run end before the stop
            services.pump.calls = 0;
            services.pump.stopAfter = stopAt;
            services.pump.onStop = [] { State().Run.StopRequested = true; };
            if (c.fromParameterWindow)
                f.ParamListClick();
            else
                f.Model1Click();
            services.pump.onStop = nullptr;
            services.pump.stopAfter = -1;
            modal.runner.whileOpen = nullptr;
            const bool stopped = services.messages.transcript().empty();  // a stop asks nothing
            if (stopped && State().Run.ResultsComputed) {
                const ParamSet& p = State().Params;
                for (int i = 1; i <= 3; ++i) {
                    const double end = std::exp(p.LnValue[i]) * p.Sign[i];
                    EXPECT_NEAR(std::stod(par->EndText(i)), end, 1e-3 * std::fabs(end)) << "End column, row " << i;
                }
                const std::string chsq = FitTexts().substr(FitTexts().find(" | ") + 3);
                EXPECT_NEAR(std::stod(par->Label9->text().toStdString()), std::stod(chsq), 0.006 * std::stod(chsq));
            }
            EXPECT_EQ(ReplotChanges(), "");
            EXPECT_TRUE(ScreenIsCurrent());
            services.messages.clear();
            form.reset();
            ResetProgramState();
            ResetWindows();
        }
    }
}

}  // namespace
