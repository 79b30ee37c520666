// Seeded random charts of every series kind, with awkward data (NaN,
// infinities, zeros and negatives on logarithmic axes, 1e+-300, repeated x,
// one point, no points, thousands of points) and random axis, zoom, legend,
// title and marks settings, drawn on the recorder, on a bitmap and into
// enhanced and placeable metafiles at tiny and huge sizes. Nothing may
// crash or hang, and every metafile must read back record by record.
//
// PELLUCOR_CHART_STRESS_SEEDS sets how many charts (default 40),
// PELLUCOR_CHART_STRESS_FIRST_SEED the first seed, and
// PELLUCOR_CHART_STRESS_VERBOSE prints each seed before it is drawn.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <uemf.h>
#include <uemf_safe.h>
#include <uwmf.h>

#include "chart/Chart.h"
#include "chart/ChartOutput.h"
#include "chart/Series.h"
#include "chart/series/AreaSeries.h"
#include "chart/series/BarSeries.h"
#include "chart/series/FastLineSeries.h"
#include "chart/series/PieSeries.h"
#include "chart/series/SeriesFunctions.h"
#include "chart/series/SeriesMarks.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::chart {
namespace {

int EnvInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    if (!v || !*v) return fallback;
    return std::atoi(v);
}

class Dice {
public:
    explicit Dice(std::uint32_t seed) : gen_(seed) {}
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(gen_); }
    template <class T>
    const T& Pick(const std::vector<T>& v) { return v[static_cast<size_t>(Int(0, static_cast<int>(v.size()) - 1))]; }

private:
    std::mt19937 gen_;
};

// Runs one setting; a setter that refuses its value (with the engine's
// exception) leaves the setting as it was, and the chart goes on.
template <class F>
void Setting(F&& f) {
    try {
        f();
    } catch (const std::runtime_error&) {
    }
}

// A value that is sometimes plain, sometimes awkward.
double AwkwardValue(Dice& d) {
    static const std::vector<double> special = {
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        0.0, -0.0, -1.0, -1e-3, 1e300, -1e300, 1e-300, -1e-300,
        std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
        std::numeric_limits<double>::denorm_min(), 1e-7, 1e7, 0.5, 1.0,
    };
    if (d.Chance(8)) return d.Pick(special);
    switch (d.Int(0, 3)) {
        case 0: return d.Real(-10, 10);
        case 1: return d.Real(0.001, 1000);
        case 2: return std::pow(10.0, d.Real(-6, 6));
        default: return static_cast<double>(d.Int(-3, 3));
    }
}

// How a series' points are made.
enum class DataShape { Empty, One, Few, Many, SameX, Huge };

void FillSeries(TChartSeries& s, Dice& d) {
    // Mostly small series; now and then a long one (thousands of points cost
    // the most to draw).
    static const std::vector<DataShape> shapes = {
        DataShape::Empty, DataShape::Empty, DataShape::One, DataShape::One, DataShape::Few, DataShape::Few,
        DataShape::Few, DataShape::Few, DataShape::Many, DataShape::Many, DataShape::SameX, DataShape::Huge};
    const DataShape shape = d.Pick(shapes);
    int n = 0;
    switch (shape) {
        case DataShape::Empty: n = 0; break;
        case DataShape::One: n = 1; break;
        case DataShape::Few: n = d.Int(2, 12); break;
        case DataShape::Many: n = d.Int(100, 400); break;
        case DataShape::SameX: n = d.Int(2, 20); break;
        case DataShape::Huge: n = d.Int(1000, 2500); break;
    }
    const bool awkward = d.Chance(50);
    const double x0 = d.Real(-5, 5);
    for (int i = 0; i < n; ++i) {
        double x = shape == DataShape::SameX ? x0 : (d.Chance(70) ? i : d.Real(-100, 100));
        double y = std::sin(i * 0.1) * 10 + d.Real(-1, 1);
        if (awkward && d.Chance(10)) x = AwkwardValue(d);
        if (awkward && d.Chance(15)) y = AwkwardValue(d);
        const int kind = d.Int(0, 19);
        const std::string label = d.Chance(20) ? "p" + std::to_string(i) : std::string();
        TColor color = UseSeriesColor;
        if (d.Chance(3)) color = clNone;
        else if (d.Chance(5)) color = static_cast<TColor>(d.Int(0, 0xFFFFFF));
        if (kind == 0) s.AddNull(label);
        else if (kind == 1) s.Add(y, label, color);
        else s.AddXY(x, y, label, color);
    }
    if (n > 2 && d.Chance(10)) s.Delete(d.Int(0, s.Count() - 1));
    if (n > 0 && d.Chance(10)) s.SetYValue(d.Int(0, s.Count() - 1), AwkwardValue(d));
}

