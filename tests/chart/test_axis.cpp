#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "chart/RecordedChartTest.h"

namespace pellucor::chart {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A series that writes down which points it was asked to draw.
class ProbeSeries : public TChartSeries {
public:
    std::vector<int> drawn;
    std::vector<std::string>* log = nullptr;
    void DrawValue(int i) override {
        drawn.push_back(i);
        if (log) log->push_back("point " + std::to_string(i));
        // A mark on the canvas, so the recording shows when series are drawn.
        ParentChart->Canvas->Rectangle(CalcXPos(i) - 1, CalcYPos(i) - 1, CalcXPos(i) + 2, CalcYPos(i) + 2);
    }
    void DoBeforeDrawChart() override {
        if (log) log->push_back("before chart");
    }
};

class AxisTest : public RecordedChartTest {
protected:
    // Puts an axis over a pixel extent with a fixed range, as a layout would.
    static void Place(TCustomChartAxis& a, int start, int end, double mn, double mx) {
        a.PixelStart = start;
        a.PixelEnd = end;
        a.RecalcSizeCenter();
        a.RangeMin = mn;
        a.RangeMax = mx;
        a.RangeSpan = mx - mn;
    }
};

// ---------------------------------------------------------------------------
// Mapping and its inverse

TEST_F(AxisTest, LinearMappingOfBottomLeftAndInvertedAxes) {
    auto& b = *chart.BottomAxis;
    Place(b, 100, 300, 0, 10);
    EXPECT_EQ(b.CalcPosValue(2.5), 150);
    EXPECT_EQ(b.CalcPosValue(10), 300);
    EXPECT_EQ(b.CalcPosValue(0), 100);
    auto& l = *chart.LeftAxis;
    Place(l, 50, 250, 0, 10);
    EXPECT_EQ(l.CalcPosValue(2.5), 200);  // value low end at the bottom
    EXPECT_EQ(l.CalcPosValue(10), 50);
    b.SetInverted(true);
    EXPECT_EQ(b.CalcPosValue(2.5), 250);
    l.SetInverted(true);
    EXPECT_EQ(l.CalcPosValue(2.5), 100);
    // A half pixel goes to the even neighbour: 1/16 of 200 px is 12.5 px,
    // 3/16 is 37.5 px (both exact in binary).
    b.SetInverted(false);
    Place(b, 0, 200, 0, 16);
    EXPECT_EQ(b.CalcPosValue(1), 12);
    EXPECT_EQ(b.CalcPosValue(3), 38);
    // The double nearest 0.0125 lies a little above it: 200 times it is not
    // a half in extended precision, so it rounds up.
    Place(b, 0, 200, 0, 1);
    EXPECT_EQ(b.CalcPosValue(0.0125), 3);
}

TEST_F(AxisTest, InverseMappingReturnsTheValueWithinHalfAPixel) {
    struct Case {
        bool horizontal, inverted, log;
        double mn, mx;
    };
    const Case cases[] = {{true, false, false, -3, 17},  {false, false, false, -3, 17},
                          {true, true, false, 0, 1e-6},  {false, true, false, 1e6, 2e6},
                          {true, false, true, 1e-3, 1e6}, {false, false, true, 1, 1000},
                          {true, true, true, 0.5, 50},   {false, true, true, 10, 1e5}};
    for (const auto& c : cases) {
        auto& a = c.horizontal ? *chart.BottomAxis : *chart.LeftAxis;
        a.SetInverted(c.inverted);
        a.SetLogarithmic(c.log);
        Place(a, 40, 440, c.mn, c.mx);
        for (int k = 0; k <= 10; ++k) {
            const double v = c.log ? c.mn * std::pow(c.mx / c.mn, k / 10.0) : c.mn + (c.mx - c.mn) * k / 10.0;
            const double back = a.CalcPosPoint(a.CalcPosValue(v));
            if (c.log) {
                const double perPixel = std::log(c.mx / c.mn) / 400;
                EXPECT_NEAR(std::log(back), std::log(v), 0.5 * perPixel + 1e-12) << v;
            } else {
                EXPECT_NEAR(back, v, 0.5 * (c.mx - c.mn) / 400 + 1e-12) << v;
            }
        }
        a.SetLogarithmic(false);
        a.SetInverted(false);
    }
}

TEST_F(AxisTest, LogarithmicMappingByDecades) {
    auto& b = *chart.BottomAxis;
    b.SetLogarithmic(true);
    Place(b, 0, 300, 1, 1000);
    EXPECT_EQ(b.CalcPosValue(10), 100);
    EXPECT_EQ(b.CalcPosValue(100), 200);
    EXPECT_EQ(b.CalcPosValue(0), 0);    // values <= 0 go to the low end
    EXPECT_EQ(b.CalcPosValue(-5), 0);
    EXPECT_EQ(b.CalcPosPoint(0), 1);
    EXPECT_EQ(b.CalcPosPoint(300), 1000);
    EXPECT_NEAR(b.CalcPosPoint(100), 10, 1e-9);
    // A range end of 0 counts as 1.
    Place(b, 0, 300, 0, 1000);
    EXPECT_EQ(b.CalcPosValue(10), 100);
    // The left axis runs upwards; inverted it runs down.
    auto& l = *chart.LeftAxis;
    l.SetLogarithmic(true);
    Place(l, 0, 300, 1, 1000);
    EXPECT_EQ(l.CalcPosValue(10), 200);
    EXPECT_EQ(l.CalcPosValue(0), 300);
    l.SetInverted(true);
    EXPECT_EQ(l.CalcPosValue(10), 100);
    EXPECT_EQ(l.CalcPosValue(0), 0);
}

TEST_F(AxisTest, ValuesFarOutsideTheRangeStayOnTheirSide) {
    auto& b = *chart.BottomAxis;
    Place(b, 100, 300, 0, 10);
    // Beyond the 32-bit pixel range these once landed on the centre pixel.
    EXPECT_GT(b.CalcPosValue(1e12), 300);
    EXPECT_LT(b.CalcPosValue(-1e12), 100);
    EXPECT_GT(b.CalcPosValue(kInf), 300);
    EXPECT_LT(b.CalcPosValue(-kInf), 100);
    EXPECT_GT(b.CalcPosValue(1e300), 300);
    EXPECT_EQ(b.CalcPosValue(1e12), b.CalcPosValue(1e300));  // clipped, not wrapped
    auto& l = *chart.LeftAxis;
    Place(l, 50, 250, 0, 10);
    EXPECT_LT(l.CalcPosValue(1e12), 50);  // above the plot
    EXPECT_GT(l.CalcPosValue(-1e12), 250);
    // A value that is not a number has no side: the centre, never a crash.
    EXPECT_EQ(b.CalcPosValue(kNaN), b.PixelCentre);
    l.SetLogarithmic(true);
    Place(l, 50, 250, 1, 1000);
    EXPECT_LT(l.CalcPosValue(1e300), 50);
    EXPECT_LT(l.CalcPosValue(kInf), 50);
    EXPECT_EQ(l.CalcPosValue(-kInf), 250);
    EXPECT_EQ(l.CalcPosValue(kNaN), l.PixelCentre);
}

TEST_F(AxisTest, ZeroSpanMapsToTheCentre) {
    auto& b = *chart.BottomAxis;
    Place(b, 100, 301, 5, 5);
    EXPECT_EQ(b.CalcPosValue(5), 200);
    EXPECT_EQ(b.CalcPosValue(-1e9), 200);
    EXPECT_EQ(b.CalcSizeValue(3), 0);
}

// ---------------------------------------------------------------------------
// Ranges

TEST_F(AxisTest, AutomaticRangeFollowsTheSeriesOfTheAxis) {
    ProbeSeries a, b, right;
    chart.AddSeries(&a);
    chart.AddSeries(&b);
    chart.AddSeries(&right);
    right.SetVertAxis(aRightAxis);
    a.AddXY(1, 10);
    a.AddXY(2, -4);
    b.AddXY(-3, 7);
    b.AddXY(9, 30);
    right.AddXY(100, 1000);

    EXPECT_EQ(chart.MinYValue(chart.LeftAxis), -4);
    EXPECT_EQ(chart.MaxYValue(chart.LeftAxis), 30);
    EXPECT_EQ(chart.MinXValue(chart.BottomAxis), -3);
    EXPECT_EQ(chart.MaxXValue(chart.BottomAxis), 100);
    EXPECT_EQ(chart.MaxYValue(chart.RightAxis), 1000);

    chart.LeftAxis->AdjustMaxMin();
    EXPECT_EQ(chart.LeftAxis->Minimum(), -4);
    EXPECT_EQ(chart.LeftAxis->Maximum(), 30);
    EXPECT_EQ(chart.LeftAxis->RangeSpan, 34);

    // An inactive series does not count while an active one is bound ...
    b.SetActive(false);
    EXPECT_EQ(chart.MaxYValue(chart.LeftAxis), 10);
    // ... but when all are inactive their data still give the range.
    a.SetActive(false);
    EXPECT_EQ(chart.MaxYValue(chart.LeftAxis), 30);
    // A series on both vertical axes counts for the right one too.
    a.SetActive(true);
    a.SetVertAxis(aBothVertAxis);
    EXPECT_EQ(chart.MinYValue(chart.RightAxis), -4);
    // No points at all: 0 to 0.
    a.Clear();
    b.Clear();
    right.Clear();
    chart.LeftAxis->AdjustMaxMin();
    EXPECT_EQ(chart.LeftAxis->Minimum(), 0);
    EXPECT_EQ(chart.LeftAxis->Maximum(), 0);
}

TEST_F(AxisTest, PointsThatAreNotFiniteTakeNoPartInRangesAndAreNotDrawn) {
    ProbeSeries s, onlyBad;
    chart.AddSeries(&s);
    chart.AddSeries(&onlyBad);
    // Capacitance where Z'' is zero, admittance where Z is zero.
    s.AddXY(1, kInf);
    s.AddXY(2, 5);
    s.AddXY(3, kNaN);
    s.AddXY(4, 7);
    s.AddXY(kNaN, 100);
    onlyBad.AddXY(5, -kInf);
    EXPECT_EQ(chart.MinYValue(chart.LeftAxis), 5);
    EXPECT_EQ(chart.MaxYValue(chart.LeftAxis), 7);
    EXPECT_EQ(chart.MinXValue(chart.BottomAxis), 2);
    EXPECT_EQ(chart.MaxXValue(chart.BottomAxis), 4);

    DrawRecorded();
    EXPECT_EQ(s.drawn, (std::vector<int>{1, 3}));  // x-sorted 1, 2, 3, 4, NaN: (2,5) and (4,7)
    EXPECT_TRUE(onlyBad.drawn.empty());
    EXPECT_EQ(chart.LeftAxis->RangeMin, 5);
    EXPECT_EQ(chart.LeftAxis->RangeMax, 7);
}

TEST_F(AxisTest, FixedRangesAndTheRefusalsOfInvalidSettings) {
    auto& a = *chart.LeftAxis;
    a.SetAutomatic(false);
    EXPECT_FALSE(a.AutomaticMinimum());
    EXPECT_FALSE(a.AutomaticMaximum());
    a.SetMaximum(10);
    a.SetMinimum(2);
    try {
        a.SetMinimum(11);
        FAIL() << "no exception";
    } catch (const AxisException& e) {
        EXPECT_STREQ(e.what(), "Axis Minimum Value must be <= Maximum");
    }
    EXPECT_EQ(a.Minimum(), 2);
    try {
        a.SetMaximum(1);
        FAIL() << "no exception";
    } catch (const AxisException& e) {
        EXPECT_STREQ(e.what(), "Axis Maximum Value must be >= Minimum");
    }
    EXPECT_EQ(a.Maximum(), 10);
    // While the chart is loaded from its definition the order is not checked.
    chart.Loading = true;
    a.SetMinimum(50);
    a.SetMaximum(60);
    chart.Loaded();
    EXPECT_EQ(a.Minimum(), 50);

    const struct {
        std::function<void()> act;
        const char* message;
    } refusals[] = {
        {[&] { a.SetDesiredIncrement(-1); }, "Axis increment must be >= 0"},
        {[&] { a.SetLogarithmicBase(1); }, "Axis Logarithmic Base should be >= 2"},
        {[&] { a.SetLabelsSeparation(-1); }, "Labels Separation % must be greater than 0"},
    };
    for (const auto& r : refusals) {
        try {
            r.act();
            ADD_FAILURE() << "no exception for " << r.message;
        } catch (const AxisException& e) {
            EXPECT_STREQ(e.what(), r.message);
        }
    }
    EXPECT_EQ(a.Increment(), 0);
    EXPECT_EQ(a.LogarithmicBase(), 10);
    EXPECT_EQ(a.LabelsSeparation(), 10);
    a.SetLabelsSeparation(0);  // 0 is accepted
    EXPECT_THROW(a.SetLabelsAngle(360), ChartException);

    // SetMinMax orders its ends and never leaves a zero span.
    a.SetMinMax(9, 3);
    EXPECT_EQ(a.Minimum(), 3);
    EXPECT_EQ(a.Maximum(), 9);
    a.SetMinMax(5, 5);
    EXPECT_EQ(a.Maximum(), 5 + 1e-10);
    a.SetMinMax(0, 0);
    EXPECT_EQ(a.Maximum(), 1e-10);
}

TEST_F(AxisTest, SetMinMaxKeepsRangesOfPicofaradsAsGiven) {
    // Capacitances and admittances of dielectric cells and coatings: the
    // whole range is far narrower than 1e-10, yet it is a range.
    auto& a = *chart.LeftAxis;
    const struct {
        double lo, hi;
    } ranges[] = {{2e-12, 8e-12}, {1e-12, 1e-11}, {0, 3e-13}, {1e-15, 1e-12}, {-4e-12, -1e-12}};
    for (const auto& r : ranges) {
        a.SetMinMax(r.hi, r.lo);
        EXPECT_EQ(a.Minimum(), r.lo) << r.lo << ".." << r.hi;
        EXPECT_EQ(a.Maximum(), r.hi) << r.lo << ".." << r.hi;
    }
    // Equal tiny ends still get a width, small against the value itself.
    a.SetMinMax(1e-13, 1e-13);
    EXPECT_GT(a.Maximum(), 1e-13);
    EXPECT_LT(a.Maximum(), 1.0001e-13);
}

TEST_F(AxisTest, DecadesOfPicofaradsFillALogarithmicAxis) {
    ProbeSeries s;
    chart.AddSeries(&s);
    s.AddXY(1, 2e-12);
    s.AddXY(2, 8e-12);
    auto& l = *chart.LeftAxis;
    l.SetMinMax(1, 10);
    l.SetLogarithmic(true);
    l.SetValuesFormat("0E+00");
    l.SetMinMax(1e-12, 1e-11);
    for (auto& ax : chart.PanelAxes) ax->SetVisible(ax.get() == &l);
    DrawRecorded();
    // One decade over the whole axis: its top at the top, 2 pF log10(2) up from the bottom.
    const auto texts = TextCalls(device);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "1E-12");
    EXPECT_EQ(texts[1].text, "1E-11");
    EXPECT_EQ(l.CalcPosValue(1e-11), l.PixelStart);
    EXPECT_EQ(l.CalcPosValue(1e-12), l.PixelEnd);
    EXPECT_NEAR(l.CalcPosValue(2e-12), l.PixelEnd - std::log10(2.0) * l.PixelSize, 1);
}

