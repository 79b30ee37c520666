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

// Clips the segment (x0, y0)-(x1, y1) to the rectangle [l, r] x [t, b]
// (Liang-Barsky); false when nothing of it lies inside. The ends move along
// the segment, so its direction is kept.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double l, double t, double r, double b) {
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return false;
    const double dx = x1 - x0, dy = y1 - y0;
    double u0 = 0, u1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - l, r - x0, y0 - t, b - y0};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double u = q[k] / p[k];
        if (p[k] < 0) {
            if (u > u1) return false;
            u0 = std::max(u0, u);
        } else {
            if (u < u0) return false;
            u1 = std::min(u1, u);
        }
    }
    const double ax = x0 + u0 * dx, ay = y0 + u0 * dy;
    x1 = x0 + u1 * dx;
    y1 = y0 + u1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

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

// A straight piece of the polyline. Ends marked exact are drawn at their
// rounded positions; when an end lies far outside, the piece is clipped to
// the plot area in real numbers first.
void TCustomSeries::DrawLine(double x0, double y0, double x1, double y1, bool exact0, bool exact1) {
    auto& c = *ParentChart->Canvas;
    if (Safe(x0) && Safe(y0) && Safe(x1) && Safe(y1)) {
        const int ix0 = exact0 ? static_cast<int>(x0) : Round(x0), iy0 = exact0 ? static_cast<int>(y0) : Round(y0);
        const int ix1 = exact1 ? static_cast<int>(x1) : Round(x1), iy1 = exact1 ? static_cast<int>(y1) : Round(y1);
        if (ParentChart->View3D)
            c.LineWithZ(ix0, iy0, ix1, iy1, MidZ);
        else
            c.Line(ix0, iy0, ix1, iy1);
        return;
    }
    const TRect& r = ParentChart->ChartRect;
    const double m = std::max(2, LinePen->GetWidth() + 1);
    if (!ClipSegment(x0, y0, x1, y1, r.Left - m, r.Top - m, r.Right + m, r.Bottom + m)) return;
    if (ParentChart->View3D)
        c.LineWithZ(Round(x0), Round(y0), Round(x1), Round(y1), MidZ);
    else
        c.Line(Round(x0), Round(y0), Round(x1), Round(y1));
}

double TCustomSeries::LeftEdgeValue(int i) {
    const double x = XScreenToValue(PrevX);
    const double x0 = GetxValue(i - 1), x1 = GetxValue(i);
    if (x1 == x0) return CalcYPosExact(i - 1);
    const double y0 = GetyValue(i - 1), y1 = GetyValue(i);
    return VertAxisObject->CalcYPosExact(y0 + (y1 - y0) * (x - x0) / (x1 - x0));
}

void TCustomSeries::DrawSegment(int X, int Y, double Xd, double Yd, TColor color, bool withPointers,
                                int i, bool isLast) {
    auto& c = *ParentChart->Canvas;
    const bool samePixel = X == PrevX && Y == PrevY && Safe(Xd) && Safe(PrevXd);
    if (!samePixel && color != clNone) {
        if (DrawArea) {
            TColor fill = ColorEachPoint || AreaColor == UseSeriesColor ? color : AreaColor;
            c.AssignVisiblePen(*AreaLinesPen);
            if (c.Pen->GetColor() == UseSeriesColor || !AreaLinesPen->GetVisible()) c.Pen->SetColor(color);
            ParentChart->SetBrushCanvas(fill, AreaBrush, SeriesColor);
            if (Stairs) {
                const int level = InvertedStairs ? Y : PrevY;
                c.RectangleWithZ(TRect{PrevX, std::min(BaseLineY, level), X + 1, std::max(BaseLineY, level)},
                                 FrontZ);
            } else {
                c.PlaneWithZ({PrevX, PrevBaseLineY}, {PrevX, PrevY}, {X, Y}, {X, BaseLineY}, FrontZ);
            }
        } else if (ConnectPoints) {
            LinePrepareCanvas(color);
            if (Stairs) {
                if (InvertedStairs) {
                    DrawLine(PrevXd, PrevYd, PrevXd, Yd, false, false);
                    DrawLine(PrevXd, Yd, Xd, Yd, false, false);
                } else {
                    DrawLine(PrevXd, PrevYd, Xd, PrevYd, false, false);
                    DrawLine(Xd, PrevYd, Xd, Yd, false, false);
                }
            } else {
                const bool prevExact = Safe(PrevXd) && Safe(PrevYd);
                const bool thisExact = Safe(Xd) && Safe(Yd);
                DrawLine(prevExact ? PrevX : PrevXd, prevExact ? PrevY : PrevYd, thisExact ? X : Xd,
                         thisExact ? Y : Yd, prevExact, thisExact);
            }
        }
    }
    if (withPointers && Pointer->Visible) {
        if (PrevColor != clNone && i > 0 && Safe(PrevXd) && Safe(PrevYd)) DrawPointer(PrevX, PrevY, PrevColor, i - 1);
        if (isLast && color != clNone && Safe(Xd) && Safe(Yd)) DrawPointer(X, Y, color, i);
    }
}

