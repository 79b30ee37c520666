// The circuit program's variants of the shared commands, each driven through
// the real main window as a pair: the same input on Tamberic and on Lumarest.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/fit/TProsimForm.h"
#include "mainwindow/MainRoadFixture.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using namespace pellucor::testing_support;
namespace fs = std::filesystem;
using platform::MsgResult;

namespace {

struct Program {
    const char* name;
    bool lumarest;
};
const Program kPrograms[] = {{"Tamberic", false}, {"Lumarest", true}};

class LumarestRoadTest : public MainRoadTest {
protected:
    TMainForm& StartProgram(const Program& p) { return p.lumarest ? Start(lumarest) : Start(tamberic); }

    // Opens the data of a known circuit and fits R(CR) to it, saving the
    // results; returns the parameter file written.
    fs::path OpenAndFit(TMainForm& f, const std::string& file) {
        const fs::path data = WriteRcrData(Rcr{8.0, 1.0e-5, 250.0}, file);
        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        State().Options.NoiseType = -1;
        ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
        services.messages.Answer(MsgResult::Yes);
        services.messages.Answer(MsgResult::Yes);
        f.Model1Click();
        modal.runner.whileOpen = nullptr;
        return root / "par" / (fs::path(file).stem().string() + ", R(CR).par");
    }

    fitwin::TParForm& Par() { return *dynamic_cast<fitwin::TParForm*>(form->FindWindow("ParForm")); }
};

}  // namespace

TEST_F(LumarestRoadTest, OpenKeepsTheStartValueChoiceOnlyInLumarest) {
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        ResetProgramState();
        ResetWindows();
        MakeProgramFolder(std::string("lumarest_road_open_") + p.name);
        TMainForm& f = StartProgram(p);
        const fs::path first = WriteRcrData(Rcr{10, 1e-5, 100}, "first.txt");
        const fs::path second = WriteRcrData(Rcr{20, 2e-5, 200}, "second.txt");
        services.fileDialogs.AnswerOpen(first.string());
        f.Open1Click();
        State().Run.StartValuesApplied = true;
        State().Run.UserStartValues = true;
        services.fileDialogs.AnswerOpen(second.string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded);
        EXPECT_EQ(State().Files.DataFileName, second.string());
        EXPECT_EQ(State().Run.StartValuesApplied, p.lumarest);
        EXPECT_EQ(State().Run.UserStartValues, p.lumarest);
        form.reset();
    }
}

TEST_F(LumarestRoadTest, RetrieveKeepsBatchAndSimulateModeOnlyInLumarest) {
    struct Case {
        const char* what;
        bool simulate, batch;
    } cases[] = {{"simulate", true, false}, {"batch", false, true}};
    for (const Program& p : kPrograms) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(p.name) + " " + c.what);
            ResetProgramState();
            ResetWindows();
            MakeProgramFolder(std::string("lumarest_road_retrieve_") + p.name + "_" + c.what);
            TMainForm& f = StartProgram(p);
            f.show();
            const fs::path par = OpenAndFit(f, "cell2.txt");
            ASSERT_TRUE(fs::is_regular_file(par));
            f.FindWindow("ProsimForm")->hide();
            State().Run.SimulateMode = c.simulate;
            State().Run.BatchMode = c.batch;
            State().Run.IterateMode = false;
            services.messages.clear();
            services.fileDialogs.AnswerOpen(par.string());
            f.RetrieveParsClick();
            EXPECT_TRUE(State().Run.IterateMode);
            EXPECT_EQ(State().Run.SimulateMode, c.simulate && p.lumarest);
            EXPECT_EQ(State().Run.BatchMode, c.batch && p.lumarest);
            // The express simulator follows simulate mode.
            EXPECT_EQ(f.FindWindow("ProsimForm")->isVisible(), c.simulate && p.lumarest);
            form.reset();
        }
    }
}

