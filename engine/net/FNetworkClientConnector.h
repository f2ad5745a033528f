#pragma once

// The client side of a TCP conversation over one end point: bounded connect
// and send attempts, receiving into a queue of packets until a wanted byte
// count or a time budget is reached, and user buffers of exactly the wanted
// size cut from that queue. Bytes beyond a user buffer stay queued for the
// next one. One thread uses a connector at a time.

#include "core/FRef.h"
#include "net/FNetworkAddress.h"
#include "net/FNetworkEndPoint.h"

#include <cstdint>
#include <deque>
#include <vector>

class FInStream;
class FOutStream;

class FNetworkClientConnector
{
public:
    enum Activity : int32_t { k_connecting = 0, k_sending = 1, k_receiving = 2, k_idle = 3 };
    static constexpr int32_t k_chunkSize = 0x10000;

    explicit FNetworkClientConnector(FSocketSystem& sockets);
    virtual ~FNetworkClientConnector();
    FNetworkClientConnector(const FNetworkClientConnector&) = delete;
    FNetworkClientConnector& operator=(const FNetworkClientConnector&) = delete;

    virtual bool connect(const FNetworkAddress& address);
    virtual bool sendStream(FInStream& stream);
    virtual bool sendBuffer(const void* bytes, std::size_t length);
    // Receives until `wanted` bytes are queued, the budget (milliseconds,
    // updated to the time left) is spent, the peer closes or the socket
    // fails; true when `wanted` bytes are queued.
    virtual bool receivePacket(uint32_t wanted, int32_t* budgetMs);
    // Writes the next user buffer into `stream`; the count written.
    virtual int64_t readUserData(FOutStream& stream, bool force);
    // The next user buffer: with `force` every queued byte, otherwise exactly
    // the wanted size once that much is queued (an empty handle before).
    virtual void flushUserBuffer(FRefT<FInStream>& result, bool force, uint32_t* count);
    virtual void close();

    bool isReady() const { return m_ready; }
    int32_t activity() const { return m_activity; }
    int32_t failedActivity() const { return m_failedActivity; }
    FNetworkEndPoint& endPoint() { return m_endPoint; }
    void setMaxConnectionAttempts(int32_t attempts) { m_maxConnectionAttempts = attempts; }
    void setMaxSendAttempts(int32_t attempts) { m_maxSendAttempts = attempts; }
    uint32_t wantedSize() const { return m_wantedSize; }
    int32_t queuedBytes() const { return m_queuedBytes; }
    std::size_t packetCount() const { return m_packets.size(); }
    // True when the last receive ended because the peer closed or the socket failed.
    bool readEnded() const { return m_readEnded; }

    // Appends received bytes as one packet (the receive loop's own step).
    void queuePacket(const void* bytes, std::size_t size);

private:
    FRefT<FInStream> buildUserBuffer(uint32_t size);
    bool sendPart(const void* bytes, std::size_t length);
    bool logSocketFailure();

    FSocketSystem& m_sockets;
    bool m_ready = false;
    int32_t m_activity = k_idle;
    int32_t m_failedActivity = k_idle;
    FNetworkEndPoint m_endPoint;
    int32_t m_maxConnectionAttempts = 1;
    int32_t m_maxSendAttempts = 1;
    uint32_t m_wantedSize = 0;
    int32_t m_queuedBytes = 0;
    // Oldest first; the oldest may already have given out its first bytes.
    std::deque<std::vector<unsigned char>> m_packets;
    std::size_t m_frontOffset = 0;
    FRefT<FNetworkAddress> m_address;
    bool m_readEnded = false;
};
