#include "game/LevelFixture.h"
#include "game/widgets/RecordingVideoPlayer.h"

#include "audio/FAudioNode.h"
#include "game/core/GameRandom.h"
#include "game/widgets/AwardsHost.h"
#include "game/widgets/AwardsViewport.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "ui/FButton.h"
#include "ui/FImageWidget.h"
#include "ui/FLabel.h"
#include "ui/FScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A sound asset that plays nothing and counts its loads.
class NamedSound : public FAudioNode
{
public:
    explicit NamedSound(std::string soundName) : name(std::move(soundName)) {}
    void mix(FAudioNodeData&) override {}
    void prepare(FAudioNodeData&) override {}
    void ensureLoaded() override { ++loads; }
    std::string name;
    int32_t loads = 0;
};

FRefT<FAudioNode> sound(const std::string& name)
{
    return FRefT<FAudioNode>(makeRef(engineNew<NamedSound>(k_memObject, name)));
}

std::string nameOf(const FRefT<FAudioNode>& node)
{
    return node.get() != nullptr ? static_cast<NamedSound*>(node.get())->name : "none";
}

template <class T> FRefT<T> child(FContainer* parent)
{
    return makeRef(engineNew<T>(k_memObject, parent, true));
}

// A story screen stand-in of 800 x 600 over a play session of one quest,
// recording what the viewport asks of it. Award clips are 8 frames of 50 ms,
// the presenter clips 6 frames.
class AwardsScreen : public FScreen, public AwardsHost
{
public:
    AwardsScreen(std::vector<std::string>& log, int32_t questType) : level({quest(questType)}, {})
    {
        setWidgetRect({0, 0, 800, 600});
        level.start(questType);
        items.darkening = child<FImageWidget>(this);
        items.title = child<FLabel>(this);
        items.presenter = child<VideoSprite>(this);
        items.banner = FRefT<FWidget>(FRef(child<FImageWidget>(this)));
        items.banner->setWidgetRect({0, 0, 200, 50});
        items.hiddenLabel = child<FLabel>(this);
        items.failureButton = child<FButton>(this);
        items.presenterVideoQuestType1 = recordedVideo("presenter 1", 6, log);
        items.presenterVideo = recordedVideo("presenter", 6, log);
        items.failurePicture = makeRef(engineNew<FImage>(k_memObject));
        items.awardClip = recordedVideo("award", 8, log);
        items.jingle = sound("jingle");
        items.loopMusic = sound("loop");
        items.failureSound = sound("failure");
        for (int32_t n = 0; n < 6; ++n)
            items.titles[static_cast<std::size_t>(n)] = FString(("title " + std::to_string(n)).c_str());
        items.failureTitle = FString("failure title");
        items.failureCaption = FString("failure caption");
        for (const char* name : AwardsViewport::k_namedVoices)
            items.namedVoices[name] = sound(name);
        for (int32_t key : {30, 10, 20})
            items.generalVoices[key] = sound("general " + std::to_string(key));
    }
    static GameDataText::QuestText quest(int32_t type)
    {
        GameDataText::QuestText q;
        q.id = 3;
        q.type = type;
        q.tasks = {0};
        return q;
    }

    void reloadTexts(int32_t) override {}
    const Items& getAwardsItems() override { return items; }
    GameSession* getGameSession() override { return &level.session; }
    bool isQuestCompleted(int32_t questId) override
    {
        EXPECT_EQ(questId, 3);
        return completed;
    }
    void playMusic(const FRefT<FAudioNode>& music, bool loop, const Callback* onEnded) override
    {
        calls.push_back("music " + nameOf(music) + (loop ? " looping" : ""));
        Callback::assign(musicEnded, onEnded);
    }
    void clearMusicEndCallback() override
    {
        calls.push_back("music callback cleared");
        freeAndNull(musicEnded);
    }
    void playVoice(const FRefT<FAudioNode>& voice) override { calls.push_back("voice " + nameOf(voice)); }
    void setVoiceFinishedCallback(const Callback* callback) override
    {
        Callback::assign(voiceEnded, callback);
    }
    void playSound(const FRef& s, int32_t volume) override
    {
        calls.push_back("sound " + nameOf(FRefT<FAudioNode>(s)) + " @" + std::to_string(volume));
    }
    void stopAllSounds() override { calls.push_back("stop all"); }
    void stopAmbientSound() override { calls.push_back("stop ambient"); }
    void returnToRestPosition(int32_t player) override { calls.push_back("rest " + std::to_string(player)); }
    void endTask() override { calls.push_back("end task"); }

