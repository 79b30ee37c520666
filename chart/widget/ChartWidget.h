#pragma once
// A Qt widget that shows a chart: it is the chart (every engine operation is
// called on it directly) and the window the chart paints into. A paint
// copies the chart's buffer picture to the screen and draws the chart again
// only after something invalidated it or the size changed; a mouse press
// goes to the chart's press handling.
#include <QWidget>

#include "chart/Chart.h"

class QMouseEvent;
class QPaintEvent;

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Press(QMouseEvent* event, bool isDouble);
    int drawCount_ = 0;
};

}  // namespace pellucor::chart
