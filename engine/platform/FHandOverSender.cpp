#include "platform/FHandOverSender.h"

#include "platform/FUnixSocket.h"

FHandOverSender::Result FHandOverSender::send(const std::string& socketName,
                                              const std::vector<std::uint8_t>& record, std::int32_t& reply)
{
    const FUnixSocket socket = FUnixSocket::connectTo(socketName);
    if (!socket.isValid()) return Result::nobodyListening;
    socket.setTimeout(k_replyTimeoutMs);
    if (socket.writeAll(record.data(), record.size()) != FUnixSocket::Io::ok) return Result::noReply;
    std::uint8_t bytes[4];
    if (socket.readExact(bytes, sizeof bytes) != FUnixSocket::Io::ok) return Result::noReply;
    reply = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
    return Result::replied;
}
