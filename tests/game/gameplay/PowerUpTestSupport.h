#pragma once

// A common gameplay screen over folder 6 whose story operations the power-up
// views call are noted, with a HUD panel of bare entries, an optional map
// view, and a fixture that makes, fires and runs power-ups on it.

#include "game/gameplay/CursorEffectsTestSupport.h"
#include "game/gameplay/GameplayTestSupport.h"
#include "support/ScreenFiles.h"

#include "asset/FRawDataModule.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/GameSession.h"
#include "game/core/PowerUpKind.h"
#include "game/core/ScreenKind.h"
#include "game/gameplay/ComboBoostPowerUpView.h"
#include "game/gameplay/CoverPowerUpView.h"
#include "game/gameplay/FlipPowerUpView.h"
#include "game/gameplay/StunPowerUpView.h"
#include "game/gameplay/ThrowPowerUpView.h"
#include "game/widgets/HudEntryPanel.h"
#include "game/widgets/HudPanelEntry.h"
#include "game/widgets/MapView.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FImageWidget.h"
#include "video/FVideoLoaderModule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <random>
#include <string>

namespace poweruptest {

using gameplaytest::HostedScreen;
using gameplaytest::Lines;
using gameplaytest::TestCommonScreen;

// A HUD panel of bare entries.
class PowerUpTestHud : public FContainer, public HudEntryPanel
{
public:
    explicit PowerUpTestHud(FContainer* parent) : FContainer(parent, true) {}

    HudPanelEntry* createEntry(SearchableObject&, SearchableSprite&, const FRefT<FImage>&,
                               const FRefT<FImage>&, int32_t, const FRefT<FString>&) override
    {
        return nullptr;
    }
    int32_t entryCount() const override { return static_cast<int32_t>(entries.size()); }
    FRefT<HudPanelEntry> entryAt(int32_t index) const override
    {
        return entries.at(static_cast<std::size_t>(index));
    }
    void scrollToEntry(HudPanelEntry&) override {}
    FPointI panelPosition() override { return getAbsolutePosition(); }

    void addEntries(int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            entries.push_back(makeRef(engineNew<HudPanelEntry>(k_memObject, this)));
            entries.back()->setRect({100 * i, 0, 100 * i + 100, 80});
        }
    }

    std::deque<FRefT<HudPanelEntry>> entries;
};

// Notes the story operations the views call; the stun locks the map until
// it is lifted, the flip turns the map, the combo steps stop at 9.
class PowerUpTestScreen : public TestCommonScreen
{
public:
    PowerUpTestScreen()
    {
        hud = makeRef(engineNew<PowerUpTestHud>(k_memObject, this));
        hud->setWidgetRect({0, 500, 800, 580});
    }

    HudEntryPanel* getPlayerPanel(int32_t) override { return hud.get(); }
    int32_t getPanelEntryCount(int32_t) const override { return hud->entryCount(); }
    void playWrongHitPenalty(std::int32_t player) override
    {
        calls.push_back("penalty " + std::to_string(player));
        mapLocked = true;
    }
    void endWrongHitPenalty(int32_t player) override
    {
        calls.push_back("penalty end " + std::to_string(player));
        mapLocked = false;
    }
    // As the story screen's throw: a Cover in the player's slot takes a crack.
    void throwAtPlayer(int32_t player) override
    {
        calls.push_back("throw " + std::to_string(player));
        CoverPowerUpView::crackInSlot(*this, player);
    }
    FRefT<MapView> getMapView(int32_t) override { return map; }
    void startImpactBurst(int32_t x, int32_t y) override
    {
        calls.push_back("impact " + std::to_string(x) + " " + std::to_string(y));
    }
    void startCoverStream(int32_t player) override
    {
        calls.push_back("cover stream " + std::to_string(player));
    }
    void startCaughtBurst(int32_t x, int32_t y) override
    {
        calls.push_back("caught " + std::to_string(x) + " " + std::to_string(y));
    }
    void hidePowerUpMessage(int32_t player) override
    {
        calls.push_back("hide message " + std::to_string(player));
        CommonUIScreen::hidePowerUpMessage(player);
    }
    void toggleFlip(int32_t player) override
    {
        calls.push_back("flip " + std::to_string(player));
        flipped = !flipped;
    }
    void addComboStep() override
    {
        calls.push_back("combo");
        combo = std::min(combo + 1, 9);
    }
    bool raiseStoryEvent(std::int32_t event) override
    {
        calls.push_back("event " + std::to_string(event));
        return takeEvents;
    }

