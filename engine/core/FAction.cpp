#include "core/FAction.h"

#include "core/FSemaphore.h"

FAction::~FAction()
{
    engineDelete(m_waiter);
}

void FAction::setWaiter(FSemaphore* waiter)
{
    if (m_waiter != waiter) engineDelete(m_waiter);
    m_waiter = waiter;
}

bool FAction::sameCall(const FAction& other) const
{
    if (m_target != other.m_target) return false;
    // The code address comes first; the adjustment only counts when there is code.
    if (std::memcmp(m_handler, other.m_handler, sizeof(void*)) != 0) return false;
    static const unsigned char k_noCode[sizeof(void*)] = {};
    if (std::memcmp(m_handler, k_noCode, sizeof(void*)) == 0) return true;
    return std::memcmp(m_handler + sizeof(void*), other.m_handler + sizeof(void*), sizeof(void*)) == 0;
}

namespace {
constexpr int k_posterGone = 1;
constexpr int k_queueDone = 2;
} // namespace

void FAction::finishWaited(FAction* action)
{
    if (action->m_handOff.exchange(k_queueDone) == k_posterGone)
        engineDelete(action);
    else
        action->m_waiter->release();
}

void FAction::abandonWaited(FAction* action)
{
    if (action->m_handOff.exchange(k_posterGone) == k_queueDone) engineDelete(action);
}
