#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kinetics/fitting/KineticSimplex.h"

using namespace pellucor;
using namespace pellucor::kinfit;

namespace {

// A two-relaxation mechanism written out by hand: Y_F = g1/(s+h1) + g2/(s+h2)
// with h1 = k1 e^(b1 E), h2 = k2 e^(b2 E), g1 = g10 e^(c1 E), g2 = g20 e^(c2 E)
// and the conductance G0 e^(bG E). Parameters in this order:
//   1 k1, 2 b1, 3 k2, 4 b2, 5 g10, 6 c1, 7 g20, 8 c2, 9 G0, 10 bG.
struct TwoRelaxations {
    double h1, h2, g1, g2, G;
};

TwoRelaxations At(const DVector& p, double E) {
    return {p[1] * std::exp(p[2] * E), p[3] * std::exp(p[4] * E), p[5] * std::exp(p[6] * E),
            p[7] * std::exp(p[8] * E), p[9] * std::exp(p[10] * E)};
}

// Coefficients by expanding the sum over the common denominator.
void Quantities(const TwoRelaxations& r, FitQuantities& q) {
    q.fill(0.0);
    q[1] = r.g1 * r.h2 + r.g2 * r.h1;
    q[2] = r.g1 + r.g2;
    q[5] = r.h1 * r.h2;
    q[6] = r.h1 + r.h2;
    q[9] = r.G;
}

// The measured elements of "(CR(LR)(LR))": Cdl, Rt, L1, R1, L2, R2 with
// L = 1/g and R = h/g for each branch.
std::vector<double> Elements(const TwoRelaxations& r) {
    return {2e-5, 1.0 / r.G, 1.0 / r.g1, r.h1 / r.g1, 1.0 / r.g2, r.h2 / r.g2};
}

DVector Truth() {
    DVector p(1, 10);
    const double v[] = {50, -8, 2000, 6, 0.02, 5, 0.5, 12, 0.01, 0};
    for (int i = 1; i <= 10; ++i) p[i] = v[i - 1];
    return p;
}

const std::vector<double> kPotentials = {0.05, 0.15, 0.25, 0.35};

SimplexProblem Problem(const DVector& truth, const std::vector<bool>& free) {
    SimplexProblem pr;
    pr.member = &OptimAMember();
    pr.values = truth;
    pr.free = free;
    pr.potentials = kPotentials;
    for (double E : kPotentials) pr.elements.push_back(Elements(At(truth, E)));
    pr.circuit = CircuitType::LRBased;
    pr.model = [](const DVector& p, double E, int, FitQuantities& q) {
        Quantities(At(p, E), q);
        return true;
    };
    return pr;
}

const std::vector<bool> kFree = {true, false, true, true, true, false, true, false, true, false};

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

std::string OutPath(const std::string& name) { return std::string(PELLUCOR_TEST_OUTPUT_DIR) + "/" + name; }

}  // namespace

TEST(KineticSimplex, RecoversKnownParametersFromThirtyPercentOff) {
    const DVector truth = Truth();
    SimplexProblem pr = Problem(truth, kFree);
    int k = 0;
    for (int i = 1; i <= 10; ++i)
        if (kFree[static_cast<size_t>(i - 1)]) pr.values[i] = truth[i] * (k++ % 2 ? 0.7 : 1.3);
    // Fixed parameters reach the mechanism exactly as given, negative and zero
    // ones included.
    bool fixedExact = true;
    auto inner = pr.model;
    pr.model = [&](const DVector& p, double E, int idx, FitQuantities& q) {
        fixedExact = fixedExact && p[2] == -8.0 && p[6] == 5.0 && p[8] == 12.0 && p[10] == 0.0;
        return inner(p, E, idx, q);
    };
    const SimplexResult r = RunSimplexFit(pr);
    ASSERT_TRUE(r.ran) << r.message;
    EXPECT_TRUE(fixedExact);
    for (int i = 1; i <= 10; ++i) {
        if (kFree[static_cast<size_t>(i - 1)])
            EXPECT_NEAR(r.values[i] / truth[i], 1.0, 1e-5) << "parameter " << i;
        else
            EXPECT_EQ(r.values[i], truth[i]) << "parameter " << i;
    }
    EXPECT_LT(r.minimum, 1e-18);
    EXPECT_DOUBLE_EQ(r.misfit, r.minimum / 5.0);
    // The model quantities handed back belong to the optimum.
    for (size_t m = 0; m < kPotentials.size(); ++m) {
        FitQuantities q;
        Quantities(At(r.values, kPotentials[m]), q);
        for (int c = 1; c <= 9; ++c) EXPECT_EQ(r.model[m][c], q[c]);
    }
    // Targets: 1/Rt of the data for an (LR) circuit.
    EXPECT_DOUBLE_EQ(r.targets[0][9], At(truth, kPotentials[0]).G);
}

