// The chart panel drawn on a picture: bevels and border, the background
// gradient's orientation and hatched brushes, read back pixel by pixel.
#include <gtest/gtest.h>

#include "chart/ChartPanel.h"
#include "platform/gfx/PainterDevice.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::chart {
namespace {

using platform::ImageDevice;

// A plain drawing panel drawn once onto a picture of its own size.
struct DrawnPanel {
    ImageDevice img;
    TCanvas dest{&img};
    TDraw3D panel;
    DrawnPanel(int w, int h) : img(w, h) {
        panel.Width = w;
        panel.Height = h;
        panel.SetView3D(false);
    }
    void Draw() { panel.Draw(&dest, TRect{0, 0, panel.Width, panel.Height}); }
    TColor At(int x, int y) { return static_cast<TColor>(img.PixelAt(x, y)); }
};

constexpr TColor kHighlight = 0xFFFFFF;  // button highlight of the scheme
constexpr TColor kShadow = 0x808080;     // button shadow

TEST(ChartPanelPicture, BevelsAndBorderNestInsideEachOther) {
    DrawnPanel d(20, 16);
    d.panel.Color = clRed;
    d.panel.BevelOuter = bvRaised;
    d.panel.BevelInner = bvLowered;
    d.panel.BevelWidth = 1;
    d.panel.BorderWidth = 2;
    d.Draw();
    // Outer raised bevel on the panel's edge.
    EXPECT_EQ(d.At(0, 0), kHighlight);
    EXPECT_EQ(d.At(10, 0), kHighlight);
    EXPECT_EQ(d.At(0, 8), kHighlight);
    EXPECT_EQ(d.At(19, 0), kShadow);
    EXPECT_EQ(d.At(19, 15), kShadow);
    EXPECT_EQ(d.At(0, 15), kShadow);
    // The border in the panel colour, two pixels wide.
    EXPECT_EQ(d.At(1, 1), clRed);
    EXPECT_EQ(d.At(2, 8), clRed);
    EXPECT_EQ(d.At(17, 13), clRed);
    // Inner lowered bevel inside bevel and border: shadow top-left.
    EXPECT_EQ(d.At(3, 3), kShadow);
    EXPECT_EQ(d.At(10, 3), kShadow);
    EXPECT_EQ(d.At(3, 8), kShadow);
    EXPECT_EQ(d.At(16, 8), kHighlight);
    EXPECT_EQ(d.At(10, 12), kHighlight);
    EXPECT_EQ(d.At(16, 12), kHighlight);
    // Inside: the background.
    EXPECT_EQ(d.At(4, 4), clRed);
    EXPECT_EQ(d.At(15, 11), clRed);
}

TEST(ChartPanelPicture, NoBevelLeavesTheEdgeInThePanelColour) {
    DrawnPanel d(12, 10);
    d.panel.Color = clBlue;
    d.panel.BevelOuter = bvNone;
    d.Draw();
    EXPECT_EQ(d.At(0, 0), clBlue);
    EXPECT_EQ(d.At(11, 9), clBlue);
}

TEST(ChartPanelPicture, GradientBottomTopPutsTheEndColourAtTheBottom) {
    struct Case {
        TGradientDirection dir;
        TColor top, bottom, left, right;
    };
    // Start white, end blue.
    const Case cases[] = {
        {gdTopBottom, clBlue, clWhite, 0, 0},
        {gdBottomTop, clWhite, clBlue, 0, 0},
        {gdLeftRight, 0, 0, clBlue, clWhite},
        {gdRightLeft, 0, 0, clWhite, clBlue},
    };
    for (const Case& c : cases) {
        DrawnPanel d(40, 30);
        d.panel.BevelOuter = bvNone;
        d.panel.Gradient->SetStartColor(clWhite);
        d.panel.Gradient->SetEndColor(clBlue);
        d.panel.Gradient->SetDirection(c.dir);
        d.panel.Gradient->SetVisible(true);
        d.Draw();
        if (c.top) {
            EXPECT_EQ(d.At(20, 0), c.top) << c.dir;
            EXPECT_EQ(d.At(20, 29), c.bottom) << c.dir;
        } else {
            EXPECT_EQ(d.At(0, 15), c.left) << c.dir;
            EXPECT_EQ(d.At(39, 15), c.right) << c.dir;
        }
    }
}

TEST(ChartPanelPicture, HatchInTheBackColourTurnsWhiteOnBlack) {
    DrawnPanel d(16, 16);
    TCustomChartPanel& p = d.panel;
    p.Canvas->SetUseBuffer(false);
    p.Canvas->InitWindow(&d.dest, p.View3DOptions.get(), clWhite, false, {0, 0, 16, 16});
    p.SetBrushCanvas(clBlack, TBrushStyle::Cross, clBlack);
    p.Canvas->Pen->SetStyle(TPenStyle::Clear);
    p.Canvas->FillRect({0, 0, 16, 16});
    int white = 0, black = 0, other = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const TColor c = d.At(x, y);
            (c == clWhite ? white : c == clBlack ? black : other)++;
        }
    EXPECT_EQ(other, 0);
    EXPECT_GT(white, 0) << "hatch lines";
    EXPECT_GT(black, white) << "opaque black gaps";
}

}  // namespace
}  // namespace pellucor::chart
