// The main road of both programs driven from the main window as a person
// would: open a data file, choose a model, fit, answer the questions, save,
// retrieve, simulate, paste, and the small input dialogs. The numbers are
// checked against closed forms worked out here, the files by name and text.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "apps/LumarestProfile.h"
#include "core/FileWriting.h"
#include "core/FitDriver.h"
#include "core/Messages.h"
#include "core/StartUp.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TOptForm.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/fit/TProsimForm.h"
#include "dialogs/input/SmallInputForms.h"
#include "dialogs/paste/TPasteForm.h"
#include "mainwindow/MainRoadFixture.h"
#include "mainwindow/MainWindowFixture.h"
#include "platform/Clipboard.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
namespace fs = std::filesystem;
using platform::MsgResult;
using pellucor::testing_support::MainWindowTest;
using namespace pellucor::testing_support;

TEST_F(MainRoadTest, OpenFitSaveAndExitEndToEnd) {
    MakeProgramFolder("main_road");
    const Rcr truth{12.5, 2.2e-5, 480.0};
    const fs::path data = WriteRcrData(truth, "cell7.txt");
    TMainForm& f = StartLumarest();
    ASSERT_EQ(State().Folders.AppFolder, root.string());
    f.show();

    // Open.
    services.fileDialogs.AnswerOpen(data.string());
    f.Open1Click();
    ASSERT_TRUE(State().Run.DataLoaded);
    EXPECT_EQ(State().Spectrum.PointCount, 40);
    EXPECT_EQ(State().Files.DataFileName, data.string());
    EXPECT_EQ(f.windowTitle().toStdString(), ".../data/cell7.txt - Lumarest");
    EXPECT_EQ(f.Label1->text(), "1");

    // Select the model, iterate with automatic start values; save at the end.
    State().Options.NoiseType = -1;
    ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
    services.messages.clear();
    services.messages.Answer(MsgResult::Yes);  // Want to save results?
    services.messages.Answer(MsgResult::Yes);  // Save results with this filename?
    f.Model1Click();
    ASSERT_EQ(modal.runner.shown.size(), 1u);
    EXPECT_EQ(modal.runner.shown[0].name, "CDCForm");

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Want to save results?", "Finished job....."},
        {"Save results with this filename?", ".../par/cell7, R(CR).par"},
    };
    EXPECT_EQ(Transcript(), expected);
    EXPECT_FALSE(f.RunInProgress);

    // Fitted values against the circuit the data came from.
    const ParamSet& p = State().Params;
    ASSERT_EQ(p.ParamCount, 3);
    const double want[] = {truth.rs, truth.c, truth.rp};
    for (int i = 1; i <= 3; ++i)
        EXPECT_NEAR(std::exp(p.LnValue[i]) / want[i - 1], 1.0, 1e-3) << "parameter " << i;

    // The files of the run by name and content.
    const fs::path par = root / "par" / "cell7, R(CR).par";
    const fs::path hst = root / "hist" / "cell7, R(CR).hst";
    const fs::path mat = root / "temp" / "cell7, R(CR).mat";
    const fs::path ma2 = root / "temp" / "cell7, R(CR).ma2";
    const fs::path var = root / "covars" / "cell7, R(CR).var";
    for (const fs::path& file : {par, hst, mat, ma2, var}) EXPECT_TRUE(fs::is_regular_file(file)) << file;
    const std::string parText = ReadText(par);
    EXPECT_NE(parText.find("\nR(CR)\n"), std::string::npos);
    const std::vector<double> ends = ParEndValues(parText);
    ASSERT_EQ(ends.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(ends[static_cast<size_t>(i)] / want[i], 1.0, 2e-3) << parText;
    EXPECT_FALSE(ReadText(hst).empty());
    EXPECT_NE(ReadText(var).find("R(CR)"), std::string::npos);
    EXPECT_FALSE(ReadText(mat).empty());
    EXPECT_FALSE(ReadText(ma2).empty());
    EXPECT_EQ(State().Files.ResultsFileName, par.string());

    // Every plot kind drawn; a picture of each for a reviewer.
    f.ReplotLog.clear();
    for (QAction* a : {f.Nyquist1, f.Bode1, f.Admittance1, f.Error1, f.Capacitance2, f.RealImag1, f.YBode, f.YReIm}) {
        a->trigger();
        const int kind = State().Run.PlotKind;
        f.Chart().Widget()->grab().save(QString::fromStdString((root / ("plot_kind_" + std::to_string(kind) + ".png")).string()));
    }
    EXPECT_EQ(f.ReplotLog, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    // Once the chart widget is in: also count the drawn series per kind here
    // (measured and calculated series non-empty for every kind).

    // Exit writes the four folders.
    f.Exit1Click();
    form.reset();
    const std::string key = UserSettingsKey();
    auto read = [&](const char* name) {
        return services.settings.ReadString(platform::SettingsScope::User, key, name).value_or("?");
    };
    EXPECT_EQ(read("DataPath"), (root / "data").string() + "/");
    EXPECT_EQ(read("ParPath"), (root / "par").string() + "/");
    EXPECT_EQ(read("PicsPath"), (root / "pics").string() + "/");
    EXPECT_EQ(read("DocPath"), (root / "doc").string() + "/");
}

TEST_F(MainRoadTest, RetrieveReadsTheParameterFileAndRecomputes) {
    const Rcr truth{8.0, 1.0e-5, 250.0};
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_retrieve", truth, "cell2.txt", data);
    FitRcr(f, true);
    const fs::path par = root / "par" / "cell2, R(CR).par";
    ASSERT_TRUE(fs::is_regular_file(par));

    // Spoil the values, then retrieve.
    for (int i = 1; i <= 3; ++i) State().Params.LnValue[i] = 0.0;
    State().Run.ResultsComputed = false;
    services.messages.clear();
    services.fileDialogs.AnswerOpen(par.string());
    f.RetrieveParsClick();
    EXPECT_TRUE(services.messages.transcript().empty());
    EXPECT_TRUE(State().Run.ResultsComputed);
    EXPECT_TRUE(State().Run.ModelValid);
    EXPECT_EQ(State().Circuit.Code, "R(CR)");
    const double want[] = {truth.rs, truth.c, truth.rp};
    for (int i = 1; i <= 3; ++i) EXPECT_NEAR(std::exp(State().Params.LnValue[i]) / want[i - 1], 1.0, 2e-3) << i;
    // Calculated values of the recomputation match the closed form.
    const SpectrumBlock& sp = State().Spectrum;
    for (int k = 1; k <= sp.PointCount; ++k) {
        const auto z = truth.Z(sp.Frequency[k]);
        EXPECT_NEAR(sp.ZRealCalc[k], z.real(), 2e-3 * std::abs(z)) << k;
    }
    EXPECT_EQ(State().Files.ResultsFileName, par.string());
    EXPECT_EQ(State().History.Iteration, 1);
}

// A simulation pumps a message as a fit does; a data file opened then was
// taken for the simulation's results (measured rows under calculated ones of
// other frequencies, flagged as simulated).
TEST_F(MainRoadTest, DataCannotBeOpenedWhileASimulationComputes) {
    MakeProgramFolder("main_road_simulate_open");
    const fs::path data = WriteRcrData(Rcr{8.0, 1.0e-5, 250.0}, "cell1.txt", 25);
    TMainForm& f = StartLumarest();
    State().Options.NoiseType = -1;
    Windows().Opt->ShowOptions();
    ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton4);
    f.Model1Click();
    auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
    ASSERT_NE(par, nullptr);
    par->SetStartText(1, "10");
    par->SetStartText(2, "1E-4");
    par->SetStartText(3, "100");
    State().Run.ParamsValid = true;
    services.messages.clear();
    services.pump.calls = 0;
    services.pump.stopAfter = 1;
    services.pump.onStop = [&] {
        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
    };
    f.SimulateCurrentModel(true);
    EXPECT_FALSE(State().Run.DataLoaded);
    EXPECT_TRUE(State().Run.SimulatedResults);
    EXPECT_EQ(State().Files.DataFileName, (root / "data/simulation data/R(CR).sim").string());
    ASSERT_EQ(Transcript().size(), 1u);
    EXPECT_EQ(Transcript()[0].second, "Open");
}

