// Sessions of an electrochemist with the shipped sample spectra, driven
// through Lumarest's own windows: options and sample area entered in their
// dialogs, a fit from automatic start values, both save commands, and the
// files read back in a new session (fresh program state, same program
// folder) by the program's own retrieve and open. The true values are those
// scripts/make_sample_data.py wrote the files from (0.5 % noise).
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <charconv>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <locale.h>
#include <sstream>
#include <string>
#include <vector>

#include "core/NumberText.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TOptForm.h"
#include "dialogs/fit/TParForm.h"
#include "dialogs/input/SmallInputForms.h"
#include "kk/OrderScan.h"
#include "mainwindow/MainRoadFixture.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using namespace pellucor::testing_support;
namespace fs = std::filesystem;
using platform::MsgResult;

namespace {

// Numbers of a text with either decimal separator, read in the C locale
// whatever the thread's locale is.
double Number(std::string word) {
    for (char& c : word)
        if (c == ',') c = '.';
    if (!word.empty() && word[0] == '+') word.erase(0, 1);
    double v = NAN;
    const char* end = word.data() + word.size();
    const auto r = std::from_chars(word.data(), end, v);
    return r.ec == std::errc() && r.ptr == end ? v : NAN;
}

// The parameter rows of a .par file: end value and error column.
struct ParRow {
    double end = 0, error = 0;
};
std::vector<ParRow> ParRows(const std::string& text) {
    std::vector<ParRow> out;
    std::istringstream in(text);
    std::string line;
    bool rows = false;
    while (std::getline(in, line)) {
        if (line.rfind("-------  ", 0) == 0) {
            rows = true;
            continue;
        }
        if (!rows || line.rfind("----", 0) == 0) {
            if (rows) break;
            continue;
        }
        std::istringstream l(line);
        std::string index, fixed, name, start, end, error;
        if (l >> index >> fixed >> name >> start >> end >> error) out.push_back({Number(end), Number(error)});
    }
    return out;
}

// The number that leads the line of the file labelled `label` ("= sample area").
double NumberOfLine(const std::string& text, const std::string& label) {
    std::istringstream in(text);
    std::string line, word;
    while (std::getline(in, line))
        if (line.find(label) != std::string::npos && (std::istringstream(line) >> word)) return Number(word);
    return NAN;
}

// Rows "f Z' Z'' ..." of a data file; heading lines are passed over.
struct Row {
    double f, zr, zi;
};
std::vector<Row> DataRows(const fs::path& p) {
    std::vector<Row> out;
    std::ifstream in(p);
    std::string a, b, c;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream l(line);
        if (!(l >> a >> b >> c)) continue;
        const Row r{Number(a), Number(b), Number(c)};
        if (std::isfinite(r.f) && std::isfinite(r.zr) && std::isfinite(r.zi)) out.push_back(r);
    }
    return out;
}

// The generating circuits of the sample files.
using Cx = std::complex<double>;
Cx ZRcr(double w) {
    const Cx jw(0, w);
    return 20.0 + 1.0 / (jw * 2.0e-5 + 1.0 / 500.0);
}
Cx ZRcrqr(double w) {
    const Cx jw(0, w);
    const Cx zq = 1.0 / (5.0e-4 * std::pow(jw, 0.8));
    return 15.0 + 1.0 / (jw * 1.0e-6 + 1.0 / 100.0) + 1.0 / (1.0 / zq + 1.0 / 1000.0);
}

struct Sample {
    const char* file;
    const char* code;
    std::vector<double> truth;
    // Per parameter: how it scales with the sample area (R and Y0-like
    // elements by the area or its inverse, exponents not at all).
    std::vector<double> areaPower;
    Cx (*z)(double);
};
const Sample kSamples[] = {
    {"rcr_plain.txt", "R(CR)", {20.0, 2.0e-5, 500.0}, {1, -1, 1}, ZRcr},
    {"rcrqr_zview.txt", "R(CR)(QR)", {15.0, 1.0e-6, 100.0, 5.0e-4, 0.8, 1000.0}, {1, -1, 1, -1, 0, 1}, ZRcrqr},
    {"rcrqr_curve.txt", "R(CR)(QR)", {15.0, 1.0e-6, 100.0, 5.0e-4, 0.8, 1000.0}, {1, -1, 1, -1, 0, 1}, ZRcrqr},
};

