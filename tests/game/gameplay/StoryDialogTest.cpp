// The story's two characters: the swap to the speaker and back on its
// timeline, the voice-done step and the reminder, the dropped lines and the
// random comment drawn from the game's own random numbers.
#include "game/gameplay/StoryDialog.h"
#include "game/core/GameRandom.h"
#include "game/gameplay/StoryDialogHost.h"
#include "game/gameplay/StoryTaskRecord.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/VideoSprite.h"
#include "ui/FContainer.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// A sample that is only a marker: its handle says which line it is.
FRef dialogSample(int32_t id)
{
    FRefT<FImageWidget> marker = makeRef(engineNew<FImageWidget>(k_memObject, nullptr, false));
    marker->setWidgetLeft(id);
    return FRef(marker);
}

int32_t sampleId(const FRef& sample)
{
    auto* marker = static_cast<FImageWidget*>(static_cast<FWidget*>(sample.get()));
    return marker != nullptr ? marker->rect().left : -1;
}

class DialogScreen : public StoryDialogHost
{
public:
    void playStoryVoice(const FRef& sample, StoryVoiceEnd end) override
    {
        log.push_back("voice " + std::to_string(sampleId(sample)));
        voiceEnd = end;
    }
    void setStoryVoiceEnd(StoryVoiceEnd end) override { voiceEnd = end; }
    void stopStoryVoice() override { log.push_back("stop"); }
    void playCommonVoiceLine(const FRef& sample) override
    {
        log.push_back("line " + std::to_string(sampleId(sample)));
    }
    void setStoryDimmed(bool dimmed) override { log.push_back(dimmed ? "dim" : "undim"); }
    void shakeForSpeaker() override { log.push_back("shake"); }
    void onFirstDifferenceLineDone() override { log.push_back("swap"); }
    void clearClickToContinue() override { log.push_back("clickClear"); }
    void requestTaskStep() override { log.push_back("taskStep"); }
    int32_t dialogQuestType() const override { return quest; }
    const StoryTaskRecord* dialogRunningRecord() const override { return running; }
    // The same id gives the same line number (1000 and up).
    FRef dialogVoice(const std::string& id) override
    {
        ids.push_back(id);
        const auto known = std::find(names.begin(), names.end(), id);
        if (known == names.end()) names.push_back(id);
        return dialogSample(1000 +
                            static_cast<int32_t>(std::find(names.begin(), names.end(), id) - names.begin()));
    }

    int32_t quest = 0;
    const StoryTaskRecord* running = nullptr;
    std::vector<std::string> log;
    std::vector<std::string> ids;
    std::vector<std::string> names;
    StoryVoiceEnd voiceEnd = StoryVoiceEnd::k_none;
};

struct DialogFixture
{
    DialogFixture()
    {
        smallFrame = makeRef(engineNew<FImageWidget>(k_memObject, &root, true));
        smallSprite = makeRef(engineNew<CharacterVideoSprite>(k_memObject, &root, true));
        speakerFrame = makeRef(engineNew<FContainer>(k_memObject, &root, true));
        portrait = makeRef(engineNew<FImageWidget>(k_memObject, speakerFrame.get(), true));
        talking = makeRef(engineNew<VideoSprite>(k_memObject, speakerFrame.get(), true));
        dimmer = makeRef(engineNew<FImageWidget>(k_memObject, &root, true));
        art = makeRef(engineNew<FImageWidget>(k_memObject, &root, true));
        art->setVisible(false);
        speakerFrame->setVisible(false);
        StoryDialog::Parts parts;
        parts.smallFrame = smallFrame.get();
        parts.smallSprite = smallSprite.get();
        parts.speakerFrame = speakerFrame.get();
        parts.portrait = portrait.get();
        parts.talkingVideo = talking.get();
        parts.dimmer = dimmer.get();
        parts.artImage = art.get();
        parts.reactionLine = dialogSample(3617);
        dialog.setParts(parts);
    }
    void run(int32_t ms)
    {
        for (int32_t t = 0; t < ms; t += 100) {
            dialog.update(100);
            reminder.update(100);
            reaction.update(100);
        }
    }
    // The alphas of small frame, small sprite, portrait, talking video.
    std::vector<int32_t> alphas()
    {
        return {fadedAlpha(*smallFrame), fadedAlpha(*smallSprite), fadedAlpha(*portrait),
                fadedAlpha(*talking)};
    }
    bool logged(const std::string& entry) const
    {
        return std::find(screen.log.begin(), screen.log.end(), entry) != screen.log.end();
    }

