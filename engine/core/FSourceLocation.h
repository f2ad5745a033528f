#pragma once

// A place in our own sources, as failure reports and log lines name it: the
// path from the engine root without extension and the line in parentheses,
// e.g. "core/FString (31)" for line 31 of engine/core/FString.cpp.

class FStringStream;

struct FSourceLocation
{
    const char* file;
    int line;
};

#define ZIBBO_HERE (FSourceLocation{__FILE__, __LINE__})

FStringStream& operator<<(FStringStream& stream, const FSourceLocation& location);
