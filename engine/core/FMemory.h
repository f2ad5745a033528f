#pragma once

// Engine memory: every block names what it is for (its category), so that a
// build can route kinds of memory to separate heaps. In this program every
// category lands on the one C++ heap.

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

enum FMemoryCategory : int {
    k_memGeneral = 0, // character buffers, vectors, library storage, narrow texts
    k_memObject = 1,  // engine objects: holders, strings, signals, modules, assets, delegates
    k_memImage = 2,   // decoded image pixel data
    k_memSpare3 = 3,
    k_memGraphics = 4, // graphics buffers
    k_memWaveOut = 5,  // sound output buffers
    k_memAudio = 6,    // audio sample and decoder buffers
    k_memStream = 7,   // file and stream buffers
    k_memAsset = 8,    // asset records
    k_memData = 9,     // data blocks: raw data, digests, inflate windows
    k_memCString = 10, // zero-terminated texts read by serializers and loaders
    k_memSpare11 = 11,
    k_memSpare12 = 12,
};

inline constexpr int k_memoryCategoryCount = 13;

// Returns a block of `size` bytes, or null when no memory is left. Blocks are
// given back with engineFree without naming their category.
void* engineAlloc(int category, std::size_t size) noexcept;

// Gives a block back; null is ignored, and so is every release after the
// memory manager has shut down at process exit.
void engineFree(void* block) noexcept;

template <class T> void freeAndNull(T*& pointer) noexcept
{
    engineFree(const_cast<void*>(static_cast<const void*>(pointer)));
    pointer = nullptr;
}

// Constructs a T in engine memory; null when no memory is left. A constructor
// that throws gives the block back before the exception travels on.
template <class T, class... Args> T* engineNew(int category, Args&&... args)
{
    void* block = engineAlloc(category, sizeof(T));
    if (block == nullptr) {
        return nullptr;
    }
    try {
        return ::new (block) T(std::forward<Args>(args)...);
    } catch (...) {
        engineFree(block);
        throw;
    }
}

// Destroys an object made by engineNew (a polymorphic object through its
// virtual destructor) and gives its block back.
template <class T> void engineDelete(T* object) noexcept
{
    if (object != nullptr) {
        // The block starts at the most-derived object, which a base pointer of a
        // class with several bases does not point at.
        void* block;
        if constexpr (std::is_polymorphic_v<T>) {
            block = dynamic_cast<void*>(const_cast<std::remove_cv_t<T>*>(object));
        } else {
            block = const_cast<std::remove_cv_t<T>*>(object);
        }
        object->~T();
        engineFree(block);
    }
}
