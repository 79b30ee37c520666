// Bar, area, pie and fast-line series: bar widths and positions, stacking,
// pie angles and the "other" slice, fast-line drawing; and a gallery of all
// of them (with the shaded solids and marks) written as a PNG.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "chart/RecordedChartTest.h"
#include "chart/Series.h"
#include "chart/series/AreaSeries.h"
#include "chart/series/BarSeries.h"
#include "chart/series/FastLineSeries.h"
#include "chart/series/PieSeries.h"
#include "chart/series/SeriesMarks.h"
#include "platform/gfx/PainterDevice.h"

namespace pellucor::chart {
namespace {

constexpr double pi = std::numbers::pi;

// ----- bar widths -----

TEST(BarSeriesWidth, WidthRules) {
    struct Case {
        const char* what;
        int points, axisPixels, percent, custom, seriesCount, pointsPerPage;
        bool sideMargins, autoSize;
        int width;
    };
    const Case cases[] = {
        // 400 div 11 = 36; nearest(25.2) = 25, odd: 26
        {"alone", 10, 400, 70, 0, 1, 0, true, false, 26},
        {"no side margins", 10, 400, 70, 0, 1, 0, false, false, 28},
        {"custom width wins", 10, 400, 70, 12, 2, 0, true, false, 12},
        // two side by side: nearest(25.2) div 2 = 12
        {"two series side by side", 10, 400, 70, 0, 2, 0, true, false, 12},
        // range 0 .. 9: nearest(400 / 11) = 36
        {"from the axis range", 10, 400, 70, 0, 1, 0, true, true, 26},
        // four per page: 400 div 5 = 80, 56
        {"points per page", 10, 400, 70, 0, 1, 4, true, false, 56},
        {"full width", 3, 400, 100, 0, 1, 0, true, false, 100},
        {"no points", 0, 400, 70, 0, 1, 0, true, false, 0},
    };
    for (const auto& k : cases) {
        TChart chart;
        std::vector<std::unique_ptr<TBarSeries>> bars;
        for (int s = 0; s < k.seriesCount; ++s) {
            bars.push_back(std::make_unique<TBarSeries>());
            bars.back()->SetParentChart(&chart);
            for (int i = 0; i < k.points; ++i) bars.back()->Add(i + 1);
        }
        TBarSeries& b = *bars.front();
        b.SideMargins = k.sideMargins;
        b.AutoBarSize = k.autoSize;
        b.SetBarWidthPercent(k.percent);
        b.CustomBarWidth = k.custom;
        chart.MaxPointsPerPage = k.pointsPerPage;
        b.HorizAxisObject->PixelSize = k.axisPixels;
        b.HorizAxisObject->RangeMin = 0;
        b.HorizAxisObject->RangeMax = 9;
        b.CalcBarWidth();
        EXPECT_EQ(b.BarWidth, k.width) << k.what;
    }
}

TEST(BarSeriesWidth, SettersRefuseOutOfRangeValues) {
    TBarSeries b;
    EXPECT_THROW(b.SetBarWidthPercent(0), BarException);
    EXPECT_THROW(b.SetBarWidthPercent(101), BarException);
    EXPECT_EQ(b.BarWidthPercent, 70);
    EXPECT_THROW(b.SetOffsetPercent(-101), BarException);
    b.SetOffsetPercent(-100);
    EXPECT_EQ(b.OffsetPercent, -100);
    EXPECT_EQ(b.MandatoryValueList().Name, "Bar");
    THorizBarSeries h;
    EXPECT_EQ(&h.MandatoryValueList(), h.XValues.get());
    EXPECT_EQ(h.XValues->Name, "Bar");
}

// ----- positions in a drawn chart -----

class KindsTest : public RecordedChartTest {
protected:
    void SetUp() override {
        RecordedChartTest::SetUp();
        chart.Title->Visible = false;
        chart.RepaintEnabled = true;
        chart.OnInvalidateWindow = [this] { ++invalidations; };
    }
    int invalidations = 0;
};

TEST_F(KindsTest, SideBySideBarsSitLeftAndRightOfTheCategory) {
    TBarSeries a, b;
    a.SetParentChart(&chart);
    b.SetParentChart(&chart);
    for (int i = 0; i < 4; ++i) {
        a.Add(i + 1);
        b.Add(2 * i + 1);
    }
    DrawRecorded();
    ASSERT_GT(a.BarWidth, 0);
    EXPECT_EQ(a.BarWidth, b.BarWidth);
    const int centre = a.HorizAxisObject->CalcXPosValue(2);
    EXPECT_EQ(a.CategoryPos(2), centre - a.BarWidth) << "first series left of the centre";
    EXPECT_EQ(b.CategoryPos(2), centre) << "second series right of it";
    // the bars are drawn, each from its value down to the origin
    for (TBarSeries* s : {&a, &b})
        for (int i = 0; i < 4; ++i) {
            const int l = s->CategoryPos(i);
            const std::string bar = "Rectangle " + std::to_string(l) + " " + std::to_string(s->ValuePos(i)) + " " +
                                    std::to_string(l + s->BarWidth) + " " + std::to_string(s->GetOriginPos(i));
            EXPECT_EQ(std::count(device.calls.begin(), device.calls.end(), bar), 1) << bar;
        }

    THorizBarSeries h1, h2;
    TChart other;
    h1.SetParentChart(&other);
    h2.SetParentChart(&other);
    h1.Add(1);
    h2.Add(2);
    h1.BarWidth = h2.BarWidth = 10;
    const int mid = h1.VertAxisObject->CalcYPosValue(0);
    EXPECT_EQ(h1.CategoryPos(0), mid) << "first horizontal series below the centre";
    EXPECT_EQ(h2.CategoryPos(0), mid - 10);
    h1.SetOffsetPercent(50);
    EXPECT_EQ(h1.CategoryPos(0), mid + 5) << "offset of half the width";
}

TEST_F(KindsTest, StackedBarsAndStackedHundredPercent) {
    TBarSeries a, b;
    a.SetParentChart(&chart);
    b.SetParentChart(&chart);
    a.Add(1);
    a.Add(0);
    b.Add(2);
    b.Add(0);
    a.SetMultiBar(mbStacked);
    EXPECT_EQ(b.MultiBar, mbStacked) << "the whole class stacks";
    DrawRecorded();
    auto px = [&](double v) { return a.VertAxisObject->CalcYPosValue(v); };
    EXPECT_EQ(b.ValuePos(0), px(3));
    EXPECT_EQ(b.GetOriginPos(0), px(1));
    EXPECT_EQ(a.GetOriginPos(0), px(0));
    EXPECT_DOUBLE_EQ(b.MaxYValue(), 3);
    b.SetMultiBar(mbStacked100);
    DrawRecorded();
    EXPECT_EQ(b.ValuePos(0), a.VertAxisObject->CalcYPosValue(100));
    EXPECT_EQ(b.GetOriginPos(0), a.VertAxisObject->CalcYPosValue(100.0 / 3));
    EXPECT_EQ(b.ValuePos(1), 0) << "all values 0 at an index: pixel 0";
    EXPECT_EQ(b.GetOriginPos(1), 0);
    EXPECT_DOUBLE_EQ(b.MaxYValue(), 100);
    EXPECT_DOUBLE_EQ(b.MinYValue(), 0);
}

TEST_F(KindsTest, BarClicksFollowTheShape) {
    TBarSeries a;
    a.SetParentChart(&chart);
    a.Add(4);
    a.Add(2);
    DrawRecorded();
    const int l = a.CategoryPos(0), top = a.ValuePos(0), bottom = a.GetOriginPos(0);
    EXPECT_EQ(a.Clicked(l + 1, (top + bottom) / 2), 0);
    EXPECT_EQ(a.Clicked(l - 1, (top + bottom) / 2), -1);
    EXPECT_EQ(a.Clicked(l + 1, top - 2), -1);
    a.BarStyle = bsPyramid;
    EXPECT_EQ(a.Clicked(l + 1, top + 2), -1) << "beside the apex";
    EXPECT_EQ(a.Clicked(l + a.BarWidth / 2, top + 2), 0);
}

TEST_F(KindsTest, StackedAreasRestOnTheSeriesBefore) {
    TAreaSeries a, b;
    a.SetParentChart(&chart);
    b.SetParentChart(&chart);
    a.AddXY(0, 1);
    a.AddXY(1, 1);
    b.AddXY(0, 2);
    b.AddXY(1, 2);
    a.SetMultiArea(maStacked);
    EXPECT_EQ(b.MultiArea, maStacked);
    DrawRecorded();
    auto px = [&](double v) { return a.VertAxisObject->CalcYPosValue(v); };
    EXPECT_EQ(b.CalcYPos(0), px(3)) << "top at 1 + 2";
    EXPECT_EQ(b.GetOriginPos(0), px(1)) << "base line on the first";
    EXPECT_EQ(a.GetOriginPos(0), std::min(px(0), a.VertAxisObject->PixelEnd));
    EXPECT_DOUBLE_EQ(b.MaxYValue(), 3);
    a.SetMultiArea(maStacked100);
    EXPECT_DOUBLE_EQ(b.MaxYValue(), 100);
    DrawRecorded();
    EXPECT_EQ(a.CalcYPos(0), a.VertAxisObject->CalcYPosValue(100.0 / 3));
}

// ----- pie -----

TEST(PieAngles, SlicesRunCounterClockwiseFromThreeOClock) {
    struct Case {
        std::vector<double> values;
        std::vector<std::pair<double, double>> slices;
    };
    const Case cases[] = {
        {{1, 1, 2}, {{0, pi / 2}, {pi / 2, pi}, {pi, 2 * pi}}},
        {{-1, 3}, {{0, pi / 2}, {pi / 2, 2 * pi}}},
        {{0, 0, 0}, {{0, 2 * pi}, {0, 2 * pi}, {0, 2 * pi}}},
    };
    for (const auto& k : cases) {
        TPieSeries p;
        for (double v : k.values) p.AddPie(v);
        p.CalcSlices();
        ASSERT_EQ(p.Slices.size(), k.slices.size());
        for (std::size_t i = 0; i < k.slices.size(); ++i) {
            EXPECT_NEAR(p.Slices[i].Start, k.slices[i].first, 1e-12) << i;
            EXPECT_NEAR(p.Slices[i].End, k.slices[i].second, 1e-12) << i;
        }
    }
}

// A null point (no colour, or a value that is not a number) has no slice:
// the others share the circle as if it were not there.
TEST(PieAngles, NullPointsTakeNoPartOfTheCircle) {
    struct Case {
        const char* name;
        double middle;
        TColor colour;
    } cases[] = {
        {"not a number", std::numeric_limits<double>::quiet_NaN(), UseSeriesColor},
        {"infinite", std::numeric_limits<double>::infinity(), UseSeriesColor},
        {"null colour", 2, clNone},
    };
    for (const Case& c : cases) {
        TPieSeries p;
        p.AddPie(1);
        p.AddPie(c.middle, "", c.colour);
        p.AddPie(3);
        p.CalcSlices();
        ASSERT_EQ(p.Slices.size(), 3u) << c.name;
        EXPECT_NEAR(p.Slices[0].Start, 0, 1e-12) << c.name;
        EXPECT_NEAR(p.Slices[0].End, pi / 2, 1e-12) << c.name;
        EXPECT_NEAR(p.Slices[1].Start, pi / 2, 1e-12) << c.name;
        EXPECT_NEAR(p.Slices[1].End, pi / 2, 1e-12) << c.name;
        EXPECT_NEAR(p.Slices[2].Start, pi / 2, 1e-12) << c.name;
        EXPECT_NEAR(p.Slices[2].End, 2 * pi, 1e-12) << c.name;
    }
}

// Values near the largest double add up past it: the slices still share
// the circle by their values, and every angle is a number.
TEST(PieAngles, ValuesWhoseTotalOverflowsShareTheCircle) {
    const double big = std::numeric_limits<double>::max() / 2;
    struct Case {
        const char* name;
        std::vector<double> values;
        std::vector<std::pair<double, double>> slices;
    };
    const Case cases[] = {
        {"three equal", {big, big, big}, {{0, 2 * pi / 3}, {2 * pi / 3, 4 * pi / 3}, {4 * pi / 3, 2 * pi}}},
        {"one to three", {big / 3, -big, big}, {{0, 2 * pi / 7}, {2 * pi / 7, 8 * pi / 7}, {8 * pi / 7, 2 * pi}}},
    };
    for (const auto& k : cases) {
        TPieSeries p;
        for (double v : k.values) p.AddPie(v);
        p.CalcSlices();
        ASSERT_EQ(p.Slices.size(), k.slices.size()) << k.name;
        for (std::size_t i = 0; i < k.slices.size(); ++i) {
            EXPECT_NEAR(p.Slices[i].Start, k.slices[i].first, 1e-12) << k.name << " " << i;
            EXPECT_NEAR(p.Slices[i].End, k.slices[i].second, 1e-12) << k.name << " " << i;
            EXPECT_NEAR(p.Slices[i].Middle, (k.slices[i].first + k.slices[i].second) / 2, 1e-12) << k.name << " " << i;
        }
    }
}

// The same pie exploded: the circle stays inside the chart and every slice
// is drawn.
TEST_F(KindsTest, ExplodedPieWithAnOverflowingTotalStaysInTheChart) {
    const double big = std::numeric_limits<double>::max() / 2;
    TPieSeries p;
    p.SetParentChart(&chart);
    for (int i = 0; i < 3; ++i) p.AddPie(big, "", GetDefaultColor(i));
    p.SetExplodeBiggest(30);
    DrawRecorded();
    EXPECT_GT(p.XRadius, 10);
    EXPECT_LT(p.XRadius, chart.Width / 2);
    EXPECT_LT(p.YRadius, chart.Height / 2);
    EXPECT_GE(p.CircleRect.Left, 0);
    EXPECT_LE(p.CircleRect.Right, chart.Width);
    EXPECT_EQ(device.CallsStartingWith("Pie ").size(), 3u);
}

// A point far above a 3-D plot in perspective projects beyond the int
// range; its mark stays above the plot, on the point's side, instead of
// wrapping round to far below it.
TEST_F(KindsTest, MarkOfAPointFarAboveAPerspectivePlotStaysAbove) {
    chart.View3D = true;
    chart.View3DOptions->SetOrthogonal(false);
    chart.View3DOptions->SetZoom(200);
    TLineSeries s;
    s.SetParentChart(&chart);
    s.AddXY(0, 0, "near");
    s.AddXY(1, 1e12, "far");
    for (TChartAxis* a : {chart.BottomAxis, chart.LeftAxis}) {
        a->SetAutomatic(false);
        a->SetMinMax(0, 1);
    }
    s.Marks->SetVisible(true);
    chart.SetAxisVisible(false);  // the labels would show the point labels too
    DrawRecorded();
    bool found = false;
    for (const TextCall& t : TextCalls(device))
        if (t.text == "far") {
            found = true;
            EXPECT_LT(t.y, -1000000) << "x " << t.x;
        }
    EXPECT_TRUE(found);
}

// The explode distance belongs to its slice: it moves with the point when
// an earlier point goes or a point is put in before it, and goes with it.
TEST(PieAngles, ExplodedSlicesFollowTheirPoints) {
    TPieSeries p;
    p.AddXY(1, 1);
    p.AddXY(2, 1);
    p.AddXY(3, 1);
    p.SetExploded(2, 30);
    p.Delete(0);
    EXPECT_EQ(p.Exploded(1), 30);
    EXPECT_EQ(p.Exploded(2), 0);
    p.AddXY(0, 5);  // sorted in before the others
    EXPECT_EQ(p.Exploded(0), 0);
    EXPECT_EQ(p.Exploded(2), 30);
    p.Delete(2);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(p.Exploded(i), 0) << i;
}

TEST(PieAngles, RotationIsKeptBelowAFullTurn) {
    TPieSeries p;
    p.SetRotationAngle(370);
    EXPECT_EQ(p.RotationAngle, 10);
    EXPECT_NEAR(p.RotationRadians, 10 * pi / 180, 1e-15);
    try {
        p.SetRotationAngle(-1);
        ADD_FAILURE();
    } catch (const PieException& e) {
        EXPECT_STREQ(e.what(), "Rotation Angle must be between 0 and 359 degrees");
    }
    EXPECT_EQ(p.RotationAngle, 10);
    EXPECT_THROW(p.Rotate(361), PieException);
}

TEST_F(KindsTest, OtherSliceIsWorkedOutWhileDrawingWithoutTouchingThePoints) {
    TPieSeries p;
    p.SetParentChart(&chart);
    const double values[] = {50, 30, 5, 10, 5};
    for (int i = 0; i < 5; ++i) p.AddXY(10.0 * (i + 1), values[i], "p" + std::to_string(i));
    p.OtherSlice.Style = poBelowPercent;
    p.OtherSlice.Value = 10;
    for (int pass = 0; pass < 2; ++pass) {
        invalidations = 0;
        DrawRecorded();
        EXPECT_EQ(invalidations, 0) << "drawing asks for no repaint";
        ASSERT_EQ(p.Count(), 5) << "no point added or deleted";
        for (int i = 0; i < 5; ++i) EXPECT_EQ(p.XValues->GetValue(i), 10.0 * (i + 1)) << "x values unchanged";
        ASSERT_EQ(p.Slices.size(), 6u) << "five points and the other slice, pass " << pass;
    }
    EXPECT_TRUE(p.BelongsToOtherSlice(2));
    EXPECT_FALSE(p.BelongsToOtherSlice(3)) << "10 % is not below 10 %";
    EXPECT_TRUE(p.BelongsToOtherSlice(4));
    EXPECT_NEAR(p.Slices[1].End, 1.6 * pi, 1e-12);
    EXPECT_NEAR(p.Slices[2].End - p.Slices[2].Start, 0, 1e-12);
    EXPECT_NEAR(p.Slices[5].Start, 1.8 * pi, 1e-12);
    EXPECT_NEAR(p.Slices[5].End, 2 * pi, 1e-12);
    // The legend lists the points not merged, then the other slice.
    ASSERT_EQ(p.CountLegendItems(), 4);
    EXPECT_EQ(p.LegendString(3, ltsPlain), "Other");
    EXPECT_EQ(p.LegendString(2, ltsPlain), "p3");
    EXPECT_EQ(p.GetMarkValue(p.LegendToValueIndex(3)), 10);
    // Four slices drawn as pies (the merged points draw nothing).
    EXPECT_EQ(device.CallsStartingWith("Pie ").size(), 4u);
}

TEST_F(KindsTest, MarksOfEveryStyleDrawWithTheOtherSlice) {
    TPieSeries p;
    p.SetParentChart(&chart);
    const double values[] = {50, 30, 5, 10, 5};
    for (int i = 0; i < 5; ++i) p.AddXY(10.0 * (i + 1), values[i], "p" + std::to_string(i));
    p.OtherSlice.Style = poBelowPercent;
    p.OtherSlice.Value = 10;
    p.Marks->SetVisible(true);
    chart.SetAxisVisible(false);  // no axis labels among the mark texts
    for (int style = smsValue; style <= smsXValue; ++style) {
        p.Marks->SetStyle(static_cast<TSeriesMarksStyle>(style));
        EXPECT_NO_THROW(DrawRecorded()) << "style " << style;
    }
    // The x values of the slices drawn whole; the merged points (30, 50) have no mark.
    const std::vector<std::string> texts = Texts(device);
    for (const char* x : {"10", "20", "40"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), x), texts.end()) << x;
    for (const char* x : {"30", "50"}) EXPECT_EQ(std::find(texts.begin(), texts.end(), x), texts.end()) << x;
}

TEST_F(KindsTest, ExplodedSliceMovesOutAlongItsMiddle) {
    TPieSeries p;
    p.SetParentChart(&chart);
    p.Marks->Visible = false;
    p.AddPie(1);
    p.AddPie(3);
    p.SetExplodeBiggest(20);
    EXPECT_EQ(p.Exploded(1), 20);
    DrawRecorded();
    int dx = 0, dy = 0;
    p.CalcExplodedOffset(p.Slices[1], dx, dy);
    // The middle of the second slice is at 5/4 pi: down and to the left.
    EXPECT_EQ(dx, static_cast<int>(std::lround(std::cos(1.25 * pi) * p.XRadius * 0.2)));
    EXPECT_LT(dx, 0);
    EXPECT_LT(dy, 0);
    p.CalcExplodedOffset(p.Slices[0], dx, dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
}

// ----- fast line -----

TEST_F(KindsTest, FastLineSkipsRepeatedPixelsAndDrawsNewSegmentsAtOnce) {
    chart.AxisVisible = false;
    chart.BottomAxis->SetMinMax(0, 10);
    chart.LeftAxis->SetMinMax(0, 10);
    TFastLineSeries f;
    f.SetParentChart(&chart);
    f.AddXY(0, 0);
    f.AddXY(5, 5);
    f.AddXY(5, 5);  // the same pixel
    f.AddXY(10, 0);
    DrawRecorded();
    const auto lines = device.CallsStartingWith("LineTo");
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(f.LastX, f.CalcXPos(3));

    // Without AutoRepaint an added point draws its segment straight away.
    platform::Canvas canvas(&device);
    chart.Canvas->SetCanvas(&canvas);
    f.AutoRepaint = false;
    device.Clear();
    invalidations = 0;
    f.AddXY(10, 10);
    EXPECT_EQ(invalidations, 0);
    const auto now = device.CallsStartingWith("LineTo");
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0], "LineTo " + std::to_string(f.CalcXPos(4)) + " " + std::to_string(f.CalcYPos(4)));
    chart.Canvas->SetCanvas(nullptr);
}

