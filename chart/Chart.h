#pragma once
// The chart class: the axis panel plus title, foot, legend and walls, the
// layout of the plot area from the axes and the series' margins, the series
// housekeeping, the hit test of a mouse press and the registry of series
// types.
#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "chart/AxisPanel.h"
#include "chart/ChartOutput.h"

namespace pellucor::chart {

class TCustomChart;

// Raised by the legend setters for invalid settings; the property is unchanged.
class LegendException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Gap in pixels between a title or foot and the plot.
constexpr int ChartTitleFootDistance = 5;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TLegendAlignment { laLeft, laRight, laTop, laBottom };
enum TLegendStyle { lsAuto, lsSeries, lsValues, lsLastValues };

// A plane behind (back) or beside (left, bottom; 3-D only) the plot.
class TChartWall {
public:
    explicit TChartWall(TCustomChart* chart);
    TColor Color = UseSeriesColor;  // UseSeriesColor: no fill
    std::unique_ptr<TChartBrush> Brush;
    bool Dark3D = true;
    std::unique_ptr<TChartPen> Pen;
    int Size = 0;
    TCustomChart* ParentChart;
    TColor DefaultColor = UseSeriesColor;

    void SetColor(TColor value);
    void SetDark3D(bool value);
    void SetSize(int value);
    bool ApplyDark3D() const { return Dark3D && Brush->GetStyle() != TBrushStyle::Clear; }
    void Assign(const TChartWall& source);
};

// The title above the plot or the foot below it.
class TChartTitle : public TChartFontObject {
public:
    explicit TChartTitle(TCustomChart* chart);
    bool AdjustFrame = true;
    TAlignment Alignment = taCenter;
    std::unique_ptr<TChartBrush> Brush;
    TColor Color = UseSeriesColor;  // UseSeriesColor: see-through unless Brush gives one
    std::unique_ptr<TChartHiddenPen> Frame;
    // The lines, top to bottom. Change them through SetText, Clear and Add
    // (or change the vector and call Repaint()).
    std::vector<std::string> Text;
    TRect TitleRect;
    bool Visible = true;

    void SetText(const std::vector<std::string>& lines);
    void Clear();
    void Add(const std::string& line);
    void SetAlignment(TAlignment value);
    void SetVisible(bool value);
    void SetAdjustFrame(bool value);
    void SetColor(TColor value);
    // Inside TitleRect: left and top edges in, right and bottom edges out.
    bool Clicked(int x, int y) const;
    // Draws the title (onTop) or the foot and takes its room from ChartRect.
    void Draw(bool onTop);
    void Assign(const TChartTitle& source);

private:
    TCustomChart* Chart;
};

class TCustomChartLegend : public TChartFontObject {
public:
    explicit TCustomChartLegend(TCustomChart* chart);
    virtual ~TCustomChartLegend() = default;

    TLegendAlignment Alignment = laRight;
    std::unique_ptr<TChartBrush> Brush;
    TColor Color = clWhite;
    int ColorWidth = 12;
    std::unique_ptr<TChartHiddenPen> DividingLines;
    int FirstValue = 0;
    std::unique_ptr<TChartPen> Frame;
    int HorizMargin = 0;
    bool Inverted = false;
    TLegendStyle LegendStyle = lsAuto;
    int MaxNumRows = 10;
    TRect LegendRect;
    bool ResizeChart = true;
    TColor ShadowColor = clBlack;
    int ShadowSize = 3;
    TLegendTextStyle TextStyle = ltsLeftValue;
    int TopPos = 10;
    int VertMargin = 0;
    bool Visible = true;
    int SymbolWidth = 0;
    TLegendStyle EffectiveStyle = lsAuto;
    int ColumnCount = 0, RowCount = 0;

    void SetTopLeftPos(int value);
    void SetFirstValue(int value);
    void SetColorWidth(int value);
    void SetVisible(bool value);
    void SetInverted(bool value);
    void SetMaxNumRows(int value);
    void SetHorizMargin(int value);
    void SetVertMargin(int value);
    void SetResizeChart(bool value);
    void SetColor(TColor value);
    void SetShadowColor(TColor value);
    void SetShadowSize(int value);
    void SetAlignment(TLegendAlignment value);
    void SetTextStyle(TLegendTextStyle value);
    void SetLegendStyle(TLegendStyle value);

