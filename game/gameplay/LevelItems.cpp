#include "game/gameplay/LevelItems.h"

#include "audio/FAudioNode.h"
#include "core/FLogStream.h"
#include "core/FMemory.h"
#include "core/FString.h"
#include "game/core/GameSession.h"
#include "game/core/SearchListGenerator.h"
#include "game/core/SearchableObject.h"
#include "game/core/TaskType.h"
#include "game/gameplay/LevelItemImages.h"
#include "game/gameplay/LevelItemsHost.h"
#include "game/widgets/HintSearchableSprite.h"
#include "game/widgets/MapAnimationSprite.h"
#include "game/widgets/MapView.h"
#include "game/widgets/SearchableSprite.h"
#include "game/worlds/WorldScene.h"
#include "video/FVideo.h"

#include <deque>

namespace {

// The hint trace of the level items is off, as every trace of the gameplay.
constexpr std::int32_t k_levelItemsTraceLevel = 0;
// The twelfth world shows its own panel picture in task type 0.
constexpr std::int32_t k_lastWorldIndex = 11;
// An item with a group key is one copy of a multiple: its sprite kind.
constexpr std::int32_t k_multipleSpriteKind = 2;

const NamedAssetMap* characterTable(const WorldScene& world, std::int32_t character)
{
    switch (character) {
    case 1:
        return world.getSpecialZibbo();
    case 2:
        return world.getSpecialVessa();
    case 3:
        return world.getSpecialStarmantle();
    default:
        return nullptr;
    }
}

} // namespace

std::string LevelItems::companionBase(const std::string& name)
{
    if (name.find("Multiple") == std::string::npos || name.size() < k_copySuffixLength) return name;
    return name.substr(0, name.size() - k_copySuffixLength);
}

FRef LevelItems::lookUp(const std::string& name) const
{
    const FRef* found = m_taskTable != nullptr ? m_taskTable->find(name) : nullptr;
    return found != nullptr ? *found : makeNullRef();
}

FRef LevelItems::findBlingCompanion(std::string name) const
{
    return lookUp(companionBase(name) + "Bling");
}

FRef LevelItems::findPanelCompanion(std::string name) const
{
    return lookUp(companionBase(name) + "Panel");
}

void LevelItems::setTaskImages(SearchableSprite& sprite, const SearchableObject& item, std::int32_t taskType,
                               std::int32_t worldIndex, std::size_t position)
{
    const LevelItemImages& images = m_host.levelItemImages();
    auto give = [&](const FRefT<FImage>& bling, const FRefT<FImage>& panel) {
        sprite.setKindEffect(bling);
        sprite.setKindResource(panel);
    };
    switch (taskType) {
    case k_taskFindZibbo:
        give(images.zibboBling, worldIndex == k_lastWorldIndex ? images.lastWorldPanel : images.zibboPanel);
        break;
    case k_taskFindStarmantle:
        give(images.starmantleBling, images.starmantlePanel);
        break;
    case k_taskFindVessa:
        give(images.vessaBling, images.vessaPanel);
        break;
    case k_taskFindTuff:
    case k_taskSpotDifferences:
        give(images.tuffBling, images.tuffPanel);
        break;
    case k_taskFindDrabb:
        give(images.drabbBling, images.drabbPanel);
        break;
    case k_taskFindZibboSecondForm:
        if (item.character() == 1) give(images.zibboBling, images.zibboPanel);
        if (item.character() == 2) give(images.vessaBling, images.vessaPanel);
        if (item.character() == 3) give(images.starmantleBling, images.starmantlePanel);
        break;
    case k_taskPictureSearch:
    case k_taskFindScroll:
    case k_taskFindPhotographs:
    case k_taskFindCreatures:
    case k_taskFindCreaturesSecond:
    case k_taskFindWatchers:
    case k_taskFindCreaturesThird: {
        const FRef bling = findBlingCompanion(item.fileName());
        const FRef panel = findPanelCompanion(item.fileName());
        give(FRefT<FImage>(bling), FRefT<FImage>(panel));
        break;
    }
    case k_taskFindTravelers:
        // The hint image lists hold ten entries: a longer list leaves the
        // later items without images rather than reading past them.
        if (position < LevelItemImages::k_hintImageCount) {
            give(images.hintImagesA[position], images.hintImagesB[position]);
        } else {
            ZIBBO_LOG(k_logWarn, false)
                << "Level item " << item.fileName().c_str() << " at position "
                << static_cast<std::int32_t>(position) << " has no hint image (ten at most)";
        }
        break;
    default:
        break;
    }
}

void LevelItems::createSearchableSprites()
{
    GameSession* session = m_host.levelSession();
    if (session == nullptr) return;
    std::deque<SearchableObject*> list;
    session->getSearchListState(list);
    placeSearchables(list, session->getCurrentTaskType(), session->currentWorldIndex());
}

