#include "chart/Series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chart/AxisPanel.h"
#include "chart/Chart.h"

namespace pellucor::chart {

namespace {

// Positions within this many pixels of the origin are drawn as they are;
// a segment with an end beyond is first clipped to the plot area.
constexpr double kSafePixels = 32767.0;

bool Safe(double v) { return std::isfinite(v) && std::fabs(v) < kSafePixels; }

}  // namespace

bool TCustomSeries::PixelPos::Safe() const { return pellucor::chart::Safe(xd) && pellucor::chart::Safe(yd); }

namespace {

using platform::ClipSegment;

int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

// ---------------------------------------------------------------------------
// Pointer

TSeriesPointer::TSeriesPointer(TChartSeries* owner) : ParentSeries(owner) {
    Brush = std::make_unique<TChartBrush>([owner] { owner->CanvasChanged(); });
    Pen = owner->CreateChartPen();
}

void TSeriesPointer::SetHorizSize(int value) {
    if (value <= 0) throw ChartException("Pointer size must be greater than zero");
    ParentSeries->SetIntegerProperty(HorizSize, value);
}

void TSeriesPointer::SetVertSize(int value) {
    if (value <= 0) throw ChartException("Pointer size must be greater than zero");
    ParentSeries->SetIntegerProperty(VertSize, value);
}

void TSeriesPointer::SetStyle(TSeriesPointerStyle value) {
    if (Style == value) return;
    Style = value;
    ParentSeries->Repaint();
}

void TSeriesPointer::PrepareCanvas(TColor color) {
    auto& c = *ParentSeries->ParentChart->Canvas;
    c.AssignVisiblePen(*Pen);
    if (Pen->GetVisible() && Pen->GetColor() == UseSeriesColor) c.Pen->SetColor(color);
    c.Brush->SetStyle(Brush->GetStyle());
    c.Brush->SetColor(Brush->GetColor() == UseSeriesColor ? color : Brush->GetColor());
    // Hatched fills keep their gaps see-through.
    c.SetBackMode(cbmTransparent);
}

void TSeriesPointer::Draw(int px, int py, TColor color, TSeriesPointerStyle style) {
    DrawPointer(ParentSeries->ParentChart->View3D, px, py, HorizSize, VertSize, color, style);
}

void TSeriesPointer::DrawPointer(bool is3D, int px, int py, int h, int v, TColor color,
                                 TSeriesPointerStyle style) {
    auto& c = *ParentSeries->ParentChart->Canvas;
    const int L = px - h, R = px + h, T = py - v, B = py + v;
    const int front = ParentSeries->FrontZ, back = ParentSeries->BackZ, mid = ParentSeries->MidZ;
    auto cross = [&] {
        c.Pen->SetColor(color);
        if (is3D) {
            c.VertLine3D(px, T, B + 1, front);
            c.HorizLine3D(L, R + 1, py, front);
        } else {
            c.DoVertLine(px, T, B + 1);
            c.DoHorizLine(L, R + 1, py);
        }
    };
    auto diagCross = [&] {
        c.Pen->SetColor(color);
        if (is3D) {
            c.LineWithZ(L, T, R + 1, B + 1, front);
            c.LineWithZ(R, T, L - 1, B + 1, front);
        } else {
            c.Line(L, T, R + 1, B + 1);
            c.Line(R, T, L - 1, B + 1);
        }
    };
    switch (style) {
        case psRectangle:
            if (!is3D)
                c.Rectangle(L, T, R + 1, B + 1);
            else if (Draw3D)
                c.Cube(L, R, T, B, front, back, Dark3D);
            else
                c.RectangleWithZ(TRect{L, T, R + 1, B + 1}, front);
            break;
        case psCircle:
            if (!is3D)
                c.Ellipse(L, T, R, B);
            else if (Draw3D && c.GetSupportsFullRotation())
                c.Sphere(px, py, mid, h);
            else
                c.EllipseWithZ(L, T, R, B, front);
            break;
        case psTriangle: {
            if (!is3D) {
                const TPoint pts[3] = {{L, B}, {R, B}, {px, T}};
                c.Polygon(pts, 2);
            } else if (Draw3D) {
                c.Pyramid(true, L, T, R, B, front, back, Dark3D);
            } else {
                c.TriangleWithZ({L, B}, {R, B}, {px, T}, front);
            }
            break;
        }
        case psDownTriangle: {
            if (!is3D) {
                const TPoint pts[3] = {{L, T}, {R, T}, {px, B}};
                c.Polygon(pts, 2);
            } else if (Draw3D) {
                c.Pyramid(true, L, B, R, T, front, back, Dark3D);
            } else {
                c.TriangleWithZ({L, T}, {R, T}, {px, B}, front);
            }
            break;
        }
        case psCross: cross(); break;
        case psDiagCross: diagCross(); break;
        case psStar:
            cross();
            diagCross();
            break;
        case psDiamond:
            if (!is3D) {
                const TPoint pts[4] = {{L, py}, {px, T}, {R, py}, {px, B}};
                c.Polygon(pts, 3);
            } else {
                c.PlaneWithZ({L, py}, {px, T}, {R, py}, {px, B}, front);
            }
            break;
        case psSmallDot:
            if (is3D)
                c.SetPixel3D(px, py, mid, color);
            else
                c.SetPixel(px, py, color);
            break;
    }
}

void TSeriesPointer::DrawLegendShape(TColor color, const TRect& rect, bool withLine) {
    PrepareCanvas(color);
    const int w = rect.Right - rect.Left, hgt = rect.Bottom - rect.Top;
    const int h = withLine ? w / 3 : w / 2 + 1;
    const int v = withLine ? hgt / 3 : hgt / 2 + 1;
    DrawPointer(false, (rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2, std::min(HorizSize, h),
                std::min(VertSize, v), color, Style);
}

void TSeriesPointer::CalcHorizMargins(int& left, int& right) const {
    if (!Visible || !InflateMargins) return;
    left = std::max(left, HorizSize + 1);
    right = std::max(right, HorizSize + 1);
}

void TSeriesPointer::CalcVerticalMargins(int& top, int& bottom) const {
    if (!Visible || !InflateMargins) return;
    top = std::max(top, VertSize + 1);
    bottom = std::max(bottom, VertSize + 1);
}

void TSeriesPointer::Assign(const TSeriesPointer& source) {
    Brush->SetStyle(source.Brush->GetStyle());
    Brush->SetColor(source.Brush->GetColor());
    Pen->Assign(*source.Pen);
    Dark3D = source.Dark3D;
    Draw3D = source.Draw3D;
    HorizSize = source.HorizSize;
    InflateMargins = source.InflateMargins;
    Style = source.Style;
    VertSize = source.VertSize;
    Visible = source.Visible;
}

// ---------------------------------------------------------------------------
// Custom series

TCustomSeries::TCustomSeries() {
    KeepOverhangPoint = true;
    Pointer = std::make_unique<TSeriesPointer>(this);
    AreaLinesPen = CreateChartPen();
    LinePen = CreateChartPen();
}

TCustomSeries::~TCustomSeries() {
    LinePen.reset();
    AreaLinesPen.reset();
    Pointer.reset();
}

void TCustomSeries::SetLineBrush(TBrushStyle v) {
    if (LineBrush == v) return;
    LineBrush = v;
    Repaint();
}

void TCustomSeries::SetAreaBrush(TBrushStyle v) {
    if (AreaBrush == v) return;
    AreaBrush = v;
    Repaint();
}

int TCustomSeries::GetOriginPos(int) {
    return VertAxisObject ? VertAxisObject->PixelEnd : (ParentChart ? ParentChart->ChartRect.Bottom : 0);
}

void TCustomSeries::LinePrepareCanvas(TColor color) {
    auto& c = *ParentChart->Canvas;
    c.AssignVisiblePen(*LinePen);
    ParentChart->CheckPenWidth(*c.Pen);
    if (ParentChart->View3D) {
        c.Brush->SetStyle(LineBrush);
        c.Brush->SetColor(color);
    } else {
        c.Brush->SetStyle(TBrushStyle::Clear);
        if (LinePen->GetVisible()) c.Pen->SetColor(color);
    }
    // Dashed and dotted lines show the plot through their gaps.
    c.SetBackMode(cbmTransparent);
}

// A straight piece of the polyline. Ends near the plot are drawn at the
// axes' pixel positions; when an end lies far outside, the piece is clipped
// to the plot area in real numbers first, so it keeps its direction.
void TCustomSeries::DrawLine(const PixelPos& a, const PixelPos& b) {
    auto& c = *ParentChart->Canvas;
    int x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
    if (!(a.Safe() && b.Safe())) {
        double fx0 = a.xd, fy0 = a.yd, fx1 = b.xd, fy1 = b.yd;
        const TRect& r = ParentChart->ChartRect;
        const double m = std::max(2, LinePen->GetWidth() + 1);
        if (!ClipSegment(fx0, fy0, fx1, fy1, r.Left - m, r.Top - m, r.Right + m, r.Bottom + m)) return;
        x0 = Round(fx0);
        y0 = Round(fy0);
        x1 = Round(fx1);
        y1 = Round(fy1);
    }
    if (ParentChart->View3D)
        c.LineWithZ(x0, y0, x1, y1, MidZ);
    else
        c.Line(x0, y0, x1, y1);
}

TCustomSeries::PixelPos TCustomSeries::Position(int i) {
    PixelPos p{0, 0, 0.0, 0.0};
    HorizAxisObject->CalcPosValues(GetxValue(i), true, p.x, p.xd);
    if (!StackedYPos(i, p.y, p.yd)) VertAxisObject->CalcPosValues(GetyValue(i), false, p.y, p.yd);
    return p;
}

double TCustomSeries::LeftEdgeValue(int i) {
    const double x = XScreenToValue(PrevX);
    const double x0 = GetxValue(i - 1), x1 = GetxValue(i);
    const double y0 = GetyValue(i - 1), y1 = GetyValue(i);
    if (x1 == x0) return y0;
    return y0 + (y1 - y0) * (x - x0) / (x1 - x0);
}

void TCustomSeries::DrawSegment(const PixelPos& p, TColor color, bool withPointers, int i, bool isLast) {
    auto& c = *ParentChart->Canvas;
    const PixelPos prev{PrevX, PrevY, PrevXd, PrevYd};
    const bool samePixel = p.x == PrevX && p.y == PrevY && p.Safe() && prev.Safe();
    if (!samePixel && color != clNone) {
        if (ParentChart->View3D && (DrawArea || (ConnectPoints && LineBrush != TBrushStyle::Clear)) &&
            p.Safe() && prev.Safe())
            DrawBand3D(p, color, isLast);
        if (DrawArea) {
            const TColor fill = ColorEachPoint || AreaColor == UseSeriesColor ? color : AreaColor;
            c.AssignVisiblePen(*AreaLinesPen);
            if (c.Pen->GetColor() == UseSeriesColor || !AreaLinesPen->GetVisible()) c.Pen->SetColor(color);
            ParentChart->SetBrushCanvas(fill, AreaBrush, SeriesColor);
            if (Stairs) {
                const int level = InvertedStairs ? p.y : PrevY;
                c.RectangleWithZ(TRect{PrevX, std::min(BaseLineY, level), p.x + 1, std::max(BaseLineY, level)},
                                 FrontZ);
            } else {
                c.PlaneWithZ({PrevX, PrevBaseLineY}, {PrevX, PrevY}, {p.x, p.y}, {p.x, BaseLineY}, FrontZ);
            }
        } else if (ConnectPoints && !ParentChart->View3D) {
            LinePrepareCanvas(color);
            if (Stairs) {
                // The corner takes the x of one end and the y of the other.
                const PixelPos corner = InvertedStairs ? PixelPos{PrevX, p.y, PrevXd, p.yd}
                                                       : PixelPos{p.x, PrevY, p.xd, PrevYd};
                DrawLine(prev, corner);
                DrawLine(corner, p);
            } else {
                DrawLine(prev, p);
            }
        }
    }
    if (withPointers && Pointer->Visible) {
        if (PrevColor != clNone && i > 0 && prev.Safe()) DrawPointer(PrevX, PrevY, PrevColor, i - 1);
        if (isLast && color != clNone && p.Safe()) DrawPointer(p.x, p.y, color, i);
    }
}

// The band of a line (or the top of an area) between the previous point and
// p in a 3-D chart, from the front to the back of the series' depth slot.
void TCustomSeries::DrawBand3D(const PixelPos& p, TColor color, bool isLast) {
    auto& c = *ParentChart->Canvas;
    const TColor brush = ColorEachPoint || AreaColor == UseSeriesColor ? color : AreaColor;
    c.AssignVisiblePen(*LinePen);
    if (LinePen->GetVisible()) ParentChart->CheckPenWidth(*c.Pen);
    c.Brush->SetStyle(LineBrush);
    c.Brush->SetColor(brush);
    c.SetBackMode(cbmTransparent);
    auto darken = [&] { c.Brush->SetColor(ApplyDark(brush, 64)); };
    auto restore = [&] { c.Brush->SetColor(brush); };
    int x = p.x, y = p.y, px = PrevX, py = PrevY;
    if (Stairs) {
        if (InvertedStairs) {
            if (Dark3D) darken();
            c.RectangleZ(px, py, y, FrontZ, BackZ);
            if (Dark3D) restore();
            c.RectangleY(x, y, px, FrontZ, BackZ);
        } else {
            c.RectangleY(px, py, x, FrontZ, BackZ);
            if (Dark3D) darken();
            c.RectangleZ(x, y, py, FrontZ, BackZ);
            if (Dark3D) restore();
        }
        return;
    }
    const bool band = LineHeight > 0 && !DrawArea;
    if (band) {
        TPoint face[4] = {{x, y}, {px, py}, {px, py + LineHeight}, {x, y + LineHeight}};
        c.PlaneFour3D(face, FrontZ, FrontZ);
        if (isLast) c.RectangleZ(x, y, y + LineHeight, FrontZ, BackZ);
    }
    bool darkened = false;
    if (Dark3D && !c.GetSupportsFullRotation() && x != px && DarkSlope != 0 &&
        static_cast<double>(py - y) / (x - px) > DarkSlope) {
        darken();
        darkened = true;
        if (band) {
            y += LineHeight;
            py += LineHeight;
        }
    }
    c.Plane3D(TPoint{x, y}, TPoint{px, py}, FrontZ, BackZ);
    if (darkened) restore();
}

void TCustomSeries::DrawValue(int i) {
    // A value that is not a finite number is a null point: no marker, no
    // segment into or out of it.
    TColor color = IsNull(i) ? clNone : GetValueColor(i);
    PixelPos p{0, 0, 0.0, 0.0};
    if (color != clNone) {
        p = Position(i);
        // No position at all (zero or less on a logarithmic axis): a gap like
        // a null, which still draws the marker of the point before it.
        if (!std::isfinite(p.xd) || !std::isfinite(p.yd)) color = clNone;
    }
    auto& c = *ParentChart->Canvas;
    c.Pen->SetColor(clBlack);
    if (color != clNone) c.Brush->SetColor(color);
    if (PrevColor == clNone) {
        PrevX = p.x;
        PrevY = p.y;
        PrevXd = p.xd;
        PrevYd = p.yd;
    }
    const bool isLast = i == LastVisibleIndex;
    BaseLineY = GetOriginPos(i);
    if (i == FirstVisibleIndex) {
        DarkSlope = 1.0;
        if (Dark3D && ParentChart->SlotDepth3D != 0)
            DarkSlope = std::fabs(static_cast<double>(ParentChart->SlotHeight3D) / ParentChart->SlotDepth3D);
        if (i > 0) {
            const bool prevNull = IsNull(i - 1);
            if (DrawArea) {
                if (!prevNull) {
                    PrevX = CalcXPos(i - 1);
                    PrevY = CalcYPos(i - 1);
                    PrevXd = CalcXPosExact(i - 1);
                    PrevYd = CalcYPosExact(i - 1);
                }
                PrevBaseLineY = GetOriginPos(i - 1);
            } else {
                const TRect& r = ParentChart->ChartRect;
                PrevX = HorizAxisObject->Inverted() ? r.Right : r.Left;
                PrevXd = PrevX;
                if (!prevNull) {
                    // Stairs enter at the previous point's height, lines where
                    // the line between the two points crosses the edge.
                    const double v = Stairs ? GetyValue(i - 1) : LeftEdgeValue(i);
                    PrevY = CalcYPosValue(v);
                    PrevYd = VertAxisObject->CalcYPosExact(v);
                }
            }
            if (!prevNull && color != clNone) DrawSegment(p, color, false, i, isLast);
        }
        if (isLast && Pointer->Visible && color != clNone && p.Safe()) DrawPointer(p.x, p.y, color, i);
    } else {
        DrawSegment(p, color, true, i, isLast);
    }
    if (color != clNone) {
        PrevX = p.x;
        PrevY = p.y;
        PrevXd = p.xd;
        PrevYd = p.yd;
        PrevBaseLineY = BaseLineY;
    }
    PrevColor = color;
}

void TCustomSeries::DrawPointer(int px, int py, TColor color, int valueIndex) {
    Pointer->PrepareCanvas(color);
    const TSeriesPointerStyle style = OnGetPointerStyle ? OnGetPointerStyle(this, valueIndex) : Pointer->Style;
    Pointer->Draw(px, py, color, style);
}

bool TCustomSeries::ClickedPointer(int, int px, int py, int x, int y) {
    return std::abs(px - x) < Pointer->HorizSize && std::abs(py - y) < Pointer->VertSize;
}

bool TCustomSeries::SegmentHit(const PixelPos& a, const PixelPos& b, int x, int y) {
    int x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y;
    if (!(a.Safe() && b.Safe())) {
        double fx0 = a.xd, fy0 = a.yd, fx1 = b.xd, fy1 = b.yd;
        const TRect& r = ParentChart->ChartRect;
        if (!ClipSegment(fx0, fy0, fx1, fy1, r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2)) return false;
        x0 = Round(fx0);
        y0 = Round(fy0);
        x1 = Round(fx1);
        y1 = Round(fy1);
    }
    return PointInLine(TPoint{x, y}, x0, y0, x1, y1);
}

int TCustomSeries::Clicked(int x, int y) {
    // Points are clipped to the plot area: nothing of them shows outside it,
    // so a press there (on an axis, a title or the legend) finds no point.
    // Its edges count as inside: a point at an axis end (a Bode plot's
    // highest frequency) sits on them, with part of its marker showing.
    if (ParentChart && ParentChart->ClipPoints && !ParentChart->View3D) {
        const TRect& r = ParentChart->ChartRect;
        if (x < r.Left || x > r.Right || y < r.Top || y > r.Bottom) return -1;
    }
    if (ParentChart) ParentChart->Canvas->Calculate2DPosition(x, y, FrontZ);
    int result = TChartSeries::Clicked(x, y);
    if (result != -1 || FirstVisibleIndex < 0 || LastVisibleIndex < 0) return result;
    if (!HorizAxisObject || !VertAxisObject) return -1;
    PixelPos prev{0, 0, 0.0, 0.0};
    bool prevDrawn = false;
    for (int t = FirstVisibleIndex; t <= LastVisibleIndex && t < Count(); ++t) {
        // A null point is drawn nowhere, so nothing of it can be hit.
        if (IsNull(t)) {
            prevDrawn = false;
            continue;
        }
        const PixelPos p = Position(t);
        if (!std::isfinite(p.xd) || !std::isfinite(p.yd)) {
            prevDrawn = false;
            continue;
        }
        if (p.Safe() && Pointer->Visible && ClickedPointer(t, p.x, p.y, x, y)) {
            if (OnClickPointer) OnClickPointer(this, t, x, y);
            return t;
        }
        if (p.Safe() && p.x == x && p.y == y) return t;
        if (t > FirstVisibleIndex && SegmentsClickable && prevDrawn) {
            bool hit = false;
            if (!Stairs) {
                hit = SegmentHit(prev, p, x, y);
            } else {
                const PixelPos corner = InvertedStairs ? PixelPos{prev.x, p.y, prev.xd, p.yd}
                                                       : PixelPos{p.x, prev.y, p.xd, prev.yd};
                hit = SegmentHit(prev, corner, x, y) || SegmentHit(corner, p, x, y);
            }
            if (hit) return t - 1;
            if (DrawArea) {
                const TPoint poly[4] = {{prev.x, prev.y}, {p.x, p.y}, {p.x, GetOriginPos(t)}, {prev.x, GetOriginPos(t - 1)}};
                if (PointInPolygon(TPoint{x, y}, poly, 3)) return t - 1;
            }
        }
        prev = p;
        prevDrawn = true;
    }
    return -1;
}

void TCustomSeries::DrawLegendShape(int valueIndex, const TRect& rect) {
    const TColor color = valueIndex == -1 ? SeriesColor : GetValueColor(valueIndex);
    auto& c = *ParentChart->Canvas;
    auto legendLine = [&] {
        LinePrepareCanvas(color);
        c.Brush->SetStyle(TBrushStyle::Clear);
        if (LinePen->GetVisible()) c.Pen->SetColor(color);
        c.DoHorizLine(rect.Left, rect.Right, (rect.Top + rect.Bottom) / 2);
    };
    if (Pointer->Visible) {
        if (ConnectPoints) legendLine();
        Pointer->DrawLegendShape(color, rect, LinePen->GetVisible());
    } else if (!ConnectPoints || DrawArea) {
        TChartSeries::DrawLegendShape(valueIndex, rect);
    } else if (ParentChart->View3D) {
        LinePrepareCanvas(color);
        c.DoRectangle(rect);
    } else {
        legendLine();
    }
}

void TCustomSeries::CalcHorizMargins(int& left, int& right) {
    TChartSeries::CalcHorizMargins(left, right);
    Pointer->CalcHorizMargins(left, right);
    if (Stairs && ConnectPoints) {
        left = std::max(left, LinePen->GetWidth());
        right = std::max(right, LinePen->GetWidth());
    }
}

void TCustomSeries::CalcVerticalMargins(int& top, int& bottom) {
    TChartSeries::CalcVerticalMargins(top, bottom);
    Pointer->CalcVerticalMargins(top, bottom);
    if (Stairs && ConnectPoints) {
        top = std::max(top, LinePen->GetWidth());
        bottom = std::max(bottom, LinePen->GetWidth() + 1);
    }
    if (LineHeight > 0 && !DrawArea) bottom = std::max(bottom, LineHeight);
}

void TCustomSeries::Assign(const TChartSeries& base) {
    TChartSeries::Assign(base);
    const auto* source = dynamic_cast<const TCustomSeries*>(&base);
    if (!source || source == this) return;
    AreaBrush = source->AreaBrush;
    AreaColor = source->AreaColor;
    AreaLinesPen->Assign(*source->AreaLinesPen);
    Dark3D = source->Dark3D;
    DrawArea = source->DrawArea;
    InvertedStairs = source->InvertedStairs;
    LineBrush = source->LineBrush;
    LineHeight = source->LineHeight;
    LinePen->Assign(*source->LinePen);
    Pointer->Assign(*source->Pointer);
    Stairs = source->Stairs;
    Repaint();
}

// ---------------------------------------------------------------------------

TLineSeries::TLineSeries() {
    ConnectPoints = true;
    Pointer->Visible = false;
    SingleFunctionPoint = false;
}

void TLineSeries::PrepareLegendCanvas(int, TColor&, TBrushStyle& style) {
    ParentChart->Canvas->AssignVisiblePen(*LinePen);
    style = LineBrush;
}

void TLineSeries::Assign(const TChartSeries& source) {
    TCustomSeries::Assign(source);
    if (!dynamic_cast<const TLineSeries*>(&source)) Pointer->Visible = false;
    DrawArea = false;
    ConnectPoints = true;
}

TPointSeries::TPointSeries() {
    ConnectPoints = false;
    SegmentsClickable = false;
}

void TPointSeries::SetColorEachPoint(bool value) {
    TCustomSeries::SetColorEachPoint(value);
    if (value) Pointer->Brush->SetColor(UseSeriesColor);
}

void TPointSeries::Assign(const TChartSeries& source) {
    TCustomSeries::Assign(source);
    Pointer->Visible = true;
    DrawArea = false;
    ConnectPoints = false;
    SegmentsClickable = false;
}

void RegisterStandardSeries() {
    // Registering again is ignored by the registry.
    RegisterChartSeries("TLineSeries", [] { return new TLineSeries; }, "Line", "Standard", 2);
    RegisterChartSeries("TPointSeries", [] { return new TPointSeries; }, "Point", "Standard", 2);
}

}  // namespace pellucor::chart
