#include "core/FLogChannel.h"

#include <cstring>

const FLogChannel* FLogChannel::first() noexcept
{
    return k_logChannelList;
}

const FLogChannel* FLogChannel::find(const char* name) noexcept
{
    if (name == nullptr) {
        return nullptr;
    }
    for (const FLogChannel* channel = k_logChannelList; channel != nullptr; channel = channel->next) {
        if (std::strcmp(channel->name, name) == 0) {
            return channel;
        }
    }
    return nullptr;
}
