#include "core/FApplication.h"

#include <gtest/gtest.h>

namespace {

class FakeService : public FAppListener3
{
public:
    using FAppListener3::FAppListener3;
};

TEST(FApplicationTest, GlobalPointerLivesWithTheObject)
{
    EXPECT_EQ(FApplication::instance(), nullptr);
    {
        FApplication application;
        EXPECT_EQ(FApplication::instance(), &application);
        for (int slot = 0; slot < k_serviceSlotCount; ++slot) {
            EXPECT_EQ(application.service(slot), nullptr) << slot;
        }
        EXPECT_EQ(application.service(k_serviceSlotCount), nullptr);
        EXPECT_EQ(application.serviceSlot(-1), nullptr);
    }
    EXPECT_EQ(FApplication::instance(), nullptr);
}

TEST(FApplicationTest, SlotInterfacePublishesAndClearsItsSlot)
{
    FApplication application;
    {
        FakeService service(application.serviceSlot(k_slotRandom));
        EXPECT_EQ(application.service(k_slotRandom), &service);
        EXPECT_EQ(findService<FakeService>(k_slotRandom), &service);
        EXPECT_EQ(findService<FakeService>(k_slotScreen), nullptr);
    }
    EXPECT_EQ(application.service(k_slotRandom), nullptr);
    FakeService unpublished(nullptr); // no application: nothing to publish in
    EXPECT_EQ(unpublished.slot(), nullptr);
}

TEST(FApplicationTest, ClearServiceSlotsEmptiesABlock)
{
    FAppListener* block[k_serviceSlotCount];
    for (auto& slot : block) {
        slot = reinterpret_cast<FAppListener*>(&block);
    }
    FApplication::clearServiceSlots(block);
    for (auto* slot : block) {
        EXPECT_EQ(slot, nullptr);
    }
}

TEST(FApplicationTest, NoServiceWithoutApplication)
{
    EXPECT_EQ(findService<FakeService>(k_slotClock), nullptr);
}

} // namespace
