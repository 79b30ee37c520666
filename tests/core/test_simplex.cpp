#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "core/Simplex.h"

using namespace pellucor;

namespace {

// Vertex values of the start simplex of f.
DVector ValuesOf(const DMatrix& p, int n, const SimplexObjective& f) {
    DVector y = AllocVector(1, n + 1), x = AllocVector(1, n);
    for (int j = 1; j <= n + 1; ++j) {
        for (int k = 1; k <= n; ++k) x[k] = p[j][k];
        y[j] = f(x);
    }
    return y;
}

double Spread(const DVector& y, int n) {
    double lo = y[1], hi = y[1];
    for (int j = 2; j <= n + 1; ++j) {
        lo = std::min(lo, y[j]);
        hi = std::max(hi, y[j]);
    }
    return 2.0 * std::fabs(hi - lo) / (std::fabs(hi) + std::fabs(lo));
}

struct SimplexRun {
    DMatrix p;
    DVector y;
    int evaluations = 0;
    int best = 1;
};

SimplexRun Minimise(const SimplexObjective& f, const std::vector<double>& start, double step, double tol, int limit) {
    const int n = static_cast<int>(start.size());
    SimplexRun r;
    r.p = AllocMatrix(1, n + 1, 1, n);
    DVector s = AllocVector(1, n);
    for (int k = 1; k <= n; ++k) s[k] = start[static_cast<size_t>(k - 1)];
    BuildStartSimplex(r.p, n, s, step);
    r.y = ValuesOf(r.p, n, f);
    DownhillSimplex(r.p, r.y, n, r.evaluations, tol, limit, f);
    r.best = BestVertex(r.y, n);
    return r;
}

}  // namespace

TEST(StartSimplex, IsRegularWithEdgeOfTheStepTimesRootTwoOver1414) {
    // The offsets d1 = (sqrt(n+1) + n - 1) s / (1.414 n) and d2 = (sqrt(n+1) - 1) s / (1.414 n)
    // make every edge sqrt(2) * (d1 - d2) = sqrt(2) s / 1.414.
    for (int n : {1, 2, 3, 6, 15}) {
        DMatrix p = AllocMatrix(1, n + 1, 1, n);
        DVector s = AllocVector(1, n);
        for (int k = 1; k <= n; ++k) s[k] = 0.1 * k - 2.0;
        BuildStartSimplex(p, n, s, 0.3);
        for (int k = 1; k <= n; ++k) EXPECT_EQ(p[1][k], s[k]);
        const double edge = std::sqrt(2.0) * 0.3 / 1.414;
        for (int a = 1; a <= n + 1; ++a)
            for (int b = a + 1; b <= n + 1; ++b) {
                double d2 = 0;
                for (int k = 1; k <= n; ++k) d2 += (p[a][k] - p[b][k]) * (p[a][k] - p[b][k]);
                EXPECT_NEAR(std::sqrt(d2), edge, 1e-12) << "n=" << n << " " << a << "-" << b;
            }
    }
    // One variable: ln p and ln p + 0.3 sqrt 2 / 1.414.
    DMatrix p = AllocMatrix(1, 2, 1, 1);
    DVector s = AllocVector(1, 1);
    s[1] = std::log(50.0);
    BuildStartSimplex(p, 1, s, 0.3);
    EXPECT_NEAR(p[2][1], std::log(50.0) + 0.3 * std::sqrt(2.0) / 1.414, 1e-15);
}

TEST(SimplexTrial, ReflectsTheWorstVertexThroughTheOppositeFace) {
    // Triangle (0,0), (1,0), (0,1) with values 1, 2, 3: the worst vertex (0,1)
    // mirrored through the midpoint (0.5, 0) of the other two is (1, -1).
    DMatrix p = AllocMatrix(1, 3, 1, 2);
    p[1][1] = 0; p[1][2] = 0;
    p[2][1] = 1; p[2][2] = 0;
    p[3][1] = 0; p[3][2] = 1;
    DVector y = AllocVector(1, 3), psum = AllocVector(1, 2);
    y[1] = 1; y[2] = 2; y[3] = 3;
    psum[1] = 1; psum[2] = 1;
    double seenX = 0, seenY = 0;
    int evaluations = 0;
    auto f = [&](const DVector& x) { seenX = x[1]; seenY = x[2]; return 0.5; };
    EXPECT_EQ(SimplexTrial(p, y, psum, -1.0, evaluations, 3, 2, f), 0.5);
    EXPECT_EQ(seenX, 1.0);
    EXPECT_EQ(seenY, -1.0);
    EXPECT_EQ(evaluations, 1);
    // Accepted: the vertex, its value and the column sums follow.
    EXPECT_EQ(p[3][1], 1.0);
    EXPECT_EQ(p[3][2], -1.0);
    EXPECT_EQ(y[3], 0.5);
    EXPECT_EQ(psum[1], 2.0);
    EXPECT_EQ(psum[2], -1.0);
    // A trial that is not better than the worst vertex changes nothing.
    auto worse = [&](const DVector&) { return 10.0; };
    EXPECT_EQ(SimplexTrial(p, y, psum, 2.0, evaluations, 2, 2, worse), 10.0);
    EXPECT_EQ(p[2][1], 1.0);
    EXPECT_EQ(y[2], 2.0);
    EXPECT_EQ(evaluations, 2);
}

