#pragma once
// The plots of the main window's chart `Chart1`: its 28 point series and
// axes, the replot dispatcher, the four plot routines (one data set, a group
// of up to seven sets, measured against extrapolated, Kramers-Kronig view),
// the layout helpers they share (exponent formats, equal units per pixel,
// margins round the data, the window fitted to the data) and the decoration
// drawn after every full draw of the chart (frequency labels, circuit
// picture, fit texts).
//
// Everything here works on a chart engine object, not on a widget, so the
// plots are tested and timed on a plain chart drawn onto a recording device
// or a bitmap. What the plots need of the main window (menu check marks, the
// window's size, the model library's code text, a deferred message box)
// comes through PlotWindowLinks. What one program adds (a further plot kind
// and its fit texts) comes through a PlotExtension, never as a copy.
#include <QImage>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "chart/Series.h"

namespace pellucor::mainwindow {

class MainPlots;

// The main window's side. Empty members fall back to the start-up state of
// the window (grid on, fixed window, not maximised, normal fonts, labels on).
struct PlotWindowLinks {
    std::function<bool()> GridLines;          // "Show &Grid Lines" ticked
    std::function<bool()> FixedWindow;        // "Fixed &Window" ticked
    std::function<bool()> Maximised;          // the window is maximised
    std::function<bool()> LargeFontMenu;      // "Use Large &Fonts" ticked
    std::function<bool()> LargeFontBox;       // the "Large fonts" box ticked
    std::function<bool()> FrequencyLabelsOn;  // "Freq. labels"
    std::function<void()> HidePointLabel;     // hides the clicked-point label
    // Client size of the main window and of the screen; resizing the window.
    std::function<platform::Size()> ClientSize;
    std::function<platform::Size()> ScreenSize;
    std::function<void(int width, int height)> SetClientSize;
    // The circuit code whose picture is shown (the model library's box).
    std::function<std::string()> PictureCode;
    // Shows a message box after the draw in progress has ended. Empty: the
    // message waits in PendingMessage() for whoever asks.
    std::function<void(const std::string& text)> ReportAfterDraw;
};

// What one program adds to the shared plots. Each hook answers true when it
// drew (or wrote) what was asked; false leaves the shared behaviour.
class PlotExtension {
public:
    virtual ~PlotExtension() = default;
    // A kind the shared single-set routine does not know, drawn after the
    // common opening (series cleared, axes reset, titles written).
    virtual bool PlotSingleKind(MainPlots&, int /*kind*/, int /*pointCount*/) const { return false; }
    virtual bool PlotExtrapolatedKind(MainPlots&, int /*kind*/, int /*pointCount*/) const { return false; }
    virtual bool PlotKramersKronigKind(MainPlots&, int /*kind*/, int /*pointCount*/,
                                       bool /*extended*/) const {
        return false;
    }
    // The fit texts under the circuit picture: top y0, label column x,
    // value column valueX, in the label font already on the canvas.
    virtual bool DrawFitTexts(MainPlots&, chart::TCanvas3D&, int /*x*/, int /*valueX*/,
                              int /*y0*/) const {
        return false;
    }
};

// A frequency label's text: three significant digits in general notation
// with a prefix (M, k, m, u) and no unit, e.g. "12.5k"; decimal comma when
// the program shows numbers with commas.
std::string FrequencyLabelText(double frequency);

// A label rectangle in pixels (edges inclusive for the placement tests).
struct LabelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// Whether two label rectangles share any pixel (edges inclusive).
bool RectsOverlap(const LabelRect& a, const LabelRect& b);
// True unless every corner lies strictly inside the plot shrunk by 4 pixels.
bool LabelOutsidePlotArea(const LabelRect& label, const chart::TRect& plot);

// |x| > 200000 or |x| < 0.02.
bool NeedsExponentFormat(double x);

class MainPlots {
public:
    static constexpr int SeriesCount = 28;
    static constexpr int MaxLabels = 100;

    // Creates the 28 series on `chart` with their design look and sets the
    // chart's design properties (2-D, legend, fonts, start titles).
    MainPlots(chart::TCustomChart& chart, PlotWindowLinks links = {},
              const PlotExtension* extension = nullptr);
    ~MainPlots();
    MainPlots(const MainPlots&) = delete;
    MainPlots& operator=(const MainPlots&) = delete;

