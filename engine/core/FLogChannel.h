#pragma once

// Log channels. Every log statement belongs to a channel and runs only when the
// channel's enabled flag is 1 (and, for a sub-channel, its parent's too). The
// flags are fixed when the program is built.
//
// The channels form one list, from the last declared to the first, in the
// order the debug viewer is told about them.

#include <cstdint>

struct FLogChannel
{
    const FLogChannel* next;
    const char* name;
    std::int32_t enabled;
    std::int32_t parameter;
    const FLogChannel* parent;

    constexpr bool isOn() const noexcept { return enabled == 1 && (parent == nullptr || parent->isOn()); }

    // The head of the channel list (the last declared channel).
    static const FLogChannel* first() noexcept;
    // The channel named `name`, or null.
    static const FLogChannel* find(const char* name) noexcept;
};

// "MODEL" carries the game's view: the logical application size and the
// vertical field of view in radians.
struct FModelLogChannel : FLogChannel
{
    std::int32_t width;
    std::int32_t height;
    float fieldOfView;
};

inline constexpr FLogChannel k_logPanel{nullptr, "PANEL", 1, 0, nullptr};
inline constexpr FLogChannel k_logSprite{&k_logPanel, "SPRITE", 1, 0, nullptr};
inline constexpr FLogChannel k_logStory{&k_logSprite, "STORY", 1, 0, nullptr};
inline constexpr FLogChannel k_logTest{&k_logStory, "TEST", 1, 0, nullptr};
inline constexpr FModelLogChannel k_logModel{{&k_logTest, "MODEL", 1, 0, nullptr}, 800, 600, 1.0471976f};
inline constexpr FLogChannel k_logDev{&k_logModel, "Dev", 0, 0, nullptr};
inline constexpr FLogChannel k_logDefault{&k_logDev, "Default", 0, 0, nullptr};
inline constexpr FLogChannel k_logRelease{&k_logDefault, "Release", 1, 0, nullptr};
inline constexpr FLogChannel k_logAction{&k_logRelease, "Action", 0, 0, nullptr};
inline constexpr FLogChannel k_logEvent{&k_logAction, "Event", 0, 0, nullptr};
inline constexpr FLogChannel k_logModule{&k_logEvent, "Module", 0, 0, nullptr};
inline constexpr FLogChannel k_logGraph{&k_logModule, "Graph", 0, 0, nullptr};
inline constexpr FLogChannel k_logFile{&k_logGraph, "File", 0, 0, nullptr};
inline constexpr FLogChannel k_logNetwork{&k_logFile, "Network", 0, 0, nullptr};
inline constexpr FLogChannel k_logImage{&k_logNetwork, "Image", 0, 0, nullptr};
inline constexpr FLogChannel k_logSystem{&k_logImage, "System", 0, 0, nullptr};
inline constexpr FLogChannel k_logWarn{&k_logSystem, "Warn", 0, 0, nullptr};
inline constexpr FLogChannel k_logPerf{&k_logWarn, "Perf", 0, 0, nullptr};
inline constexpr FLogChannel k_logAssert{&k_logPerf, "Assert", 0, 0, nullptr};
inline constexpr FLogChannel k_logThreads{&k_logAssert, "Threads", 0, 0, nullptr};
inline constexpr FLogChannel k_logProfile{&k_logThreads, "Profile", 0, 0, nullptr};
inline constexpr FLogChannel k_logDatabase{&k_logProfile, "Database", 0, 0, nullptr};
inline constexpr FLogChannel k_logNuvantWorld{&k_logDatabase, "NuvantWorld", 0, 0, nullptr};
inline constexpr FLogChannel k_logDiskLoad{&k_logNuvantWorld, "DiskLoad", 0, 0, nullptr};
inline constexpr FLogChannel k_logDiskAccess{&k_logDiskLoad, "DiskAccess", 0, 0, nullptr};
inline constexpr FLogChannel k_logKeptFrames{&k_logDiskAccess, "KeptFrames", 0, 0, nullptr};
inline constexpr FLogChannel k_logAssetLoad{&k_logKeptFrames, "AssetLoad", 0, 0, nullptr};
inline constexpr FLogChannel k_logCrypto{&k_logAssetLoad, "Crypto", 0, 0, nullptr};
inline constexpr FLogChannel k_logNetworkHttp{&k_logCrypto, "NetworkHttp", 0, 0, &k_logNetwork};
inline constexpr FLogChannel k_logNetworkSmartRaw{&k_logNetworkHttp, "NetworkSmartRaw", 0, 0, &k_logNetwork};
inline constexpr FLogChannel k_logNetworkRaw{&k_logNetworkSmartRaw, "NetworkRaw", 0, 0, &k_logNetwork};
inline constexpr FLogChannel k_logInput{&k_logNetworkRaw, "Input", 0, 0, nullptr};
inline constexpr FLogChannel k_logJpeg{&k_logInput, "Jpeg", 0, 0, nullptr};
inline constexpr FLogChannel k_logShowNumTracks{&k_logJpeg, "ShowNumTracks", 0, 0, nullptr};

inline constexpr const FLogChannel* k_logChannelList = &k_logShowNumTracks;
