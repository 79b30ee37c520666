// Curvature matrix, parameter errors and the noise estimate of the
// statistical weighting, against computations written out here: closed-form
// impedances with finite-difference derivatives, hand-inverted matrices and
// parabola fits by the normal equations.
#include <filesystem>

#include "core/Covariance.h"
#include "core/ResultFiles.h"
#include "fit_test_support.h"

using namespace pellucor;
using namespace pellucor::fittest;

namespace {

// R(CR) as the evaluator sees its values: v1 = R0, v2 = C (parallel level),
// v3 = 1/R1 (a resistor at a parallel level is used as its conductance).
Cplx ZofV(const double v[3], double w) { return v[0] + 1.0 / (v[2] + J * w * v[1]); }

const double kR0 = 50, kC = 2e-5, kR1 = 800;

Cplx Truth(double w) { return kR0 + 1.0 / (1.0 / kR1 + J * w * kC); }

// Residual sum of a parabola in ln f fitted through the window of point i, by
// the normal equations solved with Cramer's rule.
double ParabolaNoise(int n, int i, int w) {
    const SpectrumBlock& sp = State().Spectrum;
    const int start = i < w + 1 ? 1 : (i > n - w ? n - 2 * w : i - w);
    double total = 0;
    for (const PointRow* row : {&sp.ZReal, &sp.ZImag}) {
        double S[5] = {0, 0, 0, 0, 0}, T[3] = {0, 0, 0};
        for (int k = start; k <= start + 2 * w; ++k) {
            const double x = std::log(sp.Frequency[k]), y = (*row)[k];
            double p = 1;
            for (int e = 0; e < 5; ++e, p *= x) S[e] += p;
            T[0] += y;
            T[1] += y * x;
            T[2] += y * x * x;
        }
        auto det = [](double a[3][3]) {
            return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                   a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
        };
        double A[3][3] = {{S[0], S[1], S[2]}, {S[1], S[2], S[3]}, {S[2], S[3], S[4]}};
        const double d = det(A);
        double c[3];
        for (int col = 0; col < 3; ++col) {
            double M[3][3];
            for (int r = 0; r < 3; ++r)
                for (int q = 0; q < 3; ++q) M[r][q] = q == col ? T[r] : A[r][q];
            c[col] = det(M) / d;
        }
        for (int k = start; k <= start + 2 * w; ++k) {
            const double x = std::log(sp.Frequency[k]);
            const double r = c[0] + c[1] * x + c[2] * x * x - (*row)[k];
            total += r * r;
        }
    }
    return std::sqrt(total);
}

// The curvature pass over points 1..n for R(CR) at its true magnitudes,
// every parameter free.
bool CurvatureOfRCR(int n, DMatrix& alpha, double& chi) {
    const SpectrumBlock& sp = State().Spectrum;
    DVector grad = AllocVector(1, 15);
    IntVector list = AllocIntVector(1, 15);
    for (int k = 1; k <= 3; ++k) list[k] = k;
    ParamArray<double> mags;
    mags[1] = kR0;
    mags[2] = kC;
    mags[3] = kR1;
    return BuildCurvatureMatrix(sp.Frequency, sp.ZReal, chi, grad, alpha, 3, list, 3, mags, n, sp.ZImag);
}

void PrepareRCR(const std::vector<int>& fixed = {}) {
    SelectModel("R(CR)", {kR0, kC, kR1}, fixed);
    ParamSet& p = State().Params;
    for (int j = 1; j <= 3; ++j) {
        p.LnValue[j] = std::log(p.Value[j]);
        p.Fixed[j] = false;
    }
    for (int j : fixed) p.Fixed[j] = true;
}

}  // namespace

class Covariance : public FitTest {};

