#pragma once

#include "io/FInStream.h"

class FFileSystem;
class FString;

// Single files: opening a name that must match exactly one entry of a file
// system, and the name patterns that file systems select entries with.
class FFile
{
public:
    // Opens the one entry of `fileSystem` that matches `name`. No match and
    // several matches are failure reports.
    static FRefT<FInStream> open(const FString& name, FFileSystem& fileSystem);

    // Matches `name` against `pattern`, both compared from their ends, letters
    // without regard to case and '\' as '/'. '?' stands for one character
    // other than '.', '/' and '\'; '*' for a run of characters inside one
    // section (sections are separated by '.', '/' and '\'). So "*.lua"
    // matches "main.lua" but not "scripts/main.lua". A '?' and a '*' in one
    // section of the pattern are a failure report.
    static bool matchPattern(const FString& pattern, const FString& name);
};
