// The name entry over folder 20: the key step and the cleaning of the seven
// slots (tables and random key runs), the OK button's state, the name-taken
// notice, the create and edit paths and back.

#include "game/frontend/MenuTestSupport.h"

#include "core/FKeyCode.h"
#include "game/core/GameSaveData.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/ProfileNameBuffer.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/NameEntryScreen.h"
#include "ui/FEditBox.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace frontendtest;

namespace {

class NameEntryScreenTest : public testing::Test, protected MenuFixture
{
protected:
    NameEntryScreen& entry(int32_t slot = 0)
    {
        module.saveData().setEditProfileSlot(slot);
        return show<NameEntryScreen>(k_nameEntryScreen);
    }
    // Keys as characters: letters and digits type, '#' is backspace, '<'
    // and '>' the arrow keys, anything else the key of that sign.
    static void press(NameEntryScreen& screen, const std::string& keys)
    {
        for (char key : keys) {
            if (key == '#')
                screen.pressKey(static_cast<char16_t>(FKeyCode::k_backspace));
            else if (key == '<')
                screen.onKeyDown(FKeyCode::k_left);
            else if (key == '>')
                screen.onKeyDown(FKeyCode::k_right);
            else
                screen.pressKey(static_cast<char16_t>(key));
        }
    }
    static std::string field(NameEntryScreen& screen) { return screen.m_nameField->text().toUtf8(); }
    static int32_t caret(NameEntryScreen& screen) { return screen.m_nameField->caret(); }
    void addProfile(int32_t slot, const char* name)
    {
        module.beginNewProfile();
        module.saveData().newProfile()->name = FString(name);
        module.saveData().setEditProfileSlot(slot);
        ASSERT_TRUE(module.commitNewProfile());
    }
};

TEST_F(NameEntryScreenTest, TheKeyStepFollowsTheSlotRules)
{
    struct Case
    {
        const char* keys;
        const char* field;
        int32_t caret;
    } const cases[] = {
        {"", "_______", 0},         {"BOB", "BOB____", 3},     {"#", "_______", 0},
        {"ABC#", "AB_____", 2},     {"ABC<#", "A_C____", 1},   {"AC<B", "ABC____", 2},
        {"ABCDEFGH", "ABCDEFG", 7}, {"A .!?-@", "A______", 1}, {"A<<<>>>", "A______", 3},
        {"7z", "7z_____", 2},       {"ABC<<<D", "DABC___", 1}, {"ABCDEFG<<D", "ABCDEFG", 5},
    };
    NameEntryScreen& screen = entry();
    for (const Case& c : cases) {
        // Back to seven free slots with the caret on the first.
        press(screen, ">>>>>>>#######");
        ASSERT_EQ(field(screen), "_______");
        press(screen, c.keys);
        EXPECT_EQ(field(screen), c.field) << c.keys;
        EXPECT_EQ(caret(screen), c.caret) << c.keys;
        EXPECT_EQ(screen.m_okButton->isEnabled(), std::string(c.field) != "_______") << c.keys;
    }
}

TEST_F(NameEntryScreenTest, CleaningDropsOuterFreeSlotsAndSpacesInnerOnes)
{
    const std::pair<const char*, const char*> cases[] = {
        {"ABC____", "ABC"}, {"_ABC___", "ABC"},     {"AB_CD__", "AB CD"}, {"A__B___", "A  B"},
        {"_______", ""},    {"ABCDEFG", "ABCDEFG"}, {"_A_B_C_", "A B C"}, {"______Z", "Z"},
    };
    for (const auto& [slots, name] : cases)
        EXPECT_EQ(NameEntryScreen::cleanName(FString(slots)).toUtf8(), name) << slots;
}

TEST_F(NameEntryScreenTest, RandomKeysKeepSevenSlotsAndAPlainName)
{
    std::mt19937 random(33);
    const std::string keys = "ABCXYZabcxyz0189 .!#<>";
    NameEntryScreen& screen = entry();
    for (int run = 0; run < 400; ++run) {
        press(screen, std::string(1, keys[random() % keys.size()]));
        const std::string slots = field(screen);
        ASSERT_EQ(slots.size(), 7u) << slots;
        ASSERT_GE(caret(screen), 0);
        ASSERT_LE(caret(screen), 7);
        const std::string name = NameEntryScreen::cleanName(screen.m_nameField->text()).toUtf8();
        ASSERT_LE(name.size(), 7u);
        for (char c : name)
            ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == ' ') << name;
        if (!name.empty()) {
            EXPECT_NE(name.front(), ' ') << name;
            EXPECT_NE(name.back(), ' ') << name;
        }
    }
}

