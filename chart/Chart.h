#pragma once
// The chart class: the axis panel plus the layout of the plot area from the
// axes and the series' margins. Titles, legend and walls join it later; until
// then they take no room and draw nothing.
#include "chart/AxisPanel.h"

namespace pellucor::chart {

class TCustomChart : public TCustomAxisPanel {
public:
    TCustomChart() = default;

    // The axes take their ranges, each visible axis its room; ChartRect
    // becomes final and the axes take their pixel extents.
    void CalcAxisRect() override;
    // The series' pixel margins widen the automatic ends of the axes.
    void CalcSeriesRect() override;
    // Walls have no size in two dimensions.
    int CalcWallSize(const TCustomChartAxis* axis) override;
    void DrawTitlesAndLegend() override {}
    void DrawWalls() override {}
    bool IsFreeSeriesColor(TColor color, bool checkBackground) override;
};

class TChart : public TCustomChart {
public:
    TChart() = default;
};

}  // namespace pellucor::chart
