#include "engine/core/KernelTestSupport.h"
#include "engine/ui/UiTestSupport.h"

#include "asset/FScreenRegistry.h"
#include "image/FImage.h"
#include "tools/contentwriters/ScreenFileWriter.h"
#include "ui/FSkin.h"

#include <gtest/gtest.h>

namespace {

// An image asset of the given size with pixels, registered under id.
FRef imageAsset(FScreenRegistry& registry, int32_t id, int32_t width, int32_t height)
{
    FImage* image = engineNew<FImage>(k_memObject);
    uint8_t* pixels = static_cast<uint8_t*>(engineAlloc(k_memImage, size_t(width) * height * 4 + 1));
    image->setPixels({width, height}, k_pixelBgra8, pixels, width * 4, 1.0f);
    FRef handle = makeRef(image);
    registry.insertAsset(id, handle);
    return handle;
}

struct SkinFixture
{
    FScreenRegistry registry;
    FRef skinHandle = makeRef(engineNew<FSkin>(k_memObject));
    FSkin& skin = *skinHandle.as<FSkin>();

    void read(const SkinData& data)
    {
        FRefT<FInStream> stream = streamOver(skinKindData(data));
        skin.readKindData(*stream.get());
        skin.resolveLinks(registry);
    }
};

TEST(SkinTest, KindDataAndInsetsFromTheFirstStateWithAnImage)
{
    SkinFixture f;
    imageAsset(f.registry, 12, 100, 50);
    SkinData data;
    data.states[FSkin::k_pressed].imageId = 12; // normal has none: pressed is tried next
    data.states[FSkin::k_pressed].imageTintRgba = {0x11, 0x22, 0x33, 0x44};
    data.states[FSkin::k_pressed].imageValues[1] = -7;
    data.insets[0] = 10;
    data.insets[1] = 5;
    data.insets[2] = 20;
    data.insets[3] = 25;
    f.read(data);
    const FSkin::StateRecord& pressed = f.skin.state(FSkin::k_pressed);
    EXPECT_EQ(pressed.image.colour, 0x44112233u);
    EXPECT_EQ(pressed.image.values[1], -7);
    EXPECT_EQ(pressed.imageId, 12);
    EXPECT_NE(pressed.image.asset.get(), nullptr);
    const std::array<float, 4> expected{0.1f, 0.1f, 0.2f, 0.5f};
    EXPECT_EQ(f.skin.getInsets(), expected);
}

TEST(SkinTest, NoImageOrAnEmptyImageGivesZeroInsets)
{
    SkinFixture f;
    SkinData data;
    data.insets[0] = 10;
    data.states[FSkin::k_normal].soundId = 99; // not registered: the part stays empty
    f.read(data);
    EXPECT_EQ(f.skin.getInsets(), (std::array<float, 4>{0, 0, 0, 0}));
    EXPECT_EQ(f.skin.state(FSkin::k_normal).sound.asset.get(), nullptr);

    SkinFixture g;
    g.registry.insertAsset(3, makeRef(engineNew<FImage>(k_memObject)));
    data.states[FSkin::k_normal].imageId = 3;
    g.read(data);
    EXPECT_EQ(g.skin.getInsets(), (std::array<float, 4>{0, 0, 0, 0})) << "no division by a zero size";
}

// A skin never holds a skin, itself or another: the handles would hold each
// other and neither would ever be released (the screen-file fuzzer's leak).
TEST(SkinTest, ASkinAmongThePartsIsLeftOutSoNoCycleForms)
{
    FScreenRegistry registry;
    FRef first = makeRef(engineNew<FSkin>(k_memObject));
    FRef second = makeRef(engineNew<FSkin>(k_memObject));
    registry.insertAsset(5, first);
    registry.insertAsset(6, second);
    FRef image = imageAsset(registry, 7, 4, 4);
    SkinData data;
    data.states[FSkin::k_normal].imageId = 5;  // itself
    data.states[FSkin::k_pressed].imageId = 6; // a skin that names this one back
    data.states[FSkin::k_hover].imageId = 7;
    FRefT<FInStream> stream = streamOver(skinKindData(data));
    first.as<FSkin>()->readKindData(*stream.get());
    first.as<FSkin>()->resolveLinks(registry);
    SkinData back;
    back.states[FSkin::k_normal].imageId = 5;
    FRefT<FInStream> backStream = streamOver(skinKindData(back));
    second.as<FSkin>()->readKindData(*backStream.get());
    second.as<FSkin>()->resolveLinks(registry);

    const FSkin& skin = *first.as<FSkin>();
    EXPECT_EQ(skin.state(FSkin::k_normal).image.asset.get(), nullptr);
    EXPECT_EQ(skin.state(FSkin::k_pressed).image.asset.get(), nullptr);
    EXPECT_EQ(skin.state(FSkin::k_hover).image.asset.get(), image.get());
    EXPECT_EQ(second.as<FSkin>()->state(FSkin::k_normal).image.asset.get(), nullptr);
    // Only the registry and this test hold the skins.
    EXPECT_EQ(first.holder()->count(), 2);
    EXPECT_EQ(second.holder()->count(), 2);
}

TEST(SkinTest, CountsReachThePartsAndGoBackWithTheSkin)
{
    FScreenRegistry registry;
    FRef image = imageAsset(registry, 1, 4, 4);
    auto* part = image.as<FImage>();
    {
        SkinFixture f;
        f.registry.insertAsset(1, image);
        SkinData data;
        data.states[FSkin::k_normal].imageId = 1;
        data.states[FSkin::k_hover].imageId = 1;
        f.read(data);
        f.skin.addRef();
        f.skin.addUser();
        f.skin.addUser();
        f.skin.dropUser();
        EXPECT_EQ(part->users(), 2) << "one user per state that names it";
        EXPECT_EQ(part->references(), 2);
    }
    EXPECT_EQ(part->users(), 0);
    EXPECT_EQ(part->references(), 0);
}

} // namespace
