#include "chart/ChartSeries.h"

#include <algorithm>
#include <cmath>

#include "chart/AxisPanel.h"
#include "chart/ChartAxis.h"

namespace pellucor::chart {

TChartSeries::TChartSeries() {
    XValues = std::make_unique<TChartValueList>(this, "X");
    XValues->Order = loAscending;
    YValues = std::make_unique<TChartValueList>(this, "Y");
}

TChartSeries::~TChartSeries() {
    if (ParentChart) {
        ParentChart->RemoveSeries(this);
        ParentChart = nullptr;
    }
}

// ----- parent chart and axes -----

void TChartSeries::SetParentChart(TCustomAxisPanel* value) {
    if (value == ParentChart) return;
    if (ParentChart) ParentChart->RemoveSeries(this);
    ParentChart = value;
    RecalcGetAxis();
    if (ParentChart) ParentChart->InternalAddSeries(this);
}

void TChartSeries::RecalcGetAxis() {
    if (!ParentChart) {
        HorizAxisObject = VertAxisObject = nullptr;
        return;
    }
    if (HorizAxis == aTopAxis)
        HorizAxisObject = ParentChart->TopAxis;
    else if (HorizAxis == aCustomHorizAxis && CustomHorizAxis)
        HorizAxisObject = CustomHorizAxis;
    else
        HorizAxisObject = ParentChart->BottomAxis;
    if (VertAxis == aRightAxis)
        VertAxisObject = ParentChart->RightAxis;
    else if (VertAxis == aCustomVertAxis && CustomVertAxis)
        VertAxisObject = CustomVertAxis;
    else
        VertAxisObject = ParentChart->LeftAxis;
}

void TChartSeries::SetHorizAxis(THorizAxis value) {
    if (HorizAxis == value) return;
    HorizAxis = value;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::SetVertAxis(TVertAxis value) {
    if (VertAxis == value) return;
    VertAxis = value;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::SetCustomHorizAxis(TCustomChartAxis* axis) {
    if (CustomHorizAxis == axis) return;
    CustomHorizAxis = axis;
    HorizAxis = axis ? aCustomHorizAxis : aBottomAxis;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::SetCustomVertAxis(TCustomChartAxis* axis) {
    if (CustomVertAxis == axis) return;
    CustomVertAxis = axis;
    VertAxis = axis ? aCustomVertAxis : aLeftAxis;
    RecalcGetAxis();
    Repaint();
}

bool TChartSeries::AssociatedToAxis(const TCustomChartAxis* axis) const {
    if (!UseAxis() || !axis) return false;
    if (axis->HorizontalAxis) return HorizAxis == aBothHorizAxis || axis == HorizAxisObject;
    return VertAxis == aBothVertAxis || axis == VertAxisObject;
}

// ----- points -----

int TChartSeries::AddXY(double x, double y, const std::string& label, TColor color) {
    XValues->PendingValue = x;
    YValues->PendingValue = y;
    const int index = XValues->AddChartValue(XValues->PendingValue);
    YValues->InsertChartValue(index, YValues->PendingValue);
    const auto at = static_cast<std::size_t>(index);
    if (at <= ValueColorList.size()) ValueColorList.insert(ValueColorList.begin() + index, color);
    if (at <= LabelList.size()) LabelList.insert(LabelList.begin() + index, label);
    if (Active) Repaint();
    return index;
}

void TChartSeries::Clear() {
    for (int i = 0; i < ValueLists.Count(); ++i) ValueLists.GetValueList(i)->ClearValues();
    ValueColorList.clear();
    ValueColorList.shrink_to_fit();
    LabelList.clear();
    LabelList.shrink_to_fit();
    if (Active && ParentChart && !ParentChart->Destroying) Repaint();
}

void TChartSeries::Delete(int valueIndex) {
    for (int i = 0; i < ValueLists.Count(); ++i) ValueLists.GetValueList(i)->Delete(valueIndex);
    const auto at = static_cast<std::size_t>(valueIndex);
    if (at < ValueColorList.size()) ValueColorList.erase(ValueColorList.begin() + valueIndex);
    if (at < LabelList.size()) LabelList.erase(LabelList.begin() + valueIndex);
    if (Active) Repaint();
}

std::string TChartSeries::GetXLabel(int index) const {
    if (index >= 0 && index < static_cast<int>(LabelList.size())) return LabelList[static_cast<std::size_t>(index)];
    return {};
}

TColor TChartSeries::GetValueColor(int index) const {
    if (index >= 0 && index < static_cast<int>(ValueColorList.size())) {
        const TColor c = ValueColorList[static_cast<std::size_t>(index)];
        if (c != UseSeriesColor) return c;
        if (ColorEachPoint) return GetDefaultColor(index);
    }
    return SeriesColor;
}

bool TChartSeries::IsValidPoint(int index) const {
    return std::isfinite(GetxValue(index)) && std::isfinite(GetyValue(index));
}

double TChartSeries::Extreme(bool isX, bool isMax) const {
    bool found = false;
    double result = 0;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        if (!IsValidPoint(i)) continue;
        const double v = isX ? GetxValue(i) : GetyValue(i);
        if (!found || (isMax ? v > result : v < result)) result = v;
        found = true;
    }
    return result;
}

double TChartSeries::MaxXValue() const { return Extreme(true, true); }
double TChartSeries::MaxYValue() const { return Extreme(false, true); }
double TChartSeries::MinXValue() const { return Extreme(true, false); }
double TChartSeries::MinYValue() const { return Extreme(false, false); }

// ----- setters -----

void TChartSeries::SetActive(bool value) {
    if (Active == value) return;
    Active = value;
    Repaint();
}

void TChartSeries::SetSeriesColor(TColor value) {
    if (SeriesColor == value) return;
    SeriesColor = value;
    Repaint();
}

void TChartSeries::SetTitle(const std::string& value) {
    if (Title == value) return;
    Title = value;
    Repaint();
}

// ----- drawing -----

void TChartSeries::CalcFirstLastVisibleIndex() {
    FirstVisibleIndex = -1;
    LastVisibleIndex = -1;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        if (!IsValidPoint(i)) continue;
        if (FirstVisibleIndex == -1) FirstVisibleIndex = i;
        LastVisibleIndex = i;
    }
}

void TChartSeries::DrawAllValues() {
    if (FirstVisibleIndex < 0) return;
    for (int i = FirstVisibleIndex; i <= LastVisibleIndex; ++i)
        if (IsValidPoint(i)) DrawValue(i);
}

bool TChartSeries::MoreSameZOrder() const {
    if (!ParentChart || HasDepthValues) return false;
    for (auto* s : ParentChart->SeriesList)
        if (s != this && s->Active && !s->HasDepthValues && s->GetZOrder() == GetZOrder()) return true;
    return false;
}

void TChartSeries::CalcZOrder() {
    if (!ParentChart) return;
    if (ZOrder == -1) {
        ++ParentChart->LastDepthSlot;
        CalculatedZOrder = ParentChart->LastDepthSlot;
    } else {
        ParentChart->LastDepthSlot = std::max(ParentChart->LastDepthSlot, ZOrder);
    }
}

int TChartSeries::CalcXPos(int index) { return HorizAxisObject->CalcXPosValue(GetxValue(index)); }
int TChartSeries::CalcYPos(int index) { return VertAxisObject->CalcYPosValue(GetyValue(index)); }
int TChartSeries::CalcXPosValue(double v) { return HorizAxisObject->CalcXPosValue(v); }
int TChartSeries::CalcYPosValue(double v) { return VertAxisObject->CalcYPosValue(v); }

// ----- value list owner -----

void TChartSeries::NotifyValue(TValueEvent, int) {}

void TChartSeries::SwapValueIndex(int a, int b) {
    for (int i = 0; i < ValueLists.Count(); ++i) {
        auto* list = ValueLists.GetValueList(i);
        const double va = list->RawValue(a);
        const double vb = list->RawValue(b);
        list->SetValue(a, vb);
        list->SetValue(b, va);
    }
    const auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b);
    if (ua < ValueColorList.size() && ub < ValueColorList.size()) std::swap(ValueColorList[ua], ValueColorList[ub]);
    if (ua < LabelList.size() && ub < LabelList.size()) std::swap(LabelList[ua], LabelList[ub]);
}

void TChartSeries::Repaint() {
    if (ParentChart) ParentChart->Invalidate();
}

void TChartSeries::SetBooleanProperty(bool& variable, bool value) {
    if (variable != value) {
        variable = value;
        Repaint();
    }
}

// ----- series list -----

TChartSeries* TChartSeriesList::GetSeries(int i) const {
    if (i < 0 || i >= Count()) ThrowListIndexError(i);
    return items_[static_cast<std::size_t>(i)];
}

void TChartSeriesList::SetSeries(int i, TChartSeries* s) {
    GetSeries(i);
    items_[static_cast<std::size_t>(i)] = s;
}

int TChartSeriesList::CountActive() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(), [](auto* s) { return s->Active; }));
}

int TChartSeriesList::IndexOf(const TChartSeries* s) const {
    const auto it = std::find(items_.begin(), items_.end(), s);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TChartSeriesList::Remove(TChartSeries* s) {
    const auto it = std::find(items_.begin(), items_.end(), s);
    if (it != items_.end()) items_.erase(it);
}

void TChartSeriesList::Exchange(int a, int b) {
    std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
}

}  // namespace pellucor::chart
