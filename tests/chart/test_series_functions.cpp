// Series functions over all points and per period, data sources and linked
// series, copying a series, mark texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "chart/ChartProcs.h"
#include "chart/Series.h"
#include "chart/series/BarSeries.h"
#include "chart/series/SeriesFunctions.h"
#include "chart/series/SeriesMarks.h"

namespace pellucor::chart {
namespace {

struct XY {
    double x, y;
};

std::vector<XY> Points(const TChartSeries& s) {
    std::vector<XY> out;
    for (int i = 0; i < s.Count(); ++i) out.push_back({s.XValues->GetValue(i), s.YValues->GetValue(i)});
    return out;
}

void ExpectPoints(const TChartSeries& s, const std::vector<XY>& want) {
    const auto got = Points(s);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].x, want[i].x, 1e-9) << "point " << i;
        EXPECT_NEAR(got[i].y, want[i].y, 1e-9) << "point " << i;
    }
}

class FunctionTest : public ::testing::Test {
protected:
    TChartSeries& NewSource(const std::vector<XY>& pts) {
        auto s = std::make_unique<TPointSeries>();
        s->Name = "Source" + std::to_string(sources.size() + 1);
        s->SetParentChart(&chart);
        for (const XY& p : pts) s->AddXY(p.x, p.y);
        sources.push_back(std::move(s));
        return *sources.back();
    }
    // A series of the given kind computing f from the sources.
    template <typename S = TPointSeries>
    S& NewResult(std::unique_ptr<TChartFunction> f, const std::vector<TChartSeries*>& from) {
        auto s = std::make_unique<S>();
        s->SetParentChart(&chart);
        S& r = *s;
        results.push_back(std::move(s));
        r.SetFunction(std::move(f));
        if (from.size() == 1) r.SetDataSource(from[0]);
        else
            for (TChartSeries* src : from) r.InternalAddDataSource(src);
        r.CheckDataSource();
        return r;
    }
    TChart chart;
    std::vector<std::unique_ptr<TChartSeries>> sources, results;
};

TEST_F(FunctionTest, ManySourcesPointByPoint) {
    // Values at index 0: 10, 3, 2; at index 1 the second source has no point.
    auto& a = NewSource({{0, 10}, {1, 12}});
    auto& b = NewSource({{0, 3}});
    auto& c = NewSource({{0, 2}, {1, 4}});
    struct Case {
        const char* cls;
        double at0, at1;
    };
    const Case cases[] = {
        {"TAddChartFunction", 15, 16},       {"TSubtractChartFunction", 5, 8},
        {"TMultiplyChartFunction", 60, 48},  {"TDivideChartFunction", 10.0 / 3 / 2, 3},
        {"THighChartFunction", 10, 12},      {"TLowChartFunction", 2, 4},
        {"TAverageChartFunction", 5, 8},
    };
    for (const auto& k : cases) {
        auto& r = NewResult(CreateChartFunction(k.cls), {&a, &b, &c});
        ExpectPoints(r, {{0, k.at0}, {1, k.at1}});
    }
}

TEST_F(FunctionTest, DivideByZeroKeepsTheQuotientAndHighLowStartFromTheFirstValue) {
    auto& a = NewSource({{0, 8}, {1, -5}});
    auto& b = NewSource({{0, 0}, {1, -7}});
    auto& c = NewSource({{0, 2}, {1, -6}});
    ExpectPoints(NewResult(CreateChartFunction("TDivideChartFunction"), {&a, &b, &c}),
                 {{0, 4}, {1, -5.0 / -7 / -6}});
    // Only negative values at index 1: the highest is one of them, not 0.
    ExpectPoints(NewResult(CreateChartFunction("THighChartFunction"), {&a, &b, &c}), {{0, 8}, {1, -5}});
    auto& p = NewSource({{0, 3}, {1, 9}});
    auto& q = NewSource({{0, 4}, {1, 7}});
    ExpectPoints(NewResult(CreateChartFunction("TLowChartFunction"), {&p, &q}), {{0, 3}, {1, 7}});
}