TEST_F(AxisTest, LogarithmicSwitchRefusesNegativeData) {
    ProbeSeries s;
    chart.AddSeries(&s);
    s.AddXY(1, -2);
    s.AddXY(2, 3);
    try {
        chart.LeftAxis->SetLogarithmic(true);
        FAIL() << "no exception";
    } catch (const AxisException& e) {
        EXPECT_STREQ(e.what(), "Logarithmic Axis Min and Max values should be >= 0");
    }
    EXPECT_FALSE(chart.LeftAxis->Logarithmic());
    s.Clear();
    s.AddXY(1, 0);  // zero is accepted
    s.AddXY(2, 3);
    chart.LeftAxis->SetLogarithmic(true);
    EXPECT_TRUE(chart.LeftAxis->Logarithmic());
    s.XValues->DateTime = true;
    EXPECT_THROW(chart.BottomAxis->SetLogarithmic(true), AxisException);
}

// ---------------------------------------------------------------------------
// Label step

TEST_F(AxisTest, LabelIncrementGrowsAlongOneTwoFiveUntilTheLabelsFit) {
    struct Case {
        double mn, mx;
        int pixels, labelSize, separation;
        double increment, expected;
    };
    const Case cases[] = {
        {0, 10, 400, 30, 10, 0, 1},        // room for 12, 10 intervals
        {0, 10, 100, 30, 10, 0, 5},        // room for 3: 1 -> 2 -> 5
        {0, 1000, 400, 30, 10, 0, 100},    // room for 12: 100 gives 10
        {0, 1e6, 600, 50, 10, 0, 100000},  // room for 11
        {0, 0.5, 400, 30, 10, 0, 0.05},    // small spans start from 1e-12
        {-7, 7, 200, 30, 10, 0, 5},        // room for 6: 14 at 1, 7 at 2, 3 at 5
        {0, 30, 400, 30, 0, 3, 3},         // no separation: the wished step as it is
        {0, 30, 100, 30, 10, 3, 10},       // a wished 3 grows to 5, 10
        {5e20, 5e20, 400, 30, 10, 0, 1e-12},  // zero span
        // Spans of a few units start from a tenth.
        {-0.8, 0.5, 400, 30, 10, 0, 0.2},  // room for 12: 13 at 0.1, 6 at 0.2
        {0, 1.5, 400, 30, 10, 0, 0.2},     // 15 at 0.1, 8 at 0.2
        {0, 5, 100, 30, 10, 0, 2},         // room for 3: 2.5 rounds to 2 at 2
        {0, 9.5, 400, 30, 10, 0, 1},       // 10 at 1 (as before)
        // Capacitances of a dielectric cell: steps below 1e-12 where the span asks for them.
        {1e-14, 3e-13, 400, 30, 10, 0, 5e-14},  // room for 12: 29 at 1e-14, 14 at 2e-14, 6 at 5e-14
        {0, 5e-15, 400, 30, 10, 0, 5e-16},      // 10 intervals
        {2e-12, 8e-12, 100, 30, 10, 0, 2e-12},  // room for 3: 6 at 1e-12, 3 at 2e-12
    };
    auto& b = *chart.BottomAxis;
    for (const auto& c : cases) {
        Place(b, 0, c.pixels, c.mn, c.mx);
        b.SetLabelsSeparation(c.separation);
        b.SetDesiredIncrement(c.increment);
        EXPECT_DOUBLE_EQ(b.CalcXYIncrement(c.labelSize), c.expected) << c.mn << ".." << c.mx << " in " << c.pixels;
    }
    // Room for 4 labels over 0.0012 .. 0.0057: at 0.001 the count rounds 4.5 to 4.
    b.SetLabelsSeparation(10);
    b.SetDesiredIncrement(0);
    Place(b, 0, 400, 0.0012, 0.0057);
    EXPECT_DOUBLE_EQ(b.CalcLabelsIncrement(4), 0.001);
    EXPECT_DOUBLE_EQ(b.CalcLabelsIncrement(0), 1e-12);
    // An infinite span ends the search at once.
    Place(b, 0, 400, -kInf, kInf);
    EXPECT_DOUBLE_EQ(b.CalcLabelsIncrement(10), 1.0);
}