TEST(FastLine, PenAndSeriesColourAgree) {
    TFastLineSeries f;
    f.SetSeriesColor(clRed);
    EXPECT_EQ(f.LinePen->GetColor(), clRed);
    TChartPen pen;
    pen.SetColor(clBlue);
    f.SetLinePen(pen);
    EXPECT_EQ(f.SeriesColor, clBlue);
}

TEST(ExtraSeriesRegistry, FiveMoreStandardSeries) {
    RegisterExtraSeries();
    RegisterExtraSeries();
    for (const char* cls : {"TBarSeries", "THorizBarSeries", "TAreaSeries", "TPieSeries", "TFastLineSeries"}) {
        const TChartSeriesType* t = ChartSeriesTypes().FindSeriesClass(cls);
        ASSERT_NE(t, nullptr) << cls;
        EXPECT_EQ(t->PageName, "Standard");
        std::unique_ptr<TChartSeries> s(t->Create());
        EXPECT_NE(s, nullptr);
    }
}

TEST(ExtraSeriesRegistry, ClonesKeepTheirKindAndSettings) {
    RegisterExtraSeries();
    TChart chart;
    TBarSeries bar;
    bar.SetParentChart(&chart);
    bar.SetBarWidthPercent(40);
    bar.BarStyle = bsCilinder;
    bar.Add(3, "three", clRed);
    auto copy = CloneChartSeries(bar);
    auto* b = dynamic_cast<TBarSeries*>(copy.get());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->BarWidthPercent, 40);
    EXPECT_EQ(b->BarStyle, bsCilinder);
    EXPECT_EQ(b->GetXLabel(0), "three");
    EXPECT_EQ(b->GetValueColor(0), clRed);
    copy.reset();

    TPieSeries pie;
    pie.SetParentChart(&chart);
    pie.OtherSlice.Style = poBelowValue;
    pie.SetRotationAngle(30);
    pie.AddPie(2);
    auto pieCopy = CloneChartSeries(pie);
    auto* p = dynamic_cast<TPieSeries*>(pieCopy.get());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->OtherSlice.Style, poBelowValue);
    EXPECT_EQ(p->RotationAngle, 30);
    EXPECT_EQ(p->Count(), 1);
}

