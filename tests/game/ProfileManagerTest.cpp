#include "game/core/ProfileManager.h"

#include "SaveFolder.h"
#include "game/core/GlobalSettings.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

class ProfileManagerTest : public SaveFolderTest
{
protected:
    void SetUp() override
    {
        SaveFolderTest::SetUp();
        m_manager.attachDefaultFileSystem();
    }

    static std::string fileOf(int slot) { return "Pdl_" + std::to_string(slot) + ".p"; }

    // A manager over the folder with its six profiles loaded or created.
    ProfileManager& started()
    {
        m_profiles = std::make_unique<ProfileManager>(m_manager);
        EXPECT_TRUE(m_profiles->createInitialFiles());
        return *m_profiles;
    }

    SaveManager m_manager;
    std::unique_ptr<ProfileManager> m_profiles;
};

TEST_F(ProfileManagerTest, TheFirstRunWritesSixFreeProfiles)
{
    ProfileManager& profiles = started();
    EXPECT_EQ(profiles.currentIndex(), 5);
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(readFile(fileOf(slot)).rfind("<root><name>&lt;&gt;</name>", 0), 0u) << slot;
        EXPECT_EQ(readFile(fileOf(slot) + ".crc").size(), 20u) << slot;
    }
    EXPECT_EQ(profiles.getProfile(6), nullptr);
    EXPECT_EQ(profiles.getProfile(-1), nullptr);
    std::vector<FString> names{FString("stale")};
    profiles.getUsedProfileNames(names);
    EXPECT_TRUE(names.empty());

    // The next start loads all six and has no current profile.
    ProfileManager& again = started();
    EXPECT_EQ(again.currentIndex(), -1);
    EXPECT_EQ(again.getCurrentProfile(), nullptr);
}

TEST_F(ProfileManagerTest, ProfilesTakeTheWishedOrTheFirstFreeSlot)
{
    ProfileManager& profiles = started();
    profiles.newProfileTemplate().avatar = 4;
    profiles.newProfileTemplate().musicVolume = 10;
    ASSERT_TRUE(profiles.addProfile(FString("ABCDEFGHIJKL"), 2, 3)); // exactly 12 units
    EXPECT_EQ(profiles.currentIndex(), 3);
    const PlayerProfile* added = profiles.getCurrentProfile();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->avatar(), 4);
    EXPECT_EQ(added->musicVolume(), 10);
    EXPECT_FALSE(added->difficulty());
    EXPECT_EQ(added->creationLanguage(), 2);
    EXPECT_FALSE(added->isChanged());

    const struct
    {
        const char* name;
        int32_t slot;
        bool added;
        int32_t current; // afterwards
    } cases[] = {
        {"Bo", 3, true, 0},            // wished slot taken: the first free one
        {"Cy", 7, false, 0},           // no such slot, although slots are free
        {"Bo", -1, false, 0},          // the name is in use
        {"Di", -1, true, 1},           // any slot
        {"ABCDEFGHIJKL", 2, false, 1}, // in use, before any slot is looked at
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(profiles.addProfile(FString(c.name), 0, c.slot), c.added);
        EXPECT_EQ(profiles.currentIndex(), c.current);
    }
    EXPECT_ANY_THROW(profiles.addProfile(FString("ABCDEFGHIJKLM"), 0, -1));
    std::vector<FString> names;
    profiles.getUsedProfileNames(names);
    EXPECT_EQ(names, (std::vector<FString>{FString("Bo"), FString("Di"), FString("ABCDEFGHIJKL")}));

    // Filling every slot leaves none.
    ASSERT_TRUE(profiles.addProfile(FString("E"), 0, -1));
    ASSERT_TRUE(profiles.addProfile(FString("F"), 0, -1));
    ASSERT_TRUE(profiles.addProfile(FString("G"), 0, -1));
    EXPECT_FALSE(profiles.addProfile(FString("H"), 0, -1));

    // The profiles come back on the next start.
    ProfileManager& again = started();
    EXPECT_EQ(again.getProfile(3)->name(), FString("ABCDEFGHIJKL"));
    EXPECT_EQ(again.getProfile(3)->avatar(), 4);
}

TEST_F(ProfileManagerTest, SavingAndDeletingFollowTheChangedFlag)
{
    ProfileManager& profiles = started();
    ASSERT_TRUE(profiles.addProfile(FString("Ann"), 0, 2));
    std::filesystem::remove(folder() / fileOf(2));
    EXPECT_TRUE(profiles.saveProfile(4));
    EXPECT_TRUE(profiles.saveProfile(2)); // unchanged: skipped, but current
    EXPECT_EQ(profiles.currentIndex(), 2);
    EXPECT_FALSE(exists(fileOf(2)));
    EXPECT_THROW(profiles.saveProfile(6), std::out_of_range);

    profiles.getProfile(2)->setQuestResult(0, 3);
    EXPECT_TRUE(profiles.saveProfile(2));
    EXPECT_TRUE(exists(fileOf(2)));

    profiles.saveProfile(1);
    profiles.deleteProfile(FString("Nobody"));
    EXPECT_EQ(profiles.currentIndex(), 1);
    profiles.deleteProfile(FString("Ann"));
    EXPECT_EQ(profiles.currentIndex(), 2);
    EXPECT_EQ(profiles.getProfile(2)->name(), FString("<>"));
    EXPECT_EQ(profiles.getProfile(2)->avatar(), 0);
    EXPECT_EQ(readFile(fileOf(2)).rfind("<root><name>&lt;&gt;</name>", 0), 0u);
}

