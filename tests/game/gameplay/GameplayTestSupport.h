#pragma once

// The folders of the gameplay screen bases as screen files that kittool
// writes from the game's own manifests, and an inline game module that notes
// the sounds, volumes and screen requests the screens make.

#include "game/FakeCursorDevice.h"
#include "game/app/InlineGameModule.h"
#include "game/factories/GameWidgetFactory.h"
#include "game/screenbase/PromptTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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
        for (const char* folder : {"012", "021", "023", "024", "025", "027", "030"}) {
            const std::filesystem::path manifest =
                std::filesystem::path(SCREEN_MANIFESTS) / (std::string(folder) + ".lua");
            if (!std::filesystem::exists(manifest)) continue;
            const std::string command = std::string(KITTOOL_PATH) + " screenfile " + manifest.string() + " " +
                                        m_path.string() + " > /dev/null";
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
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

    Lines take() { return std::exchange(calls, {}); }
    // Names a sound by the asset it is, through the names the test gave.
    std::string nameOf(const FRef& sound) const
    {
        for (const auto& [name, asset] : soundNames)
            if (asset == sound.get()) return name;
        return "?";
    }

    Lines calls;
    std::vector<int32_t> screens;
    std::vector<std::pair<std::string, const void*>> soundNames;
};

} // namespace gameplaytest
