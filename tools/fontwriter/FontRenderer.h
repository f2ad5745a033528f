#pragma once

#include "tools/contentwriters/FontFileWriter.h"

#include <string>

// Renders the given characters of a TrueType font at a pixel size into a
// font file's data: a white glyph sheet whose alpha is the coverage, the
// glyph table with FreeType's advances and bearings, the font's extents and
// its kerning pairs between the characters. One font unit is one pixel
// (value A = 1). Throws std::runtime_error when FreeType fails.
FontFileData renderFont(const std::string& fontPath, int pixelSize, const std::u16string& characters);
