#include "platform/FInstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

FInstanceLock::FInstanceLock(std::string path) : m_path(std::move(path)) {}

FInstanceLock::~FInstanceLock()
{
    release();
}

FInstanceLock::Result FInstanceLock::tryAcquire()
{
    if (m_fd >= 0) return Result::acquired;
    // No symbolic links: the fallback folder is shared by every user.
    const int fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return Result::unavailable;
    int rc;
    do {
        rc = flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool busy = errno == EWOULDBLOCK;
        close(fd);
        return busy ? Result::heldElsewhere : Result::unavailable;
    }
    m_fd = fd;
    return Result::acquired;
}

void FInstanceLock::release()
{
    if (m_fd < 0) return;
    // Closing the only descriptor drops the lock. The file stays: removing it
    // would let a starting copy lock a new file while another holds the old one.
    close(m_fd);
    m_fd = -1;
}
