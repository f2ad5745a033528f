#pragma once

#include "platform/FUnixSocket.h"

#include <functional>
#include <string>
#include <thread>

// The running copy's end of the hand-over: a thread that accepts second
// copies on the instance socket, checks each record (sender of the same user,
// known kind, bounded and terminated text) and hands the command line to the
// receiver. The receiver runs on the listener thread; it answers whether it
// took the text, which becomes the reply to the sender (0 taken, 1 not).
// Bad records are logged and dropped without a reply.
class FHandOverListener
{
public:
    using Receiver = std::function<bool(std::u16string&& commandLine)>;

    static constexpr int k_readTimeoutMs = 2000;

    explicit FHandOverListener(Receiver receiver, FUnixSocket::PeerUserLookup peerUser = {});
    ~FHandOverListener();
    FHandOverListener(const FHandOverListener&) = delete;
    FHandOverListener& operator=(const FHandOverListener&) = delete;

    // Binds the name and starts the thread; false when the name is taken.
    bool start(const std::string& socketName);
    void stop();
    bool isRunning() const { return m_thread.joinable(); }

private:
    void run();
    void serve(const FUnixSocket& client);

    Receiver m_receiver;
    FUnixSocket::PeerUserLookup m_peerUser;
    FUnixSocket m_socket;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::thread m_thread;
};