void RandomMarks(TChartSeries& s, Dice& d) {
    if (!s.Marks || !d.Chance(s.Count() > 500 ? 5 : 30)) return;
    Setting([&] { s.Marks->SetVisible(true); });
    Setting([&] { s.Marks->SetStyle(static_cast<TSeriesMarksStyle>(d.Int(0, 8))); });
    if (d.Chance(30)) Setting([&] { s.Marks->SetClip(true); });
    if (d.Chance(30)) Setting([&] { s.Marks->SetArrowLength(d.Int(-30, 60)); });
    if (d.Chance(20)) Setting([&] { s.Marks->SetBackTransparent(true); });
}

void RandomAxis(TChartAxis* a, Dice& d) {
    {
        if (d.Chance(30)) Setting([&] { a->SetLogarithmic(true); });
        if (d.Chance(20)) Setting([&] { a->SetInverted(true); });
        if (d.Chance(10)) Setting([&] { a->SetLogarithmicBase(d.Pick(std::vector<int>{2, 3, 10, 16})); });
        if (d.Chance(35)) {
            Setting([&] { a->SetAutomatic(false); });
            const double lo = d.Chance(20) ? AwkwardValue(d) : d.Real(-100, 100);
            double hi = lo + (d.Chance(20) ? 0 : d.Real(0, 1000));
            if (d.Chance(5)) hi = AwkwardValue(d);
            Setting([&] { a->SetMinMax(lo, hi); });
        }
        if (d.Chance(10)) Setting([&] { a->SetAutomaticMinimum(false); });
        if (d.Chance(10)) Setting([&] { a->SetAutomaticMaximum(false); });
        if (d.Chance(10)) Setting([&] { a->SetDesiredIncrement(d.Chance(50) ? AwkwardValue(d) : d.Real(0, 10)); });
        if (d.Chance(10)) Setting([&] { a->SetLabelsAngle(d.Pick(std::vector<int>{0, 90, 180, 270})); });
        if (d.Chance(10)) Setting([&] { a->SetMinorTickCount(d.Int(0, 20)); });
        if (d.Chance(10))
            Setting([&] { a->SetValuesFormat(d.Pick(std::vector<std::string>{"0.00", "#,##0.###", "0.0E+00", "#.##", "", "0%"})); });
        if (d.Chance(10)) Setting([&] { a->SetLabelStyle(static_cast<TAxisLabelStyle>(d.Int(0, 4))); });
        if (d.Chance(10)) Setting([&] { a->SetLabelsMultiLine(true); });
        if (d.Chance(10)) Setting([&] { a->SetGridCentered(true); });
        if (d.Chance(10)) Setting([&] { a->SetLabelsSeparation(d.Int(0, 100)); });
        if (d.Chance(10)) Setting([&] { a->SetStartPosition(d.Real(0, 50)); });
        if (d.Chance(10)) Setting([&] { a->SetEndPosition(d.Real(50, 100)); });
        if (d.Chance(10)) Setting([&] { a->SetTickLength(d.Int(0, 40)); });
        if (d.Chance(10)) Setting([&] { a->SetVisible(false); });
        if (d.Chance(20)) Setting([&] { a->Title->SetCaption(d.Chance(50) ? "Z' / Ohm" : std::string(d.Int(1, 80), 'W')); });
    }
}

// One random chart: the series it owns live in series, declared after it.
struct RandomChart {
    TChart chart;
    std::vector<std::unique_ptr<TChartSeries>> series;
    std::string trace;
    bool rangeFunction = false;