// Without a label separation nothing widens the step, so a finer start would
// be the step itself: a span of a few units keeps its step of 1 (six labels
// over 0 .. 5, not fifty-one crowded ones) and a tiny span its 1e-12.
TEST_F(AxisTest, LabelIncrementWithoutSeparationIsTheStartStepAsItIs) {
    struct Case {
        double mn, mx, expected;
    };
    const Case cases[] = {
        {0, 5, 1},           // span of a few units
        {-0.8, 0.5, 1},      // 1.3
        {0, 30, 1},          // 10 and more
        {0, 0.5, 1e-12},     // below 1
        {0, 5e-13, 1e-12},   // below a picofarad
    };
    auto& b = *chart.BottomAxis;
    b.SetLabelsSeparation(0);
    b.SetDesiredIncrement(0);
    for (const auto& c : cases) {
        Place(b, 0, 400, c.mn, c.mx);
        EXPECT_DOUBLE_EQ(b.CalcXYIncrement(30), c.expected) << c.mn << ".." << c.mx;
    }
}

// ---------------------------------------------------------------------------
// Drawn labels

class DrawnAxisTest : public AxisTest {
protected:
    void SetUp() override {
        AxisTest::SetUp();
        chart.AddSeries(&series);
    }
    ProbeSeries series;
};

