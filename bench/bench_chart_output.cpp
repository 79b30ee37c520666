// Writing a chart of the main window's shape (656 x 357, two axes with
// titles and grids, a measured and a calculated row of 200 points each) as
// an enhanced metafile, a placeable metafile, a bitmap file and a PDF page.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>

#include <cmath>
#include <string>

#include "chart/Chart.h"
#include "chart/ChartOutput.h"
#include "platform/gfx/PdfPrinter.h"
#include "platform/gfx/PictureFile.h"

namespace pellucor::chart {
namespace {

// Points marked with small squares, joined by lines when asked.
class BenchSeries : public TChartSeries {
public:
    bool lines = false;
    void DrawValue(int i) override {
        auto& c = *ParentChart->Canvas;
        c.Pen->SetColor(SeriesColor);
        c.Pen->SetWidth(1);
        c.Pen->SetStyle(TPenStyle::Solid);
        const int x = CalcXPos(i), y = CalcYPos(i);
        if (lines && i > FirstVisibleIndex) c.LineTo(x, y);
        if (!lines) {
            c.Brush->SetColor(SeriesColor);
            c.Brush->SetStyle(TBrushStyle::Solid);
            c.Rectangle(x - 2, y - 2, x + 3, y + 3);
        }
        c.MoveTo(x, y);
    }
};

// A Nyquist plot of R(CR): R1 = 10, R2 = 1000, C = 1e-4 from 1 MHz to 1 mHz.
struct MainWindowChart {
    MainWindowChart() {
        chart.View3D = false;
        chart.Width = 656;
        chart.Height = 357;
        chart.AddSeries(&measured);
        chart.AddSeries(&calculated);
        measured.SeriesColor = clRed;
        calculated.SeriesColor = clBlue;
        calculated.lines = true;
        for (int k = 0; k < 200; ++k) {
            const double f = std::pow(10.0, 6 - k * 9.0 / 199);
            const double w = 2 * M_PI * f;
            const double r = 1000, c = 1e-4, rs = 10;
            const double den = 1 + (w * r * c) * (w * r * c);
            const double re = rs + r / den;
            const double im = w * r * r * c / den;
            measured.AddXY(re * (1 + 0.01 * std::sin(k)), im);
            calculated.AddXY(re, im);
        }
        chart.BottomAxis->Title->SetCaption("Z' / Ohm");
        chart.LeftAxis->Title->SetCaption("-Z'' / Ohm");
        chart.Canvas->SetUseBuffer(true);
    }
    TChart chart;
    BenchSeries measured, calculated;
};

std::string TempFile(const char* name) { return QDir::tempPath().toStdString() + "/pellucor_bench_" + name; }

// Saves the chart to the named temporary file once per iteration.
void SaveLoop(benchmark::State& state, const char* name, void (*save)(TChartOutputSource&, const std::string&)) {
    MainWindowChart c;
    TPanelOutput out(c.chart);
    const std::string file = TempFile(name);
    for (auto _ : state) save(out, file);
}

void BM_SaveEmf(benchmark::State& state) { SaveLoop(state, "chart.emf", SaveToMetafileEnh); }
BENCHMARK(BM_SaveEmf)->Unit(benchmark::kMillisecond);

void BM_SaveWmf(benchmark::State& state) { SaveLoop(state, "chart.wmf", SaveToMetafile); }
BENCHMARK(BM_SaveWmf)->Unit(benchmark::kMillisecond);

void BM_SaveBmp(benchmark::State& state) { SaveLoop(state, "chart.bmp", SaveToBitmapFile); }
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond);

// The parts of the bitmap file: drawing, encoding.
void BM_DrawBitmap(benchmark::State& state) {
    MainWindowChart c;
    TPanelOutput out(c.chart);
    for (auto _ : state) benchmark::DoNotOptimize(ChartCreateBitmap(out, clWhite, out.GetRectangle()));
}
BENCHMARK(BM_DrawBitmap)->Unit(benchmark::kMillisecond);

void BM_EncodeBmp(benchmark::State& state) {
    MainWindowChart c;
    TPanelOutput out(c.chart);
    const QImage image = ChartCreateBitmap(out, clWhite, out.GetRectangle())->Image();
    for (auto _ : state) benchmark::DoNotOptimize(platform::EncodeBmp(image));
}
BENCHMARK(BM_EncodeBmp)->Unit(benchmark::kMillisecond);

void BM_PrintPdfPage(benchmark::State& state) {
    MainWindowChart c;
    TPanelOutput out(c.chart, "Chart1");
    platform::PdfPrinter printer(TempFile("chart.pdf"), 600);
    for (auto _ : state) Print(out, printer);
}
BENCHMARK(BM_PrintPdfPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pellucor::chart

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
