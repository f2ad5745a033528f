// Opening worlds, map pieces and quest tags on the screen's side: what the
// loading phase restores from the profile and what the later phases reveal.
#include "game/worldmap/WorldMapScreen.h"

#include "game/worldmap/WorldMapNode.h"
#include "game/worldmap/WorldMapServices.h"

#include "game/core/GameSession.h"
#include "game/core/PlayerProfile.h"
#include "game/core/Quest.h"
#include "game/widgets/VideoSprite.h"
#include "video/FVideo.h"

#include <algorithm>

void WorldMapScreen::openWorld(int32_t world, bool visible)
{
    WorldMapNode& target = node(world, "an opened world");
    target.m_ambientSprites.clear();
    const std::vector<FRefT<VideoSprite>> sprites = ambientSpritesOf(world);
    const std::vector<int32_t> clips = ambientClipsOf(world);
    for (std::size_t s = 0; s < sprites.size() && s < clips.size(); ++s) {
        const FRefT<VideoSprite>& sprite = sprites[s];
        sprite->setVideo(FRefT<FVideo>(asset(clips[s])), false);
        sprite->setAnimationFrameRate(WorldMapNode::k_ambientFps);
        sprite->setLoops(-1);
        sprite->play(false);
        sprite->setWidgetAlpha(visible ? 255 : 0);
        target.m_ambientSprites.push_back(sprite);
    }
    if (target.m_lockOverlay.get() != nullptr) target.m_lockOverlay->setVisible(false);
    target.m_openFading = false;
}

void WorldMapScreen::restoreWorlds()
{
    PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr;
    for (int32_t w = 0; w < k_worldCount; ++w) {
        const bool isNew = profile != nullptr && profile->isWorldNew(w);
        if (worldOpen(w) && !isNew)
            openWorld(w, true);
        else
            node(w, "the restored worlds").showClosed();
    }
}

int32_t WorldMapScreen::findFirstNewWorld()
{
    PlayerProfile* profile = services() != nullptr ? services()->currentProfile() : nullptr;
    if (profile == nullptr) return -1;
    for (int32_t w = 0; w < k_worldCount; ++w) {
        if (profile->isWorldNew(w)) return w;
    }
    return -1;
}

bool WorldMapScreen::openFirstNewWorld()
{
    const int32_t world = findFirstNewWorld();
    if (world < 0) return false;
    openWorld(world, false);
    node(world, "the new worlds").startOpenReveal();
    return true;
}

void WorldMapScreen::hideQuestTags()
{
    for (const FRefT<WorldMapNode>& world : m_worldNodes) {
        if (world->m_tag.get() != nullptr) world->m_tag->setVisible(false);
    }
}

void WorldMapScreen::restoreQuestTags()
{
    hideQuestTags();
    GameSession* game = session();
    if (game == nullptr) return;
    for (const QuestProgress& quest : m_seenOpenQuests) {
        Quest* found = game->findQuestByKey(quest.questId);
        if (found == nullptr || quest.world == -1) continue;
        WorldMapNode& target = node(quest.world, "the profile's open quests");
        target.setTag(found->questType());
        if (m_activeNode.get() != nullptr) m_activeNode->m_isActive = false;
        m_activeNode = m_worldNodes[quest.world];
    }
}

bool WorldMapScreen::revealResultMapPiece()
{
    if (m_revealSparkle.get() != nullptr) m_revealSparkle->setVisible(true);
    GameSession* game = session();
    if (game == nullptr || m_lastResult.world == -1) return false;
    WorldMapNode& target = node(m_lastResult.world, "the last result");
    Quest* quest = game->findQuestByKey(m_lastResult.questId);
    if (quest == nullptr) return false;
    m_mapPieceRevealed = target.revealMapPiece(target.pickMapPiece(quest->questType()));
    return m_mapPieceRevealed;
}

void WorldMapScreen::restoreMapPieces()
{
    GameSession* game = session();
    if (game == nullptr) return;
    std::vector<QuestProgress> progress;
    game->copyQuestProgress(progress);
    if (m_lastResult.questId != -1) {
        const auto pending = std::find_if(progress.begin(), progress.end(), [&](const QuestProgress& p) {
            return p.questId == m_lastResult.questId;
        });
        if (pending != progress.end()) progress.erase(pending);
    }
    for (const QuestProgress& record : progress) {
        if (record.state != QuestProgress::k_maxState || record.world == -1) continue;
        Quest* quest = game->findQuestByKey(record.questId);
        if (quest == nullptr) continue;
        FWidget* piece = node(record.world, "the profile's quest records").pickMapPiece(quest->questType());
        if (piece != nullptr) piece->setWidgetAlpha(255);
    }
}

void WorldMapScreen::hideAllMapPieces()
{
    for (const FRefT<WorldMapNode>& world : m_worldNodes)
        world->hideMapPieces();
}
