#include "net/FDebugChannelModule.h"

#include "core/FApplication.h"
#include "core/FLogChannel.h"
#include "core/FLogStream.h"
#include "net/FNetworkAddress.h"
#include "net/FNetworkEndPoint.h"

#include <sstream>

namespace {

constexpr std::u16string_view k_debugSwitch = u"/debug:";

FAppListener** debugChannelSlot()
{
    FApplication* application = FApplication::instance();
    return application ? application->serviceSlot(k_slotDebugChannel) : nullptr;
}

bool isBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\t' || unit == u'\n' || unit == u'\r' || unit == u'\v' || unit == u'\f';
}

} // namespace

FDebugChannelModule::FDebugChannelModule(FSocketSystem& sockets, const FRefT<FString>& commandLine,
                                         int32_t sendTimeoutMs)
    : m_service(std::make_unique<Service>(*this))
{
    if (commandLine.get() == nullptr) return;
    const FString host = hostFromCommandLine(*commandLine);
    if (!host.empty()) connect(sockets, host, sendTimeoutMs);
}

FDebugChannelModule::~FDebugChannelModule()
{
    // Log lines reach the channel under the log lock: taking it makes sure
    // none is being sent while the channel leaves its slot.
    if (FApplication* application = FApplication::instance()) {
        FMutexLock guard(application->logLock());
        m_service.reset();
    }
    m_service.reset();
    std::lock_guard<std::mutex> guard(m_sendLock);
    m_endPoint.reset();
}

void FDebugChannelModule::connect(FSocketSystem& sockets, const FString& host, int32_t sendTimeoutMs)
{
    const FNetworkAddress address(sockets, makeSharedStringCopy(host), k_port);
    if (!address.isValid()) return;
    auto endPoint = std::make_unique<FNetworkEndPoint>(sockets);
    if (!endPoint->connect(address)) return;
    endPoint->setSendTimeout(sendTimeoutMs);
    {
        std::lock_guard<std::mutex> guard(m_sendLock);
        m_endPoint = std::move(endPoint);
    }
    // The viewer learns every channel, last registered first, then the end of the list.
    for (const FLogChannel* channel = FLogChannel::first(); channel != nullptr; channel = channel->next)
        m_service->logType(channel->name);
    m_service->logType("");
}

bool FDebugChannelModule::isConnected() const
{
    std::lock_guard<std::mutex> guard(m_sendLock);
    return m_endPoint != nullptr;
}

FString FDebugChannelModule::hostFromCommandLine(const FString& commandLine)
{
    std::u16string_view rest = commandLine.view();
    if (rest.substr(0, k_debugSwitch.size()) != k_debugSwitch) return FString();
    rest.remove_prefix(k_debugSwitch.size());
    // A value with blanks arrives in double quotes.
    if (!rest.empty() && rest.front() == u'"') {
        rest.remove_prefix(1);
        return FString(rest.substr(0, rest.find(u'"')));
    }
    std::size_t end = 0;
    while (end < rest.size() && !isBlank(rest[end]))
        ++end;
    return FString(rest.substr(0, end));
}

std::string FDebugChannelModule::composeMessage(std::string_view name,
                                                std::initializer_list<std::string_view> fields)
{
    std::string message(name);
    message += '&';
    for (std::string_view field : fields) {
        message += field;
        message += '&';
    }
    message += '\0';
    return message;
}

std::string FDebugChannelModule::objectText(const void* object)
{
    std::ostringstream text;
    text << object;
    return text.str();
}

void FDebugChannelModule::send(const std::string& message)
{
    const char* lost = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_sendLock);
        if (m_endPoint == nullptr) return;
        if (m_endPoint->send(message.data(), message.size()) == static_cast<int64_t>(message.size())) return;
        lost =
            m_endPoint->lastError() == k_netTimedOut ? "the viewer stopped reading" : "the connection failed";
        m_endPoint.reset();
    }
    // Told after the send lock is let go: this line comes back here while the
    // channel is closed, and goes to the process log.
    ZIBBO_LOG(k_logRelease, false) << "Debug channel closed: " << lost << ".";
}

FDebugChannelModule::Service::Service(FDebugChannelModule& owner)
    : FDebugChannelService(debugChannelSlot()), m_owner(owner)
{
}

void FDebugChannelModule::Service::send(std::string_view name, std::initializer_list<std::string_view> fields)
{
    {
        std::lock_guard<std::mutex> guard(m_owner.m_sendLock);
        if (m_owner.m_endPoint == nullptr) return;
    }
    m_owner.send(composeMessage(name, fields));
}

void FDebugChannelModule::Service::logLine(const char* channel, const char* text)
{
    send("MSG_LOG", {channel, text});
}

void FDebugChannelModule::Service::logType(const char* channel)
{
    send("MSG_LOG_TYPE", {channel});
}

void FDebugChannelModule::Service::ramAllocation(const void* block, uint32_t size)
{
    send("MSG_RAM_ALLOCATION", {objectText(block), std::to_string(size)});
}

void FDebugChannelModule::Service::ramDeallocation(const void* block)
{
    send("MSG_RAM_DEALLOCATION", {objectText(block)});
}

void FDebugChannelModule::Service::framesPerSecond(int fps)
{
    send("MSG_FPS", {std::to_string(fps)});
}

void FDebugChannelModule::Service::vramAllocation(int a, int b, int c)
{
    send("MSG_VRAM_ALLOCATION", {std::to_string(a), std::to_string(b), std::to_string(c)});
}

void FDebugChannelModule::Service::vramDeallocation(int a)
{
    send("MSG_VRAM_DEALLOCATION", {std::to_string(a)});
}

void FDebugChannelModule::Service::clearWidgets()
{
    send("MSG_CLEAR_WIDGETS", {});
}

void FDebugChannelModule::Service::addWidget(const void* parent, const void* widget, const char* description)
{
    send("MSG_ADD_WIDGET",
         {objectText(parent), objectText(widget), description != nullptr ? description : ""});
}

void FDebugChannelModule::Service::reparentWidget(const void* widget, const void* parent)
{
    send("MSG_REPARENT_WIDGET", {objectText(widget), objectText(parent)});
}

void FDebugChannelModule::Service::assetNew(const void* asset)
{
    send("MSG_ASSET_NEW", {objectText(asset)});
}

void FDebugChannelModule::Service::assetName(const void* asset)
{
    const std::string id = objectText(asset);
    send("MSG_ASSET_NAME", {id, id});
}

void FDebugChannelModule::Service::assetType(const void* asset)
{
    send("MSG_ASSET_TYPE", {objectText(asset), "FAsset"});
}

void FDebugChannelModule::Service::assetState(const void* asset, int state)
{
    send("MSG_ASSET_STATE", {objectText(asset), std::to_string(state)});
}

void FDebugChannelModule::Service::assetDelete(const void* asset)
{
    send("MSG_ASSET_DELETE", {objectText(asset)});
}
