#pragma once
// The series base class: the points of one series (x and y value lists,
// colours and labels kept as long as the values), activity, the axes a series
// is bound to and its pixel positions, the data extremes for automatic axis
// ranges, the visible index range and draw loop of every draw, clicks, legend
// texts and symbols, and the series events. Concrete series (point, line)
// override DrawValue, Clicked and the margin and legend-shape queries.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartCanvas.h"
#include "chart/ChartValues.h"

namespace pellucor::chart {

class TCustomAxisPanel;
class TCustomChartAxis;

enum THorizAxis { aTopAxis, aBottomAxis, aBothHorizAxis, aCustomHorizAxis };
enum TVertAxis { aLeftAxis, aRightAxis, aBothVertAxis, aCustomVertAxis };
enum TLegendTextStyle { ltsPlain, ltsLeftValue, ltsRightValue, ltsLeftPercent, ltsRightPercent, ltsXValue };

// Mouse buttons and the keys and buttons held during a mouse event.
enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32,
                      ssDouble = 64;

class TChartSeries;
using TSeriesNotifyEvent = std::function<void(TChartSeries* sender)>;
using TSeriesOnAfterAdd = std::function<void(TChartSeries* sender, int valueIndex)>;
using TSeriesOnBeforeAdd = std::function<bool(TChartSeries* sender)>;
using TSeriesClick = std::function<void(TChartSeries* sender, int valueIndex, TMouseButton button,
                                        TShiftState shift, int x, int y)>;

class TChartSeries : public TChartValueListOwner {
public:
    TChartSeries();
    ~TChartSeries() override;
    TChartSeries(const TChartSeries&) = delete;
    TChartSeries& operator=(const TChartSeries&) = delete;

    // ----- fields -----
    bool Active = true;
    TColor SeriesColor = UseSeriesColor;
    bool ColorEachPoint = false;
    std::vector<TColor> ValueColorList;
    int FirstVisibleIndex = -1;
    int LastVisibleIndex = -1;
    TCustomChartAxis* HorizAxisObject = nullptr;
    TCustomChartAxis* VertAxisObject = nullptr;
    TCustomAxisPanel* ParentChart = nullptr;
    bool ShowInLegend = true;
    std::string Title;
    std::string Name;  // component name
    std::string ValueFormat = "#,##0.###";
    TChartValueLists ValueLists;
    std::unique_ptr<TChartValueList> XValues;
    std::vector<std::string> LabelList;
    std::unique_ptr<TChartValueList> YValues;
    THorizAxis HorizAxis = aBottomAxis;
    TCustomChartAxis* CustomHorizAxis = nullptr;
    TCustomChartAxis* CustomVertAxis = nullptr;
    int ZOrder = -1;
    TVertAxis VertAxis = aLeftAxis;
    int CalculatedZOrder = 0;
    bool HasDepthValues = false;
    int FrontZ = 0, MidZ = 0, BackZ = 0;
    bool MarksVisible = false;  // marks come with the series marks
    int Cursor = 0;
    std::string PercentFormat = "##0.## %";
    bool LimitToAxisRange = true;
    // Keep the first point beyond the high end of the axis in the visible
    // range, so the segment that leaves the plot area is drawn.
    bool KeepOverhangPoint = false;
    bool SingleFunctionPoint = true;

    // ----- events -----
    TSeriesNotifyEvent AfterDrawValues;
    TSeriesNotifyEvent BeforeDrawValues;
    TSeriesOnAfterAdd OnAfterAdd;
    TSeriesOnBeforeAdd OnBeforeAdd;
    TSeriesNotifyEvent OnClearValues;
    TSeriesClick OnClick;
    TSeriesClick OnDblClick;

    // ----- parent chart and axes -----
    virtual void SetParentChart(TCustomAxisPanel* value);
    void RecalcGetAxis();
    void SetHorizAxis(THorizAxis value);
    void SetVertAxis(TVertAxis value);
    void SetCustomHorizAxis(TCustomChartAxis* axis);
    void SetCustomVertAxis(TCustomChartAxis* axis);
    virtual bool AssociatedToAxis(const TCustomChartAxis* axis) const;
    virtual bool UseAxis() const { return true; }

