#pragma once
// Shared set-up of the fitting-engine tests: spectra from closed-form
// impedances (written here, independently of the evaluator), a model with
// start values entered as in the parameter window, and a full run as the run
// control starts it.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/CircuitCode.h"
#include "core/FitDriver.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"

namespace pellucor::fittest {

using Cplx = std::complex<double>;
using Impedance = std::function<Cplx(double omega)>;

inline const Cplx J(0.0, 1.0);

// Constant-phase admittance Q (j w)^n.
inline Cplx Cpe(double q, double n, double w) { return q * std::pow(w, n) * std::exp(J * (n * M_PI / 2)); }

// Every result file of these tests goes below the test output folder, one
// folder per test: the tests run side by side in separate processes.
inline void UseOutputFolders() {
    AppFolders& f = State().Folders;
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = t ? std::string(t->test_suite_name()) + "." + t->name() : "none";
    f.AppFolder = std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/fit/" + name + "/";
    f.DataFolder = f.AppFolder + "data/";
    f.ParFolder = f.AppFolder + "par/";
    f.CovarsFolder = f.AppFolder + "covars/";
    f.TempFolder = f.AppFolder + "temp/";
    f.HistFolder = f.AppFolder + "hist/";
    State().Files.DataFileName = f.DataFolder + "synthetic.txt";
    for (const std::string& d : {f.DataFolder, f.ParFolder, f.CovarsFolder, f.TempFolder, f.HistFolder})
        std::filesystem::create_directories(d);
}

// n points from fmax down to fmin, evenly spaced in log f. The stored
// imaginary part has the reversed sign (positive when capacitive). With
// relNoise > 0 each part gets Gaussian noise of relNoise * |Z|.
inline void LoadSpectrum(const Impedance& z, int n, double fmax, double fmin, double relNoise = 0.0,
                         unsigned seed = 7) {
    SpectrumBlock& sp = State().Spectrum;
    std::mt19937 gen(seed);
    std::normal_distribution<double> g(0.0, 1.0);
    sp.ZModMin = 1e300;
    sp.ZModMax = 0.0;
    for (int i = 1; i <= n; ++i) {
        const double f = fmax * std::pow(fmin / fmax, (i - 1.0) / (n - 1.0));
        const double w = TwoPi * f;
        const Cplx v = z(w);
        const double m = std::abs(v);
        sp.Frequency[i] = f;
        sp.Omega[i] = w;
        sp.ZReal[i] = v.real() + (relNoise > 0 ? relNoise * m * g(gen) : 0.0);
        sp.ZImag[i] = -v.imag() + (relNoise > 0 ? relNoise * m * g(gen) : 0.0);
        sp.ZModMin = std::min(sp.ZModMin, m);
        sp.ZModMax = std::max(sp.ZModMax, m);
    }
    sp.PointCount = sp.FilePointCount = sp.ExtendedPointCount = n;
    State().Run.DataLoaded = true;
}

// The code chosen with user start values typed into the parameter window,
// every parameter free unless named in `fixed`.
inline void SelectModel(const std::string& code, const std::vector<double>& start,
                        const std::vector<int>& fixed = {}) {
    ProgramState& s = State();
    s.Circuit.Code = code;
    s.Params.ParamCount = ParseCircuitCode(code);
    s.Run.ModelValid = true;
    s.Run.IterateMode = true;
    s.Run.MonitorMode = s.Run.SimulateMode = s.Run.BatchMode = false;
    s.Run.StartValuesApplied = true;
    ParamWindow& w = *Windows().Par;
    w.FreeAllParameters();
    for (int i : fixed) w.SetFixedBox(i, true);
    for (int i = 1; i <= MaxParams; ++i) s.Params.Sign[i] = 1.0;
    for (size_t i = 0; i < start.size(); ++i) s.Params.Value[static_cast<int>(i) + 1] = start[i];
    w.ShowStartValues(false);
    w.ShowModelInfo(s.Files.DataFileName);
}

// What "Select Model & Run Mode" does with user start values: the start-value
// evaluation, then the run of iterations.
inline RunOutcome RunFullFit() {
    StartRunClock();
    InitialEvaluation(State().Files.DataFileName);
    return RunIterations(State().Files.DataFileName);
}

inline double Fitted(int j) {
    const ParamSet& p = State().Params;
    return std::exp(p.LnValue[j]) * p.Sign[j];
}

// A fresh program state, windows, work arrays and output folders: the set-up
// of every test, and of every case of a test that loops over cases.
inline void FreshFitState() {
    ResetProgramState();
    ResetWindows();
    AllocateWorkArrays();
    UseOutputFolders();
}

class FitTest : public ::testing::Test {
protected:
    void SetUp() override { FreshFitState(); }
    platform::testing::ScopedServices services;
};

}  // namespace pellucor::fittest
