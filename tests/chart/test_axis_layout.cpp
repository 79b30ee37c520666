// Axis layout and text placement, series margins, log label loops, paging,
// the hit test and scrolling, and the panel's buffered repaint and
// background. Expected values are worked out by hand from the layout rules.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "chart/RecordedChartTest.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::chart {
namespace {

using platform::RecordingDevice;
using platform::TA_BOTTOM;
using platform::TA_CENTER;
using platform::TA_LEFT;
using platform::TA_RIGHT;
using platform::TA_TOP;

// A series that counts its drawn points and can ask for pixel margins.
class MarginSeries : public TChartSeries {
public:
    int drawn = 0;
    int marginStart = 0, marginEnd = 0;
    void DrawValue(int) override { ++drawn; }
    void CalcHorizMargins(int& left, int& right) override {
        left = marginStart;
        right = marginEnd;
    }
    void CalcVerticalMargins(int& top, int& bottom) override {
        top = marginEnd;
        bottom = marginStart;
    }
};

// The colour of a recorded "SelectPen style width RRGGBB mode".
std::string PenColour(const std::string& call) {
    std::istringstream in(call);
    std::string word, style, width, colour;
    in >> word >> style >> width >> colour;
    return colour;
}

class AxisLayoutTest : public RecordedChartTest {};

// ---------------------------------------------------------------------------
// Writing a label or title beside each axis

struct PlacementCase {
    char axis;  // 'b' bottom, 't' top, 'l' left, 'r' right
    int angle;
    const char* text;
    int align;
    std::vector<TextCall> calls;  // worked out by hand with h = 11, h2 = 5
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.axis << " axis, angle " << c.angle << ", " << (std::string(c.text).find('\r') != std::string::npos ? 2 : 1)
        << " line(s)";
}

class AxisLabelPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(AxisLabelPlacement, AlignmentAndCorrectionsPerAxisSideAndAngle) {
    const PlacementCase& k = GetParam();
    TChart chart;
    chart.View3D = false;
    chart.Canvas->SetUseBuffer(false);
    RecordingDevice dev{400, 300};
    platform::Canvas canvas(&dev);
    chart.Canvas->InitWindow(&canvas, nullptr, clWhite, false, {0, 0, 400, 300});
    chart.FontCanvas(*chart.BottomAxis->LabelsFont);
    ASSERT_EQ(chart.Canvas->FontHeight(), 11);  // Arial 8 at 96 pixels per inch on the recorder
    TCustomChartAxis* axis = k.axis == 'b' ? chart.BottomAxis
                             : k.axis == 't' ? chart.TopAxis
                             : k.axis == 'l' ? static_cast<TCustomChartAxis*>(chart.LeftAxis)
                                             : chart.RightAxis;
    dev.recordState = true;
    axis->DrawAxisLabel(100, 200, k.angle, k.text);
    const auto aligns = dev.CallsStartingWith("SetTextAlign ");
    ASSERT_EQ(aligns.size(), 2u);
    EXPECT_EQ(aligns.front(), "SetTextAlign " + std::to_string(k.align));
    EXPECT_EQ(aligns.back(), "SetTextAlign 0");  // back to left-top afterwards
    EXPECT_EQ(TextCalls(dev), k.calls);
    if (k.angle != 0) {
        // Rotated lines go out with a font turned by the angle.
        const std::string tenths = std::to_string(k.angle * 10);
        bool turned = false;
        for (const auto& f : dev.CallsStartingWith("SelectFont "))
            turned = turned || f.find(" " + tenths + " " + tenths) != std::string::npos;
        EXPECT_EQ(turned, !k.calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AxisLabelPlacement,
    ::testing::Values(
        // Bottom axis: 0 centre-top; 90 right-top, X - h2; 180 centre-bottom; 270 left-top, X + h2.
        PlacementCase{'b', 0, "ab", TA_CENTER | TA_TOP, {{100, 200, "ab"}}},
        PlacementCase{'b', 90, "ab", TA_RIGHT | TA_TOP, {{95, 200, "ab"}}},
        PlacementCase{'b', 180, "ab", TA_CENTER | TA_BOTTOM, {{100, 200, "ab"}}},
        PlacementCase{'b', 270, "ab", TA_LEFT | TA_TOP, {{105, 200, "ab"}}},
        PlacementCase{'b', 45, "ab", TA_LEFT | TA_TOP, {{100, 200, "ab"}}},
        // Top axis.
        PlacementCase{'t', 0, "ab", TA_CENTER | TA_BOTTOM, {{100, 200, "ab"}}},
        PlacementCase{'t', 90, "ab", TA_LEFT | TA_TOP, {{95, 200, "ab"}}},
        PlacementCase{'t', 180, "ab", TA_CENTER | TA_TOP, {{100, 200, "ab"}}},
        PlacementCase{'t', 270, "ab", TA_RIGHT | TA_TOP, {{105, 200, "ab"}}},
        // Left axis: 0 right-top, centred on the position (Y - h2).
        PlacementCase{'l', 0, "ab", TA_RIGHT | TA_TOP, {{100, 195, "ab"}}},
        PlacementCase{'l', 90, "ab", TA_CENTER | TA_BOTTOM, {{100, 200, "ab"}}},
        PlacementCase{'l', 180, "ab", TA_LEFT | TA_TOP, {{100, 205, "ab"}}},
        PlacementCase{'l', 270, "ab", TA_CENTER | TA_TOP, {{100, 200, "ab"}}},
        // Right axis.
        PlacementCase{'r', 0, "ab", TA_LEFT | TA_TOP, {{100, 195, "ab"}}},
        PlacementCase{'r', 90, "ab", TA_CENTER | TA_TOP, {{100, 200, "ab"}}},
        PlacementCase{'r', 180, "ab", TA_RIGHT | TA_TOP, {{100, 205, "ab"}}},
        PlacementCase{'r', 270, "ab", TA_CENTER | TA_BOTTOM, {{100, 200, "ab"}}},
        // Two lines. Bottom: Y - h, then each line one h lower.
        PlacementCase{'b', 0, "ab\rcd", TA_CENTER | TA_TOP, {{100, 200, "ab"}, {100, 211, "cd"}}},
        // Top: Y - 2h, the block ends at the axis.
        PlacementCase{'t', 0, "ab\rcd", TA_CENTER | TA_BOTTOM, {{100, 189, "ab"}, {100, 200, "cd"}}},
        // Left: Y - h2 - Round(11 * 0.5 * 3) = 200 - 5 - 16 (16.5 to the even neighbour).
        PlacementCase{'l', 0, "ab\rcd", TA_RIGHT | TA_TOP, {{100, 190, "ab"}, {100, 201, "cd"}}},
        // Left at 90: X - 2h, then each line one h to the right.
        PlacementCase{'l', 90, "ab\rcd", TA_CENTER | TA_BOTTOM, {{89, 200, "ab"}, {100, 200, "cd"}}},
        // Bottom at 90: X - h2 - Round(16.5) = 79, lines at 90 and 101.
        PlacementCase{'b', 90, "ab\rcd", TA_RIGHT | TA_TOP, {{90, 200, "ab"}, {101, 200, "cd"}}},
        // An empty text writes nothing.
        PlacementCase{'b', 0, "", TA_CENTER | TA_TOP, {}}));

TEST_F(AxisLayoutTest, TitleLabelAndTickBandsFromThePanelEdgeInward) {
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(10, 100);
    chart.BottomAxis->Title->SetCaption("f");
    chart.LeftAxis->Title->SetCaption("Z");
    DrawRecorded();
    auto& b = *chart.BottomAxis;
    auto& l = *chart.LeftAxis;
    // Bottom: 343 - title 11 = 332, - labels 11 = 321, - axis 2 and ticks 4 = 315.
    EXPECT_EQ(b.TitlePos, 332);
    EXPECT_EQ(b.LabelsPos, 321);
    EXPECT_EQ(chart.ChartRect.Bottom, 315);
    // Left: 20 + title 11 = 31; labels as wide as "100" plus a blank: the
    // recorder measures 11 / 2 a character, so 33 / 2 + 11 / 2 = 16 + 5.
    EXPECT_EQ(l.TitlePos, 31);
    EXPECT_EQ(l.LabelsPos, 52);
    EXPECT_EQ(chart.ChartRect.Left, 58);

    const auto calls = TextCalls(device);
    auto find = [&](const std::string& text) {
        for (const auto& c : calls)
            if (c.text == text) return c;
        ADD_FAILURE() << "no text " << text;
        return TextCall{};
    };
    // The bottom title is centred under the axis with its top at TitlePos.
    EXPECT_EQ(find("f"), (TextCall{b.PixelCentre, 332, "f"}));
    // The left title reads upwards, its lower side (toward the plot) at TitlePos.
    EXPECT_EQ(find("Z"), (TextCall{31, l.PixelCentre, "Z"}));
    // Bottom labels hang from LabelsPos; left labels end at LabelsPos, centred on their value.
    EXPECT_EQ(find("0").x, b.PixelStart);
    EXPECT_EQ(find("0").y, 321);
    EXPECT_EQ(find("100"), (TextCall{52, l.PixelStart - 5, "100"}));
}

TEST_F(AxisLayoutTest, LogarithmicLabelsKeepOffTheAxisTitle) {
    // |Z| of a battery on a logarithmic axis: the decades below 1 are the
    // widest labels, and their band must hold them clear of the title.
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(1, 1);
    auto& l = *chart.LeftAxis;
    l.Title->SetCaption("|Z|");
    l.SetMinMax(1, 10);
    l.SetLogarithmic(true);
    for (auto& a : chart.PanelAxes) a->SetVisible(a.get() == &l);
    const struct {
        double lo, hi;
        const char* widest;
    } cases[] = {{0.001, 10, "0.001"}, {0.001, 100, "0.001"}, {0.01, 1, "0.01"}, {0.01, 1000, "1,000"}};
    for (const auto& c : cases) {
        l.SetMinMax(c.lo, c.hi);
        DrawRecorded();
        // The recorder measures 11 / 2 a character; the band holds the widest label and a blank.
        const int widest = static_cast<int>(std::string(c.widest).size()) * 11 / 2;
        EXPECT_EQ(l.LabelsPos - l.TitlePos, widest + 5) << c.lo << ".." << c.hi;
        for (const auto& t : TextCalls(device)) {
            if (t.text == "|Z|") continue;
            EXPECT_GE(t.x - static_cast<int>(t.text.size()) * 11 / 2, l.TitlePos) << t.text;
        }
    }
}

TEST_F(AxisLayoutTest, PositionPercentMovesTheAxisLineIntoThePlot) {
    const TRect r{0, 50, 400, 250};  // 400 wide, 200 high
    struct Case {
        TCustomChartAxis* axis;
        double percent;
        int expected;
    };
    const Case cases[] = {
        {chart.BottomAxis, 50, 150},  // 100 above the bottom edge
        {chart.TopAxis, 50, 150},     // 100 below the top edge
        {chart.LeftAxis, 25, 100},    // 100 right of the left edge
        {chart.RightAxis, 25, 300},   // 100 left of the right edge
        {chart.BottomAxis, 0, 250},
    };
    for (const auto& c : cases) {
        c.axis->SetPositionPercent(c.percent);
        EXPECT_EQ(c.axis->ApplyPosition(c.axis->GetRectangleEdge(r), r), c.expected) << c.percent;
    }
    // Drawn: the bottom axis line sits half the plot height above its bottom.
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(1, 1);
    chart.BottomAxis->SetPositionPercent(50);
    DrawRecorded();
    const TRect cr = chart.ChartRect;
    EXPECT_EQ(chart.BottomAxis->AxisLinePos,
              cr.Bottom - platform::RoundHalfEven(0.5 * (cr.Bottom - cr.Top)));
}

// ---------------------------------------------------------------------------
// Series margins widen the range in force, not Minimum and Maximum

TEST_F(AxisLayoutTest, SeriesMarginsPutTheDataEndsTheMarginsInside) {
    chart.PanelRect = TRect{0, 0, 656, 357};
    chart.ChartRect = TRect{100, 50, 300, 250};
    chart.ReCalcWidthHeight();
    auto& b = *chart.BottomAxis;
    b.InternalCalcPositions();
    b.RangeMin = 0;
    b.RangeMax = 10;
    b.RangeSpan = 10;
    b.AdjustMaxMinRect(TRect{10, 0, 10, 0});
    // Narrowed to 110..290 (180 px): pixel 100 reads 0 - 10 * 10 / 180.
    EXPECT_DOUBLE_EQ(b.RangeMin, -10.0 * 10 / 180);
    EXPECT_DOUBLE_EQ(b.RangeMax, 10 + 10.0 * 10 / 180);
    EXPECT_EQ(b.PixelStart, 100);  // the pixel fields come back
    EXPECT_EQ(b.PixelEnd, 300);
    EXPECT_EQ(b.CalcPosValue(0), 110);
    EXPECT_EQ(b.CalcPosValue(10), 290);

    auto& l = *chart.LeftAxis;
    l.InternalCalcPositions();
    l.RangeMin = 0;
    l.RangeMax = 100;
    l.RangeSpan = 100;
    l.AdjustMaxMinRect(TRect{0, 5, 0, 15});  // top 5 for the maximum, bottom 15 for the minimum
    // 55..235: pixel 50 reads 100 + 5 * 100 / 180, pixel 250 reads 100 - 195 * 100 / 180.
    EXPECT_DOUBLE_EQ(l.RangeMax, 100 + 5 * 100.0 / 180);
    EXPECT_DOUBLE_EQ(l.RangeMin, 100 - 195 * 100.0 / 180);
    EXPECT_EQ(l.CalcPosValue(100), 55);
    EXPECT_EQ(l.CalcPosValue(0), 235);

    // In a draw the chart asks the series for the margins of automatic ends only.
    MarginSeries s;
    s.marginStart = 8;
    s.marginEnd = 8;
    chart.AddSeries(&s);
    s.AddXY(2, 20);
    s.AddXY(4, 40);
    DrawRecorded();
    EXPECT_EQ(b.Minimum(), 2);  // the data range is kept
    EXPECT_EQ(b.Maximum(), 4);
    EXPECT_EQ(b.CalcPosValue(2), b.PixelStart + 8);
    EXPECT_EQ(b.CalcPosValue(4), b.PixelEnd - 8);
    EXPECT_EQ(l.CalcPosValue(20), l.PixelEnd - 8);
    b.SetMinMax(2, 4);  // fixed ends take no margin
    DrawRecorded();
    EXPECT_EQ(b.RangeMin, 2);
    EXPECT_EQ(b.CalcPosValue(2), b.PixelStart);
}

// ---------------------------------------------------------------------------
// Lengths and the depth mapping

TEST_F(AxisLayoutTest, LengthsOfValueDifferences) {
    auto& b = *chart.BottomAxis;
    b.PixelStart = 0;
    b.PixelEnd = 200;
    b.RecalcSizeCenter();
    b.RangeMin = 0;
    b.RangeMax = 10;
    b.RangeSpan = 10;
    EXPECT_EQ(b.CalcSizeValue(2.5), 50);
    EXPECT_EQ(b.CalcSizeValue(0.125), 2);  // 2.5 px to the even neighbour
    EXPECT_EQ(b.CalcSizeValue(0), 0);
    EXPECT_EQ(b.CalcSizeValue(-3), 0);
    b.SetLogarithmic(true);
    b.PixelEnd = 300;
    b.RecalcSizeCenter();
    b.RangeMin = 1;
    b.RangeMax = 1000;
    b.RangeSpan = 999;
    EXPECT_EQ(b.CalcSizeValue(10), 100);  // one decade of three
    EXPECT_EQ(b.CalcSizeValue(0), 0);
}

TEST_F(AxisLayoutTest, DepthPositionsSpreadOverTheChartDepth) {
    auto& d = *chart.DepthAxis;
    chart.Depth3D = 100;
    d.RangeMin = -0.5;
    d.RangeMax = 2.5;
    d.RangeSpan = 3;
    EXPECT_EQ(d.CalcPosValue(1), 50);
    EXPECT_EQ(d.CalcPosValue(0), 17);  // 16.67
    d.SetInverted(true);
    EXPECT_EQ(d.CalcPosValue(0), 83);  // 83.33
    d.RangeMin = d.RangeMax = 2;
    d.RangeSpan = 0;
    EXPECT_EQ(d.CalcPosValue(7), 50);
}

TEST_F(AxisLayoutTest, HalfPixelsAreJudgedOnTheExactOffset) {
    if constexpr (std::numeric_limits<long double>::digits < 64) GTEST_SKIP() << "no extended precision";
    // The offset is 2.5 and a little more (2^-62), visible only in extended
    // precision: it rounds up to 3, where a double would see 2.5 and keep 2.
    auto& b = *chart.BottomAxis;
    b.PixelStart = 0;
    b.PixelEnd = 10;
    b.RecalcSizeCenter();
    b.RangeMin = -std::ldexp(1.0, -62);
    b.RangeMax = 10;
    b.RangeSpan = b.RangeMax - b.RangeMin;  // 10 as a double
    EXPECT_EQ(b.CalcPosValue(2.5), 3);
    EXPECT_EQ(b.CalcPosValue(1.5), 2);
    b.RangeMin = 0;
    b.RangeSpan = 10;
    EXPECT_EQ(b.CalcPosValue(2.5), 2);  // an exact half goes to the even neighbour
}

// ---------------------------------------------------------------------------
// Label loops

TEST_F(AxisLayoutTest, LogarithmicLabelsStartAtTheNearestPowerOfTheBase) {
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(1, 1);
    auto& b = *chart.BottomAxis;
    struct Case {
        double mn, mx;
        int base;
        std::vector<std::string> labels;
        const char* format = "#,##0.###";
    };
    const Case cases[] = {
        {0.004, 1, 10, {"0.01", "0.1", "1"}},  // first candidate 10^Round(-2.4) = 0.01
        {0.003, 1, 10, {"0.01", "0.1", "1"}},  // 10^Round(-2.5) = 0.001, below the range: skipped
        {0.5, 50, 10, {"1", "10"}},
        {1, 1000, 10, {"1", "10", "100", "1,000"}},
        {3, 2000, 10, {"10", "100", "1,000"}},  // 10^Round(0.48) = 1, below the range
        {1, 20, 2, {"1", "2", "4", "8", "16"}},
        // Loss capacitances of femtofarads: the top decade is labelled too.
        {1e-15, 1e-11, 10, {"1E-15", "1E-14", "1E-13", "1E-12", "1E-11"}, "0E+00"},
        {1e-20, 1e-16, 10, {"1E-20", "1E-19", "1E-18", "1E-17", "1E-16"}, "0E+00"},
    };
    for (const auto& c : cases) {
        b.SetValuesFormat(c.format);
        b.SetLogarithmic(false);
        b.SetLogarithmicBase(c.base);
        b.SetMinMax(c.mn, c.mx);
        b.SetLogarithmic(true);
        EXPECT_EQ(LabelsOf(&b), c.labels) << c.mn << ".." << c.mx;
    }
}

TEST_F(AxisLayoutTest, WishedIncrementWithoutSeparationLabelsEveryMultiple) {
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(10, 1);
    auto& b = *chart.BottomAxis;
    b.SetLabelsSeparation(0);
    b.SetDesiredIncrement(3);
    EXPECT_EQ(LabelsOf(&b), (std::vector<std::string>{"9", "6", "3", "0"}));
    // However crowded: 334 labels on 100 pixels.
    s.AddXY(1000, 2);
    chart.Width = 160;
    EXPECT_EQ(LabelsOf(&b).size(), 334u);
}

TEST_F(AxisLayoutTest, LabelsOnTheAxisEndsAreDroppedOnlyWhenAsked) {
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(10, 1);
    auto& b = *chart.BottomAxis;
    b.SetLabelsSeparation(0);
    b.SetDesiredIncrement(5);
    EXPECT_EQ(LabelsOf(&b), (std::vector<std::string>{"10", "5", "0"}));
    b.SetLabelsOnAxis(false);
    EXPECT_EQ(LabelsOf(&b), (std::vector<std::string>{"5"}));
    EXPECT_EQ(b.TickPositions().size(), 1u);
}

TEST_F(AxisLayoutTest, NextLabelEventSuppliesTheValues) {
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(10, 1);
    auto& b = *chart.BottomAxis;
    std::vector<int> indexes;
    const double values[] = {2.5, 7.5, 20, 4};
    chart.OnGetNextAxisLabel = [&](TChartAxis* axis, int index, double& value, bool& stop) {
        if (axis != chart.BottomAxis) return;  // the left axis keeps its own labels
        indexes.push_back(index);
        value = values[index];
        stop = false;
    };
    // A value outside the range ends the labels: 4 is never asked for.
    EXPECT_EQ(LabelsOf(&b), (std::vector<std::string>{"2.5", "7.5"}));
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2}));
    // Stop left on at the first call: the default labels.
    chart.OnGetNextAxisLabel = [](TChartAxis*, int, double&, bool&) {};
    b.SetLabelsSeparation(0);
    b.SetDesiredIncrement(5);
    EXPECT_EQ(LabelsOf(&b), (std::vector<std::string>{"10", "5", "0"}));
}

