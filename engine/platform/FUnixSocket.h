#pragma once

#include <cstddef>
#include <functional>
#include <string>

// A stream socket in the abstract local namespace (no file on disk; the name
// disappears with the last socket bound to it). Owns its descriptor.
class FUnixSocket
{
public:
    enum class Io {
        ok,
        closed, // the peer closed before all bytes were moved
        timedOut,
        failed,
    };

    FUnixSocket() = default;
    explicit FUnixSocket(int fd) : m_fd(fd) {}
    ~FUnixSocket();
    FUnixSocket(FUnixSocket&& other) noexcept;
    FUnixSocket& operator=(FUnixSocket&& other) noexcept;
    FUnixSocket(const FUnixSocket&) = delete;
    FUnixSocket& operator=(const FUnixSocket&) = delete;

    // A listening socket bound to the name; invalid when the name is taken.
    static FUnixSocket listenOn(const std::string& name);
    // A socket connected to the name; invalid when nobody listens there.
    static FUnixSocket connectTo(const std::string& name);

    bool isValid() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    void close();

    // Waits at most timeoutMs for a connection; invalid when none came.
    FUnixSocket accept(int timeoutMs) const;
    // Send and receive time-outs of every later transfer.
    void setTimeout(int timeoutMs) const;
    // The user id of the process at the other end, or false.
    bool peerUser(unsigned& uid) const;
    // How a hand-over end learns the user at the other end; tests put another
    // user there. Empty means peerUser.
    using PeerUserLookup = std::function<bool(const FUnixSocket& socket, unsigned& uid)>;
    // Whether the other end runs as this process's user, asked through `lookup`.
    bool peerIsSameUser(const PeerUserLookup& lookup) const;

    Io writeAll(const void* data, std::size_t size) const;
    Io readExact(void* data, std::size_t size) const;

private:
    int m_fd = -1;
};
