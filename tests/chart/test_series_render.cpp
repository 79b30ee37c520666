// Series drawn on pictures and read back pixel by pixel: every pointer
// style, legend symbols, and the charts of the programs (Nyquist with equal
// scales, Bode with two vertical axes, iteration history on a log axis),
// written as PNGs under the build's test-output folder for a reviewer.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <complex>
#include <memory>
#include <string>
#include <vector>

#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform_gfx/GuiTestEnvironment.h"

namespace pellucor::chart {
namespace {

std::string OutputPath(const std::string& name) {
    QDir().mkpath(PELLUCOR_TEST_OUTPUT_DIR);
    return std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/" + name;
}

QImage Render(TChart& chart, int w, int h, const std::string& name = {}) {
    chart.Width = w;
    chart.Height = h;
    TBitmap bmp;
    bmp.SetSize(w, h);
    chart.Draw(&bmp.GetCanvas(), TRect{0, 0, w, h});
    const QImage img = bmp.Image();
    if (!name.empty()) {
        EXPECT_TRUE(img.save(QString::fromStdString(OutputPath(name)))) << name;
    }
    return img;
}

void PrepareChart(TChart& chart) {
    chart.View3D = false;
    chart.Color = clWhite;
    chart.BevelOuter = bvNone;
    chart.Canvas->SetUseBuffer(false);
}

QRgb Rgb(TColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// The pixels of a square around (cx, cy) as rows of 'R' (red), 'K' (black),
// '.' (white) and '?' (anything else).
std::vector<std::string> Rows(const QImage& img, int cx, int cy, int half) {
    std::vector<std::string> rows;
    for (int y = cy - half; y <= cy + half; ++y) {
        std::string row;
        for (int x = cx - half; x <= cx + half; ++x) {
            const QRgb p = img.pixel(x, y) & 0xFFFFFF;
            row += p == 0xFF0000 ? 'R' : p == 0x000000 ? 'K' : p == 0xFFFFFF ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// One marker drawn on a white picture through a chart's canvas.
class PointerPicture {
public:
    PointerPicture() {
        PrepareChart(chart);
        chart.AddSeries(&series);
        bmp.SetSize(21, 21);
        bmp.GetCanvas().GetBrush().SetColor(clWhite);
        bmp.GetCanvas().FillRect({0, 0, 21, 21});
        chart.Canvas->InitWindow(&bmp.GetCanvas(), nullptr, clWhite, false, TRect{0, 0, 21, 21});
    }
    std::vector<std::string> Draw(TSeriesPointerStyle style, int h, int v) {
        series.Pointer->PrepareCanvas(clRed);
        series.Pointer->DrawPointer(false, 10, 10, h, v, clRed, style);
        return Rows(bmp.Image(), 10, 10, 5);
    }
    TChart chart;
    TPointSeries series;
    TBitmap bmp;
};

TEST(PointerPixels, EveryStyleAtHalfSizeThree) {
    struct Case {
        TSeriesPointerStyle style;
        std::vector<std::string> rows;
    };
    // Centre (10, 10), half sizes 3: the marker spans 7..13 (rows and columns
    // 2..8 of an 11 x 11 window around the centre).
    const Case cases[] = {
        {psRectangle,
         {"...........", "...........", "..KKKKKKK..", "..KRRRRRK..", "..KRRRRRK..", "..KRRRRRK..",
          "..KRRRRRK..", "..KRRRRRK..", "..KKKKKKK..", "...........", "..........."}},
        {psCross,
         {"...........", "...........", ".....R.....", ".....R.....", ".....R.....", "..RRRRRRR..",
          ".....R.....", ".....R.....", ".....R.....", "...........", "..........."}},
        {psDiagCross,
         {"...........", "...........", "..R.....R..", "...R...R...", "....R.R....", ".....R.....",
          "....R.R....", "...R...R...", "..R.....R..", "...........", "..........."}},
        {psStar,
         {"...........", "...........", "..R..R..R..", "...R.R.R...", "....RRR....", "..RRRRRRR..",
          "....RRR....", "...R.R.R...", "..R..R..R..", "...........", "..........."}},
        {psSmallDot,
         {"...........", "...........", "...........", "...........", "...........", ".....R.....",
          "...........", "...........", "...........", "...........", "..........."}},
    };
    for (const auto& c : cases) {
        PointerPicture p;
        EXPECT_EQ(p.Draw(c.style, 3, 3), c.rows) << "style " << c.style;
    }
}

TEST(PointerPixels, FilledShapesStayInsideTheirBox) {
    struct Case {
        TSeriesPointerStyle style;
        int right, bottom;  // last column and row reached (the start is 7)
    };
    // The platform's ellipse leaves out its right and bottom edge; the
    // polygons use their points as they stand.
    const Case cases[] = {{psCircle, 12, 12}, {psTriangle, 13, 13}, {psDownTriangle, 13, 13}, {psDiamond, 13, 13}};
    for (const auto& c : cases) {
        PointerPicture p;
        p.Draw(c.style, 3, 3);
        const QImage img = p.bmp.Image();
        int minX = 99, minY = 99, maxX = -1, maxY = -1, red = 0;
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 21; ++x) {
                const QRgb px = img.pixel(x, y) & 0xFFFFFF;
                if (px == 0xFFFFFF) continue;
                red += px == 0xFF0000;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        EXPECT_EQ(minX, 7) << c.style;
        EXPECT_EQ(minY, 7) << c.style;
        EXPECT_EQ(maxX, c.right) << c.style;
        EXPECT_EQ(maxY, c.bottom) << c.style;
        EXPECT_GT(red, 4) << c.style;  // filled in the point colour
        EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFF, 0xFF0000u) << c.style;
    }
    // Corners of a diamond and the triangle's top corners stay empty.
    PointerPicture d;
    const auto diamond = d.Draw(psDiamond, 3, 3);
    EXPECT_EQ(diamond[2][2], '.');
    EXPECT_EQ(diamond[8][8], '.');
    PointerPicture t;
    const auto triangle = t.Draw(psTriangle, 3, 3);
    EXPECT_EQ(triangle[2][2], '.');
    EXPECT_EQ(triangle[2][5], 'K');  // the apex
    EXPECT_EQ(triangle[8], "..KKKKKKK..");
}

TEST(PointerPixels, PenAndBrushColours) {
    // A fixed brush colour fills every marker alike; the cross keeps the
    // point's colour whatever the pen says.
    PointerPicture p;
    p.series.Pointer->Brush->SetColor(clBlack);
    p.series.Pointer->Pen->SetColor(clRed);
    const auto rect = p.Draw(psRectangle, 2, 2);
    EXPECT_EQ(rect[3], "...RRRRR...");
    EXPECT_EQ(rect[5], "...RKKKR...");
    PointerPicture q;
    q.series.Pointer->Pen->SetColor(clBlack);
    const auto cross = q.Draw(psCross, 1, 1);
    EXPECT_EQ(cross[4], ".....R.....");
    EXPECT_EQ(cross[5], "....RRR....");
}

TEST(SeriesRender, SheetOfEveryPointerStyle) {
    TChart chart;
    PrepareChart(chart);
    chart.Title->Add("Pointer styles, top to bottom: rectangle, circle, triangle, down triangle,");
    chart.Title->Add("cross, diagonal cross, star, diamond, small dot; half sizes 1 to 4 left to right");
    chart.Legend->Visible = false;
    std::vector<std::unique_ptr<TPointSeries>> series;
    for (int style = 0; style < 9; ++style)
        for (int size = 1; size <= 4; ++size) {
            series.push_back(std::make_unique<TPointSeries>());
            auto& p = *series.back();
            chart.AddSeries(&p);
            p.Pointer->SetStyle(static_cast<TSeriesPointerStyle>(style));
            p.Pointer->SetHorizSize(size);
            p.Pointer->SetVertSize(size);
            p.AddXY(size, 9 - style);
        }
    chart.BottomAxis->SetMinMax(0, 5);
    chart.LeftAxis->SetMinMax(0, 10);
    chart.BottomAxis->Grid->SetVisible(false);
    chart.LeftAxis->Grid->SetVisible(false);
    const QImage img = Render(chart, 560, 420, "series_pointer_styles.png");
    // Every marker shows its series colour at its centre (the smallest ones
    // are mostly outline), and nothing beyond its half sizes.
    for (auto& p : series) {
        const int x = p->CalcXPos(0), y = p->CalcYPos(0), h = p->Pointer->HorizSize;
        if (h >= 2 || p->Pointer->Style >= psCross) {
            EXPECT_EQ(img.pixel(x, y) & 0xFFFFFF, Rgb(p->SeriesColor) & 0xFFFFFF) << p->Pointer->Style << " " << h;
        }
        EXPECT_EQ(img.pixel(x + h + 2, y) & 0xFFFFFF, 0xFFFFFFu) << p->Pointer->Style << " " << h;
        EXPECT_EQ(img.pixel(x, y - h - 2) & 0xFFFFFF, 0xFFFFFFu) << p->Pointer->Style << " " << h;
    }
}

// ----- the programs' charts -----

std::complex<double> ZofRCR(double f, double rs, double r, double c) {
    const std::complex<double> jw(0, 2 * M_PI * f);
    return rs + r / (1.0 + jw * r * c);
}

TEST(SeriesRender, NyquistArcWithEqualScalesIsRound) {
    TChart chart;
    PrepareChart(chart);
    chart.Title->Add("Nyquist: R(CR), Rs = 10, R = 100, C = 1e-4");
    chart.Legend->SetLegendStyle(lsSeries);
    TPointSeries msd;
    TLineSeries calc;
    chart.AddSeries(&msd);
    chart.AddSeries(&calc);
    msd.SetTitle("Msd.");
    calc.SetTitle("Calc.");
    msd.XValues->Order = loNone;
    calc.XValues->Order = loNone;
    msd.Pointer->SetHorizSize(2);
    msd.Pointer->SetVertSize(2);
    msd.Pointer->SetStyle(psCircle);
    calc.LinePen->SetWidth(2);
    for (int k = 0; k <= 70; ++k) {
        const auto z = ZofRCR(std::pow(10.0, 5 - k * 0.1), 10, 100, 1e-4);
        calc.AddXY(z.real(), -z.imag());
        if (k % 3 == 0) msd.AddXY(z.real(), -z.imag());
    }
    chart.BottomAxis->Title->SetCaption("Z ',  ohm");
    chart.LeftAxis->Title->SetCaption("- Z '',  ohm");
    // Equal scales: the same ohms per pixel on both axes.
    chart.BottomAxis->SetMinMax(0, 120);
    chart.LeftAxis->SetMinMax(0, 60);
    for (int pass = 0; pass < 3; ++pass) {
        Render(chart, 656, 357);
        const double perPixel = 120.0 / chart.BottomAxis->PixelSize;
        chart.LeftAxis->SetMinMax(0, perPixel * chart.LeftAxis->PixelSize);
    }
    const QImage img = Render(chart, 656, 357, "series_nyquist.png");
    // Every point of the arc lies on a circle round (60, 0) of radius 50 ohm.
    const double cx = chart.BottomAxis->CalcXPosExact(60), cy = chart.LeftAxis->CalcYPosExact(0);
    const double radius = cx - chart.BottomAxis->CalcXPosExact(10);
    for (int i = 0; i < calc.Count(); ++i) {
        const double d = std::hypot(calc.CalcXPos(i) - cx, calc.CalcYPos(i) - cy);
        EXPECT_NEAR(d, radius, 1.5) << i;
    }
    // The apex (100 ohm / 2 above the centre) is drawn in the line's colour.
    const int apexY = chart.LeftAxis->CalcYPosValue(50);
    EXPECT_NEAR(cy - apexY, radius, 1.0);
    bool found = false;
    for (int dy = -2; dy <= 2; ++dy)
        found = found || (img.pixel(static_cast<int>(std::lround(cx)), apexY + dy) & 0xFFFFFF) ==
                             (Rgb(calc.SeriesColor) & 0xFFFFFF);
    EXPECT_TRUE(found);
}

TEST(SeriesRender, BodeWithModulusOnTheLeftAndPhaseOnTheRight) {
    TChart chart;
    PrepareChart(chart);
    chart.Title->Add("Bode: R(CR)");
    chart.Legend->SetLegendStyle(lsSeries);
    TPointSeries modulus, phase;
    chart.AddSeries(&modulus);
    chart.AddSeries(&phase);
    modulus.SetTitle("|Z|");
    phase.SetTitle("Angle");
    phase.SetVertAxis(aRightAxis);
    phase.Pointer->SetStyle(psTriangle);
    modulus.Pointer->SetHorizSize(3);
    modulus.Pointer->SetVertSize(3);
    for (int k = 0; k <= 40; ++k) {
        const double f = std::pow(10.0, -2 + k * 0.175);
        const auto z = ZofRCR(f, 10, 100, 1e-4);
        modulus.AddXY(f, std::abs(z));
        phase.AddXY(f, -std::arg(z) * 180 / M_PI);
    }
    chart.BottomAxis->SetLogarithmic(true);
    chart.BottomAxis->Title->SetCaption("Frequency, Hz");
    chart.BottomAxis->SetValuesFormat("0E+00");
    chart.LeftAxis->SetLogarithmic(true);
    chart.LeftAxis->Title->SetCaption("|Z|, ohm");
    chart.RightAxis->Title->SetCaption("Angle, deg");
    chart.RightAxis->Grid->SetVisible(false);
    const QImage img = Render(chart, 656, 357, "series_bode.png");
    EXPECT_TRUE(chart.IsAxisVisible(chart.RightAxis));
    EXPECT_GT(chart.RightAxis->TickPositions().size(), 2u);
    // The modulus falls from 110 to 10 ohm: first point high, last low.
    EXPECT_LT(modulus.CalcYPos(0), modulus.CalcYPos(40));
    // Both series drawn where their points are.
    EXPECT_EQ(img.pixel(modulus.CalcXPos(20), modulus.CalcYPos(20)) & 0xFFFFFF,
              Rgb(modulus.SeriesColor) & 0xFFFFFF);
    EXPECT_EQ(img.pixel(phase.CalcXPos(20), phase.CalcYPos(20)) & 0xFFFFFF, Rgb(phase.SeriesColor) & 0xFFFFFF);
}

TEST(SeriesRender, FifteenIterationHistoryLinesOnALogAxis) {
    TChart chart;
    PrepareChart(chart);
    chart.Title->Add("Iteration history");
    chart.Legend->SetLegendStyle(lsSeries);
    std::vector<std::unique_ptr<TLineSeries>> lines;
    for (int s = 0; s < 15; ++s) {
        lines.push_back(std::make_unique<TLineSeries>());
        auto& l = *lines.back();
        chart.AddSeries(&l);
        l.SetTitle("P" + std::to_string(s + 1));
        l.LinePen->SetWidth(2);
        for (int it = 0; it <= 12; ++it) l.AddXY(it, std::pow(10.0, 3 - s * 0.4) * std::exp(-0.3 * it) + 1e-3);
    }
    // One parameter reached zero once: it must not cut off the other values.
    lines[14]->AddXY(13, 0);
    chart.LeftAxis->SetLogarithmic(true);
    chart.LeftAxis->Title->SetCaption("Parameter value");
    chart.BottomAxis->Title->SetCaption("Iteration");
    const QImage img = Render(chart, 656, 357, "series_iteration_history.png");
    EXPECT_EQ(chart.Legend->RowCount, 15);
    EXPECT_GT(chart.LeftAxis->RangeMin, 0);
    EXPECT_LT(chart.LeftAxis->RangeMin, 1e-2);
    // Each line is drawn in its own colour at its middle point.
    for (auto& l : lines) {
        const int x = l->CalcXPos(6), y = l->CalcYPos(6);
        bool found = false;
        for (int dy = -1; dy <= 1 && !found; ++dy)
            found = (img.pixel(x, y + dy) & 0xFFFFFF) == (Rgb(l->SeriesColor) & 0xFFFFFF);
        EXPECT_TRUE(found) << l->Title;
    }
    // Legend symbols: a horizontal line through the middle of each box.
    const TRect& lr = chart.Legend->LegendRect;
    chart.FontCanvas(*chart.Legend->Font);
    for (int k = 0; k < 3; ++k) {
        const auto& l = *lines[static_cast<std::size_t>(k)];
        const int rowH = (lr.Bottom - lr.Top - 2) / chart.Legend->RowCount;
        const int y0 = lr.Top + 1 + k * rowH;
        int coloured = 0;
        for (int x = lr.Left; x < lr.Left + 4 + chart.Legend->SymbolWidth + 4; ++x)
            for (int y = y0; y < y0 + rowH; ++y) coloured += (img.pixel(x, y) & 0xFFFFFF) == (Rgb(l.SeriesColor) & 0xFFFFFF);
        EXPECT_GE(coloured, chart.Legend->SymbolWidth) << l.Title;
    }
}

TEST(SeriesRender, APointWithoutPlaceOnALogAxisKeepsTheMarkerBeforeIt) {
    // Z'' against frequency on log-log axes: the point at 1 kHz is inductive
    // (-5 ohm) and has no place on the log axis; the capacitive points
    // around it keep their markers.
    TChart chart;
    PrepareChart(chart);
    chart.Legend->Visible = false;
    chart.Title->Visible = false;
    TPointSeries s;
    chart.AddSeries(&s);
    s.SeriesColor = clRed;
    s.Pointer->SetHorizSize(3);
    s.Pointer->SetVertSize(3);
    const double f[] = {1, 10, 100, 1000, 1e4, 1e5};
    const double z[] = {1, 10, 100, -5, 1e4, 1e5};
    for (int k = 0; k < 6; ++k) s.AddXY(f[k], z[k]);
    for (TChartAxis* a : {chart.BottomAxis, chart.LeftAxis}) {
        a->SetMinMax(0.1, 1e6);
        a->SetLogarithmic(true);
        a->Grid->SetVisible(false);
    }
    const QImage img = Render(chart, 656, 357, "series_log_gap.png");
    // Seven decades over each axis: value 10^k lies (k + 1) / 7 along it.
    const auto& b = *chart.BottomAxis;
    const auto& l = *chart.LeftAxis;
    auto px = [&](int k) {
        return static_cast<int>(std::nearbyint(b.PixelStart + (k + 1) / 7.0 * (b.PixelEnd - b.PixelStart)));
    };
    auto py = [&](int k) {
        return static_cast<int>(std::nearbyint(l.PixelEnd - (k + 1) / 7.0 * (l.PixelEnd - l.PixelStart)));
    };
    // A 7 x 7 marker (half sizes 3), red inside a black outline, on white.
    const std::vector<std::string> marker = {".........", ".KKKKKKK.", ".KRRRRRK.", ".KRRRRRK.", ".KRRRRRK.",
                                             ".KRRRRRK.", ".KRRRRRK.", ".KKKKKKK.", "........."};
    for (int k : {0, 1, 2, 4, 5}) EXPECT_EQ(Rows(img, px(k), py(k), 4), marker) << "point at 10^" << k;
}

TEST(SeriesRender, LegendSymbolOfAPointSeriesIsItsMarkerCappedToTheBox) {
    TChart chart;
    PrepareChart(chart);
    chart.Legend->SetLegendStyle(lsSeries);
    chart.Legend->ShadowSize = 0;
    TPointSeries big, line;
    chart.AddSeries(&big);
    chart.AddSeries(&line);
    big.SetTitle("A rather long series title");
    big.SeriesColor = clRed;
    big.Pointer->SetHorizSize(40);
    big.Pointer->SetVertSize(40);
    big.AddXY(1, 1);
    line.SetTitle("Second");
    line.AddXY(2, 2);
    const QImage img = Render(chart, 656, 357, "series_legend_symbols.png");
    const TRect& lr = chart.Legend->LegendRect;
    const int h = (lr.Bottom - lr.Top - 2) / chart.Legend->RowCount;
    // First item's symbol box: SymbolWidth wide, 4 pixels left of the text.
    const int right = lr.Left + 4 + chart.Legend->SymbolWidth;
    const TRect box{right - chart.Legend->SymbolWidth, lr.Top + 1 + 2, right, lr.Top + 1 + h - 2};
    const int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
    const int half = std::min(40, (box.Right - box.Left) / 3);
    EXPECT_EQ(img.pixel(cx, cy) & 0xFFFFFF, 0xFF0000u);
    // The marker spans cx - half .. cx + half on its middle row, no further.
    EXPECT_NE(img.pixel(cx - half, cy) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_NE(img.pixel(cx + half, cy) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(cx - half - 1, cy) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(cx + half + 1, cy) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(SeriesRender, ThreeDimensionalChartDrawsItsSeriesAndWalls) {
    TChart chart;
    PrepareChart(chart);
    chart.View3D = true;
    chart.Title->Add("3-D view");
    TLineSeries line;
    TPointSeries points;
    chart.AddSeries(&line);
    chart.AddSeries(&points);
    line.SeriesColor = clRed;
    points.SeriesColor = clBlue;
    // Flat markers at the series' front; the shaded solids are the canvas's.
    points.Pointer->SetDraw3D(false);
    for (int k = 0; k <= 10; ++k) {
        line.AddXY(k, std::sin(k * 0.6));
        points.AddXY(k, std::cos(k * 0.6));
    }
    const QImage img = Render(chart, 500, 320, "series_3d.png");
    int red = 0, blue = 0, wall = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y) & 0xFFFFFF;
            red += p == 0xFF0000;
            blue += p == 0x0000FF;
            wall += p == 0xFFFF80;  // the left wall's light yellow
        }
    EXPECT_GT(red, 500);  // the line's band
    EXPECT_GT(blue, 50);
    EXPECT_GT(wall, 50);
}

TEST(SeriesRender, DottedGridShowsThePlotThroughItsGaps) {
    TChart chart;
    PrepareChart(chart);
    chart.Legend->Visible = false;
    TLineSeries s;
    chart.AddSeries(&s);
    s.AddXY(0, 1);
    s.AddXY(10, 1000);
    auto& l = *chart.LeftAxis;
    l.SetMinMax(1, 1000);
    l.SetLogarithmic(true);
    l.SetMinorTickCount(8);
    l.MinorGrid->SetVisible(true);
    l.MinorGrid->SetColor(platform::RGBColor(200, 200, 200));
    l.MinorGrid->SetStyle(TPenStyle::Dot);
    const QImage img = Render(chart, 400, 300);
    const auto minors = l.MinorTickPositions();
    ASSERT_FALSE(minors.empty());
    const int y = minors[minors.size() / 2];
    int grid = 0, white = 0, black = 0;
    for (int x = chart.ChartRect.Left + 3; x < chart.ChartRect.Right - 3; ++x) {
        const QRgb p = img.pixel(x, y) & 0xFFFFFF;
        grid += p == 0xC8C8C8;
        white += p == 0xFFFFFF;
        black += p == 0;
    }
    EXPECT_GT(grid, 20);
    EXPECT_GT(white, 20);  // the gaps show the white back wall
    EXPECT_EQ(black, 0);   // not an opaque black background
}

}  // namespace
}  // namespace pellucor::chart
