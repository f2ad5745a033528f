#pragma once

// The front-end folders as screen files that kittool writes from the game's
// own manifests, a real video in place of each clip's placeholder, and the
// game module over the game's screen factory, driven by a simulated clock.

#include "game/FakeCursorDevice.h"
#include "game/app/InlineGameModule.h"
#include "game/screenbase/PromptTestSupport.h"
#include "support/ScreenFiles.h"

#include "asset/FRawDataModule.h"
#include "engine/graphics/FakeGraph.h"
#include "game/core/ScreenKind.h"
#include "game/factories/GameScreenFactory.h"
#include "game/factories/GameWidgetFactory.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "video/FVideoLoaderModule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace frontendtest {

// Every folder the front-end screens bind, shared parts included.
inline const std::vector<std::string>& frontEndFolders()
{
    static const std::vector<std::string> folders = {"004", "007", "009", "010", "011", "012", "015", "016",
                                                     "017", "022", "023", "027", "028", "030", "031",
                                                     // The menus over the shared backdrop.
                                                     "001", "002", "003", "008", "013", "018", "019", "020",
                                                     "021", "025", "026"};
    return folders;
}

class FrontEndScreenFiles
{
public:
    static const std::filesystem::path& folder()
    {
        static FrontEndScreenFiles files;
        return files.m_path;
    }

private:
    FrontEndScreenFiles()
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() / ("zibbo-frontend-files-" + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
        for (const std::string& folder : frontEndFolders()) {
            writeScreenFiles(std::string(SCREEN_MANIFESTS) + "/" + folder + ".lua", m_path);
        }
    }
    ~FrontEndScreenFiles()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    std::filesystem::path m_path;
};

// Writes a small video of `frames` frames at `fps` as the asset file.
inline void writeVideo(const std::filesystem::path& file, int32_t frames, uint32_t fps)
{
    GwVideoFile video = gwPictureVideo(frames, 8, 6, 3);
    video.frameRate = fps;
    const std::vector<uint8_t> bytes = writeGwVideo(video);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Notes the window title and opens no window.
class TitleGraph : public FakeGraph
{
public:
    void createWindowAndDevice(FPointI, FPointI, int32_t) override {}
    void setWindowMode(int32_t) override {}
};

// The game module with the game's factory over the front-end folders. The
// intro animation is a clip of `k_animationFrames` frames at 20 fps unless a
// test writes another before the module runs.
struct FrontEndFixture : prompttest::PromptFolders
{
    static constexpr int32_t k_stepMs = 10;
    static constexpr int32_t k_animationFrames = 30;
    static constexpr int32_t k_closingFrames = 12;

    FrontEndFixture()
    {
        GameWidgetFactory::registerTypes();
        std::filesystem::copy(FrontEndScreenFiles::folder(), scratch.path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        writeVideo(scratch.path() / "017" / "006633_0.gwvideo", k_animationFrames, 20);
        for (const char* clip : {"006604_0.gwvideo", "006608_0.gwvideo", "006609_0.gwvideo"})
            writeVideo(scratch.path() / "031" / clip, 4, 20);
        // The game data the splash screen reads, as our tools generate it.
        std::filesystem::copy_file(std::string(ZIBBO_GAME_DATA_DIR) + "/gamedata.xml",
                                   scratch.path() / "012" / "006650_0.dat",
                                   std::filesystem::copy_options::overwrite_existing);
        writeVideo(scratch.path() / "009" / "001902_0.gwvideo", k_closingFrames, 24);
        for (int id = 1877; id <= 1901; ++id)
            writeVideo(scratch.path() / "016" / ("00" + std::to_string(id) + "_0.gwvideo"), 2, 12);
    }

    // Runs the clock for `ms` in frames of k_stepMs, each drawn and shown.
    void advance(int32_t ms)
    {
        for (int32_t t = 0; t < ms; t += k_stepMs) {
            module.tick(k_stepMs);
            frame();
            clock += k_stepMs;
        }
    }
    void frame()
    {
        module.drain();
        module.frameConsumed();
        module.drain();
        module.framePresented();
        module.drain();
    }
    // Runs the clock until the current kind is `kind` (at most `limit` ms);
    // the simulated time that took, or -1.
    int32_t runUntil(int32_t kind, int32_t limit)
    {
        const int32_t start = clock;
        while (module.currentKind() != kind) {
            if (clock - start > limit) return -1;
            advance(k_stepMs);
        }
        return clock - start;
    }
    // What the game module's launch asks for first.
    void start()
    {
        module.run();
        module.setScreen(k_introScreen, false);
        frame();
    }

    int32_t clock = 0;
    FRawDataModule rawData;
    FImageLoaderModule png{k_slotPngLoader, &FPngLoader::load};
    FVideoLoaderModule gwVideo{k_slotGwVideoLoader, ".gwvideo"};
    TitleGraph graph;
    GameScreenFactory factory;
    FakeCursorDevice cursorDevice;
    InlineGameModule module{&factory, cursorDevice};
};

// Builds the real screens of the kinds it is given and plain prompt screens
// for every other kind, noting each kind asked for.
class RealScreenFactory : public prompttest::PromptFactory<SystemMessageScreen>
{
public:
    explicit RealScreenFactory(std::vector<int32_t> realKinds) : m_real(std::move(realKinds)) {}
    // The background builds call it on a loader thread.
    FRefT<FScreen> createScreen(int32_t kind) override
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_requested.push_back(kind);
        }
        for (int32_t real : m_real)
            if (real == kind) return m_factory.createScreen(kind);
        return prompttest::PromptFactory<SystemMessageScreen>::createScreen(kind);
    }
    std::vector<int32_t> requested()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_requested;
    }

private:
    std::mutex m_mutex;
    std::vector<int32_t> m_requested;
    std::vector<int32_t> m_real;
    GameScreenFactory m_factory;
};

} // namespace frontendtest
