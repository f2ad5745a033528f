#pragma once

// Plain POSIX sockets on 127.0.0.1 for the tests' own peers (a listener that
// records, a small HTTP server), independent of the code under test. Every
// wait is bounded.

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace loopback {

// A listening socket on 127.0.0.1 (port 0: any free port). A fixed port that
// another test holds is tried again until `waitMs` has passed. A receive
// buffer size above 0 keeps the window of accepted connections small.
inline int listenOn(int port, int waitMs = 20000, int receiveBuffer = 0)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
        if (receiveBuffer > 0) ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof(receiveBuffer));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 && ::listen(fd, 4) == 0)
            return fd;
        ::close(fd);
        if (std::chrono::steady_clock::now() > end) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

inline int portOf(int fd)
{
    sockaddr_in address{};
    socklen_t size = sizeof(address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

inline bool readable(int fd, int timeoutMs)
{
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) > 0;
}

// The next connection within the time-out, or -1.
inline int acceptOne(int listener, int timeoutMs)
{
    if (!readable(listener, timeoutMs)) return -1;
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

using Clock = std::chrono::steady_clock;

inline Clock::time_point deadlineIn(int timeoutMs)
{
    return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

// One read before `end`: the count read, 0 when the peer closed, -1 on a
// time-out or a failure.
inline ssize_t readBefore(int fd, std::string& into, Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0 || !readable(fd, static_cast<int>(left.count()))) return -1;
    char buffer[4096];
    const ssize_t got = ::recv(fd, buffer, sizeof(buffer), 0);
    if (got > 0) into.append(buffer, static_cast<std::size_t>(got));
    return got;
}

// Reads until `marker` has arrived (true), the peer closes or the time-out passes.
inline bool readUntil(int fd, std::string& into, std::string_view marker, int timeoutMs)
{
    const auto end = deadlineIn(timeoutMs);
    while (into.find(marker) == std::string::npos) {
        if (readBefore(fd, into, end) <= 0) return false;
    }
    return true;
}

// Reads until `into` holds `size` bytes (true), the peer closes or the time-out passes.
inline bool readAtLeast(int fd, std::string& into, std::size_t size, int timeoutMs)
{
    const auto end = deadlineIn(timeoutMs);
    while (into.size() < size) {
        if (readBefore(fd, into, end) <= 0) return false;
    }
    return true;
}

// Reads until the peer closes (true) or the time-out passes.
inline bool readToEnd(int fd, std::string& into, int timeoutMs)
{
    const auto end = deadlineIn(timeoutMs);
    for (;;) {
        const ssize_t got = readBefore(fd, into, end);
        if (got <= 0) return got == 0;
    }
}

inline void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

// A descriptor closed with its owner.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

} // namespace loopback
