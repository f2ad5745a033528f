#pragma once

// What the world map's tests and benchmarks share: the game data of twelve
// worlds with three quests each, kit objects whose sounds stay silent, and
// services that answer the map without a game module.
#include "game/GameDataTestSupport.h"
#include "support/DemoKit.h"

#include "asset/FAsset.h"
#include "core/FDelegate.h"
#include "core/FMemory.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ScreenKind.h"
#include "game/worldmap/WorldMapServices.h"
#include "ui/FAssetKinds.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace WorldMapKit {

// World w holds quest ids 3w, 3w+1, 3w+2 of types 0, 1, 2; the quest id
// `longTrip` (if any) is a type-3 quest instead.
inline std::string gameData(int longTrip = -1)
{
    std::vector<std::vector<std::string>> worlds;
    for (int w = 0; w < 12; ++w) {
        std::vector<std::string> quests;
        for (int q = 0; q < 3; ++q) {
            GameDataText::QuestText text;
            text.id = 3 * w + q;
            text.type = text.id == longTrip ? 3 : q;
            quests.push_back(GameDataText::quest(text));
        }
        worlds.push_back(quests);
    }
    return GameDataText::gameData(worlds);
}

// Opens the worlds with their three quests and finishes quests (quest id,
// stars) in the profile.
inline void progress(PlayerProfile& profile, const std::vector<int32_t>& worlds,
                     const std::vector<std::pair<int32_t, int32_t>>& results)
{
    for (int32_t w : worlds) {
        profile.unlockWorld(w);
        for (int32_t q = 0; q < 3; ++q)
            profile.unlockQuest(3 * w + q, w);
    }
    for (auto [questId, stars] : results)
        profile.setQuestResult(questId, stars);
}

// The voice channel as the game module runs it: one line at a time, and a
// line that has played `voiceMs` ends and calls the registered callback.
class VoiceChannel
{
public:
    ~VoiceChannel() { FDelegate<void()>::assign(voiceFinished, nullptr); }

    bool playLine(const FRef& line)
    {
        voices.push_back(line.get());
        voiceLeft = audible ? voiceMs : -1;
        return audible;
    }
    void stopLine() { voiceLeft = -1; }
    void setCallback(const FDelegate<void()>* callback)
    {
        FDelegate<void()>::assign(voiceFinished, callback);
    }

    // The channel's time, as the game module's tick gives it.
    void tick(int32_t ms)
    {
        if (voiceLeft < 0) return;
        voiceLeft -= ms;
        if (voiceLeft >= 0 || voiceFinished == nullptr) return;
        // One call per registration, as the game module makes it.
        FDelegate<void()>* callback = voiceFinished;
        voiceFinished = nullptr;
        callback->invoke();
        FDelegate<void()>::assign(callback, nullptr);
    }

    // The lines spoken, by asset.
    std::vector<void*> voices;
    int32_t voiceMs = 1000;
    bool audible = true;
    int32_t voiceLeft = -1;
    FDelegate<void()>* voiceFinished = nullptr;
};

// Services with a session and tuning values and nothing else.
class QuietServices : public WorldMapServices
{
public:
    GameSession* gameSession() override { return session; }
    GameParams* params() override { return tuning; }
    int32_t previousScreenKind() const override { return previous; }
    bool isGamePaused() const override { return false; }
    void playSound(const FRef&, int32_t) override {}
    void stopAllSounds() override {}
    void setPendingScreen(int32_t kind) override { pending = kind; }
    void setScreen(int32_t kind, bool) override { next = kind; }
    void prepareScreen(FScreen*) override {}

    GameSession* session = nullptr;
    GameParams* tuning = nullptr;
    int32_t previous = k_profileMenuScreen;
    // Where the map last asked to go, and through which screen.
    int32_t pending = -1;
    int32_t next = -1;
};

} // namespace WorldMapKit