TEST_F(NameEntryScreenTest, ShiftAndTheLayerKeyChangeWhatTheKeysShow)
{
    NameEntryScreen& screen = entry();
    EXPECT_TRUE(screen.m_lettersPanel->isVisible());
    EXPECT_FALSE(screen.m_symbolsPanel->isVisible());
    EXPECT_EQ(screen.m_keyA->caption().text(), FString("A"));
    screen.onShift(*screen.m_shiftKey);
    EXPECT_EQ(screen.m_keyA->caption().text(), FString("a"));
    screen.onKeyA(*screen.m_keyA);
    screen.onKey1(*screen.m_key1);
    screen.onShift(*screen.m_shiftKey);
    screen.onKeyA(*screen.m_keyA);
    EXPECT_EQ(field(screen), "a1A____");
    screen.onSwitchLayer(*screen.m_layerKey);
    EXPECT_FALSE(screen.m_lettersPanel->isVisible());
    EXPECT_TRUE(screen.m_symbolsPanel->isVisible());
    EXPECT_EQ(screen.m_layerKey->caption().text(), FString("ABC"));
    screen.onSwitchLayer(*screen.m_layerKey);
    EXPECT_EQ(screen.m_layerKey->caption().text(), FString("123"));
    EXPECT_FALSE(screen.m_spareKey->isEnabled());
}

TEST_F(NameEntryScreenTest, ANameAnotherSlotHasIsRefusedWithTheNotice)
{
    addProfile(1, "BOB");
    NameEntryScreen& screen = entry(0);
    press(screen, "BOB");
    screen.onOk(*screen.m_okButton);
    EXPECT_EQ(screen.getFrontMessageKind(), NameEntryScreen::k_nameTakenNotice);
    EXPECT_FALSE(screen.isLeaving());
    EXPECT_EQ(module.saveData().newProfile(), nullptr);
    // Another case is another name.
    screen.onConfirmMessage(NameEntryScreen::k_nameTakenNotice);
    advance(1000);
    press(screen, "###bob");
    screen.onOk(*screen.m_okButton);
    EXPECT_TRUE(screen.isLeaving());
    ASSERT_NE(module.saveData().newProfile(), nullptr);
    EXPECT_EQ(module.saveData().newProfile()->name, FString("bob"));
}

TEST_F(NameEntryScreenTest, AnEmptyNameCannotBeConfirmed)
{
    NameEntryScreen& screen = entry();
    press(screen, "  ..");
    screen.onOk(*screen.m_okButton);
    EXPECT_FALSE(screen.isLeaving());
    EXPECT_EQ(screen.getFrontMessageKind(), 0);
    EXPECT_FALSE(screen.m_okButton->isEnabled());
}

TEST_F(NameEntryScreenTest, EditingKeepsItsOwnNameAndGoesOnToTheAvatars)
{
    addProfile(0, "ANN");
    module.saveData().setReturnToProfileScreen(true);
    NameEntryScreen& screen = entry(0);
    EXPECT_EQ(field(screen), "ANN____");
    EXPECT_EQ(caret(screen), 3);
    screen.onOk(*screen.m_okButton);
    EXPECT_TRUE(screen.isLeaving());
    EXPECT_EQ(module.saveData().pendingProfileName(), FString("ANN"));
    module.screens.clear();
    EXPECT_TRUE(runUntil(k_avatarSelectScreen, 3000));
}

TEST_F(NameEntryScreenTest, BackAndForthKeepsOneRecordWithTheLastName)
{
    {
        NameEntryScreen& screen = entry(2);
        press(screen, "BOB");
        screen.onOk(*screen.m_okButton);
        ASSERT_TRUE(runUntil(k_avatarSelectScreen, 4000));
    }
    NameEntryScreen& again = show<NameEntryScreen>(k_nameEntryScreen);
    EXPECT_EQ(field(again), "BOB____");
    press(again, "BY");
    again.onOk(*again.m_okButton);
    ASSERT_NE(module.saveData().newProfile(), nullptr);
    EXPECT_EQ(module.saveData().newProfile()->name, FString("BOBBY"));
    EXPECT_EQ(module.saveData().editProfileSlot(), 2);
}

TEST_F(NameEntryScreenTest, BackDropsANewRecordButKeepsTheEditFlag)
{
    NameEntryScreen& creating = entry(3);
    module.beginNewProfile();
    creating.onBack(*creating.m_backButton);
    EXPECT_EQ(module.saveData().newProfile(), nullptr);
    EXPECT_EQ(module.saveData().editProfileSlot(), -1);
    ASSERT_TRUE(runUntil(k_profileScreen, 4000));

    addProfile(0, "ANN");
    module.saveData().setReturnToProfileScreen(true);
    NameEntryScreen& editing = entry(0);
    editing.onBack(*editing.m_backButton);
    editing.onOk(*editing.m_okButton);
    EXPECT_EQ(module.saveData().editProfileSlot(), -1);
    EXPECT_TRUE(module.saveData().returnToProfileScreen());
}

TEST_F(NameEntryScreenTest, TheFieldIgnoresPointerAndTypedKeys)
{
    NameEntryScreen& screen = entry();
    press(screen, "AB");
    const FPointI inside = screen.m_nameField->getAbsolutePosition();
    screen.onPointerDown(0, 8, {inside.x + 2, inside.y + 2});
    screen.onPointerUp(0, 8, {inside.x + 2, inside.y + 2});
    screen.onKeyDown('C');
    screen.onKeyDown(FKeyCode::k_backspace);
    EXPECT_EQ(field(screen), "AB_____");
    EXPECT_EQ(caret(screen), 2);
}

} // namespace
