#include "core/FAppServiceModule.h"

#include "core/FApplication.h"

namespace {

FAppListener** appServiceSlot()
{
    FApplication* application = FApplication::instance();
    return application ? application->serviceSlot(k_slotAppService) : nullptr;
}

} // namespace

FAppServiceModule::Published::Published(FAppServiceModule& owner) : Service(appServiceSlot()), m_owner(owner)
{
}

FAppServiceModule::FAppServiceModule() : FThreadedModule(k_untimed), m_service(*this) {}

FAppServiceModule::~FAppServiceModule() = default;

void FAppServiceModule::onServiceValue(int32_t) {}

void FAppServiceModule::onServiceCall() {}
