#pragma once

// The process-wide memory manager behind engineAlloc and engineFree: maps each
// memory category to a heap through the category table. There is one heap,
// the C++ heap, and every category maps to it.

#include <atomic>
#include <cstddef>

class FHeap
{
public:
    virtual void* allocate(std::size_t size) noexcept = 0;
    virtual void free(void* block) noexcept = 0;

protected:
    // Heaps are never deleted through this interface; the manager and its heap
    // must outlive every static object, so nothing here has a destructor to run.
    constexpr FHeap() = default;
    ~FHeap() = default;
};

// The C++ heap (::operator new / ::operator delete), so that blocks of the
// engine and objects made with new can be released by either side.
class FRuntimeHeap final : public FHeap
{
public:
    constexpr FRuntimeHeap() = default;
    void* allocate(std::size_t size) noexcept override;
    void free(void* block) noexcept override;
};

class FMemoryManager
{
public:
    static constexpr int k_heapCount = 1;

    // The process-wide manager, built on first use and never destroyed.
    static FMemoryManager& instance() noexcept;

    constexpr FMemoryManager() noexcept : m_heaps{} {}
    FMemoryManager(const FMemoryManager&) = delete;
    FMemoryManager& operator=(const FMemoryManager&) = delete;

    // Registers the runtime heap; every category then maps to it.
    void initialize() noexcept;
    // Unregisters the heap (for a heap that goes away before the blocks taken
    // from it are released): from then on releases are ignored and blocks come
    // straight from the C++ heap.
    void shutdown() noexcept;
    bool isShutDown() const noexcept;

    void* allocate(int category, std::size_t size) noexcept;
    void free(void* block) noexcept;

    // The heap index a category maps to (-1 for a category out of range).
    int heapIndexOf(int category) const noexcept;
    FHeap* heap(int index) const noexcept;

private:
    static const int k_categoryTable[13];

    FRuntimeHeap m_runtimeHeap;
    std::atomic<FHeap*> m_heaps[k_heapCount];
};
