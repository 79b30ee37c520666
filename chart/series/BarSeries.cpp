#include "chart/series/BarSeries.h"

#include <algorithm>
#include <cmath>

#include "chart/AxisPanel.h"
#include "chart/ChartProcs.h"
#include "chart/series/SeriesMarks.h"

namespace pellucor::chart {

using platform::RoundHalfEven;

TCustomBarSeries::TCustomBarSeries(bool horizontal) : Horizontal(horizontal) {
    BarBrush = std::make_unique<TChartBrush>([this] { Repaint(); });
    BarBrush->SetColor(UseSeriesColor);
    BarPen = CreateChartPen();
    Marks->Visible = true;
    Marks->ArrowLength = 20;
    // (MandatoryValueList is not yet the subclass's answer here.)
    TChartValueList& bars = horizontal ? *XValues : *YValues;
    bars.Name = "Bar";
    bars.Order = loNone;
}

// ----- setters -----

void TCustomBarSeries::SetBarWidthPercent(int value) {
    if (value < 1 || value > 100) throw BarException("Bar Width Percent must be between 1 and 100");
    SetIntegerProperty(BarWidthPercent, value);
}

void TCustomBarSeries::SetOffsetPercent(int value) {
    if (value < -100 || value > 100) throw BarException("Bar Offset Percent must be between -100% and 100%");
    SetIntegerProperty(OffsetPercent, value);
}

void TCustomBarSeries::SetYOrigin(double value) {
    if (YOrigin == value) return;
    YOrigin = value;
    Repaint();
}

void TCustomBarSeries::SetBarStyle(TBarStyle value) {
    if (BarStyle == value) return;
    BarStyle = value;
    Repaint();
}

void TCustomBarSeries::SetSideMargins(bool value) {
    SetBooleanProperty(SideMargins, value);
    if (!ParentChart) return;
    for (TChartSeries* s : ParentChart->SeriesList)
        if (s != this && SameClass(s)) static_cast<TCustomBarSeries*>(s)->SideMargins = value;
}

void TCustomBarSeries::SetMultiBar(TMultiBar value) {
    if (MultiBar == value) return;
    MultiBar = value;
    if (ParentChart)
        for (TChartSeries* s : ParentChart->SeriesList)
            if (SameClass(s)) static_cast<TCustomBarSeries*>(s)->MultiBar = value;
    Repaint();
}

TBarStyle TCustomBarSeries::GetBarStyle(int valueIndex) {
    TBarStyle style = BarStyle;
    if (OnGetBarStyle) OnGetBarStyle(this, valueIndex, style);
    return style;
}

int TCustomBarSeries::BarSeriesCount() const {
    if (MultiBar != mbSide || !ParentChart) return 1;
    int n = 0;
    for (TChartSeries* s : ParentChart->SeriesList)
        if (s->Active && SameClass(s)) ++n;
    return n;
}

int TCustomBarSeries::BarOrderPos() const {
    int pos = 1;
    if (!ParentChart) return pos;
    for (TChartSeries* s : ParentChart->SeriesList) {
        if (s == this) break;
        if (s->Active && SameClass(s)) ++pos;
    }
    return pos;
}

// ----- geometry -----

void TCustomBarSeries::CalcBarWidth() {
    if (CustomBarWidth != 0) {
        BarWidth = CustomBarWidth;
        return;
    }
    int n = Count();
    int k = 1;
    if (ParentChart && MultiBar == mbSide) {
        k = 0;
        for (TChartSeries* s : ParentChart->SeriesList)
            if (s->Active && SameClass(s)) {
                ++k;
                n = std::max(n, s->Count());
            }
        k = std::max(k, 1);
    }
    if (ParentChart && ParentChart->MaxPointsPerPage > 0) n = ParentChart->MaxPointsPerPage;
    TCustomChartAxis* axis = Horizontal ? VertAxisObject : HorizAxisObject;
    if (n < 1 || !axis) {
        BarWidth = 0;
        return;
    }
    if (SideMargins) ++n;
    int space = axis->PixelSize / n;
    if (AutoBarSize) {
        const double categories = axis->RangeMax + 2 - axis->RangeMin;
        const double s = categories > 0 ? axis->PixelSize / categories : 0;
        space = std::isfinite(s) && std::fabs(s) < 1e9 ? RoundHalfEven(s) : 0;
    }
    BarWidth = RoundHalfEven(BarWidthPercent * 0.01 * space) / k;
    if (BarWidth % 2 != 0) ++BarWidth;
}

int TCustomBarSeries::CategoryPos(int valueIndex) {
    int p = Horizontal ? TChartSeries::CalcYPos(valueIndex) : TChartSeries::CalcXPos(valueIndex);
    if (MultiBar == mbSide) {
        const double order = BarOrderPos();
        const double count = BarSeriesCount();
        p += Horizontal ? RoundHalfEven((0.5 * count - order) * BarWidth)
                        : RoundHalfEven((order - 0.5 * count - 1) * BarWidth);
    } else {
        p -= BarWidth / 2;
    }
    if (OffsetPercent != 0) p += RoundHalfEven(OffsetPercent * BarWidth * 0.01);
    return p;
}

int TCustomBarSeries::ValuePixel(double v) { return Horizontal ? CalcXPosValue(v) : CalcYPosValue(v); }

double TCustomBarSeries::PointOrigin(int valueIndex, bool sumAll) {
    if (MultiBar == mbStacked || MultiBar == mbStacked100) return TChartSeries::PointOrigin(valueIndex, sumAll);
    return YOrigin;
}

int TCustomBarSeries::ValuePos(int valueIndex) {
    const double v = MandatoryValueList().GetValue(valueIndex);
    switch (MultiBar) {
        case mbNone:
        case mbSide: return ValuePixel(v);
        case mbStacked: return ValuePixel(v + PointOrigin(valueIndex, false));
        case mbStacked100:
        case mbSeries: {
            const double total = PointOrigin(valueIndex, true);
            return total == 0 ? 0 : ValuePixel((v + PointOrigin(valueIndex, false)) * 100 / total);
        }
    }
    return 0;
}

int TCustomBarSeries::GetOriginPos(int valueIndex) {
    const double v = PointOrigin(valueIndex, false);
    if (MultiBar == mbStacked) return ValuePixel(v);
    if (MultiBar == mbStacked100) {
        const double total = PointOrigin(valueIndex, true);
        return total == 0 ? 0 : ValuePixel(v * 100 / total);
    }
    if (UseYOrigin) return ValuePixel(YOrigin);
    return Horizontal ? HorizAxisObject->PixelStart : VertAxisObject->PixelEnd;
}

int TCustomBarSeries::CalcXPos(int index) {
    return Horizontal ? ValuePos(index) : CategoryPos(index);
}

int TCustomBarSeries::CalcYPos(int index) {
    return Horizontal ? CategoryPos(index) : ValuePos(index);
}

double TCustomBarSeries::ValueMax(double m) {
    if (MultiBar == mbStacked100) return 100;
    if (MultiBar == mbStacked)
        for (int i = 0; i < Count(); ++i)
            m = std::max(m, MandatoryValueList().GetValue(i) + PointOrigin(i, false));
    if (UseYOrigin) m = std::max(m, YOrigin);
    return m;
}

double TCustomBarSeries::ValueMin(double m) {
    if (MultiBar == mbStacked100) return 0;
    if (UseYOrigin && YOrigin < m) m = YOrigin;
    return m;
}

double TBarSeries::MaxYValue() const {
    return const_cast<TBarSeries*>(this)->ValueMax(TChartSeries::MaxYValue());
}
double TBarSeries::MinYValue() const {
    return const_cast<TBarSeries*>(this)->ValueMin(TChartSeries::MinYValue());
}
double THorizBarSeries::MaxXValue() const {
    return const_cast<THorizBarSeries*>(this)->ValueMax(TChartSeries::MaxXValue());
}
double THorizBarSeries::MinXValue() const {
    return const_cast<THorizBarSeries*>(this)->ValueMin(TChartSeries::MinXValue());
}

// ----- drawing -----

void TCustomBarSeries::DoBeforeDrawValues() {
    TChartSeries::DoBeforeDrawValues();
    CalcBarWidth();
}

void TCustomBarSeries::CalcZOrder() {
    if (MultiBar != mbNone && ParentChart) {
        for (TChartSeries* s : ParentChart->SeriesList) {
            if (s == this) break;
            if (s->Active && SameClass(s)) {
                CalculatedZOrder = s->GetZOrder();
                return;
            }
        }
    }
    TChartSeries::CalcZOrder();
}

bool TCustomBarSeries::DrawValuesForward() const {
    const TCustomChartAxis* a = Horizontal ? VertAxisObject : HorizAxisObject;
    return !(a && a->Inverted());
}

bool TCustomBarSeries::DrawSeriesForward(int) const {
    if (MultiBar == mbStacked || MultiBar == mbStacked100 || MultiBar == mbSeries) {
        const TCustomChartAxis* a = Horizontal ? HorizAxisObject : VertAxisObject;
        return !(a && a->Inverted());
    }
    return true;
}

void TCustomBarSeries::DrawValue(int valueIndex) {
    BarColor = GetValueColor(valueIndex);
    if (IsNull(valueIndex)) return;
    const int cat = CategoryPos(valueIndex);
    const int value = ValuePos(valueIndex);
    const int origin = GetOriginPos(valueIndex);
    if (Horizontal) {
        BarBounds = TRect{origin, cat, value, cat + BarWidth};
        DrawBar(valueIndex, std::min(origin, value), std::max(origin, value));
    } else {
        BarBounds = TRect{cat, value, cat + BarWidth, origin};
        DrawBar(valueIndex, std::min(origin, value), std::max(origin, value));
    }
}

void TCustomBarSeries::SetPenBrushBar(TColor color) {
    TCanvas3D& c = *ParentChart->Canvas;
    c.AssignVisiblePen(*BarPen);
    const TColor back = BarBrush->GetColor() == UseSeriesColor ? ParentChart->Color : BarBrush->GetColor();
    ParentChart->SetBrushCanvas(color, BarBrush->GetStyle(), back);
}

void TCustomBarSeries::BarRectangle(int left, int top, int right, int bottom) {
    TCanvas3D& c = *ParentChart->Canvas;
    if (BarBrush->GetStyle() == TBrushStyle::Solid) {
        auto penInBrushColour = [&] {
            c.Pen->SetColor(c.Brush->GetColor());
            if (c.Pen->GetStyle() == TPenStyle::Clear) c.Pen->SetStyle(TPenStyle::Solid);
        };
        if (right == left || bottom == top) {
            penInBrushColour();
            c.Line(left, top, right, bottom);
        } else if (c.Pen->GetWidth() > std::abs(right - left) || c.Pen->GetWidth() > std::abs(bottom - top)) {
            penInBrushColour();
            c.Brush->SetStyle(TBrushStyle::Clear);
        }
    }
    c.Rectangle(left, top, right, bottom);
}

void TCustomBarSeries::DrawBar(int valueIndex, int startPos, int endPos) {
    SetPenBrushBar(BarColor);
    TCanvas3D& c = *ParentChart->Canvas;
    const bool is3D = ParentChart->View3D;
    const int L = BarBounds.Left, T = BarBounds.Top, R = BarBounds.Right, B = BarBounds.Bottom;
    const int m = Horizontal ? (T + B) / 2 : (L + R) / 2;
    const int w = Horizontal ? B - T : R - L;
    switch (GetBarStyle(valueIndex)) {
        case bsRectangle:
            if (!is3D) BarRectangle(L, T, R, B);
            else if (Horizontal) c.Cube(startPos, endPos, T, B, FrontZ, BackZ, Dark3D);
            else c.Cube(L, R, startPos, endPos, FrontZ, BackZ, Dark3D);
            break;
        case bsPyramid:
        case bsCone:
            if (is3D) {
                const bool cone = GetBarStyle(valueIndex) == bsCone;
                if (Horizontal) {
                    if (cone) c.Cone(false, L, T, R, B, FrontZ, BackZ, 0);
                    else c.Pyramid(false, startPos, T, endPos, B, FrontZ, BackZ, Dark3D);
                } else {
                    if (cone) c.Cone(true, L, T, R, B, FrontZ, BackZ, 0);
                    else c.Pyramid(true, L, startPos, R, endPos, FrontZ, BackZ, Dark3D);
                }
            } else if (Horizontal) {
                const TPoint p[3] = {{startPos, T}, {endPos, m}, {startPos, B}};
                c.Polygon(p, 2);
            } else {
                const TPoint p[3] = {{L, endPos}, {m, startPos}, {R, endPos}};
                c.Polygon(p, 2);
            }
            break;
        case bsInvPyramid:
            if (is3D) {
                if (Horizontal) c.Pyramid(false, endPos, T, startPos, B, FrontZ, BackZ, Dark3D);
                else c.Pyramid(true, L, endPos, R, startPos, FrontZ, BackZ, Dark3D);
            } else if (Horizontal) {
                const TPoint p[3] = {{endPos, T}, {startPos, m}, {endPos, B}};
                c.Polygon(p, 2);
            } else {
                const TPoint p[3] = {{L, startPos}, {m, endPos}, {R, startPos}};
                c.Polygon(p, 2);
            }
            break;
        case bsCilinder:
            if (is3D) c.Cylinder(!Horizontal, L, T, R, B, FrontZ, BackZ, Dark3D);
            else BarRectangle(L, T, R, B);
            break;
        case bsEllipse:
            if (is3D) c.EllipseWithZ(L, T, R, B, MidZ);
            else c.Ellipse(L, T, R, B);
            break;
        case bsArrow:
            if (Horizontal) c.Arrow(true, TPoint{startPos, m}, TPoint{endPos, m}, w, w / 2, MidZ);
            else c.Arrow(true, TPoint{m, endPos}, TPoint{m, startPos}, w, w / 2, MidZ);
            break;
        case bsRectGradient: {
            const TGradientDirection dir = Horizontal ? gdLeftRight : gdBottomTop;
            if (!is3D) {
                const TRect r = Horizontal ? TRect{startPos, T, endPos, B} : TRect{L, startPos, R, endPos};
                c.GradientFill(r, clWhite, BarColor, dir);
                if (BarPen->GetVisible()) {
                    c.Brush->SetStyle(TBrushStyle::Clear);
                    BarRectangle(L, T, R, B);
                }
            } else {
                if (Horizontal) c.Cube(startPos, endPos, T, B, FrontZ, BackZ, Dark3D);
                else c.Cube(L, R, startPos, endPos, FrontZ, BackZ, Dark3D);
                if (c.GetSupportsFullRotation() || c.IsOrthogonal) {
                    const TPoint a = Horizontal ? c.Calculate3DPosition(startPos, T, FrontZ)
                                                : c.Calculate3DPosition(L, startPos, FrontZ);
                    const TPoint b = Horizontal ? c.Calculate3DPosition(endPos, B, FrontZ)
                                                : c.Calculate3DPosition(R, endPos, FrontZ);
                    TRect r{a.x, a.y, b.x, b.y};
                    if (BarPen->GetVisible()) {
                        r.Left += 1;
                        r.Top += 1;
                        r.Right += 1 - BarPen->GetWidth();
                        r.Bottom += 1 - BarPen->GetWidth();
                    }
                    c.GradientFill(r, clWhite, BarColor, dir);
                }
            }
            break;
        }
    }
}

// ----- legend, copying -----

void TCustomBarSeries::PrepareLegendCanvas(int, TColor& backColor, TBrushStyle& style) {
    if (ParentChart) ParentChart->Canvas->AssignVisiblePen(*BarPen);
    style = BarBrush->GetStyle();
    backColor = BarBrush->GetColor() == UseSeriesColor && ParentChart ? ParentChart->Color : BarBrush->GetColor();
}

void TCustomBarSeries::CopyBarSettings(const TChartSeries& source) {
    const auto* s = dynamic_cast<const TCustomBarSeries*>(&source);
    if (!s || s == this) return;
    AutoMarkPosition = s->AutoMarkPosition;
    BarWidthPercent = s->BarWidthPercent;
    BarStyle = s->BarStyle;
    BarPen->Assign(*s->BarPen);
    BarBrush->AssignBrush(*s->BarBrush);
    CustomBarWidth = s->CustomBarWidth;
    Dark3D = s->Dark3D;
    MultiBar = s->MultiBar;
    OffsetPercent = s->OffsetPercent;
    YOrigin = s->YOrigin;
    SideMargins = s->SideMargins;
    UseYOrigin = s->UseYOrigin;
}

void TCustomBarSeries::AssignSeries(TChartSeries& source) {
    CopyBarSettings(source);
    TChartSeries::AssignSeries(source);
}

void TCustomBarSeries::Assign(const TChartSeries& source) {
    CopyBarSettings(source);
    TChartSeries::Assign(source);
}

// ----- clicks -----

bool TCustomBarSeries::InternalClicked(int valueIndex, const TPoint& p) {
    const int cat = CategoryPos(valueIndex);
    int a = ValuePos(valueIndex);
    int b = GetOriginPos(valueIndex);
    if (a > b) std::swap(a, b);
    if (Horizontal) {
        if (p.y < cat || p.y > cat + BarWidth) return false;
        switch (BarStyle) {
            case bsPyramid: return PointInHorizTriangle(p, cat, cat + BarWidth, b, a);
            case bsInvPyramid: return PointInHorizTriangle(p, cat, cat + BarWidth, a, b);
            case bsEllipse: return PointInEllipse(p, TRect{a, cat, b, cat + BarWidth});
            default: return a <= p.x && p.x <= b;
        }
    }
    if (p.x < cat || p.x > cat + BarWidth) return false;
    switch (BarStyle) {
        case bsPyramid: return PointInTriangle(p, cat, cat + BarWidth, a, b);
        case bsInvPyramid: return PointInTriangle(p, cat, cat + BarWidth, b, a);
        case bsEllipse: return PointInEllipse(p, TRect{cat, a, cat + BarWidth, b});
        default: return a <= p.y && p.y <= b;
    }
}

int TCustomBarSeries::Clicked(int x, int y) {
    if (ParentChart && ParentChart->Canvas) ParentChart->Canvas->Calculate2DPosition(x, y, FrontZ);
    const int base = TChartSeries::Clicked(x, y);
    if (base != -1 || FirstVisibleIndex < 0 || LastVisibleIndex < 0) return base;
    for (int i = FirstVisibleIndex; i <= LastVisibleIndex && i < Count(); ++i)
        if (InternalClicked(i, TPoint{x, y})) return i;
    return -1;
}

// ----- marks -----

int TCustomBarSeries::CalcMarkLength(int valueIndex) {
    if (Count() == 0 || !Marks->Visible || !ParentChart) return 0;
    ParentChart->FontCanvas(Marks->Font);
    TCanvas3D& c = *ParentChart->Canvas;
    int length = 0;
    if (!Horizontal) length = c.FontHeight();
    else length = valueIndex == -1 ? MaxMarkWidth() : c.TextWidth(GetMarkText(valueIndex));
    length += Marks->ArrowLength;
    if (Marks->Frame->GetVisible()) length += 2 * Marks->Frame->GetWidth();
    return length;
}

void TCustomBarSeries::CalcHorizMargins(int& left, int& right) {
    TChartSeries::CalcHorizMargins(left, right);
    if (!Horizontal) {
        CalcBarWidth();
        const int margin = SideMargins ? BarSeriesCount() * BarWidth : BarSeriesCount() * BarWidth / 2;
        left += margin;
        right += margin;
        return;
    }
    int l = CalcMarkLength(-1);
    if (l > 0) ++l;
    const bool inverted = HorizAxisObject && HorizAxisObject->Inverted();
    if (UseYOrigin && TChartSeries::MinXValue() < YOrigin) (inverted ? right : left) += l;
    if (!UseYOrigin || TChartSeries::MaxXValue() > YOrigin) (inverted ? left : right) += l;
}

void TCustomBarSeries::CalcVerticalMargins(int& top, int& bottom) {
    TChartSeries::CalcVerticalMargins(top, bottom);
    if (Horizontal) {
        CalcBarWidth();
        const int margin = SideMargins ? BarSeriesCount() * BarWidth : BarSeriesCount() * BarWidth / 2;
        top += margin;
        bottom += margin;
        return;
    }
    const int l = CalcMarkLength(0);
    if (l <= 0) return;
    const bool inverted = VertAxisObject && VertAxisObject->Inverted();
    if (UseYOrigin && TChartSeries::MinYValue() < YOrigin) (inverted ? top : bottom) += l + 1;
    if (!UseYOrigin || TChartSeries::MaxYValue() > YOrigin) (inverted ? bottom : top) += l + 1;
}

void TCustomBarSeries::DrawMark(int valueIndex, const std::string& text, TSeriesMarkPosition& position) {
    if (!Horizontal) {
        int a = Marks->ArrowLength;
        if (GetOriginPos(valueIndex) < position.ArrowFrom.y) a = -a - position.Height;
        position.ArrowFrom.x += BarWidth / 2;
        position.ArrowTo.x += BarWidth / 2;
        position.LeftTop.x += BarWidth / 2;
        position.ArrowTo.y -= a;
        position.LeftTop.y -= a;
    } else {
        int a = Marks->ArrowLength;
        if (position.ArrowFrom.x < GetOriginPos(valueIndex)) a = -a - position.Width;
        position.LeftTop.x += a + position.Width / 2;
        position.LeftTop.y += BarWidth / 2 + position.Height / 2;
        position.ArrowTo.x += a;
        position.ArrowTo.y += BarWidth / 2;
        position.ArrowFrom.y += BarWidth / 2;
    }
    TChartSeries::DrawMark(valueIndex, text, position);
}

}  // namespace pellucor::chart
