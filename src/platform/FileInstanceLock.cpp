#include "platform/FileInstanceLock.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kiv::platform {

namespace {

std::string DefaultLockPath() {
    if (const char* file = std::getenv("KIV_LOCK_FILE"); file && *file)
        return file;
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir)
        return std::string(dir) + "/kiv.lock";
    return "/tmp/kiv-" + std::to_string(getuid()) + ".lock";
}

} // namespace

FileInstanceLock::FileInstanceLock() : path(DefaultLockPath()) {}

FileInstanceLock::~FileInstanceLock() {
    Release();
}

bool FileInstanceLock::Acquire() {
    if (fd >= 0)
        return true;
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // A lock file we cannot create protects nothing; the game runs as it would without one.
    if (fd < 0)
        return true;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    bool held = errno == EWOULDBLOCK;
    close(fd);
    fd = -1;
    return !held;
}

void FileInstanceLock::Release() {
    if (fd < 0)
        return;
    flock(fd, LOCK_UN);
    close(fd);
    fd = -1;
}

} // namespace kiv::platform
