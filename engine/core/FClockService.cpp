#include "core/FClockService.h"

#include "core/FApplication.h"

std::uint32_t FClockService::nowOrZero() noexcept
{
    FClockService* clock = findService<FClockService>(k_slotClock);
    return clock != nullptr ? clock->now() : 0;
}
