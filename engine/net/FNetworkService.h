#pragma once

// The network module's interface in service slot 19: it makes the network
// objects, keeps them until they are released, and runs HTTP GET jobs on its
// own thread.

#include "core/FAppListener.h"
#include "core/FRef.h"
#include "core/FString.h"

#include <cstdint>

class FHttpClient;
class FNetworkClientConnector;
class FNetworkEndPoint;

class FNetworkService : public FAppListener
{
public:
    using FAppListener::FAppListener;

    virtual FRefT<FHttpClient> createHttpClient(int32_t httpVersion, int32_t port) = 0;
    virtual void releaseHttpClient(FRefT<FHttpClient> client) = 0;
    virtual FRefT<FNetworkClientConnector> createClientConnector() = 0;
    virtual FRefT<FNetworkEndPoint> createEndPoint() = 0;
    // Runs the client's GET of `path` on `host` on the network thread.
    virtual void postHttpGet(FHttpClient* client, FRefT<FString> host, FRefT<FString> path) = 0;
    // Forgets the handle's object on the network thread.
    virtual void postUnregister(FRef handle) = 0;
};
