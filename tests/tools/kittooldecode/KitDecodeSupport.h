#pragma once

// Shared by the kittool decode tests: kittool decode run as a program.

#include "tools/kittool/KittoolRunSupport.h"

#include <string>

// kittool decode ARGUMENTS with its standard output in out.txt and its
// standard error in err.txt; the exit code (-1 when it did not exit).
inline int decode(const std::string& arguments)
{
    return exitCodeOf(std::string(KITTOOL_PATH) + " decode " + arguments + " >out.txt 2>err.txt");
}

inline int decode(const std::string& in, const std::string& out)
{
    return decode(in + " " + out);
}
