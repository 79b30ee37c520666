// The drawing half of an axis: label step, label values and texts, title,
// axis line, ticks, minor ticks and grid lines.
#include <algorithm>
#include <cmath>

#include "chart/AxisPanel.h"
#include "chart/ChartAxis.h"
#include "chart/NumberFormat.h"

namespace pellucor::chart {

namespace {

using platform::RoundHalfEven;
using platform::TA_BOTTOM;
using platform::TA_CENTER;
using platform::TA_LEFT;
using platform::TA_RIGHT;
using platform::TA_TOP;

bool IsBottom(const TCustomChartAxis& a) { return a.HorizontalAxis && !a.FarSide; }
bool IsTop(const TCustomChartAxis& a) { return a.HorizontalAxis && a.FarSide; }
bool IsLeft(const TCustomChartAxis& a) { return !a.HorizontalAxis && !a.FarSide && !a.DepthAxisFlag; }
bool IsRight(const TCustomChartAxis& a) { return !a.HorizontalAxis && a.FarSide && !a.DepthAxisFlag; }

constexpr double kMinStep = 1e-12;

// The smallest label step for a span: 1e-12, which serves every span down to
// some 1e-10; a narrower span (capacitances of a fraction of a picofarad)
// gets a step a hundredth of its own decade, so that it is labelled at all.
double SmallestStep(double span) {
    const double a = std::fabs(span);
    if (!(a > 0) || !std::isfinite(a)) return kMinStep;
    const double own = std::pow(10.0, std::floor(std::log10(a)) - 2);
    return own > 0 ? std::min(kMinStep, own) : kMinStep;
}

// The date-time step the labels keep to exactly: the wished increment's
// own step, widened until it covers the label step; dtNone when the
// labels are not exact dates or the increment is no step of the table.
TDateTimeStep ExactDateTimeStep(bool exactDates, double increment, double step) {
    if (!exactDates || increment == 0) return dtNone;
    TDateTimeStep index = FindDateTimeStep(increment);
    if (index != dtNone)
        while (index < dtOneYear && step > DateTimeStep[index]) index = static_cast<TDateTimeStep>(index + 1);
    return index;
}

}  // namespace

// ---------------------------------------------------------------------------
// Label step

double TCustomChartAxis::CalcIncrement() {
    const int size = HorizontalAxis ? std::max(LabelWidth(RangeMin), LabelWidth(RangeMax))
                                    : std::max(LabelHeight(RangeMin), LabelHeight(RangeMax));
    return CalcXYIncrement(size);
}

double TCustomChartAxis::CalcXYIncrement(int maxLabelSize) {
    int maxNumLabels = 1;
    if (maxLabelSize > 0) {
        if (FLabelsSeparation > 0)
            maxLabelSize += RoundHalfEven(FLabelsSeparation * 0.01 * maxLabelSize);
        maxNumLabels = RoundHalfEven(static_cast<double>(PixelSize) / maxLabelSize);
    }
    return CalcLabelsIncrement(maxNumLabels);
}

double TCustomChartAxis::CalcLabelsIncrement(int maxNumLabels) {
    if (maxNumLabels < 1) return LabelsAsDates ? DateTimeStep[dtOneSecond] : kMinStep;
    if (LabelsAsDates) return CalcDateTimeIncrement(maxNumLabels);
    // Without a separation the start step is the step: nothing widens it, so
    // the finer starts below would crowd the axis with labels.
    const bool search = FLabelsSeparation > 0;
    const double smallest = search ? SmallestStep(RangeSpan) : kMinStep;
    // A span of a few units (the errors of a good fit, -0.8 % to 0.5 %)
    // starts from a tenth: from 1 it could be left a single label.
    const double span = std::fabs(RangeSpan);
    const double fromOne = search && span < 10 ? 0.1 : 1.0;
    double step = FIncrement > 0 ? FIncrement : (span >= 1 ? fromOne : smallest);
    // A span that is not a number, or infinite, has no sensible step: the
    // label loop refuses it, so no search is needed (it would never end).
    if (search && std::isfinite(RangeSpan)) {
        int count = maxNumLabels + 1;
        // Each round must widen the step; one that does not would never end.
        auto widen = [&step] {
            const double next = ChartNextStep(step);
            if (!(next > step)) return false;
            step = next;
            return true;
        };
        do {
            const double n = RangeSpan / step;
            if (std::fabs(n) < 2147483647.0) {
                count = RoundHalfEven(n);
                if (count > maxNumLabels && !widen()) break;
            } else if (!widen()) {
                break;
            }
        } while (count > maxNumLabels && std::isfinite(step));
    }
    return std::max(step, smallest);
}

double TCustomChartAxis::CalcDateTimeIncrement(int maxNumLabels) {
    const double smallest = DateTimeStep[dtOneSecond];
    double step = std::max(smallest, FIncrement);
    if (step > 0 && maxNumLabels > 0 && std::isfinite(RangeSpan)) {
        if (RangeSpan / step > 1000000) step = RangeSpan / 1000000;
        int count = 0;
        do {
            count = RoundHalfEven(RangeSpan / step);
            if (count > maxNumLabels) {
                const double next = step >= DateTimeStep[dtOneYear] ? step * 2 : NextDateTimeStep(step);
                if (!(next > step)) break;
                step = next;
            }
        } while (count > maxNumLabels);
    }
    return std::max(step, smallest);
}

// ---------------------------------------------------------------------------
// Label texts and sizes

std::string TCustomChartAxis::LabelValue(double value) {
    std::string text;
    if (LabelsAsDates) {
        if (value >= 0)
            text = FormatDateTime(FDateTimeFormat.empty() ? DateTimeDefaultFormat(RangeSpan) : FDateTimeFormat,
                                  value);
    } else {
        text = FormatFloat(FAxisValuesFormat, value);
    }
    if (OwnerPanel && OwnerPanel->OnGetAxisLabel)
        OwnerPanel->OnGetAxisLabel(static_cast<TChartAxis*>(this), nullptr, -1, text);
    if (FLabelsMultiLine) ChartSplitInLines(text, " ");
    return text;
}

int TCustomChartAxis::LabelExtent(double value, bool widthNotHeight) {
    if (!OwnerPanel) return 0;
    int lines = 0;
    const int w = OwnerPanel->MultiLineTextWidth(LabelValue(value), lines);
    const bool byHeight = widthNotHeight ? (FLabelsAngle == 90 || FLabelsAngle == 270)
                                         : (FLabelsAngle == 0 || FLabelsAngle == 180);
    return byHeight ? OwnerPanel->Canvas->FontHeight() * lines : w;
}

int TCustomChartAxis::LabelWidth(double value) { return LabelExtent(value, true); }
int TCustomChartAxis::LabelHeight(double value) { return LabelExtent(value, false); }

TAxisLabelStyle TCustomChartAxis::CalcLabelStyle() {
    if (FLabelStyle != talAuto) return FLabelStyle;
    if (!OwnerPanel) return talNone;
    if (DepthAxisFlag) {
        for (auto* s : OwnerPanel->SeriesList)
            if (s->Active && (s->HasDepthValues || s->MinZValue() != s->MaxZValue())) return talValue;
        return talText;
    }
    TAxisLabelStyle result = talNone;
    for (auto* s : OwnerPanel->SeriesList) {
        if (!s->Active || !s->AssociatedToAxis(this)) continue;
        result = talValue;
        const bool positionsAlongThisAxis = HorizontalAxis == s->YMandatory();
        if (positionsAlongThisAxis && s->Count() > 0 && !s->GetXLabel(0).empty()) return talText;
    }
    return result;
}

int TCustomChartAxis::MaxLabelsWidth() {
    if (!OwnerPanel) return 0;
    switch (CalcLabelStyle()) {
        case talValue: {
            double lo = RangeMin, hi = RangeMax;
            if ((IsDateTime() && FExactDateTime) || FRoundFirstLabel) {
                const double inc = CalcIncrement();
                lo = std::trunc(RangeMin / inc) * inc;
                hi = std::trunc(RangeMax / inc) * inc;
            }
            std::vector<double> values{hi, lo};
            // A logarithmic axis labels decades, not multiples of a step: with
            // "#,##0.###" its 0.001 is far wider than the 0 and 10 above, and
            // would run into the title. Its band holds the decades it writes.
            if (FLogarithmic && FIncrement == 0 && RangeMax > 0 && RangeMax > RangeMin &&
                RangeSpan > ZeroSpanLimit()) {
                const bool replaced = RangeMin <= 0;
                const double low = replaced ? (RangeMin == 0 ? 0.1 : 1e-10) : RangeMin;
                const auto decades = LogLabelValues(low, replaced);
                values.insert(values.end(), decades.begin(), decades.end());
            }
            auto saved = std::move(OwnerPanel->OnGetAxisLabel);
            OwnerPanel->OnGetAxisLabel = nullptr;
            int w = 0;
            for (double v : values) {
                int lines = 0;
                w = std::max(w, OwnerPanel->MultiLineTextWidth(LabelValue(v), lines));
            }
            OwnerPanel->OnGetAxisLabel = std::move(saved);
            return w + OwnerPanel->Canvas->TextWidth(" ");
        }
        case talMark:
            return OwnerPanel->MaxMarkWidth();
        case talText:
            return OwnerPanel->MaxTextWidth();
        default:
            return 0;
    }
}

// ---------------------------------------------------------------------------
// Texts on the canvas

void TCustomChartAxis::DrawAxisLabel(int x, int y, int angle, const std::string& text) {
    auto& c = *OwnerPanel->Canvas;
    const int h = c.FontHeight();
    const int h2 = h / 2;
    int align = TA_LEFT | TA_TOP;
    const bool bottom = IsBottom(*this), top = IsTop(*this), left = IsLeft(*this);
    switch (angle) {
        case 0:
            if (bottom) align = TA_CENTER | TA_TOP;
            else if (top) align = TA_CENTER | TA_BOTTOM;
            else { align = (left ? TA_RIGHT : TA_LEFT) | TA_TOP; y -= h2; }
            break;
        case 90:
            if (bottom) { align = TA_RIGHT | TA_TOP; x -= h2; }
            else if (top) { align = TA_LEFT | TA_TOP; x -= h2; }
            else align = TA_CENTER | (left ? TA_BOTTOM : TA_TOP);
            break;
        case 180:
            if (bottom) align = TA_CENTER | TA_BOTTOM;
            else if (top) align = TA_CENTER | TA_TOP;
            else { align = (left ? TA_LEFT : TA_RIGHT) | TA_TOP; y += h2; }
            break;
        case 270:
            if (bottom) { align = TA_LEFT | TA_TOP; x += h2; }
            else if (top) { align = TA_RIGHT | TA_TOP; x += h2; }
            else align = TA_CENTER | (left ? TA_TOP : TA_BOTTOM);
            break;
        default:
            break;
    }
    c.SetTextAlign(align);

    const int lines = ChartNumTextLines(text);
    if (lines > 0) {
        const int d = (angle == 180 || angle == 270) ? -h : h;
        const int dd = d * lines;
        const int half = RoundHalfEven(d * 0.5 * (lines + 1));
        if (HorizontalAxis) {
            if (angle == 0) y -= top ? dd : d;
            else if (angle == 180) y -= top ? d : dd;
            else if (angle == 90 || angle == 270) x -= half;
        } else {
            if (angle == 0 || angle == 180) y -= half;
            else if (angle == 90) x -= left ? dd : d;
            else if (angle == 270) x -= left ? d : dd;
        }
        const int z = FarSide ? OwnerPanel->Depth3D : 0;
        std::size_t start = 0;
        for (int i = 0; i < lines; ++i) {
            const auto sep = text.find(TeeLineSeparator, start);
            const std::string line =
                text.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
            start = sep == std::string::npos ? text.size() : sep + 1;
            if (angle == 0) {
                y += d;
                c.TextOut3D(x, y, z, line);
                continue;
            }
            if (angle == 90 || angle == 270) x += d;
            else if (angle == 180) y += d;
            c.RotateLabel3D(x, y, z, line, angle);
        }
    }
    c.SetTextAlign(TA_LEFT | TA_TOP);
}

// Font and a see-through background for a title or a label; white text
// turns black on paper.
void TCustomChartAxis::PrepareTextCanvas(const TFont& font) {
    auto& c = *OwnerPanel->Canvas;
    OwnerPanel->FontCanvas(font);
    if (OwnerPanel->Printing && platform::ColorToRGB(c.Font->GetColor()) == clWhite) c.Font->SetColor(clBlack);
    c.Brush->SetColor(OwnerPanel->Color);
    c.Brush->SetStyle(TBrushStyle::Clear);
    // The grid of an axis drawn before leaves the background opaque.
    c.SetBackMode(cbmTransparent);
}

void TCustomChartAxis::DrawTitle(int x, int y) {
    auto& c = *OwnerPanel->Canvas;
    PrepareTextCanvas(Title->GetFont());
    if (DepthAxisFlag) {
        c.SetTextAlign(TA_LEFT | TA_TOP);
        c.TextOut3D(TitlePos, OwnerPanel->ChartRect.Bottom, OwnerPanel->Depth3D / 2, Title->Caption);
        return;
    }
    DrawAxisLabel(x, y, Title->Angle, Title->Caption);
}

void TCustomChartAxis::WriteLabel(int pos, const std::string& text) {
    if (FTickOnLabelsOnly) AddTick(pos);
    auto& c = *OwnerPanel->Canvas;
    PrepareTextCanvas(*LabelsFont);
    if (DepthAxisFlag) {
        c.SetTextAlign(TA_LEFT | TA_TOP);
        c.TextOut3D(LabelsPos, OwnerPanel->ChartRect.Bottom, pos, text);
    } else if (HorizontalAxis) {
        DrawAxisLabel(pos, LabelsPos, FLabelsAngle, text);
    } else {
        DrawAxisLabel(LabelsPos, pos, FLabelsAngle, text);
    }
}

// ---------------------------------------------------------------------------
// Label loops

void TCustomChartAxis::AddTick(int pos) {
    // The list holds MaxTickPositions; further positions are not collected.
    if (static_cast<int>(FTicks.size()) < MaxTickPositions)
        FTicks.push_back(pos);
    else
        FTicksFull = true;
}

void TCustomChartAxis::PlaceLabelAt(double value) {
    const int pos = CalcPosValue(value);
    if (FLabelsOnAxis || (pos > PixelStart && pos < PixelEnd)) {
        if (!FTickOnLabelsOnly) AddTick(pos);
        if (FLabels) WriteLabel(pos, LabelValue(value));
    }
}

void TCustomChartAxis::IncDecDateTime(bool increment, double& value, double anIncrement,
                                      TDateTimeStep step) {
    ChartDateTimeIncrement(FExactDateTime && LabelsAsDates && step > dtOneWeek && step != dtNone,
                           increment, value, anIncrement, step);
}

double TCustomChartAxis::ZeroSpanLimit() const {
    return 1e-9 * std::max(std::fabs(RangeMin), std::fabs(RangeMax));
}

void TCustomChartAxis::DrawLinearLabels(double step) {
    if (!(std::fabs(RangeSpan / step) < 10000)) return;  // also refuses a span that is not a number
    const TDateTimeStep stepIndex = ExactDateTimeStep(LabelsAsDates && FExactDateTime, FIncrement, step);
    double v;
    if (LabelsAsDates && FExactDateTime && stepIndex >= dtOneDay && stepIndex <= dtOneYear)
        v = ChartRoundDate(RangeMax, stepIndex);
    else if (RangeMin == RangeMax || !FRoundFirstLabel)
        v = RangeMax;
    else
        v = std::trunc(RangeMax / step) * step;

    // Every value maps to the centre of a zero span: one label says it all.
    // A fixed range with equal ends comes here widened by a minimum span
    // far below the resolution of its values: that is a zero span as well.
    if (RangeMin == RangeMax || RangeSpan <= ZeroSpanLimit()) {
        PlaceLabelAt(RangeMin == RangeMax ? v : RangeMin);
        return;
    }
    // Steps taken one from another leave a remainder of rounding where they
    // pass zero (2.5e-21 for steps of 2e-6), which a scientific label would
    // show as it is: a value that near zero is zero.
    auto stepDown = [&] {
        IncDecDateTime(false, v, step, stepIndex);
        if (std::fabs(v) < step * 1e-9) v = 0;
    };
    // Stepping a value far larger than the step can leave it unchanged; the
    // loops end as soon as a step makes no progress.
    while (v > RangeMax) {
        const double before = v;
        stepDown();
        if (!(v < before)) return;
    }
    // A label stepped down onto the low end may land a hair below it. The
    // hair grows with the end's size whatever its sign (a negative end such
    // as -90 keeps its label), and stays a small part of a step, so that
    // values of picofarads get no label beyond the end of the axis.
    const double low = RangeMin - std::fabs(RangeMin) * 1e-12 - std::min(1e-12, step * 1e-6);
    while (v >= low) {
        PlaceLabelAt(v);
        const double before = v;
        stepDown();
        if (!(v < before)) break;
    }
}

void TCustomChartAxis::DrawLogLabels() {
    if (RangeMin == RangeMax || RangeSpan <= ZeroSpanLimit()) {
        // Every value maps to the centre of a zero span: one label.
        if (RangeMin > 0) PlaceLabelAt(RangeMin);
        return;
    }
    const bool replaced = RangeMin <= 0;
    if (replaced) {
        RangeMin = RangeMin == 0 ? 0.1 : 1e-10;
        RangeSpan = RangeMax - RangeMin;
    }
    for (double v : LogLabelValues(RangeMin, replaced)) PlaceLabelAt(v);
}

std::vector<double> TCustomChartAxis::LogLabelValues(double low, bool fromLow) const {
    std::vector<double> out;
    const double base = FLogarithmicBase;
    double start = 1;
    int k = 0;
    if (fromLow)
        start = low;
    else
        k = RoundHalfEven(std::log(low) / std::log(base));
    // Each label value from its own power: repeated products drift, and a
    // value drifted above the top end of a range of decades (1e-15 times ten,
    // four times, is more than 1e-11) lost the top decade's label.
    for (;; ++k) {
        const double v = start * std::pow(base, k);
        if (!(v <= RangeMax && std::isfinite(v) && v > 0)) break;
        if (v >= low) out.push_back(v);
    }
    return out;
}

void TCustomChartAxis::DrawCustomLabels(double step) {
    double v = RangeMin;
    bool stop = true;
    int index = 0;
    bool inside = false;
    do {
        OwnerPanel->OnGetNextAxisLabel(static_cast<TChartAxis*>(this), index, v, stop);
        if (stop) {
            if (index == 0) DrawValueLabels(step);
            return;
        }
        inside = v >= RangeMin - 1e-7 && v <= RangeMax + 1e-7;
        if (inside) PlaceLabelAt(v);
        ++index;
    } while (inside && index <= 2000 && !stop);
}

void TCustomChartAxis::DrawValueLabels(double step) {
    if (FLogarithmic && FIncrement == 0)
        DrawLogLabels();
    else
        DrawLinearLabels(step);
}

void TCustomChartAxis::DrawSeriesLabels(TAxisLabelStyle style) {
    std::vector<TChartSeries*> list;
    for (auto* s : OwnerPanel->SeriesList)
        if (s->Active && s->AssociatedToAxis(this) && s->Count() > 0) list.push_back(s);
    int first = -1, last = -1;
    for (auto* s : list) {
        s->CalcFirstLastVisibleIndex();
        if (s->FirstVisibleIndex != -1 && (first == -1 || s->FirstVisibleIndex < first))
            first = s->FirstVisibleIndex;
        last = std::max(last, s->LastVisibleIndex);
    }
    if (first == -1 || last == -1) return;
    const bool extentAcross = HorizontalAxis ? (FLabelsAngle != 90 && FLabelsAngle != 270)
                                             : (FLabelsAngle == 90 || FLabelsAngle == 270);
    int prevPos = -1, prevHalf = 0;
    auto& c = *OwnerPanel->Canvas;
    for (int i = first; i <= last; ++i) {
        TChartSeries* owner = nullptr;
        for (auto* s : list)
            if (i < s->Count()) {
                owner = s;
                break;
            }
        if (!owner) continue;
        std::string text = style == talMark ? FormatFloat(owner->ValueFormat, owner->MandatoryValueList().GetValue(i))
                                            : owner->GetXLabel(i);
        if (OwnerPanel->OnGetAxisLabel) OwnerPanel->OnGetAxisLabel(static_cast<TChartAxis*>(this), owner, i, text);
        const double value = HorizontalAxis ? owner->GetxValue(i) : owner->GetyValue(i);
        if (!(value >= RangeMin && value <= RangeMax)) continue;
        const int pos = CalcPosValue(value);
        if (!FTickOnLabelsOnly) AddTick(pos);
        if (!FLabels) continue;
        OwnerPanel->FontCanvas(*LabelsFont);
        int lines = 0;
        const int widest = OwnerPanel->MultiLineTextWidth(text, lines);
        const int size = extentAcross ? c.FontHeight() * lines : widest;
        if (FLabelsSeparation != 0 && prevPos != -1) {
            const int half = (size + static_cast<int>(size * 0.02 * FLabelsSeparation)) / 2;
            const bool clears = pos >= prevPos ? pos - half >= prevPos + prevHalf : pos + half <= prevPos - prevHalf;
            if (clears) {
                WriteLabel(pos, text);
                prevPos = pos;
                prevHalf = half;
            }
        } else {
            WriteLabel(pos, text);
            prevPos = pos;
            prevHalf = size / 2;
        }
    }
}

void TCustomChartAxis::DrawDepthTitles() {
    bool anyActive = false;
    for (auto* s : OwnerPanel->SeriesList) anyActive = anyActive || s->Active;
    if (!anyActive) return;
    const int k0 = static_cast<int>(std::trunc(RangeMin));
    const int k1 = static_cast<int>(std::trunc(RangeMax));
    for (int k = k0; k <= k1; ++k) {
        const int pos = InternalCalcDepthPosValue(RangeMax - k - 0.5);
        if (!FTickOnLabelsOnly) AddTick(pos);
        if (!FLabels) continue;
        std::string text;
        if (auto* s = OwnerPanel->ActiveSeriesLegend(k)) text = OwnerPanel->SeriesTitleLegend(OwnerPanel->SeriesList.IndexOf(s));
        if (OwnerPanel->OnGetAxisLabel) OwnerPanel->OnGetAxisLabel(static_cast<TChartAxis*>(this), nullptr, k, text);
        WriteLabel(pos, text);
    }
}

// ---------------------------------------------------------------------------
// Draw

void TCustomChartAxis::Draw(bool calcPosAxis) {
    if (!OwnerPanel) return;
    LabelsAsDates = IsDateTime();
    OwnerPanel->FontCanvas(*LabelsFont);
    const double step = CalcIncrement();
    const TRect& cr = OwnerPanel->ChartRect;
    if (calcPosAxis) AxisLinePos = ApplyPosition(GetRectangleEdge(cr), cr);
    if (!Title->Caption.empty()) {
        if (HorizontalAxis)
            DrawTitle(PixelCentre, TitlePos);
        else
            DrawTitle(TitlePos, PixelCentre);
    }
    const TDateTimeStep stepIndex = ExactDateTimeStep(LabelsAsDates && FExactDateTime, FIncrement, step);
    FTicks.clear();
    FTicks.reserve(MaxTickPositions);
    FTicksFull = false;
    if ((step > 0 || (stepIndex >= dtHalfMonth && stepIndex <= dtOneYear)) && RangeMax >= RangeMin) {
        switch (CalcLabelStyle()) {
            case talValue:
                if (OwnerPanel->OnGetNextAxisLabel)
                    DrawCustomLabels(step);
                else
                    DrawValueLabels(step);
                break;
            case talMark:
                DrawSeriesLabels(talMark);
                break;
            case talText:
                if (DepthAxisFlag)
                    DrawDepthTitles();
                else
                    DrawSeriesLabels(talText);
                break;
            default:
                break;
        }
    }
    DrawTicksAndGrid();
}

// ---------------------------------------------------------------------------
// Ticks, axis line and grid

std::vector<int> TCustomChartAxis::MinorTickPositions() {
    std::vector<int> out;
    const int n = static_cast<int>(FTicks.size());
    const int m = FMinorTickCount;
    if (n == 0 || m <= 0) return out;
    auto add = [&](int p) {
        if (p > PixelStart && p < PixelEnd) out.push_back(p);
    };
    if (!FLogarithmic && n >= 2) {
        const double s = static_cast<double>(FTicks[1] - FTicks[0]) / (m + 1);
        for (int j = 1; j <= m; ++j) {
            add(FTicks[0] - RoundHalfEven(j * s));
            add(FTicks[n - 1] + RoundHalfEven(j * s));
        }
    }
    for (int i = 1; i < n; ++i) {
        if (FLogarithmic) {
            double v = CalcPosPoint(FTicks[i - 1]);
            const double s = (FLogarithmicBase * v - v) / (m + 1);
            for (int j = 1; j <= m; ++j) {
                v += s;
                if (v > RangeMax) break;
                add(CalcPosValue(v));
            }
        } else {
            const double s = static_cast<double>(FTicks[i] - FTicks[i - 1]) / (m + 1);
            for (int j = 1; j <= m; ++j) add(FTicks[i] - RoundHalfEven(j * s));
        }
    }
    return out;
}

void TCustomChartAxis::DrawTick(int p, int o, int n, int wall) {
    auto& c = *OwnerPanel->Canvas;
    const int depth = OwnerPanel->Depth3D;
    if (IsBottom(*this)) {
        o += wall;
        c.VertLine3D(p, AxisLinePos + o, AxisLinePos + o + n, 0);
    } else if (IsTop(*this)) {
        c.VertLine3D(p, AxisLinePos - o, AxisLinePos - o - n, depth);
    } else if (IsLeft(*this)) {
        o += wall;
        c.HorizLine3D(AxisLinePos - o, AxisLinePos - o - n, p, 0);
    } else if (IsRight(*this)) {
        c.HorizLine3D(AxisLinePos + o, AxisLinePos + o + n, p, depth);
    } else {
        c.HorizLine3D(AxisLinePos + o, AxisLinePos + o + n, OwnerPanel->ChartRect.Bottom, p);
    }
}

void TCustomChartAxis::DrawGridLine(int p) {
    auto& c = *OwnerPanel->Canvas;
    const TRect& r = OwnerPanel->ChartRect;
    const int depth = OwnerPanel->Depth3D;
    if (DepthAxisFlag) {
        c.VertLine3D(r.Left, r.Top, r.Bottom, p);
        c.HorizLine3D(r.Left, r.Right, r.Bottom, p);
        return;
    }
    if (!OwnerPanel->View3D) {
        if (HorizontalAxis)
            c.DoVertLine(p, r.Top, r.Bottom);
        else
            c.DoHorizLine(r.Left, r.Right, p);
        return;
    }
    if (FarSide) {
        if (HorizontalAxis)
            c.VertLine3D(p, r.Top, r.Bottom, depth);
        else
            c.HorizLine3D(r.Left, r.Right, p, depth);
        return;
    }
    if (AxisBehindSeries) {
        if (HorizontalAxis) {
            c.ZLine3D(p, AxisLinePos, 0, depth);
            c.VertLine3D(p, r.Top, r.Bottom, depth);
        } else {
            c.ZLine3D(AxisLinePos, p, 0, depth);
            c.HorizLine3D(r.Left, r.Right, p, depth);
        }
    } else {
        if (HorizontalAxis)
            c.VertLine3D(p, r.Top, r.Bottom, 0);
        else
            c.HorizLine3D(r.Left, r.Right, p, 0);
    }
}

void TCustomChartAxis::DrawTicksAndGrid() {
    auto& c = *OwnerPanel->Canvas;
    const int w = OwnerPanel->CalcWallSize(this);
    const int depth = OwnerPanel->Depth3D;

    if (Axis->GetVisible()) {
        c.AssignVisiblePen(*Axis);
        if (IsBottom(*this))
            c.HorizLine3D(PixelStart - OwnerPanel->CalcWallSize(OwnerPanel->LeftAxis), PixelEnd, AxisLinePos + w, 0);
        else if (IsTop(*this))
            c.HorizLine3D(PixelStart, PixelEnd, AxisLinePos, depth);
        else if (IsLeft(*this))
            c.VertLine3D(AxisLinePos - w, PixelStart, PixelEnd + OwnerPanel->CalcWallSize(OwnerPanel->BottomAxis), 0);
        else if (IsRight(*this))
            c.VertLine3D(AxisLinePos, PixelStart, PixelEnd, depth);
        else
            c.ZLine3D(OwnerPanel->ChartRect.Right,
                      OwnerPanel->ChartRect.Bottom + OwnerPanel->CalcWallSize(OwnerPanel->BottomAxis), 0, depth);
    }

    if (Ticks->GetVisible()) {
        c.AssignVisiblePen(*Ticks);
        for (int p : FTicks) DrawTick(p, 1, FTickLength, w);
    }

    if (Grid->GetVisible()) {
        c.Brush->SetStyle(TBrushStyle::Clear);
        c.SetBackMode(cbmTransparent);
        TChartPen pen;
        pen.Assign(*Grid);
        if (pen.GetColor() == UseSeriesColor) pen.SetColor(clGray);
        OwnerPanel->CheckPenWidth(pen);
        c.AssignVisiblePen(pen);
        if (FGridCentered) {
            for (std::size_t i = 1; i < FTicks.size(); ++i)
                DrawGridLine(RoundHalfEven((FTicks[i - 1] + FTicks[i]) * 0.5));
        } else {
            for (int p : FTicks) DrawGridLine(p);
        }
    }

    if (TicksInner->GetVisible()) {
        c.AssignVisiblePen(*TicksInner);
        for (int p : FTicks) DrawTick(p, -1, -FTickInnerLength, w);
    }

    if (FTicks.empty()) return;
    const bool minorTicks = MinorTicks->GetVisible();
    const bool minorGrid = MinorGrid->GetVisible();
    if (!minorTicks && !minorGrid) return;
    const std::vector<int> minors = MinorTickPositions();
    if (minorTicks) {
        c.AssignVisiblePen(*MinorTicks);
        for (int p : minors) DrawTick(p, 1, FMinorTickLength, w);
    }
    if (minorGrid) {
        // A dotted or dashed minor grid shows the plot through its gaps.
        c.Brush->SetStyle(TBrushStyle::Clear);
        c.SetBackMode(cbmTransparent);
        c.AssignVisiblePen(*MinorGrid);
        for (int p : minors) DrawGridLine(p);
    }
}

// ---------------------------------------------------------------------------
// Custom draws

void TCustomChartAxis::CustomDrawStartEnd(int posLabels, int posTitle, int posAxis, bool gridVisible,
                                          int startPos, int endPos) {
    LabelsPos = posLabels;
    TitlePos = posTitle;
    AxisLinePos = posAxis;
    PixelStart = startPos;
    PixelEnd = endPos;
    RecalcSizeCenter();
    const bool oldVisible = Grid->GetVisible();
    auto oldChange = std::move(Grid->OnChange);
    Grid->OnChange = nullptr;
    Grid->SetVisible(gridVisible);
    struct Restore {
        TDottedGrayPen& g;
        bool v;
        std::function<void()>& saved;
        ~Restore() {
            g.SetVisible(v);
            g.OnChange = std::move(saved);
        }
    } restore{*Grid, oldVisible, oldChange};
    Draw(false);
}

void TCustomChartAxis::CustomDraw(int posLabels, int posTitle, int posAxis, bool gridVisible) {
    InternalCalcPositions();
    CustomDrawStartEnd(posLabels, posTitle, posAxis, gridVisible, PixelStart, PixelEnd);
}

void TCustomChartAxis::CustomDrawMinMax(int posLabels, int posTitle, int posAxis, bool gridVisible,
                                        double aMinimum, double aMaximum, double aIncrement) {
    CustomDrawMinMaxStartEnd(posLabels, posTitle, posAxis, gridVisible, aMinimum, aMaximum, aIncrement,
                             PixelStart, PixelEnd);
}

void TCustomChartAxis::CustomDrawMinMaxStartEnd(int posLabels, int posTitle, int posAxis, bool gridVisible,
                                                double aMinimum, double aMaximum, double aIncrement,
                                                int startPos, int endPos) {
    const double oldMin = FMinimum, oldMax = FMaximum, oldInc = FIncrement;
    const bool oldAuto = FAutomatic;
    struct Restore {
        TCustomChartAxis& a;
        double mn, mx, inc;
        bool au;
        ~Restore() {
            a.FMinimum = mn;
            a.FMaximum = mx;
            a.FIncrement = inc;
            a.FAutomatic = au;
            a.RangeMin = mn;
            a.RangeMax = mx;
            a.RangeSpan = mx - mn;
        }
    } restore{*this, oldMin, oldMax, oldInc, oldAuto};
    FAutomatic = false;
    FMinimum = aMinimum;
    FMaximum = aMaximum;
    FIncrement = aIncrement;
    RangeMin = aMinimum;
    RangeMax = aMaximum;
    RangeSpan = aMaximum - aMinimum;
    CustomDrawStartEnd(posLabels, posTitle, posAxis, gridVisible, startPos, endPos);
}

}  // namespace pellucor::chart
