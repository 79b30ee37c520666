#pragma once
// The fit driver: one computation (a simulation on a generated frequency list,
// or a simplex fit of the free parameters with their errors), one iteration
// (end values become start values, optional rough search, compute again) and
// the iteration loop with its convergence tests and history. Between steps
// it lets the window system handle one pending message, so that closing the
// progress window (StopRequested) ends a run after the current step.
#include <string>

#include "core/ProgramState.h"

namespace pellucor {

// Results of Compute.
inline constexpr int ComputeDone = 0;
// A start value of magnitude below 1e-32 (callers show message 4).
inline constexpr int ComputeInvalidParameters = 1;
// Too few data points for the parameters: a fit needs a positive divisor
// for its chi-squared both per free parameter (points - free) and per
// parameter of the code (points - parameters - 1, the divisor of the saved
// chi-squared). Nothing computed; a message box (FitRefusedText /
// FitRefusedCaption) said so.
inline constexpr int ComputeTooFewPoints = 2;
// The measured data could not be restored after a simulation: message 2
// was shown, nothing was fitted and the spectrum is as it was.
inline constexpr int ComputeDataUnavailable = 3;

// The fit ended with a chi-squared that is no finite number (impedances so
// large that their squares overflow): the results of the previous
// computation are kept and a message box (FitFailedText /
// FitRefusedCaption) said so.
inline constexpr int ComputeNotFinite = 4;

inline constexpr const char* FitRefusedText = "Too few data points for the number of free parameters.";
inline constexpr const char* FitRefusedCaption = "Cannot fit";
inline constexpr const char* FitFailedText =
    "The fit gave no finite chi-squared. The previous results are kept.";

// How a run of iterations ended.
enum class RunOutcome {
    Finished,  // converged, at the iteration limit, or nothing free to fit
    Stopped,   // a stop request ended it after a step (no end block)
    Failed,    // a computation was refused; results are not valid
};

// One computation. Fit mode: validation (when `validate`), then a simplex fit
// of the free parameters (or one evaluation when none is free) and the new
// search choice; simulate mode: the frequency list from 10^MaxFreqExponent
// down by factors of 0.8 to 10^MinFreqExponent and the simulated spectrum.
// chiOut receives the chi-squared (0 in simulate mode). Results: Compute*.
int Compute(const std::string& dataFile, double& chiOut, bool validate);

// Compute, then (unless a stop is requested after it) replot and show the fit
// quality, end values, errors and search choice. Returns Compute's result.
int ComputeAndShow(const std::string& dataFile);

// Automatic start values once per run (unless StartValuesApplied), then one
// computation with modulus weighting. Returns Compute's result, or
// ComputeDone when nothing could be computed yet (SimulateMode is then set).
int InitialEvaluation(const std::string& dataFile);

// One iteration: end values become start values, rough search when any
// parameter is selected for it, compute and show. Returns Compute's result
// (ComputeDone also after a stop request).
int RunOneIteration(const std::string& dataFile);

// Iterations until the convergence tests hold, the iteration limit is reached
// or a stop is requested; records the history and, in iterate or batch mode,
// writes the iteration-matrix files.
RunOutcome RunIterations(const std::string& dataFile);

// Signs from the values, neutral slots above n, fixed and search flags from
// the parameter window, the free list, the start values read again from the
// window, and the first-iteration resets of exponent (0.8) and special (5.0)
// parameters. 1 when a magnitude among values[1..n] is below 1e-32, else 0.
int ValidateParameters(ParamArray<double>& values, int n);

// Code := the code shown in the parameter window; then the options dialog's
// controls into ProgramOptions.
void TakeCdcFromParForm();
// 64 Weighting + 16 (not ErrorAsStdDev) + 8 AutoSignZImag + 4 ReverseZImag
// + 2 ConductiveSystem.
int PackOptionFlags();
// Sum over i = 1..ParamCount of Fixed[i] * 2^(ParamCount - i + 1).
int FixedParameterMask();
// Parameters selected for the rough search that are not fixed.
int CountSearchParameters();
// Sum of Value[1..ParamCount].
double SumStartValues();

// Shows loaded parameters and options in the windows.
void RefreshAfterParametersLoaded();
// Chi-squared per degree of freedom and the error estimate ("< x pct." with
// modulus weighting, "< x ohms" otherwise, "-cm2" added per area) in the
// parameter window, then end values, errors and search boxes. `chi` is set
// to 0 when nothing is free or in simulate mode.
void ShowFitQuality(double& chi);

// ---- convergence tests ----

// Parameter test of an iteration: every parameter that is not of an exponent
// kind moved by less than 5 in its logarithm and by less than ParamTolerance
// times its error (both in percent of its value, compared by magnitude). A
// parameter without a usable error estimate (0, or undefined) passes only
// when its relative change is below ParamTolerance percent.
bool ParametersConverged(const ParamArray<double>& oldLnValue);
// |current - previous| < ChiSqTolerance * current.
bool ChiSquareConverged(double previous, double current);
// Iterations 1 to 3 need both tests, later ones either; the iteration limit
// ends the run in any case.
bool IterationConverged(int iteration, int maxIterations, bool chiOk, bool paramOk);

// ---- helpers shared by the fitting engine ----

// The circuit's chi-squared for the log-magnitudes ln[1..P] (clamped in
// place). Leaves CpeExponentClamped as it was: trial points do not decide it.
double EvaluateChiSquare(ParamArray<double>& ln);
// A constant-phase exponent of the current LnValue exceeds 1 in magnitude,
// so the evaluator computed the result with 0.99 in its place. A computation
// whose result has such an exponent sets CpeExponentClamped, and it stays set
// until the next run starts (InitialEvaluation, RunIterations).
bool ResultExponentClamped();
// ln |v| within the evaluator's limits (a value of 0 gives the lower limit).
double ClampedLog(double v);
// SimplexMatrix and ScaleVector exist (tests and tools may run the engine
// without a main window having allocated them).
void EnsureFitWorkArrays();
// Chi-squared per degree of freedom with the current ChiSqDivisor (not a
// number when the divisor is not positive).
double ChiSqPerDegreeOfFreedom(double chi);
// RunStart := the current time of day, RunStartText := "hh:mm:ss:zzz".
void StartRunClock();
// Circuit evaluations counted since the program started (benchmarks).
long long CircuitEvaluationCount();

}  // namespace pellucor
