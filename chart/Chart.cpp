#include "chart/Chart.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>

namespace pellucor::chart {

using platform::MulDiv;
using platform::RoundHalfEven;

TMouseButton ChartZoomMouseButton = mbLeft;
TMouseButton ChartScrollMouseButton = mbRight;
TShiftState ChartZoomKeyShift = 0;
TShiftState ChartScrollKeyShift = 0;
double AnimatedZoomFactor = 3.0;

// ---------------------------------------------------------------------------
// Walls

TChartWall::TChartWall(TCustomChart* chart) : ParentChart(chart) {
    Brush = std::make_unique<TChartBrush>([chart] { chart->CanvasChanged(); });
    Pen = std::make_unique<TChartPen>([chart] { chart->CanvasChanged(); });
}

void TChartWall::SetColor(TColor value) { ParentChart->SetColorProperty(Color, value); }
void TChartWall::SetDark3D(bool value) { ParentChart->SetBooleanProperty(Dark3D, value); }
void TChartWall::SetSize(int value) { ParentChart->SetIntegerProperty(Size, value); }

void TChartWall::Assign(const TChartWall& source) {
    Brush->SetStyle(source.Brush->GetStyle());
    Brush->SetColor(source.Brush->GetColor());
    Color = source.Color;
    Dark3D = source.Dark3D;
    Pen->Assign(*source.Pen);
    Size = source.Size;
}

// ---------------------------------------------------------------------------
// Title and foot

TChartTitle::TChartTitle(TCustomChart* chart) : TChartFontObject(chart), Chart(chart) {
    Brush = std::make_unique<TChartBrush>([chart] { chart->CanvasChanged(); });
    Frame = std::make_unique<TChartHiddenPen>([chart] { chart->CanvasChanged(); });
    Font->SetColor(clBlue);
}

void TChartTitle::SetText(const std::vector<std::string>& lines) {
    Text = lines;
    Chart->Invalidate();
}

void TChartTitle::Clear() {
    Text.clear();
    Chart->Invalidate();
}

void TChartTitle::Add(const std::string& line) {
    Text.push_back(line);
    Chart->Invalidate();
}

void TChartTitle::SetAlignment(TAlignment value) {
    if (Alignment == value) return;
    Alignment = value;
    Chart->Invalidate();
}

void TChartTitle::SetVisible(bool value) { Chart->SetBooleanProperty(Visible, value); }
void TChartTitle::SetAdjustFrame(bool value) { Chart->SetBooleanProperty(AdjustFrame, value); }
void TChartTitle::SetColor(TColor value) { Chart->SetColorProperty(Color, value); }

bool TChartTitle::Clicked(int x, int y) const {
    return Visible && x >= TitleRect.Left && x < TitleRect.Right && y >= TitleRect.Top && y < TitleRect.Bottom;
}

void TChartTitle::Draw(bool onTop) {
    auto& c = *Chart->Canvas;
    TRect& cr = Chart->ChartRect;
    Chart->FontCanvas(*Font);
    const int h = c.FontHeight();
    // Background.
    if (Color == UseSeriesColor) {
        if (Brush->GetStyle() == TBrushStyle::Solid) {
            if (Brush->GetColor() == UseSeriesColor) {
                c.Brush->SetStyle(TBrushStyle::Clear);
            } else {
                SetColor(Brush->GetColor());
                c.Brush->SetStyle(TBrushStyle::Solid);
            }
        } else {
            c.Brush->SetStyle(Brush->GetStyle());
            c.Brush->SetColor(Brush->GetColor());
            c.SetBackMode(cbmTransparent);
        }
    } else if (Brush->GetStyle() == TBrushStyle::Solid) {
        c.Brush->SetStyle(TBrushStyle::Solid);
        c.Brush->SetColor(Color);
    } else {
        c.Brush->SetStyle(Brush->GetStyle());
        c.Brush->SetColor(Brush->GetColor());
        c.SetBackMode(cbmOpaque);
        c.SetBackColor(Color);
    }
    const bool framed = Frame->GetVisible() && Frame->GetColor() != UseSeriesColor;
    const int fw = framed ? Frame->GetWidth() : 0;
    const int lines = static_cast<int>(Text.size());
    TRect r;
    r.Left = cr.Left + fw;
    r.Right = cr.Right - fw;
    if (onTop) {
        r.Top = cr.Top + fw;
        r.Bottom = r.Top + lines * h;
    } else {
        r.Bottom = cr.Bottom - fw;
        r.Top = r.Bottom - lines * h;
    }
    const int left = r.Left, right = r.Right, top = r.Top, bottom = r.Bottom;
    TitleRect = r;
    if (framed) {
        c.AssignVisiblePen(*Frame);
    } else {
        c.Pen->SetStyle(TPenStyle::Clear);
    }
    const int pw = framed ? Frame->GetWidth() : 0;
    TitleRect = TRect{TitleRect.Left - pw, TitleRect.Top - pw, TitleRect.Right + pw, TitleRect.Bottom + pw};
    const int wW = c.TextWidth("W");
    if (framed || c.Brush->GetStyle() != TBrushStyle::Clear) {
        if (AdjustFrame) {
            int widest = 0;
            for (const auto& line : Text) widest = std::max(widest, c.TextWidth(line));
            const int w = widest + wW;
            if (Alignment == taLeftJustify) {
                TitleRect.Right = TitleRect.Left + w;
            } else if (Alignment == taRightJustify) {
                TitleRect.Left = TitleRect.Right - w;
            } else {
                const int mid = (TitleRect.Left + TitleRect.Right) / 2;
                TitleRect.Left = mid - w / 2;
                TitleRect.Right = mid + w / 2;
            }
        }
        c.DoRectangle(TitleRect);
    }
    c.SetBackMode(cbmTransparent);
    c.Brush->SetStyle(TBrushStyle::Clear);
    c.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
    for (int k = 0; k < lines; ++k) {
        const std::string& line = Text[static_cast<std::size_t>(k)];
        const int y = onTop ? top + k * h : bottom - (lines - k) * h;
        const int tw = c.TextWidth(line);
        int x;
        if (Alignment == taLeftJustify)
            x = left + wW / 2;
        else if (Alignment == taRightJustify)
            x = right - tw - wW / 2;
        else
            x = (left + right) / 2 - tw / 2;
        c.TextOut(x, y, line);
    }
    if (onTop)
        cr.Top = bottom + (framed ? fw : 0) + (lines > 0 ? ChartTitleFootDistance : 0);
    else
        cr.Bottom = top - (framed ? fw : 0) - (lines > 0 ? ChartTitleFootDistance : 0);
    Chart->ReCalcWidthHeight();
}

void TChartTitle::Assign(const TChartTitle& source) {
    AdjustFrame = source.AdjustFrame;
    Alignment = source.Alignment;
    Brush->SetStyle(source.Brush->GetStyle());
    Brush->SetColor(source.Brush->GetColor());
    Color = source.Color;
    Frame->Assign(*source.Frame);
    Text = source.Text;
    Visible = source.Visible;
    TChartFontObject::Assign(source);
}

// ---------------------------------------------------------------------------
// Legend

TCustomChartLegend::TCustomChartLegend(TCustomChart* chart) : TChartFontObject(chart), Chart(chart) {
    Brush = std::make_unique<TChartBrush>([chart] { chart->CanvasChanged(); });
    Brush->SetStyle(TBrushStyle::Solid);
    DividingLines = std::make_unique<TChartHiddenPen>([chart] { chart->CanvasChanged(); });
    Frame = std::make_unique<TChartPen>([chart] { chart->CanvasChanged(); });
}

void TCustomChartLegend::Set(int& field, int value) { Chart->SetIntegerProperty(field, value); }
void TCustomChartLegend::Set(bool& field, bool value) { Chart->SetBooleanProperty(field, value); }

void TCustomChartLegend::SetTopLeftPos(int value) {
    if (value < 0 || value > 100) throw LegendException("Top Legend Position must be between 0 and 100 %");
    Set(TopPos, value);
}

void TCustomChartLegend::SetFirstValue(int value) {
    if (value < 0) throw LegendException("First Legend Value must be > 0");
    Set(FirstValue, value);
}

void TCustomChartLegend::SetColorWidth(int value) {
    if (value < 0 || value > 100) throw LegendException("Legend Color Width must be between 0 and 100 %");
    Set(ColorWidth, value);
}

void TCustomChartLegend::SetVisible(bool value) { Set(Visible, value); }
void TCustomChartLegend::SetInverted(bool value) { Set(Inverted, value); }
void TCustomChartLegend::SetMaxNumRows(int value) { Set(MaxNumRows, value); }
void TCustomChartLegend::SetHorizMargin(int value) { Set(HorizMargin, value); }
void TCustomChartLegend::SetVertMargin(int value) { Set(VertMargin, value); }
void TCustomChartLegend::SetResizeChart(bool value) { Set(ResizeChart, value); }
void TCustomChartLegend::SetColor(TColor value) { Chart->SetColorProperty(Color, value); }
void TCustomChartLegend::SetShadowColor(TColor value) { Chart->SetColorProperty(ShadowColor, value); }
void TCustomChartLegend::SetShadowSize(int value) { Set(ShadowSize, value); }

void TCustomChartLegend::SetAlignment(TLegendAlignment value) {
    if (Alignment == value) return;
    Alignment = value;
    Chart->Invalidate();
}

void TCustomChartLegend::SetTextStyle(TLegendTextStyle value) {
    if (TextStyle == value) return;
    TextStyle = value;
    Chart->Invalidate();
}

void TCustomChartLegend::SetLegendStyle(TLegendStyle value) {
    if (LegendStyle == value) return;
    LegendStyle = value;
    CalcLegendStyle();
    Chart->Invalidate();
}

void TCustomChartLegend::CalcLegendStyle() {
    EffectiveStyle = LegendStyle;
    if (LegendStyle == lsAuto) EffectiveStyle = Chart->SeriesList.CountActive() > 1 ? lsSeries : lsValues;
}

int TCustomChartLegend::TotalLegendItems() {
    int result = 0;
    if (EffectiveStyle == lsSeries || EffectiveStyle == lsLastValues) {
        for (auto* s : Chart->SeriesList)
            if (s->Active && s->ShowInLegend) ++result;
    } else {
        TChartSeries* first = Chart->GetASeries();
        if (first && first->ShowInLegend) result = first->CountLegendItems();
    }
    return std::max(0, result - FirstValue);
}

std::string TCustomChartLegend::FormattedValue(TChartSeries* series, int valueIndex) {
    if (valueIndex == -1) return {};
    std::string text = series->LegendString(valueIndex, TextStyle);
    std::replace(text.begin(), text.end(), TeeLineSeparator, ' ');
    return text;
}

std::string TCustomChartLegend::FormattedLegend(int index) {
    switch (EffectiveStyle) {
        case lsSeries: {
            // The index-th series that is active and shown in the legend.
            TChartSeries* s = Chart->ActiveSeriesLegend(index);
            if (!s) return {};
            return Chart->SeriesTitleLegend(Chart->SeriesList.IndexOf(s));
        }
        case lsValues: return Chart->FormattedValueLegend(Chart->GetASeries(), index);
        case lsLastValues: {
            if (index < 0 || index >= Chart->SeriesCount()) return {};
            TChartSeries* s = Chart->GetSeries(index);
            return Chart->FormattedValueLegend(s, s->Count() - 1);
        }
        default: return {};
    }
}

int TCustomChartLegend::MaxLegendWidth(int count) {
    const int total = TotalLegendItems();
    const int n = count == -1 ? total : std::min(count, total);
    int result = 0;
    auto& c = *Chart->Canvas;
    for (int i = FirstValue; i < FirstValue + n; ++i) result = std::max(result, c.TextWidth(Chart->FormattedLegend(i)));
    return result;
}

int TCustomChartLegend::MaxLegendValues(int start, int itemSize) {
    // Room for the frame's pen at both ends, drawn or not.
    const int fw = Frame->GetWidth();
    if (GetVertical()) {
        if (start >= Chart->ChartRect.Bottom || itemSize <= 0) return 0;
        return std::min(TotalLegendItems(), (Chart->ChartRect.Bottom - start - 2 * fw) / itemSize);
    }
    if (start >= Chart->ChartRect.Right || itemSize <= 0) return 0;
    return std::min(TotalLegendItems(), (Chart->ChartRectWidth - 2 * fw - start) / itemSize);
}

void TCustomChartLegend::Draw() {
    auto& c = *Chart->Canvas;
    TRect& cr = Chart->ChartRect;
    CalcLegendStyle();
    Chart->LegendBackColor = Color;
    Chart->FontCanvas(*Font);
    const int h = c.FontHeight();
    const bool frameVisible = Frame->GetVisible();
    const int fw = Frame->GetWidth();
    int w = MaxLegendWidth(-1) + 4;
    SymbolWidth = RoundHalfEven(ColorWidth * w / 100.0);
    const int total = TotalLegendItems();
    TRect R{};
    auto columnsAndRows = [&] {
        ColumnCount = MaxLegendValues(8, w + SymbolWidth + 8);
        if (ColumnCount > 0) {
            RowCount = total / ColumnCount + (total % ColumnCount ? 1 : 0);
            RowCount = std::min(RowCount, MaxNumRows);
        } else {
            RowCount = 0;
        }
    };
    switch (Alignment) {
        case laTop:
            R.Top = cr.Top + (frameVisible ? fw + 1 : 0);
            columnsAndRows();
            R.Bottom = R.Top + RowCount * h + 2;
            break;
        case laBottom:
            R.Bottom = cr.Bottom - ShadowSize - (frameVisible ? fw + 1 : 0);
            columnsAndRows();
            R.Top = R.Bottom - RowCount * h - 2;
            break;
        default: {
            const TRect& pr = Chart->PanelRect;
            R.Top = pr.Top + RoundHalfEven(TopPos * (pr.Bottom - pr.Top) / 100.0);
            ColumnCount = 1;
            RowCount = MaxLegendValues(R.Top, h);
            R.Bottom = R.Top + RowCount * h + 2;
            break;
        }
    }
    int tx = 0, sx = 0, shown = 0;
    switch (Alignment) {
        case laLeft:
            w = MaxLegendWidth(RowCount);
            R.Left = cr.Left + (frameVisible ? fw + 1 : 0);
            sx = R.Left + 4;
            SymbolWidth = RoundHalfEven((w + 10) * ColorWidth / 100.0);
            tx = sx + SymbolWidth + 4;
            R.Right = tx + w + 2;
            shown = RowCount;
            break;
        case laRight:
            w = MaxLegendWidth(RowCount);
            R.Right = cr.Right - (frameVisible ? fw + 1 : 0) - ShadowSize;
            tx = R.Right - w - 2;
            SymbolWidth = RoundHalfEven((w + 10) * ColorWidth / 100.0);
            sx = tx - SymbolWidth - 4;
            R.Left = sx - 4;
            shown = RowCount;
            break;
        default: {
            int bw = (SymbolWidth + w + 4) * ColumnCount + 8;
            bw = std::min(Chart->ChartRectWidth, bw + 2 * ShadowSize);
            const TRect& pr = Chart->PanelRect;
            const int shift = RoundHalfEven(TopPos * ((pr.Right - pr.Left) - bw) / 100.0);
            R.Left = Chart->ChartRectXCenter - bw / 2 + shift;
            R.Right = Chart->ChartRectXCenter + bw / 2 + shift;
            sx = R.Left + 4;
            tx = sx + SymbolWidth + 4;
            shown = ColumnCount * RowCount;
            break;
        }
    }
    if (Chart->OnGetLegendRect) Chart->OnGetLegendRect(Chart, R);
    LegendRect = R;
    if (shown < 1) return;

    // Box and shadow.
    TRect box = R;
    if (frameVisible) box = TRect{R.Left - fw, R.Top - fw, R.Right + fw, R.Bottom + fw};
    const int o = frameVisible ? ShadowSize + fw + (fw - 1) / 2 : ShadowSize - 1;
    if (ShadowSize > 0) {
        c.Pen->SetStyle(TPenStyle::Clear);
        c.Brush->SetStyle(TBrushStyle::Solid);
        c.Brush->SetColor(ShadowColor);
        c.FillRect(TRect{R.Left + ShadowSize, R.Top + ShadowSize, R.Right + o, R.Bottom + o});
    }
    c.AssignVisiblePen(*Frame);
    if (frameVisible && Frame->GetColor() == UseSeriesColor) c.Pen->SetColor(clBlack);
    if (Brush->GetStyle() == TBrushStyle::Solid) {
        c.Brush->SetStyle(TBrushStyle::Solid);
        c.Brush->SetColor(Color);
        c.SetBackMode(cbmTransparent);
    } else {
        c.Brush->SetStyle(Brush->GetStyle());
        c.Brush->SetColor(Brush->GetColor() == UseSeriesColor ? clBlack : Brush->GetColor());
        c.SetBackMode(cbmOpaque);
        c.SetBackColor(Color);
    }
    c.DoRectangle(TRect{box.Left, box.Top, box.Right + (frameVisible ? 0 : 1), box.Bottom + (frameVisible ? 0 : 1)});
    c.SetBackMode(cbmTransparent);

    c.Pen->SetColor(Color == clBlack ? clWhite : clBlack);
    c.Pen->SetStyle(TPenStyle::Solid);
    c.Pen->SetWidth(1);
    TChartSeries* first = Chart->GetASeries();
    const int last = std::min(total, shown) + FirstValue - 1;
    c.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
    for (int k = 0; FirstValue + k <= last; ++k) {
        const int i = Inverted ? last - k : FirstValue + k;
        const int p = k;
        if (p >= total) break;
        c.Brush->SetStyle(TBrushStyle::Solid);
        c.Brush->SetColor(Color);
        int x = tx;
        int y = R.Top + 1;
        if (GetVertical()) {
            y += p * h;
        } else {
            y += (p / ColumnCount) * h;
            x += (p % ColumnCount) * (w + SymbolWidth + 4);
        }
        int sxCopy = sx;
        if (Chart->OnGetLegendPos) Chart->OnGetLegendPos(Chart, i, x, y, sxCopy);
        c.Brush->SetStyle(TBrushStyle::Clear);
        const std::string text = Chart->FormattedLegend(i);
        TRect symbol = GetColorRect(x - 4, y, y + h);
        if (!text.empty()) {
            Chart->FontCanvas(*Font);
            c.TextOut(x, y, text);
            if (EffectiveStyle == lsSeries || EffectiveStyle == lsLastValues) {
                if (TChartSeries* s = Chart->ActiveSeriesLegend(i)) s->DrawLegend(-1, symbol);
            } else if (first) {
                first->DrawLegend(first->LegendToValueIndex(i), symbol);
            } else {
                c.Brush->SetStyle(TBrushStyle::Solid);
                c.Brush->SetColor(clWhite);
                c.DoRectangle(symbol);
            }
            c.Pen->SetColor(Color == clBlack ? clWhite : clBlack);
            c.Pen->SetStyle(TPenStyle::Solid);
            c.Pen->SetWidth(1);
        }
        if (p > 0 && DividingLines->GetVisible()) {
            c.AssignVisiblePen(*DividingLines);
            c.SetBackMode(cbmTransparent);
            if (GetVertical())
                c.DoHorizLine(R.Left, R.Right, y);
            else
                c.DoVertLine(symbol.Left - 4, R.Top, R.Bottom);
            c.Pen->SetColor(Color == clBlack ? clWhite : clBlack);
            c.Pen->SetStyle(TPenStyle::Solid);
            c.Pen->SetWidth(1);
        }
    }
    c.SetBackMode(cbmTransparent);
    const int hm = HorizMargin ? HorizMargin : MulDiv(3, Chart->ChartRectWidth, 100);
    const int vm = VertMargin ? VertMargin : MulDiv(4, Chart->ChartRectHeight, 100);
    if (ResizeChart) {
        switch (Alignment) {
            case laLeft: cr.Left = R.Right; break;
            case laRight: cr.Right = R.Left; break;
            case laTop: cr.Top = R.Bottom + ShadowSize; break;
            case laBottom: cr.Bottom = R.Top; break;
        }
    }
    switch (Alignment) {
        case laLeft: cr.Left += hm; break;
        case laRight: cr.Right -= hm; break;
        case laTop: cr.Top += vm; break;
        case laBottom: cr.Bottom -= vm; break;
    }
    Chart->ReCalcWidthHeight();
}

int TCustomChartLegend::Clicked(int x, int y) {
    const TRect& r = LegendRect;
    if (!(x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)) return -1;
    auto rowOf = [&](int rh) {
        for (int row = 0; row < RowCount; ++row) {
            const int ry = r.Top + 1 + row * rh;
            if (ry <= y && y <= ry + rh) return row;
        }
        return -1;
    };
    if (GetVertical()) {
        if (RowCount <= 0) return -1;
        return rowOf((r.Bottom - r.Top) / RowCount);
    }
    if (ColumnCount <= 0) return -1;
    const int cw = (r.Right - r.Left) / ColumnCount;
    const int rh = Chart->Canvas->FontHeight();
    int result = -1;
    for (int col = 0; col < ColumnCount; ++col) {
        const int cx = r.Left + 1 + col * cw;
        if (cx <= x && x <= cx + cw) {
            const int row = rowOf(rh);
            result = row == -1 ? -1 : ColumnCount * row + col;
        }
    }
    return result;
}

void TCustomChartLegend::Assign(const TCustomChartLegend& source) {
    Visible = source.Visible;
    LegendStyle = source.LegendStyle;
    FirstValue = source.FirstValue;
    Alignment = source.Alignment;
    TextStyle = source.TextStyle;
    ColorWidth = source.ColorWidth;
    HorizMargin = source.HorizMargin;
    VertMargin = source.VertMargin;
    ResizeChart = source.ResizeChart;
    Inverted = source.Inverted;
    TopPos = source.TopPos;
    Color = source.Color;
    Frame->Assign(*source.Frame);
    MaxNumRows = source.MaxNumRows;
    Brush->SetStyle(source.Brush->GetStyle());
    Brush->SetColor(source.Brush->GetColor());
    TChartFontObject::Assign(source);
}

// ---------------------------------------------------------------------------
// Chart

TCustomChart::TCustomChart() {
    const bool was = RepaintEnabled;
    RepaintEnabled = false;
    Title = std::make_unique<TChartTitle>(this);
    Foot = std::make_unique<TChartTitle>(this);
    BackWall = std::make_unique<TChartWall>(this);
    BackWall->Brush->SetStyle(TBrushStyle::Clear);
    LeftWall = std::make_unique<TChartWall>(this);
    LeftWall->Color = LeftWall->DefaultColor = 0x80FFFF;
    Legend = std::make_unique<TChartLegend>(this);
    BottomWall = std::make_unique<TChartWall>(this);
    BottomWall->Color = BottomWall->DefaultColor = clWhite;
    CancelMouseAction = false;
    UndoScalesEmpty = true;
    RepaintEnabled = was;
}

TCustomChart::~TCustomChart() {
    Destroying = true;
    RepaintEnabled = false;
}

void TCustomChart::SetBackColor(TColor value) {
    BackWall->SetColor(value);
    if (!Loading) BackWall->Brush->SetStyle(TBrushStyle::Solid);
}

void TCustomChart::Assign(const TCustomChart& source) {
    BackImageInside = source.BackImageInside;
    BackWall->Assign(*source.BackWall);
    BottomWall->Assign(*source.BottomWall);
    LeftWall->Assign(*source.LeftWall);
    Legend->Assign(*source.Legend);
    Foot->Assign(*source.Foot);
    Title->Assign(*source.Title);
    TCustomAxisPanel::Assign(source);
}

void TCustomChart::CalcAxisRect() {
    for (auto& a : PanelAxes) a->AdjustMaxMin();
    CalcSize3DWalls();
    if (View3D && View3DOptions->GetOrthogonal()) {
        const int w = View3DWalls ? BackWall->Size : 0;
        ChartRect.Right -= std::abs(Depth3D) + w;
        ChartRect.Top += std::abs(VertDepth3D) + w;
    }
    ReCalcWidthHeight();
    TRect r = ChartRect;
    for (std::size_t i = 0; i < PanelAxes.size(); ++i) {
        auto* axis = PanelAxes[i].get();
        if (!IsAxisVisible(axis)) continue;
        TRect t = r;
        axis->CalcRect(t, i < 5);
        const TRect both{std::max(t.Left, r.Left), std::max(t.Top, r.Top), std::min(t.Right, r.Right),
                         std::min(t.Bottom, r.Bottom)};
        if (both.Left < both.Right && both.Top < both.Bottom) r = both;
    }
    ChartRect = r;
    ReCalcWidthHeight();
    for (auto& a : PanelAxes) a->InternalCalcPositions();
}

void TCustomChart::CalcSeriesRect() {
    for (TCustomChartAxis* axis : {static_cast<TCustomChartAxis*>(TopAxis), static_cast<TCustomChartAxis*>(LeftAxis),
                                   static_cast<TCustomChartAxis*>(RightAxis),
                                   static_cast<TCustomChartAxis*>(BottomAxis)}) {
        TRect m{0, 0, 0, 0};
        for (auto* s : SeriesList) {
            if (!s->Active || !s->AssociatedToAxis(axis)) continue;
            int a = 0, b = 0;
            if (axis->HorizontalAxis) {
                s->CalcHorizMargins(a, b);
                if (axis->AutomaticMinimum()) m.Left = std::max(m.Left, a);
                if (axis->AutomaticMaximum()) m.Right = std::max(m.Right, b);
            } else {
                s->CalcVerticalMargins(a, b);
                if (axis->AutomaticMaximum()) m.Top = std::max(m.Top, a);
                if (axis->AutomaticMinimum()) m.Bottom = std::max(m.Bottom, b);
            }
        }
        axis->AdjustMaxMinRect(m);
    }
}

int TCustomChart::CalcWallSize(const TCustomChartAxis* axis) {
    if (!View3D || !View3DWalls) return 0;
    if (axis == LeftAxis) return LeftWall->Size;
    if (axis == BottomAxis) return BottomWall->Size;
    return 0;
}

void TCustomChart::DrawTitlesAndLegend() {
    Canvas->FrontPlaneBegin();
    auto titles = [this] {
        if (Title->Visible) Title->Draw(true);
        if (Foot->Visible) Foot->Draw(false);
    };
    if (Legend->Visible && SeriesList.CountActive() > 0) {
        if (Legend->GetVertical()) {
            Legend->Draw();
            titles();
        } else {
            titles();
            Legend->Draw();
        }
    } else {
        titles();
    }
    Canvas->FrontPlaneEnd();
    // The next step draws with its own pen and brush on a see-through background.
    Canvas->SetBackMode(cbmTransparent);
}

void TCustomChart::DrawWalls() {
    auto& c = *Canvas;
    auto prepare = [&](const TChartWall& wall) {
        c.AssignVisiblePen(*wall.Pen);
        if (wall.Color == UseSeriesColor && wall.Brush->GetStyle() == TBrushStyle::Solid)
            c.Brush->SetStyle(TBrushStyle::Clear);
        else
            SetBrushCanvas(wall.Color == UseSeriesColor ? wall.Brush->GetColor() : wall.Color,
                           wall.Brush->GetStyle(), wall.Brush->GetColor() == UseSeriesColor ? clWhite
                                                                                              : wall.Brush->GetColor());
    };
    const TRect& R = ChartRect;
    const int d = Depth3D;
    prepare(*BackWall);
    if (!View3D) {
        c.Rectangle(R.Left, R.Top, R.Right + 1, R.Bottom + 1);
    } else if (View3DWalls) {
        if (BackWall->Size > 0) {
            c.Cube(R.Left - CalcWallSize(LeftAxis), R.Right, R.Top, R.Bottom + CalcWallSize(BottomAxis), d,
                   d + (d < 0 ? -BackWall->Size : BackWall->Size), BackWall->ApplyDark3D());
        } else {
            c.RectangleWithZ(TRect{R.Left + 1, R.Top - 1, R.Right, R.Bottom}, d);
        }
    }
    if (!BackImage.isNull() && BackImageInside) {
        TRect r = R;
        if (BackWall->Pen->GetVisible()) {
            r.Top += 1;
            r.Bottom -= 1;
        }
        DrawBitmap(r, d);
    }
    if (View3D && View3DWalls) {
        prepare(*LeftWall);
        if (LeftWall->Size > 0)
            c.Cube(R.Left - LeftWall->Size, R.Left, R.Top, R.Bottom + CalcWallSize(BottomAxis), 0, d,
                   LeftWall->ApplyDark3D());
        else
            c.RectangleZ(R.Left, R.Top, R.Bottom + CalcWallSize(BottomAxis), 0, d + 1);
        prepare(*BottomWall);
        const int y = R.Bottom + (c.GetSupportsFullRotation() ? 1 : 0);
        if (BottomWall->Size > 0)
            c.Cube(R.Left, R.Right, y, y + BottomWall->Size, 0, d, BottomWall->ApplyDark3D());
        else
            c.RectangleY(R.Left, y, R.Right, 0, d);
    }
    // Leave the canvas as the axes expect it: no fill, see-through background.
    c.Brush->SetStyle(TBrushStyle::Clear);
    c.SetBackMode(cbmTransparent);
}

void TCustomChart::DrawImage(const TRect& rect) {
    if (!BackImage.isNull() && !BackImageInside) DrawBitmap(rect, 0);
}

bool TCustomChart::IsFreeSeriesColor(TColor color, bool checkBackground) {
    for (auto* s : SeriesList)
        if (s->SeriesColor == color) return false;
    if (checkBackground && (color == Color || color == GetBackColor())) return false;
    return true;
}

std::string TCustomChart::FormattedLegend(int index) {
    std::string text = Legend->FormattedLegend(index);
    if (OnGetLegendText) OnGetLegendText(this, Legend->EffectiveStyle, index, text);
    return text;
}

std::string TCustomChart::FormattedValueLegend(TChartSeries* series, int valueIndex) {
    if (!series) return {};
    return Legend->FormattedValue(series, valueIndex);
}

TChartSeries* TCustomChart::GetASeries() const {
    for (auto* s : SeriesList)
        if (s->Active) return s;
    return nullptr;
}

void TCustomChart::SeriesUp(TChartSeries* series) {
    const int i = SeriesList.IndexOf(series);
    if (i > 0) {
        SeriesList.Exchange(i, i - 1);
        Invalidate();
    }
}

void TCustomChart::SeriesDown(TChartSeries* series) {
    const int i = SeriesList.IndexOf(series);
    if (i >= 0 && i < SeriesList.Count() - 1) {
        SeriesList.Exchange(i, i + 1);
        Invalidate();
    }
}

void TCustomChart::ExchangeSeries(int a, int b) {
    SeriesList.GetSeries(a);
    SeriesList.GetSeries(b);
    SeriesList.Exchange(a, b);
    Invalidate();
}

void TCustomChart::RemoveAllSeries() {
    while (SeriesList.Count() > 0) RemoveSeries(SeriesList.GetSeries(0));
}

void TCustomChart::NextPage() {
    if (MaxPointsPerPage > 0 && Page < NumPages()) SetPage(Page + 1);
}

void TCustomChart::PreviousPage() {
    if (MaxPointsPerPage > 0 && Page > 1) SetPage(Page - 1);
}

TBrushStyle TCustomChart::GetDefaultPattern(int index) {
    static const TBrushStyle table[6] = {TBrushStyle::Horizontal, TBrushStyle::Vertical, TBrushStyle::FDiagonal,
                                         TBrushStyle::BDiagonal, TBrushStyle::Cross, TBrushStyle::DiagCross};
    return table[((index % 6) + 6) % 6];
}

TChartClickedPart TCustomChart::CalcClickedPart(TPoint pos) {
    TChartClickedPart part;
    for (int i = SeriesList.Count() - 1; i >= 0; --i) {
        TChartSeries* s = SeriesList.GetSeries(i);
        if (!s->Active) continue;
        part.HitIndex = s->Clicked(pos.x, pos.y);
        if (part.HitIndex != -1) {
            part.HitKind = cpSeries;
            part.HitSeries = s;
            return part;
        }
    }
    for (auto& a : PanelAxes)
        if (a->Clicked(pos.x, pos.y)) {
            part.HitKind = cpAxis;
            part.HitAxis = a.get();
            return part;
        }
    if (Title->Clicked(pos.x, pos.y)) {
        part.HitKind = cpTitle;
        return part;
    }
    if (Foot->Clicked(pos.x, pos.y)) {
        part.HitKind = cpFoot;
        return part;
    }
    if (pos.x >= ChartRect.Left && pos.x < ChartRect.Right && pos.y >= ChartRect.Top && pos.y < ChartRect.Bottom &&
        SeriesList.CountActive() > 0) {
        part.HitKind = cpChartRect;
        return part;
    }
    if (Legend->Visible) {
        part.HitIndex = Legend->Clicked(pos.x, pos.y);
        if (part.HitIndex != -1) part.HitKind = cpLegend;
    }
    return part;
}

void TCustomChart::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
    if (ZoomRecord.IsActive || PanningRecord.IsActive) return;
    if (CancelMouseAction) {
        CancelMouseAction = false;
        return;
    }
    const TChartClickedPart part = CalcClickedPart(TPoint{x, y});
    bool handled = false;
    auto startZoomOrPanning = [&] {
        if (AllowZoom && button == ChartZoomMouseButton && (shift & ChartZoomKeyShift) == ChartZoomKeyShift) {
            Cursor = 0;
            ZoomRecord.Activate(x, y);
            DrawZoomRectangleOnScreen();
            handled = true;
        }
        if (AllowPanning != pmNone && button == ChartScrollMouseButton &&
            (shift & ChartScrollKeyShift) == ChartScrollKeyShift) {
            Cursor = 0;
            PanningRecord.Activate(x, y);
            handled = true;
        }
    };
    auto backgroundClick = [&] {
        if (!OnClickBackground) return;
        CancelMouseAction = true;
        OnClickBackground(this, button, shift, x, y);
        handled = CancelMouseAction;
    };
    switch (part.HitKind) {
        case cpLegend:
            if (OnClickLegend) {
                CancelMouseAction = true;
                OnClickLegend(this, button, shift, x, y);
                handled = CancelMouseAction;
            }
            break;
        case cpAxis:
            if (OnClickAxis) {
                CancelMouseAction = true;
                OnClickAxis(this, static_cast<TChartAxis*>(part.HitAxis), button, shift, x, y);
                handled = CancelMouseAction;
            }
            if (!handled) startZoomOrPanning();
            break;
        case cpSeries:
            handled = part.HitSeries->DoSeriesClick(part.HitSeries, part.HitIndex, button, shift, x, y);
            if (OnClickSeries) {
                CancelMouseAction = true;
                OnClickSeries(this, part.HitSeries, part.HitIndex, button, shift, x, y);
                handled = CancelMouseAction;
            }
            if (!handled) startZoomOrPanning();
            break;
        case cpChartRect:
            backgroundClick();
            if (!handled) startZoomOrPanning();
            break;
        default: break;
    }
    if (!handled) backgroundClick();
    CancelMouseAction = false;
}