TEST_F(DrawnAxisTest, LinearLabelsRunDownFromTheTopOfTheRange) {
    series.AddXY(0, 0);
    series.AddXY(10, 1);
    EXPECT_EQ(LabelsOf(chart.BottomAxis),
              (std::vector<std::string>{"10", "9", "8", "7", "6", "5", "4", "3", "2", "1", "0"}));
    // 112 pixels hold 9 labels of 12 (11 + 10 %): step 2.
    chart.Width = 120;
    EXPECT_EQ(LabelsOf(chart.BottomAxis), (std::vector<std::string>{"10", "8", "6", "4", "2", "0"}));
    // 46 pixels hold 4: step 2 gives 5 intervals, step 5 gives 2.
    chart.Width = 50;
    EXPECT_EQ(LabelsOf(chart.BottomAxis), (std::vector<std::string>{"10", "5", "0"}));
}

TEST_F(DrawnAxisTest, LabelTextsInTheFormatsOfTheWindows) {
    series.AddXY(0, 0);
    series.AddXY(1, 200000);
    auto& l = *chart.LeftAxis;
    struct Case {
        const char* format;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {"#,##0.###", {"200,000", "150,000", "100,000", "50,000", "0"}},
        {"0.00E+00", {"2.00E+05", "1.50E+05", "1.00E+05", "5.00E+04", "0.00E+00"}},
        {"0.0E+00", {"2.0E+05", "1.5E+05", "1.0E+05", "5.0E+04", "0.0E+00"}},
        {"0E+00", {"2E+05", "2E+05", "1E+05", "5E+04", "0E+00"}},
    };
    l.SetDesiredIncrement(50000);
    for (const auto& c : cases) {
        l.SetValuesFormat(c.format);
        EXPECT_EQ(LabelsOf(&l), c.labels) << c.format;
    }
}

