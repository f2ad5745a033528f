#include "platform/FHandOverSender.h"

#include "platform/FHandOverRecord.h"

FHandOverSender::Result FHandOverSender::send(const std::string& socketName,
                                              const std::vector<std::uint8_t>& record, std::int32_t& reply,
                                              const FUnixSocket::PeerUserLookup& peerUser)
{
    const FUnixSocket socket = FUnixSocket::connectTo(socketName);
    if (!socket.isValid()) return Result::nobodyListening;
    if (!socket.peerIsSameUser(peerUser)) return Result::foreignListener;
    socket.setTimeout(k_replyTimeoutMs);
    if (socket.writeAll(record.data(), record.size()) != FUnixSocket::Io::ok) return Result::noReply;
    std::uint8_t bytes[4];
    if (socket.readExact(bytes, sizeof bytes) != FUnixSocket::Io::ok) return Result::noReply;
    reply = static_cast<std::int32_t>(FHandOverRecord::getU32(bytes));
    return Result::replied;
}
