#include "game/core/GameApplication.h"

#include "asset/FAssetReleaseModule.h"
#include "asset/FRawDataModule.h"
#include "asset/FScreenModule.h"
#include "audio/FAudioGWSampleModule.h"
#include "audio/FAudioModule.h"
#include "audio/FAudioVorbisModule.h"
#include "core/FApplication.h"
#include "core/FClockModule.h"
#include "core/FKeyedMapModule.h"
#include "core/FLocalizedMessages.h"
#include "core/FLoggingModule.h"
#include "core/FMemory.h"
#include "core/FProcessModule.h"
#include "core/FRandomModule.h"
#include "core/FSystemLocale.h"
#include "core/FThreadPoolModule.h"
#include "game/core/NullAppServiceModule.h"
#include "game/core/ScreenObjects.h"
#include "image/FImageLoaderModule.h"
#include "image/FJpeg32Loader.h"
#include "image/FJpegLoader.h"
#include "image/FPngLoader.h"
#include "image/FPvrLoader.h"
#include "io/FFileSystemModule.h"
#include "io/FZLibModule.h"
#include "io/FZipModule.h"
#include "net/FDebugChannelModule.h"
#include "net/FNetworkModule.h"
#include "ui/FFontModule.h"
#include "video/FVideoLoaderModule.h"

namespace {

template <class T, class... Args> void add(std::vector<FModule*>& modules, Args&&... args)
{
    if (T* module = engineNew<T>(k_memObject, static_cast<Args&&>(args)...)) modules.push_back(module);
}

void addMade(std::vector<FModule*>& modules, FModule* (*make)())
{
    if (make == nullptr) return;
    if (FModule* module = make()) modules.push_back(module);
}

} // namespace

void buildApplicationModules(std::vector<FModule*>& modules, FRefT<FString> commandLine,
                             const ApplicationBackends& backends)
{
    if (backends.sockets != nullptr) add<FNetworkModule>(modules, *backends.sockets);
    add<FZipModule>(modules);
    add<FClockModule>(modules);
    addMade(modules, backends.makeGraphics);
    add<FKeyedMapModule>(modules);
    add<FVideoLoaderModule>(modules, k_slotGwVideoLoader, ".gwvideo");
    add<FRawDataModule>(modules);
    add<FImageLoaderModule>(modules, k_slotJpegLoader, &FJpegLoader::load);
    add<FFontModule>(modules);
    add<FScreenModule>(modules, &createScreenObject);
    add<FZLibModule>(modules);
    if (backends.sockets != nullptr) add<FDebugChannelModule>(modules, *backends.sockets, commandLine);
    add<FImageLoaderModule>(modules, k_slotPngLoader, &FPngLoader::load);
    add<FVideoLoaderModule>(modules, k_slotTheoraLoader, ".theora");
    add<FLoggingModule>(modules);
    add<FAudioGWSampleModule>(modules);
    add<FImageLoaderModule>(modules, k_slotJpeg32Loader, &FJpeg32Loader::load);
    add<FAudioModule>(modules, backends.audioOutput);
    add<FAudioVorbisModule>(modules);
    add<FAssetReleaseModule>(modules);
    add<FImageLoaderModule>(modules, k_slotPvrLoader, &FPvrLoader::load);
    addMade(modules, backends.makePlatformWindow);
    add<FProcessModule>(modules, commandLine);
    add<FRandomModule>(modules);
    add<FThreadPoolModule>(modules);
    add<FFileSystemModule>(modules);
    addMade(modules, backends.makeGamePads);
    add<NullAppServiceModule>(modules);
}

int runGameApplication(const ApplicationBackends& backends, FRefT<FString> commandLine,
                       GameModuleMaker makeGameModule)
{
    FApplication application;
    try {
        FSystemLocale locale;
        getSystemLocale(locale);
        FLocalizedMessages::setLanguage(FApplication::readInstalledLanguage());
        buildApplicationModules(application.modules(), commandLine, backends);
        if (makeGameModule != nullptr) {
            if (FModule* module = makeGameModule()) application.modules().push_back(module);
        }
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
