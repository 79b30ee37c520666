// The chart canvas: projection and its inverse, the 2-D forms of the 3-D
// operations, buffering, labels, frames, gradients, pens and colours.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "chart/ChartCanvas.h"
#include "platform/gfx/PainterDevice.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::chart {
namespace {

using platform::ImageDevice;
using platform::RecordingDevice;

// A canvas drawing unbuffered straight onto a recorder.
struct RecordedCanvas {
    RecordingDevice rec{400, 300};
    TCanvas dest{&rec};
    TChartCanvas3D canvas;
    TView3DOptions options;
    RecordedCanvas() {
        canvas.SetUseBuffer(false);
        canvas.InitWindow(&dest, &options, clWhite, false, {0, 0, 400, 300});
    }
    // Starts a 3-D drawing with the options as set; the chart rectangle
    // (0, 0, 200, 100) has its centre at (100, 50).
    void Start3D(int depth) {
        canvas.InitWindow(&dest, &options, clWhite, true, {0, 0, 400, 300});
        canvas.Projection(depth, {0, 0, 400, 300}, {0, 0, 200, 100});
    }
};

TEST(ChartCanvas2D, DepthIsIgnoredInTwoDimensions) {
    RecordedCanvas c;
    c.canvas.Projection(100, {0, 0, 400, 300}, {40, 30, 360, 270});
    c.canvas.MoveTo3D(1, 2, 77);
    c.canvas.LineTo3D(10, 20, 500);
    c.canvas.RectangleWithZ({5, 6, 50, 60}, 33);
    c.canvas.EllipseWithZ(0, 0, 10, 10, 9);
    const TPoint pts[3] = {{1, 1}, {9, 1}, {5, 7}};
    c.canvas.PolygonWithZ(pts, 2, 40);
    c.canvas.HorizLine3D(3, 30, 8, 99);
    EXPECT_EQ(c.rec.calls, (std::vector<std::string>{
                               "MoveTo 1 2", "LineTo 10 20", "Polygon 5 6 50 6 50 60 5 60",
                               "Ellipse 0 0 11 11", "Polygon 1 1 9 1 5 7", "MoveTo 3 8",
                               "LineTo 30 8"}));
}

TEST(ChartCanvas2D, ClipCubeInsetsLeftTopAndBottom) {
    RecordedCanvas c;
    c.canvas.ClipCube({10, 20, 100, 80}, 0, 50);
    c.canvas.UnClipRectangle();
    EXPECT_EQ(c.rec.calls, (std::vector<std::string>{"ClipRect 11 21 100 79", "NoClip"}));
}

struct ObliqueCase {
    int zoom, horiz, vert;
    int x, y, z;
    int ex, ey;  // worked out by hand
};

// Readable parameter names in the test listing.
void PrintTo(const ObliqueCase& k, std::ostream* os) {
    *os << "zoom " << k.zoom << " offset (" << k.horiz << ", " << k.vert << ") point (" << k.x << ", " << k.y
        << ", " << k.z << ") -> (" << k.ex << ", " << k.ey << ")";
}

class ObliqueProjection : public ::testing::TestWithParam<ObliqueCase> {};

TEST_P(ObliqueProjection, MovesByDepthAndZoomsAboutTheCentre) {
    const ObliqueCase k = GetParam();
    RecordedCanvas c;
    c.options.SetOrthogonal(true);
    c.options.SetZoom(k.zoom);
    c.options.SetHorizOffset(k.horiz);
    c.options.SetVertOffset(k.vert);
    c.Start3D(100);  // centre (100, 50)
    const TPoint p = c.canvas.Calculate3DPosition(k.x, k.y, k.z);
    EXPECT_EQ(p.x, k.ex);
    EXPECT_EQ(p.y, k.ey);
    // And back: the inverse of the oblique view is exact at zoom 100.
    int bx = p.x, by = p.y;
    c.canvas.Calculate2DPosition(bx, by, k.z);
    if (k.zoom == 100) {
        EXPECT_EQ(bx, k.x);
        EXPECT_EQ(by, k.y);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ObliqueProjection,
    ::testing::Values(
        // zoom 100: (x + z + h, y - z + v)
        ObliqueCase{100, 0, 0, 30, 40, 10, 40, 30},
        ObliqueCase{100, 5, -3, 30, 40, 10, 45, 27},
        // zoom 50: the offset from the centre is halved: 0.5 * (30 - 100 + 10) = -30
        ObliqueCase{50, 0, 0, 30, 40, 10, 70, 40},
        // halves go to the even neighbour: 0.5 * 5 = 2.5 -> 2, 0.5 * -7 = -3.5 -> -4
        ObliqueCase{50, 0, 0, 105, 43, 0, 102, 46},
        ObliqueCase{50, 0, 0, 107, 45, 0, 104, 48}));

TEST(ChartCanvas3D, DefaultRotationCoefficients) {
    RecordedCanvas c;
    c.options.SetOrthogonal(false);  // Elevation 345, Rotation 345, Tilt 0, Perspective 15
    c.Start3D(100);
    const double cos345 = 0.96592582628906831;
    EXPECT_NEAR(c.canvas.PerspectiveFactor, 0.000428571428, 1e-12);
    EXPECT_NEAR(c.canvas.ProjXY, 0.0, 1e-15);
    EXPECT_NEAR(c.canvas.ProjYY, cos345, 1e-12);
    EXPECT_NEAR(c.canvas.ProjXX, cos345, 1e-12);
    EXPECT_NEAR(c.canvas.ProjXZ, 0.25881904510252074, 1e-12);   // -sin 345
    EXPECT_NEAR(c.canvas.ProjYZ, -0.25, 1e-12);                 // cos345 * sin345
    EXPECT_NEAR(c.canvas.ProjYX, 0.066987298107780646, 1e-12);  // sin^2 345
    EXPECT_EQ(c.canvas.CenterZ, 50);
    // The centre lands on the origin; a point 100 to the right of it is
    // scaled by 1 - 15/35000 * (100 * cos345 * sin345) = 1.0107142857:
    // x = 100 * cos345 * 1.0107 = 97.63 -> 98, y = 100 * sin^2 345 * 1.0107 = 6.77 -> 7.
    EXPECT_EQ(c.canvas.Calculate3DPosition(100, 50, 50), (TPoint{100, 50}));
    EXPECT_EQ(c.canvas.Calculate3DPosition(200, 50, 50), (TPoint{198, 57}));
}

// A point the axes put 4 million pixels out, zoomed to 200 % with the default
// perspective: c = 2 (1 + 15/35000 * 4194204 * 0.25) = 900.758, x = c * 4194204
// * cos 345 = 3.65e9, beyond the 32-bit range; y = c * 4194204 * sin^2 345 =
// 253075520.77. The x stays at the far right instead of wrapping to the left.
TEST(ChartCanvas3D, ProjectionBeyondThe32BitRangeStaysOnItsSide) {
    RecordedCanvas c;
    c.options.SetOrthogonal(false);
    c.options.SetZoom(200);
    c.Start3D(100);
    const TPoint p = c.canvas.Calculate3DPosition(4194304, 50, 50);
    EXPECT_EQ(p.x, std::numeric_limits<int>::max());
    EXPECT_EQ(p.y, 253075521 + 50);
    c.options.SetOrthogonal(true);
    c.options.SetZoom(100000);
    c.Start3D(100);
    EXPECT_EQ(c.canvas.Calculate3DPosition(4194304, -4194304, 0),
              (TPoint{std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}));
    EXPECT_EQ(c.canvas.Calculate3DPosition(101, 49, 0), (TPoint{1100, -950}));
}

TEST(ChartCanvas3D, ElevationNinetyKeepsTheVerticalCoefficientAboveZero) {
    RecordedCanvas c;
    c.options.SetOrthogonal(false);
    c.options.SetElevation(90);
    c.canvas.InitWindow(&c.dest, &c.options, clWhite, true, {0, 0, 400, 300});
    EXPECT_EQ(c.canvas.ProjYY, 0.00001);
}

TEST(ChartCanvas3D, InverseOfRotationIgnoresPerspectiveAndUsesScreenCrossTerms) {
    RecordedCanvas c;
    c.options.SetOrthogonal(false);
    c.options.SetPerspective(0);
    c.Start3D(100);
    // Without perspective: x = round(100 cos345) = 97, y = round(100 sin^2 345) = 7.
    TPoint p = c.canvas.Calculate3DPosition(200, 50, 50);
    EXPECT_EQ(p, (TPoint{197, 57}));
    // Back: x = round(97 / cos345) = round(100.42) = 100; y uses the screen x:
    // round((7 - 97 * sin^2 345) / cos345) = round(0.52) = 1.
    c.canvas.Calculate2DPosition(p.x, p.y, 50);
    EXPECT_EQ(p, (TPoint{200, 51}));
}

TEST(ChartCanvas3D, FrontPlaneDrawsFlatUntilEnded) {
    RecordedCanvas c;
    c.options.SetOrthogonal(false);
    c.Start3D(100);
    c.canvas.FrontPlaneBegin();
    EXPECT_EQ(c.canvas.Calculate3DPosition(200, 50, 50), (TPoint{200, 50}));
    c.canvas.FrontPlaneEnd();
    EXPECT_EQ(c.canvas.Calculate3DPosition(200, 50, 50), (TPoint{198, 57}));
}

TEST(ChartCanvas3D, RotatedEllipseIsFannedAndOutlined) {
    RecordedCanvas c;
    c.options.SetOrthogonal(false);
    c.Start3D(100);
    c.rec.Clear();
    c.canvas.EllipseWithZ(80, 30, 120, 70, 50);
    EXPECT_EQ(c.rec.CallsStartingWith("Polygon").size(), 31u) << "31 triangles from the centre";
    const auto outline = c.rec.CallsStartingWith("Polyline");
    ASSERT_EQ(outline.size(), 1u);
    // Point 0 is the projection of (centre x, bottom) = (100, 70, 50): dy = 20
    // -> x = round(20 * 0) + 100, y = round(c * 20 * cos345) + 50 with
    // c = 1 - 15/35000 * (-20 * sin345) = 0.99778: 19.276 -> 19.
    EXPECT_EQ(outline[0].rfind("Polyline 100 69 ", 0), 0u) << outline[0];
    // With a clear pen only the fan is drawn, and the pen style comes back.
    c.rec.Clear();
    c.canvas.Pen->SetStyle(TPenStyle::Clear);
    c.canvas.EllipseWithZ(80, 30, 120, 70, 50);
    EXPECT_TRUE(c.rec.CallsStartingWith("Polyline").empty());
    EXPECT_EQ(c.canvas.Pen->GetStyle(), TPenStyle::Clear);
}

TEST(ChartCanvas3D, ClipCubeClipsToTheProjectedBoxOutline) {
    RecordedCanvas c;
    c.options.SetOrthogonal(true);
    c.Start3D(20);
    c.rec.Clear();
    c.canvas.ClipCube({10, 20, 100, 80}, 0, 20);
    // Oblique: depth 20 moves 20 right and 20 up.
    // P0 (10,80,0) P1 (10,20,0) P2 = A (30,0) since B (100,20) is lower,
    // P3 (120,0), P4 = C (120,60) since D (100,20) is left of it, P5 (100,80).
    EXPECT_EQ(c.rec.calls, std::vector<std::string>{
                               "ClipPolygon 10 80 10 20 30 0 120 0 120 60 100 80"});
}

TEST(ChartCanvas, RotateLabelSetsEscapementForOneCall) {
    RecordedCanvas c;
    c.rec.recordState = true;
    // Escapement and orientation in tenths of a degree; angles above 360
    // are reduced once.
    const struct {
        int angle, expected;
    } cases[] = {{450, 900}, {360, 3600}, {90, 900}, {0, 0}, {270, 2700}, {361, 10}, {800, 4400}};
    for (const auto& [angle, expected] : cases) {
        SCOPED_TRACE(angle);
        c.rec.Clear();
        c.canvas.RotateLabel(10, 20, "lbl", angle);
        const auto fonts = c.rec.CallsStartingWith("SelectFont");
        ASSERT_GE(fonts.size(), 2u) << "rotated copy, then the canvas font again";
        const std::string& rotated = fonts[fonts.size() - 2];
        EXPECT_EQ(rotated, "SelectFont Arial -11 " + std::to_string(expected) + " " +
                               std::to_string(expected));
        EXPECT_EQ(fonts.back(), "SelectFont Arial -11 0 0");
        EXPECT_EQ(c.rec.CallsStartingWith("TextOut"), std::vector<std::string>{"TextOut 10 20 lbl"});
    }
    EXPECT_EQ(c.canvas.Brush->GetStyle(), TBrushStyle::Clear);
}

TEST(ChartCanvas, ZoomedTextUsesAScaledCopyOfTheFont) {
    RecordedCanvas c;
    c.options.SetOrthogonal(true);
    c.options.SetZoom(50);
    c.Start3D(0);
    c.canvas.Font->SetSize(10);
    c.rec.recordState = true;
    c.canvas.TextOut3D(100, 50, 0, "z");
    const auto fonts = c.rec.CallsStartingWith("SelectFont");
    // 10 pt at zoom 0.5 is 5 pt: height -MulDiv(5, 96, 72) = -7.
    ASSERT_GE(fonts.size(), 2u);
    EXPECT_EQ(fonts[fonts.size() - 2], "SelectFont Arial -7 0 0");
    EXPECT_EQ(fonts.back(), "SelectFont Arial -13 0 0");
}

TEST(ChartCanvasBuffer, ReusesThePictureUntilTheSizeChanges) {
    RecordingDevice window(400, 300);
    TCanvas windowCanvas(&window);
    TChartCanvas3D canvas;
    canvas.SetCanvas(&windowCanvas);
    EXPECT_FALSE(canvas.ReDrawBitmap()) << "nothing drawn yet";

    TRect r = canvas.InitWindow(&windowCanvas, nullptr, clWhite, false, {5, 6, 105, 56});
    EXPECT_EQ(r, (TRect{0, 0, 100, 50}));
    TBitmap* first = canvas.BufferBitmap.get();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(canvas.ReferenceCanvas, &first->GetCanvas());
    canvas.Brush->SetColor(clRed);
    canvas.FillRect({0, 0, 100, 50});
    canvas.ShowImage(&windowCanvas, &windowCanvas, {5, 6, 105, 56});
    EXPECT_EQ(window.calls.back(), "BitBlt 5 6 100 50");
    EXPECT_FALSE(canvas.BufferDirty);
    EXPECT_EQ(canvas.ReferenceCanvas, &windowCanvas);

    window.Clear();
    EXPECT_TRUE(canvas.ReDrawBitmap());
    EXPECT_EQ(window.calls, std::vector<std::string>{"BitBlt 0 0 100 50"});
    canvas.Invalidate();
    EXPECT_FALSE(canvas.ReDrawBitmap());

    canvas.InitWindow(&windowCanvas, nullptr, clWhite, false, {0, 0, 100, 50});
    EXPECT_EQ(canvas.BufferBitmap.get(), first) << "same size: same picture";
    EXPECT_EQ(canvas.BufferBitmap->Device()->PixelAt(10, 10), clRed) << "not cleared";
    canvas.InitWindow(&windowCanvas, nullptr, clWhite, false, {0, 0, 120, 50});
    EXPECT_EQ(canvas.BufferBitmap->Width(), 120);
    canvas.ShowImage(&windowCanvas, &windowCanvas, {0, 0, 120, 50});

    canvas.SetUseBuffer(false);
    EXPECT_EQ(canvas.BufferBitmap, nullptr);
    EXPECT_TRUE(canvas.BufferDirty);
    r = canvas.InitWindow(&windowCanvas, nullptr, clWhite, false, {5, 6, 105, 56});
    EXPECT_EQ(r, (TRect{5, 6, 105, 56}));
    EXPECT_EQ(canvas.ReferenceCanvas, &windowCanvas);
}

TEST(ChartCanvasBuffer, MonochromeChangeDropsThePicture) {
    RecordingDevice window;
    TCanvas windowCanvas(&window);
    TChartCanvas3D canvas;
    canvas.InitWindow(&windowCanvas, nullptr, clWhite, false, {0, 0, 10, 10});
    ASSERT_NE(canvas.BufferBitmap, nullptr);
    canvas.SetMonochrome(true);
    EXPECT_EQ(canvas.BufferBitmap, nullptr);
    EXPECT_EQ(canvas.ReferenceCanvas, nullptr) << "never left pointing at a freed picture";
    canvas.FillRect({0, 0, 5, 5});  // harmless without a canvas
    canvas.InitWindow(&windowCanvas, nullptr, clWhite, false, {0, 0, 10, 10});
    EXPECT_TRUE(canvas.BufferBitmap->Monochrome());
}

// Pixels of a small picture drawn through the canvas.
struct PixelCanvas {
    ImageDevice img{40, 40};
    TCanvas dest{&img};
    TChartCanvas3D canvas;
    PixelCanvas() {
        canvas.SetUseBuffer(false);
        canvas.InitWindow(&dest, nullptr, clWhite, false, {0, 0, 40, 40});
    }
    TColor At(int x, int y) { return static_cast<TColor>(img.PixelAt(x, y)); }
};

TEST(ChartCanvasPixels, Frame3DDrawsTopLeftThenBottomRight) {
    PixelCanvas p;
    p.canvas.Frame3D({2, 2, 10, 8}, clRed, clBlue, 2);
    EXPECT_EQ(p.At(2, 2), clRed);
    EXPECT_EQ(p.At(2, 6), clRed);
    EXPECT_EQ(p.At(8, 2), clRed);
    EXPECT_EQ(p.At(9, 2), clBlue) << "the bottom colour starts at the top right";
    EXPECT_EQ(p.At(9, 7), clBlue);
    EXPECT_EQ(p.At(2, 7), clBlue) << "and ends at the bottom left";
    EXPECT_EQ(p.At(10, 7), clWhite);
    EXPECT_EQ(p.At(9, 8), clWhite);
    EXPECT_EQ(p.At(3, 3), clRed) << "second ring";
    EXPECT_EQ(p.At(8, 6), clBlue);
    EXPECT_EQ(p.At(4, 4), clWhite);
}

TEST(ChartCanvasPixels, SmallDotsPenDrawsAlternatePixels) {
    PixelCanvas p;
    TChartPen pen;
    pen.SetColor(clBlue);
    pen.SetSmallDots(true);
    p.canvas.AssignVisiblePen(pen);
    p.canvas.Line(0, 5, 10, 5);
    std::string row;
    for (int x = 0; x <= 10; ++x) row += p.At(x, 5) == clBlue ? '#' : '.';
    EXPECT_EQ(row, "#.#.#.#.#..");
    // A wider small-dots pen is copied as it is.
    pen.SetWidth(2);
    p.canvas.AssignVisiblePen(pen);
    EXPECT_EQ(p.canvas.Pen->GetStyle(), TPenStyle::Solid);
    EXPECT_EQ(p.canvas.Pen->GetWidth(), 2);
    // A hidden pen only clears the canvas pen.
    TChartHiddenPen hidden;
    p.canvas.AssignVisiblePen(hidden);
    EXPECT_EQ(p.canvas.Pen->GetStyle(), TPenStyle::Clear);
    EXPECT_EQ(p.canvas.Pen->GetWidth(), 2);
}

TEST(ChartCanvasPixels, ClipRectangleKeepsDrawingInside) {
    PixelCanvas p;
    p.canvas.ClipRectangle({10, 10, 20, 20});
    p.canvas.Brush->SetColor(clRed);
    p.canvas.FillRect({0, 0, 40, 40});
    p.canvas.UnClipRectangle();
    EXPECT_EQ(p.At(9, 15), clWhite);
    EXPECT_EQ(p.At(10, 10), clRed);
    EXPECT_EQ(p.At(19, 19), clRed);
    EXPECT_EQ(p.At(20, 19), clWhite);
    p.canvas.Brush->SetColor(clBlue);
    p.canvas.FillRect({0, 0, 2, 2});
    EXPECT_EQ(p.At(1, 1), clBlue);
}

// Counts the bands of a gradient through the recorder.
std::vector<std::string> GradientBands(TRect r, TGradientDirection dir, TColor s, TColor e) {
    RecordedCanvas c;
    c.rec.Clear();
    c.canvas.GradientFill(r, s, e, dir);
    return c.rec.CallsStartingWith("FillRect");
}

TEST(ChartCanvasGradient, BandCounts) {
    auto b = GradientBands({0, 0, 50, 100}, gdTopBottom, clWhite, clYellow);
    ASSERT_EQ(b.size(), 100u) << "one band per row";
    EXPECT_EQ(b.front(), "FillRect 0 99 50 100 FFFFFF") << "start colour at the bottom";
    EXPECT_EQ(b.back(), "FillRect 0 0 50 1 FFFF00") << "end colour at the top";

    b = GradientBands({0, 0, 50, 1000}, gdTopBottom, clBlack, clWhite);
    ASSERT_EQ(b.size(), 256u);
    // Bands of about 4 rows: MulDiv(i, 1000, 256).
    EXPECT_EQ(b[0], "FillRect 0 996 50 1000 000000");
    EXPECT_EQ(b[1], "FillRect 0 992 50 996 010101");
    EXPECT_EQ(b[255], "FillRect 0 0 50 4 FFFFFF");

    b = GradientBands({0, 0, 50, 1}, gdTopBottom, clRed, clBlue);
    EXPECT_EQ(b, std::vector<std::string>{"FillRect 0 0 50 1 FF0000"}) << "one band, start colour";

    b = GradientBands({10, 0, 30, 5}, gdLeftRight, clBlack, clWhite);
    ASSERT_EQ(b.size(), 20u);
    EXPECT_EQ(b.front(), "FillRect 29 0 30 5 000000") << "start colour at the right";
    EXPECT_EQ(b.back(), "FillRect 10 0 11 5 FFFFFF");
}

TEST(ChartCanvasGradient, CentreRingsStartOutside) {
    PixelCanvas p;
    p.canvas.GradientFill({0, 0, 40, 40}, clBlack, clWhite, gdFromCenter);
    EXPECT_EQ(p.At(0, 0), clBlack);
    EXPECT_EQ(p.At(39, 39), clBlack);
    EXPECT_EQ(p.At(0, 20), clBlack);
    // Ring k (2 pixels wide) has colour MulDiv(2k + 2k, 255, 40) on each channel.
    const int k = 5;
    const int v = platform::MulDiv(4 * k, 255, 40);
    EXPECT_EQ(p.At(2 * k, 20), platform::RGBColor(v, v, v));
}

TEST(ChartCanvasGradient, CornerFormsStartAtTheirCorner) {
    PixelCanvas p;
    p.canvas.GradientFill({0, 0, 20, 20}, clRed, clBlue, gdFromTopLeft);
    EXPECT_EQ(p.At(0, 0), clRed);
    PixelCanvas q;
    q.canvas.GradientFill({0, 0, 20, 20}, clRed, clBlue, gdFromBottomLeft);
    // The bottom-left form starts on the row of the rectangle's bottom edge.
    EXPECT_EQ(q.At(0, 20), clRed);
    EXPECT_NE(q.At(19, 0), clRed);
}

TEST(ChartColours, DarkAndBright) {
    struct Case {
        TColor in;
        int amount;
        bool dark;
        TColor out;
    };
    const Case cases[] = {
        {clWhite, 64, true, platform::RGBColor(191, 191, 191)},
        {platform::RGBColor(40, 100, 200), 64, true, platform::RGBColor(0, 36, 136)},
        {platform::RGBColor(64, 64, 64), 64, true, platform::RGBColor(0, 0, 0)},
        {clSilver, 80, false, clWhite},
        {platform::RGBColor(10, 175, 176), 80, false, platform::RGBColor(90, 255, 255)},
        {clBtnFace, 12, true, platform::RGBColor(200, 196, 188)},  // system colour resolved
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.dark ? ApplyDark(c.in, c.amount) : ApplyBright(c.in, c.amount), c.out)
            << std::hex << c.in << " " << std::dec << c.amount;
}

TEST(ChartPens, DefaultsAndNotifications) {
    int changes = 0;
    TChartPen pen([&] { ++changes; });
    EXPECT_TRUE(pen.GetVisible());
    EXPECT_FALSE(pen.GetSmallDots());
    EXPECT_EQ(pen.GetColor(), clBlack);
    EXPECT_EQ(pen.GetWidth(), 1);
    EXPECT_EQ(pen.GetStyle(), TPenStyle::Solid);
    pen.SetVisible(true);
    EXPECT_EQ(changes, 0) << "same value, no notification";
    pen.SetVisible(false);
    pen.SetSmallDots(true);
    pen.SetColor(clRed);
    EXPECT_EQ(changes, 3);

    TChartHiddenPen hidden;
    EXPECT_FALSE(hidden.GetVisible());
    TDottedGrayPen grid;
    EXPECT_EQ(grid.GetColor(), 8421504u);
    EXPECT_EQ(grid.GetStyle(), TPenStyle::Dot);
    TDarkGrayPen ticks;
    EXPECT_EQ(ticks.GetColor(), 8421504u);
    EXPECT_EQ(TChartAxisPen().GetWidth(), 2);
    EXPECT_EQ(TChartArrowPen().GetColor(), 16777215u);
    EXPECT_EQ(TChartBrush().GetColor(), UseSeriesColor);
    EXPECT_EQ(TChartBrush().GetStyle(), TBrushStyle::Solid);

    TChartPen copy;
    copy.Assign(pen);
    EXPECT_FALSE(copy.GetVisible());
    EXPECT_TRUE(copy.GetSmallDots());
    EXPECT_EQ(copy.GetColor(), clRed);
}

TEST(ChartCanvas, ResetStateRestoresDefaults) {
    RecordedCanvas c;
    c.canvas.Pen->SetColor(clRed);
    c.canvas.Pen->SetWidth(3);
    c.canvas.Brush->SetStyle(TBrushStyle::Cross);
    c.canvas.Font->SetSize(20);
    c.canvas.SetBackMode(cbmOpaque);
    c.canvas.ResetState();
    EXPECT_EQ(c.canvas.Pen->GetColor(), clBlack);
    EXPECT_EQ(c.canvas.Pen->GetWidth(), 1);
    EXPECT_EQ(c.canvas.Brush->GetStyle(), TBrushStyle::Solid);
    EXPECT_EQ(c.canvas.Brush->GetColor(), clWhite);
    EXPECT_EQ(c.canvas.Font->GetSize(), 10);
    EXPECT_EQ(c.canvas.GetBackMode(), cbmTransparent);
    EXPECT_EQ(c.canvas.GetBackColor(), clWhite);
    EXPECT_EQ(c.canvas.FontHeight(), 13) << "recorder: one font height, 10 pt at 96 dpi";
}

TEST(View3DOptions, SettersNotifyOnlyOnChange) {
    struct Window : TChartWindow {
        int invalidations = 0;
        void Invalidate() override { ++invalidations; }
    } w;
    TView3DOptions o(&w);
    std::vector<std::string> events;
    o.OnOffsetChange = [&](bool h) { events.push_back(h ? "h" : "v"); };
    o.OnZoomChange = [&](int z) { events.push_back("zoom " + std::to_string(z) + " was " +
                                                   std::to_string(o.GetZoom())); };
    o.SetElevation(345);
    o.SetZoom(100);
    EXPECT_EQ(w.invalidations, 0);
    o.SetHorizOffset(4);
    o.SetVertOffset(2);
    o.SetZoom(80);
    EXPECT_EQ(w.invalidations, 3);
    EXPECT_EQ(events, (std::vector<std::string>{"h", "v", "zoom 80 was 100"}));
    TView3DOptions copy;
    copy.Assign(o);
    EXPECT_EQ(copy.GetZoom(), 80);
    EXPECT_EQ(copy.GetHorizOffset(), 4);
    EXPECT_EQ(copy.Parent, nullptr);
}

}  // namespace
}  // namespace pellucor::chart