    explicit RandomChart(Dice& d) {
        std::ostringstream t;
        chart.View3D = d.Chance(30);
        Setting([&] { chart.Canvas->SetUseBuffer(false); });
        if (d.Chance(20)) chart.Chart3DPercent = d.Int(1, 100);
        if (d.Chance(20)) chart.BevelOuter = static_cast<TBevelCut>(d.Int(0, 3));
        if (d.Chance(10)) chart.BevelWidth = d.Int(0, 30);
        if (d.Chance(10)) chart.BorderWidth = d.Int(0, 30);
        if (chart.View3D && d.Chance(50)) {
            TView3DOptions& o = *chart.View3DOptions;
            Setting([&] { o.SetOrthogonal(d.Chance(50)); });
            Setting([&] { o.SetElevation(d.Int(0, 360)); });
            Setting([&] { o.SetRotation(d.Int(0, 360)); });
            Setting([&] { o.SetPerspective(d.Int(0, 100)); });
            Setting([&] { o.SetTilt(d.Int(0, 360)); });
            Setting([&] { o.SetZoom(d.Int(1, 500)); });
            Setting([&] { o.SetHorizOffset(d.Int(-200, 200)); });
            Setting([&] { o.SetVertOffset(d.Int(-200, 200)); });
            Setting([&] { o.SetZoomText(d.Chance(50)); });
        }
        if (d.Chance(10)) Setting([&] { chart.SetMonochrome(true); });
        if (d.Chance(10)) {
            chart.Gradient->SetVisible(true);
            chart.Gradient->SetDirection(static_cast<TGradientDirection>(d.Int(0, 6)));
        }
        if (d.Chance(10)) Setting([&] { chart.BackWall->SetSize(d.Int(0, 40)); });
        if (d.Chance(10)) Setting([&] { chart.LeftWall->SetSize(d.Int(0, 40)); });
        if (d.Chance(10)) Setting([&] { chart.BackWall->SetColor(static_cast<TColor>(d.Int(0, 0xFFFFFF))); });
        if (d.Chance(10)) Setting([&] { chart.SetView3DWalls(false); });
        for (int m = 0; m < 4; ++m)
            if (d.Chance(5)) Setting([&] { chart.SetMargin(m, d.Int(-10, 100)); });
        const int kinds = d.Int(0, 4);
        for (int k = 0; k < kinds; ++k) {
            std::unique_ptr<TChartSeries> s;
            const int kind = d.Int(0, 8);
            t << " series" << kind;
            switch (kind) {
                case 0: {
                    auto l = std::make_unique<TLineSeries>();
                    l->Stairs = d.Chance(20);
                    l->InvertedStairs = d.Chance(20);
                    l->Pointer->Visible = d.Chance(50);
                    Setting([&] { l->Pointer->SetStyle(static_cast<TSeriesPointerStyle>(d.Int(0, 8))); });
                    if (d.Chance(20)) Setting([&] { l->Pointer->SetHorizSize(d.Int(0, 40)); });
                    if (d.Chance(10)) l->LineHeight = d.Int(0, 20);
                    s = std::move(l);
                    break;
                }
                case 1: {
                    auto p = std::make_unique<TPointSeries>();
                    Setting([&] { p->Pointer->SetStyle(static_cast<TSeriesPointerStyle>(d.Int(0, 8))); });
                    if (d.Chance(20)) Setting([&] { p->Pointer->SetVertSize(d.Int(0, 40)); });
                    s = std::move(p);
                    break;
                }
                case 2:
                case 3: {
                    auto b = kind == 2 ? std::unique_ptr<TCustomBarSeries>(std::make_unique<TBarSeries>())
                                       : std::unique_ptr<TCustomBarSeries>(std::make_unique<THorizBarSeries>());
                    Setting([&] { b->SetMultiBar(static_cast<TMultiBar>(d.Int(0, 4))); });
                    Setting([&] { b->SetBarStyle(static_cast<TBarStyle>(d.Int(0, 7))); });
                    if (d.Chance(20)) Setting([&] { b->SetBarWidthPercent(d.Int(1, 100)); });
                    if (d.Chance(20)) Setting([&] { b->SetOffsetPercent(d.Int(-100, 100)); });
                    if (d.Chance(20)) Setting([&] { b->SetYOrigin(AwkwardValue(d)); });
                    if (d.Chance(10)) b->CustomBarWidth = d.Int(0, 50);
                    if (d.Chance(20)) b->AutoBarSize = true;
                    if (d.Chance(20)) Setting([&] { b->SetSideMargins(false); });
                    s = std::move(b);
                    break;
                }
                case 4: {
                    auto a = std::make_unique<TAreaSeries>();
                    Setting([&] { a->SetMultiArea(static_cast<TMultiArea>(d.Int(0, 2))); });
                    a->Stairs = d.Chance(20);
                    s = std::move(a);
                    break;
                }
                case 5: {
                    auto p = std::make_unique<TPieSeries>();
                    if (d.Chance(30)) Setting([&] { p->SetCircled(true); });
                    if (d.Chance(30)) Setting([&] { p->SetRotationAngle(d.Int(0, 359)); });
                    if (d.Chance(30)) Setting([&] { p->SetExplodeBiggest(d.Int(0, 100)); });
                    if (d.Chance(30)) {
                        TPieOtherSlice o;
                        o.Style = static_cast<TPieOtherStyle>(d.Int(0, 2));
                        o.Value = d.Chance(30) ? AwkwardValue(d) : d.Real(0, 50);
                        Setting([&] { p->SetOtherSlice(o); });
                    }
                    if (d.Chance(20)) Setting([&] { p->SetCustomXRadius(d.Int(0, 500)); });
                    if (d.Chance(20)) Setting([&] { p->SetCustomYRadius(d.Int(0, 500)); });
                    s = std::move(p);
                    break;
                }
                case 6: s = std::make_unique<TFastLineSeries>(); break;
                case 7: {
                    // A line series computed from the first series by a function.
                    auto l = std::make_unique<TLineSeries>();
                    s = std::move(l);
                    break;
                }
                default: s = std::make_unique<TPointSeries>(); break;
            }
            s->SetParentChart(&chart);
            if (d.Chance(20)) Setting([&] { s->SetVertAxis(aRightAxis); });
            if (d.Chance(20)) Setting([&] { s->SetHorizAxis(aTopAxis); });
            if (d.Chance(10)) s->ColorEachPoint = true;
            if (d.Chance(10)) Setting([&] { s->SetTitle(std::string(d.Int(0, 60), 'T')); });
            if (kind == 7 && !series.empty()) {
                static const std::vector<std::string> functions = {
                    "TAddChartFunction", "TSubtractChartFunction", "TMultiplyChartFunction",
                    "TDivideChartFunction", "THighChartFunction", "TLowChartFunction",
                    "TAverageChartFunction"};
                RegisterSeriesFunctions();
                const std::string& name = d.Pick(functions);
                t << "(" << name;
                auto f = CreateChartFunction(name);
                TChartSeries* source = series[static_cast<size_t>(d.Int(0, static_cast<int>(series.size()) - 1))].get();
                if (f && d.Chance(50)) {
                    // Periods are kept to what a chart can hold: a period a
                    // millionth of the x span asks for a million points.
                    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
                    for (int i = 0; i < source->Count(); ++i) {
                        const double x = source->XValues->GetValue(i);
                        if (std::isfinite(x)) lo = std::min(lo, x), hi = std::max(hi, x);
                    }
                    const double span = hi - lo;
                    const bool byRange = std::isfinite(span) && span < 1e6 && d.Chance(50);
                    Setting([&] { f->SetPeriodAlign(static_cast<TFunctionPeriodAlign>(d.Int(0, 2))); });
                    double period = 0;
                    if (byRange) {
                        f->SetPeriodStyle(psRange);
                        period = d.Chance(10) ? d.Pick(std::vector<double>{0.0, std::numeric_limits<double>::infinity(),
                                                                             std::numeric_limits<double>::quiet_NaN()})
                                              : std::max(span, 1.0) / d.Int(1, 300);
                        rangeFunction = true;
                    } else {
                        period = d.Chance(20) ? d.Pick(std::vector<double>{0.0, 0.4, 0.5, 1.5, 2.5, 1e6, -1.0})
                                              : d.Real(0, 10);
                    }
                    Setting([&] { f->SetPeriod(period); });
                    t << " style " << f->PeriodStyle << " period " << f->Period;
                }
                t << ")";
                if (f) {
                    s->SetFunction(std::move(f));
                    s->SetDataSource(source);
                }
            } else {
                FillSeries(*s, d);
            }
            RandomMarks(*s, d);
            series.push_back(std::move(s));
        }
        // Data added to a source after its function series was linked.
        if (!series.empty() && !rangeFunction && d.Chance(20)) FillSeries(*series.front(), d);
        for (TChartAxis* a : {chart.BottomAxis, chart.LeftAxis, chart.RightAxis, chart.TopAxis}) RandomAxis(a, d);
        if (d.Chance(20)) chart.MaxPointsPerPage = d.Int(0, 20);
        if (d.Chance(20)) Setting([&] { chart.SetClipPoints(false); });
        // Legend and titles.
        Setting([&] { chart.Legend->SetVisible(d.Chance(70)); });
        Setting([&] { chart.Legend->SetAlignment(static_cast<TLegendAlignment>(d.Int(0, 3))); });
        Setting([&] { chart.Legend->SetLegendStyle(static_cast<TLegendStyle>(d.Int(0, 3))); });
        Setting([&] { chart.Legend->SetTextStyle(static_cast<TLegendTextStyle>(d.Int(0, 5))); });
        if (d.Chance(20)) Setting([&] { chart.Legend->SetInverted(true); });
        if (d.Chance(20)) Setting([&] { chart.Legend->SetMaxNumRows(d.Int(0, 30)); });
        if (d.Chance(20)) Setting([&] { chart.Legend->SetFirstValue(d.Int(0, 50)); });
        if (d.Chance(10)) Setting([&] { chart.Legend->SetResizeChart(false); });
        if (d.Chance(20)) Setting([&] { chart.Legend->SetShadowSize(d.Int(-5, 20)); });
        if (d.Chance(20)) Setting([&] { chart.Legend->SetColorWidth(d.Int(0, 100)); });
        if (d.Chance(20)) Setting([&] { chart.Legend->SetTopLeftPos(d.Int(0, 100)); });
        if (d.Chance(50)) {
            std::vector<std::string> lines(static_cast<size_t>(d.Int(0, 4)), "Title");
            if (!lines.empty() && d.Chance(30)) lines[0] = std::string(d.Int(1, 200), 'M');
            Setting([&] { chart.Title->SetText(lines); });
        }
        if (d.Chance(30)) Setting([&] { chart.Foot->SetText({"Foot"}); });
        if (d.Chance(10)) Setting([&] { chart.Title->SetVisible(false); });
        for (auto& s : series) t << " n=" << s->Count();
        trace = t.str();
    }
};