// A thread locale with a decimal comma for the time of a session, as a
// user's desktop in much of Europe has it.
class CommaLocale {
public:
    explicit CommaLocale(bool use) {
        if (!use) return;
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
            if ((loc_ = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0))) != static_cast<locale_t>(0)) break;
        if (loc_ != static_cast<locale_t>(0)) previous_ = uselocale(loc_);
    }
    ~CommaLocale() {
        if (loc_ == static_cast<locale_t>(0)) return;
        uselocale(previous_);
        freelocale(loc_);
    }
    bool Installed() const { return loc_ != static_cast<locale_t>(0); }

private:
    locale_t loc_ = static_cast<locale_t>(0);
    locale_t previous_ = static_cast<locale_t>(0);
};

class UserSessionTest : public MainRoadTest {
protected:
    // A new session of the program in the same program folder.
    TMainForm& NewSession() {
        form.reset();
        ResetProgramState();
        ResetWindows();
        return StartLumarest();
    }

    // The options dialog: decimal comma and the sign of Z'' as a person sets them.
    void SetOptions(TMainForm& f, bool comma, bool reverse) {
        modal.runner.answers.push_back(true);
        modal.runner.whileOpen = [comma, reverse](QDialog& d) {
            auto* o = dynamic_cast<fitwin::TOptForm*>(&d);
            ASSERT_NE(o, nullptr);
            o->FormActivate();
            o->CheckBox1->setChecked(comma);
            (reverse ? o->ReverseBtn : o->AutoDetectBtn)->setChecked(true);
            o->OKBitBtn1Click();
        };
        f.Option1Click();
        modal.runner.whileOpen = nullptr;
    }

    void Open(TMainForm& f, const fs::path& p) {
        services.fileDialogs.AnswerOpen(p.string());
        f.Open1Click();
    }

    // Model dialog: the code, Iterate, Auto Setup; both save questions Yes.
    void FitAndSave(TMainForm& f, const std::string& code) {
        ChooseModel(code, &fitwin::TCDCForm::RadioButton2);
        services.messages.Answer(MsgResult::Yes);  // Want to save results?
        services.messages.Answer(MsgResult::Yes);  // Save results with this filename?
        f.Model1Click();
        modal.runner.whileOpen = nullptr;
    }

    void Retrieve(TMainForm& f, const fs::path& par) {
        services.fileDialogs.AnswerOpen(par.string());
        f.RetrieveParsClick();
    }

    static std::vector<double> Fitted() {
        const ParamSet& p = State().Params;
        std::vector<double> v;
        for (int i = 1; i <= p.ParamCount; ++i) v.push_back(std::exp(p.LnValue[i]) * p.Sign[i]);
        return v;
    }

    void CopySamples() {
        const fs::path shipped = fs::path(PELLUCOR_TEST_DATA_DIR) / ".." / ".." / "apps" / "files" / "data";
        for (const Sample& s : kSamples) fs::copy_file(shipped / s.file, root / "data" / s.file);
    }
};

}  // namespace

