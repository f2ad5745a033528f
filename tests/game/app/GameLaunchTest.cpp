// The real game, started headless beside a kit with the tuning values: it
// launches the game module, which shows the intro screen. Without the intro's
// folder in the kit it ends with the report naming the missing file; with the
// start-up folders it runs the intro, the slides and the animation by itself
// and then builds the splash screen, which ends with the report naming the
// first of the splash screen's folders that this kit leaves out.

#include "engine/core/KernelTestSupport.h"
#include "support/GameProcess.h"
#include "support/ScreenFiles.h"
#include "tools/audiowriters/VorbisWriter.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "tools/videowriters/GwVideoWriter.h"
#include "tools/zipwriter/ZipWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(GameLaunchTest, AKitWithoutTheIntroFolderEndsTheGameWithTheMissingFileReport)
{
    ScratchFolder scratch;
    ZipWriter kit;
    kit.add("GWTarget", writeTarget("Launch"));
    kit.add("Scripts/params.lua", readFile(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua"));
    kit.writeTo("Zibbo.zip");

    const pid_t pid = gameprocess::start(ZIBBO_GAME_BINARY, {}, "game-launch", "stderr.txt");
    ASSERT_GT(pid, 0);

    const int exitCode = gameprocess::waitForExit(pid, 20000);
    const std::string errors = readFile("stderr.txt");
    EXPECT_EQ(exitCode, 1) << errors;
    EXPECT_NE(errors.find("No file is named: 004/GWScreen"), std::string::npos) << errors;
}

// Writes Zibbo.zip with the tuning values and the start-up folders (intro,
// slides, animation) into the current folder.
void writeStartUpKit()
{
    ZipWriter kit;
    kit.add("GWTarget", writeTarget("Launch"));
    kit.add("Scripts/params.lua", readFile(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua"));
    const std::filesystem::path files = std::filesystem::current_path() / "files";
    for (const char* folder : {"004", "010", "017"}) {
        ASSERT_TRUE(writeScreenFiles(std::string(SCREEN_MANIFESTS) + "/" + folder + ".lua", files));
    }
    // The clip and the music are real media: 20 frames at 20 fps and a
    // second of silence.
    GwVideoFile video = gwPictureVideo(20, 16, 12, 5);
    video.frameRate = 20;
    const std::vector<uint8_t> clip = writeGwVideo(video);
    const std::vector<uint8_t> music = writeVorbis(VorbisSpec{}, std::vector<int16_t>(44100 * 2, 0));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(files)) {
        if (!entry.is_regular_file()) continue;
        const std::string name = std::filesystem::relative(entry.path(), files).generic_string();
        if (name == "017/006633_0.gwvideo")
            kit.add(name, std::string(clip.begin(), clip.end()));
        else if (name == "017/006632_0.vorbis")
            kit.add(name, std::string(music.begin(), music.end()));
        else
            kit.add(name, readFile(entry.path().string()));
    }
    kit.writeTo("Zibbo.zip");
}

TEST(GameLaunchTest, TheStartUpChainRunsByItselfToTheSplashScreen)
{
    ScratchFolder scratch;
    ASSERT_NO_FATAL_FAILURE(writeStartUpKit());

    const auto begin = std::chrono::steady_clock::now();
    const pid_t pid = gameprocess::start(ZIBBO_GAME_BINARY, {}, "game-startup", "stderr.txt");
    ASSERT_GT(pid, 0);
    const int exitCode = gameprocess::waitForExit(pid, 60000);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin)
            .count();
    const std::string errors = readFile("stderr.txt");
    EXPECT_EQ(exitCode, 1) << errors;
    EXPECT_NE(errors.find("No file is named: 012/GWScreen"), std::string::npos) << errors;
    // The intro, the slides and the clip take 3350 + 3250 + 1000 ms.
    EXPECT_GE(ms, 7600);
}

// A second start while the game runs hands its command line to the running
// copy and ends at once with success; the running copy goes on.
TEST(GameLaunchTest, ASecondStartHandsItsCommandLineOverAndEndsWithinThreeSeconds)
{
    ScratchFolder scratch;
    ASSERT_NO_FATAL_FAILURE(writeStartUpKit());
    std::filesystem::create_directories("home");
    // Under the leak checker the copy that drew its window would end with
    // the blocks SDL's video driver keeps until the process goes: they are
    // the library's, not the game's.
    std::ofstream("sdl-leaks.supp") << "leak:libSDL2\n";
    const std::vector<std::string> settings{"HOME=" + (scratch.path() / "home").string(),
                                            "XDG_DATA_HOME=", "XDG_RUNTIME_DIR=" + scratch.path().string(),
                                            "LSAN_OPTIONS=suppressions=" +
                                                (scratch.path() / "sdl-leaks.supp").string()};
    const pid_t first = gameprocess::start(ZIBBO_GAME_BINARY, {}, "game-handover", "first.txt", settings);
    ASSERT_GT(first, 0);
    // Once it handles SIGTERM, the first copy has its window and listens.
    ASSERT_TRUE(gameprocess::catchesSignal(first, SIGTERM, 20000)) << readFile("first.txt");

    const auto begin = std::chrono::steady_clock::now();
    const pid_t second =
        gameprocess::start(ZIBBO_GAME_BINARY, {"/level:3"}, "game-handover", "second.txt", settings);
    ASSERT_GT(second, 0);
    const int secondExit = gameprocess::waitForExit(second, 3000);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin)
            .count();
    const std::string said = readFile("second.txt");
    EXPECT_EQ(secondExit, 0) << said;
    EXPECT_LT(ms, 3000);
    EXPECT_EQ(said, "The command line was handed over to the copy of the game that runs\n");

    // The first copy still runs, and ends when asked to.
    int status = 0;
    EXPECT_EQ(::waitpid(first, &status, WNOHANG), 0) << readFile("first.txt");
    ::kill(first, SIGTERM);
    EXPECT_EQ(gameprocess::waitForExit(first, 20000), 0) << readFile("first.txt");
}

// What the player is told when the installation or the machine lacks
// something: one clear message each, and where the game can go on without it
// (saves, sound) it runs on to the splash screen, which this kit leaves out.
// Nothing else reaches standard error.
TEST(GameLaunchTest, EachMissingPieceIsSaidInOneMessageAndTheGameGoesOnWhereItCan)
{
    enum Kit { k_none, k_damaged, k_startUp };
    const struct
    {
        const char* name;
        Kit kit;
        std::vector<std::string> settings;
        int exitCode;
        std::vector<std::string> said;
    } cases[] = {
        {"normal run", k_startUp, {}, 1, {"No file is named: 012/GWScreen"}},
        {"no kit", k_none, {}, 1, {"A file required by the application is missing", "Zibbo.zip"}},
        {"damaged kit", k_damaged, {}, 1, {"A file required by the application is corrupted"}},
        {"saves folder cannot be made",
         k_startUp,
         {"XDG_DATA_HOME=@/blocker/data"},
         1,
         {"The folder for settings and saves cannot be made (@/blocker/data/Nuvant/Zibbo); the game goes on, "
          "but nothing will be saved.",
          "No file is named: 012/GWScreen"}},
        {"no sound device",
         k_startUp,
         {"SDL_AUDIODRIVER=none-here"},
         1,
         {"No sound device could be opened (", "); the game plays without sound.",
          "No file is named: 012/GWScreen"}},
        {"no display",
         k_none,
         {"SDL_VIDEODRIVER=x11", "DISPLAY=", "WAYLAND_DISPLAY="},
         1,
         {"x11 not available"}},
    };
    ScratchFolder scratch;
    ASSERT_NO_FATAL_FAILURE(writeStartUpKit());
    std::ofstream("blocker") << "a file where a folder would go";
    std::vector<pid_t> games;
    int index = 0;
    auto substitute = [&scratch](std::string text) {
        for (std::size_t at; (at = text.find('@')) != std::string::npos;)
            text.replace(at, 1, scratch.path().string());
        return text;
    };
    // Each case runs in a folder of its own, all at once.
    for (const auto& c : cases) {
        const std::filesystem::path folder = scratch.path() / std::to_string(index++);
        std::filesystem::create_directories(folder / "home");
        // The runtime folder is private, as a session's is.
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        if (c.kit == k_startUp) std::filesystem::copy_file("Zibbo.zip", folder / "Zibbo.zip");
        if (c.kit == k_damaged) std::ofstream(folder / "Zibbo.zip") << std::string(4000, 'Z');
        std::vector<std::string> settings{"HOME=" + (folder / "home").string(),
                                          "XDG_DATA_HOME=", "XDG_RUNTIME_DIR=" + folder.string()};
        for (const std::string& setting : c.settings)
            settings.push_back(substitute(setting));
        // The game also looks for its kit beside its own binary, where a
        // developer's build may hold one: a case without a kit runs a copy.
        std::string binary = ZIBBO_GAME_BINARY;
        if (c.kit == k_none) {
            std::filesystem::copy_file(binary, folder / "zibbo");
            binary = (folder / "zibbo").string();
        }
        std::filesystem::current_path(folder);
        games.push_back(
            gameprocess::start(binary, {}, "game-message-" + std::to_string(index), "stderr.txt", settings));
        std::filesystem::current_path(scratch.path());
    }
    index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path folder = scratch.path() / std::to_string(index);
        ASSERT_GT(games[static_cast<std::size_t>(index++)], 0);
        const int exitCode = gameprocess::waitForExit(games[static_cast<std::size_t>(index - 1)], 60000);
        const std::string errors = readFile((folder / "stderr.txt").string());
        EXPECT_EQ(exitCode, c.exitCode) << errors;
        // In order, each once, and the first at the very start.
        std::size_t from = 0;
        for (const std::string& expected : c.said) {
            const std::string text = substitute(expected);
            const std::size_t at = errors.find(text, from);
            ASSERT_NE(at, std::string::npos) << text << "\n" << errors;
            EXPECT_EQ(errors.find(text, at + 1), std::string::npos) << errors;
            if (from == 0 && c.kit != k_startUp) {
                EXPECT_LT(at, 200u) << errors;
            }
            from = at + text.size();
        }
        if (c.kit == k_startUp) {
            // The first line is the case's own message, or the report's title
            // (the game's name).
            const std::string first = errors.substr(0, errors.find('\n'));
            EXPECT_TRUE(first == "Zibbo Far Afield" ||
                        first.find(substitute(c.said.front())) != std::string::npos)
                << errors;
        }
    }
}

