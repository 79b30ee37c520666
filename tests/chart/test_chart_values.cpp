// Value lists: placement in order, statistics, multiplier, scrolling,
// sorting through the owner, index errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "chart/ChartValues.h"

namespace pellucor::chart {
namespace {

std::vector<double> Values(const TChartValueList& l) {
    std::vector<double> v;
    for (int i = 0; i < l.Count(); ++i) v.push_back(l.GetValue(i));
    return v;
}

// A series stand-in: keeps its lists, swaps points in all of them, logs
// what it is told.
struct FakeSeries : TChartValueListOwner {
    TChartValueLists lists;
    std::vector<std::string> log;
    bool boolSetterUsed = false;
    TChartValueLists& ValuesList() override { return lists; }
    void NotifyValue(TValueEvent e, int index) override {
        log.push_back("notify " + std::to_string(static_cast<int>(e)) + " " + std::to_string(index));
    }
    void SwapValueIndex(int a, int b) override {
        log.push_back("swap " + std::to_string(a) + " " + std::to_string(b));
        for (int k = 0; k < lists.Count(); ++k) {
            TChartValueList* l = lists.GetValueList(k);
            const double va = l->RawValue(a);
            const double vb = l->RawValue(b);
            l->InsertChartValue(a, vb);
            l->Delete(a + 1);
            l->InsertChartValue(b, va);
            l->Delete(b + 1);
        }
    }
    void Repaint() override { log.push_back("repaint"); }
    void SetBooleanProperty(bool& variable, bool value) override {
        boolSetterUsed = true;
        variable = value;
    }
    void CheckDataSource() override { log.push_back("datasource"); }
};

TEST(ValueList, EmptyListStatisticsAreZero) {
    TChartValueList l(nullptr, "Y");
    EXPECT_EQ(l.GetMinValue(), 0.0);
    EXPECT_EQ(l.GetMaxValue(), 0.0);
    EXPECT_EQ(l.GetTotal(), 0.0);
    EXPECT_EQ(l.GetTotalABS(), 0.0);
    EXPECT_EQ(l.Locate(0.0), -1);
}

TEST(ValueList, InsertionOrderTable) {
    struct Case {
        TChartListOrder order;
        std::vector<double> added;
        std::vector<int> indices;
        std::vector<double> stored;
    };
    const Case cases[] = {
        {loAscending, {3, 1, 2}, {0, 0, 1}, {1, 2, 3}},
        {loAscending, {3, 1, 2, 2}, {0, 0, 1, 2}, {1, 2, 2, 3}},  // after the equal one
        {loDescending, {1, 3, 2}, {0, 0, 1}, {3, 2, 1}},
        {loDescending, {2, 2, 5}, {0, 1, 0}, {5, 2, 2}},
        {loNone, {3, 1, 2}, {0, 1, 2}, {3, 1, 2}},
        {loAscending, {1, 2, 3}, {0, 1, 2}, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        TChartValueList l(nullptr, "X");
        l.Order = c.order;
        std::vector<int> got;
        for (double v : c.added) got.push_back(l.AddChartValue(v));
        EXPECT_EQ(got, c.indices);
        EXPECT_EQ(Values(l), c.stored);
    }
}

TEST(ValueList, MultiplierScalesReadsNotStorage) {
    TChartValueList l(nullptr, "Y");
    l.AddChartValue(1.5);
    l.AddChartValue(-4.0);
    l.SetMultiplier(2.0);
    EXPECT_EQ(l.GetValue(0), 3.0);
    EXPECT_EQ(l.Locate(3.0), 0);
    EXPECT_EQ(l.Locate(1.5), -1);
    EXPECT_EQ(l.GetMinValue(), -8.0);
    EXPECT_EQ(l.GetMaxValue(), 3.0);
    EXPECT_EQ(l.GetTotal(), -5.0);
    EXPECT_EQ(l.GetTotalABS(), 11.0);
    l.SetMultiplier(1.0);
    EXPECT_EQ(l.GetValue(0), 1.5);
    EXPECT_EQ(l.RawValue(1), -4.0);
    EXPECT_EQ(l.GetMinValue(), -4.0) << "statistics follow the multiplier";
}

TEST(ValueList, StatisticsFollowEveryChange) {
    TChartValueList l(nullptr, "Y");
    for (double v : {5.0, -2.0, 7.0, 1.0}) l.AddChartValue(v);
    EXPECT_EQ(l.GetMaxValue(), 7.0);
    EXPECT_EQ(l.GetMinValue(), -2.0);
    l.SetValue(2, -9.0);
    EXPECT_EQ(l.GetMinValue(), -9.0);
    EXPECT_EQ(l.GetMaxValue(), 5.0);
    l.Delete(0);
    EXPECT_EQ(l.GetMaxValue(), 1.0);
    EXPECT_EQ(l.GetTotal(), -10.0);
    EXPECT_EQ(l.GetTotalABS(), 12.0);
    l.InsertChartValue(0, 100.0);
    EXPECT_EQ(l.GetMaxValue(), 100.0);
    l.ClearValues();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.GetTotal(), 0.0);
}

TEST(ValueList, ScrollRotatesLeft) {
    TChartValueList l(nullptr, "Y");
    l.Scroll();  // empty: nothing
    for (double v : {1.0, 2.0, 3.0}) l.AddChartValue(v);
    l.Scroll();
    EXPECT_EQ(Values(l), (std::vector<double>{2, 3, 1}));
}

TEST(ValueList, IndexErrorsChangeNothing) {
    TChartValueList l(nullptr, "Y");
    EXPECT_THROW(l.First(), EListError);
    EXPECT_THROW(l.Last(), EListError);
    l.AddChartValue(1.0);
    try {
        l.GetValue(3);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (3)");
    }
    EXPECT_THROW(l.SetValue(-1, 2.0), EListError);
    EXPECT_THROW(l.Delete(1), EListError);
    EXPECT_EQ(Values(l), std::vector<double>{1.0});
}

TEST(ValueList, OwnerIsToldAndSortsThroughIt) {
    FakeSeries s;
    TChartValueList x(&s, "X");
    TChartValueList y(&s, "Y");
    ASSERT_EQ(s.lists.Count(), 2);
    EXPECT_EQ(s.lists.GetValueList(1), &y);
    for (auto [xv, yv] : std::vector<std::pair<double, double>>{{3, 30}, {1, 10}, {4, 40}, {2, 20}}) {
        x.AddChartValue(xv);  // loNone: appended
        y.AddChartValue(yv);
    }
    x.Sort();
    EXPECT_TRUE(s.log.empty()) << "no order: untouched";
    x.Order = loAscending;
    x.Sort();
    EXPECT_EQ(Values(x), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(Values(y), (std::vector<double>{10, 20, 30, 40})) << "points move as a whole";
    x.Order = loDescending;
    x.Sort();
    EXPECT_EQ(Values(x), (std::vector<double>{4, 3, 2, 1}));
    EXPECT_EQ(Values(y), (std::vector<double>{40, 30, 20, 10}));

    s.log.clear();
    x.SetValue(1, 9.0);
    x.SetMultiplier(1.0);  // unchanged: silent
    x.SetMultiplier(3.0);
    x.SetValueSource("Field");
    x.SetValueSource("Field");
    EXPECT_EQ(s.log, (std::vector<std::string>{"notify 4 1", "notify 3 0", "repaint", "datasource"}));
    x.SetDateTime(true);
    EXPECT_TRUE(s.boolSetterUsed);
    EXPECT_TRUE(x.DateTime);

    s.log.clear();
    y.FillSequence();
    EXPECT_EQ(Values(y), (std::vector<double>{0, 1, 2, 3}));
    EXPECT_EQ(s.log.size(), 4u);
}

TEST(ValueList, SortLargeListAgainstReference) {
    TChartValueList l(nullptr, "X");
    std::vector<double> ref;
    unsigned seed = 12345;
    for (int i = 0; i < 300; ++i) {
        seed = seed * 1103515245u + 12345u;
        const double v = static_cast<double>((seed >> 8) % 50);  // many equal values
        l.AddChartValue(v);
        ref.push_back(v);
    }
    l.Order = loAscending;
    l.Sort();
    std::sort(ref.begin(), ref.end());
    EXPECT_EQ(Values(l), ref);
}

TEST(ValueList, AssignCopiesSettingsOnly) {
    TChartValueList a(nullptr, "A");
    a.Order = loDescending;
    a.DateTime = true;
    a.SetMultiplier(2.5);
    a.SetValueSource("Src");
    a.AddChartValue(7.0);
    TChartValueList b(nullptr, "B");
    b.AddChartValue(1.0);
    b.Assign(a);
    EXPECT_EQ(b.Order, loDescending);
    EXPECT_TRUE(b.DateTime);
    EXPECT_EQ(b.GetMultiplier(), 2.5);
    EXPECT_EQ(b.GetValueSource(), "Src");
    EXPECT_EQ(b.Name, "B");
    EXPECT_EQ(b.RawValue(0), 1.0);
    EXPECT_EQ(b.GetMaxValue(), 2.5) << "the new multiplier applies to its own values";
}

}  // namespace
}  // namespace pellucor::chart
