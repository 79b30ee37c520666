#pragma once
// Independent arithmetic for the kinetic algebra tests: std::complex Gaussian
// elimination with partial pivoting, and the admittances of circuit branches
// written out directly. Nothing here calls the code under test.
#include <cmath>
#include <complex>
#include <random>
#include <utility>
#include <vector>

#include "core/Complex.h"
#include "core/NumericLib.h"

namespace kinref {

using C = std::complex<double>;
using CMat = std::vector<std::vector<C>>;  // 0-based

// Solves m x = b; returns the determinant as a by-product.
inline C Eliminate(CMat m, std::vector<C>& b) {
    const size_t n = m.size();
    C det = 1.0;
    for (size_t k = 0; k < n; ++k) {
        size_t p = k;
        for (size_t i = k + 1; i < n; ++i)
            if (std::abs(m[i][k]) > std::abs(m[p][k])) p = i;
        if (p != k) {
            std::swap(m[p], m[k]);
            std::swap(b[p], b[k]);
            det = -det;
        }
        det *= m[k][k];
        if (m[k][k] == C(0.0)) return 0.0;
        for (size_t i = k + 1; i < n; ++i) {
            const C f = m[i][k] / m[k][k];
            for (size_t j = k; j < n; ++j) m[i][j] -= f * m[k][j];
            b[i] -= f * b[k];
        }
    }
    for (size_t i = n; i-- > 0;) {
        C s = b[i];
        for (size_t j = i + 1; j < n; ++j) s -= m[i][j] * b[j];
        b[i] = s / m[i][i];
    }
    return det;
}

inline C Det(const CMat& m) {
    std::vector<C> b(m.size(), 0.0);
    return Eliminate(m, b);
}

// w^T (j omega I - J)^-1 u for a real J.
inline C AdmittanceByElimination(const std::vector<std::vector<double>>& J, const std::vector<double>& u,
                                 const std::vector<double>& w, double omega) {
    const size_t n = J.size();
    CMat m(n, std::vector<C>(n));
    std::vector<C> x(n);
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = 0; j < n; ++j) m[i][j] = -J[i][j];
        m[i][i] += C(0.0, omega);
        x[i] = u[i];
    }
    Eliminate(m, x);
    C y = 0.0;
    for (size_t i = 0; i < n; ++i) y += w[i] * x[i];
    return y;
}

// Faradaic part of series C-R branches (the 1/R constants belong to Rp) or
// the full admittance of series L-R branches; pairs (C or L, R).
inline C BranchAdmittance(bool crBased, const std::vector<std::pair<double, double>>& pairs, double omega) {
    C y = 0.0;
    const C jw(0.0, omega);
    for (auto [x, r] : pairs) {
        if (crBased)
            y += 1.0 / (r + 1.0 / (jw * x)) - 1.0 / r;
        else
            y += 1.0 / (r + jw * x);
    }
    return y;
}

inline pellucor::ComplexMatrix ToMatrix(const CMat& m) {
    const int n = static_cast<int>(m.size());
    auto a = pellucor::AllocComplexMatrix(1, n, 1, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) a[i][j] = {m[i - 1][j - 1].real(), m[i - 1][j - 1].imag()};
    return a;
}

inline C ToStd(pellucor::Complex z) { return {z.re, z.im}; }

}  // namespace kinref
