#pragma once
// Axes of the chart engine: the value range shown along one edge of the plot
// area (automatic from the series bound to the axis, or fixed), the mapping
// of values to pixels and back (linear or logarithmic, optionally inverted),
// the room an axis takes from the plot area, and its drawing: title, labels,
// ticks, minor ticks and grid lines.
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "chart/ChartCanvas.h"
#include "chart/ChartProcs.h"

namespace pellucor::chart {

class TCustomAxisPanel;
class TCustomChartAxis;

// Raised by the axis setters for invalid settings; the property is unchanged.
class AxisException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

// The caption of an axis.
class TChartAxisTitle : public TChartFontObject {
public:
    TChartAxisTitle(TChartWindow* panel, TCustomChartAxis* axis);
    int Angle = 0;
    TCustomChartAxis* Axis;
    std::string Caption;

    void SetAngle(int value);
    void SetCaption(const std::string& value);
    // Angle and caption, then the font; stays attached to its own axis.
    void Assign(const TChartAxisTitle& source);
    bool IsAngleStored() const;
};

class TCustomChartAxis {
public:
    explicit TCustomChartAxis(TCustomAxisPanel* panel);
    virtual ~TCustomChartAxis();
    TCustomChartAxis(const TCustomChartAxis&) = delete;
    TCustomChartAxis& operator=(const TCustomChartAxis&) = delete;

    // The largest number of tick positions one draw collects.
    static constexpr int MaxTickPositions = 2000;

    // ----- settings (read) -----
    bool Automatic() const { return FAutomatic; }
    bool AutomaticMaximum() const { return FAutomaticMaximum; }
    bool AutomaticMinimum() const { return FAutomaticMinimum; }
    double Increment() const { return FIncrement; }
    double Maximum() const { return FMaximum; }
    double Minimum() const { return FMinimum; }
    bool Logarithmic() const { return FLogarithmic; }
    int LogarithmicBase() const { return FLogarithmicBase; }
    int TitleSize() const { return FTitleSize; }
    bool GridCentered() const { return FGridCentered; }
    bool Labels() const { return FLabels; }
    int LabelsAngle() const { return FLabelsAngle; }
    bool LabelsOnAxis() const { return FLabelsOnAxis; }
    int LabelsSeparation() const { return FLabelsSeparation; }
    int LabelsSize() const { return FLabelsSize; }
    TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
    const std::string& AxisValuesFormat() const { return FAxisValuesFormat; }
    const std::string& DateTimeFormat() const { return FDateTimeFormat; }
    bool ExactDateTime() const { return FExactDateTime; }
    bool RoundFirstLabel() const { return FRoundFirstLabel; }
    bool LabelsMultiLine() const { return FLabelsMultiLine; }
    int MinorTickCount() const { return FMinorTickCount; }
    int MinorTickLength() const { return FMinorTickLength; }
    int TickInnerLength() const { return FTickInnerLength; }
    int TickLength() const { return FTickLength; }
    bool TickOnLabelsOnly() const { return FTickOnLabelsOnly; }
    bool Inverted() const { return FInverted; }
    bool Visible() const { return FVisible; }
    double StartPosition() const { return FStartPosition; }
    double EndPosition() const { return FEndPosition; }
    double PositionPercent() const { return FPositionPercent; }

