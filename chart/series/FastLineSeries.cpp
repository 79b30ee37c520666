#include "chart/series/FastLineSeries.h"

#include "chart/AxisPanel.h"
#include "chart/ChartProcs.h"
#include "chart/series/SeriesMarks.h"

namespace pellucor::chart {

TFastLineSeries::TFastLineSeries() {
    LinePen = CreateChartPen();
    SingleFunctionPoint = false;
    KeepOverhangPoint = true;
}

void TFastLineSeries::SetLinePen(const TChartPen& pen) {
    LinePen->Assign(pen);
    SetSeriesColor(LinePen->GetColor());
}

void TFastLineSeries::SetSeriesColor(TColor value) {
    TChartSeries::SetSeriesColor(value);
    LinePen->SetColor(value);
}

void TFastLineSeries::PrepareCanvas() {
    auto& c = *ParentChart->Canvas;
    c.AssignVisiblePen(*LinePen);
    ParentChart->CheckPenWidth(*c.Pen);
    c.Brush->SetStyle(TBrushStyle::Clear);
}

void TFastLineSeries::NotifyNewValue(TChartSeries* sender, int valueIndex) {
    if (AutoRepaint || !ParentChart || !ParentChart->Canvas || !HorizAxisObject || !VertAxisObject) {
        TChartSeries::NotifyNewValue(sender, valueIndex);
        return;
    }
    // The new segment alone, straight onto the chart's canvas.
    PrepareCanvas();
    auto& c = *ParentChart->Canvas;
    const int from = valueIndex > 0 ? valueIndex - 1 : 0;
    LastX = CalcXPos(from);
    LastY = CalcYPos(from);
    if (ParentChart->View3D) c.MoveTo3D(LastX, LastY, MidZ);
    else c.MoveTo(LastX, LastY);
    const int first = FirstVisibleIndex;
    FirstVisibleIndex = -1;  // not the first point: a line from the last position
    DrawValue(valueIndex);
    FirstVisibleIndex = first;
    NotifyValue(veAdd, valueIndex);
}

void TFastLineSeries::AssignSeries(TChartSeries& source) {
    if (auto* f = dynamic_cast<TFastLineSeries*>(&source); f && f != this) {
        AutoRepaint = f->AutoRepaint;
        LinePen->Assign(*f->LinePen);
    }
    TChartSeries::AssignSeries(source);
}

void TFastLineSeries::Assign(const TChartSeries& source) {
    if (auto* f = dynamic_cast<const TFastLineSeries*>(&source); f && f != this) {
        AutoRepaint = f->AutoRepaint;
        LinePen->Assign(*f->LinePen);
    }
    TChartSeries::Assign(source);
}

void TFastLineSeries::DrawAllValues() {
    PrepareCanvas();
    TChartSeries::DrawAllValues();
}

void TFastLineSeries::DrawValue(int valueIndex) {
    auto& c = *ParentChart->Canvas;
    const bool is3D = ParentChart->View3D;
    const int x = CalcXPos(valueIndex);
    const int y = CalcYPos(valueIndex);
    if (valueIndex != FirstVisibleIndex) {
        if (x == LastX && y == LastY) return;
        if (is3D) c.LineTo3D(x, y, MidZ);
        else c.LineTo(x, y);
    } else if (valueIndex <= 0) {
        if (is3D) c.MoveTo3D(x, y, MidZ);
        else c.MoveTo(x, y);
    } else {
        const int px = CalcXPos(valueIndex - 1);
        const int py = CalcYPos(valueIndex - 1);
        if (is3D) c.LineWithZ(px, py, x, y, MidZ);
        else c.Line(px, py, x, y);
    }
    LastX = x;
    LastY = y;
}

void TFastLineSeries::DrawMark(int valueIndex, const std::string& text, TSeriesMarkPosition& position) {
    position.ArrowTo.y -= Marks->ArrowLength;
    position.LeftTop.y -= Marks->ArrowLength;
    TChartSeries::DrawMark(valueIndex, text, position);
}

int TFastLineSeries::Clicked(int x, int y) {
    if (FirstVisibleIndex < 0 || LastVisibleIndex < 0) return -1;
    if (ParentChart && ParentChart->Canvas) ParentChart->Canvas->Calculate2DPosition(x, y, MidZ);
    const TPoint p{x, y};
    int px = 0, py = 0;
    for (int t = FirstVisibleIndex; t <= LastVisibleIndex; ++t) {
        const int tx = CalcXPos(t);
        const int ty = CalcYPos(t);
        if (tx == x && ty == y) return t;
        if (t > FirstVisibleIndex && PointInLine(p, tx, ty, px, py)) return t - 1;
        px = tx;
        py = ty;
    }
    return -1;
}

void TFastLineSeries::DrawLegendShape(int, const TRect& rect) {
    PrepareCanvas();
    ParentChart->Canvas->DoHorizLine(rect.Left, rect.Right, (rect.Top + rect.Bottom) / 2);
}

}  // namespace pellucor::chart
