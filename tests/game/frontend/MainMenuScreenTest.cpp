// The main menu over folder 18: where activation puts its buttons, the play
// choice through the backdrop (once), the options overlay and its way back,
// the quit question, the music rule and the system pause.

#include "game/frontend/MenuTestSupport.h"

#include "game/core/GameSaveData.h"
#include "game/core/GameSession.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/MainMenuScreen.h"
#include "game/widgets/VideoSprite.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace frontendtest;

namespace {

class MainMenuScreenTest : public testing::Test, protected MenuFixture
{
protected:
    MainMenuScreen& menu()
    {
        MainMenuScreen& screen = show<MainMenuScreen>(k_mainMenuScreen);
        module.soundNames = {{"select", screen.m_selectSound.get()},
                             {"confirm", screen.m_confirmSound.get()}};
        module.take();
        module.screens.clear();
        return screen;
    }
    int32_t requests(int32_t kind) const
    {
        return static_cast<int32_t>(std::count(module.screens.begin(), module.screens.end(), kind));
    }
    static FButton& anyButton(MainMenuScreen& screen) { return *screen.m_playClickArea; }
    // The sounds the test named (the backdrop and the buttons make more).
    gameplaytest::Lines namedSounds()
    {
        gameplaytest::Lines named;
        for (const std::string& line : module.take())
            if (line.rfind("sound ?", 0) != 0) named.push_back(line);
        return named;
    }
};

TEST_F(MainMenuScreenTest, ActivationMovesTheButtonsAndLeavesTheSpareHidden)
{
    module.beginNewProfile();
    module.saveData().setEditProfileSlot(2);
    module.saveData().setReturnToProfileScreen(true);
    MainMenuScreen& screen = menu();
    // The screen file's places: play at 150, options at 320, quit at 410.
    EXPECT_EQ(screen.m_playButton->rect().top, 200);
    EXPECT_EQ(screen.m_optionsButton->rect().top, 290);
    EXPECT_EQ(screen.m_quitButton->rect().top, 390);
    EXPECT_FALSE(screen.m_spareButton->isVisible());
    EXPECT_FALSE(screen.m_spareClickArea->isVisible());
    EXPECT_FALSE(screen.m_playIconAnchor->isVisible() && screen.playMenuButton()->icon() == nullptr);
    EXPECT_EQ(screen.playMenuButton()->icon(), screen.m_playIconAnchor.get());
    EXPECT_EQ(screen.playMenuButton()->caption()->text(), FString("Play"));
    EXPECT_EQ(screen.optionsMenuButton()->caption()->text(), FString("Options"));
    EXPECT_EQ(screen.quitMenuButton()->caption()->text(), FString("Quit"));
    EXPECT_EQ(screen.playMenuButton()->clipKind(), MainMenuScreen::k_playClipState);
    EXPECT_EQ(screen.quitMenuButton()->clipKind(), MainMenuScreen::k_otherClipState);
    ASSERT_EQ(screen.menuButtons().size(), 4u);
    EXPECT_EQ(screen.menuButtons()[1].get(), screen.m_spareButton.get());
    ASSERT_NE(backdrop(), nullptr);
    EXPECT_TRUE(backdrop()->isSetUp());
    EXPECT_EQ(module.particleViewUsers(), 1);
    EXPECT_EQ(module.getGameSession()->mode(), 0);
    // A half-made profile is dropped.
    EXPECT_EQ(module.saveData().newProfile(), nullptr);
    EXPECT_EQ(module.saveData().editProfileSlot(), -1);
    EXPECT_FALSE(module.saveData().returnToProfileScreen());
    // The calm lines show once the backdrop rests.
    settle();
    EXPECT_TRUE(screen.m_taglineLabel->isVisible());
    EXPECT_TRUE(screen.m_hintLabel->isVisible());
}

TEST_F(MainMenuScreenTest, PlayLeavesForTheProfileScreenOnceThroughTheBackdrop)
{
    MainMenuScreen& screen = menu();
    settle();
    screen.onProfileButtonClicked(anyButton(screen));
    screen.onProfileButtonClicked(anyButton(screen));
    screen.onOptionsButtonClicked(anyButton(screen));
    screen.onQuitButtonClicked(anyButton(screen));
    EXPECT_EQ(namedSounds(), (gameplaytest::Lines{"sound select at 63"}));
    EXPECT_EQ(screen.getFrontMessageKind(), 0);
    EXPECT_EQ(requests(k_profileScreen), 0);
    advance(3000);
    EXPECT_EQ(requests(k_profileScreen), 1);
}

TEST_F(MainMenuScreenTest, OptionsOpenOverTheMenuAndClosingBringsItBack)
{
    MainMenuScreen& screen = menu();
    settle();
    screen.onOptionsButtonClicked(anyButton(screen));
    EXPECT_EQ(namedSounds(), (gameplaytest::Lines{"sound confirm at 63"}));
    EXPECT_TRUE(screen.isChoiceMade());
    advance(3000);
    ASSERT_TRUE(screen.m_openingSlide || screen.m_panelOpen);
    for (AnimatedMenuButton* button :
         {screen.playMenuButton(), screen.optionsMenuButton(), screen.quitMenuButton()})
        EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(screen.m_backdropPanel->isVisible());
    EXPECT_FALSE(screen.m_hintLabel->isVisible());
    EXPECT_EQ(module.currentKind(), k_mainMenuScreen);

    screen.onOptionsCancelled();
    advance(2000);
    EXPECT_FALSE(screen.m_panelOpen);
    EXPECT_FALSE(screen.isChoiceMade());
    for (AnimatedMenuButton* button :
         {screen.playMenuButton(), screen.optionsMenuButton(), screen.quitMenuButton()})
        EXPECT_TRUE(button->isVisible());
    EXPECT_FALSE(screen.m_spareButton->isVisible());
    EXPECT_TRUE(screen.m_backdropPanel->isVisible());
    EXPECT_FALSE(backdrop()->closeToCallback);

    // A second visit to the options works as the first.
    settle();
    module.take();
    screen.onOptionsButtonClicked(anyButton(screen));
    EXPECT_EQ(namedSounds(), (gameplaytest::Lines{"sound confirm at 63"}));
    advance(3000);
    EXPECT_TRUE(screen.m_openingSlide || screen.m_panelOpen);
    EXPECT_EQ(requests(k_profileScreen), 0);
}

TEST_F(MainMenuScreenTest, TheQuitQuestionEndsTheProgramOnlyWhenConfirmed)
{
    MainMenuScreen& screen = menu();
    screen.onQuitButtonClicked(anyButton(screen));
    EXPECT_EQ(screen.getFrontMessageKind(), MainMenuScreen::k_quitConfirmation);
    EXPECT_FALSE(screen.isChoiceMade());
    // The question fades in before its buttons answer.
    advance(500);
    screen.onCancelClicked(*screen.ScreenLayout27::m_cancelButton);
    advance(500);
    EXPECT_EQ(screen.getFrontMessageKind(), 0);
    EXPECT_FALSE(module.isQuitting());

    // Still usable: the question comes again, and confirming ends.
    screen.onQuitButtonClicked(anyButton(screen));
    ASSERT_EQ(screen.getFrontMessageKind(), MainMenuScreen::k_quitConfirmation);
    screen.onConfirmMessage(MainMenuScreen::k_quitConfirmation);
    EXPECT_TRUE(module.isQuitting());
}

TEST_F(MainMenuScreenTest, TheRestartFlagIsTakenByTheMenu)
{
    module.setMenuMusicRestart(true);
    menu();
    EXPECT_FALSE(module.menuMusicRestart());
}

TEST_F(MainMenuScreenTest, ClipsStandStillWhileTheGameIsPaused)
{
    MainMenuScreen& screen = menu();
    VideoSprite* clip = screen.playMenuButton()->clipSprite();
    ASSERT_NE(clip, nullptr);
    addSoundChannels();
    ASSERT_NE(module.sounds(), nullptr);
    // The clip runs on its first frames while the game runs (it has three).
    ASSERT_TRUE(clip->isPlaying());
    ASSERT_LT(clip->currentFrame(), 2);
    module.pauseAudioAndCursor(false);
    const int32_t frame = clip->currentFrame();
    screen.update(200);
    EXPECT_EQ(clip->currentFrame(), frame);
    module.resumeAudioAndCursor(true);
    screen.update(60);
    EXPECT_NE(clip->currentFrame(), frame);
}

TEST_F(MainMenuScreenTest, LeavingGivesUpTheBackdrop)
{
    menu();
    EXPECT_EQ(module.particleViewUsers(), 1);
    held.release();
    module.showScreen(k_loadingScreen);
    EXPECT_EQ(module.particleViewUsers(), 0);
    EXPECT_EQ(backdrop(), nullptr);
}

} // namespace
