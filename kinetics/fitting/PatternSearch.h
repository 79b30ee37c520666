#pragma once
// Coordinate pattern search of the nickel and chromium windows: passes of
// sweeps over the parameters in file order; each parameter tries its value
// times (1 - step), 1 and (1 + step) and keeps the trial with the lowest
// objective seen so far (strictly lower only); the step halves with every
// pass, and passes end when the best value changes by less than a relative
// 1e-5 or at the pass limit. A parameter's type decides which trials are
// allowed, so a parameter never leaves the range its type gives it.
//
// Also the result file of the chromium search ("crkbs.dat").
#include <functional>
#include <string>
#include <vector>

#include "core/Bounded.h"
#include "core/NumericLib.h"

namespace pellucor::kinfit {

struct PatternRule {
    double firstStep;  // the step of the first pass (halved before each later one)
    int sweeps;        // sweeps per pass
    int maxPasses;
    double changeTolerance;
    std::function<bool(int type, double trial)> allowed;
};

// Nickel: 200 sweeps, steps 0.149, 0.0745, 0.03725 (at most 3 passes); only
// type 1 is varied.
PatternRule NickelRule();
// Chromium: 100 sweeps, first step 0.15, at most 40 passes; type 0 fixed,
// type 2 only within 5 < |value| < 100, every other type free.
PatternRule ChromiumRule();

struct PatternResult {
    bool ran = false;
    std::string message;  // why the search was refused
    DVector values;       // [1..N] at the optimum
    double best = 0;      // lowest objective found (1e10 when no trial was allowed)
    int passes = 0;
    long evaluations = 0;
};

// values[1..N] and types[0..N-1]; the objective sees the trial vector and is
// called once more at the end with the optimum, so that whatever it stores
// (the model values of the chromium window) belongs to the optimum.
PatternResult RunPatternSearch(const PatternRule& rule, const DVector& values, const std::vector<int>& types,
                               const std::function<double(const DVector&)>& objective, int maxParams = 30);

// "crkbs.dat": per parameter one line of the name (field 12), type (5),
// initial value (12) and optimum (12); then per fit potential i and element j
// i (5), j (5), measured (15), model (15). Fields left-justified and padded
// with blanks, numbers in the general format with six significant digits.
struct CrkbsRecord {
    std::string name;
    int type = 0;
    double initial = 0, optimum = 0;
};
std::string CrkbsText(const std::vector<CrkbsRecord>& records, const std::vector<std::vector<double>>& measured,
                      const std::vector<std::vector<double>>& model);

}  // namespace pellucor::kinfit
