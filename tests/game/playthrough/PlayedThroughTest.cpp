// The whole game played through by a scripted player: the real module list
// and game module over the demo kit, on this (main) thread as the program runs
// them, and input pushed as SDL events through the platform layer under the
// offscreen video and dummy audio drivers. The player finds every target in
// the live widget tree of the current screen, on the UI thread, and clicks
// its centre. The route goes from the intro chain through a new profile
// (name, face, difficulty) to the prologue, where the player closes the
// window and confirms the quit question. The levels cannot be built yet (the
// story panel widget is missing), so the route ends before the loading screen.

#include "app/PlatformBackends.h"
#include "core/FAction.h"
#include "core/FApplication.h"
#include "core/FProcessService.h"
#include "engine/core/KernelTestSupport.h"
#include "game/app/ZibboUserInterface.h"
#include "game/core/ScreenKind.h"
#include "game/frontend/AvatarSelectScreen.h"
#include "game/frontend/GameModeScreen.h"
#include "game/frontend/MainMenuScreen.h"
#include "game/frontend/NameEntryScreen.h"
#include "game/frontend/ProfileMenuScreen.h"
#include "game/frontend/ProfileScreen.h"
#include "game/frontend/ZibboSplashScreen.h"
#include "game/playthrough/PlaythroughSupport.h"
#include "game/screenbase/PromptScreen.h"
#include "game/widgets/VideoSprite.h"
#include "platform/FGraphSdl.h"
#include "platform/FRenderDeviceGl.h"
#include "support/DemoKit.h"
#include "tools/imagewriters/PngWriter.h"
#include "ui/FContainer.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// The whole game runs in this process over SDL's real video driver, which
// keeps a few small blocks of its own until the process ends; the leak check
// at exit is told about them, and about nothing of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libSDL2\n";
}

namespace {

using Clock = std::chrono::steady_clock;

class ScriptedPlayer
{
public:
    // The kinds the UI module made current, in order (no repeats).
    std::vector<int32_t> kinds() const
    {
        std::lock_guard<std::mutex> lock(m_kindsLock);
        return m_kinds;
    }
    std::string failure;

