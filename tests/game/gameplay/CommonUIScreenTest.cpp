// The common gameplay screen over folder 6: what it binds and gives back,
// the world's animation records, the pause request rules, the power-up view
// queue, the dimmer and the power-up messages.
#include "game/gameplay/GameplayTestSupport.h"
#include "support/ScreenFiles.h"

#include "asset/FRawDataModule.h"
#include "core/FKeyCode.h"
#include "game/core/ActivePowerUp.h"
#include "game/core/PowerUpKind.h"
#include "game/core/ScreenKind.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/gameplay/PowerUpView.h"
#include "game/widgets/FlashSprite.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FButton.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace gameplaytest;

namespace {

// The world records the screen reads for world 1, and a second world's.
const char* const k_animTable =
    "<root><World0><Anims count=\"2\">"
    "<_0><IsUsed>1</IsUsed><Top>40</Top><Left>120</Left><IsLooping>1</IsLooping><Name>World01Anim01</Name>"
    "<Sound>World01HotSpot01</Sound></_0>"
    "<_1><IsUsed>0</IsUsed><Top>-5</Top><Left>7</Left><IsLooping>0</IsLooping><Name>World01Anim02</Name>"
    "<Sound></Sound></_1></Anims></World0>"
    "<World1><Anims count=\"0\"></Anims></World1></root>";

// Writes the first world's folder and the animation table into the scratch
// folder before the module builds a screen.
struct WorldFiles
{
    explicit WorldFiles(const std::filesystem::path& scratch)
    {
        writeScreenFiles(WORLD_MANIFESTS "/036.lua", scratch);
        std::ofstream(scratch / "012" / "006644_0.dat", std::ios::binary) << k_animTable;
    }
};

class CommonUIScreenTest : public testing::Test, protected HostedScreen<TestCommonScreen>
{
protected:
    CommonUIScreenTest()
    {
        module.run();
        module.showScreen(k_storyModeScreen);
        TestCommonScreen& s = screen();
        module.soundNames = {{"menu open", s.m_menuOpenSound.get()},
                             {"cue", s.m_cueSound.get()},
                             {"open", s.m_openSound.get()}};
        module.take();
    }

