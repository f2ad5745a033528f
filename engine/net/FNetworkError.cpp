#include "net/FNetworkError.h"

#include "core/FLogStream.h"

FNetworkError logSocketError(const FSocketFailure& failure)
{
    ZIBBO_LOG(k_logNetworkRaw, true) << "System error " << failure.systemCode << " happened on network.";
    ZIBBO_LOG(k_logNetworkSmartRaw, true)
        << "Error " << static_cast<int>(failure.code) << " happened on network.";
    return failure.code;
}