TEST(KineticSimplex, ConductanceTargetOfCrCircuitsAddsTheBranchResistances) {
    // Two (CR) branches: g = -1/(C R^2), h = 1/(C R); the circuit shows Rp.
    const double C1 = 1e-3, R1 = 40, C2 = 2e-4, R2 = -15, Rp = 25;
    FitQuantities t;
    std::string err;
    ASSERT_TRUE(PrepareTargets(CircuitType::CRBased, 2, {2e-5, Rp, C1, R1, C2, R2}, t, err)) << err;
    EXPECT_DOUBLE_EQ(t[9], 1 / Rp + 1 / R1 + 1 / R2);
    const double g1 = -1 / (C1 * R1 * R1), h1 = 1 / (C1 * R1), g2 = -1 / (C2 * R2 * R2), h2 = 1 / (C2 * R2);
    EXPECT_NEAR(t[1], g1 * h2 + g2 * h1, 1e-12 * std::fabs(g1 * h2));
    EXPECT_NEAR(t[2], g1 + g2, 1e-12 * std::fabs(g1 + g2));
    EXPECT_NEAR(t[5], h1 * h2, 1e-12 * std::fabs(h1 * h2));
    EXPECT_NEAR(t[6], h1 + h2, 1e-12 * std::fabs(h1 + h2));
}

TEST(KineticSimplex, MisfitTermScalingAndItsZeroSum) {
    EXPECT_DOUBLE_EQ(MisfitTerm(3.0, 1.0), 0.0625);  // (0.5*2/4)^2
    EXPECT_EQ(MisfitTerm(0.0, 0.0), 0.0);
    EXPECT_GT(MisfitTerm(1.0, -1.0), 1e20);  // no value: very bad, not a division by zero
    double d1 = 0, d2 = 0;
    InitialOffsets(1, 0.5, d1, d2);
    EXPECT_NEAR(d1, std::sqrt(2.0) * 0.5 / 1.414, 1e-15);
    EXPECT_NEAR(d1, 0.5, 1e-3);
}

TEST(KineticSimplex, RefusesWhatItCannotRunAndChangesNothing) {
    const DVector truth = Truth();
    struct Case {
        const char* what;
        std::function<void(SimplexProblem&)> damage;
        const char* inMessage;
    } cases[] = {
        {"no free parameter", [](SimplexProblem& p) { p.free.assign(10, false); }, "No parameter is free"},
        {"free value zero", [](SimplexProblem& p) { p.values[3] = 0.0; }, "parameter 3"},
        {"free value negative", [](SimplexProblem& p) { p.values[1] = -2.0; }, "parameter 1 (k1)"},
        {"sixteen potentials",
         [](SimplexProblem& p) {
             p.potentials.assign(16, 0.1);
             p.elements.assign(16, p.elements[0]);
         },
         "1 to 15"},
        {"measured element zero", [](SimplexProblem& p) { p.elements[1][3] = 0.0; }, "Data potential 2"},
        {"too few elements", [](SimplexProblem& p) { p.elements[0].resize(4); }, "6 element values"},
        {"thirty-one parameters",
         [](SimplexProblem& p) {
             p.values = DVector(1, 31);
             p.free.assign(31, true);
         },
         "1 to 30"},
    };
    for (const Case& c : cases) {
        SimplexProblem pr = Problem(truth, kFree);
        pr.names = {"k1", "b1", "k2"};
        pr.tracePath = OutPath("refused_simpkbs.dat");
        std::filesystem::remove(pr.tracePath);
        bool called = false;
        pr.model = [&](const DVector&, double, int, FitQuantities&) { return called = true; };
        c.damage(pr);
        const SimplexResult r = RunSimplexFit(pr);
        EXPECT_FALSE(r.ran) << c.what;
        EXPECT_NE(r.message.find(c.inMessage), std::string::npos) << c.what << ": " << r.message;
        EXPECT_FALSE(called) << c.what;
        EXPECT_FALSE(std::filesystem::exists(pr.tracePath)) << c.what;
        for (int i = 1; i <= pr.values.hi(); ++i) EXPECT_EQ(r.values[i], pr.values[i]) << c.what;
    }
}