TEST_F(ProfileManagerTest, ABadFileIsKeptAsideAndReplaced)
{
    {
        ProfileManager& profiles = started();
        ASSERT_TRUE(profiles.addProfile(FString("Ann"), 0, 1));
        ASSERT_TRUE(profiles.addProfile(FString("Bo"), 0, 2));
        ASSERT_TRUE(profiles.addProfile(FString("Cy"), 0, 4));
    }
    // Slot 1 fails its check; slot 2 passes it but is malformed; slot 4 is fine.
    const std::string tampered = readFile(fileOf(1)) + " ";
    writeFile(fileOf(1), tampered);
    writeFile(fileOf(2), "<root><name>Bo</name></root>");
    ASSERT_TRUE(m_manager.writeChecksum(FString(fileOf(2).c_str())));

    ProfileManager& profiles = started();
    EXPECT_EQ(profiles.getProfile(1)->name(), FString("<>"));
    EXPECT_EQ(profiles.getProfile(2)->name(), FString("<>"));
    EXPECT_EQ(profiles.getProfile(4)->name(), FString("Cy"));
    EXPECT_EQ(profiles.currentIndex(), 2);
    EXPECT_EQ(readFile(fileOf(1) + ".bad"), tampered);
    EXPECT_EQ(readFile(fileOf(2) + ".bad"), "<root><name>Bo</name></root>");
    EXPECT_TRUE(exists(fileOf(1) + ".crc.bad"));
    EXPECT_TRUE(m_manager.verifyChecksum(FString(fileOf(1).c_str())));
}

TEST_F(ProfileManagerTest, AFolderThatCannotBeMadeFailsTheFirstRun)
{
    blockDataFolder();
    SaveManager blocked;
    blocked.attachDefaultFileSystem();
    ProfileManager profiles(blocked);
    EXPECT_FALSE(profiles.createInitialFiles());
    EXPECT_TRUE(profiles.getProfile(0)->isChanged());
}

TEST_F(ProfileManagerTest, EveryNameThatIsTakenReadsBackAsItWasWritten)
{
    const struct
    {
        const char* what;
        std::u16string name;
        bool taken;
    } cases[] = {
        {"plain", u"Ann", true},
        {"accents", u"Zo\u00eb \u00c9lise", true},
        {"CJK", u"\u4e2d\u6587\u540d", true},
        {"last BMP unit", u"a\uffff", true},
        {"byte-order mark inside", u"a\ufeffb", true},
        {"emoji", u"A\U0001F600b", true},
        {"six emoji, twelve units", u"\U0001F600\U0001F601\U0001F602\U0001F603\U0001F604\U0001F605", true},
        {"highest plane", u"\U0010FFFD", true},
        {"spaces kept", u"  two  sp ", true},
        {"spaces only", u"   ", true},
        {"tab and line feed", u"a\tb\nc", false},
        {"markup", u"<&>\"'", true},
        {"character data end", u"]]>", true},
        {"entity text", u"&#65;&amp;", true},
        {"delete", u"a\u007fb", true},
        {"empty", u"", true},
        {"lone high surrogate", u"A\xD800", false},
        {"lone low surrogate", u"\xDC00z", false},
        {"reversed pair", u"\xDE00\xD83D", false},
        {"control character", u"a\u0001b", false},
        {"zero unit", std::u16string(u"a\0b", 3), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            std::filesystem::remove(entry.path());
        const FString name(std::u16string_view(c.name));
        ProfileManager& profiles = started();
        EXPECT_EQ(profiles.addProfile(name, 0, 2), c.taken);
        if (!c.taken) {
            EXPECT_EQ(profiles.getProfile(2)->name(), FString("<>"));
            continue;
        }
        GlobalSettings settings(m_manager);
        ASSERT_TRUE(settings.load());
        settings.setLastProfile(name);

        ProfileManager& again = started();
        EXPECT_EQ(again.getProfile(2)->name(), name);
        EXPECT_EQ(again.replacedFiles(), 0);
        GlobalSettings reread(m_manager);
        EXPECT_TRUE(reread.load());
        EXPECT_FALSE(reread.replacedDamagedFile());
        // An empty name is recorded as no profile.
        EXPECT_EQ(reread.lastProfile(), name.empty() ? FString("<>") : name);
    }
}

} // namespace