// The windows show numbers with a decimal point whatever the desktop's
// locale; what a person types or leaves there must read back as the same
// number under a decimal-comma locale too, or "2.5" becomes 2 (the area, a
// noise level, a start value: and a retrieved fit re-reads its end values
// from the parameter window's texts).
TEST_F(UserSessionTest, TypedNumbersReadTheSameUnderADecimalCommaLocale) {
    MakeProgramFolder("user_session_typed_numbers");
    TMainForm& f = NewSession();
    CommaLocale comma(true);
    if (!comma.Installed()) GTEST_SKIP() << "no locale with a decimal comma installed";
    for (const char* text : {"2.5", "2,5"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadTypedNumber(text), 2.5);

        State().Fit.SampleArea = 1.0;
        EnterArea(f, text);
        EXPECT_EQ(State().Fit.SampleArea, 2.5);

        auto* par = dynamic_cast<fitwin::TParForm*>(f.FindWindow("ParForm"));
        ASSERT_NE(par, nullptr);
        State().Circuit.Code = "R(CR)";
        State().Params.ParamCount = 3;
        par->SetStartText(1, text);
        par->ReadStartValues();
        EXPECT_EQ(State().Params.Value[1], 2.5);

        modal.runner.answers.push_back(true);
        modal.runner.whileOpen = [text](QDialog& d) {
            auto* o = dynamic_cast<fitwin::TOptForm*>(&d);
            ASSERT_NE(o, nullptr);
            o->FormActivate();
            o->Edit1->setText(text);
            o->OKBitBtn1Click();
        };
        f.Option1Click();
        modal.runner.whileOpen = nullptr;
        EXPECT_EQ(State().Options.NoiseLevelModulus, 2.5);
    }
}

