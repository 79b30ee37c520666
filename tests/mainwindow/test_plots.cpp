// The main window's plots on a plain chart: every plot kind against values
// worked out here for an R(CR) spectrum, titles, the dispatcher's choices,
// the group plot, frequency labels on a bitmap, the circuit picture and the
// faults the plots must not have.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <cmath>
#include <cstdlib>
#include <complex>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ProgramState.h"
#include "mainwindow/AppEnvironment.h"
#include "mainwindow/plots/MainChartWidget.h"
#include "mainwindow/plots/MainPlots.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PainterDevice.h"
#include "platform/testing/Doubles.h"

namespace pellucor::mainwindow {
namespace {

using namespace pellucor::chart;
using cd = std::complex<double>;

constexpr double kPi = 3.141592653589793;

// R(CR): R1 in series with R2 parallel to C.
cd RCR(double f, double r1, double r2, double c) {
    const double w = 2 * kPi * f;
    return r1 + r2 / cd(1.0, w * r2 * c);
}

double Freq(int i, int n, double top = 1e5, double decades = 6) {
    return top * std::pow(10.0, -decades * (i - 1) / (n - 1));
}

// Measured R(CR) 10 + 100 || 1e-5, calculated 10 + 120 || 1e-5, both
// stored with Z'' reversed in sign, as the reader stores them.
void FillSpectrum(int n, double scale = 1.0) {
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= n; ++i) {
        const double f = Freq(i, n);
        const cd zm = RCR(f, 10 * scale, 100 * scale, 1e-5 / scale);
        const cd zc = RCR(f, 10 * scale, 120 * scale, 1e-5 / scale);
        sp.Frequency[i] = f;
        sp.Omega[i] = 2 * kPi * f;
        sp.ZReal[i] = zm.real();
        sp.ZImag[i] = -zm.imag();
        sp.ZRealCalc[i] = zc.real();
        sp.ZImagCalc[i] = -zc.imag();
    }
    sp.PointCount = sp.FilePointCount = sp.ExtendedPointCount = n;
    State().Run.DataLoaded = true;
    State().Run.ResultsComputed = true;
    State().Run.ModelValid = true;
    State().Params.FreeCount = 3;
    State().Files.DataFileName = "/data/rcr.txt";
}

class PlotsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        chart.Canvas->SetUseBuffer(false);
        chart.Width = 656;
        chart.Height = 357;
    }
    // The chart drawn on a bitmap of its size.
    QImage DrawBitmap() {
        platform::ImageDevice device(chart.Width, chart.Height);
        platform::Canvas canvas(&device);
        chart.Draw(&canvas, TRect{0, 0, chart.Width, chart.Height});
        return device.Image();
    }
    // The y value of a series at data row `row` (NaN when that row has no point).
    double YAt(int series, int row) {
        TPointSeries& s = plots.Series(series);
        for (int i = 0; i < s.Count(); ++i)
            if (plots.RowOfPoint(series, i) == row) return s.GetyValue(i);
        return NAN;
    }
    double XAt(int series, int row) {
        TPointSeries& s = plots.Series(series);
        for (int i = 0; i < s.Count(); ++i)
            if (plots.RowOfPoint(series, i) == row) return s.GetxValue(i);
        return NAN;
    }
    void SavePng(const QImage& image, const std::string& name) {
        std::filesystem::create_directories(PELLUCOR_TEST_OUTPUT_DIR);
        image.save(QString::fromStdString(std::string(PELLUCOR_TEST_OUTPUT_DIR "/") + name));
    }

    platform::testing::ScopedServices services;
    TChart chart;
    MainPlots plots{chart};
};

// What each kind plots for one impedance z at frequency f, worked out with
// complex arithmetic (not with the plot's formulas).
struct Expected {
    double x1, y1;  // first quantity
    double y2;      // second quantity (NaN: none)
};

Expected Expect(int kind, double f, cd z, bool conductive) {
    const double w = 2 * kPi * f;
    const cd y = 1.0 / z;
    const cd cstar = y / cd(0, w);  // complex capacitance C' - jC''
    const double cRe = cstar.real(), cIm = -cstar.imag();
    switch (kind) {
    case 1: return {z.real(), -z.imag(), NAN};
    case 2:
        if (conductive) return {f, std::abs(z), std::arg(std::conj(z)) * 180 / kPi};
        return {f, std::abs(cstar), std::atan2(cIm, cRe) * 180 / kPi};
    case 3:
        if (conductive) return {y.real(), y.imag(), NAN};
        {
            const cd inv = 1.0 / cd(cRe, cIm);
            return {inv.real(), -inv.imag(), NAN};
        }
    case 5: return {cRe, cIm, NAN};
    case 6:
        if (conductive) return {f, z.real(), -z.imag()};
        return {f, cRe, cIm};
    case 7: return {f, std::abs(y), std::arg(y) * 180 / kPi};
    case 8: return {f, y.real(), y.imag()};
    default: return {NAN, NAN, NAN};
    }
}

TEST_F(PlotsTest, EveryKindPlotsTheValuesOfAnRCRSpectrum) {
    const int n = 25;
    struct Case {
        int kind;
        bool conductive;
        const char* bottom;
        const char* left;
        bool logBottom, logLeft;
        const char* s1;
        const char* s3;
    } cases[] = {
        {1, true, "Z ',  ohm", "- Z '',  ohm", false, false, "Z ,  Msd.", ""},
        {2, true, "Frequency,  Hz", "|Z|,  ohm", true, true, "|Z|,  Msd.", "Angle,  Msd."},
        {3, true, "Y ',  S", "Y '',  S", false, false, "Y ,  Msd.", ""},
        {5, true, "C ',  F", "C '',  F", false, false, "C ,  Msd.", ""},
        {6, true, "Frequency,  Hz", "Z ' &  - Z '',  ohm", true, false, "Z ',  Msd.", "-Z '',  Msd."},
        {7, true, "Frequency,  Hz", "|Y|,  S", true, true, "|Y|,  Msd.", "Angle,  Msd."},
        {8, true, "Frequency,  Hz", "Y ' &  Y '',  S", true, false, "Y ',  Msd.", "Y '',  Msd."},
        {2, false, "Frequency,  Hz", "|C|,  F", true, true, "|C|,  Msd.", "Angle,  Msd."},
        {3, false, "1/C ',  1/F", "1/C '',  1/F", false, false, "1/C ,  Msd.", ""},
        {6, false, "Frequency,  Hz", "C ' &  - C '',  F", true, false, "C ',  Msd.", "C '',  Msd."},
    };
    for (const Case& c : cases) {
        ResetProgramState();
        FillSpectrum(n);
        State().Run.ConductiveSystem = c.conductive;
        plots.Replot(c.kind);
        const std::string name = "kind " + std::to_string(c.kind) + (c.conductive ? "" : " dielectric");
        EXPECT_EQ(chart.BottomAxis->Title->Caption, c.bottom) << name;
        EXPECT_EQ(chart.LeftAxis->Title->Caption, c.left) << name;
        EXPECT_EQ(chart.BottomAxis->Logarithmic(), c.logBottom) << name;
        EXPECT_EQ(chart.LeftAxis->Logarithmic(), c.logLeft) << name;
        EXPECT_EQ(plots.Series(1).Title, c.s1) << name;
        if (*c.s3) {
            EXPECT_EQ(plots.Series(3).Title, c.s3) << name;
        }
        ASSERT_EQ(plots.Series(1).Count(), n) << name;
        ASSERT_EQ(plots.Series(2).Count(), n) << name;
        const SpectrumBlock& sp = State().Spectrum;
        for (int i = 1; i <= n; ++i) {
            const double f = sp.Frequency[i];
            const Expected m = Expect(c.kind, f, RCR(f, 10, 100, 1e-5), c.conductive);
            const Expected k = Expect(c.kind, f, RCR(f, 10, 120, 1e-5), c.conductive);
            auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); };
            EXPECT_TRUE(near(XAt(1, i), m.x1)) << name << " row " << i << ": " << XAt(1, i) << " " << m.x1;
            EXPECT_TRUE(near(YAt(1, i), m.y1)) << name << " row " << i << ": " << YAt(1, i) << " " << m.y1;
            EXPECT_TRUE(near(XAt(2, i), k.x1)) << name << " row " << i;
            EXPECT_TRUE(near(YAt(2, i), k.y1)) << name << " row " << i;
            if (!std::isnan(m.y2)) {
                EXPECT_TRUE(near(YAt(3, i), m.y2)) << name << " row " << i << ": " << YAt(3, i) << " " << m.y2;
                EXPECT_TRUE(near(YAt(4, i), k.y2)) << name << " row " << i;
            }
        }
        // The log axes span whole decades round the data.
        if (c.logBottom) {
            EXPECT_DOUBLE_EQ(chart.BottomAxis->Minimum(), 0.1) << name;
            EXPECT_DOUBLE_EQ(chart.BottomAxis->Maximum(), 1e5) << name;
            EXPECT_EQ(chart.BottomAxis->AxisValuesFormat(), "#,##0.###") << name;
        }
    }
}

