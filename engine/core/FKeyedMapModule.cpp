#include "core/FKeyedMapModule.h"

#include "core/FApplication.h"

FKeyedMapModule::Published::Published(FKeyedMapModule& owner)
    : Service(findServiceSlot(k_slotKeyedMap)), m_owner(owner)
{
}

FKeyedMapModule::FKeyedMapModule() : m_service(*this) {}

FKeyedMapModule::~FKeyedMapModule()
{
    m_entries.clear();
}
