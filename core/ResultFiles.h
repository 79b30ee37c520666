#pragma once
// The files a fit leaves behind and their readers: the parameter file (.par)
// with the history file (.hst) beside it, the covariance file (.var) and the
// two iteration-matrix files (.mat: values at the minimum of every iteration,
// .ma2: start point of every iteration).
//
// Every writer builds the whole text first and replaces the old file only
// when the new one is complete (WriteFileAtomically), so a failed save never
// leaves a truncated file in place of a good one. The files a fit writes on
// its own, the covariance file after every minimisation and the
// iteration-matrix files, are renewed many times a run and are therefore not
// forced to the disk before the rename.
// Every reader checks the whole file before it changes anything: a damaged
// file is refused with a message box (caption ReadRefusedCaption) and the
// program state stays as it was.
#include <string>

#include "core/Bounded.h"
#include "core/NumberText.h"

namespace pellucor {

// Caption of the box that refuses a damaged result file.
inline constexpr const char* ReadRefusedCaption = "Cannot read results...";

// ---- Parameter and history files -----------------------------------------

// Writes the parameter file `parFile` of the current results. Sets
// DataFileName := dataFile, ResultsFileName := parFile and SignModeCode (1
// automatic, 2 reversed, 3 unchanged sign of Z''), and parses Code
// (ParseCircuitCode side effects: Kind, ParamCount, ChiSqDivisor,
// MaxEvaluations). Returns false, after a message box naming the file, when
// it cannot be written; an older file of that name then stays as it was.
bool WriteParameterFile(const std::string& dataFile, const std::string& parFile);

// Makes the parameter file the current fit state: sign and weighting options,
// sample area (1.0 for files without an area line), Code, ParamCount and
// Kind, ChiSq (times the ChiSqDivisor of the current PointCount), and per
// parameter Value (start), Sign, LnValue (end), Error and Fixed, and the
// list of free parameters (FreeCount, FreeIndex) from those flags; then
// DataFileName := dataFile and ResultsFileName := parFile.
// Returns 1 when read; 0 when the file does not exist (nothing shown: the
// caller reports it), or when it is there but cannot be read or is damaged
// (refused with a message box).
// After a 0 nothing in the state has changed.
int ReadParameterFile(const std::string& dataFile, const std::string& parFile);

// Takes the values of a parameter file for the parameter window's Import:
// ParamCount, Kind, ChiSqDivisor and MaxEvaluations from the file's code,
// ChiSq, SampleArea := 1.0 only for a file without an area line, and per
// parameter Fixed, Sign (of the start column), Value (magnitude of the end
// column) and Error. Code does not change. Returns the file's circuit code;
// an empty text when the file cannot be opened or is damaged (both refused
// with a message box), and then nothing in the state has changed.
std::string ReadParameterFileForImport(const std::string& parFile);

// HistFolder + BaseNameOfPath(parFile) + ".hst".
std::string HistoryFilePath(const std::string& parFile);

// Writes the history file of the last run beside the parameter file `parFile`
// (in HistFolder, see HistoryFilePath). Returns false, after a message box
// naming the file, when it cannot be written.
bool WriteHistoryFile(const std::string& parFile);

// ---- Covariance file ------------------------------------------------------

// CovarsFolder + base name of DataFileName + ", " + Code + ".var".
std::string CovarianceFilePath();

// Writes the covariance file of the current estimate: `covariance` holds the
// (sorted) covariance matrix, addressed [1..ParamCount][1..ParamCount]
// (entries outside the matrix's bounds count as 0); `chi2dof` scales it.
// First sets ResultsFileName := ParFolder + base name of DataFileName + ", "
// + Code + ".par". A file that cannot be written is reported on the error
// sink and, outside batch mode, once in a message box (not again for the
// same file until a write succeeds); the fit goes on either way. Returns
// whether the file was written.
bool WriteCovarianceFile(const Matrix<double>& covariance, double chi2dof);

// ---- Iteration matrix files ----------------------------------------------

// TempFolder + base name of dataFile + ", " + code + ".mat" / ".ma2".
std::string MinimaMatrixPath(const std::string& dataFile, const std::string& code);
std::string StartPointMatrixPath(const std::string& dataFile, const std::string& code);

// Write the .mat file from ValueMatrix and the .ma2 file from StartMatrix for
// iterations 0..IterationCount (with ChiSqPerDof and Ndir). Set PrintTitle
// := "Change of Start Point", make TempFolder end with a separator and parse
// `code` (ParseCircuitCode side effects). Failure is reported as for the
// covariance file; the result tells whether the file was written.
bool WriteMinimaMatrix(const std::string& dataFile, const std::string& code);
bool WriteStartPointMatrix(const std::string& dataFile, const std::string& code);

// Read a .mat (.ma2) file written for `paramCount` parameters into ValueMatrix
// (StartMatrix), ChiSqPerDof, Ndir, IterationCount and Iteration, reading at
// most iterations 0..10. `code` is not used. PrintTitle := "Start Point of
// Each Iteration" always. A missing file changes nothing else (result false,
// no message); a damaged file is refused with a message box (result false,
// state otherwise unchanged). True when the file was read.
bool ReadMinimaMatrix(const std::string& file, int paramCount, const std::string& code);
bool ReadStartPointMatrix(const std::string& file, int paramCount, const std::string& code);

}  // namespace pellucor