TEST_F(DrawnAxisTest, LogarithmicAxisLabelsDecadesWithMinorTicksBetween) {
    auto& b = *chart.BottomAxis;
    series.AddXY(0.5, 1);
    series.AddXY(50, 2);
    b.SetLogarithmic(true);
    b.SetMinorTickCount(8);
    EXPECT_EQ(LabelsOf(&b), (std::vector<std::string>{"1", "10"}));
    const auto& ticks = b.TickPositions();
    ASSERT_EQ(ticks.size(), 2u);
    // Minor ticks at 2..9 of the labelled decade only: none between 0.5 and 1 or above 10.
    // (They step from the value read back at the label's pixel: within a pixel.)
    const auto minors = b.MinorTickPositions();
    ASSERT_EQ(minors.size(), 8u);
    for (int k = 2; k <= 9; ++k) EXPECT_NEAR(minors[static_cast<std::size_t>(k - 2)], b.CalcPosValue(k), 1) << k;
}

TEST_F(DrawnAxisTest, LogFrequencyAxisOverNineDecades) {
    auto& b = *chart.BottomAxis;
    series.AddXY(1e-3, 1);
    series.AddXY(1e6, 2);
    b.SetLogarithmic(true);
    b.SetMinorTickCount(8);
    b.SetValuesFormat("0E+00");
    EXPECT_EQ(LabelsOf(&b), (std::vector<std::string>{"1E-03", "1E-02", "1E-01", "1E+00", "1E+01", "1E+02",
                                                      "1E+03", "1E+04", "1E+05", "1E+06"}));
    // Eight minor ticks in each of the nine decades, each one between its labels.
    const auto minors = b.MinorTickPositions();
    ASSERT_EQ(minors.size(), 72u);
    const auto& t = b.TickPositions();
    for (std::size_t d = 0; d < 9; ++d)
        for (std::size_t j = 0; j < 8; ++j) {
            EXPECT_GT(minors[d * 8 + j], t[d]);
            EXPECT_LT(minors[d * 8 + j], t[d + 1]);
        }
    // The 2 of a decade sits log10(2) of the way along it.
    const double decade = t[1] - t[0];
    EXPECT_NEAR(minors[0] - t[0], std::log10(2.0) * decade, 1.0);
}

