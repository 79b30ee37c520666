#pragma once
// Fast-line series: a plain polyline in one pen, with none of the per-point
// work of the line series (no markers, no point colours, no null breaks).
// Without AutoRepaint each added point's segment is drawn at once.
#include <memory>

#include "chart/ChartSeries.h"

namespace pellucor::chart {

class TFastLineSeries : public TChartSeries {
public:
    TFastLineSeries();
    bool AutoRepaint = true;
    std::unique_ptr<TChartPen> LinePen;
    // Pixel position of the last point drawn.
    int LastX = 0, LastY = 0;

    void SetLinePen(const TChartPen& pen);
    void SetSeriesColor(TColor value) override;
    void NotifyNewValue(TChartSeries* sender, int valueIndex) override;
    std::string ClassName() const override { return "TFastLineSeries"; }
    void AssignSeries(TChartSeries& source) override;
    void Assign(const TChartSeries& source) override;
    void DrawAllValues() override;
    void DrawValue(int valueIndex) override;
    bool DrawEveryValue() const override { return true; }
    void DrawMark(int valueIndex, const std::string& text, TSeriesMarkPosition& position) override;
    int Clicked(int x, int y) override;
    void DrawLegendShape(int valueIndex, const TRect& rect) override;
    virtual std::string GetEditorClass() const { return "TFastLineSeriesEditor"; }

private:
    void PrepareCanvas();
};

}  // namespace pellucor::chart
