#pragma once
// Impedance data files: one point per line (frequency, Z', Z''), in the plain
// three-column layout the programs write, or in the two export layouts of
// other impedance programs recognised by a marker in the first line.
#include <iosfwd>
#include <string>

#include "core/ProgramState.h"

namespace pellucor {

enum class DataLayout {
    Plain,    // every line "f Z' Z''"
    ZMarker,  // "Z60", "ZView" or "ZPlot" in line 1; data after the "Freq" line
    Curve,    // line 1 begins "EISCURVE" or "EXPLAIN"; data after the "ZCURVE" line
};

// Layout chosen from the first line (after decimal commas were turned into points).
DataLayout DetectDataLayout(const std::string& firstLine);

// Reads a spectrum into State().Spectrum: 0 when read, 1 when rejected (too
// few or too many points, or a file that cannot be opened or read to its end;
// a message box says which). A rejected file leaves the current spectrum and
// its settings as they were. The reader does not change DataFileName.
// Capacitances are read while ReadCData is set, except from the file
// Files.WrittenAsImpedances, which is also read without the sign detection
// (only the reversed-sign option turns its Z'' over, as its writer expects).
int ReadImpedanceData(const std::string& path);
// The same from text already open (tests feed text inline).
int ReadImpedanceData(std::istream& in);

// Points 1..PointCount of the six data rows by falling frequency (exchange
// sort; equal frequencies keep their order).
void SortByFrequency();
void SortByFrequency(SpectrumBlock& spectrum);

// After an accepted read: data flags set, model and result flags cleared,
// replot, and the parameter window freed with start values 1.0.
void AfterDataLoaded();

// Forgets where the previous spectrum came from (a reaction-model window, a
// batch result, a Kramers-Kronig or extrapolated view) when new measured data
// replace it, so that they are titled, saved and fitted as measured data.
void ResetDataOrigin();

}  // namespace pellucor