TEST_F(MainRoadTest, SimulateModeWritesTheSimulationFile) {
    MakeProgramFolder("main_road_simulate");
    TMainForm& f = StartLumarest();
    // "Simulate" in the model dialog: quick simulator, every parameter fixed, no data.
    ChooseNoiselessSimulation(f, "R(CR)");
    EXPECT_FALSE(State().Run.DataLoaded);
    EXPECT_TRUE(f.FindWindow("ProsimForm")->isVisible());
    auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
    ASSERT_NE(par, nullptr);
    const Rcr c{10.0, 1e-4, 100.0};
    par->SetStartText(1, "10");
    par->SetStartText(2, "1E-4");
    par->SetStartText(3, "100");
    State().Run.ParamsValid = true;
    f.SimulateCurrentModel(true);
    EXPECT_EQ(State().Files.DataFileName, (root / "data/simulation data/R(CR).sim").string());
    EXPECT_FALSE(fs::exists(State().Files.DataFileName));  // named, not written
    ASSERT_TRUE(State().Run.SimulatedResults);

    // Cancel in the save dialog changes nothing.
    const std::string before = State().Files.DataFileName;
    services.messages.clear();
    services.messages.Answer(MsgResult::No);
    services.fileDialogs.AnswerSave(std::nullopt);
    f.SaveImpedaneData1Click();
    EXPECT_EQ(State().Files.DataFileName, before);
    EXPECT_TRUE(State().Run.SimulateMode);
    EXPECT_FALSE(fs::exists(before));

    // Yes: the file of the code in the simulation folder, read back as data.
    services.messages.Answer(MsgResult::Yes);
    f.SaveImpedaneData1Click();
    const fs::path sim = root / "data/simulation data/R(CR).sim";
    ASSERT_TRUE(fs::is_regular_file(sim));
    EXPECT_TRUE(State().Run.DataLoaded);
    EXPECT_FALSE(State().Run.SimulateMode);
    EXPECT_EQ(State().Files.DataFileName, sim.string());
    // 10^4 down by 0.8 to 10^-1: the measured values are the closed form.
    const SpectrumBlock& sp = State().Spectrum;
    ASSERT_GT(sp.PointCount, 40);
    EXPECT_NEAR(sp.Frequency[1], 1e4, 1e-6);
    for (int k = 1; k <= sp.PointCount; ++k) {
        const auto z = c.Z(sp.Frequency[k]);
        EXPECT_NEAR(sp.ZReal[k], z.real(), 1e-3 * std::abs(z)) << k;
        EXPECT_NEAR(std::fabs(sp.ZImag[k]), std::fabs(z.imag()), 1e-3 * std::abs(z)) << k;
    }
}

// "Update" in the quick simulator simulates the values its edits show,
// signs included: a negative resistance typed there is simulated negative at
// once, and a positive one typed after it positive, not with the sign of
// the value before.
TEST_F(MainRoadTest, TheQuickSimulatorSimulatesTheSignsItShows) {
    MakeProgramFolder("main_road_simulator_signs");
    TMainForm& f = StartLumarest();
    ChooseNoiselessSimulation(f, "R(CR)");
    auto* prosim = dynamic_cast<fitwin::TProsimForm*>(f.FindWindow("ProsimForm"));
    ASSERT_NE(prosim, nullptr);
    struct Step {
        const char *rs, *c, *rp;
        Rcr circuit;
    } steps[] = {
        {"-10", "1E-4", "100", Rcr{-10.0, 1e-4, 100.0}},
        {"2.5", "1E-4", "100", Rcr{2.5, 1e-4, 100.0}},
        {"-2.5", "1E-4", "-100", Rcr{-2.5, 1e-4, -100.0}},
        {"40", "1E-4", "100", Rcr{40.0, 1e-4, 100.0}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.rs + std::string(" ") + step.rp);
        prosim->Edits[1]->setText(step.rs);
        prosim->Edits[2]->setText(step.c);
        prosim->Edits[3]->setText(step.rp);
        prosim->RefreshBitBtnClick();
        ASSERT_TRUE(State().Run.SimulatedResults);
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_GT(sp.PointCount, 40);
        for (int k = 1; k <= sp.PointCount; ++k) {
            const auto z = step.circuit.Z(sp.Frequency[k]);
            // Z'' is kept with its sign reversed.
            EXPECT_NEAR(sp.ZRealCalc[k], z.real(), 1e-9 * std::abs(z)) << k;
            EXPECT_NEAR(sp.ZImagCalc[k], -z.imag(), 1e-9 * std::abs(z)) << k;
        }
    }
}

TEST_F(MainRoadTest, RunControlFlagTables) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_flags", Rcr{10, 1e-5, 100}, "flags.txt", data);
    State().Options.NoiseType = -1;

    struct Row {
        const char* what;
        std::function<void()> act;
        std::string before, after;
        std::vector<std::string> messages;
    };
    const std::string opened = "Iterate=1 Monitor=0 Simulate=0 Data=1 Model=0 Params=0 Results=0 Sim=0 Reset=1 Applied=0 User=0 ";
    const std::string cancelled = "Iterate=1 Monitor=0 Simulate=0 Data=1 Model=0 Params=0 Results=0 Sim=0 Reset=0 Applied=0 User=0 ";
    std::vector<Row> rows = {
        // Cancelling keeps the resets made before the dialog opened.
        {"model dialog cancelled", [&] { f.Model1Click(); }, opened, cancelled, {}},
        {"start values: user input opens the parameter window, cancelled",
         [&] {
             ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2, true);
             modal.runner.answers.push_back(false);
             f.Model1Click();
         },
         // The start values are evaluated once before the window opens.
         cancelled, "Iterate=1 Monitor=0 Simulate=0 Data=1 Model=1 Params=0 Results=1 Sim=0 Reset=0 Applied=0 User=1 ", {}},
        {"fit: iterate with automatic start values, not saved",
         [&] {
             ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
             services.messages.Answer(MsgResult::No);
             f.Model1Click();
         },
         "", "Iterate=1 Monitor=0 Simulate=0 Data=1 Model=1 Params=1 Results=1 Sim=0 Reset=0 Applied=1 User=0 ",
         {"Want to save results?"}},
        {"monitor step: OK without change computes nothing",
         [&] {
             modal.runner.answers.push_back(true);
             modal.runner.whileOpen = [](QDialog& d) {
                 if (auto* p = dynamic_cast<fitwin::TParForm*>(&d)) {
                     p->ReviewRadioBtn->setChecked(true);
                     p->ReadRunMode();
                 }
             };
             f.ReplotLog.clear();
             f.ParamListClick();
             EXPECT_TRUE(f.ReplotLog.empty());
         },
         "", "Iterate=0 Monitor=1 Simulate=0 Data=1 Model=1 Params=1 Results=1 Sim=0 Reset=0 Applied=0 User=0 ", {}},
        {"edited parameters: a changed fixed flag recomputes once",
         [&] {
             modal.runner.answers.push_back(true);
             modal.runner.whileOpen = [](QDialog& d) {
                 if (auto* p = dynamic_cast<fitwin::TParForm*>(&d)) {
                     p->ReviewRadioBtn->setChecked(true);
                     p->FixedBoxes[1]->setChecked(true);
                     p->ReadFixedFlags();
                     p->ReadRunMode();
                 }
             };
             f.ReplotLog.clear();
             f.ParamListClick();
             EXPECT_EQ(f.ReplotLog.size(), 1u);
         },
         "", "Iterate=0 Monitor=1 Simulate=0 Data=1 Model=1 Params=1 Results=1 Sim=0 Reset=0 Applied=0 User=0 ", {}},
        {"monitor step: Search runs one iteration",
         [&] {
             const int it = State().History.Iteration;
             modal.runner.answers.push_back(true);
             modal.runner.whileOpen = [](QDialog& d) {
                 if (auto* p = dynamic_cast<fitwin::TParForm*>(&d)) {
                     p->ReviewRadioBtn->setChecked(true);
                     p->AutoSelBtn1Click();
                     p->ReadRunMode();
                 }
             };
             services.messages.Answer(MsgResult::No);  // a converged step asks
             f.ParamListClick();
             EXPECT_EQ(State().History.Iteration, it + 1);
         },
         "", "", {}},
    };
    for (Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (!row.before.empty()) {
            EXPECT_EQ(Flags(), row.before);
        }
        services.messages.clear();
        row.act();
        if (!row.after.empty()) {
            EXPECT_EQ(Flags(), row.after);
        }
        std::vector<std::string> texts;
        for (const auto& m : services.messages.transcript()) texts.push_back(m.text);
        if (std::string(row.what).find("Search") == std::string::npos) {
            EXPECT_EQ(texts, row.messages);
        }
        modal.runner.whileOpen = nullptr;
    }
}

TEST_F(MainRoadTest, CodesLongerThanTheProgramHoldsAreRefused) {
    MakeProgramFolder("main_road_code");
    TMainForm& f = StartLumarest();
    const std::string before = State().Circuit.Code;
    const std::string longCode = "R(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)(CR)";  // 41 characters
    ASSERT_GT(longCode.size(), 39u);
    ChooseModel(longCode, &fitwin::TCDCForm::RadioButton2);
    f.Model1Click();
    ASSERT_FALSE(services.messages.transcript().empty());
    EXPECT_EQ(services.messages.transcript()[0].text, "Invalid code!");
    EXPECT_EQ(services.messages.transcript()[0].caption, "Try again....");
    EXPECT_EQ(State().Circuit.Code, before);
    EXPECT_FALSE(State().Run.ModelValid);
}