void LevelItems::placeSearchables(const std::deque<SearchableObject*>& list, std::int32_t taskType,
                                  std::int32_t worldIndex)
{
    MapView* map = m_host.levelMapView();
    if (map == nullptr) return;
    m_host.startPanelSweep();
    const WorldScene* world = m_host.levelWorldScene();
    const NamedTextMap* captions = world != nullptr ? world->getVignetteCaptions() : nullptr;
    std::deque<FRefT<SearchableSprite>>& sprites = m_host.levelTaskSprites();
    for (std::size_t i = 0; i < list.size(); ++i) {
        SearchableObject& item = *list[i];
        FRefT<SearchableSprite> sprite =
            makeRef(engineNew<SearchableSprite>(k_memObject, map->content(), true));
        sprite->setItem(&item);
        sprite->setCount(item.multipleType());
        sprite->setEntryMode(item.multipleType() != 0 ? k_multipleSpriteKind : item.kind());
        if (captions != nullptr) {
            if (const FRef* caption = captions->find(item.panelText()))
                sprite->setPanelText(FRefT<FString>(*caption));
        } else {
            sprite->setPanelText(makeRef(engineNew<FString>(k_memObject)));
        }
        if (taskType == k_taskFindZibboSecondForm && world != nullptr) {
            if (const NamedAssetMap* table = characterTable(*world, item.character())) m_taskTable = table;
        }
        const FRef picture = lookUp(item.fileName());
        if (picture.get() == nullptr) {
            ZIBBO_LOG(k_logWarn, false) << "Level item " << item.fileName().c_str() << " has no picture";
        }
        sprite->setImage(FRefT<FImage>(picture), true);
        setTaskImages(*sprite, item, taskType, worldIndex, i);
        sprite->prepare();
        item.listeners().add(sprite->stateListener());
        item.listeners().notify(item);
        sprites.push_back(sprite);
    }
}

void LevelItems::createHintSearchableSprites()
{
    const WorldScene* world = m_host.levelWorldScene();
    m_taskTable = world != nullptr ? world->getHints() : nullptr;
    GameSession* session = m_host.levelSession();
    MapView* map = m_host.levelMapView();
    if (session == nullptr || map == nullptr) return;
    const FRefT<SearchListGenerator> generator = session->getSearchListGenerator();
    if (generator.get() == nullptr) return;
    std::deque<FRef>& sprites = m_host.levelHintSprites();
    for (const SearchListGenerator::Record& hint : generator->category(SearchListGenerator::k_hints)) {
        FRefT<HintSearchableSprite> sprite =
            makeRef(engineNew<HintSearchableSprite>(k_memObject, map->content(), true));
        sprite->setItem(hint.get());
        const FRef picture = lookUp(hint->fileName());
        if (picture.get() == nullptr && k_levelItemsTraceLevel == 1)
            FLogStream("Default", false)
                << "*** ERROR IN StoryModeScreen::createHintSearchableSprites()! *** "
                << hint->fileName().c_str() << " not found";
        sprite->setImage(FRefT<FImage>(picture), true);
        sprite->prepare();
        sprites.push_back(sprite);
    }
}

void LevelItems::createMapAnimations(const std::vector<AnimRecord>& records)
{
    MapView* map = m_host.levelMapView();
    const WorldScene* world = m_host.levelWorldScene();
    if (map == nullptr || world == nullptr) return;
    const NamedAssetMap* animations = world->getAnimations();
    const NamedAssetMap* hotSpots = world->getHotSpots();
    for (const AnimRecord& record : records) {
        if (record.isUsed == 0) continue;
        const std::string name = record.name.toUtf8();
        const FRef* animation = animations != nullptr ? animations->find(name) : nullptr;
        if (animation == nullptr || animation->get() == nullptr) {
            // A sprite without its clip would show nothing: the record is left out.
            ZIBBO_LOG(k_logWarn, false) << "Map animation " << name.c_str() << " is not in the world's scene";
            continue;
        }
        const FRef* hotSpot = hotSpots != nullptr ? hotSpots->find(record.sound.toUtf8()) : nullptr;
        FRefT<MapAnimationSprite> sprite =
            makeRef(engineNew<MapAnimationSprite>(k_memObject, map->content()));
        sprite->setOccasional(record.isLooping == 0);
        sprite->setClips(FRefT<FVideo>(*animation),
                         hotSpot != nullptr ? FRefT<FAudioNode>(*hotSpot) : FRefT<FAudioNode>());
        sprite->setWidgetPosition(static_cast<std::int32_t>(record.left / k_animPositionDivisor),
                                  static_cast<std::int32_t>(record.top / k_animPositionDivisor));
        map->addEmitterHandle(sprite);
    }
}
