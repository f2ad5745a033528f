#include "net/FNetworkClientConnector.h"

#include "core/FLogStream.h"
#include "core/FStringStream.h"
#include "io/FBlockStreambuf.h"
#include "io/FInStream.h"
#include "io/FOutStream.h"

#include <algorithm>
#include <cstring>

namespace {

} // namespace

FNetworkClientConnector::FNetworkClientConnector(FSocketSystem& sockets)
    : m_sockets(sockets), m_endPoint(sockets)
{
    if (m_endPoint.isOpen())
        m_ready = true;
    else
        close();
}

FNetworkClientConnector::~FNetworkClientConnector()
{
    close();
}

bool FNetworkClientConnector::connect(const FNetworkAddress& address)
{
    m_address = address.copy();
    m_activity = k_connecting;
    const FString host = address.hostPortText();
    for (int32_t attempt = 1; attempt <= m_maxConnectionAttempts; ++attempt) {
        ZIBBO_LOG(k_logNetworkSmartRaw, true)
            << "Attempting a new connection to host " << host << " (" << attempt << ").";
        if (m_endPoint.connect(address)) {
            m_activity = k_idle;
            ZIBBO_LOG(k_logNetworkSmartRaw, true)
                << "Connection established properly to host " << host << ".";
            return true;
        }
        logSocketFailure();
    }
    ZIBBO_LOG(k_logNetworkSmartRaw, true)
        << "Maximum number of connection attempts to host " << host << " reached. Giving up.";
    m_failedActivity = k_connecting;
    m_activity = k_idle;
    return false;
}

bool FNetworkClientConnector::sendStream(FInStream& stream)
{
    const int64_t size = stream.remaining();
    std::vector<char> bytes(static_cast<std::size_t>(std::max<int64_t>(size, 0)));
    if (!bytes.empty()) stream.read(bytes.data(), size);
    return sendBuffer(bytes.data(), static_cast<std::size_t>(bytes.empty() ? 0 : stream.gcount()));
}

bool FNetworkClientConnector::sendBuffer(const void* bytes, std::size_t length)
{
    m_activity = k_sending;
    for (int32_t attempt = 0; attempt < m_maxSendAttempts; ++attempt) {
        if (sendPart(bytes, length)) {
            m_activity = k_idle;
            ZIBBO_LOG(k_logNetworkSmartRaw, true)
                << "Sent complete buffer of " << length << " bytes properly.";
            return true;
        }
        logSocketFailure();
    }
    m_failedActivity = k_sending;
    m_activity = k_idle;
    return false;
}

bool FNetworkClientConnector::sendPart(const void* bytes, std::size_t length)
{
    if (length == 0) return true;
    // The end point repeats partial sends itself until all bytes are gone.
    if (m_endPoint.send(bytes, length) < 0) return false;
    ZIBBO_LOG(k_logNetworkSmartRaw, true) << "Sent " << length << " bytes properly.";
    return true;
}

void FNetworkClientConnector::queuePacket(const void* bytes, std::size_t size)
{
    const auto* first = static_cast<const unsigned char*>(bytes);
    m_packets.emplace_back(first, first + size);
    m_queuedBytes += static_cast<int32_t>(size);
}

bool FNetworkClientConnector::receivePacket(uint32_t wanted, int32_t* budgetMs)
{
    m_wantedSize = wanted;
    m_readEnded = false;
    if (static_cast<int64_t>(m_queuedBytes) >= static_cast<int64_t>(wanted)) return true;
    m_activity = k_receiving;
    const int64_t start = m_sockets.nowMs();
    const int32_t initial = *budgetMs;
    std::vector<unsigned char> chunk(k_chunkSize);
    while (*budgetMs > 0 && static_cast<int64_t>(m_queuedBytes) < static_cast<int64_t>(wanted)) {
        m_endPoint.setReceiveTimeout(*budgetMs);
        const int64_t received = m_endPoint.receive(chunk.data(), chunk.size());
        if (received < 0) {
            // A broken connection delivers nothing more within any budget.
            logSocketFailure();
            m_readEnded = true;
        } else if (received > 0) {
            queuePacket(chunk.data(), static_cast<std::size_t>(received));
            ZIBBO_LOG(k_logNetworkSmartRaw, true) << "Received packet of " << received << " bytes.";
        } else if (m_endPoint.peerClosed()) {
            // The peer closed: nothing more will come.
            m_readEnded = true;
        }
        const int64_t elapsed = m_sockets.nowMs() - start;
        *budgetMs = static_cast<int32_t>(std::max<int64_t>(initial - elapsed, 0));
        if (m_readEnded) break;
    }
    m_activity = k_idle;
    return static_cast<int64_t>(m_queuedBytes) >= static_cast<int64_t>(wanted);
}