    chart::TCustomChart& Chart() { return chart_; }
    // Series1..Series28 by their number.
    chart::TPointSeries& Series(int number) { return *series_[number - 1]; }
    // The data row (1-based) behind point `index` of a series, in the
    // series' own order; 0 when unknown.
    int RowOfPoint(int number, int index) const;

    // ---- dispatcher and plot routines ----
    void Replot(int kind);
    void ReplotGroup();
    void PlotSingle(int kind, int pointCount, const std::string& dataFile);
    void PlotGroup(int kind, int setCount);
    void PlotExtrapolated(int kind, int pointCount, const std::string& dataFile);
    void PlotKramersKronig(int kind, int pointCount, const std::string& dataFile);
    // Times the dispatcher was entered and the kind it was given last; the
    // kind the series hold (0 before the first plot).
    int ReplotCount() const { return replotCount_; }
    int LastReplotKind() const { return lastReplotKind_; }
    int PlottedKind() const { return plottedKind_; }

    // ---- helpers shared by the plot routines ----
    void ActivateAllSeries();
    void ClearAllSeries();
    void DeactivateAllSeries();
    void SetChartFontSizes(bool large);
    void EqualiseAxisScales();
    void SetAxisMargins();
    void FitWindowToData();
    void FormatAxesAndResize();
    // Adds a point unless a coordinate is not a finite number, and keeps the
    // data row behind it. Returns whether it was added.
    bool AddPoint(int number, double x, double y, int row);
    // Decade limits on the bottom axis (and on the left axis when asked):
    // 10^floor(log10(smallest)) .. 10^ceil(log10(largest)) over the shown
    // series; an axis without positive values keeps its automatic range.
    void DecadeLimits(bool leftToo);

    // ---- decoration (the chart's after-draw event) ----
    void AfterDraw();
    // Labels placed by the last draw, per labelled set (1 for a single set).
    const std::vector<LabelRect>& PlacedLabels(int set) const { return placed_[set - 1]; }
    const std::vector<std::string>& PlacedLabelTexts(int set) const { return placedTexts_[set - 1]; }
    // The rectangle the circuit picture took in the last draw (empty if none).
    const chart::TRect& PictureRect() const { return pictureRect_; }
    // A message the decoration could not show inside the draw; cleared by reading.
    std::string TakePendingMessage();

private:
    struct LabelPoint {
        double frequency = 0, x = 0, y = 0;
        int px = 0, py = 0;
    };

    void CommonOpening();
    void ResetAxes();
    void SetTitleLines(const std::string& line1, const std::string& line2);
    void Bind(int number, chart::TVertAxis axis, const std::string& title, bool active);
    void LinearEnding();
    // Sets ChartRect to the plot area the chart will have when it is next
    // drawn at its size, by drawing it without decoration on a scratch bitmap.
    void LayOutPlotArea();
    void DecadeEnding(int kind, bool logLeft);
    bool GridLines() const;
    bool FixedWindow() const;
    bool Maximised() const;

    // Decoration steps.
    void SetLabelFont(bool large);
    int CollectLabelPoints(int seriesNumber, int set, std::vector<LabelPoint>& out);
    void MapToPixels(std::vector<LabelPoint>& points);
    void PlaceLabels(int set, const std::vector<LabelPoint>& points, bool grouped, int setsShown);
    int DrawCircuitPicture();
    void DrawFitTexts(int x, int y0);
    const QImage* Picture(std::string& failedPath);

    chart::TCustomChart& chart_;
    PlotWindowLinks links_;
    const PlotExtension* extension_;
    std::array<std::unique_ptr<chart::TPointSeries>, SeriesCount> series_;
    std::array<std::vector<int>, SeriesCount> rows_;
    int replotCount_ = 0;
    int lastReplotKind_ = 0;
    int plottedKind_ = 0;

    // Label state of the draw in progress (per set, 1..7).
    std::array<std::vector<LabelPoint>, 7> labelPoints_;
    std::array<std::vector<LabelRect>, 7> placed_;
    std::array<std::vector<std::string>, 7> placedTexts_;
    chart::TRect pictureRect_;
    // The circuit picture, loaded once per replot.
    std::string picturePath_;
    QImage picture_;
    bool pictureLoaded_ = false;
    std::string reportedFailure_;
    std::string pendingMessage_;
};

}  // namespace pellucor::mainwindow