TEST_F(LumarestRoadTest, RetrievedNegativeStartValuesTickTheSignBoxesOnlyInLumarest) {
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        ResetProgramState();
        ResetWindows();
        MakeProgramFolder(std::string("lumarest_road_signs_") + p.name);
        TMainForm& f = StartProgram(p);
        const fs::path par = OpenAndFit(f, "cell3.txt");
        ASSERT_TRUE(fs::is_regular_file(par));
        // The start value of the first parameter made negative in the file.
        std::string text = ReadText(par);
        std::istringstream in(text);
        std::string line, out;
        bool rows = false, changed = false;
        while (std::getline(in, line)) {
            if (rows && !changed) {
                std::istringstream l(line);
                std::string index, fixed, name, start;
                if (l >> index >> fixed >> name >> start && index == "1") {
                    const size_t at = line.find(start, line.find(name) + name.size());
                    line.insert(at, "-");
                    changed = true;
                }
            }
            if (line.find("-------") != std::string::npos) rows = true;
            out += line + "\n";
        }
        ASSERT_TRUE(changed) << text;
        std::ofstream(par, std::ios::binary) << out;
        for (int i = 1; i <= 3; ++i) Par().SetSignBox(i, false);
        services.messages.clear();
        services.fileDialogs.AnswerOpen(par.string());
        f.RetrieveParsClick();
        EXPECT_EQ(Par().SignBox(1), p.lumarest);
        EXPECT_FALSE(Par().SignBox(2));
        EXPECT_FALSE(Par().SignBox(3));
        form.reset();
    }
}

// The chi-squared of a simulation is worked out here from what the noise
// changed: with constant noise each point moved by the drawn magnitude m,
// with proportional noise by m times the point's noiseless |Z|; m² summed.
TEST_F(LumarestRoadTest, SimulationShowsTheAddedNoiseAsChiSquaredOnlyInLumarest) {
    struct Case {
        const char* what;
        int noiseType;
    } cases[] = {{"no noise", -1}, {"constant", 0}, {"proportional", 1}};
    for (const Program& p : kPrograms) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(p.name) + " " + c.what);
            ResetProgramState();
            ResetWindows();
            MakeProgramFolder(std::string("lumarest_road_noise_") + p.name + "_" + std::to_string(c.noiseType + 1));
            TMainForm& f = StartProgram(p);
            State().Options.MinFreqExponent = -1;
            State().Options.MaxFreqExponent = 4;
            State().Options.NoiseLevelUnity = 0.5;
            State().Options.NoiseLevelModulus = 0.02;
            auto simulate = [&](int noise) {
                State().Options.NoiseType = noise;
                Windows().Opt->ShowOptions();
                ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton4);
                f.Model1Click();
                Par().SetStartText(1, "10");
                Par().SetStartText(2, "1E-4");
                Par().SetStartText(3, "100");
                State().Run.ParamsValid = true;
                f.SimulateCurrentModel(false);
                modal.runner.whileOpen = nullptr;
                EXPECT_TRUE(State().Run.SimulatedResults);
                return State().Spectrum;
            };
            const SpectrumBlock clean = simulate(-1);
            EXPECT_EQ(State().Fit.ChiSq, 0.0);
            const SpectrumBlock noisy = simulate(c.noiseType);
            ASSERT_EQ(noisy.PointCount, clean.PointCount);
            ASSERT_GT(clean.PointCount, 40);
            double sum = 0.0;
            for (int k = 1; k <= clean.PointCount; ++k) {
                const double dr = noisy.ZRealCalc[k] - clean.ZRealCalc[k];
                const double di = noisy.ZImagCalc[k] - clean.ZImagCalc[k];
                double m = std::hypot(dr, di);
                if (c.noiseType == 1) m /= std::hypot(clean.ZRealCalc[k], clean.ZImagCalc[k]);
                sum += m * m;
            }
            if (c.noiseType >= 0) {
                ASSERT_GT(sum, 0.0);
            }
            const double want = p.lumarest ? sum : 0.0;
            EXPECT_NEAR(State().Fit.ChiSq, want, 1e-9 * (1.0 + want));
            // The parameter window shows it per degree of freedom.
            const int d = State().Fit.ChiSqDivisor;
            ASSERT_GT(d, 0);
            EXPECT_NEAR(Par().Label9->text().replace(',', '.').toDouble(), want / d, 1e-3 * (want / d) + 1e-12);
            form.reset();
        }
    }
}

