#pragma once

// The folders of the gameplay screen bases as screen files that kittool
// writes from the game's own manifests, and an inline game module that notes
// the sounds, volumes and screen requests the screens make.

#include "game/FakeCursorDevice.h"
#include "game/app/InlineGameModule.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/gameplay/CommonUIScreen.h"
#include "game/gameplay/PowerUpView.h"
#include "game/screenbase/PromptTestSupport.h"
#include "support/ScreenFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace gameplaytest {

using Lines = std::vector<std::string>;

// Written once per test process, removed at exit.
class GameplayScreenFiles
{
public:
    static const std::filesystem::path& folder()
    {
        static GameplayScreenFiles files;
        return files.m_path;
    }

private:
    GameplayScreenFiles()
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() / ("zibbo-gameplay-files-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
        for (const char* folder :
             {"005", "006", "012", "021", "023", "024", "025", "027", "029", "030", "032"}) {
            const std::filesystem::path manifest =
                std::filesystem::path(SCREEN_MANIFESTS) / (std::string(folder) + ".lua");
            if (!std::filesystem::exists(manifest)) continue;
            writeScreenFiles(manifest, m_path);
        }
    }
    ~GameplayScreenFiles()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    std::filesystem::path m_path;
};

// Points XDG_DATA_HOME into the scratch folder while the test runs, so that
// saves never reach the user's own data folder.
struct ScratchUserData
{
    explicit ScratchUserData(const std::filesystem::path& base)
    {
        if (const char* previous = std::getenv("XDG_DATA_HOME")) m_previous = previous;
        m_hadPrevious = std::getenv("XDG_DATA_HOME") != nullptr;
        setenv("XDG_DATA_HOME", (base / "userdata").c_str(), 1);
    }
    ~ScratchUserData()
    {
        if (m_hadPrevious)
            setenv("XDG_DATA_HOME", m_previous.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    std::string m_previous;
    bool m_hadPrevious = false;
};

struct GameplayFolders : ScratchFileModules
{
    GameplayFolders()
    {
        FLocalizedMessages::setLanguage(0);
        GameWidgetFactory::registerTypes();
        std::filesystem::copy(GameplayScreenFiles::folder(), scratch.path(),
                              std::filesystem::copy_options::recursive);
    }

    ScratchUserData userData{scratch.path()};
    RecordingErrorHandler handler;
    FScreenModule screens{&prompttest::makeScreenObject};
};

// Notes "sound ID", "dialogue", "music V", "voice V", "effects S" and
// "screen K" in the order the screens ask.
class RecordingGameModule : public InlineGameModule
{
public:
    using InlineGameModule::InlineGameModule;

    void playSound(const FRef& sound, int32_t volume) override
    {
        calls.push_back("sound " + nameOf(sound) + " at " + std::to_string(volume));
        InlineGameModule::playSound(sound, volume);
    }
    void playDialogue(const FRef& sound) override
    {
        calls.push_back("dialogue " + nameOf(sound));
        InlineGameModule::playDialogue(sound);
    }
    void setMusicVolume(uint8_t volume) override
    {
        calls.push_back("music " + std::to_string(volume));
        InlineGameModule::setMusicVolume(volume);
    }
    void setVoiceVolume(uint8_t volume) override
    {
        calls.push_back("voice " + std::to_string(volume));
        InlineGameModule::setVoiceVolume(volume);
    }
    void setSfxVolumeScale(int32_t scale) override
    {
        calls.push_back("effects " + std::to_string(scale));
        InlineGameModule::setSfxVolumeScale(scale);
    }
    void setScreen(int32_t kind, bool async) override
    {
        screens.push_back(kind);
        InlineGameModule::setScreen(kind, async);
    }
    void pauseAudioAndCursor(bool stopEffects) override
    {
        calls.push_back(stopEffects ? "pause stop" : "pause");
        InlineGameModule::pauseAudioAndCursor(stopEffects);
    }
    void resumeAudioAndCursor(bool force) override
    {
        calls.push_back(force ? "resume force" : "resume");
        InlineGameModule::resumeAudioAndCursor(force);
    }
    void stopAllSounds() override
    {
        calls.push_back("stop all");
        InlineGameModule::stopAllSounds();
    }

    // A system pause as the mixer reports it (the tests run without one).
    bool isGamePaused() const override { return systemPaused || InlineGameModule::isGamePaused(); }

    Lines take() { return std::exchange(calls, {}); }
    // Names a sound by the asset it is, through the names the test gave.
    std::string nameOf(const FRef& sound) const
    {
        for (const auto& [name, asset] : soundNames)
            if (asset == sound.get()) return name;
        return "?";
    }

    Lines calls;
    bool systemPaused = false;
    std::vector<int32_t> screens;
    std::vector<std::pair<std::string, const void*>> soundNames;
};

// Builds a `Screen` for every kind the game module asks for.
template <class Screen> class OneScreenFactory : public FScreenFactory
{
public:
    FRefT<FScreen> createScreen(int32_t) override
    {
        return FRefT<FScreen>(makeRef<FScreen>(engineNew<Screen>(k_memObject)));
    }
};

// The folders and a recording game module whose every screen is a `Screen`;
// the fixture runs the module and shows a screen.
template <class Screen> struct HostedScreen : GameplayFolders
{
    Screen& screen() { return *static_cast<Screen*>(module.currentScreen().get()); }

    OneScreenFactory<Screen> factory;
    FakeCursorDevice cursorDevice;
    RecordingGameModule module{&factory, cursorDevice};
};

// Notes its updates; `onUpdate` runs inside each, or the view removes itself.
class TestView : public PowerUpView
{
public:
    explicit TestView(int32_t kind, std::vector<std::string>& log) : PowerUpView(nullptr, kind), m_log(log) {}

    void update(int32_t ms) override
    {
        m_log.push_back("update " + std::to_string(uniqueId()) + " " + std::to_string(ms));
        if (removeSelf) {
            // As a view whose effect has ended: nothing of it is touched after.
            hostScreen()->removePowerUpView(uniqueId());
            return;
        }
        if (onUpdate) onUpdate();
    }
    void setup() override { m_log.push_back("setup " + std::to_string(uniqueId())); }
    void onLaunchFinished() override { m_log.push_back("launched " + std::to_string(uniqueId())); }

    std::function<void()> onUpdate;
    bool removeSelf = false;

private:
    std::vector<std::string>& m_log;
};

// The story screen's operations that this base leaves to it.
class TestCommonScreen : public CommonUIScreen
{
public:
    bool isPictureSearchMode() const override { return false; }
    void onTaskBegun() override {}
    void onTaskAdvanced() override {}
    void showAnimatedOverlay(StoryTaskStepper&) override {}
    void stagedSequenceBegin() override {}
    void stagedSequenceShow() override {}
    void stagedSequenceRun() override {}
    void stagedSequenceEnd() override {}
    FRefT<std::istream> openSearchData(std::int32_t) override { return {}; }
    bool needsActiveEntry() const override { return true; }

    std::vector<std::string> viewLog;

protected:
    PowerUpView* createPowerUpView(int32_t kind, HudEntryPanel*) override
    {
        return engineNew<TestView>(k_memObject, kind, viewLog);
    }
};

} // namespace gameplaytest
