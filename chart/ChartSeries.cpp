#include "chart/ChartSeries.h"

#include <algorithm>
#include <cmath>

#include "chart/AxisPanel.h"
#include "chart/ChartAxis.h"
#include "chart/NumberFormat.h"
#include "chart/series/SeriesFunctions.h"
#include "chart/series/SeriesMarks.h"

namespace pellucor::chart {

TChartSeries::TChartSeries() {
    XValues = std::make_unique<TChartValueList>(this, "X");
    XValues->Order = loAscending;
    YValues = std::make_unique<TChartValueList>(this, "Y");
    CreateMarks();
}

TChartSeries::~TChartSeries() {
    DetachSources();
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
    if (OnBeforeAdd && !OnBeforeAdd(this)) return -1;
    const int index = XValues->AddChartValue(XValues->PendingValue);
    YValues->InsertChartValue(index, YValues->PendingValue);
    // Colours and labels stay exactly as long as the values, whatever route
    // (copies, deletes) left them shorter before: a missing entry is filled
    // with "no colour of its own" or "no label".
    const auto n = static_cast<std::size_t>(Count());
    if (ValueColorList.size() + 1 < n) ValueColorList.resize(n - 1, UseSeriesColor);
    if (LabelList.size() + 1 < n) LabelList.resize(n - 1);
    ValueColorList.insert(ValueColorList.begin() + index, color);
    LabelList.insert(LabelList.begin() + index, label);
    if (OnAfterAdd) OnAfterAdd(this, index);
    NotifyNewValue(this, index);
    return index;
}

int TChartSeries::Add(double value, const std::string& label, TColor color) {
    return YMandatory() ? AddY(value, label, color) : AddX(value, label, color);
}

int TChartSeries::AddX(double value, const std::string& label, TColor color) {
    return AddXY(value, XValues->Count(), label, color);
}

int TChartSeries::AddY(double value, const std::string& label, TColor color) {
    return AddXY(XValues->Count(), value, label, color);
}

int TChartSeries::AddArray(const double* values, int high) {
    for (int i = 0; i <= high; ++i) Add(values[i]);
    Repaint();
    return high + 1;
}

void TChartSeries::ClearLists() {
    for (int i = 0; i < ValueLists.Count(); ++i) ValueLists.GetValueList(i)->ClearValues();
    ValueColorList.clear();
    ValueColorList.shrink_to_fit();
    LabelList.clear();
    LabelList.shrink_to_fit();
    Marks->ClearPositions();
}

void TChartSeries::Clear() {
    ClearLists();
    if (OnClearValues) OnClearValues(this);
    if (Active && ParentChart && !ParentChart->Destroying) Repaint();
    NotifyValue(veClear, 0);
}

void TChartSeries::Delete(int valueIndex) {
    for (int i = 0; i < ValueLists.Count(); ++i) ValueLists.GetValueList(i)->Delete(valueIndex);
    const auto at = static_cast<std::size_t>(valueIndex);
    if (at < ValueColorList.size()) ValueColorList.erase(ValueColorList.begin() + valueIndex);
    if (at < LabelList.size()) LabelList.erase(LabelList.begin() + valueIndex);
    // A mark the user placed stays with its point.
    Marks->Positions.Delete(valueIndex);
    if (Active) Repaint();
    NotifyValue(veDelete, valueIndex);
}

void TChartSeries::SetXValue(int index, double value) {
    XValues->SetValue(index, value);
    Repaint();
}

void TChartSeries::SetYValue(int index, double value) {
    YValues->SetValue(index, value);
    Repaint();
}

void TChartSeries::SetXLabel(int index, const std::string& text) {
    if (index < 0 || index >= static_cast<int>(LabelList.size())) ThrowListIndexError(index);
    LabelList[static_cast<std::size_t>(index)] = text;
    Repaint();
}

void TChartSeries::SetValueColor(int index, TColor color) {
    if (index < 0 || index >= static_cast<int>(ValueColorList.size())) ThrowListIndexError(index);
    ValueColorList[static_cast<std::size_t>(index)] = color;
    Repaint();
}

void TChartSeries::ColorRange(TChartValueList& list, double fromValue, double toValue, TColor color) {
    for (int i = 0; i < list.Count(); ++i) {
        const double v = list.GetValue(i);
        if (v >= fromValue && v <= toValue) {
            if (i >= static_cast<int>(ValueColorList.size())) ThrowListIndexError(i);
            ValueColorList[static_cast<std::size_t>(i)] = color;
        }
    }
    Repaint();
}

bool TChartSeries::IsNull(int index) const {
    return GetValueColor(index) == clNone || !IsValidPoint(index);
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

bool TChartSeries::PositiveExtremes(bool isX, double& minValue, double& maxValue) const {
    bool found = false;
    const int n = Count();
    for (int i = 0; i < n; ++i) {
        if (!IsValidPoint(i)) continue;
        const double v = isX ? GetxValue(i) : GetyValue(i);
        if (!(v > 0)) continue;
        if (!found || v < minValue) minValue = v;
        if (!found || v > maxValue) maxValue = v;
        found = true;
    }
    return found;
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

void TChartSeries::SetColorEachPoint(bool value) {
    if (ColorEachPoint == value) return;
    ColorEachPoint = value;
    if (!value) std::fill(ValueColorList.begin(), ValueColorList.end(), UseSeriesColor);
    Repaint();
}

void TChartSeries::SetTitle(const std::string& value) { SetStringProperty(Title, value); }
void TChartSeries::SetValueFormat(const std::string& value) { SetStringProperty(ValueFormat, value); }
void TChartSeries::SetPercentFormat(const std::string& value) { SetStringProperty(PercentFormat, value); }

void TChartSeries::SetZOrder(int value) {
    SetIntegerProperty(ZOrder, value);
    CalculatedZOrder = ZOrder == -1 ? 0 : ZOrder;
}

void TChartSeries::SetIntegerProperty(int& variable, int value) {
    if (variable == value) return;
    variable = value;
    Repaint();
}

void TChartSeries::SetColorProperty(TColor& variable, TColor value) {
    if (variable == value) return;
    variable = value;
    Repaint();
}

void TChartSeries::SetStringProperty(std::string& variable, const std::string& value) {
    if (variable == value) return;
    variable = value;
    Repaint();
}

std::unique_ptr<TChartPen> TChartSeries::CreateChartPen() {
    return std::make_unique<TChartPen>([this] { CanvasChanged(); });
}

// ----- drawing -----

void TChartSeries::DoBeforeDrawValues() {
    if (BeforeDrawValues) BeforeDrawValues(this);
}

void TChartSeries::DoAfterDrawValues() {
    if (AfterDrawValues) AfterDrawValues(this);
}

void TChartSeries::CalcFirstLastVisibleIndex() {
    FirstVisibleIndex = -1;
    LastVisibleIndex = -1;
    const int n = Count();
    if (n == 0) return;
    const int last = n - 1;
    const bool yMandatory = YMandatory();
    const TChartValueList& list = yMandatory ? *XValues : *YValues;
    TCustomChartAxis* axis = yMandatory ? HorizAxisObject : VertAxisObject;
    if (!LimitToAxisRange || list.Order == loNone || !ParentChart || !axis) {
        FirstVisibleIndex = 0;
        LastVisibleIndex = last;
        return;
    }
    const TRect& r = ParentChart->ChartRect;
    double low = yMandatory ? axis->CalcPosPoint(r.Left) : axis->CalcPosPoint(r.Bottom);
    double high = yMandatory ? axis->CalcPosPoint(r.Right) : axis->CalcPosPoint(r.Top);
    if (axis->Inverted()) std::swap(low, high);
    int first = 0;
    while (list.GetValue(first) < low) {
        if (++first > last) return;  // every point lies below the range
    }
    FirstVisibleIndex = first;
    if (!(list.GetValue(last) > high)) {
        LastVisibleIndex = last;
        return;
    }
    int lastVisible = first;
    while (list.GetValue(lastVisible) < high) {
        if (++lastVisible > last) {
            LastVisibleIndex = last;
            return;
        }
    }
    if (!KeepOverhangPoint && list.GetValue(lastVisible) > high) --lastVisible;
    LastVisibleIndex = lastVisible;
}

void TChartSeries::DrawAllValues() {
    if (FirstVisibleIndex < 0) return;
    // Points that are not finite numbers are not drawn; series that join
    // their points see every index (DrawEveryValue) and break the line there.
    const bool all = DrawEveryValue();
    if (DrawValuesForward()) {
        for (int i = FirstVisibleIndex; i <= LastVisibleIndex; ++i)
            if (all || IsValidPoint(i)) DrawValue(i);
    } else {
        for (int i = LastVisibleIndex; i >= FirstVisibleIndex; --i)
            if (all || IsValidPoint(i)) DrawValue(i);
    }
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

double TChartSeries::CalcXPosExact(int index) { return HorizAxisObject->CalcXPosExact(GetxValue(index)); }
double TChartSeries::CalcYPosExact(int index) { return VertAxisObject->CalcYPosExact(GetyValue(index)); }
int TChartSeries::CalcXSizeValue(double v) { return HorizAxisObject->CalcSizeValue(v); }
int TChartSeries::CalcYSizeValue(double v) { return VertAxisObject->CalcSizeValue(v); }
double TChartSeries::XScreenToValue(int px) { return HorizAxisObject->CalcPosPoint(px); }
double TChartSeries::YScreenToValue(int py) { return VertAxisObject->CalcPosPoint(py); }
std::string TChartSeries::XValueToText(double v) { return HorizAxisObject->LabelValue(v); }
std::string TChartSeries::YValueToText(double v) { return VertAxisObject->LabelValue(v); }

// ----- mouse -----

bool TChartSeries::DoSeriesClick(TChartSeries* sender, int valueIndex, TMouseButton button,
                                 TShiftState shift, int x, int y) {
    if (!ParentChart) return false;
    ParentChart->CancelMouseAction = false;
    if ((shift & ssDouble) && OnDblClick) {
        ParentChart->CancelMouseAction = true;
        OnDblClick(sender, valueIndex, button, shift, x, y);
    } else if (OnClick) {
        ParentChart->CancelMouseAction = true;
        OnClick(sender, valueIndex, button, shift, x, y);
    }
    return ParentChart->CancelMouseAction;
}

// ----- legend -----

TColor TChartSeries::LegendItemColor(int legendIndex) {
    const int i = LegendToValueIndex(legendIndex);
    if (i >= 0 && i < Count() && IsNull(i)) return clNone;
    return GetValueColor(i);
}

std::string TChartSeries::LegendString(int legendIndex, TLegendTextStyle style) {
    const int i = LegendToValueIndex(legendIndex);
    const std::string text = GetXLabel(i);
    if (style == ltsPlain) return text;
    const double v = GetMarkValue(i);
    if (style == ltsXValue) {
        const double x = GetxValue(i);
        if (!std::isfinite(x)) return {};
        return HorizAxisObject ? HorizAxisObject->LabelValue(x) : FormatFloat(ValueFormat, x);
    }
    // A value that is not a number has no text, as a null point has none.
    const std::string valueText = std::isfinite(v) ? FormatFloat(ValueFormat, v) : std::string();
    if (style == ltsLeftPercent || style == ltsRightPercent) {
        const double total = MandatoryValueList().GetTotalABS();
        const double percent = total == 0 ? 100 : 100 * v / total;
        const std::string percentText = std::isfinite(percent) ? FormatFloat(PercentFormat, percent) : std::string();
        return style == ltsLeftPercent ? percentText + " " + text : text + " " + percentText;
    }
    return style == ltsLeftValue ? valueText + " " + text : text + " " + valueText;
}

void TChartSeries::DrawLegend(int valueIndex, const TRect& rect) {
    if (!ParentChart) return;
    if (valueIndex == -1 && ColorEachPoint) return;
    const TColor color = valueIndex == -1 ? SeriesColor : LegendItemColor(valueIndex);
    if (color == clNone) return;
    TColor back = ParentChart->LegendBackColor;
    TBrushStyle style = TBrushStyle::Solid;
    PrepareLegendCanvas(valueIndex, back, style);
    if (back == UseSeriesColor) {
        back = ParentChart->LegendBackColor;
        if (back == UseSeriesColor) back = ParentChart->Color;
    }
    ParentChart->SetBrushCanvas(color, style, back);
    DrawLegendShape(valueIndex, rect);
}

void TChartSeries::DrawLegendShape(int, const TRect& rect) {
    auto& c = *ParentChart->Canvas;
    c.DoRectangle(rect);
    const TColor back = ParentChart->LegendBackColor;
    if (c.Brush->GetColor() == back) {
        if (back == clBlack) c.Pen->SetColor(clWhite);
        c.Brush->SetStyle(TBrushStyle::Clear);
        c.DoRectangle(rect);
    }
    c.Pen->SetColor(clBlack);
}

int TChartSeries::CalcXPos(int index) { return HorizAxisObject->CalcXPosValue(GetxValue(index)); }
int TChartSeries::CalcYPos(int index) { return VertAxisObject->CalcYPosValue(GetyValue(index)); }
int TChartSeries::CalcXPosValue(double v) { return HorizAxisObject->CalcXPosValue(v); }
int TChartSeries::CalcYPosValue(double v) { return VertAxisObject->CalcYPosValue(v); }

// ----- copies -----

void TChartSeries::Assign(const TChartSeries& source) {
    if (&source == this) return;
    SeriesColor = source.SeriesColor;
    ColorEachPoint = source.ColorEachPoint;
    Title = source.Title;
    ShowInLegend = source.ShowInLegend;
    ValueFormat = source.ValueFormat;
    PercentFormat = source.PercentFormat;
    Cursor = source.Cursor;
    HorizAxis = source.HorizAxis;
    VertAxis = source.VertAxis;
    CustomHorizAxis = source.CustomHorizAxis;
    CustomVertAxis = source.CustomVertAxis;
    ZOrder = source.ZOrder;
    XValues->Assign(*source.XValues);
    YValues->Assign(*source.YValues);
    Active = source.Active;
    RecalcGetAxis();
    Repaint();
}

void TChartSeries::AssignValues(const TChartSeries& source) {
    if (&source == this) return;
    ClearLists();
    const TChartListOrder order = XValues->Order;
    XValues->Order = loNone;  // the copy keeps the source's point order
    for (int i = 0; i < source.Count(); ++i) {
        XValues->InsertChartValue(i, source.XValues->RawValue(i));
        YValues->InsertChartValue(i, source.YValues->RawValue(i));
        ValueColorList.push_back(i < static_cast<int>(source.ValueColorList.size())
                                     ? source.ValueColorList[static_cast<std::size_t>(i)]
                                     : UseSeriesColor);
        LabelList.push_back(source.GetXLabel(i));
    }
    XValues->Order = order;
    Repaint();
}

// ----- value list owner -----


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
