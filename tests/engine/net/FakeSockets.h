#pragma once

// A scripted socket system: a clock the test moves, sends that move at most a
// set number of bytes per call, receives that hand out prepared chunks, and
// failures on demand. It records the calls the code under test makes.

#include "net/FSocketSystem.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

class FakeSockets : public FSocketSystem
{
public:
    // Names resolveHost knows; anything else is not found.
    std::vector<std::pair<std::string, uint32_t>> names;
    int lookUps = 0;
    int connects = 0;
    bool connectSucceeds = true;
    FSocketFailure connectFailure{111, k_netConnectionRefused};
    // Bytes one send call moves at most; -1 makes the next send fail.
    long sendStep = 1 << 20;
    std::string sent;
    int sendCalls = 0;
    // Each receive hands out the next chunk (an empty one reads as the peer
    // closing); with none left a receive waits out its time-out.
    std::deque<std::string> chunks;
    // Milliseconds each receive takes on the fake clock.
    int64_t receiveCost = 0;
    bool writable = true;
    std::vector<int> readWaits;
    int64_t now = 0;

    bool parseNumericHost(const char* text, uint32_t& address) override
    {
        unsigned a = 0, b = 0, c = 0, d = 0;
        char tail = 0;
        if (std::sscanf(text, "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) != 4) return false;
        const unsigned char bytes[4] = {static_cast<unsigned char>(a), static_cast<unsigned char>(b),
                                        static_cast<unsigned char>(c), static_cast<unsigned char>(d)};
        std::memcpy(&address, bytes, 4);
        return true;
    }
    bool resolveHost(const char* name, uint32_t& address, FSocketFailure& failure) override
    {
        ++lookUps;
        for (const auto& [known, value] : names) {
            if (known == name) {
                address = value;
                return true;
            }
        }
        failure = {-2, k_netHostNotFound};
        return false;
    }
    Handle open(FSocketFailure&) override { return 7; }
    bool close(Handle, FSocketFailure&) override { return true; }
    bool connect(Handle, const Address& to, FSocketFailure& failure) override
    {
        ++connects;
        lastConnect = to;
        if (!connectSucceeds) failure = connectFailure;
        return connectSucceeds;
    }
    bool bind(Handle, const Address&, FSocketFailure&) override { return true; }
    bool listen(Handle, int, FSocketFailure&) override { return true; }
    Handle accept(Handle, Address&, FSocketFailure&) override { return k_noSocket; }
    bool localAddress(Handle, Address& address, FSocketFailure&) override
    {
        address = lastConnect;
        return true;
    }
    bool peerAddress(Handle, Address& address, FSocketFailure&) override
    {
        address = lastConnect;
        return true;
    }
    int waitReadable(Handle, int timeoutMs, FSocketFailure&) override
    {
        readWaits.push_back(timeoutMs);
        if (!chunks.empty()) return 1;
        now += timeoutMs < 0 ? 0 : timeoutMs;
        return 0;
    }
    int waitWritable(Handle, int timeoutMs, FSocketFailure&) override
    {
        if (!writable) now += timeoutMs;
        return writable ? 1 : 0;
    }
    int64_t send(Handle, const void* data, std::size_t size, bool, FSocketFailure& failure) override
    {
        ++sendCalls;
        if (sendStep < 0) {
            failure = {104, k_netConnectionReset};
            return -1;
        }
        const std::size_t moved = std::min<std::size_t>(size, static_cast<std::size_t>(sendStep));
        sent.append(static_cast<const char*>(data), moved);
        return static_cast<int64_t>(moved);
    }
    int64_t receive(Handle, void* buffer, std::size_t size, FSocketFailure&) override
    {
        now += receiveCost;
        if (chunks.empty()) return 0;
        std::string& next = chunks.front();
        const std::size_t moved = std::min(size, next.size());
        std::memcpy(buffer, next.data(), moved);
        next.erase(0, moved);
        if (next.empty()) chunks.pop_front();
        return static_cast<int64_t>(moved);
    }
    int64_t nowMs() override { return now; }

    Address lastConnect;
};
