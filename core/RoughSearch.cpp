#include "core/RoughSearch.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/CircuitCode.h"
#include "core/ElementKinds.h"
#include "core/FitDriver.h"
#include "core/NumericLib.h"
#include "core/ProgramState.h"
#include "core/WindowHooks.h"
#include "platform/Services.h"

namespace pellucor {
namespace {

// Kinds whose default start value is reduced tenfold for high-impedance data:
// C, W and the Yo of Q, T, O and G.
bool ReducedForHighImpedance(int k) { return k == 2 || k == 4 || k == 5 || k == 7 || k == 9 || k == 11; }

// Kinds always searched in the first iteration: R, C, L, W and the Yo of
// Q, T, O, G and the C of H.
bool SelectedAtRunStart(int k) { return k < 6 || k == 7 || k == 9 || k == 11 || k == 13; }

}  // namespace

void AutoStartValues() {
    ProgramState& s = State();
    ParamSet& par = s.Params;
    const SpectrumBlock& sp = s.Spectrum;
    const bool methodB = s.Options.AutoSetupMethod == 2;
    const int P = par.ParamCount;
    std::vector<int> resistances;
    for (int i = 1; i <= P; ++i) {
        const int k = par.Kind[i];
        double v;
        if (k == 1) {
            if (methodB) {
                resistances.push_back(i);
                continue;
            }
            v = s.Run.DataLoaded ? std::fabs(sp.ZReal[(5 * sp.PointCount) / 10]) : 10.0;
            if (sp.ZModMin * 1e5 < sp.ZModMax) v = 2 * i <= P ? sp.ZModMin : sp.ZModMax;
        } else if (k == 3) {
            if (3 * i <= P)
                v = 1e-6;
            else
                v = sp.HighImpedance ? 1e5 : 10.0;
        } else {
            v = ElementKindTable(k).DefaultStart;
            if (sp.HighImpedance && ReducedForHighImpedance(k)) v *= 0.1;
        }
        par.Value[i] = v * par.Sign[i];
    }
    const int r = static_cast<int>(resistances.size());
    for (int j = 1; j <= r; ++j) {
        const int i = resistances[static_cast<size_t>(j - 1)];
        // With nearly as many resistances as points the first place falls
        // before point 1, which holds no data.
        const int point = std::max(1, (j * sp.PointCount) / (r + 1));
        par.Value[i] = s.Run.DataLoaded ? std::fabs(sp.ZReal[point]) : 10.0;
        par.Value[i] = par.Value[i] * par.Sign[i];
    }
    Windows().Par->ShowStartValues(false);
}

void RoughInitialGuess(const std::string& dataFile, bool afterThird) {
    ProgramState& s = State();
    ParamSet& par = s.Params;
    par.ParamCount = ParseCircuitCode(s.Circuit.Code);
    Windows().Par->ShowParameterLabels(par.ParamCount);
    Windows().Par->ShowModelInfo(dataFile);
    const int maxStep = s.Run.DistributedElement ? 1 : 5;
    double best = 1e40;
    int bestIndex = 0;
    double bestValue = 0.0;
    s.Run.SimulateMode = false;

    for (int i = 1; i <= par.ParamCount; ++i) {
        if (!par.SearchSelect[i] || par.Fixed[i]) continue;
        const int kind = par.Kind[i];
        const double sg = par.Value[i] >= 0 ? 1.0 : -1.0;
        const double m = par.Sign[i] * par.Value[i];
        if (kind == 1) {
            if (m > 1e20)
                par.Value[i] = sg * s.Fit.ResistanceScale * 1e16;
            else if (m < 0.01)
                par.Value[i] = sg * 0.01;
        } else {
            if (m > 1e20)
                par.Value[i] = sg * 1e20;
            else if (m < 1e-20)
                par.Value[i] = sg * 1e-20;
        }
        if (IsExponentKind(kind) && par.LnValue[i] < -4.6) {
            par.Value[i] = 0.8;
            continue;
        }
        if (IsSpecialKind(kind)) {
            par.Value[i] = 5.0;
            continue;
        }
        const double base = par.Value[i];
        double chi0 = 0.0;
        // One trial: a complete fit from the start value 10^e * base. False
        // when the search has to end (a stop request, or a fit refused).
        auto trial = [&](int n, double& prev) {
            double e;
            if (IsExponentKind(kind))
                e = 0.4 * n;
            else if (s.Run.DistributedElement || afterThird || kind == 1)
                e = n;
            else
                e = 2.0 * n;
            par.Value[i] = std::pow(10.0, e) * base;
            prev = s.Fit.PreviousChiSq;
            const int r = Compute(dataFile, s.Fit.PreviousChiSq, false);
            if (n == 0) chi0 = s.Fit.PreviousChiSq;
            platform::PumpOneMessage();
            if (s.Run.StopRequested) return false;
            if (r != ComputeDone) {
                par.Value[i] = base;
                return false;
            }
            if (s.Fit.PreviousChiSq < best) {
                best = s.Fit.PreviousChiSq;
                bestIndex = i;
                bestValue = par.Value[i];
            }
            return true;
        };
        s.Fit.PreviousChiSq = 1e20;
        double prev = 0.0;
        for (int n = 0;; ++n) {
            if (!trial(n, prev)) return;
            if (!(2.0 * prev > s.Fit.PreviousChiSq && n + 1 <= maxStep)) break;
        }
        s.Fit.PreviousChiSq = chi0;
        for (int n = -1;; --n) {
            if (!trial(n, prev)) return;
            if (!(2.0 * prev > s.Fit.PreviousChiSq && n - 1 >= -maxStep)) break;
        }
        par.Value[i] = base;
    }
    if (bestIndex > 0) par.Value[bestIndex] = bestValue;
    s.Run.SimulateMode = false;
    Windows().Par->ShowStartValues(false);
}

void SelectSearchParameters() {
    ProgramState& s = State();
    ParamSet& par = s.Params;
    EnsureFitWorkArrays();
    DVector& scale = s.Fit.ScaleVector;
    for (int j = 1; j <= MaxParams; ++j) par.SearchSelect[j] = false;
    const int P = par.ParamCount;
    if (P <= 4) {
        for (int j = 1; j <= P; ++j) par.SearchSelect[j] = true;
        return;
    }
    double thr = s.Fit.SkipThreshold;
    int count = 0;
    for (int pass = 0; pass < MaxSelectionPasses; ++pass) {
        count = 0;
        for (int j = 1; j <= P; ++j) {
            if (std::fabs(scale[j]) < 1e-32) scale[j] = 1e-32;
            if (std::fabs(scale[j]) > 1e32) scale[j] = 1e32;
            const double e = s.Options.ErrorAsStdDev ? par.Error[j] * 100.0 / scale[j] : par.Error[j];
            const double f = std::exp(par.LnValue[j]);
            // An undefined error (not a number) counts as a large one.
            bool sel = f < 1e-15 || f > 1e15 || !(e <= thr);
            const int kind = par.Kind[j];
            if (s.History.Iteration < 1 && SelectedAtRunStart(kind)) sel = true;
            par.SearchSelect[j] = sel;
            MarkSmallExponent(kind, j);
            MarkSpecialOutOfRange(kind, j);
            if (kind == 1 && s.History.Iteration < 2) par.SearchSelect[j] = f < 0.001 || !(e <= 1e10);
            if (par.SearchSelect[j]) ++count;
        }
        thr /= 2.0;
        if (count >= 2) break;
    }
}

void ShowSearchFlags(bool clear) {
    ProgramState& s = State();
    ParamSet& par = s.Params;
    if (clear || par.FreeCount == 0 || s.Run.SimulateMode)
        for (int j = 1; j <= MaxParams; ++j) par.SearchSelect[j] = false;
    for (int j = 1; j <= MaxParams; ++j) Windows().Par->SetSearchBox(j, par.SearchSelect[j]);
}

void ReadSearchFlags() {
    ParamSet& par = State().Params;
    for (int j = 1; j <= MaxParams; ++j) par.SearchSelect[j] = Windows().Par->SearchBox(j);
}

}  // namespace pellucor