    // ----- points -----
    int Count() const { return XValues->Count(); }
    int VisibleCount() const { return LastVisibleIndex - FirstVisibleIndex + 1; }
    // Adds a point where the x list's order puts it (after equal x values)
    // and returns its index; -1 when OnBeforeAdd refuses it.
    virtual int AddXY(double x, double y, const std::string& label = {},
                      TColor color = UseSeriesColor);
    // A point whose other coordinate is the current point count.
    int Add(double value, const std::string& label = {}, TColor color = UseSeriesColor);
    int AddX(double value, const std::string& label = {}, TColor color = UseSeriesColor);
    int AddY(double value, const std::string& label = {}, TColor color = UseSeriesColor);
    int AddNull(const std::string& label = {}) { return Add(0, label, clNone); }
    int AddNullXY(double x, double y, const std::string& label = {}) { return AddXY(x, y, label, clNone); }
    // Adds values[0..high] with Add; returns high + 1.
    int AddArray(const double* values, int high);
    virtual void Clear();
    virtual void ClearLists();
    virtual void Delete(int valueIndex);
    virtual double GetxValue(int index) const { return XValues->GetValue(index); }
    virtual double GetyValue(int index) const { return YValues->GetValue(index); }
    double GetValue(bool isX, int index) const { return isX ? GetxValue(index) : GetyValue(index); }
    void SetXValue(int index, double value);
    void SetYValue(int index, double value);
    virtual std::string GetXLabel(int index) const;
    void SetXLabel(int index, const std::string& text);
    virtual TColor GetValueColor(int index) const;
    void SetValueColor(int index, TColor color);
    // Every point whose value in list lies in [fromValue, toValue] gets color.
    void ColorRange(TChartValueList& list, double fromValue, double toValue, TColor color);
    // A null point: colour clNone, or a coordinate that is not a finite
    // number. Null points are drawn, listed and hit nowhere.
    bool IsNull(int index) const;
    virtual TChartValueList& MandatoryValueList() { return *YValues; }
    bool YMandatory() { return &MandatoryValueList() == YValues.get(); }
    // A point both of whose coordinates are finite numbers; other points
    // (capacitance where Z'' is zero, admittance where Z is zero) take no
    // part in axis ranges and are not drawn.
    bool IsValidPoint(int index) const;

    // Extremes over the valid points; 0 without any.
    virtual double MaxXValue() const;
    virtual double MaxYValue() const;
    virtual double MinXValue() const;
    virtual double MinYValue() const;
    // Extremes over the valid points whose value is above zero (what a
    // logarithmic axis can show); false without any.
    bool PositiveExtremes(bool isX, double& minValue, double& maxValue) const;
    virtual double MaxZValue() const { return GetZOrder(); }
    virtual double MinZValue() const { return GetZOrder(); }

    // ----- setters -----
    virtual void SetActive(bool value);
    virtual void SetSeriesColor(TColor value);
    // False sets every point colour back to UseSeriesColor.
    virtual void SetColorEachPoint(bool value);
    void SetTitle(const std::string& value);
    void SetValueFormat(const std::string& value);
    void SetPercentFormat(const std::string& value);
    void SetShowInLegend(bool value) { SetBooleanProperty(ShowInLegend, value); }
    void SetZOrder(int value);
    void SetIntegerProperty(int& variable, int value);
    void SetColorProperty(TColor& variable, TColor value);
    void SetStringProperty(std::string& variable, const std::string& value);
    // A pen that repaints the chart when it changes.
    std::unique_ptr<TChartPen> CreateChartPen();
    virtual void CanvasChanged() { Repaint(); }