TEST_F(LumarestRoadTest, EditParametersInBatchModeOpensTheParameterWindowOnlyInLumarest) {
    const NumberedMessage* m43 = FindMessage(43);
    ASSERT_NE(m43, nullptr);
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        ResetProgramState();
        ResetWindows();
        MakeProgramFolder(std::string("lumarest_road_edit_") + p.name);
        TMainForm& f = StartProgram(p);
        OpenAndFit(f, "cell4.txt");
        State().Run.BatchMode = true;
        State().Run.BatchResultLoaded = false;
        modal.runner.shown.clear();
        modal.runner.answers.push_back(false);  // the parameter window cancelled
        services.messages.clear();
        f.ParamListClick();
        std::vector<std::string> texts;
        for (const auto& m : services.messages.transcript()) texts.push_back(m.text);
        if (p.lumarest) {
            EXPECT_TRUE(texts.empty());
            ASSERT_EQ(modal.runner.shown.size(), 1u);
            EXPECT_EQ(modal.runner.shown[0].name, "ParForm");
        } else {
            EXPECT_EQ(texts, std::vector<std::string>{m43->text});
            EXPECT_TRUE(modal.runner.shown.empty());
            modal.runner.answers.clear();
        }
        EXPECT_TRUE(State().Run.BatchMode);
        form.reset();
    }
}

// The main road from open to exit on both programs: the same data fit to the
// circuit it came from, the same files, the four folders written at exit.
// Lumarest differs in its caption and its parameter tolerance.
TEST_F(LumarestRoadTest, MainRoadEndToEndOnBothPrograms) {
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        ResetProgramState();
        ResetWindows();
        // Each program starts as on a fresh machine, without the folders the
        // other one stored at its exit.
        services.settings.values.clear();
        MakeProgramFolder(std::string("lumarest_road_main_") + p.name);
        const Rcr truth{12.5, 2.2e-5, 480.0};
        const fs::path data = WriteRcrData(truth, "cell7.txt");
        TMainForm& f = StartProgram(p);
        ASSERT_EQ(State().Folders.AppFolder, root.string());
        EXPECT_EQ(State().Fit.ParamTolerance, p.lumarest ? 0.02 : 0.1);
        f.show();

        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded);
        EXPECT_EQ(State().Spectrum.PointCount, 40);
        // Both programs carry the shared program name in the caption.
        EXPECT_EQ(f.windowTitle().toStdString(), ".../data/cell7.txt - Lumarest");

        State().Options.NoiseType = -1;
        ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
        services.messages.clear();
        services.messages.Answer(MsgResult::Yes);
        services.messages.Answer(MsgResult::Yes);
        f.Model1Click();
        modal.runner.whileOpen = nullptr;
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"Want to save results?", "Finished job....."},
            {"Save results with this filename?", ".../par/cell7, R(CR).par"},
        };
        EXPECT_EQ(Transcript(), expected);

        const ParamSet& ps = State().Params;
        ASSERT_EQ(ps.ParamCount, 3);
        const double want[] = {truth.rs, truth.c, truth.rp};
        for (int i = 1; i <= 3; ++i)
            EXPECT_NEAR(std::exp(ps.LnValue[i]) / want[i - 1], 1.0, 1e-3) << "parameter " << i;

        const fs::path par = root / "par" / "cell7, R(CR).par";
        for (const fs::path& file : {par, root / "hist" / "cell7, R(CR).hst", root / "temp" / "cell7, R(CR).mat",
                                     root / "temp" / "cell7, R(CR).ma2", root / "covars" / "cell7, R(CR).var"})
            EXPECT_TRUE(fs::is_regular_file(file)) << file;
        const std::vector<double> ends = ParEndValues(ReadText(par));
        ASSERT_EQ(ends.size(), 3u);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(ends[static_cast<size_t>(i)] / want[i], 1.0, 2e-3);

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
}

