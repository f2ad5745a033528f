#include "platform/FOperatingSystemLinux.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The variable's value, or `fallback` when it is unset or empty.
std::string variableOr(const char* name, const std::string& fallback)
{
    const std::string value = FOperatingSystemLinux::variable(name);
    return !value.empty() ? value : fallback;
}

// The first entry of a colon-separated list of folders, or `fallback` when
// that entry is empty.
std::string firstFolder(const std::string& list, const std::string& fallback)
{
    const std::string first = list.substr(0, list.find(':'));
    return !first.empty() ? first : fallback;
}

} // namespace

std::string FOperatingSystemLinux::variable(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string FOperatingSystemLinux::environment(const char* name) const
{
    return variable(name);
}

std::string FOperatingSystemLinux::folder(Folder kind) const
{
    std::error_code error;
    switch (kind) {
    case k_executableFolder:
        return fs::read_symlink("/proc/self/exe", error).parent_path().string();
    case k_sharedDataFolder:
        return firstFolder(variableOr("XDG_DATA_DIRS", "/usr/local/share"), "/usr/local/share");
    case k_userDataFolder:
        return variableOr("XDG_DATA_HOME", (fs::path(variableOr("HOME", "/")) / ".local/share").string());
    case k_sharedFilesFolder:
        return "/usr/share";
    case k_sharedConfigFolder:
        return firstFolder(variable("XDG_CONFIG_DIRS"), "/etc/xdg");
    case k_tempFolder:
        return variableOr("TMPDIR", "/tmp");
    }
    return {};
}

std::string FOperatingSystemLinux::version() const
{
    std::string release;
    std::ifstream file("/proc/sys/kernel/osrelease");
    if (file) std::getline(file, release);
    return "Linux " + (release.empty() ? std::string("(unknown release)") : release);
}

bool FOperatingSystemLinux::memoryUse(uint32_t& residentKB, uint32_t& peakKB) const
{
    std::ifstream status("/proc/self/status");
    if (!status) return false;
    bool haveResident = false, havePeak = false;
    std::string line;
    while (std::getline(status, line)) {
        std::istringstream fields(line);
        std::string label;
        uint32_t kb = 0;
        if (!(fields >> label >> kb)) continue;
        if (label == "VmRSS:") {
            residentKB = kb;
            haveResident = true;
        } else if (label == "VmHWM:") {
            peakKB = kb;
            havePeak = true;
        }
    }
    return haveResident && havePeak;
}

void FOperatingSystemLinux::install()
{
    // Never destroyed: code that runs while static objects are destroyed may
    // still ask the system.
    static FOperatingSystemLinux* const s_system = new FOperatingSystemLinux;
    FOperatingSystem::install(s_system);
}
