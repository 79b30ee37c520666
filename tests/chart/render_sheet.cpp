// Draws a sheet of the chart canvas's primitives, texts, gradients and
// hatches into a PNG file for a reviewer to look at.
// Usage: render_sheet <output.png>
#include <cstdio>
#include <string>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include "chart/ChartCanvas.h"
#include "chart/ChartProcs.h"
#include "platform/gfx/PainterDevice.h"

using namespace pellucor::chart;
using pellucor::platform::ImageDevice;

namespace {

void Caption(TChartCanvas3D& c, int x, int y, const std::string& text) {
    c.Brush->SetStyle(TBrushStyle::Clear);
    c.Font->SetSize(8);
    c.Font->SetColor(clBlack);
    c.SetTextAlign(pellucor::platform::TA_LEFT | pellucor::platform::TA_TOP);
    c.TextOut(x, y, text);
}

void Cross(TChartCanvas3D& c, int x, int y) {
    c.Pen->SetColor(clRed);
    c.Pen->SetStyle(TPenStyle::Solid);
    c.Pen->SetWidth(1);
    c.Line(x - 4, y, x + 5, y);
    c.Line(x, y - 4, x, y + 5);
}

void DrawSheet(TChartCanvas3D& c, int w, int h) {
    c.Brush->SetColor(clWhite);
    c.Brush->SetStyle(TBrushStyle::Solid);
    c.FillRect({0, 0, w, h});
    c.ResetState();
    c.Font->SetSize(12);
    c.Font->SetStyle(pellucor::platform::fsBold);
    c.Brush->SetStyle(TBrushStyle::Clear);
    c.TextOut(10, 8, "Chart canvas sheet");
    c.Font->SetStyle(0);

    // Row 1: shapes with a black pen and a coloured brush.
    int y = 40;
    Caption(c, 10, y, "Rectangle, Ellipse, RoundRect, Pie, Arc, Polygon, Frame3D");
    y += 18;
    c.Pen->SetColor(clBlack);
    c.Brush->SetStyle(TBrushStyle::Solid);
    c.Brush->SetColor(clYellow);
    c.Rectangle(10, y, 70, y + 50);
    c.Brush->SetColor(clAqua);
    c.Ellipse(80, y, 140, y + 50);
    c.Brush->SetColor(clLime);
    c.RoundRect(150, y, 210, y + 50, 16, 16);
    c.Brush->SetColor(clFuchsia);
    c.Pie(220, y, 280, y + 50, 280, y, 220, y);  // upper half
    c.Pen->SetColor(clNavy);
    c.Arc(290, y, 350, y + 50, 350, y + 25, 320, y);  // a quarter, counter-clockwise
    c.Pen->SetColor(clBlack);
    c.Brush->SetColor(clSilver);
    const TPoint star[5] = {{390, y}, {405, y + 50}, {365, y + 18}, {415, y + 18}, {375, y + 50}};
    c.Polygon(star, 4);
    c.Frame3D({430, y, 490, y + 50}, clWhite, clGray, 3);
    c.Frame3D({500, y, 560, y + 50}, clGray, clWhite, 2);

    // Row 2: pens.
    y += 70;
    Caption(c, 10, y, "Pens: solid, dash, dot, dash-dot, dash-dot-dot, small dots, width 3, hidden");
    y += 18;
    const TPenStyle styles[] = {TPenStyle::Solid, TPenStyle::Dash, TPenStyle::Dot,
                                TPenStyle::DashDot, TPenStyle::DashDotDot};
    int x = 10;
    for (TPenStyle s : styles) {
        c.Pen->SetStyle(s);
        c.Pen->SetWidth(1);
        c.Pen->SetColor(clBlue);
        c.Line(x, y, x + 60, y + 40);
        c.Line(x, y + 45, x + 60, y + 45);
        x += 70;
    }
    TChartPen dots;
    dots.SetColor(clMaroon);
    dots.SetSmallDots(true);
    c.AssignVisiblePen(dots);
    c.Line(x, y, x + 60, y + 40);
    c.Line(x, y + 45, x + 60, y + 45);
    x += 70;
    TChartAxisPen thick;
    thick.SetWidth(3);
    thick.SetColor(clGreen);
    c.AssignVisiblePen(thick);
    c.Line(x, y, x + 60, y + 40);
    c.Line(x, y + 45, x + 60, y + 45);
    x += 70;
    TChartHiddenPen hidden;
    c.AssignVisiblePen(hidden);
    c.Line(x, y, x + 60, y + 40);
    c.Pen->SetStyle(TPenStyle::Solid);
    c.Pen->SetWidth(1);

    // Row 3: rotated text.
    y += 70;
    Caption(c, 10, y, "Text at 0, 90, 180 and 270 degrees (red cross: reference point)");
    y += 18;
    c.Font->SetSize(10);
    c.Font->SetColor(clNavy);
    const int angles[] = {0, 90, 180, 270};
    x = 60;
    for (int a : angles) {
        const int cy = y + 60;
        c.Font->SetColor(clNavy);
        c.RotateLabel(x, cy, "Angle " + std::to_string(a), a);
        Cross(c, x, cy);
        x += 130;
    }
    c.Font->SetColor(clBlack);
    c.SetTextAlign(pellucor::platform::TA_CENTER | pellucor::platform::TA_BOTTOM);
    c.Brush->SetStyle(TBrushStyle::Clear);
    c.TextOut(560, y + 60, "centre-bottom");
    Cross(c, 560, y + 60);
    c.SetTextAlign(0);

    // Row 4: gradients.
    y += 140;
    Caption(c, 10, y, "Gradients: top-bottom, bottom-top, left-right, right-left, centre, top-left, "
                      "bottom-left (white -> blue)");
    y += 18;
    const TGradientDirection dirs[] = {gdTopBottom,  gdBottomTop,   gdLeftRight,     gdRightLeft,
                                       gdFromCenter, gdFromTopLeft, gdFromBottomLeft};
    x = 10;
    for (TGradientDirection d : dirs) {
        c.GradientFill({x, y, x + 70, y + 60}, clWhite, clBlue, d);
        x += 80;
    }

    // Row 5: hatches, see-through and opaque.
    y += 80;
    Caption(c, 10, y, "Hatches: see-through over yellow, then opaque on black with white lines");
    y += 18;
    const TBrushStyle hatches[] = {TBrushStyle::Horizontal, TBrushStyle::Vertical,
                                   TBrushStyle::FDiagonal,  TBrushStyle::BDiagonal,
                                   TBrushStyle::Cross,      TBrushStyle::DiagCross};
    x = 10;
    for (TBrushStyle hs : hatches) {
        c.Brush->SetStyle(TBrushStyle::Solid);
        c.Brush->SetColor(clYellow);
        c.Pen->SetStyle(TPenStyle::Clear);
        c.Rectangle(x, y, x + 41, y + 41);
        c.Pen->SetStyle(TPenStyle::Solid);
        c.Brush->SetColor(clRed);
        c.Brush->SetStyle(hs);
        c.SetBackMode(cbmTransparent);
        c.Rectangle(x, y, x + 40, y + 40);
        x += 50;
    }
    for (TBrushStyle hs : hatches) {
        c.Brush->SetColor(clWhite);
        c.Brush->SetStyle(hs);
        c.GetHandle();  // realise the brush, then make the gaps opaque black
        c.SetBackMode(cbmOpaque);
        c.SetBackColor(clBlack);
        c.Rectangle(x, y, x + 40, y + 40);
        x += 50;
    }
    c.SetBackMode(cbmTransparent);

    // Row 6: clipping and the oblique 3-D view.
    y += 60;
    Caption(c, 10, y, "Clipping to a rectangle; ClipCube in 2-D; ellipses with depth");
    y += 18;
    c.Brush->SetStyle(TBrushStyle::Solid);
    c.Brush->SetColor(clTeal);
    c.ClipRectangle({30, y + 10, 110, y + 50});
    c.Ellipse(10, y, 130, y + 60);
    c.UnClipRectangle();
    c.Brush->SetStyle(TBrushStyle::Clear);
    c.Pen->SetColor(clRed);
    c.Rectangle(30, y + 10, 110, y + 50);
    c.Brush->SetStyle(TBrushStyle::Solid);
    c.Brush->SetColor(clOlive);
    c.ClipCube({150, y, 250, y + 60}, 0, 10);
    c.Ellipse(140, y - 10, 260, y + 70);
    c.UnClipRectangle();
    c.Pen->SetColor(clBlack);
    c.Brush->SetColor(ApplyDark(clYellow, 64));
    c.EllipseWithZ(280, y, 340, y + 60, 20);
    c.Brush->SetColor(ApplyBright(clNavy, 96));
    c.EllipseWithZ(360, y, 420, y + 60, 0);
    for (int i = 0; i < 16; ++i) {
        c.Brush->SetColor(GetDefaultColor(i));
        c.Rectangle(440 + (i % 8) * 20, y + (i / 8) * 30, 458 + (i % 8) * 20, y + 25 + (i / 8) * 30);
    }
}

// Reads back pixels a broken sheet would get wrong; reports each mismatch.
int CheckSheet(const QImage& img) {
    int failures = 0;
    auto rgb = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
    auto expect = [&](bool ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "sheet check failed: %s\n", what);
            ++failures;
        }
    };
    const QRgb black = 0x000000, white = 0xFFFFFF, blue = 0x0000FF, yellow = 0xFFFF00, aqua = 0x00FFFF,
               teal = 0x008080;
    // Row 1 (top 58): rectangle 10..70 x 58..108 outlined in black, filled yellow.
    expect(rgb(10, 58) == black && rgb(69, 107) == black, "rectangle outline");
    expect(rgb(40, 83) == yellow, "rectangle fill");
    expect(rgb(70, 83) == white, "rectangle leaves out its right edge");
    expect(rgb(110, 83) == aqua, "ellipse fill");
    expect(rgb(81, 59) == white, "ellipse corner stays empty");
    // Row 2 (lines from y 146): a horizontal solid line and a dashed one at y 191.
    int solid = 0, dashBlue = 0, dashWhite = 0;
    for (int x = 10; x < 70; ++x) solid += rgb(x, 191) == blue;
    for (int x = 80; x < 140; ++x) {
        dashBlue += rgb(x, 191) == blue;
        dashWhite += rgb(x, 191) == white;
    }
    expect(solid == 60, "solid line is unbroken");
    expect(dashBlue > 20 && dashWhite > 5, "dashed line has dashes and see-through gaps");
    // Row 6: the teal ellipse is clipped to 30..110 x (top + 10)..(top + 50).
    const int top6 = 568;
    expect(rgb(70, top6 + 30) == teal, "clipped ellipse inside its clip");
    expect(rgb(20, top6 + 30) == white, "clipped ellipse cut at the clip");
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const std::string out = argc > 1 ? argv[1] : "chart_sheet.png";
    QDir().mkpath(QFileInfo(QString::fromStdString(out)).absolutePath());

    const int w = 640, h = 640;
    ImageDevice window(w, h);
    TCanvas windowCanvas(&window);
    TChartCanvas3D canvas;
    canvas.SetCanvas(&windowCanvas);
    const TRect r = canvas.InitWindow(&windowCanvas, nullptr, clWhite, false, {0, 0, w, h});
    canvas.Projection(0, r, r);
    DrawSheet(canvas, w, h);
    canvas.ShowImage(&windowCanvas, &windowCanvas, {0, 0, w, h});

    const QImage img = window.Image();
    if (!img.save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("wrote %s\n", out.c_str());
    const int failures = CheckSheet(img);
    return failures == 0 ? 0 : 1;
}
