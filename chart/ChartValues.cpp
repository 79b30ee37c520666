#include "chart/ChartValues.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "chart/Chartconst.h"

namespace pellucor::chart {

void ThrowListIndexError(int index) {
    std::string msg = TeeMsg_ListIndexError;
    msg.replace(msg.find("%d"), 2, std::to_string(index));
    throw EListError(msg);
}

TChartValueList* TChartValueLists::GetValueList(int index) const {
    if (index < 0 || index >= Count()) ThrowListIndexError(index);
    return items_[static_cast<std::size_t>(index)];
}

void TChartValueLists::Remove(TChartValueList* list) {
    items_.erase(std::remove(items_.begin(), items_.end(), list), items_.end());
}

TChartValueList::TChartValueList(TChartValueListOwner* owner, const std::string& name)
    : Name(name), OwningSeries(owner) {
    if (OwningSeries) OwningSeries->ValuesList().Add(this);
    ClearValues();
}

TChartValueList::~TChartValueList() {
    if (OwningSeries) OwningSeries->ValuesList().Remove(this);
}

void TChartValueList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) ThrowListIndexError(index);
}

void TChartValueList::Assign(const TChartValueList& source) {
    Order = source.Order;
    DateTime = source.DateTime;
    Multiplier = source.Multiplier;
    ValueSource = source.ValueSource;
    StatsDirty = true;
}

double TChartValueList::RawValue(int index) const {
    CheckIndex(index);
    return ValueItems[static_cast<std::size_t>(index)];
}

double TChartValueList::GetValue(int index) const { return RawValue(index) * Multiplier; }

void TChartValueList::SetValue(int index, double value) {
    CheckIndex(index);
    ValueItems[static_cast<std::size_t>(index)] = value;
    StatsDirty = true;
    if (OwningSeries) OwningSeries->NotifyValue(veModify, index);
}

void TChartValueList::ClearValues() {
    ValueItems.clear();
    ValueItems.shrink_to_fit();
    StatsDirty = true;
}

int TChartValueList::AddChartValue(double value) {
    const int n = Count();
    int index = n;
    if (Order == loAscending && n > 0 && ValueItems[static_cast<std::size_t>(n - 1)] > value) {
        int t = n - 1;
        while (t >= 0 && ValueItems[static_cast<std::size_t>(t)] > value) --t;
        index = t + 1;
    } else if (Order == loDescending && n > 0 &&
               ValueItems[static_cast<std::size_t>(n - 1)] < value) {
        int t = n - 1;
        while (t >= 0 && ValueItems[static_cast<std::size_t>(t)] < value) --t;
        index = t + 1;
    }
    ValueItems.insert(ValueItems.begin() + index, value);
    StatsDirty = true;
    return index;
}

void TChartValueList::InsertChartValue(int index, double value) {
    if (index < 0 || index > Count()) ThrowListIndexError(index);
    ValueItems.insert(ValueItems.begin() + index, value);
    StatsDirty = true;
}

void TChartValueList::Delete(int index) {
    CheckIndex(index);
    ValueItems.erase(ValueItems.begin() + index);
    StatsDirty = true;
}

void TChartValueList::Scroll() {
    if (ValueItems.empty()) return;
    std::rotate(ValueItems.begin(), ValueItems.begin() + 1, ValueItems.end());
}

int TChartValueList::Locate(double value) const {
    for (int i = 0; i < Count(); ++i)
        if (GetValue(i) == value) return i;
    return -1;
}

void TChartValueList::SetMultiplier(double value) {
    if (value == Multiplier) return;
    Multiplier = value;
    StatsDirty = true;
    if (OwningSeries) {
        OwningSeries->NotifyValue(veRefresh, 0);
        OwningSeries->Repaint();
    }
}

void TChartValueList::SetDateTime(bool value) {
    if (OwningSeries) OwningSeries->SetBooleanProperty(DateTime, value);
    else DateTime = value;
}

void TChartValueList::SetValueSource(const std::string& value) {
    if (value == ValueSource) return;
    ValueSource = value;
    if (OwningSeries) OwningSeries->CheckDataSource();
}

void TChartValueList::RecalcStats() {
    const int n = Count();
    if (n == 0) {
        StatsMin = StatsMax = StatsTotal = StatsTotalAbs = 0.0;
    } else {
        double v = GetValue(0);
        StatsMin = StatsMax = StatsTotal = v;
        StatsTotalAbs = std::fabs(v);
        for (int i = 1; i < n; ++i) {
            v = GetValue(i);
            if (v < StatsMin) StatsMin = v;
            else if (v > StatsMax) StatsMax = v;
            StatsTotal += v;
            StatsTotalAbs += std::fabs(v);
        }
    }
    StatsDirty = false;
}

double TChartValueList::GetMaxValue() {
    if (StatsDirty) RecalcStats();
    return StatsMax;
}

double TChartValueList::GetMinValue() {
    if (StatsDirty) RecalcStats();
    return StatsMin;
}

double TChartValueList::GetTotal() {
    if (StatsDirty) RecalcStats();
    return StatsTotal;
}

double TChartValueList::GetTotalABS() {
    if (StatsDirty) RecalcStats();
    return StatsTotalAbs;
}

void TChartValueList::FillSequence() {
    for (int i = 0; i < Count(); ++i) SetValue(i, i);
}

int TChartValueList::CompareValues(int a, int b) const {
    const double va = GetValue(a);
    const double vb = GetValue(b);
    int r = va < vb ? -1 : (va > vb ? 1 : 0);
    return Order == loDescending ? -r : r;
}

void TChartValueList::SortRange(int low, int high) {
    int i = low;
    int j = high;
    int p = (low + high) / 2;
    while (i < j) {
        while (CompareValues(i, p) < 0) ++i;
        while (CompareValues(p, j) < 0) --j;
        if (i < j) {
            if (OwningSeries) {
                OwningSeries->SwapValueIndex(i, j);
            } else {
                // A list on its own swaps its values itself.
                std::swap(ValueItems[static_cast<std::size_t>(i)],
                          ValueItems[static_cast<std::size_t>(j)]);
            }
            if (p == i) p = j;
            else if (p == j) p = i;
        }
        if (i <= j) {
            ++i;
            --j;
        }
    }
    if (low < j) SortRange(low, j);
    if (i < high) SortRange(i, high);
}

void TChartValueList::Sort() {
    if (Order == loNone || Count() < 2) return;
    SortRange(0, Count() - 1);
    StatsDirty = true;
}

}  // namespace pellucor::chart
