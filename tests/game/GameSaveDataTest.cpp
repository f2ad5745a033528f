// The game's saved state as the game module sets it up (global settings, six
// profiles, a play session) and the creation of a profile by the front-end
// screens, over a fresh user data folder.

#include "game/core/GameSaveData.h"

#include "SaveFolder.h"
#include "game/core/GlobalSettings.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class GameSaveDataTest : public SaveFolderTest
{
protected:
    // Save data over the test's folder, as the splash screen leaves it.
    std::unique_ptr<GameSaveData> attached()
    {
        auto data = std::make_unique<GameSaveData>();
        data->saveManager()->attachDefaultFileSystem();
        return data;
    }
    // Set up, with a record for "Ann" started.
    std::unique_ptr<GameSaveData> creatingAnn()
    {
        std::unique_ptr<GameSaveData> data = attached();
        data->initSaveData(GameSession::Tuning{});
        data->beginNewProfile();
        data->newProfile()->name = FString("Ann");
        data->newProfile()->avatar = 3;
        data->newProfile()->difficulty = 1;
        return data;
    }
    static std::string fileOf(int slot) { return "Pdl_" + std::to_string(slot) + ".p"; }
};

TEST_F(GameSaveDataTest, TheFirstSetUpWritesTheSettingsAndSixFreeProfilesAndStartsASession)
{
    std::unique_ptr<GameSaveData> data = attached();
    EXPECT_TRUE(data->gameSession().isNull());
    data->initSaveData(GameSession::Tuning{});

    ASSERT_FALSE(data->globalSettings().isNull());
    EXPECT_EQ(data->globalSettings()->lastProfile(), FString("<>"));
    EXPECT_TRUE(data->globalSettings()->fullScreen());
    EXPECT_TRUE(exists("globalsDL.dat") && exists("globalsDL.dat.crc"));
    for (int slot = 0; slot < ProfileManager::k_slotCount; ++slot) {
        EXPECT_TRUE(exists(fileOf(slot)) && exists(fileOf(slot) + ".crc")) << slot;
        EXPECT_FALSE(data->isProfileSlotUsed(slot)) << slot;
    }
    ASSERT_FALSE(data->gameSession().isNull());
    EXPECT_EQ(data->gameSession()->profiles(), data->profileManager().get());
    EXPECT_TRUE(data->loadSaveData());
}

TEST_F(GameSaveDataTest, SettingUpAgainReplacesEveryObjectAndReadsWhatWasSaved)
{
    std::unique_ptr<GameSaveData> data = creatingAnn();
    ASSERT_TRUE(data->commitNewProfile(GameSaveData::Volumes{}, 0));
    // Held, so that a new object cannot take a freed one's address; the
    // session last, as it points at the profiles.
    const FRefT<ProfileManager> firstProfiles = data->profileManager();
    const FRefT<GlobalSettings> firstSettings = data->globalSettings();
    const FRefT<GameSession> firstSession = data->gameSession();

    data->initSaveData(GameSession::Tuning{});
    EXPECT_NE(data->gameSession().get(), firstSession.get());
    EXPECT_NE(data->profileManager().get(), firstProfiles.get());
    EXPECT_NE(data->globalSettings().get(), firstSettings.get());
    EXPECT_EQ(data->gameSession()->profiles(), data->profileManager().get());
    EXPECT_EQ(data->globalSettings()->lastProfile(), FString("Ann"));
    std::vector<FString> names;
    data->profileManager()->getUsedProfileNames(names);
    EXPECT_EQ(names, std::vector<FString>{FString("Ann")});
}

TEST_F(GameSaveDataTest, SettingsThatFailTheirCheckAreRebuiltAndAFolderThatCannotBeWrittenIsReported)
{
    // In this order: the second case makes the folder unreachable.
    enum Fault { k_damagedSettings, k_noFolder };
    for (Fault fault : {k_damagedSettings, k_noFolder}) {
        SCOPED_TRACE(fault);
        if (fault == k_damagedSettings) {
            writeFile("globalsDL.dat",
                      "<root><lastProfile>Bo</lastProfile><fullScreen>true</fullScreen></root>");
            writeFile("globalsDL.dat.crc", std::string(20, 'x'));
        } else {
            blockDataFolder();
        }
        std::unique_ptr<GameSaveData> data = attached();
        data->initSaveData(GameSession::Tuning{});
        EXPECT_EQ(data->globalSettings()->lastProfile(), FString("<>"));
        EXPECT_EQ(data->takePendingSaveError(), fault == k_damagedSettings
                                                    ? GameSaveData::k_saveErrorFileReplaced
                                                    : GameSaveData::k_saveErrorCannotWrite);
        if (fault == k_damagedSettings) {
            // The profiles were set up all the same.
            EXPECT_TRUE(exists(fileOf(0)));
            EXPECT_TRUE(data->globalSettings()->replacedDamagedFile());
        }
        // Loading again: the rebuilt file loads; the folder stays unwritable.
        EXPECT_EQ(data->loadSaveData(), fault == k_damagedSettings);
        EXPECT_FALSE(data->globalSettings()->replacedDamagedFile());
        // The game goes on with a session over six free profiles.
        ASSERT_FALSE(data->gameSession().isNull());
        EXPECT_FALSE(data->isProfileSlotUsed(0));
    }
}