TEST_F(DrawnAxisTest, ZeroAndNegativeValuesTakeNoPartInAnAutomaticLogRange) {
    auto& l = *chart.LeftAxis;
    series.AddXY(1, 0.5);
    series.AddXY(2, 100);
    series.AddXY(3, 0);
    l.SetLogarithmic(true);
    // The zero can not be shown: the range is that of the positive values
    // and the labels are the decades within it.
    EXPECT_EQ(LabelsOf(&l), (std::vector<std::string>{"1", "10", "100"}));
    EXPECT_EQ(l.RangeMin, 0.5);
    EXPECT_EQ(l.RangeMax, 100);
    // Negative values on a log axis are just as invisible.
    series.AddXY(4, -3);
    EXPECT_EQ(LabelsOf(&l), (std::vector<std::string>{"1", "10", "100"}));
    // Only one positive value: a zero span, one label.
    series.Clear();
    series.AddXY(1, 0);
    series.AddXY(2, 40);
    EXPECT_EQ(LabelsOf(&l), (std::vector<std::string>{"40"}));
}

TEST_F(DrawnAxisTest, ZeroSpanAtLargeValuesGivesOneLabelAndEnds) {
    // One point: the automatic range of each axis has no width.
    series.AddXY(3e20, 7.5e17);
    EXPECT_EQ(LabelsOf(chart.LeftAxis), (std::vector<std::string>{"750,000,000,000,000,000"}));
    EXPECT_EQ(LabelsOf(chart.BottomAxis), (std::vector<std::string>{"3E20"}));
    series.Clear();
    series.AddXY(5, 5);
    EXPECT_EQ(LabelsOf(chart.BottomAxis), (std::vector<std::string>{"5"}));
    // A range narrower than the resolution of its values: every step is lost.
    auto& b = *chart.BottomAxis;
    b.SetMinMax(1e20, 1e20 + 65536);
    const auto labels = LabelsOf(&b);
    EXPECT_GE(labels.size(), 1u);
    EXPECT_LE(labels.size(), 2u);
}

TEST_F(DrawnAxisTest, LinearLabelsReachBothEndsAndNeverPassThem) {
    auto& l = *chart.LeftAxis;
    l.SetValuesFormat("0.00E+00");
    const struct {
        double lo, hi, step;
        std::vector<std::string> labels;
    } cases[] = {
        // An end that is a multiple of the step is labelled, negative or not.
        {-90, 0, 10, {"0.00E+00", "-1.00E+01", "-2.00E+01", "-3.00E+01", "-4.00E+01", "-5.00E+01", "-6.00E+01",
                      "-7.00E+01", "-8.00E+01", "-9.00E+01"}},
        {-1e6, 1e6, 5e5, {"1.00E+06", "5.00E+05", "0.00E+00", "-5.00E+05", "-1.00E+06"}},
        {10, 30, 10, {"3.00E+01", "2.00E+01", "1.00E+01"}},
        // Capacitances of picofarads: no label below the bottom of the axis.
        {5e-12, 8e-12, 1e-12, {"8.00E-12", "7.00E-12", "6.00E-12", "5.00E-12"}},
        {5.5e-12, 8e-12, 1e-12, {"8.00E-12", "7.00E-12", "6.00E-12"}},
    };
    for (const auto& c : cases) {
        series.Clear();
        series.AddXY(1, c.lo);
        series.AddXY(2, c.hi);
        l.SetDesiredIncrement(c.step);
        EXPECT_EQ(LabelsOf(&l), c.labels) << c.lo << ".." << c.hi;
        for (int p : l.TickPositions()) {
            EXPECT_GE(p, l.PixelStart) << c.lo << ".." << c.hi;
            EXPECT_LE(p, l.PixelEnd) << c.lo << ".." << c.hi;
        }
    }
}

TEST_F(DrawnAxisTest, CapacitancesBelowAPicofaradAreLabelled) {
    // The imaginary capacitance of a dielectric cell, 0.01 pF to 0.3 pF.
    auto& l = *chart.LeftAxis;
    l.SetValuesFormat("0.0E+00");
    series.AddXY(1, 1e-14);
    series.AddXY(2, 3e-13);
    const auto labels = LabelsOf(&l);
    ASSERT_GE(labels.size(), 3u);
    EXPECT_EQ(labels.front(), "3.0E-13");
    // Equal steps from the top down, every one inside the axis.
    const auto& t = l.TickPositions();
    ASSERT_EQ(t.size(), labels.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_GE(t[i], l.PixelStart);
        EXPECT_LE(t[i], l.PixelEnd);
        if (i >= 2) {
            EXPECT_NEAR(t[i] - t[i - 1], t[1] - t[0], 1);
        }
    }
    EXPECT_EQ(t[0], l.PixelStart);
}

TEST_F(DrawnAxisTest, TheLabelAtZeroReadsZero) {
    // Admittances of an inductive loop, and a range from zero as the
    // admittance plane is laid out: stepping down from the top must not
    // leave a rounding remainder such as 2.54E-21 where zero belongs.
    auto& l = *chart.LeftAxis;
    l.SetValuesFormat("0.00E+00");
    const struct {
        double lo, hi;
    } ranges[] = {{-1.309e-5, 1.7e-5}, {-1.771e-5, 2.3e-5}, {-4.697e-4, 6.1e-4}, {-0.231, 0.3}, {0, 1.7e-5}};
    for (const auto& r : ranges) {
        series.Clear();
        series.AddXY(1, r.lo);
        series.AddXY(2, r.hi);
        const auto labels = LabelsOf(&l);
        ASSERT_GE(labels.size(), 3u) << r.lo << ".." << r.hi;
        EXPECT_NE(std::find(labels.begin(), labels.end(), "0.00E+00"), labels.end()) << r.lo << ".." << r.hi;
        // Every label a whole number of steps (read from the first two labels).
        const double step = std::stod(labels[0]) - std::stod(labels[1]);
        for (const auto& text : labels) {
            const double k = std::stod(text) / step;
            EXPECT_NEAR(k, std::round(k), 1e-6) << text << " in " << r.lo << ".." << r.hi;
        }
    }
}

