#include "core/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <unistd.h>
#endif
#if defined(__linux__)
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/syscall.h>
#endif

#include "platform/Services.h"

namespace pellucor {
namespace {

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

std::string ErrnoText(int err) { return err ? std::strerror(err) : "write failed"; }

// Swaps the names of `temp` and an existing `path` in one step. Replacing a
// file by an ordinary rename makes some file systems (ext4 among them) push
// the new file towards the disk at once, which costs far more than the write;
// an exchange does not, and the old file keeps its name until the new one has
// it. False when there is no file at `path` yet or the file system cannot
// exchange names: the caller then renames.
bool ExchangeWithExisting(const std::string& temp, const std::string& path) {
#if defined(__linux__) && defined(SYS_renameat2) && defined(RENAME_EXCHANGE)
    // Only a plain file is swapped: a rename refuses to put a file in place
    // of a folder, and an exchange would not.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, ec))) return false;
    return ::syscall(SYS_renameat2, AT_FDCWD, temp.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0;
#else
    (void)temp;
    (void)path;
    return false;
#endif
}

// The held texts, in the order they were first held.
struct HeldFile {
    std::string path;
    HeldText text;
    HeldWriteDone done;
};

struct HeldFiles {
    int depth = 0;
    std::vector<HeldFile> files;
    // At exit whatever is still held is written; nobody is told any more.
    ~HeldFiles() {
        for (HeldFile& f : files) WriteFileAtomically(f.path, f.text(), nullptr, false);
    }
};

HeldFiles& Held() {
    static HeldFiles held;
    return held;
}

// Takes the held entry out before writing it, so that a `done` which holds
// or reads files again finds a consistent list.
void WriteHeld(size_t index) {
    HeldFiles& held = Held();
    HeldFile f = std::move(held.files[index]);
    held.files.erase(held.files.begin() + static_cast<std::ptrdiff_t>(index));
    std::string reason;
    const bool ok = WriteFileAtomically(f.path, f.text(), &reason, false);
    if (f.done) f.done(f.path, ok, ok ? std::string() : reason);
}

}  // namespace

HoldFileWrites::HoldFileWrites() { ++Held().depth; }

HoldFileWrites::~HoldFileWrites() {
    HeldFiles& held = Held();
    if (--held.depth > 0) return;
    held.depth = 0;
    WriteHeldFiles();
}

bool HoldFileWrite(const std::string& path, HeldText text, HeldWriteDone done) {
    HeldFiles& held = Held();
    if (held.depth <= 0) return false;
    for (HeldFile& f : held.files)
        if (f.path == path) {
            f.text = std::move(text);
            f.done = std::move(done);
            return true;
        }
    held.files.push_back(HeldFile{path, std::move(text), std::move(done)});
    return true;
}

bool HoldFileWrite(const std::string& path, const std::string& contents, HeldWriteDone done) {
    if (Held().depth <= 0) return false;  // no copy of the text outside a run
    return HoldFileWrite(path, HeldText([contents] { return contents; }), std::move(done));
}

void WriteHeldFiles() {
    HeldFiles& held = Held();
    while (!held.files.empty()) WriteHeld(0);
}

bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* error,
                         bool durable) {
    namespace fs = std::filesystem;
    if (path.empty()) {
        SetError(error, "no file name");
        return false;
    }
    const std::string temp = path + ".tmp";
    errno = 0;
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        SetError(error, ErrnoText(errno));
        return false;
    }
    bool ok = std::fwrite(contents.data(), 1, contents.size(), f) == contents.size();
    int err = ok ? 0 : errno;
    if (ok && std::fflush(f) != 0) {
        ok = false;
        err = errno;
    }
#if defined(__unix__) || defined(__APPLE__)
    // The rename must not reach the disk before the data does.
    if (ok && durable && ::fsync(fileno(f)) != 0 && errno != EINVAL && errno != EROFS) {
        ok = false;
        err = errno;
    }
#endif
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    std::error_code ec;
    if (!ok) {
        fs::remove(temp, ec);
        SetError(error, ErrnoText(err));
        return false;
    }
    // The old file stays in place until the new one has taken its name.
    if (!durable && ExchangeWithExisting(temp, path)) {
        // The temporary name now holds the old text.
        std::error_code ignored;
        fs::remove(temp, ignored);
        return true;
    }
    fs::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        SetError(error, ec.message());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error) {
    {
        HeldFiles& held = Held();
        for (size_t i = 0; i < held.files.size(); ++i)
            if (held.files[i].path == path) {
                WriteHeld(i);
                break;
            }
    }
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        SetError(error, ErrnoText(errno));
        return false;
    }
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) {
        SetError(error, ErrnoText(err));
        return false;
    }
    if (contents) *contents = std::move(text);
    return true;
}

std::string SaveFailureText(const std::string& path, const std::string& reason) {
    return "Could not save the file\n" + path + "\n(" + reason + ")";
}

void ReportSaveFailure(const std::string& path, const std::string& reason) {
    platform::ShowMessage(SaveFailureText(path, reason), "File not saved", platform::MsgButtons::Ok,
                          platform::MsgIcon::Error);
}

}  // namespace pellucor