// A flat objective (all vertices equal, also all exactly zero, where the
// stop test would form 0/0) stops at once and the result is vertex 1, the
// first of the equal values: the start values.
TEST(KineticSimplex, EqualValuesStopAndTheFirstVertexWins) {
    for (double level : {0.0, 0.7}) {
        SimplexProblem pr = Problem(Truth(), kFree);
        pr.values[1] = 3.0;
        std::vector<FitQuantities> targets(kPotentials.size());
        std::string err;
        for (size_t k = 0; k < targets.size(); ++k)
            ASSERT_TRUE(PrepareTargets(pr.circuit, 2, pr.elements[k], targets[k], err));
        int calls = 0;
        pr.model = [&](const DVector&, double, int k, FitQuantities& q) {
            ++calls;
            q = targets[static_cast<size_t>(k)];
            if (level > 0) q[9] *= 3.0;  // term (0.5*2/4)^2 = 0.0625 per potential
            return true;
        };
        const SimplexResult r = RunSimplexFit(pr);
        ASSERT_TRUE(r.ran) << r.message;
        EXPECT_EQ(r.evaluations, 0) << level;
        EXPECT_EQ(calls, (6 + 1 + 1) * 4) << level;  // the vertices, then the best once more
        for (int i = 1; i <= 10; ++i) EXPECT_NEAR(r.values[i], pr.values[i], 1e-15 * std::fabs(pr.values[i])) << level;
        EXPECT_DOUBLE_EQ(r.minimum, level > 0 ? 4 * 0.0625 : 0.0);
    }
}

TEST(KineticSimplex, EvaluationLimitEndsTheRunNearItsLimit) {
    SimplexMember small = OptimAMember();
    small.evaluationLimit = 60;
    SimplexProblem pr = Problem(Truth(), kFree);
    pr.member = &small;
    pr.values[1] *= 1.3;
    pr.values[3] *= 0.7;
    const SimplexResult r = RunSimplexFit(pr);
    ASSERT_TRUE(r.ran);
    EXPECT_TRUE(r.reachedLimit);
    EXPECT_GE(r.evaluations, 60);
    EXPECT_LE(r.evaluations, 60 + 1 + 6);  // one loop: a trial, then at most a second trial or a shrink
}

TEST(KineticSimplex, PenaltyForPotentialFactorsAboveTheLimit) {
    // Four-species member, 26 parameters; b of steps 1 and 2 above 200 cost
    // 500 each and the mechanism is not asked.
    SimplexProblem pr;
    pr.member = &OptimDMember();
    pr.values = DVector(1, 26);
    for (int i = 1; i <= 26; ++i) pr.values[i] = 10.0;
    pr.values[2] = 250.0;
    pr.values[4] = 300.0;
    pr.free.assign(26, false);
    pr.free[0] = pr.free[24] = true;  // k01 and the site density
    pr.potentials = {-1.5, -1.45};
    const std::vector<double> el = {2e-5, 10, 1e-2, 5, 2e-2, 7, 3e-2, 9, 4e-2, 11};
    pr.elements = {el, el};
    bool called = false;
    pr.model = [&](const DVector&, double, int, FitQuantities&) { return called = true; };
    pr.tracePath = OutPath("penalty_simpkbs.dat");
    const SimplexResult r = RunSimplexFit(pr);
    ASSERT_TRUE(r.ran) << r.message;
    EXPECT_FALSE(called);
    EXPECT_EQ(r.minimum, 1000.0);
    EXPECT_DOUBLE_EQ(r.misfit, 1000.0 / 9);
    // Plain layout: (m+1)(N+1) + N lines; vertex 1's value line after its 26 lines.
    const auto lines = Lines(pr.tracePath);
    EXPECT_EQ(lines.size(), static_cast<size_t>(3 * 27 + 26));
    EXPECT_EQ(lines[0], "1  1  2.30259");
    EXPECT_EQ(lines[1], "1  2  5.52146");
    EXPECT_EQ(lines[26], "1  1000");
    EXPECT_EQ(lines[27], "2  1  2.78562");  // ln 10 + d1, d1 = (sqrt 3 + 1) 0.5 / 2.828 = 0.48303
    EXPECT_EQ(lines.back(), "26  10");
}

