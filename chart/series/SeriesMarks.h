#pragma once
// The marks of a series: small boxed texts beside its points, each joined to
// its point by an arrow. The marks object holds their look, remembers where
// each mark was drawn (a mark the user placed stays there), draws one mark
// and finds the mark under the mouse. The series builds the texts and the
// automatic places.
#include <memory>
#include <string>
#include <vector>

#include "chart/ChartCanvas.h"

namespace pellucor::chart {

class TChartSeries;

enum TSeriesMarksStyle {
    smsValue, smsPercent, smsLabel, smsLabelPercent, smsLabelValue, smsLegend, smsPercentTotal,
    smsLabelPercentTotal, smsXValue
};

struct TSeriesMarkPosition {
    TPoint ArrowFrom;   // at the point
    TPoint ArrowTo;     // at the box
    bool Custom = false;  // placed by the user
    int Height = 0;
    TPoint LeftTop;
    int Width = 0;
    // Copies everything but Custom.
    void Assign(const TSeriesMarkPosition& source);
    TRect Bounds() const { return TRect{LeftTop.x, LeftTop.y, LeftTop.x + Width, LeftTop.y + Height}; }
};

// Stored mark positions by point index; an entry may be empty.
class TSeriesMarksPositions {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Entry index, or none beyond the list or for an empty entry.
    TSeriesMarkPosition* Position(int index) const;
    // Pins the mark of point index at position (grows the list as needed).
    void SetPosition(int index, const TSeriesMarkPosition& position);
    // Lets the mark of point index follow its point again.
    void Automatic(int index);
    void Clear() { items_.clear(); }
    // The point index went: later entries move down with their points.
    void Delete(int index);
    // Makes sure entry index exists (a new entry is not custom).
    TSeriesMarkPosition& Ensure(int index);

private:
    std::vector<std::unique_ptr<TSeriesMarkPosition>> items_;
};

// Engine-wide: an arrow of the point's or the chart's colour is drawn in
// black (white on a black chart) so it stays visible.
extern bool ChartMarksArrowContrast;

class TSeriesMarks {
public:
    explicit TSeriesMarks(TChartSeries* series);
    TSeriesMarks(const TSeriesMarks&) = delete;
    TSeriesMarks& operator=(const TSeriesMarks&) = delete;

    std::unique_ptr<TChartArrowPen> Arrow;
    int ArrowLength = 8;
    TColor BackColor = 8454143;  // light yellow
    bool Transparent = false;
    bool Clip = false;
    std::unique_ptr<TChartPen> Frame;
    TFont Font;
    TSeriesMarksStyle Style = smsLabel;
    TChartSeries* ParentSeries;  // not owned
    TSeriesMarksPositions Positions;
    bool Visible = false;
    int ZPosition = 0;

    void SetVisible(bool value);
    void SetBackTransparent(bool value);
    void SetClip(bool value);
    void SetArrowLength(int value);
    void SetBackColor(TColor value);
    void SetStyle(TSeriesMarksStyle value);
    void Assign(const TSeriesMarks& source);

    // A mark the user placed keeps its stored place (position takes it);
    // otherwise the stored entry takes the automatic place.
    void UsePosition(int index, TSeriesMarkPosition& position);
    void ClearPositions() { Positions.Clear(); }
    // Draws one mark: arrow, box and the text's lines centred in the box.
    void Draw(int valueIndex, TColor color, const std::string& text, TSeriesMarkPosition& position);
    // Index of the mark whose box holds (x, y) (right and bottom edges
    // excluded); -1 for none.
    int Clicked(int x, int y) const;
};

}  // namespace pellucor::chart
