#pragma once
// The main road fixture shared by both programs' tests: a program folder of
// its own under test-output, the data file of a known R(CR) circuit, the
// model dialog filled as a person would, and readers of the files written.
#include <QLineEdit>
#include <QRadioButton>

#include <cmath>
#include <complex>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "apps/LumarestProfile.h"
#include "core/StartUp.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/input/SmallInputForms.h"
#include "dialogs/paste/TPasteForm.h"
#include "mainwindow/MainWindowFixture.h"
#include "platform/Clipboard.h"

namespace pellucor::testing_support {

using namespace pellucor::mainwindow;
namespace fs = std::filesystem;

// R(CR): Rs in series with C parallel to Rp.
struct Rcr {
    double rs, c, rp;
    std::complex<double> Z(double f) const {
        const std::complex<double> jw(0.0, 2.0 * M_PI * f);
        return rs + 1.0 / (jw * c + 1.0 / rp);
    }
};

inline std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// End values of the parameter rows of a .par file: "index fixed name start end error".
inline std::vector<double> ParEndValues(const std::string& text) {
    std::vector<double> out;
    std::istringstream in(text);
    std::string line;
    bool rows = false;
    while (std::getline(in, line)) {
        if (line.find("-------") != std::string::npos) {
            rows = true;
            continue;
        }
        if (!rows) continue;
        std::istringstream l(line);
        int index = 0, fixed = 0;
        std::string name, start;
        double end = 0;  // read by the stream, whatever the C locale's decimal separator
        if (l >> index >> fixed >> name >> start >> end) out.push_back(end);
    }
    return out;
}

inline std::string Flags() {
    const RunState& r = State().Run;
    std::string s;
    auto add = [&](const char* n, bool v) { s += std::string(n) + "=" + (v ? "1 " : "0 "); };
    add("Iterate", r.IterateMode);
    add("Monitor", r.MonitorMode);
    add("Simulate", r.SimulateMode);
    add("Data", r.DataLoaded);
    add("Model", r.ModelValid);
    add("Params", r.ParamsValid);
    add("Results", r.ResultsComputed);
    add("Sim", r.SimulatedResults);
    add("Reset", r.ResetParamWindow);
    add("Applied", r.StartValuesApplied);
    add("User", r.UserStartValues);
    return s;
}

class MainRoadTest : public MainWindowTest {
protected:
    // A program folder of its own, kept under test-output for a reviewer.
    void MakeProgramFolder(const std::string& name) {
        root = fs::path(PELLUCOR_TEST_OUTPUT_DIR) / name;
        fs::remove_all(root);
        for (const char* sub : {"data", "par", "data/simulation data", "data/export data", "par/simulation par",
                                "pics", "doc", "report", "bmp", "batch", "hist", "temp", "kinetics", "covars"})
            fs::create_directories(root / sub);
        services.settings.WriteString(platform::SettingsScope::Machine, MachineSettingsKey(), "InstallDir",
                                      root.string());
    }

    // The data file of a known R(CR) circuit, `points` points from 100 kHz
    // down, `perDecade` to a decade, Z'' negative.
    fs::path WriteRcrData(const Rcr& c, const std::string& file, int points = 40, double perDecade = 6.0) {
        const fs::path p = root / "data" / file;
        std::ofstream out(p);
        out.precision(10);
        for (int k = 0; k < points; ++k) {
            const double f = 1e5 * std::pow(10.0, -k / perDecade);
            const auto z = c.Z(f);
            out << std::scientific << f << ' ' << z.real() << ' ' << z.imag() << "\n";
        }
        return p;
    }

    TMainForm& StartLumarest() { return Start(lumarest); }

    // Opens a file of five points, which the reader refuses (too few); the
    // rows of the data before stay in memory. Returns its path.
    fs::path OpenRefusedFile(TMainForm& f) {
        const fs::path bad = root / "data" / "five points.txt";
        {
            std::ofstream out(bad);
            for (int k = 1; k <= 5; ++k) out << 1000.0 / k << " 1.0 -1.0\n";
        }
        services.fileDialogs.AnswerOpen(bad.string());
        f.Open1Click();
        return bad;
    }

    // The sample-area window, opened from the panel, with `text` typed and OK.
    void EnterArea(TMainForm& f, const std::string& text) {
        modal.runner.answers.push_back(true);
        modal.runner.whileOpen = [text](QDialog& d) {
            auto* a = dynamic_cast<dialogs::TSAreaForm*>(&d);
            ASSERT_NE(a, nullptr);
            a->FormActivate();
            a->Edit1->setText(QString::fromStdString(text));
            a->BitBtn1Click();
        };
        f.SurfaceBtn1Click();
        modal.runner.whileOpen = nullptr;
    }

    // Twenty points of the R(CR) circuit `c` from 10 kHz down, as another
    // program copies them: frequency, Z' and Z'' per line.
    static std::string ClipboardRcrText(const Rcr& c) {
        std::string text;
        for (int k = 0; k < 20; ++k) {
            const double fr = 1e4 * std::pow(10.0, -k / 4.0);
            const auto z = c.Z(fr);
            text += std::to_string(fr) + " " + std::to_string(z.real()) + " " + std::to_string(z.imag()) + "\r\n";
        }
        return text;
    }