TEST_F(PlotsTest, ErrorPlotAndItsConditions) {
    // Calculated = measured times 1.02 turned by 0.05 rad: +2 % in |Z| and
    // 0.05 rad (2.8648 degrees) in the stored phase at every point.
    const int n = 11;
    FillSpectrum(n);
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= n; ++i) {
        const cd zm(sp.ZReal[i], -sp.ZImag[i]);
        const cd zc = zm * 1.02 * std::polar(1.0, -0.05);
        sp.ZRealCalc[i] = zc.real();
        sp.ZImagCalc[i] = -zc.imag();
    }
    plots.Replot(4);
    ASSERT_EQ(plots.Series(1).Count(), n);
    for (int i = 1; i <= n; ++i) {
        EXPECT_NEAR(YAt(1, i), 2.0, 1e-9);
        EXPECT_NEAR(YAt(2, i), 0.05 * 180 / kPi, 1e-9);
    }
    EXPECT_EQ(chart.LeftAxis->Title->Caption, "% Error,  |Z|");
    EXPECT_EQ(chart.RightAxis->Title->Caption, "Error,  Angle");
    EXPECT_EQ(plots.Series(2).VertAxis, aRightAxis);
    EXPECT_FALSE(plots.Series(3).Active);

    // Nothing changes without results, in simulate mode, with every parameter
    // fixed or in the extrapolated view.
    struct Case {
        const char* name;
        void (*set)();
    } refusals[] = {
        {"no results", [] { State().Run.ResultsComputed = false; }},
        {"simulate mode", [] { State().Run.SimulateMode = true; }},
        {"all fixed", [] { State().Params.FreeCount = 0; }},
        {"extrapolated view", [] { State().Run.ExtrapolatedView = true; }},
    };
    for (const Case& c : refusals) {
        ResetProgramState();
        FillSpectrum(n);
        plots.Replot(1);
        const auto title = chart.Title->Text;
        c.set();
        plots.Replot(4);
        EXPECT_EQ(plots.PlottedKind(), 1) << c.name;
        EXPECT_EQ(plots.Series(1).Count(), n) << c.name;
        EXPECT_EQ(chart.Title->Text, title) << c.name;
    }
}

TEST_F(PlotsTest, PhaseIsUnwrappedPerSeries) {
    // Angles 100, 265 and -85 degrees as PhaseAngle gives them: the third
    // jumps by more than half a turn and is moved up to 275.
    SpectrumBlock& sp = State().Spectrum;
    const double deg[] = {100, 265, -85};
    for (int i = 1; i <= 3; ++i) {
        sp.Frequency[i] = std::pow(10.0, 3 - i);
        sp.Omega[i] = 2 * kPi * sp.Frequency[i];
        sp.ZReal[i] = std::cos(deg[i - 1] * kPi / 180);
        sp.ZImag[i] = std::sin(deg[i - 1] * kPi / 180);
    }
    sp.PointCount = 3;
    State().Run.DataLoaded = true;
    plots.Replot(2);
    EXPECT_NEAR(YAt(3, 1), 100, 1e-9);
    EXPECT_NEAR(YAt(3, 2), 265, 1e-9);
    EXPECT_NEAR(YAt(3, 3), 275, 1e-9);
    // A first angle of 200 degrees is compared with 0 and plotted as -160.
    sp.ZReal[1] = std::cos(200 * kPi / 180);
    sp.ZImag[1] = std::sin(200 * kPi / 180);
    sp.PointCount = 1;
    plots.Replot(2);
    EXPECT_NEAR(YAt(3, 1), -160, 1e-9);
}

TEST_F(PlotsTest, LogarithmicRealAndImaginaryPartsAndAxisFormats) {
    FillSpectrum(3);
    SpectrumBlock& sp = State().Spectrum;
    sp.ZReal[1] = -0.5;
    sp.ZImag[1] = 0;
    State().Run.LogReIm = true;
    State().Run.ResultsComputed = false;
    plots.Replot(6);
    EXPECT_DOUBLE_EQ(YAt(1, 1), 0.5);
    EXPECT_DOUBLE_EQ(YAt(3, 1), 0.000001);
    EXPECT_TRUE(chart.LeftAxis->Logarithmic());
    EXPECT_EQ(chart.LeftAxis->Title->Caption, "| Z '| &  | Z ''|,  ohm");

    // Frequencies down to 0.001 Hz: "0E+00" on the bottom axis.
    ResetProgramState();
    FillSpectrum(7);
    for (int i = 1; i <= 7; ++i) sp.Frequency[i] = std::pow(10.0, 4 - i);
    plots.Replot(2);
    EXPECT_EQ(chart.BottomAxis->AxisValuesFormat(), "0E+00");
    EXPECT_DOUBLE_EQ(chart.BottomAxis->Minimum(), 0.001);
    // Per-area units of a conductive system.
    State().Run.PerAreaUnits = true;
    plots.Replot(1);
    EXPECT_EQ(chart.BottomAxis->Title->Caption, "Z ',  ohm-sq. cm");
    EXPECT_EQ(chart.LeftAxis->Title->Caption, "- Z '',  ohm-sq. cm");
}

