#include "platform/FRuntimeFolder.h"

#include "platform/FOperatingSystemLinux.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

bool FRuntimeFolder::isUsable(const std::string& path)
{
    struct stat info
    {
    };
    if (path.empty() || path[0] != '/' || lstat(path.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

std::string FRuntimeFolder::prepare()
{
    const char* current = std::getenv("XDG_RUNTIME_DIR");
    if (current != nullptr && isUsable(current)) return {};
    const std::string temp = FOperatingSystemLinux::variable("TMPDIR");
    const std::string base = !temp.empty() && temp[0] == '/' ? temp : "/tmp";
    const std::string fallback =
        base + "/zibbo-runtime-" + std::to_string(static_cast<unsigned long>(getuid()));
    // A folder of that name made by someone else is never taken over.
    if (mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST) return {};
    if (!isUsable(fallback)) return {};
    setenv("XDG_RUNTIME_DIR", fallback.c_str(), 1);
    return std::string("XDG_RUNTIME_DIR ") + (current == nullptr ? "is not set" : "names no private folder") +
           "; using " + fallback;
}

namespace {
// Made on first use: prepareOnce may run while static objects are still being
// made (from another one's initialiser).
struct PendingReport
{
    std::once_flag prepared;
    std::mutex lock;
    std::string text;
};

PendingReport& pendingReport()
{
    static PendingReport report;
    return report;
}
} // namespace

void FRuntimeFolder::prepareOnce()
{
    PendingReport& pending = pendingReport();
    std::call_once(pending.prepared, [&pending] {
        std::string report = prepare();
        std::lock_guard<std::mutex> lock(pending.lock);
        pending.text = std::move(report);
    });
}

std::string FRuntimeFolder::takeReport()
{
    PendingReport& pending = pendingReport();
    std::lock_guard<std::mutex> lock(pending.lock);
    return std::exchange(pending.text, std::string());
}
