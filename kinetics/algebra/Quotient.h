#pragma once
// Complex quotient for the kinetic algebra. core's ComplexDiv raises a divisor
// whose squared modulus is below 1e-64 to a magnitude of 1e-32, which keeps a
// zero divisor from failing but also gives a wrong quotient for a divisor that
// is merely small: a well-conditioned 4 x 4 system with entries of 1e-9 has a
// determinant of about 1e-36, and Cramer's rule then came out 1e4 times too
// small. Here a finite, nonzero divisor whose squared modulus leaves the range
// ComplexDiv divides exactly is first scaled, with the dividend, by a power of
// two (exact) that brings its larger part near 1. A divisor that is zero or
// not a finite number still takes ComplexDiv's rule.
#include <cmath>

#include "core/Complex.h"

namespace pellucor::kinetic_detail {

inline Complex Quotient(Complex a, Complex d) {
    const bool finiteNonzero = std::isfinite(d.re) && std::isfinite(d.im) && (d.re != 0.0 || d.im != 0.0);
    const double den = d.re * d.re + d.im * d.im;
    if (!finiteNonzero || (den >= 1e-64 && std::isfinite(den))) return ComplexDiv(a, d);
    const int e = std::ilogb(std::fmax(std::fabs(d.re), std::fabs(d.im)));
    return ComplexDiv({std::scalbn(a.re, -e), std::scalbn(a.im, -e)}, {std::scalbn(d.re, -e), std::scalbn(d.im, -e)});
}

}  // namespace pellucor::kinetic_detail