// A decade label must read as its decade: on a logarithmic axis every
// label stands for a power of ten, and a label that rounds to "0" or to
// another decade tells the reader a value the axis does not have.
TEST_F(PlotsTest, EveryDecadeOfALogarithmicLeftAxisIsLabelledWithItsValue) {
    struct Case {
        const char* name;
        int kind;
        bool logBode;  // else logarithmic real and imaginary parts
        double r1, r2, c;  // R(CR) of the spectrum
    } cases[] = {
        // |Y| from 1/(10 ohm) = 0.1 S down to 1/(100010 ohm), about 1e-5 S.
        {"|Y| of 10 ohm + 100 kohm || 1 uF", 7, true, 10, 1e5, 1e-6},
        // |Z| of a cell of 0.1 mohm + 1 ohm || 1 F: 1e-4 to 1 ohm.
        {"|Z| of 0.1 mohm + 1 ohm || 1 F", 2, true, 1e-4, 1, 1},
        // Y'' of 10 ohm + 100 ohm || 10 uF falls far below 1e-4 S at the
        // lowest frequencies while Y' reaches 0.1 S.
        {"Y' and Y'' of 10 ohm + 100 ohm || 10 uF", 8, false, 10, 100, 1e-5},
    };
    for (const Case& c : cases) {
        ResetProgramState();
        const int n = 25;
        SpectrumBlock& sp = State().Spectrum;
        for (int i = 1; i <= n; ++i) {
            const double f = Freq(i, n, 1e5, 8);
            const cd z = RCR(f, c.r1, c.r2, c.c);
            sp.Frequency[i] = f;
            sp.Omega[i] = 2 * kPi * f;
            sp.ZReal[i] = z.real();
            sp.ZImag[i] = -z.imag();
        }
        sp.PointCount = sp.FilePointCount = sp.ExtendedPointCount = n;
        State().Run.DataLoaded = true;
        State().Run.ConductiveSystem = true;
        State().Run.LogBodeZ = c.logBode;
        State().Run.LogReIm = !c.logBode;
        plots.Replot(c.kind);
        TChartAxis* axis = chart.LeftAxis;
        ASSERT_TRUE(axis->Logarithmic()) << c.name;
        ASSERT_LT(axis->Minimum(), 1e-3) << c.name;  // the case needs decades below 1e-3
        int decades = 0;
        for (double v = axis->Minimum(); v <= axis->Maximum() * 1.0001; v *= 10, ++decades) {
            std::string text = axis->LabelValue(v);
            std::erase(text, ',');  // thousands separators
            const double read = std::strtod(text.c_str(), nullptr);
            EXPECT_NEAR(read / v, 1.0, 1e-9) << c.name << ": the decade " << v << " is labelled " << text;
        }
        EXPECT_GE(decades, 4) << c.name;
    }
}

// The plane plots of one R(CR) scaled from picoohms to teraohms, in a
// window of fixed size and in a free one: a value label anywhere on either
// axis reads back within half a percent of the axis span.
TEST(PlotAxisLabels, PlanePlotsFromPicoohmsToTeraohmsAreLabelledWithTheirValues) {
    for (bool fixed : {true, false}) {
        for (double scale : {1e-12, 1e-6, 1.0, 1e6, 1e12}) {
            for (int kind : {1, 3, 5}) {
                SCOPED_TRACE(std::string(fixed ? "fixed window, " : "free window, ") + "kind " +
                             std::to_string(kind) + ", scale " + std::to_string(scale));
                ResetProgramState();
                TChart chart;
                chart.Width = 656;
                chart.Height = 357;
                PlotWindowLinks links;
                links.FixedWindow = [fixed] { return fixed; };
                MainPlots plots(chart, links);
                FillSpectrum(25, scale);
                State().Run.ConductiveSystem = true;
                plots.Replot(kind);
                // A draw settles the automatic ranges of a free window.
                chart.Canvas->SetUseBuffer(false);
                platform::ImageDevice device(chart.Width, chart.Height);
                platform::Canvas canvas(&device);
                chart.Draw(&canvas, TRect{0, 0, chart.Width, chart.Height});
                for (TChartAxis* axis : {chart.BottomAxis, chart.LeftAxis}) {
                    const double lo = axis->RangeMin, hi = axis->RangeMax;
                    ASSERT_GT(hi, lo);
                    for (int k = 0; k <= 4; ++k) {
                        // Values the label step gives: whole multiples of a tenth of a decade of the span.
                        const double unit = std::pow(10.0, std::floor(std::log10(hi - lo)) - 1);
                        const double v = std::round((lo + k * (hi - lo) / 4) / unit) * unit;
                        std::string text = axis->LabelValue(v);
                        std::erase(text, ',');
                        const double read = std::strtod(text.c_str(), nullptr);
                        EXPECT_NEAR(read, v, 0.005 * (hi - lo)) << v << " is labelled " << text;
                    }
                }
            }
        }
    }
}

TEST_F(PlotsTest, LogarithmicPartsShowValuesBelowAMicroUnitAsTheyAre) {
    // A dielectric film, 1 Gohm parallel to 100 pF: C' = 100 pF and
    // C'' = 1/(w R) at every frequency, Y' = 1 nS and Y'' = w C. Nearly all
    // of these lie below 1e-6 F or S; on the logarithmic axis each must keep
    // its own value, in the single-set view and in the group view.
    const double R = 1e9, C = 1e-10;
    const int n = 7;
    SpectrumBlock& sp = State().Spectrum;
    GroupSpectra& g = State().Group;
    for (int i = 1; i <= n; ++i) {
        const double f = Freq(i, n);
        const double w = 2 * kPi * f;
        const cd z = R / cd(1.0, w * R * C);
        sp.Frequency[i] = g.GroupRows[1][i] = f;
        sp.Omega[i] = g.GroupRows[8][i] = w;
        sp.ZReal[i] = g.GroupRows[22][i] = z.real();
        sp.ZImag[i] = g.GroupRows[29][i] = -z.imag();
    }
    sp.PointCount = sp.FilePointCount = sp.ExtendedPointCount = n;
    g.GroupPointCount[1] = n;
    g.GroupCount = 1;
    State().Run.DataLoaded = true;
    State().Run.LogReIm = true;
    struct Case {
        const char* name;
        int kind;
        bool conductive, group;
    } cases[] = {
        {"C' and C''", 6, false, false},
        {"Y' and Y''", 8, true, false},
        {"C' and C'' of a group", 6, false, true},
        {"Y' and Y'' of a group", 8, true, true},
    };
    for (const Case& c : cases) {
        State().Run.ConductiveSystem = c.conductive;
        State().Run.PlotKind = c.kind;
        g.GroupMode = g.ProjectGroupMode = g.GroupPlotReady = c.group;
        g.GroupShowsCalculated = false;
        plots.Replot(c.kind);
        ASSERT_TRUE(chart.LeftAxis->Logarithmic()) << c.name;
        double lowest = 1e300, highest = 0;
        for (int i = 1; i <= n; ++i) {
            const double w = 2 * kPi * Freq(i, n);
            const double first = c.kind == 6 ? C : 1 / R;
            const double second = c.kind == 6 ? 1 / (w * R) : w * C;
            EXPECT_NEAR(YAt(1, i) / first, 1.0, 1e-9) << c.name << " row " << i;
            EXPECT_NEAR(YAt(3, i) / second, 1.0, 1e-9) << c.name << " row " << i;
            lowest = std::min({lowest, first, second});
            highest = std::max({highest, first, second});
        }
        EXPECT_LE(chart.LeftAxis->Minimum(), lowest) << c.name;
        EXPECT_GT(chart.LeftAxis->Minimum(), lowest / 10) << c.name;
        EXPECT_GE(chart.LeftAxis->Maximum(), highest) << c.name;
    }
}

