// The profile list (folder 26), the avatar choice (folder 2), the difficulty
// choice (folder 8) and the story prologue (folder 13), and a scripted run
// from the main menu through a new profile to the loading screen.

#include "game/frontend/MenuTestSupport.h"

#include "game/core/GameSaveData.h"
#include "game/core/GameSession.h"
#include "game/core/GameStructure.h"
#include "game/core/GlobalSettings.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/ProfileNameBuffer.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/AvatarSelectScreen.h"
#include "game/frontend/GameModeScreen.h"
#include "game/frontend/MainMenuScreen.h"
#include "game/frontend/NameEntryScreen.h"
#include "game/frontend/ProfileMenuScreen.h"
#include "game/frontend/ProfileScreen.h"
#include "game/frontend/ZibboSplashScreen.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FLabel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace frontendtest;

namespace {

class ProfileFlowTest : public testing::Test, protected MenuFixture
{
protected:
    void addProfile(int32_t slot, const char* name, int16_t avatar)
    {
        module.beginNewProfile();
        module.saveData().newProfile()->name = FString(name);
        module.saveData().newProfile()->avatar = avatar;
        module.saveData().setEditProfileSlot(slot);
        ASSERT_TRUE(module.commitNewProfile());
        module.saveData().setEditProfileSlot(-1);
    }
    bool requested(int32_t kind) const
    {
        return std::find(module.screens.begin(), module.screens.end(), kind) != module.screens.end();
    }
    PlayerProfile* profile(int32_t slot) { return module.profileManager()->getProfile(slot); }
};

TEST_F(ProfileFlowTest, ModeButtonsShowOnlyWithAnAvatar)
{
    ProfileScreen& empty = show<ProfileScreen>(k_profileScreen);
    EXPECT_FALSE(empty.m_editButton->isVisible());
    EXPECT_FALSE(empty.m_deleteButton->isEnabled());
    EXPECT_FALSE(empty.m_editCaption->isVisible());
    EXPECT_TRUE(empty.isSlotEmpty(0));
    EXPECT_EQ(empty.slotMenuButton(0)->caption()->text(), FString("- new player -"));

    addProfile(1, "ANN", 0);
    addProfile(2, "BOB", 3);
    addProfile(4, "CY", 9);
    ProfileScreen& screen = show<ProfileScreen>(k_profileScreen);
    EXPECT_TRUE(screen.m_editButton->isVisible());
    EXPECT_TRUE(screen.m_deleteButton->isEnabled());
    EXPECT_TRUE(screen.m_deleteCaption->isVisible());
    EXPECT_EQ(screen.slotMenuButton(2)->caption()->text(), FString("BOB"));
    EXPECT_EQ(screen.slotMenuButton(2)->icon(), screen.m_avatarPictureTwo.get());
    EXPECT_TRUE(screen.slotMenuButton(2)->badgeLabel()->isVisible());
    EXPECT_EQ(screen.slotMenuButton(2)->badgeLabel()->text(), FString("0"));
    // Avatar 0 and 9 have no picture: no icon, no stars.
    EXPECT_EQ(screen.slotMenuButton(1)->icon(), nullptr);
    EXPECT_EQ(screen.slotMenuButton(4)->icon(), nullptr);
    EXPECT_FALSE(screen.slotMenuButton(4)->badgeLabel()->isVisible());
}

TEST_F(ProfileFlowTest, AnEmptySlotStartsANewProfileAndAUsedOneThePrologue)
{
    addProfile(2, "BOB", 3);
    ProfileScreen& screen = show<ProfileScreen>(k_profileScreen);
    screen.onSlotZeroClicked(*screen.slotClickArea(0));
    screen.onSlotTwoClicked(*screen.slotClickArea(2));
    EXPECT_EQ(module.saveData().editProfileSlot(), 0);
    EXPECT_FALSE(module.saveData().returnToProfileScreen());
    ASSERT_TRUE(runUntil(k_nameEntryScreen, 4000));

    ProfileScreen& again = show<ProfileScreen>(k_profileScreen);
    again.onSlotTwoClicked(*again.slotClickArea(2));
    EXPECT_EQ(module.profileManager()->getCurrentProfile(), profile(2));
    EXPECT_EQ(module.getGlobalSettings()->lastProfile(), FString("BOB"));
    ASSERT_TRUE(runUntil(k_gameModeScreen, 4000));
}

TEST_F(ProfileFlowTest, EditAndDeleteModesEndOnAnEmptySlotWithoutASound)
{
    addProfile(1, "ANN", 2);
    ProfileScreen& screen = show<ProfileScreen>(k_profileScreen);
    module.soundNames = {{"confirm", screen.m_confirmSound.get()}};
    for (auto mode : {&ProfileScreen::onEditClicked, &ProfileScreen::onDeleteClicked}) {
        (screen.*mode)(*screen.m_editButton);
        EXPECT_NE(screen.mode(), ProfileScreen::k_select);
        module.take();
        screen.onSlotFiveClicked(*screen.slotClickArea(5));
        EXPECT_EQ(screen.mode(), ProfileScreen::k_select);
        EXPECT_TRUE(module.take().empty());
        EXPECT_FALSE(screen.isBusy());
    }
    screen.onEditClicked(*screen.m_editButton);
    screen.onSlotOneClicked(*screen.slotClickArea(1));
    EXPECT_TRUE(module.saveData().returnToProfileScreen());
    EXPECT_EQ(module.saveData().editProfileSlot(), 1);
    ASSERT_TRUE(runUntil(k_nameEntryScreen, 4000));
}

TEST_F(ProfileFlowTest, DeletingAsksAndRemovesEverySlotOfThatName)
{
    addProfile(0, "ANN", 2);
    // A new profile may not take a used name; saves from elsewhere may hold
    // one twice, so the second is renamed in place.
    addProfile(3, "ANX", 4);
    profile(3)->setName(FString("ANN"));
    addProfile(5, "BOB", 1);
    module.getGlobalSettings()->setLastProfile(FString("ANN"));
    ProfileScreen& screen = show<ProfileScreen>(k_profileScreen);
    screen.onDeleteClicked(*screen.m_deleteButton);
    screen.onSlotZeroClicked(*screen.slotClickArea(0));
    ASSERT_EQ(screen.getFrontMessageKind(), ProfileScreen::k_deleteProfileConfirmation);
    screen.onCancel();
    EXPECT_EQ(screen.mode(), ProfileScreen::k_select);
    EXPECT_EQ(profile(0)->name(), FString("ANN"));
    advance(1000);

    screen.onDeleteClicked(*screen.m_deleteButton);
    screen.onSlotThreeClicked(*screen.slotClickArea(3));
    ASSERT_EQ(screen.getFrontMessageKind(), ProfileScreen::k_deleteProfileConfirmation);
    screen.onConfirmMessage(ProfileScreen::k_deleteProfileConfirmation);
    EXPECT_EQ(profile(0)->name(), FString("<>"));
    EXPECT_EQ(profile(3)->name(), FString("<>"));
    EXPECT_EQ(profile(5)->name(), FString("BOB"));
    EXPECT_NE(module.getGlobalSettings()->lastProfile(), FString("ANN"));
    EXPECT_TRUE(screen.isSlotEmpty(3));
    EXPECT_EQ(screen.slotMenuButton(3)->caption()->text(), FString("- new player -"));
    EXPECT_FALSE(screen.slotMenuButton(3)->badgeLabel()->isVisible());
    EXPECT_EQ(screen.slotToDelete(), -1);
    EXPECT_TRUE(screen.m_editButton->isVisible());
}

TEST_F(ProfileFlowTest, BackLeavesForTheMainMenuOnce)
{
    ProfileScreen& screen = show<ProfileScreen>(k_profileScreen);
    module.soundNames = {{"cancel", screen.m_cancelSound.get()}};
    module.take();
    screen.onBackClicked(*screen.m_backButton);
    screen.onBackClicked(*screen.m_backButton);
    EXPECT_EQ(module.take(), (gameplaytest::Lines{"sound cancel at 63"}));
    ASSERT_TRUE(runUntil(k_mainMenuScreen, 4000));
}

TEST_F(ProfileFlowTest, AnAvatarGoesIntoTheNewRecordOrIsSavedWithTheEditedProfile)
{
    module.beginNewProfile();
    AvatarSelectScreen& creating = show<AvatarSelectScreen>(k_avatarSelectScreen);
    creating.onAvatar3Clicked(*creating.m_avatar3Button);
    creating.onAvatar1Clicked(*creating.m_avatar1Button);
    EXPECT_EQ(module.saveData().newProfile()->avatar, 3);
    ASSERT_TRUE(runUntil(k_profileMenuScreen, 4000));

    addProfile(4, "ANN", 2);
    module.saveData().setEditProfileSlot(4);
    module.saveData().setReturnToProfileScreen(true);
    module.setNewProfileName(FString("ANNA"));
    AvatarSelectScreen& editing = show<AvatarSelectScreen>(k_avatarSelectScreen);
    EXPECT_EQ(profile(4)->name(), FString("ANNA"));
    editing.onAvatar5Clicked(*editing.m_avatar5Button);
    EXPECT_FALSE(module.saveData().returnToProfileScreen());
    ASSERT_TRUE(runUntil(k_profileScreen, 4000));
    // Read again from the files: the new avatar was saved.
    held.release();
    module.initSaveData();
    EXPECT_EQ(profile(4)->name(), FString("ANNA"));
    EXPECT_EQ(profile(4)->avatar(), 5);
}

TEST_F(ProfileFlowTest, AFaceGrowsUnderThePointerAndShrinksBack)
{
    module.beginNewProfile();
    AvatarSelectScreen& screen = show<AvatarSelectScreen>(k_avatarSelectScreen);
    settle();
    const FRectI rest = screen.restingRect(1);
    const FPointI origin = screen.m_backdropPanel->getAbsolutePosition();
    screen.onPointerMove(0, {origin.x + rest.left + 5, origin.y + rest.top + 5});
    EXPECT_TRUE(screen.isHovered(1));
    const FRectI grown = screen.choiceButton(1)->rect();
    EXPECT_NEAR(grown.right - grown.left, (rest.right - rest.left) * 1.15, 1.0);
    // The right edge is outside.
    screen.onPointerMove(0, {origin.x + grown.right, origin.y + rest.top + 5});
    EXPECT_FALSE(screen.isHovered(1));
    EXPECT_EQ(screen.choiceButton(1)->rect().left, rest.left);
    EXPECT_EQ(screen.choiceButton(1)->rect().right, rest.right);
}

TEST_F(ProfileFlowTest, ARefusedProfileStaysOnTheDifficultyScreenWithANotice)
{
    ProfileMenuScreen& screen = show<ProfileMenuScreen>(k_profileMenuScreen);
    // No pending record: nothing can be created.
    screen.onRegularClicked(*screen.m_regularClickArea);
    EXPECT_EQ(screen.getFrontMessageKind(), ProfileMenuScreen::k_profileRefused);
    EXPECT_FALSE(screen.isLeaving());
    EXPECT_FALSE(screen.isGoOnPending());
    advance(3000);
    EXPECT_EQ(module.currentKind(), k_profileMenuScreen);
}

TEST_F(ProfileFlowTest, AChoiceCreatesTheProfileAndGoesOnAfterAnUpdate)
{
    for (bool regular : {true, false}) {
        module.beginNewProfile();
        module.saveData().newProfile()->name = FString(regular ? "REG" : "KID");
        module.saveData().newProfile()->avatar = 4;
        module.saveData().setEditProfileSlot(regular ? 1 : 2);
        ProfileMenuScreen& screen = show<ProfileMenuScreen>(k_profileMenuScreen);
        if (regular)
            screen.onRegularClicked(*screen.m_regularClickArea);
        else
            screen.onKidsClicked(*screen.m_kidsClickArea);
        screen.onBackClicked(*screen.m_backButton);
        PlayerProfile* current = module.profileManager()->getCurrentProfile();
        ASSERT_NE(current, nullptr);
        EXPECT_EQ(current->name(), FString(regular ? "REG" : "KID"));
        EXPECT_EQ(current->difficulty(), regular);
        EXPECT_EQ(current->avatar(), 4);
        EXPECT_EQ(module.getGlobalSettings()->lastProfile(), current->name());
        EXPECT_TRUE(screen.isGoOnPending());
        // The system pause lives in the sound channels: without them there
        // is no pause to hold the step back.
        if (module.sounds() != nullptr) {
            module.pauseAudioAndCursor(false);
            screen.update(10);
            EXPECT_TRUE(screen.isGoOnPending());
            module.resumeAudioAndCursor(true);
        }
        screen.update(10);
        EXPECT_FALSE(screen.isGoOnPending());
        ASSERT_TRUE(runUntil(k_gameModeScreen, 4000));
    }
}

// Presses until the prologue has set the session up; false when it hangs.
bool runPrologue(MenuFixture& fixture, GameModeScreen& prologue, std::vector<int32_t>* intervals)
{
    for (int32_t t = 0; t < 60000 && !prologue.isDone(); t += 50) {
        if (intervals != nullptr && (intervals->empty() || intervals->back() != prologue.typeInterval()))
            intervals->push_back(prologue.typeInterval());
        prologue.onPointerDown(0, 8, {400, 300});
        fixture.advance(50);
    }
    return prologue.isDone();
}

TEST_F(ProfileFlowTest, ThePrologueTypesFourCaptionsAndSetsUpTheSpecialQuest)
{
    loadGameData();
    addProfile(0, "BOB", 3);
    GameModeScreen& prologue = show<GameModeScreen>(k_gameModeScreen);
    EXPECT_EQ(prologue.typeInterval(), 72);
    advance(72 * 5 + 20);
    EXPECT_TRUE(prologue.isTyping());
    EXPECT_FALSE(prologue.isCaptionComplete());
    EXPECT_EQ(prologue.m_captionLabel->text(), FString("Long "));
    // A press completes, the next moves on to the first clip.
    prologue.onPointerDown(0, 8, {10, 10});
    EXPECT_TRUE(prologue.isCaptionComplete());
    EXPECT_EQ(prologue.step(), 0);
    prologue.onPointerDown(0, 8, {10, 10});
    EXPECT_EQ(prologue.step(), 1);
    EXPECT_TRUE(prologue.clipFade().isActive());
    // Presses during the fade do nothing.
    prologue.onPointerDown(0, 8, {10, 10});
    EXPECT_EQ(prologue.step(), 1);

    std::vector<int32_t> intervals;
    ASSERT_TRUE(runPrologue(*this, prologue, &intervals));
    EXPECT_EQ(intervals, (std::vector<int32_t>{72, 69, 66, 63}));
    const FRefT<GameSession> session = module.getGameSession();
    EXPECT_EQ(session->currentWorldIndex(), 0);
    EXPECT_EQ(session->currentWorld(), &session->structure().worlds().front());
    EXPECT_EQ(session->currentQuestType(), GameStructure::k_specialQuestType);
    EXPECT_EQ(session->currentQuest(), &session->structure().specialQuest());
    module.screens.clear();
    advance(300);
    EXPECT_FALSE(requested(k_loadingScreen));
    advance(100);
    EXPECT_TRUE(requested(k_loadingScreen));
}

TEST_F(ProfileFlowTest, ANewProfileFromTheSplashToTheFirstLevel)
{
    module.showScreen(k_splashScreen);
    // The splash screen takes a press once the menu it goes to is built.
    advance(500);
    awaitLoad();
    advance(100);
    auto* splash = dynamic_cast<ZibboSplashScreen*>(module.currentScreen().get());
    ASSERT_NE(splash, nullptr);
    ASSERT_TRUE(splash->isReady());
    module.onPointerDown(0, 8, {400, 300});
    module.onPointerUp(0, 8, {400, 300});
    ASSERT_TRUE(runUntil(k_mainMenuScreen, 5000));
    auto& menu = *dynamic_cast<MainMenuScreen*>(module.currentScreen().get());
    settle();
    menu.onProfileButtonClicked(*menu.m_playClickArea);
    ASSERT_TRUE(runUntil(k_profileScreen, 5000));
    auto& list = *dynamic_cast<ProfileScreen*>(module.currentScreen().get());
    settle();
    list.onSlotZeroClicked(*list.slotClickArea(0));
    ASSERT_TRUE(runUntil(k_nameEntryScreen, 5000));
    auto& entry = *dynamic_cast<NameEntryScreen*>(module.currentScreen().get());
    settle();
    entry.onKeyB(*entry.m_keyB);
    entry.onKeyO(*entry.m_keyO);
    entry.onKeyB(*entry.m_keyB);
    entry.onOk(*entry.m_okButton);
    ASSERT_TRUE(runUntil(k_avatarSelectScreen, 5000));
    auto& faces = *dynamic_cast<AvatarSelectScreen*>(module.currentScreen().get());
    settle();
    faces.onAvatar3Clicked(*faces.m_avatar3Button);
    ASSERT_TRUE(runUntil(k_profileMenuScreen, 5000));
    auto& difficulty = *dynamic_cast<ProfileMenuScreen*>(module.currentScreen().get());
    settle();
    difficulty.onRegularClicked(*difficulty.m_regularClickArea);
    ASSERT_TRUE(runUntil(k_gameModeScreen, 5000));

    PlayerProfile* bob = profile(0);
    EXPECT_EQ(bob->name(), FString("BOB"));
    EXPECT_EQ(bob->avatar(), 3);
    EXPECT_TRUE(bob->difficulty());
    int32_t files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch.path() / "userdata")) {
        const std::string name = entry.path().filename().string();
        if (name == "Pdl_0.p" || name == "Pdl_0.p.crc") ++files;
    }
    EXPECT_EQ(files, 2);

    held = module.currentScreen();
    auto& prologue = *dynamic_cast<GameModeScreen*>(held.get());
    module.screens.clear();
    ASSERT_TRUE(runPrologue(*this, prologue, nullptr));
    ASSERT_TRUE(runUntil(k_loadingScreen, 2000));
    const FRefT<GameSession> session = module.getGameSession();
    EXPECT_EQ(session->currentWorldIndex(), 0);
    EXPECT_EQ(session->currentQuestType(), GameStructure::k_specialQuestType);
    held.release();
    ASSERT_TRUE(runUntil(k_storyModeScreen, 3000));

    // The files read back.
    module.initSaveData();
    EXPECT_EQ(profile(0)->name(), FString("BOB"));
    EXPECT_EQ(profile(0)->avatar(), 3);
}

} // namespace
