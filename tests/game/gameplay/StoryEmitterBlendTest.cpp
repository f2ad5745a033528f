// The sparkles of the story screen's effects add their light to what lies
// under them: each emitter's flag reaches its particle and, through it, every
// sprite it emits; the caught burst alone blends its sprites plainly.
#include "game/gameplay/StoryScreenTestSupport.h"

#include "game/gameplay/FoundItemFlow.h"
#include "game/gameplay/HudPanel.h"
#include "game/gameplay/StoryModeScreen.h"
#include "game/widgets/ParticleEmitter.h"
#include "game/widgets/ParticleGroup.h"
#include "game/widgets/ParticleRecord.h"
#include "game/widgets/ParticleSpriteRecord.h"
#include "ui/FImageWidget.h"

#include <gtest/gtest.h>

#include <functional>

using namespace storytest;

namespace {

class BlendScreen : public StoryModeScreen
{
public:
    using StoryModeScreen::refreshPanel;
};

class StoryEmitterBlendTest : public testing::Test, protected StoryScreenLevel<BlendScreen>
{
};

TEST_F(StoryEmitterBlendTest, SparklesAddTheirLightAndTheCaughtBurstBlendsPlainly)
{
    start({6});
    BlendScreen& s = screen();
    s.update(16);
    struct Case
    {
        const char* name;
        std::function<ParticleEmitter*()> launch;
        int32_t blend;
    };
    FoundItemFlow& flow = s.foundItemFlow();
    const Case cases[] = {
        {"timer stream",
         [&] {
             s.sendTimerParticles(200, 550, 0);
             return flow.emitter(FoundItemFlow::k_timerStream);
         },
         FImageWidget::k_blendAdditive},
        {"impact burst",
         [&] {
             s.startImpactBurst(300, 200);
             return flow.emitter(FoundItemFlow::k_impact);
         },
         FImageWidget::k_blendAdditive},
        {"cover stream",
         [&] {
             s.startCoverStream(0);
             return flow.emitter(FoundItemFlow::k_cover);
         },
         FImageWidget::k_blendAdditive},
        {"swap sparkles",
         [&] {
             s.startSwapSparkles();
             return flow.emitter(FoundItemFlow::k_swap);
         },
         FImageWidget::k_blendAdditive},
        {"caught burst",
         [&] {
             s.startCaughtBurst(300, 200);
             return flow.emitter(FoundItemFlow::k_caught);
         },
         FImageWidget::k_blendAlpha},
    };
    ParticleGroup& group = *s.m_timerParticleGroup;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ParticleEmitter* emitter = c.launch();
        ASSERT_NE(emitter, nullptr);
        ASSERT_NE(emitter->particle(), nullptr);
        EXPECT_EQ(emitter->particle()->blendMode, c.blend);
        // The sprites it emits draw with its blend mode.
        const ParticleRecord* own = emitter->particle();
        int32_t seen = 0;
        for (int32_t frame = 0; frame < 10 && seen == 0; ++frame) {
            s.update(20);
            for (const ParticleSpriteRecord& record : group.records()) {
                if (!record.live || record.owner != own) continue;
                ++seen;
                EXPECT_EQ(record.blendMode, c.blend);
                ASSERT_NE(record.sprite.get(), nullptr);
                EXPECT_EQ(record.sprite->blendMode(), c.blend);
            }
        }
        EXPECT_GT(seen, 0);
        // Let the effect die out before the next one.
        for (int32_t frame = 0; frame < 200; ++frame)
            s.update(20);
    }

    // The strip's sweep.
    HudPanel* panel = s.refreshPanel();
    ASSERT_NE(panel, nullptr);
    panel->startSweep();
    ASSERT_NE(panel->sweep(), nullptr);
    ASSERT_NE(panel->sweep()->particle(), nullptr);
    EXPECT_EQ(panel->sweep()->particle()->blendMode, FImageWidget::k_blendAdditive);
}

} // namespace