    FRefT<PowerUpTestHud> hud;
    // None unless a test gives the screen a map view.
    FRefT<MapView> map;
    Lines calls;
    bool mapLocked = false;
    bool flipped = false;
    bool takeEvents = false;
    int32_t combo = 0;

protected:
    // The screen's own views, not the test views of the base.
    PowerUpView* createPowerUpView(int32_t kind, HudEntryPanel* panel) override
    {
        return CommonUIScreen::createPowerUpView(kind, panel);
    }
};

// The first world's folder, which the screen binds for its scene.
struct PowerUpWorldFolder
{
    explicit PowerUpWorldFolder(const std::filesystem::path& scratch)
    {
        writeScreenFiles(WORLD_MANIFESTS "/036.lua", scratch);
        std::ofstream(scratch / "012" / "006644_0.dat", std::ios::binary)
            << "<root><World0><Anims count=\"0\"></Anims></World0></root>";
        // Every clip of folder 6 plays eight frames, so that launches, the
        // combo bonus and the break clip take time as they do in the game.
        for (const auto& entry : std::filesystem::directory_iterator(scratch / "006")) {
            if (entry.path().extension() == ".gwvideo")
                cursortest::writeClip(scratch, std::stoi(entry.path().filename().string().substr(0, 6)),
                                      k_clipFrames);
        }
    }

    static constexpr int32_t k_clipFrames = 8;
};

class PowerUpViewTest : public testing::Test, protected HostedScreen<PowerUpTestScreen>
{
protected:
    PowerUpWorldFolder worldFolder{scratch.path()};
    FRawDataModule rawData;
    FVideoLoaderModule gwVideo{k_slotGwVideoLoader, ".gwvideo"};

    PowerUpViewTest()
    {
        module.run();
        module.initSaveData();
        module.getGameSession()->setCurrentWorld(0, nullptr);
        module.showScreen(k_storyModeScreen);
        PowerUpTestScreen& s = screen();
        s.hud->addEntries(3);
        module.soundNames = {{"launch", s.m_launchSound.get()},
                             {"charge start", s.m_chargeStartSound.get()},
                             {"charge loop", s.m_chargeLoopSound.get()},
                             {"charge end", s.m_chargeEndSound.get()}};
        module.take();
    }

    GameSession& play() { return *module.getGameSession(); }

    // A record of the kind for player 0 with its view, fired as a found item
    // fires it.
    ActivePowerUp* addPowerUp(int32_t kind)
    {
        ActivePowerUp* record = play().addActivePowerUp(kind);
        screen().addIndividualPowerUpView(*record);
        return record;
    }
    static void fire(GameSession& session, ActivePowerUp& record)
    {
        record.setState(ActivePowerUp::k_stateUsed);
        session.setPowerUpSlot(&record, false);
    }
    // Runs the screen in steps of `step` ms until `done` holds, at most
    // `limit` ms; the time it took.
    template <class Done> int32_t runUntil(Done done, int32_t limit, int32_t step = 5)
    {
        int32_t ms = 0;
        while (!done() && ms < limit) {
            screen().update(step);
            ms += step;
        }
        return ms;
    }
    template <class View> View* viewOf(const ActivePowerUp* record)
    {
        return dynamic_cast<View*>(screen().getPowerUpViewByUniqueId(record->uniqueId()));
    }
    bool called(const std::string& call) const
    {
        const Lines& calls = const_cast<PowerUpViewTest*>(this)->screen().calls;
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    // Fires the record and runs its launch to the start of its effect.
    int32_t launch(ActivePowerUp& record)
    {
        const int32_t id = record.uniqueId();
        fire(play(), record);
        // Looked up each frame: a launch that ends its power-up deletes the view.
        return runUntil(
            [&] {
                PowerUpView* view = screen().getPowerUpViewByUniqueId(id);
                return view == nullptr || !view->isLaunching();
            },
            20000);
    }
};

} // namespace poweruptest
