// The chart's mouse on a shown chart widget, driven as a person would with
// QTest: clicks routed in order, the zoom rectangle, undo, panning, the
// wheel, and the programmatic zoom operations.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <string>
#include <vector>

#include "OffscreenAppEnvironment.h"
#include "chart/Series.h"
#include "chart/widget/ChartWidget.h"

namespace pellucor::chart {
namespace {

::testing::Environment* const kEnvironment = testing_support::AddOffscreenAppEnvironment<QApplication>();

void PaintNow(QWidget& w) { (void)w.grab(); }

struct Range {
    double min, max;
};

Range RangeOf(const TCustomChartAxis* a) { return {a->Minimum(), a->Maximum()}; }

// A wheel turn of delta (120 a notch; negative turns the wheel down).
void Wheel(QWidget& w, QPoint pos, int delta) {
    QWheelEvent e(QPointF(pos), w.mapToGlobal(QPointF(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &e);
}

// A shown chart, 500 x 400, both axes fixed to 0 .. 100, one point series
// with a point at (50, 50).
class ChartMouse : public ::testing::Test {
protected:
    void SetUp() override {
        w.setObjectName("Chart1");
        w.View3D = false;
        w.resize(500, 400);
        w.AddSeries(&s);
        s.AddXY(50, 50);
        s.AddXY(90, 10);  // far from where the tests press
        for (TChartAxis* a : {w.BottomAxis, w.LeftAxis}) {
            a->SetAutomatic(false);
            a->SetMinimum(0);
            a->SetMaximum(100);
        }
        w.OnZoom = [this](TCustomChartPanel*) { ++zooms; };
        w.OnUndoZoom = [this](TCustomChartPanel*) { ++undos; };
        w.OnScroll = [this](TCustomChartPanel*) { ++scrolls; };
        w.show();
        PaintNow(w);
        cr = w.ChartRect;
    }

    // Values at pixels by a straight line over the plot rectangle.
    double X(int px) const { return 100.0 * (px - cr.Left) / (cr.Right - cr.Left); }
    double Y(int py) const { return 100.0 - 100.0 * (py - cr.Top) / (cr.Bottom - cr.Top); }

    // A drag from a to b with one button, through a few moves.
    void Drag(Qt::MouseButton button, QPoint a, QPoint b) {
        QTest::mousePress(&w, button, Qt::NoModifier, a);
        for (int k = 1; k <= 4; ++k) QTest::mouseMove(&w, a + (b - a) * k / 4);
        QTest::mouseRelease(&w, button, Qt::NoModifier, b);
    }

    // A point in the plot away from the series' point.
    QPoint Inside() const { return QPoint(cr.Left + 40, cr.Top + 30); }

    TChartWidget w;
    TPointSeries s;
    TRect cr;
    int zooms = 0, undos = 0, scrolls = 0;
};

// --- zoom ---

TEST_F(ChartMouse, ADragOf17By17DownAndRightZoomsIntoTheRectangle) {
    const QPoint a = Inside();
    const QPoint b = a + QPoint(17, 17);
    Drag(Qt::LeftButton, a, b);
    EXPECT_EQ(zooms, 1);
    EXPECT_TRUE(w.Zoomed);
    EXPECT_NEAR(w.BottomAxis->Minimum(), X(a.x()), 1e-9);
    EXPECT_NEAR(w.BottomAxis->Maximum(), X(b.x()), 1e-9);
    // The lower edge gives the smaller value.
    EXPECT_NEAR(w.LeftAxis->Minimum(), Y(b.y()), 1e-9);
    EXPECT_NEAR(w.LeftAxis->Maximum(), Y(a.y()), 1e-9);
    EXPECT_FALSE(w.ZoomRecord.IsActive);
    // The zoomed view is drawn: the series' point lies outside it.
    PaintNow(w);
    EXPECT_EQ(w.BottomAxis->RangeMin, w.BottomAxis->Minimum());
}

TEST_F(ChartMouse, SmallerDragsChangeNothingAndLeaveNoRectangleBehind) {
    const QImage before = w.grab().toImage();
    const int draws = w.DrawCount();
    const QPoint a = Inside();
    const QPoint moves[] = {{16, 100}, {100, 16}, {16, 16}, {-16, -100}, {0, 0}};
    for (QPoint d : moves) {
        Drag(Qt::LeftButton, a, a + d);
        EXPECT_EQ(zooms, 0) << d.x() << "," << d.y();
        EXPECT_EQ(undos, 0) << d.x() << "," << d.y();
        EXPECT_EQ(w.BottomAxis->Minimum(), 0);
        EXPECT_EQ(w.BottomAxis->Maximum(), 100);
        EXPECT_EQ(w.LeftAxis->Maximum(), 100);
        EXPECT_FALSE(w.Zoomed);
    }
    // The rectangle was erased again on the buffer: the screen is as before,
    // and nothing needed a full draw.
    EXPECT_EQ(w.grab().toImage(), before);
    EXPECT_EQ(w.DrawCount(), draws);
}

TEST_F(ChartMouse, TheRectangleShowsWhileDragging) {
    const QImage before = w.grab().toImage();
    const QPoint a = Inside();
    const QPoint b = a + QPoint(60, 40);
    QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(&w, a + QPoint(30, 20));
    QTest::mouseMove(&w, b);
    const QImage during = w.grab().toImage();
    // The outline of the current rectangle (far edges one pixel in) changed
    // colour; the earlier, smaller rectangle's far edges are back as they were.
    const int mx = (a.x() + b.x()) / 2, my = (a.y() + b.y()) / 2;
    for (QPoint p : {QPoint(mx, a.y()), QPoint(mx, b.y() - 1), QPoint(a.x(), my), QPoint(b.x() - 1, my)})
        EXPECT_NE(during.pixel(p), before.pixel(p)) << p.x() << "," << p.y();
    for (QPoint p : {a + QPoint(29, 10), a + QPoint(15, 19)})
        EXPECT_EQ(during.pixel(p), before.pixel(p)) << p.x() << "," << p.y();
    // Inside the rectangle the picture is untouched.
    EXPECT_EQ(during.pixel(a + QPoint(10, 10)), before.pixel(a + QPoint(10, 10)));
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, b);
}

TEST_F(ChartMouse, ADragUpOrLeftUndoesTheZoom) {
    struct Case {
        const char* name;
        QPoint d;
    } cases[] = {{"up and left", {-17, -17}}, {"up and right", {30, -20}}, {"down and left", {-20, 30}}};
    for (const Case& k : cases) {
        // Start automatic, so that undo must restore that as well.
        w.BottomAxis->SetAutomatic(true);
        PaintNow(w);
        const Range automaticRange = {w.BottomAxis->RangeMin, w.BottomAxis->RangeMax};
        Drag(Qt::LeftButton, Inside(), Inside() + QPoint(40, 40));
        Drag(Qt::LeftButton, Inside() + QPoint(5, 5), Inside() + QPoint(45, 25));  // a second zoom
        ASSERT_TRUE(w.Zoomed) << k.name;
        EXPECT_FALSE(w.BottomAxis->Automatic()) << k.name;
        undos = 0;
        const QPoint from = Inside() + QPoint(60, 60);
        Drag(Qt::LeftButton, from, from + k.d);
        EXPECT_EQ(undos, 1) << k.name;
        EXPECT_FALSE(w.Zoomed) << k.name;
        EXPECT_TRUE(w.UndoScalesEmpty) << k.name;
        // Back to the view before the first zoom.
        EXPECT_TRUE(w.BottomAxis->Automatic()) << k.name;
        EXPECT_FALSE(w.LeftAxis->Automatic()) << k.name;
        EXPECT_EQ(w.LeftAxis->Minimum(), 0) << k.name;
        EXPECT_EQ(w.LeftAxis->Maximum(), 100) << k.name;
        PaintNow(w);
        EXPECT_EQ(w.BottomAxis->RangeMin, automaticRange.min) << k.name;
        EXPECT_EQ(w.BottomAxis->RangeMax, automaticRange.max) << k.name;
    }
}

TEST_F(ChartMouse, InvertedAxesAndASecondVerticalAxisZoomAndPanByTheirOwnScales) {
    // Bottom and left axes run the other way (0 .. 100 from right to left
    // and from top to bottom); a phase series on the right axis, -90 .. -10
    // the usual way up.
    TPointSeries phase;
    w.AddSeries(&phase);
    phase.SetVertAxis(aRightAxis);
    phase.AddXY(20, -45);
    w.BottomAxis->SetInverted(true);
    w.LeftAxis->SetInverted(true);
    w.RightAxis->SetMinMax(-90, -10);
    PaintNow(w);
    const TChartAxis& bx = *w.BottomAxis;
    const TChartAxis& ly = *w.LeftAxis;
    const TChartAxis& ry = *w.RightAxis;
    // Values at pixels, from the axes' pixel extents alone.
    auto xAt = [&](int px) { return 100.0 * (bx.PixelEnd - px) / (bx.PixelEnd - bx.PixelStart); };
    auto yAt = [&](int py) { return 100.0 * (py - ly.PixelStart) / (ly.PixelEnd - ly.PixelStart); };
    auto phaseAt = [&](int py) { return -10 - 80.0 * (py - ry.PixelStart) / (ry.PixelEnd - ry.PixelStart); };

    const QPoint a = Inside() + QPoint(30, 40);
    const QPoint b = a + QPoint(90, 70);
    const double zoomed[6] = {xAt(b.x()), xAt(a.x()), yAt(a.y()), yAt(b.y()), phaseAt(b.y()), phaseAt(a.y())};
    const TAllAxisSavedScales before = w.SaveScales();
    Drag(Qt::LeftButton, a, b);
    EXPECT_NEAR(bx.Minimum(), zoomed[0], 1e-12);
    EXPECT_NEAR(bx.Maximum(), zoomed[1], 1e-12);
    EXPECT_NEAR(ly.Minimum(), zoomed[2], 1e-12);
    EXPECT_NEAR(ly.Maximum(), zoomed[3], 1e-12);
    EXPECT_NEAR(ry.Minimum(), zoomed[4], 1e-12);
    EXPECT_NEAR(ry.Maximum(), zoomed[5], 1e-12);
    w.UndoZoom();
    PaintNow(w);

    // One panning step, 40 pixels left and 30 down: the data follow the
    // mouse, so each axis shows what lay 40 pixels right or 30 pixels up.
    const double dx = xAt(a.x()) - xAt(a.x() - 40);
    const double dy = yAt(a.y()) - yAt(a.y() + 30);
    const double dphase = phaseAt(a.y()) - phaseAt(a.y() + 30);
    EXPECT_LT(dx, 0);  // inverted: what lay to the right is smaller
    EXPECT_LT(dy, 0);
    EXPECT_GT(dphase, 0);
    QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, a);
    QTest::mouseMove(&w, a + QPoint(-40, 30));
    QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, a + QPoint(-40, 30));
    EXPECT_NEAR(bx.Minimum(), dx, 1e-12);
    EXPECT_NEAR(bx.Maximum(), 100 + dx, 1e-12);
    EXPECT_NEAR(ly.Minimum(), dy, 1e-12);
    EXPECT_NEAR(ly.Maximum(), 100 + dy, 1e-12);
    EXPECT_NEAR(ry.Minimum(), -90 + dphase, 1e-12);
    EXPECT_NEAR(ry.Maximum(), -10 + dphase, 1e-12);

