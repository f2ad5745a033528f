// What the game module asks of the graphics and audio services when it is
// launched, and in which order: the game's sound graph, the intro screen, the
// 800 x 600 window and then the display mode that the tuning values choose.

#include "game/app/ZibboUserInterface.h"

#include "audio/FAudioModule.h"
#include "audio/FSound.h"
#include "audio/FVolumeFader.h"
#include "core/FLocalizedMessages.h"
#include "engine/graphics/FakeGraph.h"
#include "engine/script/ScriptTestSupport.h"
#include "engine/ui/module/UiModuleTestSupport.h"
#include "game/FakeCursorDevice.h"
#include "game/core/GameParams.h"
#include "game/core/GameSaveData.h"
#include "game/core/GameSession.h"
#include "game/core/GameSoundChannels.h"
#include "game/core/GlobalSettings.h"
#include "game/core/PlayerProfile.h"
#include "game/core/SaveManager.h"
#include "game/core/ScreenKind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace {

// Forwards to the audio module and notes every part of the graph asked for.
class RecordingAudio : public FAudioService
{
public:
    RecordingAudio(FAudioService& real, SharedLog& log)
        : FAudioService(findServiceSlot(k_slotAudio)), m_real(real), m_log(log)
    {
    }
    void createSound(FRefT<FSound>& out) override
    {
        m_log.add("audio sound");
        m_real.createSound(out);
    }
    void createSoundInBus(const FRefT<FAudioNode>& bus, FRefT<FSound>& out) override
    {
        m_log.add("audio sound in bus");
        m_real.createSoundInBus(bus, out);
    }
    void releaseSound(const FRefT<FAudioNode>& bus, FSound* sound) override
    {
        m_real.releaseSound(bus, sound);
    }
    void createBus(FRefT<FAudioNode>& out) override
    {
        m_log.add("audio bus");
        m_real.createBus(out);
    }
    int getBufferMilliseconds() override { return m_real.getBufferMilliseconds(); }
    FAudioLock* getAudioLock() override { return m_real.getAudioLock(); }
    void addCallback(int key, const FRef& handle) override { m_real.addCallback(key, handle); }
    void removeCallback(int key) override { m_real.removeCallback(key); }
    void clearCallbacks() override { m_real.clearCallbacks(); }
    FRef* getPlatform() override { return m_real.getPlatform(); }

private:
    FAudioService& m_real;
    SharedLog& m_log;
};

// Notes the window requests instead of making a window.
class RecordingGraph : public FakeGraph
{
public:
    explicit RecordingGraph(SharedLog& log) : m_log(log) {}
    void createWindowAndDevice(FPointI applicationSize, FPointI windowSize, int32_t mode) override
    {
        m_log.add("window " + std::to_string(applicationSize.x) + "x" + std::to_string(applicationSize.y) +
                  " " + std::to_string(windowSize.x) + "x" + std::to_string(windowSize.y) + " mode " +
                  std::to_string(mode));
    }
    void setWindowMode(int32_t mode) override { m_log.add("display mode " + std::to_string(mode)); }

private:
    SharedLog& m_log;
};

class LaunchedGameModule : public ZibboUserInterface
{
public:
    LaunchedGameModule(FScreenFactory* factory, CursorDevice& cursors) : ZibboUserInterface(factory, cursors)
    {
        setInline(true);
    }
};