    void watchKinds()
    {
        int32_t last = k_noScreen;
        while (!m_stopWatching) {
            if (ZibboUserInterface* ui = ZibboUserInterface::getInstance()) {
                const int32_t kind = ui->currentKind();
                if (kind != last && kind != k_noScreen) {
                    std::lock_guard<std::mutex> lock(m_kindsLock);
                    m_kinds.push_back(kind);
                    last = kind;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    void stopWatching() { m_stopWatching = true; }

    // The whole route; false (with `failure` said) where it could not go on.
    bool play()
    {
        return waitForKind(k_splashScreen, 60000) &&
               waitFor("the splash screen's ready label", 30000,
                       [] {
                           return playthrough::onUi([] {
                               auto* splash = dynamic_cast<ZibboSplashScreen*>(current());
                               return splash != nullptr && splash->isReady();
                           });
                       }) &&
               snapshot("splash") && pressAt(screenCentre()) &&
               clickUntil<MainMenuScreen>(k_mainMenuScreen, k_profileScreen,
                                          [](MainMenuScreen& s) { return s.m_playClickArea.get(); }) &&
               clickUntil<ProfileScreen>(k_profileScreen, k_nameEntryScreen,
                                         [](ProfileScreen& s) { return s.slotClickArea(0); }) &&
               settle(k_nameEntryScreen) &&
               clickOnce<NameEntryScreen>([](NameEntryScreen& s) { return s.m_keyB.get(); }) &&
               clickOnce<NameEntryScreen>([](NameEntryScreen& s) { return s.m_keyO.get(); }) &&
               clickOnce<NameEntryScreen>([](NameEntryScreen& s) { return s.m_keyB.get(); }) &&
               snapshot("name-entry-bob") &&
               clickUntil<NameEntryScreen>(k_nameEntryScreen, k_avatarSelectScreen,
                                           [](NameEntryScreen& s) { return s.m_okButton.get(); }) &&
               clickUntil<AvatarSelectScreen>(
                   k_avatarSelectScreen, k_profileMenuScreen,
                   [](AvatarSelectScreen& s) { return s.m_avatar3Button.get(); }) &&
               clickUntil<ProfileMenuScreen>(
                   k_profileMenuScreen, k_gameModeScreen,
                   [](ProfileMenuScreen& s) { return s.m_regularClickArea.get(); }) &&
               settle(k_gameModeScreen) && closeWindowAndConfirm();
    }

private:
    static FScreen* current()
    {
        ZibboUserInterface* ui = ZibboUserInterface::getInstance();
        return ui != nullptr ? ui->currentScreen().get() : nullptr;
    }

    template <class Condition> bool waitFor(const std::string& what, int limitMs, Condition condition)
    {
        const auto end = Clock::now() + std::chrono::milliseconds(limitMs);
        while (Clock::now() < end) {
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        failure = "waited in vain for " + what + " (current kind " +
                  std::to_string(ZibboUserInterface::getInstance() != nullptr
                                     ? ZibboUserInterface::getInstance()->currentKind()
                                     : -1) +
                  ")";
        return false;
    }
    bool waitForKind(int32_t kind, int limitMs)
    {
        return waitFor("screen kind " + std::to_string(kind), limitMs, [kind] {
            ZibboUserInterface* ui = ZibboUserInterface::getInstance();
            return ui != nullptr && ui->currentKind() == kind;
        });
    }
    // Lets the screen's entry animations end before the player acts.
    bool settle(int32_t kind)
    {
        return waitForKind(kind, 60000) && settleFor(1500) && snapshot(screenClassName(kind));
    }
    // The confirm button of the question a screen shows.
    static FWidget* confirmOf(PromptScreen& screen) { return screen.ScreenLayout27::m_confirmButton.get(); }

    // With ZIBBO_PLAYTHROUGH_PNG set, the frame on the window as a PNG named
    // after the step, into that folder (or the build tree's when it is "1").
    bool snapshot(const std::string& name)
    {
        const char* wanted = std::getenv("ZIBBO_PLAYTHROUGH_PNG");
        if (wanted == nullptr || *wanted == 0) return true;
        const std::filesystem::path folder = std::string(wanted) == "1" ? PLAYTHROUGH_PNG_DIR : wanted;
        std::filesystem::create_directories(folder);
        // Two frames go by, so that the picture shows the settled screen.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::vector<uint8_t> pixels = playthrough::onMainThread([]() -> std::vector<uint8_t> {
            auto* graph = dynamic_cast<FGraphSdl*>(findService<FGraph>(k_slotGraphics));
            if (graph == nullptr || graph->glDevice() == nullptr) return {};
            const FPointI size = graph->getWindowSize();
            return graph->glDevice()->readPixels({0, 0, size.x, size.y});
        });
        if (pixels.size() != 800u * 600u * 4u) return true;
        const std::vector<uint8_t> bytes = writePng(PngPicture::rgba(800, 600, pixels));
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%02d-", ++m_snapshots);
        std::ofstream(folder / (prefix + name + ".png"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return true;
    }
    static bool settleFor(int ms)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return true;
    }

    static std::optional<FPointI> screenCentre()
    {
        return playthrough::onUi([]() -> std::optional<FPointI> {
            FScreen* screen = current();
            if (screen == nullptr) return std::nullopt;
            const FRectI r = screen->rect();
            return FPointI{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        });
    }

    // The centre of the widget `find` picks on the current screen, when the
    // screen is a `Screen` and the widget and all its parents show.
    template <class Screen, class Find> static std::optional<FPointI> centreOf(Find find)
    {
        return playthrough::onUi([find]() -> std::optional<FPointI> {
            auto* screen = dynamic_cast<Screen*>(current());
            if (screen == nullptr) return std::nullopt;
            FWidget* widget = find(*screen);
            if (widget == nullptr) return std::nullopt;
            for (FWidget* shown = widget; shown != nullptr; shown = shown->parent())
                if (!shown->isVisible()) return std::nullopt;
            // The widget's own hit test, over the window in 4-pixel steps,
            // finds where it shows whatever its containers do to their
            // children's space.
            int64_t sumX = 0, sumY = 0, count = 0;
            for (int32_t y = 2; y < 600; y += 4)
                for (int32_t x = 2; x < 800; x += 4)
                    if (widget->containsAbsolutePoint({x, y})) {
                        sumX += x;
                        sumY += y;
                        ++count;
                    }
            if (count == 0) return std::nullopt;
            return FPointI{static_cast<int32_t>(sumX / count), static_cast<int32_t>(sumY / count)};
        });
    }

    bool pressAt(const std::optional<FPointI>& point)
    {
        if (!point) {
            failure = "nothing to press on screen kind " +
                      std::to_string(ZibboUserInterface::getInstance()->currentKind());
            return false;
        }
        playthrough::pushPointer(SDL_MOUSEMOTION, *point);
        playthrough::pushPointer(SDL_MOUSEBUTTONDOWN, *point);
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        playthrough::pushPointer(SDL_MOUSEBUTTONUP, *point);
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        return true;
    }

    template <class Screen, class Find> bool clickOnce(Find find)
    {
        if (!pressAt(centreOf<Screen>(find))) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return true;
    }
    // Clicks the widget until the screen `from` gives way to `to`.
    template <class Screen, class Find> bool clickUntil(int32_t from, int32_t to, Find find)
    {
        if (!settle(from)) return false;
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (const auto point = centreOf<Screen>(find)) pressAt(point);
            const auto end = Clock::now() + std::chrono::seconds(4);
            while (Clock::now() < end) {
                if (ZibboUserInterface::getInstance()->currentKind() == to) return settleFor(0);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        return waitForKind(to, 1);
    }
    // Closes the window as a player would and answers the quit question
    // with its confirm button where the screen asks it.
    bool closeWindowAndConfirm()
    {
        const Uint32 window = playthrough::onMainThread([] {
            SDL_Window* shown = SDL_GL_GetCurrentWindow();
            return shown != nullptr ? SDL_GetWindowID(shown) : Uint32{0};
        });
        SDL_Event close{};
        close.type = SDL_WINDOWEVENT;
        close.window.event = SDL_WINDOWEVENT_CLOSE;
        close.window.windowID = window;
        SDL_PushEvent(&close);
        if (!waitFor("the quit question", 10000, [] {
                return playthrough::onUi([] {
                    ZibboUserInterface* ui = ZibboUserInterface::getInstance();
                    return ui != nullptr && ui->isQuitPending();
                });
            }))
            return false;
        settleFor(1000);
        snapshot("quit-question");
        return clickOnce<PromptScreen>([](PromptScreen& s) { return confirmOf(s); });
    }

    int m_snapshots = 0;
    mutable std::mutex m_kindsLock;
    std::vector<int32_t> m_kinds;
    std::atomic<bool> m_stopWatching{false};
};

TEST(PlayedThroughTest, FromTheIntroThroughANewProfileToThePrologueAndOutThroughTheQuitQuestion)
{
    if (const std::string why = demokit::missing(DEMO_KIT); !why.empty()) GTEST_SKIP() << why;
    ScratchFolder scratch;
    std::filesystem::create_symlink(DEMO_KIT, scratch.path() / "Zibbo.zip");
    std::filesystem::create_directories(scratch.path() / "data");
    ::setenv("XDG_DATA_HOME", (scratch.path() / "data").c_str(), 1);
    // A private runtime folder, as a session's is.
    std::filesystem::create_directories(scratch.path() / "runtime");
    std::filesystem::permissions(scratch.path() / "runtime", std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", (scratch.path() / "runtime").c_str(), 1);
    ::setenv("ZIBBO_INSTANCE", ("played-through-" + std::to_string(::getpid())).c_str(), 1);

    ScriptedPlayer player;
    std::thread watcher([&player] { player.watchKinds(); });
    bool finished = false;
    std::thread script([&player, &finished] {
        finished = player.play();
        if (!finished) {
            // End the run so the test can report where it stopped.
            for (int wait = 0; wait < 500 && findService<FProcessService>(k_slotProcess) == nullptr; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (auto* process = findService<FProcessService>(k_slotProcess)) process->requestQuit();
        }
    });
    const auto begin = Clock::now();
    int result = -1;
    std::string errors;
    {
        playthrough::CapturedErrors captured((scratch.path() / "stderr.txt").string());
        try {
            result = runGameApplication(platformBackends(), makeSharedStringCopy(FString("")),
                                        &createZibboUserInterface);
        } catch (...) {
            result = -2;
        }
        errors = captured.restore();
    }
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - begin).count();
    script.join();
    player.stopWatching();
    watcher.join();
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("ZIBBO_INSTANCE");

    std::string visited;
    for (int32_t kind : player.kinds())
        visited += std::to_string(kind) + " ";
    EXPECT_TRUE(finished) << player.failure << "\nvisited: " << visited << "\n" << errors;
    EXPECT_EQ(result, 0) << errors;
    EXPECT_EQ(FApplication::instance(), nullptr);
    // Nothing was reported on standard error, where every channel's
    // failures and the process log go.
    EXPECT_EQ(errors, "");
    EXPECT_LT(seconds, 180);

    // The route's screens, in this order (others, such as the loading
    // screen's neighbours, may come between).
    const std::vector<int32_t> route = {k_introScreen,       k_splashScreen,    k_mainMenuScreen,
                                        k_profileScreen,     k_nameEntryScreen, k_avatarSelectScreen,
                                        k_profileMenuScreen, k_gameModeScreen};
    const std::vector<int32_t> kinds = player.kinds();
    auto at = kinds.begin();
    for (int32_t kind : route) {
        at = std::find(at, kinds.end(), kind);
        ASSERT_NE(at, kinds.end()) << "screen kind " << kind << " missing from " << visited;
        ++at;
    }

    // The new profile and its checksum side file are on the disk.
    const std::filesystem::path saves = scratch.path() / "data" / "Nuvant" / "Zibbo";
    EXPECT_TRUE(std::filesystem::exists(saves / "Pdl_0.p")) << saves;
    EXPECT_TRUE(std::filesystem::exists(saves / "Pdl_0.p.crc")) << saves;
}

} // namespace
