// The options overlay over folder 21: its opening and closing timelines, the
// sliders and the game module's volumes, OK, cancel, reset, the legal button,
// and the pointer filter.
#include "engine/graphics/FakeGraph.h"
#include "game/gameplay/GameplayTestSupport.h"

#include "game/core/GameSaveData.h"
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/gameplay/OptionsHostScreen.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/StepSlider.h"

#include <gtest/gtest.h>

using namespace gameplaytest;

namespace {

class OptionsHostScreenTest : public testing::Test, protected HostedScreen<OptionsHostScreen>
{
protected:
    OptionsHostScreenTest()
    {
        module.run();
        module.showScreen(k_mainMenuScreen);
        OptionsHostScreen& s = screen();
        module.soundNames = {{"confirm", s.m_confirmSound.get()},
                             {"cancel", s.m_cancelSound.get()},
                             {"tick", s.m_tickSound.get()},
                             {"preview", s.m_voicePreview.get()}};
        module.take();
    }

    // Opens the overlay and runs it to fully open.
    void openFully()
    {
        screen().openMenuPanel();
        screen().update(OptionsHostScreen::k_slideMs);
        screen().update(OptionsHostScreen::k_coverFadeMs);
        ASSERT_TRUE(screen().m_panelOpen);
        module.take();
    }

    // The screen point of a slider's step `step` on its track.
    FPointI stepPoint(const StepSlider& slider, int32_t step)
    {
        const FRectI& panel = screen().m_optionsPanel->rect();
        const int32_t segment = slider.width() / slider.stepCount();
        return {panel.left + slider.rect().left + step * segment, panel.top + slider.rect().top + 4};
    }

    void drag(StepSlider& slider, int32_t from, int32_t to, int32_t pointer = 0)
    {
        screen().onPointerDown(pointer, 8, stepPoint(slider, from));
        screen().onPointerMove(pointer, stepPoint(slider, to));
        screen().onPointerUp(pointer, 8, stepPoint(slider, to));
    }

