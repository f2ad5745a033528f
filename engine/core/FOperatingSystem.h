#pragma once

#include <cstdint>
#include <string>

// What the engine asks of the operating system: its environment variables,
// the folders where programs, shared and per-user data, shared configuration
// and temporary files live, its version and the process's memory use. The
// platform layer installs the implementation at the start of every program
// (the game, the tools and the test binaries). Without one the engine knows
// no operating system: no variables, no folders (the engine's folder kinds
// then stand for the current folder), no version and no memory figures.
class FOperatingSystem
{
public:
    enum Folder : int {
        k_executableFolder,   // the running program's own folder
        k_sharedDataFolder,   // data shared by every user
        k_userDataFolder,     // the user's own data
        k_sharedFilesFolder,  // files shared by programs
        k_sharedConfigFolder, // configuration shared by every user
        k_tempFolder,
    };

    virtual ~FOperatingSystem() = default;

    // The value of the environment variable `name`; empty when it is unset
    // (or set to nothing, which every caller treats the same).
    virtual std::string environment(const char* name) const;
    // The native path of the folder of `kind`; empty when it is not known.
    virtual std::string folder(Folder kind) const;
    // The system's name and release, for the log; empty when not known.
    virtual std::string version() const;
    // The process's resident and peak memory in KB; false when not known.
    virtual bool memoryUse(uint32_t& residentKB, uint32_t& peakKB) const;

    // Installs `system` (null: none); returns the previous one. The system
    // must outlive its installation.
    static FOperatingSystem* install(FOperatingSystem* system);
    // The installed system, or one that knows nothing.
    static const FOperatingSystem& current();
};
