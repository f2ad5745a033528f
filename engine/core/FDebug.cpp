#include "core/FDebug.h"

namespace FDebug {

wruntime_error::wruntime_error(const std::string& message)
    : std::runtime_error(message.size() > k_maxMessageLength ? message.substr(0, k_maxMessageLength)
                                                             : message)
{
}

} // namespace FDebug