    // Constructed before the fixture's body builds the screen.
    WorldFiles worldFiles{scratch.path()};
    // The animation table is a raw-data asset.
    FRawDataModule rawData;
};

TEST_F(CommonUIScreenTest, BindsFolderSixWithItsNameMapsAndGivesEveryUseBack)
{
    TestCommonScreen& s = screen();
    EXPECT_EQ(screens.useCount(6), 1);
    // The voice lines the found-item flow and the HUD entries read by name.
    const std::pair<const NamedAssetMap*, std::vector<std::string>> maps[] = {
        {&s.m_questVoices, {"KTQ_03_14a_sm", "KTQ_03_14b_sm", "KTQ_PAR_001_smt", "KTQ_PAR_002_smt"}},
        {&s.m_starmantleFoundVoices, {"SMSearchableFound01", "SMSearchableFound13"}},
        {&s.m_zibboFoundVoices, {"ZibboSearchableFound01", "ZibboSearchableFound14"}},
        {&s.m_questFinishVoices, {"SMQuestFinish01", "SMQuestFinish10"}},
    };
    const std::size_t sizes[] = {4, 13, 14, 10};
    for (std::size_t m = 0; m < 4; ++m) {
        EXPECT_EQ(maps[m].first->size(), sizes[m]) << m;
        for (const std::string& name : maps[m].second) {
            const FRef* sample = maps[m].first->find(name);
            ASSERT_NE(sample, nullptr) << name;
            EXPECT_NE(sample->get(), nullptr) << name;
        }
    }
    EXPECT_EQ(s.m_starmantleFoundVoices.find("SMSearchableFound14"), nullptr);
    // The hint images: the even ids, then the odd ones ending with 1071.
    ASSERT_EQ(s.hintImagesA().size(), 10u);
    ASSERT_EQ(s.hintImagesB().size(), 10u);
    EXPECT_EQ(s.hintImagesA().front().get(), s.m_hintBling1Image.get());
    EXPECT_EQ(s.hintImagesB().back().get(), s.m_hintPanel10Image.get());
    // The first world's records, the pause backdrop and the exit points.
    ASSERT_EQ(s.animRecords().size(), 2u);
    EXPECT_EQ(s.animRecords()[0].left, 120);
    EXPECT_EQ(s.animRecords()[1].top, -5);
    EXPECT_NE(s.worldScene().get(), nullptr);
    ASSERT_NE(s.pauseBackdrop(), nullptr);
    EXPECT_FALSE(s.pauseBackdrop()->isVisible());
    EXPECT_EQ(s.pauseBackdrop()->widgetColour() >> 24, CommonUIScreen::k_backdropAlpha);
    const std::deque<FPointI> exits = {{s.width() + 100, -100}, {-100, 300}, {s.width() + 100, 700}};
    EXPECT_EQ(s.exitPoints(), exits);
    for (int32_t player : {0, 1}) {
        EXPECT_FALSE(s.clickMarker(player)->isVisible());
        EXPECT_EQ(s.foundEffect(player)->frameRate(), 12);
        EXPECT_FALSE(s.foundFlash(player)->isVisible());
    }
    EXPECT_FALSE(module.isPauseRequested());

    // A second screen binds every folder of the chain and the world's once
    // more, and gives each use back.
    const int32_t folders[] = {6, 12, 21, 23, 24, 25, 27, 30, 36};
    std::vector<int32_t> before;
    for (int32_t folder : folders)
        before.push_back(screens.useCount(folder));
    {
        FRefT<TestCommonScreen> second(makeRef(engineNew<TestCommonScreen>(k_memObject)));
        for (std::size_t i = 0; i < std::size(folders); ++i)
            EXPECT_EQ(screens.useCount(folders[i]), before[i] + 1) << folders[i];
    }
    for (std::size_t i = 0; i < std::size(folders); ++i)
        EXPECT_EQ(screens.useCount(folders[i]), before[i]) << folders[i];
}

TEST_F(CommonUIScreenTest, ReloadedTextsReachTheHoldersAndTheVoiceLinesStay)
{
    TestCommonScreen& s = screen();
    const FRef cover = s.m_coverMessage;
    const void* line = s.m_zibboFoundVoices.find("ZibboSearchableFound07")->get();
    s.reloadTexts(1);
    EXPECT_EQ(*cover.as<FString>(), FString("Recouvert ! Cliquez cinq fois pour percer"));
    EXPECT_EQ(s.m_taskLabel->text(), FString("Trouvez les objets cachés !"));
    EXPECT_EQ(s.m_zibboFoundVoices.find("ZibboSearchableFound07")->get(), line);
    s.reloadTexts(0);
}

TEST_F(CommonUIScreenTest, ActivationHidesTheTaskLabelBelowItsPlaceAndLeavesTheOverlayButtonsHidden)
{
    TestCommonScreen& s = screen();
    FLabel& label = *s.m_taskLabel;
    EXPECT_FALSE(label.isVisible());
    EXPECT_EQ(label.rect().top, 260 + 40);
    // Enabled for the options overlay, yet not floating over the level.
    for (FButton* button : {s.m_resetButton.get(), s.m_displayModeButton.get()}) {
        EXPECT_TRUE(button->isEnabled());
        EXPECT_FALSE(button->isVisible());
    }
}

TEST_F(CommonUIScreenTest, EscapePausesOnceWhileTheLevelRunsAndOtherKeysDoNothing)
{
    TestCommonScreen& s = screen();
    s.onKeyDown('p');
    EXPECT_FALSE(s.m_pauseContainer->isVisible());
    EXPECT_TRUE(module.take().empty());

    s.onKeyDown(FKeyCode::k_escape);
    EXPECT_TRUE(s.m_pauseContainer->isVisible());
    EXPECT_TRUE(module.isPauseRequested());
    EXPECT_EQ(module.take(), (Lines{"sound menu open at 63"}));
    // Already shown: no sound, the rest of the request runs.
    s.onKeyDown(FKeyCode::k_escape);
    EXPECT_TRUE(module.take().empty());

    // While the options overlay is open or sliding, nothing.
    s.m_pauseContainer->setVisible(false);
    module.setPauseRequested(false);
    for (bool* flag : {&s.m_panelOpen, &s.m_openingSlide, &s.m_closingSlide, &s.m_optionsRequested}) {
        *flag = true;
        s.onKeyDown(FKeyCode::k_escape);
        EXPECT_FALSE(s.m_pauseContainer->isVisible());
        EXPECT_FALSE(module.isPauseRequested());
        *flag = false;
    }
    // While the pause overlay is up the level does not run.
    s.m_pauseClosed = false;
    s.requestPause();
    EXPECT_FALSE(s.m_pauseContainer->isVisible());
}

TEST_F(CommonUIScreenTest, ASystemPauseRequestsThePauseOverlayOnce)
{
    TestCommonScreen& s = screen();
    module.systemPaused = true;
    s.update(16);
    EXPECT_TRUE(s.m_pauseContainer->isVisible());
    EXPECT_TRUE(module.isPauseRequested());
    EXPECT_EQ(module.take().front(), "sound menu open at 63");
    s.m_pauseContainer->setVisible(false);
    s.update(16);
    EXPECT_FALSE(s.m_pauseContainer->isVisible());
}

TEST_F(CommonUIScreenTest, PowerUpViewsAreLinkedToTheirRecordAndRemovedById)
{
    TestCommonScreen& s = screen();
    ActivePowerUp none(7, k_powerUpNone);
    ActivePowerUp outside(8, 8);
    s.addIndividualPowerUpView(none);
    s.addIndividualPowerUpView(outside);
    EXPECT_TRUE(s.powerUpViews().empty());

    ActivePowerUp boost(11, k_powerUpComboBoost);
    boost.setSlot(1);
    ActivePowerUp cover(12, k_powerUpCover);
    s.addIndividualPowerUpView(boost);
    s.addIndividualPowerUpView(cover);
    ASSERT_EQ(s.powerUpViews().size(), 2u);
    PowerUpView* first = s.getPowerUpViewByUniqueId(11);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->hostScreen(), &s);
    EXPECT_EQ(first->player(), 1);
    EXPECT_EQ(first->state(), ActivePowerUp::k_stateCreated);
    EXPECT_EQ(s.viewLog, (std::vector<std::string>{"setup 11", "setup 12"}));
    // The record's changes reach its view.
    boost.setState(ActivePowerUp::k_stateUsed);
    EXPECT_EQ(first->state(), ActivePowerUp::k_stateUsed);

