#pragma once
// Complex quotient for the kinetic algebra. core's ComplexDiv raises any
// divisor below 1e-32 in magnitude to 1e-32, which keeps a zero divisor from
// failing but also gives a wrong quotient for a divisor that is merely small:
// a well-conditioned 4 x 4 system with entries of 1e-9 has a determinant of
// about 1e-36, and Cramer's rule then came out 1e4 times too small. Here only
// a divisor that is exactly zero or not a finite number takes that rule;
// every other divisor is divided by Smith's scaled form, which neither squares
// it nor clamps it.
#include <cmath>

#include "core/Complex.h"

namespace pellucor::kinetic_detail {

inline Complex Quotient(Complex a, Complex d) {
    const double u = d.re, v = d.im;
    const bool exact = std::isfinite(u) && std::isfinite(v) && (u != 0.0 || v != 0.0);
    if (!exact) return ComplexDiv(a, d);
    if (std::fabs(v) > std::fabs(u)) {
        const double r = u / v, den = r * u + v;
        return {(a.re * r + a.im) / den, (a.im * r - a.re) / den};
    }
    const double r = v / u, den = r * v + u;
    return {(a.re + a.im * r) / den, (a.im - a.re * r) / den};
}

}  // namespace pellucor::kinetic_detail