TEST(DownhillSimplex, FindsTheMinimumOfAQuadraticBowl) {
    // f = 1 + sum a_k (x_k - c_k)^2 has its minimum 1 at c.
    const double a[4] = {1.0, 3.0, 0.5, 10.0}, c[4] = {0.7, -1.2, 2.0, 0.1};
    auto f = [&](const DVector& x) {
        double s = 1.0;
        for (int k = 1; k <= 4; ++k) s += a[k - 1] * (x[k] - c[k - 1]) * (x[k] - c[k - 1]);
        return s;
    };
    SimplexRun r = Minimise(f, {0, 0, 0, 0}, 0.3, 1e-12, 200000);
    EXPECT_LT(r.evaluations, 200000);
    for (int k = 1; k <= 4; ++k) EXPECT_NEAR(r.p[r.best][k], c[k - 1], 2e-5) << k;
    EXPECT_NEAR(r.y[r.best], 1.0, 1e-10);
    // It stopped on the spread test: the spread is below the tolerance.
    EXPECT_LT(Spread(r.y, 4), 1e-12);
}

TEST(DownhillSimplex, FindsTheMinimumOfRosenbrocksValley) {
    // 1 + (1 - x)^2 + 100 (y - x^2)^2: minimum 1 at (1, 1), start at the classic (-1.2, 1).
    auto f = [](const DVector& x) {
        return 1.0 + (1 - x[1]) * (1 - x[1]) + 100 * (x[2] - x[1] * x[1]) * (x[2] - x[1] * x[1]);
    };
    SimplexRun r = Minimise(f, {-1.2, 1.0}, 0.3, 1e-14, 100000);
    EXPECT_NEAR(r.p[r.best][1], 1.0, 1e-4);
    EXPECT_NEAR(r.p[r.best][2], 1.0, 2e-4);
    EXPECT_LT(r.evaluations, 100000);
}

TEST(DownhillSimplex, OneVariableWorksOnASegment) {
    auto f = [](const DVector& x) { return 2.0 + (x[1] - 3.0) * (x[1] - 3.0); };
    SimplexRun r = Minimise(f, {0.0}, 0.3, 1e-13, 10000);
    EXPECT_NEAR(r.p[r.best][1], 3.0, 1e-5);
}

TEST(DownhillSimplex, StopsAtTheEvaluationLimitAfterTheCurrentPass) {
    // A pass costs at most 2 + n evaluations (reflection, contraction, shrink).
    auto f = [](const DVector& x) { return 1.0 + x[1] * x[1] + x[2] * x[2] + x[3] * x[3]; };
    for (int limit : {1, 20, 57}) {
        SimplexRun r = Minimise(f, {5, 5, 5}, 0.3, 1e-15, limit);
        EXPECT_GE(r.evaluations, limit);
        EXPECT_LE(r.evaluations, limit + 2 + 3 - 1);
    }
}

TEST(DownhillSimplex, ATrialWithoutAValueIsTakenAsWorseThanAnyVertex) {
    // The circuit has no finite impedance left of x = 0.5 (an element whose
    // exponent overflows, say): chi-squared is not a number there. The
    // reflection from the start simplex lands there, and the minimiser must
    // turn back instead of retrying the same reflection until its limit.
    auto f = [](const DVector& x) {
        if (x[1] < 0.5) return std::numeric_limits<double>::quiet_NaN();
        return 2.0 + (x[1] - 0.6) * (x[1] - 0.6);
    };
    SimplexRun r = Minimise(f, {1.0}, 0.7, 1e-13, 100000);
    EXPECT_LT(r.evaluations, 1000);
    EXPECT_NEAR(r.p[r.best][1], 0.6, 1e-5);
    EXPECT_NEAR(r.y[r.best], 2.0, 1e-10);
    // The same in two variables, where a shrink meets the gap too.
    auto g = [](const DVector& x) {
        if (x[1] + x[2] < 1.0) return std::numeric_limits<double>::quiet_NaN();
        return 1.0 + (x[1] - 1.0) * (x[1] - 1.0) + 3.0 * (x[2] - 0.5) * (x[2] - 0.5);
    };
    r = Minimise(g, {2.0, 2.0}, 1.5, 1e-13, 100000);
    EXPECT_LT(r.evaluations, 5000);
    EXPECT_NEAR(r.p[r.best][1], 1.0, 1e-4);
    EXPECT_NEAR(r.p[r.best][2], 0.5, 1e-4);
}