// ---------------------------------------------------------------------------
// Hit test and scrolling

TEST_F(AxisLayoutTest, ClickRectangleRunsFromTheLabelsToJustPastTheAxisLine) {
    auto& b = *chart.BottomAxis;  // no series: every visible axis is shown
    b.PixelStart = 100;
    b.PixelEnd = 300;
    b.AxisLinePos = 200;
    b.LabelsPos = 215;
    EXPECT_TRUE(b.Clicked(100, 197));
    EXPECT_TRUE(b.Clicked(299, 214));
    EXPECT_FALSE(b.Clicked(300, 200));  // right and bottom edges excluded
    EXPECT_FALSE(b.Clicked(150, 215));
    EXPECT_FALSE(b.Clicked(150, 196));
    auto& l = *chart.LeftAxis;  // labels left of the line
    l.PixelStart = 50;
    l.PixelEnd = 250;
    l.AxisLinePos = 60;
    l.LabelsPos = 30;
    EXPECT_TRUE(l.Clicked(30, 50));
    EXPECT_TRUE(l.Clicked(62, 249));
    EXPECT_FALSE(l.Clicked(63, 100));
    EXPECT_FALSE(l.Clicked(40, 250));
    l.SetVisible(false);
    EXPECT_FALSE(l.Clicked(40, 100));
}