    // Makes a current profile in slot 0 with the module's volumes.
    PlayerProfile& makeProfile()
    {
        module.getSaveManager()->attachDefaultFileSystem();
        module.initSaveData();
        module.beginNewProfile();
        module.saveData().newProfile()->name = FString("Ann");
        module.saveData().setEditProfileSlot(0);
        EXPECT_TRUE(module.commitNewProfile());
        module.profileManager()->saveProfile(0);
        PlayerProfile* profile = module.profileManager()->getCurrentProfile();
        EXPECT_NE(profile, nullptr);
        return *profile;
    }
};

TEST_F(OptionsHostScreenTest, ActivationHidesTheOverlayAndDisablesTheMainMenuButtons)
{
    OptionsHostScreen& s = screen();
    const std::vector<FWidget*> overlay = {s.m_optionsPanel.get(), s.m_okButton.get(),
                                           s.m_cancelButton.get(), s.m_topPiece.get(),
                                           s.m_bottomPiece.get(),  s.m_legalButton.get()};
    for (FWidget* widget : overlay)
        EXPECT_FALSE(widget->isVisible());
    for (FButton* button : {s.m_legalButton.get(), s.m_resetButton.get(), s.m_displayModeButton.get()})
        EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(s.musicSlider()->stepCount(), 16);
    EXPECT_EQ(s.effectsSlider()->stepCount(), 10);
    EXPECT_EQ(s.voiceSlider()->stepCount(), 16);
    EXPECT_EQ(s.m_versionLabel->text(), FString("1.0.3"));
}

TEST_F(OptionsHostScreenTest, OpeningSlidesFadesAndOpensClosingRunsBackAndCallsTheDelegate)
{
    OptionsHostScreen& s = screen();
    int closed = 0;
    struct Counter
    {
        int* count;
        void hit() { ++*count; }
    } counter{&closed};
    OptionsHostScreen::PanelDelegate* delegate = makeObjectDelegate(&counter, &Counter::hit);
    s.setPanelDelegate(delegate);
    freeAndNull(delegate);

    s.openMenuPanel();
    // Both pieces start at the middle line, the top one centred on it.
    EXPECT_EQ(s.m_topPiece->rect().top, 300 - s.m_topPiece->height() / 2);
    EXPECT_EQ(s.m_bottomPiece->rect().top, 300 + s.m_bottomPiece->height() / 2);
    EXPECT_TRUE(s.m_openingSlide);
    s.update(699);
    EXPECT_TRUE(s.m_openingSlide);
    EXPECT_FALSE(s.m_optionsPanel->isVisible());
    s.update(1);
    EXPECT_FALSE(s.m_openingSlide);
    EXPECT_TRUE(s.isPanelFadingIn());
    EXPECT_TRUE(s.m_optionsPanel->isVisible());
    EXPECT_EQ(s.m_topPiece->rect().top, s.topRest().y);
    EXPECT_EQ(s.m_bottomPiece->rect().top, s.bottomRest().y);
    EXPECT_NE(s.topEmitter(), nullptr);
    EXPECT_NE(s.bottomEmitter(), nullptr);
    // Outside the main menu only OK and cancel come.
    EXPECT_TRUE(s.m_okButton->isVisible());
    EXPECT_TRUE(s.m_cancelButton->isVisible());
    s.update(49);
    EXPECT_FALSE(s.m_panelOpen);
    s.update(1);
    EXPECT_TRUE(s.m_panelOpen);
    EXPECT_FALSE(s.m_cover->isVisible());

    s.onOptionsCancelled();
    EXPECT_TRUE(s.isPanelFadingOut());
    EXPECT_FALSE(s.m_okButton->isVisible());
    s.update(50);
    EXPECT_TRUE(s.m_closingSlide);
    EXPECT_FALSE(s.m_optionsPanel->isVisible());
    s.update(699);
    EXPECT_EQ(closed, 0);
    s.update(1);
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(s.m_closingSlide);
    EXPECT_FALSE(s.m_topPiece->isVisible());
    EXPECT_FALSE(s.m_bottomPiece->isVisible());
    // The strip goes on the first frame after the slide.
    s.update(1);
    EXPECT_FALSE(s.m_stretchStrip->isVisible());
}

TEST_F(OptionsHostScreenTest, DraggingAppliesVolumesAtOnceAndCancelRestoresTheOpeningValues)
{
    module.setMusicVolume(24);
    module.setVoiceVolume(44);
    module.setSfxVolumeScale(6);
    openFully();
    OptionsHostScreen& s = screen();
    EXPECT_EQ(s.musicSlider()->step(), 6);
    EXPECT_EQ(s.voiceSlider()->step(), 11);
    EXPECT_EQ(s.effectsSlider()->step(), 6);

    drag(*s.musicSlider(), 6, 8);
    EXPECT_EQ(module.musicVolume(), 32);
    drag(*s.effectsSlider(), 6, 3);
    EXPECT_EQ(module.sfxVolumeScale(), 3);
    EXPECT_EQ(module.voiceVolume(), 44);
    Lines calls = module.take();
    // Each step the knob passes ticks; no voice preview without a voice change.
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "dialogue preview"), 0);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "music 32"), calls.end());

    drag(*s.voiceSlider(), 11, 13);
    EXPECT_EQ(module.voiceVolume(), 52);
    calls = module.take();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "dialogue preview"), 1);

    s.onOptionsCancelled();
    EXPECT_EQ(module.take(), (Lines{"sound cancel at 63", "music 24", "voice 44", "effects 6"}));
    EXPECT_EQ(module.musicVolume(), 24);
}

