#pragma once
// Small complex linear systems of the reaction models (n = 1..4 adsorbed
// species): the determinant and a Cramer's-rule solver. The four-species
// windows put j*omega on the diagonal of the linearised kinetics and solve for
// the coverage response at every frequency, so both run without allocation
// for n <= 4. Matrices and vectors are core's 1-based containers
// (AllocComplexMatrix, Vector<Complex>); only rows and columns 1..n are read.
#include "core/Complex.h"
#include "core/NumericLib.h"
#include "kinetics/algebra/KineticStatus.h"

namespace pellucor {

// Determinant of the n x n matrix a[1..n][1..n]; a is not changed.
// n = 1: a11; n = 2: a11*a22 - a21*a12; n = 3: rule of Sarrus; n = 4:
// cofactor expansion along row 1 into 3 x 3 determinants; n > 4: elimination
// with partial pivoting. n < 1 gives 0.
Complex ComplexDeterminant(int n, const ComplexMatrix& a);

// Solves a*x = b by Cramer's rule; a and b are not changed.
// n = 1: x1 = b1/a11 and nothing else is written.
// n >= 2: det = det a; for each j, work = det of a with column j replaced by b
// (so work holds the last of these, column n), x_j = work/det.
// A determinant that is exactly zero is divided by ComplexDiv's tiny-divisor
// rule, so a singular matrix gives very large but finite x; any other
// determinant, however small, is divided exactly. The status is Singular
// when det is zero or lost in the rounding of its own products
// (|det| <= 1e-14 times the product of the row lengths).
// NotFinite when the input or the result holds values that are not finite
// numbers (overflow); n < 1: BadOrder, nothing written.
KineticStatus SolveComplexLinear(int n, const ComplexMatrix& a, const Vector<Complex>& b,
                                 Vector<Complex>& x, Complex& work, Complex& det);

}  // namespace pellucor
