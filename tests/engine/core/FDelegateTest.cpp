#include "core/FDelegate.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Counter
{
    int add(int amount)
    {
        total += amount;
        return total;
    }
    void reset() { total = 0; }
    int total = 0;
};

struct Padding
{
    virtual ~Padding() = default;
    double filler[3] = {};
};

struct Named
{
    std::string name;
    std::string greet(const std::string& who) { return name + " greets " + who; }
};

// Named is a further base: its members must be called on the Named part.
struct Widget : Padding, Named
{
};

TEST(FDelegateTest, ObjectDelegateAndItsCloneCallTheSameMember)
{
    Counter counter;
    FDelegate<int(int)>* delegate = makeObjectDelegate(&counter, &Counter::add);
    ASSERT_NE(delegate, nullptr);
    EXPECT_EQ(delegate->invoke(2), 2);
    FDelegate<int(int)>* clone = delegate->clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone, delegate);
    engineFree(delegate);
    EXPECT_EQ((*clone)(5), 7);
    EXPECT_EQ(counter.total, 7);
    engineFree(clone);
}

TEST(FDelegateTest, MemberDelegateAppliesTheAdjustment)
{
    Widget widget;
    widget.name = "w";
    Named* part = &widget;
    auto adjustment =
        static_cast<std::int32_t>(reinterpret_cast<char*>(part) - reinterpret_cast<char*>(&widget));
    ASSERT_NE(adjustment, 0);
    FDelegate<std::string(const std::string&)>* delegate =
        makeMemberDelegate<Named>(&widget, &Named::greet, adjustment);
    EXPECT_EQ(delegate->invoke("you"), "w greets you");
    FDelegate<std::string(const std::string&)>* clone = delegate->clone();
    EXPECT_EQ(clone->invoke("all"), "w greets all");
    engineFree(delegate);
    engineFree(clone);

    Counter counter;
    auto* plain = makeMemberDelegate(&counter, &Counter::add);
    EXPECT_EQ(plain->invoke(3), 3);
    engineFree(plain);
}

TEST(FDelegateTest, AssignKeepsACloneAndNullClears)
{
    Counter counter;
    FDelegate<void()>* held = nullptr;
    FDelegate<void()>* temporary = makeObjectDelegate(&counter, &Counter::reset);
    FDelegate<void()>::assign(held, temporary);
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held, temporary);
    engineFree(temporary);
    counter.total = 9;
    held->invoke();
    EXPECT_EQ(counter.total, 0);
    FDelegate<void()>::assign(held, nullptr); // frees the clone it held
    EXPECT_EQ(held, nullptr);

    FDelegate<void()>* out = reinterpret_cast<FDelegate<void()>*>(&counter);
    cloneDelegate<void()>(out, nullptr);
    EXPECT_EQ(out, nullptr);
}

TEST(FDelegateTest, CallbackCellIsSharedAndFreedWithItsLastHandle)
{
    Counter counter;
    FDelegate<int(int)>* temporary = makeObjectDelegate(&counter, &Counter::add);
    auto cell = makeCallbackHolder(temporary);
    engineFree(temporary);
    ASSERT_NE(cell.get(), nullptr);
    auto copy = cell;
    cell.release();
    ASSERT_NE(copy->delegate, nullptr);
    EXPECT_EQ(copy->delegate->invoke(4), 4);
    copy.release(); // frees the delegate and the cell (the leak checker sees any left)

    auto empty = makeCallbackHolder<int(int)>(nullptr);
    ASSERT_NE(empty.get(), nullptr);
    EXPECT_EQ(empty->delegate, nullptr);
}

} // namespace