    // The paste command with `clipboardText` on the clipboard: the window
    // pastes it, `then` acts in the open window, and OK closes it.
    void PasteThroughWindow(TMainForm& f, const std::string& clipboardText,
                            std::function<void(dialogs::TPasteForm&)> then = {}) {
        platform::MemoryClipboard clip;
        clip.text = clipboardText;
        platform::InstallClipboard(&clip);
        modal.runner.answers.push_back(true);
        modal.runner.whileOpen = [then](QDialog& d) {
            auto* paste = dynamic_cast<dialogs::TPasteForm*>(&d);
            ASSERT_NE(paste, nullptr);
            paste->FormActivate();
            paste->MemoryBtnClick();
            if (then) then(*paste);
        };
        f.Paste1Click();
        platform::InstallClipboard(nullptr);
    }

    // A program folder of its own, Lumarest started and the R(CR) data file
    // `file` opened through the open command; `data` is its path.
    TMainForm& StartWithOpenedData(const std::string& folder, const Rcr& c, const std::string& file,
                                   fs::path& data) {
        MakeProgramFolder(folder);
        data = WriteRcrData(c, file);
        TMainForm& f = StartLumarest();
        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        return f;
    }

    // The model dialog as a person fills it: code, start values, run mode, OK.
    void ChooseModel(const std::string& code, QRadioButton* fitwin::TCDCForm::*mode, bool user = false) {
        modal.runner.answers.push_back(true);
        modal.runner.whileOpen = [code, mode, user](QDialog& d) {
            auto* cdc = dynamic_cast<fitwin::TCDCForm*>(&d);
            if (!cdc) return;
            cdc->SetCodeText(code);
            (cdc->*mode)->setChecked(true);
            (user ? cdc->UserBtn : cdc->AutoStartBtn)->setChecked(true);
            cdc->OkBitBtn1Click();
        };
    }

    // A noise-free R(CR) fit of the opened data by iteration from automatic
    // start values; `save` answers both save questions with Yes, else the
    // first with No.
    void FitRcr(TMainForm& f, bool save) {
        State().Options.NoiseType = -1;
        ChooseModel("R(CR)", &fitwin::TCDCForm::RadioButton2);
        if (save) {
            services.messages.Answer(platform::MsgResult::Yes);  // Want to save results?
            services.messages.Answer(platform::MsgResult::Yes);  // Save results with this filename?
        } else {
            services.messages.Answer(platform::MsgResult::No);  // Want to save results?
        }
        f.Model1Click();
    }

    // The R(CR) the simulation tests compute: 10 ohm, 100 uF, 100 ohm.
    static Rcr SimulatedRcr() { return Rcr{10.0, 1e-4, 100.0}; }

    // The model window's Simulate for `code`, without noise from 0.1 Hz to
    // 10 kHz (the options set before stay as they are).
    void ChooseNoiselessSimulation(TMainForm& f, const std::string& code) {
        State().Options.NoiseType = -1;
        State().Options.MinFreqExponent = -1;
        State().Options.MaxFreqExponent = 4;
        Windows().Opt->ShowOptions();
        ChooseModel(code, &fitwin::TCDCForm::RadioButton4);
        f.Model1Click();
    }

    // Simulate mode with the reversed-sign option on: R(CR) with the values
    // of SimulatedRcr() simulated without noise from 0.1 Hz to 10 kHz, under
    // `area` (per-area units when it is not 1).
    void SimulateRcrWithReversedSign(TMainForm& f, double area) {
        State().Options.AutoSignZImag = false;
        State().Options.ReverseZImag = true;
        ChooseNoiselessSimulation(f, "R(CR)");
        auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
        if (!par) {
            ADD_FAILURE() << "no parameter window";
            return;
        }
        par->SetStartText(1, "10");
        par->SetStartText(2, "1E-4");
        par->SetStartText(3, "100");
        State().Fit.SampleArea = area;
        State().Run.PerAreaUnits = area != 1.0;
        State().Run.ParamsValid = true;
        f.SimulateCurrentModel(true);
    }

    // The data in memory are the simulated R(CR), Z'' positive for it.
    static void ExpectSimulatedRcr(const std::string& label) {
        const Rcr c = SimulatedRcr();
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_GT(sp.PointCount, 40) << label;
        for (int i = 1; i <= sp.PointCount; ++i) {
            const auto z = c.Z(sp.Frequency[i]);
            EXPECT_NEAR(sp.ZReal[i], z.real(), 1e-6 * std::abs(z)) << label << ", point " << i;
            EXPECT_NEAR(sp.ZImag[i], -z.imag(), 1e-6 * std::abs(z)) << label << ", point " << i;
        }
    }

    std::vector<std::pair<std::string, std::string>> Transcript() const {
        std::vector<std::pair<std::string, std::string>> t;
        for (const auto& m : services.messages.transcript()) t.emplace_back(m.text, m.caption);
        return t;
    }

    apps::LumarestProfile lumarest;
    fs::path root;
};

}  // namespace pellucor::testing_support
