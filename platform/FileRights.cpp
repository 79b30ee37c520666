#include "platform/FileRights.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#endif

namespace pellucor::platform {

bool TakeAccessRightsOf(const std::string& replaced, const std::string& file) {
#if defined(__unix__) || defined(__APPLE__)
    struct stat st {};
    mode_t mode = 0;
    if (::stat(replaced.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::chmod(file.c_str(), mode) == 0;
#else
    (void)replaced;
    (void)file;
    return true;
#endif
}

}  // namespace pellucor::platform
