#include "image/FJpeg32Loader.h"

#include "core/FErrorMessage.h"
#include "image/FImage.h"
#include "image/FJpegDecompress.h"
#include "image/FPngLoader.h"
#include "io/FInStream.h"

#include <cstdint>
#include <cstring>

void FJpeg32Loader::load(FInStream& stream, FImage& image)
{
    char signature[4];
    if (stream.buffer()->sgetn(signature, 4) != 4 || std::memcmp(signature, "J321", 4) != 0)
        ZIBBO_FAIL(msgFileCorrupted, "Signature");

    // The colour part is decoded without a placement trailer: the bytes that
    // follow it are the PNG's, and the placement is the PNG's.
    FJpegDecompress(stream).decode(image);

    FImage alpha;
    FPngLoader::load(stream, alpha);
    image.mergeAlpha(alpha);
    image.setScale(alpha.getRootScale());

    // The logical size is the alpha picture's; the stored pixels keep their
    // size and move to the alpha picture's left and bottom.
    const FImageRect& a = alpha.pixelRect();
    const FImageRect& own = image.pixelRect();
    // The alpha placement comes from the file as it is: sums wrap.
    const FImageRect moved{a.left, a.bottom, static_cast<int32_t>(int64_t{a.left} + own.width()),
                           static_cast<int32_t>(int64_t{a.bottom} + own.height())};
    image.setPlacement(alpha.width(), alpha.height(), moved);
}
