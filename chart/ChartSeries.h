#pragma once
// The series base class as far as the axes and the drawing pipeline use it:
// the points (x and y value lists, colours, labels), activity, the axes a
// series is bound to, the data extremes for automatic axis ranges, and the
// per-draw hooks. Concrete series (point, line) override DrawValue and the
// margin queries.
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
    virtual int AddXY(double x, double y, const std::string& label = {},
                      TColor color = UseSeriesColor);
    virtual void Clear();
    virtual void Delete(int valueIndex);
    virtual double GetxValue(int index) const { return XValues->GetValue(index); }
    virtual double GetyValue(int index) const { return YValues->GetValue(index); }
    virtual std::string GetXLabel(int index) const;
    virtual TColor GetValueColor(int index) const;
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
    virtual double MaxZValue() const { return GetZOrder(); }
    virtual double MinZValue() const { return GetZOrder(); }

    // ----- setters -----
    virtual void SetActive(bool value);
    virtual void SetSeriesColor(TColor value);
    void SetTitle(const std::string& value);

    // ----- drawing -----
    virtual void DoBeforeDrawChart() {}
    virtual void DoBeforeDrawValues() {}
    virtual void DoAfterDrawValues() {}
    virtual void DrawAllValues();
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