// ----- gallery -----

std::string OutputPath(const std::string& name) {
    QDir().mkpath(PELLUCOR_TEST_OUTPUT_DIR);
    return std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/" + name;
}

QImage Render(TChart& chart, int w, int h) {
    chart.Width = w;
    chart.Height = h;
    TBitmap bmp;
    bmp.SetSize(w, h);
    chart.Draw(&bmp.GetCanvas(), TRect{0, 0, w, h});
    return bmp.Image();
}

TColor At(const QImage& img, int x, int y) {
    const QRgb c = img.pixel(x, y);
    return platform::RGBColor(qRed(c), qGreen(c), qBlue(c));
}

void PrepareChart(TChart& chart, const std::string& title, bool is3D) {
    chart.View3D = is3D;
    chart.Color = clWhite;
    chart.BevelOuter = bvNone;
    chart.Legend->Visible = false;
    chart.Title->SetText({title});
}

constexpr int W = 320, H = 240;

QImage SolidsPanel() {
    platform::ImageDevice img{W, H};
    TCanvas dest{&img};
    TChartCanvas3D c;
    TView3DOptions options;
    c.SetUseBuffer(false);
    c.InitWindow(&dest, &options, clWhite, true, {0, 0, W, H});
    c.Projection(100, {0, 0, W, H}, {0, 0, W, H});
    c.Brush->SetColor(clWhite);
    c.Brush->SetStyle(TBrushStyle::Solid);
    c.Pen->SetStyle(TPenStyle::Clear);
    c.FillRect({0, 0, W, H});
    c.Pen->SetStyle(TPenStyle::Solid);
    c.Pen->SetColor(clBlack);
    auto brush = [&](TColor col) {
        c.Brush->SetStyle(TBrushStyle::Solid);
        c.Brush->SetColor(col);
    };
    brush(clRed);
    c.Cube(20, 70, 40, 100, 0, 20, true);
    brush(clLime);
    c.Cylinder(true, 110, 40, 160, 100, 0, 20, true);
    brush(clBlue);
    c.Pyramid(true, 200, 40, 250, 100, 0, 20, true);
    brush(clYellow);
    c.Cone(false, 20, 140, 90, 190, 0, 20, 0);
    brush(clAqua);
    c.Sphere(150, 170, 0, 28);
    brush(clFuchsia);
    c.Pie3D(240, 170, 40, 30, 0, 15, 0.3, 4.5, true, true);
    brush(clGray);
    c.Arrow(true, TPoint{260, 225}, TPoint{310, 200}, 12, 10, 0);
    c.Arrow(false, TPoint{200, 230}, TPoint{250, 230}, 8, 8, 0);
    return img.Image();
}

