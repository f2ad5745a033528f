#pragma once

// The engine's socket error code: every failing socket call is reduced to one
// of these values, which the client connector explains in words.

#include <cstdint>

enum FNetworkError : std::int32_t {
    k_netNoMemory = 0,
    k_netTooManySockets = 1,
    k_netAddressInUse = 2,
    k_netAddressNotAvailable = 3,
    k_netNetworkDown = 4,
    k_netNetworkUnreachable = 5,
    k_netNetworkReset = 6,
    k_netConnectionAborted = 7,
    k_netConnectionReset = 8,
    k_netNoBuffers = 9,
    k_netTimedOut = 10,
    k_netConnectionRefused = 11,
    k_netHostDown = 12,
    k_netHostUnreachable = 13,
    k_netHostNotFound = 14,
    k_netNotInitialised = 15,
    k_netOther = 16,
    k_netNoError = 17,
};

// One failing socket call: the system's own error number and its engine code.
struct FSocketFailure
{
    std::int32_t systemCode = 0;
    FNetworkError code = k_netNoError;
};

// Traces the failure on the network channels and gives its engine code.
FNetworkError logSocketError(const FSocketFailure& failure);
