#include "core/FSystemFeatures.h"

#include "core/FLogStream.h"
#include "core/FOperatingSystem.h"

#include <string>

void FSystemFeatures::detect()
{
    osKind = 0;
    personalSuite = 0;
    const std::string version = FOperatingSystem::current().version();
    ZIBBO_LOG(k_logSystem, false) << "System Version: " << (version.empty() ? "(unknown system)" : version);
    osKind = k_osCurrent;
}
