#include "video/FVideoLoaderModule.h"

#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "core/FTimedLogStream.h"
#include "video/FVideo.h"
#include "video/FVideoPlayer.h"

#include <optional>

FVideoLoaderModule::FVideoLoaderModule(int slot, const char* extension)
    : FAssetLoaderModule(slot, k_videoLoaderPriority), m_extension(extension)
{
}

void FVideoLoaderModule::load(FAsset& asset)
{
    auto* video = dynamic_cast<FVideo*>(&asset);
    if (video == nullptr || video->player() == nullptr)
        ZIBBO_FAIL(msgIllegalOperation, "asset (" << asset.id() << ") is a video with a player");
    // Disk loads are timed when that diagnosis is switched on.
    std::optional<FTimedLogStream> timer;
    if (k_logDiskLoad.isOn()) timer.emplace(ZIBBO_HERE) << "Video ";
    video->player()->readHeader();
}

FAsset* FVideoLoaderModule::newAsset()
{
    FVideo* video = engineNew<FVideo>(k_memObject);
    if (video != nullptr) video->choosePlayer(m_extension);
    return video;
}
