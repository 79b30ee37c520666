// The shaded solids of the 3-D canvas: which faces are drawn, where, and
// how much darker the sides and tops are than the front.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/ChartCanvas.h"
#include "platform/gfx/PainterDevice.h"
#include "platform/gfx/RecordingDevice.h"

namespace pellucor::chart {
namespace {

using platform::ImageDevice;
using platform::RecordingDevice;

// A canvas recording what it draws, flat (2-D) or in the oblique view in
// which a point (x, y, z) lands on (x + z, y - z).
struct SolidCanvas {
    RecordingDevice rec{400, 300};
    TCanvas dest{&rec};
    TChartCanvas3D canvas;
    TView3DOptions options;
    explicit SolidCanvas(bool is3D) {
        canvas.SetUseBuffer(false);
        canvas.InitWindow(&dest, &options, clWhite, is3D, {0, 0, 400, 300});
        if (is3D) canvas.Projection(100, {0, 0, 400, 300}, {0, 0, 200, 100});
        canvas.Brush->SetStyle(TBrushStyle::Solid);
        canvas.Brush->SetColor(clRed);
        rec.Clear();
    }
    std::vector<std::string> Polygons() const { return rec.CallsStartingWith("Polygon"); }
    // The brush colour in force at each polygon, in drawing order.
    std::vector<std::string> BrushAtPolygons() {
        std::vector<std::string> out;
        std::string brush = "?";
        for (const auto& c : rec.calls) {
            if (c.rfind("SelectBrush", 0) == 0) brush = c.substr(c.rfind(' ') + 1);
            if (c.rfind("Polygon", 0) == 0) out.push_back(brush);
        }
        return out;
    }
};

std::string Hex(TColor c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X%02X", platform::RedOf(c), platform::GreenOf(c), platform::BlueOf(c));
    return buf;
}

TEST(ShadedSolids, FlatCubeIsItsFrontWithACollapsedLeftSideAndNoTop) {
    SolidCanvas c(false);
    c.canvas.Cube(10, 50, 20, 60, 0, 10, true);
    EXPECT_EQ(c.Polygons(), (std::vector<std::string>{"Polygon 10 20 50 20 50 60 10 60",
                                                      "Polygon 10 20 10 20 10 60 10 60"}));
}

TEST(ShadedSolids, ObliqueCubeDrawsFrontRightSideAndTopOnlyEachDarker) {
    SolidCanvas c(true);
    c.rec.recordState = true;
    c.canvas.Cube(40, 80, 40, 80, 0, 20, true);
    // Front at z 0, right side toward the viewer (x + 20), top seen from
    // above (y - 20); the left side and the back are hidden.
    EXPECT_EQ(c.Polygons(), (std::vector<std::string>{"Polygon 40 40 80 40 80 80 40 80",
                                                      "Polygon 80 40 100 20 100 60 80 80",
                                                      "Polygon 40 40 80 40 100 20 60 20"}));
    EXPECT_EQ(c.BrushAtPolygons(), (std::vector<std::string>{"FF0000", "7F0000", "BF0000"}));
}

TEST(ShadedSolids, HatchedFacesDarkenTheBackgroundInstead) {
    SolidCanvas c(true);
    c.canvas.Brush->SetStyle(TBrushStyle::Cross);
    c.canvas.Brush->SetColor(clBlue);
    c.canvas.SetBackColor(clWhite);
    c.canvas.Cube(40, 80, 40, 80, 0, 20, true);
    EXPECT_EQ(c.canvas.Brush->GetColor(), clBlue) << "the hatch keeps its colour";
    EXPECT_EQ(c.canvas.GetBackColor(), ApplyDark(clWhite, DarkFactor2)) << "the gaps of the top are darker";
}

TEST(ShadedSolids, UnshadedCubeKeepsTheBrushColour) {
    SolidCanvas c(true);
    c.rec.recordState = true;
    c.canvas.Cube(40, 80, 40, 80, 0, 20, false);
    for (const auto& b : c.BrushAtPolygons()) EXPECT_EQ(b, "FF0000");
}

TEST(ShadedSolids, CylinderSideQuadsDarkenInStepsOfSixteen) {
    SolidCanvas c(true);
    c.rec.recordState = true;
    c.canvas.Cylinder(true, 40, 40, 80, 100, 0, 20, true);
    const auto brushes = c.BrushAtPolygons();
    ASSERT_GE(brushes.size(), 3u);
    // Every quad but the last polygon (the cover, darkened by 64).
    for (std::size_t k = 0; k + 1 < brushes.size(); ++k)
        EXPECT_EQ(brushes[k], Hex(ApplyDark(clRed, 16 * static_cast<int>(k)))) << "quad " << k;
    EXPECT_EQ(brushes.back(), Hex(ApplyDark(clRed, DarkFactor2)));
    // The cover has the sixteen points of the circle.
    const std::string cover = c.Polygons().back();
    EXPECT_EQ(std::count(cover.begin(), cover.end(), ' '), 32);
}

TEST(ShadedSolids, ConeDrawsLikeAShadedPyramid) {
    SolidCanvas a(true), b(true);
    a.canvas.Cone(true, 40, 20, 80, 90, 0, 20, 37);
    b.canvas.Pyramid(true, 40, 20, 80, 90, 0, 20, true);
    EXPECT_EQ(a.rec.calls, b.rec.calls);
    EXPECT_FALSE(a.Polygons().empty());
}

TEST(ShadedSolids, PyramidPointingDownShowsItsBase) {
    SolidCanvas c(true);
    c.canvas.Pyramid(true, 40, 90, 80, 40, 0, 20, true);
    // top >= bottom: the front and right faces, then the base plane at y 40.
    const auto p = c.Polygons();
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p.back(), "Polygon 40 40 80 40 100 20 60 20");
}

TEST(ShadedSolids, ArrowHeadsAndEmptyArrows) {
    struct Case {
        bool filled;
        TPoint from, to;
        int width, height;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        // a head higher than the arrow is as long as the arrow
        {false, {10, 10}, {30, 10}, 10, 50, {"MoveTo 10 10", "LineTo 30 10", "LineTo 10 15", "MoveTo 30 10", "LineTo 10 5"}},
        // upward: the barbs lie below the tip
        {false, {50, 40}, {50, 20}, 8, 6, {"MoveTo 50 40", "LineTo 50 20", "LineTo 54 26", "MoveTo 50 20", "LineTo 46 26"}},
        // filled: a shaft half as wide as the head, then the head
        {true, {10, 10}, {30, 10}, 8, 6, {"Polygon 10 12 10 8 24 8 24 6 30 10 24 14 24 12"}},
        {true, {7, 7}, {7, 7}, 8, 6, {}},
    };
    for (const auto& k : cases) {
        SolidCanvas c(false);
        c.canvas.Arrow(k.filled, k.from, k.to, k.width, k.height, 0);
        EXPECT_EQ(c.rec.calls, k.calls);
    }
}

TEST(ShadedSolids, PieSliceFaceAndDarkerRimInPixels) {
    ImageDevice img{200, 200};
    TCanvas dest{&img};
    TChartCanvas3D canvas;
    TView3DOptions options;
    canvas.SetUseBuffer(false);
    canvas.InitWindow(&dest, &options, clWhite, true, {0, 0, 200, 200});
    canvas.Projection(100, {0, 0, 200, 200}, {0, 0, 200, 200});
    canvas.Pen->SetStyle(TPenStyle::Clear);
    canvas.Brush->SetStyle(TBrushStyle::Solid);
    canvas.Brush->SetColor(clLime);
    // The lower half of a disc of radius 50 about (100, 100), 20 deep: the
    // face at z 20 lands on (120, 80); the rim below it is seen.
    canvas.Pie3D(100, 100, 50, 50, 0, 20, std::numbers::pi, 2 * std::numbers::pi, true, false);
    EXPECT_EQ(static_cast<TColor>(img.PixelAt(120, 100)), clLime) << "the slice's face";
    EXPECT_EQ(static_cast<TColor>(img.PixelAt(120, 138)), ApplyDark(clLime, 32)) << "the rim, darker";
    EXPECT_EQ(static_cast<TColor>(img.PixelAt(120, 60)), clWhite) << "the upper half is not part of the slice";
}

}  // namespace
}  // namespace pellucor::chart