namespace {
bool InsideRect(const TRect& r, int x, int y) { return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom; }

// The low end a log axis moves from: its minimum, or, when that is 0 or
// less, the positive end it was drawn from (0.1 for a minimum of 0); 0 when
// it has none.
double LogLowEnd(const TCustomChartAxis& axis) {
    if (axis.Minimum() > 0) return axis.Minimum();
    return axis.RangeMin > 0 && axis.RangeMin < axis.Maximum() ? axis.RangeMin : 0;
}
}  // namespace

void TCustomChart::PanAxis(TCustomChartAxis* axis, int a, int b) {
    const double va = axis->CalcPosPoint(a), vb = axis->CalcPosPoint(b);
    double newMin = axis->Minimum() + (va - vb);
    double newMax = axis->Maximum() + (va - vb);
    const double low = axis->Logarithmic() ? LogLowEnd(*axis) : 0;
    if (low > 0 && va > 0 && vb > 0) {
        // A log axis moves by a ratio, so the decades follow the mouse; a
        // difference would soon take the minimum to zero or below, which
        // such an axis cannot show.
        newMin = low * (va / vb);
        newMax = axis->Maximum() * (va / vb);
    }
    bool allow = true;
    if (OnAllowScroll) OnAllowScroll(static_cast<TChartAxis*>(axis), newMin, newMax, allow);
    if (allow) axis->SetMinMax(newMin, newMax);
}