// Each sample file fitted from automatic start values in three set-ups (as
// shipped; a 2.5 cm2 electrode with the reversed-sign option; decimal commas
// in the files and the desktop's locale), saved, and read back in a new
// session: the fitted values lie within a few per cent of the truths, the
// errors the program reports are of the order of the actual deviations, and
// neither the parameter file nor the saved data change beyond their printed
// digits on the way back.
TEST_F(UserSessionTest, SampleFilesFitSaveAndReadBackInANewSession) {
    struct Setup {
        const char* name;
        const char* areaText;
        double area;
        bool reverse;
        bool comma;
    } setups[] = {
        {"as shipped", nullptr, 1.0, false, false},
        {"area 2.5, reversed sign", "2.5", 2.5, true, false},
        {"decimal commas", "0,75", 0.75, false, true},
    };
    for (const Setup& set : setups) {
        for (const Sample& smp : kSamples) {
            SCOPED_TRACE(std::string(set.name) + ", " + smp.file);
            MakeProgramFolder("user_session");
            CopySamples();
            const fs::path data = root / "data" / smp.file;
            const std::string base = fs::path(smp.file).stem().string();
            const fs::path par = root / "par" / (base + ", " + smp.code + ".par");
            const fs::path dat = root / "data" / "export data" / (base + ".dat");
            std::vector<double> fitted;
            std::vector<Row> original;
            {
                CommaLocale comma(set.comma);
                if (set.comma && !comma.Installed()) GTEST_SKIP() << "no locale with a decimal comma installed";
                TMainForm& f = NewSession();
                SetOptions(f, set.comma, set.reverse);
                Open(f, data);
                ASSERT_TRUE(State().Run.DataLoaded);
                ASSERT_EQ(State().Spectrum.PointCount, 50);
                for (int k = 1; k <= 50; ++k)
                    original.push_back({State().Spectrum.Frequency[k], State().Spectrum.ZReal[k], State().Spectrum.ZImag[k]});
                if (set.areaText) EnterArea(f, set.areaText);
                ASSERT_EQ(State().Fit.SampleArea, set.area);
                services.messages.clear();
                FitAndSave(f, smp.code);
                ASSERT_EQ(Transcript().size(), 2u);
                EXPECT_EQ(Transcript()[0].first, "Want to save results?");
                fitted = Fitted();
                ASSERT_EQ(fitted.size(), smp.truth.size());
                const ParamSet& p = State().Params;
                double worstDev = 0, worstErr = 0;
                for (size_t i = 0; i < fitted.size(); ++i) {
                    const double truth = smp.truth[i] * std::pow(set.area, smp.areaPower[i]);
                    const double dev = 100.0 * std::fabs(fitted[i] / truth - 1.0);
                    const double err = p.Error[static_cast<int>(i) + 1];
                    EXPECT_LT(dev, 5.0) << "parameter " << i + 1;
                    // The reported error and the actual deviation agree in order
                    // of magnitude: noise of 0.5 % cannot move a value by ten
                    // times its error, and an error ten times the deviations
                    // of all values would say nothing.
                    EXPECT_GT(err, 0.0) << "parameter " << i + 1;
                    EXPECT_LT(dev, 10.0 * err + 0.05) << "parameter " << i + 1;
                    worstDev = std::max(worstDev, dev);
                    worstErr = std::max(worstErr, err);
                }
                EXPECT_LT(worstErr, 10.0 * std::max(worstDev, 0.05));
                services.messages.clear();
                services.messages.Answer(MsgResult::Yes);
                f.SaveImpedaneData1Click();
                ASSERT_TRUE(fs::is_regular_file(dat));
                f.Exit1Click();
            }
            ASSERT_TRUE(fs::is_regular_file(par));
            const std::string parText = ReadText(par);
            const std::vector<ParRow> rows = ParRows(parText);
            ASSERT_EQ(rows.size(), fitted.size()) << parText;
            for (size_t i = 0; i < rows.size(); ++i)
                EXPECT_NEAR(rows[i].end / fitted[i], 1.0, 5e-4) << parText;
            EXPECT_NEAR(NumberOfLine(parText, "= sample area"), set.area, 1e-9) << parText;
            if (set.comma) {
                const size_t at = parText.find("= chi squared");
                ASSERT_NE(at, std::string::npos);
                const size_t bol = parText.rfind('\n', at);
                EXPECT_NE(parText.substr(bol, at - bol).find(','), std::string::npos) << parText;
            }
            // The saved data hold the spectrum as read from the sample file,
            // in ohms (the sign of Z'' is checked by opening the file below).
            const std::vector<Row> saved = DataRows(dat);
            ASSERT_EQ(saved.size(), original.size());
            for (size_t k = 0; k < saved.size(); ++k) {
                const Row& o = original[k];
                const double m = std::hypot(o.zr, o.zi);
                EXPECT_NEAR(saved[k].f / o.f, 1.0, 1e-6) << k;
                EXPECT_NEAR(saved[k].zr, o.zr, 1e-6 * m) << k;
                EXPECT_NEAR(std::fabs(saved[k].zi), std::fabs(o.zi), 1e-6 * m) << k;
            }

            // A new session: the same options, the sample file opened, the
            // parameter file retrieved.
            {
                CommaLocale comma(set.comma);
                TMainForm& f = NewSession();
                SetOptions(f, set.comma, set.reverse);
                Open(f, data);
                ASSERT_TRUE(State().Run.DataLoaded);
                services.messages.clear();
                Retrieve(f, par);
                EXPECT_TRUE(Transcript().empty());
                EXPECT_EQ(State().Fit.SampleArea, set.area);
                EXPECT_EQ(State().Circuit.Code, smp.code);
                // The data of the session are those of the first, area included.
                ASSERT_EQ(State().Spectrum.PointCount, 50);
                for (int k = 1; k <= 50; ++k) {
                    const Row& o = original[static_cast<size_t>(k - 1)];
                    EXPECT_EQ(State().Spectrum.ZReal[k], o.zr * set.area) << k;
                    EXPECT_EQ(State().Spectrum.ZImag[k], o.zi * set.area) << k;
                }
                // Recomputed from the four digits saved: the fit found again.
                const std::vector<double> back = Fitted();
                ASSERT_EQ(back.size(), fitted.size());
                for (size_t i = 0; i < back.size(); ++i)
                    EXPECT_NEAR(back[i] / fitted[i], 1.0, 1e-3) << "parameter " << i + 1;

                // The saved data opened: the spectrum of the sample file.
                Open(f, dat);
                ASSERT_TRUE(State().Run.DataLoaded);
                ASSERT_EQ(State().Spectrum.PointCount, 50);
                EXPECT_EQ(State().Fit.SampleArea, 1.0);
                for (int k = 1; k <= 50; ++k) {
                    const Row& o = original[static_cast<size_t>(k - 1)];
                    const double m = std::hypot(o.zr, o.zi);
                    EXPECT_NEAR(State().Spectrum.Frequency[k] / o.f, 1.0, 1e-5) << k;
                    EXPECT_NEAR(State().Spectrum.ZReal[k], o.zr, 1e-5 * m) << k;
                    EXPECT_NEAR(State().Spectrum.ZImag[k], o.zi, 1e-5 * m) << k;
                }
                form.reset();
            }
        }
    }
}

