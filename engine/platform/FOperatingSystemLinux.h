#pragma once

#include "core/FOperatingSystem.h"

// The operating system under the engine: Linux, with the folders of the XDG
// base directory conventions and the process's figures from /proc. It needs
// no SDL, so every program installs it, the tools and test binaries included.
class FOperatingSystemLinux : public FOperatingSystem
{
public:
    std::string environment(const char* name) const override;
    std::string folder(Folder kind) const override;
    std::string version() const override;
    bool memoryUse(uint32_t& residentKB, uint32_t& peakKB) const override;

    // The value of the environment variable `name`; empty when it is unset or
    // empty (for the platform layer's own use, installed or not).
    static std::string variable(const char* name);

    // Installs the one instance of this program; every main calls it before
    // anything else. Calling it again changes nothing.
    static void install();
};
