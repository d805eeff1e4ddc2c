#pragma once
// The one-instance rule: a per-user lock held for the life of the process.
// The system drops it when the process ends in any way, so a crashed
// instance never blocks the next start.
#include <cstdint>
#include <string>

namespace tarnwick::os {

class InstanceLock {
public:
    // Tries to take the lock called `name`. `folder` is where the lock file
    // lives; empty means the user's runtime folder ($XDG_RUNTIME_DIR, else a
    // private /tmp/<name>-<uid> folder).
    explicit InstanceLock(const std::string& name, const std::string& folder = {});
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object holds the lock; false when another process (or
    // another object) does, or when no lock could be made at all.
    bool Acquired() const { return acquired_; }
    // False only when the lock could not even be attempted (no folder, no
    // file): the caller may then run rather than refuse to start.
    bool Usable() const { return handle_ >= 0; }
    const std::string& FilePath() const { return path_; }

private:
    std::intptr_t handle_ = -1;
    bool acquired_ = false;
    std::string path_;
};

} // namespace tarnwick::os
