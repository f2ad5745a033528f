#include "core/FBuildCancel.h"

namespace {
thread_local const std::atomic<bool>* t_flag = nullptr;
} // namespace

FBuildCancel::Scope::Scope(const std::atomic<bool>& flag) noexcept : m_previous(t_flag)
{
    t_flag = &flag;
}

FBuildCancel::Scope::~Scope()
{
    t_flag = m_previous;
}

void FBuildCancel::checkpoint()
{
    if (isRequested()) throw Cancelled{};
}

bool FBuildCancel::isRequested() noexcept
{
    return t_flag != nullptr && t_flag->load(std::memory_order_acquire);
}
