#include "core/FMemoryManager.h"

#include "core/FMemory.h"

void* FRuntimeHeap::allocate(std::size_t size) noexcept
{
    return ::operator new(size, std::nothrow);
}

void FRuntimeHeap::free(void* block) noexcept
{
    ::operator delete(block);
}

// Every category maps to heap 0.
const int FMemoryManager::k_categoryTable[13] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

namespace {

// Constant-initialised and never destroyed, so it serves static constructors
// and destructors in any order.
constinit FMemoryManager s_manager;

} // namespace

FMemoryManager& FMemoryManager::instance() noexcept
{
    // The process-wide manager is not shut down at exit: its heap is the C++
    // heap, which outlives every static object, so releases from static
    // destructors are safe as they are; ignoring them would only leak.
    static const bool built = [] {
        s_manager.initialize();
        return true;
    }();
    (void)built;
    return s_manager;
}

void FMemoryManager::initialize() noexcept
{
    m_heaps[0].store(&m_runtimeHeap, std::memory_order_release);
}

void FMemoryManager::shutdown() noexcept
{
    for (auto& heap : m_heaps) {
        heap.store(nullptr, std::memory_order_release);
    }
}

bool FMemoryManager::isShutDown() const noexcept
{
    return m_heaps[0].load(std::memory_order_acquire) == nullptr;
}

int FMemoryManager::heapIndexOf(int category) const noexcept
{
    if (category < 0 || category >= k_memoryCategoryCount) {
        return -1;
    }
    return k_categoryTable[category];
}

FHeap* FMemoryManager::heap(int index) const noexcept
{
    if (index < 0 || index >= k_heapCount) {
        return nullptr;
    }
    return m_heaps[index].load(std::memory_order_acquire);
}

void* FMemoryManager::allocate(int category, std::size_t size) noexcept
{
    int index = heapIndexOf(category);
    // A category out of range is a caller's mistake; serve it from the general heap.
    FHeap* target = heap(index < 0 ? 0 : index);
    if (target == nullptr) {
        // After shutdown the heap table is empty; a late allocation (from a static
        // destructor) still gets memory rather than a crash. It is never released.
        return m_runtimeHeap.allocate(size);
    }
    return target->allocate(size);
}

void FMemoryManager::free(void* block) noexcept
{
    if (block == nullptr) {
        return;
    }
    // With one heap the block's heap is heap 0; there is no address-range test.
    FHeap* target = heap(0);
    if (target == nullptr) {
        return;
    }
    target->free(block);
}
