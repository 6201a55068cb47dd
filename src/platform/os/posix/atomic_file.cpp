#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os/files.h"
#include "platform/os/host_turn.h"
#include "platform/os/write_fault.h"

namespace platform {
namespace {

std::optional<WriteFault> injectedFault;

bool Fails(WriteStep step) { return injectedFault && injectedFault->step == step; }

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t allowed = Fails(WriteStep::Write) ? std::min(size, injectedFault->bytesWritten) : size;
    while (allowed > 0) {
        ssize_t written = write(fd, bytes, allowed);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        allowed -= static_cast<size_t>(written);
    }
    return !Fails(WriteStep::Write);
}

// Makes the rename itself durable; a failure here does not undo the save.
void SyncDirectoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string directory = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

// An existing file without write permission. A file with no write bit at all
// counts even for a process with root's rights, which access() lets write
// anything; access() judges ownership and groups for everyone else. A
// read-only file system is not this: its files keep their bits, and the save
// fails later, silently, as in any other unwritable folder.
bool IsReadOnlyFile(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return true;
    return access(path.c_str(), W_OK) != 0 && errno == EACCES;
}

} // namespace

void SetWriteFault(std::optional<WriteFault> fault) { injectedFault = fault; }

bool WriteFileAtomically(const char* name, const void* data, size_t size) {
    const std::string path = ResolvePath(name);
    if (IsReadOnlyFile(path)) {
        std::fprintf(stderr, "backfire: %s is read-only; it was left as it is and not saved\n", path.c_str());
        return false;
    }
    if (Fails(WriteStep::Create))
        return false;
    // A unique name, so a temporary file left behind by a crash never blocks a later save.
    static uint32_t attempt = 0;
    std::string temporary;
    int fd = -1;
    for (int tries = 0; tries < 16 && fd < 0; ++tries) {
        temporary = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(attempt++);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, data, size) && fsync(fd) == 0 && !Fails(WriteStep::Sync);
    ok = close(fd) == 0 && !Fails(WriteStep::Close) && ok;
    if (ok && !Fails(WriteStep::Rename) && rename(temporary.c_str(), path.c_str()) == 0) {
        SyncDirectoryOf(path);
        NoteFileWritten(path);
        return true;
    }
    unlink(temporary.c_str());
    return false;
}

} // namespace platform
