#include "game/core/ScreenObjects.h"
#include "asset/FRawData.h"
#include "audio/FAudioModule.h"
#include "audio/FMusic.h"
#include "audio/FSample.h"
#include "core/FApplication.h"
#include "image/FImage.h"
#include "ui/FFont.h"
#include "ui/FSkin.h"
#include "video/FVideo.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

template <class T> bool holds(const FRef& handle)
{
    return dynamic_cast<T*>(static_cast<FAsset*>(handle.get())) != nullptr;
}

TEST(ScreenObjectsTest, EachAssetKindGivesAnEmptyAssetOfItsClass)
{
    FApplication application;
    FAudioModule audio;
    struct Case
    {
        std::int16_t kind;
        std::function<bool(const FRef&)> isExpected;
    } const cases[] = {
        {0, holds<FRawData>}, {1, holds<FFont>}, {2, holds<FMusic>}, {3, holds<FImage>},
        {4, holds<FSample>},  {6, holds<FSkin>}, {7, holds<FVideo>},
    };
    for (const Case& c : cases) {
        const FRef made = createScreenObject(c.kind);
        EXPECT_TRUE(c.isExpected(made)) << c.kind;
        EXPECT_FALSE(static_cast<FAsset*>(made.get())->isLoaded()) << c.kind;
    }
    // Kind 5 is the screen file's text record, not an asset.
    for (std::int16_t kind : {5, 8, -1, 0x7FFF})
        EXPECT_EQ(createScreenObject(kind).get(), nullptr) << kind;
}

TEST(ScreenObjectsTest, MusicNeedsTheAudioServiceForItsLock)
{
    EXPECT_EQ(createScreenObject(2).get(), nullptr);
}

} // namespace
