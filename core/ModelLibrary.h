#pragma once
// The model library: the built-in list of circuit codes and the library
// files in the program folder ("cdclist.cdc", the user's own list, and
// "extlist.cdc"), one code a line. The model-library window shows and edits
// the list; the main window reloads it after that window's OK and takes the
// chosen code from it.
#include <optional>
#include <string>
#include <vector>

namespace pellucor {

inline constexpr const char* UserLibraryFileName = "cdclist.cdc";
inline constexpr const char* ExtendedLibraryFileName = "extlist.cdc";

// The message shown when a chosen code cannot be used.
inline constexpr const char* InvalidCodeText = "Invalid code!";
inline constexpr const char* InvalidCodeCaption = "Try again....";

// The 109 built-in codes, in sorted order.
const std::vector<std::string>& SystemModelLibrary();

// The order the list keeps its codes in: byte by byte.
bool ModelCodeLess(const std::string& a, const std::string& b);

// AppFolder + "/cdclist.cdc" and AppFolder + "/extlist.cdc".
std::string UserLibraryPath();
std::string ExtendedLibraryPath();

// The codes of a library file, sorted. A line that is no usable code (empty,
// not a well-formed code, or beyond the limits a code may have, such as more
// than 39 characters) is left out, so it can reach neither the list nor the
// engine; codes are upper-cased. Empty optional when the file cannot be read.
std::optional<std::vector<std::string>> ReadModelLibraryFile(const std::string& path);

// The codes one a line, each line ended by CR LF; the file is replaced only
// once the new one is complete. False, after a message box naming the file,
// when it could not be written.
bool WriteModelLibraryFile(const std::string& path, const std::vector<std::string>& codes);

// The chosen text as the current circuit code: validated (upper-cased) and
// stored in Code when usable; otherwise Code stays as it was, "Invalid
// code!" is shown and false returned.
bool TakeModelCode(const std::string& text);

}  // namespace pellucor
