#pragma once
// Circuit description codes: the grammar check, the parser that turns a code
// into the kind of each parameter, and the two walks that mark series and
// parallel levels (letter case in the prepared code, inverted values).
//
// A code is a sequence of element letters and parenthesised groups; the top
// level is a series connection and the connection alternates with every
// parenthesis. Every routine that walks a code keeps one running sum per
// open level, so a code is only ever stored or evaluated when it stays within
// MaxCodeLength characters, MaxParams parameters and MaxCodeLevels levels.
#include <string>

#include "core/ProgramState.h"

namespace pellucor {

// Levels of nesting the running sums hold: level 1 is the top level, so at
// most MaxCodeLevels - 1 parentheses may be open at once.
inline constexpr int MaxCodeLevels = 15;

// The code stored with pasted data before any model is chosen. It is well
// formed but names more parameters than a circuit may have, so it is never
// parsed into parameters or evaluated.
inline constexpr const char* NoModelCode = "NOMODEL";

// Number of parameters of an element letter (upper case); 0 for any other
// character, including A, K and Z.
int ElementParamCount(char letter);
// ElementCode of the first parameter of an element letter (the others follow
// consecutively); 0 for any other character.
int ElementFirstKind(char letter);

// Number of parameters the code names (upper-case element letters only).
int CdcParameterCount(const std::string& code);
// Deepest level the code opens (1 for a code without parentheses). A code
// that closes a parenthesis it never opened reports 0.
int CdcNestingDepth(const std::string& code);
// True when the code fits the limits every walk relies on: at most
// MaxCodeLength characters, at most MaxParams parameters, never more than
// MaxCodeLevels levels and never a ")" below the top level.
bool CdcWithinLimits(const std::string& code);

// Upper-cases the code in place and reports whether it is a well-formed code
// (not empty, only "(", ")" and the letters B-J, L-Y, parentheses balanced
// and never closing below the top level). A code beyond the limits of
// CdcWithinLimits is refused as well. An invalid character stops the scan and
// leaves the characters after it as they were.
bool ValidateCdc(std::string& code);

// Fills Kind[1..P] with the parameter kinds of the code (Kind[0..15] cleared
// first), sets ParamCount := P, ChiSqDivisor := PointCount - (P + 1) and
// MaxEvaluations := 2 * 10^((P + 1) div 2), but 200 for one or two
// parameters; returns P. Characters that are no
// upper-case element letter are skipped. A code beyond the limits (for
// example NoModelCode) parses as a code without parameters: P = 0.
int ParseCircuitCode(const std::string& code);

// Everything ParseCircuitCode and CdcReciprocalMask derive from a code, worked
// out without touching the program state. The evaluator keeps it between
// calls and applies it, so that a code is not scanned again at every
// function evaluation of a fit.
struct CircuitCodeLayout {
    bool withinLimits = false;
    int paramCount = 0;                 // P (0 for a code beyond the limits)
    int kind[MaxParams + 1] = {};       // Kind[0..15] as ParseCircuitCode leaves it
    int maxEvaluations = 2;             // 2 * 10^((P + 1) div 2); 200 for P = 1, 2
    unsigned reciprocalMask = 0;        // as CdcReciprocalMask returns it
    bool distributed = false;           // D, E or F in the code
};
CircuitCodeLayout AnalyseCircuitCode(const std::string& code);
// The state changes of ParseCircuitCode (Kind, ParamCount, ChiSqDivisor from
// the current PointCount, MaxEvaluations); returns P.
int ApplyCodeParse(const CircuitCodeLayout& layout);
// The state changes of CdcReciprocalMask (Reciprocal, DistributedElement);
// returns the mask.
unsigned ApplyReciprocalFlags(const CircuitCodeLayout& layout);
// ApplyReciprocalFlags, then values[k] := 1 / values[k] for every flagged k.
// `values` is any 1-based indexable vector holding at least the code's
// parameters.
template <class V>
void ApplyReciprocalValues(const CircuitCodeLayout& layout, V& values) {
    const unsigned mask = ApplyReciprocalFlags(layout);
    for (int k = 1; k <= MaxParams; ++k)
        if (mask & (1u << k)) values[k] = 1.0 / values[k];
}

// PreparedCode := code, with the element letters other than R among its
// first `length` characters lower-cased where they stand at series levels.
void PrepareCdcLevels(const std::string& code, int length);

// Sets Reciprocal[0..15] for the parameters the evaluator uses inverted
// (first parameter of C, W, Q, T, O, G, H, D, E, F, S, B, J, I at series
// levels; R and L at parallel levels) and DistributedElement (D, E or F in
// the code). Returns the flags as a bit mask (bit k for parameter k).
// Parameters past slot MaxParams are never flagged.
unsigned CdcReciprocalMask(const std::string& code);

// CdcReciprocalMask, then values[k] := 1 / values[k] for every flagged k.
template <class V>
void CdcReciprocalFlags(const std::string& code, V& values) {
    ApplyReciprocalValues(AnalyseCircuitCode(code), values);
}

// Exponent kinds: 6, 15, 16, 25, 34, 38, 49, 50, 71, 75.
bool IsExponentKind(int kind);
// Special kinds: 35, 39, 42, 43, 44.
bool IsSpecialKind(int kind);

// Rough-search choice for exponent and special kinds (other kinds: nothing):
// an exponent kind is selected when LnValue[index] < -6.9; a special kind
// when LnValue[index] > ln 60 or LnValue[index] < 0.
void MarkSmallExponent(int kind, int index);
void MarkSpecialOutOfRange(int kind, int index);

}  // namespace pellucor