    // The end of the music or the voice, as the game module reports it.
    void endMusic()
    {
        if (musicEnded != nullptr) musicEnded->invoke();
    }
    void endVoice()
    {
        if (voiceEnded != nullptr) voiceEnded->invoke();
    }
    bool has(const std::string& call) const
    {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    LevelFixture level;
    Items items;
    bool completed = false;
    std::vector<std::string> calls;
    Callback* musicEnded = nullptr;
    Callback* voiceEnded = nullptr;
};

class AwardsViewportTest : public ::testing::Test
{
protected:
    explicit AwardsViewportTest(int32_t questType = 2) : screen(log, questType) { GameRandom::srand(5); }
    ~AwardsViewportTest() override
    {
        viewport = {};
        freeAndNull(screen.musicEnded);
        freeAndNull(screen.voiceEnded);
    }
    AwardsViewport& open(int32_t stars)
    {
        viewport = child<AwardsViewport>(&screen);
        viewport->initialize(stars);
        return *viewport;
    }
    // Frames of `ms` until the step is `step` (at most `limit` frames); the
    // time it took.
    int32_t runUntil(int32_t step, int32_t ms = 20, int32_t limit = 1000)
    {
        int32_t t = 0;
        for (int32_t n = 0; n < limit && viewport->step() != step; ++n, t += ms)
            viewport->update(ms);
        EXPECT_EQ(viewport->step(), step);
        return t;
    }
    uint8_t backdropAlpha() const { return static_cast<uint8_t>(screen.items.darkening->colour() >> 24); }

    std::vector<std::string> log;
    AwardsScreen screen;
    FRefT<AwardsViewport> viewport;
};

TEST(AwardsArcTest, FiveClipsHangOnAnArcBelowTheCentre)
{
    const std::vector<FPointI> five = {{140, 0}, {98, 98}, {0, 138}, {-97, 97}, {-137, 0}};
    EXPECT_EQ(AwardsViewport::arcOffsets(5), five);
    EXPECT_EQ(AwardsViewport::arcOffsets(1), (std::vector<FPointI>{{0, 140}}));
    EXPECT_TRUE(AwardsViewport::arcOffsets(0).empty());
}

TEST_F(AwardsViewportTest, InitializeLaysTheCeremonyOutOverTheHost)
{
    AwardsViewport& awards = open(5);
    EXPECT_TRUE(awards.isActive());
    EXPECT_FALSE(awards.isFailure());
    EXPECT_FALSE(awards.isHitTestDisabled());
    EXPECT_EQ(awards.rect(), (FRectI{0, 0, 800, 600}));
    EXPECT_TRUE(screen.level.session.getLevelTimer()->stopped);
    EXPECT_FALSE(screen.items.hiddenLabel->isVisible());
    EXPECT_FALSE(screen.items.failureButton->isVisible());
    EXPECT_EQ(awards.arcCentre(), (FPointI{400, 181}));
    EXPECT_EQ(screen.items.presenter->video().get(), screen.items.presenterVideo.get());
    EXPECT_EQ(screen.items.presenter->loops(), -1);
    EXPECT_EQ(screen.items.presenter->frameTime(), 83);
    EXPECT_EQ(screen.items.title->text(), FString("title 5"));
    EXPECT_EQ(screen.items.title->colourTable()[0] >> 24, 0u);
    EXPECT_EQ(backdropAlpha(), 0);
    EXPECT_EQ(screen.children().front(), screen.items.darkening.get());
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"stop ambient", "music jingle", "rest 0"}));
    EXPECT_EQ(static_cast<NamedSound*>(screen.items.loopMusic.get())->loads, 1);
    ASSERT_EQ(awards.awardClips().size(), 5u);
    const std::vector<FPointI> offsets = AwardsViewport::arcOffsets(5);
    for (std::size_t i = 0; i < 5; ++i) {
        const VideoSprite& clip = *awards.awardClips()[i];
        EXPECT_FALSE(clip.isVisible());
        EXPECT_EQ(clip.getWidgetCenter().x - awards.arcCentre().x, offsets[i].x);
        EXPECT_EQ(clip.getWidgetCenter().y - awards.arcCentre().y, offsets[i].y);
    }
}

