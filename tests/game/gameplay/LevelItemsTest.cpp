// The level items: a sprite per listed item with its picture, companions,
// caption and HUD entry by task type; the hint sprites; the map animations
// placed from the anim records.
#include "game/LevelFixture.h"
#include "game/widgets/PlayFieldTestSupport.h"
#include "game/widgets/RecordingVideoPlayer.h"

#include "core/FXmlSerializer.h"
#include "game/core/SearchListGenerator.h"
#include "game/gameplay/LevelItemImages.h"
#include "game/gameplay/LevelItems.h"
#include "game/gameplay/LevelItemsHost.h"
#include "game/widgets/HintSearchableSprite.h"
#include "game/widgets/MapAnimationSprite.h"
#include "game/worlds/WorldScene.h"

#include <gtest/gtest.h>

#include <deque>
#include <list>

namespace {

using namespace GameDataText;

// A world's scene whose tables the test fills; a table left unset is absent.
class LevelItemsScene : public WorldScene
{
public:
    const NamedAssetMap* getPictures() const override { return pictures; }
    const NamedAssetMap* getHints() const override { return hints; }
    const NamedAssetMap* getSpecialZibbo() const override { return zibbo; }
    const NamedAssetMap* getSpecialVessa() const override { return vessa; }
    const NamedAssetMap* getSpecialStarmantle() const override { return starmantle; }
    const NamedTextMap* getVignetteCaptions() const override { return captions; }
    const NamedAssetMap* getAnimations() const override { return animations; }
    const NamedAssetMap* getHotSpots() const override { return hotSpots; }

    const NamedAssetMap* pictures = nullptr;
    const NamedAssetMap* hints = nullptr;
    const NamedAssetMap* zibbo = nullptr;
    const NamedAssetMap* vessa = nullptr;
    const NamedAssetMap* starmantle = nullptr;
    const NamedTextMap* captions = nullptr;
    const NamedAssetMap* animations = nullptr;
    const NamedAssetMap* hotSpots = nullptr;
};

class LevelItemsScreen : public PlayScreen, public LevelItemsHost
{
public:
    GameSession* levelSession() override { return session; }
    const WorldScene* levelWorldScene() override { return &scene; }
    MapView* levelMapView() override { return map.get(); }
    const LevelItemImages& levelItemImages() override { return images; }
    std::deque<FRefT<SearchableSprite>>& levelTaskSprites() override { return taskSprites; }
    std::deque<FRef>& levelHintSprites() override { return hintSprites; }
    void startPanelSweep() override { ++sweeps; }

    GameSession* session = nullptr;
    LevelItemsScene scene;
    LevelItemImages images;
    std::deque<FRefT<SearchableSprite>> taskSprites;
    std::deque<FRef> hintSprites;

    HintSearchableSprite& hintSprite(std::size_t k) { return *hintSprites.at(k).as<HintSearchableSprite>(); }
    int sweeps = 0;
};

// A record as the search data gives it.
SearchableObject readLevelItem(const std::string& fileName, const std::string& panelText = "")
{
    FXmlSerializer serializer(
        xmlStream("<root>" + element("fileName", fileName) + element("difficultyRating", "1") +
                  element("type", "0") + element("forKids", "1") + element("forIngame", "1") +
                  element("forParty", "1") + element("panelText", panelText) + "</root>"));
    SearchableObject item;
    item.serialize(serializer);
    item.setPlayer(0);
    item.setState(SearchableObject::k_stateListed);
    return item;
}

FRefT<FString> levelItemText(const char* value)
{
    return makeRef(engineNew<FString>(k_memObject, value));
}

class LevelItemsTest : public ::testing::Test
{
public:
    LevelItemsTest()
    {
        screen.map = makeRef(engineNew<MapView>(k_memObject, &screen, true));
        screen.map->setWidgetRect({0, 0, 800, 480});
        LevelItemImages& i = screen.images;
        for (FRefT<FImage>* image :
             {&i.zibboBling, &i.zibboPanel, &i.lastWorldPanel, &i.starmantleBling, &i.starmantlePanel,
              &i.vessaBling, &i.vessaPanel, &i.tuffBling, &i.tuffPanel, &i.drabbBling, &i.drabbPanel})
            *image = tokenAsset();
        for (std::size_t k = 0; k < LevelItemImages::k_hintImageCount; ++k) {
            i.hintImagesA[k] = tokenAsset();
            i.hintImagesB[k] = tokenAsset();
        }
    }

