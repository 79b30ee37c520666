// A full fit as the run control starts it: automatic start values are not
// used here; the start values are typed in 2 to 5 times off, then the
// start-value evaluation and the iterations run with the default options
// (modulus weighting, at most 10 iterations, rough search as the engine
// chooses it). Reports wall time per fit, circuit evaluations per fit and the
// final chi-squared, beside the chi-squared a Levenberg-Marquardt fit of the
// same modulus-weighted residuals reaches from the same start.
// Also reports the longest time between two messages handled by the message
// pump during the fits ("max_pump_gap_ms", from the start of a fit to its
// first message and from its last message to its end included) and, for the
// distributed element, the largest relative deviation of its response at the
// fitted values from an independent fine Simpson rule at every frequency of
// the spectrum ("D_rel_dev").
// The result files go to $TMPDIR (default /tmp): measure on an ordinary disk,
// not on a memory file system.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/CircuitCode.h"
#include "core/Distributed.h"
#include "core/Evaluator.h"
#include "core/FitDriver.h"
#include "core/NumericLib.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/Services.h"

using namespace pellucor;

namespace {

struct Problem {
    const char* name;
    std::string code;
    std::vector<double> truth;
    std::vector<double> start;
};

const Problem kProblems[] = {
    {"R(CR)(QR)", "R(CR)(QR)", {10, 1e-6, 100, 1e-4, 0.8, 200}, {30, 3e-6, 40, 3e-5, 0.8, 600}},
    // The same with a distributed element (exponential distribution of
    // activation energies) in place of the constant-phase element.
    {"R(CR)(DR)", "R(CR)(DR)", {10, 1e-6, 100, 1e-4, 0.01, 0.8, 5, 200},
     {30, 3e-6, 40, 3e-5, 0.03, 0.8, 5, 600}},
};

std::string OutputFolder() {
    return std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/pellucor-bench-fit/";
}

// 60 points from 100 kHz down to 0.1 Hz with 1 % noise (of |Z|, on each part).
void MakeSpectrum(const Problem& p) {
    ResetProgramState();
    ResetWindows();
    AllocateWorkArrays();
    ProgramState& s = State();
    s.Folders.AppFolder = OutputFolder();
    s.Folders.ParFolder = s.Folders.AppFolder + "par/";
    s.Folders.CovarsFolder = s.Folders.AppFolder + "covars/";
    s.Folders.TempFolder = s.Folders.AppFolder + "temp/";
    s.Files.DataFileName = s.Folders.AppFolder + "bench.txt";
    for (const std::string& f : {s.Folders.ParFolder, s.Folders.CovarsFolder, s.Folders.TempFolder})
        std::filesystem::create_directories(f);
    s.Circuit.Code = p.code;
    const int n = 60;
    SpectrumBlock& sp = s.Spectrum;
    sp.PointCount = n;
    for (int i = 1; i <= n; ++i) {
        sp.Frequency[i] = 1e5 * std::pow(1e-6, (i - 1.0) / (n - 1.0));
        sp.Omega[i] = TwoPi * sp.Frequency[i];
    }
    ParamArray<double> v;
    for (size_t j = 0; j < p.truth.size(); ++j) v[static_cast<int>(j) + 1] = p.truth[j];
    std::mt19937 gen(2024);
    std::normal_distribution<double> g(0.0, 1.0);
    sp.ZModMin = 1e300;
    sp.ZModMax = 0;
    for (int i = 1; i <= n; ++i) {
        const Complex z = CircuitImpedance(p.code, v, sp.Omega[i]);
        const double m = std::hypot(z.re, z.im);
        sp.ZReal[i] = z.re + 0.01 * m * g(gen);
        sp.ZImag[i] = -z.im + 0.01 * m * g(gen);
        sp.ZModMin = std::min(sp.ZModMin, m);
        sp.ZModMax = std::max(sp.ZModMax, m);
    }
    sp.FilePointCount = sp.ExtendedPointCount = n;
    s.Run.DataLoaded = true;
}

void EnterModel(const Problem& p) {
    ProgramState& s = State();
    s.Params.ParamCount = ParseCircuitCode(p.code);
    s.Run.ModelValid = true;
    s.Run.StartValuesApplied = true;
    Windows().Par->FreeAllParameters();
    for (size_t j = 0; j < p.start.size(); ++j) s.Params.Value[static_cast<int>(j) + 1] = p.start[j];
    Windows().Par->ShowStartValues(false);
    Windows().Par->ShowModelInfo(s.Files.DataFileName);
}

double ModulusChiSquare(const std::vector<double>& lnv) {
    ParamArray<double> ln;
    for (size_t j = 0; j < lnv.size(); ++j) ln[static_cast<int>(j) + 1] = lnv[j];
    double chi = 0;
    State().Run.SimulateMode = false;
    EvaluateCircuit(ln, chi);
    return chi;
}

// Residuals (Zcalc - Zmeas) / |Zcalc| of both parts at every point.
std::vector<double> Residuals(const std::vector<double>& lnv) {
    ModulusChiSquare(lnv);
    const SpectrumBlock& sp = State().Spectrum;
    std::vector<double> r;
    for (int i = 1; i <= sp.PointCount; ++i) {
        const double m = std::hypot(sp.ZRealCalc[i], sp.ZImagCalc[i]);
        r.push_back((sp.ZRealCalc[i] - sp.ZReal[i]) / m);
        r.push_back((sp.ZImagCalc[i] - sp.ZImag[i]) / m);
    }
    return r;
}

// Levenberg-Marquardt over the log-magnitudes with a forward-difference
// Jacobian, the usual reference of least-squares fitting programs.
double LevenbergMarquardt(const Problem& p) {
    const int n = static_cast<int>(p.start.size());
    std::vector<double> x(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j) x[static_cast<size_t>(j)] = std::log(p.start[static_cast<size_t>(j)]);
    double lambda = 1e-3;
    std::vector<double> r = Residuals(x);
    auto sum = [](const std::vector<double>& v) {
        double s = 0;
        for (double e : v) s += e * e;
        return s;
    };
    double chi = sum(r);
    for (int it = 0; it < 500; ++it) {
        const size_t m = r.size();
        std::vector<std::vector<double>> jac(static_cast<size_t>(n), std::vector<double>(m));
        for (int j = 0; j < n; ++j) {
            std::vector<double> xh = x;
            const double h = 1e-7 * std::max(1.0, std::fabs(x[static_cast<size_t>(j)]));
            xh[static_cast<size_t>(j)] += h;
            const std::vector<double> rh = Residuals(xh);
            for (size_t i = 0; i < m; ++i) jac[static_cast<size_t>(j)][i] = (rh[i] - r[i]) / h;
        }
        bool improved = false;
        for (int tries = 0; tries < 20 && !improved; ++tries) {
            DMatrix a = AllocMatrix(1, n, 1, n), b = AllocMatrix(1, n, 1, 1);
            for (int k = 1; k <= n; ++k) {
                double g = 0;
                for (size_t i = 0; i < m; ++i) g += jac[static_cast<size_t>(k - 1)][i] * r[i];
                b[k][1] = -g;
                for (int l = 1; l <= n; ++l) {
                    double s = 0;
                    for (size_t i = 0; i < m; ++i)
                        s += jac[static_cast<size_t>(k - 1)][i] * jac[static_cast<size_t>(l - 1)][i];
                    a[k][l] = s;
                }
                a[k][k] *= 1.0 + lambda;
            }
            if (GaussJordanSolve(a, n, b, 1) != SolveStatus::Ok) {
                lambda *= 10;
                continue;
            }
            std::vector<double> xn = x;
            for (int k = 0; k < n; ++k) xn[static_cast<size_t>(k)] += b[k + 1][1];
            const std::vector<double> rn = Residuals(xn);
            const double cn = sum(rn);
            if (cn < chi) {
                const double gain = (chi - cn) / chi;
                x = xn;
                r = rn;
                chi = cn;
                lambda = std::max(lambda / 10, 1e-12);
                improved = true;
                if (gain < 1e-12) return chi;
            } else {
                lambda *= 10;
            }
        }
        if (!improved) break;
    }
    return chi;
}

// Records the longest interval between two messages handled.
struct GapPump final : platform::MessagePump {
    std::chrono::steady_clock::time_point last;
    double worst = 0.0;
    void Start() { last = std::chrono::steady_clock::now(); }
    void ProcessOneMessage() override { Mark(); }
    void Mark() {
        const auto now = std::chrono::steady_clock::now();
        worst = std::max(worst, std::chrono::duration<double>(now - last).count());
        last = now;
    }
};

// The normalised response of the D element, (I1 - j I2) / Nrm, by composite
// Simpson rules of 200000 intervals (the exponents stay far from any clamp).
std::complex<double> ReferenceD(double wt, double psi, double xs) {
    const int n = 200000;
    const double h = xs / n;
    double i1 = 0, i2 = 0;
    for (int k = 0; k <= n; ++k) {
        const double x = k * h;
        const double wgt = (k == 0 || k == n) ? 1.0 : (k % 2 ? 4.0 : 2.0);
        const double d = 1.0 + wt * wt * std::exp(-2.0 * x);
        i1 += wgt * std::exp(-psi * x) / d;
        i2 += wgt * wt * std::exp(-(1.0 + psi) * x) / d;
    }
    const double nrm = (1.0 - std::exp(-psi * xs)) / psi;
    return std::complex<double>(i1, -i2) * (h / 3.0) / nrm;
}

double WorstDeviationOfD() {
    const ProgramState& s = State();
    const double tau = std::exp(s.Params.LnValue[5]), psi = std::exp(s.Params.LnValue[6]);
    const double xs = std::exp(s.Params.LnValue[7]);
    double worst = 0.0;
    for (int i = 1; i <= s.Spectrum.PointCount; ++i) {
        const double w = TwoPi * s.Spectrum.Frequency[i];
        const Complex f = DistributionResponseD(w, tau, psi, xs);
        const std::complex<double> want = ReferenceD(w * tau, psi, xs);
        worst = std::max(worst, std::abs(std::complex<double>(f.re, f.im) - want) / std::abs(want));
    }
    return worst;
}

void BM_FullFit(benchmark::State& state) {
    const Problem& p = kProblems[state.range(0)];
    state.SetLabel(p.name);
    long long evaluations = 0;
    double chi = 0, seconds = 0;
    double worstRel = 0;
    int runIterations = 0;
    GapPump pump;
    platform::Services services = platform::services();
    services.pump = &pump;
    platform::InstallServices(services);
    for (auto _ : state) {
        state.PauseTiming();
        MakeSpectrum(p);
        EnterModel(p);
        const long long before = CircuitEvaluationCount();
        state.ResumeTiming();
        const auto t0 = std::chrono::steady_clock::now();
        pump.Start();
        StartRunClock();
        InitialEvaluation(State().Files.DataFileName);
        RunIterations(State().Files.DataFileName);
        pump.Mark();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        evaluations += CircuitEvaluationCount() - before;
        chi = State().Fit.ChiSq;
        runIterations = State().History.IterationCount;
        worstRel = 0;
        for (size_t j = 0; j < p.truth.size(); ++j) {
            const double v = std::exp(State().Params.LnValue[static_cast<int>(j) + 1]);
            worstRel = std::max(worstRel, std::fabs(v / p.truth[j] - 1.0));
        }
        state.ResumeTiming();
    }
    const double iters = static_cast<double>(state.iterations());
    platform::ResetServices();
    if (p.code == "R(CR)(DR)") state.counters["D_rel_dev"] = WorstDeviationOfD();
    state.counters["max_pump_gap_ms"] = pump.worst * 1e3;
    MakeSpectrum(p);
    const double lm = LevenbergMarquardt(p);
    state.counters["ms_per_fit"] = seconds / iters * 1e3;
    state.counters["evaluations"] = static_cast<double>(evaluations) / iters;
    state.counters["chi2"] = chi;
    state.counters["chi2_LM"] = lm;
    state.counters["iterations"] = runIterations;
    state.counters["worst_rel_dev"] = worstRel;
}

}  // namespace

BENCHMARK(BM_FullFit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