// Every EMF record passes libUEMF's safety check and the last is EOF.
bool EmfReadsBack(const std::string& data, std::string& why) {
    std::vector<uint32_t> words((data.size() + 3) / 4);
    if (!data.empty()) std::memcpy(words.data(), data.data(), data.size());
    const char* begin = reinterpret_cast<const char*>(words.data());
    const char* p = begin;
    const char* end = p + data.size();
    while (p + sizeof(U_EMR) <= end) {
        const auto* emr = reinterpret_cast<const U_EMR*>(p);
        if (emr->nSize < 8 || emr->nSize % 4 != 0 || p + emr->nSize > end || !U_emf_record_safe(p)) {
            why = "unsafe EMF record " + std::to_string(emr->iType) + " at " + std::to_string(p - begin);
            return false;
        }
        if (emr->iType == U_EMR_EOF) return p + emr->nSize == end;
        p += emr->nSize;
    }
    why = "no EOF record";
    return false;
}

bool WmfReadsBack(const std::string& data, std::string& why) {
    const char* begin = data.data();
    const char* end = begin + data.size();
    U_WMRPLACEABLE placeable{};
    U_WMRHEADER header{};
    const int hsize = wmfheader_get(begin, end, &placeable, &header);
    if (hsize <= 0) {
        why = "no WMF header";
        return false;
    }
    const char* p = begin + hsize;
    while (p < end) {
        const size_t size = U_WMRRECSAFE_get(p, end);
        if (size == 0) {
            why = "unsafe WMF record at " + std::to_string(p - begin);
            return false;
        }
        const auto* rec = reinterpret_cast<const U_METARECORD*>(p);
        if (rec->iType == U_WMR_EOF) return p + size == end;
        p += size;
    }
    why = "no WMF EOF record";
    return false;
}