    // Undo brings back every axis bit for bit (automatic ends once drawn).
    w.UndoZoom();
    PaintNow(w);
    const TAllAxisSavedScales after = w.SaveScales();
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i].Automatic, before[i].Automatic) << i;
        EXPECT_EQ(after[i].Minimum, before[i].Minimum) << i;
        EXPECT_EQ(after[i].Maximum, before[i].Maximum) << i;
    }
    w.RemoveSeries(&phase);
}

TEST_F(ChartMouse, ZoomNeedsTheZoomButtonAndAllowZoom) {
    // A release of another button leaves the rectangle active.
    const QPoint a = Inside();
    QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(&w, a + QPoint(40, 40));
    QTest::mousePress(&w, Qt::MiddleButton, Qt::NoModifier, a + QPoint(40, 40));
    QTest::mouseRelease(&w, Qt::MiddleButton, Qt::NoModifier, a + QPoint(40, 40));
    EXPECT_TRUE(w.ZoomRecord.IsActive);
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, a + QPoint(40, 40));
    EXPECT_EQ(zooms, 1);
    w.UndoZoom();

    w.AllowZoom = false;
    zooms = 0;
    Drag(Qt::LeftButton, a, a + QPoint(40, 40));
    EXPECT_EQ(zooms, 0);
    EXPECT_EQ(w.BottomAxis->Maximum(), 100);
}

