#pragma once
// The role of each circuit parameter (ElementCode 0..90) with its element
// letter, short name, default start value and the row labels of the
// parameter window.
#include <string>

namespace pellucor {

inline constexpr int MaxElementCode = 90;

struct ElementKind {
    char Symbol;                // element letter, ' ' for code 0
    const char* ShortName;      // e.g. "Q-Yo", "T-B"
    double DefaultStart;        // default start value
    const char* LabelPerArea;   // row label with per-area units
    const char* LabelAbsolute;  // row label with absolute units
};

// The table entry of a code; codes outside 0..90 give the entry of code 0.
const ElementKind& ElementKindTable(int code);

}  // namespace pellucor
