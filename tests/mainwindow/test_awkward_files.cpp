// Data files that are valid but awkward, taken the whole road as a person
// takes them: opened through the main window, drawn in every plot kind,
// fitted, saved as data and results, opened and retrieved again. Every
// spectrum is made here from the closed form of its circuit at chosen
// frequencies, so the rows, the fitted values and the files are checked
// against numbers worked out apart from the program.
#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QImage>
#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "dialogs/fit/TCDCForm.h"
#include "dialogs/fit/TParForm.h"
#include "mainwindow/MainRoadFixture.h"
#include "mainwindow/plots/MainPlots.h"

using namespace pellucor;
using namespace pellucor::mainwindow;
using namespace pellucor::testing_support;
namespace fs = std::filesystem;
using cd = std::complex<double>;
using platform::MsgResult;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Impedances of the circuits the cases are made from (Z'' negative for a
// capacitor, as an instrument writes it).
cd ZRcr(double f, double rs, double c, double rp) {
    const cd jw(0.0, kTwoPi * f);
    return rs + 1.0 / (jw * c + 1.0 / rp);
}
cd ZRlr(double f, double rs, double l, double rl) {
    const cd jw(0.0, kTwoPi * f);
    return rs + 1.0 / (1.0 / (jw * l) + 1.0 / rl);
}

// `n` frequencies from `top` down over `decades` decades.
std::vector<double> Falling(int n, double top, double decades) {
    std::vector<double> f;
    for (int k = 0; k < n; ++k) f.push_back(top * std::pow(10.0, -decades * k / (n - 1)));
    return f;
}

std::string Num(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

struct Point {
    double f;
    cd z;  // the impedance the point stands for (physical sign)
};

struct AwkwardCase {
    const char* name = "";
    std::vector<Point> points;                           // as they stand in the file, in file order
    std::function<std::string(const Point&)> line;      // one data line, without its end
    std::string head;                                    // text before the first data line
    std::string end;                                     // line end
    std::string tail;                                    // text after the last line end
    bool finalEnd = true;                                       // the last data line has its line end
    std::string code;                                    // circuit fitted ("" for none)
    std::vector<double> truth;                           // its parameter values
    std::function<void()> options = [] {};               // option set before the file is opened
    std::string area = "";                               // sample area typed after opening ("" none)
    double areaValue = 1.0;
    std::function<void(TMainForm&)> beforeOpen = [](TMainForm&) {};    // menu choices before the open
    std::function<void(TMainForm&)> beforeReopen = [](TMainForm&) {};  // and before the saved data are opened
};

}  // namespace

// 14 parameters on 15 points leave no degree of freedom.
const char* const kTooManyForFifteen = "R(CR)(CR)(CR)(CR)(CR)(CR)L";

class AwkwardFilesTest : public MainRoadTest {
protected:
    // A program started on a file of 15 points of R(CR), the fewest the
    // reader takes.
    TMainForm& OpenFifteenPoints(const std::string& folder, bool lumarestProgram) {
        form.reset();
        ResetProgramState();
        ResetWindows();
        MakeProgramFolder(folder);
        const fs::path p = root / "data" / "fifteen.txt";
        {
            std::ofstream out(p);
            for (double fr : Falling(15, 1e5, 6)) {
                const cd z = ZRcr(fr, 10, 1e-5, 100);
                out << Num("%.12e", fr) << ' ' << Num("%.12e", z.real()) << ' ' << Num("%.12e", z.imag()) << "\n";
            }
        }
        TMainForm& f = lumarestProgram ? StartLumarest() : Start();
        State().Options.NoiseType = -1;
        services.fileDialogs.AnswerOpen(p.string());
        f.Open1Click();
        EXPECT_TRUE(State().Run.DataLoaded);
        return f;
    }

    fs::path WriteCase(const AwkwardCase& c) {
        const fs::path p = root / "data" / (std::string(c.name) + ".txt");
        std::string text = c.head;
        for (size_t k = 0; k < c.points.size(); ++k) {
            text += c.line(c.points[k]);
            if (k + 1 < c.points.size() || c.finalEnd) text += c.end;
        }
        text += c.tail;
        std::ofstream out(p, std::ios::binary);
        out << text;
        return p;
    }

    // The rows in memory against the points of the case: by falling
    // frequency, Z' as it is and Z'' stored turned over.
    static void ExpectRows(const AwkwardCase& c, double area, const std::string& what) {
        std::vector<Point> sorted = c.points;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Point& a, const Point& b) { return a.f > b.f; });
        const SpectrumBlock& sp = State().Spectrum;
        ASSERT_EQ(sp.PointCount, static_cast<int>(sorted.size())) << what;
        for (int i = 1; i <= sp.PointCount; ++i) {
            const Point& p = sorted[static_cast<size_t>(i - 1)];
            const double tol = 1e-8 * area * std::abs(p.z);
            EXPECT_NEAR(sp.Frequency[i], p.f, 1e-9 * p.f) << what << ", point " << i;
            EXPECT_NEAR(sp.Omega[i], kTwoPi * p.f, 1e-9 * kTwoPi * p.f) << what << ", point " << i;
            EXPECT_NEAR(sp.ZReal[i], area * p.z.real(), tol) << what << ", point " << i;
            EXPECT_NEAR(sp.ZImag[i], -area * p.z.imag(), tol) << what << ", point " << i;
        }
    }

    // Every plot kind through its menu entry, each drawn with its decoration,
    // with the view switches as they start and then with the logarithmic
    // axes the other way round (and a free window that takes the data's aspect).
    void PlotEveryKind(TMainForm& f, const std::string& what) {
        PlotEveryKindOnce(f, what);
        f.BodelogZ1->trigger();
        f.ReImLog->trigger();
        f.ScreenSizeFixed1->trigger();
        PlotEveryKindOnce(f, what + ", other axes");
        f.BodelogZ1->trigger();
        f.ReImLog->trigger();
        f.ScreenSizeFixed1->trigger();
    }
    void PlotEveryKindOnce(TMainForm& f, const std::string& what) {
        for (QAction* a : {f.Nyquist1, f.Bode1, f.Admittance1, f.Error1, f.Capacitance2, f.RealImag1, f.YBode, f.YReIm}) {
            a->trigger();
            const QImage picture = f.Chart().Widget()->grab().toImage();
            EXPECT_FALSE(picture.isNull()) << what << ", kind " << State().Run.PlotKind;
            // The measured series holds a finite point for every row.
            const int kind = State().Run.PlotKind;
            if (kind == 4) continue;
            chart::TPointSeries& s = f.Chart().Plots().Series(1);
            EXPECT_EQ(s.Count(), State().Spectrum.PointCount) << what << ", kind " << kind;
            for (int i = 0; i < s.Count(); ++i) {
                EXPECT_TRUE(std::isfinite(s.GetxValue(i)) && std::isfinite(s.GetyValue(i)))
                    << what << ", kind " << kind << ", point " << i;
            }
        }
        EXPECT_TRUE(Transcript().empty()) << what << ": " << (Transcript().empty() ? "" : Transcript()[0].first);
    }
};

