#pragma once

// A one-connection HTTP server on 127.0.0.1 for the client tests: it takes
// one request (header, and a body as long as its Content-Length says), then
// writes the scripted reply pieces with a pause between them, and then closes
// or keeps the connection open without a word until it is destroyed.

#include "Loopback.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class HttpPeer
{
public:
    explicit HttpPeer(std::vector<std::string> pieces, bool closeAfter = true, int pauseMs = 0,
                      int requests = 1)
        : m_listener(loopback::listenOn(0)), m_pieces(std::move(pieces)), m_closeAfter(closeAfter),
          m_pauseMs(pauseMs)
    {
        m_port = loopback::portOf(m_listener.get());
        m_thread = std::thread([this, requests] {
            for (int i = 0; i < requests && !m_stop; ++i)
                serveOne();
        });
    }
    ~HttpPeer()
    {
        m_stop = true;
        m_thread.join();
    }
    HttpPeer(const HttpPeer&) = delete;
    HttpPeer& operator=(const HttpPeer&) = delete;

    int port() const { return m_port; }
    // Every request received so far, in order.
    std::vector<std::string> requests()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_requests;
    }

private:
    void serveOne()
    {
        loopback::Fd connection(loopback::acceptOne(m_listener.get(), 5000));
        if (connection.get() < 0) return;
        std::string request;
        if (loopback::readUntil(connection.get(), request, "\r\n\r\n", 5000)) {
            const std::size_t headerEnd = request.find("\r\n\r\n") + 4;
            const std::size_t length = declaredLength(request.substr(0, headerEnd));
            loopback::readAtLeast(connection.get(), request, headerEnd + length, 5000);
        }
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_requests.push_back(request);
        }
        for (const std::string& piece : m_pieces) {
            loopback::writeAll(connection.get(), piece);
            if (m_pauseMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(m_pauseMs));
        }
        if (m_closeAfter) return;
        // Silent until the test is done with it (bounded all the same).
        for (int i = 0; i < 1000 && !m_stop; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    static std::size_t declaredLength(const std::string& header)
    {
        const std::size_t at = header.find("Content-Length: ");
        return at == std::string::npos ? 0 : std::strtoul(header.c_str() + at + 16, nullptr, 10);
    }

    loopback::Fd m_listener;
    int m_port = 0;
    std::vector<std::string> m_pieces;
    bool m_closeAfter;
    int m_pauseMs;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
