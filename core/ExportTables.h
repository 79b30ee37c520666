#pragma once
// The current spectrum as plain text tables for other software (eight kinds
// of plotted quantity; kind 1 is also the layout of saved and simulated data)
// and the converted data file (capacitances for impedance data, impedances
// for capacitance data).
#include <string>

namespace pellucor {

inline constexpr int ExportKindCount = 8;

// The table name of a kind 1..8 as written in line 4 ("Impedance data " ...).
const char* ExportTableName(int kind);

// Text of the export table of the kind for the current state (header with
// the program name, date and time; column header and rows as far as there
// are measured or calculated values). Empty for a kind outside 1..8.
std::string FormatExportTable(int kind);
// Writes that table to `path`, creating its folder when needed. With no
// points shows message 30 and writes nothing. False when nothing was written.
bool ExportPlotData(const std::string& path, int kind);

// The current spectrum as a data file (kind 1) of impedances, written so
// that the data reader, reading impedances with the sign option of the
// moment, reads back the rows in memory: Z'' turned over when the
// reversed-sign option is on, and with
// `perAreaUndone` the impedances divided by the sample area in per-area units
// (for a file read again with that area; a file opened as new data is read
// with area 1). With no points shows message 30 and writes nothing.
std::string FormatDataFileTable(bool perAreaUndone);
bool SaveDataFile(const std::string& path, bool perAreaUndone);

// Text of the converted data file: f and the other representation of each
// point, decimal commas with the decimal-comma option.
std::string FormatConvertedData();
bool SaveConvertedData(const std::string& path);

}  // namespace pellucor
