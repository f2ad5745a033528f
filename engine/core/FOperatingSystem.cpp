#include "core/FOperatingSystem.h"

#include <atomic>

namespace {

const FOperatingSystem s_unknownSystem;
std::atomic<FOperatingSystem*> s_installed{nullptr};

} // namespace

std::string FOperatingSystem::environment(const char*) const
{
    return {};
}

std::string FOperatingSystem::folder(Folder) const
{
    return {};
}

std::string FOperatingSystem::version() const
{
    return {};
}

bool FOperatingSystem::memoryUse(uint32_t&, uint32_t&) const
{
    return false;
}

FOperatingSystem* FOperatingSystem::install(FOperatingSystem* system)
{
    return s_installed.exchange(system);
}

const FOperatingSystem& FOperatingSystem::current()
{
    const FOperatingSystem* installed = s_installed.load();
    return installed != nullptr ? *installed : s_unknownSystem;
}
