#include "platform/FHandOverListener.h"

#include "core/FLogStream.h"
#include "platform/FHandOverRecord.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
// Anything on this machine can connect: a bad record is worth a line in
// every build, and costs nothing more.
void reportDropped(const std::string& why)
{
    ZIBBO_LOG(k_logRelease, false) << "Dropped a hand-over record: " << why.c_str();
}
} // namespace

FHandOverListener::FHandOverListener(Receiver receiver, FUnixSocket::PeerUserLookup peerUser)
    : m_receiver(std::move(receiver)), m_peerUser(std::move(peerUser))
{
}

FHandOverListener::~FHandOverListener()
{
    stop();
}

bool FHandOverListener::start(const std::string& socketName)
{
    if (isRunning()) return true;
    m_socket = FUnixSocket::listenOn(socketName);
    if (!m_socket.isValid()) return false;
    int wake[2];
    if (pipe2(wake, O_CLOEXEC) != 0) {
        m_socket.close();
        return false;
    }
    m_wakeRead = wake[0];
    m_wakeWrite = wake[1];
    m_thread = std::thread(&FHandOverListener::run, this);
    return true;
}

void FHandOverListener::stop()
{
    if (m_thread.joinable()) {
        const char byte = 0;
        while (write(m_wakeWrite, &byte, 1) < 0 && errno == EINTR) {
        }
        m_thread.join();
    }
    if (m_wakeRead >= 0) close(m_wakeRead);
    if (m_wakeWrite >= 0) close(m_wakeWrite);
    m_wakeRead = m_wakeWrite = -1;
    m_socket.close();
}

void FHandOverListener::run()
{
    for (;;) {
        pollfd waitFor[2] = {{m_wakeRead, POLLIN, 0}, {m_socket.fd(), POLLIN, 0}};
        if (poll(waitFor, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (waitFor[0].revents != 0) return;
        if (waitFor[1].revents & POLLIN) {
            FUnixSocket client = m_socket.accept(0);
            if (client.isValid()) serve(client);
        }
    }
}

void FHandOverListener::serve(const FUnixSocket& client)
{
    // A sender that stalls must not hold up the senders behind it.
    client.setTimeout(k_readTimeoutMs);

    if (!client.peerIsSameUser(m_peerUser)) return reportDropped("sender of another user");

    std::uint8_t header[FHandOverRecord::k_headerBytes];
    if (client.readExact(header, sizeof header) != FUnixSocket::Io::ok)
        return reportDropped("truncated header");
    FHandOverRecord record;
    std::string why = FHandOverRecord::parseHeader(header, record);
    if (!why.empty()) return reportDropped(why);

    std::vector<std::uint8_t> data(record.dataBytes);
    if (client.readExact(data.data(), data.size()) != FUnixSocket::Io::ok)
        return reportDropped("truncated text");
    std::u16string text;
    why = FHandOverRecord::parseCommandLine(data, text);
    if (!why.empty()) return reportDropped(why);

    std::vector<std::uint8_t> reply;
    FHandOverRecord::putU32(reply, m_receiver(std::move(text)) ? 0 : 1);
    client.writeAll(reply.data(), reply.size());
}
