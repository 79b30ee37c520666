#include "chart/AxisPanel.h"

#include <algorithm>

#include "chart/series/SeriesMarks.h"

namespace pellucor::chart {

bool AxisBehindSeries = true;

TCustomAxisPanel::TCustomAxisPanel() {
    const bool was = RepaintEnabled;
    RepaintEnabled = false;
    auto make = [this](bool horizontal, bool farSide) {
        auto a = std::make_unique<TChartAxis>(this);
        a->HorizontalAxis = horizontal;
        a->FarSide = farSide;
        auto* raw = a.get();
        AddAxis(std::move(a));
        return raw;
    };
    BottomAxis = make(true, false);
    TopAxis = make(true, true);
    LeftAxis = make(false, false);
    LeftAxis->Title->Angle = 90;
    LeftAxis->TitleAngleDefault = 90;
    RightAxis = make(false, true);
    RightAxis->Title->Angle = 270;
    RightAxis->TitleAngleDefault = 270;
    auto depth = std::make_unique<TChartDepthAxis>(this);
    depth->DepthAxisFlag = true;
    depth->FarSide = true;
    DepthAxis = depth.get();
    AddAxis(std::move(depth));
    RepaintEnabled = was;
}

TCustomAxisPanel::~TCustomAxisPanel() {
    Destroying = true;
    // The programs own their series; detach them so none refers back here.
    while (SeriesList.Count() > 0) {
        auto* s = SeriesList.GetSeries(0);
        SeriesList.Remove(s);
        s->ParentChart = nullptr;
        s->RecalcGetAxis();
    }
}

void TCustomAxisPanel::Assign(const TCustomAxisPanel& source) {
    AxisVisible = source.AxisVisible;
    BottomAxis->Assign(*source.BottomAxis);
    LeftAxis->Assign(*source.LeftAxis);
    DepthAxis->Assign(*source.DepthAxis);
    RightAxis->Assign(*source.RightAxis);
    TopAxis->Assign(*source.TopAxis);
    ClipPoints = source.ClipPoints;
    MaxPointsPerPage = source.MaxPointsPerPage;
    Page = source.Page;
    ScaleLastPage = source.ScaleLastPage;
    View3DWalls = source.View3DWalls;
    TCustomChartPanelExtended::Assign(source);
}

// ----- series -----

void TCustomAxisPanel::FreeAllSeries() {
    while (SeriesList.Count() > 0) {
        auto* s = SeriesList.GetSeries(0);
        s->SetParentChart(nullptr);
        delete s;
    }
}

void TCustomAxisPanel::AddSeries(TChartSeries* series) { series->SetParentChart(this); }

void TCustomAxisPanel::InternalAddSeries(TChartSeries* series) {
    if (SeriesList.IndexOf(series) >= 0) return;
    if (series->SeriesColor == UseSeriesColor) series->SeriesColor = GetFreeSeriesColor(true);
    series->ParentChart = this;
    series->RecalcGetAxis();
    SeriesList.Add(series);
    Invalidate();
}

void TCustomAxisPanel::RemoveSeries(TChartSeries* series) {
    if (SeriesList.IndexOf(series) < 0) return;
    series->ParentChart = nullptr;
    series->RecalcGetAxis();
    SeriesList.Remove(series);
    Invalidate();
}

TChartSeries* TCustomAxisPanel::GetSeries(int index) const { return SeriesList.GetSeries(index); }

TChartSeries* TCustomAxisPanel::GetAxisSeries(const TCustomChartAxis* axis) const {
    TChartSeries* any = nullptr;
    for (auto* s : SeriesList) {
        if (!s->AssociatedToAxis(axis)) continue;
        if (s->Active) return s;
        if (!any) any = s;
    }
    return any;
}

bool TCustomAxisPanel::NoActiveSeries(const TCustomChartAxis* axis) const {
    for (auto* s : SeriesList)
        if (s->Active && s->AssociatedToAxis(axis)) return false;
    return true;
}

bool TCustomAxisPanel::IsAxisVisible(const TCustomChartAxis* axis) const {
    if (!AxisVisible || !axis->Visible()) return false;
    if (axis->DepthAxisFlag) return View3D;
    bool anyUsesAxes = false;
    for (auto* s : SeriesList) {
        if (!s->Active || !s->UseAxis()) continue;
        anyUsesAxes = true;
        if (s->AssociatedToAxis(axis)) return true;
    }
    return !anyUsesAxes;
}

double TCustomAxisPanel::InternalMinMax(const TCustomChartAxis* axis, bool isMin, bool isX) const {
    if (axis->DepthAxisFlag) {
        auto* self = const_cast<TCustomAxisPanel*>(this);
        if (self->DepthAxis->CalcLabelStyle() != talValue) return isMin ? -0.5 : LastDepthSlot + 0.5;
        for (auto* s : SeriesList)
            if (s->Active) return isMin ? s->MinZValue() : s->MaxZValue();
        return 0;
    }
    TChartSeries* pageSeries = GetAxisSeries(axis);
    const bool alongPoints = pageSeries ? (pageSeries->YMandatory() ? isX : !isX) : isX;
    if (MaxPointsPerPage > 0 && alongPoints) {
        if (!pageSeries) return 0;
        const int c = pageSeries->Count();
        if (c == 0) return 0;
        const int m = MaxPointsPerPage;
        int first = (Page - 1) * m;
        if (first >= c) first = std::max(0, c / m - 1) * m;
        int last = first + m - 1;
        if (last >= c) last = first + (c % m) - 1;
        auto v = [&](int i) { return isX ? pageSeries->GetxValue(i) : pageSeries->GetyValue(i); };
        if (isMin) return v(first);
        const int n = last - first + 1;
        if (!ScaleLastPage && n < m) return v(first) + (v(last) - v(first)) * m / n;
        return v(last);
    }
    const bool none = NoActiveSeries(axis);
    bool found = false;
    double result = 0;
    for (auto* s : SeriesList) {
        if (!(s->Active || none) || s->Count() == 0) continue;
        const bool bound = isX ? (s->HorizAxis == aBothHorizAxis || s->HorizAxisObject == axis)
                               : (s->VertAxis == aBothVertAxis || s->VertAxisObject == axis);
        if (!bound) continue;
        double v = 0;
        if (axis->Logarithmic()) {
            // Zero and negative values cannot be shown on a logarithmic axis;
            // they must not pull the range down and hide the values that can.
            double mn = 0, mx = 0;
            if (!s->PositiveExtremes(isX, mn, mx)) continue;
            v = isMin ? mn : mx;
        } else {
            bool anyValid = false;
            for (int i = 0; i < s->Count() && !anyValid; ++i) anyValid = s->IsValidPoint(i);
            if (!anyValid) continue;  // only values that are not numbers: nothing to range over
            v = isX ? (isMin ? s->MinXValue() : s->MaxXValue()) : (isMin ? s->MinYValue() : s->MaxYValue());
        }
        if (!found || (isMin ? v < result : v > result)) result = v;
        found = true;
    }
    return result;
}

int TCustomAxisPanel::GetMaxValuesCount() const {
    int result = 0;
    for (auto* s : SeriesList)
        if (s->Active) result = std::max(result, s->Count());
    return result;
}

TChartSeries* TCustomAxisPanel::ActiveSeriesLegend(int itemIndex) const {
    int k = 0;
    for (auto* s : SeriesList)
        if (s->Active && s->ShowInLegend) {
            if (k == itemIndex) return s;
            ++k;
        }
    return nullptr;
}

std::string TCustomAxisPanel::SeriesTitleLegend(int seriesIndex) const {
    if (seriesIndex < 0 || seriesIndex >= SeriesList.Count()) return {};
    auto* s = SeriesList.GetSeries(seriesIndex);
    if (!s->Title.empty()) return s->Title;
    if (!s->Name.empty()) return s->Name;
    return "Series " + std::to_string(seriesIndex);
}

int TCustomAxisPanel::MaxTextWidth() {
    int result = 0;
    for (auto* s : SeriesList)
        for (const auto& label : s->LabelList)
            if (!label.empty()) {
                int lines = 0;
                result = std::max(result, MultiLineTextWidth(label, lines));
            }
    return result;
}

TColor TCustomAxisPanel::GetFreeSeriesColor(bool checkBackground) {
    for (TColor c : DefaultColorPalette)
        if (IsFreeSeriesColor(c, checkBackground)) return c;
    return DefaultColorPalette[0];
}

// ----- pages -----

int TCustomAxisPanel::PageCountOfAxis(const TCustomChartAxis* axis) const {
    int most = 0;
    for (auto* s : SeriesList)
        if (s->Active && s->AssociatedToAxis(axis)) most = std::max(most, s->Count());
    if (most == 0) return 1;
    return (most + MaxPointsPerPage - 1) / MaxPointsPerPage;
}

int TCustomAxisPanel::NumPages() const {
    if (MaxPointsPerPage < 1 || SeriesList.Count() == 0) return 1;
    if (SeriesList.GetSeries(0)->YMandatory())
        return std::max(PageCountOfAxis(BottomAxis), PageCountOfAxis(TopAxis));
    return std::max(PageCountOfAxis(RightAxis), PageCountOfAxis(LeftAxis));
}

void TCustomAxisPanel::SetPage(int value) {
    value = std::max(1, std::min(value, NumPages()));
    if (value == Page) return;
    Page = value;
    Invalidate();
    if (OnPageChange) OnPageChange(this);
}

void TCustomAxisPanel::SetMaxPointsPerPage(int value) {
    if (value < 0) throw ChartException("MaxPointsPerPage must be >= 0");
    SetIntegerProperty(MaxPointsPerPage, value);
    if (NumPages() < Page) SetPage(NumPages());
}

// ----- drawing -----

void TCustomAxisPanel::CalcSize3DWalls() {
    if (!View3D) {
        SlotDepth3D = SlotHeight3D = 0;
        Depth3D = VertDepth3D = 0;
        return;
    }
    double f = Chart3DPercent * 0.001;
    if (!View3DOptions->GetOrthogonal()) f *= 2;
    SlotDepth3D = SlotHeight3D = platform::RoundHalfEven(ChartRectWidth * f);
    const int n = SeparateSeriesDepth ? std::max(1, LastDepthSlot + 1) : 1;
    Depth3D = SlotDepth3D * n;
    VertDepth3D = SlotHeight3D * n;
}

void TCustomAxisPanel::DrawAxes() {
    if (OnBeforeDrawAxes) OnBeforeDrawAxes(this);
    for (auto& a : PanelAxes)
        if (IsAxisVisible(a.get())) a->Draw(true);
}

void TCustomAxisPanel::DrawOneSeries(TChartSeries* series) {
    // The programs draw in two dimensions, where every series has its own
    // turn; a shared depth slot in 3-D is drawn the same way for now.
    series->CalcFirstLastVisibleIndex();
    if (series->FirstVisibleIndex == -1) return;
    series->DoBeforeDrawValues();
    const bool clip = ClipPoints && CanClip();
    if (clip) Canvas->ClipCube(ChartRect, 0, Depth3D);
    series->DrawAllValues();
    if (clip) Canvas->UnClipRectangle();
    series->DoAfterDrawValues();
}

int TCustomAxisPanel::MaxMarkWidth() {
    int widest = 0;
    for (auto* s : SeriesList)
        if (s->Active && s->MarksShown()) widest = std::max(widest, s->MaxMarkWidth());
    return widest;
}

void TCustomAxisPanel::DrawSeriesMarks(TChartSeries* series) {
    const bool clip = series->Marks->Clip && CanClip();
    if (clip) Canvas->ClipCube(ChartRect, 0, Depth3D);
    series->Marks->ZPosition = series->MidZ;
    series->DrawMarks();
    if (clip) Canvas->UnClipRectangle();
}

void TCustomAxisPanel::InternalDraw(const TRect& userRect) {
    PanelPaint(userRect);
    for (auto* s : SeriesList)
        if (s->Active) s->DoBeforeDrawChart();
    DrawTitlesAndLegend();

    LastDepthSlot = 0;
    const bool separate = SeparateSeriesDepth && View3D;
    if (separate) {
        LastDepthSlot = -1;
        for (auto* s : SeriesList)
            if (s->Active) s->CalcZOrder();
    }
    CalcAxisRect();
    for (auto* s : SeriesList) {
        if (!s->Active) continue;
        const int depthIndex = separate ? LastDepthSlot - s->GetZOrder() : 0;
        s->FrontZ = SlotDepth3D * depthIndex;
        s->BackZ = s->FrontZ + SlotDepth3D;
        s->MidZ = (s->FrontZ + s->BackZ) / 2;
    }
    CalcSeriesRect();
    Canvas->Projection(Depth3D, PanelRect, ChartRect);
    if (Canvas->GetSupportsFullRotation()) {
        const TRect saved = ChartRect;
        ChartRect = PanelRect;
        DrawTitlesAndLegend();
        ChartRect = saved;
    }
    DrawWalls();
    if (AxisVisible && AxisBehindSeries) DrawAxes();
    if (OnBeforeDrawSeries) OnBeforeDrawSeries(this);
    for (auto* s : SeriesList)
        if (s->Active) DrawOneSeries(s);
    for (auto* s : SeriesList)
        if (s->Active && s->MarksShown() && s->FirstVisibleIndex >= 0) DrawSeriesMarks(s);
    if (AxisVisible && !AxisBehindSeries) DrawAxes();
    if (ZoomRecord.IsActive) DrawZoomRectangle();
    Canvas->ResetState();
    if (OnAfterDraw) OnAfterDraw(this);
}

}  // namespace pellucor::chart