TEST_F(AwkwardFilesTest, AwkwardFilesGoTheWholeRoad) {
    std::vector<AwkwardCase> cases;

    {  // The fewest points the reader takes, rising, behind a signature, a
       // title and a column header, tab-separated, Windows line ends.
        AwkwardCase c;
        c.name = "fifteen_rising_bom_tabs_crlf";
        const double rs = 12, cap = 3e-5, rp = 300;
        for (double f : Falling(15, 1e4, 5)) c.points.insert(c.points.begin(), {f, ZRcr(f, rs, cap, rp)});
        c.line = [](const Point& p) {
            return Num("%.12e", p.f) + "\t" + Num("%.12e", p.z.real()) + "\t" + Num("%.12e", p.z.imag());
        };
        c.head = "\xEF\xBB\xBF" "Cell 7, 0.5 M NaCl\r\nFreq\tZre\tZim\r\n";
        c.options = [] { State().Options.Weighting = 2; };  // statistical, on the fewest points
        c.end = "\r\n";
        c.finalEnd = true;
        c.code = "R(CR)";
        c.truth = {rs, cap, rp};
        cases.push_back(c);
    }
    {  // The most points a file may hold, from 1 GHz down to 1 uHz, with old
       // Mac line ends and no end after the last line.
        AwkwardCase c;
        c.name = "most_points_ghz_to_uhz_cr";
        const double rs = 5, cap = 1.6e-4, rp = 1000;
        for (double f : Falling(199, 1e9, 15)) c.points.push_back({f, ZRcr(f, rs, cap, rp)});
        c.line = [](const Point& p) {
            return Num("%.15g", p.f) + " " + Num("%.15g", p.z.real()) + " " + Num("%.15g", p.z.imag());
        };
        c.end = "\r";
        c.finalEnd = false;
        c.code = "R(CR)";
        c.truth = {rs, cap, rp};
        cases.push_back(c);
    }
    {  // Nano-ohm impedances, frequencies in no order with one of them twice,
       // runs of blanks between the fields and blank lines at the end.
        AwkwardCase c;
        c.name = "nano_ohm_unsorted_repeated";
        const double rs = 1e-9, cap = 3.98e5, rp = 4e-9;
        std::vector<double> fs = Falling(29, 1e5, 7);
        fs.push_back(fs[10]);
        for (size_t k = 0; k < fs.size(); ++k) {
            const double f = fs[(k * 7) % fs.size()];
            c.points.push_back({f, ZRcr(f, rs, cap, rp)});
        }
        c.line = [](const Point& p) {
            return "   " + Num("%.12e", p.f) + "     " + Num("%.12e", p.z.real()) + "  " + Num("%.12e", p.z.imag()) +
                   "   ";
        };
        c.end = "\n";
        c.tail = "\n\n   \n";
        c.finalEnd = true;
        cases.push_back(c);
    }
    {  // Milliohm impedances (a battery cell), rising, a frequency repeated.
        AwkwardCase c;
        c.name = "milliohm_cell";
        const double rs = 2e-3, cap = 1.0, rp = 5e-3;
        // Rising, with one frequency measured twice.
        for (double f : Falling(30, 1e4, 6)) c.points.insert(c.points.begin(), {f, ZRcr(f, rs, cap, rp)});
        c.points.push_back(c.points[12]);
        c.line = [](const Point& p) {
            return Num("%.12e", p.f) + " " + Num("%.12e", p.z.real()) + " " + Num("%.12e", p.z.imag());
        };
        c.end = "\n";
        c.code = "R(CR)";
        c.truth = {rs, cap, rp};
        cases.push_back(c);
    }
    {  // Tera-ohm impedances written with exponent signs and plus signs.
        AwkwardCase c;
        c.name = "tera_ohm_exponents";
        const double rs = 1e8, cap = 1.59e-13, rp = 1e12;
        for (double f : Falling(25, 1e3, 6)) c.points.push_back({f, ZRcr(f, rs, cap, rp)});
        c.line = [](const Point& p) {
            return Num("%+.12E", p.f) + " " + Num("%+.12E", p.z.real()) + " " + Num("%.12E", p.z.imag());
        };
        c.end = "\n";
        c.finalEnd = true;
        c.code = "R(CR)";
        c.truth = {rs, cap, rp};
        cases.push_back(c);
    }
    {  // A pure resistor: Z'' exactly zero everywhere, numbers in the
       // shortest forms people type.
        AwkwardCase c;
        c.name = "pure_resistor_short_numbers";
        const char* freqs[] = {"1E+05", "5.E4", "2E4", "1.0e4", "5000", "+2000", "1000.", "500", "200", "100",
                               "50.", "20", "10", "5", "+2", "1", ".5", "0.2", ".1", "5e-2"};
        const char* zeros[] = {"0", "0.", ".0", "-0", "+0.0E+00"};
        for (int k = 0; k < 20; ++k) {
            double f = 0;
            std::istringstream(freqs[k]) >> f;
            c.points.push_back({f, cd(47.5, 0.0)});
        }
        int k = 0;
        c.line = [freqs, zeros, k](const Point&) mutable {
            const std::string line = std::string(freqs[k]) + " " + (k % 2 ? "+47.5" : "47.50") + " " + zeros[k % 5];
            ++k;
            return line;
        };
        c.end = "\n";
        c.finalEnd = true;
        c.code = "R";
        c.truth = {47.5};
        cases.push_back(c);
    }
    {  // A purely inductive spectrum under the reversed-sign option.
        AwkwardCase c;
        c.name = "inductive_reversed_sign";
        const double rs = 2, l = 1e-3, rl = 50;
        for (double f : Falling(30, 1e6, 5)) c.points.push_back({f, ZRlr(f, rs, l, rl)});
        c.line = [](const Point& p) {
            return Num("%.12e", p.f) + " " + Num("%.12e", p.z.real()) + " " + Num("%.12e", p.z.imag());
        };
        c.end = "\n";
        c.finalEnd = true;
        c.code = "R(LR)";
        c.truth = {rs, l, rl};
        c.options = [] {
            State().Options.AutoSignZImag = false;
            State().Options.ReverseZImag = true;
        };
        cases.push_back(c);
    }
    {  // Negative Z' at the high frequencies (a negative series resistance).
        AwkwardCase c;
        c.name = "negative_real_part";
        for (double f : Falling(20, 1e5, 5)) c.points.push_back({f, ZRcr(f, -20, 1e-5, 100)});
        c.line = [](const Point& p) {
            return Num("%.12e", p.f) + " " + Num("%.12e", p.z.real()) + " " + Num("%.12e", p.z.imag());
        };
        c.end = "\n";
        c.finalEnd = true;
        cases.push_back(c);
    }

    {  // Decimal commas, extra columns and a sample area typed with a comma.
        AwkwardCase c;
        c.name = "decimal_comma_extra_columns_area";
        const double rs = 10, cap = 1e-5, rp = 100;
        for (double f : Falling(24, 1e4, 4)) c.points.push_back({f, ZRcr(f, rs, cap, rp)});
        c.line = [](const Point& p) {
            std::string s = Num("%.12e", p.f) + " " + Num("%.12e", p.z.real()) + " " + Num("%.12e", p.z.imag()) +
                            " " + Num("%.3f", std::abs(p.z)) + " 7";
            std::replace(s.begin(), s.end(), '.', ',');
            return s;
        };
        c.end = "\n";
        c.finalEnd = true;
        c.code = "R(CR)";
        c.truth = {rs, cap, rp};
        c.options = [] { State().Options.PeriodDecimal = false; };
        c.area = "2,5";
        c.areaValue = 2.5;
        cases.push_back(c);
    }
    {  // Capacitance data (C' and C'' of an R(CR)) in the dielectric system,
       // under a sample area.
        AwkwardCase c;
        c.name = "capacitance_data";
        const double rs = 10, cap = 1e-5, rp = 100;
        for (double f : Falling(20, 1e4, 4)) c.points.push_back({f, ZRcr(f, rs, cap, rp)});
        // C* = 1 / (jw Z) = C' - j C''.
        c.line = [](const Point& p) {
            const cd cstar = 1.0 / (cd(0.0, kTwoPi * p.f) * p.z);
            return Num("%.15e", p.f) + " " + Num("%.15e", cstar.real()) + " " + Num("%.15e", -cstar.imag());
        };
        c.end = "\n";
        c.finalEnd = true;
        c.code = "R(CR)";
        c.truth = {rs, cap, rp};
        c.area = "0.5";
        c.areaValue = 0.5;
        c.beforeOpen = [](TMainForm& f) {
            f.Dielectricsystem1->trigger();
            f.DielectricData1->trigger();
            ASSERT_TRUE(State().Run.ReadCData);
        };
        // The saved table holds impedances: read as such.
        c.beforeReopen = [](TMainForm& f) {
            f.ImpedanceData1->trigger();
            ASSERT_FALSE(State().Run.ReadCData);
        };
        cases.push_back(c);
    }

    {  // A lossless capacitor as capacitance data: C'' and so Z' zero everywhere.
        AwkwardCase c;
        c.name = "lossless_capacitor_as_c_data";
        const double cap = 2.2e-6;
        for (double f : Falling(16, 1e5, 5)) c.points.push_back({f, 1.0 / (cd(0.0, kTwoPi * f) * cap)});
        c.line = [cap](const Point& p) { return Num("%.15e", p.f) + " " + Num("%.15e", cap) + " 0"; };
        c.end = "\n";
        c.code = "C";
        c.truth = {cap};
        c.beforeOpen = [](TMainForm& f) {
            f.Dielectricsystem1->trigger();
            f.DielectricData1->trigger();
        };
        c.beforeReopen = [](TMainForm& f) { f.ImpedanceData1->trigger(); };
        cases.push_back(c);
    }

    for (const AwkwardCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetProgramState();  // each file meets the options of a fresh start
        ResetWindows();
        MakeProgramFolder(std::string("awkward_") + c.name);
        const fs::path data = WriteCase(c);
        TMainForm& f = StartLumarest();
        State().Options.NoiseType = -1;
        c.options();
        Windows().Opt->ShowOptions();  // the options window holds them for the fit
        f.show();
        c.beforeOpen(f);

        services.fileDialogs.AnswerOpen(data.string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded) << (Transcript().empty() ? "" : Transcript()[0].first);
        EXPECT_TRUE(Transcript().empty());
        ExpectRows(c, 1.0, "opened");
        PlotEveryKind(f, "opened");
        if (!c.area.empty()) {
            EnterArea(f, c.area);
            EXPECT_TRUE(Transcript().empty()) << (Transcript().empty() ? "" : Transcript()[0].first);
            ExpectRows(c, c.areaValue, "under the area");
            PlotEveryKind(f, "under the area");
        }
        // Fitted values are per area under an area: R and L times it, C divided by it.
        auto perArea = [&c](size_t i) {
            return c.code == "R(CR)" && i == 1 ? c.truth[i] / c.areaValue : c.truth[i] * c.areaValue;
        };

        if (!c.code.empty()) {
            services.messages.clear();
            ChooseModel(c.code, &fitwin::TCDCForm::RadioButton2);
            services.messages.Answer(MsgResult::Yes);  // Want to save results?
            services.messages.Answer(MsgResult::Yes);  // Save results with this filename?
            f.Model1Click();
            ASSERT_EQ(Transcript().size(), 2u) << Transcript()[0].first;
            EXPECT_EQ(Transcript()[0].first, "Want to save results?");
            const ParamSet& p = State().Params;
            ASSERT_EQ(p.ParamCount, static_cast<int>(c.truth.size()));
            for (int i = 1; i <= p.ParamCount; ++i)
                EXPECT_NEAR(std::exp(p.LnValue[i]) * p.Sign[i] / perArea(static_cast<size_t>(i - 1)), 1.0, 2e-3)
                    << "parameter " << i;

            // The parameter file holds the fitted values, and numbers only.
            const fs::path par = root / "par" / (std::string(c.name) + ", " + c.code + ".par");
            const std::string parText = ReadText(par);
            const std::string rows = parText.substr(parText.find("-------"));
            for (const char* bad : {"nan", "NAN", "inf", "INF"})
                EXPECT_EQ(rows.find(bad), std::string::npos) << parText;
            std::string pointText = parText;  // decimal commas as points
            std::replace(pointText.begin(), pointText.end(), ',', '.');
            const std::vector<double> ends = ParEndValues(pointText);
            ASSERT_EQ(ends.size(), c.truth.size()) << parText;
            for (size_t i = 0; i < ends.size(); ++i) EXPECT_NEAR(ends[i] / perArea(i), 1.0, 2e-3) << parText;

            services.messages.clear();
            PlotEveryKind(f, "fitted");

            // Retrieved over spoiled values, the saved fit comes back.
            for (int i = 1; i <= p.ParamCount; ++i) State().Params.LnValue[i] = 0.0;
            services.fileDialogs.AnswerOpen(par.string());
            f.RetrieveParsClick();
            EXPECT_TRUE(Transcript().empty()) << (Transcript().empty() ? "" : Transcript()[0].first);
            for (int i = 1; i <= p.ParamCount; ++i)
                EXPECT_NEAR(std::exp(p.LnValue[i]) * p.Sign[i] / perArea(static_cast<size_t>(i - 1)), 1.0, 2e-3)
                    << "retrieved parameter " << i;
            EXPECT_NEAR(State().Fit.SampleArea, c.areaValue, 1e-12);
            ExpectRows(c, c.areaValue, "retrieved");
        }

        // Saved as data and opened again: the same spectrum.
        services.messages.clear();
        services.messages.Answer(MsgResult::Yes);  // Save with this filename?
        f.SaveImpedaneData1Click();
        const fs::path saved = root / "data/export data" / (std::string(c.name) + ".dat");
        ASSERT_EQ(State().Files.DataFileName, saved.string());
        services.messages.clear();
        c.beforeReopen(f);
        services.fileDialogs.AnswerOpen(saved.string());
        f.Open1Click();
        ASSERT_TRUE(State().Run.DataLoaded) << (Transcript().empty() ? "" : Transcript()[0].first);
        // The table keeps seven digits.
        {
            const SpectrumBlock& sp = State().Spectrum;
            std::vector<Point> sorted = c.points;
            std::stable_sort(sorted.begin(), sorted.end(), [](const Point& a, const Point& b) { return a.f > b.f; });
            ASSERT_EQ(sp.PointCount, static_cast<int>(sorted.size()));
            for (int i = 1; i <= sp.PointCount; ++i) {
                const Point& pt = sorted[static_cast<size_t>(i - 1)];
                EXPECT_NEAR(sp.Frequency[i], pt.f, 1e-6 * pt.f) << "reopened, point " << i;
                EXPECT_NEAR(sp.ZReal[i], pt.z.real(), 1e-6 * std::abs(pt.z)) << "reopened, point " << i;
                EXPECT_NEAR(sp.ZImag[i], -pt.z.imag(), 1e-6 * std::abs(pt.z)) << "reopened, point " << i;
            }
        }
        PlotEveryKind(f, "reopened");
        form.reset();
    }
}

