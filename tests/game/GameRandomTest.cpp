#include "game/core/GameRandom.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<int32_t> draw(int count)
{
    std::vector<int32_t> values;
    for (int i = 0; i < count; ++i)
        values.push_back(GameRandom::rand());
    return values;
}

TEST(GameRandomTest, ReplaysTheCRuntimeSequence)
{
    // The first values of the C runtime generator after srand(1), as every
    // program built against it sees them.
    GameRandom::srand(1);
    EXPECT_EQ(draw(5), (std::vector<int32_t>{41, 18467, 6334, 26500, 19169}));
    // A seed restarts the sequence; the state wraps modulo 2^32.
    GameRandom::srand(0xFFFFFFFFu);
    const int32_t first = GameRandom::rand();
    EXPECT_EQ(GameRandom::state(), 0xFFFFFFFFu * 214013u + 2531011u);
    EXPECT_EQ(first, static_cast<int32_t>((GameRandom::state() >> 16) & 0x7FFF));
    GameRandom::srand(0xFFFFFFFFu);
    EXPECT_EQ(GameRandom::rand(), first);
}

TEST(GameRandomTest, ValuesStayWithinFifteenBits)
{
    GameRandom::srand(12345);
    int32_t highest = 0;
    for (int32_t value : draw(100000)) {
        ASSERT_GE(value, 0);
        highest = std::max(highest, value);
    }
    EXPECT_LE(highest, GameRandom::k_max);
    EXPECT_GT(highest, GameRandom::k_max - 16);
}

TEST(GameRandomTest, EveryThreadHasItsOwnState)
{
    GameRandom::srand(777);
    const std::vector<int32_t> mainBefore = draw(3);
    GameRandom::srand(777);

    // A new thread starts as if seeded with 1, whatever this thread did, and
    // its draws leave this thread's sequence alone.
    std::vector<int32_t> other;
    std::thread worker([&] { other = draw(3); });
    worker.join();
    EXPECT_EQ(other, (std::vector<int32_t>{41, 18467, 6334}));
    EXPECT_EQ(draw(3), mainBefore);
}

} // namespace
