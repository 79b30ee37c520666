#pragma once
// Kinetic fit data files: the files in the kinetics folder that feed the
// windows which determine kinetic parameters from measured element values
// ("ni_dep.dat", "cr_passn2.dat", "optimA1.dat" ... "optimD1.dat").
//
// A stream of whitespace-separated tokens (line breaks mean nothing, numbers
// with a decimal point):
//   nPar [second count, name-first layout only]
//   nPar records: value type name   (name-first layout: name type value)
//   nPot, nPot fit potentials (V)
//   nEl, nPot x nEl measured element values, potential by potential,
//        each row in circuit order
//   nPot x nEl fit flags (integers, non-zero = compared; with-flags layout only)
//
// The reader checks everything before it hands anything over: a missing or
// short file, a token of the wrong kind, a count beyond the windows' tables
// or a name longer than the windows keep is refused with a message that names
// the file, and the caller's data stay as they were. Tokens after the last
// one the layout asks for are ignored.
#include <string>
#include <vector>

namespace pellucor::kinfit {

enum class FitDataLayout {
    Basic,         // value type name records
    WithFitFlags,  // basic, then one fit flag per measured value ("cr_passn2.dat")
    NameFirst,     // a second count after nPar; name type value records ("optimD1.dat")
};

// The sizes of the windows' tables: at most 30 parameters, 15 fit potentials
// (rows of the measured table) and 15 elements, names of at most 15 characters.
struct FitDataLimits {
    int maxParams = 30;
    int maxPotentials = 15;
    int maxElements = 15;
    int maxSecondCount = 30;
    int maxNameLength = 15;
};

struct KineticFitRecord {
    double value = 0;  // start value
    int type = 0;      // what the window's search may do with it
    std::string name;
};

struct KineticFitData {
    int secondCount = 0;                      // name-first layout only
    std::vector<KineticFitRecord> params;     // [0..nPar-1], file order
    std::vector<double> potentials;           // [0..nPot-1]
    int elementCount = 0;                     // nEl
    std::vector<std::vector<double>> measured;  // [pot][element], 0-based
    std::vector<std::vector<int>> flags;        // with-flags layout only, same shape

    int paramCount() const { return static_cast<int>(params.size()); }
    int potentialCount() const { return static_cast<int>(potentials.size()); }
};

// Reads `path`. On success fills `out` whole and returns true; otherwise
// returns false, leaves `out` untouched and puts a message naming the file and
// what is wrong into `error`.
bool ReadKineticFitData(const std::string& path, FitDataLayout layout, KineticFitData& out,
                        std::string& error, const FitDataLimits& limits = FitDataLimits{});

// The same from text already in memory; `fileName` only names it in messages.
bool ParseKineticFitData(const std::string& text, const std::string& fileName, FitDataLayout layout,
                         KineticFitData& out, std::string& error,
                         const FitDataLimits& limits = FitDataLimits{});

}  // namespace pellucor::kinfit
