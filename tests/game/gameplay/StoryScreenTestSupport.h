#pragma once

// A level of the first world on the story mode screen over the game's own
// screen files: the world's folder with its background tiles, search data
// and animation table written at test time, and a game session of one quest
// of chosen tasks.
#include "game/GameDataTestSupport.h"
#include "game/gameplay/GameplayTestSupport.h"
#include "support/ScreenFiles.h"

#include "asset/FRawDataModule.h"
#include "core/FLocalizedMessages.h"
#include "game/core/GameSession.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryScript.h"
#include "game/worlds/WorldScene.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FContainer.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace storytest {

using namespace gameplaytest;

inline void writeStoryFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The first world's folder with 200 x 200 background tiles, and the search
// data of world 1 in place of the placeholder of the shared part.
struct StoryWorldFiles
{
    explicit StoryWorldFiles(const std::filesystem::path& scratch)
    {
        writeScreenFiles(WORLD_MANIFESTS "/036.lua", scratch);
        std::vector<uint8_t> rgba;
        for (int32_t i = 0; i < 200 * 200; ++i)
            rgba.insert(rgba.end(), {90, 140, 200, 255});
        const std::vector<uint8_t> tile = writePng(PngPicture::rgba(200, 200, rgba));
        for (int id = 20001; id <= 20096; ++id)
            writeStoryFile(scratch / assetFileName(36, id, ".png"), tile);
        const std::string data = GameDataText::searchData(
            0, {{"ZIBBOS", {{"World01Zibbo01"}, {"World01Zibbo02"}, {"World01Zibbo03"}}},
                {"PICTURES", GameDataText::numbered("World01Picture", 8)},
                // The tutorial quest's picture search hides copies.
                {"PICTUREMULTIPLES", GameDataText::numbered("World01Picture", 2, 3)},
                {"HINTS", {{"World01Hint01"}}},
                {"VIGNETTES", GameDataText::numbered("World01Vignette", 4)},
                // The interrupt's bonus item.
                {"DRABBS", {{"World01Drabb01"}}}});
        writeStoryFile(scratch / assetFileName(25, 6582, ".dat"), {data.begin(), data.end()});
        // The animation table: the world's placeholder clips play nothing, so
        // its one used record names no clip of the scene (the level items'
        // own test places animations).
        const std::string anims = "<root><World0><Anims count=\"2\">"
                                  "<_0><IsUsed>1</IsUsed><Top>40</Top><Left>120</Left><IsLooping>1</"
                                  "IsLooping><Name>World01AnimNone</Name>"
                                  "<Sound>World01HotSpot01</Sound></_0>"
                                  "<_1><IsUsed>0</IsUsed><Top>-5</Top><Left>7</Left><IsLooping>0</"
                                  "IsLooping><Name>World01Anim02</Name>"
                                  "<Sound></Sound></_1></Anims></World0>"
                                  "<World1><Anims count=\"0\"></Anims></World1></root>";
        writeStoryFile(scratch / assetFileName(12, 6644, ".dat"), {anims.begin(), anims.end()});
    }
};

// Gives the session one quest of `questType` with the tasks in the first
// world, in normal play, and selects it.
inline void loadStoryQuest(GameSession& session, std::vector<int> tasks, int questType = 1, int interrupt = 0)
{
    GameDataText::QuestText quest;
    quest.type = questType;
    quest.tasks = std::move(tasks);
    quest.interrupt = interrupt;
    session.loadGameStructure(xmlStream(GameDataText::gameData({{GameDataText::quest(quest)}})));
    session.setMode(0);
    session.setCurrentWorld(0, &session.structure().worlds()[0]);
    session.selectQuest(questType);
}

// A story screen `Base` that plays the script set in `nextScript` while it is
// constructed in place of its own (tests that only watch the events the
// screen hands to its script).
template <class Base> class ScriptedStoryScreen : public Base
{
public:
    static inline StoryScript* nextScript = nullptr;

    ScriptedStoryScreen()
    {
        if (nextScript != nullptr) this->setStoryScript(nextScript);
    }
};

// A level of the first world on the story screen `Screen`.
template <class Screen> class StoryScreenLevel : protected gameplaytest::HostedScreen<Screen>
{
protected:
    using gameplaytest::HostedScreen<Screen>::module;
    using gameplaytest::HostedScreen<Screen>::scratch;

    // Loads a quest of `questType` with the tasks into a fresh session, ready
    // for the story screen; false when the test runs without a session.
    bool loadQuest(std::vector<int> tasks, int questType = 1, bool withSession = true, int interrupt = 0)
    {
        module.run();
        if (withSession && module.getGameSession().get() == nullptr) {
            // Saves go to the scratch user folder; without a file system no
            // profile slot is ready.
            module.getSaveManager()->attachDefaultFileSystem();
            module.initSaveData();
        }
        FLocalizedMessages::setLanguage(0);
        if (!withSession) return false;
        EXPECT_NE(module.getGameSession().get(), nullptr);
        if (module.getGameSession().get() == nullptr) return false;
        loadStoryQuest(*module.getGameSession(), std::move(tasks), questType, interrupt);
        return true;
    }

    void start(std::vector<int> tasks, int questType = 1, bool withSession = true, int interrupt = 0)
    {
        if (!loadQuest(std::move(tasks), questType, withSession, interrupt) && withSession) return;
        module.showScreen(k_storyModeScreen);
        module.take();
    }

    // As `start`, with `script` played by the screen in place of its own;
    // `Screen` is a `ScriptedStoryScreen`.
    void startScripted(StoryScript& script, std::vector<int> tasks, int questType = 1)
    {
        if (!loadQuest(std::move(tasks), questType)) return;
        Screen::nextScript = &script;
        module.showScreen(k_storyModeScreen);
        Screen::nextScript = nullptr;
        module.take();
    }

    GameSession& session() { return *module.getGameSession(); }
    // Places the special Zibbo table's items as the task's sprites; the
    // items the search list holds.
    std::deque<SearchableObject*> placeTaskItems()
    {
        std::deque<SearchableObject*> listed;
        const auto* scene = this->screen().worldScene().template as<WorldScene>();
        EXPECT_NE(scene, nullptr);
        if (scene == nullptr) return listed;
        this->screen().levelItems().setTaskTable(scene->getSpecialZibbo());
        this->screen().levelItems().createSearchableSprites();
        session().getSearchListState(listed);
        return listed;
    }

    StoryWorldFiles worldFiles{scratch.path()};
    // The animation table is a raw-data asset.
    FRawDataModule rawData;
    // The background tiles are pictures.
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
};

} // namespace storytest
