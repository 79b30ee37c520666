#pragma once
// The one seam between the main window and its chart. The main window talks
// to `Chart1` only through this interface, so wiring in the chart widget (a
// chart::TChartWidget with its 28 point series) is a new implementation and
// one line in MakeMainChart. Until then a placeholder widget stands in: it
// counts the redraws asked of it (the replot hook of the tests) and draws the
// measured points of the current spectrum so the window shows something.
#include <QWidget>

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
    // Redraw for a plot kind from the program state.
    virtual void Replot(int kind) = 0;
    // The measured and calculated phase-angle series off.
    virtual void HidePhaseAngleSeries() = 0;
    // Font sizes of titles, legend and axes: large or normal.
    virtual void SetFontSizes(bool large) = 0;
    // Panel colour: white, or the neutral window colour.
    virtual void SetBackground(bool white) = 0;
};

// The placeholder. Everything it is asked is kept for tests.
class PlaceholderChart final : public QWidget, public MainChart {
    Q_OBJECT
public:
    explicit PlaceholderChart(QWidget* parent);

    QWidget* Widget() override { return this; }
    void ShowStartSeries() override { startSeriesShown = true; }
    void SetLabelFontNormal() override { labelFontSet = true; }
    void Replot(int kind) override;
    void HidePhaseAngleSeries() override { phaseAnglesHidden = true; }
    void SetFontSizes(bool large) override { largeFonts = large; ++fontChanges; }
    void SetBackground(bool white) override;

    int replotCount = 0;
    int lastKind = 0;
    int fontChanges = 0;
    bool largeFonts = false;
    bool whiteBackground = true;
    bool startSeriesShown = false;
    bool labelFontSet = false;
    bool phaseAnglesHidden = false;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The chart of the main window, owned by `parent` as a child widget.
MainChart* MakeMainChart(QWidget* parent);

}  // namespace pellucor::mainwindow
