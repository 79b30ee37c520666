#pragma once
// The axis panel: owns the series and the five axes of a chart, answers the
// data range of each axis, pages through long series, hands out palette
// colours and runs the fixed drawing order of every chart (background,
// titles and legend, layout, walls, axes, series, marks, zoom rectangle,
// after-draw event).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartAxis.h"
#include "chart/ChartPanel.h"
#include "chart/ChartSeries.h"

namespace pellucor::chart {

// Engine-wide: axes are drawn before (behind) the series.
extern bool AxisBehindSeries;

using TAxisOnGetLabel =
    std::function<void(TChartAxis* sender, TChartSeries* series, int valueIndex, std::string& labelText)>;
using TAxisOnGetNextLabel =
    std::function<void(TChartAxis* sender, int labelIndex, double& labelValue, bool& stop)>;
using TNotifyEvent = std::function<void(TCustomAxisPanel* sender)>;

class TCustomAxisPanel : public TCustomChartPanelExtended {
public:
    TCustomAxisPanel();
    ~TCustomAxisPanel() override;

    TChartSeriesList SeriesList;
    // Creation order bottom, top, left, right, depth; the layout and the
    // drawing walk this list. Owned.
    std::vector<std::unique_ptr<TCustomChartAxis>> PanelAxes;
    TChartAxis* BottomAxis = nullptr;
    TChartAxis* TopAxis = nullptr;
    TChartAxis* LeftAxis = nullptr;
    TChartAxis* RightAxis = nullptr;
    TChartDepthAxis* DepthAxis = nullptr;
    bool View3DWalls = true;
    bool ClipPoints = true;
    bool AxisVisible = true;
    TAxisOnGetLabel OnGetAxisLabel;
    TAxisOnGetNextLabel OnGetNextAxisLabel;
    TNotifyEvent OnPageChange;
    TNotifyEvent OnBeforeDrawAxes;
    TNotifyEvent OnBeforeDrawSeries;
    int Page = 1;
    int MaxPointsPerPage = 0;
    bool ScaleLastPage = true;
    int LastDepthSlot = 0;
    int SlotDepth3D = 0;
    int SlotHeight3D = 0;
    // The legend's colour as of its last draw; series legend symbols that
    // match it get an outline so they stay visible.
    TColor LegendBackColor = clWhite;

    // Adds an axis to the axis list (the axes do this when created).
    void AddAxis(std::unique_ptr<TCustomChartAxis> axis) { PanelAxes.push_back(std::move(axis)); }

    // ----- layout operations the chart class fills in -----
    virtual void CalcAxisRect() = 0;
    virtual void CalcSeriesRect() = 0;
    virtual int CalcWallSize(const TCustomChartAxis* axis) = 0;
    virtual void DrawTitlesAndLegend() = 0;
    virtual void DrawWalls() = 0;
    virtual bool IsFreeSeriesColor(TColor color, bool checkBackground) = 0;
    virtual std::string FormattedValueLegend(TChartSeries*, int) { return {}; }

    // The axes and the panel settings of source, not its series.
    void Assign(const TCustomAxisPanel& source);

    // ----- series -----
    void FreeAllSeries();
    void AddSeries(TChartSeries* series);
    void InternalAddSeries(TChartSeries* series);
    void RemoveSeries(TChartSeries* series);
    TChartSeries* GetSeries(int index) const;
    int SeriesCount() const { return SeriesList.Count(); }
    TChartSeries* GetAxisSeries(const TCustomChartAxis* axis) const;
    bool NoActiveSeries(const TCustomChartAxis* axis) const;
    bool IsAxisVisible(const TCustomChartAxis* axis) const;
    double MinXValue(const TCustomChartAxis* axis) const { return InternalMinMax(axis, true, true); }
    double MaxXValue(const TCustomChartAxis* axis) const { return InternalMinMax(axis, false, true); }
    double MinYValue(const TCustomChartAxis* axis) const { return InternalMinMax(axis, true, false); }
    double MaxYValue(const TCustomChartAxis* axis) const { return InternalMinMax(axis, false, false); }
    double InternalMinMax(const TCustomChartAxis* axis, bool isMin, bool isX) const;
    int GetMaxValuesCount() const;
    TChartSeries* ActiveSeriesLegend(int itemIndex) const;
    std::string SeriesTitleLegend(int seriesIndex) const;
    int MaxTextWidth();
    // The widest mark text of the active series with visible marks.
    int MaxMarkWidth();
    TColor GetFreeSeriesColor(bool checkBackground);

    // ----- pages -----
    virtual int NumPages() const;
    virtual void SetPage(int value);
    void SetMaxPointsPerPage(int value);

    void SetAxisVisible(bool v) { SetBooleanProperty(AxisVisible, v); }
    void SetClipPoints(bool v) { SetBooleanProperty(ClipPoints, v); }
    void SetView3DWalls(bool v) { SetBooleanProperty(View3DWalls, v); }
    void SetScaleLastPage(bool v) { SetBooleanProperty(ScaleLastPage, v); }

    void CalcSize3DWalls();
    void InternalDraw(const TRect& userRect) override;

private:
    void DrawAxes();
    void DrawOneSeries(TChartSeries* series);
    void DrawSeriesMarks(TChartSeries* series);
    int PageCountOfAxis(const TCustomChartAxis* axis) const;
};

}  // namespace pellucor::chart