TEST_F(PlotsTest, TitleRules) {
    struct Case {
        const char* name;
        void (*set)();
        std::vector<std::string> title;
    } cases[] = {
        {"data with a model", [] {},
         {"rcr.txt", "Model : R(CR)     Wgt : Modulus"}},
        {"data without a valid model", [] { State().Run.ModelValid = false; },
         {"rcr.txt", "Model : Unknown     Wgt : Modulus"}},
        {"simulation", [] { State().Run.SimulateMode = true; },
         {"Simulation results", "Model : R(CR)"}},
        {"kinetic data, decimal comma",
         [] {
             State().Run.KineticData = true;
             State().Files.ModelTitle = "Ni deposition";
             State().Model.Potential = -0.125;
             State().Options.PeriodDecimal = false;
         },
         {"Ni deposition", "E (V) = -0,125"}},
        {"custom titles over everything",
         [] {
             State().Run.KineticData = true;
             State().Model.CustomTitles = true;
             State().Model.ChartTitle1 = "Mine";
             State().Model.ChartTitle2 = "Also mine";
         },
         {"Mine", "Also mine"}},
    };
    for (const Case& c : cases) {
        ResetProgramState();
        FillSpectrum(5);
        State().Circuit.Code = "R(CR)";
        c.set();
        for (int kind : {1, 2}) {
            plots.Replot(kind);
            EXPECT_EQ(chart.Title->Text, c.title) << c.name << " kind " << kind;
        }
        EXPECT_EQ(State().Model.ChartTitle2, c.title[1]) << c.name;
    }
    // Kinetic titles on the measured series; the dielectric ones win.
    ResetProgramState();
    FillSpectrum(5);
    State().Run.KineticData = true;
    plots.Replot(6);
    EXPECT_EQ(plots.Series(1).Title, "Z ' ,  Kinetics");
    EXPECT_EQ(plots.Series(3).Title, "Z '' ,  Kinetics");
    State().Run.ConductiveSystem = false;
    plots.Replot(6);
    EXPECT_EQ(plots.Series(1).Title, "C ',  Msd.");
}

TEST_F(PlotsTest, DispatcherChoosesOneRoutineOrLeavesTheChart) {
    // Nothing loaded or simulated: the start title stays.
    plots.Replot(1);
    EXPECT_EQ(chart.Title->Text, std::vector<std::string>{"Let's start with opening a file ..."});
    EXPECT_EQ(plots.ReplotCount(), 1);

    // Kramers-Kronig view: every kind, 4 included, with the transforms.
    FillSpectrum(9);
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= 9; ++i) {
        sp.KKReal[i] = sp.ZReal[i] * 1.01;
        sp.KKImag[i] = sp.ZImag[i] * 1.01;
    }
    State().Run.KKView = true;
    State().Files.DataFileName = "/data/6duo.ext";
    State().Files.SelectedSpecName = "6DUO";
    plots.Replot(4);
    EXPECT_NEAR(YAt(1, 3), 1.0, 1e-9);
    EXPECT_NEAR(YAt(2, 3), 0.0, 1e-9);
    plots.Replot(1);
    EXPECT_EQ(plots.Series(1).Title, "Z ,  Ext.");
    EXPECT_DOUBLE_EQ(XAt(2, 4), sp.ZReal[4] * 1.01);
    EXPECT_EQ(chart.Title->Text, (std::vector<std::string>{"6duo.ext", "Applied Kramers-Kronig relations"}));
    State().Files.DataFileName = "/data/6duo.EXT";
    plots.Replot(1);
    EXPECT_EQ(plots.Series(1).Title, "Z ,  Msd.");
    sp.PointCount = 8;
    plots.Replot(1);
    EXPECT_EQ(chart.Title->Text.back(), "Selected spec. : 6DUO");
    State().Run.KKView = false;

    // Extrapolated view: measured points on Series1, appended on Series2.
    sp.PointCount = 6;
    sp.ExtendedPointCount = 9;
    State().Run.ExtrapolatedView = true;
    State().Files.DataFileName = "/data/6duo.txt";
    plots.Replot(1);
    EXPECT_EQ(plots.Series(1).Count(), 6);
    EXPECT_EQ(plots.Series(2).Count(), 3);
    EXPECT_EQ(plots.RowOfPoint(2, 0) + plots.RowOfPoint(2, 1) + plots.RowOfPoint(2, 2), 7 + 8 + 9);
    EXPECT_EQ(plots.Series(2).Title, "Z,  Ext.");
    EXPECT_EQ(chart.Title->Text, (std::vector<std::string>{"6duo.txt", "Selected spec. : 6DUO"}));
    State().Run.ExtrapolatedView = false;

    // Group mode outside project groups: single-set plot with the group's
    // flag for "results computed", restored afterwards.
    State().Group.GroupMode = true;
    State().Group.GroupShowsCalculated = false;
    State().Run.ResultsComputed = true;
    sp.PointCount = 9;
    plots.Replot(1);
    EXPECT_FALSE(plots.Series(2).Active);
    EXPECT_TRUE(State().Run.ResultsComputed);
    // Project group not ready: nothing drawn, even with data loaded.
    State().Group.ProjectGroupMode = true;
    const int before = plots.Series(1).Count();
    State().Group.GroupPlotReady = false;
    plots.Replot(2);
    EXPECT_EQ(plots.PlottedKind(), 1);
    EXPECT_EQ(plots.Series(1).Count(), before);
}

