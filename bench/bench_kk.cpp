// Kramers-Kronig check: both transforms and the residual for a 100-point
// spectrum, and a full scan of the extrapolation orders 4..8.
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <sstream>

#include "core/DataReader.h"
#include "core/ProgramState.h"
#include "kk/KramersKronig.h"
#include "kk/OrderScan.h"
#include "kk/TailExtrapolation.h"

using namespace pellucor;

namespace {

// R(CR) in series with R(QR), capacitive, from 1 MHz down over `decades`
// decades with `perDecade` points a decade, read like a data file.
void LoadSpectrum(int decades, int perDecade) {
    ResetProgramState();
    State().Extrap.ExtrapDivisor = 100;
    std::ostringstream s;
    s.precision(17);
    for (int i = 0; i <= decades * perDecade; ++i) {
        const double f = 1e6 * std::pow(10.0, -static_cast<double>(i) / perDecade);
        const double w = 2 * M_PI * f;
        const std::complex<double> jw(0.0, w);
        const std::complex<double> z =
            10.0 + 100.0 / (1.0 + 100.0 * 1e-4 * jw) + 1000.0 / (1.0 + 1000.0 * 1e-4 * std::pow(jw, 0.8));
        s << f << ' ' << z.real() << ' ' << z.imag() << '\n';
    }
    std::istringstream in(s.str());
    ReadImpedanceData(in);
    State().Run.DataLoaded = true;
}

void BM_TransformsAndResidual100(benchmark::State& state) {
    LoadSpectrum(9, 11);  // 100 points
    for (auto _ : state) {
        kk::TransformRealToImaginary();
        kk::TransformImaginaryToReal();
        benchmark::DoNotOptimize(kk::KramersKronigResidual());
    }
    state.counters["points"] = State().Spectrum.PointCount;
}
BENCHMARK(BM_TransformsAndResidual100)->Unit(benchmark::kMicrosecond);

// The same on frequencies seen for the first time (the kernels are built).
void BM_TransformsAndResidual100FirstRun(benchmark::State& state) {
    LoadSpectrum(9, 11);
    for (auto _ : state) {
        kk::ClearTransformCache();
        kk::TransformRealToImaginary();
        kk::TransformImaginaryToReal();
        benchmark::DoNotOptimize(kk::KramersKronigResidual());
    }
}
BENCHMARK(BM_TransformsAndResidual100FirstRun)->Unit(benchmark::kMicrosecond);

void BM_FullOrderScan(benchmark::State& state) {
    LoadSpectrum(8, 10);  // 1 MHz .. 0.01 Hz, 81 points
    State().Folders.TempFolder = "/tmp/";
    for (auto _ : state) {
        state.PauseTiming();
        kk::ClearTailSystemCache();
        kk::ClearTransformCache();
        state.ResumeTiming();
        kk::ScanExtrapolationOrders("/tmp/bench kk.dat");
    }
    state.counters["points"] = State().Spectrum.FilePointCount;
}
BENCHMARK(BM_FullOrderScan)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
