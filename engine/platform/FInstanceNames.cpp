#include "platform/FInstanceNames.h"

#include "platform/FOperatingSystemLinux.h"

#include <unistd.h>

namespace {
// The suffix ends up in a file name: keep it to one path component.
std::string sanitized(std::string text)
{
    for (char& c : text) {
        if (c == '/') c = '_';
    }
    return text;
}
} // namespace

FInstanceNames FInstanceNames::fromEnvironment()
{
    const std::string uid = std::to_string(static_cast<unsigned long>(getuid()));
    const std::string instance = sanitized(FOperatingSystemLinux::variable("ZIBBO_INSTANCE"));
    const std::string suffix = instance.empty() ? std::string() : "-" + instance;

    FInstanceNames names;
    const std::string runtimeDir = FOperatingSystemLinux::variable("XDG_RUNTIME_DIR");
    if (!runtimeDir.empty())
        names.lockPath = runtimeDir + "/zibbo" + suffix + ".lock";
    else
        names.lockPath = "/tmp/zibbo" + suffix + "-" + uid + ".lock";
    names.socketName = "Zibbo" + suffix + "-" + uid;
    return names;
}
