#include "net/FNetworkEndPoint.h"

#include "core/FLogStream.h"
#include "core/FStringStream.h"
#include "io/FInStream.h"
#include "io/FOutStream.h"

#include <vector>

FNetworkEndPoint::FNetworkEndPoint(FSocketSystem& sockets)
    : m_sockets(sockets), m_localAddress(sockets), m_peerAddress(sockets)
{
    open();
}

FNetworkEndPoint::FNetworkEndPoint(FSocketSystem& sockets, FSocketSystem::Handle accepted)
    : m_sockets(sockets), m_open(true), m_socket(accepted), m_localAddress(sockets), m_peerAddress(sockets)
{
}

FNetworkEndPoint::~FNetworkEndPoint()
{
    close();
}

void FNetworkEndPoint::fail(const FSocketFailure& failure)
{
    m_lastError = logSocketError(failure);
}

bool FNetworkEndPoint::notOpen()
{
    // Without a socket there is nothing to wait for: fail at once.
    m_lastError = k_netOther;
    return false;
}

bool FNetworkEndPoint::open()
{
    m_lastError = k_netNoError;
    m_peerClosed = false;
    if (m_socket != FSocketSystem::k_noSocket) {
        ZIBBO_LOG(k_logNetworkRaw, true) << "Socket is already opened.";
    } else {
        FSocketFailure failure;
        m_socket = m_sockets.open(failure);
        if (m_socket == FSocketSystem::k_noSocket) {
            fail(failure);
            ZIBBO_LOG(k_logNetworkRaw, true) << "Socket opening failed.";
            m_open = false;
            return false;
        }
        m_open = true;
    }
    ZIBBO_LOG(k_logNetworkRaw, true) << "Socket opened properly.";
    return true;
}

bool FNetworkEndPoint::close()
{
    if (m_socket != FSocketSystem::k_noSocket) {
        FSocketFailure failure;
        if (!m_sockets.close(m_socket, failure)) {
            fail(failure);
            ZIBBO_LOG(k_logNetworkRaw, true) << "Socket closure failed.";
            return false;
        }
        ZIBBO_LOG(k_logNetworkRaw, true) << "Socket closed properly.";
    }
    m_socket = FSocketSystem::k_noSocket;
    m_open = false;
    return true;
}

bool FNetworkEndPoint::connect(const FNetworkAddress& address)
{
    if (!m_open || !address.isValid()) return false;
    m_peerClosed = false;
    FSocketFailure failure;
    if (!m_sockets.connect(m_socket, address.socketAddress(), failure)) {
        ZIBBO_LOG(k_logNetworkRaw, true) << "Connection failed (couldn't connect to host)";
        fail(failure);
        close();
        return false;
    }
    FSocketSystem::Address peer;
    if (!m_sockets.peerAddress(m_socket, peer, failure)) {
        ZIBBO_LOG(k_logNetworkRaw, true) << "Connection failed (couldn't retrieve peer name)";
        fail(failure);
        close();
        return false;
    }
    m_peerAddress.setFromSocketAddress(peer);
    ZIBBO_LOG(k_logNetworkRaw, true) << "Connection established properly to host "
                                     << FNetworkAddress::dottedText(peer.address);
    return true;
}

bool FNetworkEndPoint::bind(const FNetworkAddress& address)
{
    if (!m_open || !address.isValid()) return false;
    FSocketFailure failure;
    FSocketSystem::Address local;
    if (!m_sockets.bind(m_socket, address.socketAddress(), failure) ||
        !m_sockets.localAddress(m_socket, local, failure)) {
        fail(failure);
        close();
        return false;
    }
    m_localAddress.setFromSocketAddress(local);
    return true;
}

bool FNetworkEndPoint::listen(int backlog)
{
    FSocketFailure failure;
    if (!m_sockets.listen(m_socket, backlog, failure)) {
        fail(failure);
        close();
        return false;
    }
    return true;
}

