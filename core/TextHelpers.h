#pragma once
// Decimal separators and path helpers. Paths use '/' as separator on this
// platform; the helper names keep their historic "Backslash" wording.
#include <cstdint>
#include <string>

namespace pellucor {

inline constexpr char PathSep = '/';

// Every ',' before the last character that is not followed by a blank
// becomes '.'; list separators such as ", " stay.
std::string CommaToPoint(const std::string& text);
// With the point-notation flag clear, every '.' before the last character
// becomes ','.
std::string PointToComma(bool pointNotation, const std::string& text);
char* CommaToPointBuf(char* buffer);
char* PointToCommaBuf(bool pointNotation, char* buffer);

std::string WithTrailingBackslash(const std::string& folder);
std::string ShortDisplayPath(const std::string& appFolder, const std::string& path);
std::string FolderOfPath(const std::string& path);
std::string FileNameOfPath(const std::string& path);
std::string StripExtension(const std::string& path);
std::string BaseNameOfPath(const std::string& path);
std::string LastWordOfBaseName(const std::string& path);
std::string DataFolderTag(const std::string& folder);
std::string ParFolderForData(const std::string& appFolder, const std::string& dataFolder);
std::string ResultFileName(bool withCode, const std::string& appFolder, const std::string& dataFile,
                           const std::string& code);
bool FileExistsInFolder(const std::string& folder, const std::string& fileName,
                        std::uintmax_t& sizeOut);

// The windows' value format: general notation with the given significant
// digits (FormatGeneralText), then PointToComma with PeriodDecimal.
std::string FormatGeneral(double value, int digits);

}  // namespace pellucor
