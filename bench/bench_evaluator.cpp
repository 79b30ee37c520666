// The circuit evaluator against hand-written std::complex loops for the same
// circuits in the same binary: R(CR)(QR) and R(DR) (an exponential
// distribution of activation energies) at 100 log-spaced frequencies, in fit
// mode with modulus weighting, as the simplex calls it. Reports the time per
// frequency point ("ns/point"); the ratio evaluator / hand-written loop is the
// quotient of the two rows.
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <string>
#include <vector>

#include "core/Evaluator.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"

using namespace pellucor;
using Cx = std::complex<double>;

namespace {

constexpr int kPoints = 100;
// The R(CR)(QR) evaluation is also measured at other spectrum sizes: its time
// per point at few points shows the fixed cost of a call.
int g_points = kPoints;

struct Setup {
    std::string code;
    std::vector<double> values;
};

const Setup kQ{"R(CR)(QR)", {10.0, 1e-5, 1000.0, 1e-4, 0.8, 100.0}};
const Setup kD{"R(DR)", {10.0, 1e-5, 1e-3, 0.8, 5.0, 1000.0}};

// Spectrum of 100 log-spaced frequencies (1e5 Hz down to 1e-2 Hz) with
// measured values 1% off the circuit's own, and the circuit installed.
ParamArray<double> Install(const Setup& s) {
    ResetProgramState();
    ResetWindows();
    AllocateWorkArrays();
    ProgramState& st = State();
    st.Circuit.Code = s.code;
    st.Run.SimulateMode = false;
    st.Options.Weighting = 1;
    const int n = g_points;
    st.Spectrum.PointCount = n;
    for (int i = 1; i <= n; ++i) {
        const double f = std::pow(10.0, 5.0 - 7.0 * (i - 1) / (n - 1));
        st.Spectrum.Frequency[i] = f;
        st.Spectrum.Omega[i] = TwoPi * f;
    }
    ParamArray<double> ln;
    for (size_t k = 0; k < s.values.size(); ++k) {
        ln[static_cast<int>(k) + 1] = std::log(s.values[k]);
        st.Params.Sign[static_cast<int>(k) + 1] = 1.0;
    }
    st.Run.SimulateMode = true;
    st.Options.NoiseType = -1;
    double chi = 0;
    EvaluateCircuit(ln, chi);
    for (int i = 1; i <= n; ++i) {
        st.Spectrum.ZReal[i] = 1.01 * st.Spectrum.ZRealCalc[i];
        st.Spectrum.ZImag[i] = 0.99 * st.Spectrum.ZImagCalc[i];
    }
    st.Run.SimulateMode = false;
    return ln;
}

void PerPoint(benchmark::State& state, int points = kPoints) {
    state.counters["ns/point"] = benchmark::Counter(
        points, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Modulus-weighted residuals of one point, added to chi.
inline void Accumulate(int i, Cx z, double& chi) {
    SpectrumBlock& sp = State().Spectrum;
    sp.ZRealCalc[i] = z.real();
    sp.ZImagCalc[i] = -z.imag();
    const double m = std::abs(z);
    const double dr = (z.real() - sp.ZReal[i]) / m;
    const double di = (-z.imag() - sp.ZImag[i]) / m;
    chi += dr * dr + di * di;
}

void BM_Evaluator_RCRQR(benchmark::State& state) {
    ParamArray<double> ln = Install(kQ);
    for (auto _ : state) {
        double chi = 0;
        EvaluateCircuit(ln, chi);
        benchmark::DoNotOptimize(chi);
    }
    PerPoint(state);
}
BENCHMARK(BM_Evaluator_RCRQR);

// The same at 15, 60 and 199 points (the limits of a spectrum and the fit
// benchmark's size).
void BM_Evaluator_RCRQR_Points(benchmark::State& state) {
    g_points = static_cast<int>(state.range(0));
    ParamArray<double> ln = Install(kQ);
    for (auto _ : state) {
        double chi = 0;
        EvaluateCircuit(ln, chi);
        benchmark::DoNotOptimize(chi);
    }
    PerPoint(state, g_points);
    g_points = kPoints;
}
BENCHMARK(BM_Evaluator_RCRQR_Points)->Arg(15)->Arg(60)->Arg(199);

// The same circuit written out by hand, as one would without a circuit code:
// values from the logarithms once, then one complex expression per point.
void BM_HandLoop_RCRQR(benchmark::State& state) {
    ParamArray<double> ln = Install(kQ);
    for (auto _ : state) {
        const double r1 = std::exp(ln[1]), c = std::exp(ln[2]), r2 = std::exp(ln[3]);
        const double y0 = std::exp(ln[4]), n = std::exp(ln[5]), r3 = std::exp(ln[6]);
        double chi = 0;
        for (int i = 1; i <= kPoints; ++i) {
            const double w = TwoPi * State().Spectrum.Frequency[i];
            const Cx jw(0.0, w);
            const Cx z = r1 + 1.0 / (1.0 / r2 + jw * c) + 1.0 / (y0 * std::pow(jw, n) + 1.0 / r3);
            Accumulate(i, z, chi);
        }
        benchmark::DoNotOptimize(chi);
    }
    PerPoint(state);
}
BENCHMARK(BM_HandLoop_RCRQR);

// A tuned hand loop: (jw)^n as a real power times a phase factor computed once.
void BM_HandLoopTuned_RCRQR(benchmark::State& state) {
    ParamArray<double> ln = Install(kQ);
    for (auto _ : state) {
        const double r1 = std::exp(ln[1]), c = std::exp(ln[2]), r2 = std::exp(ln[3]);
        const double y0 = std::exp(ln[4]), n = std::exp(ln[5]), r3 = std::exp(ln[6]);
        const Cx phase = std::polar(1.0, n * M_PI / 2.0);
        double chi = 0;
        for (int i = 1; i <= kPoints; ++i) {
            const double w = TwoPi * State().Spectrum.Frequency[i];
            const Cx z = r1 + 1.0 / Cx(1.0 / r2, w * c) + 1.0 / (y0 * std::pow(w, n) * phase + 1.0 / r3);
            Accumulate(i, z, chi);
        }
        benchmark::DoNotOptimize(chi);
    }
    PerPoint(state);
}
BENCHMARK(BM_HandLoopTuned_RCRQR);

void BM_Evaluator_RDR(benchmark::State& state) {
    ParamArray<double> ln = Install(kD);
    for (auto _ : state) {
        double chi = 0;
        EvaluateCircuit(ln, chi);
        benchmark::DoNotOptimize(chi);
    }
    PerPoint(state);
}
BENCHMARK(BM_Evaluator_RDR);

// The D element by hand: its normalised response as one complex integral over
// the activation energies, by a fixed 64-interval Simpson rule.
void BM_HandLoop_RDR(benchmark::State& state) {
    ParamArray<double> ln = Install(kD);
    for (auto _ : state) {
        const double r1 = std::exp(ln[1]), cap = std::exp(ln[2]), tau = std::exp(ln[3]);
        const double psi = std::exp(ln[4]), xs = std::exp(ln[5]), r2 = std::exp(ln[6]);
        const double nrm = (1.0 - std::exp(-psi * xs)) / psi;
        constexpr int kIntervals = 64;
        const double h = xs / kIntervals;
        double chi = 0;
        for (int i = 1; i <= kPoints; ++i) {
            const double w = TwoPi * State().Spectrum.Frequency[i];
            Cx sum = 0;
            for (int k = 0; k <= kIntervals; ++k) {
                const double x = k * h;
                const double wt = (k == 0 || k == kIntervals) ? 1.0 : (k % 2 ? 4.0 : 2.0);
                sum += wt * std::exp(-psi * x) / Cx(1.0, w * tau * std::exp(-x));
            }
            const Cx f = sum * (h / 3.0) / nrm;
            const Cx z = r1 + 1.0 / (Cx(0.0, w * cap) * f + 1.0 / r2);
            Accumulate(i, z, chi);
        }
        benchmark::DoNotOptimize(chi);
    }
    PerPoint(state);
}
BENCHMARK(BM_HandLoop_RDR);

}  // namespace

BENCHMARK_MAIN();