// --- panning ---

TEST_F(ChartMouse, ARightDragPansAndPanningBackRestoresTheRange) {
    const QPoint a = Inside() + QPoint(100, 100);
    QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, a);
    QTest::mouseMove(&w, a + QPoint(-20, 10));
    QTest::mouseMove(&w, a + QPoint(-40, 30));
    // The data follow the mouse: dragged left shows larger x, dragged down larger y.
    const double dx = 40 * 100.0 / (cr.Right - cr.Left);
    const double dy = 30 * 100.0 / (cr.Bottom - cr.Top);
    EXPECT_NEAR(w.BottomAxis->Minimum(), dx, 1e-9);
    EXPECT_NEAR(w.BottomAxis->Maximum(), 100 + dx, 1e-9);
    EXPECT_NEAR(w.LeftAxis->Minimum(), dy, 1e-9);
    EXPECT_NEAR(w.LeftAxis->Maximum(), 100 + dy, 1e-9);
    EXPECT_EQ(scrolls, 2);
    EXPECT_FALSE(w.UndoScalesEmpty);
    // Back in other steps to the start.
    QTest::mouseMove(&w, a + QPoint(-10, 5));
    QTest::mouseMove(&w, a);
    QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, a);
    EXPECT_NEAR(w.BottomAxis->Minimum(), 0, 1e-9);
    EXPECT_NEAR(w.BottomAxis->Maximum(), 100, 1e-9);
    EXPECT_NEAR(w.LeftAxis->Minimum(), 0, 1e-9);
    EXPECT_NEAR(w.LeftAxis->Maximum(), 100, 1e-9);
    EXPECT_FALSE(w.PanningRecord.IsActive);
    EXPECT_EQ(zooms, 0);
}

