#include "image/FJpegLoader.h"

#include "core/FTimedLogStream.h"
#include "image/FImage.h"
#include "image/FJpegDecompress.h"
#include "image/FPlacementTrailer.h"

#include <optional>

void FJpegLoader::load(FInStream& stream, FImage& image)
{
    // Disk loads are timed when that diagnosis is switched on.
    std::optional<FTimedLogStream> timer;
    if (k_logDiskLoad.isOn()) timer.emplace(ZIBBO_HERE) << "JPEG ";

    FJpegDecompress(stream).decode(image);
    FPlacementTrailer trailer;
    if (!trailer.read(stream)) return;
    const FImageRect& stored = image.pixelRect();
    image.setPlacement(trailer.m_fullWidth, trailer.m_fullHeight,
                       trailer.placedRect({stored.width(), stored.height()}, "JPEG"));
}
