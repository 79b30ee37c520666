#pragma once
// TMainChart: the main window's chart `Chart1` on screen. It is the chart
// engine's widget, owns the main window's plots (series, dispatcher,
// decoration) and shows what the decoration could not show inside a draw
// (a missing circuit picture) once the draw has ended.
#include "chart/widget/ChartWidget.h"
#include "mainwindow/MainChart.h"

namespace pellucor::mainwindow {

class TMainChart final : public chart::TChartWidget, public MainChart {
    Q_OBJECT
public:
    TMainChart(QWidget* parent, PlotWindowLinks links, const PlotExtension* extension);
    ~TMainChart() override;

    QWidget* Widget() override { return this; }
    void ShowStartSeries() override;
    void SetLabelFontNormal() override { labelFontSet_ = true; }
    void Replot(int kind) override;
    void HidePhaseAngleSeries() override;
    void SetFontSizes(bool large) override;
    void SetBackground(bool white) override;
    MainPlots& Plots() override { return *plots_; }

    // Facts the main window's tests read.
    int ReplotCount() const { return plots_->ReplotCount(); }
    int LastReplotKind() const { return plots_->LastReplotKind(); }
    bool LargeFonts() const { return largeFonts_; }
    bool LabelFontSet() const { return labelFontSet_; }

private:
    std::unique_ptr<MainPlots> plots_;
    bool largeFonts_ = false;
    bool labelFontSet_ = false;
};

}  // namespace pellucor::mainwindow