// A mistyped code after a fit: the person is told, and nothing runs with the
// code still in use. The fitted values, the fixed flags, the data and the run
// mode stay; no parameter window and no quick simulator open (which would
// simulate the old code over the fitted values with every parameter locked).
TEST_F(MainRoadTest, AnInvalidCodeLeavesTheFittedModelAlone) {
    struct Case {
        const char* name;
        QRadioButton* fitwin::TCDCForm::*mode;
        bool user;
        std::vector<std::string> messages;
    } cases[] = {
        {"iterate, automatic start values", &fitwin::TCDCForm::RadioButton2, false, {"Invalid code!"}},
        {"iterate, user input", &fitwin::TCDCForm::RadioButton2, true, {"Invalid code!", "No model specified."}},
        {"monitor", &fitwin::TCDCForm::RadioButton3, false, {"Invalid code!", "No model specified."}},
        {"simulate", &fitwin::TCDCForm::RadioButton4, false, {"Invalid code!", "No model specified."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path data;
        TMainForm& f = StartWithOpenedData("main_road_invalid_code", Rcr{10, 1e-5, 100}, "cell6.txt", data);
        FitRcr(f, false);
        const ParamSet fitted = State().Params;
        ASSERT_EQ(fitted.ParamCount, 3);
        ASSERT_NEAR(std::exp(fitted.LnValue[3]), 100.0, 1e-3);
        const int points = State().Spectrum.PointCount;

        services.messages.clear();
        modal.runner.shown.clear();
        ChooseModel("R(CR", c.mode, c.user);  // a parenthesis left open
        f.Model1Click();
        std::vector<std::string> texts;
        for (const auto& m : services.messages.transcript()) texts.push_back(m.text);
        EXPECT_EQ(texts, c.messages);
        ASSERT_EQ(modal.runner.shown.size(), 1u);  // the model dialog only
        EXPECT_EQ(State().Circuit.Code, "R(CR)");
        EXPECT_FALSE(State().Run.ModelValid);
        EXPECT_FALSE(State().Run.SimulateMode);
        EXPECT_TRUE(State().Run.IterateMode);
        EXPECT_FALSE(State().Run.MonitorMode);
        EXPECT_TRUE(State().Run.DataLoaded);
        EXPECT_EQ(State().Spectrum.PointCount, points);
        const ParamSet& p = State().Params;
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(p.LnValue[i], fitted.LnValue[i]) << i;
            EXPECT_EQ(p.Value[i], fitted.Value[i]) << i;
            EXPECT_EQ(p.Fixed[i], fitted.Fixed[i]) << i;
        }
        QWidget* prosim = f.FindWindow("ProsimForm");
        EXPECT_TRUE(prosim == nullptr || !prosim->isVisible());
        form.reset();
        modal.runner.whileOpen = nullptr;
    }
}

// Without data, an iterate run with an invalid code says first that no file
// is open, whether or not the parameter window would have opened.
TEST_F(MainRoadTest, AnInvalidCodeWithoutDataSaysNoFileIsOpened) {
    for (bool user : {false, true}) {
        SCOPED_TRACE(user ? "user input" : "automatic start values");
        MakeProgramFolder("main_road_invalid_code_no_data");
        TMainForm& f = StartLumarest();
        services.messages.clear();
        ChooseModel("R(CR", &fitwin::TCDCForm::RadioButton2, user);
        f.Model1Click();
        std::vector<std::string> texts;
        for (const auto& m : services.messages.transcript()) texts.push_back(m.text);
        EXPECT_EQ(texts, (std::vector<std::string>{"Invalid code!", "No file is opened."}));
        form.reset();
        modal.runner.whileOpen = nullptr;
    }
}

// Start values typed for an iterate run that the engine cannot start from
// (nothing, letters, 0, a number too large to hold) refuse the run with
// "Invalid initial parameters.", as the other run modes do, instead of
// fitting silently from other values and offering to save that result.
TEST_F(MainRoadTest, IterateRefusesTypedStartValuesItCannotUse) {
    struct Case {
        const char* name;
        const char* typed;   // into the Start edit of the capacitance (row 2)
        bool fixRow2;
        bool runs;
    } cases[] = {
        {"empty", "", false, false},
        {"letters", "abc", false, false},
        {"zero", "0", false, false},
        {"zero, fixed", "0", true, false},
        {"beyond a double", "1e400", false, false},
        {"a capacitance", "2,5e-5", false, true},
    };
    const Rcr truth{10, 1e-5, 100};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::path data;
        TMainForm& f = StartWithOpenedData("main_road_typed_start", truth, "cell8.txt", data);
        State().Options.NoiseType = -1;
        ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2, true);
        modal.runner.answers.push_back(true);
        auto chooseModel = modal.runner.whileOpen;
        modal.runner.whileOpen = [chooseModel, c](QDialog& d) {
            auto* p = dynamic_cast<fitwin::TParForm*>(&d);
            if (!p) return chooseModel(d);
            p->FormActivate();
            p->StartEdits[1]->setText("12");
            p->StartEdits[2]->setText(c.typed);
            p->StartEdits[3]->setText("90");
            p->FixedBoxes[2]->setChecked(c.fixRow2);
            p->InitCheckBox->setChecked(true);
            p->OKBitBtnClick();
        };
        services.messages.clear();
        if (c.runs) services.messages.Answer(MsgResult::No);  // Want to save results?
        f.Model1Click();
        std::vector<std::string> texts;
        for (const auto& m : services.messages.transcript()) texts.push_back(m.text);
        if (c.runs) {
            EXPECT_EQ(texts, std::vector<std::string>{"Want to save results?"});
            EXPECT_TRUE(State().Run.ParamsValid);
            EXPECT_NEAR(std::exp(State().Params.LnValue[2]) / truth.c, 1.0, 1e-3);
        } else {
            EXPECT_EQ(texts, std::vector<std::string>{"Invalid initial parameters."});
            EXPECT_FALSE(State().Run.ParamsValid);
            EXPECT_FALSE(State().Run.ResultsComputed);
        }
        form.reset();
        modal.runner.whileOpen = nullptr;
    }

    // The same through "Edit Parameters & Run" after a fit, Iterate chosen there.
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_typed_start", truth, "cell8.txt", data);
    FitRcr(f, false);
    services.messages.clear();
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* p = dynamic_cast<fitwin::TParForm*>(&d);
        ASSERT_NE(p, nullptr);
        p->FormActivate();
        p->StartEdits[2]->setText("0");
        p->IternRadioBtn->setChecked(true);
        p->InitCheckBox->setChecked(true);
        p->OKBitBtnClick();
    };
    f.ParamListClick();
    EXPECT_EQ(Transcript(), (std::vector<std::pair<std::string, std::string>>{
                                {"Invalid initial parameters.", "Error message"}}));
    EXPECT_FALSE(State().Run.ParamsValid);
    modal.runner.whileOpen = nullptr;
}

TEST_F(MainRoadTest, PasteLoadsTheDataAndSaveAsSavesWhatIsInMemory) {
    MakeProgramFolder("main_road_paste");
    TMainForm& f = StartLumarest();
    const std::string text = ClipboardRcrText(Rcr{5, 1e-5, 50});
    const fs::path saved = root / "data" / "pasted.txt";
    services.fileDialogs.AnswerSave(saved.string());
    PasteThroughWindow(f, text, [](dialogs::TPasteForm& paste) {
        // An edit after the paste is not data.
        paste.Memo1->setPlainText("garbage");
        paste.SaveBtnClick();
    });
    EXPECT_TRUE(State().Run.DataLoaded);
    EXPECT_EQ(State().Spectrum.PointCount, 20);
    EXPECT_EQ(State().Circuit.Code, "NOMODEL");
    EXPECT_EQ(ReadText(root / "data" / "unknown.txt"), text);
    EXPECT_EQ(ReadText(saved), text);
    EXPECT_EQ(State().Files.DataFileName, saved.string());
    EXPECT_EQ(f.OpenDialog1FileName, saved.string());
}

TEST_F(MainRoadTest, PastedDataAfterAReactionModelSpectrumAreMeasuredData) {
    MakeProgramFolder("main_road_paste_after_kinetics");
    TMainForm& f = StartLumarest();
    // What a reaction-model window leaves when it has shown its spectrum.
    State().Run.KineticData = true;
    State().Model.CustomTitles = true;
    State().Files.ModelTitle = "Simple Passivation Model";
    const std::string text = ClipboardRcrText(Rcr{5, 1e-5, 50});
    PasteThroughWindow(f, text);
    ASSERT_TRUE(State().Run.DataLoaded);
    EXPECT_FALSE(State().Run.KineticData);
    EXPECT_FALSE(State().Model.CustomTitles);
    // The pasted spectrum can be fitted: editing parameters is not refused as
    // for a model's spectrum.
    services.messages.clear();
    modal.runner.whileOpen = nullptr;
    modal.runner.answers.push_back(false);
    f.ParamListClick();
    for (const auto& m : services.messages.transcript()) EXPECT_NE(m.text, "Nothing to edit.");
}

TEST_F(MainRoadTest, ARefusedPasteLeavesTheOpenedDataWithTheirName) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_paste_refused", Rcr{10, 1e-5, 100}, "cell4.txt", data);
    const SpectrumBlock before = State().Spectrum;
    services.messages.clear();
    PasteThroughWindow(f, "1000 5 -1\r\n100 6 -2\r\n10 7 -3\r\n");  // three points: too few
    ASSERT_FALSE(services.messages.transcript().empty());
    EXPECT_EQ(services.messages.transcript().back().text, "Invalid data on the clipboard.");
    EXPECT_EQ(State().Files.DataFileName, data.string());
    EXPECT_EQ(f.OpenDialog1FileName, data.string());
    ASSERT_EQ(State().Spectrum.PointCount, before.PointCount);
    for (int k = 1; k <= before.PointCount; ++k) EXPECT_EQ(State().Spectrum.ZReal[k], before.ZReal[k]) << k;
}