void TCustomSeries::DrawValue(int i) {
    // A value that is not a finite number is a null point: no marker, no
    // segment into or out of it.
    const TColor color = IsNull(i) ? clNone : GetValueColor(i);
    const double Xd = color == clNone ? 0.0 : CalcXPosExact(i);
    const double Yd = color == clNone ? 0.0 : CalcYPosExact(i);
    if (color != clNone && (!std::isfinite(Xd) || !std::isfinite(Yd))) {
        // No position at all (zero on a logarithmic axis): a gap like a null.
        PrevColor = clNone;
        return;
    }
    const int X = color == clNone ? 0 : CalcXPos(i);
    const int Y = color == clNone ? 0 : CalcYPos(i);
    auto& c = *ParentChart->Canvas;
    c.Pen->SetColor(clBlack);
    c.Brush->SetColor(color);
    if (PrevColor == clNone) {
        PrevX = X;
        PrevY = Y;
        PrevXd = Xd;
        PrevYd = Yd;
    }
    const bool isLast = i == LastVisibleIndex;
    BaseLineY = GetOriginPos(i);
    if (i == FirstVisibleIndex) {
        DarkSlope = 1.0;
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
                    PrevYd = Stairs ? CalcYPosExact(i - 1) : LeftEdgeValue(i);
                    PrevY = Safe(PrevYd) ? Round(PrevYd) : (PrevYd < 0 ? -32767 : 32767);
                }
            }
            if (!prevNull && color != clNone) DrawSegment(X, Y, Xd, Yd, color, false, i, isLast);
        }
        if (isLast && Pointer->Visible && color != clNone && Safe(Xd) && Safe(Yd)) DrawPointer(X, Y, color, i);
    } else {
        DrawSegment(X, Y, Xd, Yd, color, true, i, isLast);
    }
    if (color != clNone) {
        PrevX = X;
        PrevY = Y;
        PrevXd = Xd;
        PrevYd = Yd;
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

bool TCustomSeries::SegmentHit(double x0, double y0, double x1, double y1, int x, int y) {
    if (!(Safe(x0) && Safe(y0) && Safe(x1) && Safe(y1))) {
        const TRect& r = ParentChart->ChartRect;
        if (!ClipSegment(x0, y0, x1, y1, r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 2)) return false;
    }
    return PointInLine(TPoint{x, y}, Round(x0), Round(y0), Round(x1), Round(y1));
}

int TCustomSeries::Clicked(int x, int y) {
    if (ParentChart) ParentChart->Canvas->Calculate2DPosition(x, y, FrontZ);
    int result = TChartSeries::Clicked(x, y);
    if (result != -1 || FirstVisibleIndex < 0 || LastVisibleIndex < 0) return result;
    if (!HorizAxisObject || !VertAxisObject) return -1;
    double pxd = 0, pyd = 0;
    bool prevDrawn = false;
    for (int t = FirstVisibleIndex; t <= LastVisibleIndex && t < Count(); ++t) {
        // A null point is drawn nowhere, so nothing of it can be hit.
        if (IsNull(t)) {
            prevDrawn = false;
            continue;
        }
        const double xd = CalcXPosExact(t), yd = CalcYPosExact(t);
        if (!std::isfinite(xd) || !std::isfinite(yd)) {
            prevDrawn = false;
            continue;
        }
        const int px = CalcXPos(t), py = CalcYPos(t);
        const bool safe = Safe(xd) && Safe(yd);
        if (safe && Pointer->Visible && ClickedPointer(t, px, py, x, y)) {
            if (OnClickPointer) OnClickPointer(this, t, x, y);
            return t;
        }
        if (safe && px == x && py == y) return t;
        if (t > FirstVisibleIndex && SegmentsClickable && prevDrawn) {
            bool hit = false;
            if (!Stairs) {
                hit = SegmentHit(pxd, pyd, xd, yd, x, y);
            } else if (InvertedStairs) {
                hit = SegmentHit(pxd, pyd, pxd, yd, x, y) || SegmentHit(pxd, yd, xd, yd, x, y);
            } else {
                hit = SegmentHit(pxd, pyd, xd, pyd, x, y) || SegmentHit(xd, pyd, xd, yd, x, y);
            }
            if (hit) return t - 1;
            if (DrawArea) {
                const TPoint poly[4] = {{Round(std::clamp(pxd, -kSafePixels, kSafePixels)),
                                         Round(std::clamp(pyd, -kSafePixels, kSafePixels))},
                                        {px, py},
                                        {px, GetOriginPos(t)},
                                        {Round(std::clamp(pxd, -kSafePixels, kSafePixels)), GetOriginPos(t - 1)}};
                if (PointInPolygon(TPoint{x, y}, poly, 3)) return t - 1;
            }
        }
        pxd = xd;
        pyd = yd;
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

void TCustomSeries::Assign(const TCustomSeries& source) {
    AreaBrush = source.AreaBrush;
    AreaColor = source.AreaColor;
    AreaLinesPen->Assign(*source.AreaLinesPen);
    Dark3D = source.Dark3D;
    DrawArea = source.DrawArea;
    InvertedStairs = source.InvertedStairs;
    LineBrush = source.LineBrush;
    LineHeight = source.LineHeight;
    LinePen->Assign(*source.LinePen);
    Pointer->Assign(*source.Pointer);
    Stairs = source.Stairs;
    SeriesColor = source.SeriesColor;
    ColorEachPoint = source.ColorEachPoint;
    Title = source.Title;
    ShowInLegend = source.ShowInLegend;
    ValueFormat = source.ValueFormat;
    PercentFormat = source.PercentFormat;
    HorizAxis = source.HorizAxis;
    VertAxis = source.VertAxis;
    RecalcGetAxis();
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

void TLineSeries::Assign(const TCustomSeries& source) {
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

void TPointSeries::Assign(const TCustomSeries& source) {
    TCustomSeries::Assign(source);
    Pointer->Visible = true;
    DrawArea = false;
    ConnectPoints = false;
    SegmentsClickable = false;
}

void RegisterStandardSeries() {
    static const bool done = [] {
        RegisterChartSeries("TLineSeries", [] { return new TLineSeries; }, "Line", "Standard", 2);
        RegisterChartSeries("TPointSeries", [] { return new TPointSeries; }, "Point", "Standard", 2);
        return true;
    }();
    (void)done;
}

}  // namespace pellucor::chart
