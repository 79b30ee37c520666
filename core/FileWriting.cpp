#include "core/FileWriting.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/SafeFile.h"

namespace pellucor {

namespace fs = std::filesystem;

ScopedCNumericLocale::ScopedCNumericLocale() {
    cLocale_ = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    if (cLocale_ != static_cast<locale_t>(0)) previous_ = uselocale(cLocale_);
}

ScopedCNumericLocale::~ScopedCNumericLocale() {
    if (cLocale_ == static_cast<locale_t>(0)) return;
    uselocale(previous_);
    freelocale(cLocale_);
}

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return out;
}

bool SaveTextFile(const std::string& path, const std::string& text, bool durable) {
    const fs::path folder = fs::path(path).parent_path();
    std::error_code ec;
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        std::error_code ignored;
        if (!fs::is_directory(folder, ignored)) {
            ReportSaveFailure(path, "the folder " + folder.string() + " cannot be created" +
                                        (ec ? ": " + ec.message() : std::string()));
            return false;
        }
    }
    std::string reason;
    if (!WriteFileAtomically(path, text, &reason, durable)) {
        ReportSaveFailure(path, reason);
        return false;
    }
    return true;
}

}  // namespace pellucor
