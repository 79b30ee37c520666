#pragma once
// Decimal separators and path helpers. Paths use '/' as separator on this
// platform; the helper names keep their historic "Backslash" wording.
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

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

// Lines of a text stream whatever its line ends: LF, CR LF, or CR alone, as
// older Mac programs and some instrument software write them. Reading only up
// to LF would run a whole CR-only file together into its first line.
class TextLines {
public:
    explicit TextLines(std::istream& in) : in_(in) {}
    // The next line without its end; false when the stream has no more.
    bool Next(std::string& line);

private:
    std::istream& in_;
    std::string chunk_;  // up to the next LF
    size_t pos_ = std::string::npos;
};
// Every line of a text, as TextLines reads them.
std::vector<std::string> SplitTextLines(const std::string& text);
// True when the text begins with the UTF-8 byte-order mark that Windows
// editors write when they save "UTF-8 with signature" (three bytes).
inline bool StartsWithUtf8Mark(const std::string& text) { return text.compare(0, 3, "\xEF\xBB\xBF") == 0; }

// The windows' value format: general notation with the given significant
// digits (FormatGeneralText), then PointToComma with PeriodDecimal.
std::string FormatGeneral(double value, int digits);

}  // namespace pellucor
