#pragma once

#include <cstdint>

// What the engine knows of the operating system: its kind, detected when the
// application object is made.
class FSystemFeatures
{
public:
    // Kinds 1-5 name older systems of the original platform; every system
    // this engine runs on is of the newest kind.
    static constexpr int32_t k_osCurrent = 6;

    void detect();

    int32_t osKind = 0;
    uint8_t personalSuite = 0;
};
