#include "mainwindow/plots/MainPlots.h"

#include <QFile>
#include <algorithm>
#include <cmath>

#include "chart/ChartOutput.h"
#include "core/Complex.h"
#include "core/FitDriver.h"
#include "core/Messages.h"
#include "core/NumberText.h"
#include "core/ProgramState.h"
#include "core/TextHelpers.h"

namespace pellucor::mainwindow {

using namespace pellucor::chart;

namespace {

constexpr double RadToDeg = 57.29577951308232;
constexpr double Pi = 3.141592653589793;

const char* const kPictureFailure = "Could not load or display bitmap";

// The design look of the 28 series: colour, pointer style and size, pointer
// brush (UseSeriesColor: the series colour), pointer pen (same).
struct SeriesLook {
    const char* title;
    TVertAxis axis;
    TColor color;
    TSeriesPointerStyle style;
    int size;
    TColor brush;
    TColor pen;
};

constexpr TColor Def = UseSeriesColor;
const SeriesLook kLooks[MainPlots::SeriesCount] = {
    {"Msd.", aLeftAxis, clRed, psCircle, 3, clRed, Def},
    {"Calc.", aLeftAxis, clGreen, psRectangle, 2, 4259584, Def},
    {"Msd. angle", aRightAxis, clYellow, psTriangle, 3, clBlue, Def},
    {"Calc. angle", aRightAxis, clBlue, psDiamond, 3, 8454143, Def},
    {"", aLeftAxis, clGray, psCross, 3, Def, Def},
    {"", aLeftAxis, clFuchsia, psDiagCross, 2, clBlue, Def},
    {"", aLeftAxis, clTeal, psStar, 3, Def, Def},
    {"", aLeftAxis, clNavy, psCircle, 3, Def, Def},
    {"", aLeftAxis, clMaroon, psRectangle, 2, 16744576, Def},
    {"", aLeftAxis, clLime, psTriangle, 3, 8454143, 64},
    {"", aLeftAxis, clOlive, psStar, 3, 4227327, Def},
    {"", aLeftAxis, clPurple, psCircle, 3, 16744576, Def},
    {"", aLeftAxis, clAqua, psDownTriangle, 3, Def, Def},
    {"", aLeftAxis, clBlack, psDiagCross, 2, Def, Def},
    {"", aLeftAxis, clRed, psStar, 3, Def, Def},
    {"", aLeftAxis, clRed, psCross, 3, clGreen, Def},
    {"", aLeftAxis, clRed, psTriangle, 3, 8421631, Def},
    {"", aLeftAxis, clRed, psCircle, 3, 16744448, Def},
    {"", aLeftAxis, clRed, psRectangle, 2, 64, Def},
    {"", aLeftAxis, clRed, psDiamond, 3, Def, Def},
    {"", aLeftAxis, clRed, psDiagCross, 2, 16744703, Def},
    {"", aLeftAxis, clRed, psCross, 3, 4259584, Def},
    {"", aLeftAxis, clRed, psDownTriangle, 3, clYellow, Def},
    {"", aLeftAxis, clRed, psStar, 3, 65408, Def},
    {"", aLeftAxis, clRed, psCircle, 3, clYellow, Def},
    {"", aLeftAxis, clRed, psRectangle, 2, 4194432, Def},
    {"", aLeftAxis, clRed, psDownTriangle, 3, 33023, Def},
    {"", aLeftAxis, clRed, psDiamond, 3, clFuchsia, Def},
};

// Colours of the labels of the sets of a project group.
const TColor kSetLabelColors[7] = {clRed, clGreen, clBlue, clBlack, clAqua, clPurple, clMaroon};

bool Finite(double v) { return std::isfinite(v); }

// The angle of a pair in degrees, moved by one turn when it jumps by more
// than half a turn from the previous angle of the same series.
double UnwrappedDegrees(double im, double re, double& previous) {
    double phi = PhaseAngle(im, re);
    if (!Finite(phi)) return phi;
    if (std::fabs(phi - previous) > Pi) phi += previous > 0 ? 2 * Pi : -2 * Pi;
    previous = phi;
    return phi * RadToDeg;
}

// Magnitude for a logarithmic axis. Only a zero, which has no logarithm,
// is put at 1e-6: capacitances in the dielectric system and admittances of
// coatings lie far below that, and raising every value under it to 1e-6
// drew such a spectrum as one flat line.
double LogFloor(double v) {
    v = std::fabs(v);
    return v == 0 ? 0.000001 : v;
}

std::string Cut(const std::string& s, size_t n) { return s.size() > n ? s.substr(0, n) : s; }

struct Pair {
    double a, b;
};

// The plotted pair of the impedance kinds: the impedance itself, or in a
// dielectric system the complex capacitance.
Pair PairP(double re, double im, double w, bool conductive) {
    if (conductive) return {re, im};
    const double m = re * re + im * im;
    return {im / (w * m), re / (w * m)};
}

}  // namespace

// ---------------------------------------------------------------- helpers

std::string FrequencyLabelText(double f) {
    double v;
    const char* prefix;
    if (f > 1e6) {
        v = f * 1e-6;
        prefix = "M";
    } else if (f > 1000) {
        v = f * 0.001;
        prefix = "k";
    } else if (f > 1) {
        v = f;
        prefix = "";
    } else if (f > 0.001) {
        v = f * 1000;
        prefix = "m";
    } else {
        v = f * 1e6;
        prefix = "u";
    }
    return PointToComma(State().Options.PeriodDecimal, FormatGeneralText(v, 3)) + prefix;
}

bool RectsOverlap(const LabelRect& a, const LabelRect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

bool LabelOutsidePlotArea(const LabelRect& r, const TRect& plot) {
    auto inside = [&](int x, int y) {
        return plot.Left + 4 < x && x < plot.Right - 4 && plot.Top + 4 < y && y < plot.Bottom - 4;
    };
    return !(inside(r.left, r.top) && inside(r.right, r.top) && inside(r.left, r.bottom) &&
             inside(r.right, r.bottom));
}

bool NeedsExponentFormat(double x) { return std::fabs(x) > 200000 || std::fabs(x) < 0.02; }

// ---------------------------------------------------------------- creation

MainPlots::MainPlots(TCustomChart& chart, PlotWindowLinks links, const PlotExtension* extension)
    : chart_(chart), links_(std::move(links)), extension_(extension) {
    chart_.SetView3D(false);
    chart_.BackWall->SetColor(clWhite);
    chart_.BackWall->Pen->SetWidth(2);
    chart_.Legend->SetLegendStyle(lsSeries);
    chart_.Legend->GetFont().SetName("Arial");
    chart_.Legend->GetFont().SetHeight(-13);
    TFont& title = chart_.Title->GetFont();
    title.SetName("Arial");
    title.SetHeight(-15);
    title.SetStyle(platform::fsBold);
    title.SetColor(clBlack);
    chart_.Title->SetText({"Let's start with opening a file ..."});
    for (TChartAxis* axis : {chart_.BottomAxis, chart_.LeftAxis, chart_.RightAxis, chart_.TopAxis}) {
        axis->LabelsFont->SetName("Arial");
        axis->LabelsFont->SetHeight(-13);
        axis->Title->GetFont().SetName("Arial");
        axis->Title->GetFont().SetHeight(-15);
        axis->Title->GetFont().SetStyle(platform::fsBold);
        axis->SetMinorTickCount(4);
        axis->Ticks->SetColor(clBlack);
    }
    chart_.BottomAxis->Grid->SetColor(clSilver);
    chart_.BottomAxis->Grid->SetStyle(TPenStyle::Solid);
    chart_.LeftAxis->Grid->SetColor(clSilver);
    chart_.LeftAxis->Grid->SetStyle(TPenStyle::Solid);
    chart_.RightAxis->Grid->SetColor(clBlue);
    chart_.RightAxis->Grid->SetWidth(0);
    chart_.BottomAxis->Title->SetCaption("Z ',  ohm");
    chart_.LeftAxis->Title->SetCaption("- Z '',  ohm");
    chart_.RightAxis->Title->SetCaption("Angle, deg");

    for (int i = 0; i < SeriesCount; ++i) {
        const SeriesLook& look = kLooks[i];
        auto s = std::make_unique<TPointSeries>();
        s->Name = "Series" + std::to_string(i + 1);
        s->SetParentChart(&chart_);
        s->SetTitle(look.title);
        s->SetVertAxis(look.axis);
        s->SetSeriesColor(look.color);
        s->Pointer->SetStyle(look.style);
        s->Pointer->SetHorizSize(look.size);
        s->Pointer->SetVertSize(look.size);
        s->Pointer->SetVisible(true);
        s->Pointer->SetInflateMargins(true);
        if (look.brush != Def) s->Pointer->Brush->SetColor(look.brush);
        if (look.pen != Def) s->Pointer->Pen->SetColor(look.pen);
        s->MarksVisible = false;
        s->XValues->Order = i == 0 ? loNone : loAscending;
        series_[i] = std::move(s);
    }
    chart_.OnAfterDraw = [this](TCustomChartPanel*) { AfterDraw(); };
}

MainPlots::~MainPlots() {
    chart_.OnAfterDraw = nullptr;
    for (auto& s : series_) s.reset();
}

int MainPlots::RowOfPoint(int number, int index) const {
    const auto& rows = rows_[number - 1];
    return index >= 0 && index < static_cast<int>(rows.size()) ? rows[index] : 0;
}

bool MainPlots::AddPoint(int number, double x, double y, int row) {
    // Capacitance where Z'' is zero, admittance where Z is zero, a relative
    // error where |Z| is zero: such a point has no place on the plot.
    if (!Finite(x) || !Finite(y)) return false;
    TPointSeries& s = Series(number);
    const int index = s.AddXY(x, y, "", UseSeriesColor);
    auto& rows = rows_[number - 1];
    if (index >= 0 && index <= static_cast<int>(rows.size())) rows.insert(rows.begin() + index, row);
    return index >= 0;
}

// ---------------------------------------------------------------- window facts

bool MainPlots::GridLines() const { return links_.GridLines ? links_.GridLines() : true; }
bool MainPlots::FixedWindow() const { return links_.FixedWindow ? links_.FixedWindow() : true; }
bool MainPlots::Maximised() const { return links_.Maximised ? links_.Maximised() : false; }

// ---------------------------------------------------------------- series helpers

void MainPlots::ActivateAllSeries() {
    for (auto& s : series_) s->SetActive(true);
}
void MainPlots::ClearAllSeries() {
    for (int i = 0; i < SeriesCount; ++i) {
        series_[i]->Clear();
        rows_[i].clear();
    }
}
void MainPlots::DeactivateAllSeries() {
    for (auto& s : series_) s->SetActive(false);
}

void MainPlots::SetChartFontSizes(bool large) {
    chart_.Title->GetFont().SetSize(large ? 11 : 9);
    for (TChartAxis* axis : {chart_.BottomAxis, chart_.LeftAxis, chart_.RightAxis}) {
        axis->Title->GetFont().SetSize(large ? 11 : 9);
        axis->LabelsFont->SetSize(large ? 10 : 8);
        axis->LabelsFont->SetStyle(large ? platform::fsBold : 0u);
    }
    chart_.Legend->GetFont().SetSize(large ? 10 : 8);
    chart_.Legend->GetFont().SetStyle(large ? platform::fsBold : 0u);
}

// ---------------------------------------------------------------- layout helpers

void MainPlots::EqualiseAxisScales() {
    const TRect& r = chart_.ChartRect;
    const double W = r.Right - r.Left, H = r.Bottom - r.Top;
    if (W <= 0 || H <= 0) return;
    TChartAxis* bx = chart_.BottomAxis;
    TChartAxis* ly = chart_.LeftAxis;
    const double dx = bx->Maximum() - bx->Minimum();
    const double dy = ly->Maximum() - ly->Minimum();
    const double ux = dx / W, uy = dy / H;
    const double r2 = (ux - uy) / (ux + uy);
    if (!Finite(r2)) return;
    // Only unequal scales change a maximum, but tiny or huge values need the
    // exponent format on both axes all the same: picoohm data on a plot area
    // of their own aspect were labelled "0" throughout.
    bool exponent = false;
    if (std::fabs(r2) <= 0.001) {
        exponent = NeedsExponentFormat(bx->Maximum()) || NeedsExponentFormat(ly->Maximum());
    } else if (r2 > 0) {
        const double newMax = ly->Maximum() + (H * dx / W - dy);
        ly->SetMinMax(ly->Minimum(), newMax);
        exponent = NeedsExponentFormat(newMax);
    } else {
        const double newMax = bx->Maximum() + (W * dy / H - dx);
        bx->SetMinMax(bx->Minimum(), newMax);
        exponent = NeedsExponentFormat(newMax);
    }
    if (exponent) {
        bx->SetValuesFormat("0.00E+00");
        ly->SetValuesFormat("0.00E+00");
    }
}

void MainPlots::SetAxisMargins() {
    TChartAxis* bx = chart_.BottomAxis;
    TChartAxis* ly = chart_.LeftAxis;
    const double xmin = chart_.MinXValue(bx), xmax = chart_.MaxXValue(bx);
    const double ymin = chart_.MinYValue(ly), ymax = chart_.MaxYValue(ly);
    const double mx = 0.2 * (xmax - xmin), my = 0.2 * (ymax - ymin);
    bx->SetMinMax(xmin > 0 ? 0 : xmin - mx, xmax + mx);
    ly->SetMinMax(ymin > 0 ? 0 : ymin - my, ymax + my);
    EqualiseAxisScales();
}

void MainPlots::FitWindowToData() {
    if (!links_.ClientSize || !links_.ScreenSize || !links_.SetClientSize) return;
    const platform::Size client = links_.ClientSize();
    const platform::Size screen = links_.ScreenSize();
    const TRect& r = chart_.ChartRect;
    const int frameW = client.cx - (r.Right - r.Left);
    const int frameH = client.cy - (r.Bottom - r.Top);
    const double dx = chart_.MaxXValue(chart_.BottomAxis) - chart_.MinXValue(chart_.BottomAxis);
    const double dy = chart_.MaxYValue(chart_.LeftAxis) - chart_.MinYValue(chart_.LeftAxis);
    if (dx == 0 || !Finite(dx) || !Finite(dy)) return;
    // The sizes are worked out in real numbers: data far from square give a
    // first size beyond any integer (a nearly vertical line), which only
    // means the other size comes first. Either size is converted only once
    // it lies between the screen limits.
    const int widthFirst = static_cast<int>(0.95 * screen.cx);
    const double heightForWidth = std::trunc((widthFirst - frameW) * dy / dx) + frameH;
    if (heightForWidth < 0.85 * screen.cy) {
        if (screen.cy >= 3 * heightForWidth) return;
        links_.SetClientSize(widthFirst, static_cast<int>(heightForWidth));
        return;
    }
    if (dy == 0) return;
    const int heightFirst = static_cast<int>(0.85 * screen.cy);
    const double widthForHeight = std::trunc((heightFirst - frameH) * dx / dy) + frameW;
    if (widthForHeight >= 0.95 * screen.cx || screen.cx >= 2 * widthForHeight) return;
    links_.SetClientSize(static_cast<int>(widthForHeight), heightFirst);
}

void MainPlots::FormatAxesAndResize() {
    if (NeedsExponentFormat(chart_.MaxXValue(chart_.BottomAxis)))
        chart_.BottomAxis->SetValuesFormat("0.00E+00");
    if (NeedsExponentFormat(chart_.MaxYValue(chart_.LeftAxis)))
        chart_.LeftAxis->SetValuesFormat("0.00E+00");
    if (!Maximised()) FitWindowToData();
}

void MainPlots::LayOutPlotArea() {
    if (chart_.Width <= 0 || chart_.Height <= 0) return;
    // A draw on a scratch bitmap of the chart's size sets ChartRect from this
    // plot's titles, legend and axis labels. The decoration is left out: it
    // belongs to the draw that is shown.
    auto afterDraw = std::move(chart_.OnAfterDraw);
    chart_.OnAfterDraw = nullptr;
    struct Restore {
        TCustomChart& chart;
        std::function<void(TCustomChartPanel*)>& saved;
        ~Restore() { chart.OnAfterDraw = std::move(saved); }
    } restore{chart_, afterDraw};
    TPanelOutput output(chart_);
    ChartCreateBitmap(output, clWhite, TRect{0, 0, chart_.Width, chart_.Height});
}

void MainPlots::LinearEnding() {
    if (!Maximised() && !FixedWindow()) {
        FormatAxesAndResize();
        return;
    }
    // Equal scales are worked out on the plot area, and the last draw's may
    // be another plot's: a Bode plot's right axis or wider labels would
    // leave a semicircle squashed by up to a fifth. So the chart is laid out
    // with this plot's ranges, and the margins and scales are set again while
    // that changes the plot area (the new ranges' labels may take other room).
    for (int pass = 0; pass < 3; ++pass) {
        const TRect used = chart_.ChartRect;
        SetAxisMargins();
        LayOutPlotArea();
        if (chart_.ChartRect == used) break;
    }
}

// Smallest and largest value above zero over the shown series on an axis.
static bool PositiveRange(TCustomChart& chart, TCustomChartAxis* axis, bool isX, double& lo, double& hi) {
    bool any = false;
    for (int i = 0; i < chart.SeriesCount(); ++i) {
        TChartSeries* s = chart.GetSeries(i);
        if (!s->Active || !s->AssociatedToAxis(axis)) continue;
        double a, b;
        if (!s->PositiveExtremes(isX, a, b)) continue;
        lo = any ? std::min(lo, a) : a;
        hi = any ? std::max(hi, b) : b;
        any = true;
    }
    return any;
}

void MainPlots::DecadeLimits(bool leftToo) {
    auto decades = [&](TChartAxis* axis, bool isX) {
        double lo, hi;
        if (!PositiveRange(chart_, axis, isX, lo, hi)) {
            // Nothing a logarithmic axis can show: leave the range to the engine.
            axis->SetAutomatic(true);
            return;
        }
        axis->SetMinMax(std::pow(10.0, std::floor(std::log10(lo))), std::pow(10.0, std::ceil(std::log10(hi))));
    };
    if (leftToo) decades(chart_.LeftAxis, false);
    decades(chart_.BottomAxis, true);
}

void MainPlots::DecadeEnding(int kind, bool logLeft) {
    DecadeLimits(logLeft);
    TChartAxis* ly = chart_.LeftAxis;
    if (kind == 4 && NeedsExponentFormat(chart_.MaxYValue(chart_.RightAxis)))
        chart_.RightAxis->SetValuesFormat("0.00E+00");
    if (NeedsExponentFormat(chart_.MaxYValue(ly))) ly->SetValuesFormat("0.00E+00");
    // A logarithmic axis labels every decade down to its minimum, and the
    // plain format writes three decimals: a decade below 0.001 would read
    // "0" (an admittance from 0.1 S down to 1e-5 S, a zero part plotted at
    // 1e-6), however large the values at the top of the axis.
    if (ly->Logarithmic() && ly->Minimum() < 0.001) ly->SetValuesFormat("0.00E+00");
    if (kind == 2 || kind == 7) chart_.RightAxis->SetValuesFormat("#,##0.###");
    if (chart_.MinXValue(chart_.BottomAxis) < 0.005 || chart_.MaxXValue(chart_.BottomAxis) > 2000000)
        chart_.BottomAxis->SetValuesFormat("0E+00");
}

// ---------------------------------------------------------------- common opening

static void MakeLog(TChartAxis* axis) {
    // A range the logarithm can take first, so switching never meets an
    // old negative range; the plot sets the real one at its end.
    axis->SetMinMax(1, 10);
    axis->SetLogarithmic(true);
    axis->SetMinorTickCount(8);
}

void MainPlots::ResetAxes() {
    const bool grid = GridLines();
    for (TChartAxis* axis : {chart_.BottomAxis, chart_.LeftAxis, chart_.RightAxis}) {
        axis->Grid->SetVisible(grid);
        axis->SetAutomatic(true);
        axis->SetLogarithmic(false);
        axis->SetMinorTickCount(4);
        axis->SetValuesFormat("#,##0.###");
    }
}

void MainPlots::CommonOpening() {
    ActivateAllSeries();
    ClearAllSeries();
    DeactivateAllSeries();
    if (links_.HidePointLabel) links_.HidePointLabel();
    ResetAxes();
    // Undoing a zoom goes back to this plot's ranges: those saved at a zoom
    // into an earlier plot belong to other axes or other data.
    chart_.UndoScalesEmpty = true;
    chart_.Zoomed = false;
    pictureLoaded_ = false;  // the picture is read again for the new plot
}

void MainPlots::SetTitleLines(const std::string& line1, const std::string& line2) {
    chart_.Title->SetText({line1, line2});
}

void MainPlots::Bind(int number, TVertAxis axis, const std::string& title, bool active) {
    TPointSeries& s = Series(number);
    s.SetVertAxis(axis);
    s.SetTitle(title);
    s.SetActive(active);
}

// ---------------------------------------------------------------- dispatcher

void MainPlots::Replot(int kind) {
    ++replotCount_;
    lastReplotKind_ = kind;
    ProgramState& s = State();
    // In group mode the group's flag stands for "results computed" during
    // this one call, whatever way the call ends.
    struct Restore {
        bool& field;
        bool saved;
        ~Restore() { field = saved; }
    } restore{s.Run.ResultsComputed, s.Run.ResultsComputed};
    if (s.Group.GroupMode) s.Run.ResultsComputed = s.Group.GroupShowsCalculated;

    if (s.Group.GroupMode && s.Group.ProjectGroupMode) {
        if (s.Group.GroupPlotReady) ReplotGroup();
        return;
    }
    if (s.Run.DataLoaded && s.Run.KKView) {
        PlotKramersKronig(kind, s.Spectrum.PointCount, s.Files.DataFileName);
        return;
    }
    if (!s.Run.DataLoaded && !s.Run.SimulatedResults) return;
    if (kind != 4 && s.Run.ExtrapolatedView) {
        PlotExtrapolated(kind, s.Spectrum.ExtendedPointCount, s.Files.DataFileName);
        return;
    }
    if (kind != 4) {
        PlotSingle(kind, s.Spectrum.PointCount, s.Files.DataFileName);
        return;
    }
    if (s.Run.ResultsComputed && !s.Run.SimulateMode && s.Params.FreeCount != 0 && !s.Run.ExtrapolatedView)
        PlotSingle(4, s.Spectrum.PointCount, s.Files.DataFileName);
}

void MainPlots::ReplotGroup() { PlotGroup(State().Run.PlotKind, State().Group.GroupCount); }

// ---------------------------------------------------------------- one data set

namespace {

// Axis titles of the kinds, shared by the single-set, extrapolated and
// Kramers-Kronig views.
struct AxisTitles {
    std::string bottom, left, right;
};

AxisTitles TitlesOfKind(int kind, bool area, bool conductive, bool logReIm) {
    const std::string ohm = area ? "ohm-sq. cm" : "ohm";
    const std::string farad = area ? "F/sq. cm" : "F";
    const std::string siemens = area ? "S/sq. cm" : "S";
    switch (kind) {
    case 1: return {"Z ',  " + ohm, "- Z '',  " + ohm, ""};
    case 2:
        return {"Frequency,  Hz", conductive ? "|Z|,  " + ohm : "|C|,  " + farad, "Angle,  deg"};
    case 3:
        if (conductive) return {"Y ',  " + siemens, "Y '',  " + siemens, ""};
        return {area ? "1/C ',  sq. cm/F" : "1/C ',  1/F", area ? "1/C '',  sq. cm/F" : "1/C '',  1/F", ""};
    case 4: return {"Frequency,  Hz", "% Error,  |Z|", "Error,  Angle"};
    case 5: return {"C ',  " + farad, "C '',  " + farad, ""};
    case 6: {
        std::string prefix = conductive ? (logReIm ? "| Z '| &  | Z ''|,  " : "Z ' &  - Z '',  ")
                                        : (logReIm ? "| C '| &  | C ''|,  " : "C ' &  - C '',  ");
        return {"Frequency,  Hz", prefix + (conductive ? ohm : farad), ""};
    }
    case 7: return {"Frequency,  Hz", "|Y|,  " + siemens, "Angle,  deg"};
    case 8: return {"Frequency,  Hz", (logReIm ? "| Y '| &  | Y ''|,  " : "Y ' &  Y '',  ") + siemens, ""};
    default: return {};
    }
}

}  // namespace

// One point of one curve in the value kinds (all but 4): the first quantity
// goes to series `first`, the second (where the kind has one) to `second`.
struct KindPointAdder {
    MainPlots& plots;
    int kind;
    bool conductive;
    bool floorValues;  // kinds 6 and 8 on a logarithmic left axis

    void operator()(int row, double f, double w, double re, double im, int first, int second,
                    double& previousAngle) const {
        switch (kind) {
        case 1: plots.AddPoint(first, re, im, row); break;
        case 2: {
            const Pair p = PairP(re, im, w, conductive);
            plots.AddPoint(first, f, ComplexModulus(p.a, p.b), row);
            plots.AddPoint(second, f, UnwrappedDegrees(p.b, p.a, previousAngle), row);
            break;
        }
        case 3: {
            const Pair p = PairP(re, im, w, conductive);
            const double m = ComplexModulus(p.a, p.b);
            plots.AddPoint(first, p.a / (m * m), p.b / (m * m), row);
            break;
        }
        case 5: {
            const double w5 = 6.283185307179586 * f;
            const double m = re * re + im * im;
            plots.AddPoint(first, im / (w5 * m), re / (w5 * m), row);
            break;
        }
        case 6: {
            Pair p = PairP(re, im, w, conductive);
            if (floorValues) p = {LogFloor(p.a), LogFloor(p.b)};
            plots.AddPoint(first, f, p.a, row);
            plots.AddPoint(second, f, p.b, row);
            break;
        }
        case 7: {
            const double m = re * re + im * im;
            const double y1 = re / m, y2 = im / m;
            plots.AddPoint(first, f, ComplexModulus(y1, y2), row);
            plots.AddPoint(second, f, UnwrappedDegrees(y2, y1, previousAngle), row);
            break;
        }
        case 8: {
            const double m = re * re + im * im;
            double y1 = re / m, y2 = im / m;
            if (floorValues) {
                y1 = LogFloor(y1);
                y2 = LogFloor(y2);
            }
            plots.AddPoint(first, f, y1, row);
            plots.AddPoint(second, f, y2, row);
            break;
        }
        default: break;
        }
    }
};

namespace {

bool TwoQuantities(int kind) { return kind == 2 || kind == 6 || kind == 7 || kind == 8; }
bool PlaneKind(int kind) { return kind == 1 || kind == 3 || kind == 5; }

// Sets up the axes of a value kind; returns whether the left axis is logarithmic.
bool SetUpAxes(TCustomChart& chart, int kind, const AxisTitles& t, bool logLeftAllowed) {
    chart.BottomAxis->Title->SetCaption(t.bottom);
    chart.LeftAxis->Title->SetCaption(t.left);
    if (kind == 2 || kind == 4 || kind == 7) chart.RightAxis->Title->SetCaption(t.right);
    if (PlaneKind(kind)) return false;
    MakeLog(chart.BottomAxis);
    if (kind == 4) chart.BottomAxis->SetMinorTickCount(4);
    const RunState& run = State().Run;
    const bool logFlag = (kind == 2 || kind == 7) ? run.LogBodeZ : run.LogReIm;
    if (kind != 4 && logLeftAllowed && logFlag) {
        MakeLog(chart.LeftAxis);
        return true;
    }
    return false;
}

}  // namespace

void MainPlots::PlotSingle(int kind, int n, const std::string& dataFile) {
    ProgramState& s = State();
    const RunState& run = s.Run;
    n = std::clamp(n, 0, MaxPoints - 1);
    CommonOpening();
    Series(1).SetTitle("Msd.");
    Series(2).SetTitle("Calc.");
    plottedKind_ = kind;

    // Title lines.
    std::string line1, line2;
    if (s.Model.CustomTitles) {
        line1 = s.Model.ChartTitle1;
        line2 = s.Model.ChartTitle2;
    } else if (run.KineticData) {
        line1 = s.Files.ModelTitle;
        line2 = "E (V) = " + FormatGeneral(s.Model.Potential, 4);
        s.Model.ChartTitle1 = line1;
    } else if (!run.DataLoaded || run.SimulateMode) {
        line1 = "Simulation results";
        line2 = "Model : " + s.Circuit.Code;
        s.Model.ChartTitle1 = line1;
    } else {
        line1 = FileNameOfPath(dataFile);
        line2 = "Model : " + (run.ModelValid ? s.Circuit.Code : std::string("Unknown")) + "     Wgt : " +
                WeightingName(s.Options.Weighting);
        s.Model.ChartTitle1 = line1;
    }
    line2 = Cut(line2, 79);
    if (!s.Model.CustomTitles) s.Model.ChartTitle2 = line2;
    SetTitleLines(line1, line2);

    const bool conductive = run.ConductiveSystem, area = run.PerAreaUnits;
    const bool kinetic = run.KineticData;
    const AxisTitles t = TitlesOfKind(kind, area, conductive, run.LogReIm);
    const SpectrumBlock& sp = s.Spectrum;

    if (kind == 4) {
        if (!run.ResultsComputed) return;
        SetUpAxes(chart_, 4, t, false);
        Bind(1, aLeftAxis, "% Error,  |Z|", true);
        Bind(2, aRightAxis, "Error,  Angle", true);
        for (int i = 1; i <= n; ++i) {
            const double zm = ComplexModulus(sp.ZReal[i], sp.ZImag[i]);
            const double zc = ComplexModulus(sp.ZRealCalc[i], sp.ZImagCalc[i]);
            AddPoint(1, sp.Frequency[i], (zc - zm) * 100 / zm, i);
            AddPoint(2, sp.Frequency[i],
                     (PhaseAngle(sp.ZImagCalc[i], sp.ZRealCalc[i]) - PhaseAngle(sp.ZImag[i], sp.ZReal[i])) *
                         RadToDeg,
                     i);
        }
        DecadeEnding(4, false);
        return;
    }
    if (kind < 1 || kind > 8) {
        if (extension_) extension_->PlotSingleKind(*this, kind, n);
        return;
    }

    // Series titles: base, kinetic for the measured ones, dielectric over both.
    struct Titles {
        const char *s1, *s1k, *s2, *s3, *s3k, *s4;
    };
    Titles tt{};
    switch (kind) {
    case 1: tt = {"Z ,  Msd.", "Z ,  Kinetics", "Z ,  Calc.", "", "", ""}; break;
    case 2:
        tt = {"|Z|,  Msd.", "|Z| ,  Kinetics", "|Z|,  Calc.", "Angle,  Msd.", "Angle,  Kinetics", "Angle,  Calc."};
        break;
    case 3: tt = {"Y ,  Msd.", "Y ,  Kinetics", "Y ,  Calc.", "", "", ""}; break;
    case 5: tt = {"C ,  Msd.", "C ,  Kinetics", "C ,  Calc.", "", "", ""}; break;
    case 6:
        tt = {"Z ',  Msd.", "Z ' ,  Kinetics", "Z ',  Calc.", "-Z '',  Msd.", "Z '' ,  Kinetics", "-Z '',  Calc."};
        break;
    case 7:
        tt = {"|Y|,  Msd.", "|Y| ,  Kinetics", "|Y|,  Calc.", "Angle,  Msd.", "Angle ,  Kinetics", "Angle,  Calc."};
        break;
    case 8: tt = {"Y ',  Msd.", "Y ',  Kinetics", "Y ',  Calc.", "Y '',  Msd.", "Y '',  Kinetics", "Y '',  Calc."}; break;
    }
    std::string s1 = kinetic ? tt.s1k : tt.s1, s2 = tt.s2, s3 = kinetic ? tt.s3k : tt.s3, s4 = tt.s4;
    if (!conductive) {
        if (kind == 2) s1 = "|C|,  Msd.", s2 = "|C|,  Calc.";
        if (kind == 3) s1 = "1/C ,  Msd.", s2 = "1/C ,  Calc.";
        if (kind == 6) s1 = "C ',  Msd.", s2 = "C ',  Calc.", s3 = "C '',  Msd.", s4 = "C '',  Calc.";
    }

    const bool logLeft = SetUpAxes(chart_, kind, t, n >= 1);
    const bool msd = !run.SimulateMode, calc = run.ResultsComputed;
    const TVertAxis second = (kind == 2 || kind == 7) ? aRightAxis : aLeftAxis;
    Bind(1, aLeftAxis, s1, msd);
    Bind(2, aLeftAxis, s2, calc);
    if (TwoQuantities(kind)) {
        Bind(3, second, s3, msd);
        Bind(4, second, s4, calc);
    }
    const KindPointAdder add{*this, kind, conductive, (kind == 6 || kind == 8) && run.LogReIm && n >= 1};
    double prevMsd = 0, prevCalc = 0;
    for (int i = 1; i <= n; ++i) {
        if (msd) add(i, sp.Frequency[i], sp.Omega[i], sp.ZReal[i], sp.ZImag[i], 1, 3, prevMsd);
        if (calc) add(i, sp.Frequency[i], sp.Omega[i], sp.ZRealCalc[i], sp.ZImagCalc[i], 2, 4, prevCalc);
    }
    if (PlaneKind(kind))
        LinearEnding();
    else
        DecadeEnding(kind, logLeft);
}

// ---------------------------------------------------------------- extrapolated view

void MainPlots::PlotExtrapolated(int kind, int n, const std::string& dataFile) {
    ProgramState& s = State();
    const RunState& run = s.Run;
    const SpectrumBlock& sp = s.Spectrum;
    n = std::clamp(n, 0, MaxPoints - 1);
    const int measured = std::clamp(sp.PointCount, 0, n);
    CommonOpening();
    Series(1).SetTitle("Msd");
    Series(2).SetTitle("Ext");
    plottedKind_ = kind;
    chart_.Title->Clear();
    if (s.Model.CustomTitles) {
        SetTitleLines(s.Model.ChartTitle1, Cut(s.Model.ChartTitle2, 79));
    } else if (run.DataLoaded) {
        s.Model.ChartTitle1 = FileNameOfPath(dataFile);
        s.Model.ChartTitle2 = Cut("Selected spec. : " + s.Files.SelectedSpecName, 79);
        SetTitleLines(s.Model.ChartTitle1, s.Model.ChartTitle2);
    } else {
        return;
    }
    s.Model.CustomTitles = false;
    if (kind == 4) return;
    if (kind < 1 || kind > 8) {
        if (extension_) extension_->PlotExtrapolatedKind(*this, kind, n);
        return;
    }
    const bool conductive = run.ConductiveSystem, area = run.PerAreaUnits;
    AxisTitles t = TitlesOfKind(kind, area, conductive, run.LogReIm);
    if (kind == 1) t.left = area ? "-Z '',  ohm-sq. cm" : "-Z '',  ohm";
    if (kind == 2 && conductive && area) t.left = "|Z|,  ohm-sqcm";

    const char *s1 = "", *s2 = "", *s3 = "", *s4 = "";
    switch (kind) {
    case 1: s1 = "Z,  Msd."; s2 = "Z,  Ext."; break;
    case 2:
        s1 = conductive ? "|Z|, Msd." : "|C|,  Msd.";
        s2 = conductive ? "|Z|, Ext." : "|C|,  Ext.";
        s3 = "Angle,  Msd.";
        s4 = "Angle,  Ext.";
        break;
    case 3: s1 = conductive ? "Y,  Msd." : "1/C,  Msd."; s2 = conductive ? "Y,  Ext." : "1/C,  Ext."; break;
    case 5: s1 = "C,  Msd."; s2 = "C,  Ext."; break;
    case 6:
        s1 = conductive ? "Z ',  Msd." : "C ',  Msd.";
        s2 = conductive ? "Z ',  Ext." : "C ',  Ext.";
        s3 = conductive ? "-Z '',  Msd." : "C '', Msd.";
        s4 = conductive ? "-Z '',  Ext." : "C '', Ext.";
        break;
    case 7: s1 = "|Y|,  Msd."; s2 = "|Y|,  Ext."; s3 = "Angle,  Msd."; s4 = "Angle,  Ext."; break;
    case 8: s1 = "Y ',  Msd."; s2 = "Y ',  Ext."; s3 = "Y '',  Msd."; s4 = "Y '',  Ext."; break;
    }
    const bool logLeft = SetUpAxes(chart_, kind, t, measured >= 1);
    const TVertAxis second = (kind == 2 || kind == 7) ? aRightAxis : aLeftAxis;
    Bind(1, aLeftAxis, s1, true);
    Bind(2, aLeftAxis, s2, true);
    if (TwoQuantities(kind)) {
        Bind(3, second, s3, true);
        Bind(4, second, s4, true);
    }
    const KindPointAdder add{*this, kind, conductive, (kind == 6 || kind == 8) && run.LogReIm && measured >= 1};
    double prevMsd = 0, prevExt = 0;
    for (int i = 1; i <= measured; ++i)
        add(i, sp.Frequency[i], sp.Omega[i], sp.ZReal[i], sp.ZImag[i], 1, 3, prevMsd);
    for (int i = measured + 1; i <= n; ++i)
        add(i, sp.Frequency[i], sp.Omega[i], sp.ZReal[i], sp.ZImag[i], 2, 4, prevExt);
    if (PlaneKind(kind))
        LinearEnding();
    else
        DecadeEnding(kind, logLeft);
}

// ---------------------------------------------------------------- Kramers-Kronig view

void MainPlots::PlotKramersKronig(int kind, int n, const std::string& dataFile) {
    ProgramState& s = State();
    const RunState& run = s.Run;
    const SpectrumBlock& sp = s.Spectrum;
    n = std::clamp(n, 0, MaxPoints - 1);
    // Extended data: an ".ext" file (exactly so) or points appended beyond
    // the file's own.
    const size_t dot = dataFile.rfind('.');
    const bool extended = (dot != std::string::npos && dataFile.compare(dot, 4, ".ext") == 0 &&
                           dataFile.size() - dot == 4) ||
                          n > sp.FilePointCount;
    CommonOpening();
    Series(1).SetTitle(extended ? "Ext." : "Msd.");
    Series(2).SetTitle("Calc.");
    plottedKind_ = kind;
    chart_.Title->Clear();
    if (s.Model.CustomTitles) {
        SetTitleLines(s.Model.ChartTitle1, Cut(s.Model.ChartTitle2, 79));
    } else if (run.DataLoaded) {
        s.Model.ChartTitle1 = FileNameOfPath(dataFile);
        s.Model.ChartTitle2 = "Applied Kramers-Kronig relations";
        SetTitleLines(s.Model.ChartTitle1, s.Model.ChartTitle2);
        if (n != sp.FilePointCount) chart_.Title->Add("Selected spec. : " + s.Files.SelectedSpecName);
    } else {
        return;
    }
    s.Model.CustomTitles = false;

    const bool conductive = run.ConductiveSystem, area = run.PerAreaUnits;
    const AxisTitles t = TitlesOfKind(kind, area, conductive, run.LogReIm);
    if (kind == 4) {
        if (!run.ResultsComputed) return;
        SetUpAxes(chart_, 4, t, false);
        Bind(1, aLeftAxis, "% Error,  |Z|", true);
        Bind(2, aRightAxis, "Error,  Angle", true);
        for (int i = 1; i <= n; ++i) {
            const double zm = ComplexModulus(sp.ZReal[i], sp.ZImag[i]);
            const double k = ComplexModulus(sp.KKReal[i], sp.KKImag[i]);
            AddPoint(1, sp.Frequency[i], (k - zm) * 100 / zm, i);
            AddPoint(2, sp.Frequency[i],
                     (PhaseAngle(sp.KKImag[i], sp.KKReal[i]) - PhaseAngle(sp.ZImag[i], sp.ZReal[i])) * RadToDeg,
                     i);
        }
        DecadeEnding(4, false);
        return;
    }
    if (kind < 1 || kind > 8) {
        if (extension_) extension_->PlotKramersKronigKind(*this, kind, n, extended);
        return;
    }
    const bool transforms = kind <= 6;
    std::string s1, s2, s3, s4;
    const bool e = extended;
    switch (kind) {
    case 1: s1 = e ? "Z ,  Ext." : "Z ,  Msd."; s2 = "Z ,  Calc."; break;
    case 2:
        s1 = conductive ? (e ? "|Z|,  Ext." : "|Z|,  Msd.") : (e ? "|C|,  Ext." : "|C|,  Msd.");
        s2 = conductive ? "|Z|,  Calc." : "|C|,  Calc.";
        s3 = e ? "Angle,  Ext." : "Angle,  Msd.";
        s4 = "Angle,  Calc.";
        break;
    case 3:
        s1 = conductive ? (e ? "Y ,  Ext." : "Y,  Msd.") : (e ? "1/C ,  Ext." : "1/C,  Msd.");
        s2 = conductive ? "Y ,  Calc." : "1/C ,  Calc.";
        break;
    case 5: s1 = e ? "C ,  Ext." : "C,  Msd."; s2 = "C ,  Calc."; break;
    case 6:
        s1 = conductive ? (e ? "Z ',  Ext." : "Z ',  Msd.") : (e ? "C ',  Ext." : "C ',  Msd.");
        s2 = conductive ? "Z ',  Calc." : "C ',  Calc.";
        s3 = conductive ? (e ? "-Z '',  Ext." : "-Z '',  Msd.") : (e ? "C '',  Ext." : "C '',  Msd.");
        s4 = conductive ? "-Z '',  Calc." : "C '',  Calc.";
        break;
    case 7: s1 = "|Y|,  Msd."; s2 = "|Y|,  Calc."; s3 = "Angle,  Msd."; s4 = "Angle,  Calc."; break;
    case 8: s1 = "Y ',  Msd."; s2 = "Y ',  Calc."; s3 = "Y '',  Msd."; s4 = "Y '',  Calc."; break;
    }
    const bool logLeft = SetUpAxes(chart_, kind, t, n >= 1);
    const bool msd = transforms ? true : !run.SimulateMode;
    const bool calc = run.ResultsComputed;
    const TVertAxis second = (kind == 2 || kind == 7) ? aRightAxis : aLeftAxis;
    Bind(1, aLeftAxis, s1, msd);
    Bind(2, aLeftAxis, s2, calc);
    if (TwoQuantities(kind)) {
        Bind(3, second, s3, msd);
        Bind(4, second, s4, calc);
    }
    const KindPointAdder add{*this, kind, conductive, (kind == 6 || kind == 8) && run.LogReIm && n >= 1};
    double prevMsd = 0, prevCalc = 0;
    for (int i = 1; i <= n; ++i) {
        if (msd) add(i, sp.Frequency[i], sp.Omega[i], sp.ZReal[i], sp.ZImag[i], 1, 3, prevMsd);
        if (calc) {
            const double re = transforms ? sp.KKReal[i] : sp.ZRealCalc[i];
            const double im = transforms ? sp.KKImag[i] : sp.ZImagCalc[i];
            add(i, sp.Frequency[i], sp.Omega[i], re, im, 2, 4, prevCalc);
        }
    }
    if (PlaneKind(kind))
        LinearEnding();
    else
        DecadeEnding(kind, logLeft);
}

// ---------------------------------------------------------------- group plot

void MainPlots::PlotGroup(int kind, int setCount) {
    ProgramState& s = State();
    const RunState& run = s.Run;
    const GroupSpectra& g = s.Group;
    std::array<double, 14> previous{};
    const int n = std::min(setCount, 7);
    CommonOpening();
    plottedKind_ = kind;

    if (!s.Model.CustomTitles) {
        if (run.SimulateMode) {
            s.Model.ChartTitle1 = "Simulation results";
            s.Model.ChartTitle2 = "Various models";
        } else if (s.Group.GroupFileSet) {
            s.Model.ChartTitle1 = "Comparison of Results";
            s.Model.ChartTitle2 = s.Files.ModelTitle;
        } else {
            s.Model.ChartTitle1 = "Comparison of Results";
            s.Model.ChartTitle2 = "Samples in a Group";
        }
    }
    SetTitleLines(s.Model.ChartTitle1, Cut(s.Model.ChartTitle2, 87));

    const bool conductive = run.ConductiveSystem, area = run.PerAreaUnits;
    const bool firstHasPoints = g.GroupPointCount[1] > 0;
    const std::string ohm = area ? "ohm-sq. cm" : "ohm";
    const std::string farad = area ? "F/sq. cm" : "F";
    const std::string siemens = area ? "S/sq. cm" : "S";
    TChartAxis* bx = chart_.BottomAxis;
    TChartAxis* ly = chart_.LeftAxis;
    bool logLeft = false;
    // Legend literals of the four roles and the axis of the second quantity.
    std::string l1, l2, l3, l4;
    TVertAxis second = aLeftAxis;
    switch (kind) {
    case 1:
        bx->Title->SetCaption("Z ',  " + ohm);
        ly->Title->SetCaption("- Z '',  " + ohm);
        l1 = "Z ,  Msd. ";
        l2 = "Z ,  Calc. ";
        break;
    case 2:
    case 7:
        MakeLog(bx);
        bx->Title->SetCaption("Frequency,  Hz");
        if (firstHasPoints && run.LogBodeZ) {
            MakeLog(ly);
            logLeft = true;
        }
        if (kind == 2) {
            ly->Title->SetCaption(conductive ? "|Z|,  " + ohm : "|C|,  " + farad);
            l1 = conductive ? "|Z|,  Msd. " : "|C|,  Msd. ";
            l2 = conductive ? "|Z|,  Calc. " : "|C|,  Calc. ";
        } else {
            ly->Title->SetCaption("|Y|,  " + siemens);
            l1 = "|Y|,  Msd. ";
            l2 = "|Y|,  Calc. ";
        }
        chart_.RightAxis->Title->SetCaption("Angle,  deg");
        l3 = "Angle,  Msd. ";
        l4 = "Angle,  Calc. ";
        second = aRightAxis;
        break;
    case 3:
        bx->Title->SetCaption(conductive ? "Y ',  " + siemens : (area ? "1/C ',  sq. cm/F" : "1/C ',  1/F"));
        ly->Title->SetCaption(conductive ? "Y '',  " + siemens : (area ? "1/C '',  sq. cm/F" : "1/C '',  1/F"));
        l1 = conductive ? "Y ,  Msd. " : "1/C ,  Msd. ";
        l2 = conductive ? "Y ,  Calc. " : "1/C ,  Calc. ";
        break;
    case 5:
        bx->Title->SetCaption("C ',  " + farad);
        ly->Title->SetCaption("C '',  " + farad);
        l1 = "C ,  Msd. ";
        l2 = "C ,  Calc. ";
        break;
    case 6:
    case 8:
        MakeLog(bx);
        bx->Title->SetCaption("Frequency,  Hz");
        if (firstHasPoints && run.LogReIm) {
            MakeLog(ly);
            logLeft = true;
        }
        if (kind == 6) {
            const std::string prefix = conductive
                                           ? (run.LogReIm ? "| Z '| &  | Z ''|,  " : "Z ' &  - Z '',  ")
                                           : (run.LogReIm ? "| C '| &  | C ''|,  " : "C ' &  - C '',  ");
            ly->Title->SetCaption(prefix + (conductive ? ohm : farad));
            l1 = conductive ? "Z ',  Msd. " : "C ',  Msd. ";
            l2 = conductive ? "Z ',  Calc. " : "C ',  Calc. ";
            l3 = conductive ? "-Z '',  Msd. " : "C '',  Msd. ";
            l4 = conductive ? "-Z '',  Calc. " : "C '',  Calc. ";
        } else {
            ly->Title->SetCaption((run.LogReIm ? "| Y '| &  | Y ''|,  " : "Y ' &  Y '',  ") + siemens);
            l1 = "Y ',  Msd. ";
            l2 = "Y ',  Calc. ";
            l3 = "Y '',  Msd. ";
            l4 = "Y '',  Calc. ";
        }
        break;
    case 4:
        // The group view has no error plot.
        ShowMessageCode(9);
        return;
    default: return;
    }

    const bool msd = !run.SimulateMode, calc = run.ResultsComputed;
    // Kinds 7 and 8 are formed from the impedance in both systems.
    const bool pairConductive = conductive || kind == 7 || kind == 8;
    const KindPointAdder add{*this, kind, pairConductive, (kind == 6 || kind == 8) && run.LogReIm && firstHasPoints};
    for (int set = 1; set <= n; ++set) {
        const int base = 4 * set - 3;
        const std::string& id = s.Folders.SampleId[set];
        Bind(base, aLeftAxis, l1 + id, msd);
        Bind(base + 1, aLeftAxis, l2 + id, calc);
        if (TwoQuantities(kind)) {
            Bind(base + 2, second, l3 + id, msd);
            Bind(base + 3, second, l4 + id, calc);
        }
        const int count = std::clamp(g.GroupPointCount[set], 0, MaxPoints - 1);
        const auto& f = g.GroupRows[set];
        const auto& w = g.GroupRows[7 + set];
        for (int i = 1; i <= count; ++i) {
            if (msd)
                add(i, f[i], w[i], g.GroupRows[21 + set][i], g.GroupRows[28 + set][i], base, base + 2,
                    previous[2 * (set - 1)]);
            if (calc)
                add(i, f[i], w[i], g.GroupRows[35 + set][i], g.GroupRows[42 + set][i], base + 1, base + 3,
                    previous[2 * (set - 1) + 1]);
        }
    }
    if (PlaneKind(kind))
        LinearEnding();
    else
        DecadeEnding(kind, logLeft);
}

// ---------------------------------------------------------------- decoration

void MainPlots::SetLabelFont(bool large) {
    TCanvas3D& c = *chart_.Canvas;
    c.Font->SetName("Arial");
    c.Font->SetHeight(large ? -12 : -10);
    c.Font->SetStyle(large ? platform::fsBold : 0u);
    c.Font->SetColor(clBlue);
    c.Brush->SetStyle(TBrushStyle::Clear);
}

int MainPlots::CollectLabelPoints(int number, int set, std::vector<LabelPoint>& out) {
    const ProgramState& s = State();
    const bool group = s.Group.GroupMode && s.Group.ProjectGroupMode;
    out.clear();
    TPointSeries& series = Series(number);
    if (!series.Active) return 0;
    for (int i = 0; i < series.Count(); ++i) {
        const int row = RowOfPoint(number, i);
        if (row < 1 || row >= MaxPoints) continue;
        LabelPoint p;
        p.x = series.GetxValue(i);
        p.y = series.GetyValue(i);
        // The row behind the point is carried from the plot, so every point
        // keeps its own frequency whatever the size of its values.
        p.frequency = group ? s.Group.GroupRows[set][row] : s.Spectrum.Frequency[row];
        if (!Finite(p.x) || !Finite(p.y) || !Finite(p.frequency)) continue;
        out.push_back(p);
    }
    // Falling frequency; equal frequencies keep their order.
    std::stable_sort(out.begin(), out.end(),
                     [](const LabelPoint& a, const LabelPoint& b) { return a.frequency > b.frequency; });
    return static_cast<int>(out.size());
}

void MainPlots::MapToPixels(std::vector<LabelPoint>& points) {
    for (LabelPoint& p : points) {
        p.px = chart_.BottomAxis->CalcXPosValue(p.x);
        p.py = chart_.LeftAxis->CalcYPosValue(p.y);
    }
}

void MainPlots::PlaceLabels(int set, const std::vector<LabelPoint>& P, bool grouped, int setsShown) {
    const ProgramState& s = State();
    auto& placed = placed_[set - 1];
    auto& texts = placedTexts_[set - 1];
    placed.clear();
    texts.clear();
    if (s.Run.SimulateMode && !s.Run.SimulatedResults) return;
    if (!s.Run.SimulateMode && !s.Run.DataLoaded) return;
    const int n = static_cast<int>(P.size());
    if (n < 2) return;
    TCanvas3D& c = *chart_.Canvas;
    const bool largeMenu = links_.LargeFontMenu && links_.LargeFontMenu();
    const int D = 10;
    const int F = largeMenu ? 12 : 10;
    const TRect plot = chart_.ChartRect;
    const int kind = plottedKind_;

    auto accepted = [&](const LabelRect& r) {
        if (LabelOutsidePlotArea(r, plot)) return false;
        for (const LabelRect& q : placed)
            if (RectsOverlap(r, q)) return false;
        const int firstSet = grouped ? 1 : set;
        const int lastSet = grouped ? setsShown : set;
        for (int k = firstSet; k <= lastSet; ++k) {
            if (grouped && k < set)
                for (const LabelRect& q : placed_[k - 1])
                    if (RectsOverlap(r, q)) return false;
            for (const LabelPoint& p : labelPoints_[k - 1])
                if (r.left <= p.px && p.px <= r.right && r.top <= p.py && p.py <= r.bottom) return false;
        }
        return true;
    };

    double qx = P[1].x, qy = P[1].y;
    for (int j = 0; j < n && static_cast<int>(placed.size()) < MaxLabels; ++j) {
        const LabelPoint& p = P[j];
        const std::string text = FrequencyLabelText(p.frequency);
        int w = c.TextWidth(text);
        const int h = c.TextHeight(text);
        if (largeMenu) w = w * 5 / 4;
        double dx = p.x - qx, dy = p.y - qy;
        qx = p.x;
        qy = p.y;
        if (std::fabs(dx) < 1e-32 || std::fabs(dy) < 1e-32) continue;
        if (j == 0) dx = -dx, dy = -dy;
        if (kind == 3) dx = -dx, dy = -dy;
        const double len = std::sqrt(dx * dx + dy * dy);
        double ux = -dy / len, uy = dx / len;
        if (!Finite(ux) || !Finite(uy)) continue;
        bool ok = false;
        LabelRect r;
        for (int attempt = 0; attempt < 2 && !ok; ++attempt) {
            if (attempt == 1) ux = -ux, uy = -uy;
            const int left = p.px + static_cast<int>(std::ceil(D * ux) - 0.5 * w * (1 - ux));
            const int top = p.py + static_cast<int>(-std::ceil(D * uy) - 0.5 * F * (1 + uy));
            r = {left, top, left + w * 5 / 4, top + h};
            ok = accepted(r);
        }
        if (!ok) continue;
        c.TextOut(r.left, r.top, text);
        placed.push_back(r);
        texts.push_back(text);
    }
}

const QImage* MainPlots::Picture(std::string& failedPath) {
    const ProgramState& s = State();
    const std::string code = links_.PictureCode ? links_.PictureCode() : s.Circuit.Code;
    const std::string path = s.Folders.BmpFolder + code + ".BMP";
    if (pictureLoaded_ && path == picturePath_) return picture_.isNull() ? nullptr : &picture_;
    picturePath_ = path;
    pictureLoaded_ = true;
    picture_ = QImage();
    std::string file = path;
    if (code.empty() || !QFile::exists(QString::fromStdString(path))) file = s.Folders.BmpFolder + "NONE.BMP";
    if (!picture_.load(QString::fromStdString(file)) || picture_.width() <= 0 || picture_.height() <= 0) {
        picture_ = QImage();
        failedPath = file;
        return nullptr;
    }
    reportedFailure_.clear();
    return &picture_;
}

int MainPlots::DrawCircuitPicture() {
    const TRect legend = chart_.Legend->LegendRect;
    const TRect plot = chart_.ChartRect;
    int L = legend.Left, R = legend.Right;
    const int kind = plottedKind_;
    if (kind != 2 && kind != 4 && kind != 7) {
        L = L - (L - plot.Right) / 3;
        R = R + 8;
    }
    const int T = legend.Bottom + 30;
    pictureRect_ = TRect{};
    std::string failed;
    const QImage* image = Picture(failed);
    if (!image) {
        // Reported once, after the draw: a box inside every repaint, print
        // or copy would stop the drawing each time.
        if (!failed.empty() && reportedFailure_ != picturePath_) {
            reportedFailure_ = picturePath_;
            if (links_.ReportAfterDraw)
                links_.ReportAfterDraw(kPictureFailure);
            else
                pendingMessage_ = kPictureFailure;
        }
        return legend.Bottom;
    }
    const int B = T + (R - L) * image->height() / image->width();
    if (State().Run.ModelValid) {
        pictureRect_ = TRect{L, T, R, B};
        chart_.Canvas->StretchDraw(pictureRect_, image);
    }
    return B;
}

void MainPlots::DrawFitTexts(int x, int y0) {
    const ProgramState& s = State();
    TCanvas3D& c = *chart_.Canvas;
    int w = c.TextWidth("Chsq:  ");
    if (links_.LargeFontBox && links_.LargeFontBox()) w += 4;
    if (extension_ && extension_->DrawFitTexts(*this, c, x, x + w, y0)) return;
    if (s.Run.SimulateMode || !s.Run.DataLoaded) return;
    auto number = [&](double v) {
        return Finite(v) ? PointToComma(s.Options.PeriodDecimal, FormatExponentText(v, 3, 2)) : std::string();
    };
    if (s.Run.ExtrapolatedView || s.Run.KKView) {
        c.TextOut(x, y0, "Spec:");
        c.TextOut(x + w, y0, s.Files.SelectedSpecName);
        c.TextOut(x, y0 + 14, "Chsq:");
        c.TextOut(x + w, y0 + 14, number(s.Extrap.KKResidual));
    } else if (s.Run.IterateMode || s.Run.ResultsFileSet) {
        c.TextOut(x, y0, "Iter #:");
        c.TextOut(x + w, y0, std::to_string(s.History.Iteration));
        c.TextOut(x, y0 + 14, "Chsq:");
        // A model with no degree of freedom left (a fit refused for too few
        // points) has no chi-squared per degree of freedom: no number. Data
        // not fitted yet (chi-squared 0) read 0 whatever the model.
        const double chi = s.Fit.ChiSq;
        c.TextOut(x + w, y0 + 14, number(chi == 0 ? 0.0 : ChiSqPerDegreeOfFreedom(chi)));
    }
}

void MainPlots::AfterDraw() {
    const ProgramState& s = State();
    SetLabelFont(links_.LargeFontBox && links_.LargeFontBox());
    for (auto& p : placed_) p.clear();
    for (auto& t : placedTexts_) t.clear();
    const bool group = s.Group.GroupMode && s.Group.ProjectGroupMode;
    const bool labelsOn = links_.FrequencyLabelsOn ? links_.FrequencyLabelsOn() : true;
    TCanvas3D& c = *chart_.Canvas;
    if (PlaneKind(plottedKind_) && labelsOn) {
        for (auto& p : labelPoints_) p.clear();
        if (group) {
            const int sets = std::clamp(s.Group.GroupCount, 0, 7);
            // Every set's pixels first: a label must not cover a point of a
            // set labelled later.
            for (int set = 1; set <= sets; ++set) {
                CollectLabelPoints(4 * set - 3, set, labelPoints_[set - 1]);
                MapToPixels(labelPoints_[set - 1]);
            }
            for (int set = 1; set <= sets; ++set) {
                c.Font->SetColor(kSetLabelColors[set - 1]);
                PlaceLabels(set, labelPoints_[set - 1], true, sets);
                c.Font->SetColor(clBlue);
            }
        } else if (s.Run.ExtrapolatedView) {
            for (int set = 1; set <= 2; ++set) {
                CollectLabelPoints(set, set, labelPoints_[set - 1]);
                MapToPixels(labelPoints_[set - 1]);
            }
            for (int set = 1; set <= 2; ++set) {
                c.Font->SetColor(set == 1 ? clBlue : clRed);
                PlaceLabels(set, labelPoints_[set - 1], true, 2);
                c.Font->SetColor(clBlue);
            }
        } else {
            const int number = s.Run.SimulatedResults ? 2 : 1;
            CollectLabelPoints(number, 1, labelPoints_[0]);
            MapToPixels(labelPoints_[0]);
            PlaceLabels(1, labelPoints_[0], false, 1);
        }
    }
    if (group) return;
    const int B = DrawCircuitPicture();
    int L = chart_.Legend->LegendRect.Left;
    if (plottedKind_ != 2 && plottedKind_ != 4 && plottedKind_ != 7)
        L = L - (L - chart_.ChartRect.Right) / 3;
    DrawFitTexts(L, B + 20);
}

std::string MainPlots::TakePendingMessage() {
    std::string m;
    m.swap(pendingMessage_);
    return m;
}

}  // namespace pellucor::mainwindow