TEST_F(ChartMouse, PanningALogAxisMovesItByDecadesAndBackAgain) {
    // A Bode plot: frequency 1 Hz .. 100 kHz on a log axis, five decades
    // over the plot's width; |Z| on a log axis over four decades.
    w.BottomAxis->SetMinMax(1, 1e5);
    w.BottomAxis->SetLogarithmic(true);
    w.LeftAxis->SetMinMax(10, 1e5);
    w.LeftAxis->SetLogarithmic(true);
    PaintNow(w);
    const TChartAxis& b = *w.BottomAxis;
    const TChartAxis& l = *w.LeftAxis;
    const double decadesPerPixelX = 5.0 / (b.PixelEnd - b.PixelStart);
    const double decadesPerPixelY = 4.0 / (l.PixelEnd - l.PixelStart);
    const QPoint a = Inside() + QPoint(100, 100);
    QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, a);
    QTest::mouseMove(&w, a + QPoint(60, 0));
    QTest::mouseMove(&w, a + QPoint(100, -40));
    // The data follow the mouse: dragged right by 100 pixels shows lower
    // frequencies, dragged up by 40 lower |Z|.
    const double fx = std::pow(10.0, -100 * decadesPerPixelX);
    const double fy = std::pow(10.0, -40 * decadesPerPixelY);
    EXPECT_NEAR(b.Minimum(), 1 * fx, 1e-9 * fx);
    EXPECT_NEAR(b.Maximum(), 1e5 * fx, 1e-4 * fx);
    EXPECT_NEAR(l.Minimum(), 10 * fy, 1e-8 * fy);
    EXPECT_NEAR(l.Maximum(), 1e5 * fy, 1e-4 * fy);
    // Back to the start position: the start range again.
    QTest::mouseMove(&w, a + QPoint(30, -10));
    QTest::mouseMove(&w, a);
    QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, a);
    EXPECT_NEAR(b.Minimum(), 1, 1e-9);
    EXPECT_NEAR(b.Maximum(), 1e5, 1e-4);
    EXPECT_NEAR(l.Minimum(), 10, 1e-8);
    EXPECT_NEAR(l.Maximum(), 1e5, 1e-4);
}

TEST_F(ChartMouse, ALogAxisFromZeroPansAndScrollsTheDecadesItShows) {
    // A log axis may be set to start at 0; it then shows 0.1 .. 1000, four
    // decades. A drag or a wheel notch moves those four decades a little;
    // it must not give the axis a negative end, which would make it show
    // thirteen decades from 1e-10 instead.
    struct Case {
        const char* name;
        bool vertical;
        int pan;    // pixels dragged (right or down), 0 for the wheel
        int wheel;  // notches, down positive
    } cases[] = {{"bottom dragged right", false, 20, 0},
                 {"bottom dragged left", false, -20, 0},
                 {"left dragged down", true, 20, 0},
                 {"left dragged up", true, -20, 0},
                 {"left wheel down", true, 0, 1},
                 {"left wheel up", true, 0, -1}};
    for (const Case& k : cases) {
        TChartAxis* a = k.vertical ? w.LeftAxis : w.BottomAxis;
        TChartAxis* other = k.vertical ? w.BottomAxis : w.LeftAxis;
        other->SetLogarithmic(false);
        other->SetMinMax(0, 100);
        a->SetLogarithmic(false);
        a->SetMinMax(0, 1000);
        a->SetLogarithmic(true);
        PaintNow(w);
        ASSERT_EQ(a->RangeMin, 0.1) << k.name;
        // Decades the axis moves by, upwards: dragging right or down shows
        // lower values on a bottom axis and higher ones on a left axis.
        double decades = 0;
        if (k.pan != 0) {
            decades = 4.0 * k.pan / (a->PixelEnd - a->PixelStart) * (k.vertical ? 1 : -1);
            const QPoint p = Inside() + QPoint(100, 100);
            const QPoint d = k.vertical ? QPoint(0, k.pan) : QPoint(k.pan, 0);
            QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, p);
            QTest::mouseMove(&w, p + d);
            QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, p + d);
        } else {
            decades = 4.0 * 3 / 100 * k.wheel;
            Wheel(w, Inside(), -120 * k.wheel);
        }
        const double f = std::pow(10.0, decades);
        EXPECT_NEAR(a->Minimum(), 0.1 * f, 1e-12 * f) << k.name;
        EXPECT_NEAR(a->Maximum(), 1000 * f, 1e-8 * f) << k.name;
        w.UndoZoom();
    }
}