// A simulation saved through "Save Impedance Data" is opened at once as the
// data. Tamberic counts the simulated values as the computed results of
// them; Lumarest opens them as data alone, so its calculated curve is gone
// and there are no results to save until something is computed.
TEST_F(LumarestRoadTest, SavedSimulationOpensAsDataWithoutResultsOnlyInLumarest) {
    const NumberedMessage* m31 = FindMessage(31);
    ASSERT_NE(m31, nullptr);
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        ResetProgramState();
        ResetWindows();
        MakeProgramFolder(std::string("lumarest_road_saved_simulation_") + p.name);
        TMainForm& f = StartProgram(p);
        SimulateRcrWithReversedSign(f, 1.0);
        modal.runner.whileOpen = nullptr;
        ASSERT_TRUE(State().Run.SimulateMode);
        ASSERT_TRUE(State().Run.ResultsComputed);

        services.messages.clear();
        services.messages.Answer(MsgResult::Yes);  // Save with this filename?
        f.SaveImpedaneData1Click();
        const fs::path sim = root / "data" / "simulation data" / "R(CR).sim";
        ASSERT_TRUE(fs::is_regular_file(sim));
        EXPECT_EQ(State().Files.DataFileName, sim.string());
        ExpectSimulatedRcr("opened as the data");
        const RunState& r = State().Run;
        EXPECT_TRUE(r.DataLoaded);
        EXPECT_TRUE(r.IterateMode);
        EXPECT_TRUE(r.ModelValid);
        EXPECT_FALSE(r.SimulateMode);
        EXPECT_EQ(r.ResultsComputed, !p.lumarest);

        // The next plot shows the calculated curve only where results count.
        f.Nyquist1Click();
        const int n = State().Spectrum.PointCount;
        EXPECT_EQ(Chart().Plots().Series(1).Count(), n);
        EXPECT_EQ(Chart().Plots().Series(2).Count(), p.lumarest ? 0 : n);

        services.messages.clear();
        const fs::path par = root / "par" / "simulation par" / "R(CR), R(CR).par";
        if (!p.lumarest) services.messages.Answer(MsgResult::Yes);  // Save results with this filename?
        f.SaveParsClick();
        ASSERT_EQ(services.messages.transcript().size(), 1u);
        if (p.lumarest) {
            EXPECT_EQ(services.messages.transcript()[0].text, m31->text);
            EXPECT_FALSE(fs::exists(par));
        } else {
            EXPECT_EQ(services.messages.transcript()[0].text, "Save results with this filename?");
            EXPECT_TRUE(fs::is_regular_file(par));
        }
        form.reset();
    }
}

// The quick simulator through the real main window of each program: Simulate
// chosen in the model dialog shows it with the kinds' default values and
// simulates them; a value typed and "Update" simulate again. Noise off, from
// 10 kHz down by a factor 0.8 while above 0.1 Hz: 10^4 * 0.8^k > 0.1 for
// k <= 51, so 52 points, each the R(CR) of the values shown.
TEST_F(LumarestRoadTest, QuickSimulatorOnBothPrograms) {
    auto expectSpectrum = [](const Rcr& c, const std::string& label) {
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_EQ(sp.PointCount, 52) << label;
        for (int i = 1; i <= 52; ++i) {
            const double fr = 1e4 * std::pow(0.8, i - 1);
            ASSERT_NEAR(sp.Frequency[i], fr, 1e-9 * fr) << label << ", point " << i;
            const auto z = c.Z(fr);
            EXPECT_NEAR(sp.ZRealCalc[i], z.real(), 1e-9 * std::abs(z)) << label << ", point " << i;
            EXPECT_NEAR(sp.ZImagCalc[i], -z.imag(), 1e-9 * std::abs(z)) << label << ", point " << i;
        }
    };
    for (const Program& p : kPrograms) {
        SCOPED_TRACE(p.name);
        ResetProgramState();
        ResetWindows();
        MakeProgramFolder(std::string("lumarest_road_quick_simulator_") + p.name);
        TMainForm& f = StartProgram(p);
        ChooseNoiselessSimulation(f, "R(CR)");
        modal.runner.whileOpen = nullptr;
        auto* sim = dynamic_cast<fitwin::TProsimForm*>(f.FindWindow("ProsimForm"));
        ASSERT_NE(sim, nullptr);
        ASSERT_TRUE(sim->isVisible());
        EXPECT_EQ(sim->Label1->text(), "R(CR)");
        EXPECT_EQ(sim->Edits[1]->text(), "100");
        EXPECT_EQ(sim->Edits[2]->text(), "1E-5");
        EXPECT_EQ(sim->Edits[3]->text(), "100");
        expectSpectrum(Rcr{100, 1e-5, 100}, "defaults");

        sim->Edits[1]->setText("200");
        sim->Edits[2]->setText("2E-6");
        sim->RefreshBitBtn->click();
        expectSpectrum(Rcr{200, 2e-6, 100}, "typed");
        const RunState& r = State().Run;
        EXPECT_TRUE(r.SimulateMode);
        EXPECT_TRUE(r.ResultsComputed);
        EXPECT_TRUE(r.SimulatedResults);
        EXPECT_EQ(Par().StartText(1), "200");
        EXPECT_EQ(Par().StartText(2), "2E-6");
        EXPECT_EQ(State().Files.DataFileName, (root / "data" / "simulation data" / "R(CR).sim").string());
        EXPECT_FALSE(fs::exists(root / "data" / "simulation data" / "R(CR).sim"));
        // Without noise both programs show a perfect fit quality.
        EXPECT_EQ(State().Fit.ChiSq, 0.0);
        EXPECT_EQ(Chart().Plots().Series(2).Count(), 52);
        form.reset();
    }
}
