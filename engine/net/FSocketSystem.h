#pragma once

// What the network classes need of the system's TCP sockets (IPv4 only). The
// platform folder implements it; tests can put a scripted one in its place.
// Every call that fails fills `failure` with the system's error and its
// engine code.

#include "net/FNetworkError.h"

#include <cstddef>
#include <cstdint>

class FSocketSystem
{
public:
    using Handle = int;
    static constexpr Handle k_noSocket = -1;

    // An IPv4 address and port, both in network byte order.
    struct Address
    {
        std::uint32_t address = 0;
        std::uint16_t port = 0;
    };

    virtual ~FSocketSystem() = default;

    // Reads numeric address text the way the classic inet_addr does; false
    // when the text is not one (or is the all-ones broadcast address).
    virtual bool parseNumericHost(const char* text, std::uint32_t& address) = 0;
    // Looks the name up (first IPv4 result).
    virtual bool resolveHost(const char* name, std::uint32_t& address, FSocketFailure& failure) = 0;

    virtual Handle open(FSocketFailure& failure) = 0;
    virtual bool close(Handle socket, FSocketFailure& failure) = 0;
    virtual bool connect(Handle socket, const Address& to, FSocketFailure& failure) = 0;
    virtual bool bind(Handle socket, const Address& at, FSocketFailure& failure) = 0;
    virtual bool listen(Handle socket, int backlog, FSocketFailure& failure) = 0;
    // The next pending connection and its peer, or k_noSocket.
    virtual Handle accept(Handle socket, Address& peer, FSocketFailure& failure) = 0;
    virtual bool localAddress(Handle socket, Address& address, FSocketFailure& failure) = 0;
    virtual bool peerAddress(Handle socket, Address& address, FSocketFailure& failure) = 0;

    // Waits at most `timeoutMs` (negative: without limit; 0: a look that
    // returns at once) until the socket can be read (or has a connection
    // pending) or written: 1 ready, 0 not ready, -1 failed.
    virtual int waitReadable(Handle socket, int timeoutMs, FSocketFailure& failure) = 0;
    virtual int waitWritable(Handle socket, int timeoutMs, FSocketFailure& failure) = 0;

    // One transfer: the bytes moved, or -1. `send` with `wait` false moves
    // only what fits without waiting (possibly 0). `receive` gives 0 when the
    // peer has closed the connection.
    virtual std::int64_t send(Handle socket, const void* data, std::size_t size, bool wait,
                              FSocketFailure& failure) = 0;
    virtual std::int64_t receive(Handle socket, void* buffer, std::size_t size, FSocketFailure& failure) = 0;

    // A monotonic clock in milliseconds, for the time budgets of transfers.
    virtual std::int64_t nowMs() = 0;
};