TEST_F(AwardsViewportTest, TheSequenceDarkensShowsTheClipsThenTheTitleAndTheVoice)
{
    AwardsViewport& awards = open(5);
    // Twenty frames darken the play field to 200.
    EXPECT_EQ(runUntil(AwardsViewport::k_darkened), 20 * 20);
    EXPECT_EQ(backdropAlpha(), 200);
    awards.update(20);
    EXPECT_EQ(awards.step(), AwardsViewport::k_awardClips);
    // The clips start 300 ms apart.
    std::vector<int32_t> starts;
    for (int32_t t = 0; t < 2000 && awards.step() == AwardsViewport::k_awardClips; t += 20) {
        awards.update(20);
        for (std::size_t i = starts.size(); i < 5 && awards.awardClips()[i]->isVisible(); ++i)
            starts.push_back(t);
    }
    EXPECT_EQ(starts, (std::vector<int32_t>{0, 300, 600, 900, 1200}));
    EXPECT_EQ(awards.step(), AwardsViewport::k_titleAndVoice);
    EXPECT_EQ(awards.burstCount(), 5u); // one per clip: each ran once
    EXPECT_FALSE(screen.has("voice general 10") || screen.has("voice general 20") ||
                 screen.has("voice general 30"));
    awards.update(20);
    EXPECT_TRUE(screen.has("voice general 10") || screen.has("voice general 20") ||
                screen.has("voice general 30"));
    EXPECT_TRUE(awards.areFireworksOn());
    EXPECT_TRUE(screen.items.presenter->isPlaying());
    runUntil(AwardsViewport::k_waiting);
    EXPECT_TRUE(awards.isTitleShown());
    EXPECT_EQ(screen.items.title->colourTable()[0] >> 24, 255u);
    // The voice's end leaves the presenter on its last frame.
    screen.endVoice();
    EXPECT_FALSE(screen.items.presenter->isPlaying());
    EXPECT_EQ(screen.items.presenter->currentFrame(), 5);
}

TEST_F(AwardsViewportTest, TheEndFollowsFiveHundredMsAfterTheClickWhateverElseIsClicked)
{
    screen.completed = true;
    AwardsViewport& awards = open(1);
    runUntil(AwardsViewport::k_waiting);
    screen.calls.clear();
    awards.onPointerUp(0, 8, {10, 10});
    EXPECT_EQ(awards.step(), AwardsViewport::k_endRequested);
    awards.update(20);
    EXPECT_EQ(awards.step(), AwardsViewport::k_ending);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"music callback cleared"}));
    // A second click skips, but the end still comes on time.
    awards.onPointerUp(0, 8, {10, 10});
    int32_t t = 20;
    while (!screen.has("end task") && t < 2000) {
        awards.update(20);
        t += 20;
    }
    EXPECT_EQ(t, 500 + 20);
    EXPECT_EQ(std::count(screen.calls.begin(), screen.calls.end(), "end task"), 1);
}

