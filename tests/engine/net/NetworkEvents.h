#pragma once

// Records what the HTTP clients tell the network-notification slot, from any
// thread, and lets a test wait (bounded) for a number of events.

#include "core/FApplication.h"
#include "io/FInStream.h"
#include "net/FNetworkNotificationListener.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

class NetworkEvents : public FNetworkNotificationListener
{
public:
    struct Event
    {
        std::string kind; // "failed", "getSent", "reply", "postSent", "disconnected"
        int32_t code = 0;
        std::string body;
        bool operator==(const Event&) const = default;
    };

    explicit NetworkEvents(FApplication& application)
        : FNetworkNotificationListener(application.serviceSlot(k_slotNetworkNotifications))
    {
    }

    void requestFailed(FHttpClient*, int32_t code) override { add({"failed", code, {}}); }
    void getSent(FHttpClient*) override { add({"getSent", 0, {}}); }
    void replyReceived(FHttpClient*, FRefT<FInStream> body) override
    {
        std::string bytes(static_cast<std::size_t>(body->remaining()), '\0');
        body->read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        add({"reply", 0, bytes});
    }
    void postSent(FHttpClient*) override { add({"postSent", 0, {}}); }
    void getDisconnected(FHttpClient*) override { add({"disconnected", 0, {}}); }

    // The events once `count` have arrived or 10 seconds have passed.
    std::vector<Event> waitFor(std::size_t count)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_arrived.wait_for(guard, std::chrono::seconds(10), [&] { return m_events.size() >= count; });
        return m_events;
    }
    std::vector<Event> take()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        std::vector<Event> events;
        events.swap(m_events);
        return events;
    }

private:
    void add(Event event)
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_events.push_back(std::move(event));
        m_arrived.notify_all();
    }

    std::mutex m_lock;
    std::condition_variable m_arrived;
    std::vector<Event> m_events;
};

inline void PrintTo(const NetworkEvents::Event& event, std::ostream* out)
{
    *out << "{" << event.kind << ", " << event.code << ", \"" << event.body << "\"}";
}
