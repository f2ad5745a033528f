#pragma once

// Recording fakes of what the play field asks of the game module, the
// gameplay screen and the HUD panel, a play session with one quest of a
// chosen task type, and trimmed item pictures.
#include "game/GameDataTestSupport.h"

#include "core/FMemory.h"
#include "game/core/GameSession.h"
#include "game/core/SearchableObject.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/MapViewHost.h"
#include "game/widgets/PlayFieldServices.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/SearchableSpriteHost.h"
#include "image/FImage.h"
#include "image/FPixelFormat.h"
#include "ui/FScreen.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

// The game module's side: installs itself while it lives.
class RecordingPlayServices : public PlayFieldServices
{
public:
    RecordingPlayServices() { setInstance(this); }
    ~RecordingPlayServices() override { setInstance(nullptr); }

    GameSession* gameSession() override { return session; }
    bool isGamePaused() const override { return paused; }
    void playSound(const FRef& sound, int32_t volume) override { sounds.push_back({sound.get(), volume}); }
    void setDefaultCursor(int32_t player) override { defaultCursors.push_back(player); }

    struct Sound
    {
        const void* sound;
        int32_t volume;
        bool operator==(const Sound&) const = default;
    };
    GameSession* session = nullptr;
    bool paused = false;
    std::vector<Sound> sounds;
    std::vector<int32_t> defaultCursors;
};

class RecordingPanel : public HudEntryPanel
{
public:
    HudPanelEntry* createEntry(SearchableObject& item, SearchableSprite&, const FRefT<FImage>&,
                               const FRefT<FImage>&, int32_t count, const FRefT<FString>&) override
    {
        calls.push_back("createEntry " + item.fileName() + " " + std::to_string(count));
        if (item.state() == SearchableObject::k_stateMarked) return nullptr;
        FRefT<HudPanelEntry> entry = makeRef(engineNew<HudPanelEntry>(k_memObject));
        entry->setActive(newEntriesActive);
        entry->setRect(entryRect);
        entries.push_back(entry);
        return entry.get();
    }
    int32_t entryCount() const override { return static_cast<int32_t>(entries.size()); }
    FRefT<HudPanelEntry> entryAt(int32_t index) const override { return entries.at(std::size_t(index)); }
    void scrollToEntry(HudPanelEntry& entry) override
    {
        calls.push_back(std::string("scrollToEntry") + (&entry == entries.front().get() ? " first" : ""));
    }
    FPointI panelPosition() override { return position; }

    std::vector<FRefT<HudPanelEntry>> entries;
    std::vector<std::string> calls;
    bool newEntriesActive = true;
    FRectI entryRect{10, 20, 51, 61};
    FPointI position{600, 100};
};

// A handle on a distinct empty image: stands for a sound or picture whose
// identity is all a test looks at.
inline FRefT<FImage> tokenAsset()
{
    return makeRef(engineNew<FImage>(k_memObject));
}

// The gameplay screen: records what the play field calls, in order.
class PlayScreen : public FScreen, public MapViewHost, public SearchableSpriteHost
{
public:
    void reloadTexts(int32_t) override {}

    FRefT<MapView> getMapView(int32_t) override { return map; }
    HudEntryPanel* getPlayerPanel(int32_t player) override
    {
        return player >= 0 && player < 2 ? &panels[player] : nullptr;
    }
    bool needsActiveEntry() const override { return activeEntries; }

    bool raiseStoryEvent(int32_t event) override
    {
        calls.push_back("event " + std::to_string(event));
        return true;
    }
    bool isInterruptActive() const override { return interruptActive; }
    void setInterruptActive(bool active) override
    {
        interruptActive = active;
        calls.push_back(std::string("interrupt ") + (active ? "on" : "off"));
    }
    bool isInterruptTaskActive() const override { return interruptTask; }
    void playStagedFoundSequence(SearchableSprite&) override { calls.push_back("staged"); }
    void playFoundEffect(int32_t player, int32_t taskType, SearchableSprite&) override
    {
        calls.push_back("foundEffect " + std::to_string(player) + " " + std::to_string(taskType));
    }
    void lostPhotoFound() override { calls.push_back("lostPhoto"); }
    void playFoundReaction() override { calls.push_back("reaction"); }
    void startDelayedReaction() override { calls.push_back("delayedReaction"); }
    FRef foundSound() override { return found; }
    FRef hintFindSound(int32_t index) override { return hintSounds[std::size_t(index)]; }
    FRefT<FImage> getBlingImage() override { return bling; }
    FRefT<FImage> getHintImage() override { return hint; }

