#pragma once
// A Qt widget that shows a chart: it is the chart (every engine operation is
// called on it directly) and the window the chart paints into. A paint
// copies the chart's buffer picture to the screen and draws the chart again
// only after something invalidated it or the size changed. Presses, moves,
// releases and wheel turns go to the chart's mouse handling (clicks, zoom
// rectangle, panning, wheel scrolling); the chart's cursor is shown.
#include <QWidget>

#include "chart/Chart.h"

class QMouseEvent;
class QPaintEvent;
class QWheelEvent;

namespace pellucor::chart {

class TChartWidget : public QWidget, public TChart {
    Q_OBJECT
public:
    explicit TChartWidget(QWidget* parent = nullptr);
    ~TChartWidget() override;

    // Number of full chart draws so far (a repaint from the buffer is not one).
    int DrawCount() const { return drawCount_; }
    // The picture last shown: the chart as drawn into its buffer.
    QImage Picture() const;
    // The print job's title: the chart's Name, else the widget's objectName.
    std::string GetName() const override;
    // Repaints the widget at once.
    void Refresh() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Press(QMouseEvent* event, bool isDouble);
    // The chart's cursor on the widget.
    void ShowCursor();
    int drawCount_ = 0;
    int shownCursor_ = 0;
};

}  // namespace pellucor::chart