TEST_F(ChartMouse, PanningAlongOneDirectionOnlyWhenSoAllowed) {
    struct Case {
        TPanningMode mode;
        bool horizontal, vertical;
    } cases[] = {{pmHorizontal, true, false}, {pmVertical, false, true}, {pmNone, false, false}};
    for (const Case& k : cases) {
        w.UndoZoom();
        w.AllowPanning = k.mode;
        const QPoint a = Inside() + QPoint(100, 100);
        Drag(Qt::RightButton, a, a + QPoint(-40, 30));
        EXPECT_EQ(w.BottomAxis->Minimum() != 0, k.horizontal) << k.mode;
        EXPECT_EQ(w.LeftAxis->Minimum() != 0, k.vertical) << k.mode;
    }
}

TEST_F(ChartMouse, PanningThatLeavesThePlotStopsAndDoesNotResume) {
    const QPoint a = Inside() + QPoint(100, 100);
    QTest::mousePress(&w, Qt::RightButton, Qt::NoModifier, a);
    QTest::mouseMove(&w, a + QPoint(-10, 0));
    const Range panned = RangeOf(w.BottomAxis);
    QTest::mouseMove(&w, QPoint(cr.Right + 5, a.y()));  // out of the plot
    EXPECT_FALSE(w.PanningRecord.IsActive);
    QTest::mouseMove(&w, a + QPoint(-50, 0));  // back in
    EXPECT_EQ(w.BottomAxis->Minimum(), panned.min);
    EXPECT_EQ(w.BottomAxis->Maximum(), panned.max);
    QTest::mouseRelease(&w, Qt::RightButton, Qt::NoModifier, a);
}

TEST_F(ChartMouse, AllowScrollMayChangeOrRefuseAStep) {
    w.OnAllowScroll = [](TChartAxis*, double& lo, double& hi, bool& allow) {
        if (lo < 0) allow = false;  // nothing left of zero
        hi = lo + 100;
    };
    const QPoint a = Inside() + QPoint(100, 100);
    Drag(Qt::RightButton, a, a + QPoint(30, 0));  // would show negative x
    EXPECT_EQ(w.BottomAxis->Minimum(), 0);
    EXPECT_EQ(w.BottomAxis->Maximum(), 100);
    Drag(Qt::RightButton, a, a + QPoint(-30, 0));
    EXPECT_GT(w.BottomAxis->Minimum(), 0);
    EXPECT_DOUBLE_EQ(w.BottomAxis->Maximum(), w.BottomAxis->Minimum() + 100);
}

TEST_F(ChartMouse, OneUndoAfterPanAndZoomReturnsToTheViewBeforeBoth) {
    const QPoint a = Inside() + QPoint(100, 100);
    Drag(Qt::RightButton, a, a + QPoint(-40, 30));
    Drag(Qt::LeftButton, Inside(), Inside() + QPoint(50, 50));
    EXPECT_TRUE(w.Zoomed);
    w.UndoZoom();
    EXPECT_EQ(w.BottomAxis->Minimum(), 0);
    EXPECT_EQ(w.BottomAxis->Maximum(), 100);
    EXPECT_EQ(w.LeftAxis->Minimum(), 0);
    EXPECT_EQ(w.LeftAxis->Maximum(), 100);
}

