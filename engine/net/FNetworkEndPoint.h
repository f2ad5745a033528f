#pragma once

// One blocking TCP socket: open, connect, bind, listen, accept, wait, send and
// receive. Failures are reported by the result and kept as the last error.
// One thread uses an end point at a time.

#include "core/FRef.h"
#include "net/FNetworkAddress.h"
#include "net/FSocketSystem.h"

#include <cstddef>
#include <cstdint>

class FInStream;
class FOutStream;

class FNetworkEndPoint
{
public:
    static constexpr int32_t k_noTimeout = -1;

    // Opens a socket at once.
    explicit FNetworkEndPoint(FSocketSystem& sockets);
    virtual ~FNetworkEndPoint();
    FNetworkEndPoint(const FNetworkEndPoint&) = delete;
    FNetworkEndPoint& operator=(const FNetworkEndPoint&) = delete;

    virtual bool bind(const FNetworkAddress& address);
    // A failed connect closes the socket; open it again before the next try.
    virtual bool connect(const FNetworkAddress& address);
    virtual bool listen(int backlog);
    // The next incoming connection within `timeoutMs` (0: only one already
    // pending), or an empty handle.
    virtual FRefT<FNetworkEndPoint> accept(int timeoutMs);
    // True when data (or a connection) can be read within `timeoutMs`;
    // 0 looks and returns at once, a negative time-out waits without limit.
    virtual bool poll(int timeoutMs);
    virtual bool open();
    virtual bool close();
    // Sends the stream's remaining bytes; the count sent or -1.
    virtual int64_t sendStream(FInStream& stream);
    // Sends every byte (repeating partial sends) within the send time-out:
    // `length`, or -1 when the socket failed or the time ran out.
    virtual int64_t send(const void* bytes, std::size_t length);
    // Receives into the stream's free room; the count received (0 or less:
    // nothing was written).
    virtual int64_t receiveStream(FOutStream& stream);
    // With a receive time-out of 0 or more, first waits that long for data
    // and gives 0 when none came. Otherwise one receive: the count, 0 when
    // the peer closed the connection (see peerClosed), -1 on failure.
    virtual int64_t receive(void* buffer, std::size_t size);

    bool isOpen() const { return m_open; }
    FSocketSystem::Handle socket() const { return m_socket; }
    FNetworkError lastError() const { return m_lastError; }
    void setLastError(FNetworkError error) { m_lastError = error; }
    const FNetworkAddress& localAddress() const { return m_localAddress; }
    const FNetworkAddress& peerAddress() const { return m_peerAddress; }
    int32_t receiveTimeout() const { return m_receiveTimeout; }
    void setReceiveTimeout(int32_t milliseconds) { m_receiveTimeout = milliseconds; }
    // The time one send may take in all; k_noTimeout waits as long as needed.
    int32_t sendTimeout() const { return m_sendTimeout; }
    void setSendTimeout(int32_t milliseconds) { m_sendTimeout = milliseconds; }
    // True once a receive found the connection closed by the peer.
    bool peerClosed() const { return m_peerClosed; }

    // An end point over a socket that accept gave (already open).
    FNetworkEndPoint(FSocketSystem& sockets, FSocketSystem::Handle accepted);

private:
    void fail(const FSocketFailure& failure);
    bool notOpen();

    FSocketSystem& m_sockets;
    bool m_open = false;
    FSocketSystem::Handle m_socket = FSocketSystem::k_noSocket;
    FNetworkError m_lastError = k_netNoError;
    FNetworkAddress m_localAddress;
    FNetworkAddress m_peerAddress;
    int32_t m_receiveTimeout = k_noTimeout;
    int32_t m_sendTimeout = k_noTimeout;
    bool m_peerClosed = false;
};
