#include "ParticleTestSupport.h"
#include "engine/ui/UiTestSupport.h"

#include "game/core/GameRandom.h"
#include "game/core/GameShuffle.h"
#include "game/widgets/BackdropButtonList.h"
#include "game/widgets/BackdropServices.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleEmitterView.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "game/widgets/ParticleRecord.h"
#include "game/widgets/ParticleViewAssets.h"
#include "graphics/FDrawCommandBuffer.h"
#include "graphics/FDrawContext.h"
#include "graphics/FTextureRegistry.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Records what the view asks of the game module.
class RecordingServices : public BackdropServices
{
public:
    std::vector<std::pair<int32_t, bool>> screens;
    std::vector<std::pair<void*, int32_t>> sounds;
    bool paused = false;

    void setScreen(int32_t kind, bool async) override { screens.emplace_back(kind, async); }
    bool isGamePaused() const override { return paused; }
    void playSound(const FRef& sound, int32_t volume) override { sounds.emplace_back(sound.get(), volume); }
};

struct FakeClip
{
    int32_t elapsed = 0;
    void update(int32_t ms) { elapsed += ms; }
};

// A menu button as the backdrop drives it.
struct FakeButton
{
    int32_t alphaValue = 0;
    int32_t wiggled = 0;
    FakeClip clip;
    bool hasClip = true;

    int32_t alpha() const { return alphaValue; }
    void setAlpha(int32_t a) { alphaValue = a; }
    void updateWiggle(int32_t ms) { wiggled += ms; }
    FakeClip* clipSprite() { return hasClip ? &clip : nullptr; }
};

uint32_t fixedSeed()
{
    return 1234u;
}

// A 1024 x 768 menu screen with a panel of the given height between two
// caps, and the backdrop set up over it.
struct Backdrop
{
    TestScreen screen;
    RecordingServices services;
    ParticleViewAssets assets;
    std::vector<FRefT<FakeButton>> buttons;
    BackdropButtonList<FakeButton> buttonList{&buttons};
    FContainer* panel = nullptr;
    FWidget* topCap = nullptr;
    FWidget* bottomCap = nullptr;
    std::unique_ptr<ParticleEmitterView> view;
    int32_t animatingTrue = 0;
    int32_t animatingFalse = 0;
    int32_t closedCalls = 0;

    explicit Backdrop(int32_t panelHeight, uint32_t seed = 3)
    {
        screen.setWidgetRect({0, 0, 1024, 768});
        for (int i = 0; i < 4; ++i)
            assets.pictures[i] = solidImage(1024, 900 + 10 * i);
        assets.backdrop = solidImage(16, 16);
        assets.waveSparkle = solidImage(8, 8);
        assets.burstSparkle = solidImage(8, 8);
        assets.sweepSparkle = solidImage(8, 8);
        assets.openSound = makeRef(engineNew<int32_t>(k_memObject, 0));
        for (int i = 0; i < 3; ++i)
            buttons.push_back(makeRef(engineNew<FakeButton>(k_memObject)));
        buttons[2]->hasClip = false;

        FRefT<FWidget> panelRef = makeRef<FWidget>(engineNew<FContainer>(k_memObject, &screen, true));
        panel = static_cast<FContainer*>(panelRef.get());
        panel->setWidgetRect({100, 200, 900, 200 + panelHeight});
        FRefT<FWidget> topRef = makeRef<FWidget>(engineNew<FImageWidget>(k_memObject, &screen, true));
        topCap = topRef.get();
        topCap->setWidgetRect({0, 0, 800, 50});
        FRefT<FWidget> bottomRef = makeRef<FWidget>(engineNew<FImageWidget>(k_memObject, &screen, true));
        bottomCap = bottomRef.get();
        bottomCap->setWidgetRect({0, 0, 800, 40});

        view = std::make_unique<ParticleEmitterView>(&screen, &services);
        view->setSeedSource(&fixedSeed);
        auto* animating = makeObjectDelegate(this, &Backdrop::onAnimating);
        view->setOnAnimating(animating);
        engineFree(animating);
        auto* closed = makeObjectDelegate(this, &Backdrop::onClosed);
        view->setOnClosed(closed);
        engineFree(closed);
        GameRandom::srand(seed);
        view->setup(&screen, panelRef, topRef, bottomRef, &assets, &buttonList);
    }
    ~Backdrop() { view.reset(); }

