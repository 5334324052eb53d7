#include "platform/FileOwner.h"

#if defined(__unix__) || defined(__APPLE__)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mv53::platform {

bool TakeOwnerAndMode(std::FILE* newFile, const std::string& replaced)
{
#if defined(__unix__) || defined(__APPLE__)
    struct stat old {};
    struct stat now {};
    const int fd = ::fileno(newFile);
    if (::stat(replaced.c_str(), &old) != 0 || ::fstat(fd, &now) != 0)
        return false;
    if ((old.st_uid != now.st_uid || old.st_gid != now.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    // After the owner: a change of owner clears the set-id bits.
    return ::fchmod(fd, old.st_mode & 07777) == 0;
#else
    (void)newFile;
    (void)replaced;
    return true;
#endif
}

}  // namespace mv53::platform