int64_t FNetworkClientConnector::readUserData(FOutStream& stream, bool force)
{
    FRefT<FInStream> buffer;
    uint32_t count = 0;
    flushUserBuffer(buffer, force, &count);
    if (count == 0 || buffer.get() == nullptr) return 0;
    std::vector<char> bytes(count);
    buffer->read(bytes.data(), count);
    stream.write(bytes.data(), count);
    return count;
}

void FNetworkClientConnector::flushUserBuffer(FRefT<FInStream>& result, bool force, uint32_t* count)
{
    if (force) {
        const auto all = static_cast<uint32_t>(m_queuedBytes);
        if (count != nullptr) *count = all;
        ZIBBO_LOG(k_logNetworkSmartRaw, true) << "Forcing dumping of all user buffer data.";
        result = buildUserBuffer(all);
        return;
    }
    if (static_cast<int64_t>(m_queuedBytes) < static_cast<int64_t>(m_wantedSize)) {
        if (count != nullptr) *count = 0;
        ZIBBO_LOG(k_logNetworkSmartRaw, true) << "Not enough data received to fill a complete user buffer.";
        result = FRefT<FInStream>();
        return;
    }
    if (count != nullptr) *count = m_wantedSize;
    ZIBBO_LOG(k_logNetworkSmartRaw, true) << "Enough data was received to fill a complete user buffer.";
    result = buildUserBuffer(m_wantedSize);
}

FRefT<FInStream> FNetworkClientConnector::buildUserBuffer(uint32_t size)
{
    ZIBBO_LOG(k_logNetworkSmartRaw, true) << "Building user data buffer of " << size << " bytes.";
    std::vector<unsigned char> bytes(size);
    std::size_t copied = 0;
    while (copied < size && !m_packets.empty()) {
        std::vector<unsigned char>& oldest = m_packets.front();
        const std::size_t available = oldest.size() - m_frontOffset;
        const std::size_t taken = std::min(available, size - copied);
        std::memcpy(bytes.data() + copied, oldest.data() + m_frontOffset, taken);
        copied += taken;
        m_queuedBytes -= static_cast<int32_t>(taken);
        if (taken == available) {
            m_packets.pop_front();
            m_frontOffset = 0;
        } else {
            m_frontOffset += taken;
        }
        ZIBBO_LOG(k_logNetworkSmartRaw, true)
            << "Number of internal packet queued left: " << m_packets.size();
    }
    ZIBBO_LOG(k_logNetworkSmartRaw, true) << "User buffer built.";
    return FBlockStreambuf::openCopy(bytes.data(), copied);
}

void FNetworkClientConnector::close()
{
    m_ready = false;
    m_activity = k_idle;
    m_endPoint.close();
}

bool FNetworkClientConnector::logSocketFailure()
{
    const char* text = nullptr;
    switch (m_endPoint.lastError()) {
    case k_netNoMemory:
    case k_netTooManySockets:
    case k_netNoBuffers:
        text = "System error in sockets.";
        break;
    case k_netAddressInUse:
    case k_netAddressNotAvailable:
    case k_netNoError:
        break;
    case k_netNetworkDown:
        text = "Network is down.";
        break;
    case k_netNetworkUnreachable:
        text = "Network is unreachable.";
        break;
    case k_netNetworkReset:
    case k_netConnectionAborted:
    case k_netConnectionReset:
    case k_netTimedOut:
        // The connection is broken: a fresh socket lets the next attempt reach the host.
        m_endPoint.close();
        if (m_endPoint.open()) return true;
        text = "Error re-initializing the network.";
        break;
    case k_netConnectionRefused:
        text = "Remote host refused the connection.";
        break;
    case k_netHostDown:
        text = "Remote host is down, try again later.";
        break;
    case k_netHostUnreachable:
        text = "No route to host.";
        break;
    case k_netHostNotFound:
        text = "Host name is unknown.";
        break;
    case k_netNotInitialised:
        text = "Network not initialized.";
        break;
    default:
        text = "Unknown socket error";
        break;
    }
    if (text != nullptr) {
        ZIBBO_LOG(k_logNetworkSmartRaw, true) << text;
    }
    return false;
}