TEST(KineticSimplex, ColumnedTraceOfTheTwoSpeciesMember) {
    SimplexProblem pr = Problem(Truth(), kFree);
    pr.tracePath = OutPath("columned_simpkbs.dat");
    const SimplexResult r = RunSimplexFit(pr);
    ASSERT_TRUE(r.ran);
    const auto lines = Lines(pr.tracePath);
    const size_t m = 6, N = 10;
    ASSERT_EQ(lines.size(), 1 + (m + 1) * (N + 1) + 1 + N);
    EXPECT_EQ(lines[0], "6  7");
    // v, i in 5 columns, lambda and exp(lambda) in 15, right-aligned.
    EXPECT_EQ(lines[1], "    1    1        3.91202             50");
    // A fixed negative value: the trace shows the logarithm of 1e-32.
    EXPECT_EQ(lines[2], "    1    2       -73.6827          1e-32");
    EXPECT_EQ(lines[11].substr(0, 16), "chi-squared =  1");
    EXPECT_EQ(lines[11].size(), 16u + 15u);
    EXPECT_EQ(lines[1 + (m + 1) * (N + 1)].substr(0, 23), "minimum chi-squared =  ");
    EXPECT_EQ(lines.back().substr(0, 4), "10  ");
}

// Vertices 2 and 3 share the least value: vertex 2 is the result.
TEST(KineticSimplex, TiedBestVerticesGiveTheLowerNumber) {
    SimplexMember none = OptimAMember();
    none.evaluationLimit = 0;  // stop after the initial simplex
    SimplexProblem pr = Problem(Truth(), kFree);
    pr.member = &none;
    pr.potentials.resize(1);
    pr.elements.resize(1);
    std::vector<FitQuantities> seen;
    int vertex = 0;
    pr.model = [&](const DVector&, double, int, FitQuantities& q) {
        ++vertex;
        Quantities(At(Truth(), kPotentials[0]), q);
        // Vertex values 5, 1, 1, 3, 3, 3, 3 by the conductance term.
        const double term = vertex == 1 ? 5.0 : vertex <= 3 ? 1.0 : 3.0;
        // (0.5 (g - t)/(g + t))^2 = term/100 for g = t (1 + 2x)/(1 - 2x), x = sqrt(term)/10.
        const double x = std::sqrt(term) / 10.0;
        q[9] *= (1 + 2 * x) / (1 - 2 * x);
        return true;
    };
    const SimplexResult r = RunSimplexFit(pr);
    ASSERT_TRUE(r.ran);
    double d1 = 0, d2 = 0;
    InitialOffsets(6, 0.5, d1, d2);
    const DVector t = Truth();
    EXPECT_NEAR(r.values[1], t[1] * std::exp(d1), 1e-12 * t[1]);  // vertex 2: d1 on the first free coordinate
    EXPECT_NEAR(r.values[3], t[3] * std::exp(d2), 1e-12 * t[3]);
    EXPECT_NEAR(r.values[9], t[9] * std::exp(d2), 1e-12 * t[9]);
    EXPECT_EQ(r.values[2], t[2]);
}

// A trace that cannot be written is reported; the run still gives its result.
TEST(KineticSimplex, UnwritableTraceIsReportedAndTheRunCounts) {
    SimplexProblem pr = Problem(Truth(), kFree);
    pr.values[1] *= 1.1;
    pr.tracePath = OutPath("no_such_folder/deeper/simpkbs.dat");
    const SimplexResult r = RunSimplexFit(pr);
    ASSERT_TRUE(r.ran);
    EXPECT_NE(r.traceError.find("simpkbs.dat"), std::string::npos) << r.traceError;
    EXPECT_NEAR(r.values[1] / Truth()[1], 1.0, 1e-5);
}
