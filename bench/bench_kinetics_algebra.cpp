// The kinetic algebra at the sizes of the four-species windows: one spectrum
// of 200 points from coefficients (FaradaicAdmittance) or by a Cramer solve
// per point (SolveComplexLinear), and the coefficients plus element values of
// one potential (TransferFunctionFromRealJacobian), which an optimiser's
// objective runs once per data potential.
#include <benchmark/benchmark.h>

#include "core/NumericLib.h"
#include "kinetics/algebra/ComplexLinear.h"
#include "kinetics/algebra/TransferFunction.h"

using namespace pellucor;

namespace {

constexpr int kPoints = 200;

// A stable four-species system with real, well separated relaxations.
const double kJ[4][4] = {{-3.0, 0.4, 0.1, 0.0}, {0.2, -20.0, 1.0, 0.3}, {0.0, 0.5, -150.0, 2.0}, {0.1, 0.0, 3.0, -0.8}};
const double kU[4] = {1.0, -0.5, 0.25, 2.0};
const double kW[4] = {0.3, 1.2, -0.7, 0.9};

// The system above as the transfer function takes it (1-based).
struct RealSystem {
    DMatrix J = AllocMatrix(1, 4, 1, 4);
    DVector u = AllocVector(1, 4), w = AllocVector(1, 4);
    RealSystem() {
        for (int i = 1; i <= 4; ++i) {
            for (int j = 1; j <= 4; ++j) J[i][j] = kJ[i - 1][j - 1];
            u[i] = kU[i - 1];
            w[i] = kW[i - 1];
        }
    }
};

void BM_SpectrumFromCoefficients(benchmark::State& state) {
    RealSystem sys;
    DMatrix& J = sys.J;
    DVector &u = sys.u, &w = sys.w;
    TransferCoefficients a;
    BranchElements e;
    TransferFunctionFromRealJacobian(CircuitType::LRBased, 4, J, u, w, a, e);
    for (auto _ : state) {
        double f = 1e5;
        Complex sum{};
        for (int i = 0; i < kPoints; ++i, f *= 0.9) sum = ComplexAdd(sum, FaradaicAdmittance(4, 6.283184 * f, a));
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_SpectrumFromCoefficients);

void BM_SpectrumByCramer(benchmark::State& state) {
    ComplexMatrix m = AllocComplexMatrix(1, 4, 1, 4);
    Vector<Complex> b(1, 4), x(1, 4);
    for (int i = 1; i <= 4; ++i) {
        for (int j = 1; j <= 4; ++j) m[i][j] = {-kJ[i - 1][j - 1], 0.0};
        b[i] = {kU[i - 1], 0.0};
    }
    for (auto _ : state) {
        double f = 1e5;
        Complex sum{}, work{}, det{};
        for (int i = 0; i < kPoints; ++i, f *= 0.9) {
            for (int k = 1; k <= 4; ++k) m[k][k].im = 6.283184 * f;
            SolveComplexLinear(4, m, b, x, work, det);
            for (int k = 1; k <= 4; ++k) sum = ComplexAdd(sum, ComplexScale(kW[k - 1], x[k]));
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_SpectrumByCramer);

void BM_CoefficientsAndElements(benchmark::State& state) {
    RealSystem sys;
    DMatrix& J = sys.J;
    DVector &u = sys.u, &w = sys.w;
    TransferCoefficients a;
    BranchElements e;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TransferFunctionFromRealJacobian(CircuitType::CRBased, 4, J, u, w, a, e));
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_CoefficientsAndElements);

}  // namespace

BENCHMARK_MAIN();
