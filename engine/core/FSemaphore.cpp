#include "core/FSemaphore.h"

void FSemaphore::release(uint32_t count)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_count += count;
    notifyLocked();
}

uint32_t FSemaphore::count()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_count;
}

bool FSemaphore::takeLocked()
{
    if (m_count == 0) return false;
    --m_count;
    return true;
}
