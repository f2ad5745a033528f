#pragma once

#include "core/FString.h"
#include "platform/FUnixSocket.h"

#include <functional>

// Runs the application unless another copy of the game already runs for this
// user; a second copy hands its command line to the running one instead and
// ends. The first copy holds the instance lock for the whole run.
//
// Returns the process exit code: 0 after a run or a delivered hand-over, 1
// when the hand-over or the run threw, and k_handOverFailedExit when a copy
// runs but the command line could not be handed to it (said on standard
// error, so the player's request is not lost without a word). A copy that
// takes the record and does not answer is given up after one reply time.
// Headless (ZIBBO_HEADLESS=1), a delivered hand-over is said on standard
// error too, as no window comes to the front.
using FApplicationRunner = std::function<void(FRefT<FString> commandLine)>;

inline constexpr int k_instanceAttempts = 5;
inline constexpr int k_handOverFailedExit = 2;

int runSingleInstance(FRefT<FString> commandLine, const FApplicationRunner& runApplication,
                      const FUnixSocket::PeerUserLookup& peerUser = {});
