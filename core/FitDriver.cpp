#include "core/FitDriver.h"

#include <cmath>
#include <limits>

#include "core/CircuitCode.h"
#include "core/DataReader.h"
#include "core/Evaluator.h"
#include "core/Messages.h"
#include "core/NumericLib.h"
#include "core/ResultFiles.h"
#include "core/RoughSearch.h"
#include "core/SafeFile.h"
#include "core/Simplex.h"
#include "core/TextHelpers.h"
#include "core/WindowHooks.h"
#include "platform/Services.h"

namespace pellucor {
namespace {

long long g_evaluations = 0;

// Besides the message handled after every step, one is handled whenever
// kPumpInterval seconds have passed since the last, so the windows stay alive
// and a stop request is seen within a long minimisation too. The clock is
// read every kEvaluationsPerClockRead evaluations only: reading it costs
// about as much as a small evaluation.
constexpr double kPumpInterval = 0.05;
constexpr int kEvaluationsPerClockRead = 16;
bool g_pumpClockStarted = false;
double g_lastPump = 0.0;
int g_untilClockRead = 0;

void PumpMessage() {
    platform::PumpOneMessage();
    g_lastPump = platform::services().clock->MonotonicSeconds();
}

void PumpWhenDue() {
    if (--g_untilClockRead > 0) return;
    g_untilClockRead = kEvaluationsPerClockRead;
    const double now = platform::services().clock->MonotonicSeconds();
    if (!g_pumpClockStarted) {
        g_pumpClockStarted = true;
        g_lastPump = now;
    }
    if (now - g_lastPump >= kPumpInterval) PumpMessage();
}

// The exponent n of a constant-phase element; the evaluator limits it to
// magnitudes of 0.99 when it exceeds 1.
constexpr int ConstantPhaseExponentKind = 6;

std::string NowTextMs() { return platform::FormatTimeMs(platform::Now()); }

double TimeOfDay() {
    const double serial = platform::Now().ToSerial();
    return serial - std::floor(serial);
}

// The simulate step is about to replace the frequency list: keep the measured
// spectrum (whatever its origin: a file, pasted data, a reaction model, a
// spectrum with deleted points) unless the rows already hold a simulation.
void KeepMeasuredSpectrum() {
    ProgramState& s = State();
    if (s.Run.SimulatedResults || s.Spectrum.PointCount <= 0) return;
    s.MeasuredKeep.Valid = true;
    s.MeasuredKeep.Measured = s.Spectrum;
}

void NoteSimulatedFrequencies() {
    ProgramState& s = State();
    if (!s.MeasuredKeep.Valid) return;
    s.MeasuredKeep.SimulatedPointCount = s.Spectrum.PointCount;
    s.MeasuredKeep.SimulatedFrequency = s.Spectrum.Frequency;
}

bool RowsHoldTheSimulation() {
    const ProgramState& s = State();
    const MeasuredSpectrumKeep& keep = s.MeasuredKeep;
    if (s.Spectrum.PointCount != keep.SimulatedPointCount) return false;
    for (int i = 1; i <= keep.SimulatedPointCount; ++i)
        if (s.Spectrum.Frequency[i] != keep.SimulatedFrequency[i]) return false;
    return true;
}

// A fit after a simulation needs the measured data back. The spectrum kept
// at the simulation comes first; when the rows were replaced since (new data
// written by a reader or a model window) they are the data; without a kept
// spectrum the data file is read again. False, after message 2, when the
// file cannot be read; the spectrum then stays as it was.
bool RestoreMeasuredSpectrum(const std::string& dataFile) {
    ProgramState& s = State();
    if (s.MeasuredKeep.Valid) {
        if (RowsHoldTheSimulation()) s.Spectrum = s.MeasuredKeep.Measured;
        s.MeasuredKeep.Valid = false;
        return true;
    }
    if (ReadImpedanceData(dataFile) != 0) {
        ShowMessageCode(2);
        return false;
    }
    return true;
}

bool ExceedsMaxIterations(int iteration) {
    const ProgramState& s = State();
    return iteration >= s.Options.MaxIterations || iteration >= MaxHistory - 1;
}

void RecordMatrices(int slot) {
    ProgramState& s = State();
    const ParamSet& par = s.Params;
    // An iteration past the tables is not recorded rather than written
    // over whatever lies behind them.
    for (int j = 1; j <= std::min(par.ParamCount, MaxParams); ++j) {
        const int at = HistoryValueSlot(slot, j);
        if (at == 0) return;
        s.History.StartMatrix[at] = par.Value[j];
        s.History.ValueMatrix[at] = std::exp(par.LnValue[j]) * par.Sign[j];
    }
}

}  // namespace

// ---- helpers ----

double EvaluateChiSquare(ParamArray<double>& ln) {
    FitSettings& fit = State().Fit;
    const bool flagged = fit.CpeExponentClamped;
    double chi = 0.0;
    EvaluateCircuit(ln, chi);
    ++g_evaluations;
    // Trial points of the minimiser and the rough search may step past an
    // exponent of 1 on their way; only the results of a run decide whether
    // the run has to report a clamped exponent (see ComputeAndShow).
    fit.CpeExponentClamped = flagged;
    PumpWhenDue();
    return chi;
}

bool ResultExponentClamped() {
    const ParamSet& par = State().Params;
    for (int j = 1; j <= par.ParamCount; ++j)
        if (par.Kind[j] == ConstantPhaseExponentKind && par.LnValue[j] > 0.0) return true;
    return false;
}

double ClampedLog(double v) {
    const double a = std::fabs(v);
    if (!(a > 0.0)) return -LnValueLimit;
    const double l = std::log(a);
    if (l > LnValueLimit) return LnValueLimit;
    if (l < -LnValueLimit) return -LnValueLimit;
    return l;
}

void EnsureFitWorkArrays() {
    FitSettings& fit = State().Fit;
    if (fit.SimplexMatrix.empty()) {
        fit.SimplexMatrix = AllocMatrix(1, MaxParams + 4, 1, MaxParams + 3);
        fit.SimplexMatrix.fill(0.0);
    }
    if (fit.ScaleVector.empty()) {
        fit.ScaleVector = AllocVector(0, MaxParams + 4);
        fit.ScaleVector.fill(0.0);
    }
}

double ChiSqPerDegreeOfFreedom(double chi) {
    const int d = State().Fit.ChiSqDivisor;
    // Without a degree of freedom there is no chi-squared per degree of freedom.
    return d > 0 ? chi / d : std::numeric_limits<double>::quiet_NaN();
}

void StartRunClock() {
    IterationHistory& h = State().History;
    const platform::DateTime now = platform::Now();
    const double serial = now.ToSerial();
    h.RunStart = serial - std::floor(serial);
    h.RunStartText = platform::FormatTimeMs(now);
}

long long CircuitEvaluationCount() { return g_evaluations; }

// ---- small queries ----

void TakeCdcFromParForm() {
    ProgramState& s = State();
    const std::string shown = Windows().Par->CdcLabel();
    // A window that never showed a code has nothing to give.
    if (!shown.empty()) s.Circuit.Code = shown.substr(0, MaxCodeLength);
    Windows().Opt->ReadOptions();
}

int PackOptionFlags() {
    const ProgramState& s = State();
    return 64 * s.Options.Weighting + 16 * (!s.Options.ErrorAsStdDev ? 1 : 0) +
           8 * (s.Options.AutoSignZImag ? 1 : 0) + 4 * (s.Options.ReverseZImag ? 1 : 0) +
           2 * (s.Run.ConductiveSystem ? 1 : 0);
}

int FixedParameterMask() {
    const ParamSet& par = State().Params;
    int mask = 0;
    for (int i = 1; i <= par.ParamCount; ++i)
        if (par.Fixed[i]) mask += 1 << (par.ParamCount - i + 1);
    return mask;
}

int CountSearchParameters() {
    const ParamSet& par = State().Params;
    int n = 0;
    for (int i = 1; i <= par.ParamCount; ++i)
        if (par.SearchSelect[i] && !par.Fixed[i]) ++n;
    return n;
}

double SumStartValues() {
    const ParamSet& par = State().Params;
    double sum = 0.0;
    for (int i = 1; i <= par.ParamCount; ++i) sum += par.Value[i];
    return sum;
}

// ---- validation ----

int ValidateParameters(ParamArray<double>& values, int n) {
    ProgramState& s = State();
    ParamSet& par = s.Params;
    for (int i = 1; i <= MaxParams; ++i) par.Sign[i] = values[i] > 0 ? 1.0 : -1.0;
    for (int i = n + 1; i <= MaxParams; ++i) {
        values[i] = 1.0;
        par.LnValue[i] = 0.0;
        par.Error[i] = 0.0;
    }
    Windows().Par->ReadFixedFlags();
    ReadSearchFlags();
    par.FreeCount = 0;
    if (!s.Run.SimulateMode) {
        for (int i = 1; i <= n; ++i)
            if (!par.Fixed[i]) par.FreeIndex[++par.FreeCount] = i;
    }
    Windows().Par->ReadStartValues();
    for (int i = 1; i <= n; ++i)
        if (std::fabs(values[i]) < 1e-32) return 1;
    if (!s.Run.SimulateMode && par.FreeCount > 0 && s.History.Iteration <= 2) {
        for (int i = 1; i <= n; ++i) {
            if (par.Fixed[i]) continue;
            if (IsExponentKind(par.Kind[i])) values[i] = 0.8;
            if (IsSpecialKind(par.Kind[i])) values[i] = 5.0;
        }
    }
    return 0;
}

// ---- computation ----

int Compute(const std::string& dataFile, double& chiOut, bool validate) {
    ProgramState& s = State();
    ParamSet& par = s.Params;
    s.Run.ResultsComputed = false;
    EnsureFitWorkArrays();
    if (!s.Run.SimulateMode) {
        if (validate && ValidateParameters(par.Value, par.ParamCount) == 1) return ComputeInvalidParameters;
        // The rows may hold a simulation: the fit needs the measured data
        // back before anything is evaluated against them.
        if (s.Run.SimulatedResults) {
            if (!RestoreMeasuredSpectrum(dataFile)) return ComputeDataUnavailable;
            s.Run.SimulateMode = false;
            s.Run.SimulatedResults = false;
        }
        if (par.FreeCount > 0) {
            const int n = s.Spectrum.PointCount;
            if (n - par.FreeCount < 1 || n - par.ParamCount - 1 < 1) {
                platform::ShowMessage(FitRefusedText, FitRefusedCaption);
                return ComputeTooFewPoints;
            }
            // What a fit that ends without a finite chi-squared gives back.
            const ParamSet keptParams = par;
            const double keptChi = s.Fit.ChiSq;
            const int keptDivisor = s.Fit.ChiSqDivisor;
            const bool keptUndefined = s.Fit.ErrorsUndefined;
            const PointRow keptReal = s.Spectrum.ZRealCalc, keptImag = s.Spectrum.ZImagCalc;
            SetupSimplex(par.FreeCount);
            s.Fit.ChiSqDivisor = n - par.FreeCount;
            MinimiseChiSquare(par.FreeCount, chiOut);
            if (!std::isfinite(chiOut)) {
                par = keptParams;
                chiOut = keptChi;
                s.Fit.ChiSq = keptChi;
                s.Fit.ChiSqDivisor = keptDivisor;
                s.Fit.ErrorsUndefined = keptUndefined;
                s.Spectrum.ZRealCalc = keptReal;
                s.Spectrum.ZImagCalc = keptImag;
                platform::ShowMessage(FitFailedText, FitRefusedCaption);
                return ComputeNotFinite;
            }
        } else {
            for (int j = 1; j <= par.ParamCount; ++j) par.LnValue[j] = ClampedLog(par.Value[j]);
            chiOut = EvaluateChiSquare(par.LnValue);
        }
        s.Run.ResultsComputed = true;
        SelectSearchParameters();
        return ComputeDone;
    }

    par.FreeCount = 0;
    if (validate) {
        if (ValidateParameters(par.Value, par.ParamCount) == 1) return ComputeInvalidParameters;
        // The validation takes the signs from the values before it reads the
        // Start column again. A simulation is of the values just read, which
        // the Start and End columns show: a -10 typed into the quick
        // simulator was simulated as +10, and the value typed after it with
        // the minus sign of the -10.
        for (int j = 1; j <= par.ParamCount; ++j) par.Sign[j] = par.Value[j] > 0 ? 1.0 : -1.0;
    }
    s.Fit.FreqMin = std::pow(10.0, s.Options.MinFreqExponent);
    s.Fit.FreqMax = std::pow(10.0, s.Options.MaxFreqExponent);
    KeepMeasuredSpectrum();
    SpectrumBlock& sp = s.Spectrum;
    double f = s.Fit.FreqMax;
    int count = 0;
    do {
        ++count;
        sp.Frequency[count] = f;
        sp.Omega[count] = TwoPi * f;
        f *= 0.8;
    } while (f > s.Fit.FreqMin && count < MaxPoints - 1);
    sp.PointCount = count;
    NoteSimulatedFrequencies();
    for (int j = 1; j <= par.ParamCount; ++j) par.LnValue[j] = ClampedLog(par.Value[j]);
    const double noise = EvaluateChiSquare(par.LnValue);
    s.Run.SimulatedResults = true;
    s.Run.ResultsComputed = true;
    chiOut = s.Fit.SimulationChiSqFromNoise ? noise : 0.0;
    return ComputeDone;
}

int ComputeAndShow(const std::string& dataFile) {
    const HoldFileWrites holdFitFiles;
    ProgramState& s = State();
    const int r = Compute(dataFile, s.Fit.ChiSq, true);
    s.Run.ResultsComputed = r == ComputeDone;
    // Once a result of the run needed a clamped constant-phase exponent the
    // run reports it, whatever later results or other elements show.
    if (s.Run.ResultsComputed && ResultExponentClamped()) s.Fit.CpeExponentClamped = true;
    if (s.Run.SimulateMode && s.Run.ResultsComputed) {
        s.Run.SimulatedResults = true;
        Windows().Par->CopyEndToStart();
    }
    Windows().Par->ShowStartValues(false);
    PumpMessage();
    if (s.Run.StopRequested) return r;
    if (s.Run.ResultsComputed) {
        Windows().Main->Replot();
        ShowFitQuality(s.Fit.ChiSq);
        if (!s.Run.IterateMode) {
            TakeCdcFromParForm();
            s.Folders.ParFolder = WithTrailingBackslash(s.Folders.ParFolder);
            if (!s.Run.BatchMode) s.Files.ResultsFileName = s.Folders.ParFolder + "temp.par";
        }
    }
    return r;
}

int InitialEvaluation(const std::string& dataFile) {
    const HoldFileWrites holdFitFiles;
    ProgramState& s = State();
    const int weighting = s.Options.Weighting;
    s.Options.Weighting = 1;
    s.History.Iteration = 0;
    // A run starts here: a clamp flagged by an earlier run no longer counts.
    s.Fit.CpeExponentClamped = false;
    if (!s.Run.StartValuesApplied) AutoStartValues();
    s.Run.StartValuesApplied = true;
    Windows().Par->ShowStartValues(false);
    s.Run.ParamsValid = true;
    s.Run.ReadyToRun = s.Run.DataLoaded && s.Run.ModelValid;
    int r = ComputeDone;
    if (s.Run.ReadyToRun)
        r = ComputeAndShow(dataFile);
    else
        s.Run.SimulateMode = true;
    s.Options.Weighting = weighting;
    return r;
}

int RunOneIteration(const std::string& dataFile) {
    const HoldFileWrites holdFitFiles;
    ProgramState& s = State();
    ParamSet& par = s.Params;
    Windows().Par->CopyEndToStart();
    Windows().Par->ReadStartValues();
    ValidateParameters(par.Value, par.ParamCount);
    if (CountSearchParameters() > 0) {
        RoughInitialGuess(dataFile, s.History.Iteration > 3);
        PumpMessage();
        if (s.Run.StopRequested) return ComputeDone;
    }
    s.Run.ReadyToRun = true;
    const int r = ComputeAndShow(dataFile);
    PumpMessage();
    return r;
}

// ---- convergence ----

bool ChiSquareConverged(double previous, double current) {
    return std::fabs(current - previous) < State().Fit.ChiSqTolerance * current;
}

bool ParametersConverged(const ParamArray<double>& oldLnValue) {
    const ProgramState& s = State();
    const ParamSet& par = s.Params;
    const double tolerance = s.Fit.ParamTolerance;
    bool ok = true;
    for (int j = 1; j <= par.ParamCount && ok; ++j) {
        if (IsExponentKind(par.Kind[j])) continue;
        const double now = std::exp(par.LnValue[j]);
        double scale = 1.0;
        if (s.Options.ErrorAsStdDev) {
            double m = s.Fit.ScaleVector.empty() ? 0.0 : std::fabs(s.Fit.ScaleVector[j]);
            if (!(m > 0.0)) m = now;
            scale = m > 0.0 ? 100.0 / m : 0.0;
        }
        const double e = std::fabs(par.Error[j] * scale);  // error in percent
        const double c = std::fabs((now - std::exp(oldLnValue[j])) * 100.0 / now);  // change in percent
        const bool moved = std::fabs(par.LnValue[j] - oldLnValue[j]) < 5.0;
        bool small;
        if (std::isfinite(e) && e > 0.0)
            small = c / e < tolerance;
        else
            small = c < tolerance;
        ok = moved && small;
    }
    return ok;
}

bool IterationConverged(int iteration, int maxIterations, bool chiOk, bool paramOk) {
    bool converged = iteration <= 3 ? (chiOk && paramOk) : (chiOk || paramOk);
    if (iteration >= maxIterations) converged = true;
    return converged;
}

RunOutcome RunIterations(const std::string& dataFile) {
    // The files the run renews are written once, when it ends (however it
    // ends), not after every minimisation.
    const HoldFileWrites holdFitFiles;
    ProgramState& s = State();
    ParamSet& par = s.Params;
    IterationHistory& h = s.History;
    h.Iteration = 0;
    // Only a run that ends normally sets the count and the execution time;
    // until then the history holds no iterations, so a run that is stopped
    // or fails never shows the rows and time of the run before it.
    h.IterationCount = 0;
    h.ElapsedText.clear();
    double prev = s.Fit.ChiSq;
    s.Fit.CpeExponentClamped = false;
    s.Run.SearchRequested = false;
    bool converged = false;
    Windows().Opt->ReadOptions();
    Windows().Par->ShowModelInfo(dataFile);

    h.Ndir[0] = CountSearchParameters();
    h.ChiSqPerDof[0] = ChiSqPerDegreeOfFreedom(s.Fit.ChiSq);
    h.StartTime[0] = h.RunStartText;
    h.EndTime[0] = NowTextMs();
    if (s.Run.IterateMode) RecordMatrices(0);

    while (!converged && par.FreeCount != 0 && !s.Run.StopRequested) {
        ++h.Iteration;
        s.Run.ResultsComputed = false;
        const ParamArray<double> old = par.LnValue;
        const int r = RunOneIteration(dataFile);
        if (r != ComputeDone && !s.Run.StopRequested) {
            s.Run.ResultsComputed = false;
            return RunOutcome::Failed;
        }
        s.Fit.PreviousChiSq = s.Fit.ChiSq;
        PumpMessage();
        if (s.Run.StopRequested) return RunOutcome::Stopped;

        const bool ok = ParametersConverged(old);
        const bool chiok = ChiSquareConverged(prev, s.Fit.PreviousChiSq);
        converged = IterationConverged(h.Iteration, s.Options.MaxIterations, chiok, ok) ||
                    ExceedsMaxIterations(h.Iteration);
        if (s.Run.IterateMode) RecordMatrices(h.Iteration);
        h.Ndir[h.Iteration] = CountSearchParameters();
        h.ChiSqPerDof[h.Iteration] = ChiSqPerDegreeOfFreedom(s.Fit.ChiSq);
        h.StartTime[h.Iteration] = h.EndTime[h.Iteration - 1];
        h.EndTime[h.Iteration] = NowTextMs();
        prev = s.Fit.PreviousChiSq;
    }
    if (s.Run.StopRequested) return RunOutcome::Stopped;

    h.RunEnd = TimeOfDay();
    double elapsed = h.RunEnd - h.RunStart;
    if (elapsed < 0) elapsed += 1.0;  // the run went past midnight
    std::string text = platform::FormatTimeMs(platform::DateTime::FromSerial(elapsed));
    text.replace(0, 3, "   ");
    h.ElapsedText = text;
    h.IterationCount = h.Iteration;
    if (s.Run.IterateMode || s.Run.BatchMode) {
        WriteMinimaMatrix(s.Files.DataFileName, s.Circuit.Code);
        WriteStartPointMatrix(s.Files.DataFileName, s.Circuit.Code);
    }
    return RunOutcome::Finished;
}

// ---- display ----

void ShowFitQuality(double& chi) {
    ProgramState& s = State();
    // A simulation shows the noise it added where the program keeps it as its
    // chi-squared; otherwise a simulation or a result without free
    // parameters has no fit quality.
    if (s.Run.SimulateMode ? !s.Fit.SimulationChiSqFromNoise : s.Params.FreeCount == 0) chi = 0.0;
    const double perDof = ChiSqPerDegreeOfFreedom(chi);
    ParamWindow& w = *Windows().Par;
    w.SetChiSqText(FormatGeneral(perDof, 4));
    double e = std::sqrt(perDof);
    if (s.Options.Weighting == 1) e *= 100.0;
    const std::string text = FormatGeneral(e, 4);
    if (s.Options.Weighting == 1)
        w.SetErrorEstimateText("< " + text + " pct.");
    else
        w.SetErrorEstimateText("< " + text + " ohms" + (s.Run.PerAreaUnits ? "-cm2" : ""));
    w.ShowEndValues(false);
    w.ShowParameterErrors(false);
    ShowSearchFlags(false);
}

void RefreshAfterParametersLoaded() {
    ProgramState& s = State();
    Windows().Opt->ShowSignAndWeighting();
    Windows().Main->SetModelComboText(s.Circuit.Code);
    Windows().Main->ShowSampleArea();
    ParamWindow& w = *Windows().Par;
    w.ShowModelInfo(s.Files.DataFileName);
    w.ShowStartValues(false);
    w.ShowEndValues(false);
    w.ShowParameterErrors(false);
    ShowSearchFlags(false);
    Windows().Main->HidePhaseAngleSeries();
}

}  // namespace pellucor
