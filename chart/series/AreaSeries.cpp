#include "chart/series/AreaSeries.h"

#include <algorithm>

#include "chart/AxisPanel.h"

namespace pellucor::chart {

TAreaSeries::TAreaSeries() {
    DrawArea = true;
    SingleFunctionPoint = false;
    Pointer->Visible = false;
}

void TAreaSeries::SetMultiArea(TMultiArea value) {
    if (MultiArea == value) return;
    MultiArea = value;
    if (ParentChart)
        for (TChartSeries* s : ParentChart->SeriesList)
            if (auto* a = dynamic_cast<TAreaSeries*>(s)) a->MultiArea = value;
    Repaint();
}

void TAreaSeries::AssignSeries(TChartSeries& source) {
    if (auto* a = dynamic_cast<TAreaSeries*>(&source)) MultiArea = a->MultiArea;
    TCustomSeries::Assign(source);
    TChartSeries::AssignSeries(source);
    DrawArea = true;
    ConnectPoints = true;
    if (!ClassHasInstance(source)) Pointer->Visible = false;
}

void TAreaSeries::Assign(const TChartSeries& source) {
    if (auto* a = dynamic_cast<const TAreaSeries*>(&source)) MultiArea = a->MultiArea;
    TCustomSeries::Assign(source);
    DrawArea = true;
    ConnectPoints = true;
    if (!ClassHasInstance(source)) Pointer->Visible = false;
}

void TAreaSeries::PrepareLegendCanvas(int, TColor& backColor, TBrushStyle& style) {
    if (!ParentChart) return;
    auto& c = *ParentChart->Canvas;
    backColor = AreaColor == UseSeriesColor ? c.Brush->GetColor() : AreaColor;
    c.AssignVisiblePen(*AreaLinesPen);
    style = AreaBrush;
}

bool TAreaSeries::StackedValue(int valueIndex, double v, double& result) {
    const double origin = PointOrigin(valueIndex, false);
    if (MultiArea == maStacked) {
        result = origin + v;
        return true;
    }
    const double total = PointOrigin(valueIndex, true);
    if (total == 0) return false;
    result = (origin + v) * 100 / total;
    return true;
}

int TAreaSeries::StackedPixel(int valueIndex, double v) {
    double value = 0;
    if (!StackedValue(valueIndex, v, value)) return 0;
    const int p = CalcYPosValue(value);
    return MultiArea == maStacked ? std::min(p, VertAxisObject->PixelEnd) : p;
}

int TAreaSeries::CalcYPos(int index) {
    if (MultiArea == maNone) return TCustomSeries::CalcYPos(index);
    return StackedPixel(index, YValues->GetValue(index));
}

double TAreaSeries::CalcYPosExact(int index) {
    if (MultiArea == maNone) return TCustomSeries::CalcYPosExact(index);
    return CalcYPos(index);
}

bool TAreaSeries::StackedYPos(int valueIndex, int& y, double& yd) {
    if (MultiArea == maNone) return false;
    y = CalcYPos(valueIndex);
    yd = y;
    return true;
}

int TAreaSeries::GetOriginPos(int valueIndex) {
    if (MultiArea == maNone) return TCustomSeries::GetOriginPos(valueIndex);
    return StackedPixel(valueIndex, 0);
}

double TAreaSeries::MaxYValue() const {
    if (MultiArea == maStacked100) return 100;
    double m = TCustomSeries::MaxYValue();
    if (MultiArea == maStacked) {
        auto* self = const_cast<TAreaSeries*>(this);
        for (int i = 0; i < Count(); ++i) m = std::max(m, YValues->GetValue(i) + self->PointOrigin(i, false));
    }
    return m;
}

double TAreaSeries::MinYValue() const {
    return MultiArea == maStacked100 ? 0 : TCustomSeries::MinYValue();
}

void TAreaSeries::CalcZOrder() {
    if (MultiArea == maNone || !ParentChart) {
        TCustomSeries::CalcZOrder();
        return;
    }
    CalculatedZOrder = ParentChart->LastDepthSlot;
}

}  // namespace pellucor::chart
