#pragma once

// A common gameplay screen with one map view and the story screen's penalty
// sprites, over folder 6 with a burst clip of a chosen length, and a session
// whose quest has one task of a chosen type.

#include "asset/FRawDataModule.h"
#include "game/GameDataTestSupport.h"
#include "game/gameplay/GameplayTestSupport.h"
#include "game/gameplay/StoryScreenTestSupport.h"
#include "support/ScreenFiles.h"

#include "game/core/GameSaveData.h"
#include "game/core/GameSession.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/core/SearchableObject.h"
#include "game/gameplay/FoundItemPop.h"
#include "game/widgets/MapView.h"
#include "game/widgets/SearchableSprite.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "video/FVideo.h"
#include "video/FVideoLoaderModule.h"

#include <fstream>

namespace cursortest {

using namespace gameplaytest;

// The map area the story screen lays out.
inline constexpr FRectI k_mapRect{0, 0, 800, 500};

class CursorScreen : public TestCommonScreen
{
public:
    CursorScreen()
    {
        m_map = makeRef(engineNew<MapView>(k_memObject, this, true));
        m_map->setWidgetRect(k_mapRect);
        for (int32_t player : {0, 1}) {
            FRefT<VideoSprite> marker = makeRef(engineNew<VideoSprite>(k_memObject, this, true));
            marker->setVideo(FRefT<FVideo>(m_foundMarkerClip), true);
            marker->setVisible(false);
            m_foundMarkers[static_cast<std::size_t>(player)] = marker;
        }
        FRefT<VideoSprite> cursor = makeRef(engineNew<VideoSprite>(k_memObject, this, true));
        cursor->setVideo(FRefT<FVideo>(m_penaltyCursorClip), true);
        cursor->setLoops(-1);
        cursor->setVisible(false);
        m_penaltyCursors[0] = cursor;
        for (int32_t i = 0; i < 3; ++i) {
            FRefT<VideoSprite> piece = makeRef(engineNew<VideoSprite>(k_memObject, this, true));
            piece->setVideo(FRefT<FVideo>(m_penaltyPieceClip), true);
            piece->setLoops(-1);
            piece->setVisible(false);
            m_penaltyPieces[0].push_back(piece);
            m_pieceFlights[0].emplace_back();
            m_pieceFlights[0].back().setTarget(piece.get());
        }
    }

    FRefT<MapView> getMapView(int32_t) override { return m_map; }
    FRef getStepImage(int32_t index) const override
    {
        calls.push_back("step image " + std::to_string(index));
        if (index < 0 || static_cast<std::size_t>(index) >= stepImages.size()) return makeNullRef();
        return stepImages[static_cast<std::size_t>(index)];
    }
    bool raiseStoryEvent(std::int32_t event) override
    {
        calls.push_back("event " + std::to_string(event));
        return false;
    }
    void playShakeEffect(int32_t player) override
    {
        calls.push_back("shake " + std::to_string(player));
        CommonUIScreen::playShakeEffect(player);
    }
    void endWrongHitPenalty(int32_t player) override
    {
        calls.push_back("end penalty " + std::to_string(player));
        CommonUIScreen::endWrongHitPenalty(player);
    }

    FRefT<MapView> m_map;
    std::vector<FRef> stepImages;
    mutable std::vector<std::string> calls;
};

// Writes a clip of `frames` frames as the file of a folder-6 video asset.
inline void writeClip(const std::filesystem::path& folder, int32_t asset, int32_t frames)
{
    GwVideoFile video = gwPictureVideo(frames, 16, 12, 5);
    video.frameRate = 12;
    const std::vector<uint8_t> bytes = writeGwVideo(video);
    char name[32];
    std::snprintf(name, sizeof name, "%06d_0.gwvideo", asset);
    std::ofstream out(folder / "006" / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The first world's level; every clip of folder 6 as a playable clip of
// eight frames, the burst clip (asset 976) of `burstFrames`.
struct CursorFiles : storytest::StoryWorldFiles
{
    CursorFiles(const std::filesystem::path& scratch, int32_t burstFrames) : StoryWorldFiles(scratch)
    {
        for (const auto& entry : std::filesystem::directory_iterator(scratch / "006")) {
            if (entry.path().extension() == ".gwvideo")
                writeClip(scratch, std::stoi(entry.path().filename().string().substr(0, 6)), 8);
        }
        writeClip(scratch, 976, burstFrames);
    }
};

template <int32_t BurstFrames>
class CursorFixture : public testing::Test, protected HostedScreen<CursorScreen>
{
protected:
    CursorFixture()
    {
        module.run();
        // Saves go to the scratch user folder; the session comes with the
        // save data.
        module.getSaveManager()->attachDefaultFileSystem();
        module.initSaveData();
        loadQuest(6);
        module.showScreen(k_storyModeScreen);
        module.soundNames = {{"penalty", screen().m_penaltySound.get()}};
        setTask(6);
        module.take();
    }

    // A quest of one task of `type`, its level started on the screen.
    void setTask(int32_t type)
    {
        loadQuest(type);
        GameSession& play = *module.getGameSession();
        play.startLevel(&screen());
        play.setPenaltyEnabled(true);
    }

    void loadQuest(int32_t type) { storytest::loadStoryQuest(*module.getGameSession(), {type}); }

    // A findable item on the map, with the hint picture as its bling.
    FRefT<SearchableSprite> makeSprite(SearchableObject& item, int32_t character = 0)
    {
        item.setCharacter(character);
        item.setState(SearchableObject::k_stateListed);
        FRefT<SearchableSprite> sprite = makeRef(engineNew<SearchableSprite>(k_memObject, &screen(), true));
        sprite->setItem(&item);
        sprite->setKindEffect(FRefT<FImage>(screen().m_hintBlingImage));
        return sprite;
    }

    // Runs frames of `ms` until `done` or `limitMs` of frames have passed;
    // the time taken.
    template <class Done> int32_t runUntil(Done done, int32_t ms = 10, int32_t limitMs = 20000)
    {
        int32_t elapsed = 0;
        while (!done() && elapsed < limitMs) {
            screen().update(ms);
            elapsed += ms;
        }
        return elapsed;
    }

    CursorFiles files{scratch.path(), BurstFrames};
    FRawDataModule rawData;
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FVideoLoaderModule gwVideo{k_slotGwVideoLoader, ".gwvideo"};
};

} // namespace cursortest