TEST_F(FunctionTest, AllPointsGiveALevelLineOrOneMiddlePoint) {
    auto& src = NewSource({{2, 1}, {4, 5}, {10, 3}});
    // A line series clears SingleFunctionPoint: a level line across the range.
    ExpectPoints(NewResult<TLineSeries>(CreateChartFunction("TAverageChartFunction"), {&src}), {{2, 3}, {10, 3}});
    // A point series keeps one point at the middle x.
    ExpectPoints(NewResult(CreateChartFunction("TAverageChartFunction"), {&src}), {{6, 3}});
    ExpectPoints(NewResult(CreateChartFunction("TAddChartFunction"), {&src}), {{6, 9}});
    ExpectPoints(NewResult(CreateChartFunction("THighChartFunction"), {&src}), {{6, 5}});
    ExpectPoints(NewResult(CreateChartFunction("TLowChartFunction"), {&src}), {{6, 1}});
}

TEST_F(FunctionTest, AverageOfThreePointPeriods) {
    // Seven points, x = 10 i, y = i * i: the means of 0..2 and 3..5, each at
    // the middle between the x of its first and last point; point 6 adds nothing.
    std::vector<XY> pts;
    for (int i = 0; i < 7; ++i) pts.push_back({10.0 * i, 1.0 * i * i});
    auto& src = NewSource(pts);
    auto f = std::make_unique<TAverageChartFunction>();
    f->InternalSetPeriod(3);
    ExpectPoints(NewResult(std::move(f), {&src}), {{10, (0 + 1 + 4) / 3.0}, {40, (9 + 16 + 25) / 3.0}});
}

TEST_F(FunctionTest, PeriodAlignments) {
    std::vector<XY> pts;
    for (int i = 0; i < 4; ++i) pts.push_back({1.0 + i, 2.0 * i});
    auto& src = NewSource(pts);
    struct Case {
        TFunctionPeriodAlign align;
        double x0, x1;
    };
    for (const Case& k : {Case{paFirst, 1, 3}, Case{paLast, 2, 4}, Case{paCenter, 1.5, 3.5}}) {
        auto f = std::make_unique<THighChartFunction>();
        f->InternalSetPeriod(2);
        f->PeriodAlign = k.align;
        ExpectPoints(NewResult(std::move(f), {&src}), {{k.x0, 2}, {k.x1, 6}});
    }
}

TEST_F(FunctionTest, RangePeriodsIncludingAnEmptyOne) {
    auto& src = NewSource({{0, 4}, {1, 6}, {25, 9}});
    auto f = std::make_unique<TAverageChartFunction>();
    f->InternalSetPeriod(10);
    f->PeriodStyle = psRange;
    ExpectPoints(NewResult(std::move(f), {&src}), {{4.995, 5}, {14.995, 0}, {24.995, 9}});
}

TEST_F(FunctionTest, PeriodsThatCannotAdvanceEndInsteadOfLooping) {
    auto& src = NewSource({{0, 1}, {1, 2}, {2, 3}});
    // Under half a point per period: no period holds a point.
    auto f = std::make_unique<TAverageChartFunction>();
    f->InternalSetPeriod(0.4);
    EXPECT_TRUE(Points(NewResult(std::move(f), {&src})).empty());
    // A range far below the spacing of large x values does not move the
    // period start on at all.
    auto& big = NewSource({{1e18, 1}, {2e18, 2}});
    auto g = std::make_unique<TAverageChartFunction>();
    g->InternalSetPeriod(1e-6);
    g->PeriodStyle = psRange;
    auto& r = NewResult(std::move(g), {&big});
    EXPECT_LE(r.Count(), 2);
}

TEST_F(FunctionTest, PeriodSetterRefusesNegativeAndRefillsOnlyOnChange) {
    auto& src = NewSource({{0, 1}, {1, 3}, {2, 5}, {3, 7}});
    auto& r = NewResult(CreateChartFunction("TAverageChartFunction"), {&src});
    ExpectPoints(r, {{1.5, 4}});
    int clears = 0;
    r.OnClearValues = [&](TChartSeries*) { ++clears; };
    EXPECT_THROW(r.SeriesFunction->SetPeriod(-1), ChartException);
    r.SeriesFunction->SetPeriod(0);
    EXPECT_EQ(clears, 0) << "same period: no refill";
    r.SeriesFunction->SetPeriod(2);
    EXPECT_EQ(clears, 1);
    ExpectPoints(r, {{0.5, 2}, {2.5, 6}});
}

TEST_F(FunctionTest, FunctionMovesToAnotherSeries) {
    auto& src = NewSource({{0, 2}, {2, 4}});
    auto& first = NewResult(CreateChartFunction("TAddChartFunction"), {&src});
    auto& second = NewResult(std::unique_ptr<TChartFunction>(), {&src});
    ExpectPoints(second, {{0, 2}, {2, 4}});  // a plain copy without a function
    TChartFunction* f = first.SeriesFunction.get();
    f->SetParentSeries(&second);
    EXPECT_EQ(first.SeriesFunction, nullptr);
    EXPECT_EQ(second.SeriesFunction.get(), f);
    EXPECT_EQ(f->ParentSeries, &second);
    ExpectPoints(second, {{1, 6}});
}