    void onAnimating(bool animating) { ++(animating ? animatingTrue : animatingFalse); }
    void onClosed() { ++closedCalls; }

    // Frames until the opening ends; how many it took.
    int32_t open(int32_t frameMs = 50)
    {
        int32_t frames = 0;
        while (view->opening && frames < 1000) {
            view->update(frameMs);
            ++frames;
        }
        return frames;
    }
};

TEST(ParticleEmitterViewTest, SetupCollapsesThePanelBetweenTheCapsAndStacksThePictures)
{
    Backdrop backdrop(300);
    ParticleEmitterView& view = *backdrop.view;
    EXPECT_EQ(view.rect(), (FRectI{0, 0, 1024, 768}));
    EXPECT_EQ(view.panelHeight(), 300);
    EXPECT_EQ(view.centreLine(), 350);
    EXPECT_EQ(backdrop.panel->rect(), (FRectI{100, 350, 900, 350}));
    EXPECT_EQ(backdrop.topCap->rect(), (FRectI{100, 300, 900, 350}));
    EXPECT_EQ(backdrop.bottomCap->rect(), (FRectI{100, 350, 900, 390}));
    EXPECT_TRUE(view.opening);
    EXPECT_EQ(view.nextScreen, 11);

    ASSERT_GE(view.children().size(), 3u);
    EXPECT_EQ(view.children()[0], view.backdrop());
    EXPECT_EQ(view.children()[1], view.backPicture());
    EXPECT_EQ(view.children()[2], view.frontPicture());
    EXPECT_EQ(view.backdrop()->getWidgetSize(), (FPointI{1024, 768}));
    EXPECT_EQ(view.frontPicture()->rect().top, 0);
    EXPECT_EQ(view.frontPicture()->colour() >> 24, 255u);
    EXPECT_EQ(view.backPicture()->colour() >> 24, 0u);
    EXPECT_EQ(view.backPicture()->rect().top, view.frontPicture()->rect().bottom - 768);

    EXPECT_EQ(backdrop.panel->children().back(), view.waveGroup()->layer());
    EXPECT_EQ(backdrop.screen.children().back(), view.edgeGroup()->layer());
    EXPECT_EQ(view.waveGroup()->capacity(), 256);
    EXPECT_EQ(view.edgeGroup()->capacity(), 512);
    for (int i = 0; i < 2; ++i) {
        ParticleEmitter* wave = view.waveEmitter(i);
        ASSERT_NE(wave, nullptr);
        EXPECT_TRUE(wave->isMoving());
        EXPECT_EQ(wave->path().size(), 37u); // 900 ms
        EXPECT_EQ(wave->path().front().x, 100);
        EXPECT_EQ(wave->path().back().x, 800);
        ASSERT_NE(wave->particle(), nullptr);
        EXPECT_EQ(wave->particle()->blendMode, 0); // alpha blending
        EXPECT_EQ(wave->particle()->accelerationY, i == 0 ? 2000 : -2000);
        EXPECT_EQ(wave->particle()->spreadWidth, 110 << 16);
    }
}

