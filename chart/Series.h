#pragma once
// The marker of a point (TSeriesPointer) and the series that draw markers
// and polylines: TCustomSeries carries the drawing, clicking and legend
// logic; TPointSeries (markers only) and TLineSeries (lines, markers hidden)
// only change its defaults.
#include <functional>
#include <memory>
#include <string>

#include "chart/ChartSeries.h"

namespace pellucor::chart {

enum TSeriesPointerStyle {
    psRectangle, psCircle, psTriangle, psDownTriangle, psCross, psDiagCross, psStar, psDiamond, psSmallDot
};

class TSeriesPointer {
public:
    explicit TSeriesPointer(TChartSeries* owner);
    TSeriesPointer(const TSeriesPointer&) = delete;
    TSeriesPointer& operator=(const TSeriesPointer&) = delete;

    bool Dark3D = true;
    bool Draw3D = true;
    std::unique_ptr<TChartBrush> Brush;  // colour UseSeriesColor: the point's colour
    int HorizSize = 4;                   // half width in pixels
    bool InflateMargins = true;
    TChartSeries* ParentSeries;          // not owned
    std::unique_ptr<TChartPen> Pen;      // outline of the filled shapes
    TSeriesPointerStyle Style = psRectangle;
    int VertSize = 4;                    // half height in pixels
    bool Visible = true;

    // Sizes of 0 or less raise ChartException; the size is left unchanged.
    void SetHorizSize(int value);
    void SetVertSize(int value);
    void SetInflateMargins(bool value) { ParentSeries->SetBooleanProperty(InflateMargins, value); }
    void SetDark3D(bool value) { ParentSeries->SetBooleanProperty(Dark3D, value); }
    void SetDraw3D(bool value) { ParentSeries->SetBooleanProperty(Draw3D, value); }
    void SetVisible(bool value) { ParentSeries->SetBooleanProperty(Visible, value); }
    void SetStyle(TSeriesPointerStyle value);
    // Store without checking and without repainting.
    void ChangeStyle(TSeriesPointerStyle value) { Style = value; }
    void ChangeHorizSize(int value) { HorizSize = value; }
    void ChangeVertSize(int value) { VertSize = value; }
    void Change3D(bool value) { Draw3D = value; }

    // Pen and brush for a marker of a point of this colour.
    void PrepareCanvas(TColor color);
    // One marker centred on (px, py) with the pointer's half sizes.
    void Draw(int px, int py, TColor color, TSeriesPointerStyle style);
    // One marker shape; the caller has prepared pen and brush.
    void DrawPointer(bool is3D, int px, int py, int halfWidth, int halfHeight, TColor color,
                     TSeriesPointerStyle style);
    // The marker inside a legend symbol box (always flat).
    void DrawLegendShape(TColor color, const TRect& rect, bool withLine);
    void CalcHorizMargins(int& left, int& right) const;
    void CalcVerticalMargins(int& top, int& bottom) const;
    void Assign(const TSeriesPointer& source);
};

class TCustomSeries;
using TOnClickPointer = std::function<void(TCustomSeries* sender, int valueIndex, int x, int y)>;
using TOnGetPointerStyle = std::function<TSeriesPointerStyle(TChartSeries* sender, int valueIndex)>;

class TCustomSeries : public TChartSeries {
public:
    TCustomSeries();
    ~TCustomSeries() override;

    TBrushStyle AreaBrush = TBrushStyle::Solid;
    TColor AreaColor = UseSeriesColor;
    std::unique_ptr<TChartPen> AreaLinesPen;
    bool SegmentsClickable = true;
    bool Dark3D = true;
    bool DrawArea = false;
    bool ConnectPoints = false;
    bool InvertedStairs = false;
    TBrushStyle LineBrush = TBrushStyle::Solid;
    int LineHeight = 0;
    std::unique_ptr<TChartPen> LinePen;
    std::unique_ptr<TSeriesPointer> Pointer;
    bool Stairs = false;
    TOnClickPointer OnClickPointer;
    TOnGetPointerStyle OnGetPointerStyle;

    void SetStairs(bool v) { SetBooleanProperty(Stairs, v); }
    void SetInvertedStairs(bool v) { SetBooleanProperty(InvertedStairs, v); }
    void SetDark3D(bool v) { SetBooleanProperty(Dark3D, v); }
    void SetDrawArea(bool v) { SetBooleanProperty(DrawArea, v); }
    void SetLineHeight(int v) { SetIntegerProperty(LineHeight, v); }
    void SetAreaColor(TColor v) { SetColorProperty(AreaColor, v); }
    void SetLineBrush(TBrushStyle v);
    void SetAreaBrush(TBrushStyle v);

    void DrawValue(int valueIndex) override;
    bool DrawEveryValue() const override { return true; }
    int Clicked(int x, int y) override;
    void DrawLegendShape(int valueIndex, const TRect& rect) override;
    void CalcHorizMargins(int& left, int& right) override;
    void CalcVerticalMargins(int& top, int& bottom) override;
    // Whether (x, y) hits the marker of point valueIndex centred on (px, py):
    // strictly less than the half sizes away.
    virtual bool ClickedPointer(int valueIndex, int px, int py, int x, int y);
    virtual void DrawPointer(int px, int py, TColor color, int valueIndex);
    // Pixel row of the base line of an area below point valueIndex.
    virtual int GetOriginPos(int valueIndex);
    // The base settings, then from another custom series its pens, pointer
    // and flags.
    void Assign(const TChartSeries& source) override;
    std::string ClassName() const override { return "TCustomSeries"; }
    virtual std::string GetEditorClass() const { return "TCustomSeriesEditor"; }

protected:
    void LinePrepareCanvas(TColor color);

private:
    // A point's pixel position as the axes round it and as a real number
    // (far outside the plot the two differ).
    struct PixelPos {
        int x, y;
        double xd, yd;
        bool Safe() const;
    };
    PixelPos Position(int valueIndex);
    void DrawSegment(const PixelPos& p, TColor color, bool withPointers, int valueIndex, bool isLast);
    void DrawLine(const PixelPos& a, const PixelPos& b);
    void DrawBand3D(const PixelPos& p, TColor color, bool isLast);
    bool SegmentHit(const PixelPos& a, const PixelPos& b, int x, int y);
    // The y value where the line into point valueIndex crosses the left edge.
    double LeftEdgeValue(int valueIndex);

    // Draw state of one pass. Positions are kept unrounded as well, so a
    // segment to a point far outside the plot keeps its direction.
    int PrevX = 0, PrevY = 0;
    double PrevXd = 0, PrevYd = 0;
    TColor PrevColor = clBlack;
    int BaseLineY = 0, PrevBaseLineY = 0;
    double DarkSlope = 0;
};

class TLineSeries : public TCustomSeries {
public:
    TLineSeries();
    void PrepareLegendCanvas(int valueIndex, TColor& backColor, TBrushStyle& style) override;
    void Assign(const TChartSeries& source) override;
    std::string ClassName() const override { return "TLineSeries"; }
};

class TPointSeries : public TCustomSeries {
public:
    TPointSeries();
    void SetColorEachPoint(bool value) override;
    void Assign(const TChartSeries& source) override;
    std::string ClassName() const override { return "TPointSeries"; }
    std::string GetEditorClass() const override { return "TSeriesPointerEditor"; }
};

// Registers the series types of this unit with the chart's registry (once).
void RegisterStandardSeries();

}  // namespace pellucor::chart
