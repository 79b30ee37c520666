#pragma once
// The downhill simplex minimiser (Nelder and Mead) of the fit. Its variables
// are the natural logarithms of the magnitudes of the free parameters; the
// signs stay as they are while it runs. The generic routines take the
// function to minimise, so the same code serves the circuit fit and any
// other function of n variables.
#include <functional>

#include "core/NumericLib.h"

namespace pellucor {

// Function of the variables x[1..n] to be minimised.
using SimplexObjective = std::function<double(const DVector& x)>;

// Edge of the regular start simplex is built with this value in place of the
// square root of two (the start simplex depends on it, so it stays as is).
inline constexpr double SimplexRootTwo = 1.414;

// The regular start simplex of edge `step` around start[1..n]: vertex 1 is
// the start point, vertex j = 2..n+1 adds d2 to every column and d1 instead
// to column j - 1. p must hold rows 1..n+1 and columns 1..n.
void BuildStartSimplex(DMatrix& p, int n, const DVector& start, double step);

// Nelder-Mead over the n+1 vertices p[1..n+1][1..n] with their function
// values y[1..n+1]. Ends when the relative spread of the best and the worst
// value falls below `tolerance` or when `maxEvaluations` evaluations have
// been counted (silently; the vertices stay as they are). The counter is
// reset at the start and counts every evaluation of this call. When `stop`
// is given and answers true before a pass, the loop ends there as well.
void DownhillSimplex(DMatrix& p, DVector& y, int n, int& evaluations, double tolerance,
                     int maxEvaluations, const SimplexObjective& f,
                     const std::function<bool()>& stop = {});

// Moves the worst vertex ihi through the opposite face by `factor`, keeps
// the trial point when it improves on that vertex, and returns its value.
double SimplexTrial(DMatrix& p, DVector& y, DVector& psum, double factor, int& evaluations, int ihi,
                    int n, const SimplexObjective& f);

// Index of the vertex with the smallest value (the lowest index on ties).
int BestVertex(const DVector& y, int n);

// ---- the circuit fit ----

// The chi-squared of the current circuit with the free parameters' logarithms
// x[1..n] put into LnValue at FreeIndex[1..n].
double FreeParameterChiSquare(const DVector& x);

// Signs and logarithms of all parameters, the start simplex over the FreeCount
// = n free parameters in SimplexMatrix, and the chi-squared of every vertex.
void SetupSimplex(int n);

// Runs the minimisation from the simplex that SetupSimplex built, leaves the
// best vertex in LnValue, its chi-squared in chiOut and ChiSq, and estimates
// the covariance and the parameter errors. Returns the number of evaluations
// the minimisation counted.
int MinimiseChiSquare(int n, double& chiOut);

// The same loop as DownhillSimplex on SimplexMatrix with the circuit's
// chi-squared and the evaluation limit MaxEvaluations.
void DownhillSimplex(DMatrix& p, DVector& y, int n, int& evaluations, double tolerance);

}  // namespace pellucor
