#include "core/FSourceLocation.h"

#include "core/FStringStream.h"

#include <cstring>
#include <string_view>

FStringStream& operator<<(FStringStream& stream, const FSourceLocation& location)
{
    std::string_view path = location.file != nullptr ? location.file : "";
    // A build that compiles through a cache names sources relative to its build folder
    // ("../../engine/core/FString.cpp"); the name is the same as from the checkout's root.
    while (path.substr(0, 3) == "../") {
        path.remove_prefix(3);
    }
    // Engine sources are named from the engine root ("core/FString").
    constexpr std::string_view k_engineRoot = "engine/";
    if (path.substr(0, k_engineRoot.size()) == k_engineRoot) {
        path.remove_prefix(k_engineRoot.size());
    }
    std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
        path = path.substr(0, dot);
    }
    stream << path << " (" << location.line << ")";
    return stream;
}