TEST_F(DrawnAxisTest, ErrorsOfAGoodFitGetAReadableScale) {
    // Relative errors of a fit between -0.8 % and 0.5 %: a step of 1 would
    // leave the axis a single label, 0.
    auto& l = *chart.LeftAxis;
    series.AddXY(1, -0.8);
    series.AddXY(2, 0.5);
    EXPECT_EQ(LabelsOf(&l), (std::vector<std::string>{"0.5", "0.4", "0.3", "0.2", "0.1", "0", "-0.1", "-0.2", "-0.3",
                                                      "-0.4", "-0.5", "-0.6", "-0.7", "-0.8"}));
    // Spans of ten units and more keep whole-number steps.
    series.Clear();
    series.AddXY(1, 0);
    series.AddXY(2, 10);
    EXPECT_EQ(LabelsOf(&l).size(), 11u);
}

TEST_F(DrawnAxisTest, TickListHoldsAtMostItsCapacity) {
    auto& b = *chart.BottomAxis;
    series.AddXY(0, 0);
    series.AddXY(5000, 1);
    b.SetLabelsSeparation(0);
    b.SetDesiredIncrement(1);  // 5001 labels, far more than the list holds
    LabelsOf(&b);
    EXPECT_EQ(static_cast<int>(b.TickPositions().size()), TCustomChartAxis::MaxTickPositions);
    b.SetDesiredIncrement(0.1);  // 50000 steps: refused outright
    EXPECT_TRUE(LabelsOf(&b).empty());
}

TEST_F(DrawnAxisTest, AxisWithoutActiveSeriesDrawsLineAndTitleOnly) {
    series.SetActive(false);
    chart.BottomAxis->Title->SetCaption("Frequency");
    const auto texts = LabelsOf(chart.BottomAxis);
    EXPECT_EQ(texts, (std::vector<std::string>{"Frequency"}));
    EXPECT_TRUE(chart.BottomAxis->TickPositions().empty());
}

TEST_F(DrawnAxisTest, GridCenteredFallsBetweenLabels) {
    auto& b = *chart.BottomAxis;
    series.AddXY(0, 0);
    series.AddXY(10, 1);
    b.SetDesiredIncrement(5);
    b.SetLabelsSeparation(0);
    b.SetGridCentered(true);
    b.Grid->SetStyle(TPenStyle::Solid);
    LabelsOf(&b);
    const auto& t = b.TickPositions();
    ASSERT_EQ(t.size(), 3u);
    const TRect cr = chart.ChartRect;
    int gridLines = 0;
    for (const auto& c : device.CallsStartingWith("LineTo "))
        if (c == "LineTo " + std::to_string(platform::RoundHalfEven((t[0] + t[1]) * 0.5)) + " " +
                     std::to_string(cr.Bottom) ||
            c == "LineTo " + std::to_string(platform::RoundHalfEven((t[1] + t[2]) * 0.5)) + " " +
                     std::to_string(cr.Bottom))
            ++gridLines;
    EXPECT_EQ(gridLines, 2);
}

// ---------------------------------------------------------------------------
// Plot rectangle and the drawing order

TEST_F(AxisTest, PlotRectangleFromMarginsBeforeTheAxesTakeTheirRoom) {
    chart.AxisVisible = false;
    DrawRecorded();
    EXPECT_EQ(chart.ChartRect, (TRect{20, 14, 636, 343}));
    EXPECT_EQ(chart.ChartRectWidth, 616);
    EXPECT_EQ(chart.ChartRectXCenter, 328);

    chart.Width = 400;
    chart.Height = 250;
    DrawRecorded();
    EXPECT_EQ(chart.ChartRect, (TRect{12, 10, 388, 240}));

    // Margins meeting in the middle: the plot takes the control's width.
    chart.SetMargin(0, 50);
    chart.SetMargin(2, 50);
    DrawRecorded();
    EXPECT_EQ(chart.ChartRect.Left, 200);
    EXPECT_EQ(chart.ChartRect.Right, 600);

    chart.BorderWidth = 5;
    chart.SetMargin(0, 3);
    chart.SetMargin(2, 3);
    DrawRecorded();
    EXPECT_EQ(chart.ChartRect, (TRect{17, 15, 383, 235}));
}

