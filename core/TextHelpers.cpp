#include "core/TextHelpers.h"

#include <cstring>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "core/NumberText.h"
#include "core/ProgramState.h"

namespace pellucor {

std::string CommaToPoint(const std::string& text) {
    std::string s = text;
    for (size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == ',' && s[i + 1] != ' ') s[i] = '.';
    return s;
}

std::string PointToComma(bool pointNotation, const std::string& text) {
    if (pointNotation) return text;
    std::string s = text;
    for (size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == '.') s[i] = ',';
    return s;
}

char* CommaToPointBuf(char* buffer) {
    const size_t n = std::strlen(buffer);
    for (size_t i = 0; i + 1 < n; ++i)
        if (buffer[i] == ',' && buffer[i + 1] != ' ') buffer[i] = '.';
    return buffer;
}

char* PointToCommaBuf(bool pointNotation, char* buffer) {
    if (pointNotation) return buffer;
    const size_t n = std::strlen(buffer);
    for (size_t i = 0; i + 1 < n; ++i)
        if (buffer[i] == '.') buffer[i] = ',';
    return buffer;
}

std::string WithTrailingBackslash(const std::string& folder) {
    if (!folder.empty() && folder.back() == PathSep) return folder;
    return folder + PathSep;
}

std::string ShortDisplayPath(const std::string& appFolder, const std::string& path) {
    if (path.size() <= appFolder.size()) return "...";
    return "..." + path.substr(appFolder.size());
}

std::string FolderOfPath(const std::string& path) {
    const size_t p = path.rfind(PathSep);
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

std::string FileNameOfPath(const std::string& path) {
    const size_t p = path.rfind(PathSep);
    return p == std::string::npos ? path : path.substr(p + 1);
}

// Only a point in the last path component starts an extension, so a folder
// name with a point is never cut.
std::string StripExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t sep = path.rfind(PathSep);
    if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return path;
    return path.substr(0, dot);
}

std::string BaseNameOfPath(const std::string& path) { return StripExtension(FileNameOfPath(path)); }

std::string LastWordOfBaseName(const std::string& path) {
    const std::string s = StripExtension(path);
    const size_t blank = s.rfind(' ');
    if (blank == std::string::npos) return FileNameOfPath(s);
    return s.substr(blank + 1);
}

std::string DataFolderTag(const std::string& folder) {
    if (folder.find(" data") == std::string::npos) return std::string();
    const size_t blank = folder.rfind(' ');
    const size_t sep = folder.rfind(PathSep, blank);
    const size_t start = sep == std::string::npos ? 0 : sep + 1;
    return folder.substr(start, blank - start);
}

std::string ParFolderForData(const std::string& appFolder, const std::string& dataFolder) {
    const std::string base = appFolder + PathSep;
    if (dataFolder == base + "Data" || dataFolder == base + "Data" + PathSep ||
        dataFolder == base + "data" || dataFolder == base + "data" + PathSep)
        return base + "par" + PathSep;
    const std::string tag = DataFolderTag(dataFolder);
    if (tag.empty()) return base + "par" + PathSep;
    return base + "par" + PathSep + tag + " par" + PathSep;
}

std::string ResultFileName(bool withCode, const std::string& appFolder, const std::string& dataFile,
                           const std::string& code) {
    const std::string folder = WithTrailingBackslash(ParFolderForData(appFolder, FolderOfPath(dataFile)));
    return folder + BaseNameOfPath(dataFile) + ", " + (withCode ? code : std::string()) + ".par";
}

bool FileExistsInFolder(const std::string& folder, const std::string& fileName,
                        std::uintmax_t& sizeOut) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p = fs::path(WithTrailingBackslash(folder)) / fileName;
    if (fs::is_regular_file(p, ec)) {
        sizeOut = fs::file_size(p, ec);
        if (!ec) return true;
    }
    sizeOut = 0;
    return false;
}

std::string FormatGeneral(double value, int digits) {
    return PointToComma(State().Options.PeriodDecimal, FormatGeneralText(value, digits));
}

bool TextLines::Next(std::string& line) {
    if (pos_ == std::string::npos) {
        if (!std::getline(in_, chunk_)) return false;
        pos_ = 0;
    }
    const size_t cr = chunk_.find('\r', pos_);
    if (cr == std::string::npos) {
        line.assign(chunk_, pos_);
        pos_ = std::string::npos;
        return true;
    }
    line.assign(chunk_, pos_, cr - pos_);
    // A CR that ends the chunk is the first half of CR LF, not a line of its own.
    pos_ = cr + 1 < chunk_.size() ? cr + 1 : std::string::npos;
    return true;
}

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::istringstream in(text);
    TextLines lines(in);
    std::vector<std::string> out;
    std::string line;
    while (lines.Next(line)) out.push_back(line);
    return out;
}

}  // namespace pellucor
