#pragma once

// Writes an 8-bit RGBA PNG to a file one row at a time (top row first), so
// that a picture of any size is never held whole a second time. Every write
// is checked, the closing one too.

#include <cstdint>
#include <cstdio>
#include <filesystem>

class PngRowWriter
{
public:
    // Creates the file and writes the header; throws std::runtime_error when
    // either fails.
    PngRowWriter(const std::filesystem::path& path, int32_t width, int32_t height);
    // Closes the file without a word when finish was not reached.
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    // `rgba` holds width x 4 bytes.
    void writeRow(const uint8_t* rgba);
    // After the last row: ends the PNG and closes the file.
    void finish();

private:
    struct Png;
    std::filesystem::path m_path;
    std::FILE* m_file = nullptr;
    Png* m_png = nullptr;
};