TEST(SeriesFunctionRegistry, SevenFunctionsOnTheFunctionsPage) {
    RegisterSeriesFunctions();
    RegisterSeriesFunctions();
    const std::pair<const char*, const char*> functions[] = {
        {"TAddChartFunction", "Add"},           {"TSubtractChartFunction", "Subtract"},
        {"TMultiplyChartFunction", "Multiply"}, {"TDivideChartFunction", "Divide"},
        {"THighChartFunction", "High"},         {"TLowChartFunction", "Low"},
        {"TAverageChartFunction", "Average"},
    };
    for (const auto& [cls, description] : functions) {
        int found = 0;
        for (int i = 0; i < ChartSeriesTypes().Count(); ++i) {
            const auto& t = ChartSeriesTypes().GetSeriesType(i);
            if (t.FunctionType == cls && t.TypeDescription == description && t.PageName == "Functions") ++found;
        }
        EXPECT_EQ(found, 1) << cls;
        EXPECT_NE(CreateChartFunction(cls), nullptr);
    }
}

// ----- data sources -----

TEST_F(FunctionTest, LinkedSeriesFollowsItsSource) {
    auto& src = NewSource({{1, 10}});
    src.SetXLabel(0, "one");
    src.SetValueColor(0, clRed);
    auto owned = std::make_unique<TPointSeries>();
    auto& copy = *owned;
    copy.SetParentChart(&chart);
    results.push_back(std::move(owned));
    copy.SetDataSource(&src);
    ExpectPoints(copy, {{1, 10}});
    EXPECT_EQ(copy.GetXLabel(0), "one");
    EXPECT_EQ(copy.GetValueColor(0), clRed);

    src.AddXY(2, 20, "two", clBlue);
    ExpectPoints(copy, {{1, 10}, {2, 20}});
    EXPECT_EQ(copy.GetXLabel(1), "two");
    EXPECT_EQ(copy.GetValueColor(1), clBlue);
    src.SetYValue(0, 11);
    ExpectPoints(copy, {{1, 11}, {2, 20}});
    src.Delete(0);
    ExpectPoints(copy, {{2, 20}});
    EXPECT_EQ(copy.GetXLabel(0), "two");

    // Without rOnInsert an add is not passed on; a refresh refills all.
    copy.RecalcOptions = rOnDelete | rOnModify | rOnClear;
    src.AddXY(3, 30);
    EXPECT_EQ(copy.Count(), 1);
    src.RefreshSeries();
    EXPECT_EQ(copy.Count(), 2);
    src.Clear();
    EXPECT_EQ(copy.Count(), 0);
    EXPECT_EQ(copy.LabelList.size(), 0u);

    // The same source twice leaves the lists as they are; a cycle is refused.
    copy.SetDataSource(&src);
    EXPECT_EQ(src.LinkedSeries.size(), 1u);
    EXPECT_THROW(src.SetDataSource(&copy), ChartException);
    EXPECT_TRUE(src.DataSourceList.empty());
    copy.SetDataSource(nullptr);
    EXPECT_TRUE(src.LinkedSeries.empty());
}

TEST_F(FunctionTest, SourceRulesAndDestroyedSources) {
    TPointSeries loose;
    auto& src = NewSource({{1, 1}});
    try {
        loose.SetDataSource(&src);
        ADD_FAILURE() << "no chart";
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "No ParentChart to validate DataSource");
    }
    try {
        src.SetDataSource(&src);
        ADD_FAILURE() << "itself";
    } catch (const ChartException& e) {
        EXPECT_STREQ(e.what(), "No valid DataSource: Source1");
    }
    auto gone = std::make_unique<TPointSeries>();
    gone->SetParentChart(&chart);
    gone->AddXY(5, 5);
    auto& follower = NewSource({});
    follower.SetDataSource(gone.get());
    EXPECT_EQ(follower.Count(), 1);
    gone.reset();
    EXPECT_TRUE(follower.DataSourceList.empty()) << "no dangling source";
    EXPECT_EQ(follower.Count(), 1);
}

