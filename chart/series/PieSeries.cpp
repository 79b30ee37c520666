#include "chart/series/PieSeries.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "chart/Chart.h"
#include "chart/series/AreaSeries.h"
#include "chart/series/BarSeries.h"
#include "chart/series/FastLineSeries.h"
#include "chart/series/SeriesMarks.h"
#include "chart/Series.h"

namespace pellucor::chart {

using platform::RoundHalfEven;

// ----- circled series -----

TCircledSeries::TCircledSeries() {
    LimitToAxisRange = false;
    XValues->Name = "Angle";
}

TCircledSeries::~TCircledSeries() { SetParentProperties(true); }

void TCircledSeries::SetCircled(bool value) {
    SetBooleanProperty(Circled, value);
    if (ParentChart)
        for (TChartSeries* s : ParentChart->SeriesList)
            if (ClassHasInstance(*s)) static_cast<TCircledSeries*>(s)->Circled = value;
}

void TCircledSeries::SetCustomXRadius(int value) {
    SetIntegerProperty(CustomXRadius, value);
    if (ParentChart)
        for (TChartSeries* s : ParentChart->SeriesList)
            if (ClassHasInstance(*s)) static_cast<TCircledSeries*>(s)->CustomXRadius = value;
}

void TCircledSeries::SetCustomYRadius(int value) {
    SetIntegerProperty(CustomYRadius, value);
    if (ParentChart)
        for (TChartSeries* s : ParentChart->SeriesList)
            if (ClassHasInstance(*s)) static_cast<TCircledSeries*>(s)->CustomYRadius = value;
}

void TCircledSeries::SetRotationAngle(int value) {
    if (value < 0) throw PieException("Rotation Angle must be between 0 and 359 degrees");
    SetIntegerProperty(RotationAngle, value % 360);
    RotationRadians = RotationAngle * PiDegree;
}

void TCircledSeries::Rotate(int degrees) {
    if (degrees < 0 || degrees > 360) throw PieException("Rotation Angle must be between 0 and 359 degrees");
    SetRotationAngle((RotationAngle + degrees) % 360);
}

TColor TCircledSeries::CalcCircleBackColor() {
    if (CircleBackColor != UseSeriesColor) return CircleBackColor;
    if (auto* chart = dynamic_cast<TCustomChart*>(ParentChart)) {
        if (chart->GetBackColor() != UseSeriesColor) return chart->GetBackColor();
    }
    return ParentChart ? ParentChart->Color : clWhite;
}

void TCircledSeries::AdjustCircleRect() {
    TRect& r = CircleRect;
    if ((r.Right - r.Left) % 2 != 0) --r.Right;
    if ((r.Bottom - r.Top) % 2 != 0) --r.Bottom;
    if (r.Right - r.Left < 4) r.Right = r.Left + 4;
    if (r.Bottom - r.Top < 4) r.Bottom = r.Top + 4;
    CircleWidth = r.Right - r.Left;
    CircleHeight = r.Bottom - r.Top;
    CircleXCenter = (r.Left + r.Right) / 2;
    CircleYCenter = (r.Top + r.Bottom) / 2;
}

void TCircledSeries::CalcRadius() {
    if (CustomXRadius != 0) {
        XRadius = CustomXRadius;
        CircleWidth = 2 * CustomXRadius;
    } else {
        XRadius = CircleWidth / 2;
    }
    if (CustomYRadius != 0) {
        YRadius = CustomYRadius;
        CircleHeight = 2 * CustomYRadius;
    } else {
        YRadius = CircleHeight / 2;
    }
    CircleRect = TRect{CircleXCenter - XRadius, CircleYCenter - YRadius, CircleXCenter + XRadius,
                       CircleYCenter + YRadius};
}

void TCircledSeries::DoBeforeDrawValues() {
    TChartSeries::DoBeforeDrawValues();
    if (!ParentChart) return;
    CircleRect = ParentChart->ChartRect;
    AdjustCircleRect();
    if (Marks->Visible) {
        int a = Marks->ArrowLength;
        if (Marks->Frame->GetVisible()) a += 2 * Marks->Frame->GetWidth();
        ParentChart->FontCanvas(Marks->Font);
        auto& c = *ParentChart->Canvas;
        const int v = a + c.FontHeight();
        const int h = c.TextWidth("W") + ParentChart->MaxMarkWidth() + a;
        CircleRect.Top += v;
        CircleRect.Bottom -= v;
        CircleRect.Left += h;
        CircleRect.Right -= h;
        AdjustCircleRect();
    }
    CalcRadius();
    if (Circled) {
        // Square pixels on every output device here: a circle needs equal radii.
        const double ratio = 1.0;
        if (XRadius > RoundHalfEven(YRadius * ratio)) {
            const int d = XRadius - RoundHalfEven(YRadius * ratio);
            CircleRect.Left += d;
            CircleRect.Right -= d;
        } else {
            const int d = YRadius - RoundHalfEven(XRadius / ratio);
            CircleRect.Top += d;
            CircleRect.Bottom -= d;
        }
        AdjustCircleRect();
        CalcRadius();
    }
}

void TCircledSeries::AngleToPos(double angle, double rx, double ry, int& x, int& y) const {
    const double a = RotationRadians + angle;
    x = RoundHalfEven(std::cos(a) * rx) + CircleXCenter;
    y = CircleYCenter - RoundHalfEven(std::sin(a) * ry);
}

double TCircledSeries::PointToAngle(int x, int y) const {
    double a = 0;
    if (x == CircleXCenter) {
        a = y > CircleYCenter ? -HalfPi : HalfPi;
    } else if (XRadius == 0 || YRadius == 0) {
        a = 0;
    } else {
        a = ArcTan2(static_cast<double>(CircleYCenter - y) / YRadius, static_cast<double>(x - CircleXCenter) / XRadius);
    }
    if (a < 0) a += TwoPi;
    a -= RotationRadians;
    if (a < 0) a += TwoPi;
    return a;
}

void TCircledSeries::SetParentProperties(bool enable) {
    if (!ParentChart || ParentChart->Destroying) return;
    if (enable) {
        bool any = false;
        for (TChartSeries* s : ParentChart->SeriesList)
            if (s != this && dynamic_cast<TCircledSeries*>(s)) any = true;
        // Another circled series still needs the axes off.
        if (any) return;
    }
    ParentChart->AxisVisible = enable;
    ParentChart->ClipPoints = enable;
    ParentChart->View3DWalls = enable;
    if (auto* chart = dynamic_cast<TCustomChart*>(ParentChart)) {
        if (chart->GetFrame()) chart->GetFrame()->SetVisible(enable);
        chart->BackWall->Brush->SetStyle(enable ? TBrushStyle::Solid : TBrushStyle::Clear);
    }
    ParentChart->Invalidate();
}

void TCircledSeries::SetParentChart(TCustomAxisPanel* value) {
    if (!value) SetParentProperties(true);
    if (value == ParentChart) return;
    TChartSeries::SetParentChart(value);
    if (value) SetParentProperties(false);
}

void TCircledSeries::SetActive(bool value) {
    TChartSeries::SetActive(value);
    SetParentProperties(!Active);
}

void TCircledSeries::PrepareLegendCanvas(int, TColor& backColor, TBrushStyle&) {
    backColor = CalcCircleBackColor();
}

void TCircledSeries::CopyCircleSettings(const TChartSeries& source) {
    const auto* c = dynamic_cast<const TCircledSeries*>(&source);
    if (!c || c == this) return;
    Circled = c->Circled;
    RotationAngle = c->RotationAngle;
    RotationRadians = RotationAngle * PiDegree;
    CustomXRadius = c->CustomXRadius;
    CustomYRadius = c->CustomYRadius;
    CircleBackColor = c->CircleBackColor;
}

void TCircledSeries::AssignSeries(TChartSeries& source) {
    CopyCircleSettings(source);
    TChartSeries::AssignSeries(source);
}

void TCircledSeries::Assign(const TChartSeries& source) {
    CopyCircleSettings(source);
    TChartSeries::Assign(source);
}

// ----- pie -----

TPieSeries::TPieSeries() {
    PiePen = CreateChartPen();
    YValues->Name = "Pie";
    XValues->Name.clear();
    Marks->Visible = true;
    Marks->ArrowLength = 8;
    ColorEachPoint = true;
}

int TPieSeries::Exploded(int valueIndex) const {
    if (valueIndex < 0 || valueIndex >= static_cast<int>(ExplodedSlices.size())) return 0;
    return ExplodedSlices[static_cast<std::size_t>(valueIndex)];
}

void TPieSeries::SetExploded(int valueIndex, int percent) {
    if (valueIndex < 0) return;
    if (valueIndex >= static_cast<int>(ExplodedSlices.size()))
        ExplodedSlices.resize(static_cast<std::size_t>(valueIndex) + 1, 0);
    if (ExplodedSlices[static_cast<std::size_t>(valueIndex)] == percent) return;
    ExplodedSlices[static_cast<std::size_t>(valueIndex)] = percent;
    Repaint();
}

namespace {
// The point with the largest value, or -1.
int Biggest(const TChartSeries& s) {
    int best = -1;
    for (int i = 0; i < s.Count(); ++i)
        if (best < 0 || s.YValues->GetValue(i) > s.YValues->GetValue(best)) best = i;
    return best;
}
}  // namespace

void TPieSeries::SetExplodeBiggest(int value) {
    SetIntegerProperty(ExplodeBiggest, value);
    const int b = Biggest(*this);
    if (b >= 0) SetExploded(b, ExplodeBiggest);
}

void TPieSeries::SetOtherSlice(const TPieOtherSlice& value) {
    OtherSlice = value;
    Repaint();
}

bool TPieSeries::BelongsToOtherSlice(int valueIndex) const {
    const TPieSlice* s = SliceOf(valueIndex);
    return s && s->InOther;
}

const TPieSlice* TPieSeries::SliceOf(int valueIndex) const {
    for (const TPieSlice& s : Slices)
        if (s.ValueIndex == valueIndex) return &s;
    return nullptr;
}

void TPieSeries::ClearLists() {
    TCircledSeries::ClearLists();
    ExplodedSlices.clear();
    Slices.clear();
    HasOther = false;
    OtherValue = 0;
}

// The explode distance belongs to its slice: it moves with its point when
// points before it come or go, and goes with it.
void TPieSeries::Delete(int valueIndex) {
    TCircledSeries::Delete(valueIndex);
    if (valueIndex >= 0 && valueIndex < static_cast<int>(ExplodedSlices.size()))
        ExplodedSlices.erase(ExplodedSlices.begin() + valueIndex);
}

void TPieSeries::NotifyNewValue(TChartSeries* sender, int valueIndex) {
    if (valueIndex >= 0 && valueIndex < static_cast<int>(ExplodedSlices.size()))
        ExplodedSlices.insert(ExplodedSlices.begin() + valueIndex, 0);
    TCircledSeries::NotifyNewValue(sender, valueIndex);
}

void TPieSeries::CalcSlices() {
    const int n = Count();
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    // Sorted pie values give the slices' order; the points stay where they are.
    if (YValues->Order != loNone) {
        const bool up = YValues->Order == loAscending;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return up ? YValues->GetValue(a) < YValues->GetValue(b) : YValues->GetValue(a) > YValues->GetValue(b);
        });
    }
    Slices.clear();
    HasOther = false;
    OtherValue = 0;
    double scale = 1;
    const double total = ShownTotal(scale);
    for (int i : order) {
        TPieSlice s;
        s.ValueIndex = i;
        if (OtherSlice.Style != poNone && total > 0 && !IsNull(i)) {
            double v = YValues->GetValue(i);
            if (OtherSlice.Style == poBelowPercent) v = v * scale * 100 / total;
            if (v < OtherSlice.Value) {
                s.InOther = true;
                OtherValue += YValues->GetValue(i);
            }
        }
        Slices.push_back(s);
    }
    if (OtherValue != 0) {
        HasOther = true;
        TPieSlice other;
        other.ValueIndex = n;
        Slices.push_back(other);
    }
    CalcAngles();
}