// Cancel closes the window but the pasted data stay: the run commands, which
// take the data file's name from the open dialog, must know them by their
// own name, not by the file opened before.
TEST_F(MainRoadTest, CancelAfterAnAcceptedPasteKnowsTheDataByTheirName) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_paste_cancel", Rcr{10, 1e-5, 100}, "cell5.txt", data);
    platform::MemoryClipboard clip;
    clip.text = ClipboardRcrText(Rcr{5, 1e-5, 50});
    platform::InstallClipboard(&clip);
    modal.runner.answers.push_back(false);  // Cancel
    modal.runner.whileOpen = [](QDialog& d) {
        auto& paste = dynamic_cast<dialogs::TPasteForm&>(d);
        paste.FormActivate();
        paste.MemoryBtnClick();
    };
    f.Paste1Click();
    const fs::path unknown = root / "data" / "unknown.txt";
    ASSERT_EQ(State().Spectrum.PointCount, 20);
    EXPECT_EQ(State().Files.DataFileName, unknown.string());
    EXPECT_EQ(f.OpenDialog1FileName, unknown.string());
    EXPECT_EQ(f.windowTitle().toStdString(), ".../data/unknown.txt - Lumarest");

    // Cancel without an accepted paste changes nothing.
    modal.runner.answers.push_back(false);
    modal.runner.whileOpen = [](QDialog& d) { dynamic_cast<dialogs::TPasteForm&>(d).FormActivate(); };
    f.OpenDialog1FileName = data.string();
    f.Paste1Click();
    EXPECT_EQ(f.OpenDialog1FileName, data.string());
    modal.runner.whileOpen = nullptr;
    platform::InstallClipboard(nullptr);
}

TEST_F(MainRoadTest, ARefusedPasteAfterAnAcceptedOneKeepsTheFileOfTheDataInMemory) {
    MakeProgramFolder("main_road_paste_twice_refused");
    TMainForm& f = StartLumarest();
    const std::string good = ClipboardRcrText(Rcr{5, 1e-5, 50});
    PasteThroughWindow(f, good);
    const fs::path unknown = root / "data" / "unknown.txt";
    ASSERT_EQ(State().Files.DataFileName, unknown.string());
    const SpectrumBlock before = State().Spectrum;
    services.messages.clear();
    PasteThroughWindow(f, "not data\r\n");
    ASSERT_FALSE(services.messages.transcript().empty());
    EXPECT_EQ(services.messages.transcript().back().text, "Invalid data on the clipboard.");
    // The data in memory are still the first paste, and so is their file.
    EXPECT_EQ(State().Files.DataFileName, unknown.string());
    EXPECT_EQ(ReadText(unknown), good);
    // So a new sample area reads them again: Z' of point 1 is 2 x (5 + 50/(1 + (wRC)^2)).
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* area = dynamic_cast<dialogs::TSAreaForm*>(&d);
        ASSERT_NE(area, nullptr);
        area->FormActivate();
        area->Edit1->setText("2");
        area->BitBtn1Click();
    };
    services.messages.clear();
    f.SurfaceBtn1Click();
    modal.runner.whileOpen = nullptr;
    EXPECT_TRUE(services.messages.transcript().empty());
    EXPECT_DOUBLE_EQ(State().Fit.SampleArea, 2.0);
    ASSERT_EQ(State().Spectrum.PointCount, before.PointCount);
    const double w = 2 * M_PI * 1e4, rc = 50 * 1e-5;
    EXPECT_NEAR(State().Spectrum.ZReal[1], 2 * (5 + 50 / (1 + w * w * rc * rc)), 1e-4);
}

// Text as other programs put it on the clipboard: spreadsheets (tabs,
// decimal commas), old Mac programs (CR alone), editors (a byte-order mark),
// reports with headings, blank lines and long notes, and the limits of the
// data rows. Point 1 is (1000 Hz, 12.5, -3.25) wherever it stands.
TEST_F(MainRoadTest, PastedTextOfManyShapes) {
    auto rows = [](int n, const char* sep, const char* eol, bool decimalComma) {
        std::string text;
        for (int k = 0; k < n; ++k) {
            std::string row = FormatText("%.6g%s%.4f%s%.4f", 1000.0 / (k + 1), sep, 12.5 - 0.01 * k, sep,
                                         -3.25 + 0.01 * k);
            if (decimalComma)
                for (char& ch : row)
                    if (ch == '.') ch = ',';
            text += row + eol;
        }
        return text;
    };
    struct Case {
        const char* name;
        std::string text;
        int points;  // 0: refused
        const char* readerMessage;
    };
    const std::string longNote = "note " + std::string(200000, 'x') + "\r\n";
    const std::string lf = rows(20, " ", "\n", false);
    const std::string crlf = rows(20, " ", "\r\n", false);
    // Row k ends at byte `upTo(k)` of the CR LF text.
    auto upTo = [&](int k) { return rows(k, " ", "\r\n", false).size(); };
    const Case cases[] = {
        {"tabs and decimal commas", rows(20, "\t", "\r\n", true), 20, nullptr},
        {"CR alone", rows(20, " ", "\r", false), 20, nullptr},
        {"LF alone, no end on the last line", lf.substr(0, lf.size() - 1), 20, nullptr},
        {"byte-order mark, heading, blank lines",
         "\xEF\xBB\xBF" "Freq Zre Zim\r\n\r\n" + crlf.substr(0, upTo(10)) + "\r\n\r\n" + crlf.substr(upTo(10)), 20,
         nullptr},
        {"a very long note among the rows", crlf.substr(0, upTo(5)) + longNote + crlf.substr(upTo(5)), 20, nullptr},
        {"199 rows", rows(199, " ", "\r\n", false), 199, nullptr},
        {"200 rows", rows(200, " ", "\r\n", false), 0, "You have 200 data points."},
        {"14 rows", rows(14, " ", "\r\n", false), 0, "You have only 14 data points."},
        {"an empty clipboard", "", 0, "You have only 0 data points."},
    };
    for (const Case& c : cases) {
        MakeProgramFolder("main_road_paste_shapes");
        TMainForm& f = StartLumarest();
        services.messages.clear();
        PasteThroughWindow(f, c.text);
        const auto& said = services.messages.transcript();
        if (c.points == 0) {
            ASSERT_EQ(said.size(), 2u) << c.name;
            EXPECT_EQ(said[0].text, c.readerMessage) << c.name;
            EXPECT_EQ(said[1].text, "Invalid data on the clipboard.") << c.name;
            EXPECT_FALSE(State().Run.DataLoaded) << c.name;
            EXPECT_TRUE(fs::is_regular_file(root / "data" / "unknown.txt")) << c.name;
        } else {
            EXPECT_TRUE(said.empty()) << c.name;
            ASSERT_TRUE(State().Run.DataLoaded) << c.name;
            EXPECT_EQ(State().Spectrum.PointCount, c.points) << c.name;
            EXPECT_DOUBLE_EQ(State().Spectrum.Frequency[1], 1000.0) << c.name;
            EXPECT_DOUBLE_EQ(State().Spectrum.ZReal[1], 12.5) << c.name;
            // Z'' negative in most points: the sign is turned (capacitive data).
            EXPECT_DOUBLE_EQ(std::fabs(State().Spectrum.ZImag[1]), 3.25) << c.name;
            EXPECT_EQ(State().Files.DataFileName, (root / "data" / "unknown.txt").string()) << c.name;
        }
        form.reset();
    }
}

TEST_F(MainRoadTest, SaveImpedanceDataCancelChangesNothingAndAFailedWriteKeepsTheName) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_savedata", Rcr{10, 1e-5, 100}, "cell3.txt", data);
    services.messages.clear();
    services.messages.Answer(MsgResult::No);
    services.fileDialogs.AnswerSave(std::nullopt);
    f.SaveImpedaneData1Click();
    EXPECT_EQ(State().Files.DataFileName, data.string());
    // A folder that cannot be written: reported, the name stays.
    services.messages.Answer(MsgResult::No);
    services.fileDialogs.AnswerSave((data / "x.dat").string());
    f.SaveImpedaneData1Click();
    EXPECT_EQ(State().Files.DataFileName, data.string());
    // Yes: the export folder, the base name and ".dat".
    services.messages.clear();
    services.messages.Answer(MsgResult::Yes);
    f.SaveImpedaneData1Click();
    const fs::path e = root / "data/export data/cell3.dat";
    EXPECT_TRUE(fs::is_regular_file(e));
    EXPECT_EQ(State().Files.DataFileName, e.string());
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].caption, ".../data/export data/cell3.dat");
}

