#pragma once
// The option file "tavriopt.cfg" (14 lines, ProgramOptions) and the
// print-layout file "printopt.cfg" (5 lines, PrintLayout) in the program
// folder. Each line holds one number and a description for a human reader;
// the readers take only the leading number.
#include <iosfwd>
#include <string>

namespace pellucor {

inline constexpr const char* OptionFileName = "tavriopt.cfg";
inline constexpr const char* PrintOptionFileName = "printopt.cfg";

// AppFolder + "/tavriopt.cfg" and AppFolder + "/printopt.cfg".
std::string OptionFilePath();
std::string PrintOptionFilePath();

// The options dialog's values into ProgramOptions (TOptForm::ReadOptions),
// SignModeCode from the two sign flags, then the option file written.
// False (after a message box) when the file could not be written; the old
// file then stays as it was.
bool WriteOptionFile();
// The option file into ProgramOptions, then the dialog shows them. Values
// are held inside the ranges the options dialog offers; a line that holds no
// number leaves its option as it was. False when the file cannot be opened
// (nothing changes then).
bool ReadOptionFile();

// The print-layout dialog's choice into PrintLayout (ReadPrintItems), then the
// five lines written. False (after a message box) when not written.
bool WritePrintOptionFile();
// The print-layout file into QuadrantItem[1..4] and LayoutCode, then the
// dialog shows them. False when the file cannot be opened.
bool ReadPrintOptionFile();

// The file texts of the current state and their parsers (no window calls).
std::string FormatOptionFile();
void ParseOptionFile(std::istream& in);
std::string FormatPrintOptionFile();
void ParsePrintOptionFile(std::istream& in);

}  // namespace pellucor
