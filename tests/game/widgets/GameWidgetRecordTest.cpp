#include "asset/FAssetStream.h"
#include "asset/FScreenRegistry.h"
#include "game/widgets/AnimatedMenuButton.h"
#include "game/widgets/AutoGrowTextBox.h"
#include "game/widgets/CharacterVideoSprite.h"
#include "game/widgets/StepSlider.h"
#include "game/widgets/VideoSprite.h"
#include "image/FImage.h"
#include "tools/contentwriters/WidgetRecordWriter.h"
#include "ui/FContainer.h"
#include "ui/FWidgetFactory.h"

#include <gtest/gtest.h>

namespace {

// The widgets read the records of their bases: image records for the video
// sprites, container records (with children) for the menu and text widgets.
TEST(GameWidgetRecordTest, KindsReadTheRecordsOfTheirBases)
{
    FWidgetFactory::registerEngineTypes();
    FWidgetFactory::registerType(WidgetType::k_videoSprite, &FWidgetFactory::createChild<VideoSprite>);
    FWidgetFactory::registerType(WidgetType::k_characterVideoSprite,
                                 &FWidgetFactory::createChild<CharacterVideoSprite>);
    FWidgetFactory::registerType(WidgetType::k_animatedMenuButton,
                                 &FWidgetFactory::createChild<AnimatedMenuButton>);
    FWidgetFactory::registerType(WidgetType::k_stepSlider, &FWidgetFactory::createChild<StepSlider>);
    FWidgetFactory::registerType(WidgetType::k_autoGrowTextBox,
                                 &FWidgetFactory::createChild<AutoGrowTextBox>);

    ContainerRecord button;
    button.widget = {100, 100, 200, 100, 0, 1};
    button.children.push_back({11, WidgetType::k_videoSprite, writeImageRecord({{0, 0, 120, 80, 0, 1}, 0})});
    ContainerRecord sliderRecord;
    sliderRecord.widget = {10, 300, 200, 20, 0, 1};
    ContainerRecord boxRecord;
    boxRecord.widget = {0, 0, 400, 300, 0, 1};
    ContainerRecord root;
    root.widget = {0, 0, 800, 600, 0, 1};
    root.children.push_back({1, WidgetType::k_animatedMenuButton, writeContainerRecord(button)});
    root.children.push_back({2, WidgetType::k_stepSlider, writeContainerRecord(sliderRecord)});
    root.children.push_back({3, WidgetType::k_autoGrowTextBox, writeContainerRecord(boxRecord)});
    root.children.push_back(
        {4, WidgetType::k_characterVideoSprite, writeImageRecord({{9, 9, 90, 200, 0, 1}, 7})});
    const std::vector<uint8_t> bytes = writeContainerRecord(root);

    FScreenRegistry registry;
    FRef picture = makeRef(engineNew<FImage>(k_memObject));
    registry.insertAsset(7, picture);
    std::vector<int32_t> ids;
    FContainer screen;
    FRefT<FInStream> stream = FAssetStream::makeCopy(bytes.data(), static_cast<int64_t>(bytes.size()));
    screen.load(*stream, registry, ids);

    auto* menu = dynamic_cast<AnimatedMenuButton*>(registry.findInFirst(1).as<FWidget>());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->rect(), (FRectI{100, 100, 300, 200}));
    auto* clip = dynamic_cast<VideoSprite*>(registry.findInFirst(11).as<FWidget>());
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->parent(), menu);
    EXPECT_STREQ(clip->getTypeName(), "VideoSprite");
    auto* slider = dynamic_cast<StepSlider*>(registry.findInFirst(2).as<FWidget>());
    ASSERT_NE(slider, nullptr);
    EXPECT_TRUE(slider->isHitTestDisabled());
    auto* box = dynamic_cast<AutoGrowTextBox*>(registry.findInFirst(3).as<FWidget>());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->rect(), (FRectI{0, 0, 400, 300}));
    auto* character = dynamic_cast<CharacterVideoSprite*>(registry.findInFirst(4).as<FWidget>());
    ASSERT_NE(character, nullptr);
    EXPECT_EQ(character->rect(), (FRectI{9, 9, 99, 209}));
    EXPECT_EQ(character->getImage().get(), picture.get());
}

} // namespace
