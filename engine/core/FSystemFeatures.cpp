#include "core/FSystemFeatures.h"

#include "core/FLogStream.h"

#include <fstream>
#include <string>

void FSystemFeatures::detect()
{
    osKind = 0;
    personalSuite = 0;
    std::string release;
    std::ifstream file("/proc/sys/kernel/osrelease");
    if (file) std::getline(file, release);
    ZIBBO_LOG(k_logSystem, false) << "System Version: Linux "
                                  << (release.empty() ? "(unknown release)" : release);
    osKind = k_osCurrent;
}