TEST_F(GameSaveDataTest, ACommittedProfileTakesTheRecordTheVolumesAndTheLanguageAndBecomesTheLastProfile)
{
    std::unique_ptr<GameSaveData> data = creatingAnn();
    data->setEditProfileSlot(2);
    ASSERT_TRUE(data->commitNewProfile(GameSaveData::Volumes{30, 20, 4}, 1));
    EXPECT_EQ(data->newProfile(), nullptr);
    EXPECT_EQ(data->globalSettings()->lastProfile(), FString("Ann"));

    std::vector<PlayerProfile> profiles;
    data->copyProfiles(profiles);
    ASSERT_EQ(profiles.size(), 6u);
    const PlayerProfile& ann = profiles[2];
    EXPECT_EQ(ann.name(), FString("Ann"));
    EXPECT_EQ(ann.avatar(), 3);
    EXPECT_TRUE(ann.difficulty());
    EXPECT_EQ(ann.voiceVolume(), 30);
    EXPECT_EQ(ann.musicVolume(), 20);
    EXPECT_EQ(ann.effectVolume(), 4);
    EXPECT_EQ(ann.creationLanguage(), 1);
    for (int slot = 0; slot < 6; ++slot)
        EXPECT_EQ(data->isProfileSlotUsed(slot), slot == 2) << slot;
    EXPECT_NE(readFile(fileOf(2)).find("Ann"), std::string::npos);

    // Any free slot when none is being edited.
    data->beginNewProfile();
    data->newProfile()->name = FString("Bo");
    data->setEditProfileSlot(-1);
    ASSERT_TRUE(data->commitNewProfile(GameSaveData::Volumes{}, 0));
    EXPECT_TRUE(data->isProfileSlotUsed(0));
}

TEST_F(GameSaveDataTest, ARefusedOrImpossibleCommitKeepsWhatThereIs)
{
    // A name in use: the record stays for another try, nothing is recorded.
    std::unique_ptr<GameSaveData> data = creatingAnn();
    ASSERT_TRUE(data->commitNewProfile(GameSaveData::Volumes{}, 0));
    data->globalSettings()->setLastProfile(FString("<>"));
    data->beginNewProfile();
    data->newProfile()->name = FString("Ann");
    EXPECT_FALSE(data->commitNewProfile(GameSaveData::Volumes{}, 0));
    ASSERT_NE(data->newProfile(), nullptr);
    EXPECT_EQ(data->newProfile()->name, FString("Ann"));
    EXPECT_EQ(data->globalSettings()->lastProfile(), FString("<>"));

    // Cancelling frees the record and leaves the edit slot.
    data->setEditProfileSlot(4);
    data->cancelNewProfile();
    EXPECT_EQ(data->newProfile(), nullptr);
    EXPECT_EQ(data->editProfileSlot(), -1);
    // Without a record there is nothing to add.
    EXPECT_FALSE(data->commitNewProfile(GameSaveData::Volumes{}, 0));

    // Before the set-up there is no profile manager to add to.
    std::unique_ptr<GameSaveData> early = attached();
    early->beginNewProfile();
    early->newProfile()->name = FString("Cy");
    EXPECT_FALSE(early->commitNewProfile(GameSaveData::Volumes{}, 0));
    EXPECT_NE(early->newProfile(), nullptr);
    std::vector<PlayerProfile> none;
    early->copyProfiles(none);
    EXPECT_TRUE(none.empty());
}

TEST_F(GameSaveDataTest, ASlotOutsideTheSixProfilesIsARangeFailure)
{
    std::unique_ptr<GameSaveData> data = attached();
    data->initSaveData(GameSession::Tuning{});
    for (int32_t slot : {-1, 6, 100})
        EXPECT_THROW(data->isProfileSlotUsed(slot), std::out_of_range) << slot;
    EXPECT_NO_THROW(data->isProfileSlotUsed(5));
}

