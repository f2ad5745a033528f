#include "core/FMemory.h"
#include "core/FMemoryManager.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(FMemoryTest, EveryCategoryUsesTheOneHeapAndFreesWithoutNamingIt)
{
    FMemoryManager& manager = FMemoryManager::instance();
    for (int category = 0; category < k_memoryCategoryCount; ++category) {
        EXPECT_EQ(manager.heapIndexOf(category), 0) << category;
        void* block = engineAlloc(category, 100);
        ASSERT_NE(block, nullptr);
        std::memset(block, 0xAB, 100);
        engineFree(block);
    }
    EXPECT_EQ(manager.heapIndexOf(13), -1);
    EXPECT_EQ(manager.heapIndexOf(-1), -1);
    void* outOfRange = engineAlloc(99, 8);
    EXPECT_NE(outOfRange, nullptr);
    engineFree(outOfRange);
}

TEST(FMemoryTest, FreeingNullDoesNothing)
{
    engineFree(nullptr);
    int* pointer = static_cast<int*>(engineAlloc(k_memGeneral, sizeof(int)));
    freeAndNull(pointer);
    EXPECT_EQ(pointer, nullptr);
    freeAndNull(pointer);
}

TEST(FMemoryTest, AfterShutdownReleasesAreIgnored)
{
    FMemoryManager manager;
    manager.initialize();
    void* block = manager.allocate(k_memData, 32);
    ASSERT_NE(block, nullptr);
    manager.shutdown();
    EXPECT_TRUE(manager.isShutDown());
    manager.free(block); // ignored: the block stays usable
    std::memset(block, 1, 32);
    void* late = manager.allocate(k_memGeneral, 16); // still served, never given back by the manager
    ASSERT_NE(late, nullptr);
    manager.initialize();
    manager.free(block);
    manager.free(late);
}

struct First
{
    virtual ~First() = default;
    int a = 1;
};
struct Second
{
    virtual ~Second() { ++destroyed; }
    int b = 2;
    static inline int destroyed = 0;
};
struct Both : First, Second
{
    char payload[40] = {};
};

TEST(FMemoryTest, EngineDeleteThroughAFurtherBaseFreesTheWholeBlock)
{
    Second::destroyed = 0;
    Both* object = engineNew<Both>(k_memObject);
    ASSERT_NE(object, nullptr);
    Second* part = object;
    ASSERT_NE(static_cast<void*>(part), static_cast<void*>(object));
    engineDelete(part); // the address checker reports a bad free otherwise
    EXPECT_EQ(Second::destroyed, 1);
}

struct Throws
{
    Throws() { throw 7; }
};

TEST(FMemoryTest, ConstructorThatThrowsGivesTheBlockBack)
{
    EXPECT_THROW(engineNew<Throws>(k_memObject), int); // the leak checker sees a lost block
}

} // namespace
