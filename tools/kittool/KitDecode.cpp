// kittool decode IN OUT: an image file (this file) or a sound (KitDecodeSound).
// An image (OUT.png) loads through the engine's own
// loader for its kind (".png", ".jpg", ".j32", ".pvr", by extension, in any
// letter case) and writes the whole logical picture as a plain RGBA PNG, the
// way the texture upload sees it: pixels outside the stored rectangle of
// trimmed art are transparent. PVR payloads are opaque to the engine, so a PVR
// comes out fully transparent at its logical size.
#include "tools/kittool/KitCommand.h"
#include "tools/kittool/KitSession.h"

#include "core/FMemory.h"
#include "image/FImage.h"
#include "image/FJpeg32Loader.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "image/FPvrLoader.h"
#include "io/FInStream.h"
#include "io/FMemoryStreambuf.h"
#include "tools/imagewriters/PngRowWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Loader = void (*)(FInStream&, FImage&);

struct ImageKind
{
    const char* extension;
    const char* name;
    Loader load;
};

const ImageKind k_kinds[] = {
    {".png", "PNG", FPngLoader::load},
    {".jpg", "JPEG", FJpegLoader::load},
    {".j32", "JPEG32", FJpeg32Loader::load},
    {".pvr", "PVR", FPvrLoader::load},
};

std::string lowerExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

const ImageKind* kindOf(const std::string& path)
{
    const std::string extension = lowerExtension(path);
    for (const ImageKind& k : k_kinds)
        if (extension == k.extension) return &k;
    return nullptr;
}

// Writes the logical picture row by row, top row first: beside the loaded
// pixels only one row is ever held.
void writeLogicalPicture(const FImage& image, const std::string& path)
{
    const int32_t w = image.width();
    const int32_t h = image.height();
    std::vector<uint8_t> row(static_cast<std::size_t>(w) * 4);
    PngRowWriter png(path, w, h);
    for (int32_t y = 0; y < h; ++y) {
        std::fill(row.begin(), row.end(), 0);
        image.copyRegionTo(row.data(), {w, 1}, k_pixelRgba8, FTopDownRect{0, y, w, y + 1}, {0, 0});
        png.writeRow(row.data());
    }
    png.finish();
}

} // namespace

bool kitLoadImage(const std::string& path, const std::vector<uint8_t>& bytes, FImage& image)
{
    const ImageKind* kind = kindOf(path);
    if (kind == nullptr) return false;
    FInStream stream(engineNew<FMemoryStreambuf>(k_memStream, const_cast<uint8_t*>(bytes.data()),
                                                 static_cast<int64_t>(bytes.size())));
    kind->load(stream, image);
    return true;
}

int kitDecode(const KitArgs& args)
{
    if (args.size() != 2) return kitUsage("decode");
    const std::string extension = lowerExtension(args[0]);
    if (extension == ".gwsample" || extension == ".vorbis")
        return kitDecodeSound(args, extension == ".vorbis");
    const ImageKind* kind = kindOf(args[0]);
    if (kind == nullptr) {
        std::fprintf(stderr,
                     "kittool decode: %s is not a .png, .jpg, .j32, .pvr, .gwsample or .vorbis file\n",
                     args[0].c_str());
        return kitUsage("decode");
    }
    KitSession session;
    FImage image;
    kitLoadImage(args[0], kitReadFile(args[0]), image);

    const FImageRect& stored = image.pixelRect();
    std::printf("%s: %s, %d x %d, stored %d x %d at (%d, %d) from the bottom left, pixel kind %d\n",
                args[0].c_str(), kind->name, image.width(), image.height(), stored.width(), stored.height(),
                stored.left, stored.bottom, image.format());
    if (image.width() <= 0 || image.height() <= 0 || image.width() > 65536 || image.height() > 65536)
        throw std::runtime_error("the logical size is not a picture that can be written");
    if (image.format() == k_pixelPvr2 || image.format() == k_pixelPvr4)
        std::printf("%s: the PVR payload is opaque to the engine; the picture comes out transparent\n",
                    args[0].c_str());
    try {
        writeLogicalPicture(image, args[1]);
    } catch (...) {
        std::error_code ignored;
        if (std::filesystem::is_regular_file(args[1], ignored)) std::filesystem::remove(args[1], ignored);
        throw;
    }
    return 0;
}
