#pragma once
// A chart of the main window's size for the output tests: white, flat, both
// axes fixed to 0 .. 10 with titles, a blue line across at y = 7 and a red
// line up at x = 3, so every rendering can be searched for the same box and
// lines. Also the pixel searches those tests share.
#include <QImage>

#include <algorithm>

#include <string>
#include <vector>

#include "chart/Chart.h"

namespace pellucor::chart::testing {

// Points joined by lines of the series colour.
class LineSeries : public TChartSeries {
public:
    void DrawValue(int i) override {
        auto& c = *ParentChart->Canvas;
        c.Pen->SetColor(SeriesColor);
        c.Pen->SetWidth(1);
        c.Pen->SetStyle(TPenStyle::Solid);
        const int x = CalcXPos(i), y = CalcYPos(i);
        if (i > FirstVisibleIndex) c.LineTo(x, y);
        else c.MoveTo(x, y);
    }
};

class OutputChart {
public:
    explicit OutputChart(int width = 656, int height = 357) {
        chart.View3D = false;
        chart.Color = clWhite;
        chart.BevelOuter = bvNone;
        chart.Width = width;
        chart.Height = height;
        chart.AddSeries(&across);
        chart.AddSeries(&up);
        across.SeriesColor = clBlue;
        up.SeriesColor = clRed;
        across.AddXY(0, 7);
        across.AddXY(10, 7);
        up.AddXY(3, 0);
        up.AddXY(3, 10);
        for (TChartAxis* a : {chart.BottomAxis, chart.LeftAxis}) {
            a->SetAutomatic(false);
            a->SetMinimum(0);
            a->SetMaximum(10);
        }
        chart.BottomAxis->Title->SetCaption("Z' / Ohm");
        chart.LeftAxis->Title->SetCaption("-Z'' / Ohm");
        chart.OnAfterDraw = [this](TCustomChartPanel*) {
            ++afterDraws;
            if (failDrawing) throw ChartException("drawing failed");
        };
    }

    TChart chart;
    LineSeries across, up;
    int afterDraws = 0;
    bool failDrawing = false;
};

// Where the chart's parts lie in a picture: the axis lines (the darkest
// column left of the middle and row below it), the blue row and the red
// column (and the red row and blue column); -1 when not found. Scores add up how strongly each pixel shows the
// colour, so a line smoothed over two pixels by a renderer is still found.
struct Landmarks {
    int leftAxisX = -1;
    int bottomAxisY = -1;
    int blueY = -1;
    int redX = -1;
    int redY = -1;
    int blueX = -1;
};

inline int Darkness(QRgb c) { return 255 - std::max({qRed(c), qGreen(c), qBlue(c)}); }
inline int Blueness(QRgb c) { return std::max(0, qBlue(c) - std::max(qRed(c), qGreen(c))); }
inline int Redness(QRgb c) { return std::max(0, qRed(c) - std::max(qGreen(c), qBlue(c))); }

// Searches box (x0, y0)-(x1, y1) of img (far edges excluded).
inline Landmarks FindLandmarks(const QImage& img, int x0, int y0, int x1, int y1) {
    Landmarks m;
    const int w = x1 - x0, h = y1 - y0;
    // A line must show at least a quarter of full strength over a quarter of the box.
    auto bestColumn = [&](int (*score)(QRgb), int from, int to) {
        int best = -1;
        long bestSum = 0;
        for (int x = from; x < to; ++x) {
            long n = 0;
            for (int y = y0; y < y1; ++y) n += score(img.pixel(x, y));
            if (n > bestSum) bestSum = n, best = x;
        }
        return bestSum >= 64L * h / 4 ? best : -1;
    };
    auto bestRow = [&](int (*score)(QRgb), int from, int to) {
        int best = -1;
        long bestSum = 0;
        for (int y = from; y < to; ++y) {
            long n = 0;
            for (int x = x0; x < x1; ++x) n += score(img.pixel(x, y));
            if (n > bestSum) bestSum = n, best = y;
        }
        return bestSum >= 64L * w / 4 ? best : -1;
    };
    m.leftAxisX = bestColumn(Darkness, x0, x0 + w / 2);
    m.bottomAxisY = bestRow(Darkness, y0 + h / 2, y1);
    m.blueY = bestRow(Blueness, y0, y1);
    m.redX = bestColumn(Redness, x0, x1);
    m.redY = bestRow(Redness, y0, y1);
    m.blueX = bestColumn(Blueness, x0, x1);
    return m;
}

inline Landmarks FindLandmarks(const QImage& img) {
    return FindLandmarks(img, 0, 0, img.width(), img.height());
}

}  // namespace pellucor::chart::testing
