#include "asset/FAssetLoaderModule.h"

#include "core/FApplication.h"

namespace {

FAppListener** slotOf(int slot)
{
    FApplication* application = FApplication::instance();
    return application != nullptr ? application->serviceSlot(slot) : nullptr;
}

} // namespace

FAssetLoaderModule::FAssetLoaderModule(int slot, int priority)
    : FAssetLoader(slotOf(slot)), m_priority(priority)
{
}