    s.removePowerUpView(99);
    EXPECT_EQ(s.powerUpViews().size(), 2u);
    s.removePowerUpView(11);
    EXPECT_EQ(s.getPowerUpViewByUniqueId(11), nullptr);
    // A removed view's listener stays behind in the record and calls nothing.
    boost.setState(ActivePowerUp::k_stateEnded);
    s.clearOwnedItemQueue();
    EXPECT_TRUE(s.powerUpViews().empty());
}

TEST_F(CommonUIScreenTest, TheViewsChangedFlagEndsTheFramesViewLoop)
{
    TestCommonScreen& s = screen();
    ActivePowerUp a(1, k_powerUpThrow), b(2, k_powerUpFlip);
    s.addIndividualPowerUpView(a);
    s.addIndividualPowerUpView(b);
    s.viewLog.clear();
    static_cast<TestView*>(s.getPowerUpViewByUniqueId(1))->onUpdate = [&] { s.setViewsChanged(true); };
    s.update(20);
    EXPECT_EQ(s.viewLog, (std::vector<std::string>{"update 1 20"}));
    s.viewLog.clear();
    static_cast<TestView*>(s.getPowerUpViewByUniqueId(1))->onUpdate = nullptr;
    s.update(20);
    EXPECT_EQ(s.viewLog, (std::vector<std::string>{"update 1 20", "update 2 20"}));
}

// A view that removes itself, or an earlier one, while the views update must
// not make the loop pass over the view behind it for that frame.
TEST_F(CommonUIScreenTest, EveryViewIsUpdatedOnceAFrameWhileViewsAreRemoved)
{
    TestCommonScreen& s = screen();
    ActivePowerUp a(1, k_powerUpThrow), b(2, k_powerUpFlip), c(3, k_powerUpSplat);
    for (ActivePowerUp* record : {&a, &b, &c})
        s.addIndividualPowerUpView(*record);
    s.viewLog.clear();
    static_cast<TestView*>(s.getPowerUpViewByUniqueId(1))->removeSelf = true;
    s.update(20);
    EXPECT_EQ(s.viewLog, (std::vector<std::string>{"update 1 20", "update 2 20", "update 3 20"}));
    EXPECT_EQ(s.getPowerUpViewByUniqueId(1), nullptr);

    ActivePowerUp d(4, k_powerUpQuake);
    s.addIndividualPowerUpView(d);
    s.viewLog.clear();
    static_cast<TestView*>(s.getPowerUpViewByUniqueId(3))->onUpdate = [&] { s.removePowerUpView(2); };
    s.update(20);
    EXPECT_EQ(s.viewLog, (std::vector<std::string>{"update 2 20", "update 3 20", "update 4 20"}));
    ASSERT_EQ(s.powerUpViews().size(), 2u);
}

TEST_F(CommonUIScreenTest, TheDimmerFadesInAndHidesWhenFadedOut)
{
    TestCommonScreen& s = screen();
    FRefT<FWidget> dimmer(makeRef<FWidget>(engineNew<FImageWidget>(k_memObject, &s, true)));
    dimmer->setWidgetAlpha(0);
    dimmer->setVisible(false);
    s.m_dimmer = dimmer;
    s.setDimmed(true, 0);
    EXPECT_TRUE(dimmer->isVisible());
    s.update(300);
    EXPECT_EQ(dimmer->widgetColour() >> 24, 60u);
    s.update(300);
    EXPECT_EQ(dimmer->widgetColour() >> 24, 120u);
    s.setDimmed(false, 0);
    s.update(600);
    EXPECT_EQ(dimmer->widgetColour() >> 24, 0u);
    EXPECT_FALSE(dimmer->isVisible());
}

TEST_F(CommonUIScreenTest, PowerUpMessagesShowTheTextOfTheirKind)
{
    TestCommonScreen& s = screen();
    FRefT<FLabel> label(makeRef<FLabel>(engineNew<FLabel>(k_memObject, &s, true)));
    label->setText(FString("before"));
    label->setVisible(false);
    s.m_messageLabels[1] = label;
    s.showPowerUpMessage(k_powerUpFlip, 1);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), FString("before"));
    s.showPowerUpMessage(k_powerUpComboBoost, 1);
    EXPECT_EQ(label->text(), *s.m_comboBoostMessage.as<FString>());
    s.showPowerUpMessage(k_powerUpCover, 1);
    EXPECT_EQ(label->text(), *s.m_coverMessage.as<FString>());
    s.hidePowerUpMessage(1);
    EXPECT_FALSE(label->isVisible());
}

} // namespace