TEST_F(PlotsTest, GroupOfSevenSetsAndTheRefusedKind) {
    GroupSpectra& g = State().Group;
    const int n = 12;
    for (int set = 1; set <= 7; ++set) {
        for (int i = 1; i <= n; ++i) {
            const double f = Freq(i, n);
            const cd zm = RCR(f, 10 * set, 100, 1e-5);
            const cd zc = RCR(f, 10 * set, 110, 1e-5);
            g.GroupRows[set][i] = f;
            g.GroupRows[7 + set][i] = 2 * kPi * f;
            g.GroupRows[21 + set][i] = zm.real();
            g.GroupRows[28 + set][i] = -zm.imag();
            g.GroupRows[35 + set][i] = zc.real();
            g.GroupRows[42 + set][i] = -zc.imag();
        }
        g.GroupPointCount[set] = n;
    }
    g.GroupCount = 9;  // more than seven: sets 1 to 7
    g.GroupMode = g.ProjectGroupMode = g.GroupPlotReady = g.GroupShowsCalculated = true;
    State().Folders.SampleId[3] = "#3";
    State().Run.PlotKind = 2;
    plots.Replot(1);  // the group plot takes the plot kind, not the argument
    EXPECT_EQ(plots.PlottedKind(), 2);
    EXPECT_EQ(chart.Title->Text, (std::vector<std::string>{"Comparison of Results", "Samples in a Group"}));
    for (int set = 1; set <= 7; ++set) {
        for (int k = 0; k < 4; ++k) {
            EXPECT_TRUE(plots.Series(4 * set - 3 + k).Active) << set;
            EXPECT_EQ(plots.Series(4 * set - 3 + k).Count(), n) << set;
        }
        const double f = g.GroupRows[set][5];
        EXPECT_NEAR(YAt(4 * set - 3, 5), std::abs(RCR(f, 10 * set, 100, 1e-5)), 1e-9);
        EXPECT_NEAR(YAt(4 * set - 1, 5), std::arg(std::conj(RCR(f, 10 * set, 100, 1e-5))) * 180 / kPi, 1e-9);
        EXPECT_NEAR(YAt(4 * set - 2, 5), std::abs(RCR(f, 10 * set, 110, 1e-5)), 1e-9);
    }
    EXPECT_EQ(plots.Series(9).Title, "|Z|,  Msd. #3");
    EXPECT_EQ(plots.Series(12).Title, "Angle,  Calc. #3");
    EXPECT_EQ(plots.Series(12).VertAxis, aRightAxis);
    EXPECT_EQ(services.messages.transcript().size(), 0u);

    // Nyquist legend of set 3.
    State().Run.PlotKind = 1;
    plots.Replot(1);
    EXPECT_EQ(plots.Series(9).Title, "Z ,  Msd. #3");
    EXPECT_EQ(plots.Series(10).Title, "Z ,  Calc. #3");
    EXPECT_FALSE(plots.Series(11).Active);

    // The error kind: cleared, titled, then refused with message 9's text.
    State().Run.PlotKind = 4;
    plots.Replot(4);
    for (int i = 1; i <= 28; ++i) EXPECT_EQ(plots.Series(i).Count(), 0);
    EXPECT_EQ(chart.Title->Text.front(), "Comparison of Results");
    ASSERT_EQ(services.messages.transcript().size(), 1u);
    EXPECT_EQ(services.messages.transcript()[0].text, "No data to plot.");
    EXPECT_EQ(services.messages.transcript()[0].caption, "Error message");
}

TEST_F(PlotsTest, FrequencyLabelTexts) {
    struct Case {
        double f;
        const char* text;
    } cases[] = {
        {12500, "12.5k"}, {1e6, "1E3k"}, {1000, "1E3"}, {1, "1E3m"}, {0.001, "1E3u"},
        {1.5e6, "1.5M"},  {0.02, "20m"}, {5e-6, "5u"},  {0.5, "500m"}, {123.456, "123"},
    };
    for (const Case& c : cases) EXPECT_EQ(FrequencyLabelText(c.f), c.text) << c.f;
    State().Options.PeriodDecimal = false;
    EXPECT_EQ(FrequencyLabelText(12500), "12,5k");
}

// Every label inside the plot (4 pixels in), none on another, none on a
// data point, none of more than the allowed count; every pixel of the label
// colour in the plot lies in a placed label.
// Label colour: blue, allowing for the smoothing of text edges (the labels
// are only 10 pixels high, so few pixels are fully covered).
bool LabelBlue(QRgb c) { return qBlue(c) >= 224 && qRed(c) < 48 && qGreen(c) < 48; }

void CheckLabels(MainPlots& plots, TCustomChart& chart, const QImage& image, const std::string& name) {
    const auto& rects = plots.PlacedLabels(1);
    ASSERT_FALSE(rects.empty()) << name;
    EXPECT_LE(rects.size(), 100u) << name;
    const TRect plot = chart.ChartRect;
    for (size_t i = 0; i < rects.size(); ++i) {
        const LabelRect& r = rects[i];
        EXPECT_GT(r.left, plot.Left + 4) << name;
        EXPECT_LT(r.right, plot.Right - 4) << name;
        EXPECT_GT(r.top, plot.Top + 4) << name;
        EXPECT_LT(r.bottom, plot.Bottom - 4) << name;
        for (size_t j = 0; j < i; ++j) EXPECT_FALSE(RectsOverlap(r, rects[j])) << name << " " << i << " " << j;
        TPointSeries& s = plots.Series(1);
        for (int k = 0; k < s.Count(); ++k) {
            const int px = chart.BottomAxis->CalcXPosValue(s.GetxValue(k));
            const int py = chart.LeftAxis->CalcYPosValue(s.GetyValue(k));
            EXPECT_FALSE(r.left <= px && px <= r.right && r.top <= py && py <= r.bottom) << name;
        }
    }
    int bluePixels = 0;
    for (int y = plot.Top; y < plot.Bottom; ++y)
        for (int x = plot.Left; x < plot.Right; ++x) {
            if (!LabelBlue(image.pixel(x, y))) continue;
            ++bluePixels;
            bool inside = false;
            for (const LabelRect& r : rects) inside = inside || (r.left <= x && x <= r.right && r.top <= y && y <= r.bottom);
            EXPECT_TRUE(inside) << name << " blue pixel at " << x << "," << y;
            if (!inside) return;
        }
    EXPECT_GT(bluePixels, 0) << name;
}

TEST_F(PlotsTest, FrequencyLabelsNeitherOverlapNorLeaveThePlot) {
    for (int kind : {1, 3, 5}) {
        ResetProgramState();
        FillSpectrum(61);
        State().Run.ResultsComputed = false;
        plots.Replot(kind);
        DrawBitmap();  // the layout of the last draw settles the equal scales
        plots.Replot(kind);
        const QImage image = DrawBitmap();
        CheckLabels(plots, chart, image, "kind " + std::to_string(kind));
        // Texts match the frequencies of the labelled points.
        for (const std::string& t : plots.PlacedLabelTexts(1)) EXPECT_FALSE(t.empty());
    }
    // Kinds without labels.
    plots.Replot(2);
    DrawBitmap();
    EXPECT_TRUE(plots.PlacedLabels(1).empty());
}

TEST_F(PlotsTest, LabelsOnScreenAndOnABitmapOfTheSameChart) {
    FillSpectrum(61);
    State().Run.ResultsComputed = false;
    TMainChart widget(nullptr, PlotWindowLinks{}, nullptr);
    widget.resize(656, 357);
    widget.show();
    for (int k = 0; k < 2; ++k) {
        widget.Replot(1);
        (void)widget.grab();
    }
    MainPlots& p = widget.Plots();
    const QImage screen = widget.Picture();
    CheckLabels(p, widget, screen, "screen");
    const auto onScreen = p.PlacedLabelTexts(1);
    EXPECT_LE(onScreen.size(), 60u);
    // The same chart on a bitmap of its size: the same labels in the same places.
    const auto rects = p.PlacedLabels(1);
    platform::ImageDevice device(widget.Width, widget.Height);
    platform::Canvas canvas(&device);
    widget.Draw(&canvas, TRect{0, 0, widget.Width, widget.Height});
    const QImage bitmap = device.Image();
    CheckLabels(p, widget, bitmap, "bitmap");
    EXPECT_EQ(p.PlacedLabelTexts(1), onScreen);
    ASSERT_EQ(p.PlacedLabels(1).size(), rects.size());
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_EQ(p.PlacedLabels(1)[i].left, rects[i].left);
        EXPECT_EQ(p.PlacedLabels(1)[i].top, rects[i].top);
    }
    SavePng(bitmap, "plots_labels_bitmap.png");
}

