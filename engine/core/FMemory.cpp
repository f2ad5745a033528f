#include "core/FMemory.h"

#include "core/FMemoryManager.h"

void* engineAlloc(int category, std::size_t size) noexcept
{
    return FMemoryManager::instance().allocate(category, size);
}

void engineFree(void* block) noexcept
{
    if (block != nullptr) {
        FMemoryManager::instance().free(block);
    }
}