TEST_F(MainRoadTest, SmallInputDialogs) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_dialogs", Rcr{10, 1e-5, 100}, "cell4.txt", data);
    const double z1 = State().Spectrum.ZReal[1];

    // Sample area with a decimal comma: 0,5.
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* a = dynamic_cast<dialogs::TSAreaForm*>(&d);
        ASSERT_NE(a, nullptr);
        a->FormActivate();
        EXPECT_EQ(a->Edit1->text(), "1");
        a->Edit1->setText("0,5");
        a->BitBtn1Click();
    };
    f.SurfaceBtn1Click();
    EXPECT_DOUBLE_EQ(State().Fit.SampleArea, 0.5);
    EXPECT_TRUE(State().Run.PerAreaUnits);
    EXPECT_EQ(f.Label1->text(), "0,5");
    EXPECT_NE(State().Spectrum.ZReal[1], z1);  // read again with the area

    // OK on the untouched edit keeps an area of more digits than it shows,
    // and the data are not read again.
    State().Fit.SampleArea = 0.785398;
    const double zBefore = State().Spectrum.ZReal[1];
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto& a = dynamic_cast<dialogs::TSAreaForm&>(d);
        a.FormActivate();
        EXPECT_EQ(a.Edit1->text(), "0.7854");
        a.BitBtn1Click();
    };
    f.ReplotLog.clear();
    f.SurfaceBtn1Click();
    EXPECT_EQ(State().Fit.SampleArea, 0.785398);
    EXPECT_TRUE(f.ReplotLog.empty());
    EXPECT_EQ(State().Spectrum.ZReal[1], zBefore);

    // Titles: Cancel leaves the standard titles.
    State().Model.CustomTitles = true;
    modal.runner.whileOpen = nullptr;
    f.ChangeTitle1Click();
    EXPECT_FALSE(State().Model.CustomTitles);
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* t = dynamic_cast<dialogs::TTitleForm*>(&d);
        ASSERT_NE(t, nullptr);
        t->FormActivate();
        t->Edit1->setText("Cell 4");
        t->Edit2->setText("after 2 h");
        t->OkBitBtnClick();
    };
    f.ReplotLog.clear();
    f.ChangeTitle1Click();
    EXPECT_TRUE(State().Model.CustomTitles);
    EXPECT_EQ(State().Model.ChartTitle1, "Cell 4");
    EXPECT_EQ(State().Model.ChartTitle2, "after 2 h");
    EXPECT_EQ(f.ReplotLog.size(), 1u);

    // Sample IDs: empty texts are stored as empty texts.
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* s = dynamic_cast<dialogs::TSampleIDForm*>(&d);
        ASSERT_NE(s, nullptr);
        s->FormActivate();
        EXPECT_EQ(s->Edits[3]->text(), "#3");
        s->Edits[3]->setText("");
        s->Edits[7]->setText("Fe 2");
        s->OkBitBtnClick();
    };
    f.SampleIDsClick();
    EXPECT_EQ(State().Folders.SampleId[3], "");
    EXPECT_EQ(State().Folders.SampleId[7], "Fe 2");

    // New folder: created, then "already exists".
    services.messages.clear();
    const std::string base = (root / "data").string();
    modal.runner.whileOpen = [base](QDialog& d) {
        auto* n = dynamic_cast<dialogs::TFolderForm*>(&d);
        ASSERT_NE(n, nullptr);
        n->SelectFolder(base);
        n->Label1->setText(QString::fromStdString(base));
        n->Edit1->setText("run1");
        n->CreateBitBtnClick();
        n->CreateBitBtnClick();
    };
    f.CreateFolder1Click();
    EXPECT_TRUE(fs::is_directory(root / "data" / "run1"));
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Created this folder.", base + "/run1"},
        {"This folder already exists", base + "/run1"},
    };
    EXPECT_EQ(Transcript(), expected);
}

// The data are multiplied by the sample area, so an entry that reads as 0
// (empty, letters) or below would empty or overturn the spectrum: OK refuses
// it and says so, the window stays open, and the area, the units and the
// data stay as they were until a usable area is entered.
TEST_F(MainRoadTest, ASampleAreaThatIsNoPositiveNumberIsRefused) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_area", Rcr{10, 1e-5, 100}, "cell5.txt", data);
    const double z1 = State().Spectrum.ZReal[1];
    const int points = State().Spectrum.PointCount;
    for (const char* typed : {"", "abc", "0", "0,0", "-2", "-0,5", "1e400"}) {
        SCOPED_TRACE(typed);
        services.messages.clear();
        bool accepted = true;
        modal.runner.answers.push_back(false);  // after the refusal the person cancels
        modal.runner.whileOpen = [typed, &accepted](QDialog& d) {
            auto* a = dynamic_cast<dialogs::TSAreaForm*>(&d);
            ASSERT_NE(a, nullptr);
            a->FormActivate();
            a->Edit1->setText(typed);
            a->BitBtn1Click();
            accepted = a->result() == QDialog::Accepted;
        };
        f.SurfaceBtn1Click();
        EXPECT_FALSE(accepted);
        EXPECT_EQ(State().Fit.SampleArea, 1.0);
        EXPECT_FALSE(State().Run.PerAreaUnits);
        EXPECT_EQ(State().Spectrum.PointCount, points);
        EXPECT_EQ(State().Spectrum.ZReal[1], z1);
        EXPECT_EQ(f.Label1->text(), "1");
        const std::vector<std::pair<std::string, std::string>> said = {
            {"The sample area must be a number above 0.", "Invalid sample area"}};
        EXPECT_EQ(Transcript(), said);
    }
    // A usable area entered afterwards is taken: 2 cm2 doubles Z'.
    services.messages.clear();
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* a = dynamic_cast<dialogs::TSAreaForm*>(&d);
        a->FormActivate();
        a->Edit1->setText("2");
        a->BitBtn1Click();
    };
    f.SurfaceBtn1Click();
    EXPECT_EQ(State().Fit.SampleArea, 2.0);
    EXPECT_TRUE(State().Run.PerAreaUnits);
    EXPECT_DOUBLE_EQ(State().Spectrum.ZReal[1], 2.0 * z1);
    EXPECT_TRUE(Transcript().empty());
}

// With the decimal-comma option the tool bar shows the area with a comma,
// whichever separator was typed, as every other number of the window.
TEST_F(MainRoadTest, TheAreaOnTheToolBarFollowsTheDecimalSeparator) {
    MakeProgramFolder("main_road_area_comma");
    TMainForm& f = StartLumarest();
    State().Options.PeriodDecimal = false;
    services.messages.clear();
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* a = dynamic_cast<dialogs::TSAreaForm*>(&d);
        ASSERT_NE(a, nullptr);
        a->Edit1->setText("2.5");
        a->BitBtn1Click();
    };
    f.SurfaceBtn1Click();
    EXPECT_EQ(State().Fit.SampleArea, 2.5);
    EXPECT_EQ(f.Label1->text(), "2,5");
    EXPECT_EQ(Transcript(), (std::vector<std::pair<std::string, std::string>>{
                                {"No data points read.", "No effect ...."}}));
}

// Re-reading the data for a new area can fail (the file was moved or
// changed since it was opened). The data in memory are then still those of
// the old area, so the old area, its units and its label stay: a fit saved
// afterwards must not carry an area its values were not divided by.
TEST_F(MainRoadTest, ANewAreaWhoseDataCannotBeReadAgainLeavesTheOldArea) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_area_reread", Rcr{10, 1e-5, 100}, "cell6.txt", data);
    const SpectrumBlock before = State().Spectrum;
    {
        std::ofstream shortened(data, std::ios::trunc);
        shortened << "1000 10 -1\n100 11 -2\n10 12 -3\n";
    }
    services.messages.clear();
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* a = dynamic_cast<dialogs::TSAreaForm*>(&d);
        ASSERT_NE(a, nullptr);
        a->FormActivate();
        a->Edit1->setText("2");
        a->BitBtn1Click();
    };
    f.SurfaceBtn1Click();
    ASSERT_FALSE(Transcript().empty());
    EXPECT_EQ(Transcript().back(), (std::pair<std::string, std::string>{"Invalid data format.", "Error message"}));
    EXPECT_EQ(State().Fit.SampleArea, 1.0);
    EXPECT_FALSE(State().Run.PerAreaUnits);
    EXPECT_EQ(f.Label1->text(), "1");
    ASSERT_EQ(State().Spectrum.PointCount, before.PointCount);
    for (int k = 1; k <= before.PointCount; ++k) EXPECT_EQ(State().Spectrum.ZReal[k], before.ZReal[k]) << k;
}

