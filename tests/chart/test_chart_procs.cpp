// Engine helpers: round steps, date-time steps, texts and fields, hit tests,
// the angle check, default fonts and colours, gradients.
#include <gtest/gtest.h>

#include <string>

#include "chart/ChartProcs.h"
#include "platform/Clock.h"

namespace pellucor::chart {
namespace {

double Serial(int y, int m, int d, int h = 0) {
    platform::DateTime t;
    t.year = y;
    t.month = m;
    t.day = d;
    t.hour = h;
    return t.ToSerial();
}

TEST(ChartNextStep, OneTwoFiveSequence) {
    const struct {
        double in, out;
    } cases[] = {{1, 2},      {2, 5},      {4.9, 5},   {5, 10},   {0.03, 0.05}, {70, 100},
                 {10, 20},    {0.1, 0.2},  {0.2, 0.5}, {0.5, 1},  {1e-5, 2e-5}, {2e-5, 5e-5},
                 {9.99, 10},  {123, 200},  {1e6, 2e6}, {0.7, 1}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(ChartNextStep(c.in), c.out) << c.in;
    // Stepping repeatedly from a tiny value never stalls on an inexact decade.
    double s = 1e-12;
    for (int i = 0; i < 39; ++i) {
        const double next = ChartNextStep(s);
        ASSERT_GT(next, s) << "step " << i;
        s = next;
    }
    EXPECT_DOUBLE_EQ(s, 10.0);
}

// Below the smallest normal number 10^-x no longer fits a double; the steps
// are still the next of 1, 2, 5 times a power of ten, never 0.
TEST(ChartNextStep, StepsBelowTheNormalRange) {
    const struct {
        double in, out;
    } cases[] = {{3e-310, 5e-310}, {1.2e-320, 2e-320}, {7e-315, 1e-314}, {1.5e-308, 2e-308}};
    for (const auto& c : cases) EXPECT_NEAR(ChartNextStep(c.in) / c.out, 1.0, 1e-3) << c.in;
}

TEST(DateTimeSteps, NextAndFind) {
    EXPECT_DOUBLE_EQ(NextDateTimeStep(1.0), 2.0);
    EXPECT_DOUBLE_EQ(NextDateTimeStep(0.5 / 86400.0), 365.0) << "below one second: a year";
    EXPECT_DOUBLE_EQ(NextDateTimeStep(3.5), 7.0);
    EXPECT_DOUBLE_EQ(NextDateTimeStep(1.0 / 24.0), 2.0 / 24.0);
    EXPECT_EQ(FindDateTimeStep(7.0), dtOneWeek);
    EXPECT_EQ(FindDateTimeStep(8.0), dtNone);
    EXPECT_EQ(FindDateTimeStep(1.0 / 1440.0), dtOneMinute);
    EXPECT_EQ(FindDateTimeStep(30.0), dtOneMonth);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DateTimeDefaultFormat(2.0), DefaultChartDateFormats().shortDate);
    EXPECT_EQ(DateTimeDefaultFormat(1.0), DefaultChartDateFormats().shortTime);
}

TEST(DateTimeSteps, RoundDate) {
    EXPECT_DOUBLE_EQ(ChartRoundDate(Serial(2000, 5, 20, 14), dtHalfMonth), Serial(2000, 5, 15));
    EXPECT_DOUBLE_EQ(ChartRoundDate(Serial(2000, 5, 14, 14), dtHalfMonth), Serial(2000, 5, 1));
    EXPECT_DOUBLE_EQ(ChartRoundDate(Serial(2000, 5, 20, 14), dtOneHour), Serial(2000, 5, 20));
    EXPECT_DOUBLE_EQ(ChartRoundDate(Serial(2000, 5, 20, 14), dtThreeMonths), Serial(2000, 5, 1));
    EXPECT_DOUBLE_EQ(ChartRoundDate(Serial(2000, 5, 20, 14), dtOneYear), Serial(2000, 1, 1));
    const double early = Serial(1899, 7, 3, 6);
    EXPECT_DOUBLE_EQ(ChartRoundDate(early, dtOneYear), early) << "1900 and before unchanged";
}

TEST(DateTimeSteps, ValuesBeyondTheCalendarAreNumbers) {
    // Whole days of these do not fit an integer: no calendar arithmetic.
    for (double big : {1e308, 9.3e18, 2e9}) {
        EXPECT_EQ(ChartRoundDate(big, dtOneMonth), big);
        double v = big;
        ChartDateTimeIncrement(true, true, v, 30, dtOneMonth);
        EXPECT_EQ(v, big + 30);
    }
}

TEST(DateTimeSteps, Increment) {
    double v = Serial(1999, 12, 31, 10);
    ChartDateTimeIncrement(true, true, v, 30, dtOneMonth);
    EXPECT_DOUBLE_EQ(v, Serial(2000, 1, 1));
    v = Serial(2000, 2, 15);
    ChartDateTimeIncrement(true, false, v, 30, dtOneMonth);
    EXPECT_DOUBLE_EQ(v, Serial(2000, 1, 1));
    v = Serial(2000, 2, 15);
    ChartDateTimeIncrement(true, false, v, 120, dtFourMonths);
    EXPECT_DOUBLE_EQ(v, Serial(1999, 10, 1));
    v = Serial(2000, 11, 3);
    ChartDateTimeIncrement(true, true, v, 90, dtThreeMonths);
    EXPECT_DOUBLE_EQ(v, Serial(2001, 2, 1));
    // Half months step between the 1st and the 15th: forward always later,
    // back always earlier.
    const struct {
        int y, m, d;
        bool forward;
        int ey, em, ed;
    } halves[] = {
        {2000, 3, 20, true, 2000, 4, 1},   {2000, 3, 15, true, 2000, 4, 1},
        {2000, 3, 14, true, 2000, 3, 15},  {2000, 3, 1, true, 2000, 3, 15},
        {2000, 12, 31, true, 2001, 1, 1},  {2000, 12, 15, true, 2001, 1, 1},
        {2000, 3, 20, false, 2000, 3, 15}, {2000, 3, 15, false, 2000, 3, 1},
        {2000, 3, 2, false, 2000, 3, 1},   {2000, 1, 1, false, 1999, 12, 15},
    };
    for (const auto& c : halves) {
        v = Serial(c.y, c.m, c.d, 6);
        ChartDateTimeIncrement(true, c.forward, v, 15, dtHalfMonth);
        EXPECT_DOUBLE_EQ(v, Serial(c.ey, c.em, c.ed)) << c.y << "-" << c.m << "-" << c.d << " " << c.forward;
    }
    // Marks laid out forward from a rounded start keep moving on.
    v = ChartRoundDate(Serial(2000, 5, 20, 14), dtHalfMonth);
    for (int i = 0; i < 30; ++i) {
        const double before = v;
        ChartDateTimeIncrement(true, true, v, 15, dtHalfMonth);
        ASSERT_GT(v, before) << i;
    }
    EXPECT_DOUBLE_EQ(v, Serial(2001, 8, 15));  // 15 May 2000 and 30 half months
    // A leap day moved by a year lands on the last day of February.
    v = Serial(2000, 2, 29);
    ChartDateTimeIncrement(true, true, v, 365, dtOneYear);
    EXPECT_DOUBLE_EQ(v, Serial(2001, 2, 28));
    // Plain axes and short steps add or subtract.
    v = 10.0;
    ChartDateTimeIncrement(false, true, v, 2.5, dtOneMonth);
    EXPECT_DOUBLE_EQ(v, 12.5);
    ChartDateTimeIncrement(true, false, v, 0.5, dtOneDay);
    EXPECT_DOUBLE_EQ(v, 12.0);
}

TEST(ChartTexts, LinesAndFields) {
    std::string t = "Real part";
    ChartSplitInLines(t, " ");
    EXPECT_EQ(t, "Real\rpart");
    std::string u = "a--b--c";
    ChartSplitInLines(u, "--");
    EXPECT_EQ(u, "a\r-b\r-c");
    // A separator that starts with a line break is already split: nothing to
    // do, and above all no endless search.
    for (const std::string sep : {"\r", "\r\n"}) {
        std::string v = "one\r\ntwo\rthree";
        ChartSplitInLines(v, sep);
        EXPECT_EQ(v, "one\r\ntwo\rthree");
    }
    EXPECT_EQ(ChartNumTextLines(""), 0);
    EXPECT_EQ(ChartNumTextLines("one"), 1);
    EXPECT_EQ(ChartNumTextLines("one\rtwo"), 2);
    EXPECT_EQ(ChartNumTextLines("one\r"), 1);
    EXPECT_EQ(ChartNumTextLines("\r\r"), 2);
    EXPECT_EQ(ChartNumFields(""), 0);
    EXPECT_EQ(ChartNumFields("a;b;c"), 3);
    EXPECT_EQ(ChartExtractField("a;b;c", 2), "b");
    EXPECT_EQ(ChartExtractField("a;b;c", 5), "c");
    EXPECT_EQ(ChartExtractField("a;b;c", 0), "c");
    EXPECT_EQ(ChartExtractField("a;;c", 2), "");
    EXPECT_EQ(ChartExtractField("", 1), "");
    EXPECT_EQ(ChartFormatToLocal("#,##0.###"), "#,##0.###");  // default separators
    EXPECT_EQ(ChartLocalToFormat("0.00E+00"), "0.00E+00");
}

TEST(HitTests, PointInLine) {
    const struct {
        TPoint p;
        int x0, y0, x1, y1, tol;
        bool in;
    } cases[] = {
        {{5, 0}, 0, 0, 10, 0, 0, true},     // on the segment
        {{10, 0}, 0, 0, 10, 0, 0, true},    // exactly at an end
        {{0, 0}, 0, 0, 10, 0, 0, true},
        {{12, 0}, 0, 0, 10, 0, 0, false},   // two pixels beyond an end
        {{-2, 0}, 0, 0, 10, 0, 0, false},
        {{12, 0}, 0, 0, 10, 0, 3, true},    // within the tolerance
        {{5, 1}, 0, 0, 10, 0, 0, false},    // a pixel off a horizontal line
        {{5, 5}, 0, 0, 10, 10, 0, true},    // diagonal
        {{5, 6}, 0, 0, 10, 10, 0, false},
        {{5, 5}, 0, 0, 10, 11, 0, true},    // within about a pixel
        {{3, 3}, 3, 3, 3, 3, 0, false},     // a line of no length
        {{0, 12}, 0, 0, 0, 10, 0, false},   // beyond the end of a vertical line
    };
    for (const auto& c : cases)
        EXPECT_EQ(PointInLineTolerance(c.p, c.x0, c.y0, c.x1, c.y1, c.tol), c.in)
            << c.p.x << "," << c.p.y << " on " << c.x0 << "," << c.y0 << "-" << c.x1 << ","
            << c.y1 << " tol " << c.tol;
    EXPECT_FALSE(PointInLine({12, 0}, 0, 0, 10, 0));
    EXPECT_TRUE(PointInLine({10, 0}, 0, 0, 10, 0));
}

TEST(HitTests, PolygonsTrianglesEllipses) {
    const TPoint square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_TRUE(PointInPolygon({5, 5}, square, 3));
    EXPECT_TRUE(PointInPolygon({0, 0}, square, 3)) << "top-left corner in";
    EXPECT_FALSE(PointInPolygon({10, 5}, square, 3)) << "right edge out";
    EXPECT_FALSE(PointInPolygon({5, 10}, square, 3)) << "bottom edge out";
    EXPECT_FALSE(PointInPolygon({5, 5}, square, -1));
    // A bow tie: the even-odd rule.
    const TPoint bow[4] = {{0, 0}, {10, 10}, {10, 0}, {0, 10}};
    EXPECT_TRUE(PointInPolygon({2, 5}, bow, 3));
    EXPECT_FALSE(PointInPolygon({5, 2}, bow, 3));

    // Upward triangle (0,10) (5,0) (10,10).
    EXPECT_TRUE(PointInTriangle({5, 8}, 0, 10, 0, 10));
    EXPECT_FALSE(PointInTriangle({1, 2}, 0, 10, 0, 10));
    // Sideways triangle (10,0) (0,5) (10,10).
    EXPECT_TRUE(PointInHorizTriangle({8, 5}, 0, 10, 0, 10));
    EXPECT_FALSE(PointInHorizTriangle({2, 1}, 0, 10, 0, 10));

    const TRect box{0, 0, 20, 10};  // centre (10, 5), half axes 10 and 5
    EXPECT_TRUE(PointInEllipse({10, 5}, box));
    EXPECT_TRUE(PointInEllipse({0, 5}, box)) << "on the ellipse";
    EXPECT_TRUE(PointInEllipse({10, 0}, box));
    EXPECT_FALSE(PointInEllipse({1, 1}, box));
    EXPECT_TRUE(PointInEllipse({16, 8}, box));  // 0.36 + 0.36 <= 1
    EXPECT_FALSE(PointInEllipse({18, 9}, box));  // 0.64 + 0.64 > 1
    EXPECT_FALSE(PointInEllipse({5, 5}, TRect{5, 0, 5, 10})) << "no width";
}

TEST(ChartCheckAngle, AcceptsZeroTo359) {
    EXPECT_NO_THROW(ChartCheckAngle(0, "Axis Title"));
    EXPECT_NO_THROW(ChartCheckAngle(359, "Axis Title"));
    try {
        ChartCheckAngle(360, "Axis Labels");
        FAIL() << "360 accepted";
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "Axis Labels Angle must be between 0 and 359 degrees");
    }
    EXPECT_THROW(ChartCheckAngle(-1, "Axis Title"), ChartException);
}

TEST(ChartDefaults, FontsAndColours) {
    EXPECT_EQ(GetDefaultFontName(), "Arial");
    EXPECT_EQ(GetDefaultFontSize(), 8);
    auto f = CreateDefaultFont({});
    EXPECT_TRUE(IsDefaultFont(*f));
    f->SetStyle(platform::fsBold);
    EXPECT_FALSE(IsDefaultFont(*f));
    f->SetStyle(0);
    f->SetCharset(0);
    EXPECT_FALSE(IsDefaultFont(*f));
    f->SetCharset(1);
    f->SetColor(clRed);
    EXPECT_FALSE(IsDefaultFont(*f));

    EXPECT_EQ(GetDefaultColor(0), clRed);
    EXPECT_EQ(GetDefaultColor(15), clBlack);
    EXPECT_EQ(GetDefaultColor(16), clRed);
    EXPECT_EQ(GetDefaultColor(17), clGreen);
    EXPECT_EQ(ChartGetImageExtension(2), "EMF");
    EXPECT_EQ(ChartGetImageExtension(4), "JPG");
    int cursor = 0;
    EXPECT_TRUE(ChartIdentToCursor("crChartHand", cursor));
    EXPECT_EQ(cursor, crChartHand);
    std::string ident;
    EXPECT_TRUE(ChartCursorToIdent(2020, ident));
    EXPECT_EQ(ident, "crChartHand");
    EXPECT_EQ(ChartGetUniqueName([](const std::string& n) { return n == "Series1"; }, "Series"),
              "Series2");
}

struct CountingWindow : TChartWindow {
    int invalidations = 0;
    void Invalidate() override { ++invalidations; }
};

TEST(ChartFontObject, FontChangesRepaintAndStoredOnlyWhenNotDefault) {
    CountingWindow w;
    TChartFontObject title(&w);
    EXPECT_FALSE(title.IsFontStored());
    title.GetFont().SetSize(8);
    EXPECT_EQ(w.invalidations, 0);
    title.GetFont().SetSize(12);
    EXPECT_EQ(w.invalidations, 1);
    EXPECT_TRUE(title.IsFontStored());
    TChartFontObject other(nullptr);
    other.Assign(title);
    EXPECT_EQ(other.GetFont().GetSize(), 12);
}

TEST(ChartGradient, DefaultsSettersAndAssign) {
    CountingWindow w;
    TChartGradient g(&w);
    EXPECT_FALSE(g.GetVisible());
    EXPECT_EQ(g.GetDirection(), gdTopBottom);
    EXPECT_EQ(g.GetStartColor(), clWhite);
    EXPECT_EQ(g.GetEndColor(), clYellow);
    g.SetVisible(false);
    EXPECT_EQ(w.invalidations, 0);
    g.SetVisible(true);
    g.SetDirection(gdFromCenter);
    EXPECT_EQ(w.invalidations, 2);
    TChartGradient h;
    h.Assign(g);
    EXPECT_TRUE(h.GetVisible());
    EXPECT_EQ(h.GetDirection(), gdFromCenter);
    EXPECT_EQ(h.Owner, nullptr);
}

}  // namespace
}  // namespace pellucor::chart
