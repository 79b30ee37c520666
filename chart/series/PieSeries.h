#pragma once
// Series drawn in a circle instead of against axes (TCircledSeries), and the
// pie (TPieSeries): one slice per point, slices exploded outwards, and an
// optional "other" slice that gathers the small ones.
//
// The pie works out its slices (their order, which points the other slice
// gathers, its value and the angles) in its own drawing state and never
// changes the series' points while it draws: a draw neither adds nor
// deletes points nor asks for another draw.
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "chart/ChartProcs.h"
#include "chart/ChartSeries.h"

namespace pellucor::chart {

constexpr double TwoPi = 2 * std::numbers::pi;
constexpr double HalfPi = std::numbers::pi / 2;
constexpr double PiDegree = std::numbers::pi / 180;

class PieException : public ChartException {
public:
    using ChartException::ChartException;
};

class TCircledSeries : public TChartSeries {
public:
    TCircledSeries();
    ~TCircledSeries() override;

    bool Circled = false;
    int RotationAngle = 0;  // degrees
    int CustomXRadius = 0, CustomYRadius = 0;
    int XRadius = 0, YRadius = 0;
    TColor CircleBackColor = UseSeriesColor;
    double RotationRadians = 0;
    int CircleWidth = 0, CircleHeight = 0, CircleXCenter = 0, CircleYCenter = 0;
    TRect CircleRect;

    void SetCircled(bool value);
    // A negative angle raises PieException; the angle is kept modulo 360.
    void SetRotationAngle(int value);
    void Rotate(int degrees);
    void SetCustomXRadius(int value);
    void SetCustomYRadius(int value);
    void SetCircleBackColor(TColor value) { SetColorProperty(CircleBackColor, value); }
    TColor CalcCircleBackColor();
    void AdjustCircleRect();
    void CalcRadius();
    void AngleToPos(double angle, double rx, double ry, int& x, int& y) const;
    double PointToAngle(int x, int y) const;
    // Axes, clipping and walls go off while a circled series is on the chart.
    void SetParentProperties(bool enable);

    void DoBeforeDrawValues() override;
    void SetParentChart(TCustomAxisPanel* value) override;
    void SetActive(bool value) override;
    bool AssociatedToAxis(const TCustomChartAxis*) const override { return true; }
    bool UseAxis() const override { return false; }
    void PrepareLegendCanvas(int valueIndex, TColor& backColor, TBrushStyle& style) override;
    void AssignSeries(TChartSeries& source) override;
    void Assign(const TChartSeries& source) override;
    bool ClassHasInstance(const TChartSeries& other) const override {
        return dynamic_cast<const TCircledSeries*>(&other) != nullptr;
    }

protected:
    void CopyCircleSettings(const TChartSeries& source);

public:
};

enum TPieOtherStyle { poNone, poBelowPercent, poBelowValue };

struct TPieOtherSlice {
    TPieOtherStyle Style = poNone;
    std::string Text = "Other";
    double Value = 0;
};

// One slice of the current drawing.
struct TPieSlice {
    int ValueIndex = 0;   // the point; Count() for the other slice
    bool InOther = false;  // gathered into the other slice (drawn as nothing)
    double Start = 0, Middle = 0, End = 0;
};

class TPieSeries : public TCircledSeries {
public:
    TPieSeries();

    bool Dark3D = true;
    // Explode distance of each slice in percent of the radius.
    std::vector<int> ExplodedSlices;
    int ExplodeBiggest = 0;
    std::unique_ptr<TChartPen> PiePen;
    TPieOtherSlice OtherSlice;
    bool UsePatterns = false;
    // Drawing state: the slices in drawing order, the other slice's value
    // (0: none), the current start and end points on the circle.
    std::vector<TPieSlice> Slices;
    double OtherValue = 0;
    bool HasOther = false;
    TPoint StartPoint, EndPoint;
    bool IsExploded = false;

    TChartValueList& PieValues() { return *YValues; }
    int AddPie(double value, const std::string& label = {}, TColor color = UseSeriesColor) {
        return Add(value, label, color);
    }
    int Exploded(int valueIndex) const;
    void SetExploded(int valueIndex, int percent);
    void SetExplodeBiggest(int value);
    void SetOtherSlice(const TPieOtherSlice& value);
    void SetUsePatterns(bool value) { SetBooleanProperty(UsePatterns, value); }
    void SetDark3D(bool value) { SetBooleanProperty(Dark3D, value); }
    bool BelongsToOtherSlice(int valueIndex) const;
    // Works out the slices of the next drawing from the points.
    void CalcSlices();
    void CalcAngles();
    void CalcExplodedOffset(const TPieSlice& slice, int& dx, int& dy) const;
    void CalcExplodedRadius(int valueIndex, int& rx, int& ry) const;
    const TPieSlice* SliceOf(int valueIndex) const;

    void ClearLists() override;
    void Delete(int valueIndex) override;
    void NotifyNewValue(TChartSeries* sender, int valueIndex) override;
    void DoBeforeDrawChart() override;
    void DrawAllValues() override;
    void DrawValue(int valueIndex) override;
    void DrawMark(int valueIndex, const std::string& text, TSeriesMarkPosition& position) override;
    void DrawMarks() override;
    int CountLegendItems() override;
    int LegendToValueIndex(int legendIndex) override;
    // Index Count() answers for the other slice.
    std::string GetXLabel(int index) const override;
    TColor GetValueColor(int index) const override;
    double GetMarkValue(int valueIndex) override;
    double GetxValue(int index) const override;
    double GetyValue(int index) const override;
    double MaxXValue() const override;
    double MinXValue() const override;
    double MaxYValue() const override;
    double MinYValue() const override;
    int Clicked(int x, int y) override;
    void SwapValueIndex(int a, int b) override;
    void PrepareLegendCanvas(int valueIndex, TColor& backColor, TBrushStyle& style) override;
    void AssignSeries(TChartSeries& source) override;
    void Assign(const TChartSeries& source) override;
    bool ClassHasInstance(const TChartSeries& other) const override {
        return dynamic_cast<const TPieSeries*>(&other) != nullptr;
    }
    std::string ClassName() const override { return "TPieSeries"; }
    std::string GetEditorClass() const { return "TPieSeriesEditor"; }

private:
    void CopyPieSettings(const TChartSeries& source);
    bool HasNoSlice(const TPieSlice& slice) const;
    // Total of the magnitudes of the points that have a slice, in units of
    // scale: 1, or the largest magnitude when the plain total would pass
    // the largest double (the shares stay as they are, and stay numbers).
    double ShownTotal(double& scale) const;
    void DrawSlice(const TPieSlice& slice);
    void DrawPie(const TPieSlice& slice);
    double AxisEnd(bool isX, bool isMax) const;
};

// Registers bar, horizontal bar, area, pie and fast-line series (once).
void RegisterExtraSeries();

}  // namespace pellucor::chart
