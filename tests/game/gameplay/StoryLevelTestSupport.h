#pragma once

// The story mode screen over a level of the first world: the world's folder
// and search data written at test time, and a quest of chosen tasks loaded
// into a fresh session before the screen is shown.
#include "game/GameDataTestSupport.h"
#include "game/gameplay/GameplayTestSupport.h"

#include "asset/FRawDataModule.h"
#include "game/core/GameSession.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FContainer.h"
#include "ui/FWidgetFactory.h"
#include "ui/FWidgetTypes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

namespace gameplaytest {

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
        const std::string command = std::string(KITTOOL_PATH) + " screenfile " + WORLD_MANIFESTS "/036.lua " +
                                    scratch.string() + " > /dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
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
                {"HINTS", {{"World01Hint01"}}}});
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

// Registers stand-ins for the strip and the story panel, whose widget
// classes other work builds: containers, as their records are.
struct StoryPanelStandIns
{
    StoryPanelStandIns()
    {
        for (uint32_t type : {FWidgetTypes::k_hudPanel, FWidgetTypes::k_storyPanel})
            FWidgetFactory::registerType(type, &FWidgetFactory::createChild<FContainer>);
    }
};

template <class Screen> struct StoryLevel : HostedScreen<Screen>
{
    // Loads a quest of `questType` with the tasks into a fresh session, ready
    // for the story screen; false when the test runs without a session.
    bool loadQuest(std::vector<int> tasks, int questType, bool withSession)
    {
        auto& module = this->module;
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
        GameSession& play = *module.getGameSession();
        GameDataText::QuestText quest;
        quest.type = questType;
        quest.tasks = std::move(tasks);
        play.loadGameStructure(xmlStream(GameDataText::gameData({{GameDataText::quest(quest)}})));
        play.setMode(0);
        play.setCurrentWorld(0, &play.structure().worlds()[0]);
        play.selectQuest(questType);
        return true;
    }

    GameSession& session() { return *this->module.getGameSession(); }

    StoryWorldFiles worldFiles{this->scratch.path()};
    // The animation table is a raw-data asset.
    FRawDataModule rawData;
    // The background tiles are pictures.
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    StoryPanelStandIns standIns;
};

} // namespace gameplaytest