TEST(ParticleEmitterViewTest, OpeningGrowsThePanelFadesTheButtonsAndEndsInASweep)
{
    Backdrop backdrop(300);
    ParticleEmitterView& view = *backdrop.view;
    view.update(50);
    EXPECT_EQ(backdrop.panel->rect(), (FRectI{100, 335, 900, 365}));
    EXPECT_EQ(backdrop.topCap->rect().bottom, 335);
    EXPECT_EQ(backdrop.bottomCap->rect().top, 365);
    EXPECT_EQ(backdrop.buttons[0]->alpha(), 30);
    EXPECT_EQ(backdrop.buttons[2]->alpha(), 30);
    EXPECT_TRUE(view.isAnimating());
    EXPECT_EQ(backdrop.open(), 9);
    EXPECT_EQ(backdrop.panel->height(), 300);
    EXPECT_EQ(backdrop.panel->rect().top, 200);
    EXPECT_EQ(backdrop.buttons[1]->alpha(), 255);
    EXPECT_FALSE(view.isAnimating());
    EXPECT_EQ(backdrop.animatingTrue, 10);
    EXPECT_EQ(backdrop.animatingFalse, 1);
    ASSERT_EQ(backdrop.services.sounds.size(), 1u);
    EXPECT_EQ(backdrop.services.sounds[0], (std::pair<void*, int32_t>{backdrop.assets.openSound.get(), 63}));
    EXPECT_TRUE(view.isSweepRunning());
    // Buttons are animated every frame; a button without a clip only wiggles.
    EXPECT_EQ(backdrop.buttons[0]->clip.elapsed, 500);
    EXPECT_EQ(backdrop.buttons[2]->wiggled, 500);
    EXPECT_EQ(backdrop.buttons[2]->clip.elapsed, 0);
}

TEST(ParticleEmitterViewTest, LongFramesStillTakeOneStepEach)
{
    Backdrop backdrop(300);
    EXPECT_EQ(backdrop.open(120), 10);
    EXPECT_EQ(backdrop.panel->height(), 300);
}

// The screen request comes one step after the panel reached height 0; a
// panel under ten pixels high still closes a pixel a step.
TEST(ParticleEmitterViewTest, ClosingRequestsTheNextScreenOnTheStepAfterTheLast)
{
    struct Case
    {
        int32_t panelHeight;
        int32_t requestStep;
    };
    const Case cases[] = {{300, 11}, {305, 12}, {5, 6}};
    for (const Case& c : cases) {
        Backdrop backdrop(c.panelHeight);
        ParticleEmitterView& view = *backdrop.view;
        backdrop.open();
        ASSERT_FALSE(view.opening);
        view.nextScreen = 14;
        view.closing = true;
        int32_t step = 0;
        while (backdrop.services.screens.empty() && step < 50) {
            view.update(50);
            ++step;
            if (backdrop.services.screens.empty()) {
                EXPECT_EQ(view.isBurstDone(), backdrop.panel->height() == 0)
                    << c.panelHeight << " step " << step;
            }
        }
        EXPECT_EQ(step, c.requestStep) << c.panelHeight;
        ASSERT_EQ(backdrop.services.screens.size(), 1u);
        EXPECT_EQ(backdrop.services.screens[0], (std::pair<int32_t, bool>{14, true}));
        EXPECT_TRUE(view.isClosed());
        EXPECT_FALSE(view.closing);
        EXPECT_FALSE(view.isAnimating());
        EXPECT_EQ(backdrop.buttons[0]->alpha(), 0);
        for (int i = 0; i < 2; ++i) {
            ASSERT_NE(view.burstEmitter(i), nullptr);
            EXPECT_EQ(view.burstEmitter(i)->rate, 450);
            EXPECT_EQ(view.burstEmitter(i)->accelerationY, i == 0 ? -5000 : 5000);
        }
        for (int i = 0; i < 40; ++i)
            view.update(50);
        EXPECT_EQ(backdrop.services.screens.size(), 1u);
        EXPECT_EQ(backdrop.closedCalls, 0);
    }
}

