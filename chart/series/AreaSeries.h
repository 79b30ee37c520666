#pragma once
// Area series: the area under a polyline, filled; several area series can
// be stacked (each on top of the ones before it) or stacked to 100 %.
#include "chart/Series.h"

namespace pellucor::chart {

enum TMultiArea { maNone, maStacked, maStacked100 };

class TAreaSeries : public TCustomSeries {
public:
    TAreaSeries();
    TMultiArea MultiArea = maNone;

    // Stores the value in every area series of the chart and repaints.
    void SetMultiArea(TMultiArea value);
    std::string ClassName() const override { return "TAreaSeries"; }
    void AssignSeries(TChartSeries& source) override;
    void Assign(const TChartSeries& source) override;
    void PrepareLegendCanvas(int valueIndex, TColor& backColor, TBrushStyle& style) override;
    int CalcYPos(int index) override;
    double CalcYPosExact(int index) override;
    int GetOriginPos(int valueIndex) override;
    bool StackedYPos(int valueIndex, int& y, double& yd) override;
    double MaxYValue() const override;
    double MinYValue() const override;
    void CalcZOrder() override;
    bool ClassHasInstance(const TChartSeries& other) const override {
        return dynamic_cast<const TAreaSeries*>(&other) != nullptr;
    }
    std::string GetEditorClass() const override { return "TAreaSeriesEditor"; }

private:
    // The stacked value (origin + v) of point valueIndex, or its share of
    // the stack in percent; false for a 100 % stack whose total is 0.
    bool StackedValue(int valueIndex, double v, double& result);
    int StackedPixel(int valueIndex, double v);
};

}  // namespace pellucor::chart
