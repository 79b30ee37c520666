#pragma once
// Textbook numeric routines: bounded vectors and matrices, linear least
// squares on a polynomial basis, Gauss-Jordan elimination with full
// pivoting, covariance spreading, and the portable random generators.
#include <string>

#include "core/Bounded.h"
#include "core/Complex.h"

namespace pellucor {

using IntVector = Vector<int>;
using DVector = Vector<double>;
using DMatrix = Matrix<double>;
using ComplexMatrix = Matrix<Complex>;

IntVector AllocIntVector(int lo, int hi);
DVector AllocVector(int lo, int hi);
DMatrix AllocMatrix(int rlo, int rhi, int clo, int chi);
ComplexMatrix AllocComplexMatrix(int rlo, int rhi, int clo, int chi);
// Release; the storage is owned by the objects, so these just empty them.
void FreeIntVector(IntVector& v, int lo, int hi);
void FreeVector(DVector& v, int lo, int hi);
void FreeMatrix(DMatrix& m, int rlo, int rhi, int clo, int chi);
void FreeComplexMatrix(ComplexMatrix& m, int rlo, int rhi, int clo, int chi);

// Forces the magnitude into [1e-32, 1e32], keeping the sign (zero counts as
// positive; a value that is not a number becomes -1e-32).
double ClampMagnitude(double x);

// p[1] = 1, p[2] = x, p[j] = x * p[j-1].
void PolyBasis(double x, DVector& p, int n);

enum class SolveStatus { Ok, Singular };

// Linear least squares of y on PolyBasis with ma terms, weights 1/sig^2.
// list[1..mfit] names the coefficients to fit; the others keep their values.
// covar[1..mfit][1..mfit] receives the compact covariance, beta[1..mfit][1..1]
// is work space. A list that does not name each coefficient at most once is
// refused with Singular status and leaves a unchanged (the caller's mistake
// must not end the program).
SolveStatus FitLinearLeastSquares(const DVector& x, const DVector& y, const DVector& sig, int n,
                                  DVector& a, int ma, const IntVector& list, int mfit,
                                  DMatrix& covar, DMatrix& beta, double& chisq);

// a[1..n][1..n] := its inverse, b[1..n][1..m] := the solutions. Reports a
// singular matrix by its status and on the error sink, and one that is
// singular up to rounding by its status alone; the contents of a and b are
// then of no numeric value.
SolveStatus GaussJordanSolve(DMatrix& a, int n, DMatrix& b, int m);

// Spreads the mfit x mfit covariance over all ma parameters; rows and
// columns of parameters not in the list become 0.
void SortCovariance(DMatrix& covar, int ma, const IntVector& list, int mfit);

// Writes the three-line numeric error banner to the error sink and returns.
void NumericError(const std::string& text);

// The ran1 generator: a negative state restarts the sequence. Values lie
// strictly between 0 and 1.
float UniformRandom(int& state);
// Normal deviate (polar method); keeps one spare deviate between calls.
float GaussianRandom(int& state);
// Forget the generator tables and the spare deviate (program start).
void ResetRandomGenerators();

}  // namespace pellucor
