#include "platform/FFatalMessageSdl.h"

#include "core/FString.h"
#include "platform/FOperatingSystemLinux.h"

#include <SDL.h>

#include <cstdio>

bool FFatalMessageSdl::dialogAllowed()
{
    if (FOperatingSystemLinux::variable("ZIBBO_HEADLESS") == "1") return false;
    return !FOperatingSystemLinux::variable("DISPLAY").empty() ||
           !FOperatingSystemLinux::variable("WAYLAND_DISPLAY").empty();
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
