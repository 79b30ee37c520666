// A full replot of the main chart: the plot routine, the chart drawn onto a
// 656 x 357 bitmap and the decoration with its frequency labels, for 199
// measured and 199 calculated points of an R(CR) spectrum.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <complex>

#include "core/ProgramState.h"
#include "mainwindow/plots/MainPlots.h"
#include "platform/gfx/Canvas.h"
#include "platform/gfx/PainterDevice.h"

namespace {

using namespace pellucor;

void FillSpectrum() {
    const int n = 199;
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= n; ++i) {
        const double f = 1e5 * std::pow(10.0, -7.0 * (i - 1) / (n - 1));
        const double w = 6.283185307179586 * f;
        const std::complex<double> z = 10.0 + 100.0 / std::complex<double>(1.0, w * 1e-3);
        const std::complex<double> zc = 10.0 + 102.0 / std::complex<double>(1.0, w * 1.02e-3);
        sp.Frequency[i] = f;
        sp.Omega[i] = w;
        sp.ZReal[i] = z.real();
        sp.ZImag[i] = -z.imag();
        sp.ZRealCalc[i] = zc.real();
        sp.ZImagCalc[i] = -zc.imag();
    }
    sp.PointCount = sp.FilePointCount = sp.ExtendedPointCount = n;
    State().Run.DataLoaded = State().Run.ResultsComputed = State().Run.ModelValid = true;
    State().Files.DataFileName = "/data/rcr.txt";
}

void FullReplot(benchmark::State& st, int kind) {
    ResetProgramState();
    FillSpectrum();
    chart::TChart chart;
    chart.Canvas->SetUseBuffer(false);
    chart.Width = 656;
    chart.Height = 357;
    mainwindow::MainPlots plots(chart);
    platform::ImageDevice device(656, 357);
    platform::Canvas canvas(&device);
    int labels = 0;
    for (auto _ : st) {
        plots.Replot(kind);
        chart.Draw(&canvas, chart::TRect{0, 0, 656, 357});
        labels = static_cast<int>(plots.PlacedLabels(1).size());
    }
    st.counters["labels"] = labels;
}

// The plot routine alone (series filled, axes set), without drawing.
void PlotOnly(benchmark::State& st, int kind) {
    ResetProgramState();
    FillSpectrum();
    chart::TChart chart;
    mainwindow::MainPlots plots(chart);
    for (auto _ : st) plots.Replot(kind);
}

void BM_PlotOnlyNyquist(benchmark::State& st) { PlotOnly(st, 1); }
void BM_PlotOnlyBode(benchmark::State& st) { PlotOnly(st, 2); }
BENCHMARK(BM_PlotOnlyNyquist)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotOnlyBode)->Unit(benchmark::kMillisecond);

void BM_ReplotNyquist(benchmark::State& st) { FullReplot(st, 1); }
void BM_ReplotBode(benchmark::State& st) { FullReplot(st, 2); }
BENCHMARK(BM_ReplotNyquist)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplotBode)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Fonts need the GUI application object; no window is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