    FContainer root;
    FRefT<FImageWidget> smallFrame;
    FRefT<CharacterVideoSprite> smallSprite;
    FRefT<FContainer> speakerFrame;
    FRefT<FImageWidget> portrait;
    FRefT<VideoSprite> talking;
    FRefT<FImageWidget> dimmer;
    FRefT<FImageWidget> art;
    DialogScreen screen;
    FTimerTween reminder;
    FTimerTween reaction;
    StoryDialog dialog{screen, reminder, reaction};
};

TEST(StoryDialogTest, TheSpeakerComesUpOnItsTimelineAndSpeaksAtItsEnd)
{
    DialogFixture f;
    f.dialog.speakWithSpeaker(dialogSample(41));
    EXPECT_EQ(f.screen.log, std::vector<std::string>{"shake"});
    EXPECT_TRUE(f.speakerFrame->isVisible());
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{255, 255, 0, 0}));
    // The small character fades first; its frame 300 ms later.
    f.run(300);
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{255, 0, 0, 0}));
    f.run(300);
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_TRUE(f.logged("dim"));
    EXPECT_TRUE(f.logged("clickClear"));
    EXPECT_FALSE(f.logged("voice 41"));
    // Then the portrait over 300 ms, and the talking video after a 300 ms wait.
    f.run(300);
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{0, 0, 255, 0}));
    EXPECT_EQ(f.screen.log.back(), "voice 41");
    EXPECT_EQ(f.screen.voiceEnd, StoryVoiceEnd::k_voiceDone);
    f.run(300);
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{0, 0, 255, 255}));
    EXPECT_TRUE(f.dialog.isSpeakerUp());
    // Speaking again while the speaker is up plays at once.
    f.screen.log.clear();
    f.dialog.speakWithSpeaker(dialogSample(42));
    EXPECT_EQ(f.screen.log, (std::vector<std::string>{"shake", "voice 42"}));
}

TEST(StoryDialogTest, TheArtKeepsThePlayFieldUndimmed)
{
    DialogFixture f;
    f.art->setVisible(true);
    f.dialog.speakWithSpeaker(dialogSample(7));
    f.run(1200);
    EXPECT_FALSE(f.logged("dim"));
    EXPECT_TRUE(f.logged("voice 7"));
}

TEST(StoryDialogTest, HidingTheSpeakerBringsTheSmallCharacterBack)
{
    DialogFixture f;
    f.dialog.speakWithSpeaker(dialogSample(1));
    f.run(1200);
    f.dialog.hideSpeaker();
    f.run(300);
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{0, 0, 255, 0}));
    EXPECT_TRUE(f.speakerFrame->isVisible());
    f.run(300);
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_FALSE(f.speakerFrame->isVisible());
    f.run(300);
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{255, 0, 0, 0}));
    f.run(300);
    EXPECT_EQ(f.alphas(), (std::vector<int32_t>{255, 255, 0, 0}));
    EXPECT_FALSE(f.dialog.isSpeakerUp());
}