// A null point (no colour of its own, or a value that is not a finite
// number) has no slice: it counts for no total and gets no width, so one
// such point cannot spoil the angles of all the others.
bool TPieSeries::HasNoSlice(const TPieSlice& slice) const {
    return slice.InOther || (slice.ValueIndex < Count() && IsNull(slice.ValueIndex));
}

double TPieSeries::ShownTotal(double& scale) const {
    double total = 0, largest = 0;
    for (int i = 0; i < Count(); ++i)
        if (!IsNull(i)) {
            const double m = std::fabs(YValues->GetValue(i));
            total += m;
            largest = std::max(largest, m);
        }
    scale = 1;
    if (std::isfinite(total)) return total;
    scale = 1 / largest;
    total = 0;
    for (int i = 0; i < Count(); ++i)
        if (!IsNull(i)) total += std::fabs(YValues->GetValue(i)) * scale;
    return total;
}

void TPieSeries::CalcAngles() {
    double scale = 1;
    const double total = ShownTotal(scale);
    double sum = 0;
    double start = 0;
    for (TPieSlice& s : Slices) {
        const bool none = HasNoSlice(s);
        // Without any value every slice is the whole circle.
        s.Start = total == 0 ? 0 : start;
        double end = TwoPi;
        if (total != 0) {
            if (!none) sum += std::fabs(GetMarkValue(s.ValueIndex)) * scale;
            end = sum == total ? TwoPi : sum * TwoPi / total;
            if (end > s.Start + TwoPi) end = s.Start + TwoPi;
            // An other slice whose merged values overflowed both ways.
            if (std::isnan(end)) end = s.Start;
        }
        s.End = none ? s.Start : end;
        s.Middle = (s.Start + s.End) / 2;
        start = s.End;
    }
}

