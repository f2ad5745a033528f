#pragma once

// An IPv4 address with a port, resolved from a host text (numeric text
// first, then a name look-up). Address and port are kept in network byte
// order, as the socket calls take them.

#include "core/FRef.h"
#include "core/FString.h"
#include "net/FSocketSystem.h"

#include <cstdint>

class FStringStream;

class FNetworkAddress
{
public:
    static constexpr std::uint16_t k_familyIpv4 = 2;

    // An empty address, valid only once setFromSocketAddress fills it.
    explicit FNetworkAddress(FSocketSystem& sockets);
    // Resolves `host` (an empty handle leaves the address invalid, silently).
    FNetworkAddress(FSocketSystem& sockets, const FRefT<FString>& host, int port);
    virtual ~FNetworkAddress() = default;
    FNetworkAddress(const FNetworkAddress&) = default;
    FNetworkAddress& operator=(const FNetworkAddress&) = default;

    bool resolve(const FRefT<FString>& host, int port);
    // The dotted address and, when asked, the port; false when not valid.
    bool toText(FString& text, int* port) const;
    void setFromSocketAddress(const FSocketSystem::Address& address);
    // Appends "<dotted address>:<port>" for trace lines.
    static void hostPortText(FStringStream& line, const FNetworkAddress& address);
    FString hostPortText() const;
    // A copy of this address in a new handle.
    FRefT<FNetworkAddress> copy() const;

    bool isValid() const { return m_valid; }
    std::uint32_t address() const { return m_address; }
    std::uint16_t family() const { return m_family; }
    std::uint16_t port() const { return m_port; }
    int hostPort() const;
    FNetworkError lastError() const { return m_lastError; }
    FSocketSystem::Address socketAddress() const { return {m_address, m_port}; }
    FSocketSystem& sockets() const { return *m_sockets; }

    // The dotted text of an address in network byte order.
    static std::string dottedText(std::uint32_t address);
    static std::uint16_t toNetworkOrder(std::uint16_t port);
    static std::uint16_t toHostOrder(std::uint16_t port) { return toNetworkOrder(port); }

private:
    FSocketSystem* m_sockets;
    bool m_valid = false;
    std::uint32_t m_address = 0;
    std::uint16_t m_family = 0;
    std::uint16_t m_port = 0;
    FNetworkError m_lastError = k_netNoError;
};