TEST(StoryDialogTest, TheReminderSpeaksOnceAfterSevenSecondsUnlessCancelled)
{
    struct Case
    {
        const char* what;
        bool cancel;
        bool stepStillRuns;
        bool replayed;
    };
    const Case cases[] = {
        {"heard", false, false, true},
        {"cancelled", true, false, false},
        {"a step runs", false, true, false},
    };
    for (const Case& c : cases) {
        DialogFixture f;
        StoryTaskRecord record;
        record.m_reminder = true;
        record.m_voice = dialogSample(77);
        f.screen.running = &record;
        f.dialog.rememberReminder(record.getVoice());
        EXPECT_EQ(f.screen.voiceEnd, StoryVoiceEnd::k_idlePose) << c.what;
        f.dialog.onVoiceDone();
        EXPECT_TRUE(f.logged("taskStep")) << c.what;
        EXPECT_TRUE(f.reminder.isActive()) << c.what;
        if (!c.stepStillRuns) f.screen.running = nullptr;
        f.run(6900);
        EXPECT_FALSE(f.logged("voice 77")) << c.what;
        if (c.cancel) f.dialog.cancelReminderVoice();
        f.run(100);
        EXPECT_EQ(f.logged("voice 77"), c.replayed) << c.what;
        f.screen.log.clear();
        f.run(20000);
        EXPECT_FALSE(f.logged("voice 77")) << c.what << ": once only";
    }
    // A step without the reminder flag arms nothing.
    DialogFixture plain;
    StoryTaskRecord record;
    plain.screen.running = &record;
    plain.dialog.onVoiceDone();
    EXPECT_FALSE(plain.reminder.isActive());
}

TEST(StoryDialogTest, LinesOfferedWhileAStepRunsAreDropped)
{
    DialogFixture f;
    StoryTaskRecord record;
    f.screen.running = &record;
    f.dialog.playVoiceLine(dialogSample(5));
    EXPECT_TRUE(f.screen.log.empty());
    f.screen.running = nullptr;
    f.dialog.playVoiceLine(dialogSample(5));
    EXPECT_EQ(f.screen.log, std::vector<std::string>{"line 5"});
    EXPECT_EQ(f.screen.voiceEnd, StoryVoiceEnd::k_idlePose);
}

TEST(StoryDialogTest, TheFirstLineOfADifferenceQuestStartsTheSwapOnce)
{
    DialogFixture f;
    f.screen.quest = StoryDialog::k_differenceQuest;
    f.dialog.onVoiceDone();
    f.dialog.onVoiceDone();
    EXPECT_EQ(std::count(f.screen.log.begin(), f.screen.log.end(), "swap"), 1);
    EXPECT_EQ(std::count(f.screen.log.begin(), f.screen.log.end(), "taskStep"), 2);
}

TEST(StoryDialogTest, TheReactionLinePlays800MsLater)
{
    DialogFixture f;
    f.dialog.scheduleReactionLine();
    f.run(700);
    EXPECT_FALSE(f.logged("voice 3617"));
    f.run(100);
    EXPECT_TRUE(f.logged("voice 3617"));
}

TEST(StoryDialogTest, PoolsAndCommentsDrawFromTheGamesRandomNumbers)
{
    DialogFixture f;
    f.dialog.fillInterruptLinePool();
    f.dialog.fillVessaLinePool();
    f.dialog.fillVessaLinePool();
    ASSERT_EQ(f.dialog.interruptLines().size(), 5u);
    EXPECT_EQ(f.dialog.vessaLines().size(), 7u);
    for (const std::string& id : f.screen.ids)
        EXPECT_EQ(id.rfind("KTQ_", 0), 0u) << id;
    // A seed replays the same pick.
    GameRandom::srand(1234);
    const int32_t picked = sampleId(f.dialog.pickInterruptLine());
    GameRandom::srand(1234);
    EXPECT_EQ(sampleId(f.dialog.pickInterruptLine()), picked);
    // Comments follow the game's sequence: many calls within one second say
    // different lines, and a seed replays the same run.
    auto comments = [&f](uint32_t seed) {
        GameRandom::srand(seed);
        f.screen.log.clear();
        for (int i = 0; i < 30; ++i)
            f.dialog.playRandomComment();
        return f.screen.log;
    };
    const std::vector<std::string> run = comments(99);
    EXPECT_EQ(comments(99), run);
    EXPECT_GT(std::set<std::string>(run.begin(), run.end()).size(), 1u);
    // The Vessa quest picks its fixed interrupt line.
    f.screen.quest = StoryDialog::k_secondSetQuest;
    f.dialog.pickInterruptLine();
    EXPECT_EQ(f.screen.ids.back(), "KTQ_VSSQ_003_vss");
    // An empty pool gives no line rather than dividing by zero.
    DialogFixture empty;
    EXPECT_EQ(empty.dialog.pickInterruptLine().get(), nullptr);
}

} // namespace
