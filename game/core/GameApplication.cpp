#include "game/core/GameApplication.h"

#include "core/FApplication.h"
#include "core/FClockModule.h"
#include "core/FKeyedMapModule.h"
#include "core/FLocalizedMessages.h"
#include "core/FLoggingModule.h"
#include "core/FMemory.h"
#include "core/FModuleShell.h"
#include "core/FProcessModule.h"
#include "core/FRandomModule.h"
#include "core/FSystemLocale.h"
#include "core/FThreadPoolModule.h"
#include "game/core/ZibboAppService.h"
#include "io/FFileSystemModule.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"
#include "platform/FGamePadModuleSdl.h"
#include "platform/FGraphSdl.h"
#include "platform/FPlatformSpecificModuleSdl.h"

namespace {

template <class T, class... Args> void add(std::vector<FModule*>& modules, Args&&... args)
{
    if (T* module = engineNew<T>(k_memObject, static_cast<Args&&>(args)...)) modules.push_back(module);
}

// A module whose own code comes later holds its place with its priority.
void addShell(std::vector<FModule*>& modules, const char* name, int priority)
{
    add<FModuleShell>(modules, name, priority);
}

} // namespace

void buildApplicationModules(std::vector<FModule*>& modules, FRefT<FString> commandLine)
{
    addShell(modules, "network", 7);
    add<FZipModule>(modules);
    add<FClockModule>(modules);
    add<FGraphSdl>(modules);
    add<FKeyedMapModule>(modules);
    addShell(modules, "GW video loader", 10);
    addShell(modules, "raw-data loader", 9);
    addShell(modules, "JPEG loader", 9);
    addShell(modules, "font loader", 9);
    addShell(modules, "screen module", 15);
    add<FZLibModule>(modules);
    addShell(modules, "debug channel", 2);
    addShell(modules, "PNG loader", 9);
    addShell(modules, "Theora loader", 10);
    add<FLoggingModule>(modules);
    addShell(modules, "GW sample loader", 9);
    addShell(modules, "JPEG32 loader", 9);
    addShell(modules, "audio", 11);
    addShell(modules, "Vorbis loader", 9);
    addShell(modules, "asset release", 3);
    addShell(modules, "PVR loader", 9);
    add<FPlatformSpecificModuleSdl>(modules);
    add<FProcessModule>(modules, commandLine);
    add<FRandomModule>(modules);
    add<FThreadPoolModule>(modules);
    add<FFileSystemModule>(modules);
    add<FGamePadModuleSdl>(modules);
    add<ZibboAppService>(modules);
}

int runGameApplication(FRefT<FString> commandLine)
{
    FApplication application;
    try {
        FSystemLocale locale;
        getSystemLocale(locale);
        FLocalizedMessages::setLanguage(FApplication::readInstalledLanguage());
        buildApplicationModules(application.modules(), commandLine);
        application.startModules();
        auto* process = findService<FProcessService>(k_slotProcess);
        while (process != nullptr && process->runOnce(1)) {
        }
    } catch (...) {
        application.stopModules();
        throw;
    }
    application.stopModules();
    return 0;
}
