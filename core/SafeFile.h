#pragma once
// Saving a file without ever leaving a half-written one in place of the good
// one: the text goes to a temporary file beside the target, is flushed and
// closed, and only then renamed over the target. Any failure leaves the old
// file untouched and removes the temporary file.
#include <functional>
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

// ---- Files a fit renews many times while it runs -------------------------
//
// The covariance file is rewritten after every minimisation, dozens of times
// in a fit, and nothing can read it before the fit ends or lets another
// command run. While a HoldFileWrites object lives (the fit driver opens one
// for each run), HoldFileWrite keeps only the newest text of such a file in
// memory; the files are written (quick rewrite, see above) when the outermost
// HoldFileWrites ends, whichever way the run ends (finished, stopped, failed,
// an exception), when ReadWholeFile is asked for one of them, when
// WriteHeldFiles is called, and at program exit.
class HoldFileWrites {
public:
    HoldFileWrites();
    ~HoldFileWrites();
    HoldFileWrites(const HoldFileWrites&) = delete;
    HoldFileWrites& operator=(const HoldFileWrites&) = delete;
};

// Told how the write of a held file went (reason empty on success).
using HeldWriteDone = std::function<void(const std::string& path, bool ok, const std::string& reason)>;

// Inside a HoldFileWrites: keeps `contents` as the text of `path` (replacing a
// text held before) and returns true; `done` is called when it is written.
// Outside one: returns false and keeps nothing (the caller writes now).
bool HoldFileWrite(const std::string& path, const std::string& contents, HeldWriteDone done);

// Makes the text of a held file when the file is written. It must capture
// everything it needs by value: it runs after its caller has returned.
using HeldText = std::function<std::string()>;

// As above, but the text is made only when the file is written: a file
// renewed many times in a run is formatted once, not every time.
bool HoldFileWrite(const std::string& path, HeldText text, HeldWriteDone done);

// Writes every held file now, each by a quick rewrite, and tells its `done`.
void WriteHeldFiles();

// Reads the whole file into `contents`. Returns false (with a reason in
// `error` when given) when the file cannot be opened or read; `contents` is
// then left as it was. A held file (see above) is written first, so the
// reader gets its newest text.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error = nullptr);

// The text shown when a file could not be saved: names the file and the reason.
std::string SaveFailureText(const std::string& path, const std::string& reason);

// Shows SaveFailureText in a message box with the caption "File not saved".
void ReportSaveFailure(const std::string& path, const std::string& reason);

}  // namespace pellucor