TEST(ParticleEmitterViewTest, ClosingToTheCallbackRequestsNoScreen)
{
    Backdrop backdrop(300);
    backdrop.open();
    backdrop.view->closeToCallback = true;
    backdrop.view->closing = true;
    for (int i = 0; i < 40; ++i)
        backdrop.view->update(50);
    EXPECT_TRUE(backdrop.services.screens.empty());
    EXPECT_EQ(backdrop.closedCalls, 1);
}

TEST(ParticleEmitterViewTest, PausedGameFreezesTheBackdrop)
{
    Backdrop backdrop(300);
    ParticleEmitterView& view = *backdrop.view;
    view.update(50);
    view.update(50);
    const FRectI panel = backdrop.panel->rect();
    const FRectI front = view.frontPicture()->rect();
    const int32_t sprites = view.waveGroup()->liveCount();
    const FPointI wave = view.waveEmitter(0)->currentPoint();
    ASSERT_GT(sprites, 0);
    backdrop.services.paused = true;
    for (int i = 0; i < 20; ++i)
        view.update(50);
    EXPECT_EQ(backdrop.panel->rect(), panel);
    EXPECT_EQ(view.frontPicture()->rect(), front);
    EXPECT_EQ(view.waveGroup()->liveCount(), sprites);
    EXPECT_EQ(view.waveEmitter(0)->currentPoint(), wave);
    EXPECT_EQ(backdrop.buttons[0]->alpha(), 60);
    EXPECT_EQ(backdrop.buttons[0]->wiggled, 100);
    backdrop.services.paused = false;
    view.update(50);
    EXPECT_NE(backdrop.panel->rect(), panel);
    EXPECT_NE(view.frontPicture()->rect(), front);
}

TEST(ParticleEmitterViewTest, SlideshowShowsTheShuffledPicturesInARepeatingOrder)
{
    const uint32_t seed = 5;
    std::deque<FImage*> expected;
    Backdrop backdrop(300, seed);
    for (const auto& picture : backdrop.assets.pictures)
        expected.push_back(picture.get());
    GameRandom::srand(seed);
    gameShuffle(expected);

    ParticleEmitterView& view = *backdrop.view;
    std::vector<FImage*> fronts{view.frontPicture()->getImage().get()};
    EXPECT_EQ(view.backPicture()->getImage().get(), expected[1]);
    for (int cycle = 0; cycle < 6; ++cycle) {
        // 19 s until the cross-fade starts, then 1 s of fading; the timer of
        // a later cycle starts inside the frame that ended the fade.
        FImageWidget* front = view.frontPicture();
        bool halfway = false;
        int32_t frames = 0;
        while (view.frontPicture() == front && frames < 300) {
            view.update(100);
            ++frames;
            const uint32_t alpha = view.backPicture()->colour() >> 24;
            halfway = halfway || (alpha > 0 && alpha < 255);
        }
        EXPECT_EQ(frames, cycle == 0 ? 200 : 199) << cycle;
        EXPECT_TRUE(halfway) << cycle;
        fronts.push_back(view.frontPicture()->getImage().get());
        EXPECT_EQ(view.frontPicture()->colour() >> 24, 255u);
        EXPECT_EQ(view.backPicture()->colour() >> 24, 0u);
        EXPECT_EQ(view.frontPicture()->rect().top, int32_t(768 * -0.1));
    }
    ASSERT_EQ(fronts.size(), 7u);
    for (size_t i = 0; i < fronts.size(); ++i)
        EXPECT_EQ(fronts[i], expected[i % 4]) << i;
}