    // ----- setters -----
    void SetAutomatic(bool value);
    void SetAutomaticMaximum(bool value);
    void SetAutomaticMinimum(bool value);
    void SetMinimum(double value);
    void SetMaximum(double value);
    void InternalSetMinimum(double value) { SetDoubleProperty(FMinimum, value); }
    void InternalSetMaximum(double value) { SetDoubleProperty(FMaximum, value); }
    void SetMinMax(double a, double b);
    void SetDesiredIncrement(double value);
    void SetLogarithmic(bool value);
    void SetLogarithmicBase(int value);
    void SetLabelsSeparation(int value);
    void SetLabelsAngle(int value);
    void SetLabelStyle(TAxisLabelStyle value);
    void SetValuesFormat(const std::string& value);
    void SetDateTimeFormat(const std::string& value);
    void SetLabels(bool v) { SetBooleanProperty(FLabels, v); }
    void SetLabelsOnAxis(bool v) { SetBooleanProperty(FLabelsOnAxis, v); }
    void SetLabelsMultiLine(bool v) { SetBooleanProperty(FLabelsMultiLine, v); }
    void SetRoundFirstLabel(bool v) { SetBooleanProperty(FRoundFirstLabel, v); }
    void SetExactDateTime(bool v) { SetBooleanProperty(FExactDateTime, v); }
    void SetTickOnLabelsOnly(bool v) { SetBooleanProperty(FTickOnLabelsOnly, v); }
    void SetGridCentered(bool v) { SetBooleanProperty(FGridCentered, v); }
    void SetInverted(bool v) { SetBooleanProperty(FInverted, v); }
    void SetVisible(bool v) { SetBooleanProperty(FVisible, v); }
    void InternalSetInverted(bool v) { FInverted = v; }
    void InternalSetVisible(bool v) { FVisible = v; }
    void SetTickLength(int v) { SetIntegerProperty(FTickLength, v); }
    void SetMinorTickLength(int v) { SetIntegerProperty(FMinorTickLength, v); }
    void SetMinorTickCount(int v) { SetIntegerProperty(FMinorTickCount, v); }
    void SetTickInnerLength(int v) { SetIntegerProperty(FTickInnerLength, v); }
    void SetLabelsSize(int v) { SetIntegerProperty(FLabelsSize, v); }
    void SetTitleSize(int v) { SetIntegerProperty(FTitleSize, v); }
    void SetStartPosition(double v) { SetDoubleProperty(FStartPosition, v); }
    void SetEndPosition(double v) { SetDoubleProperty(FEndPosition, v); }
    void SetPositionPercent(double v) { SetDoubleProperty(FPositionPercent, v); }
    void SetAxis(const TChartPen& p) { Axis->Assign(p); }
    void SetTicks(const TChartPen& p) { Ticks->Assign(p); }
    void SetTicksInner(const TChartPen& p) { TicksInner->Assign(p); }
    void SetMinorTicks(const TChartPen& p) { MinorTicks->Assign(p); }
    void SetGrid(const TChartPen& p) { Grid->Assign(p); }
    void SetMinorGrid(const TChartPen& p) { MinorGrid->Assign(p); }
    void SetLabelsFont(const TFont& f) { LabelsFont->AssignFont(f); }
    void SetAxisTitle(const TChartAxisTitle& t) { Title->Assign(t); }

    // Copies every setting (orientation included) from another axis.
    void Assign(const TCustomChartAxis& source);
    // Whether a stored definition writes Minimum / Maximum / the format.
    bool IsMinStored() const { return !FAutomatic && !FAutomaticMinimum; }
    bool IsMaxStored() const { return !FAutomatic && !FAutomaticMaximum; }
    bool IsFormatStored() const { return FAxisValuesFormat != "#,##0.###"; }

    // ----- owned objects -----
    std::unique_ptr<TChartAxisPen> Axis;
    std::unique_ptr<TChartAxisTitle> Title;
    std::unique_ptr<TDottedGrayPen> Grid;
    std::unique_ptr<TFont> LabelsFont;
    std::unique_ptr<TChartHiddenPen> MinorGrid;
    std::unique_ptr<TDarkGrayPen> MinorTicks;
    std::unique_ptr<TDarkGrayPen> Ticks;
    std::unique_ptr<TDarkGrayPen> TicksInner;

    // ----- layout state of the last draw -----
    int AxisLinePos = 0;
    int TitlePos = 0;
    int LabelsPos = 0;
    double RangeMax = 0;
    double RangeMin = 0;
    double RangeSpan = 0;
    bool LabelsAsDates = false;
    int PixelCentre = 0;
    int TitleAngleDefault = 0;
    int PixelStart = 0;
    int PixelEnd = 0;
    int PixelSize = 0;
    bool HorizontalAxis = false;
    bool FarSide = false;
    bool DepthAxisFlag = false;
    TCustomAxisPanel* OwnerPanel;

    // ----- range and mapping -----
    void CalcMinMax(double& aMin, double& aMax);
    void AdjustMaxMin();
    void AdjustMaxMinRect(const TRect& margins);
    int CalcPosValue(double value);
    int CalcXPosValue(double value);
    int CalcYPosValue(double value);
    // Pixel positions as reals, neither rounded nor clipped (NaN for a value
    // that has no position, such as zero on a logarithmic axis): series clip
    // their segments against the plot with these.
    double CalcXPosExact(double value) const;
    double CalcYPosExact(double value) const;
    // Both at once: pos as CalcXPosValue (isX) or CalcYPosValue gives it,
    // exact as CalcXPosExact or CalcYPosExact.
    void CalcPosValues(double value, bool isX, int& pos, double& exact) const;
    int CalcSizeValue(double value);
    double CalcPosPoint(int pixel);
    double InternalCalcLog(double& logMax, double& logMin) const;
    int InternalCalcPosValue(double value, bool fromEnd) const;
    int InternalCalcLogPosValue(bool isX, double value) const;
    int InternalCalcDepthPosValue(double value) const;
    bool IsDateTime();

    // ----- layout -----
    void InternalCalcPositions();
    void RecalcSizeCenter();
    int GetRectangleEdge(const TRect& r) const;
    int ApplyPosition(int pos, const TRect& r) const;
    void CalcRect(TRect& r, bool inflateChartRectangle);
    int SizeTickAxis() const;
    int SizeTitle();
    int SizeLabels();
    int InternalCalcSize(const TFont& font, int angle, const std::string& text, int fixedSize);

