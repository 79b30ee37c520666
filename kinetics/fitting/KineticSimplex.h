#pragma once
// Downhill simplex (Nelder and Mead) that determines kinetic parameters from
// measured equivalent-circuit element values: at every data potential the
// measured elements give target faradaic-admittance coefficients; the
// window's mechanism with the trial parameters gives model coefficients; the
// simplex moves the natural logarithms of the free parameters to minimise
//   sum over potentials and compared quantities c of
//       (0.5 (model_c - target_c) / (model_c + target_c))^2
// (quantities 1..8 are the coefficients a1..a8, 9 is the conductance 1/Rt).
//
// The optimisation windows differ only in the entries of a SimplexMember
// (species, compared quantities, evaluation limit, penalty, trace layout); the
// mechanism comes in as a callback, so the windows drive this with their own
// steady state and Jacobian.
//
// Guarded where a bare simplex would divide by zero or read past its tables:
// a run without a free parameter, a free start value of zero or below, input
// beyond the tables or a zero measured element is refused with a message and
// changes nothing; a simplex whose values are all zero stops (a perfect fit)
// instead of forming 0/0; fixed parameters enter the mechanism with exactly
// the value given, whatever its sign.
#include <functional>
#include <string>
#include <vector>

#include "core/Bounded.h"
#include "core/NumericLib.h"
#include "kinetics/algebra/TransferFunction.h"

namespace pellucor::kinfit {

// Target and model quantities at one potential: 1..8 = a1..a8, 9 = 1/Rt.
using FitQuantities = FixedArray<double, 1, 9>;

enum class SimplexTraceLayout {
    Plain,     // "v  i  lambda", "v  y", final "i  r" (three- and four-species windows)
    Columned,  // header "m  m+1", right-aligned columns, chi-squared lines (two-species window)
};

struct SimplexMember {
    const char* name;
    int species;                   // adsorbed intermediates n (1..4)
    std::vector<int> compared;     // compared quantities, ascending (9 = conductance)
    int evaluationLimit;
    double tolerance;
    double step;                   // initial simplex step in every log coordinate
    SimplexTraceLayout trace;
    std::vector<int> penalised;    // parameter indices whose value above penaltyLimit costs
    double penaltyLimit = 0;
    double penaltyPerValue = 0;    // ... this much each; the mechanism is then not computed
};

const SimplexMember& OptimAMember();   // two species, 1 2 5 6 9, 400000 evaluations
const SimplexMember& OptimBCMember();  // three species, 1 2 3 5 6 7 9, 800000
const SimplexMember& OptimDMember();   // four species, 1..9, 1000000, 500 per b above 200

// The sizes of the windows' tables.
struct SimplexLimits {
    int maxParams = 30;
    int maxFree = 25;
    int maxPotentials = 15;
    int maxElements = 15;
};

struct SimplexProblem {
    const SimplexMember* member = nullptr;
    DVector values;                  // [1..N] start values
    std::vector<bool> free;          // [0..N-1]: free[i-1] = parameter i is varied
    std::vector<std::string> names;  // optional, [0..N-1], for messages only
    std::vector<double> potentials;  // data potentials E_k
    std::vector<std::vector<double>> elements;  // per potential: measured elements in circuit order
    CircuitType circuit = CircuitType::LRBased;
    // The mechanism: model quantities at potential E (data point k, 0-based)
    // for the parameter values p[1..N]. Returns false when the mechanism has
    // no answer there; the trial then counts as very bad.
    std::function<bool(const DVector& p, double E, int k, FitQuantities& model)> model;
    std::string tracePath;           // "" = no trace file
    SimplexLimits limits;
};

struct SimplexResult {
    bool ran = false;
    std::string message;           // why the run was refused (ran false)
    DVector values;                // [1..N] parameter values at the optimum
    double minimum = 0;            // objective of the best vertex
    double misfit = 0;             // minimum / number of compared quantities
    int evaluations = 0;           // counted as the stop rule counts them
    bool reachedLimit = false;
    std::vector<FitQuantities> targets;  // per potential
    std::vector<FitQuantities> model;    // per potential, at the optimum
    std::string traceError;        // the trace could not be written (the run still counts)
};

// Targets from measured elements: quantities 1..8 from the transfer function
// of the elements, 9 = 1/e2, plus 1/R_k of every branch when (CR) based.
// False with a message for an element of zero or a value that is not finite.
bool PrepareTargets(CircuitType circuit, int species, const std::vector<double>& elements, FitQuantities& target,
                    std::string& error);

// One misfit term and the sum over the compared quantities.
double MisfitTerm(double model, double target);
double CoefficientMisfit(const std::vector<int>& compared, const FitQuantities& model,
                         const FitQuantities& target);

// The initial simplex offsets for m free coordinates and the step s:
// d1 on the vertex's own coordinate, d2 on the others.
void InitialOffsets(int m, double step, double& d1, double& d2);

SimplexResult RunSimplexFit(const SimplexProblem& problem);

}  // namespace pellucor::kinfit