TEST(ChartGallery, EverySeriesKindAndSolidInOnePicture) {
    std::vector<std::pair<std::string, QImage>> panels;

    // 1. The solids: the cube's side is darker than its front, its top
    // between the two; the far side is not drawn.
    QImage solids = SolidsPanel();
    EXPECT_EQ(At(solids, 45, 70), clRed) << "cube front";
    EXPECT_EQ(At(solids, 80, 60), ApplyDark(clRed, DarkFactor1)) << "cube right side";
    EXPECT_EQ(At(solids, 50, 32), ApplyDark(clRed, DarkFactor2)) << "cube top";
    EXPECT_EQ(At(solids, 15, 70), clWhite) << "no left side";
    panels.emplace_back("Solids", solids);

    // 2. A bar of every style, flat.
    {
        TChart chart;
        PrepareChart(chart, "Bar styles", false);
        TBarSeries bars;
        bars.SetParentChart(&chart);
        bars.Marks->Visible = false;
        bars.ColorEachPoint = true;
        for (int i = 0; i < 8; ++i) bars.Add(3 + i % 3);
        bars.OnGetBarStyle = [](TCustomBarSeries*, int i, TBarStyle& s) { s = static_cast<TBarStyle>(i); };
        QImage img = Render(chart, W, H);
        const int x = bars.CategoryPos(0) + bars.BarWidth / 2;
        const int y = (bars.ValuePos(0) + bars.GetOriginPos(0)) / 2;
        EXPECT_EQ(At(img, x, y), GetDefaultColor(0)) << "a rectangle bar is filled in its point's colour";
        const int ex = bars.CategoryPos(4) + bars.BarWidth / 2;
        const int etop = bars.ValuePos(4);
        EXPECT_EQ(At(img, bars.CategoryPos(4) + 1, etop + 1), clWhite) << "an ellipse leaves its corners";
        EXPECT_EQ(At(img, ex, (etop + bars.GetOriginPos(4)) / 2), GetDefaultColor(4));
        panels.emplace_back("Bar styles", img);
    }
    // 3. The same in 3-D: the solids with darker sides.
    {
        TChart chart;
        PrepareChart(chart, "Bar styles, 3-D", true);
        TBarSeries bars;
        bars.SetParentChart(&chart);
        bars.Marks->Visible = false;
        bars.ColorEachPoint = true;
        for (int i = 0; i < 8; ++i) bars.Add(3 + i % 3);
        bars.OnGetBarStyle = [](TCustomBarSeries*, int i, TBarStyle& s) { s = static_cast<TBarStyle>(i); };
        panels.emplace_back("Bar styles 3-D", Render(chart, W, H));
    }
    // 4. Side by side and stacked bars with marks and arrows.
    {
        TChart chart;
        PrepareChart(chart, "Stacked bars with marks", false);
        TBarSeries a, b;
        a.SetParentChart(&chart);
        b.SetParentChart(&chart);
        a.SeriesColor = clRed;
        b.SeriesColor = clBlue;
        for (int i = 0; i < 4; ++i) {
            a.Add(2 + i, "a" + std::to_string(i));
            b.Add(4 - i);
        }
        a.SetMultiBar(mbStacked);
        b.Marks->Style = smsValue;
        QImage img = Render(chart, W, H);
        // The mark of b's first bar: a light-yellow box above the stack.
        const TSeriesMarkPosition* m = b.Marks->Positions.Position(0);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(At(img, m->LeftTop.x + 2, m->LeftTop.y + m->Height / 2 - 1), TColor{8454143}) << "mark box";
        EXPECT_LT(m->LeftTop.y + m->Height, b.ValuePos(0)) << "the box sits above the bar, joined by an arrow";
        const int mid = b.CategoryPos(0) + b.BarWidth / 2;
        EXPECT_EQ(At(img, mid, (b.ValuePos(0) + b.GetOriginPos(0)) / 2), clBlue) << "upper part of the stack";
        EXPECT_EQ(At(img, mid, (a.ValuePos(0) + a.GetOriginPos(0)) / 2), clRed) << "lower part";
        panels.emplace_back("Stacked bars", img);
    }
    // 5. Stacked areas.
    {
        TChart chart;
        PrepareChart(chart, "Stacked areas", false);
        TAreaSeries a, b;
        a.SetParentChart(&chart);
        b.SetParentChart(&chart);
        a.SeriesColor = clGreen;
        b.SeriesColor = clYellow;
        for (int i = 0; i < 6; ++i) {
            a.AddXY(i, 1 + i % 2);
            b.AddXY(i, 2);
        }
        a.SetMultiArea(maStacked);
        QImage img = Render(chart, W, H);
        const int x = a.CalcXPos(1);
        const int ya = a.CalcYPos(1), yb = b.CalcYPos(1);
        EXPECT_EQ(At(img, x + 3, (ya + a.GetOriginPos(1)) / 2), clGreen) << "the lower area";
        EXPECT_EQ(At(img, x + 3, (yb + ya) / 2), clYellow) << "the upper area rests on it";
        panels.emplace_back("Stacked areas", img);
    }
    // 6. A pie with an exploded slice and an "other" slice.
    {
        TChart chart;
        PrepareChart(chart, "Pie, exploded and other", false);
        TPieSeries pie;
        pie.SetParentChart(&chart);
        const double v[] = {40, 25, 3, 20, 2, 10};
        const char* names[] = {"Cars", "Phones", "Tables", "Monitors", "Lamps", "Bikes"};
        for (int i = 0; i < 6; ++i) pie.AddPie(v[i], names[i]);
        pie.OtherSlice.Style = poBelowPercent;
        pie.OtherSlice.Value = 5;
        pie.SetExploded(1, 30);
        QImage img = Render(chart, W, H);
        // Without the explode the circle's centre belongs to every slice; the
        // exploded slice has moved off it along its middle (at 0.65 pi).
        const TPieSlice& s = pie.Slices[1];
        int dx = 0, dy = 0;
        pie.CalcExplodedOffset(s, dx, dy);
        int px = 0, py = 0;
        pie.AngleToPos(s.Middle, pie.XRadius * 0.6, pie.YRadius * 0.6, px, py);
        EXPECT_EQ(At(img, px + dx, py - dy), GetDefaultColor(1)) << "the exploded slice";
        pie.AngleToPos(pie.Slices.back().Middle, pie.XRadius * 0.6, pie.YRadius * 0.6, px, py);
        EXPECT_EQ(At(img, px, py), GetDefaultColor(6)) << "the other slice";
        panels.emplace_back("Pie", img);
    }
    // 7. A 3-D pie.
    {
        TChart chart;
        PrepareChart(chart, "Pie, 3-D", true);
        TPieSeries pie;
        pie.SetParentChart(&chart);
        pie.Marks->Visible = false;
        for (double v : {3.0, 2.0, 4.0, 1.0}) pie.AddPie(v);
        pie.SetExploded(2, 15);
        panels.emplace_back("Pie 3-D", Render(chart, W, H));
    }
    // 8. A fast line.
    {
        TChart chart;
        PrepareChart(chart, "Fast line", false);
        TFastLineSeries f;
        f.SetParentChart(&chart);
        f.SetSeriesColor(clNavy);
        for (int i = 0; i <= 200; ++i) f.AddXY(i, std::sin(i / 15.0));
        QImage img = Render(chart, W, H);
        int navy = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (At(img, x, y) == clNavy) ++navy;
        EXPECT_GT(navy, 200) << "the line is drawn in the pen's colour";
        panels.emplace_back("Fast line", img);
    }
    // 9. Horizontal bars with marks.
    {
        TChart chart;
        PrepareChart(chart, "Horizontal bars", false);
        THorizBarSeries h;
        h.SetParentChart(&chart);
        h.SeriesColor = clTeal;
        for (int i = 0; i < 4; ++i) h.AddXY(3 + i, i, "h" + std::to_string(i));
        panels.emplace_back("Horizontal bars", Render(chart, W, H));
    }

    QImage sheet(3 * W, 3 * H, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (std::size_t i = 0; i < panels.size(); ++i)
        painter.drawImage(static_cast<int>(i % 3) * W, static_cast<int>(i / 3) * H, panels[i].second);
    painter.end();
    EXPECT_TRUE(sheet.save(QString::fromStdString(OutputPath("chart_gallery.png"))));
}

}  // namespace
}  // namespace pellucor::chart