void TCustomChart::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
    if (ZoomRecord.IsActive) {
        if (x == ZoomRecord.EndX && y == ZoomRecord.EndY) return;
        DrawZoomRectangleOnScreen();
        ZoomRecord.EndX = x;
        ZoomRecord.EndY = y;
        DrawZoomRectangleOnScreen();
        return;
    }
    if (PanningRecord.IsActive) {
        if (!InsideRect(ChartRect, x, y)) {
            PanningRecord.IsActive = false;
            return;
        }
        if (x == PanningRecord.EndX && y == PanningRecord.EndY) return;
        bool scrolled = false;
        if (UndoScalesEmpty) {
            UndoScales = SaveScales();
            UndoScalesEmpty = false;
        }
        // Each step goes from the previous mouse position, so panning back
        // to where it started gives the start range again.
        if (x != PanningRecord.EndX && (AllowPanning == pmHorizontal || AllowPanning == pmBoth)) {
            for (auto& a : PanelAxes)
                if (a->HorizontalAxis && !a->DepthAxisFlag) PanAxis(a.get(), PanningRecord.EndX, x);
            scrolled = true;
        }
        if (y != PanningRecord.EndY && (AllowPanning == pmVertical || AllowPanning == pmBoth)) {
            for (auto& a : PanelAxes)
                if (!a->HorizontalAxis && !a->DepthAxisFlag) PanAxis(a.get(), PanningRecord.EndY, y);
            scrolled = true;
        }
        PanningRecord.EndX = x;
        PanningRecord.EndY = y;
        if (scrolled) {
            if (OnScroll) OnScroll(this);
            Invalidate();
        }
        return;
    }
    bool cursorSet = false;
    for (TChartSeries* s : SeriesList)
        if (s->Active && s->Cursor != 0 && s->Clicked(x, y) != -1) {
            Cursor = s->Cursor;
            cursorSet = true;
            break;
        }
    for (TChartSeries* s : SeriesList) s->DoSeriesMouseMove(shift, x, y);
    if (!cursorSet) Cursor = SavedCursor;
}