TEST_F(OptionsHostScreenTest, WhileOpenOnlyPointerZeroAndTheLeftOrConfirmButtonsMoveASlider)
{
    module.setMusicVolume(24);
    openFully();
    OptionsHostScreen& s = screen();
    drag(*s.musicSlider(), 6, 9, 1);
    EXPECT_EQ(module.musicVolume(), 24);
    const FPointI from = stepPoint(*s.musicSlider(), 6);
    s.onPointerDown(0, 9, from);
    s.onPointerMove(0, stepPoint(*s.musicSlider(), 9));
    EXPECT_EQ(module.musicVolume(), 24);
    s.onPointerUp(0, 9, from);
    // The pad's confirm button counts as the left button.
    s.onPointerDown(0, 6, from);
    s.onPointerMove(0, stepPoint(*s.musicSlider(), 9));
    s.onPointerUp(0, 6, stepPoint(*s.musicSlider(), 9));
    EXPECT_EQ(module.musicVolume(), 36);
    // An inactive application moves nothing.
    s.onAppDeactivated();
    s.onPointerDown(0, 8, stepPoint(*s.musicSlider(), 9));
    s.onPointerMove(0, stepPoint(*s.musicSlider(), 2));
    s.onPointerUp(0, 8, stepPoint(*s.musicSlider(), 2));
    EXPECT_EQ(module.musicVolume(), 36);
}

TEST_F(OptionsHostScreenTest, ResetPutsDefaultVolumesIntoEveryProfileAndTheSliders)
{
    module.setMusicVolume(64);
    module.setVoiceVolume(0);
    module.setSfxVolumeScale(10);
    PlayerProfile& profile = makeProfile();
    profile.setMusicVolume(64);
    openFully();
    OptionsHostScreen& s = screen();
    s.onResetVolumes();
    EXPECT_EQ(module.musicVolume(), 24);
    EXPECT_EQ(module.voiceVolume(), 44);
    EXPECT_EQ(module.sfxVolumeScale(), 6);
    EXPECT_EQ(s.musicSlider()->step(), 6);
    EXPECT_EQ(s.voiceSlider()->step(), 11);
    EXPECT_EQ(s.effectsSlider()->step(), 6);
    EXPECT_EQ(profile.musicVolume(), 24);
    EXPECT_EQ(profile.voiceVolume(), 44);
    EXPECT_EQ(profile.effectVolume(), 6);
    EXPECT_TRUE(profile.isChanged());
}

TEST_F(OptionsHostScreenTest, OkStoresChangedVolumesInTheCurrentProfileAndSavesIt)
{
    PlayerProfile& profile = makeProfile();
    profile.setMusicVolume(24);
    profile.setVoiceVolume(44);
    profile.setEffectVolume(6);
    module.profileManager()->saveProfile(0);
    ASSERT_FALSE(profile.isChanged());
    module.setMusicVolume(24);
    module.setVoiceVolume(44);
    module.setSfxVolumeScale(6);

    // Unchanged values leave the profile unchanged.
    openFully();
    screen().onOptionsAccepted();
    EXPECT_FALSE(profile.isChanged());
    screen().update(50);
    screen().update(700);

    openFully();
    drag(*screen().musicSlider(), 6, 8);
    screen().onOptionsAccepted();
    EXPECT_EQ(profile.musicVolume(), 32);
    EXPECT_EQ(profile.voiceVolume(), 44);
    // Saved: the changed mark is gone again.
    EXPECT_FALSE(profile.isChanged());
}

TEST_F(OptionsHostScreenTest, OkWithoutAProfileOnlyClosesAndTakesTheCancelValuesFromTheModule)
{
    module.setMusicVolume(40);
    openFully();
    drag(*screen().musicSlider(), 10, 12);
    screen().onOptionsCancelled();
    EXPECT_EQ(module.musicVolume(), 40);
    screen().update(50);
    screen().update(700);
    openFully();
    screen().onOptionsAccepted();
    EXPECT_EQ(module.take(), (Lines{"sound confirm at 63"}));
    EXPECT_TRUE(screen().isPanelFadingOut());
}