TEST_F(PlotsTest, LabelsOfHugeImpedancesCarryTheirOwnFrequencies) {
    // Above about 1e8 ohm an absolute 1e-8 match of Z' finds no point and
    // every label would read the last frequency. Each label here is the
    // frequency of its own row.
    const int n = 15;
    FillSpectrum(n, 1e8);
    State().Run.ResultsComputed = false;
    plots.Replot(1);
    DrawBitmap();
    plots.Replot(1);
    DrawBitmap();
    const auto& texts = plots.PlacedLabelTexts(1);
    ASSERT_GE(texts.size(), 3u);
    std::vector<std::string> all;
    for (int i = 1; i <= n; ++i) all.push_back(FrequencyLabelText(State().Spectrum.Frequency[i]));
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_NE(std::find(all.begin(), all.end(), texts[i]), all.end()) << texts[i];
        for (size_t j = 0; j < i; ++j) EXPECT_NE(texts[i], texts[j]);
    }
}

TEST_F(PlotsTest, NonFiniteValuesAreLeftOutOfPlotAndLabels) {
    FillSpectrum(9);
    SpectrumBlock& sp = State().Spectrum;
    sp.ZReal[4] = 0;  // Z = 0: no admittance, no capacitance, no relative error
    sp.ZImag[4] = 0;
    sp.ZImag[6] = 0;  // Z'' = 0 with Z' != 0 is fine for every kind
    for (int kind : {3, 5, 4}) {
        plots.Replot(kind);
        EXPECT_EQ(plots.Series(1).Count(), 8) << kind;
        for (int i = 0; i < plots.Series(1).Count(); ++i) {
            EXPECT_NE(plots.RowOfPoint(1, i), 4) << kind;
            EXPECT_TRUE(std::isfinite(plots.Series(1).GetyValue(i))) << kind;
        }
        DrawBitmap();
    }
}

TEST_F(PlotsTest, EveryKindAndViewDrawsWithoutPointsOrWithOne) {
    // No positive value for a logarithmic axis: the axis keeps an automatic
    // range instead of an invalid one, and the draw goes through.
    for (int n : {0, 1}) {
        for (int view = 0; view < 3; ++view) {
            for (int kind = 0; kind <= 9; ++kind) {
                ResetProgramState();
                FillSpectrum(2);
                State().Spectrum.PointCount = State().Spectrum.ExtendedPointCount = n;
                State().Run.KKView = view == 1;
                State().Run.ExtrapolatedView = view == 2;
                plots.Replot(kind);
                DrawBitmap();
                EXPECT_LE(plots.Series(1).Count(), n) << kind;
                EXPECT_TRUE(plots.PlacedLabels(1).empty());
            }
        }
    }
}