void TCustomChart::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    for (TChartSeries* s : SeriesList) s->DoSeriesMouseUp(button, shift, x, y);
    if (ZoomRecord.IsActive && button == ChartZoomMouseButton) {
        ZoomRecord.IsActive = false;
        // Erase the rectangle; the pen goes back to plain copying.
        DrawZoomRectangleOnScreen();
        ZoomRecord.EndX = x;
        ZoomRecord.EndY = y;
        if (std::abs(ZoomRecord.EndX - ZoomRecord.StartX) > 16 && std::abs(ZoomRecord.EndY - ZoomRecord.StartY) > 16) {
            if (ZoomRecord.EndX > ZoomRecord.StartX && ZoomRecord.EndY > ZoomRecord.StartY) CalcZoomPoints();
            else UndoZoom();
            Invalidate();
        }
    }
    PanningRecord.IsActive = false;
}

bool TCustomChart::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    constexpr int kNotch = 120;
    wheelAccumulator_ += wheelDelta;
    bool handled = false;
    while (wheelAccumulator_ <= -kNotch || wheelAccumulator_ >= kNotch) {
        if (wheelAccumulator_ < 0) {
            wheelAccumulator_ += kNotch;
            handled = DoMouseWheelDown(shift, mousePos) || handled;
        } else {
            wheelAccumulator_ -= kNotch;
            handled = DoMouseWheelUp(shift, mousePos) || handled;
        }
    }
    return handled;
}