TEST_F(AxisLayoutTest, ScrollMovesOnlyTowardsData) {
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(10, 1);
    auto& b = *chart.BottomAxis;
    b.SetMinMax(0, 5);
    b.Scroll(1, true);  // data up to 10 lie above 5
    EXPECT_EQ(b.Minimum(), 1);
    EXPECT_EQ(b.Maximum(), 6);
    b.Scroll(-2, true);  // data from 0 lie below 1
    EXPECT_EQ(b.Minimum(), -1);
    EXPECT_EQ(b.Maximum(), 4);
    b.SetMinMax(0, 10);
    b.Scroll(1, true);  // nothing above 10
    EXPECT_EQ(b.Maximum(), 10);
    b.Scroll(-1, true);  // nothing below 0
    EXPECT_EQ(b.Minimum(), 0);
    b.SetAutomatic(true);
    b.Scroll(1, false);
    EXPECT_FALSE(b.Automatic());
    EXPECT_FALSE(b.AutomaticMinimum());
    EXPECT_EQ(b.Minimum(), 1);
    EXPECT_EQ(b.Maximum(), 11);
}

// ---------------------------------------------------------------------------
// Panel: texts of several lines, paging, palette, buffered repaint, background

TEST_F(AxisLayoutTest, MultiLineTextWidthCountsLines) {
    platform::Canvas canvas(&device);
    chart.Canvas->InitWindow(&canvas, nullptr, clWhite, false, {0, 0, 100, 100});
    chart.FontCanvas(*chart.BottomAxis->LabelsFont);  // 11 px: n * 11 / 2 for n characters
    struct Case {
        const char* text;
        int width, lines;
    };
    const Case cases[] = {
        {"abc", 16, 1}, {"", 0, 1}, {"ab\rcdef", 22, 2}, {"ab\rcdef\r", 22, 2}, {"a\r\rbb", 11, 3},
    };
    for (const auto& c : cases) {
        int lines = -1;
        EXPECT_EQ(chart.MultiLineTextWidth(c.text, lines), c.width) << c.text;
        EXPECT_EQ(lines, c.lines) << c.text;
    }
}