TEST_F(Covariance, CurvatureMatrixMatchesFiniteDifferencesForEachWeighting) {
    LoadSpectrum(Truth, 40, 1e5, 0.1, 0.02, 3);
    PrepareRCR();
    const SpectrumBlock& sp = State().Spectrum;
    const double v0[3] = {kR0, kC, 1.0 / kR1};
    for (int weighting : {0, 1, 2}) {
        SCOPED_TRACE(weighting);
        State().Options.Weighting = weighting;
        double expect[4][4] = {}, expectChi = 0;
        for (int i = 1; i <= sp.PointCount; ++i) {
            const double w = TwoPi * sp.Frequency[i];
            Cplx d[3];
            for (int k = 0; k < 3; ++k) {
                double up[3] = {v0[0], v0[1], v0[2]}, dn[3] = {v0[0], v0[1], v0[2]};
                const double h = v0[k] * 1e-5;
                up[k] += h;
                dn[k] -= h;
                d[k] = (ZofV(up, w) - ZofV(dn, w)) / (2 * h);
            }
            const Cplx z = ZofV(v0, w);
            double wt = 1;
            if (weighting == 1) wt = 1.0 / std::norm(z);
            if (weighting == 2) {
                const double sigma = std::max(ParabolaNoise(sp.PointCount, i, 3), 1e-6);
                wt = 1.0 / (sigma * sigma);
            }
            for (int l = 0; l < 3; ++l)
                for (int m = 0; m < 3; ++m)
                    expect[l + 1][m + 1] += wt * (d[l].real() * d[m].real() + d[l].imag() * d[m].imag());
            const double dy1 = sp.ZReal[i] - z.real(), dy2 = sp.ZImag[i] + z.imag();
            expectChi += wt * (dy1 * dy1 + dy2 * dy2);
        }
        DMatrix alpha = AllocMatrix(1, 15, 1, 15);
        double chi = 0;
        State().Spectrum.ZRealCalc[5] = State().Spectrum.ZImagCalc[5] = -1.0;
        ASSERT_TRUE(CurvatureOfRCR(sp.PointCount, alpha, chi));
        for (int l = 1; l <= 3; ++l)
            for (int m = 1; m <= 3; ++m)
                EXPECT_NEAR(alpha[l][m], expect[l][m], 1e-6 * std::sqrt(expect[l][l] * expect[m][m]))
                    << l << "," << m;
        EXPECT_NEAR(chi / expectChi, 1.0, 1e-9);
        // The pass leaves the calculated spectrum to the evaluator.
        EXPECT_EQ(sp.ZRealCalc[5], -1.0);
        EXPECT_EQ(sp.ZImagCalc[5], -1.0);
    }
}

TEST_F(Covariance, ErrorsComeFromTheInverseOverTheFreeParameters) {
    // C fixed: the free block is 2 x 2 (R0 and the conductance of R1), inverted by hand.
    LoadSpectrum(Truth, 30, 1e5, 0.1, 0.01, 5);
    PrepareRCR({2});
    State().Options.Weighting = 1;
    State().Fit.ChiSqDivisor = 30 - 2;
    const SpectrumBlock& sp = State().Spectrum;
    const double v0[3] = {kR0, kC, 1.0 / kR1};
    double a11 = 0, a12 = 0, a22 = 0, s = 0;
    for (int i = 1; i <= sp.PointCount; ++i) {
        const double w = TwoPi * sp.Frequency[i];
        const Cplx z = ZofV(v0, w);
        const Cplx d1 = 1.0, d3 = -1.0 / ((v0[2] + J * w * v0[1]) * (v0[2] + J * w * v0[1]));
        const double wt = 1.0 / std::norm(z);
        a11 += wt * std::norm(d1);
        a12 += wt * (d1.real() * d3.real() + d1.imag() * d3.imag());
        a22 += wt * std::norm(d3);
        const double dy1 = sp.ZReal[i] - z.real(), dy2 = sp.ZImag[i] + z.imag();
        s += wt * (dy1 * dy1 + dy2 * dy2);
    }
    const double det = a11 * a22 - a12 * a12;
    const double c11 = a22 / det, c33 = a11 / det, c13 = -a12 / det;
    const double chi2dof = s / 28;
    const double sdR0 = std::sqrt(c11 * chi2dof);
    const double sdR1 = std::sqrt(c33 * chi2dof) * kR1 * kR1;  // from the conductance's error

    State().Options.ErrorAsStdDev = true;
    EstimateCovariance(State().Fit.ScaleVector);
    const ParamSet& p = State().Params;
    EXPECT_NEAR(p.Error[1] / sdR0, 1.0, 1e-6);
    EXPECT_EQ(p.Error[2], 0.0);
    EXPECT_NEAR(p.Error[3] / sdR1, 1.0, 1e-6);
    for (int k = 4; k <= 15; ++k) EXPECT_EQ(p.Error[k], 0.0);
    EXPECT_FALSE(State().Fit.ErrorsUndefined);
    EXPECT_NEAR(LastChiSqPerDof() / chi2dof, 1.0, 1e-9);
    const DMatrix& cov = LastCovarianceMatrix();
    EXPECT_NEAR(cov[1][3] / c13, 1.0, 1e-6);
    EXPECT_NEAR(cov[3][1] / c13, 1.0, 1e-6);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(cov[2][k], 0.0);
        EXPECT_EQ(cov[k][2], 0.0);
    }
    EXPECT_NEAR(State().Fit.ScaleVector[3], kR1, 1e-9 * kR1);

    // In percent of the magnitude.
    State().Options.ErrorAsStdDev = false;
    EstimateCovariance(State().Fit.ScaleVector);
    EXPECT_NEAR(p.Error[1] / (100 * sdR0 / kR0), 1.0, 1e-6);
    EXPECT_NEAR(p.Error[3] / (100 * sdR1 / kR1), 1.0, 1e-6);

    // Every estimate names the result file and writes the covariance file.
    EXPECT_EQ(State().Files.ResultsFileName, State().Folders.ParFolder + "synthetic, R(CR).par");
    EXPECT_TRUE(std::filesystem::exists(CovarianceFilePath()));
}

