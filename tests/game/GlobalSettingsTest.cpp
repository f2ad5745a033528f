#include "game/core/GlobalSettings.h"

#include "SaveFolder.h"

namespace {

class GlobalSettingsTest : public SaveFolderTest
{
protected:
    void SetUp() override
    {
        SaveFolderTest::SetUp();
        m_manager.attachDefaultFileSystem();
    }

    SaveManager m_manager;
};

const char k_firstRun[] = "<root><lastProfile>&lt;&gt;</lastProfile><fullScreen>true</fullScreen></root>";

TEST_F(GlobalSettingsTest, TheFirstRunWritesTheDefaults)
{
    GlobalSettings settings(m_manager);
    EXPECT_TRUE(settings.load());
    EXPECT_EQ(readFile("globalsDL.dat"), k_firstRun);
    EXPECT_EQ(readFile("globalsDL.dat.crc").size(), 20u);

    settings.setLastProfile(FString("Ann"));
    GlobalSettings again(m_manager);
    EXPECT_TRUE(again.load());
    EXPECT_EQ(again.lastProfile(), FString("Ann"));
    EXPECT_TRUE(again.fullScreen());
}

TEST_F(GlobalSettingsTest, TheLastProfileIsSavedOnlyWhenItChanges)
{
    GlobalSettings settings(m_manager);
    ASSERT_TRUE(settings.load());
    const struct
    {
        const char* name;
        bool saves;
        const char* stored;
    } steps[] = {
        {"<>", false, "<>"}, // equal: nothing written
        {"", true, "<>"},    // empty differs from "<>": stored as "<>" and saved
        {"Bo", true, "Bo"},
        {"Bo", false, "Bo"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        std::filesystem::remove(folder() / "globalsDL.dat");
        settings.setLastProfile(FString(step.name));
        EXPECT_EQ(settings.lastProfile(), FString(step.stored));
        EXPECT_EQ(exists("globalsDL.dat"), step.saves);
    }
}

TEST_F(GlobalSettingsTest, AFileThatFailsItsCheckOrIsMalformedIsKeptAsideAndRebuilt)
{
    GlobalSettings first(m_manager);
    ASSERT_TRUE(first.load());
    EXPECT_FALSE(first.replacedDamagedFile());
    first.setLastProfile(FString("Ann"));
    const std::string good = readFile("globalsDL.dat");

    std::filesystem::remove(folder() / "globalsDL.dat.crc");
    GlobalSettings noSide(m_manager);
    EXPECT_TRUE(noSide.load());
    EXPECT_TRUE(noSide.replacedDamagedFile());
    EXPECT_EQ(noSide.lastProfile(), FString("<>"));
    EXPECT_EQ(readFile("globalsDL.dat.bad"), good);
    EXPECT_FALSE(exists("globalsDL.dat.crc.bad"));
    EXPECT_TRUE(m_manager.verifyChecksum(FString("globalsDL.dat")));
    noSide.setLastProfile(FString("Cy"));
    GlobalSettings reread(m_manager);
    EXPECT_TRUE(reread.load());
    EXPECT_FALSE(reread.replacedDamagedFile());
    EXPECT_EQ(reread.lastProfile(), FString("Cy"));

    // A valid side file over content this program never writes.
    for (const char* text :
         {"<root><lastProfile>Ann</lastProfile></root>", "<root><fullScreen>1</fullScreen>",
          "<root><lastProfile>\xff</lastProfile><fullScreen>1</fullScreen></root>"}) {
        SCOPED_TRACE(text);
        writeFile("globalsDL.dat", text);
        ASSERT_TRUE(m_manager.writeChecksum(FString("globalsDL.dat")));
        GlobalSettings malformed(m_manager);
        EXPECT_TRUE(malformed.load());
        EXPECT_TRUE(malformed.replacedDamagedFile());
        EXPECT_EQ(malformed.lastProfile(), FString("<>"));
        EXPECT_EQ(readFile("globalsDL.dat.bad"), text);
        EXPECT_TRUE(exists("globalsDL.dat.crc.bad"));
        EXPECT_TRUE(m_manager.verifyChecksum(FString("globalsDL.dat")));
    }
    writeFile("globalsDL.dat", "<root><lastProfile>Di</lastProfile><fullScreen>1</fullScreen></root>");
    ASSERT_TRUE(m_manager.writeChecksum(FString("globalsDL.dat")));
    GlobalSettings numeric(m_manager);
    EXPECT_TRUE(numeric.load());
    EXPECT_EQ(numeric.lastProfile(), FString("Di"));
    EXPECT_TRUE(numeric.fullScreen());
}

TEST_F(GlobalSettingsTest, WithSavesDisabledNothingTouchesTheDisk)
{
    m_manager.disableSaves();
    GlobalSettings settings(m_manager);
    EXPECT_TRUE(settings.load());
    EXPECT_TRUE(settings.save());
    settings.setLastProfile(FString("Ann"));
    EXPECT_FALSE(exists("globalsDL.dat"));
}

TEST_F(GlobalSettingsTest, AFolderThatCannotBeMadeFailsTheFirstSave)
{
    blockDataFolder();
    SaveManager blocked;
    blocked.attachDefaultFileSystem();
    GlobalSettings settings(blocked);
    EXPECT_FALSE(settings.load());
}

} // namespace
