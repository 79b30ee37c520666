#pragma once
// A file written under a temporary name and renamed over another takes the
// temporary file's access rights with it (private to its owner, for a
// QTemporaryFile), not those of the file it replaces.
#include <string>

namespace pellucor::platform {

// Gives `file` the access rights of `replaced`, whose place it is about to
// take; when `replaced` does not exist, the rights any new file gets (0666
// less the umask). False when they cannot be given.
bool TakeAccessRightsOf(const std::string& replaced, const std::string& file);

}  // namespace pellucor::platform
