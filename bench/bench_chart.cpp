// Redraw of a chart shaped like the main window's: title, legend of the
// active series, bottom, left and right axes with grids and minor ticks, 28
// point series of which 4 hold 199 points each (measured and calculated
// Z' / -Z'' against frequency on a log axis, their angles on the right
// axis), drawn onto a 656 x 357 picture. Reports microseconds per redraw;
// dragging a zoom rectangle redraws at screen rate when this stays under
// 2000.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <complex>
#include <memory>
#include <vector>

#include "chart/Chart.h"
#include "chart/Series.h"

using namespace pellucor::chart;

namespace {

struct MainWindowChart {
    TChart chart;
    std::vector<std::unique_ptr<TPointSeries>> series;

    MainWindowChart() {
        chart.View3D = false;
        chart.Color = clWhite;
        chart.SetBackColor(clWhite);
        chart.BackWall->Pen->SetWidth(2);
        chart.Legend->SetLegendStyle(lsSeries);
        chart.Title->Add("Sample 1, R(CR(LR))");
        chart.Title->Add("Chi-squared 1.2E-04");
        const char* titles[] = {"Msd.", "Calc.", "Msd. angle", "Calc. angle"};
        for (int i = 0; i < 28; ++i) {
            series.push_back(std::make_unique<TPointSeries>());
            auto& s = *series.back();
            chart.AddSeries(&s);
            s.Pointer->SetHorizSize(1 + i % 3);
            s.Pointer->SetVertSize(1 + i % 3);
            s.Pointer->SetStyle(static_cast<TSeriesPointerStyle>(i % 9));
            if (i < 4) s.SetTitle(titles[i]);
            if (i == 2 || i == 3) s.SetVertAxis(aRightAxis);
            s.SetActive(i < 4);
        }
        series[0]->XValues->Order = loNone;
        for (int k = 0; k < 199; ++k) {
            const double f = std::pow(10.0, 5 - k * 7.0 / 198);
            const std::complex<double> jw(0, 2 * M_PI * f);
            const auto z = 10.0 + 1.0 / (jw * 1e-5 + 1.0 / (100.0 + jw * 1e-3 + 1000.0 / (1.0 + jw * 1000.0 * 1e-4)));
            const auto zm = z * (1.0 + 0.01 * std::sin(k));
            series[0]->AddXY(f, std::abs(zm), "", UseSeriesColor);
            series[1]->AddXY(f, std::abs(z), "", UseSeriesColor);
            series[2]->AddXY(f, -std::arg(zm) * 180 / M_PI, "", UseSeriesColor);
            series[3]->AddXY(f, -std::arg(z) * 180 / M_PI, "", UseSeriesColor);
        }
        for (TChartAxis* a : {chart.BottomAxis, chart.LeftAxis, chart.RightAxis}) a->SetMinorTickCount(4);
        chart.BottomAxis->SetLogarithmic(true);
        chart.LeftAxis->SetLogarithmic(true);
        chart.BottomAxis->Title->SetCaption("Frequency, Hz");
        chart.LeftAxis->Title->SetCaption("|Z|, ohm");
        chart.RightAxis->Title->SetCaption("Angle, deg");
        chart.RightAxis->Grid->SetColor(clBlue);
        chart.Width = 656;
        chart.Height = 357;
    }
};

void BM_MainWindowChartRedraw(benchmark::State& state) {
    MainWindowChart m;
    TBitmap window;
    window.SetSize(656, 357);
    for (auto _ : state) {
        m.chart.Invalidate();
        m.chart.Draw(&window.GetCanvas(), TRect{0, 0, 656, 357});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MainWindowChartRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
