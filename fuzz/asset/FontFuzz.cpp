// The font loader: the glyph sheet through the PNG loader, then the tables.
#include "asset/FAssetStream.h"
#include "core/FApplication.h"
#include "core/FDebug.h"
#include "core/FErrorHandler.h"
#include "image/FImageLoaderModule.h"
#include "image/FPngLoader.h"
#include "support/QuietErrorHandler.h"
#include "ui/FFont.h"
#include "ui/FFontModule.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QuietErrorHandler::installForProcess();
    static FApplication application;
    static FImageLoaderModule png(k_slotPngLoader, &FPngLoader::load);
    static FFontModule fonts;
    FRef handle = FAsset::emptyHandle();
    try {
        // A failed load stays inside the asset; nothing escapes.
        fonts.createFromStream(handle, FAssetStream::makeCopy(data, int64_t(size)));
    } catch (const FDebug::VellumcoreException&) {
    } catch (const FDebug::TreatedException&) {
    }
    return 0;
}