void TPieSeries::DoBeforeDrawChart() { CalcSlices(); }

void TPieSeries::CalcExplodedOffset(const TPieSlice& slice, int& dx, int& dy) const {
    dx = dy = 0;
    const int e = Exploded(slice.ValueIndex);
    if (!IsExploded || e <= 0) return;
    double a = slice.Middle + RotationRadians;
    if (ParentChart && ParentChart->Canvas->GetSupportsFullRotation()) a += std::numbers::pi + HalfPi;
    dx = RoundHalfEven(std::cos(a) * XRadius * e / 100.0);
    dy = RoundHalfEven(std::sin(a) * e / 100.0 * YRadius);
}

void TPieSeries::CalcExplodedRadius(int valueIndex, int& rx, int& ry) const {
    const double f = 1 + Exploded(valueIndex) / 100.0;
    rx = RoundHalfEven(XRadius * f);
    ry = RoundHalfEven(f * YRadius);
}

void TPieSeries::DrawAllValues() {
    if (!ParentChart) return;
    if (Slices.size() != static_cast<std::size_t>(Count() + (HasOther ? 1 : 0))) CalcSlices();
    if (ExplodeBiggest > 0) {
        // Drawing state only: no repaint from inside the drawing.
        const int b = Biggest(*this);
        if (b >= 0) {
            if (b >= static_cast<int>(ExplodedSlices.size())) ExplodedSlices.resize(static_cast<std::size_t>(b) + 1, 0);
            ExplodedSlices[static_cast<std::size_t>(b)] = ExplodeBiggest;
        }
    }
    const TPieSlice* widest = nullptr;
    for (const TPieSlice& s : Slices)
        if (Exploded(s.ValueIndex) > 0 && (!widest || Exploded(s.ValueIndex) > Exploded(widest->ValueIndex)))
            widest = &s;
    CalcAngles();
    IsExploded = widest != nullptr;
    if (IsExploded) {
        int dx = 0, dy = 0;
        CalcExplodedOffset(*widest, dx, dy);
        CircleRect.Left += std::abs(dx) / 2;
        CircleRect.Right -= std::abs(dx) / 2;
        CircleRect.Top += std::abs(dy) / 2;
        CircleRect.Bottom -= std::abs(dy) / 2;
        AdjustCircleRect();
        CalcRadius();
    }
    AngleToPos(0, XRadius, YRadius, StartPoint.x, StartPoint.y);
    std::vector<const TPieSlice*> order;
    for (const TPieSlice& s : Slices) order.push_back(&s);
    if (ParentChart->View3D && IsExploded && !ParentChart->Canvas->GetSupportsFullRotation()) {
        auto distance = [this](const TPieSlice* s) {
            double a = std::fmod(s->Middle + RotationRadians, TwoPi);
            if (a <= HalfPi) return HalfPi - a;
            if (a - HalfPi <= std::numbers::pi) return a - HalfPi;
            return TwoPi - (a - HalfPi);
        };
        std::stable_sort(order.begin(), order.end(),
                         [&](const TPieSlice* a, const TPieSlice* b) { return distance(a) < distance(b); });
    }
    for (const TPieSlice* s : order) DrawSlice(*s);
}

