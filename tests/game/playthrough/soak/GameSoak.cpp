// The soak: the whole game over the demo kit, as the played-through test runs
// it, shown every screen kind in turn and given seeded random input (presses,
// releases, moves and keys, with 1 to 250 ms between them) for a bounded
// number of events per screen. It says its seed first, says the seed again
// with any failure, and ends by itself: 0 when the run ended cleanly.
//
//   game_soak KIT [--seed N] [--rounds N] [--events N] [--skip KIND]...
//
// --skip leaves a screen kind out (one the game cannot build yet).
//
// Built in the sanitizer build, it runs under ASan and UBSan; it is not part
// of the ctest run.

#include "app/PlatformBackends.h"
#include "core/FApplication.h"
#include "core/FProcessService.h"
#include "game/core/ScreenKind.h"
#include "game/playthrough/PlaythroughSupport.h"
#include "platform/FDurableStoragePosix.h"
#include "platform/FOperatingSystemLinux.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

std::uint64_t g_seed = 0;

void sayFailure(const char* what)
{
    std::fprintf(stdout, "soak: FAILED (%s) with seed %llu\n", what, static_cast<unsigned long long>(g_seed));
    std::fflush(stdout);
}

#if defined(__SANITIZE_ADDRESS__)
void soakDeath()
{
    sayFailure("sanitizer report");
}
#endif

struct SoakPlan
{
    int rounds = 1;
    int eventsPerScreen = 150;
    std::vector<int32_t> skipped;
};

// The random input of one screen.
void shake(std::mt19937_64& random, int events)
{
    static const SDL_Keycode keys[] = {SDLK_ESCAPE,    SDLK_RETURN, SDLK_LEFT, SDLK_RIGHT,
                                       SDLK_UP,        SDLK_DOWN,   SDLK_a,    SDLK_b,
                                       SDLK_BACKSPACE, SDLK_SPACE,  SDLK_z,    SDLK_F1};
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<int> x(-20, 819);
    std::uniform_int_distribution<int> y(-20, 619);
    std::uniform_int_distribution<int> frame(1, 250);
    std::uniform_int_distribution<std::size_t> key(0, sizeof keys / sizeof keys[0] - 1);
    bool down = false;
    for (int event = 0; event < events && ZibboUserInterface::getInstance() != nullptr; ++event) {
        const FPointI point{x(random), y(random)};
        const int what = kind(random);
        if (what < 4) {
            playthrough::pushPointer(SDL_MOUSEMOTION, point);
        } else if (what < 6) {
            playthrough::pushPointer(SDL_MOUSEBUTTONDOWN, point);
            down = true;
        } else if (what < 8) {
            playthrough::pushPointer(SDL_MOUSEBUTTONUP, point);
            down = false;
        } else {
            const SDL_Keycode code = keys[key(random)];
            playthrough::pushKey(SDL_KEYDOWN, code);
            playthrough::pushKey(SDL_KEYUP, code);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(frame(random)));
    }
    if (down) playthrough::pushPointer(SDL_MOUSEBUTTONUP, {400, 300});
}

bool waitForKind(int32_t kind, int limitMs)
{
    for (int waited = 0; waited < limitMs; waited += 20) {
        ZibboUserInterface* ui = ZibboUserInterface::getInstance();
        if (ui != nullptr && ui->currentKind() == kind) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void soak(const SoakPlan& plan, std::atomic<bool>& clean)
{
    std::mt19937_64 random(g_seed);
    if (!waitForKind(k_splashScreen, 120000)) {
        sayFailure("the splash screen never came");
        clean = false;
    }
    for (int round = 0; clean && round < plan.rounds; ++round) {
        // Each kind in a seeded order, reached as the screens reach each
        // other: through the UI module's setScreen.
        std::vector<int32_t> kinds;
        for (int32_t kind = 0; kind < k_screenKindCount; ++kind)
            if (std::find(plan.skipped.begin(), plan.skipped.end(), kind) == plan.skipped.end())
                kinds.push_back(kind);
        std::shuffle(kinds.begin(), kinds.end(), random);
        for (int32_t kind : kinds) {
            ZibboUserInterface* ui = ZibboUserInterface::getInstance();
            if (ui == nullptr) {
                sayFailure("the game module went away");
                clean = false;
                break;
            }
            std::fprintf(stdout, "soak: round %d, screen kind %d\n", round, kind);
            std::fflush(stdout);
            // On the UI thread and once no load is pending, as a screen of
            // the game asks for the next one; a screen that moves on by
            // itself may hold a load for a while.
            for (int wait = 0; wait < 500; ++wait) {
                const bool asked = playthrough::onUi([kind] {
                    ZibboUserInterface* game = ZibboUserInterface::getInstance();
                    if (game == nullptr || game->hasPendingLoad()) return false;
                    game->setScreen(kind, false);
                    return true;
                });
                if (asked) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            // A screen may move on by itself (the intro chain, the loading
            // screen): whatever shows is shaken.
            waitForKind(kind, 10000);
            shake(random, plan.eventsPerScreen);
        }
    }
    if (auto* process = findService<FProcessService>(k_slotProcess)) process->requestQuit();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: game_soak KIT [--seed N] [--rounds N] [--events N] [--skip KIND]...\n");
        return 2;
    }
    SoakPlan plan;
    g_seed = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seed") == 0) g_seed = std::strtoull(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--rounds") == 0) plan.rounds = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--events") == 0) plan.eventsPerScreen = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--skip") == 0) plan.skipped.push_back(std::atoi(argv[i + 1]));
    }
    std::fprintf(stdout, "soak: seed %llu\n", static_cast<unsigned long long>(g_seed));
    std::fflush(stdout);
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_set_death_callback(&soakDeath);
#endif

    FOperatingSystemLinux::install();
    FDurableStoragePosix::install();
    ::setenv("ZIBBO_HEADLESS", "1", 1);
    ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    const std::filesystem::path kit = std::filesystem::absolute(argv[1]);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zibbo-soak-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "data");
    // The runtime folder is private, as a session's is.
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    std::filesystem::create_symlink(kit, folder / "Zibbo.zip");
    std::filesystem::current_path(folder);
    ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    ::setenv("ZIBBO_INSTANCE", ("soak-" + std::to_string(::getpid())).c_str(), 1);

    std::atomic<bool> clean{true};
    std::thread player([&plan, &clean] { soak(plan, clean); });
    int result = 0;
    try {
        result = runGameApplication(platformBackends(), makeSharedStringCopy(FString("")),
                                    &createZibboUserInterface);
    } catch (...) {
        sayFailure("the game ended with a failure report");
        clean = false;
        result = 1;
    }
    player.join();
    std::error_code ignored;
    std::filesystem::current_path(kit.parent_path(), ignored);
    std::filesystem::remove_all(folder, ignored);
    if (!clean || result != 0) return 1;
    std::fprintf(stdout, "soak: clean with seed %llu\n", static_cast<unsigned long long>(g_seed));
    return 0;
}
