#pragma once
// Bar series: one bar per point from a base line (the origin) to the
// point's value. TBarSeries draws vertical bars over the horizontal axis,
// THorizBarSeries horizontal bars over the vertical axis. Several bar series
// of one class share each category side by side, stacked or stacked to
// 100 %.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "chart/ChartSeries.h"

namespace pellucor::chart {

enum TBarStyle { bsRectangle, bsPyramid, bsInvPyramid, bsCilinder, bsEllipse, bsArrow, bsRectGradient, bsCone };
enum TMultiBar { mbNone, mbSide, mbStacked, mbStacked100, mbSeries };

// Raised by the bar setters; the property keeps its value.
class BarException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCustomBarSeries;
using TGetBarStyleEvent = std::function<void(TCustomBarSeries* sender, int valueIndex, TBarStyle& style)>;

class TCustomBarSeries : public TChartSeries {
public:
    explicit TCustomBarSeries(bool horizontal);

    bool AutoBarSize = false;
    bool AutoMarkPosition = true;
    std::unique_ptr<TChartBrush> BarBrush;  // colour UseSeriesColor
    std::unique_ptr<TChartPen> BarPen;
    TBarStyle BarStyle = bsRectangle;
    int BarWidthPercent = 70;
    int CustomBarWidth = 0;
    bool Dark3D = true;
    TMultiBar MultiBar = mbSide;
    int OffsetPercent = 0;
    bool SideMargins = true;
    bool UseYOrigin = true;
    double YOrigin = 0;
    TGetBarStyleEvent OnGetBarStyle;
    // Draw state: the bar width of this draw, the current bar (for a
    // vertical bar top is the value pixel and bottom the origin pixel, for a
    // horizontal bar left is the origin pixel and right the value pixel) and
    // its colour.
    int BarWidth = 0;
    TRect BarBounds;
    TColor BarColor = clBlack;

    void SetBarWidthPercent(int value);
    void SetOffsetPercent(int value);
    void SetCustomBarWidth(int value) { SetIntegerProperty(CustomBarWidth, value); }
    void SetAutoBarSize(bool value) { SetBooleanProperty(AutoBarSize, value); }
    void SetAutoMarkPosition(bool value) { SetBooleanProperty(AutoMarkPosition, value); }
    void SetDark3D(bool value) { SetBooleanProperty(Dark3D, value); }
    void SetUseYOrigin(bool value) { SetBooleanProperty(UseYOrigin, value); }
    void SetYOrigin(double value);
    void SetBarStyle(TBarStyle value);
    void SetSideMargins(bool value);
    void SetMultiBar(TMultiBar value);

    int AddBar(double value, const std::string& label = {}, TColor color = UseSeriesColor) {
        return Add(value, label, color);
    }
    TBarStyle GetBarStyle(int valueIndex);
    int BarSeriesCount() const;
    int BarOrderPos() const;
    void CalcBarWidth();
    // Left edge (vertical bars) or top edge (horizontal bars) of a bar.
    int CategoryPos(int valueIndex);
    // The pixel of the bar's end and of its base along the value axis.
    int ValuePos(int valueIndex);
    int GetOriginPos(int valueIndex);

    double PointOrigin(int valueIndex, bool sumAll) override;
    void AssignSeries(TChartSeries& source) override;
    // Settings only (bar settings of a bar source too), as a series clone takes them.
    void Assign(const TChartSeries& source) override;
    void PrepareLegendCanvas(int valueIndex, TColor& backColor, TBrushStyle& style) override;
    void CalcZOrder() override;
    bool DrawValuesForward() const override;
    bool DrawSeriesForward(int valueIndex) const override;
    void DoBeforeDrawValues() override;
    void DrawValue(int valueIndex) override;
    int Clicked(int x, int y) override;
    void DrawMark(int valueIndex, const std::string& text, TSeriesMarkPosition& position) override;
    int CalcXPos(int index) override;
    int CalcYPos(int index) override;
    void CalcHorizMargins(int& left, int& right) override;
    void CalcVerticalMargins(int& top, int& bottom) override;
    int CalcMarkLength(int valueIndex);
    virtual std::string GetEditorClass() const { return "TBarSeriesEditor"; }
    static int NumSampleValues() { return 6; }

protected:
    // Value-axis extremes over the bars (stacked sums, origin).
    double ValueMax(double baseMax);
    double ValueMin(double baseMin);
    void DrawBar(int valueIndex, int startPos, int endPos);
    bool InternalClicked(int valueIndex, const TPoint& p);

private:
    void CopyBarSettings(const TChartSeries& source);
    void SetPenBrushBar(TColor color);
    void BarRectangle(int left, int top, int right, int bottom);
    int ValuePixel(double v);
    bool Horizontal;
};

class TBarSeries : public TCustomBarSeries {
public:
    TBarSeries() : TCustomBarSeries(false) {}
    std::string ClassName() const override { return "TBarSeries"; }
    double MaxYValue() const override;
    double MinYValue() const override;
};

class THorizBarSeries : public TCustomBarSeries {
public:
    THorizBarSeries() : TCustomBarSeries(true) {}
    std::string ClassName() const override { return "THorizBarSeries"; }
    TChartValueList& MandatoryValueList() override { return *XValues; }
    double MaxXValue() const override;
    double MinXValue() const override;
};

}  // namespace pellucor::chart
