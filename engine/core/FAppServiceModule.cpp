#include "core/FAppServiceModule.h"

#include "core/FApplication.h"

FAppServiceModule::Published::Published(FAppServiceModule& owner)
    : Service(findServiceSlot(k_slotAppService)), m_owner(owner)
{
}

FAppServiceModule::FAppServiceModule() : FThreadedModule(k_untimed), m_service(*this) {}

FAppServiceModule::~FAppServiceModule() = default;

void FAppServiceModule::onServiceValue(int32_t) {}

void FAppServiceModule::onServiceCall() {}
