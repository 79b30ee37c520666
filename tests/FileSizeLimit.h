#pragma once
// A full disk without special rights: while a FileSizeLimit lives, this
// process may not make any file larger than the given size, so a write past
// it fails (EFBIG) where a full disk fails (ENOSPC). Unlike a small file
// system mounted for the test, it needs no administrator.
#include <csignal>
#include <sys/resource.h>

namespace pellucor::testing_support {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        // A write past the limit would otherwise end the process.
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit l = previous_;
        l.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &l);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace pellucor::testing_support
