#pragma once

#include "io/FInStream.h"

#include <string>

// Input streams over bytes already in memory that the stream owns (a file
// read and checked in one piece is parsed from the very bytes that passed).
class FMemoryInStream
{
public:
    static FRefT<FInStream> make(std::string bytes);
};
