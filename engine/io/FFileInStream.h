#pragma once

#include "io/FInStream.h"

class FString;

// The engine's read stream over a disk file.
class FFileInStream
{
public:
    // Opens `path` (an engine path, '\' separated) for reading; a missing
    // file is the failure "Could not open file <path>".
    static FRefT<FInStream> open(const FString& path);
};