// The point limits through the open command: the fewest and the most points
// a file may hold are read (above), one fewer or one more is refused with the
// reader's message, and nothing of the refused file is taken as data.
TEST_F(AwkwardFilesTest, FilesBeyondThePointLimitsAreRefusedWithTheirCount) {
    struct Limit {
        int lines;
        std::string text, caption;
    };
    const Limit limits[] = {
        {14, "You have only 14 data points.", "  Invalid data - Needs at least 15 points."},
        {200, "You have 200 data points.", "  Invalid data - Less than 200 points allowed."},
        {201, "You have 200 data points.", "  Invalid data - Less than 200 points allowed."},
    };
    MakeProgramFolder("awkward_limits");
    TMainForm& f = StartLumarest();
    for (const Limit& l : limits) {
        SCOPED_TRACE(l.lines);
        const fs::path p = root / "data" / ("lines " + std::to_string(l.lines) + ".txt");
        {
            std::ofstream out(p, std::ios::binary);
            out << "header line\r\n";
            for (double fr : Falling(l.lines, 1e6, 8)) {
                const cd z = ZRcr(fr, 10, 1e-5, 100);
                out << Num("%.9e", fr) << '\t' << Num("%.9e", z.real()) << '\t' << Num("%.9e", z.imag()) << "\r\n";
            }
        }
        services.messages.clear();
        services.fileDialogs.AnswerOpen(p.string());
        f.Open1Click();
        const std::vector<std::pair<std::string, std::string>> expected = {{l.text, l.caption}};
        EXPECT_EQ(Transcript(), expected);
        EXPECT_FALSE(State().Run.DataLoaded);
        // Nothing is left to fit or save under the refused file's name.
        services.messages.clear();
        f.SaveImpedaneData1Click();
        const std::vector<std::pair<std::string, std::string>> noPoints = {{"No data points.", "Cannot save."}};
        EXPECT_EQ(Transcript(), noPoints);
    }
}