TEST(DownhillSimplex, EqualValuesAndAPerfectFitStopAtOnce) {
    int calls = 0;
    auto flat = [&](const DVector&) { ++calls; return 4.0; };
    SimplexRun r = Minimise(flat, {1, 2}, 0.3, 5e-7, 1000);
    EXPECT_EQ(r.evaluations, 0);
    EXPECT_EQ(calls, 3);  // the three start vertices only
    calls = 0;
    auto zero = [&](const DVector&) { ++calls; return 0.0; };
    r = Minimise(zero, {1, 2}, 0.3, 5e-7, 1000);
    EXPECT_EQ(r.evaluations, 0);
}

TEST(DownhillSimplex, BestVertexPrefersTheLowestIndexOnTies) {
    DVector y = AllocVector(1, 4);
    y[1] = 3; y[2] = 1; y[3] = 1; y[4] = 2;
    EXPECT_EQ(BestVertex(y, 3), 2);
}

TEST(DownhillSimplex, OnePassReflectsExpandsContractsAndShrinksAsWorkedOutByHand) {
    // Triangle (0,0), (1,0), (0,1) with values 1, 2, 3: best 1, worst 3,
    // next-worst 2; the centroid of the face opposite the worst is (0.5, 0).
    // Every case runs one pass: the evaluation limit ends the loop right after.
    struct Case {
        const char* name;
        std::vector<double> answers;  // values returned in call order
        int limit;
        std::vector<std::pair<double, double>> points;  // points evaluated, in order
        double p[4][2];                                  // vertices after the pass
        double y[4];
    } cases[] = {
        // Reflection (1,-1) better than the best: expansion to (0.5,0) + 2 ((1,-1) - (0.5,0)).
        {"expansion accepted", {0.5, 0.25}, 2, {{1, -1}, {1.5, -2}}, {{}, {0, 0}, {1, 0}, {1.5, -2}}, {0, 1, 2, 0.25}},
        // Expansion worse than the reflection: the reflected point stays.
        {"expansion rejected", {0.5, 0.75}, 2, {{1, -1}, {1.5, -2}}, {{}, {0, 0}, {1, 0}, {1, -1}}, {0, 1, 2, 0.5}},
        // Reflection between the best and the next-worst: kept, nothing more.
        {"reflection only", {1.5}, 1, {{1, -1}}, {{}, {0, 0}, {1, 0}, {1, -1}}, {0, 1, 2, 1.5}},
        // Reflection no better than the next-worst but better than the worst:
        // kept, then contraction from it towards the centroid: (0.75, -0.5).
        {"contraction", {2.5, 2.2}, 2, {{1, -1}, {0.75, -0.5}}, {{}, {0, 0}, {1, 0}, {0.75, -0.5}}, {0, 1, 2, 2.2}},
        // Reflection and contraction (0.25, 0.5) both fail: every vertex but
        // the best moves halfway to it and is evaluated again.
        {"shrink", {10, 4, 1.7, 1.9}, 4, {{1, -1}, {0.25, 0.5}, {0.5, 0}, {0, 0.5}},
         {{}, {0, 0}, {0.5, 0}, {0, 0.5}}, {0, 1, 1.7, 1.9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DMatrix p = AllocMatrix(1, 3, 1, 2);
        p[1][1] = 0; p[1][2] = 0;
        p[2][1] = 1; p[2][2] = 0;
        p[3][1] = 0; p[3][2] = 1;
        DVector y = AllocVector(1, 3);
        y[1] = 1; y[2] = 2; y[3] = 3;
        std::vector<std::pair<double, double>> seen;
        size_t next = 0;
        auto f = [&](const DVector& x) {
            seen.push_back({x[1], x[2]});
            return next < c.answers.size() ? c.answers[next++] : 100.0;
        };
        int evaluations = -1;
        DownhillSimplex(p, y, 2, evaluations, 0.0, c.limit, f);
        EXPECT_EQ(evaluations, c.limit);
        ASSERT_EQ(seen.size(), c.points.size());
        for (size_t k = 0; k < seen.size(); ++k) {
            EXPECT_DOUBLE_EQ(seen[k].first, c.points[k].first) << k;
            EXPECT_DOUBLE_EQ(seen[k].second, c.points[k].second) << k;
        }
        for (int j = 1; j <= 3; ++j) {
            EXPECT_DOUBLE_EQ(p[j][1], c.p[j][0]) << j;
            EXPECT_DOUBLE_EQ(p[j][2], c.p[j][1]) << j;
            EXPECT_EQ(y[j], c.y[j]) << j;
        }
    }
}
