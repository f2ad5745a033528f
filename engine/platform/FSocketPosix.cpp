#include "platform/FSocketPosix.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool failWith(FSocketFailure& failure, int error)
{
    failure.systemCode = error;
    failure.code = FSocketPosix::codeOfErrno(error);
    return false;
}

sockaddr_in toSockaddr(const FSocketSystem::Address& address)
{
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = address.port;
    result.sin_addr.s_addr = address.address;
    return result;
}

FSocketSystem::Address fromSockaddr(const sockaddr_in& address)
{
    return {address.sin_addr.s_addr, address.sin_port};
}

// Waits for `events` on the socket; a signal restarts the wait with the time left.
int waitFor(int socket, short events, int timeoutMs, FSocketFailure& failure, FSocketPosix& clock)
{
    const std::int64_t deadline = timeoutMs < 0 ? 0 : clock.nowMs() + timeoutMs;
    for (;;) {
        pollfd entry{socket, events, 0};
        int left = -1;
        if (timeoutMs >= 0) left = static_cast<int>(std::max<std::int64_t>(deadline - clock.nowMs(), 0));
        const int ready = ::poll(&entry, 1, left);
        if (ready > 0) {
            // A hang-up or an error also ends a wait: the next call reports it.
            return 1;
        }
        if (ready == 0) return 0;
        if (errno != EINTR) {
            failWith(failure, errno);
            return -1;
        }
    }
}

} // namespace

FSocketPosix& FSocketPosix::instance()
{
    static FSocketPosix sockets;
    return sockets;
}

FNetworkError FSocketPosix::codeOfErrno(int error)
{
    switch (error) {
    case ENOMEM:
        return k_netNoMemory;
    case EMFILE:
    case ENFILE:
        return k_netTooManySockets;
    case EADDRINUSE:
        return k_netAddressInUse;
    case EADDRNOTAVAIL:
        return k_netAddressNotAvailable;
    case ENETDOWN:
        return k_netNetworkDown;
    case ENETUNREACH:
        return k_netNetworkUnreachable;
    case ENETRESET:
        return k_netNetworkReset;
    case ECONNABORTED:
        return k_netConnectionAborted;
    // Writing to a connection the peer has reset reports a broken pipe.
    case ECONNRESET:
    case EPIPE:
        return k_netConnectionReset;
    case ENOBUFS:
        return k_netNoBuffers;
    case ETIMEDOUT:
        return k_netTimedOut;
    case ECONNREFUSED:
        return k_netConnectionRefused;
    case EHOSTDOWN:
        return k_netHostDown;
    case EHOSTUNREACH:
        return k_netHostUnreachable;
    case 0:
        return k_netNoError;
    default:
        return k_netOther;
    }
}

FNetworkError FSocketPosix::codeOfResolverError(int error)
{
    switch (error) {
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
    case EAI_FAIL:
        return k_netHostNotFound;
    case EAI_MEMORY:
        return k_netNoMemory;
    case EAI_SYSTEM:
        return codeOfErrno(errno);
    default:
        return k_netOther;
    }
}

bool FSocketPosix::parseNumericHost(const char* text, std::uint32_t& address)
{
    const in_addr_t parsed = ::inet_addr(text);
    if (parsed == INADDR_NONE) return false;
    address = parsed;
    return true;
}

bool FSocketPosix::resolveHost(const char* name, std::uint32_t& address, FSocketFailure& failure)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = ::getaddrinfo(name, nullptr, &hints, &found);
    if (result != 0 || found == nullptr) {
        failure.systemCode = result;
        failure.code = result == 0 ? k_netHostNotFound : codeOfResolverError(result);
        if (found != nullptr) ::freeaddrinfo(found);
        return false;
    }
    address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return true;
}

FSocketSystem::Handle FSocketPosix::open(FSocketFailure& failure)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) failWith(failure, errno);
    return socket < 0 ? k_noSocket : socket;
}

bool FSocketPosix::close(Handle socket, FSocketFailure& failure)
{
    // The descriptor is gone after close even when it reports EINTR.
    if (::close(socket) != 0 && errno != EINTR) return failWith(failure, errno);
    return true;
}

bool FSocketPosix::connect(Handle socket, const Address& to, FSocketFailure& failure)
{
    const sockaddr_in address = toSockaddr(to);
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) return true;
    if (errno != EINTR) return failWith(failure, errno);
    // An interrupted connect goes on in the background: wait for its outcome.
    FSocketFailure ignored;
    if (waitFor(socket, POLLOUT, -1, ignored, *this) < 0) return failWith(failure, ignored.systemCode);
    int error = 0;
    socklen_t size = sizeof(error);
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return failWith(failure, errno);
    return error == 0 || failWith(failure, error);
}

bool FSocketPosix::bind(Handle socket, const Address& at, FSocketFailure& failure)
{
    const sockaddr_in address = toSockaddr(at);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
        return failWith(failure, errno);
    return true;
}

bool FSocketPosix::listen(Handle socket, int backlog, FSocketFailure& failure)
{
    return ::listen(socket, backlog) == 0 || failWith(failure, errno);
}

FSocketSystem::Handle FSocketPosix::accept(Handle socket, Address& peer, FSocketFailure& failure)
{
    sockaddr_in address{};
    socklen_t size = sizeof(address);
    int accepted = -1;
    do {
        accepted = ::accept4(socket, reinterpret_cast<sockaddr*>(&address), &size, SOCK_CLOEXEC);
    } while (accepted < 0 && errno == EINTR);
    if (accepted < 0) {
        failWith(failure, errno);
        return k_noSocket;
    }
    peer = fromSockaddr(address);
    return accepted;
}

bool FSocketPosix::localAddress(Handle socket, Address& address, FSocketFailure& failure)
{
    sockaddr_in local{};
    socklen_t size = sizeof(local);
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&local), &size) != 0)
        return failWith(failure, errno);
    address = fromSockaddr(local);
    return true;
}

bool FSocketPosix::peerAddress(Handle socket, Address& address, FSocketFailure& failure)
{
    sockaddr_in peer{};
    socklen_t size = sizeof(peer);
    if (::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &size) != 0)
        return failWith(failure, errno);
    address = fromSockaddr(peer);
    return true;
}

int FSocketPosix::waitReadable(Handle socket, int timeoutMs, FSocketFailure& failure)
{
    return waitFor(socket, POLLIN, timeoutMs, failure, *this);
}

int FSocketPosix::waitWritable(Handle socket, int timeoutMs, FSocketFailure& failure)
{
    return waitFor(socket, POLLOUT, timeoutMs, failure, *this);
}

std::int64_t FSocketPosix::send(Handle socket, const void* data, std::size_t size, bool wait,
                                FSocketFailure& failure)
{
    // A peer that went away is an error code here, never a SIGPIPE.
    const int flags = MSG_NOSIGNAL | (wait ? 0 : MSG_DONTWAIT);
    for (;;) {
        const ssize_t sent = ::send(socket, data, size, flags);
        if (sent >= 0) return sent;
        if (errno == EINTR) continue;
        if (!wait && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
        failWith(failure, errno);
        return -1;
    }
}

std::int64_t FSocketPosix::receive(Handle socket, void* buffer, std::size_t size, FSocketFailure& failure)
{
    for (;;) {
        const ssize_t received = ::recv(socket, buffer, size, 0);
        if (received >= 0) return received;
        if (errno == EINTR) continue;
        failWith(failure, errno);
        return -1;
    }
}

std::int64_t FSocketPosix::nowMs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
