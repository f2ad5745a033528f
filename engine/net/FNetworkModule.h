#pragma once

// The engine's TCP layer: makes the HTTP clients, client connectors and end
// points, keeps them in a registry until they are released (closing what is
// left when the module goes), and runs HTTP GET jobs on its own thread.

#include "core/FRef.h"
#include "core/FString.h"
#include "core/FThreadedModule.h"
#include "net/FNetworkService.h"

#include <cstddef>
#include <map>
#include <mutex>

class FAction;
class FSocketSystem;

class FNetworkModule : public FThreadedModule
{
public:
    static constexpr int k_priority = 7;
    enum Kind : int { k_kindHttpClient = 0, k_kindConnector = 1, k_kindEndPoint = 2 };

    explicit FNetworkModule(FSocketSystem& sockets);
    ~FNetworkModule() override;

    int priority() const override { return k_priority; }

    FRefT<FHttpClient> createHttpClient(int32_t httpVersion, int32_t port);
    void releaseHttpClient(FRefT<FHttpClient> client);
    FRefT<FNetworkClientConnector> createClientConnector();
    FRefT<FNetworkEndPoint> createEndPoint();
    void postHttpGet(FHttpClient* client, FRefT<FString> host, FRefT<FString> path);
    void postUnregister(FRef handle);

    // The registered objects (any thread).
    std::size_t registeredCount() const;
    bool isRegistered(const void* object) const;

private:
    class Service final : public FNetworkService
    {
    public:
        explicit Service(FNetworkModule& owner);
        FRefT<FHttpClient> createHttpClient(int32_t httpVersion, int32_t port) override
        {
            return m_owner.createHttpClient(httpVersion, port);
        }
        void releaseHttpClient(FRefT<FHttpClient> client) override { m_owner.releaseHttpClient(client); }
        FRefT<FNetworkClientConnector> createClientConnector() override
        {
            return m_owner.createClientConnector();
        }
        FRefT<FNetworkEndPoint> createEndPoint() override { return m_owner.createEndPoint(); }
        void postHttpGet(FHttpClient* client, FRefT<FString> host, FRefT<FString> path) override
        {
            m_owner.postHttpGet(client, host, path);
        }
        void postUnregister(FRef handle) override { m_owner.postUnregister(handle); }

    private:
        FNetworkModule& m_owner;
    };

    struct Entry
    {
        Kind kind;
        // The registry keeps its object alive, so closing it later is safe.
        FRef handle;
    };

    void add(const FRef& handle, Kind kind);
    // False when the object was not registered.
    bool remove(const void* object);
    void httpGet(FAction& action, FRef* client, FRefT<FString>* host, FRefT<FString>* path);
    void unregister(FAction& action, FRef* handle);

    FSocketSystem& m_sockets;
    Service m_service;
    // Changed by callers on their threads and by queued actions on the
    // network thread.
    mutable std::mutex m_lock;
    std::map<const void*, Entry> m_registry;
};