    // Files a picture under `name` in `table` and returns it.
    static const FImage* file(NamedAssetMap& table, const std::string& name)
    {
        FRefT<FImage> image = tokenAsset();
        table.findOrInsert(name) = image;
        return image.get();
    }

    SearchableObject& add(const std::string& fileName, const std::string& panelText = "")
    {
        items.push_back(readLevelItem(fileName, panelText));
        list.push_back(&items.back());
        return items.back();
    }

    std::list<SearchableObject> items;
    std::deque<SearchableObject*> list;
    LevelItemsScreen screen;
    LevelItems levelItems{screen};
};

TEST_F(LevelItemsTest, CompanionsDropTheCopyNumberOfAMultipleOnly)
{
    EXPECT_EQ(LevelItems::companionBase("World10Creature01Multiple01"), "World10Creature01");
    EXPECT_EQ(LevelItems::companionBase("World01Vignette01"), "World01Vignette01");
    // Too short for the cut: kept whole instead of underflowing.
    EXPECT_EQ(LevelItems::companionBase("Multiple"), "Multiple");
    EXPECT_EQ(LevelItems::companionBase("AMultiple"), "AMultiple");
    EXPECT_EQ(LevelItems::companionBase("XMultiple1"), "");

    NamedAssetMap table;
    const FImage* bling = file(table, "World10Creature01Bling");
    const FImage* panel = file(table, "World10Creature01Panel");
    levelItems.setTaskTable(&table);
    EXPECT_EQ(levelItems.findBlingCompanion("World10Creature01Multiple01").get(), bling);
    EXPECT_EQ(levelItems.findPanelCompanion("World10Creature01Multiple02").get(), panel);
    EXPECT_EQ(levelItems.findBlingCompanion("World10Creature02").get(), nullptr);
    levelItems.setTaskTable(nullptr);
    EXPECT_EQ(levelItems.findBlingCompanion("World10Creature01Multiple01").get(), nullptr);
}

TEST_F(LevelItemsTest, BlingAndPanelImagesFollowTheTaskType)
{
    const LevelItemImages& i = screen.images;
    struct Case
    {
        int taskType;
        int worldIndex;
        const FRefT<FImage>* bling; // null: the companion from the table; both null with `none`
        const FRefT<FImage>* panel;
        bool none;
    };
    const Case cases[] = {
        {0, 0, &i.zibboBling, &i.zibboPanel, false},
        {0, 11, &i.zibboBling, &i.lastWorldPanel, false},
        {1, 3, &i.starmantleBling, &i.starmantlePanel, false},
        {2, 3, &i.vessaBling, &i.vessaPanel, false},
        {3, 3, &i.tuffBling, &i.tuffPanel, false},
        {4, 3, &i.drabbBling, &i.drabbPanel, false},
        {9, 3, &i.tuffBling, &i.tuffPanel, false},
        {6, 3, nullptr, nullptr, false},
        {7, 3, nullptr, nullptr, false},
        {8, 3, nullptr, nullptr, false},
        {10, 3, nullptr, nullptr, false},
        {11, 3, nullptr, nullptr, false},
        {12, 3, nullptr, nullptr, false},
        {14, 3, nullptr, nullptr, false},
        {15, 3, nullptr, nullptr, true},
        {18, 3, nullptr, nullptr, true},
    };
    for (const Case& c : cases) {
        NamedAssetMap table;
        const FImage* picture = file(table, "World04Creature01Multiple01");
        const FImage* bling = file(table, "World04Creature01Bling");
        const FImage* panel = file(table, "World04Creature01Panel");
        LevelItemsScreen host;
        host.map = screen.map;
        host.images = screen.images;
        LevelItems placer(host);
        placer.setTaskTable(&table);
        std::list<SearchableObject> own{readLevelItem("World04Creature01Multiple01")};
        placer.placeSearchables({&own.front()}, c.taskType, c.worldIndex);
        ASSERT_EQ(host.taskSprites.size(), 1u) << c.taskType;
        const SearchableSprite& sprite = *host.taskSprites.front();
        EXPECT_EQ(sprite.getImage().get(), picture) << c.taskType;
        const FImage* wantBling = c.none ? nullptr : c.bling != nullptr ? c.bling->get() : bling;
        const FImage* wantPanel = c.none ? nullptr : c.panel != nullptr ? c.panel->get() : panel;
        EXPECT_EQ(sprite.getKindEffect().get(), wantBling) << c.taskType;
        EXPECT_EQ(sprite.panelImage().get(), wantPanel) << c.taskType;
    }
}

TEST_F(LevelItemsTest, TaskTypeFiveSwitchesTheTableByCharacterAndKeepsIt)
{
    NamedAssetMap zibbo, vessa, starmantle;
    const FImage* firstPicture = file(zibbo, "World01Zibbo01");
    const FImage* vessaPicture = file(vessa, "World01Vessa01");
    const FImage* lastPicture = file(vessa, "World01Drabb01");
    file(starmantle, "World01Drabb01");
    screen.scene.zibbo = &zibbo;
    screen.scene.vessa = &vessa;
    screen.scene.starmantle = &starmantle;
    add("World01Zibbo01").setCharacter(1);
    add("World01Vessa01").setCharacter(2);
    add("World01Drabb01").setCharacter(4);
    levelItems.placeSearchables(list, 5, 0);

    ASSERT_EQ(screen.taskSprites.size(), 3u);
    EXPECT_EQ(screen.taskSprites[0]->getImage().get(), firstPicture);
    EXPECT_EQ(screen.taskSprites[0]->getKindEffect().get(), screen.images.zibboBling.get());
    EXPECT_EQ(screen.taskSprites[1]->getImage().get(), vessaPicture);
    EXPECT_EQ(screen.taskSprites[1]->getKindEffect().get(), screen.images.vessaBling.get());
    EXPECT_EQ(screen.taskSprites[1]->panelImage().get(), screen.images.vessaPanel.get());
    // Character 4 keeps the Vessa table and gets neither image.
    EXPECT_EQ(screen.taskSprites[2]->getImage().get(), lastPicture);
    EXPECT_EQ(screen.taskSprites[2]->getKindEffect().get(), nullptr);
    EXPECT_EQ(screen.taskSprites[2]->panelImage().get(), nullptr);
    EXPECT_EQ(levelItems.taskTable(), &vessa);
}

TEST_F(LevelItemsTest, TaskTypeThirteenTakesHintImagesByPositionAndStopsAtTen)
{
    NamedAssetMap table;
    for (int k = 0; k < 12; ++k)
        file(table, "World01Traveler" + std::to_string(k));
    levelItems.setTaskTable(&table);
    for (int k = 0; k < 12; ++k)
        add("World01Traveler" + std::to_string(k));
    levelItems.placeSearchables(list, 13, 0);

    ASSERT_EQ(screen.taskSprites.size(), 12u);
    EXPECT_EQ(screen.taskSprites[2]->getKindEffect().get(), screen.images.hintImagesA[2].get());
    EXPECT_EQ(screen.taskSprites[2]->panelImage().get(), screen.images.hintImagesB[2].get());
    EXPECT_EQ(screen.taskSprites[9]->panelImage().get(), screen.images.hintImagesB[9].get());
    for (std::size_t k : {10u, 11u}) {
        EXPECT_EQ(screen.taskSprites[k]->getKindEffect().get(), nullptr);
        EXPECT_EQ(screen.taskSprites[k]->panelImage().get(), nullptr);
    }
}

TEST_F(LevelItemsTest, CaptionsGroupKeysAndPanelEntries)
{
    NamedAssetMap table;
    file(table, "World01Picture01");
    file(table, "World01Picture02Multiple01");
    levelItems.setTaskTable(&table);
    NamedTextMap captions;
    FRefT<FString> caption = levelItemText("A red kite");
    captions.findOrInsert("KiteText") = caption;
    screen.scene.captions = &captions;
    add("World01Picture01", "KiteText");
    SearchableObject& copy = add("World01Picture02Multiple01", "NoSuchText");
    copy.setKind(0);
    copy.setMultipleType(3);
    SearchableObject& bone = add("World01Picture01");
    bone.setPlayer(2); // an item without a panel entry
    levelItems.placeSearchables(list, 6, 0);

    EXPECT_EQ(screen.sweeps, 1);
    ASSERT_EQ(screen.taskSprites.size(), 3u);
    EXPECT_EQ(screen.taskSprites[0]->panelText().get(), caption.get());
    EXPECT_EQ(screen.taskSprites[1]->panelText().get(), nullptr); // the key is not there
    EXPECT_EQ(screen.taskSprites[1]->entryMode(), 2);
    EXPECT_EQ(screen.taskSprites[1]->count(), 3);
    EXPECT_EQ(screen.panels[0].calls, (std::vector<std::string>{"createEntry World01Picture01 0",
                                                                "createEntry World01Picture02Multiple01 3"}));
    for (const auto& sprite : screen.taskSprites) {
        EXPECT_EQ(sprite->parent(), screen.map->content());
        EXPECT_EQ(sprite->item()->listeners().size(), 1u);
        EXPECT_TRUE(sprite->isVisible()); // the notification showed the listed item
    }
    EXPECT_NE(screen.taskSprites[0]->panelEntry(), nullptr);
    EXPECT_EQ(screen.taskSprites[2]->panelEntry(), nullptr);

    // Without a caption table every sprite gets a text of its own, empty.
    screen.scene.captions = nullptr;
    screen.taskSprites.clear();
    levelItems.placeSearchables(list, 6, 0);
    ASSERT_NE(screen.taskSprites[0]->panelText().get(), nullptr);
    EXPECT_TRUE(screen.taskSprites[0]->panelText()->empty());
}

TEST_F(LevelItemsTest, AnAbsentTableIsEmptyAndAnEmptyListStillSweeps)
{
    levelItems.placeSearchables(list, 6, 0);
    EXPECT_EQ(screen.sweeps, 1);
    EXPECT_TRUE(screen.taskSprites.empty());

    // No table chosen (the world has none of the task's category): sprites
    // without pictures, nothing read through a null table.
    add("World01Picture01");
    levelItems.placeSearchables(list, 6, 0);
    ASSERT_EQ(screen.taskSprites.size(), 1u);
    EXPECT_EQ(screen.taskSprites[0]->getImage().get(), nullptr);
    EXPECT_EQ(screen.taskSprites[0]->getKindEffect().get(), nullptr);
    // Task type 5 with a world lacking the character's table keeps the table.
    screen.taskSprites.clear();
    list.front()->setCharacter(2);
    levelItems.placeSearchables(list, 5, 0);
    EXPECT_EQ(screen.taskSprites.size(), 1u);
    EXPECT_EQ(levelItems.taskTable(), nullptr);
}

TEST_F(LevelItemsTest, HintSpritesComeFromTheHintTableAndAppend)
{
    QuestText quest;
    quest.tasks = {0};
    LevelFixture level({quest}, {{"ZIBBOS", {{"World01Zibbo01"}, {"World01Zibbo02"}, {"World01Zibbo03"}}},
                                 {"HINTS", {{"World01Hint01"}, {"World01Hint02"}}}});
    level.start(1);
    screen.session = &level.session;
    NamedAssetMap hints;
    const FImage* first = file(hints, "World01Hint01");
    screen.scene.hints = &hints;

    levelItems.createHintSearchableSprites();
    EXPECT_EQ(levelItems.taskTable(), &hints);
    ASSERT_EQ(screen.hintSprites.size(), 2u);
    EXPECT_EQ(screen.hintSprite(0).getImage().get(), first);
    EXPECT_EQ(screen.hintSprite(1).getImage().get(), nullptr); // not in the table
    EXPECT_TRUE(screen.hintSprite(0).isHintItem());
    EXPECT_EQ(screen.hintSprite(0).getKindEffect().get(), screen.hint.get());
    EXPECT_EQ(screen.hintSprite(0).item()->listeners().size(), 0u);
    EXPECT_TRUE(screen.panels[0].calls.empty());
    levelItems.createHintSearchableSprites();
    EXPECT_EQ(screen.hintSprites.size(), 4u);
    EXPECT_EQ(screen.hintSprite(2).item(), screen.hintSprite(0).item());

    // The search list of the session: one sprite per listed item.
    NamedAssetMap zibbos;
    for (const char* name : {"World01Zibbo01", "World01Zibbo02", "World01Zibbo03"})
        file(zibbos, name);
    levelItems.setTaskTable(&zibbos);
    levelItems.createSearchableSprites();
    std::deque<SearchableObject*> listed;
    level.session.getSearchListState(listed);
    ASSERT_FALSE(listed.empty());
    ASSERT_EQ(screen.taskSprites.size(), listed.size());
    for (std::size_t k = 0; k < listed.size(); ++k) {
        EXPECT_EQ(screen.taskSprites[k]->item(), listed[k]);
        EXPECT_EQ(screen.taskSprites[k]->getImage().get(), zibbos.find(listed[k]->fileName())->get());
    }
}

TEST_F(LevelItemsTest, MapAnimationsArePlacedFromTheAnimRecords)
{
    std::vector<std::string> log;
    NamedAssetMap animations, hotSpots;
    animations.findOrInsert("Mill") = recordedVideo("mill", 10, log);
    animations.findOrInsert("Bird") = recordedVideo("bird", 10, log);
    screen.scene.animations = &animations;
    auto record = [](int used, int left, int top, int looping, const char* name, const char* sound) {
        AnimRecord r;
        r.isUsed = used;
        r.left = left;
        r.top = top;
        r.isLooping = looping;
        r.name = FString(name);
        r.sound = FString(sound);
        return r;
    };
    const std::vector<AnimRecord> records = {
        record(1, 256, 128, 1, "Mill", "MillSound"), record(0, 10, 10, 1, "Mill", ""),
        record(1, 255, 255, 0, "Bird", ""), record(1, 0, 0, 1, "Missing", "")};
    levelItems.createMapAnimations(records);

    std::vector<MapAnimationSprite*> placed;
    for (FWidget* child : screen.map->content()->children())
        if (auto* sprite = dynamic_cast<MapAnimationSprite*>(child)) placed.push_back(sprite);
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0]->rect().left, 100);
    EXPECT_EQ(placed[0]->rect().top, 50);
    EXPECT_FALSE(placed[0]->isOccasional());
    EXPECT_EQ(placed[0]->companion().get(), nullptr); // no HotSpot table
    EXPECT_EQ(placed[1]->rect().left, 99);
    EXPECT_EQ(placed[1]->rect().top, 99);
    EXPECT_TRUE(placed[1]->isOccasional());
}

} // namespace