// An independent player of the file (libwmf's wmf2gd, libemf2svg's
// emf2svg-conv) reads it to the end; true when the tool is not installed.
bool PlayerReads(const std::string& data, bool enhanced, std::string& why) {
    const QString tool = enhanced ? "emf2svg-conv" : "wmf2gd";
    if (QStandardPaths::findExecutable(tool).isEmpty()) return true;
    QTemporaryDir dir;
    const QString in = dir.filePath(enhanced ? "chart.emf" : "chart.wmf");
    const QString out = dir.filePath(enhanced ? "chart.svg" : "chart.png");
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly)) return true;
        f.write(data.data(), static_cast<qint64>(data.size()));
    }
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (enhanced) p.start(tool, {"-i", in, "-o", out});
    else p.start(tool, {"-t", "png", "--maxwidth=400", "--maxheight=300", "-o", out, in});
    if (!p.waitForFinished(20000)) {
        why = tool.toStdString() + " did not finish";
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !QFile::exists(out)) {
        why = tool.toStdString() + " failed: " + p.readAll().toStdString();
        if (std::getenv("PELLUCOR_CHART_STRESS_VERBOSE")) QFile::copy(in, QDir::temp().filePath("stress_failed_" + QFileInfo(in).fileName()));
        return false;
    }
    return true;
}

