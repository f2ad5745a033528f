#include "image/FPngLoader.h"

#include "core/FErrorMessage.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FTimedLogStream.h"
#include "image/FImage.h"
#include "image/FPlacementTrailer.h"
#include "io/FInStream.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <exception>
#include <optional>

// libpng reports errors by a long jump back into the function that set it up.
// Failure reports are C++ exceptions, which must not travel through libpng's C
// frames: every callback catches what it raises, keeps it, and jumps; the
// exception is thrown again once libpng has been left. The functions that set
// the jump point hold no objects with destructors.

namespace {

struct PngRead
{
    FInStream* m_stream = nullptr;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    png_uint_32 m_width = 0;
    png_uint_32 m_height = 0;
    int m_depth = 0;
    int m_colorType = 0;
    int m_interlace = 0;
    int m_compression = 0;
    int m_filter = 0;
    uint8_t* m_pixels = nullptr;
    png_bytep* m_rows = nullptr;
    std::exception_ptr m_failure;

    ~PngRead()
    {
        engineFree(m_rows);
        engineFree(m_pixels);
        if (m_png != nullptr) png_destroy_read_struct(&m_png, m_info != nullptr ? &m_info : nullptr, nullptr);
    }
};

PngRead& readOf(png_structp png)
{
    return *static_cast<PngRead*>(png_get_error_ptr(png));
}

[[noreturn]] void jumpOut(png_structp png)
{
    png_longjmp(png, 1);
}

void readCallback(png_structp png, png_bytep data, png_size_t length)
{
    PngRead& read = readOf(png);
    bool failed = false;
    try {
        const std::streamsize got = read.m_stream->buffer()->sgetn(reinterpret_cast<char*>(data),
                                                                   static_cast<std::streamsize>(length));
        if (got != static_cast<std::streamsize>(length))
            ZIBBO_FAIL(msgFileCorrupted, "sizeRead (" << static_cast<int64_t>(got) << ") == sizeToRead ("
                                                      << static_cast<uint64_t>(length) << ")");
    } catch (...) {
        read.m_failure = std::current_exception();
        failed = true;
    }
    if (failed) jumpOut(png);
}

void onError(png_structp png, png_const_charp message)
{
    PngRead& read = readOf(png);
    try {
        ZIBBO_FAIL(msgFileCorrupted, "user_error_fn (" << message << ")");
    } catch (...) {
        read.m_failure = std::current_exception();
    }
    jumpOut(png);
}

void onWarning(png_structp, png_const_charp message)
{
    try {
        ZIBBO_LOG(k_logImage, false) << "PNG warning: " << message;
    } catch (...) {
        // A warning that cannot be logged is dropped.
    }
}

png_voidp allocate(png_structp, png_alloc_size_t size)
{
    return engineAlloc(k_memCString, size);
}

void release(png_structp, png_voidp block)
{
    engineFree(block);
}

bool readHeader(PngRead& read)
{
    if (setjmp(png_jmpbuf(read.m_png))) return false;
    png_set_user_limits(read.m_png, FPngLoader::k_maximumDimension, FPngLoader::k_maximumDimension);
    // Only the picture, its palette and its transparency are used. Every other
    // ancillary chunk is skipped unread: a damaged file may declare one of
    // gigabytes, which the library would otherwise allocate before finding the
    // data missing (it only warns about the size).
    static const png_byte k_skippedChunks[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0"
                                              "pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
    png_set_keep_unknown_chunks(read.m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(read.m_png, PNG_HANDLE_CHUNK_NEVER, k_skippedChunks,
                                static_cast<int>(sizeof(k_skippedChunks) / 5));
    png_set_read_fn(read.m_png, &read, readCallback);
    png_read_info(read.m_png, read.m_info);
    png_get_IHDR(read.m_png, read.m_info, &read.m_width, &read.m_height, &read.m_depth, &read.m_colorType,
                 &read.m_interlace, &read.m_compression, &read.m_filter);
    return true;
}

// Every colour type ends as rows of B, G, R, A bytes.
bool readPixels(PngRead& read)
{
    png_structp png = read.m_png;
    if (setjmp(png_jmpbuf(png))) return false;
    if (read.m_colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (read.m_colorType == PNG_COLOR_TYPE_GRAY || read.m_colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (read.m_depth < 8) png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
    }
    if (png_get_valid(png, read.m_info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (read.m_depth == 16) png_set_swap(png);
    if (read.m_depth > 8) png_set_strip_16(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, read.m_info);

    const std::size_t pitch = static_cast<std::size_t>(read.m_width) * 4;
    if (png_get_rowbytes(png, read.m_info) != pitch) png_error(png, "row size");
    read.m_pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, pitch * read.m_height));
    read.m_rows = static_cast<png_bytep*>(engineAlloc(k_memCString, sizeof(png_bytep) * read.m_height));
    if (read.m_pixels == nullptr || read.m_rows == nullptr) png_error(png, "engineAlloc (NULL)");
    // PNG row i is buffer row height - 1 - i: the picture is stored bottom row first.
    for (png_uint_32 i = 0; i < read.m_height; ++i)
        read.m_rows[i] = read.m_pixels + (read.m_height - 1 - i) * pitch;
    png_read_image(png, read.m_rows);
    png_read_end(png, nullptr);
    return true;
}

} // namespace

void FPngLoader::load(FInStream& stream, FImage& image)
{
    // Disk loads are timed when that diagnosis is switched on.
    std::optional<FTimedLogStream> timer;
    if (k_logDiskLoad.isOn()) timer.emplace(ZIBBO_HERE) << "PNG ";

    PngRead read;
    read.m_stream = &stream;
    read.m_png =
        png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &read, onError, onWarning, &read, allocate, release);
    if (read.m_png == nullptr) ZIBBO_FAIL(msgSystemError, "png_create_read_struct_2 (NULL)");
    read.m_info = png_create_info_struct(read.m_png);
    if (read.m_info == nullptr) ZIBBO_FAIL(msgSystemError, "png_create_info_struct (NULL)");

    if (!readHeader(read)) std::rethrow_exception(read.m_failure);
    ZIBBO_LOG(k_logImage, false) << "Reading PNG: w=" << read.m_width << ", h=" << read.m_height
                                 << ", depth=" << read.m_depth << ", color=" << read.m_colorType
                                 << ", interlace=" << read.m_interlace
                                 << ", compression=" << read.m_compression << ", filter=" << read.m_filter;
    if (!readPixels(read)) std::rethrow_exception(read.m_failure);

    const int32_t width = static_cast<int32_t>(read.m_width);
    const int32_t height = static_cast<int32_t>(read.m_height);
    const int32_t pitch = width * 4;
    uint8_t* pixels = read.m_pixels;
    // Grey pictures are masks: white, with the grey level as alpha.
    if (read.m_colorType == PNG_COLOR_TYPE_GRAY) {
        const std::size_t count = static_cast<std::size_t>(width) * height;
        for (std::size_t i = 0; i < count; ++i) {
            uint8_t* p = pixels + i * 4;
            p[3] = p[2];
            p[0] = p[1] = p[2] = 255;
        }
    }

    FPlacementTrailer trailer;
    // The trailer's bytes are read even when unused, so the stream ends where a
    // container expects it; a picture whose following bytes are its
    // container's own leaves them unread.
    const bool placed =
        !image.ignoresPlacement() && trailer.read(stream) && image.getRootPixelFormat() != k_pixelGrey4;
    const FImageRect placedRect = placed ? trailer.placedRect({width, height}, "PNG") : FImageRect{};
    read.m_pixels = nullptr;
    // The rows hold B, G, R, A whatever kind the image was meant to hold.
    image.setPixels({width, height}, k_pixelBgra8, pixels, pitch, 1.0f);
    if (placed) image.setPlacement(trailer.m_fullWidth, trailer.m_fullHeight, placedRect);
}
