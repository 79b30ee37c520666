#pragma once
// Outcome of the kinetic algebra. The reaction-model windows and the kinetic
// optimisers turn linearised kinetics into admittances and circuit elements
// many times per command; some inputs have no answer (a singular system, a
// relaxation that is not a real pole, an element of value zero). Those
// functions then say so by a status and write zeros or well-defined finite
// values instead of infinities or NaN, so a caller can report the case and
// nothing undefined travels on into spectra, edits or files.

namespace pellucor {

enum class KineticStatus {
    Ok,
    BadOrder,       // n outside the supported range: nothing computed
    NotFinite,      // an input or an intermediate result is not a finite number
    Singular,       // the matrix or the admittance denominator vanishes
    ZeroElement,    // an element value of zero: the branch admittance is undefined
    ComplexPoles,   // the relaxations are not n real poles (oscillating response)
    RepeatedPoles,  // two poles coincide: no drawing as separate branches
    ZeroPole,       // a pole at s = 0, which a series C-R branch cannot draw
    ZeroResidue,    // a relaxation of zero weight: its branch elements would be infinite
    NoConvergence,  // no real pole found by Newton's method (usually complex poles)
};

// Short English name of a status, for logs and test messages.
const char* KineticStatusName(KineticStatus status);

}  // namespace pellucor
