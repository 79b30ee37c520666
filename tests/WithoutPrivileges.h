#pragma once
// A file its user may not write, tried as that user. The administrator may
// write any file, so under root the attempt runs in a child process as the
// unprivileged user "nobody", who is given the folder (so it may make files
// there) and the read-only file.
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pellucor::testing_support {

// "refused" or "taken" as the attempt answered; "no unprivileged user" or
// "not run" when the test could not set it up.
template <class Attempt>
std::string AttemptWithoutPrivileges(const std::string& folder, const std::string& file, Attempt attempt) {
    if (::geteuid() != 0) return attempt() ? "taken" : "refused";
    const uid_t nobody = 65534;
    if (::chown(folder.c_str(), nobody, nobody) != 0 || ::chown(file.c_str(), nobody, nobody) != 0)
        return "not run";
    const pid_t child = ::fork();
    if (child < 0) return "not run";
    if (child == 0) {
        if (::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(2);
        ::_exit(attempt() ? 1 : 0);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return "not run";
    switch (WEXITSTATUS(status)) {
        case 0: return "refused";
        case 1: return "taken";
        case 2: return "no unprivileged user";
        default: return "not run";
    }
}

}  // namespace pellucor::testing_support