TEST_F(AxisLayoutTest, PagesOfTenPoints) {
    MarginSeries s;
    chart.AddSeries(&s);
    for (int i = 0; i < 25; ++i) s.AddXY(i * 2.0, i);
    chart.SetMaxPointsPerPage(10);
    EXPECT_EQ(chart.NumPages(), 3);
    chart.SetPage(3);
    EXPECT_EQ(chart.MinXValue(chart.BottomAxis), 40);  // point 20
    EXPECT_EQ(chart.MaxXValue(chart.BottomAxis), 48);  // point 24
    chart.SetScaleLastPage(false);
    EXPECT_EQ(chart.MaxXValue(chart.BottomAxis), 40 + (48 - 40) * 10 / 5);
    // The vertical range is not paged.
    EXPECT_EQ(chart.MaxYValue(chart.LeftAxis), 24);
    chart.SetPage(0);
    EXPECT_EQ(chart.Page, 1);
    chart.SetPage(99);
    EXPECT_EQ(chart.Page, 3);
    try {
        chart.SetMaxPointsPerPage(-1);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "MaxPointsPerPage must be >= 0");
    }
    EXPECT_EQ(chart.MaxPointsPerPage, 10);
    chart.SetMaxPointsPerPage(20);  // two pages now: page 3 is cut back
    EXPECT_EQ(chart.Page, 2);
}

