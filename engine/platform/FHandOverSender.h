#pragma once

#include "platform/FUnixSocket.h"

#include <cstdint>
#include <string>
#include <vector>

// The second copy's end of the hand-over: one connection to the running copy's
// socket, one record out, one 32-bit reply back.
struct FHandOverSender
{
    enum class Result {
        nobodyListening,
        noReply, // connected, but the record was dropped or the reply did not come in time
        replied,
        // Another user holds the name: abstract socket names carry no
        // permissions, and the command line must not go to a stranger.
        foreignListener,
    };

    // The running copy answers as soon as it has queued the text; waiting
    // longer than this means it is stuck, and the caller counts a failed try.
    static constexpr int k_replyTimeoutMs = 5000;

    static Result send(const std::string& socketName, const std::vector<std::uint8_t>& record,
                       std::int32_t& reply, const FUnixSocket::PeerUserLookup& peerUser = {});
};
