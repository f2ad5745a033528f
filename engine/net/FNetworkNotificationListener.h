#pragma once

// The listener in the application's network-notification slot (20): told of
// every HTTP client's outcome, on the thread that finished the work.

#include "core/FAppListener.h"
#include "core/FRef.h"

#include <cstdint>

class FHttpClient;
class FInStream;

class FNetworkNotificationListener : public FAppListener
{
public:
    using FAppListener::FAppListener;

    // A request failed: one of FHttpClient's failure codes, or the HTTP
    // status of a final reply other than 200.
    virtual void requestFailed(FHttpClient* client, int32_t code) = 0;
    virtual void getSent(FHttpClient* client) = 0;
    // A complete reply body, as a read stream over its bytes.
    virtual void replyReceived(FHttpClient* client, FRefT<FInStream> body) = 0;
    virtual void postSent(FHttpClient* client) = 0;
    // A GET job ended with a clean disconnection.
    virtual void getDisconnected(FHttpClient* client) = 0;
};