void TPieSeries::DrawValue(int valueIndex) {
    if (const TPieSlice* s = SliceOf(valueIndex)) DrawSlice(*s);
}

void TPieSeries::DrawSlice(const TPieSlice& slice) {
    if (!(CircleWidth > 4 && CircleHeight > 4) || HasNoSlice(slice)) return;
    const int i = slice.ValueIndex;
    ParentChart->SetBrushCanvas(GetValueColor(i), UsePatterns ? TCustomChart::GetDefaultPattern(i) : TBrushStyle::Solid,
                                CalcCircleBackColor());
    DrawPie(slice);
}

void TPieSeries::DrawPie(const TPieSlice& slice) {
    auto& c = *ParentChart->Canvas;
    c.AssignVisiblePen(*PiePen);
    int dx = 0, dy = 0;
    CalcExplodedOffset(slice, dx, dy);
    if (ParentChart->View3D) {
        c.Pie3D(CircleXCenter + dx, CircleYCenter - dy, XRadius, YRadius, FrontZ, BackZ,
                slice.Start + RotationRadians, slice.End + RotationRadians, Dark3D, IsExploded);
        return;
    }
    AngleToPos(slice.End, XRadius, YRadius, EndPoint.x, EndPoint.y);
    const bool draw = !(EndPoint == StartPoint) || Count() == 1 || (Count() > 1 && slice.End - slice.Start > 1);
    if (!draw) return;
    c.Pie(CircleRect.Left + dx, CircleRect.Top - dy, CircleRect.Right + dx, CircleRect.Bottom - dy,
          StartPoint.x + dx, StartPoint.y - dy, EndPoint.x + dx, EndPoint.y - dy);
    StartPoint = EndPoint;
}

