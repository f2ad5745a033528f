#include "video/FVideo.h"

#include "asset/FAssetLoader.h"
#include "core/FApplication.h"
#include "core/FErrorMessage.h"
#include "core/FMemory.h"
#include "core/FServiceSlots.h"
#include "video/FGWVideo.h"
#include "video/FVideoTheora.h"

FVideo::FVideo() = default;

FVideo::~FVideo()
{
    engineDelete(m_player);
}

void FVideo::readKindData(FInStream& reader)
{
    m_loop = reader.readUInt8() == 1;
    choosePlayer(firstExtension());
}

void FVideo::choosePlayer(const FString& extension)
{
    engineDelete(m_player);
    m_player = nullptr;
    setLoader(nullptr);
    if (extension == FString(".theora")) {
        setLoader(findService<FAssetLoader>(k_slotTheoraLoader));
        m_player = engineNew<FVideoTheora>(k_memObject, *this);
    } else if (extension == FString(".gwvideo")) {
        setLoader(findService<FAssetLoader>(k_slotGwVideoLoader));
        m_player = engineNew<FGWVideo>(k_memObject, *this);
    }
}

void FVideo::adoptPlayer(FVideoPlayer* player)
{
    if (player == m_player) return;
    engineDelete(m_player);
    m_player = player;
}

void FVideo::releaseData(bool)
{
    if (m_player != nullptr) m_player->unload();
}

void FVideo::complete()
{
    FAsset::complete();
}

bool FVideo::keepsSource() const
{
    return (entryFlags() & k_flagKeepSource) != 0;
}

FInStream& FVideo::sourceStream()
{
    FInStream* stream = waitSource();
    if (stream == nullptr) ZIBBO_FAIL(msgIllegalOperation, "source of video (" << id() << ") != NULL");
    return *stream;
}

FRefT<FInStream> FVideo::sourceStreamHandle()
{
    sourceStream();
    return sourceHandle();
}

void FVideo::setPictureSize(int32_t width, int32_t height)
{
    m_width = width;
    m_height = height;
}
