#pragma once

// The one application object of a run: its service slots, through which every
// part of the program finds the engine's services, and the log lock. While it
// lives, FApplication::instance() refers to it.

#include "core/FAppListener.h"
#include "core/FMutex.h"
#include "core/FServiceSlots.h"

#include <atomic>

class FApplication {
public:
  FApplication();
  ~FApplication();
  FApplication(const FApplication&) = delete;
  FApplication& operator=(const FApplication&) = delete;

  // The live application object, or null.
  static FApplication* instance() noexcept { return s_instance.load(std::memory_order_acquire); }

  // Sets all service slots of a block to null.
  static void clearServiceSlots(FAppListener** block) noexcept;

  // The object published in slot `index` (null when empty or out of range).
  FAppListener* service(int index) const noexcept;
  // The slot a slot interface publishes itself in (null when out of range).
  FAppListener** serviceSlot(int index) noexcept;

  // Serialises every committed log line of every thread.
  FMutex& logLock() noexcept { return m_logLock; }

private:
  static std::atomic<FApplication*> s_instance;

  FAppListener* m_services[k_serviceSlotCount];
  FMutex m_logLock;
};

// The service object in slot `index` as interface T, or null.
template <class T>
T* findService(int index) noexcept {
  FApplication* application = FApplication::instance();
  return application == nullptr ? nullptr : static_cast<T*>(application->service(index));
}