TEST_F(AxisTest, AxesNarrowThePlotRectangleByTitleLabelsAndTicks) {
    ProbeSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 0);
    s.AddXY(10, 100);
    chart.LeftAxis->Title->SetCaption("Z''");
    DrawRecorded();
    const TRect cr = chart.ChartRect;
    // Bottom: labels one font height (11) + tick band (axis 2 + tick 4).
    EXPECT_EQ(cr.Bottom, 343 - 11 - 6);
    // Left: title one font height, labels the widest "100" plus a blank
    // (the recording device measures half the font height a character), ticks 6.
    EXPECT_EQ(cr.Left, 20 + 11 + (3 * 11 / 2 + 11 / 2) + 6);
    EXPECT_EQ(cr.Top, 14);
    EXPECT_EQ(cr.Right, 636);  // the right and top axes have no series
    EXPECT_EQ(chart.BottomAxis->PixelStart, cr.Left);
    EXPECT_EQ(chart.BottomAxis->PixelEnd, cr.Right);
    EXPECT_EQ(chart.LeftAxis->PixelStart, cr.Top);
    EXPECT_EQ(chart.LeftAxis->PixelEnd, cr.Bottom);
    EXPECT_EQ(chart.BottomAxis->AxisLinePos, cr.Bottom);
    EXPECT_EQ(chart.LeftAxis->AxisLinePos, cr.Left);
}

TEST_F(AxisTest, SettersRepaintOnlyOnChangeAndRefuseBad3DPercent) {
    int invalidations = 0;
    chart.OnInvalidateWindow = [&] { ++invalidations; };
    chart.SetMargin(1, chart.MarginTop);
    chart.LeftAxis->SetMinorTickCount(3);
    EXPECT_EQ(invalidations, 0);
    chart.LeftAxis->SetMinorTickCount(4);
    EXPECT_EQ(invalidations, 1);
    try {
        chart.Set3DPercent(0);
        FAIL() << "no exception";
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "3D effect percent must be between 1 and 100");
    }
    chart.Set3DPercent(100);
    EXPECT_EQ(chart.Chart3DPercent, 100);
}

TEST_F(AxisTest, DrawingOrderEndsWithTheAfterDrawEvent) {
    std::vector<std::string> log;
    ProbeSeries s;
    s.log = &log;
    chart.AddSeries(&s);
    s.AddXY(1, 1);
    s.AddXY(2, 4);
    chart.OnBeforeDrawAxes = [&](TCustomAxisPanel*) { log.push_back("axes"); };
    chart.OnBeforeDrawSeries = [&](TCustomAxisPanel*) { log.push_back("series"); };
    chart.OnAfterDraw = [&](TCustomChartPanel* p) {
        log.push_back("after draw");
        // Everything the programs read here is in place.
        EXPECT_EQ(chart.LeftAxis->Maximum(), 4);
        EXPECT_GT(p->ChartRect.Right, p->ChartRect.Left);
        p->Canvas->TextOut(5, 5, "overlay");
    };
    DrawRecorded();
    EXPECT_EQ(log, (std::vector<std::string>{"before chart", "axes", "series", "point 0", "point 1", "after draw"}));

    // On the canvas: background first, then the axes (labels), then the
    // series marks, the program's overlay last.
    const auto& calls = device.calls;
    auto firstIndex = [&](const std::string& prefix) {
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (calls[i].rfind(prefix, 0) == 0) return static_cast<long>(i);
        return -1L;
    };
    auto lastIndex = [&](const std::string& prefix) {
        long found = -1;
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (calls[i].rfind(prefix, 0) == 0) found = static_cast<long>(i);
        return found;
    };
    const long background = firstIndex("FillRect");
    const long firstLabel = firstIndex("TextOut");
    // The back wall is the first rectangle, the series marks follow.
    const long wall = firstIndex("Rectangle");
    long firstPoint = -1;
    for (std::size_t i = static_cast<std::size_t>(wall) + 1; i < calls.size() && firstPoint < 0; ++i)
        if (calls[i].rfind("Rectangle", 0) == 0) firstPoint = static_cast<long>(i);
    const long overlay = lastIndex("TextOut");
    ASSERT_GE(background, 0);
    EXPECT_LT(background, wall);
    EXPECT_LT(wall, firstLabel);
    EXPECT_LT(firstLabel, firstPoint);
    EXPECT_EQ(calls[static_cast<std::size_t>(overlay)], "TextOut 5 5 overlay");
    EXPECT_EQ(overlay, static_cast<long>(calls.size()) - 1);

    // With the axes in front, they follow the series.
    log.clear();
    AxisBehindSeries = false;
    DrawRecorded();
    AxisBehindSeries = true;
    EXPECT_EQ(log, (std::vector<std::string>{"before chart", "series", "point 0", "point 1", "axes", "after draw"}));
}

TEST_F(AxisTest, AxisVisibilityFollowsTheActiveSeries) {
    ProbeSeries left, right;
    chart.AddSeries(&left);
    chart.AddSeries(&right);
    right.SetVertAxis(aRightAxis);
    EXPECT_TRUE(chart.IsAxisVisible(chart.RightAxis));
    EXPECT_FALSE(chart.IsAxisVisible(chart.TopAxis));
    right.SetActive(false);
    EXPECT_FALSE(chart.IsAxisVisible(chart.RightAxis));
    left.SetActive(false);
    EXPECT_TRUE(chart.IsAxisVisible(chart.TopAxis));  // no active series: every visible axis
    EXPECT_FALSE(chart.IsAxisVisible(chart.DepthAxis));
}

}  // namespace
}  // namespace pellucor::chart