// A file of the fewest points the reader takes and a circuit with too many
// parameters for them: the fit is refused once, with the engine's message,
// whichever run command asked for it, and nothing counts as a result.
TEST_F(AwkwardFilesTest, AFitRefusedForTooFewPointsSaysSoOnce) {
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"Too few data points for the number of free parameters.", "Cannot fit"}};
    const std::string code = kTooManyForFifteen;
    auto start = [&](const std::string& folder) -> TMainForm& { return OpenFifteenPoints(folder, true); };

    {  // The model window, Iterate with automatic start values.
        SCOPED_TRACE("model window, automatic start values");
        TMainForm& f = start("awkward_too_few_auto");
        ChooseModel(code, &fitwin::TCDCForm::RadioButton2);
        services.messages.clear();
        f.Model1Click();
        EXPECT_EQ(Transcript(), refused);
        EXPECT_FALSE(State().Run.ResultsComputed);
        EXPECT_FALSE(fs::exists(root / "par" / ("fifteen, " + code + ".par")));

        // Then "Edit Parameters & Run", Iterate chosen there.
        modal.runner.answers.push_back(true);
        modal.runner.whileOpen = [](QDialog& d) {
            auto* p = dynamic_cast<fitwin::TParForm*>(&d);
            ASSERT_NE(p, nullptr);
            p->FormActivate();
            p->IternRadioBtn->setChecked(true);
            p->InitCheckBox->setChecked(true);
            p->OKBitBtnClick();
        };
        services.messages.clear();
        f.ParamListClick();
        EXPECT_EQ(Transcript(), refused);
        EXPECT_FALSE(State().Run.ResultsComputed);
        modal.runner.whileOpen = nullptr;
        form.reset();
    }
    {  // The model window, Iterate with the user's start values.
        SCOPED_TRACE("model window, user start values");
        TMainForm& f = start("awkward_too_few_user");
        ChooseModel(code, &fitwin::TCDCForm::RadioButton2, true);
        modal.runner.answers.push_back(true);
        auto chooseModel = modal.runner.whileOpen;
        modal.runner.whileOpen = [chooseModel](QDialog& d) {
            auto* p = dynamic_cast<fitwin::TParForm*>(&d);
            if (!p) return chooseModel(d);
            p->FormActivate();
            p->InitCheckBox->setChecked(true);
            p->OKBitBtnClick();
        };
        services.messages.clear();
        f.Model1Click();
        EXPECT_EQ(Transcript(), refused);
        EXPECT_FALSE(State().Run.ResultsComputed);
        modal.runner.whileOpen = nullptr;
        form.reset();
    }
}