// A kit is replaceable content: tuning values that start with a line taking
// more memory or time than a script may have end the game with a report
// naming the script, also when the player asks it to close meanwhile.
TEST(GameLaunchTest, TuningValuesPastTheirBoundsEndTheGameWithAReport)
{
    const struct
    {
        const char* firstLine;
        const char* report;
    } cases[] = {
        {"string.rep('x', 2^30)",
         "string.rep: a result of 1073741824 bytes is past the script's memory limit"},
        {"string.find(string.rep('a', 400), string.rep('.-', 4)..'b')",
         "the script ran past its budget of instructions"},
        {"local t = {} for i = 1, 1e9 do t[i] = i end", "the script ran past its memory limit of 64 MB"},
    };
    const std::string params = readFile(std::string(ZIBBO_CONTENT_DIR) + "/Scripts/params.lua");
    for (const auto& c : cases) {
        for (const bool terminate : {false, true}) {
            SCOPED_TRACE(std::string(c.firstLine) + (terminate ? " (SIGTERM)" : ""));
            ScratchFolder scratch;
            ZipWriter kit;
            kit.add("GWTarget", writeTarget("Launch"));
            kit.add("Scripts/params.lua", std::string(c.firstLine) + "\n" + params);
            kit.writeTo("Zibbo.zip");

            const pid_t pid = gameprocess::start(ZIBBO_GAME_BINARY, {}, "game-bounds", "stderr.txt");
            ASSERT_GT(pid, 0);
            if (terminate && gameprocess::catchesSignal(pid, SIGTERM, 20000)) {
                ::kill(pid, SIGTERM);
            }
            const int exitCode = gameprocess::waitForExit(pid, 20000);
            const std::string errors = readFile("stderr.txt");
            if (terminate) {
                // Ended before or after its report, never by the signal's default.
                EXPECT_TRUE(exitCode == 0 || exitCode == 1) << exitCode << errors;
                continue;
            }
            EXPECT_EQ(exitCode, 1) << errors;
            EXPECT_NE(errors.find("Error while executing Scripts/params.lua"), std::string::npos) << errors;
            EXPECT_NE(errors.find(c.report), std::string::npos) << errors;
        }
    }
}

} // namespace
