#pragma once

#include "platform/Platform.h"

#include <string>

namespace kiv::platform {

// The single-instance lock as an advisory lock on a file in the user's runtime folder
// ($XDG_RUNTIME_DIR, else /tmp); KIV_LOCK_FILE names another file. The lock dies with the
// process, so a crashed game never blocks the next one.
class FileInstanceLock : public InstanceLock {
public:
    FileInstanceLock();
    ~FileInstanceLock() override;

    bool Acquire() override;
    void Release() override;

    std::string Path() const override { return path; }

private:
    std::string path;
    int fd = -1;
};

} // namespace kiv::platform
