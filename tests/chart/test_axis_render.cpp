// Charts with linear and logarithmic axes rendered to PNG pictures under
// the build's test-output folder, for a reviewer to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <cmath>
#include <string>

#include "chart/Chart.h"

namespace pellucor::chart {
namespace {

// Points joined by lines, each marked with a small square.
class PolylineSeries : public TChartSeries {
public:
    void DrawValue(int i) override {
        auto& c = *ParentChart->Canvas;
        const int x = CalcXPos(i), y = CalcYPos(i);
        c.Pen->SetColor(SeriesColor);
        c.Pen->SetWidth(1);
        c.Pen->SetStyle(TPenStyle::Solid);
        if (i > FirstVisibleIndex) c.LineTo(x, y);
        c.Brush->SetColor(SeriesColor);
        c.Brush->SetStyle(TBrushStyle::Solid);
        c.Rectangle(x - 2, y - 2, x + 3, y + 3);
        c.MoveTo(x, y);
    }
};

std::string OutputPath(const std::string& name) {
    QDir().mkpath(PELLUCOR_TEST_OUTPUT_DIR);
    return std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/" + name;
}

// Draws the chart into a picture of w x h and saves it as name.
QImage Render(TChart& chart, int w, int h, const std::string& name) {
    chart.Width = w;
    chart.Height = h;
    TBitmap bmp;
    bmp.SetSize(w, h);
    chart.Draw(&bmp.GetCanvas(), TRect{0, 0, w, h});
    const QImage img = bmp.Image();
    EXPECT_TRUE(img.save(QString::fromStdString(OutputPath(name)))) << name;
    return img;
}

void PrepareChart(TChart& chart) {
    chart.View3D = false;
    chart.Color = clWhite;
    chart.BevelOuter = bvNone;
}

int CountPixels(const QImage& img, QRgb rgb) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF)) ++n;
    return n;
}

TEST(AxisRender, LinearAxisAgainstLogarithmicAxisWithGridsAndTitles) {
    TChart chart;
    PrepareChart(chart);
    PolylineSeries s;
    chart.AddSeries(&s);
    s.SeriesColor = clBlue;
    for (int k = 0; k <= 20; ++k) s.AddXY(k * 0.5, std::pow(10.0, k * 0.5 * 0.3));

    auto& b = *chart.BottomAxis;
    b.SetAutomatic(false);
    b.SetMinimum(0);
    b.SetMaximum(10);
    b.SetMinorTickCount(4);
    b.Title->SetCaption("Linear axis 0 .. 10");
    auto& l = *chart.LeftAxis;
    l.SetAutomatic(false);
    l.SetMaximum(1000);
    l.SetMinimum(1);
    l.SetLogarithmic(true);
    l.SetMinorTickCount(8);
    l.MinorGrid->SetVisible(true);
    l.MinorGrid->SetColor(platform::RGBColor(220, 220, 220));
    l.MinorGrid->SetStyle(TPenStyle::Dot);
    l.Title->SetCaption("Logarithmic axis 1 .. 1000");

    const QImage img = Render(chart, 640, 420, "axis_linear_log.png");
    ASSERT_FALSE(img.isNull());

    // Labels 0..10 below, decades on the left.
    EXPECT_EQ(b.TickPositions().size(), 11u);
    EXPECT_EQ(l.TickPositions().size(), 4u);
    // The decade grid lines are evenly spaced: log axes map by decades.
    const auto& t = l.TickPositions();
    EXPECT_NEAR(t[0] - t[1], t[1] - t[2], 1);
    EXPECT_NEAR(t[1] - t[2], t[2] - t[3], 1);
    EXPECT_GT(CountPixels(img, qRgb(0, 0, 255)), 100);  // the series was drawn
    EXPECT_GT(CountPixels(img, qRgb(128, 128, 128)), 200);  // ticks and dotted grid
    // The dotted minor grid shows the background through its gaps: a row of
    // it holds grid pixels and background pixels, never black ones.
    const auto minors = l.MinorTickPositions();
    ASSERT_FALSE(minors.empty());
    for (int y : {minors.front(), minors[minors.size() / 2]}) {
        int grid = 0, background = 0, black = 0;
        for (int x = chart.ChartRect.Left + 3; x < chart.ChartRect.Right - 3; ++x) {
            const QRgb p = img.pixel(x, y) & 0xFFFFFF;
            grid += p == (qRgb(220, 220, 220) & 0xFFFFFF);
            background += p == 0xFFFFFF;
            black += p == 0;
        }
        EXPECT_GT(grid, 50) << y;
        EXPECT_GT(background, 50) << y;
        EXPECT_EQ(black, 0) << y;
    }
}

TEST(AxisRender, LogFrequencyAxisFromOneMillihertzToOneMegahertz) {
    TChart chart;
    PrepareChart(chart);
    PolylineSeries phase;
    chart.AddSeries(&phase);
    phase.SeriesColor = clRed;
    // Phase of an R(CR) circuit: R1 = 10, R2 = 1000, C = 1e-4.
    for (int k = 0; k <= 90; ++k) {
        const double f = std::pow(10.0, -3 + k * 0.1);
        const double w = 2 * M_PI * f;
        const double r = 1000, c = 1e-4, rs = 10;
        const double den = 1 + (w * r * c) * (w * r * c);
        const double re = rs + r / den;
        const double im = -w * r * r * c / den;
        phase.AddXY(f, std::atan2(im, re) * 180 / M_PI);
    }
    auto& b = *chart.BottomAxis;
    b.SetAutomatic(false);
    b.SetMaximum(1e6);
    b.SetMinimum(1e-3);
    b.SetLogarithmic(true);
    b.SetMinorTickCount(8);
    b.SetValuesFormat("0E+00");
    b.Title->SetCaption("Frequency (Hz)");
    auto& l = *chart.LeftAxis;
    l.SetMinorTickCount(4);
    l.Title->SetCaption("Phase angle (deg)");

    const QImage img = Render(chart, 720, 400, "axis_log_frequency.png");
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(b.TickPositions().size(), 10u);
    EXPECT_EQ(b.MinorTickPositions().size(), 72u);
    EXPECT_GT(CountPixels(img, qRgb(255, 0, 0)), 100);
}

}  // namespace
}  // namespace pellucor::chart
