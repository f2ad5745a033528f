#pragma once

// Streams the log, widget trees and asset events to a remote viewer when the
// program starts with "/debug:<host>" as its first argument: one TCP
// connection to the host's port 11111, decided once at construction and
// never read from. Each message is its text followed by one zero byte.
//
// Log lines arrive under the log lock, so a viewer that stops reading must
// not hold every logging thread: a message that cannot go out within the send
// time-out closes the channel, and the log says so once.

#include "core/FModule.h"
#include "core/FRef.h"
#include "core/FString.h"
#include "net/FDebugChannelService.h"

#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class FNetworkEndPoint;
class FSocketSystem;

class FDebugChannelModule : public FModule
{
public:
    static constexpr int k_priority = 2;
    static constexpr int k_port = 11111;
    static constexpr int32_t k_sendTimeoutMs = 250;

    FDebugChannelModule(FSocketSystem& sockets, const FRefT<FString>& commandLine,
                        int32_t sendTimeoutMs = k_sendTimeoutMs);
    ~FDebugChannelModule() override;

    int priority() const override { return k_priority; }

    bool isConnected() const;
    FDebugChannelService& service() { return *m_service; }

    // The host named by a first argument "/debug:<host>" (case as written),
    // or empty text.
    static FString hostFromCommandLine(const FString& commandLine);
    // "NAME&field&...&" and the zero byte.
    static std::string composeMessage(std::string_view name, std::initializer_list<std::string_view> fields);
    // The text that identifies an object in messages.
    static std::string objectText(const void* object);

private:
    class Service final : public FDebugChannelService
    {
    public:
        explicit Service(FDebugChannelModule& owner);
        void logLine(const char* channel, const char* text) override;
        void logType(const char* channel) override;
        void ramAllocation(const void* block, uint32_t size) override;
        void ramDeallocation(const void* block) override;
        void framesPerSecond(int fps) override;
        void vramAllocation(int a, int b, int c) override;
        void vramDeallocation(int a) override;
        void clearWidgets() override;
        void addWidget(const void* parent, const void* widget, const char* description) override;
        void reparentWidget(const void* widget, const void* parent) override;
        void assetNew(const void* asset) override;
        void assetName(const void* asset) override;
        void assetType(const void* asset) override;
        void assetState(const void* asset, int state) override;
        void assetDelete(const void* asset) override;

    private:
        void send(std::string_view name, std::initializer_list<std::string_view> fields);

        FDebugChannelModule& m_owner;
    };

    void connect(FSocketSystem& sockets, const FString& host, int32_t sendTimeoutMs);
    void send(const std::string& message);

    // Whole messages go out one at a time, whichever thread sends them.
    mutable std::mutex m_sendLock;
    std::unique_ptr<FNetworkEndPoint> m_endPoint;
    std::unique_ptr<Service> m_service;
};