TEST_F(AxisLayoutTest, NewSeriesTakeTheFirstFreePaletteColourAndDefaultTitles) {
    MarginSeries a, b, c, d;
    chart.AddSeries(&a);
    EXPECT_EQ(a.SeriesColor, clRed);
    b.SeriesColor = clGreen;
    chart.AddSeries(&b);
    chart.AddSeries(&c);
    EXPECT_EQ(c.SeriesColor, clYellow);  // green is taken
    chart.AddSeries(&d);
    EXPECT_EQ(d.SeriesColor, clBlue);
    EXPECT_EQ(chart.SeriesTitleLegend(2), "Series 2");
    c.Name = "Series3";
    EXPECT_EQ(chart.SeriesTitleLegend(2), "Series3");
    c.Title = "Measured";
    EXPECT_EQ(chart.SeriesTitleLegend(2), "Measured");
    EXPECT_EQ(chart.SeriesTitleLegend(9), "");
}

TEST_F(AxisLayoutTest, RepaintWithoutChangeCopiesTheBufferOnly) {
    MarginSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(1, 1);
    chart.Canvas->SetUseBuffer(true);
    platform::Canvas window(&device);
    chart.WindowCanvas = &window;
    chart.Canvas->SetCanvas(&window);
    chart.Paint();
    EXPECT_EQ(s.drawn, 2);
    device.Clear();
    chart.Paint();
    EXPECT_EQ(s.drawn, 2);  // no drawing code ran
    EXPECT_EQ(device.calls, (std::vector<std::string>{"BitBlt 0 0 656 357"}));
    chart.LeftAxis->SetMinorTickCount(4);  // any change draws anew
    chart.Paint();
    EXPECT_EQ(s.drawn, 4);
}