TEST_F(FunctionTest, ValueListByNameIgnoresCase) {
    auto& s = NewSource({});
    TChartValueList extra(&s, "Bar");
    EXPECT_EQ(&s.GetYValueList("BAR"), &extra);
    EXPECT_EQ(&s.GetYValueList("Y"), s.YValues.get()) << "the first two lists are never compared";
}

// ----- copying -----

TEST_F(FunctionTest, CopyKeepsColoursAndLabelsAsLongAsTheValues) {
    auto& src = NewSource({});
    src.AddXY(1, 10, "a", clRed);
    src.AddXY(2, 20, "b");
    src.AddXY(3, 30, "c", clBlue);
    // Colour and label lists shorter than the values (as an older route
    // may leave them).
    src.ValueColorList.resize(2);
    src.LabelList.resize(2);
    src.Title = "source";
    src.Marks->Style = smsValue;
    src.ValueFormat = "0.0";
    TPointSeries copy;
    copy.SetParentChart(&chart);
    copy.AssignSeries(src);
    ExpectPoints(copy, {{1, 10}, {2, 20}, {3, 30}});
    EXPECT_EQ(copy.ValueColorList.size(), 3u);
    EXPECT_EQ(copy.LabelList.size(), 3u);
    EXPECT_EQ(copy.GetXLabel(0), "a");
    EXPECT_EQ(copy.GetXLabel(1), "b");
    EXPECT_EQ(copy.GetXLabel(2), "");
    EXPECT_EQ(copy.GetValueColor(0), clRed);
    EXPECT_EQ(copy.ValueColorList[2], UseSeriesColor);
    EXPECT_EQ(copy.Title, "source");
    EXPECT_EQ(copy.Marks->Style, smsValue);
    EXPECT_EQ(copy.GetMarkText(1), "20.0");
    // Adding to the copy keeps the lists in step.
    copy.AddXY(0, 0);
    EXPECT_EQ(copy.ValueColorList.size(), 4u);
    EXPECT_EQ(copy.LabelList.size(), 4u);
}

TEST_F(FunctionTest, CopyOfALinkedSeriesTakesItsSourcesAndBarSettings) {
    auto& src = NewSource({{0, 1}, {1, 2}});
    TBarSeries a, b;
    a.SetParentChart(&chart);
    b.SetParentChart(&chart);
    a.SetDataSource(&src);
    a.SetBarWidthPercent(40);
    a.MultiBar = mbStacked;
    b.AssignSeries(a);
    EXPECT_EQ(b.DataSource(), &src);
    EXPECT_EQ(b.Count(), 2);
    EXPECT_EQ(b.BarWidthPercent, 40);
    EXPECT_EQ(b.MultiBar, mbStacked);
    src.AddXY(2, 3);
    EXPECT_EQ(b.Count(), 3) << "the copy follows the source too";
}

// Copying a series that takes its points from the copy (directly or down a
// chain) must not make a series its own source: a cycle would pass every
// added point round for ever.
TEST_F(FunctionTest, CopyTakesNoSourceThatDependsOnTheCopy) {
    auto& a = NewSource({{0, 1}});
    auto& b = NewSource({});
    auto& c = NewSource({});
    b.SetDataSource(&a);
    c.SetDataSource(&b);
    a.AssignSeries(b);  // b's source is a itself
    EXPECT_TRUE(a.DataSourceList.empty());
    a.AssignSeries(c);  // c's source b depends on a
    EXPECT_TRUE(a.DataSourceList.empty());
    a.AddXY(1, 2);
    a.AddXY(2, 3);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(b.Count(), 2) << "the chain still follows a";
    EXPECT_EQ(c.Count(), 2);
}

// ----- mark texts -----

TEST_F(FunctionTest, MarkTextsByStyle) {
    auto& s = NewSource({});
    s.AddXY(1, 1, "a");
    s.AddXY(2, 3);
    s.PercentFormat = "##0.## %";
    s.ValueFormat = "#,##0.###";
    struct Case {
        TSeriesMarksStyle style;
        int index;
        std::string text;
    };
    const Case cases[] = {
        {smsValue, 1, "3"},
        {smsPercent, 0, "25 %"},
        {smsLabel, 0, "a"},
        {smsLabel, 1, "3"},
        {smsLabelPercent, 1, "3 75 %"},
        {smsLabelValue, 0, "a 1"},
        {smsPercentTotal, 0, "25 % of 4"},
        {smsLabelPercentTotal, 0, "a 25 % of 4"},
    };
    for (const auto& k : cases) {
        s.Marks->Style = k.style;
        EXPECT_EQ(s.GetMarkText(k.index), k.text) << k.style;
    }
    s.OnGetMarkText = [](TChartSeries*, int i, std::string& t) { t += "!" + std::to_string(i); };
    s.Marks->Style = smsValue;
    EXPECT_EQ(s.GetMarkText(0), "1!0");
    TPointSeries zeros;
    zeros.AddXY(0, 0);
    EXPECT_EQ(zeros.MarkPercent(0, false), "100 %");
}