bool TCustomChart::DoMouseWheelDown(TShiftState, TPoint) {
    ScrollVerticalAxes(true);
    return false;
}

bool TCustomChart::DoMouseWheelUp(TShiftState, TPoint) {
    ScrollVerticalAxes(false);
    return false;
}

void TCustomChart::ScrollVerticalAxes(bool down) {
    for (auto& a : PanelAxes) {
        if (a->HorizontalAxis) continue;
        const double low = a->Logarithmic() ? LogLowEnd(*a) : 0;
        if (low > 0) {
            // 3 % of the decades shown: a step of 3 % of the values would take
            // the minimum of a wide log axis to zero or below at once.
            double f = std::pow(a->Maximum() / low, 3.0 / 100);
            if (!down) f = 1 / f;
            a->SetMinMax(low * f, a->Maximum() * f);
            continue;
        }
        double d = (a->Maximum() - a->Minimum()) * 3 / 100;
        if (!down) d = -d;
        a->Scroll(d, false);
    }
}

std::string TCustomChart::AxisTitleOrName(const TCustomChartAxis* axis) const {
    if (!axis->Title->Caption.empty()) return axis->Title->Caption;
    if (axis->DepthAxisFlag) return "Depth Axis";
    if (axis->HorizontalAxis) return axis->FarSide ? "Top Axis" : "Bottom Axis";
    return axis->FarSide ? "Right Axis" : "Left Axis";
}