// ----- legend and values of the other slice -----

int TPieSeries::CountLegendItems() {
    int n = 0;
    for (const TPieSlice& s : Slices)
        if (!s.InOther) ++n;
    return Slices.empty() ? Count() : n;
}

int TPieSeries::LegendToValueIndex(int legendIndex) {
    int k = 0;
    for (const TPieSlice& s : Slices) {
        if (s.InOther) continue;
        if (k == legendIndex) return s.ValueIndex;
        ++k;
    }
    return legendIndex;
}

std::string TPieSeries::GetXLabel(int index) const {
    if (HasOther && index == Count()) return OtherSlice.Text;
    return TCircledSeries::GetXLabel(index);
}

TColor TPieSeries::GetValueColor(int index) const {
    if (HasOther && index == Count()) return ColorEachPoint ? GetDefaultColor(index) : SeriesColor;
    return TCircledSeries::GetValueColor(index);
}

double TPieSeries::GetMarkValue(int valueIndex) {
    if (HasOther && valueIndex == Count()) return OtherValue;
    return TCircledSeries::GetMarkValue(valueIndex);
}

double TPieSeries::GetxValue(int index) const {
    if (HasOther && index == Count()) return 0;
    return TCircledSeries::GetxValue(index);
}

double TPieSeries::GetyValue(int index) const {
    if (HasOther && index == Count()) return OtherValue;
    return TCircledSeries::GetyValue(index);
}

double TPieSeries::AxisEnd(bool isX, bool isMax) const {
    const TCustomChartAxis* a = isX ? HorizAxisObject : VertAxisObject;
    if (!a) return 0;
    return isMax ? a->Maximum() : a->Minimum();
}
double TPieSeries::MaxXValue() const { return AxisEnd(true, true); }
double TPieSeries::MinXValue() const { return AxisEnd(true, false); }
double TPieSeries::MaxYValue() const { return AxisEnd(false, true); }
double TPieSeries::MinYValue() const { return AxisEnd(false, false); }

void TPieSeries::PrepareLegendCanvas(int valueIndex, TColor& backColor, TBrushStyle& style) {
    TCircledSeries::PrepareLegendCanvas(valueIndex, backColor, style);
    if (UsePatterns) style = TCustomChart::GetDefaultPattern(valueIndex);
}

