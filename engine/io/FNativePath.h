#pragma once

// Where engine texts meet real file names. The engine writes paths with '\'
// and looks names up without regard to case; Linux names use '/' and are
// case-sensitive UTF-8.

#include "core/FString.h"

#include <filesystem>

class FNativePath
{
public:
    // The real path of an engine path: '\' becomes '/'. Throws
    // std::runtime_error for text that has no UTF-8 form.
    static std::filesystem::path toNative(const FString& enginePath);

    // The engine text of a real path: '/' becomes '\'. False (and `out`
    // unchanged) for a name that is not valid UTF-8.
    static bool toEngine(const std::filesystem::path& nativePath, FString& out);

    // The letters A to Z lowered, every other unit unchanged (the way archive
    // keys are lowered).
    static FString lowerAscii(const FString& text);
    static char16_t lowerAscii(char16_t unit)
    {
        return unit >= u'A' && unit <= u'Z' ? unit - u'A' + u'a' : unit;
    }
};