// With a model fitted, a new weighting in the options recomputes at once,
// and that recomputation pumps messages like a fit: the commands that change
// the data must wait for it, as they do during a fit.
TEST_F(MainRoadTest, TheRecomputationAfterNewOptionsKeepsItsData) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_options_lock", Rcr{10, 1e-5, 100}, "cell8.txt", data);
    const fs::path other = WriteRcrData(Rcr{99, 1e-3, 9}, "other.txt");
    f.show();
    FitRcr(f, false);
    ASSERT_TRUE(State().Run.ResultsComputed);
    const SpectrumBlock before = State().Spectrum;

    bool openEnabled = true, refused = false;
    services.pump.calls = 0;
    services.pump.stopAfter = 1;
    services.pump.onStop = [&] {
        openEnabled = f.Open1->isEnabled();
        services.messages.clear();
        services.fileDialogs.AnswerOpen(other.string());
        f.Open1Click();
        refused = !services.messages.transcript().empty() && services.messages.transcript()[0].caption == "Open";
    };
    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        auto* opt = dynamic_cast<fitwin::TOptForm*>(&d);
        ASSERT_NE(opt, nullptr);
        opt->UnityRadioButton1->setChecked(true);
    };
    f.Option1Click();
    services.pump.onStop = nullptr;
    EXPECT_EQ(State().Options.Weighting, 0);
    EXPECT_GE(services.pump.calls, 1);
    EXPECT_FALSE(openEnabled);
    EXPECT_TRUE(refused);
    EXPECT_FALSE(f.RunInProgress);
    EXPECT_TRUE(f.Open1->isEnabled());
    EXPECT_EQ(State().Files.DataFileName, data.string());
    ASSERT_EQ(State().Spectrum.PointCount, before.PointCount);
    for (int k = 1; k <= before.PointCount; ++k) EXPECT_EQ(State().Spectrum.ZReal[k], before.ZReal[k]) << k;
}

// As a new user would: the sample files shipped in the program folder, each
// opened and fitted with the circuit it was made from, then saved. The files
// carry 0.5 % noise, so the fitted values lie within a few percent of the
// values they were written from (scripts/make_sample_data.py).
TEST_F(MainRoadTest, ShippedSampleFilesFitToTheCircuitsTheyWereMadeFrom) {
    MakeProgramFolder("main_road_samples");
    const fs::path shipped = fs::path(PELLUCOR_TEST_DATA_DIR) / ".." / ".." / "apps" / "files" / "data";
    struct Case {
        const char* file;
        const char* code;
        std::vector<double> truth;
        double tolerance;
    } cases[] = {
        {"rcr_plain.txt", "R(CR)", {20.0, 2.0e-5, 500.0}, 0.05},
        {"rcrqr_zview.txt", "R(CR)(QR)", {15.0, 1.0e-6, 100.0, 5.0e-4, 0.8, 1000.0}, 0.15},
        {"rcrqr_curve.txt", "R(CR)(QR)", {15.0, 1.0e-6, 100.0, 5.0e-4, 0.8, 1000.0}, 0.15},
    };
    for (const Case& c : cases) fs::copy_file(shipped / c.file, root / "data" / c.file);
    TMainForm& f = StartLumarest();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        services.messages.clear();
        services.fileDialogs.AnswerOpen((root / "data" / c.file).string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded);
        EXPECT_EQ(State().Spectrum.PointCount, 50);
        ChooseModel(c.code, &fitwin::TCDCForm::RadioButton2);
        services.messages.Answer(MsgResult::Yes);
        services.messages.Answer(MsgResult::Yes);
        f.Model1Click();
        ASSERT_EQ(State().Params.ParamCount, static_cast<int>(c.truth.size()));
        for (size_t i = 0; i < c.truth.size(); ++i) {
            const double v = std::exp(State().Params.LnValue[static_cast<int>(i) + 1]);
            EXPECT_NEAR(v / c.truth[i], 1.0, c.tolerance) << "parameter " << i + 1;
        }
        const std::string base = fs::path(c.file).stem().string();
        EXPECT_TRUE(fs::is_regular_file(root / "par" / (base + ", " + c.code + ".par")));
        EXPECT_TRUE(fs::is_regular_file(root / "hist" / (base + ", " + c.code + ".hst")));
        modal.runner.whileOpen = nullptr;
    }
}

// A fit pumps messages, so commands can arrive in the middle of it: none of
// them may change the data the fit works on, and the window stays open.
TEST_F(MainRoadTest, CommandsReachedDuringAFitAreRefusedAndTheDataStay) {
    MakeProgramFolder("main_road_lock");
    const fs::path data = WriteRcrData(Rcr{10, 1e-5, 100}, "cell5.txt");
    const fs::path other = WriteRcrData(Rcr{99, 1e-3, 9}, "other.txt");
    TMainForm& f = StartLumarest();
    f.show();
    services.fileDialogs.AnswerOpen(data.string());
    f.Open1Click();
    const SpectrumBlock before = State().Spectrum;
    int reached = 0;
    services.pump.calls = 0;
    services.pump.stopAfter = 3;
    services.pump.onStop = [&] {
        reached = 1;
        services.fileDialogs.AnswerOpen(other.string());
        f.Open1Click();
        f.Paste1Click();
        f.RetrieveParsClick();
        f.Model1Click();
        f.ParamListClick();
        f.SurfaceBtn1Click();
        f.Exit1Click();
        // Queued after the refusals, which answer with OK themselves.
        services.messages.Answer(MsgResult::No);
    };
    ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
    services.messages.clear();
    f.Model1Click();
    ASSERT_EQ(reached, 1);
    std::vector<std::string> texts;
    for (const auto& m : services.messages.transcript()) texts.push_back(m.text);
    const std::string running =
        "A fit is running. Wait until it ends, or close the \"Please wait\" window to stop it.";
    std::vector<std::string> want(7, running);
    want.push_back("Want to save results?");
    EXPECT_EQ(texts, want);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(State().Files.DataFileName, data.string());
    ASSERT_EQ(State().Spectrum.PointCount, before.PointCount);
    for (int k = 1; k <= before.PointCount; ++k) {
        EXPECT_EQ(State().Spectrum.Frequency[k], before.Frequency[k]) << k;
        EXPECT_EQ(State().Spectrum.ZReal[k], before.ZReal[k]) << k;
        EXPECT_EQ(State().Spectrum.ZImag[k], before.ZImag[k]) << k;
    }
    EXPECT_TRUE(State().Run.ResultsComputed);
}

// A file the reader refuses leaves the previous rows in memory, no longer
// shown: neither save command may write them under the refused file's name.
TEST_F(MainRoadTest, AfterARefusedFileTheOldRowsAreNotSavedUnderItsName) {
    fs::path good;
    TMainForm& f = StartWithOpenedData("main_road_refused", Rcr{10, 1e-5, 100}, "good.txt", good);
    ASSERT_TRUE(State().Run.DataLoaded);
    const fs::path bad = OpenRefusedFile(f);
    ASSERT_FALSE(State().Run.DataLoaded);

    const std::vector<std::pair<std::string, std::string>> refused = {{"No data points.", "Cannot save."}};
    services.messages.clear();
    f.SaveImpedaneData1Click();
    EXPECT_EQ(Transcript(), refused);
    EXPECT_FALSE(fs::exists(root / "data/export data/five points.dat"));
    EXPECT_EQ(State().Files.DataFileName, bad.string());

    services.messages.clear();
    const size_t asked = services.fileDialogs.requests.size();
    f.SaveasDielectric1Click();
    EXPECT_EQ(Transcript(), refused);
    EXPECT_EQ(services.fileDialogs.requests.size(), asked);
    EXPECT_EQ(State().Files.DataFileName, bad.string());
}

// Closing the progress window stops that fit and nothing else: the commands
// after it compute and show their results as ever.
TEST_F(MainRoadTest, AStoppedFitLeavesNoStopForTheCommandsAfterIt) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_stopped", Rcr{10, 1e-5, 100}, "cell8.txt", data);
    State().Options.NoiseType = -1;
    services.pump.calls = 0;
    services.pump.stopAfter = 3;
    services.pump.onStop = [] { State().Run.StopRequested = true; };
    ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
    services.messages.clear();
    f.Model1Click();
    services.pump.onStop = nullptr;
    EXPECT_TRUE(services.messages.transcript().empty());  // a stop asks nothing
    EXPECT_FALSE(f.RunInProgress);

    // The simulation a model window or the quick simulator asks for.
    auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
    ASSERT_NE(par, nullptr);
    par->Label9->setText("left over");
    f.ReplotLog.clear();
    State().Run.ParamsValid = true;
    f.SimulateCurrentModel(true);
    EXPECT_TRUE(State().Run.SimulatedResults);
    EXPECT_EQ(f.ReplotLog.size(), 1u);
    EXPECT_NE(par->Label9->text(), "left over");  // the fit quality is shown again
}

