#pragma once
// Small pieces every text-file reader and writer of the core shares: numbers
// in the C locale whatever the user's locale says, and a writer that creates
// the folder it needs and only replaces a file once the new one is complete.
#include <locale.h>
#include <string>

namespace pellucor {

// While alive, printf/scanf-style number conversions on this thread use the
// C locale (a decimal point), so files read and write the same everywhere.
class ScopedCNumericLocale {
public:
    ScopedCNumericLocale();
    ~ScopedCNumericLocale();
    ScopedCNumericLocale(const ScopedCNumericLocale&) = delete;
    ScopedCNumericLocale& operator=(const ScopedCNumericLocale&) = delete;

private:
    locale_t cLocale_ = static_cast<locale_t>(0);
    locale_t previous_ = static_cast<locale_t>(0);
};

// printf into a std::string (C locale is the caller's business).
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes `text` to `path`: creates the folder of the path when it is missing,
// then replaces the file only once the new one is complete (WriteFileAtomically).
// On failure the old file (if any) stays, the save-failure message box names
// the file and the reason, and the result is false. `durable` as for
// WriteFileAtomically: reports the program renews on every run (such as the
// order-scan summary in the temp folder) need not wait for the disk.
bool SaveTextFile(const std::string& path, const std::string& text, bool durable = true);

}  // namespace pellucor