FRefT<FNetworkEndPoint> FNetworkEndPoint::accept(int timeoutMs)
{
    if (!poll(timeoutMs)) return {};
    FSocketFailure failure;
    FSocketSystem::Address peer;
    const FSocketSystem::Handle accepted = m_sockets.accept(m_socket, peer, failure);
    if (accepted == FSocketSystem::k_noSocket) {
        fail(failure);
        close();
        return {};
    }
    FSocketSystem::Address local;
    if (!m_sockets.localAddress(accepted, local, failure)) {
        fail(failure);
        FSocketFailure ignored;
        m_sockets.close(accepted, ignored);
        return {};
    }
    auto* endPoint = engineNew<FNetworkEndPoint>(k_memObject, m_sockets, accepted);
    if (endPoint == nullptr) {
        FSocketFailure ignored;
        m_sockets.close(accepted, ignored);
        m_lastError = k_netNoMemory;
        return {};
    }
    endPoint->m_lastError = m_lastError;
    endPoint->m_receiveTimeout = m_receiveTimeout;
    endPoint->m_sendTimeout = m_sendTimeout;
    endPoint->m_peerAddress.setFromSocketAddress(peer);
    endPoint->m_localAddress.setFromSocketAddress(local);
    return makeRef(endPoint);
}

bool FNetworkEndPoint::poll(int timeoutMs)
{
    if (!m_open) return notOpen();
    FSocketFailure failure;
    const int ready = m_sockets.waitReadable(m_socket, timeoutMs < 0 ? -1 : timeoutMs, failure);
    if (ready < 0) {
        fail(failure);
        return false;
    }
    if (ready > 0) {
        ZIBBO_LOG(k_logNetworkRaw, true) << "New data received.";
        return true;
    }
    ZIBBO_LOG(k_logNetworkRaw, true) << "No new data received.";
    return false;
}

int64_t FNetworkEndPoint::send(const void* bytes, std::size_t length)
{
    if (!m_open) {
        notOpen();
        return -1;
    }
    const auto* next = static_cast<const unsigned char*>(bytes);
    std::size_t left = length;
    const bool bounded = m_sendTimeout >= 0;
    const int64_t deadline = bounded ? m_sockets.nowMs() + m_sendTimeout : 0;
    FSocketFailure failure;
    // A send may move only part of the bytes; the rest follows until all are
    // gone, the socket fails, or the send time-out runs out.
    while (left > 0) {
        if (bounded) {
            const int64_t remaining = deadline - m_sockets.nowMs();
            const int ready =
                remaining > 0 ? m_sockets.waitWritable(m_socket, static_cast<int>(remaining), failure) : 0;
            if (ready < 0) {
                fail(failure);
                return -1;
            }
            if (ready == 0) {
                m_lastError = k_netTimedOut;
                ZIBBO_LOG(k_logNetworkRaw, true) << "Send timed out after " << (length - left) << " bytes.";
                return -1;
            }
        }
        const int64_t sent = m_sockets.send(m_socket, next, left, !bounded, failure);
        if (sent < 0) {
            fail(failure);
            return -1;
        }
        next += sent;
        left -= static_cast<std::size_t>(sent);
    }
    ZIBBO_LOG(k_logNetworkRaw, true) << "Sent " << length << " bytes of data";
    return static_cast<int64_t>(length);
}

int64_t FNetworkEndPoint::receive(void* buffer, std::size_t size)
{
    if (!m_open) {
        notOpen();
        return -1;
    }
    if (m_receiveTimeout >= 0 && !poll(m_receiveTimeout)) return 0;
    FSocketFailure failure;
    const int64_t received = m_sockets.receive(m_socket, buffer, size, failure);
    if (received < 0) {
        fail(failure);
    } else if (received == 0 && size > 0) {
        m_peerClosed = true;
    }
    ZIBBO_LOG(k_logNetworkRaw, true) << "Received " << received << " bytes of data.";
    return received;
}

int64_t FNetworkEndPoint::sendStream(FInStream& stream)
{
    const int64_t size = stream.remaining();
    if (size <= 0) return 0;
    std::vector<char> bytes(static_cast<std::size_t>(size));
    stream.read(bytes.data(), size);
    return send(bytes.data(), static_cast<std::size_t>(stream.gcount()));
}

int64_t FNetworkEndPoint::receiveStream(FOutStream& stream)
{
    const int64_t size = stream.buffer()->remaining();
    if (size <= 0) return 0;
    std::vector<char> bytes(static_cast<std::size_t>(size));
    const int64_t received = receive(bytes.data(), bytes.size());
    if (received > 0) stream.write(bytes.data(), received);
    return received;
}