TEST_F(AwardsViewportTest, AClickDuringTheClipsStartsTheRestAtOnce)
{
    AwardsViewport& awards = open(4);
    runUntil(AwardsViewport::k_awardClips);
    awards.update(20);
    awards.onPointerUp(0, 8, {10, 10});
    EXPECT_TRUE(awards.isSkipping());
    EXPECT_EQ(awards.step(), AwardsViewport::k_skipping);
    for (const auto& clip : awards.awardClips()) {
        EXPECT_TRUE(clip->isVisible());
        EXPECT_TRUE(clip->isPlaying());
    }
    EXPECT_TRUE(screen.items.presenter->isPlaying());
    // Everything finishes once the voice has ended and the title is in.
    for (int32_t n = 0; n < 60; ++n)
        awards.update(20);
    EXPECT_EQ(awards.step(), AwardsViewport::k_skipping);
    screen.endVoice();
    awards.update(20);
    EXPECT_EQ(awards.step(), AwardsViewport::k_waiting);
    awards.onPointerUp(0, 8, {10, 10});
    EXPECT_EQ(runUntil(AwardsViewport::k_ending, 20, 5), 20);
}

TEST_F(AwardsViewportTest, ClicksBeforeTheClipsAreIgnored)
{
    screen.completed = true;
    AwardsViewport& awards = open(2);
    awards.onPointerUp(0, 8, {10, 10});
    EXPECT_EQ(awards.step(), AwardsViewport::k_darken);
    EXPECT_FALSE(awards.isSkipping());
}

TEST_F(AwardsViewportTest, ZeroStarsOnACompletedQuestPassStraightToTheTitle)
{
    screen.completed = true;
    AwardsViewport& awards = open(0);
    EXPECT_FALSE(awards.isFailure());
    EXPECT_TRUE(screen.has("music jingle"));
    EXPECT_TRUE(awards.awardClips().empty());
    EXPECT_EQ(screen.items.title->text(), FString("title 0"));
    runUntil(AwardsViewport::k_awardClips);
    awards.update(20);
    EXPECT_EQ(awards.step(), AwardsViewport::k_titleAndVoice);
}

TEST_F(AwardsViewportTest, TheFailurePresentationSkipsAtOnceAndNeverEndsTheTask)
{
    AwardsViewport& awards = open(2);
    EXPECT_TRUE(awards.isFailure());
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"stop all", "sound failure @63", "rest 0"}));
    EXPECT_EQ(screen.items.darkening->colour(), 0x96000000u);
    EXPECT_TRUE(screen.items.failureButton->isVisible());
    EXPECT_EQ(screen.items.failureButton->caption().text(), FString("failure caption"));
    EXPECT_EQ(screen.items.presenter->video().get(), nullptr);
    EXPECT_EQ(screen.items.presenter->getImage().get(), screen.items.failurePicture.get());
    EXPECT_EQ(screen.items.title->text(), FString("failure title"));
    EXPECT_TRUE(screen.items.title->wordWrap());
    EXPECT_EQ(awards.step(), AwardsViewport::k_skipping);
    for (const auto& clip : awards.awardClips())
        EXPECT_TRUE(clip->isPlaying());
    for (int32_t n = 0; n < 100; ++n) {
        awards.onPointerUp(0, 8, {10, 10});
        awards.update(20);
    }
    EXPECT_EQ(awards.step(), AwardsViewport::k_waiting);
    EXPECT_FALSE(awards.areFireworksOn());
    EXPECT_EQ(backdropAlpha(), 150);
    for (const std::string& call : screen.calls) {
        EXPECT_EQ(call.rfind("voice", 0), std::string::npos) << call;
        EXPECT_NE(call, "end task");
    }
}