// A fit started with "Iterate" from the parameter window when the model
// dialog never chose a run mode (retrieved parameters in a new session) has
// no start-value evaluation to start its clock: the run still times itself,
// so its history shows its own start and execution time.
TEST_F(MainRoadTest, AFitStartedFromTheParameterWindowTimesItsOwnRun) {
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_clock", Rcr{10, 1e-5, 100}, "cell9.txt", data);
    State().Options.NoiseType = -1;
    const fs::path par = root / "par" / "cell9, R(CR).par";
    {
        std::ofstream out(par);
        out << "12/10/2026, 14:00:00\n.../par/cell9, R(CR).par\n\n"
            << "  3              = do not change the sign of Zim  \n"
            << "  1                  = modulus weighting factor   \n"
            << "1.000                        = sample area in square cm \n"
            << "R(CR)\n"
            << "1.000e-03              = chi squared \n\n"
            << "index   fixed    parameter      start               end              % error  \n"
            << "-------  ------  ----------     --------            -------          -----------  \n"
            << "    1       0           R             12             12              1 \n"
            << "    2       0           C          2e-05          2e-05              1 \n"
            << "    3       0           R            150            150              1 \n"
            << std::string(73, '-') << "\n\n\n";
    }
    services.fileDialogs.AnswerOpen(par.string());
    f.RetrieveParsClick();
    ASSERT_TRUE(State().Run.ModelValid);
    ASSERT_FALSE(State().Run.CdcFormFlag);

    modal.runner.answers.push_back(true);
    modal.runner.whileOpen = [](QDialog& d) {
        if (auto* p = dynamic_cast<fitwin::TParForm*>(&d)) {
            p->IternRadioBtn->setChecked(true);
            p->ReadRunMode();
        }
    };
    services.messages.clear();
    services.messages.Answer(MsgResult::No);  // Want to save results?
    f.ParamListClick();
    modal.runner.whileOpen = nullptr;
    ASSERT_EQ(Transcript().size(), 1u);
    EXPECT_EQ(Transcript()[0].first, "Want to save results?");
    const IterationHistory& h = State().History;
    ASSERT_GE(h.IterationCount, 1);
    // The test clock stands still: the run starts at its time and takes none.
    EXPECT_EQ(h.StartTime[0], "14:05:09:250");
    EXPECT_EQ(h.ElapsedText, "   00:00:000");
}

// A monitor step whose computation is refused has not finished the run: it
// must not end it with the save question as if it had converged.
TEST_F(MainRoadTest, ARefusedMonitorStepDoesNotEndTheRun) {
    MakeProgramFolder("main_road_monitor_refused");
    // 15 points, the fewest a data file may have, for a code of 15 parameters.
    const Rcr c{10, 1e-5, 100};
    const fs::path data = WriteRcrData(c, "short.txt", 15, 3.0);
    TMainForm& f = StartLumarest();
    services.fileDialogs.AnswerOpen(data.string());
    f.Open1Click();
    ASSERT_TRUE(State().Run.DataLoaded);
    State().Options.NoiseType = -1;
    // A fit of the circuit the data came from, not saved.
    ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
    services.messages.Answer(MsgResult::No);
    f.Model1Click();
    ASSERT_EQ(Transcript().size(), 1u);
    ASSERT_EQ(Transcript()[0].first, "Want to save results?");
    modal.runner.shown.clear();

    // Then a code of 15 parameters, stepped in monitor mode.
    const std::string code = "R(CR)(CR)(CR)(CR)(CR)(CR)(CR)";
    modal.runner.answers.push_back(true);  // the model dialog
    modal.runner.answers.push_back(true);  // the parameter window: Monitor, Search
    modal.runner.whileOpen = [code](QDialog& d) {
        if (auto* cdc = dynamic_cast<fitwin::TCDCForm*>(&d)) {
            cdc->SetCodeText(code);
            cdc->RadioButton3->setChecked(true);
            cdc->AutoStartBtn->setChecked(true);
            cdc->OkBitBtn1Click();
        } else if (auto* p = dynamic_cast<fitwin::TParForm*>(&d)) {
            p->ReviewRadioBtn->setChecked(true);
            p->AutoSelBtn1Click();
            p->ReadRunMode();
        }
    };
    services.messages.clear();
    f.Model1Click();
    modal.runner.whileOpen = nullptr;
    ASSERT_EQ(State().Params.ParamCount, 15);
    ASSERT_EQ(modal.runner.shown.size(), 2u);
    // The start values and the step are each refused; nothing asks to save.
    std::vector<std::string> texts;
    for (const auto& m : services.messages.transcript()) texts.push_back(m.text);
    EXPECT_EQ(texts, std::vector<std::string>(2, FitRefusedText));
    EXPECT_FALSE(State().Run.ResultsComputed);
    EXPECT_TRUE(State().Run.MonitorMode);
}

// "Save Impedance Data" makes the saved file the data file: a new sample
// area, a retrieved parameter file with an area and the next session read it
// again with the sign and area options of the moment. The file must
// therefore hold the data as measured (ohms, the sign as in the original
// file), or a re-read scales them by the area a second time and the reversed
// sign of Z'' is reversed once more.
TEST_F(MainRoadTest, SavedImpedanceDataReadBackAsTheOriginalData) {
    const Rcr truth{10.0, 1.0e-5, 100.0};
    struct Case {
        const char* name;
        bool reverse;
        const char* area;
        double areaValue;
    };
    const Case cases[] = {
        {"unchanged sign, unit area", false, "1", 1.0},
        {"reversed sign, unit area", true, "1", 1.0},
        {"unchanged sign, area 2.5", false, "2.5", 2.5},
        {"reversed sign, area 2.5", true, "2.5", 2.5},
    };
    // The rows against the circuit: Z' and Z'' times `area`, Z'' with `sign`.
    auto expectRows = [&truth](double area, double sign, const std::string& what) {
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_EQ(sp.PointCount, 40) << what;
        for (int k = 1; k <= sp.PointCount; ++k) {
            const auto z = truth.Z(sp.Frequency[k]);
            EXPECT_NEAR(sp.ZReal[k], area * z.real(), 1e-6 * area * std::abs(z)) << what << ", point " << k;
            EXPECT_NEAR(sp.ZImag[k], sign * area * z.imag(), 1e-6 * area * std::abs(z)) << what << ", point " << k;
        }
    };
    for (const Case& c : cases) {
        MakeProgramFolder("main_road_saved_data_read_back");
        const fs::path data = WriteRcrData(truth, "cell9.txt");
        TMainForm& f = StartLumarest();
        State().Options.AutoSignZImag = false;
        State().Options.ReverseZImag = c.reverse;
        const double sign = c.reverse ? -1.0 : 1.0;
        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded) << c.name;
        EnterArea(f, c.area);
        expectRows(c.areaValue, sign, std::string(c.name) + ", opened");

        services.messages.clear();
        services.messages.Answer(MsgResult::Yes);
        f.SaveImpedaneData1Click();
        const fs::path saved = root / "data/export data/cell9.dat";
        ASSERT_EQ(State().Files.DataFileName, saved.string()) << c.name;
        // Saving changes nothing in memory.
        expectRows(c.areaValue, sign, std::string(c.name) + ", saved");

        // A new area reads the saved file again: scaled once, by the new area.
        EnterArea(f, "4");
        expectRows(4.0, sign, std::string(c.name) + ", new area");

        // The saved file opened afresh gives the data of the original file.
        services.fileDialogs.AnswerOpen(saved.string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded) << c.name;
        expectRows(1.0, sign, std::string(c.name) + ", reopened");
        form.reset();
    }
}

// A simulation saved as data is opened at once with the options of the
// moment. With the reversed-sign option on, the file must hold Z'' so that
// the reader's turn gives the simulated values back (Z'' positive for the
// capacitive circuit), not their mirror image.
TEST_F(MainRoadTest, ASimulationSavedWithTheReversedSignOptionOpensAsSimulated) {
    MakeProgramFolder("main_road_simulate_reversed");
    TMainForm& f = StartLumarest();
    SimulateRcrWithReversedSign(f, 1.0);
    ASSERT_TRUE(State().Run.SimulatedResults);

    services.messages.clear();
    services.messages.Answer(MsgResult::Yes);
    f.SaveImpedaneData1Click();
    ASSERT_TRUE(State().Run.DataLoaded);
    EXPECT_TRUE(State().Options.ReverseZImag);
    ExpectSimulatedRcr("");
}

// The simulated spectrum of an inductive circuit has Z'' above zero at every
// frequency (stored Z'' negative). Saved as data and opened at once with the
// default option "detect the sign of Zim", it must stay that spectrum, not
// become the capacitive mirror image the detection makes of an instrument's
// file with a majority of negative rows.
TEST_F(MainRoadTest, AnInductiveSimulationSavedAsDataOpensAsSimulated) {
    MakeProgramFolder("main_road_simulate_inductive");
    TMainForm& f = StartLumarest();
    State().Options.AutoSignZImag = true;
    State().Options.ReverseZImag = false;
    ChooseNoiselessSimulation(f, "R(LR)");
    auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
    ASSERT_NE(par, nullptr);
    par->SetStartText(1, "10");
    par->SetStartText(2, "1E-3");
    par->SetStartText(3, "100");
    State().Run.ParamsValid = true;
    f.SimulateCurrentModel(true);
    ASSERT_TRUE(State().Run.SimulatedResults);

    services.messages.clear();
    services.messages.Answer(MsgResult::Yes);
    f.SaveImpedaneData1Click();
    ASSERT_TRUE(State().Run.DataLoaded);
    const SpectrumBlock& sp = State().Spectrum;
    ASSERT_GT(sp.PointCount, 40);
    for (int i = 1; i <= sp.PointCount; ++i) {
        // 10 ohm in series with 1 mH parallel to 100 ohm.
        const std::complex<double> jwl(0.0, TwoPi * sp.Frequency[i] * 1e-3);
        const std::complex<double> z = 10.0 + jwl * 100.0 / (100.0 + jwl);
        EXPECT_NEAR(sp.ZReal[i], z.real(), 1e-6 * std::abs(z)) << "point " << i;
        EXPECT_NEAR(sp.ZImag[i], -z.imag(), 1e-6 * std::abs(z)) << "point " << i;
    }
}