    // ----- interaction -----
    bool Clicked(int x, int y);
    void Scroll(double offset, bool checkLimits);

    // ----- drawing -----
    void Draw(bool calcPosAxis);
    double CalcIncrement();
    double CalcXYIncrement(int maxLabelSize);
    double CalcLabelsIncrement(int maxNumLabels);
    double CalcDateTimeIncrement(int maxNumLabels);
    int LabelWidth(double value);
    int LabelHeight(double value);
    std::string LabelValue(double value);
    TAxisLabelStyle CalcLabelStyle();
    int MaxLabelsWidth();
    void PrepareTextCanvas(const TFont& font);
    void DrawTitle(int x, int y);
    void DrawAxisLabel(int x, int y, int angle, const std::string& text);
    void IncDecDateTime(bool increment, double& value, double anIncrement, TDateTimeStep step);
    void CustomDrawStartEnd(int posLabels, int posTitle, int posAxis, bool gridVisible,
                            int startPos, int endPos);
    void CustomDraw(int posLabels, int posTitle, int posAxis, bool gridVisible);
    void CustomDrawMinMax(int posLabels, int posTitle, int posAxis, bool gridVisible,
                          double aMinimum, double aMaximum, double aIncrement);
    void CustomDrawMinMaxStartEnd(int posLabels, int posTitle, int posAxis, bool gridVisible,
                                  double aMinimum, double aMaximum, double aIncrement,
                                  int startPos, int endPos);

    // Tick positions collected by the last Draw, in label order.
    const std::vector<int>& TickPositions() const { return FTicks; }
    // Minor tick positions of the tick list (strictly inside the axis).
    std::vector<int> MinorTickPositions();

protected:
    void SetBooleanProperty(bool& variable, bool value);
    void SetIntegerProperty(int& variable, int value);
    void SetDoubleProperty(double& variable, double value);
    void SetStringProperty(std::string& variable, const std::string& value);
    bool PanelLoading() const;
    void Repaint();

private:
    // A span at or below this is no span: below the resolution of the values.
    double ZeroSpanLimit() const;
    // Drawing helpers.
    void AddTick(int pos);
    void DrawValueLabels(double step);
    void DrawLinearLabels(double step);
    void DrawLogLabels();
    // The values the logarithmic loop labels from low (> 0) to RangeMax: the
    // powers of the base, or low times them when low stands in for an end of
    // zero or less.
    std::vector<double> LogLabelValues(double low, bool fromLow) const;
    void DrawCustomLabels(double step);
    void DrawSeriesLabels(TAxisLabelStyle style);
    void DrawDepthTitles();
    void PlaceLabelAt(double value);
    void WriteLabel(int pos, const std::string& text);
    void DrawTicksAndGrid();
    void DrawTick(int pos, int offset, int length, int wall);
    void DrawGridLine(int pos);
    int LabelExtent(double value, bool widthNotHeight);

    bool FAutomatic = true;
    bool FAutomaticMaximum = true;
    bool FAutomaticMinimum = true;
    double FIncrement = 0;
    double FMaximum = 0;
    double FMinimum = 0;
    bool FLogarithmic = false;
    int FLogarithmicBase = 10;
    int FTitleSize = 0;
    bool FGridCentered = false;
    bool FLabels = true;
    int FLabelsAngle = 0;
    bool FLabelsOnAxis = true;
    int FLabelsSeparation = 10;
    int FLabelsSize = 0;
    TAxisLabelStyle FLabelStyle = talAuto;
    std::string FAxisValuesFormat = "#,##0.###";
    std::string FDateTimeFormat;
    bool FExactDateTime = true;
    bool FRoundFirstLabel = true;
    bool FLabelsMultiLine = false;
    int FMinorTickCount = 3;
    int FMinorTickLength = 2;
    int FTickInnerLength = 0;
    int FTickLength = 4;
    bool FTickOnLabelsOnly = true;
    bool FInverted = false;
    bool FVisible = true;
    double FStartPosition = 0;
    double FEndPosition = 100;
    double FPositionPercent = 0;

    // Logarithms of the range ends, kept while the ends stay the same.
    mutable double FLogCacheMin = 0, FLogCacheMax = 0;
    mutable double FLogCacheLogMin = std::nan(""), FLogCacheLogMax = std::nan("");
    // Working state of one Draw.
    std::vector<int> FTicks;
    bool FTicksFull = false;
};

class TChartAxis : public TCustomChartAxis {
public:
    using TCustomChartAxis::TCustomChartAxis;
};

class TChartDepthAxis : public TCustomChartAxis {
public:
    explicit TChartDepthAxis(TCustomAxisPanel* panel);
};

}  // namespace pellucor::chart
