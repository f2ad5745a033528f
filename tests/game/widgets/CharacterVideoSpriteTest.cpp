#include "game/widgets/RecordingVideoPlayer.h"

#include "game/widgets/CharacterVideoSprite.h"
#include "ui/FScreen.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A gameplay screen stand-in whose clips are two-frame recorded videos,
// named by role, with an "alt-" prefix for the alternate set.
class ClipScreen : public FScreen, public CharacterClipHost
{
public:
    explicit ClipScreen(std::vector<std::string>& log)
    {
        const char* names[] = {"idle", "pose1", "lead", "hold", "pose3", "pose4", "pose5", "pose6"};
        for (int32_t n = 0; n < 8; ++n) {
            m_clips[{false, n}] = recordedVideo(names[n], 2, log);
            m_clips[{true, n}] = recordedVideo(std::string("alt-") + names[n], 2, log);
            m_names[m_clips[{false, n}].get()] = names[n];
            m_names[m_clips[{true, n}].get()] = std::string("alt-") + names[n];
        }
    }
    void reloadTexts(int32_t) override {}
    FRefT<FVideo> characterClip(bool alternate, Clip clip) override { return m_clips[{alternate, clip}]; }
    std::string nameOf(const FVideo* video) { return m_names[video]; }

private:
    std::map<std::pair<bool, int32_t>, FRefT<FVideo>> m_clips;
    std::map<const FVideo*, std::string> m_names;
};

class CharacterSpriteTest : public ::testing::Test
{
protected:
    CharacterSpriteTest() { character.setWidgetRect({10, 20, 110, 220}); }

    // The clips started during `updates` frames of the clip frame time, as
    // names ("<" after a clip played backwards). Clips are two frames long,
    // so each start shows its start frame right after the update.
    std::vector<std::string> clipsStarted(int32_t updates)
    {
        std::vector<std::string> started;
        for (int32_t n = 0; n < updates; ++n) {
            character.update(83);
            if (character.currentFrame() == character.startFrame())
                started.push_back(screen.nameOf(character.video().get()) +
                                  (character.isReversed() ? "<" : ""));
        }
        return started;
    }
    std::string playing() { return screen.nameOf(character.video().get()); }

    std::vector<std::string> log;
    ClipScreen screen{log};
    CharacterVideoSprite character{&screen};
};

using Clips = std::vector<std::string>;

TEST_F(CharacterSpriteTest, AttachPlaysTheIdleClipOverAndOverAtTheSavedSize)
{
    character.playPose(1, false); // ignored before attach
    EXPECT_EQ(character.poseKind(), -1);
    character.attach();
    ASSERT_TRUE(character.isAttached());
    EXPECT_EQ(playing(), "idle");
    EXPECT_EQ(character.frameTime(), 83);
    EXPECT_EQ(character.rect(), (FRectI{10, 20, 110, 220}));
    EXPECT_EQ(clipsStarted(6), (Clips{"idle", "idle", "idle"}));
}

TEST_F(CharacterSpriteTest, PoseTableQueuesItsClips)
{
    struct Case
    {
        int32_t kind;
        bool repeat;
        bool alternate;
        Clips startsAfter; // the clips that follow the first within 8 updates
        const char* first;
    };
    const Case cases[] = {
        {1, false, false, {"idle", "idle", "idle", "idle"}, "pose1"},
        {1, true, false, {"pose1", "pose1", "pose1", "pose1"}, "pose1"},
        {0, true, false, {"idle", "idle", "idle", "idle"}, "idle"}, // kind 0 never repeats
        {2, true, false, {"hold", "hold", "hold", "hold"}, "lead"},
        {2, false, false, {"hold", "idle", "idle", "idle"}, "lead"},
        {6, false, false, {"pose6", "lead<", "idle", "idle"}, "lead"},
        {2, false, true, {"alt-idle", "alt-idle", "alt-idle", "alt-idle"}, "alt-pose1"},
        {6, true, true, {"alt-idle", "alt-idle", "alt-idle", "alt-idle"}, "alt-idle"},
        {5, false, false, {"idle", "idle", "idle", "idle"}, "pose5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << c.kind << " repeat " << c.repeat << " alt " << c.alternate);
        CharacterVideoSprite sprite(&screen);
        sprite.setWidgetRect({0, 0, 40, 40});
        sprite.setAlternateSet(c.alternate);
        sprite.attach();
        sprite.playPose(c.kind, c.repeat);
        EXPECT_EQ(sprite.poseKind(), c.kind);
        EXPECT_EQ(screen.nameOf(sprite.video().get()), c.first);
        Clips started;
        for (int32_t n = 0; n < 8; ++n) {
            sprite.update(83);
            if (sprite.currentFrame() == sprite.startFrame())
                started.push_back(screen.nameOf(sprite.video().get()) + (sprite.isReversed() ? "<" : ""));
        }
        EXPECT_EQ(started, c.startsAfter);
    }
}

TEST_F(CharacterSpriteTest, LeavingTheHeldPosePlaysItsLeadInBackwards)
{
    character.attach();
    character.playPose(2, true);
    EXPECT_EQ(clipsStarted(4), (Clips{"hold", "hold"}));
    // The same kind again is ignored, even with another repeat.
    character.playPose(2, false);
    EXPECT_EQ(playing(), "hold");
    character.playPose(3, false);
    EXPECT_EQ(playing(), "lead");
    EXPECT_TRUE(character.isReversed());
    EXPECT_EQ(character.currentFrame(), 1);
    EXPECT_EQ(clipsStarted(6), (Clips{"pose3", "idle", "idle"}));
}

} // namespace
