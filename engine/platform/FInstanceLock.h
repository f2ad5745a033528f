#pragma once

#include <string>

// Exclusive advisory lock on a file: held by the first running copy for the
// whole run. The system drops it when the holder ends, however it ends, so a
// crashed or killed copy never blocks the next start.
class FInstanceLock
{
public:
    enum class Result {
        acquired,
        heldElsewhere,
        // The file could not be opened or locked for another reason.
        unavailable,
    };

    explicit FInstanceLock(std::string path);
    ~FInstanceLock();
    FInstanceLock(const FInstanceLock&) = delete;
    FInstanceLock& operator=(const FInstanceLock&) = delete;

    // Takes the lock without waiting. Taking it again while held is a no-op.
    Result tryAcquire();
    void release();
    bool isHeld() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
};
