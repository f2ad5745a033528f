// A profile save (serialize, digest, write, flush, rename) and a profile load
// (verify, parse) in a scratch data folder, against the UI thread's 20 ms
// tick: the counter "tick_share" is the part of one tick an operation takes
// (time per operation / 20 ms).
#include "game/core/PlayerProfile.h"
#include "game/core/ProfileManager.h"
#include "game/core/SaveManager.h"
#include "io/FMemoryOutStreambuf.h"
#include "platform/FDurableStoragePosix.h"
#include "platform/FOperatingSystemLinux.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr double k_tickSeconds = 0.020;

// A data folder of this run, removed at the end.
struct ScratchData
{
    ScratchData()
    {
        folder = std::filesystem::temp_directory_path() / "zibbo-bench-saves";
        std::filesystem::remove_all(folder);
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
        manager.attachDefaultFileSystem();
    }
    ~ScratchData() { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    FDurableStoragePosix storage;
    SaveManager manager{&storage};
};

// A profile well into the game: half the quests played.
void play(PlayerProfile& profile)
{
    for (int32_t q = 0; q < PlayerProfile::k_questCount / 2; ++q) {
        profile.unlockQuest(q, q / 4);
        profile.setQuestResult(q, q % 6);
    }
}

void tickShare(benchmark::State& state)
{
    state.counters["tick_share"] = benchmark::Counter(
        k_tickSeconds, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ProfileSave(benchmark::State& state)
{
    ScratchData data;
    ProfileManager profiles(data.manager);
    PlayerProfile* profile = profiles.getProfile(0);
    profile->setName(FString("Benchmark"));
    play(*profile);
    int16_t avatar = 0;
    for (auto _ : state) {
        profile->setAvatar(++avatar); // a change, so the save is not skipped
        if (!profiles.saveProfile(0)) state.SkipWithError("save failed");
    }
    tickShare(state);
}
BENCHMARK(BM_ProfileSave)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The part of a save that does not wait for the disk.
void BM_ProfileSerializeAndDigest(benchmark::State& state)
{
    PlayerProfile profile(FString("Benchmark"));
    play(profile);
    for (auto _ : state) {
        FMemoryOutStreambuf* buffer =
            engineNew<FMemoryOutStreambuf>(k_memObject, ProfileManager::k_allowedBytes);
        profile.save(FOutStream::make(buffer));
        benchmark::DoNotOptimize(SaveManager::digestOf(buffer->bytes()));
    }
    tickShare(state);
}
BENCHMARK(BM_ProfileSerializeAndDigest)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_ProfileLoad(benchmark::State& state)
{
    ScratchData data;
    ProfileManager profiles(data.manager);
    play(*profiles.getProfile(0));
    if (!profiles.saveProfile(0)) state.SkipWithError("save failed");
    const FString name = ProfileManager::fileNameOf(0);
    PlayerProfile profile(FString("<>"));
    for (auto _ : state) {
        if (!profile.load(data.manager.loadData(name))) state.SkipWithError("load failed");
    }
    tickShare(state);
}
BENCHMARK(BM_ProfileLoad)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

// The save manager finds its data folder through the operating system, which
// every program installs first, this one included.
int main(int argc, char** argv)
{
    FOperatingSystemLinux::install();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