    void reportSpriteFound(int32_t player, SearchableSprite&) override
    {
        calls.push_back("reported " + std::to_string(player));
    }
    void setHintCursorMode(bool on) override
    {
        calls.push_back(std::string("hintCursor ") + (on ? "on" : "off"));
    }
    void placePlayerCursor(int32_t player, FPointI point) override
    {
        calls.push_back("cursor " + std::to_string(player) + " " + std::to_string(point.x) + "," +
                        std::to_string(point.y));
    }
    bool isPlayActive() const override { return playActive; }
    FRef missSound() override { return miss; }
    void setFlyTarget(int32_t player, FPointI point) override
    {
        calls.push_back("fly " + std::to_string(player) + " " + std::to_string(point.x) + "," +
                        std::to_string(point.y));
    }
    void moveEffectAnchor(FPointI delta) override
    {
        calls.push_back("anchor " + std::to_string(delta.x) + "," + std::to_string(delta.y));
    }

    FRefT<MapView> map;
    RecordingPanel panels[2];
    std::vector<std::string> calls;
    bool activeEntries = true;
    bool interruptActive = false;
    bool interruptTask = false;
    bool playActive = true;
    FRefT<FImage> found = tokenAsset();
    FRefT<FImage> miss = tokenAsset();
    std::vector<FRefT<FImage>> hintSounds{tokenAsset(), tokenAsset(), tokenAsset()};
    FRefT<FImage> bling = tokenAsset();
    FRefT<FImage> hint = tokenAsset();
};

// A play session whose current quest (of `questType`) runs one task of
// `taskType`; nothing is started.
inline std::unique_ptr<GameSession> sessionWithTask(int taskType, int questType = 1)
{
    auto session = std::make_unique<GameSession>(nullptr, GameSession::Tuning{5000, 3, 3000.0, 1000.0});
    GameDataText::QuestText quest;
    quest.type = questType;
    quest.tasks = {taskType};
    session->loadGameStructure(xmlStream(GameDataText::gameData({{GameDataText::quest(quest)}})));
    session->setMode(0);
    session->setCurrentWorld(0, &session->structure().worlds()[0]);
    session->selectQuest(questType);
    return session;
}

// A picture of the full scene size whose stored pixels cover only `stored`
// (top-down), all of alpha `alpha`; hit tests read its alpha.
inline FRefT<FImage> itemPicture(FPointI scene, FRectI stored, uint8_t alpha = 255)
{
    const int32_t w = stored.right - stored.left;
    const int32_t h = stored.bottom - stored.top;
    auto* pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, std::size_t(w) * h * 4 + 1));
    for (int32_t i = 0; i < w * h; ++i) {
        pixels[i * 4] = 40;
        pixels[i * 4 + 1] = 80;
        pixels[i * 4 + 2] = 120;
        pixels[i * 4 + 3] = alpha;
    }
    FImage* image = engineNew<FImage>(k_memObject);
    image->setPlacedPixels(scene, k_pixelBgra8, pixels, {w, h}, {stored.left, stored.top}, w * 4, 1.0f);
    image->setAlphaHitTest(true);
    return makeRef(image);
}

// A listed item of player 0 on the map, its picture storing only `stored`,
// prepared as the gameplay screen prepares it.
inline FRefT<SearchableSprite> addMapItem(MapView& map, SearchableObject& item, FRectI stored)
{
    item.setState(SearchableObject::k_stateListed);
    item.setPlayer(0);
    auto sprite = makeRef(engineNew<SearchableSprite>(k_memObject, map.content(), true));
    sprite->setItem(&item);
    sprite->setImage(itemPicture({MapView::k_sceneWidth, MapView::k_sceneHeight}, stored), true);
    sprite->prepare();
    return sprite;
}