TEST_F(ChartMouse, UndoBringsBackAnAxisWithOneAutomaticEnd) {
    // An axis may keep one end fixed and take the other from the data; undo
    // must bring that back, not leave the automatic end frozen where it was.
    struct Case {
        const char* name;
        bool autoMin, autoMax;
    } cases[] = {{"fixed", false, false},
                 {"automatic maximum", false, true},
                 {"automatic minimum", true, false},
                 {"automatic", true, true}};
    for (const Case& k : cases) {
        TChartAxis* a = w.LeftAxis;
        a->SetAutomatic(false);
        a->SetMinMax(-7, 120);
        a->SetAutomaticMinimum(k.autoMin);
        a->SetAutomaticMaximum(k.autoMax);
        PaintNow(w);
        const bool automatic = a->Automatic();
        const Range before = RangeOf(a);
        // The data's ends show where an end is automatic: 10 .. 50.
        EXPECT_EQ(before.min, k.autoMin ? 10 : -7) << k.name;
        EXPECT_EQ(before.max, k.autoMax ? 50 : 120) << k.name;

        const QPoint p = Inside() + QPoint(100, 100);
        Drag(Qt::RightButton, p, p + QPoint(-30, 25));                     // pan
        Drag(Qt::LeftButton, Inside(), Inside() + QPoint(60, 50));         // zoom
        Drag(Qt::LeftButton, Inside() + QPoint(60, 60), Inside() + QPoint(20, 20));  // undo
        EXPECT_FALSE(w.Zoomed) << k.name;
        EXPECT_EQ(a->Automatic(), automatic) << k.name;
        EXPECT_EQ(a->AutomaticMinimum(), k.autoMin) << k.name;
        EXPECT_EQ(a->AutomaticMaximum(), k.autoMax) << k.name;
        PaintNow(w);
        EXPECT_EQ(a->Minimum(), before.min) << k.name;
        EXPECT_EQ(a->Maximum(), before.max) << k.name;

        // New data beyond both ends: only the automatic ends follow them.
        s.AddXY(60, -20);
        s.AddXY(70, 200);
        PaintNow(w);
        EXPECT_EQ(a->Minimum(), k.autoMin ? -20 : -7) << k.name;
        EXPECT_EQ(a->Maximum(), k.autoMax ? 200 : 120) << k.name;
        s.Clear();  // the fixture's points again
        s.AddXY(50, 50);
        s.AddXY(90, 10);
    }
}

// --- the wheel ---

TEST_F(ChartMouse, TheWheelShiftsTheVerticalAxesByThreePercent) {
    Wheel(w, Inside(), -120);  // down
    EXPECT_NEAR(w.LeftAxis->Minimum(), 3, 1e-12);
    EXPECT_NEAR(w.LeftAxis->Maximum(), 103, 1e-12);
    EXPECT_FALSE(w.LeftAxis->Automatic());
    Wheel(w, Inside(), 120);  // up: 3 % of 100 again
    Wheel(w, Inside(), 120);
    EXPECT_NEAR(w.LeftAxis->Minimum(), -3, 1e-12);
    EXPECT_NEAR(w.LeftAxis->Maximum(), 97, 1e-12);
    // Horizontal axes stay.
    EXPECT_EQ(w.BottomAxis->Minimum(), 0);
    EXPECT_EQ(w.BottomAxis->Maximum(), 100);
    // A fine wheel moves once its turns add up to a notch.
    Wheel(w, Inside(), -60);
    EXPECT_NEAR(w.LeftAxis->Minimum(), -3, 1e-12);
    Wheel(w, Inside(), -60);
    EXPECT_NEAR(w.LeftAxis->Minimum(), -3 + 3, 1e-12);
    // The picture follows.
    PaintNow(w);
    EXPECT_NEAR(w.LeftAxis->RangeMin, 0, 1e-12);
}

TEST_F(ChartMouse, TheWheelShiftsALogAxisByThreePercentOfItsDecades) {
    // |Z| of a Bode plot over five decades, 1 .. 100 kOhm.
    w.LeftAxis->SetMinMax(1, 1e5);
    w.LeftAxis->SetLogarithmic(true);
    PaintNow(w);
    Wheel(w, Inside(), -120);  // down: 3 % of five decades up
    EXPECT_NEAR(w.LeftAxis->Minimum(), std::pow(10.0, 0.15), 1e-12);
    EXPECT_NEAR(w.LeftAxis->Maximum(), std::pow(10.0, 5.15), 1e-7);
    Wheel(w, Inside(), 120);
    Wheel(w, Inside(), 120);
    EXPECT_NEAR(w.LeftAxis->Minimum(), std::pow(10.0, -0.15), 1e-12);
    EXPECT_NEAR(w.LeftAxis->Maximum(), std::pow(10.0, 4.85), 1e-7);
    EXPECT_FALSE(w.LeftAxis->Automatic());
}

// --- presses: events in order, cancelling ---

TEST_F(ChartMouse, PressRaisesMouseDownBeforeTheClickEvents) {
    std::vector<std::string> log;
    w.OnMouseDown = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { log.push_back("down"); };
    s.OnClick = [&](TChartSeries*, int i, TMouseButton, TShiftState, int, int) {
        log.push_back("series click " + std::to_string(i));
    };
    w.OnClickSeries = [&](TCustomChart*, TChartSeries*, int i, TMouseButton, TShiftState, int, int) {
        log.push_back("chart series click " + std::to_string(i));
    };
    w.OnClickBackground = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { log.push_back("background"); };
    w.OnClickAxis = [&](TCustomChart*, TChartAxis* a, TMouseButton, TShiftState, int, int) {
        log.push_back("axis " + w.AxisTitleOrName(a));
    };
    const QPoint point(s.CalcXPos(0), s.CalcYPos(0));
    QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, point);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "series click 0", "chart series click 0"}));
    // Handlers that keep CancelMouseAction: no zoom began.
    EXPECT_FALSE(w.ZoomRecord.IsActive);
    log.clear();
    QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, QPoint(cr.Left, (cr.Top + cr.Bottom) / 2));
    EXPECT_EQ(log, (std::vector<std::string>{"down", "axis Left Axis"}));
    log.clear();
    QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, Inside());
    EXPECT_EQ(log, (std::vector<std::string>{"down", "background"}));
}

