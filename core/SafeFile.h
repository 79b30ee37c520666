#pragma once
// Saving a file without ever leaving a half-written one in place of the good
// one: the text goes to a temporary file beside the target, is flushed and
// closed, and only then renamed over the target. Any failure leaves the old
// file untouched and removes the temporary file.
#include <string>

namespace pellucor {

// Writes `contents` byte for byte to `path` as described above. Returns true
// on success; on failure returns false and, when `error` is given, puts a
// short reason there (for example "No such file or directory").
// With `durable` the data are forced to the disk before the rename, so even a
// power cut leaves the old or the new file. Files the engine rewrites many
// times in one run (covariance and iteration files) pass false: the old file
// still stays in place until the new one has taken its name (a failed write
// leaves it untouched), and the cost is tens of microseconds, not a disk
// flush.
bool WriteFileAtomically(const std::string& path, const std::string& contents,
                         std::string* error = nullptr, bool durable = true);


// Reads the whole file into `contents`. Returns false (with a reason in
// `error` when given) when the file cannot be opened or read; `contents` is
// then left as it was.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error = nullptr);

// The text shown when a file could not be saved: names the file and the reason.
std::string SaveFailureText(const std::string& path, const std::string& reason);

// Shows SaveFailureText in a message box with the caption "File not saved".
void ReportSaveFailure(const std::string& path, const std::string& reason);

}  // namespace pellucor