TEST_F(AxisLayoutTest, BackgroundGradientEndColourAtTheBottomForBottomTop) {
    chart.AxisVisible = false;
    chart.BevelOuter = bvNone;
    chart.Gradient->SetVisible(true);
    chart.Gradient->SetStartColor(clWhite);
    chart.Gradient->SetEndColor(clYellow);
    auto render = [&] {
        TBitmap bmp;
        bmp.SetSize(50, 100);
        chart.Draw(&bmp.GetCanvas(), TRect{0, 0, 50, 100});
        return bmp.Image();
    };
    chart.Gradient->SetDirection(gdBottomTop);
    QImage img = render();
    EXPECT_EQ(img.pixel(25, 99) & 0xFFFFFF, 0xFFFF00u);  // yellow at the bottom
    EXPECT_EQ(img.pixel(25, 0) & 0xFFFFFF, 0xFFFFFFu);
    chart.Gradient->SetDirection(gdTopBottom);
    img = render();
    EXPECT_EQ(img.pixel(25, 99) & 0xFFFFFF, 0xFFFFFFu);  // the start colour at the bottom
    EXPECT_EQ(img.pixel(25, 0) & 0xFFFFFF, 0xFFFF00u);
}

TEST_F(AxisLayoutTest, BevelsAndBorderAreFramedFromTheOutsideIn) {
    chart.AxisVisible = false;
    chart.BevelOuter = bvRaised;
    chart.BorderWidth = 2;
    chart.Color = clWhite;
    chart.Width = 100;
    chart.Height = 50;
    device.recordState = true;
    // Each frame line drawn: the pen colour, then the polyline's points.
    auto frames = [&] {
        std::vector<std::string> out;
        std::string pen;
        for (const auto& c : device.calls) {
            if (c.rfind("SelectPen ", 0) == 0) pen = PenColour(c);
            if (c.rfind("Polyline ", 0) == 0) out.push_back(pen + " " + c.substr(9));
        }
        return out;
    };
    DrawRecorded();
    const std::string light = platform::ColorHex(platform::ColorToRGB(clBtnHighlight));
    const std::string dark = platform::ColorHex(platform::ColorToRGB(clBtnShadow));
    const std::string white = platform::ColorHex(clWhite);
    // Raised: light top-left, dark bottom-right, right and bottom one pixel in;
    // then two rings of the panel colour inside it.
    EXPECT_EQ(frames(), (std::vector<std::string>{
                          light + " 0 49 0 0 99 0", dark + " 99 0 99 49 -1 49",
                          white + " 1 48 1 1 98 1", white + " 98 1 98 48 0 48",
                          white + " 2 47 2 2 97 2", white + " 97 2 97 47 1 47"}));
    // The plot rectangle is inset by the border only.
    EXPECT_EQ(chart.ChartRect, (TRect{2 + 3, 2 + 2, 100 - 2 - 3, 50 - 2 - 2}));
    device.Clear();
    chart.BevelOuter = bvLowered;
    chart.BorderWidth = 0;
    DrawRecorded();
    EXPECT_EQ(frames(), (std::vector<std::string>{dark + " 0 49 0 0 99 0", light + " 99 0 99 49 -1 49"}));
}

