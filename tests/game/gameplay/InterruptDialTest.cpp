// The interrupt dial's pose through the length of an interrupt.
#include "game/gameplay/InterruptDial.h"

#include <gtest/gtest.h>

namespace {

TEST(InterruptDialTest, PointersTurnThroughTheTwoHalves)
{
    struct Case
    {
        int length;
        int elapsed;
        bool secondHalf;
        float firstAngle;
        float secondAngle;
        bool timedOut;
    };
    const Case cases[] = {
        {1001, 0, false, 0.0f, 0.0f, false},
        {1001, 250, false, -90.0f, 0.0f, false},
        {1001, 500, false, -180.0f, 0.0f, false},
        {1001, 501, true, 0.0f, -0.36f, false},
        {1001, 1000, true, 0.0f, -180.0f, false},
        {1001, 1001, true, 0.0f, -180.36f, true},
        // No half to turn through: at the end, and never a division by zero.
        {1, 0, true, 0.0f, -180.0f, false},
        {1, 1, true, 0.0f, -180.0f, true},
        {0, 0, true, 0.0f, -180.0f, true},
        {2, 1, false, -180.0f, 0.0f, false},
    };
    for (const Case& c : cases) {
        const InterruptDial pose = InterruptDial::poseAt(c.length, c.elapsed);
        const std::string what = std::to_string(c.length) + " at " + std::to_string(c.elapsed);
        EXPECT_EQ(pose.secondHalf, c.secondHalf) << what;
        EXPECT_NEAR(pose.firstAngle, c.firstAngle, 1e-3) << what;
        EXPECT_NEAR(pose.secondAngle, c.secondAngle, 1e-3) << what;
        EXPECT_EQ(pose.timedOut, c.timedOut) << what;
    }
}

} // namespace