// Monitor mode keeps its window with too few points: each step the person
// asks for is refused once, in both programs, and nothing becomes a result.
TEST_F(AwkwardFilesTest, MonitorStepsRefusedForTooFewPointsSaySoOnceEach) {
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"Too few data points for the number of free parameters.", "Cannot fit"}};
    struct Step {
        const char* what;
        std::function<void(fitwin::TParForm&)> inWindow;
    };
    const std::vector<Step> steps = {
        {"Search", [](fitwin::TParForm& p) { p.AutoSelBtn1Click(); }},
        {"a start value changed", [](fitwin::TParForm& p) { p.SetStartText(1, "55"); }},
        {"Iterate chosen", [](fitwin::TParForm& p) { p.IternRadioBtn->setChecked(true); }},
    };
    for (bool lumarestProgram : {false, true}) {
        SCOPED_TRACE(lumarestProgram ? "Lumarest" : "Tamberic");
        TMainForm& f = OpenFifteenPoints("awkward_too_few_monitor", lumarestProgram);
        // The model window with Monitor: the start values are evaluated (and
        // refused) once; the parameter window's OK without a change computes
        // nothing more.
        ChooseModel(kTooManyForFifteen, &fitwin::TCDCForm::RadioButton3);
        modal.runner.answers.push_back(true);
        auto chooseModel = modal.runner.whileOpen;
        modal.runner.whileOpen = [chooseModel](QDialog& d) {
            auto* p = dynamic_cast<fitwin::TParForm*>(&d);
            if (!p) return chooseModel(d);
            p->FormActivate();
            p->OKBitBtnClick();
        };
        services.messages.clear();
        f.Model1Click();
        EXPECT_EQ(Transcript(), refused);
        EXPECT_TRUE(State().Run.MonitorMode);
        EXPECT_FALSE(State().Run.ResultsComputed);

        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            modal.runner.answers.push_back(true);
            modal.runner.whileOpen = [&step](QDialog& d) {
                auto* p = dynamic_cast<fitwin::TParForm*>(&d);
                ASSERT_NE(p, nullptr);
                p->FormActivate();
                step.inWindow(*p);
                p->OKBitBtnClick();
            };
            services.messages.clear();
            f.ParamListClick();
            EXPECT_EQ(Transcript(), refused);
            EXPECT_FALSE(State().Run.ResultsComputed);
        }
        modal.runner.whileOpen = nullptr;
    }
}