// A fit stopped part way (the progress window closed), then saved with
// "Save Parameters" and retrieved in a new session. Wherever the stop falls,
// what is saved is one state: the end values the windows hold, the
// chi-squared of those values, and calculated rows that belong to them; the
// retrieve in a new session takes the file without complaint.
TEST_F(UserSessionTest, AStoppedFitSavesOneConsistentState) {
    const Sample& smp = kSamples[0];
    for (int stopAfter : {2, 5, 10, 18, 25}) {
        SCOPED_TRACE("stop after " + std::to_string(stopAfter) + " message pumps");
        MakeProgramFolder("user_session_stopped");
        CopySamples();
        const fs::path data = root / "data" / smp.file;
        const fs::path par = root / "par" / "rcr_plain, R(CR).par";
        TMainForm& f = NewSession();
        Open(f, data);
        ASSERT_TRUE(State().Run.DataLoaded);
        services.pump.calls = 0;
        services.pump.stopAfter = stopAfter;
        services.pump.onStop = [] { State().Run.StopRequested = true; };
        ChooseModel(smp.code, &fitwin::TCDCForm::RadioButton2);
        services.messages.clear();
        f.Model1Click();
        modal.runner.whileOpen = nullptr;
        services.pump.onStop = nullptr;
        services.pump.stopAfter = -1;
        EXPECT_TRUE(Transcript().empty());  // a stop asks nothing
        ASSERT_GE(services.pump.calls, stopAfter);
        ASSERT_EQ(State().History.IterationCount, 0);  // the run did not end by itself

        services.messages.clear();
        services.messages.Answer(MsgResult::Yes);  // Save results with this filename?
        f.SaveParsClick();
        if (!State().Run.ResultsComputed) {
            // Stopped before anything was computed: nothing to save, and it says so.
            ASSERT_EQ(Transcript().size(), 1u);
            EXPECT_EQ(Transcript()[0].first, "Not computed.");
            EXPECT_FALSE(fs::exists(par));
            continue;
        }
        ASSERT_EQ(Transcript().size(), 1u);
        EXPECT_EQ(Transcript()[0].first, "Save results with this filename?");
        ASSERT_TRUE(fs::is_regular_file(par));
        const std::string text = ReadText(par);
        const std::vector<ParRow> rows = ParRows(text);
        const std::vector<double> inMemory = Fitted();
        ASSERT_EQ(rows.size(), 3u) << text;
        for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(rows[i].end / inMemory[i], 1.0, 5e-4) << text;

        // The calculated rows are those of the saved values (closed form here).
        const double rs = inMemory[0], c = inMemory[1], rp = inMemory[2];
        const SpectrumBlock& sp = State().Spectrum;
        double chi = 0;
        for (int k = 1; k <= sp.PointCount; ++k) {
            const Cx jw(0, sp.Omega[k]);
            const Cx z = rs + 1.0 / (jw * c + 1.0 / rp);
            EXPECT_NEAR(sp.ZRealCalc[k], z.real(), 1e-9 * std::abs(z)) << k;
            EXPECT_NEAR(sp.ZImagCalc[k], -z.imag(), 1e-9 * std::abs(z)) << k;
            // Modulus weighting, the default: squared deviations over the
            // calculated |Z|^2.
            const double m2 = std::norm(z);
            chi += (std::pow(sp.ZReal[k] - z.real(), 2) + std::pow(sp.ZImag[k] + z.imag(), 2)) / m2;
        }
        ASSERT_EQ(State().Options.Weighting, 1);
        // The file's chi-squared is per degree of freedom (points less the
        // free parameters, less one more by some counts: 2 % here).
        EXPECT_NEAR(NumberOfLine(text, "= chi squared") / (chi / (sp.PointCount - 3)), 1.0, 0.025) << text;

        // A new session retrieves it.
        f.Exit1Click();
        TMainForm& g = NewSession();
        Open(g, data);
        services.messages.clear();
        Retrieve(g, par);
        EXPECT_TRUE(Transcript().empty());
        EXPECT_TRUE(State().Run.ResultsComputed);
        EXPECT_EQ(State().Circuit.Code, "R(CR)");
        EXPECT_EQ(State().Params.ParamCount, 3);
    }
}