TEST(Draw3DPanel, PaintsBackgroundThenTheOwnersPaintEvent) {
    TDraw3D panel;
    panel.View3D = false;
    panel.Canvas->SetUseBuffer(false);
    panel.BevelOuter = bvNone;
    panel.Width = 200;
    panel.Height = 100;
    RecordingDevice dev{200, 100};
    platform::Canvas canvas(&dev);
    std::vector<std::string> log;
    panel.OnPaint = [&](TDraw3D* sender, const TRect& r) {
        log.push_back("paint " + std::to_string(r.Right) + "x" + std::to_string(r.Bottom));
        EXPECT_EQ(sender->Depth3D, 100);
        sender->Canvas->TextOut(1, 2, "mine");
    };
    panel.OnAfterDraw = [&](TCustomChartPanel*) { log.push_back("after draw"); };
    panel.Draw(&canvas, TRect{0, 0, 200, 100});
    EXPECT_EQ(log, (std::vector<std::string>{"paint 200x100", "after draw"}));
    ASSERT_GE(dev.calls.size(), 2u);
    EXPECT_EQ(dev.calls.front().rfind("FillRect 0 0 200 100 ", 0), 0u) << dev.calls.front();
    EXPECT_EQ(dev.calls.back(), "TextOut 1 2 mine");
    EXPECT_EQ(panel.ChartRect, (TRect{6, 4, 194, 96}));
}

}  // namespace
}  // namespace pellucor::chart
