#pragma once

// The system's TCP sockets through POSIX calls (IPv4), names looked up with
// getaddrinfo, errno and resolver errors reduced to the engine's codes.

#include "net/FSocketSystem.h"

class FSocketPosix final : public FSocketSystem
{
public:
    // The one instance the program's modules share.
    static FSocketPosix& instance();

    bool parseNumericHost(const char* text, std::uint32_t& address) override;
    bool resolveHost(const char* name, std::uint32_t& address, FSocketFailure& failure) override;

    Handle open(FSocketFailure& failure) override;
    bool close(Handle socket, FSocketFailure& failure) override;
    bool connect(Handle socket, const Address& to, FSocketFailure& failure) override;
    bool bind(Handle socket, const Address& at, FSocketFailure& failure) override;
    bool listen(Handle socket, int backlog, FSocketFailure& failure) override;
    Handle accept(Handle socket, Address& peer, FSocketFailure& failure) override;
    bool localAddress(Handle socket, Address& address, FSocketFailure& failure) override;
    bool peerAddress(Handle socket, Address& address, FSocketFailure& failure) override;
    int waitReadable(Handle socket, int timeoutMs, FSocketFailure& failure) override;
    int waitWritable(Handle socket, int timeoutMs, FSocketFailure& failure) override;
    std::int64_t send(Handle socket, const void* data, std::size_t size, bool wait,
                      FSocketFailure& failure) override;
    std::int64_t receive(Handle socket, void* buffer, std::size_t size, FSocketFailure& failure) override;
    std::int64_t nowMs() override;

    // The engine code of an errno value.
    static FNetworkError codeOfErrno(int error);
    // The engine code of a getaddrinfo result (EAI_...).
    static FNetworkError codeOfResolverError(int error);
};
