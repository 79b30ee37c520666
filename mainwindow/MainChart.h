#pragma once
// The one seam between the main window and its chart. The main window talks
// to `Chart1` only through this interface; MakeMainChart is the one place
// that picks the widget: the chart engine's widget with the 28 series of the
// main window and its plots (mainwindow/plots/).
#include <QWidget>

#include "mainwindow/plots/MainPlots.h"

namespace pellucor::mainwindow {

class MainChart {
public:
    virtual ~MainChart() = default;
    // The widget in the main window's layout; objectName "Chart1".
    virtual QWidget* Widget() = 0;
    // All 28 series off, then "Msd." and "Calc." on (creation of the window).
    virtual void ShowStartSeries() = 0;
    // The label font of the after-draw decoration (Arial, blue, clear brush).
    virtual void SetLabelFontNormal() = 0;
    // Redraw for a plot kind from the program state (the replot dispatcher).
    virtual void Replot(int kind) = 0;
    // The measured and calculated phase-angle series off.
    virtual void HidePhaseAngleSeries() = 0;
    // Font sizes of titles, legend and axes: large or normal.
    virtual void SetFontSizes(bool large) = 0;
    // Panel colour: white, or the neutral window colour.
    virtual void SetBackground(bool white) = 0;
    // The plots behind the widget: series, dispatcher, decoration.
    virtual MainPlots& Plots() = 0;
};

// The chart of the main window, owned by `parent` as a child widget.
MainChart* MakeMainChart(QWidget* parent, PlotWindowLinks links, const PlotExtension* extension);

}  // namespace pellucor::mainwindow