TEST_F(OptionsHostScreenTest, OkAndCancelAreIgnoredWhileTheCoverFades)
{
    OptionsHostScreen& s = screen();
    s.openMenuPanel();
    s.update(700);
    ASSERT_TRUE(s.isPanelFadingIn());
    s.onOptionsAccepted();
    s.onOptionsCancelled();
    EXPECT_TRUE(s.isPanelFadingIn());
    EXPECT_TRUE(module.take().empty());
    s.update(50);
    ASSERT_TRUE(s.m_panelOpen);
    // A double click on OK hides and saves once.
    s.onOptionsAccepted();
    s.onOptionsAccepted();
    s.onOptionsCancelled();
    EXPECT_EQ(module.take(), (Lines{"sound confirm at 63"}));
    s.update(50);
    EXPECT_TRUE(s.m_closingSlide);
}

TEST_F(OptionsHostScreenTest, TheLegalButtonLeavesThroughTheLoadingScreenAndBlocksTheSliders)
{
    openFully();
    // The test's factory replaces the screen at once; hold on to the one that
    // asked so that its state can still be read.
    const auto held = module.currentScreen();
    OptionsHostScreen& s = screen();
    s.goToLegalScreen();
    EXPECT_EQ(module.pendingScreen(), k_legalScreen);
    ASSERT_FALSE(module.screens.empty());
    EXPECT_EQ(module.screens.back(), k_loadingScreen);
    EXPECT_TRUE(s.isBlocked());
}

} // namespace

namespace {

TEST_F(OptionsHostScreenTest, LegalResetAndDisplayModeShowOnlyInTheMainMenu)
{
    for (const int32_t kind : {k_mainMenuScreen, k_storyModeScreen}) {
        SCOPED_TRACE(kind);
        module.showScreen(kind);
        OptionsHostScreen& s = screen();
        s.openMenuPanel();
        s.update(OptionsHostScreen::k_slideMs);
        const bool menu = kind == k_mainMenuScreen;
        for (FButton* button : {s.m_legalButton.get(), s.m_resetButton.get(), s.m_displayModeButton.get()})
            EXPECT_EQ(button->isVisible(), menu);
        EXPECT_TRUE(s.m_okButton->isVisible());
        s.update(OptionsHostScreen::k_coverFadeMs);
        s.onOptionsAccepted();
        s.update(OptionsHostScreen::k_coverFadeMs);
        s.update(OptionsHostScreen::k_slideMs);
    }
}

TEST_F(OptionsHostScreenTest, TheModuleRefusesAnEffectScaleAboveTenAndKeepsItsOwn)
{
    module.setSfxVolumeScale(7);
    module.setSfxVolumeScale(11);
    module.setSfxVolumeScale(-1);
    EXPECT_EQ(module.sfxVolumeScale(), 7);
}

} // namespace

namespace {

TEST_F(OptionsHostScreenTest, TheDisplayModeButtonSwitchesTheWindowAndItsCaption)
{
    FakeGraph graph;
    graph.setWindowMode(FGraph::k_modeFixedWindow);
    openFully();
    OptionsHostScreen& s = screen();
    s.onToggleDisplayMode();
    EXPECT_EQ(graph.getWindowMode(), FGraph::k_modeFullScreen);
    EXPECT_EQ(s.m_displayModeButton->caption().text(), FString("Window"));
    s.onToggleDisplayMode();
    EXPECT_EQ(graph.getWindowMode(), FGraph::k_modeFixedWindow);
    EXPECT_EQ(s.m_displayModeButton->caption().text(), FString("Full screen"));
    // Another mode only clicks.
    graph.setWindowMode(FGraph::k_modeResizableWindow);
    module.take();
    s.onToggleDisplayMode();
    EXPECT_EQ(graph.getWindowMode(), FGraph::k_modeResizableWindow);
    EXPECT_EQ(module.take(), (Lines{"sound confirm at 63"}));
}

} // namespace
