#pragma once
// Bringing the parameters near a good minimum: automatic start values from
// the parameter kinds and the measured impedance range, the rough search by
// powers of ten inside an iteration, and the choice of the parameters that
// the next search tries (shown in the search boxes of the parameter window).
#include <string>

namespace pellucor {

// Passes of the search-parameter choice at most: the threshold halves with
// every pass, so after this many passes any error that is not 0 has been
// reached and further passes could not change the choice.
inline constexpr int MaxSelectionPasses = 200;

// Start values by kind: resistances from the measured real parts (or the
// modulus extremes of a spectrum spanning more than five decades), inductors
// 1e-6 in the first third of the code, everything else its default start
// value (tenfold smaller for C, W and the Yo of Q, T, O, G on high-impedance
// data); with AutoSetupMethod 2 the resistances take the real parts at evenly
// spaced points. Signs are kept. Shown in the parameter window.
void AutoStartValues();

// The rough search of one iteration: every selected free parameter is tried
// at powers of ten of its value (tenths of a decade for exponent kinds), each
// trial a complete fit; only the single best trial start value over all
// parameters survives. Handles one window message after each trial and
// returns at once on a stop request.
void RoughInitialGuess(const std::string& dataFile, bool afterThird);

// SearchSelect for the next search, from the relative errors (threshold
// SkipThreshold, halved until two parameters are chosen or no further pass
// could add one), value ranges and kinds.
void SelectSearchParameters();

// SearchSelect := false when `clear`, FreeCount is 0 or in simulate mode;
// then the search boxes of the parameter window show SearchSelect.
void ShowSearchFlags(bool clear);
// SearchSelect := the search boxes of the parameter window.
void ReadSearchFlags();

}  // namespace pellucor