TEST_F(PlotsTest, CircuitPictureBelowTheLegendAndAMissingOneReportedOnce) {
    const std::string folder = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/plots_bmp/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    State().Folders.BmpFolder = folder;
    FillSpectrum(21);
    State().Circuit.Code = "R(CR)";
    State().Run.IterateMode = true;
    State().History.Iteration = 3;
    State().Fit.ChiSq = 0.0123;
    State().Fit.ChiSqDivisor = 10;

    // Neither the code's picture nor "NONE.BMP": the rest is drawn, the
    // message waits until the draw is over and comes once.
    plots.Replot(2);
    DrawBitmap();
    DrawBitmap();
    EXPECT_EQ(plots.TakePendingMessage(), "Could not load or display bitmap");
    DrawBitmap();
    plots.Replot(2);
    DrawBitmap();
    EXPECT_EQ(plots.TakePendingMessage(), "");
    EXPECT_TRUE(services.messages.transcript().empty());

    // A picture of the code: drawn under the legend at the legend's width,
    // keeping its aspect (a 40 x 20 red picture).
    QImage red(40, 20, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(red.save(QString::fromStdString(folder + "R(CR).BMP"), "BMP"));
    plots.Replot(2);
    const QImage image = DrawBitmap();
    const TRect legend = chart.Legend->LegendRect;
    const TRect pic = plots.PictureRect();
    EXPECT_EQ(pic.Top, legend.Bottom + 30);
    EXPECT_EQ(pic.Left, legend.Left);
    EXPECT_EQ(pic.Bottom - pic.Top, (pic.Right - pic.Left) * 20 / 40);
    const int cy = (pic.Top + pic.Bottom) / 2;
    EXPECT_EQ(image.pixel((pic.Left + pic.Right) / 2, cy), qRgb(255, 0, 0));
    EXPECT_NE(image.pixel((pic.Left + pic.Right) / 2, pic.Bottom + 3), qRgb(255, 0, 0));
    SavePng(image, "plots_picture_bode.png");

    // Another code without a picture: "NONE.BMP" when present.
    QImage none(30, 30, QImage::Format_RGB32);
    none.fill(qRgb(0, 255, 0));
    ASSERT_TRUE(none.save(QString::fromStdString(folder + "NONE.BMP"), "BMP"));
    State().Circuit.Code = "R(CR)(LR)";
    plots.Replot(2);
    const QImage second = DrawBitmap();
    const TRect p2 = plots.PictureRect();
    EXPECT_EQ(second.pixel((p2.Left + p2.Right) / 2, (p2.Top + p2.Bottom) / 2), qRgb(0, 255, 0));
    // No valid model: no picture.
    State().Run.ModelValid = false;
    plots.Replot(2);
    DrawBitmap();
    EXPECT_EQ(plots.PictureRect().Right, 0);
}

// Units per pixel of the bottom axis over those of the left axis, on the
// plot area of the last draw.
double ScaleRatio(TCustomChart& chart) {
    const TRect r = chart.ChartRect;
    const double ux = (chart.BottomAxis->Maximum() - chart.BottomAxis->Minimum()) / (r.Right - r.Left);
    const double uy = (chart.LeftAxis->Maximum() - chart.LeftAxis->Minimum()) / (r.Bottom - r.Top);
    return ux / uy;
}

TEST_F(PlotsTest, PlanePlotsHaveEqualScalesOnTheirFirstDraw) {
    // A Bode plot's right axis, an error plot's wider labels or another
    // data set leave a plot area the next plane plot does not have. One
    // replot and one draw, as on the screen, must show equal units per
    // pixel (within the 0.1 % the equalising allows on each side).
    struct Case {
        const char* name;
        int before, kind;
        double scale;  // impedances of the plane plot's data
    } cases[] = {
        {"first plot", 0, 1, 1},        {"Nyquist after Bode", 2, 1, 1},
        {"Nyquist after errors", 4, 1, 1}, {"Nyquist after Bode (Y)", 7, 1, 1},
        {"admittance after Bode", 2, 3, 1}, {"capacitance after Bode", 2, 5, 1},
        {"Nyquist of other data", 1, 1, 1000},
    };
    for (const Case& c : cases) {
        ResetProgramState();
        FillSpectrum(40);
        if (c.before != 0) {
            plots.Replot(c.before);
            DrawBitmap();
        }
        FillSpectrum(40, c.scale);
        plots.Replot(c.kind);
        DrawBitmap();
        EXPECT_NEAR(ScaleRatio(chart), 1.0, 0.002) << c.name;
    }
    // The same on the screen, where the chart draws into its buffer and the
    // labels are drawn by that draw.
    ResetProgramState();
    FillSpectrum(40);
    State().Run.ResultsComputed = false;
    TMainChart widget(nullptr, PlotWindowLinks{}, nullptr);
    widget.resize(656, 357);
    widget.show();
    widget.Replot(2);
    (void)widget.grab();
    widget.Replot(1);
    (void)widget.grab();
    EXPECT_NEAR(ScaleRatio(widget), 1.0, 0.002) << "screen";
    EXPECT_FALSE(widget.Plots().PlacedLabels(1).empty()) << "screen";
}

TEST_F(PlotsTest, UndoingAZoomKeepsTheRangesOfThePlotShown) {
    // A zoom into a Nyquist plot, then a Bode plot (or other data): a drag
    // up and to the left undoes a zoom. It must not bring back the Nyquist
    // plot's impedance ranges onto the Bode plot's frequency and modulus axes.
    FillSpectrum(40);
    plots.Replot(1);
    DrawBitmap();
    const TRect r = chart.ChartRect;
    auto drag = [&](int x0, int y0, int x1, int y1) {
        chart.MouseDown(mbLeft, 0, x0, y0);
        chart.MouseMove(0, (x0 + x1) / 2, (y0 + y1) / 2);
        chart.MouseMove(0, x1, y1);
        chart.MouseUp(mbLeft, 0, x1, y1);
    };
    drag(r.Left + 40, r.Top + 40, r.Left + 140, r.Top + 120);  // zoom in
    ASSERT_LT(chart.BottomAxis->Maximum(), 150);
    plots.Replot(2);
    DrawBitmap();
    const double bottomMin = chart.BottomAxis->Minimum(), bottomMax = chart.BottomAxis->Maximum();
    const double leftMin = chart.LeftAxis->Minimum(), leftMax = chart.LeftAxis->Maximum();
    const TRect b = chart.ChartRect;
    drag(b.Left + 140, b.Top + 120, b.Left + 40, b.Top + 40);  // undo
    DrawBitmap();
    EXPECT_TRUE(chart.BottomAxis->Logarithmic());
    EXPECT_DOUBLE_EQ(chart.BottomAxis->Minimum(), bottomMin);
    EXPECT_DOUBLE_EQ(chart.BottomAxis->Maximum(), bottomMax);
    EXPECT_DOUBLE_EQ(chart.LeftAxis->Minimum(), leftMin);
    EXPECT_DOUBLE_EQ(chart.LeftAxis->Maximum(), leftMax);
}

TEST_F(PlotsTest, AReplotAfterZoomAndPanShowsTheNewPlotWhole) {
    // Zoom into a plot and pan it, then a new fit replots the same kind:
    // the new plot shows its whole data again (the gestures are not kept),
    // and a later undo drag leaves that plot as it is.
    struct Case {
        const char* name;
        int kind;
    } cases[] = {{"Nyquist", 1}, {"Bode", 2}};
    auto drag = [&](TMouseButton button, int x0, int y0, int x1, int y1) {
        chart.MouseDown(button, 0, x0, y0);
        chart.MouseMove(0, (x0 + x1) / 2, (y0 + y1) / 2);
        DrawBitmap();
        chart.MouseMove(0, x1, y1);
        chart.MouseUp(button, 0, x1, y1);
        DrawBitmap();
    };
    for (const Case& c : cases) {
        ResetProgramState();
        FillSpectrum(40);
        plots.Replot(c.kind);
        DrawBitmap();
        const TRect r = chart.ChartRect;
        drag(mbLeft, r.Left + 60, r.Top + 50, r.Left + 200, r.Top + 150);   // zoom in
        drag(mbRight, r.Left + 150, r.Top + 100, r.Left + 110, r.Top + 130);  // pan
        ASSERT_TRUE(chart.Zoomed) << c.name;
        ASSERT_FALSE(chart.UndoScalesEmpty) << c.name;

        // A new fit with ten times the impedance, then the replot.
        for (int i = 1; i <= 40; ++i) {
            State().Spectrum.ZRealCalc[i] *= 10;
            State().Spectrum.ZImagCalc[i] *= 10;
        }
        plots.Replot(c.kind);
        DrawBitmap();
        EXPECT_FALSE(chart.Zoomed) << c.name;
        EXPECT_TRUE(chart.UndoScalesEmpty) << c.name;
        TChartAxis* bx = chart.BottomAxis;
        TChartAxis* ly = chart.LeftAxis;
        if (c.kind == 2) {
            // Frequencies and moduli span whole decades round the data.
            EXPECT_TRUE(bx->Logarithmic()) << c.name;
            EXPECT_EQ(bx->Minimum(), std::pow(10.0, std::floor(std::log10(chart.MinXValue(bx))))) << c.name;
            EXPECT_EQ(bx->Maximum(), std::pow(10.0, std::ceil(std::log10(chart.MaxXValue(bx))))) << c.name;
            EXPECT_TRUE(chart.RightAxis->Automatic()) << c.name;
        } else {
            // All data in view, with equal units per pixel on both axes.
            EXPECT_LE(bx->Minimum(), chart.MinXValue(bx)) << c.name;
            EXPECT_GE(bx->Maximum(), chart.MaxXValue(bx)) << c.name;
            EXPECT_LE(ly->Minimum(), chart.MinYValue(ly)) << c.name;
            EXPECT_GE(ly->Maximum(), chart.MaxYValue(ly)) << c.name;
            EXPECT_NEAR(ScaleRatio(chart), 1.0, 0.002) << c.name;
        }
        const double shown[4] = {bx->Minimum(), bx->Maximum(), ly->Minimum(), ly->Maximum()};
        const TRect b = chart.ChartRect;
        drag(mbLeft, b.Left + 140, b.Top + 120, b.Left + 40, b.Top + 40);  // undo
        EXPECT_EQ(bx->Minimum(), shown[0]) << c.name;
        EXPECT_EQ(bx->Maximum(), shown[1]) << c.name;
        EXPECT_EQ(ly->Minimum(), shown[2]) << c.name;
        EXPECT_EQ(ly->Maximum(), shown[3]) << c.name;
    }
}

TEST_F(PlotsTest, PicturesOfEveryKindForAReviewer) {
    // A real-looking spectrum: R(Q(R(QR))) written out with exponents below 1.
    const int n = 50;
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= n; ++i) {
        const double f = Freq(i, n, 1e5, 7);
        const double w = 2 * kPi * f;
        const cd q1 = 2e-6 * std::pow(cd(0, w), 0.85);
        const cd q2 = 5e-5 * std::pow(cd(0, w), 0.7);
        const cd inner = 800.0 / (1.0 + 800.0 * q2);
        const cd z = 15.0 + 1.0 / (q1 + 1.0 / (120.0 + inner));
        const cd zc = z * (1.0 + 0.01 * std::sin(i * 0.7));
        sp.Frequency[i] = f;
        sp.Omega[i] = w;
        sp.ZReal[i] = z.real();
        sp.ZImag[i] = -z.imag();
        sp.ZRealCalc[i] = zc.real();
        sp.ZImagCalc[i] = -zc.imag();
    }
    sp.PointCount = n;
    State().Run.DataLoaded = State().Run.ResultsComputed = State().Run.ModelValid = true;
    State().Params.FreeCount = 5;
    State().Files.DataFileName = "/data/coating.txt";
    State().Circuit.Code = "R(Q(R(QR)))";
    for (int kind = 1; kind <= 8; ++kind) {
        plots.Replot(kind);
        DrawBitmap();
        plots.Replot(kind);
        const QImage image = DrawBitmap();
        EXPECT_GT(plots.Series(1).Count(), 0) << kind;
        SavePng(image, "plots_kind" + std::to_string(kind) + ".png");
    }
}

}  // namespace
}  // namespace pellucor::mainwindow

