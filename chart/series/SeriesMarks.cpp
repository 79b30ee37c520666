#include "chart/series/SeriesMarks.h"

#include <algorithm>
#include <limits>

#include "chart/AxisPanel.h"
#include "chart/ChartSeries.h"

namespace pellucor::chart {

namespace {

// v + by for a box corner. A point far off a plot in perspective projects
// to an end of the int range; its mark keeps that side, and a corner held
// within half the range leaves room for the box's size and its text lines.
int CornerKeepingSide(int v, int by) {
    constexpr long long limit = std::numeric_limits<int>::max() / 2;
    return static_cast<int>(std::clamp(static_cast<long long>(v) + by, -limit, limit));
}

}  // namespace

bool ChartMarksArrowContrast = true;

void TSeriesMarkPosition::Assign(const TSeriesMarkPosition& source) {
    ArrowFrom = source.ArrowFrom;
    ArrowTo = source.ArrowTo;
    LeftTop = source.LeftTop;
    Height = source.Height;
    Width = source.Width;
}

TSeriesMarkPosition* TSeriesMarksPositions::Position(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
}

TSeriesMarkPosition& TSeriesMarksPositions::Ensure(int index) {
    if (index >= Count()) items_.resize(static_cast<std::size_t>(index) + 1);
    auto& slot = items_[static_cast<std::size_t>(index)];
    if (!slot) slot = std::make_unique<TSeriesMarkPosition>();
    return *slot;
}

void TSeriesMarksPositions::SetPosition(int index, const TSeriesMarkPosition& position) {
    if (index < 0) return;
    TSeriesMarkPosition& p = Ensure(index);
    p.Custom = true;
    p.Assign(position);
}

void TSeriesMarksPositions::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
}

void TSeriesMarksPositions::Automatic(int index) {
    if (TSeriesMarkPosition* p = Position(index)) p->Custom = false;
}

TSeriesMarks::TSeriesMarks(TChartSeries* series) : ParentSeries(series) {
    auto repaint = [this] { ParentSeries->Repaint(); };
    Arrow = std::make_unique<TChartArrowPen>(repaint);
    Frame = ParentSeries->CreateChartPen();
    Font.OnChange = repaint;
}

void TSeriesMarks::SetVisible(bool value) { ParentSeries->SetBooleanProperty(Visible, value); }
void TSeriesMarks::SetBackTransparent(bool value) { ParentSeries->SetBooleanProperty(Transparent, value); }
void TSeriesMarks::SetClip(bool value) { ParentSeries->SetBooleanProperty(Clip, value); }
void TSeriesMarks::SetArrowLength(int value) { ParentSeries->SetIntegerProperty(ArrowLength, value); }
void TSeriesMarks::SetBackColor(TColor value) { ParentSeries->SetColorProperty(BackColor, value); }

void TSeriesMarks::SetStyle(TSeriesMarksStyle value) {
    if (Style == value) return;
    Style = value;
    ParentSeries->Repaint();
}

void TSeriesMarks::Assign(const TSeriesMarks& source) {
    Arrow->Assign(*source.Arrow);
    Frame->Assign(*source.Frame);
    ArrowLength = source.ArrowLength;
    BackColor = source.BackColor;
    Transparent = source.Transparent;
    Clip = source.Clip;
    Font.AssignFont(source.Font);
    Style = source.Style;
    Visible = source.Visible;
}

void TSeriesMarks::UsePosition(int index, TSeriesMarkPosition& position) {
    if (index < 0) return;
    TSeriesMarkPosition& stored = Positions.Ensure(index);
    if (stored.Custom) position.Assign(stored);
    else stored.Assign(position);
}

void TSeriesMarks::Draw(int valueIndex, TColor color, const std::string& text, TSeriesMarkPosition& position) {
    TCustomAxisPanel* chart = ParentSeries->ParentChart;
    if (!chart || !chart->Canvas) return;
    TCanvas3D& c = *chart->Canvas;
    UsePosition(valueIndex, position);
    const bool is3D = chart->View3D;

    if (Arrow->GetVisible()) {
        c.AssignVisiblePen(*Arrow);
        if (c.Brush) c.Brush->SetStyle(TBrushStyle::Clear);
        if (ChartMarksArrowContrast && c.Pen) {
            const TColor pen = c.Pen->GetColor();
            if (pen == color || pen == chart->Color) c.Pen->SetColor(chart->Color == clBlack ? clWhite : clBlack);
        }
        if (is3D) c.LineWithZ(position.ArrowFrom.x, position.ArrowFrom.y, position.ArrowTo.x, position.ArrowTo.y,
                              ZPosition);
        else c.Line(position.ArrowFrom.x, position.ArrowFrom.y, position.ArrowTo.x, position.ArrowTo.y);
    }
    if (is3D && !c.GetSupports3DText()) {
        const TPoint d{position.ArrowTo.x - position.LeftTop.x, position.ArrowTo.y - position.LeftTop.y};
        const TPoint s = c.Calculate3DPosition(position.ArrowTo.x, position.ArrowTo.y, ZPosition);
        position.LeftTop = TPoint{CornerKeepingSide(s.x, -d.x), CornerKeepingSide(s.y, -d.y)};
    }
    if (Frame->GetVisible() || !Transparent) {
        if (c.Brush) {
            c.Brush->SetColor(BackColor);
            c.Brush->SetStyle(Transparent ? TBrushStyle::Clear : TBrushStyle::Solid);
        }
        c.AssignVisiblePen(*Frame);
        if (is3D && c.GetSupports3DText()) c.RectangleWithZ(position.Bounds(), ZPosition + 1);
        else c.DoRectangle(position.Bounds());
        if (Frame->GetVisible()) position.LeftTop.y += Frame->GetWidth();
    }
    if (c.Brush) c.Brush->SetStyle(TBrushStyle::Clear);
    c.SetTextAlign(platform::TA_CENTER | platform::TA_TOP);
    const int x = position.LeftTop.x + position.Width / 2;
    int y = position.LeftTop.y;
    const int h = c.FontHeight();
    std::size_t start = 0;
    while (true) {
        const std::size_t cr = text.find('\r', start);
        std::string line = text.substr(start, cr == std::string::npos ? std::string::npos : cr - start);
        if (is3D && c.GetSupports3DText()) c.TextOut3D(x, y, ZPosition, line);
        else c.TextOut(x, y, line);
        if (cr == std::string::npos) break;
        y += h;
        start = cr + 1;
    }
    c.SetTextAlign(platform::TA_LEFT | platform::TA_TOP);
}

int TSeriesMarks::Clicked(int x, int y) const {
    if (TCustomAxisPanel* chart = ParentSeries->ParentChart; chart && chart->Canvas)
        chart->Canvas->Calculate2DPosition(x, y, ZPosition);
    for (int i = 0; i < Positions.Count(); ++i) {
        const TSeriesMarkPosition* p = Positions.Position(i);
        if (!p) continue;
        const TRect r = p->Bounds();
        if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return i;
    }
    return -1;
}

}  // namespace pellucor::chart