TEST_F(GameSaveDataTest, ADamagedSettingsFileNeverCostsAProfile)
{
    enum Fault { k_flippedByte, k_missingSideFile };
    for (Fault fault : {k_flippedByte, k_missingSideFile}) {
        SCOPED_TRACE(fault);
        std::filesystem::remove_all(folder());
        {
            std::unique_ptr<GameSaveData> first = attached();
            first->initSaveData(GameSession::Tuning{});
            first->beginNewProfile();
            first->newProfile()->name = FString("Bob");
            first->setEditProfileSlot(2);
            ASSERT_TRUE(first->commitNewProfile(GameSaveData::Volumes{}, 0));
        }
        const std::string bob = readFile(fileOf(2));
        ASSERT_NE(bob.find("<name>Bob</name>"), std::string::npos);
        std::string settings = readFile("globalsDL.dat");
        if (fault == k_flippedByte) {
            ASSERT_GT(settings.size(), 20u);
            settings[20] = static_cast<char>(~settings[20]);
            writeFile("globalsDL.dat", settings);
        } else {
            std::filesystem::remove(folder() / "globalsDL.dat.crc");
        }

        // The next start: the player creates "Alice" in the slot that holds Bob.
        std::unique_ptr<GameSaveData> data = attached();
        data->initSaveData(GameSession::Tuning{});
        EXPECT_TRUE(data->isProfileSlotUsed(2));
        data->beginNewProfile();
        data->newProfile()->name = FString("Alice");
        data->setEditProfileSlot(2);
        ASSERT_TRUE(data->commitNewProfile(GameSaveData::Volumes{}, 0));
        EXPECT_EQ(readFile(fileOf(2)), bob);
        EXPECT_EQ(data->profileManager()->getProfile(2)->name(), FString("Bob"));
        EXPECT_EQ(data->profileManager()->getProfile(0)->name(), FString("Alice"));

        // The damaged settings were kept aside and rebuilt; the player is told.
        EXPECT_EQ(readFile("globalsDL.dat.bad"), settings);
        EXPECT_TRUE(data->saveManager()->verifyChecksum(FString("globalsDL.dat")));
        EXPECT_EQ(data->takePendingSaveError(), GameSaveData::k_saveErrorFileReplaced);
        EXPECT_EQ(data->takePendingSaveError(), GameSaveData::k_noSaveError);

        // Both profiles are there at the start after.
        std::unique_ptr<GameSaveData> later = attached();
        later->initSaveData(GameSession::Tuning{});
        std::vector<FString> names;
        later->profileManager()->getUsedProfileNames(names);
        EXPECT_EQ(names, (std::vector<FString>{FString("Alice"), FString("Bob")}));
        EXPECT_EQ(later->globalSettings()->lastProfile(), FString("Alice"));
        EXPECT_EQ(later->takePendingSaveError(), GameSaveData::k_noSaveError);
    }
}

TEST_F(GameSaveDataTest, DeletingTheLastProfileClearsItFromTheSettings)
{
    const struct
    {
        const char* deleted;
        const char* lastAfter;
    } cases[] = {
        {"Bo", "<>"},    // the last profile
        {"Ann", "Bo"},   // another one: the settings keep naming Bo
        {"Nobody", "Bo"} // no such profile
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deleted);
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            std::filesystem::remove(entry.path());
        std::unique_ptr<GameSaveData> data = creatingAnn();
        ASSERT_TRUE(data->commitNewProfile(GameSaveData::Volumes{}, 0));
        data->beginNewProfile();
        data->newProfile()->name = FString("Bo");
        ASSERT_TRUE(data->commitNewProfile(GameSaveData::Volumes{}, 0));
        ASSERT_EQ(data->globalSettings()->lastProfile(), FString("Bo"));

        data->deleteProfile(FString(c.deleted));
        EXPECT_EQ(data->globalSettings()->lastProfile(), FString(c.lastAfter));
        std::vector<FString> names;
        data->profileManager()->getUsedProfileNames(names);
        EXPECT_EQ(std::count(names.begin(), names.end(), FString(c.deleted)), 0);

        // The file says so too.
        std::unique_ptr<GameSaveData> later = attached();
        later->initSaveData(GameSession::Tuning{});
        EXPECT_EQ(later->globalSettings()->lastProfile(), FString(c.lastAfter));
    }
}

} // namespace