TEST(SeriesMarkPositions, PinnedMarksStayAndClicksFindTheBox) {
    TPointSeries s;
    TSeriesMarks& m = *s.Marks;
    EXPECT_EQ(m.Clicked(5, 5), -1) << "nothing drawn yet";
    TSeriesMarkPosition automatic;
    automatic.LeftTop = {10, 10};
    automatic.Width = 20;
    automatic.Height = 10;
    m.UsePosition(2, automatic);
    EXPECT_EQ(m.Clicked(10, 10), 2);
    EXPECT_EQ(m.Clicked(30, 15), -1) << "right edge excluded";
    TSeriesMarkPosition pinned = automatic;
    pinned.LeftTop = {100, 50};
    m.Positions.SetPosition(2, pinned);
    TSeriesMarkPosition proposed = automatic;
    proposed.LeftTop = {0, 0};
    m.UsePosition(2, proposed);
    EXPECT_EQ(proposed.LeftTop, (TPoint{100, 50})) << "the pinned place wins";
    m.Positions.Automatic(2);
    proposed.LeftTop = {0, 0};
    m.UsePosition(2, proposed);
    EXPECT_EQ(proposed.LeftTop, (TPoint{0, 0}));
    EXPECT_EQ(m.Positions.Position(2)->LeftTop, (TPoint{0, 0}));
}

// A pinned mark belongs to its point: deleting an earlier point moves it
// down with its point, deleting the point drops it, clearing drops them all.
TEST(SeriesMarkPositions, PositionsFollowTheirPointsWhenPointsGo) {
    TPointSeries s;
    for (int i = 0; i < 4; ++i) s.AddXY(i, 10 * i);
    TSeriesMarkPosition at;
    at.Width = 10;
    at.Height = 10;
    at.LeftTop = {100, 0};
    s.Marks->Positions.SetPosition(2, at);
    at.LeftTop = {200, 0};
    s.Marks->Positions.SetPosition(3, at);

    s.Delete(0);  // points 2 and 3 are now 1 and 2
    ASSERT_NE(s.Marks->Positions.Position(1), nullptr);
    EXPECT_EQ(s.Marks->Positions.Position(1)->LeftTop, (TPoint{100, 0}));
    ASSERT_NE(s.Marks->Positions.Position(2), nullptr);
    EXPECT_EQ(s.Marks->Positions.Position(2)->LeftTop, (TPoint{200, 0}));
    EXPECT_EQ(s.Marks->Positions.Position(3), nullptr);
    EXPECT_EQ(s.Marks->Clicked(205, 5), 2);

    s.Delete(1);  // the point pinned at 100 goes, its mark with it
    EXPECT_EQ(s.Marks->Clicked(105, 5), -1);
    EXPECT_EQ(s.Marks->Clicked(205, 5), 1);

    s.Clear();
    EXPECT_EQ(s.Marks->Positions.Count(), 0);
    EXPECT_EQ(s.Marks->Clicked(205, 5), -1) << "no mark of a point that is gone";
}

// A point whose x is not a number (or infinite) has no place on the x axis,
// so it belongs to no range period; the periods of the other points are
// worked out as without it, and the computation ends.
TEST_F(FunctionTest, RangePeriodsPassOverPointsWithoutAPlace) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        std::vector<XY> points;
    } cases[] = {
        {"infinite x last", {{0, 4}, {1, 6}, {25, 9}, {inf, 100}}},
        {"no number in the middle", {{0, 4}, {1, 6}, {nan, 100}, {25, 9}}},
        {"minus infinity first", {{-inf, 100}, {0, 4}, {1, 6}, {25, 9}}},
    };
    for (const Case& c : cases) {
        auto& src = NewSource(c.points);
        auto f = std::make_unique<TAverageChartFunction>();
        f->InternalSetPeriod(10);
        f->PeriodStyle = psRange;
        ExpectPoints(NewResult(std::move(f), {&src}), {{4.995, 5}, {14.995, 0}, {24.995, 9}});
        if (HasFailure()) ADD_FAILURE() << c.name;
    }
}

}  // namespace
}  // namespace pellucor::chart
