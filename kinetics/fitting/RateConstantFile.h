#pragma once
// Rate-constant files: the shipped default kinetic data of the reaction-model
// windows ("fedisolv.dat", "FeinAcid.dat", "znwin.dat", "zndep.dat",
// "zn_diss.dat" in the kinetics folder).
//
// A stream of whitespace-separated tokens: the step count n; n step records,
// each a name followed by the numbers of its file; then the file's named
// constants, each a name and one number. Names are not interpreted: the order
// alone decides what a value feeds.
//
// The reader refuses (with a message naming the file, the caller's data
// untouched) a missing or short file, a token of the wrong kind, a step count
// outside what the window's mechanism uses and its tables hold (at most 14),
// and a name longer than 7 characters. Tokens after the last constant are
// ignored.
#include <string>
#include <vector>

namespace pellucor::kinfit {

enum class RateConstantKind {
    FeDissolution,  // "fedisolv.dat": k0, b, s per step; Gamma, Cdl
    FeInAcid,       // "FeinAcid.dat": k0, b, s per step; Gamma, Cdl
    ZnWinning,      // "znwin.dat": s, then (k0, b) for no addition, "0.4M H2O2", "NiSO4"; Gamma, Cdl
    ZnDeposition,   // "zndep.dat": s, k0, b per step; ratio, beta1, beta2, beta3, Cdl
    ZnDissolution,  // "zn_diss.dat": s, then (a, b) for conditions C1..C4; beta, Cdl
};

struct RateConstantLayout {
    const char* fileName;
    int numbersPerStep;
    int setCount;     // parameter sets per step record (1 for the single-set files)
    int minSteps;     // steps the window's mechanism uses
    int maxSteps;     // slots of the window's tables
    int constantCount;
};

const RateConstantLayout& LayoutOf(RateConstantKind kind);

struct RateConstantData {
    std::vector<std::string> stepNames;
    std::vector<std::vector<double>> steps;  // [step][number], 0-based, file order
    std::vector<std::string> constantNames;
    std::vector<double> constants;
    int stepCount() const { return static_cast<int>(steps.size()); }
};

// One step of one parameter set: k = k0 exp(s b (E - Eo)) in the window's own
// exponent form.
struct RateStep {
    double s = 0, k0 = 0, b = 0;
};

// The steps of parameter set `set` (0-based: the addition of "znwin.dat", the
// surface condition of "zn_diss.dat"; 0 for the single-set files).
std::vector<RateStep> StepsOfSet(RateConstantKind kind, const RateConstantData& data, int set);

bool ReadRateConstantFile(const std::string& path, RateConstantKind kind, RateConstantData& out,
                          std::string& error);
bool ParseRateConstantFile(const std::string& text, const std::string& fileName, RateConstantKind kind,
                           RateConstantData& out, std::string& error);

// What the "znwin.dat" and "zn_diss.dat" readers echo to standard output: n,
// then per step its number, two blanks, s, two blanks, k0, three blanks, b of
// the chosen set, then one line per constant; numbers in the stream's default
// format.
std::string EchoText(RateConstantKind kind, const RateConstantData& data, int set);

}  // namespace pellucor::kinfit