    TCustomChart* GetParentChart() const { return Chart; }
    bool GetVertical() const { return Alignment == laLeft || Alignment == laRight; }
    void CalcLegendStyle();
    int TotalLegendItems();
    std::string FormattedLegend(int index);
    std::string FormattedValue(TChartSeries* series, int valueIndex);
    int MaxLegendWidth(int count);
    virtual int MaxLegendValues(int start, int itemSize);
    TRect GetColorRect(int x, int y0, int y1) const { return TRect{x - SymbolWidth, y0 + 2, x, y1 - 2}; }
    virtual void Draw();
    // Position (from the top, or row by row) of the item under (x, y); -1 for none.
    int Clicked(int x, int y);
    virtual void Assign(const TCustomChartLegend& source);

private:
    void Set(int& field, int value);
    void Set(bool& field, bool value);
    TCustomChart* Chart;
};

class TChartLegend : public TCustomChartLegend {
public:
    using TCustomChartLegend::TCustomChartLegend;
};

// What a mouse press hit.
enum TChartClickedPartStyle { cpNone, cpLegend, cpAxis, cpSeries, cpTitle, cpFoot, cpChartRect };
struct TChartClickedPart {
    TChartClickedPartStyle HitKind = cpNone;
    int HitIndex = -1;
    TChartSeries* HitSeries = nullptr;
    TCustomChartAxis* HitAxis = nullptr;
};

using TChartClickSeries = std::function<void(TCustomChart* sender, TChartSeries* series, int valueIndex,
                                             TMouseButton button, TShiftState shift, int x, int y)>;
using TChartClickAxis = std::function<void(TCustomChart* sender, TChartAxis* axis, TMouseButton button,
                                           TShiftState shift, int x, int y)>;
using TChartClick =
    std::function<void(TCustomChart* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TChartMouseEvent =
    std::function<void(TCustomChart* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TOnGetLegendText =
    std::function<void(TCustomAxisPanel* sender, TLegendStyle style, int index, std::string& text)>;
using TOnGetLegendPos = std::function<void(TCustomChart* sender, int index, int& x, int& y, int& xColor)>;
using TOnGetLegendRect = std::function<void(TCustomChart* sender, TRect& rect)>;

// ----- mouse settings of every chart (start-up values; the programs keep them) -----
// The button that drags the zoom rectangle (mbLeft) and the one that pans (mbRight).
extern TMouseButton ChartZoomMouseButton;
extern TMouseButton ChartScrollMouseButton;
// Keys that must be held as well to zoom or to pan (none).
extern TShiftState ChartZoomKeyShift;
extern TShiftState ChartScrollKeyShift;
// Each step of an animated zoom covers 1 / factor of the remaining distance (3).
extern double AnimatedZoomFactor;

// The scale settings of one axis, as undo restores them.
struct AxisScaleRecord {
    bool Automatic = true;
    bool AutomaticMinimum = true;
    bool AutomaticMaximum = true;
    double Minimum = 0;
    double Maximum = 0;
};
// Top, left, right and bottom axis, in this order.
using TAllAxisSavedScales = std::array<AxisScaleRecord, 4>;

// Asked before each panning step of an axis: may change the new range or refuse the step.
using TChartAllowScrollEvent =
    std::function<void(TChartAxis* sender, double& aMin, double& aMax, bool& allowScroll)>;
using TChartMouseMoveEvent = std::function<void(TCustomChart* sender, TShiftState shift, int x, int y)>;

// A chart as the output routines (ChartOutput.h) see it: its own client
// rectangle, drawing cycle, print settings and name.
class TChartOutputOf final : public TChartOutputSource {
public:
    explicit TChartOutputOf(TCustomChart& chart) : chart_(chart) {}
    TRect GetRectangle() const override;
    void Draw(TCanvas* canvas, const TRect& rect) override;
    bool GetBufferedDisplay() const override;
    void SetBufferedDisplay(bool buffered) override;
    void SetDrawingToMetafile(bool value) override;
    void SetPrinting(bool value) override;
    bool CanClip() override;
    int GetPrintResolution() const override;
    bool GetPrintProportional() const override;
    TRect& PageMargins() override;
    std::string GetName() const override;

private:
    TCustomChart& chart_;
};

class TCustomChart : public TCustomAxisPanel {
public:
    TCustomChart();
    ~TCustomChart() override;

    bool BackImageInside = false;
    std::unique_ptr<TChartWall> BackWall;
    std::unique_ptr<TChartWall> BottomWall;
    std::unique_ptr<TChartTitle> Foot;
    std::unique_ptr<TChartWall> LeftWall;
    std::unique_ptr<TChartLegend> Legend;
    std::unique_ptr<TChartTitle> Title;
    bool UndoScalesEmpty = true;

    TChartClickSeries OnClickSeries;
    TChartClickAxis OnClickAxis;
    TChartClick OnClickLegend;
    TChartClick OnClickBackground;
    TOnGetLegendText OnGetLegendText;
    TOnGetLegendPos OnGetLegendPos;
    TOnGetLegendRect OnGetLegendRect;
    // The window's own press event, raised before the chart's work.
    TChartMouseEvent OnMouseDown;

    // ----- owned objects -----
    TChartPen* GetFrame() const { return BackWall ? BackWall->Pen.get() : nullptr; }
    void SetFrame(const TChartPen& pen) { BackWall->Pen->Assign(pen); }
    TColor GetBackColor() const { return BackWall->Color; }
    void SetBackColor(TColor value);
    void SetBackImageInside(bool value) { SetBooleanProperty(BackImageInside, value); }
    void Assign(const TCustomChart& source);

    // ----- drawing pipeline steps -----
    void CalcAxisRect() override;
    void CalcSeriesRect() override;
    int CalcWallSize(const TCustomChartAxis* axis) override;
    void DrawTitlesAndLegend() override;
    void DrawWalls() override;
    void DrawImage(const TRect& rect) override;
    bool IsFreeSeriesColor(TColor color, bool checkBackground) override;

    // ----- legend texts -----
    std::string FormattedLegend(int index);
    std::string FormattedValueLegend(TChartSeries* series, int valueIndex) override;

    // ----- series housekeeping -----
    TChartSeries* GetASeries() const;
    void SeriesUp(TChartSeries* series);
    void SeriesDown(TChartSeries* series);
    void ExchangeSeries(int a, int b);
    void RemoveAllSeries();
    void NextPage();
    void PreviousPage();
    static TBrushStyle GetDefaultPattern(int index);

    // ----- mouse -----
    // The series drawn last is tested first, then axes, title, foot, plot
    // area and legend.
    TChartClickedPart CalcClickedPart(TPoint pos);
    // A press: OnMouseDown, then the click event of what was hit
    // (OnClickSeries after the series' own OnClick); a press on a series,
    // an axis or the plot area that no handler kept (CancelMouseAction left
    // True) starts a zoom (ChartZoomMouseButton) or panning
    // (ChartScrollMouseButton).
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);

    // ----- mouse: drags, release, wheel -----
    TAllAxisSavedScales UndoScales;
    TChartAllowScrollEvent OnAllowScroll;
    // The window's own move and release events, raised before the chart's work.
    TChartMouseMoveEvent OnMouseMove;
    TChartMouseEvent OnMouseUp;

    // Moves the zoom rectangle's corner, pans, or shows the cursor of the
    // series under the mouse.
    virtual void MouseMove(TShiftState shift, int x, int y);
    // Ends a drag: a zoom rectangle of 17 pixels or more each way zooms
    // (dragged right and down) or undoes the zoom (any other way).
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    // A wheel turn (120 a notch; finer wheels add up to whole notches).
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);
    // Every axis that is not horizontal moves by 3 % of its range: up the
    // values (down) or down them.
    void ScrollVerticalAxes(bool down);
    // The axis title, or "Left Axis", "Right Axis", "Top Axis",
    // "Bottom Axis", "Depth Axis".
    std::string AxisTitleOrName(const TCustomChartAxis* axis) const;

    // ----- zoom -----
    void ZoomRect(const TRect& rect);
    // Zooms to the zoom record's rectangle (its corners put in order).
    virtual void CalcZoomPoints();
    void DoZoom(double topMin, double topMax, double bottomMin, double bottomMax, double leftMin,
                double leftMax, double rightMin, double rightMax);
    // Percent 110 takes 10 % of each axis' computed range off each end.
    void ZoomPercent(double percent);
    // Back to the scales saved before the first zoom or pan (when any).
    void UndoZoom() override;
    TAllAxisSavedScales SaveScales() const;
    void RestoreScales(const TAllAxisSavedScales& scales);
    // Draws the zoom rectangle (not-xor: a second call erases it) where the
    // window's picture is: the buffer picture, or the window canvas.
    void DrawZoomRectangleOnScreen();
    // Redraws at once (the animated zoom shows its steps this way); a window
    // repaints itself, a chart without one draws into its buffer.
    virtual void Refresh();

    // ----- pictures, clipboard, printing (ChartOutput.h) -----
    // The name of the chart (the print job's title).
    std::string Name;
    virtual std::string GetName() const { return Name; }
    // The chart as the output routines take it.
    TChartOutputSource& Output() { return output_; }
    void DrawToMetaCanvas(TCanvas* canvas, const TRect& rect);
    void SaveToMetafileRect(bool enhanced, const std::string& fileName, const TRect& rect);
    // A placeable metafile (.wmf), an enhanced metafile (.emf), a bitmap file
    // (.bmp) of the client area; PictureFileError when it cannot be written.
    void SaveToMetafile(const std::string& fileName);
    void SaveToMetafileEnh(const std::string& fileName);
    void SaveToBitmapFile(const std::string& fileName);
    void CopyToClipboardBitmap();
    void CopyToClipboardMetafile(bool enhanced);
    void PrintPartialCanvas(TCanvas* canvas, const TRect& rect);
    void PrintPartial(platform::Printer& printer, const TRect& rect);
    TRect CalcProportionalMargins(platform::Printer& printer);
    TRect ChartPrintRect(platform::Printer& printer);
    void PrintRect(platform::Printer& printer, const TRect& rect);
    void Print(platform::Printer& printer);
    void PrintOrientation(platform::Printer& printer, platform::PrinterOrientation orientation);
    void PrintPortrait(platform::Printer& printer);
    void PrintLandscape(platform::Printer& printer);

private:
    // Moves axis as the mouse went from pixel a to pixel b.
    void PanAxis(TCustomChartAxis* axis, int a, int b);
    TChartOutputOf output_{*this};
    int wheelAccumulator_ = 0;
};

class TChart : public TCustomChart {
public:
    TChart() = default;
};

// ----- series-type registry -----

// Makes a new series of one registered class.
using TSeriesFactory = std::function<TChartSeries*()>;

struct TChartSeriesType {
    std::string SeriesType;    // class name of the series ("" for a function only)
    TSeriesFactory Create;     // makes a series of that class
    std::string FunctionType;  // class name of the function ("" for none)
    std::string TypeDescription;  // at most 20 characters
    std::string PageName;         // at most 20 characters
    int GallerySeriesCount = 0;
};

class TChartSeriesTypes {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    const TChartSeriesType& GetSeriesType(int i) const;
    // The first registration of that series class without a function, or none.
    const TChartSeriesType* FindSeriesClass(const std::string& seriesClass) const;
    void Add(TChartSeriesType t) { items_.push_back(std::move(t)); }
    void RemoveIf(const std::function<bool(const TChartSeriesType&)>& pred);

private:
    std::vector<TChartSeriesType> items_;
};

// The registry (empty until the first registration).
TChartSeriesTypes& ChartSeriesTypes();
// Registering the same pair of classes twice is ignored.
void RegisterChartSeriesFunction(const std::string& seriesClass, TSeriesFactory create,
                                 const std::string& functionClass, const std::string& description,
                                 const std::string& pageName, int gallerySeriesCount);
void RegisterChartSeries(const std::string& seriesClass, TSeriesFactory create, const std::string& description,
                         const std::string& pageName, int gallerySeriesCount);
void RegisterChartFunction(const std::string& functionClass, const std::string& description,
                           const std::string& pageName, int gallerySeriesCount);
void RegisterChartBasicFunction(const std::string& functionClass, const std::string& description);
void UnRegisterChartSeries(const std::vector<std::string>& seriesClasses);
void UnRegisterChartFunctions(const std::vector<std::string>& functionClasses);
std::string GetChartFunctionDescription(const std::string& functionClass);
// A new series of a registered class on chart, named "Series" + the lowest
// number no series of the chart uses. The caller owns it.
std::unique_ptr<TChartSeries> CreateNewSeries(TCustomChart* chart, const std::string& seriesClass);
// A new series of the same class on the same chart with the settings and
// points of series.
std::unique_ptr<TChartSeries> CloneChartSeries(const TChartSeries& series);
// Moves series to a new series of class newClass: settings, events, data
// sources, function, marks, points, name and place in the chart's series list
// go over, series fed from it are fed from the new one, the old series is
// freed.
// Nothing happens when it already is of that class.
void ChangeSeriesType(std::unique_ptr<TChartSeries>& series, const std::string& newClass);
void AssignSeries(std::unique_ptr<TChartSeries>& oldSeries, std::unique_ptr<TChartSeries>& newSeries);

}  // namespace pellucor::chart
