#include "platform/os/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int lockFd = -1;

} // namespace

namespace platform {

std::string InstanceLockPath() {
    const char* given = std::getenv("BACKFIRE_INSTANCE_LOCK");
    if (given != nullptr && given[0] != '\0')
        return given;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0')
        return std::string(runtime) + "/backfire.lock";
    return "/tmp/backfire-" + std::to_string(getuid()) + ".lock";
}

bool AnotherInstanceRunning() {
    if (lockFd >= 0)
        return false;
    std::string path = InstanceLockPath();
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        // Without a lock file nothing can be known; starting beats refusing.
        std::fprintf(stderr, "backfire: cannot open the instance lock %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        lockFd = fd;
        return false;
    }
    int error = errno;
    close(fd);
    if (error == EWOULDBLOCK)
        return true;
    std::fprintf(stderr, "backfire: cannot lock %s: %s\n", path.c_str(), std::strerror(error));
    return false;
}

void ReleaseInstanceLock() {
    if (lockFd < 0)
        return;
    close(lockFd); // closing the only descriptor drops the flock
    lockFd = -1;
}

} // namespace platform
