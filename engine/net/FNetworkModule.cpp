#include "net/FNetworkModule.h"

#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FLogStream.h"
#include "net/FHttpClient.h"
#include "net/FNetworkClientConnector.h"
#include "net/FNetworkEndPoint.h"
#include "net/FNetworkNotificationListener.h"

#include <vector>

namespace {

FAppListener** networkSlot()
{
    FApplication* application = FApplication::instance();
    return application ? application->serviceSlot(k_slotNetwork) : nullptr;
}

} // namespace

FNetworkModule::Service::Service(FNetworkModule& owner) : FNetworkService(networkSlot()), m_owner(owner) {}

FNetworkModule::FNetworkModule(FSocketSystem& sockets)
    : FThreadedModule(k_untimed), m_sockets(sockets), m_service(*this)
{
}

FNetworkModule::~FNetworkModule()
{
    std::map<const void*, Entry> registry;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        registry.swap(m_registry);
    }
    // Handles held by users stay valid; their objects are closed.
    for (auto& [object, entry] : registry) {
        if (entry.kind == k_kindHttpClient)
            entry.handle.as<FHttpClient>()->close();
        else if (entry.kind == k_kindConnector)
            entry.handle.as<FNetworkClientConnector>()->close();
        else
            entry.handle.as<FNetworkEndPoint>()->close();
    }
}

void FNetworkModule::add(const FRef& handle, Kind kind)
{
    if (handle.get() == nullptr) return;
    std::lock_guard<std::mutex> guard(m_lock);
    m_registry[handle.get()] = Entry{kind, handle};
}

bool FNetworkModule::remove(const void* object)
{
    FRef released;
    std::lock_guard<std::mutex> guard(m_lock);
    auto found = m_registry.find(object);
    if (found == m_registry.end()) return false;
    // The object may go with this reference; that happens after the lock is let go.
    released = found->second.handle;
    m_registry.erase(found);
    return true;
}

FRefT<FHttpClient> FNetworkModule::createHttpClient(int32_t httpVersion, int32_t port)
{
    FRefT<FHttpClient> client = makeRef(engineNew<FHttpClient>(k_memObject, m_sockets, httpVersion, port));
    add(client, k_kindHttpClient);
    return client;
}

void FNetworkModule::releaseHttpClient(FRefT<FHttpClient> client)
{
    if (!remove(client.get())) {
        ZIBBO_LOG(k_logDefault, true) << "Couldn't find the HttpClient to release";
    }
}

FRefT<FNetworkClientConnector> FNetworkModule::createClientConnector()
{
    FRefT<FNetworkClientConnector> connector =
        makeRef(engineNew<FNetworkClientConnector>(k_memObject, m_sockets));
    add(connector, k_kindConnector);
    return connector;
}

FRefT<FNetworkEndPoint> FNetworkModule::createEndPoint()
{
    FRefT<FNetworkEndPoint> endPoint = makeRef(engineNew<FNetworkEndPoint>(k_memObject, m_sockets));
    add(endPoint, k_kindEndPoint);
    return endPoint;
}

std::size_t FNetworkModule::registeredCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_registry.size();
}

bool FNetworkModule::isRegistered(const void* object) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_registry.count(object) != 0;
}

void FNetworkModule::postHttpGet(FHttpClient* client, FRefT<FString> host, FRefT<FString> path)
{
    FRef keep;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_registry.find(client);
        if (found != m_registry.end()) keep = found->second.handle;
    }
    if (keep.get() == nullptr) {
        // Only a registered client is sure to live until its job has run.
        ZIBBO_LOG(k_logNetworkHttp, true) << "GET asked of an unknown HttpClient";
        if (auto* listener = findService<FNetworkNotificationListener>(k_slotNetworkNotifications))
            listener->requestFailed(client, FHttpClient::k_failConnectOrSend);
        return;
    }
    postAction(makeAction<FAction3<FNetworkModule, FRef, FRefT<FString>, FRefT<FString>>>(
        this, &FNetworkModule::httpGet, keep, host, path));
}

void FNetworkModule::httpGet(FAction&, FRef* client, FRefT<FString>* host, FRefT<FString>* path)
{
    if (auto* target = client->as<FHttpClient>()) target->runGet(*host, *path);
}

void FNetworkModule::postUnregister(FRef handle)
{
    postAction(makeAction<FAction1<FNetworkModule, FRef>>(this, &FNetworkModule::unregister, handle));
}

void FNetworkModule::unregister(FAction&, FRef* handle)
{
    remove(handle->get());
    handle->release();
}
