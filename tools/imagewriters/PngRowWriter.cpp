#include "tools/imagewriters/PngRowWriter.h"

#include <png.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

void onError(png_structp, png_const_charp message)
{
    throw std::runtime_error(std::string("libpng: ") + message);
}

void onWarning(png_structp, png_const_charp) {}

} // namespace

struct PngRowWriter::Png
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Png() { png_destroy_write_struct(&png, &info); }
};

PngRowWriter::PngRowWriter(const std::filesystem::path& path, int32_t width, int32_t height) : m_path(path)
{
    m_file = std::fopen(path.c_str(), "wb");
    if (m_file == nullptr)
        throw std::runtime_error("cannot create " + path.string() + ": " + std::strerror(errno));
    m_png = new Png;
    m_png->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    m_png->info = m_png->png ? png_create_info_struct(m_png->png) : nullptr;
    if (m_png->png == nullptr || m_png->info == nullptr) throw std::runtime_error("writePng: libpng set-up");
    png_init_io(m_png->png, m_file);
    png_set_IHDR(m_png->png, m_png->info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(m_png->png, m_png->info);
}

PngRowWriter::~PngRowWriter()
{
    delete m_png;
    if (m_file != nullptr) std::fclose(m_file);
}

void PngRowWriter::writeRow(const uint8_t* rgba)
{
    png_write_row(m_png->png, rgba);
}

void PngRowWriter::finish()
{
    png_write_end(m_png->png, m_png->info);
    std::FILE* file = m_file;
    m_file = nullptr;
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!flushed || !closed)
        throw std::runtime_error("cannot write " + m_path.string() + ": " + std::strerror(errno));
}
