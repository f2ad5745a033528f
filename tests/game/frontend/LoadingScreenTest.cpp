// The loading screen: the shuffled picture, its place, and the next screen
// after more than 750 ms: the pending one, the level in the normal mode, or
// the main menu when nothing names where to go.

#include "game/SaveFolder.h"
#include "game/frontend/FrontEndTestSupport.h"

#include "game/core/GameRandom.h"
#include "game/core/GameSession.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/LoadingScreen.h"
#include "game/widgets/VideoSprite.h"
#include "video/FVideo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

using namespace frontendtest;

namespace {

// Builds the screens it is asked for as plain prompt screens, except the
// loading screen, which is the real one.
class LoadingFactory : public prompttest::PromptFactory<SystemMessageScreen>
{
public:
    FRefT<FScreen> createScreen(int32_t kind) override
    {
        requested.push_back(kind);
        if (kind == k_loadingScreen) return factory.createScreen(kind);
        return prompttest::PromptFactory<SystemMessageScreen>::createScreen(kind);
    }
    GameScreenFactory factory;
    std::vector<int32_t> requested;
};

// The saves go to a scratch data folder, never the user's own.
class LoadingScreenTest : public SaveFolderTest, protected FrontEndFixture
{
protected:
    LoadingScreenTest() { loadingModule.run(); }

    LoadingScreen& show()
    {
        loadingModule.showScreen(k_loadingScreen);
        held = loadingModule.currentScreen();
        return *static_cast<LoadingScreen*>(held.get());
    }
    void setMode(int32_t mode)
    {
        loadingModule.getSaveManager()->attachDefaultFileSystem();
        loadingModule.initSaveData();
        loadingModule.getGameSession()->setMode(mode);
    }
    // The kind the module went on to after the update, or -1.
    int32_t afterUpdate(LoadingScreen& screen, int32_t ms)
    {
        screen.update(ms);
        for (int i = 0; i < 200 && loadingModule.currentKind() == k_loadingScreen; ++i) {
            loadingModule.drain();
            if (!loadingModule.hasPendingLoad()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        loadingModule.drain();
        return loadingModule.currentKind() == k_loadingScreen ? -1 : loadingModule.currentKind();
    }

    LoadingFactory loadingFactory;
    InlineGameModule loadingModule{&loadingFactory, cursorDevice};
    FRefT<FScreen> held;
};

TEST_F(LoadingScreenTest, ThePendingScreenIsAskedForAfter751MsAndNotAt750)
{
    struct Case
    {
        int32_t pending;
        bool restartsMusic;
    } const cases[] = {{k_worldMapScreen, false}, {k_mainMenuScreen, true}, {k_legalScreen, false}};
    for (const Case& c : cases) {
        loadingModule.setMenuMusicRestart(false);
        loadingModule.setPendingScreen(c.pending);
        LoadingScreen& screen = show();
        EXPECT_EQ(afterUpdate(screen, 700), -1);
        EXPECT_EQ(afterUpdate(screen, 50), -1);
        EXPECT_EQ(loadingModule.pendingScreen(), c.pending);
        EXPECT_EQ(afterUpdate(screen, 1), c.pending);
        EXPECT_EQ(loadingModule.pendingScreen(), k_noScreen);
        EXPECT_EQ(loadingModule.menuMusicRestart(), c.restartsMusic) << c.pending;
        EXPECT_TRUE(screen.isDone());
    }
}

TEST_F(LoadingScreenTest, WithoutAPendingScreenTheNormalModeStartsTheLevelAndAnyOtherGoesToTheMenu)
{
    struct Case
    {
        int32_t mode;
        int32_t next;
    } const cases[] = {{0, k_storyModeScreen}, {1, k_mainMenuScreen}, {-1, k_mainMenuScreen}};
    for (const Case& c : cases) {
        setMode(c.mode);
        LoadingScreen& screen = show();
        EXPECT_EQ(afterUpdate(screen, 751), c.next) << c.mode;
        // Asked once: later updates ask nothing more.
        const std::size_t asked = loadingFactory.requested.size();
        screen.update(1000);
        loadingModule.drain();
        EXPECT_EQ(loadingFactory.requested.size(), asked);
    }
}

TEST_F(LoadingScreenTest, TheShuffleCanPutEachOfThe24PicturesFirstAndNever1878)
{
    std::set<int32_t> first;
    std::set<int32_t> all;
    for (uint32_t seed = 1; seed <= 400 && first.size() < 24; ++seed) {
        GameRandom::srand(seed);
        LoadingScreen screen;
        ASSERT_EQ(screen.pictures().size(), 24u);
        for (const FRef& picture : screen.pictures())
            all.insert(static_cast<FAsset*>(picture.get())->id());
        first.insert(screen.picture().video()->id());
        EXPECT_EQ(screen.picture().frameRate(), 12);
        EXPECT_EQ(screen.picture().frameTime(), 83);
        EXPECT_EQ(screen.picture().loops(), -1);
    }
    EXPECT_EQ(all.size(), 24u);
    EXPECT_EQ(all.count(1878), 0u);
    EXPECT_EQ(*all.begin(), 1877);
    EXPECT_EQ(*all.rbegin(), 1901);
    EXPECT_EQ(first.size(), 24u);
}

TEST_F(LoadingScreenTest, ThePictureIsCentredOnItsPointScaledToTheScreenWidth)
{
    // On the 800-pixel screen (scale 1.25) picture 1886 is centred at (550,
    // 450) and the usual ones at (601, 418).
    bool sawSpecial = false;
    bool sawUsual = false;
    for (uint32_t seed = 1; seed <= 400 && !(sawSpecial && sawUsual); ++seed) {
        GameRandom::srand(seed);
        LoadingScreen screen;
        const FRectI& r = screen.picture().rect();
        const FPointI centre{r.left + screen.picture().width() / 2, r.top + screen.picture().height() / 2};
        if (screen.picture().video().get() == screen.m_loadingPicture9.get()) {
            sawSpecial = true;
            EXPECT_EQ(centre.x, 550);
            EXPECT_EQ(centre.y, 450);
        } else if (screen.pictureCentre().x == 481) {
            sawUsual = true;
            EXPECT_EQ(centre.x, 601);
            EXPECT_EQ(centre.y, 418);
        }
    }
    EXPECT_TRUE(sawSpecial);
    EXPECT_TRUE(sawUsual);
}

} // namespace
