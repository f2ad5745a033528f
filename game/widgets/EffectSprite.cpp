#include "game/widgets/EffectSprite.h"

#include "game/core/GameSession.h"
#include "game/core/SearchListGenerator.h"
#include "game/widgets/HintBadgeHost.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticlePool.h"
#include "image/FImage.h"
#include "ui/FContainer.h"
#include "ui/FScreen.h"

namespace {

constexpr int32_t k_playMode = 0;
constexpr int32_t k_maxShown = 9;

} // namespace

EffectSprite::EffectSprite(FContainer* parent) : EffectSprite(parent, true) {}

// The label is the parent's next child, drawn over the badge.
EffectSprite::EffectSprite(FContainer* parent, bool addToParent)
    : FImageWidget(parent, addToParent), m_label(parent, parent != nullptr)
{
}

EffectSprite::~EffectSprite() = default;

void EffectSprite::setVisible(bool visible)
{
    FImageWidget::setVisible(visible);
    m_label.setVisible(visible);
}

void EffectSprite::setup()
{
    m_host = dynamic_cast<HintBadgeHost*>(getScreen());
    if (m_host == nullptr) return;
    m_game = m_host->getGameSession();
    m_label.setFont(m_host->getCounterFont());
    m_label.setText(FString("0"));
    m_label.setWidgetPosition(rect().left - width() / 2, rect().top + height() / 3);
    // The sparkles fly over everything the badge's panel holds.
    FContainer* layerParent =
        parent() != nullptr && parent()->parent() != nullptr ? parent()->parent() : parent();
    m_group = makeRef(engineNew<ParticleGroup>(k_memObject, k_groupSprites, layerParent));
    m_pool = makeRef(engineNew<ParticlePool>(k_memObject, k_poolParticles));
}

std::optional<int32_t> EffectSprite::currentHints() const
{
    if (m_game == nullptr || m_game->mode() != k_playMode) return std::nullopt;
    FRefT<SearchListGenerator> generator = m_game->getSearchListGenerator();
    if (generator.get() == nullptr) return std::nullopt;
    return generator->hintCounter().hints;
}

void EffectSprite::update(int32_t elapsed)
{
    if (m_group.get() == nullptr) return;
    if (m_burst.get() != nullptr) {
        m_burst->update(elapsed);
        m_pool->update(elapsed, *m_group);
        m_group->update(elapsed);
        m_group->applyRecords();
        m_group->layer()->bringToFront();
    }
    // Without a level in play the badge keeps what it shows.
    const std::optional<int32_t> hints = currentHints();
    if (!hints.has_value()) return;
    const int32_t value = *hints;
    if (value == m_shownValue) return;
    if (m_shownValue >= 0) launchBurst();
    m_shownValue = value;
    const int32_t digit = value >= k_maxShown ? k_maxShown : value <= 0 ? 0 : value;
    m_label.setText(FString(std::to_string(digit).c_str()));
}

void EffectSprite::launchBurst()
{
    if (m_burst.get() != nullptr) m_burst->stop();
    const FPointI size = m_label.measureText();
    const FRectI& panel = parent() != nullptr ? parent()->rect() : FRectI{};
    const FRectI& label = m_label.rect();
    auto* burst = engineNew<ParticleEmitter>(
        k_memObject, k_burstMs, m_pool.get(), m_group.get(), m_host->getBadgeSparkleImage(),
        panel.left + label.left + 2 * size.x / 3, panel.top + label.top, ParticleEmitter::k_point, false, 0);
    burst->spreadWidth = size.x;
    burst->spreadHeight = size.y;
    burst->sizeBase = 1;
    burst->sizeGrowth = 8;
    m_burst = makeRef(burst);
    m_burst->restart();
}
