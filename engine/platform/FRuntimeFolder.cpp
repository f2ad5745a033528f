#include "platform/FRuntimeFolder.h"

#include "core/FUtilPlatform.h"

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
    const std::string temp = FUtilPlatform::environment("TMPDIR");
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
std::once_flag s_prepared;
std::mutex s_reportLock;
std::string s_report;
} // namespace

void FRuntimeFolder::prepareOnce()
{
    std::call_once(s_prepared, [] {
        std::string report = prepare();
        std::lock_guard<std::mutex> lock(s_reportLock);
        s_report = std::move(report);
    });
}

std::string FRuntimeFolder::takeReport()
{
    std::lock_guard<std::mutex> lock(s_reportLock);
    return std::exchange(s_report, std::string());
}
