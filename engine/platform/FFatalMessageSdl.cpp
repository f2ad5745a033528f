#include "platform/FFatalMessageSdl.h"

#include "core/FString.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

} // namespace

bool FFatalMessageSdl::dialogAllowed()
{
    const char* headless = std::getenv("ZIBBO_HEADLESS");
    if (headless != nullptr && std::strcmp(headless, "1") == 0) return false;
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

void FFatalMessageSdl::show(const FString& caption, const FString& text)
{
    const std::string captionText = caption.toUtf8();
    const std::string bodyText = text.toUtf8();
    std::fprintf(stderr, "%s\n%s\n", captionText.c_str(), bodyText.c_str());
    std::fflush(stderr);
    if (dialogAllowed())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, captionText.c_str(), bodyText.c_str(), nullptr);
}