TEST_F(ChartMouse, AfterZoomAndPanAClickReportsThePointUnderTheMouse) {
    // Ten points on the diagonal; a zoom into 25 .. 75 and a pan: a click
    // finds each point where the new view draws it, and none that the view
    // pushed out of the plot.
    s.Clear();
    for (int i = 0; i < 10; ++i) s.AddXY(10 * i, 10 * i);
    int hit = -2;
    w.OnClickSeries = [&](TCustomChart*, TChartSeries*, int i, TMouseButton, TShiftState, int, int) { hit = i; };
    auto px = [&](double x) { return cr.Left + static_cast<int>(std::lround((x / 100) * (cr.Right - cr.Left))); };
    auto py = [&](double y) { return cr.Bottom - static_cast<int>(std::lround((y / 100) * (cr.Bottom - cr.Top))); };
    Drag(Qt::LeftButton, QPoint(px(25), py(75)), QPoint(px(75), py(25)));
    ASSERT_TRUE(w.Zoomed);
    Drag(Qt::RightButton, QPoint(px(50), py(50)), QPoint(px(50) - 30, py(50) + 20));
    PaintNow(w);
    const TRect plot = w.ChartRect;
    int found = 0;
    for (int i = 0; i < 10; ++i) {
        // Where the view now draws point i, worked out from the axes' ends.
        const TChartAxis& bx = *w.BottomAxis;
        const TChartAxis& ly = *w.LeftAxis;
        const double fx = (10.0 * i - bx.Minimum()) / (bx.Maximum() - bx.Minimum());
        const double fy = (10.0 * i - ly.Minimum()) / (ly.Maximum() - ly.Minimum());
        const QPoint p(bx.PixelStart + static_cast<int>(std::lround(fx * (bx.PixelEnd - bx.PixelStart))),
                       ly.PixelEnd - static_cast<int>(std::lround(fy * (ly.PixelEnd - ly.PixelStart))));
        if (p.x() < 0 || p.y() < 0 || p.x() >= w.width() || p.y() >= w.height()) continue;
        const bool inside = p.x() >= plot.Left && p.x() < plot.Right && p.y() >= plot.Top && p.y() < plot.Bottom;
        hit = -2;
        QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, p);
        EXPECT_EQ(hit, inside ? i : -2) << i;
        found += inside ? 1 : 0;
    }
    EXPECT_GE(found, 3);
}

TEST_F(ChartMouse, MouseDownThatCancelsStopsEverythingElse) {
    int clicks = 0;
    w.OnMouseDown = [&](TCustomChart* c, TMouseButton, TShiftState, int, int) { c->CancelMouseAction = true; };
    w.OnClickSeries = [&](TCustomChart*, TChartSeries*, int, TMouseButton, TShiftState, int, int) { ++clicks; };
    w.OnClickBackground = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { ++clicks; };
    QTest::mouseClick(&w, Qt::LeftButton, Qt::NoModifier, QPoint(s.CalcXPos(0), s.CalcYPos(0)));
    Drag(Qt::LeftButton, Inside(), Inside() + QPoint(50, 50));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(zooms, 0);
    EXPECT_FALSE(w.CancelMouseAction);  // read once, then cleared
}

TEST_F(ChartMouse, AClickHandlerThatClearsCancelLetsTheDragZoomFromThePoint) {
    for (bool letGo : {false, true}) {
        w.UndoZoom();
        zooms = 0;
        int clicks = 0;
        w.OnClickSeries = [&](TCustomChart* c, TChartSeries*, int, TMouseButton, TShiftState, int, int) {
            ++clicks;
            if (letGo) c->CancelMouseAction = false;
        };
        const QPoint point(s.CalcXPos(0), s.CalcYPos(0));
        Drag(Qt::LeftButton, point, point + QPoint(30, 30));
        EXPECT_EQ(clicks, 1) << letGo;
        EXPECT_EQ(zooms, letGo ? 1 : 0) << letGo;
    }
}