TEST_F(AwardsViewportTest, TheLoopMusicFollowsTheJingleOnlyUntilTheEndIsAsked)
{
    screen.completed = true;
    AwardsViewport& awards = open(1);
    screen.endMusic();
    awards.update(20);
    EXPECT_TRUE(screen.has("music loop looping"));
    runUntil(AwardsViewport::k_waiting);
    screen.calls.clear();
    screen.endMusic();
    awards.update(20);
    EXPECT_EQ(screen.calls, (std::vector<std::string>{"music loop looping"}));
    awards.onPointerUp(0, 8, {10, 10});
    awards.update(20);
    screen.calls.clear();
    // A channel end reported after the request finds no callback any more;
    // one that slipped through is refused by the step.
    awards.onMusicEnded();
    awards.update(20);
    EXPECT_TRUE(screen.calls.empty());
}

TEST_F(AwardsViewportTest, AnEmptyGeneralVoiceTableGivesNoVoice)
{
    screen.items.generalVoices.clear();
    AwardsViewport& awards = open(3);
    runUntil(AwardsViewport::k_titleAndVoice);
    awards.update(20);
    for (const std::string& call : screen.calls)
        EXPECT_EQ(call.rfind("voice", 0), std::string::npos) << call;
    EXPECT_FALSE(screen.items.presenter->isPlaying());
    EXPECT_TRUE(awards.areFireworksOn());
    runUntil(AwardsViewport::k_waiting);
}

class NamedVoiceTest : public AwardsViewportTest
{
protected:
    NamedVoiceTest() : AwardsViewportTest(1) {}
};

TEST_F(NamedVoiceTest, QuestTypeOnePicksANamedVoiceAndAMissingOneIsNone)
{
    GameRandom::srand(9);
    const int32_t n = GameRandom::rand() % 7;
    GameRandom::srand(9);
    AwardsViewport& awards = open(3);
    EXPECT_EQ(screen.items.presenter->video().get(), screen.items.presenterVideoQuestType1.get());
    EXPECT_EQ(nameOf(awards.chosenVoice()), AwardsViewport::k_namedVoices[n]);

    screen.items.namedVoices.erase(AwardsViewport::k_namedVoices[n]);
    GameRandom::srand(9);
    awards.initialize(3);
    EXPECT_EQ(awards.chosenVoice().get(), nullptr);
    runUntil(AwardsViewport::k_waiting);
    for (const std::string& call : screen.calls)
        EXPECT_EQ(call.rfind("voice", 0), std::string::npos) << call;
}

TEST_F(AwardsViewportTest, TheVoiceEndOfAPresenterOfUnknownLengthStopsAtItsEnd)
{
    RecordingVideoPlayer* player = nullptr;
    screen.items.presenterVideo = recordedVideo("endless", 9, log, false, &player);
    open(3);
    runUntil(AwardsViewport::k_waiting);
    ASSERT_TRUE(screen.items.presenter->isPlaying());
    ASSERT_NE(screen.voiceEnded, nullptr);
    const int32_t before = player->decodes;
    screen.endVoice();
    EXPECT_FALSE(screen.items.presenter->isPlaying());
    EXPECT_LT(player->decodes - before, 20);
}

} // namespace

namespace {

TEST_F(AwardsViewportTest, DestroyingTheViewportDetachesTheCallbacksTheHostHolds)
{
    open(3);
    runUntil(AwardsViewport::k_waiting);
    ASSERT_NE(screen.voiceEnded, nullptr);
    ASSERT_NE(screen.musicEnded, nullptr);
    viewport = {};
    EXPECT_EQ(screen.voiceEnded, nullptr);
    EXPECT_EQ(screen.musicEnded, nullptr);
    // A viewport that never opened leaves the host's callbacks alone.
    screen.playMusic(screen.items.jingle, false, nullptr);
    screen.calls.clear();
    {
        FRefT<AwardsViewport> unused = child<AwardsViewport>(&screen);
    }
    EXPECT_TRUE(screen.calls.empty());
}

} // namespace
