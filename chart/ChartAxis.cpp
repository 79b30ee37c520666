#include "chart/ChartAxis.h"

#include <algorithm>
#include <cmath>

#include "chart/AxisPanel.h"
#include "chart/Chartconst.h"

namespace pellucor::chart {

namespace {

using platform::RoundHalfEven;

// A pixel offset further than this from the axis start is clipped here,
// keeping its side: beyond it a drawing device's fixed-point coordinates
// would overflow, and a value far outside the range must never be mistaken
// for one in the middle of the plot.
constexpr double kPixelLimit = 4194304.0;  // 2^22

// Offset in whole pixels of a real offset; NaN has no side and gives 0.
// The offset is rounded as computed, in extended precision: narrowing it to
// a double first could turn a value just above a half into an exact half,
// which would then go to the even neighbour instead of up.
bool ClippedOffset(long double t, int& out) {
    if (std::isnan(t)) return false;
    const long double limit = kPixelLimit;
    out = static_cast<int>(std::nearbyint(std::clamp(t, -limit, limit)));
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Title

TChartAxisTitle::TChartAxisTitle(TChartWindow* panel, TCustomChartAxis* axis)
    : TChartFontObject(panel), Axis(axis) {}

void TChartAxisTitle::SetAngle(int value) {
    if (value == Angle) return;
    ChartCheckAngle(value, TeeMsg_AxisTitleLabel);
    Angle = value;
    Repaint();
}

void TChartAxisTitle::SetCaption(const std::string& value) {
    if (Caption == value) return;
    Caption = value;
    Repaint();
}

void TChartAxisTitle::Assign(const TChartAxisTitle& source) {
    Angle = source.Angle;
    Caption = source.Caption;
    TChartFontObject::Assign(source);
}

bool TChartAxisTitle::IsAngleStored() const { return Axis && Angle != Axis->TitleAngleDefault; }

// ---------------------------------------------------------------------------
// Construction

TCustomChartAxis::TCustomChartAxis(TCustomAxisPanel* panel) : OwnerPanel(panel) {
    auto changed = [this] { Repaint(); };
    Axis = std::make_unique<TChartAxisPen>(changed);
    Title = std::make_unique<TChartAxisTitle>(panel, this);
    Grid = std::make_unique<TDottedGrayPen>(changed);
    LabelsFont = CreateDefaultFont(changed);
    MinorGrid = std::make_unique<TChartHiddenPen>(changed);
    MinorTicks = std::make_unique<TDarkGrayPen>(changed);
    Ticks = std::make_unique<TDarkGrayPen>(changed);
    TicksInner = std::make_unique<TDarkGrayPen>(changed);
}

TCustomChartAxis::~TCustomChartAxis() = default;

TChartDepthAxis::TChartDepthAxis(TCustomAxisPanel* panel) : TCustomChartAxis(panel) {
    InternalSetVisible(false);
}

void TCustomChartAxis::Repaint() {
    if (OwnerPanel) OwnerPanel->Invalidate();
}

bool TCustomChartAxis::PanelLoading() const { return OwnerPanel && OwnerPanel->Loading; }

void TCustomChartAxis::SetBooleanProperty(bool& variable, bool value) {
    if (variable != value) {
        variable = value;
        Repaint();
    }
}

void TCustomChartAxis::SetIntegerProperty(int& variable, int value) {
    if (variable != value) {
        variable = value;
        Repaint();
    }
}

void TCustomChartAxis::SetDoubleProperty(double& variable, double value) {
    if (variable != value) {
        variable = value;
        Repaint();
    }
}

void TCustomChartAxis::SetStringProperty(std::string& variable, const std::string& value) {
    if (variable != value) {
        variable = value;
        Repaint();
    }
}

void TCustomChartAxis::Assign(const TCustomChartAxis& s) {
    Axis->Assign(*s.Axis);
    Ticks->Assign(*s.Ticks);
    TicksInner->Assign(*s.TicksInner);
    MinorTicks->Assign(*s.MinorTicks);
    Grid->Assign(*s.Grid);
    MinorGrid->Assign(*s.MinorGrid);
    LabelsFont->AssignFont(*s.LabelsFont);
    Title->Assign(*s.Title);
    FLabels = s.FLabels;
    FLabelsAngle = s.FLabelsAngle;
    FLabelsMultiLine = s.FLabelsMultiLine;
    FLabelsSeparation = s.FLabelsSeparation;
    FLabelsSize = s.FLabelsSize;
    FLabelStyle = s.FLabelStyle;
    FLabelsOnAxis = s.FLabelsOnAxis;
    FTitleSize = s.FTitleSize;
    FTickLength = s.FTickLength;
    FMinorTickLength = s.FMinorTickLength;
    FMinorTickCount = s.FMinorTickCount;
    FTickInnerLength = s.FTickInnerLength;
    FAxisValuesFormat = s.FAxisValuesFormat;
    FIncrement = s.FIncrement;
    FMaximum = s.FMaximum;
    FMinimum = s.FMinimum;
    FAutomatic = s.FAutomatic;
    FAutomaticMinimum = s.FAutomaticMinimum;
    FAutomaticMaximum = s.FAutomaticMaximum;
    FDateTimeFormat = s.FDateTimeFormat;
    FGridCentered = s.FGridCentered;
    FLogarithmic = s.FLogarithmic;
    FLogarithmicBase = s.FLogarithmicBase;
    FInverted = s.FInverted;
    FExactDateTime = s.FExactDateTime;
    FRoundFirstLabel = s.FRoundFirstLabel;
    FTickOnLabelsOnly = s.FTickOnLabelsOnly;
    DepthAxisFlag = s.DepthAxisFlag;
    FStartPosition = s.FStartPosition;
    FEndPosition = s.FEndPosition;
    FPositionPercent = s.FPositionPercent;
    FVisible = s.FVisible;
    HorizontalAxis = s.HorizontalAxis;
    FarSide = s.FarSide;
}

// ---------------------------------------------------------------------------
// Setters

void TCustomChartAxis::SetAutomatic(bool value) {
    SetBooleanProperty(FAutomatic, value);
    if (!PanelLoading()) {
        SetBooleanProperty(FAutomaticMinimum, value);
        SetBooleanProperty(FAutomaticMaximum, value);
    }
}

void TCustomChartAxis::SetAutomaticMinimum(bool value) {
    SetBooleanProperty(FAutomaticMinimum, value);
    if (!value || FAutomaticMaximum) SetBooleanProperty(FAutomatic, value);
}

void TCustomChartAxis::SetAutomaticMaximum(bool value) {
    SetBooleanProperty(FAutomaticMaximum, value);
    if (!value || FAutomaticMinimum) SetBooleanProperty(FAutomatic, value);
}

void TCustomChartAxis::SetMinimum(double value) {
    if (!PanelLoading() && value > FMaximum)
        throw AxisException("Axis Minimum Value must be <= Maximum");
    InternalSetMinimum(value);
}

void TCustomChartAxis::SetMaximum(double value) {
    if (!PanelLoading() && value < FMinimum)
        throw AxisException("Axis Maximum Value must be >= Minimum");
    InternalSetMaximum(value);
}

void TCustomChartAxis::SetMinMax(double a, double b) {
    SetBooleanProperty(FAutomatic, false);
    SetBooleanProperty(FAutomaticMinimum, false);
    SetBooleanProperty(FAutomaticMaximum, false);
    if (a > b) std::swap(a, b);
    InternalSetMinimum(a);
    InternalSetMaximum(b);
    // Equal ends get a sliver of width. Capacitances and admittances of a few
    // picofarads or picosiemens span far less than 1e-10 on their own, so the
    // sliver shrinks with ends below 1 rather than stretch such a range.
    const double magnitude = std::max(std::fabs(FMinimum), std::fabs(FMaximum));
    const double minSpan = magnitude > 0 && magnitude < 1 ? 1e-10 * magnitude : 1e-10;
    if (FMaximum - FMinimum < minSpan) InternalSetMaximum(FMinimum + minSpan);
}

void TCustomChartAxis::SetDesiredIncrement(double value) {
    if (value < 0) throw AxisException("Axis increment must be >= 0");
    SetDoubleProperty(FIncrement, value);
}

void TCustomChartAxis::SetLogarithmic(bool value) {
    if (value) {
        if (IsDateTime()) throw AxisException("DateTime Axis cannot be Logarithmic");
        AdjustMaxMin();
        if (RangeMin < 0 || RangeMax < 0)
            throw AxisException("Logarithmic Axis Min and Max values should be >= 0");
    }
    SetBooleanProperty(FLogarithmic, value);
}

void TCustomChartAxis::SetLogarithmicBase(int value) {
    if (value < 2) throw AxisException("Axis Logarithmic Base should be >= 2");
    SetIntegerProperty(FLogarithmicBase, value);
}

void TCustomChartAxis::SetLabelsSeparation(int value) {
    if (value < 0) throw AxisException("Labels Separation % must be greater than 0");
    SetIntegerProperty(FLabelsSeparation, value);
}

void TCustomChartAxis::SetLabelsAngle(int value) {
    ChartCheckAngle(value, TeeMsg_AxisLabelsLabel);
    SetIntegerProperty(FLabelsAngle, value);
}

void TCustomChartAxis::SetLabelStyle(TAxisLabelStyle value) {
    if (FLabelStyle != value) {
        FLabelStyle = value;
        Repaint();
    }
}

void TCustomChartAxis::SetValuesFormat(const std::string& value) {
    SetStringProperty(FAxisValuesFormat, value);
}

void TCustomChartAxis::SetDateTimeFormat(const std::string& value) {
    SetStringProperty(FDateTimeFormat, value);
}

// ---------------------------------------------------------------------------
// Range

bool TCustomChartAxis::IsDateTime() {
    if (!OwnerPanel) return false;
    for (auto* s : OwnerPanel->SeriesList)
        if (s->Active && s->AssociatedToAxis(this))
            return HorizontalAxis ? s->XValues->DateTime : s->YValues->DateTime;
    return false;
}

void TCustomChartAxis::CalcMinMax(double& aMin, double& aMax) {
    if (!OwnerPanel) return;
    if (FAutomatic || FAutomaticMaximum) aMax = OwnerPanel->InternalMinMax(this, false, HorizontalAxis);
    if (FAutomatic || FAutomaticMinimum) aMin = OwnerPanel->InternalMinMax(this, true, HorizontalAxis);
}

void TCustomChartAxis::AdjustMaxMin() {
    CalcMinMax(FMinimum, FMaximum);
    RangeMin = FMinimum;
    RangeMax = FMaximum;
    RangeSpan = RangeMax - RangeMin;
}

void TCustomChartAxis::AdjustMaxMinRect(const TRect& margins) {
    const int s = PixelStart;
    const int e = PixelEnd;
    const int first = HorizontalAxis ? margins.Left : margins.Top;
    const int second = HorizontalAxis ? margins.Right : margins.Bottom;
    PixelStart = s + first;
    PixelEnd = e - second;
    PixelSize = PixelEnd - PixelStart;
    const double a = CalcPosPoint(s);
    const double b = CalcPosPoint(e);
    InternalCalcPositions();
    RangeMin = a;
    RangeMax = b;
    if (RangeMin > RangeMax) std::swap(RangeMin, RangeMax);
    RangeSpan = RangeMax - RangeMin;
}

// ---------------------------------------------------------------------------
// Mapping

int TCustomChartAxis::CalcPosValue(double value) {
    return HorizontalAxis ? CalcXPosValue(value) : CalcYPosValue(value);
}

int TCustomChartAxis::CalcXPosValue(double value) {
    if (DepthAxisFlag) return InternalCalcDepthPosValue(value);
    if (FLogarithmic) return InternalCalcLogPosValue(true, value);
    return InternalCalcPosValue(value, FInverted);
}

int TCustomChartAxis::CalcYPosValue(double value) {
    if (DepthAxisFlag) return InternalCalcDepthPosValue(value);
    if (FLogarithmic) return InternalCalcLogPosValue(false, value);
    return InternalCalcPosValue(value, !FInverted);
}

int TCustomChartAxis::InternalCalcPosValue(double value, bool fromEnd) const {
    if (RangeSpan == 0) return PixelCentre;
    const long double t = (static_cast<long double>(value) - RangeMin) * PixelSize / RangeSpan;
    int offset = 0;
    if (!ClippedOffset(t, offset)) return PixelCentre;
    return fromEnd ? PixelEnd - offset : PixelStart + offset;
}

double TCustomChartAxis::InternalCalcLog(double& logMax, double& logMin) const {
    // Every position on a log axis needs these; they change only with the range.
    if (RangeMin != FLogCacheMin || std::isnan(FLogCacheLogMin)) {
        FLogCacheMin = RangeMin;
        FLogCacheLogMin = RangeMin > 0 ? std::log(RangeMin) : 0;
    }
    if (RangeMax != FLogCacheMax || std::isnan(FLogCacheLogMax)) {
        FLogCacheMax = RangeMax;
        FLogCacheLogMax = RangeMax > 0 ? std::log(RangeMax) : 0;
    }
    logMin = FLogCacheLogMin;
    logMax = FLogCacheLogMax;
    return logMax - logMin;
}

int TCustomChartAxis::InternalCalcLogPosValue(bool isX, double value) const {
    double logMax = 0, logMin = 0;
    const double logSpan = InternalCalcLog(logMax, logMin);
    if (logSpan == 0) return PixelCentre;
    if (value <= 0) {
        if (isX) return FInverted ? PixelEnd : PixelStart;
        return FInverted ? PixelStart : PixelEnd;
    }
    const double lv = std::log(value);
    const long double t = FInverted ? logMax - lv : lv - logMin;
    int offset = 0;
    if (!ClippedOffset(PixelSize * t / logSpan, offset)) return PixelCentre;
    return isX ? PixelStart + offset : PixelEnd - offset;
}

int TCustomChartAxis::InternalCalcDepthPosValue(double value) const {
    const int depth = OwnerPanel ? OwnerPanel->Depth3D : 0;
    if (RangeSpan == 0) return depth / 2;
    const long double t =
        static_cast<long double>(depth) * (FInverted ? RangeMax - value : value - RangeMin) / RangeSpan;
    int offset = 0;
    if (!ClippedOffset(t, offset)) return depth / 2;
    return offset;
}

void TCustomChartAxis::CalcPosValues(double value, bool isX, int& pos, double& exact) const {
    if (DepthAxisFlag) {
        pos = InternalCalcDepthPosValue(value);
        exact = pos;
        return;
    }
    // Offset from the start (or from the end) in extended precision, as the
    // rounded positions compute it, so both agree wherever both exist.
    long double t = 0;
    bool fromEnd = false;
    if (FLogarithmic) {
        double logMax = 0, logMin = 0;
        const double logSpan = InternalCalcLog(logMax, logMin);
        if (logSpan == 0) {
            pos = PixelCentre;
            exact = PixelCentre;
            return;
        }
        if (!(value > 0)) {
            pos = InternalCalcLogPosValue(isX, value);
            exact = std::nan("");
            return;
        }
        // The same steps as InternalCalcLogPosValue, so both round alike.
        const double lv = std::log(value);
        const long double d = FInverted ? logMax - lv : lv - logMin;
        t = PixelSize * d / logSpan;
        fromEnd = !isX;
    } else {
        if (RangeSpan == 0) {
            pos = PixelCentre;
            exact = PixelCentre;
            return;
        }
        t = (static_cast<long double>(value) - RangeMin) * PixelSize / RangeSpan;
        fromEnd = isX ? FInverted : !FInverted;
    }
    int offset = 0;
    if (!ClippedOffset(t, offset)) {
        pos = PixelCentre;
        exact = std::nan("");
        return;
    }
    pos = fromEnd ? PixelEnd - offset : PixelStart + offset;
    exact = static_cast<double>(fromEnd ? PixelEnd - t : PixelStart + t);
}

double TCustomChartAxis::CalcXPosExact(double value) const {
    int pos = 0;
    double exact = 0;
    CalcPosValues(value, true, pos, exact);
    return exact;
}

double TCustomChartAxis::CalcYPosExact(double value) const {
    int pos = 0;
    double exact = 0;
    CalcPosValues(value, false, pos, exact);
    return exact;
}

int TCustomChartAxis::CalcSizeValue(double value) {
    if (!(value > 0)) return 0;
    int out = 0;
    if (FLogarithmic) {
        double logMax = 0, logMin = 0;
        const double logSpan = InternalCalcLog(logMax, logMin);
        if (logSpan == 0) return 0;
        return ClippedOffset(std::log(value) * PixelSize / logSpan, out) ? out : 0;
    }
    if (RangeSpan == 0) return 0;
    return ClippedOffset(static_cast<long double>(value) * PixelSize / RangeSpan, out) ? out : 0;
}

double TCustomChartAxis::CalcPosPoint(int pixel) {
    if (FLogarithmic) {
        const bool lowAtStart = HorizontalAxis != FInverted;
        if (pixel == PixelStart) return lowAtStart ? RangeMin : RangeMax;
        if (pixel == PixelEnd) return lowAtStart ? RangeMax : RangeMin;
        double logMax = 0, logMin = 0;
        const double logSpan = InternalCalcLog(logMax, logMin);
        if (logSpan == 0 || PixelSize == 0) return RangeMin;
        const double d =
            static_cast<double>(FInverted ? PixelEnd - pixel : pixel - PixelStart) * logSpan / PixelSize;
        return HorizontalAxis ? std::exp(logMin + d) : std::exp(logMax - d);
    }
    if (PixelSize < 1) return 0;
    const double d =
        static_cast<double>(FInverted ? PixelEnd - pixel : pixel - PixelStart) * RangeSpan / PixelSize;
    return HorizontalAxis ? RangeMin + d : RangeMax - d;
}

// ---------------------------------------------------------------------------
// Layout

void TCustomChartAxis::RecalcSizeCenter() {
    PixelSize = PixelEnd - PixelStart;
    PixelCentre = (PixelStart + PixelEnd) / 2;
}

void TCustomChartAxis::InternalCalcPositions() {
    if (!OwnerPanel) return;
    const int l = HorizontalAxis ? OwnerPanel->ChartRect.Left : OwnerPanel->ChartRect.Top;
    const int w = HorizontalAxis ? OwnerPanel->ChartRectWidth : OwnerPanel->ChartRectHeight;
    PixelStart = l + RoundHalfEven(w * 0.01 * FStartPosition);
    PixelEnd = l + RoundHalfEven(w * 0.01 * FEndPosition);
    RecalcSizeCenter();
}

int TCustomChartAxis::GetRectangleEdge(const TRect& r) const {
    if (HorizontalAxis) return FarSide ? r.Top : r.Bottom;
    return FarSide ? r.Right : r.Left;
}

int TCustomChartAxis::ApplyPosition(int pos, const TRect& r) const {
    if (FPositionPercent == 0) return pos;
    const int extent = HorizontalAxis ? r.Bottom - r.Top : r.Right - r.Left;
    int d = RoundHalfEven(0.01 * FPositionPercent * extent);
    if (FarSide) d = -d;
    if (HorizontalAxis) d = -d;
    return pos + d;
}

int TCustomChartAxis::SizeTickAxis() const {
    int n = (Axis->GetVisible() ? Axis->GetWidth() : 0) + (Ticks->GetVisible() ? FTickLength : 0);
    if (MinorTicks->GetVisible()) n = std::max(n, FMinorTickLength);
    return n;
}

int TCustomChartAxis::SizeTitle() {
    return InternalCalcSize(Title->GetFont(), Title->Angle, Title->Caption, FTitleSize);
}

int TCustomChartAxis::SizeLabels() {
    return InternalCalcSize(*LabelsFont, FLabelsAngle, std::string(), FLabelsSize);
}

int TCustomChartAxis::InternalCalcSize(const TFont& font, int angle, const std::string& text,
                                       int fixedSize) {
    if (fixedSize != 0) return fixedSize;
    if (!OwnerPanel) return 0;
    OwnerPanel->FontCanvas(font);
    const bool along = HorizontalAxis ? (angle == 0 || angle == 180) : (angle == 90 || angle == 270);
    if (along) return OwnerPanel->Canvas->FontHeight();
    if (text.empty()) return MaxLabelsWidth();
    return OwnerPanel->Canvas->TextWidth(text);
}

void TCustomChartAxis::CalcRect(TRect& r, bool inflateChartRectangle) {
    LabelsAsDates = IsDateTime();
    auto take = [&](int n) {
        if (HorizontalAxis) {
            if (FarSide) r.Top += n; else r.Bottom -= n;
        } else {
            if (FarSide) r.Right -= n; else r.Left += n;
        }
    };
    auto outward = [&](int pos, int n) {
        if (HorizontalAxis) return FarSide ? pos - n : pos + n;
        return FarSide ? pos + n : pos - n;
    };
    if (inflateChartRectangle) {
        if (DepthAxisFlag) {
            TitlePos = r.Right;
        } else if (!Title->Caption.empty()) {
            take(SizeTitle());
            TitlePos = GetRectangleEdge(r);
        }
        if (FLabels) {
            take(SizeLabels());
            LabelsPos = GetRectangleEdge(r);
        }
        const int n = SizeTickAxis() + (OwnerPanel ? OwnerPanel->CalcWallSize(this) : 0);
        if (n > 0) take(n);
        TitlePos = ApplyPosition(TitlePos, r);
        LabelsPos = ApplyPosition(LabelsPos, r);
    } else {
        AxisLinePos = ApplyPosition(GetRectangleEdge(r), r);
        LabelsPos = outward(AxisLinePos, SizeTickAxis());
        TitlePos = outward(LabelsPos, SizeLabels());
    }
}

// ---------------------------------------------------------------------------
// Interaction

bool TCustomChartAxis::Clicked(int x, int y) {
    if (!OwnerPanel || !OwnerPanel->IsAxisVisible(this)) return false;
    const int a0 = std::min(PixelStart, PixelEnd);
    const int a1 = std::max(PixelStart, PixelEnd);
    int c0, c1;
    if (AxisLinePos > LabelsPos) {
        c0 = LabelsPos;
        c1 = AxisLinePos + 3;
    } else {
        c0 = AxisLinePos - 3;
        c1 = LabelsPos;
    }
    const int along = HorizontalAxis ? x : y;
    const int across = HorizontalAxis ? y : x;
    return along >= a0 && along < a1 && across >= c0 && across < c1;
}

void TCustomChartAxis::Scroll(double offset, bool checkLimits) {
    if (checkLimits && OwnerPanel) {
        const bool more = offset > 0
                              ? OwnerPanel->InternalMinMax(this, false, HorizontalAxis) > FMaximum
                              : offset < 0 && OwnerPanel->InternalMinMax(this, true, HorizontalAxis) < FMinimum;
        if (!more) return;
    }
    FAutomatic = FAutomaticMaximum = FAutomaticMinimum = false;
    FMaximum += offset;
    FMinimum += offset;
    Repaint();
}

}  // namespace pellucor::chart