// The Kramers-Kronig check of Lumarest on the sample spectra, opened through
// the program's own open command, and on a copy whose Z' is 30 % high on
// points 21 to 28 (about 100 Hz down to 10 Hz).
//  - "Calculate Impedance" on the measured points: the residual of
//    consistent data stays at the level of their noise; the copy's is many
//    times larger.
//  - "Evaluate" (tail search, then Z'(inf) searched with the tail appended):
//    its residual averages over the appended points only, so the number
//    shown hardly moves; the transform of Z' into Z'' shown against the data
//    follows consistent data within a few per cent of |Z| and departs from
//    the copy by much more where it was spoilt. (The Z'(inf) that search
//    picks fits the tail, not the measured high-frequency end, so the other
//    transform is compared nowhere here.)
TEST_F(UserSessionTest, KramersKronigPassesTheSamplesAndFlagsACorruptedCopy) {
    MakeProgramFolder("user_session_kk");
    CopySamples();
    TMainForm& f = NewSession();
    auto spoilt = [](int k) { return k >= 21 && k <= 28; };
    for (const Sample& smp : kSamples) {
        SCOPED_TRACE(smp.file);
        const fs::path data = root / "data" / smp.file;
        const fs::path bad = root / "data" / (fs::path(smp.file).stem().string() + "_bad.txt");
        {
            Open(f, data);
            ASSERT_TRUE(State().Run.DataLoaded);
            std::ofstream out(bad);
            out.precision(8);
            const SpectrumBlock& sp = State().Spectrum;
            for (int k = 1; k <= sp.PointCount; ++k)
                out << std::scientific << sp.Frequency[k] << ' ' << sp.ZReal[k] * (spoilt(k) ? 1.3 : 1.0) << ' '
                    << -sp.ZImag[k] << "\n";
        }
        auto recalculated = [&](const fs::path& p) {
            Open(f, p);
            EXPECT_TRUE(State().Run.DataLoaded);
            State().Run.StopRequested = false;
            return kk::EvaluateKramersKronig(false);
        };
        const double clean = recalculated(data);
        const double corrupted = recalculated(bad);
        EXPECT_LT(clean, 1e-3);
        EXPECT_GT(corrupted, 10 * clean);

        // Worst |Z''(KK) - Z''| / |Z| over the measured points, apart from
        // the spoilt ones and over those.
        auto evaluated = [&](const fs::path& p, double& elsewhere, double& there) {
            Open(f, p);
            ASSERT_TRUE(State().Run.DataLoaded);
            State().Run.StopRequested = false;
            State().Extrap.KKResidual = kk::TailZrInfSearch();
            State().Run.ExtrapolatedView = true;
            State().Extrap.KKResidual = kk::EvaluateKramersKronig(State().Extrap.ZrInfSearchOn);
            ASSERT_TRUE(State().Run.KKView);
            const SpectrumBlock& sp = State().Spectrum;
            elsewhere = there = 0;
            // The ends of a finite spectrum cost the transforms accuracy: the
            // first and last few points are left out of the comparison.
            for (int k = 4; k <= sp.FilePointCount - 3; ++k) {
                const double m = std::hypot(sp.ZReal[k], sp.ZImag[k]);
                const double d = std::fabs(sp.KKImag[k] - sp.ZImag[k]) / m;
                (spoilt(k) ? there : elsewhere) = std::max(spoilt(k) ? there : elsewhere, d);
            }
        };
        double cleanElsewhere = 0, cleanThere = 0, badElsewhere = 0, badThere = 0;
        evaluated(data, cleanElsewhere, cleanThere);
        EXPECT_LT(State().Extrap.KKResidual, 1e-3);  // what "Chsq:" shows for consistent data
        evaluated(bad, badElsewhere, badThere);
        EXPECT_LT(std::max(cleanElsewhere, cleanThere), 0.03);
        EXPECT_GT(badThere, 4 * std::max(cleanElsewhere, cleanThere));
    }
}
