// The chart widget: it is the chart, repaints from its buffer until
// something changes, redraws on a change or a new size, and hands presses to
// the chart.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>

#include "OffscreenAppEnvironment.h"
#include "chart/Series.h"
#include "chart/widget/ChartWidget.h"

namespace pellucor::chart {
namespace {

::testing::Environment* const kEnvironment = testing_support::AddOffscreenAppEnvironment<QApplication>();

// A press as the window system delivers it.
void Press(QWidget& w, Qt::MouseButton button, QPoint pos) {
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(pos), w.mapToGlobal(QPointF(pos)), button, button,
                  Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

// Sends the widget a paint event now, as the window system would.
void PaintNow(QWidget& w) { (void)w.grab(); }

TEST(ChartWidget, RepaintsFromItsBufferUntilSomethingChanges) {
    TChartWidget w;
    w.setObjectName("Chart1");
    w.View3D = false;
    w.resize(400, 300);
    w.show();
    TPointSeries s;
    w.AddSeries(&s);
    s.AddXY(1, 1);
    s.AddXY(2, 4);
    PaintNow(w);
    const int first = w.DrawCount();
    EXPECT_GE(first, 1);
    EXPECT_EQ(w.Width, 400);
    EXPECT_EQ(w.Height, 300);
    // A second paint without a change copies the buffer: no new draw.
    PaintNow(w);
    PaintNow(w);
    EXPECT_EQ(w.DrawCount(), first);
    // A change invalidates: the next paint draws again.
    s.AddXY(3, 9);
    PaintNow(w);
    EXPECT_EQ(w.DrawCount(), first + 1);
    // Setting a property to its value changes nothing.
    s.SetTitle(s.Title);
    w.LeftAxis->SetMinorTickCount(w.LeftAxis->MinorTickCount());
    PaintNow(w);
    EXPECT_EQ(w.DrawCount(), first + 1);
    // A new size draws again at that size.
    w.resize(500, 320);
    PaintNow(w);
    EXPECT_EQ(w.DrawCount(), first + 2);
    EXPECT_EQ(w.Picture().width(), 500);
    // What is on screen is the chart: the series' marker at its position.
    const QImage shown = w.grab().toImage();
    const QImage buffer = w.Picture();
    const int x = s.CalcXPos(1), y = s.CalcYPos(1);
    EXPECT_EQ(shown.pixel(x, y), buffer.pixel(x, y));
    const TColor c = s.SeriesColor;
    EXPECT_EQ(buffer.pixel(x, y) & 0xFFFFFF, qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF) & 0xFFFFFF);
}

TEST(ChartWidget, PressRaisesMouseDownThenClickSeries) {
    TChartWidget w;
    w.View3D = false;
    w.resize(400, 300);
    w.show();
    TPointSeries s;
    w.AddSeries(&s);
    s.AddXY(1, 1);
    s.AddXY(2, 2);
    PaintNow(w);
    std::vector<std::string> log;
    w.OnMouseDown = [&](TCustomChart*, TMouseButton b, TShiftState, int, int) {
        log.push_back(b == mbLeft ? "down left" : "down other");
    };
    w.OnClickSeries = [&](TCustomChart*, TChartSeries*, int index, TMouseButton, TShiftState, int, int) {
        log.push_back("series " + std::to_string(index));
    };
    Press(w, Qt::LeftButton, QPoint(s.CalcXPos(1), s.CalcYPos(1)));
    EXPECT_EQ(log, (std::vector<std::string>{"down left", "series 1"}));
    log.clear();
    Press(w, Qt::RightButton, QPoint(2, 2));
    EXPECT_EQ(log, (std::vector<std::string>{"down other"}));
}

}  // namespace
}  // namespace pellucor::chart