namespace pellucor::mainwindow {
namespace {

TEST(PlotLayout, ExponentFormatTest) {
    struct Case {
        double x;
        bool expected;
    } cases[] = {{0, true}, {0.02, false}, {0.019, true}, {200000, false}, {200001, true}, {-3e5, true}, {-5, false}};
    for (const Case& c : cases) EXPECT_EQ(NeedsExponentFormat(c.x), c.expected) << c.x;
}

TEST(PlotLayout, MarginsRoundTheDataAndEqualScales) {
    ResetProgramState();
    chart::TChart chart;
    MainPlots plots(chart);
    struct Case {
        double lo, hi, min, max;
    } cases[] = {{10, 110, 0, 130}, {-5, 5, -7, 7}};
    for (const Case& c : cases) {
        plots.ClearAllSeries();
        plots.Series(1).SetActive(true);
        plots.AddPoint(1, c.lo, c.lo, 1);
        plots.AddPoint(1, c.hi, c.hi, 2);
        chart.ChartRect = chart::TRect{};  // no plot area yet: no equalising
        plots.SetAxisMargins();
        EXPECT_DOUBLE_EQ(chart.BottomAxis->Minimum(), c.min);
        EXPECT_DOUBLE_EQ(chart.BottomAxis->Maximum(), c.max);
        EXPECT_DOUBLE_EQ(chart.LeftAxis->Minimum(), c.min);
        EXPECT_DOUBLE_EQ(chart.LeftAxis->Maximum(), c.max);
    }
    // A plot area twice as wide as high: the horizontal range doubles, the
    // minimum kept.
    chart.ChartRect = chart::TRect{0, 0, 400, 200};
    plots.SetAxisMargins();
    EXPECT_DOUBLE_EQ(chart.BottomAxis->Minimum(), -7);
    EXPECT_DOUBLE_EQ(chart.BottomAxis->Maximum(), 21);
    EXPECT_DOUBLE_EQ(chart.LeftAxis->Maximum(), 7);
    // Within 0.001 relative nothing changes.
    chart.LeftAxis->SetMinMax(-7, 7.005);
    plots.EqualiseAxisScales();
    EXPECT_DOUBLE_EQ(chart.LeftAxis->Maximum(), 7.005);
    EXPECT_DOUBLE_EQ(chart.BottomAxis->Maximum(), 21);
}

// Equal scales on a plot area of the data's own aspect leave the ranges as
// the margins made them; the labels of picoohm data must still read as
// their values, not as "0".
TEST(PlotLayout, LabelsOfTinyValuesWhenTheScalesAreAlreadyEqual) {
    ResetProgramState();
    chart::TChart chart;
    MainPlots plots(chart);
    plots.ClearAllSeries();
    plots.Series(1).SetActive(true);
    plots.AddPoint(1, 1e-12, 1e-12, 1);
    plots.AddPoint(1, 5e-12, 5e-12, 2);
    // Both axes run from 0 to 5e-12 + 0.2 x 4e-12 = 5.8e-12 on a square
    // plot area: equal units per pixel already.
    chart.ChartRect = chart::TRect{0, 0, 300, 300};
    plots.SetAxisMargins();
    ASSERT_DOUBLE_EQ(chart.BottomAxis->Maximum(), 5.8e-12);
    ASSERT_DOUBLE_EQ(chart.LeftAxis->Maximum(), 5.8e-12);
    for (chart::TChartAxis* axis : {chart.BottomAxis, chart.LeftAxis})
        for (double v : {1e-12, 2.5e-12, 5e-12}) {
            const std::string text = axis->LabelValue(v);
            EXPECT_NEAR(std::strtod(text.c_str(), nullptr) / v, 1.0, 1e-9) << v << " is labelled " << text;
        }
}

TEST(PlotLayout, WindowFittedToTheData) {
    ResetProgramState();
    chart::TChart chart;
    std::vector<std::pair<int, int>> resized;
    PlotWindowLinks links;
    links.ClientSize = [] { return platform::Size{600, 400}; };
    links.ScreenSize = [] { return platform::Size{1000, 800}; };
    links.SetClientSize = [&](int w, int h) { resized.push_back({w, h}); };
    MainPlots plots(chart, links);
    chart.ChartRect = chart::TRect{50, 50, 550, 350};  // frame 100 x 100
    struct Case {
        const char* name;
        double dx, dy;
        std::vector<std::pair<int, int>> expected;
    } cases[] = {
        // Width first: 950 wide, (850 * 0.5) + 100 = 525 high.
        {"wide data", 100, 50, {{950, 525}}},
        // Lower than a third of the screen: kept.
        {"flat data", 100, 10, {}},
        // Height first: 680 high, (580 * 1) + 100 = 680 wide.
        {"square data", 100, 100, {{680, 680}}},
        // Height first and narrower than half the screen: kept.
        {"tall data", 10, 100, {}},
        {"no horizontal range", 0, 100, {}},
    };
    for (const Case& c : cases) {
        resized.clear();
        plots.ClearAllSeries();
        plots.Series(1).SetActive(true);
        plots.AddPoint(1, 0, 0, 1);
        plots.AddPoint(1, c.dx, c.dy, 2);
        plots.FitWindowToData();
        EXPECT_EQ(resized, c.expected) << c.name;
    }
}

// Data far taller than wide (a nearly vertical Nyquist line) give a width-
// first height beyond any window size; that is no reason to keep the
// window: the height-first size still fits it to the data. Too wide a
// frame makes the width-first height negative, which keeps the window.
TEST(PlotLayout, WindowFittedToDataFarFromSquare) {
    ResetProgramState();
    chart::TChart chart;
    std::vector<std::pair<int, int>> resized;
    int clientWidth = 900;
    PlotWindowLinks links;
    links.ClientSize = [&] { return platform::Size{clientWidth, 400}; };
    links.ScreenSize = [] { return platform::Size{1000, 800}; };
    links.SetClientSize = [&](int w, int h) { resized.push_back({w, h}); };
    MainPlots plots(chart, links);
    chart.ChartRect = chart::TRect{0, 0, 100, 300};  // frame 800 (or 1900) x 100
    struct Case {
        const char* name;
        int clientWidth;
        double dx, dy;
        std::vector<std::pair<int, int>> expected;
    } cases[] = {
        // Height first: 680 high, trunc(580 * 1e-8) + 800 = 800 wide.
        {"tall data", 900, 1, 1e8, {{800, 680}}},
        {"taller data", 900, 1e-300, 1e300, {{800, 680}}},
        // (950 - 1900) * 1e8: a height below zero, kept.
        {"frame wider than the screen", 2000, 1, 1e8, {}},
    };
    for (const Case& c : cases) {
        resized.clear();
        clientWidth = c.clientWidth;
        plots.ClearAllSeries();
        plots.Series(1).SetActive(true);
        plots.AddPoint(1, 0, 0, 1);
        plots.AddPoint(1, c.dx, c.dy, 2);
        plots.FitWindowToData();
        EXPECT_EQ(resized, c.expected) << c.name;
    }
}

}  // namespace
}  // namespace pellucor::mainwindow