TEST_F(ChartMouse, ABackgroundHandlerThatKeepsThePressStopsTheZoom) {
    int clicks = 0;
    w.OnClickBackground = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { ++clicks; };
    Drag(Qt::LeftButton, Inside(), Inside() + QPoint(50, 50));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(zooms, 0);
    // Outside the plot area (on the panel) a press starts no zoom at all.
    w.OnClickBackground = nullptr;
    Drag(Qt::LeftButton, QPoint(2, 2), QPoint(60, 60));
    EXPECT_EQ(zooms, 0);
}

TEST_F(ChartMouse, TheSeriesCursorShowsOverItsPoints) {
    s.Cursor = crChartHand;
    auto move = [&](QPoint p) {
        QMouseEvent e(QEvent::MouseMove, QPointF(p), w.mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(&w, &e);
    };
    move(QPoint(s.CalcXPos(0), s.CalcYPos(0)));
    EXPECT_EQ(w.Cursor, crChartHand);
    EXPECT_EQ(w.cursor().shape(), Qt::PointingHandCursor);
    move(Inside());
    EXPECT_EQ(w.Cursor, 0);
    EXPECT_EQ(w.cursor().shape(), Qt::ArrowCursor);
}

// --- programmatic zoom ---

TEST(ChartZoom, ZoomPercentTakesTheShareOffEachEnd) {
    TChart c;
    c.View3D = false;
    for (TChartAxis* a : {c.BottomAxis, c.LeftAxis}) {
        a->SetAutomatic(false);
        a->SetMinimum(0);
        a->SetMaximum(100);
    }
    c.ZoomPercent(110);
    EXPECT_NEAR(c.BottomAxis->Minimum(), 10, 1e-12);
    EXPECT_NEAR(c.BottomAxis->Maximum(), 90, 1e-12);
    EXPECT_NEAR(c.LeftAxis->Minimum(), 10, 1e-12);
    EXPECT_TRUE(c.Zoomed);
    c.UndoZoom();
    EXPECT_EQ(c.BottomAxis->Maximum(), 100);
}

TEST(ChartZoom, UndoWithoutAZoomStillReportsAndLeavesTheAxes) {
    TChart c;
    c.LeftAxis->SetMinMax(2, 5);
    int undos = 0;
    c.OnUndoZoom = [&](TCustomChartPanel*) { ++undos; };
    c.Zoomed = true;
    c.UndoZoom();
    EXPECT_EQ(undos, 1);
    EXPECT_FALSE(c.Zoomed);
    EXPECT_EQ(c.LeftAxis->Minimum(), 2);
    EXPECT_EQ(c.LeftAxis->Maximum(), 5);
    EXPECT_FALSE(c.LeftAxis->Automatic());
}

// Records the left axis at every immediate redraw.
class RecordingChart : public TChart {
public:
    std::vector<Range> steps;
    void Refresh() override { steps.push_back(RangeOf(LeftAxis)); }
};

TEST(ChartZoom, AnimatedZoomPassesThroughRangesEachAThirdCloser) {
    RecordingChart c;
    c.LeftAxis->SetMinMax(0, 100);
    c.AnimatedZoom = true;
    c.AnimatedZoomSteps = 8;
    c.DoZoom(0, 1, 0, 1, 10, 40, 0, 1);
    ASSERT_EQ(c.steps.size(), 7u);
    for (int k = 1; k <= 7; ++k) {
        // After k steps two thirds of the distance to go are left, k times.
        const double left = std::pow(2.0 / 3.0, k);
        EXPECT_NEAR(c.steps[k - 1].min, 10 - 10 * left, 1e-9) << k;
        EXPECT_NEAR(c.steps[k - 1].max, 40 + 60 * left, 1e-9) << k;
    }
    EXPECT_EQ(c.LeftAxis->Minimum(), 10);
    EXPECT_EQ(c.LeftAxis->Maximum(), 40);
}

TEST(ChartZoom, AxisNamesForClickTexts) {
    TChart c;
    EXPECT_EQ(c.AxisTitleOrName(c.LeftAxis), "Left Axis");
    EXPECT_EQ(c.AxisTitleOrName(c.RightAxis), "Right Axis");
    EXPECT_EQ(c.AxisTitleOrName(c.TopAxis), "Top Axis");
    EXPECT_EQ(c.AxisTitleOrName(c.BottomAxis), "Bottom Axis");
    EXPECT_EQ(c.AxisTitleOrName(c.DepthAxis), "Depth Axis");
    c.LeftAxis->Title->SetCaption("-Z'' / Ohm");
    EXPECT_EQ(c.AxisTitleOrName(c.LeftAxis), "-Z'' / Ohm");
}

}  // namespace
}  // namespace pellucor::chart
