#include "platform/FUnixSocket.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// Fills an abstract address (leading zero byte); returns its length or 0
// when the name does not fit.
socklen_t abstractAddress(const std::string& name, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (name.size() + 1 > sizeof address.sun_path) return 0;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

FUnixSocket::Io ioError()
{
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? FUnixSocket::Io::timedOut : FUnixSocket::Io::failed;
}
} // namespace

FUnixSocket::~FUnixSocket()
{
    close();
}

FUnixSocket::FUnixSocket(FUnixSocket&& other) noexcept : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

FUnixSocket& FUnixSocket::operator=(FUnixSocket&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

void FUnixSocket::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

FUnixSocket FUnixSocket::listenOn(const std::string& name)
{
    sockaddr_un address;
    const socklen_t length = abstractAddress(name, address);
    if (length == 0) return FUnixSocket();
    FUnixSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.isValid()) return socket;
    if (bind(socket.m_fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        listen(socket.m_fd, 8) != 0)
        socket.close();
    return socket;
}

FUnixSocket FUnixSocket::connectTo(const std::string& name)
{
    sockaddr_un address;
    const socklen_t length = abstractAddress(name, address);
    if (length == 0) return FUnixSocket();
    FUnixSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.isValid()) return socket;
    int rc;
    do {
        rc = connect(socket.m_fd, reinterpret_cast<const sockaddr*>(&address), length);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) socket.close();
    return socket;
}

FUnixSocket FUnixSocket::accept(int timeoutMs) const
{
    pollfd waitFor{m_fd, POLLIN, 0};
    if (poll(&waitFor, 1, timeoutMs) <= 0 || (waitFor.revents & POLLIN) == 0) return FUnixSocket();
    return FUnixSocket(accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC));
}

void FUnixSocket::setTimeout(int timeoutMs) const
{
    timeval limit{};
    limit.tv_sec = timeoutMs / 1000;
    limit.tv_usec = (timeoutMs % 1000) * 1000;
    setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

bool FUnixSocket::peerUser(unsigned& uid) const
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (getsockopt(m_fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 || size != sizeof credentials)
        return false;
    uid = credentials.uid;
    return true;
}

bool FUnixSocket::peerIsSameUser(const PeerUserLookup& lookup) const
{
    unsigned uid = 0;
    const bool known = lookup ? lookup(*this, uid) : peerUser(uid);
    return known && uid == static_cast<unsigned>(getuid());
}

FUnixSocket::Io FUnixSocket::writeAll(const void* data, std::size_t size) const
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = send(m_fd, bytes, size, MSG_NOSIGNAL);
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno == EPIPE ? Io::closed : ioError();
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return Io::ok;
}

FUnixSocket::Io FUnixSocket::readExact(void* data, std::size_t size) const
{
    char* bytes = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = recv(m_fd, bytes, size, 0);
        if (got == 0) return Io::closed;
        if (got < 0) {
            if (errno == EINTR) continue;
            return ioError();
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return Io::ok;
}
