#include "image/FJpegLoader.h"

#include "image/FImage.h"
#include "image/FJpegDecompress.h"
#include "image/FPlacementTrailer.h"

void FJpegLoader::load(FInStream& stream, FImage& image)
{
    FJpegDecompress(stream).decode(image);
    FPlacementTrailer trailer;
    if (!trailer.read(stream))
        return;
    const FImageRect& stored = image.pixelRect();
    image.setPlacement(trailer.m_fullWidth, trailer.m_fullHeight,
                       trailer.placedRect({stored.width(), stored.height()}));
}