// A simulation is computed from per-area parameters when an area is in
// force, and its file is opened at once with area 1: both commands that save
// it must write the simulated values as they are, not divided by the area as
// "Save Impedance Data" writes measured data.
TEST_F(MainRoadTest, ASimulationSavedUnderAnAreaOpensAsSimulated) {
    struct Case {
        const char* name;
        bool viaParameters;  // "Save Parameters" instead of "Save Impedance Data"
        double area;
    };
    const Case cases[] = {
        {"save data, unit area", false, 1.0},
        {"save data, area 2.5", false, 2.5},
        {"save parameters, unit area", true, 1.0},
        {"save parameters, area 2.5", true, 2.5},
    };
    for (const Case& k : cases) {
        MakeProgramFolder("main_road_simulate_area");
        TMainForm& f = StartLumarest();
        SimulateRcrWithReversedSign(f, k.area);
        ASSERT_TRUE(State().Run.SimulatedResults) << k.name;

        services.messages.clear();
        services.messages.Answer(MsgResult::Yes);
        if (k.viaParameters)
            f.SaveParsClick();
        else
            f.SaveImpedaneData1Click();
        ASSERT_TRUE(State().Run.DataLoaded) << k.name;
        EXPECT_EQ(State().Files.DataFileName.substr(State().Files.DataFileName.size() - 9), "R(CR).sim") << k.name;
        EXPECT_EQ(State().Fit.SampleArea, 1.0) << k.name;
        ExpectSimulatedRcr(k.name);
        form.reset();
    }
}

// A retrieved parameter file brings its sample area, and the data are read
// again in the units of that area. A file of unit area retrieved after one
// with an area must give the data back in ohms: the rows must not stay
// scaled by the area the earlier file brought.
TEST_F(MainRoadTest, RetrievingAFileOfUnitAreaAfterOneWithAnAreaUndoesTheArea) {
    const Rcr truth{8.0, 1.0e-5, 250.0};
    fs::path data;
    TMainForm& f = StartWithOpenedData("main_road_retrieve_area", truth, "cell5.txt", data);
    FitRcr(f, true);
    const fs::path unitArea = root / "par" / "cell5, R(CR).par";
    ASSERT_TRUE(fs::is_regular_file(unitArea));
    // The same file with the area line of a 2.5 cm2 electrode.
    std::string text = ReadText(unitArea);
    const size_t at = text.find("\n1.000 ");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 7, "\n2.500 ");
    const fs::path withArea = root / "par" / "cell5 area, R(CR).par";
    std::ofstream(withArea, std::ios::binary) << text;

    auto expectScaled = [&truth](double area, const char* what) {
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_EQ(sp.PointCount, 40) << what;
        for (int k = 1; k <= sp.PointCount; ++k) {
            const auto z = truth.Z(sp.Frequency[k]);
            EXPECT_NEAR(sp.ZReal[k], area * z.real(), 1e-6 * area * std::abs(z)) << what << ", point " << k;
        }
    };
    services.fileDialogs.AnswerOpen(withArea.string());
    f.RetrieveParsClick();
    EXPECT_EQ(State().Fit.SampleArea, 2.5);
    EXPECT_TRUE(State().Run.PerAreaUnits);
    expectScaled(2.5, "area 2.5");

    services.fileDialogs.AnswerOpen(unitArea.string());
    f.RetrieveParsClick();
    EXPECT_EQ(State().Fit.SampleArea, 1.0);
    EXPECT_FALSE(State().Run.PerAreaUnits);
    expectScaled(1.0, "unit area");
}

// Retrieve after cell1.txt, the R(CR) spectrum of `truth`, is opened in
// Lumarest, with a saved fit of it at unit area (auto sign, modulus
// weighting) of the given chi-squared text and parameter table rows.
class RetrieveRoadTest : public MainRoadTest {
protected:
    const Rcr truth{8.0, 1.0e-5, 250.0};
    fs::path par;

    TMainForm& OpenCellWithSavedFit(const std::string& folder, const std::string& chiSquared,
                                    const std::vector<std::string>& rows) {
        MakeProgramFolder(folder);
        const fs::path data = WriteRcrData(truth, "cell1.txt");
        par = root / "par" / "cell1, R(CR).par";
        std::ofstream out(par, std::ios::binary);
        out << "12/11/2026, 10:00:00\n.../par/cell1, R(CR).par\n\n"
               "  1                             = detect the sign of Zim         \n"
               "  1                             = modulus weighting factor   \n"
               "1.000                        = sample area in square cm \n"
               "R(CR)\n"
            << chiSquared << "                 = chi squared \n\n"
            << "index   fixed    parameter      start               end              % error  \n"
               "-------  ------  ----------     --------            -------          -----------  \n";
        for (const std::string& r : rows) out << r << "\n";
        out << "-------------------------------------------------------------------------\n\n\n";
        out.close();
        TMainForm& f = StartLumarest();
        State().Options.NoiseType = -1;
        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        EXPECT_TRUE(State().Run.DataLoaded);
        return f;
    }
};

TEST_F(RetrieveRoadTest, RetrieveKeepsTheParametersTheSavedFitHeldFixed) {
    // Rs was held at 9 (not the data's 8) in the saved fit.
    TMainForm& f = OpenCellWithSavedFit("main_road_retrieve_fixed", "1.000e-03",
                                        {"    1       1          R               9              9            0 ",
                                         "    2       0          C               1           1E-5          0.1 ",
                                         "    3       0          R               1            250          0.1 "});
    services.fileDialogs.AnswerOpen(par.string());
    f.RetrieveParsClick();
    ASSERT_TRUE(State().Run.ResultsComputed);
    const ParamSet& p = State().Params;
    EXPECT_TRUE(p.Fixed[1]);
    EXPECT_FALSE(p.Fixed[2] || p.Fixed[3]);
    EXPECT_TRUE(Windows().Par->FixedBox(1));
    EXPECT_FALSE(Windows().Par->FixedBox(2) || Windows().Par->FixedBox(3));
    EXPECT_DOUBLE_EQ(std::exp(p.LnValue[1]), 9.0);
    EXPECT_EQ(p.FreeCount, 2);
}

// Without data the recomputation only evaluates the retrieved values. A file
// that failed to open leaves no data loaded, but the Fixed boxes as the data
// opened before freed them and the rows of that data in memory: the
// recomputation fitted every value of the retrieved file, the one its fit
// held fixed as well, to the rows of another file.
TEST_F(RetrieveRoadTest, RetrieveWithoutDataFitsNothingAfterARefusedFile) {
    TMainForm& f = OpenCellWithSavedFit("main_road_retrieve_refused_file", "1.000e-03",
                                        {"    1       1          R               9              9            0 ",
                                         "    2       0          C               1           2E-5          0.1 ",
                                         "    3       0          R               1            300          0.1 "});
    OpenRefusedFile(f);
    ASSERT_FALSE(State().Run.DataLoaded);

    services.fileDialogs.AnswerOpen(par.string());
    f.RetrieveParsClick();
    const ParamSet& p = State().Params;
    EXPECT_EQ(p.FreeCount, 0);
    EXPECT_DOUBLE_EQ(std::exp(p.LnValue[1]), 9.0);
    EXPECT_DOUBLE_EQ(std::exp(p.LnValue[2]), 2e-5);
    EXPECT_DOUBLE_EQ(std::exp(p.LnValue[3]), 300.0);
    for (int j = 1; j <= 3; ++j) EXPECT_TRUE(Windows().Par->FixedBox(j)) << j;
}

// Retrieve recomputes from the end values the file holds. In a new session
// nothing has run yet, and the saved end values must still become the start
// of the recomputation: starting from the file's start column (here 1, as a
// fit from automatic start values leaves it) two rounds of the minimiser do
// not find the fit again.
TEST_F(RetrieveRoadTest, RetrieveInANewSessionRecomputesFromTheSavedEndValues) {
    TMainForm& f = OpenCellWithSavedFit("main_road_fresh_retrieve", "1.000e-08",
                                        {"    1       0          R               1              8          0.1 ",
                                         "    2       0          C               1           1E-5          0.1 ",
                                         "    3       0          R               1            250          0.1 "});
    services.messages.clear();
    services.fileDialogs.AnswerOpen(par.string());
    f.RetrieveParsClick();
    EXPECT_TRUE(Transcript().empty());
    ASSERT_TRUE(State().Run.ResultsComputed);
    const double want[] = {truth.rs, truth.c, truth.rp};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_NEAR(State().Params.Value[i] / want[i - 1], 1.0, 1e-3) << "start " << i;
        EXPECT_NEAR(std::exp(State().Params.LnValue[i]) / want[i - 1], 1.0, 1e-3) << "end " << i;
    }
}