void TCustomChart::ZoomRect(const TRect& rect) {
    ZoomRecord.StartX = rect.Left;
    ZoomRecord.StartY = rect.Top;
    ZoomRecord.EndX = rect.Right;
    ZoomRecord.EndY = rect.Bottom;
    CalcZoomPoints();
}

void TCustomChart::CalcZoomPoints() {
    ZoomRecord.Check();
    const auto& z = ZoomRecord;
    // The lower edge gives the smaller value on a vertical axis.
    DoZoom(TopAxis->CalcPosPoint(z.StartX), TopAxis->CalcPosPoint(z.EndX), BottomAxis->CalcPosPoint(z.StartX),
           BottomAxis->CalcPosPoint(z.EndX), LeftAxis->CalcPosPoint(z.EndY), LeftAxis->CalcPosPoint(z.StartY),
           RightAxis->CalcPosPoint(z.EndY), RightAxis->CalcPosPoint(z.StartY));
}

void TCustomChart::DoZoom(double topMin, double topMax, double bottomMin, double bottomMax, double leftMin,
                          double leftMax, double rightMin, double rightMax) {
    if (UndoScalesEmpty) {
        UndoScales = SaveScales();
        UndoScalesEmpty = false;
    }
    struct Target {
        TChartAxis* axis;
        double lo, hi;
    };
    const Target targets[] = {{LeftAxis, leftMin, leftMax},
                              {RightAxis, rightMin, rightMax},
                              {TopAxis, topMin, topMax},
                              {BottomAxis, bottomMin, bottomMax}};
    if (AnimatedZoom) {
        for (int step = 1; step < AnimatedZoomSteps; ++step) {
            for (const Target& t : targets) {
                const double lo = t.axis->Minimum() + (t.lo - t.axis->Minimum()) / AnimatedZoomFactor;
                const double hi = t.axis->Maximum() - (t.axis->Maximum() - t.hi) / AnimatedZoomFactor;
                t.axis->SetMinMax(lo, hi);
            }
            Refresh();
        }
    }
    for (const Target& t : targets) t.axis->SetMinMax(t.lo, t.hi);
    Zoomed = true;
    if (OnZoom) OnZoom(this);
}