// The shipped tuning values with FullScreen set to `fullScreen`.
std::string paramsWithFullScreen(bool fullScreen)
{
    std::ifstream in(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::regex line("(^|\n)FullScreen = [^\n]*");
    EXPECT_TRUE(std::regex_search(text, line));
    return std::regex_replace(text, line, std::string("$1FullScreen = ") + (fullScreen ? "true" : "false"));
}

class GameModuleLaunchTest : public ScriptTest
{
protected:
    SharedLog log;
    FAudioModule audioModule;
    RecordingAudio audio{audioModule.service(), log};
    RecordingGraph graph{log};
    FakeScreenFactory factory{log, {k_introScreen}};
    FakeCursorDevice cursorDevice;
};

TEST_F(GameModuleLaunchTest, TheSoundGraphComesFirstThenTheIntroScreenThenTheWindowAndItsMode)
{
    const struct
    {
        bool fullScreen;
        const char* mode;
    } cases[] = {{true, "display mode 0"}, {false, "display mode 1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fullScreen);
        writeScript("params.lua", paramsWithFullScreen(c.fullScreen));
        auto module = std::make_unique<LaunchedGameModule>(&factory, cursorDevice);
        module->launch();
        ASSERT_NE(module->params(), nullptr);
        EXPECT_EQ(module->params()->fullScreen(), c.fullScreen);

        std::vector<std::string> asked;
        for (std::string& line : log.take())
            if (line.rfind("1:", 0) != 0 || line == "1:built") asked.push_back(line);
        // The master voice, the main and effects buses, five fixed channels,
        // the effects bus voice and ten effect channels.
        std::vector<std::string> expected = {"audio sound", "audio bus", "audio bus"};
        expected.insert(expected.end(), 6, "audio sound in bus");
        expected.insert(expected.end(), 10, "audio sound in bus");
        expected.insert(expected.end(), {"1:built", "window 800x600 800x600 mode 1", c.mode});
        EXPECT_EQ(asked, expected);
        EXPECT_EQ(module->currentKind(), k_introScreen);
        ASSERT_NE(module->sounds(), nullptr);
        EXPECT_FALSE(module->sounds()->masterVoice().isNull());
        module.reset();
    }
    EXPECT_TRUE(m_handler.texts.empty());
}

TEST_F(GameModuleLaunchTest, TheSavedStateTakesTheTuningValuesAndANewProfileTheGameVolumes)
{
    writeScript("params.lua", paramsWithFullScreen(false));
    LaunchedGameModule module(&factory, cursorDevice);
    module.launch();
    EXPECT_TRUE(module.getGameSession().isNull());
    module.getSaveManager()->attachDefaultFileSystem();
    module.initSaveData();
    ASSERT_FALSE(module.getGameSession().isNull());
    const GameSession::Tuning expected = GameSession::tuningOf(*module.params());
    EXPECT_EQ(module.getGameSession()->tuning().wrongHitTimer, expected.wrongHitTimer);
    EXPECT_EQ(module.getGameSession()->tuning().wrongHitCounter, expected.wrongHitCounter);
    EXPECT_EQ(module.getGameSession()->tuning().comboTime, expected.comboTime);

    module.sounds()->setVoiceVolume(50);
    module.sounds()->setMusicVolume(10);
    module.sounds()->setSfxVolumeScale(9);
    module.beginNewProfile();
    module.saveData().newProfile()->name = FString("Dee");
    module.saveData().setEditProfileSlot(4);
    ASSERT_TRUE(module.commitNewProfile());
    std::vector<PlayerProfile> profiles;
    module.copyProfiles(profiles);
    ASSERT_EQ(profiles.size(), 6u);
    EXPECT_EQ(profiles[4].name(), FString("Dee"));
    EXPECT_EQ(profiles[4].voiceVolume(), 50);
    EXPECT_EQ(profiles[4].musicVolume(), 10);
    EXPECT_EQ(profiles[4].effectVolume(), 9);
    EXPECT_EQ(profiles[4].creationLanguage(), FLocalizedMessages::language());
    EXPECT_TRUE(module.isProfileSlotUsed(4));
    EXPECT_EQ(module.getGlobalSettings()->lastProfile(), FString("Dee"));
    EXPECT_TRUE(m_handler.texts.empty());
}

TEST_F(GameModuleLaunchTest, AnInactiveWindowMutesEveryChannelAndItsReturnUnmutesThem)
{
    writeScript("params.lua", paramsWithFullScreen(false));
    LaunchedGameModule module(&factory, cursorDevice);
    module.launch();
    ASSERT_NE(module.sounds(), nullptr);
    // The five fixed channels and the ten effect channels, each by its voice.
    GameSoundChannels& sounds = *module.sounds();
    std::vector<FSound*> voices;
    for (SoundChannel* channel : {&sounds.musicChannel1(), &sounds.musicChannel2(), &sounds.ambientChannel(),
                                  &sounds.voiceChannel(), &sounds.dialogueChannel()})
        voices.push_back(channel->voice().get());
    for (int i = 0; i < GameSoundChannels::k_effectCount; ++i)
        voices.push_back(sounds.effectChannel(i).voice().get());
    ASSERT_EQ(std::count(voices.begin(), voices.end(), nullptr), 0);
    auto mutedCount = [&] {
        FMutexLock guard(audioModule.lock());
        return std::count_if(voices.begin(), voices.end(),
                             [](FSound* voice) { return voice->fader()->muted; });
    };
    EXPECT_EQ(mutedCount(), 0);
    module.onDeactivated();
    EXPECT_EQ(mutedCount(), 15);
    module.onActivated();
    EXPECT_EQ(mutedCount(), 0);
    EXPECT_TRUE(m_handler.texts.empty());
}

} // namespace