TEST_F(Covariance, SingularCurvatureGivesUndefinedErrors) {
    // Two resistors in series have the same effect: no inverse exists.
    LoadSpectrum([](double) { return Cplx(300.0, 0.0); }, 20, 1e4, 1);
    SelectModel("RR", {100, 200});
    ParamSet& p = State().Params;
    p.LnValue[1] = std::log(100.0);
    p.LnValue[2] = std::log(200.0);
    p.Fixed[1] = p.Fixed[2] = false;
    p.FreeCount = 2;
    State().Fit.ChiSqDivisor = 18;
    EstimateCovariance(State().Fit.ScaleVector);
    EXPECT_TRUE(State().Fit.ErrorsUndefined);
    EXPECT_TRUE(std::isnan(p.Error[1]));
    EXPECT_TRUE(std::isnan(p.Error[2]));
    EXPECT_EQ(p.Error[3], 0.0);
    // The window shows them as not a number, never as a figure.
    Windows().Par->ShowParameterErrors(false);
    EXPECT_EQ(DefaultParamWindow().error[1], "NAN");

    // With one of them fixed the other is well defined.
    p.Fixed[2] = true;
    EstimateCovariance(State().Fit.ScaleVector);
    EXPECT_FALSE(State().Fit.ErrorsUndefined);
    EXPECT_TRUE(std::isfinite(p.Error[1]));
    EXPECT_EQ(p.Error[2], 0.0);
}

TEST_F(Covariance, CapacitorsInSeriesGiveUndefinedErrors) {
    // Only the series value of two capacitors shows in a spectrum; their
    // derivatives are proportional, so the curvature matrix is singular even
    // where rounding leaves a tiny pivot instead of an exact zero.
    const double pairs[][2] = {{300e-6, 700e-6}, {50e-6, 50.5e-6}, {123e-6, 457e-6}};
    for (const auto& c : pairs) {
        const double cs = c[0] * c[1] / (c[0] + c[1]);
        LoadSpectrum([cs](double w) { return 10.0 + 1.0 / (J * w * cs); }, 20, 1e4, 1, 0.01, 3);
        SelectModel("RCC", {10, c[0], c[1]});
        ParamSet& p = State().Params;
        for (int j = 1; j <= 3; ++j) {
            p.LnValue[j] = std::log(p.Value[j]);
            p.Fixed[j] = false;
        }
        p.FreeCount = 3;
        State().Fit.ChiSqDivisor = 17;
        State().Options.ErrorAsStdDev = false;
        EstimateCovariance(State().Fit.ScaleVector);
        EXPECT_TRUE(State().Fit.ErrorsUndefined) << c[0] << " " << c[1];
        EXPECT_TRUE(std::isnan(p.Error[2]) && std::isnan(p.Error[3])) << p.Error[2] << " " << p.Error[3];

        // With one capacitor fixed the other is determined.
        p.Fixed[3] = true;
        EstimateCovariance(State().Fit.ScaleVector);
        EXPECT_FALSE(State().Fit.ErrorsUndefined);
        EXPECT_TRUE(std::isfinite(p.Error[2]) && p.Error[2] < 100.0) << p.Error[2];
    }
}

