#include "core/FApplication.h"

std::atomic<FApplication*> FApplication::s_instance{nullptr};

FApplication::FApplication() {
  clearServiceSlots(m_services);
  s_instance.store(this, std::memory_order_release);
}

FApplication::~FApplication() {
  FApplication* self = this;
  s_instance.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
}

void FApplication::clearServiceSlots(FAppListener** block) noexcept {
  for (int i = 0; i < k_serviceSlotCount; ++i) {
    block[i] = nullptr;
  }
}

FAppListener* FApplication::service(int index) const noexcept {
  if (index < 0 || index >= k_serviceSlotCount) {
    return nullptr;
  }
  return m_services[index];
}

FAppListener** FApplication::serviceSlot(int index) noexcept {
  if (index < 0 || index >= k_serviceSlotCount) {
    return nullptr;
  }
  return &m_services[index];
}
