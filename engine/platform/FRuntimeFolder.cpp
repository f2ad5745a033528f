#include "platform/FRuntimeFolder.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

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
    const char* temp = std::getenv("TMPDIR");
    const std::string base = temp != nullptr && temp[0] == '/' ? temp : "/tmp";
    const std::string fallback =
        base + "/zibbo-runtime-" + std::to_string(static_cast<unsigned long>(getuid()));
    // A folder of that name made by someone else is never taken over.
    if (mkdir(fallback.c_str(), 0700) != 0 && errno != EEXIST) return {};
    if (!isUsable(fallback)) return {};
    setenv("XDG_RUNTIME_DIR", fallback.c_str(), 1);
    return std::string("XDG_RUNTIME_DIR ") + (current == nullptr ? "is not set" : "names no private folder") +
           "; using " + fallback;
}

std::string FRuntimeFolder::prepareOnce()
{
    static std::once_flag once;
    std::string report;
    std::call_once(once, [&] { report = prepare(); });
    return report;
}