TEST_F(Covariance, NoiseEstimateOfASpectrumWithKnownNoise) {
    // Parabolas in ln f plus Gaussian noise of sigma 0.5 on each part: a
    // window of 7 points leaves 7 - 3 residual degrees of freedom per part, so
    // the squared estimate averages 2 * 4 * sigma^2 = 2.
    const int n = 199;
    SpectrumBlock& sp = State().Spectrum;
    std::mt19937 gen(99);
    std::normal_distribution<double> g(0.0, 0.5);
    for (int i = 1; i <= n; ++i) {
        sp.Frequency[i] = 1e5 * std::pow(1e-7, (i - 1.0) / (n - 1.0));
        const double x = std::log(sp.Frequency[i]);
        sp.ZReal[i] = 100 + 5 * x + 0.3 * x * x + g(gen);
        sp.ZImag[i] = 50 - 2 * x + 0.1 * x * x + g(gen);
    }
    sp.PointCount = n;
    double mean = 0;
    for (int i = 1; i <= n; ++i) {
        double a = 0, b = 0;
        StatisticalNoise(n, i, a, b);
        EXPECT_EQ(a, b);
        EXPECT_NEAR(a, ParabolaNoise(n, i, 3), 1e-6 * (1 + a)) << i;
        mean += a * a / n;
    }
    EXPECT_NEAR(mean, 2.0, 0.5);
}

TEST_F(Covariance, NoiseWindowIsShiftedInwardAtTheEnds) {
    const int n = 30;
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= n; ++i) {
        sp.Frequency[i] = 1e4 * std::pow(0.7, i - 1);
        const double x = std::log(sp.Frequency[i]);
        sp.ZReal[i] = 1 + x * x;
        sp.ZImag[i] = 2 - x;
    }
    sp.PointCount = n;
    double a = 0, b = 0;
    StatisticalNoise(n, 10, a, b);
    EXPECT_NEAR(a, 0.0, 1e-9);  // points on an exact parabola
    sp.ZReal[8] += 1.0;  // outside the windows of points 1..4 (points 1..7)
    for (int i = 1; i <= 4; ++i) {
        StatisticalNoise(n, i, a, b);
        EXPECT_NEAR(a, 0.0, 1e-9) << i;
    }
    StatisticalNoise(n, 5, a, b);
    EXPECT_GT(a, 0.1);
    sp.ZReal[8] -= 1.0;
    sp.ZImag[n - 7] += 1.0;  // outside the windows of points n-3..n (points n-6..n)
    for (int i = n - 3; i <= n; ++i) {
        StatisticalNoise(n, i, a, b);
        EXPECT_NEAR(a, 0.0, 1e-9) << i;
    }
    StatisticalNoise(n, n - 4, a, b);
    EXPECT_GT(a, 0.1);
}

TEST_F(Covariance, ZeroNoiseGivesTheWeightOfTheNoiseFloor) {
    // Data on exact parabolas: sigma is raised to 1e-6, the weight is 1e12.
    // (ln f within [-1, 1] keeps the rounding of the parabola fits far below 1e-6.)
    const int n = 20;
    SpectrumBlock& sp = State().Spectrum;
    for (int i = 1; i <= n; ++i) {
        sp.Frequency[i] = std::exp(1.0 - 2.0 * (i - 1) / (n - 1));
        const double x = std::log(sp.Frequency[i]);
        sp.ZReal[i] = 3 + x * x;
        sp.ZImag[i] = 1 + x;
    }
    sp.PointCount = n;
    SelectModel("R(CR)", {kR0, kC, kR1});
    DMatrix a0 = AllocMatrix(1, 15, 1, 15), a2 = AllocMatrix(1, 15, 1, 15);
    double chi0 = 0, chi2 = 0;
    State().Options.Weighting = 0;
    CurvatureOfRCR(n, a0, chi0);
    State().Options.Weighting = 2;
    CurvatureOfRCR(n, a2, chi2);
    for (int l = 1; l <= 3; ++l)
        for (int m = 1; m <= 3; ++m)
            EXPECT_NEAR(a2[l][m], 1e12 * a0[l][m], 1e-9 * 1e12 * std::sqrt(a0[l][l] * a0[m][m]));
    EXPECT_NEAR(chi2 / (1e12 * chi0), 1.0, 1e-9);
}
