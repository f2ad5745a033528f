#pragma once

// A play session over game data with the given quests in world 0 and the
// given search data for world 0, with a recording screen, ready to start a
// level of one quest type.

#include "GameDataTestSupport.h"

#include "game/core/GameRandom.h"
#include "game/core/LevelTimer.h"

#include <gtest/gtest.h>

#include <memory>

class LevelFixture
{
public:
    explicit LevelFixture(const std::vector<GameDataText::QuestText>& quests,
                          const std::map<std::string, std::vector<GameDataText::Record>>& lists,
                          GameSession::Tuning tuning = {5000, 3, 3000.0, 1000.0})
        : session(nullptr, tuning)
    {
        std::vector<std::string> texts;
        for (const auto& q : quests) {
            texts.push_back(GameDataText::quest(q));
        }
        session.loadGameStructure(xmlStream(GameDataText::gameData({texts})));
        screen.searchData[0] = GameDataText::searchData(0, lists);
        session.setMode(0);
        session.setCurrentWorld(0, &session.structure().worlds()[0]);
    }

    // Starts a level of `questType` with the game's rand seeded.
    SearchListGenerator& start(std::int32_t questType, std::uint32_t seed = 1)
    {
        GameRandom::srand(seed);
        session.selectQuest(questType);
        session.startLevel(&screen);
        return *session.getSearchListGenerator();
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (SearchableObject* item : session.getSearchListGenerator()->items()) {
            result.push_back(item->fileName());
        }
        return result;
    }

    GameSession session;
    RecordingScreen screen;
};
