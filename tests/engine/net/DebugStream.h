#pragma once

// What a debug-channel viewer sees: zero-terminated messages.

#include "core/FLogChannel.h"

#include <string>
#include <vector>

// The messages of a recorded stream; a last message without its zero byte is
// kept with the marker "<unterminated>" so that a check can see it.
inline std::vector<std::string> splitMessages(const std::string& stream)
{
    std::vector<std::string> messages;
    std::size_t start = 0;
    for (std::size_t zero = stream.find('\0'); zero != std::string::npos; zero = stream.find('\0', start)) {
        messages.push_back(stream.substr(start, zero - start));
        start = zero + 1;
    }
    if (start < stream.size()) messages.push_back("<unterminated>" + stream.substr(start));
    return messages;
}

// The greeting of a connected channel: every log channel, last registered
// first, then the empty name.
inline std::vector<std::string> channelGreeting()
{
    std::vector<std::string> messages;
    for (const FLogChannel* channel = FLogChannel::first(); channel != nullptr; channel = channel->next)
        messages.push_back(std::string("MSG_LOG_TYPE&") + channel->name + "&");
    messages.push_back("MSG_LOG_TYPE&&");
    return messages;
}