void DrawEverywhere(RandomChart& rc, Dice& d, const std::string& where) {
    TChart& chart = rc.chart;
    static const std::vector<std::pair<int, int>> sizes = {
        {1, 1}, {2, 3}, {7, 5}, {20, 15}, {60, 40}, {160, 120}, {656, 357}, {4000, 30}, {30, 4000}};
    const auto [w, h] = d.Chance(10) ? std::pair<int, int>{d.Int(1, 12000), d.Int(1, 9000)} : d.Pick(sizes);
    chart.Width = w;
    chart.Height = h;
    if (std::getenv("PELLUCOR_CHART_STRESS_VERBOSE")) std::cout << "  size " << w << " x " << h << std::endl;
    // Recorder: the whole client area, then zooms, pans and hit tests on what it drew.
    {
        platform::RecordingDevice device(w, h);
        platform::Canvas canvas(&device);
        chart.Draw(&canvas, TRect{0, 0, w, h});
        for (int i = 0; i < 4; ++i) {
            const int x = d.Int(-5, w + 5), y = d.Int(-5, h + 5);
            (void)chart.CalcClickedPart(TPoint{x, y});
            (void)chart.Legend->Clicked(x, y);
            for (auto& s : rc.series) {
                (void)s->Clicked(x, y);
                if (s->Marks) (void)s->Marks->Clicked(x, y);
            }
        }
        if (chart.MaxPointsPerPage > 0 && d.Chance(50)) {
            chart.NextPage();
            if (d.Chance(50)) chart.PreviousPage();
        }
        if (d.Chance(10)) (void)chart.DoMouseWheel(0, d.Pick(std::vector<int>{120, -120, 40, -360}), TPoint{w / 2, h / 2});
        switch (d.Int(0, 5)) {
            case 0: chart.ZoomRect(TRect{d.Int(-w, 2 * w), d.Int(-h, 2 * h), d.Int(-w, 2 * w), d.Int(-h, 2 * h)}); break;
            case 1: chart.ZoomPercent(d.Pick(std::vector<double>{100, 110, 150, 400, 1e6})); break;
            case 2: chart.ScrollVerticalAxes(d.Chance(50)); break;
            case 3: {
                // A drag that pans, then a release.
                chart.MouseDown(mbRight, ssRight, d.Int(0, w), d.Int(0, h));
                chart.MouseMove(ssRight, d.Int(-w, 2 * w), d.Int(-h, 2 * h));
                chart.MouseUp(mbRight, 0, d.Int(-w, 2 * w), d.Int(-h, 2 * h));
                break;
            }
            case 4: {
                chart.MouseDown(mbLeft, ssLeft, d.Int(0, w), d.Int(0, h));
                chart.MouseMove(ssLeft, d.Int(-w, 2 * w), d.Int(-h, 2 * h));
                chart.MouseUp(mbLeft, 0, d.Int(-w, 2 * w), d.Int(-h, 2 * h));
                break;
            }
            default: break;
        }
        if (d.Chance(20)) chart.UndoZoom();
        // The series list changes after a draw: a kind changed, a copy
        // added, a series (perhaps a data source) freed, points deleted.
        if (!rc.series.empty() && d.Chance(30)) {
            static const std::vector<std::string> kinds = {"TLineSeries", "TPointSeries", "TBarSeries",
                                                           "THorizBarSeries", "TAreaSeries", "TPieSeries",
                                                           "TFastLineSeries"};
            RegisterStandardSeries();
            RegisterExtraSeries();
            auto& victim = rc.series[static_cast<size_t>(d.Int(0, static_cast<int>(rc.series.size()) - 1))];
            switch (d.Int(0, 3)) {
                case 0: ChangeSeriesType(victim, d.Pick(kinds)); break;
                case 1: rc.series.push_back(CloneChartSeries(*victim)); break;
                case 2: victim.reset(); break;
                default:
                    for (int k = 0; k < 5 && victim->Count() > 0; ++k) victim->Delete(d.Int(0, victim->Count() - 1));
                    break;
            }
            std::erase_if(rc.series, [](const auto& s) { return !s; });
        }
        device.Clear();
        chart.Draw(&canvas, TRect{0, 0, w, h});
    }
    // Bitmap through QPainter (kept to a size a test can afford).
    {
        const int bw = std::min(w, 1200), bh = std::min(h, 900);
        chart.Width = bw;
        chart.Height = bh;
        auto bmp = ChartCreateBitmap(chart.Output(), clWhite, TRect{0, 0, bw, bh});
        EXPECT_EQ(bmp->Image().size(), QSize(bw, bh)) << where;
        chart.Width = w;
        chart.Height = h;
    }
    // Metafiles.
    for (bool enhanced : {true, false}) {
        const platform::Metafile m = ChartCreateMetafile(chart.Output(), enhanced, TRect{0, 0, w, h});
        std::string why;
        const bool ok = enhanced ? EmfReadsBack(m.data, why) : WmfReadsBack(m.data, why);
        EXPECT_TRUE(ok) << where << (enhanced ? " EMF: " : " WMF: ") << why;
        // Now and then a player of its own reads the file too (a process each:
        // kept rare). libwmf makes no picture of less than a point.
        if (ok && d.Chance(4) && w >= 8 && h >= 8) {
            EXPECT_TRUE(PlayerReads(m.data, enhanced, why)) << where << " " << why;
        }
    }
}

TEST(ChartStress, RandomChartsDrawEverywhereAndMetafilesReadBack) {
    const int seeds = EnvInt("PELLUCOR_CHART_STRESS_SEEDS", 40);
    const int first = EnvInt("PELLUCOR_CHART_STRESS_FIRST_SEED", 1);
    const bool verbose = std::getenv("PELLUCOR_CHART_STRESS_VERBOSE") != nullptr;
    for (int seed = first; seed < first + seeds; ++seed) {
        Dice d(static_cast<std::uint32_t>(seed) * 2654435761u + 7u);
        RandomChart rc(d);
        const std::string where = "seed " + std::to_string(seed) + ":" + rc.trace;
        if (verbose) std::cout << where << std::endl;
        const auto started = std::chrono::steady_clock::now();
        DrawEverywhere(rc, d, where);
        if (verbose)
            std::cout << "  " << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
                      << " s" << std::endl;
        if (::testing::Test::HasFailure()) break;
    }
}

}  // namespace
}  // namespace pellucor::chart
