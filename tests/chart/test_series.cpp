// Series data, visible ranges, line drawing, clicks, legends and the layout
// of the plot area after titles and legend.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "chart/RecordedChartTest.h"
#include "chart/Series.h"
#include "chart/series/SeriesFunctions.h"
#include "chart/series/SeriesMarks.h"

namespace pellucor::chart {
namespace {

using platform::MulDiv;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Segment {
    int x0, y0, x1, y1;
};

// The straight pieces drawn (MoveTo then LineTo) in order.
std::vector<Segment> Segments(const platform::RecordingDevice& d) {
    std::vector<Segment> out;
    int cx = 0, cy = 0;
    for (const auto& c : d.calls) {
        int x = 0, y = 0;
        if (std::sscanf(c.c_str(), "MoveTo %d %d", &x, &y) == 2) {
            cx = x;
            cy = y;
        } else if (std::sscanf(c.c_str(), "LineTo %d %d", &x, &y) == 2) {
            out.push_back({cx, cy, x, y});
            cx = x;
            cy = y;
        }
    }
    return out;
}

// ----- data -----

TEST(SeriesData, AddInsertsByXOrderKeepingArrivalOrderOfEqualX) {
    struct Case {
        TChartListOrder order;
        std::vector<int> indices;
        std::vector<double> xs;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {loAscending, {0, 0, 1, 1}, {1, 1, 2, 3}, {"b", "d", "c", "a"}},
        {loNone, {0, 1, 2, 3}, {3, 1, 2, 1}, {"a", "b", "c", "d"}},
    };
    for (const auto& c : cases) {
        TPointSeries s;
        s.XValues->Order = c.order;
        std::vector<int> got;
        got.push_back(s.AddXY(3, 30, "a"));
        got.push_back(s.AddXY(1, 10, "b"));
        got.push_back(s.AddXY(2, 20, "c"));
        got.push_back(s.AddXY(1, 11, "d"));
        EXPECT_EQ(got, c.indices);
        std::vector<double> xs;
        std::vector<std::string> labels;
        for (int i = 0; i < s.Count(); ++i) {
            xs.push_back(s.GetxValue(i));
            labels.push_back(s.GetXLabel(i));
            // y travels with its x.
            EXPECT_EQ(s.GetyValue(i), labels.back() == "d" ? 11 : s.GetxValue(i) * 10);
        }
        EXPECT_EQ(xs, c.xs);
        EXPECT_EQ(labels, c.labels);
    }
}

TEST(SeriesData, ColourAndLabelListsStayAsLongAsTheValues) {
    TPointSeries s;
    s.SeriesColor = clRed;
    s.AddXY(1, 1, "one", clBlue);
    s.AddXY(3, 3, "three");
    // A copy path that filled only the values leaves the lists short.
    s.ValueColorList.clear();
    s.LabelList.clear();
    const int at = s.AddXY(2, 2, "two", clGreen);
    EXPECT_EQ(at, 1);
    ASSERT_EQ(s.ValueColorList.size(), 3u);
    ASSERT_EQ(s.LabelList.size(), 3u);
    EXPECT_EQ(s.GetValueColor(0), clRed);
    EXPECT_EQ(s.GetValueColor(1), clGreen);
    EXPECT_EQ(s.GetValueColor(2), clRed);
    EXPECT_EQ(s.GetXLabel(1), "two");
    EXPECT_EQ(s.GetXLabel(2), "");
    // Appending after a short list as well.
    s.ValueColorList.resize(1);
    s.AddXY(9, 9, "nine", clYellow);
    EXPECT_EQ(s.ValueColorList.size(), 4u);
    EXPECT_EQ(s.GetValueColor(3), clYellow);
    EXPECT_EQ(s.GetXLabel(3), "nine");
}

TEST(SeriesData, DeleteClearEventsAndColours) {
    TChart chart;
    TPointSeries s;
    chart.AddSeries(&s);
    s.SeriesColor = clNavy;
    int cleared = 0, added = 0;
    s.OnClearValues = [&](TChartSeries*) { ++cleared; };
    s.OnAfterAdd = [&](TChartSeries*, int) { ++added; };
    s.Clear();  // even an empty series reports it
    EXPECT_EQ(cleared, 1);
    for (int i = 0; i < 4; ++i) s.AddXY(i, i * i, "p" + std::to_string(i), i == 2 ? clRed : UseSeriesColor);
    EXPECT_EQ(added, 4);
    s.Delete(1);
    EXPECT_EQ(s.Count(), 3);
    EXPECT_EQ(s.GetxValue(1), 2);
    EXPECT_EQ(s.GetValueColor(1), clRed);
    EXPECT_EQ(s.GetXLabel(1), "p2");
    EXPECT_THROW(s.Delete(3), EListError);
    EXPECT_EQ(s.Count(), 3);

    s.SetColorEachPoint(true);
    EXPECT_EQ(s.GetValueColor(0), GetDefaultColor(0));
    EXPECT_EQ(s.GetValueColor(1), clRed);
    EXPECT_EQ(s.GetValueColor(2), GetDefaultColor(2));
    s.SetColorEachPoint(false);
    EXPECT_EQ(s.GetValueColor(1), clNavy);

    s.OnBeforeAdd = [](TChartSeries*) { return false; };
    EXPECT_EQ(s.AddXY(7, 7), -1);
    EXPECT_EQ(s.Count(), 3);
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(cleared, 2);
    EXPECT_TRUE(s.ValueColorList.empty());
}

TEST(SeriesData, NullPointsAreColourNoneOrNotFinite) {
    TPointSeries s;
    s.XValues->Order = loNone;
    s.AddXY(1, 1);
    s.AddNullXY(2, 2);
    s.AddXY(3, kNaN);
    s.AddXY(kInf, 4);
    s.AddXY(5, -kInf);
    const std::vector<bool> expected{false, true, true, true, true};
    for (int i = 0; i < s.Count(); ++i) EXPECT_EQ(s.IsNull(i), expected[static_cast<std::size_t>(i)]) << i;
}

TEST(SeriesData, AxisBindingAndPositions) {
    TChart chart;
    TPointSeries s;
    chart.AddSeries(&s);
    EXPECT_EQ(s.VertAxisObject, chart.LeftAxis);
    s.SetVertAxis(aRightAxis);
    EXPECT_EQ(s.VertAxisObject, chart.RightAxis);
    EXPECT_TRUE(s.AssociatedToAxis(chart.RightAxis));
    EXPECT_FALSE(s.AssociatedToAxis(chart.LeftAxis));
    s.SetVertAxis(aBothVertAxis);
    EXPECT_EQ(s.VertAxisObject, chart.LeftAxis);
    EXPECT_TRUE(s.AssociatedToAxis(chart.RightAxis));
    s.SetHorizAxis(aTopAxis);
    EXPECT_EQ(s.HorizAxisObject, chart.TopAxis);
}

// ----- drawing -----

class SeriesDrawTest : public RecordedChartTest {
protected:
    void SetUp() override {
        RecordedChartTest::SetUp();
        chart.AxisVisible = false;  // only the series draw lines
        chart.Title->Visible = false;
    }
    void FixAxes(double x0, double x1, double y0, double y1) {
        chart.BottomAxis->SetMinMax(x0, x1);
        chart.LeftAxis->SetMinMax(y0, y1);
    }
};

TEST_F(SeriesDrawTest, VisibleRangeOnAnOrderedSeries) {
    struct Case {
        double lo, hi;
        int first, lastPlain, lastOverhang;
    };
    const Case cases[] = {
        {2.5, 6, 3, 6, 6},     // a value on the edge is visible and ends the range
        {2.5, 6.5, 3, 6, 7},   // the first point beyond overhangs
        {-5, 20, 0, 9, 9},     // everything inside
        {10, 20, -1, -1, -1},  // everything below the range: nothing drawn
        {-5, -1, 0, -1, 0},    // everything above: only the overhang point
    };
    for (const auto& c : cases) {
        TChartSeries plain;
        TLineSeries line;
        chart.AddSeries(&plain);
        chart.AddSeries(&line);
        for (int i = 0; i < 10; ++i) {
            plain.AddXY(i, i);
            line.AddXY(i, i);
        }
        FixAxes(c.lo, c.hi, 0, 10);
        DrawRecorded();
        EXPECT_EQ(plain.FirstVisibleIndex, c.first) << c.lo << ".." << c.hi;
        EXPECT_EQ(line.FirstVisibleIndex, c.first) << c.lo << ".." << c.hi;
        if (c.first != -1) {
            EXPECT_EQ(plain.LastVisibleIndex, c.lastPlain) << c.lo << ".." << c.hi;
            EXPECT_EQ(line.LastVisibleIndex, c.lastOverhang) << c.lo << ".." << c.hi;
        }
        chart.RemoveAllSeries();
    }
}

TEST_F(SeriesDrawTest, UnorderedSeriesDrawsEveryPoint) {
    TLineSeries s;
    chart.AddSeries(&s);
    s.XValues->Order = loNone;
    for (int i = 0; i < 5; ++i) s.AddXY(10 - i, i);
    FixAxes(100, 200, 0, 10);
    DrawRecorded();
    EXPECT_EQ(s.FirstVisibleIndex, 0);
    EXPECT_EQ(s.LastVisibleIndex, 4);
}

TEST_F(SeriesDrawTest, LineEntersAtTheLeftEdgeOnTheInterpolatedHeight) {
    TLineSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(10, 10);
    s.AddXY(20, 0);
    FixAxes(5, 20, 0, 10);
    DrawRecorded();
    ASSERT_EQ(s.FirstVisibleIndex, 1);
    const auto segs = Segments(device);
    ASSERT_EQ(segs.size(), 2u);
    // At x = 5 the line from (0, 0) to (10, 10) is at y = 5.
    EXPECT_EQ(segs[0].x0, chart.ChartRect.Left);
    EXPECT_EQ(segs[0].y0, chart.LeftAxis->CalcYPosValue(5));
    EXPECT_EQ(segs[0].x1, s.CalcXPos(1));
    EXPECT_EQ(segs[0].y1, s.CalcYPos(1));
    EXPECT_EQ(segs[1].x1, s.CalcXPos(2));
    EXPECT_EQ(segs[1].y1, s.CalcYPos(2));
}

TEST_F(SeriesDrawTest, NullPointsBreakTheLine) {
    struct Case {
        const char* what;
        double y;
        TColor color;
    };
    const Case cases[] = {{"colour none", 2, clNone}, {"not a number", kNaN, UseSeriesColor},
                          {"infinite", kInf, UseSeriesColor}};
    for (const auto& c : cases) {
        TLineSeries s;
        chart.AddSeries(&s);
        s.AddXY(0, 1);
        s.AddXY(1, 2);
        s.AddXY(2, c.y, "", c.color);
        s.AddXY(3, 3);
        s.AddXY(4, 4);
        FixAxes(0, 4, 0, 5);
        DrawRecorded();
        const auto segs = Segments(device);
        ASSERT_EQ(segs.size(), 2u) << c.what;
        EXPECT_EQ(segs[0].x1, s.CalcXPos(1)) << c.what;
        EXPECT_EQ(segs[1].x0, s.CalcXPos(3)) << c.what;
        EXPECT_EQ(segs[1].x1, s.CalcXPos(4)) << c.what;
        chart.RemoveAllSeries();
    }
}

TEST_F(SeriesDrawTest, FarValuesAreClippedKeepingTheDirection) {
    TLineSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(1, 1e12);  // millions of pixels above the plot
    s.AddXY(2, 0);
    s.AddXY(3, -1e12);
    FixAxes(0, 4, 0, 2);
    DrawRecorded();
    const auto segs = Segments(device);
    const TRect& r = chart.ChartRect;
    ASSERT_EQ(segs.size(), 3u);
    // Up from point 0 to the top edge, almost vertically; down again to point 2.
    EXPECT_EQ(segs[0].x0, s.CalcXPos(0));
    EXPECT_EQ(segs[0].y0, s.CalcYPos(0));
    EXPECT_LE(segs[0].y1, r.Top);
    EXPECT_GE(segs[0].y1, r.Top - 5);
    EXPECT_LE(std::abs(segs[0].x1 - s.CalcXPos(0)), 1);
    EXPECT_LE(std::abs(segs[1].x0 - s.CalcXPos(2)), 1);
    EXPECT_EQ(segs[1].x1, s.CalcXPos(2));
    EXPECT_EQ(segs[1].y1, s.CalcYPos(2));
    // Then down through the bottom edge.
    EXPECT_EQ(segs[2].x0, s.CalcXPos(2));
    EXPECT_GE(segs[2].y1, r.Bottom);
    EXPECT_LE(segs[2].y1, r.Bottom + 5);
    for (const auto& g : segs) {
        EXPECT_LE(std::abs(g.y0), 1000);
        EXPECT_LE(std::abs(g.y1), 1000);
    }
}

TEST_F(SeriesDrawTest, ValueToPixelPositionsThroughTheBoundAxes) {
    TPointSeries s, r;
    chart.AddSeries(&s);
    chart.AddSeries(&r);
    r.SetVertAxis(aRightAxis);
    s.AddXY(0, 0);
    r.AddXY(0, 0);
    FixAxes(0, 8, 0, 4);
    chart.RightAxis->SetMinMax(-100, 100);
    DrawRecorded();
    const auto& b = *chart.BottomAxis;
    const auto& l = *chart.LeftAxis;
    struct Case {
        double x, y;
    };
    for (const Case c : {Case{0, 0}, Case{8, 4}, Case{2, 1}, Case{6, 3.5}}) {
        const double px = b.PixelStart + c.x / 8 * (b.PixelEnd - b.PixelStart);
        const double py = l.PixelEnd - c.y / 4 * (l.PixelEnd - l.PixelStart);
        EXPECT_EQ(s.CalcXPosValue(c.x), static_cast<int>(std::nearbyint(px))) << c.x;
        EXPECT_EQ(s.CalcYPosValue(c.y), static_cast<int>(std::nearbyint(py))) << c.y;
        EXPECT_NEAR(s.XScreenToValue(s.CalcXPosValue(c.x)), c.x, 8.0 / (b.PixelEnd - b.PixelStart));
    }
    // The right axis maps its own range onto the same rows: its middle is the
    // plot's middle.
    const auto& ra = *chart.RightAxis;
    EXPECT_NEAR(r.CalcYPosValue(0), (ra.PixelStart + ra.PixelEnd) / 2.0, 0.5);
    EXPECT_EQ(r.CalcYPosValue(100), ra.PixelStart);
}

// ----- clicks -----

TEST_F(SeriesDrawTest, PointerClickIsStrictlyInsideTheHalfSizes) {
    TPointSeries s;
    chart.AddSeries(&s);
    s.Pointer->SetHorizSize(3);
    s.Pointer->SetVertSize(2);
    s.AddXY(1, 1);
    FixAxes(0, 2, 0, 2);
    DrawRecorded();
    const int px = s.CalcXPos(0), py = s.CalcYPos(0);
    struct Case {
        int dx, dy, expected;
    };
    const Case cases[] = {{0, 0, 0},  {2, 0, 0},  {-2, 0, 0}, {3, 0, -1}, {-3, 0, -1},
                          {0, 1, 0},  {0, -1, 0}, {0, 2, -1}, {0, -2, -1}, {2, 1, 0}};
    for (const auto& c : cases) EXPECT_EQ(s.Clicked(px + c.dx, py + c.dy), c.expected) << c.dx << "," << c.dy;
}

TEST_F(SeriesDrawTest, OverlappingMarkersReportTheLowestIndexAndNullsAreNeverHit) {
    TPointSeries s;
    chart.AddSeries(&s);
    s.XValues->Order = loNone;
    s.AddXY(1, 1, "", clNone);
    s.AddXY(1, 1);
    s.AddXY(1, 1);
    FixAxes(0, 2, 0, 2);
    DrawRecorded();
    EXPECT_EQ(s.Clicked(s.CalcXPos(1), s.CalcYPos(1)), 1);
}

TEST_F(SeriesDrawTest, LineSeriesClickOnASegmentGivesItsFirstPoint) {
    TLineSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 1);
    s.AddXY(2, 1);
    s.AddXY(4, 1);
    FixAxes(0, 4, 0, 2);
    DrawRecorded();
    const int y = s.CalcYPos(0);
    EXPECT_EQ(s.Clicked((s.CalcXPos(0) + s.CalcXPos(1)) / 2, y), 0);
    EXPECT_EQ(s.Clicked((s.CalcXPos(1) + s.CalcXPos(2)) / 2, y), 1);
    EXPECT_EQ(s.Clicked(s.CalcXPos(1), y), 1);  // exactly on a point
    EXPECT_EQ(s.Clicked((s.CalcXPos(0) + s.CalcXPos(1)) / 2, y + 3), -1);
}

TEST_F(SeriesDrawTest, PointsClippedAwayOutsideThePlotAreNotHit) {
    // A zoomed Nyquist plot: the measured series keeps the order of the
    // data, so every point is drawn, but the one at Z' = 10.2 lies right of
    // the plot, where the legend would be.
    struct Case {
        const char* what;
        bool clip;
        int outside;  // what a press on the far point finds
    } cases[] = {{"clipped to the plot", true, -1}, {"drawn beyond the plot", false, 1}};
    for (const auto& c : cases) {
        TPointSeries s;
        chart.AddSeries(&s);
        s.XValues->Order = loNone;
        s.AddXY(5, 5);
        s.AddXY(10.2, 5);
        chart.ClipPoints = c.clip;
        FixAxes(0, 10, 0, 10);
        DrawRecorded();
        const TRect& r = chart.ChartRect;
        const int x = s.CalcXPos(1), y = s.CalcYPos(1);
        ASSERT_GT(x, r.Right + s.Pointer->HorizSize) << c.what;
        ASSERT_LT(x, chart.Width) << c.what;
        EXPECT_EQ(s.Clicked(x, y), c.outside) << c.what;
        EXPECT_EQ(chart.CalcClickedPart(TPoint{x, y}).HitKind == cpSeries, c.outside != -1) << c.what;
        // The point inside is found either way.
        EXPECT_EQ(s.Clicked(s.CalcXPos(0), s.CalcYPos(0)), 0) << c.what;
        // So is a point at the axes' maximum, on the plot's right and top
        // edges (a Bode plot's highest frequency), pressed at its centre.
        s.AddXY(10, 10);
        DrawRecorded();
        EXPECT_EQ(s.Clicked(s.CalcXPos(2), s.CalcYPos(2)), 2) << c.what;
        // And one at the minimum, on the left and bottom edges.
        s.AddXY(0, 0);
        DrawRecorded();
        EXPECT_EQ(s.Clicked(s.CalcXPos(3), s.CalcYPos(3)), 3) << c.what;
        chart.RemoveAllSeries();
    }
}

TEST_F(SeriesDrawTest, PressTestsTheSeriesDrawnLastFirstAfterTheMouseDownEvent) {
    TPointSeries a, b;
    chart.AddSeries(&a);
    chart.AddSeries(&b);
    a.AddXY(1, 1);
    b.AddXY(1, 1);
    FixAxes(0, 2, 0, 2);
    DrawRecorded();
    std::vector<std::string> log;
    chart.OnMouseDown = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { log.push_back("down"); };
    chart.OnClickSeries = [&](TCustomChart*, TChartSeries* s, int index, TMouseButton, TShiftState, int, int) {
        log.push_back(std::string(s == &b ? "b" : "a") + std::to_string(index));
    };
    chart.MouseDown(mbLeft, ssLeft, a.CalcXPos(0), a.CalcYPos(0));
    EXPECT_EQ(log, (std::vector<std::string>{"down", "b0"}));
    b.SetActive(false);
    log.clear();
    chart.MouseDown(mbLeft, ssLeft, a.CalcXPos(0), a.CalcYPos(0));
    EXPECT_EQ(log, (std::vector<std::string>{"down", "a0"}));
    const auto part = chart.CalcClickedPart(TPoint{chart.ChartRect.Left + 1, chart.ChartRect.Top + 1});
    EXPECT_EQ(part.HitKind, cpChartRect);
    EXPECT_EQ(part.HitIndex, -1);
}

// ----- legend and layout -----

class LayoutTest : public RecordedChartTest {
protected:
    // Height of a text line in this font on the recording device.
    int FontHeightOf(const TFont& font) {
        platform::Canvas canvas(&device);
        chart.Canvas->SetCanvas(&canvas);
        chart.FontCanvas(font);
        const int h = chart.Canvas->FontHeight();
        chart.Canvas->SetCanvas(nullptr);
        return h;
    }
};

TEST_F(LayoutTest, TitleLinesTakeTheirRoomAboveThePlot) {
    chart.AxisVisible = false;
    for (int lines = 0; lines <= 3; ++lines) {
        chart.Title->Clear();
        for (int k = 0; k < lines; ++k) chart.Title->Add("Line " + std::to_string(k));
        DrawRecorded();
        const int h = FontHeightOf(*chart.Title->Font);
        const int top = MulDiv(4, chart.Height, 100);
        EXPECT_EQ(chart.ChartRect.Top, lines == 0 ? top : top + lines * h + 5) << lines;
        // The lines themselves, centred, one below the other.
        const auto texts = TextCalls(device);
        ASSERT_EQ(texts.size(), static_cast<std::size_t>(lines));
        for (int k = 0; k < lines; ++k) EXPECT_EQ(texts[static_cast<std::size_t>(k)].y, top + k * h);
    }
}

TEST_F(LayoutTest, RightLegendTakesItsRoomAndAMargin) {
    chart.AxisVisible = false;
    chart.Title->Visible = false;
    chart.Legend->Visible = true;
    chart.Legend->SetLegendStyle(lsSeries);
    std::vector<std::unique_ptr<TPointSeries>> series;
    for (int count : {1, 3, 28}) {
        chart.RemoveAllSeries();
        series.clear();
        for (int i = 0; i < count; ++i) {
            series.push_back(std::make_unique<TPointSeries>());
            chart.AddSeries(series.back().get());
            series.back()->SetTitle(i == 0 ? "Msd." : i == 1 ? "Calc." : "S" + std::to_string(i + 1));
            series.back()->AddXY(i, i);
        }
        DrawRecorded();
        const TRect& lr = chart.Legend->LegendRect;
        const int plotWidthBefore = chart.Width - 2 * MulDiv(3, chart.Width, 100);
        EXPECT_EQ(chart.ChartRect.Right, lr.Left - MulDiv(3, plotWidthBefore, 100)) << count;
        EXPECT_EQ(lr.Right, chart.Width - MulDiv(3, chart.Width, 100) - 2 - chart.Legend->ShadowSize) << count;
        const int h = FontHeightOf(*chart.Legend->Font);
        const int top = MulDiv(10, chart.Height, 100);
        const int room = (chart.Height - MulDiv(4, chart.Height, 100) - top - 2) / h;
        EXPECT_EQ(chart.Legend->RowCount, std::min(count, room)) << count;
        const auto texts = TextCalls(device);
        ASSERT_EQ(texts.size(), static_cast<std::size_t>(std::min(count, room)));
        for (std::size_t k = 0; k < texts.size(); ++k) EXPECT_EQ(texts[k].y, lr.Top + 1 + static_cast<int>(k) * h);
        EXPECT_EQ(texts[0].text, "Msd.");
        EXPECT_EQ(chart.Legend->Clicked(texts[0].x, texts[0].y + 2), 0);
        if (count > 1) {
            EXPECT_EQ(chart.Legend->Clicked(texts[1].x, texts[1].y + 2), 1);
        }
    }
}

// The rows of a side legend leave room for the frame's pen on both ends,
// whether the frame is drawn or not.
TEST_F(LayoutTest, SideLegendRowsLeaveRoomForTheFramePen) {
    chart.AxisVisible = false;
    chart.Title->Visible = false;
    chart.Legend->Visible = true;
    chart.Legend->SetLegendStyle(lsSeries);
    chart.Legend->Frame->SetVisible(false);
    std::vector<std::unique_ptr<TPointSeries>> series;
    for (int i = 0; i < 40; ++i) {
        series.push_back(std::make_unique<TPointSeries>());
        chart.AddSeries(series.back().get());
        series.back()->AddXY(i, i);
    }
    const int h = FontHeightOf(*chart.Legend->Font);
    for (int height = 200; height < 200 + 2 * h; ++height) {
        chart.Height = height;
        device = platform::RecordingDevice{chart.Width, height};
        DrawRecorded();
        const int top = MulDiv(10, height, 100);
        const int bottom = height - MulDiv(4, height, 100);
        EXPECT_EQ(chart.Legend->RowCount, (bottom - top - 2) / h) << height;
    }
}

TEST_F(LayoutTest, RightAxisAndItsRoomVanishWithoutAnActiveSeriesOnIt) {
    TPointSeries left, right;
    chart.AddSeries(&left);
    chart.AddSeries(&right);
    right.SetVertAxis(aRightAxis);
    left.AddXY(1, 1);
    left.AddXY(2, 2);
    right.AddXY(1, 100000);
    right.AddXY(2, 200000);
    DrawRecorded();
    const int withRight = chart.ChartRect.Right;
    EXPECT_TRUE(chart.IsAxisVisible(chart.RightAxis));
    right.SetActive(false);
    DrawRecorded();
    EXPECT_FALSE(chart.IsAxisVisible(chart.RightAxis));
    EXPECT_GT(chart.ChartRect.Right, withRight + 20);
    for (const auto& t : Texts(device)) EXPECT_EQ(t.find("100,000"), std::string::npos);
}

TEST(ChartLegend, InvalidSettingsAreRefusedWithTheirMessages) {
    TChart chart;
    auto& l = *chart.Legend;
    auto message = [](auto f) {
        try {
            f();
        } catch (const LegendException& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(message([&] { l.SetTopLeftPos(101); }), "Top Legend Position must be between 0 and 100 %");
    EXPECT_EQ(message([&] { l.SetColorWidth(-1); }), "Legend Color Width must be between 0 and 100 %");
    EXPECT_EQ(message([&] { l.SetFirstValue(-1); }), "First Legend Value must be > 0");
    EXPECT_NO_THROW(l.SetFirstValue(0));
    EXPECT_EQ(l.TopPos, 10);
    EXPECT_EQ(l.ColorWidth, 12);
    TPointSeries p;
    EXPECT_THROW(p.Pointer->SetHorizSize(0), ChartException);
    EXPECT_EQ(p.Pointer->HorizSize, 4);
    p.Pointer->ChangeHorizSize(0);
    EXPECT_EQ(p.Pointer->HorizSize, 0);
}

TEST(ChartLegend, ValueTextsAndAutomaticStyle) {
    TChart chart;
    TPointSeries s, t;
    chart.AddSeries(&s);
    chart.AddSeries(&t);
    s.AddXY(1, 1.5);
    s.AddXY(2, 2500, "big");
    s.AddXY(3, kNaN);
    EXPECT_EQ(s.LegendString(0, ltsLeftValue), "1.5 ");
    EXPECT_EQ(s.LegendString(1, ltsLeftValue), "2,500 big");
    EXPECT_EQ(s.LegendString(1, ltsRightValue), "big 2,500");
    EXPECT_EQ(s.LegendString(1, ltsPlain), "big");
    EXPECT_EQ(s.LegendItemColor(2), clNone);  // not a number: a null point
    chart.Legend->CalcLegendStyle();
    EXPECT_EQ(chart.Legend->EffectiveStyle, lsSeries);
    t.SetActive(false);
    chart.Legend->CalcLegendStyle();
    EXPECT_EQ(chart.Legend->EffectiveStyle, lsValues);
    EXPECT_EQ(chart.Legend->TotalLegendItems(), 3);
    s.SetActive(false);
    EXPECT_EQ(chart.GetASeries(), nullptr);
    EXPECT_EQ(chart.Legend->TotalLegendItems(), 0);
}

TEST(ChartRegistry, RegistrationsAndNewSeries) {
    RegisterStandardSeries();
    RegisterStandardSeries();  // twice changes nothing
    const auto& types = ChartSeriesTypes();
    ASSERT_NE(types.FindSeriesClass("TLineSeries"), nullptr);
    ASSERT_NE(types.FindSeriesClass("TPointSeries"), nullptr);
    EXPECT_EQ(types.FindSeriesClass("TPointSeries")->TypeDescription, "Point");
    const int before = types.Count();
    RegisterChartSeries("TLineSeries", [] { return new TLineSeries; }, "Line", "Standard", 2);
    EXPECT_EQ(types.Count(), before);
    RegisterChartSeries("TTestSeries", [] { return new TPointSeries; }, "A description of 25 chars", "Test", 1);
    EXPECT_EQ(types.FindSeriesClass("TTestSeries")->TypeDescription, "A description of 25 ");
    UnRegisterChartSeries({"TTestSeries"});
    EXPECT_EQ(types.FindSeriesClass("TTestSeries"), nullptr);
    RegisterChartBasicFunction("TAddTeeFunction", "Add");
    EXPECT_EQ(GetChartFunctionDescription("TAddTeeFunction"), "Add");

    TChart chart;
    auto s1 = CreateNewSeries(&chart, "TLineSeries");
    auto s2 = CreateNewSeries(&chart, "TPointSeries");
    EXPECT_EQ(s1->Name, "Series1");
    EXPECT_EQ(s2->Name, "Series2");
    EXPECT_NE(dynamic_cast<TLineSeries*>(s1.get()), nullptr);
    EXPECT_EQ(chart.SeriesCount(), 2);
    EXPECT_THROW(CreateNewSeries(&chart, "TNoSuchSeries"), ChartException);
    chart.SeriesDown(s1.get());
    EXPECT_EQ(chart.GetSeries(1), s1.get());
    chart.SeriesDown(s1.get());  // already last
    EXPECT_EQ(chart.GetSeries(1), s1.get());
}

TEST_F(LayoutTest, FootInvertedLegendAndLegendWithoutResize) {
    chart.AxisVisible = false;
    chart.Title->Visible = false;
    chart.Legend->Visible = true;
    chart.Legend->SetLegendStyle(lsSeries);
    TPointSeries a, b, c;
    for (auto* s : {&a, &b, &c}) {
        chart.AddSeries(s);
        s->AddXY(1, 1);
    }
    a.SetTitle("Msd.");
    b.SetTitle("Calc.");
    c.SetTitle("Msd. angle");
    chart.Foot->Add("first");
    chart.Foot->Add("second");
    DrawRecorded();
    const int hFoot = FontHeightOf(*chart.Foot->Font);
    const int bottom = chart.Height - MulDiv(4, chart.Height, 100);
    auto texts = TextCalls(device);
    auto find = [&](const std::string& t) {
        for (const auto& call : texts)
            if (call.text == t) return call;
        return TextCall{-1, -1, t};
    };
    EXPECT_EQ(find("second").y, bottom - hFoot);
    EXPECT_EQ(find("first").y, bottom - 2 * hFoot);
    EXPECT_EQ(chart.ChartRect.Bottom, bottom - 2 * hFoot - 5);
    EXPECT_LT(find("Msd.").y, find("Calc.").y);
    EXPECT_LT(find("Calc.").y, find("Msd. angle").y);

    // Inverted: the last item first; a click still counts from the top.
    chart.Legend->SetInverted(true);
    DrawRecorded();
    texts = TextCalls(device);
    EXPECT_GT(find("Msd.").y, find("Calc.").y);
    EXPECT_GT(find("Calc.").y, find("Msd. angle").y);
    const TextCall top = find("Msd. angle");
    EXPECT_EQ(chart.Legend->Clicked(top.x, top.y + 2), 0);

    // Without ResizeChart the plot keeps its width but for the margin.
    chart.Legend->SetResizeChart(false);
    DrawRecorded();
    const int widthBefore = chart.Width - 2 * MulDiv(3, chart.Width, 100);
    EXPECT_EQ(chart.ChartRect.Right, chart.Width - MulDiv(3, chart.Width, 100) - MulDiv(3, widthBefore, 100));
}

TEST(ChartClass, BackColourFreeColoursAndSeriesOrder) {
    TChart chart;
    chart.Loading = true;
    chart.SetBackColor(clWhite);  // as a stored definition sets it
    EXPECT_EQ(chart.BackWall->Brush->GetStyle(), TBrushStyle::Clear);
    chart.Loaded();
    chart.SetBackColor(clYellow);
    EXPECT_EQ(chart.BackWall->Brush->GetStyle(), TBrushStyle::Solid);
    EXPECT_EQ(chart.GetBackColor(), clYellow);
    chart.Color = clRed;
    EXPECT_FALSE(chart.IsFreeSeriesColor(clRed, true));
    EXPECT_TRUE(chart.IsFreeSeriesColor(clRed, false));
    EXPECT_FALSE(chart.IsFreeSeriesColor(clYellow, true));
    TPointSeries a, b;
    chart.AddSeries(&a);
    chart.AddSeries(&b);
    EXPECT_NE(a.SeriesColor, clRed);  // a free palette colour
    EXPECT_NE(a.SeriesColor, b.SeriesColor);
    chart.SeriesUp(&a);  // already first
    EXPECT_EQ(chart.GetSeries(0), &a);
    chart.SeriesUp(&b);
    EXPECT_EQ(chart.GetSeries(0), &b);
}

// A chart copied from another one takes its axes and panel settings with its
// titles, legend and walls, but none of its series.
TEST(ChartClass, AssignCopiesAxesPanelAndDecoration) {
    TChart from, to;
    TPointSeries s;
    from.AddSeries(&s);
    from.LeftAxis->SetLogarithmic(true);
    from.BottomAxis->SetMinMax(2, 8);
    from.View3DWalls = false;
    from.ClipPoints = false;
    from.MaxPointsPerPage = 5;
    from.MarginLeft = 7;
    from.View3D = false;
    from.Title->Add("Nyquist");
    from.Legend->SetAlignment(laBottom);
    from.BackWall->SetColor(clWhite);
    to.Assign(from);
    EXPECT_TRUE(to.LeftAxis->Logarithmic());
    EXPECT_FALSE(to.BottomAxis->Automatic());
    EXPECT_DOUBLE_EQ(to.BottomAxis->Minimum(), 2);
    EXPECT_DOUBLE_EQ(to.BottomAxis->Maximum(), 8);
    EXPECT_FALSE(to.View3DWalls);
    EXPECT_FALSE(to.ClipPoints);
    EXPECT_EQ(to.MaxPointsPerPage, 5);
    EXPECT_EQ(to.MarginLeft, 7);
    EXPECT_FALSE(to.View3D);
    EXPECT_EQ(to.Title->Text, std::vector<std::string>{"Nyquist"});
    EXPECT_EQ(to.Legend->Alignment, laBottom);
    EXPECT_EQ(to.BackWall->Color, clWhite);
    EXPECT_EQ(to.SeriesCount(), 0);
    EXPECT_EQ(from.SeriesCount(), 1);
}

TEST(ChartRegistry, CloneAndChangeOfSeriesType) {
    RegisterStandardSeries();
    TChart chart;
    TPointSeries first;
    chart.AddSeries(&first);
    auto s = CreateNewSeries(&chart, "TPointSeries");
    s->SetTitle("Msd.");
    s->SetVertAxis(aRightAxis);
    s->XValues->Order = loNone;
    s->AddXY(3, 30, "a", clRed);
    s->AddXY(1, 10, "b");
    int clicks = 0;
    s->OnClick = [&](TChartSeries*, int, TMouseButton, TShiftState, int, int) { ++clicks; };
    const std::string name = s->Name;

    const auto copy = CloneChartSeries(*s);
    EXPECT_EQ(copy->ClassName(), "TPointSeries");
    EXPECT_EQ(copy->Title, "Msd.");
    EXPECT_EQ(copy->VertAxisObject, chart.RightAxis);
    ASSERT_EQ(copy->Count(), 2);
    EXPECT_EQ(copy->GetxValue(0), 3);  // the source's order
    EXPECT_EQ(copy->GetValueColor(0), clRed);
    EXPECT_EQ(copy->GetXLabel(1), "b");

    TChartSeries* old = s.get();
    ChangeSeriesType(s, "TPointSeries");  // same class: nothing
    EXPECT_EQ(s.get(), old);
    const int place = chart.SeriesList.IndexOf(old);
    ChangeSeriesType(s, "TLineSeries");
    EXPECT_NE(dynamic_cast<TLineSeries*>(s.get()), nullptr);
    EXPECT_EQ(chart.SeriesList.IndexOf(s.get()), place);
    EXPECT_EQ(s->Name, name);
    EXPECT_EQ(s->Title, "Msd.");
    EXPECT_EQ(s->Count(), 2);
    ASSERT_TRUE(s->OnClick);
    s->OnClick(s.get(), 0, mbLeft, 0, 0, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(static_cast<TLineSeries*>(s.get())->Pointer->Visible);  // from a point series
    EXPECT_THROW(ChangeSeriesType(s, "TNoSuchSeries"), ChartException);
    EXPECT_NE(dynamic_cast<TLineSeries*>(s.get()), nullptr);
}

// A series computed from another one, and followed by a third, keeps its
// place in that chain when it changes its kind.
TEST(ChartRegistry, ChangeOfSeriesTypeKeepsSourceFunctionMarksAndFollowers) {
    RegisterStandardSeries();
    TChart chart;
    TPointSeries source;
    chart.AddSeries(&source);
    source.AddXY(1, 10);
    source.AddXY(2, 30);
    auto s = CreateNewSeries(&chart, "TPointSeries");
    s->SetFunction(std::make_unique<TAverageChartFunction>());
    s->SetDataSource(&source);
    s->Marks->SetVisible(true);
    int markTexts = 0;
    s->OnGetMarkText = [&](TChartSeries*, int, std::string&) { ++markTexts; };
    TPointSeries follower;
    chart.AddSeries(&follower);
    follower.SetDataSource(s.get());
    ASSERT_EQ(s->Count(), 1);
    ASSERT_EQ(follower.Count(), 1);

    ChangeSeriesType(s, "TLineSeries");
    ASSERT_NE(dynamic_cast<TLineSeries*>(s.get()), nullptr);
    EXPECT_EQ(s->DataSource(), &source);
    ASSERT_NE(s->SeriesFunction, nullptr);
    EXPECT_EQ(s->SeriesFunction->ParentSeries, s.get());
    EXPECT_TRUE(s->Marks->Visible);
    EXPECT_EQ(follower.DataSource(), s.get());
    EXPECT_EQ(follower.DataSourceList.size(), 1u);
    EXPECT_EQ(source.LinkedSeries, std::vector<TChartSeries*>{s.get()});
    EXPECT_EQ(s->LinkedSeries, std::vector<TChartSeries*>{&follower});
    ASSERT_TRUE(s->OnGetMarkText);
    std::string text;
    s->OnGetMarkText(s.get(), 0, text);
    EXPECT_EQ(markTexts, 1);

    // The average of 10, 30 and 50 reaches the changed series (a line shows
    // it across the source's range) and its follower.
    source.AddXY(3, 50);
    source.RefreshSeries();
    ASSERT_GE(s->Count(), 1);
    ASSERT_EQ(follower.Count(), s->Count());
    for (int i = 0; i < s->Count(); ++i) {
        EXPECT_DOUBLE_EQ(s->GetyValue(i), 30.0) << i;
        EXPECT_DOUBLE_EQ(follower.GetxValue(i), s->GetxValue(i)) << i;
        EXPECT_DOUBLE_EQ(follower.GetyValue(i), 30.0) << i;
    }
}

TEST_F(LayoutTest, EqualEndsOfAFixedRangeGiveOneLabel) {
    TPointSeries s;
    chart.AddSeries(&s);
    s.AddXY(1, 1);
    for (double v : {16385.0, 0.5, -3.0, 1e20}) {
        chart.BottomAxis->SetMinMax(v, v);
        const auto labels = LabelsOf(chart.BottomAxis);
        EXPECT_EQ(labels.size(), 1u) << v;
        EXPECT_EQ(chart.BottomAxis->TickPositions().size(), 1u) << v;
    }
}

}  // namespace
}  // namespace pellucor::chart
