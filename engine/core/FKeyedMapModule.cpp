#include "core/FKeyedMapModule.h"

#include "core/FApplication.h"

namespace {

FAppListener** keyedMapSlot()
{
    FApplication* application = FApplication::instance();
    return application ? application->serviceSlot(k_slotKeyedMap) : nullptr;
}

} // namespace

FKeyedMapModule::Published::Published(FKeyedMapModule& owner) : Service(keyedMapSlot()), m_owner(owner) {}

FKeyedMapModule::FKeyedMapModule() : m_service(*this) {}

FKeyedMapModule::~FKeyedMapModule()
{
    m_entries.clear();
}
