#pragma once
// Shared pieces of the circuit-engine tests: complex arithmetic for the
// closed-form impedances written here, a Simpson rule for the distributed
// elements, and a fixture with a fresh program state, windows and work arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <string>

#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/testing/Doubles.h"

namespace pellucor::circuittest {

using C = std::complex<double>;

inline const C jay(0.0, 1.0);

inline C coth(C z) { return 1.0 / std::tanh(z); }

// Both parts of got within rel * |want| of want's.
inline void ExpectClose(C got, C want, double rel, const std::string& what) {
    const double tol = rel * std::abs(want);
    EXPECT_NEAR(got.real(), want.real(), tol) << what;
    EXPECT_NEAR(got.imag(), want.imag(), tol) << what;
}

// Composite Simpson rule of a complex integrand over n (even) intervals; the
// default is fine enough for the smooth distribution integrands to about 1e-12.
inline C Simpson(const std::function<C(double)>& f, double a, double b, int n = 20000) {
    const double h = (b - a) / n;
    C sum = f(a) + f(b);
    for (int i = 1; i < n; ++i) sum += (i % 2 ? 4.0 : 2.0) * f(a + i * h);
    return sum * h / 3.0;
}

class CircuitTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ResetWindows();
        AllocateWorkArrays();
    }
    platform::testing::ScopedServices services;
};

}  // namespace pellucor::circuittest
