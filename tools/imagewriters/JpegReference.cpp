#include "tools/imagewriters/JpegReference.h"

#include <cstdio>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

namespace {

[[noreturn]] void throwError(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    throw std::runtime_error(std::string("libjpeg: ") + text);
}

} // namespace

JpegReference JpegReference::decode(const uint8_t* data, std::size_t size)
{
    jpeg_decompress_struct d{};
    jpeg_error_mgr error{};
    d.err = jpeg_std_error(&error);
    error.error_exit = throwError;
    JpegReference result;
    try {
        jpeg_create_decompress(&d);
        jpeg_mem_src(&d, data, static_cast<unsigned long>(size));
        jpeg_read_header(&d, TRUE);
        d.out_color_space = JCS_EXT_BGRA;
        d.dct_method = JDCT_ISLOW;
        d.do_fancy_upsampling = FALSE;
        jpeg_start_decompress(&d);
        result.width = static_cast<int32_t>(d.output_width);
        result.height = static_cast<int32_t>(d.output_height);
        result.bgra.resize(static_cast<std::size_t>(result.width) * result.height * 4);
        while (d.output_scanline < d.output_height) {
            JSAMPROW row = &result.bgra[static_cast<std::size_t>(d.output_scanline) * result.width * 4];
            jpeg_read_scanlines(&d, &row, 1);
        }
        jpeg_finish_decompress(&d);
    } catch (...) {
        jpeg_destroy_decompress(&d);
        throw;
    }
    jpeg_destroy_decompress(&d);
    return result;
}