    // ----- drawing -----
    virtual void DoBeforeDrawChart() {}
    virtual void DoBeforeDrawValues();
    virtual void DoAfterDrawValues();
    virtual void DrawAllValues();
    // Whether DrawAllValues hands null points to DrawValue as well.
    virtual bool DrawEveryValue() const { return false; }
    virtual void DrawValue(int /*valueIndex*/) {}
    virtual void CalcFirstLastVisibleIndex();
    virtual bool MoreSameZOrder() const;
    virtual void CalcZOrder();
    int GetZOrder() const { return ZOrder == -1 ? CalculatedZOrder : ZOrder; }
    virtual bool DrawValuesForward() const { return true; }
    virtual bool DrawSeriesForward(int /*valueIndex*/) const { return true; }
    virtual void CalcHorizMargins(int& left, int& right) { left = right = 0; }
    virtual void CalcVerticalMargins(int& top, int& bottom) { top = bottom = 0; }
    int CalcXPos(int index);
    int CalcYPos(int index);
    int CalcXPosValue(double v);
    int CalcYPosValue(double v);
    int CalcPosValue(double v) { return YMandatory() ? CalcYPosValue(v) : CalcXPosValue(v); }
    // Unrounded and unclipped pixel positions (for clipping far segments).
    double CalcXPosExact(int index);
    double CalcYPosExact(int index);
    int CalcXSizeValue(double v);
    int CalcYSizeValue(double v);
    double XScreenToValue(int px);
    double YScreenToValue(int py);
    std::string XValueToText(double v);
    std::string YValueToText(double v);

    // ----- mouse -----
    // Index of the point under pixel (x, y); -1 here.
    virtual int Clicked(int /*x*/, int /*y*/) { return -1; }
    // Raises OnDblClick (a double click) or OnClick; answers the chart's
    // CancelMouseAction afterwards (true: the press was handled).
    virtual bool DoSeriesClick(TChartSeries* sender, int valueIndex, TMouseButton button,
                               TShiftState shift, int x, int y);
    virtual void DoSeriesMouseMove(TShiftState, int, int) {}
    virtual void DoSeriesMouseUp(TMouseButton, TShiftState, int, int) {}

    // ----- legend -----
    virtual int CountLegendItems() { return Count(); }
    virtual int LegendToValueIndex(int legendIndex) { return legendIndex; }
    // clNone for a null point.
    virtual TColor LegendItemColor(int legendIndex);
    virtual std::string LegendString(int legendIndex, TLegendTextStyle style);
    virtual double GetMarkValue(int valueIndex) { return MandatoryValueList().GetValue(valueIndex); }
    // The symbol box of a legend item; valueIndex -1 is the whole series.
    virtual void DrawLegend(int valueIndex, const TRect& rect);
    virtual void DrawLegendShape(int valueIndex, const TRect& rect);
    virtual void PrepareLegendCanvas(int /*valueIndex*/, TColor& /*backColor*/, TBrushStyle& /*style*/) {}

    // ----- copies -----
    // Name of the series class, as the series-type registry knows it.
    virtual std::string ClassName() const { return "TChartSeries"; }
    // Copies the settings (colour, title, axes, formats, legend and activity),
    // not the points, not the events.
    virtual void Assign(const TChartSeries& source);
    // Replaces the points by copies of source's (values, colours, labels).
    void AssignValues(const TChartSeries& source);

    // ----- value list owner -----
    TChartValueLists& ValuesList() override { return ValueLists; }
    void NotifyValue(TValueEvent event, int index) override;
    void SwapValueIndex(int a, int b) override;
    void Repaint() override;
    void SetBooleanProperty(bool& variable, bool value) override;
    void CheckDataSource() override {}

private:
    double Extreme(bool isX, bool isMax) const;
};

// The chart's ordered list of its series (drawing order).
class TChartSeriesList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    TChartSeries* GetSeries(int i) const;
    void SetSeries(int i, TChartSeries* s);
    int CountActive() const;
    int IndexOf(const TChartSeries* s) const;
    void Add(TChartSeries* s) { items_.push_back(s); }
    void Remove(TChartSeries* s);
    void Exchange(int a, int b);
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<TChartSeries*> items_;
};

}  // namespace pellucor::chart
