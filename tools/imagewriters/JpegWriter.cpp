#include "tools/imagewriters/JpegWriter.h"

#include <cstdio>
#include <cstdlib>
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

void setSampling(jpeg_compress_struct& c, JpegOptions::Sampling sampling)
{
    int h = 1;
    int v = 1;
    switch (sampling) {
    case JpegOptions::k444:
        break;
    case JpegOptions::k422:
        h = 2;
        break;
    case JpegOptions::k420:
        h = v = 2;
        break;
    case JpegOptions::k440:
        v = 2;
        break;
    case JpegOptions::k411:
        h = 4;
        break;
    }
    c.comp_info[0].h_samp_factor = h;
    c.comp_info[0].v_samp_factor = v;
    for (int i = 1; i < 3; ++i) {
        c.comp_info[i].h_samp_factor = 1;
        c.comp_info[i].v_samp_factor = 1;
    }
}

} // namespace

std::vector<uint8_t> writeJpeg(const TestPicture& picture, const JpegOptions& options)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr error{};
    c.err = jpeg_std_error(&error);
    error.error_exit = throwError;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    std::vector<uint8_t> grey;
    try {
        jpeg_create_compress(&c);
        jpeg_mem_dest(&c, &out, &outSize);
        c.image_width = static_cast<JDIMENSION>(picture.width);
        c.image_height = static_cast<JDIMENSION>(picture.height);
        c.input_components = options.greyscale ? 1 : 3;
        c.in_color_space = options.greyscale ? JCS_GRAYSCALE : JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, options.quality, TRUE);
        if (!options.greyscale) setSampling(c, options.sampling);
        c.restart_interval = static_cast<unsigned int>(options.restartInterval);
        c.arith_code = options.arithmetic ? TRUE : FALSE;
        if (options.progressive) jpeg_simple_progression(&c);
        jpeg_start_compress(&c, TRUE);
        if (options.greyscale) {
            grey.resize(static_cast<std::size_t>(picture.width) * picture.height);
            for (std::size_t i = 0; i < grey.size(); ++i)
                grey[i] = picture.rgb[i * 3 + 1];
        }
        while (c.next_scanline < c.image_height) {
            const std::size_t y = c.next_scanline;
            JSAMPROW row = options.greyscale ? const_cast<JSAMPROW>(&grey[y * picture.width])
                                             : const_cast<JSAMPROW>(&picture.rgb[y * picture.width * 3]);
            jpeg_write_scanlines(&c, &row, 1);
        }
        jpeg_finish_compress(&c);
    } catch (...) {
        jpeg_destroy_compress(&c);
        std::free(out);
        throw;
    }
    jpeg_destroy_compress(&c);
    std::vector<uint8_t> bytes(out, out + outSize);
    std::free(out);
    return bytes;
}
