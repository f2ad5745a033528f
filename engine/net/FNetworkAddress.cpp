#include "net/FNetworkAddress.h"

#include "core/FLogStream.h"
#include "core/FStringStream.h"

#include <bit>
#include <string>

FNetworkAddress::FNetworkAddress(FSocketSystem& sockets) : m_sockets(&sockets) {}

FNetworkAddress::FNetworkAddress(FSocketSystem& sockets, const FRefT<FString>& host, int port)
    : m_sockets(&sockets)
{
    resolve(host, port);
}

bool FNetworkAddress::resolve(const FRefT<FString>& host, int port)
{
    m_valid = false;
    if (host.get() == nullptr) return false;
    const std::string text = host->toUtf8();
    std::uint32_t address = 0;
    // A numeric text of 0.0.0.0 reads as "no address" and goes to the name look-up.
    if (m_sockets->parseNumericHost(text.c_str(), address) && address != 0) {
        ZIBBO_LOG(k_logNetworkSmartRaw, true) << "Host name " << text << " is a valid I.P adress.";
    } else {
        ZIBBO_LOG(k_logNetworkSmartRaw, true) << "Resolving host name " << text;
        FSocketFailure failure;
        if (!m_sockets->resolveHost(text.c_str(), address, failure)) {
            m_lastError = logSocketError(failure);
            ZIBBO_LOG(k_logNetworkSmartRaw, true)
                << "Host name couldn't be resolved: given hostname is invalid.";
            return false;
        }
        ZIBBO_LOG(k_logNetworkSmartRaw, true)
            << "Host name " << text << " resolved to " << dottedText(address) << ".";
    }
    m_family = k_familyIpv4;
    m_port = toNetworkOrder(static_cast<std::uint16_t>(port));
    m_address = address;
    m_valid = true;
    return true;
}

bool FNetworkAddress::toText(FString& text, int* port) const
{
    if (!m_valid) return false;
    text = FString(dottedText(m_address).c_str());
    if (port != nullptr) *port = hostPort();
    return true;
}

void FNetworkAddress::setFromSocketAddress(const FSocketSystem::Address& address)
{
    m_family = k_familyIpv4;
    m_address = address.address;
    m_port = address.port;
    m_valid = true;
}

void FNetworkAddress::hostPortText(FStringStream& line, const FNetworkAddress& address)
{
    line << dottedText(address.m_address) << ":" << address.hostPort();
}

FString FNetworkAddress::hostPortText() const
{
    FStringStream line;
    hostPortText(line, *this);
    return line.take();
}

FRefT<FNetworkAddress> FNetworkAddress::copy() const
{
    return makeRef(engineNew<FNetworkAddress>(k_memObject, *this));
}

int FNetworkAddress::hostPort() const
{
    return toHostOrder(m_port);
}

std::string FNetworkAddress::dottedText(std::uint32_t address)
{
    // In network order the first byte in memory is the first number.
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address);
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) + "." +
           std::to_string(bytes[3]);
}

std::uint16_t FNetworkAddress::toNetworkOrder(std::uint16_t port)
{
    if constexpr (std::endian::native == std::endian::little)
        return static_cast<std::uint16_t>((port >> 8) | (port << 8));
    else
        return port;
}