void TCustomChart::ZoomPercent(double percent) {
    double r[4][2];
    TChartAxis* axes[4] = {LeftAxis, RightAxis, TopAxis, BottomAxis};
    for (int i = 0; i < 4; ++i) {
        // Fixed ends stay as set; automatic ones come from the series.
        double lo = axes[i]->Minimum(), hi = axes[i]->Maximum();
        axes[i]->CalcMinMax(lo, hi);
        const double d = (hi - lo) * (percent - 100) / 100;
        r[i][0] = lo + d;
        r[i][1] = hi - d;
    }
    DoZoom(r[2][0], r[2][1], r[3][0], r[3][1], r[0][0], r[0][1], r[1][0], r[1][1]);
    Invalidate();
}

void TCustomChart::UndoZoom() {
    if (!UndoScalesEmpty) RestoreScales(UndoScales);
    UndoScalesEmpty = true;
    TCustomAxisPanel::UndoZoom();
}

TAllAxisSavedScales TCustomChart::SaveScales() const {
    TAllAxisSavedScales scales;
    const TChartAxis* axes[4] = {TopAxis, LeftAxis, RightAxis, BottomAxis};
    for (int i = 0; i < 4; ++i) {
        auto& s = scales[static_cast<std::size_t>(i)];
        s.Automatic = axes[i]->Automatic();
        s.AutomaticMinimum = axes[i]->AutomaticMinimum();
        s.AutomaticMaximum = axes[i]->AutomaticMaximum();
        s.Minimum = axes[i]->Minimum();
        s.Maximum = axes[i]->Maximum();
    }
    return scales;
}

void TCustomChart::RestoreScales(const TAllAxisSavedScales& scales) {
    TChartAxis* axes[4] = {TopAxis, LeftAxis, RightAxis, BottomAxis};
    for (int i = 0; i < 4; ++i) {
        const auto& s = scales[static_cast<std::size_t>(i)];
        axes[i]->SetAutomatic(s.Automatic);
        axes[i]->SetAutomaticMinimum(s.AutomaticMinimum);
        axes[i]->SetAutomaticMaximum(s.AutomaticMaximum);
        if (axes[i]->Automatic()) continue;
        // The saved ends go back as they were: SetMinMax would switch off an
        // end that is automatic on its own, leaving it frozen at the value
        // it had, and would reorder or widen ends the axis had accepted.
        axes[i]->InternalSetMinimum(s.Minimum);
        axes[i]->InternalSetMaximum(s.Maximum);
    }
}

void TCustomChart::DrawZoomRectangleOnScreen() {
    auto* canvas = dynamic_cast<TChartCanvas3D*>(Canvas.get());
    TCanvas* target = canvas && canvas->UseBuffer && canvas->BufferBitmap ? &canvas->BufferBitmap->GetCanvas()
                                                                          : WindowCanvas;
    if (!target) return;
    TCanvas* saved = Canvas->ReferenceCanvas;
    Canvas->SetCanvas(target);
    DrawZoomRectangle();
    Canvas->Pen->SetMode(TPenMode::Copy);
    Canvas->SetCanvas(saved);
}

void TCustomChart::Refresh() {
    Invalidate();
    Paint();
}

// ---------------------------------------------------------------------------
// Pictures, clipboard and printing

TRect TChartOutputOf::GetRectangle() const { return chart_.GetRectangle(); }
void TChartOutputOf::Draw(TCanvas* canvas, const TRect& rect) { chart_.Draw(canvas, rect); }
bool TChartOutputOf::GetBufferedDisplay() const { return chart_.GetBufferedDisplay(); }
void TChartOutputOf::SetBufferedDisplay(bool buffered) { chart_.SetBufferedDisplay(buffered); }
void TChartOutputOf::SetDrawingToMetafile(bool value) { chart_.Canvas->DrawingToMetafile = value; }
void TChartOutputOf::SetPrinting(bool value) { chart_.Printing = value; }
bool TChartOutputOf::CanClip() { return chart_.CanClip(); }
int TChartOutputOf::GetPrintResolution() const { return chart_.PrintResolution; }
bool TChartOutputOf::GetPrintProportional() const { return chart_.PrintProportional; }
TRect& TChartOutputOf::PageMargins() { return chart_.PageMargins; }
std::string TChartOutputOf::GetName() const { return chart_.GetName(); }

void TCustomChart::DrawToMetaCanvas(TCanvas* canvas, const TRect& rect) {
    chart::DrawToMetaCanvas(output_, canvas, rect);
}
void TCustomChart::SaveToMetafileRect(bool enhanced, const std::string& fileName, const TRect& rect) {
    chart::SaveToMetafileRect(output_, enhanced, fileName, rect);
}
void TCustomChart::SaveToMetafile(const std::string& fileName) { chart::SaveToMetafile(output_, fileName); }
void TCustomChart::SaveToMetafileEnh(const std::string& fileName) { chart::SaveToMetafileEnh(output_, fileName); }
void TCustomChart::SaveToBitmapFile(const std::string& fileName) { chart::SaveToBitmapFile(output_, fileName); }
void TCustomChart::CopyToClipboardBitmap() { chart::CopyToClipboardBitmap(output_); }
void TCustomChart::CopyToClipboardMetafile(bool enhanced) { chart::CopyToClipboardMetafile(output_, enhanced); }
void TCustomChart::PrintPartialCanvas(TCanvas* canvas, const TRect& rect) {
    chart::PrintPartialCanvas(output_, canvas, rect);
}
void TCustomChart::PrintPartial(platform::Printer& printer, const TRect& rect) {
    chart::PrintPartial(output_, printer, rect);
}
TRect TCustomChart::CalcProportionalMargins(platform::Printer& printer) {
    return chart::CalcProportionalMargins(output_, printer);
}
TRect TCustomChart::ChartPrintRect(platform::Printer& printer) { return chart::ChartPrintRect(output_, printer); }
void TCustomChart::PrintRect(platform::Printer& printer, const TRect& rect) {
    chart::PrintRect(output_, printer, rect);
}
void TCustomChart::Print(platform::Printer& printer) { chart::Print(output_, printer); }
void TCustomChart::PrintOrientation(platform::Printer& printer, platform::PrinterOrientation orientation) {
    chart::PrintOrientation(output_, printer, orientation);
}
void TCustomChart::PrintPortrait(platform::Printer& printer) { chart::PrintPortrait(output_, printer); }
void TCustomChart::PrintLandscape(platform::Printer& printer) { chart::PrintLandscape(output_, printer); }