// After the first sweep its particles are stopped; every later sweep must
// emit again instead of running invisibly.
TEST(ParticleEmitterViewTest, EverySweepEmitsAndReseedsThroughTheSeedSource)
{
    Backdrop backdrop(300);
    ParticleEmitterView& view = *backdrop.view;
    backdrop.open();
    ASSERT_TRUE(view.isSweepRunning());
    EXPECT_EQ(view.sweepEmitter(0)->path().front(), (FPointI{100, 170}));
    EXPECT_EQ(view.sweepEmitter(1)->path().back(), (FPointI{900, 500}));
    for (int sweep = 0; sweep < 3; ++sweep) {
        int32_t frames = 0;
        while (!view.isSweepRunning() && frames < 5000) {
            view.update(20);
            ++frames;
        }
        ASSERT_TRUE(view.isSweepRunning()) << sweep;
        if (sweep > 0) {
            EXPECT_GT(frames, 99) << "a sweep waits two idle seconds";
        }
        // The sweep reseeded the game's generator with the seed source.
        GameRandom::srand(fixedSeed());
        const int32_t firstDraw = GameRandom::rand();
        GameRandom::srand(fixedSeed());
        EXPECT_EQ(GameRandom::rand(), firstDraw);
        for (int i = 0; i < 5; ++i)
            view.update(20);
        for (int i = 0; i < 2; ++i) {
            ParticleRecord* particle = view.sweepEmitter(i)->particle();
            ASSERT_NE(particle, nullptr) << sweep;
            EXPECT_TRUE(particle->emitting) << sweep;
            EXPECT_GT(particle->liveRecords, 0) << sweep;
            EXPECT_EQ(particle->blendMode, 1) << sweep; // additive
            EXPECT_EQ(particle->rate, 30) << sweep;
        }
        EXPECT_NE(view.sweepEmitter(0)->particle(), view.sweepEmitter(1)->particle());
        while (view.isSweepRunning())
            view.update(20);
    }
}

// The backdrop draws through the screen's command buffer: its pictures, the
// waves' sprites alpha-blended and the sweep's sprites added.
TEST(ParticleEmitterViewTest, RecordsPicturesAndSpritesWithTheirBlendModes)
{
    Backdrop backdrop(300);
    ParticleEmitterView& view = *backdrop.view;
    backdrop.open();
    for (int i = 0; i < 5; ++i)
        view.update(20);
    int32_t shown = 0;
    int32_t added = 0;
    for (ParticleGroup* group : {view.waveGroup(), view.edgeGroup()}) {
        for (const ParticleSpriteRecord& record : group->records()) {
            const FImageWidget& widget = *record.sprite.get();
            if (!widget.isVisible() || (widget.colour() >> 24) == 0) continue;
            ++shown;
            added += widget.blendMode() == FImageWidget::k_blendAdditive ? 1 : 0;
        }
    }
    ASSERT_GT(added, 0);
    ASSERT_GT(shown, added);

    RecordingDevice device;
    auto textures = std::make_shared<FTextureRegistry>(&device);
    FDrawCommandBuffer buffer;
    FDrawContext context({1024, 768});
    context.beginFrame(buffer);
    backdrop.screen.draw(context);
    buffer.replay(device, *textures);
    // The backdrop and the front picture; the back picture is transparent.
    EXPECT_EQ(int32_t(device.draws.size()), shown + 2);
    EXPECT_NE(std::find(device.calls.begin(), device.calls.end(), "additive"), device.calls.end());
    EXPECT_NE(std::find(device.calls.begin(), device.calls.end(), "alpha"), device.calls.end());
}

TEST(ParticleEmitterViewTest, CenterFirstImagePutsThePanelOnTheCentreLine)
{
    Backdrop backdrop(300);
    backdrop.open();
    backdrop.panel->setWidgetTop(40);
    backdrop.view->centerFirstImage();
    EXPECT_EQ(backdrop.panel->rect(), (FRectI{100, 200, 900, 500}));
}

TEST(ParticleEmitterViewTest, NothingHappensBeforeSetup)
{
    TestScreen screen;
    RecordingServices services;
    ParticleEmitterView view(&screen, &services);
    view.closing = true;
    for (int i = 0; i < 20; ++i)
        view.update(50);
    EXPECT_TRUE(services.screens.empty());
    EXPECT_FALSE(view.isSetUp());
}

} // namespace