void TPieSeries::SwapValueIndex(int a, int b) {
    TCircledSeries::SwapValueIndex(a, b);
    if (ExplodedSlices.size() < static_cast<std::size_t>(Count())) ExplodedSlices.resize(static_cast<std::size_t>(Count()), 0);
    if (a >= 0 && b >= 0 && a < Count() && b < Count())
        std::swap(ExplodedSlices[static_cast<std::size_t>(a)], ExplodedSlices[static_cast<std::size_t>(b)]);
}

void TPieSeries::CopyPieSettings(const TChartSeries& source) {
    const auto* p = dynamic_cast<const TPieSeries*>(&source);
    if (!p || p == this) return;
    Dark3D = p->Dark3D;
    UsePatterns = p->UsePatterns;
    PiePen->Assign(*p->PiePen);
    ExplodeBiggest = p->ExplodeBiggest;
    OtherSlice = p->OtherSlice;
}

void TPieSeries::AssignSeries(TChartSeries& source) {
    CopyPieSettings(source);
    TCircledSeries::AssignSeries(source);
    ColorEachPoint = true;
}

void TPieSeries::Assign(const TChartSeries& source) {
    CopyPieSettings(source);
    TCircledSeries::Assign(source);
    ColorEachPoint = true;
}

// ----- clicks and marks -----

int TPieSeries::Clicked(int x, int y) {
    const int base = TCircledSeries::Clicked(x, y);
    if (base != -1) return base;
    if (ParentChart && ParentChart->Canvas) ParentChart->Canvas->Calculate2DPosition(x, y, 0);
    const double a = PointToAngle(x, y);
    for (int i = 0; i < Count(); ++i) {
        const TPieSlice* s = SliceOf(i);
        if (!s || HasNoSlice(*s)) continue;
        int dx = 0, dy = 0;
        CalcExplodedOffset(*s, dx, dy);
        if (std::abs(x - CircleXCenter) < XRadius + dx && std::abs(y - CircleYCenter) < YRadius + dy &&
            s->Start <= a && a <= s->End)
            return i;
    }
    return -1;
}

void TPieSeries::DrawMarks() {
    // The slices (and the other slice, when there is one) in index order.
    if (!ParentChart) return;
    const int last = LastVisibleIndex;
    if (HasOther) LastVisibleIndex = Count();
    TCircledSeries::DrawMarks();
    LastVisibleIndex = last;
}

void TPieSeries::DrawMark(int valueIndex, const std::string& text, TSeriesMarkPosition& position) {
    const TPieSlice* s = SliceOf(valueIndex);
    if (!s || s->InOther) return;
    auto& c = *ParentChart->Canvas;
    int rx = 0, ry = 0;
    CalcExplodedRadius(valueIndex, rx, ry);
    double a = s->Middle;
    if (c.GetSupportsFullRotation()) {
        a += std::numbers::pi + HalfPi;
        Marks->ZPosition = FrontZ;
    } else {
        Marks->ZPosition = BackZ;
    }
    AngleToPos(a, c.TextWidth("W") + rx + Marks->ArrowLength, c.FontHeight() + ry + Marks->ArrowLength,
               position.ArrowTo.x, position.ArrowTo.y);
    AngleToPos(a, rx, ry, position.ArrowFrom.x, position.ArrowFrom.y);
    position.LeftTop.x = position.ArrowTo.x > CircleXCenter ? position.ArrowTo.x : position.ArrowTo.x - position.Width;
    position.LeftTop.y = position.ArrowTo.y;
    if (!(position.ArrowTo.y > CircleYCenter)) position.LeftTop.y -= position.Height;
    TCircledSeries::DrawMark(valueIndex, text, position);
}

// ----- registry -----

void RegisterExtraSeries() {
    static const bool done = [] {
        RegisterChartSeries("TBarSeries", [] { return new TBarSeries; }, "Bar", "Standard", 2);
        RegisterChartSeries("THorizBarSeries", [] { return new THorizBarSeries; }, "Horiz. Bar", "Standard", 2);
        RegisterChartSeries("TAreaSeries", [] { return new TAreaSeries; }, "Area", "Standard", 2);
        RegisterChartSeries("TPieSeries", [] { return new TPieSeries; }, "Pie", "Standard", 1);
        RegisterChartSeries("TFastLineSeries", [] { return new TFastLineSeries; }, "Fast Line", "Standard", 2);
        return true;
    }();
    (void)done;
}

}  // namespace pellucor::chart