// ---------------------------------------------------------------------------
// Registry

const TChartSeriesType& TChartSeriesTypes::GetSeriesType(int i) const {
    if (i < 0 || i >= Count()) ThrowListIndexError(i);
    return items_[static_cast<std::size_t>(i)];
}

const TChartSeriesType* TChartSeriesTypes::FindSeriesClass(const std::string& seriesClass) const {
    for (const auto& t : items_)
        if (t.SeriesType == seriesClass && t.FunctionType.empty()) return &t;
    return nullptr;
}

void TChartSeriesTypes::RemoveIf(const std::function<bool(const TChartSeriesType&)>& pred) {
    items_.erase(std::remove_if(items_.begin(), items_.end(), pred), items_.end());
}

TChartSeriesTypes& ChartSeriesTypes() {
    static TChartSeriesTypes types;
    return types;
}

void RegisterChartSeriesFunction(const std::string& seriesClass, TSeriesFactory create,
                                 const std::string& functionClass, const std::string& description,
                                 const std::string& pageName, int gallerySeriesCount) {
    auto& types = ChartSeriesTypes();
    for (int i = 0; i < types.Count(); ++i) {
        const auto& t = types.GetSeriesType(i);
        if (t.SeriesType == seriesClass && t.FunctionType == functionClass) return;
    }
    types.Add(TChartSeriesType{seriesClass, std::move(create), functionClass, description.substr(0, 20),
                               pageName.substr(0, 20), gallerySeriesCount});
}

void RegisterChartSeries(const std::string& seriesClass, TSeriesFactory create, const std::string& description,
                         const std::string& pageName, int gallerySeriesCount) {
    RegisterChartSeriesFunction(seriesClass, std::move(create), {}, description, pageName, gallerySeriesCount);
}

void RegisterChartFunction(const std::string& functionClass, const std::string& description,
                           const std::string& pageName, int gallerySeriesCount) {
    RegisterChartSeriesFunction({}, {}, functionClass, description, pageName, gallerySeriesCount);
}

void RegisterChartBasicFunction(const std::string& functionClass, const std::string& description) {
    RegisterChartFunction(functionClass, description, "Functions", 2);
}

void UnRegisterChartSeries(const std::vector<std::string>& seriesClasses) {
    ChartSeriesTypes().RemoveIf([&](const TChartSeriesType& t) {
        return !t.SeriesType.empty() &&
               std::find(seriesClasses.begin(), seriesClasses.end(), t.SeriesType) != seriesClasses.end();
    });
}

void UnRegisterChartFunctions(const std::vector<std::string>& functionClasses) {
    ChartSeriesTypes().RemoveIf([&](const TChartSeriesType& t) {
        return !t.FunctionType.empty() &&
               std::find(functionClasses.begin(), functionClasses.end(), t.FunctionType) != functionClasses.end();
    });
}

std::string GetChartFunctionDescription(const std::string& functionClass) {
    const auto& types = ChartSeriesTypes();
    for (int i = 0; i < types.Count(); ++i)
        if (types.GetSeriesType(i).FunctionType == functionClass) return types.GetSeriesType(i).TypeDescription;
    return {};
}

std::unique_ptr<TChartSeries> CreateNewSeries(TCustomChart* chart, const std::string& seriesClass) {
    const TChartSeriesType* t = ChartSeriesTypes().FindSeriesClass(seriesClass);
    if (!t || !t->Create) throw ChartException("Series class not registered: " + seriesClass);
    std::unique_ptr<TChartSeries> s(t->Create());
    int n = 1;
    for (;; ++n) {
        const std::string name = "Series" + std::to_string(n);
        bool used = false;
        for (auto* other : chart->SeriesList) used = used || other->Name == name;
        if (!used) break;
    }
    s->Name = "Series" + std::to_string(n);
    s->SetParentChart(chart);
    return s;
}

std::unique_ptr<TChartSeries> CloneChartSeries(const TChartSeries& series) {
    auto* chart = dynamic_cast<TCustomChart*>(series.ParentChart);
    if (!chart) throw ChartException("Series has no chart");
    auto copy = CreateNewSeries(chart, series.ClassName());
    copy->Assign(series);
    copy->AssignValues(series);
    return copy;
}

void AssignSeries(std::unique_ptr<TChartSeries>& oldSeries, std::unique_ptr<TChartSeries>& newSeries) {
    // The settings both kinds share (pens, pointer), then what the series is
    // fed from: its data sources, its function (moved over), its marks, and
    // its points when it has no source.
    newSeries->Assign(*oldSeries);
    newSeries->AssignSeries(*oldSeries);
    newSeries->AfterDrawValues = oldSeries->AfterDrawValues;
    newSeries->BeforeDrawValues = oldSeries->BeforeDrawValues;
    newSeries->OnAfterAdd = oldSeries->OnAfterAdd;
    newSeries->OnBeforeAdd = oldSeries->OnBeforeAdd;
    newSeries->OnClearValues = oldSeries->OnClearValues;
    newSeries->OnClick = oldSeries->OnClick;
    newSeries->OnDblClick = oldSeries->OnDblClick;
    newSeries->OnGetMarkText = oldSeries->OnGetMarkText;
    // Series fed from the old one are fed from the new one; left alone, the
    // old one's end would leave them without their source.
    for (TChartSeries* follower : std::vector<TChartSeries*>(oldSeries->LinkedSeries)) {
        auto& sources = follower->DataSourceList;
        const bool hasNew = std::find(sources.begin(), sources.end(), newSeries.get()) != sources.end();
        if (hasNew)
            sources.erase(std::remove(sources.begin(), sources.end(), oldSeries.get()), sources.end());
        else
            std::replace(sources.begin(), sources.end(), oldSeries.get(), newSeries.get());
        newSeries->AddLinkedSeries(follower);
    }
    oldSeries->LinkedSeries.clear();
    const std::string name = oldSeries->Name;
    if (auto* chart = oldSeries->ParentChart) {
        const int a = chart->SeriesList.IndexOf(oldSeries.get());
        const int b = chart->SeriesList.IndexOf(newSeries.get());
        if (a >= 0 && b >= 0) chart->SeriesList.Exchange(a, b);
    }
    oldSeries.reset();
    newSeries->Name = name;
    newSeries->RefreshSeries();
    newSeries->Repaint();
}

void ChangeSeriesType(std::unique_ptr<TChartSeries>& series, const std::string& newClass) {
    if (series->ClassName() == newClass) return;
    auto* chart = dynamic_cast<TCustomChart*>(series->ParentChart);
    if (!chart) throw ChartException("Series has no chart");
    auto replacement = CreateNewSeries(chart, newClass);  // throws before anything changes
    AssignSeries(series, replacement);
    series = std::move(replacement);
}

}  // namespace pellucor::chart
